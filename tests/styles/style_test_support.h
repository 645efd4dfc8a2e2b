#pragma once
// Stand-ins for the document and the layer, and small 32-bit rasters with pixel access, for the
// shape effect tests.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "qv_baseimage.h"
#include "qv_color.h"
#include "qv_matrix.h"
#include "qv_memstream.h"
#include "raster_fill.h"
#include "raster_rows.h"
#include "style_document.h"
#include "style_layer.h"

class StubDocument : public StyleDocument {
public:
    explicit StubDocument(int32_t height = 100, int32_t frame = 0, const char* tool = "")
        : fHeight(height)
        , fFrame(frame)
        , fTool(tool)
    {
    }
    int32_t HeightPixels() override { return fHeight; }
    int32_t CurrentFrame() override { return fFrame; }
    const char* CurrentToolName() override { return fTool.c_str(); }

    int32_t fHeight;
    int32_t fFrame;
    std::string fTool;
};

class StubLayer : public StyleLayer {
public:
    int32_t CurrentFrame() override { return fFrame; }
    void GetLayerTransform(int32_t frame, QV_Matrix& out) override
    {
        fTransformFrame = frame;
        out = fTransform;
    }
    int32_t ParentLayerType() override { return fParentType; }
    int32_t ParentBone() override { return fParentBone; }
    void TransformByParentSkeleton(QV_Vector2& point) override
    {
        fDeformCalls++;
        point.x += fSkeletonShift.x;
        point.y += fSkeletonShift.y;
    }

    int32_t fFrame = 0;
    QV_Matrix fTransform;
    int32_t fTransformFrame = -1;
    int32_t fParentType = 0;
    int32_t fParentBone = -1;
    QV_Vector2 fSkeletonShift;
    int32_t fDeformCalls = 0;
};

// An owned 32-bit raster.
struct TestRaster {
    TestRaster(int32_t width, int32_t height, rgb_color fill = rgb_color { 0, 0, 0, 0 })
    {
        image.Allocate(width, height, 32);
        FillRaster(image.buffer, fill);
    }
    // A copy of the pixels: images themselves cannot move.
    TestRaster(TestRaster&& other)
        : TestRaster(other.image.buffer.width, other.image.buffer.height)
    {
        for (int32_t y = 0; y < image.buffer.height; y++)
            for (int32_t x = 0; x < image.buffer.width; x++)
                Set(x, y, other.At(x, y));
    }
    QV_PixelBuffer* Buffer() { return &image.buffer; }
    rgb_color At(int32_t x, int32_t y) const
    {
        const uint8_t* p = RasterPixel(image.buffer, x, y);
        return rgb_color { p[kRed], p[kGreen], p[kBlue], p[kAlpha] };
    }
    void Set(int32_t x, int32_t y, rgb_color c)
    {
        uint8_t* p = RasterPixel(image.buffer, x, y);
        p[kBlue] = c.b;
        p[kGreen] = c.g;
        p[kRed] = c.r;
        p[kAlpha] = c.a;
    }
    void FillRect(int32_t left, int32_t top, int32_t right, int32_t bottom, rgb_color c)
    {
        for (int32_t y = top; y <= bottom; y++)
            for (int32_t x = left; x <= right; x++)
                Set(x, y, c);
    }
    bool SameAs(const TestRaster& other) const
    {
        for (int32_t y = 0; y < image.buffer.height; y++)
            for (int32_t x = 0; x < image.buffer.width; x++) {
                const rgb_color a = At(x, y);
                const rgb_color b = other.At(x, y);
                if (a.r != b.r || a.g != b.g || a.b != b.b || a.a != b.a)
                    return false;
            }
        return true;
    }

    QV_BaseImage image;
};

inline bool SameColor(rgb_color a, rgb_color b)
{
    return a.r == b.r && a.g == b.g && a.b == b.b && a.a == b.a;
}

// A memory stream at the current document version, written by write, rewound for reading.
inline void WriteToStream(
    QV_MemStream& stream, const std::function<void(QV_IoStream*)>& write, int32_t version = 19)
{
    stream.Open(256);
    stream.fVersion = version;
    write(&stream);
    stream.fReading = true;
    stream.Rewind();
}

// The text a stream holds.
inline std::string StreamText(QV_MemStream& stream)
{
    const int32_t size = stream.Size();
    std::string text(static_cast<size_t>(size), '\0');
    stream.Rewind();
    stream.ReadBytes(text.data(), size);
    stream.Rewind();
    return text;
}

// A stream holding the text, for reading at a version.
inline void StreamOfText(QV_MemStream& stream, const std::string& text, int32_t version)
{
    stream.Open(256);
    stream.WriteBytes(text.data(), static_cast<int32_t>(text.size()));
    stream.fVersion = version;
    stream.fReading = true;
    stream.Rewind();
}
