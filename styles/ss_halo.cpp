#include "ss_halo.h"

#include <vector>

#include "alpha_mask.h"
#include "box_blur.h"
#include "qv_iostream.h"
#include "raster_alpha.h"
#include "raster_blit.h"
#include "style_document.h"
#include "style_layer.h"
#include "style_record.h"
#include "style_units.h"

namespace {

// out[i] = the least of in[i - radius .. i + radius] for radius <= i < count - radius; other
// entries are not written. A monotonic queue keeps the cost independent of the radius.
void SlidingMinimum(
    const uint8_t* in, int32_t count, int32_t radius, uint8_t* out, std::vector<int32_t>& queue)
{
    queue.resize(static_cast<size_t>(count));
    int32_t head = 0;
    int32_t tail = 0;
    for (int32_t j = 0; j < count; j++) {
        while (tail > head && in[queue[tail - 1]] >= in[j])
            tail--;
        queue[tail++] = j;
        if (j < 2 * radius)
            continue;
        while (queue[head] < j - 2 * radius)
            head++;
        out[j - radius] = in[queue[head]];
    }
}

// Every pixel of halo becomes the colour with alpha 255, except where the square of the inset
// round it lies wholly inside the shape image: there its alpha is 255 minus the least shape alpha
// in the square. halo's (0, 0) lies on the shape image's (0, 0).
void BuildHaloAlpha(const QV_PixelBuffer& shape, const QV_PixelBuffer& halo, int32_t inset, rgb_color color)
{
    ForEachPixel32(halo, [color](uint8_t* p) {
        p[kBlue] = color.b;
        p[kGreen] = color.g;
        p[kRed] = color.r;
        p[kAlpha] = 255;
    });
    const int32_t side = 2 * inset + 1;
    if (side > shape.width || side > shape.height)
        return;
    // Squares that fit: centres inset..extent - 1 - inset of the shape image, where halo has them.
    const int32_t right = shape.width - inset < halo.width ? shape.width - inset : halo.width;
    const int32_t bottom = shape.height - inset < halo.height ? shape.height - inset : halo.height;

    std::vector<uint8_t> alpha(static_cast<size_t>(shape.width));
    std::vector<uint8_t> rowMin(static_cast<size_t>(shape.width) * static_cast<size_t>(shape.height));
    std::vector<int32_t> queue;
    for (int32_t y = 0; y < shape.height; y++) {
        const uint8_t* p = RasterRow(shape, y);
        for (int32_t x = 0; x < shape.width; x++)
            alpha[static_cast<size_t>(x)] = p[4 * x + kAlpha];
        SlidingMinimum(alpha.data(), shape.width, inset,
            rowMin.data() + static_cast<size_t>(y) * static_cast<size_t>(shape.width), queue);
    }
    std::vector<uint8_t> column(static_cast<size_t>(shape.height));
    std::vector<uint8_t> columnMin(static_cast<size_t>(shape.height));
    for (int32_t x = inset; x < right; x++) {
        for (int32_t y = 0; y < shape.height; y++)
            column[static_cast<size_t>(y)]
                = rowMin[static_cast<size_t>(y) * static_cast<size_t>(shape.width) + x];
        SlidingMinimum(column.data(), shape.height, inset, columnMin.data(), queue);
        for (int32_t y = inset; y < bottom; y++)
            RasterPixel(halo, x, y)[kAlpha] = static_cast<uint8_t>(255 - columnMin[static_cast<size_t>(y)]);
    }
}

} // namespace

SS_Halo::SS_Halo()
    : fHaloOnly(false)
{
    fInsetRadius.SetValue(0, 1.0f / 60.0f);
    fBlurRadius.SetValue(0, 1.0f / 30.0f);
    fHaloColor.SetValue(0, rgb_color { 255, 255, 0, 255 });
}

SS_Halo::~SS_Halo() = default;

int32_t SS_Halo::StyleType()
{
    return 4;
}

bool SS_Halo::ReadRecord(QV_IoStream* stream)
{
    if (!ReadAnimatedFloat(stream, fInsetRadius) || !ReadAnimatedFloat(stream, fBlurRadius)
        || !ReadAnimatedColor(stream, fHaloColor))
        return false;
    return stream->ReadBool(fHaloOnly);
}

void SS_Halo::WriteRecord(QV_IoStream* stream)
{
    WriteChannelThenTabs(stream, fInsetRadius);
    WriteChannelThenTabs(stream, fBlurRadius);
    WriteChannelThenTabs(stream, fHaloColor);
    WriteFlag(stream, fHaloOnly);
}

void SS_Halo::ApplyInLayer(XGraphics*, QV_PixelBuffer* shapeImage, QV_Rect, QV_BBox, QV_PixelBuffer* work,
    StyleDocument* doc, StyleLayer* layer, float scale, M_Shape*, int32_t)
{
    if (!doc || !IsEffectRaster(shapeImage) || !IsEffectRaster(work))
        return;
    if (layer) {
        const int32_t frame = layer->CurrentFrame();
        fInsetRadius.SetCurFrame(frame);
        fBlurRadius.SetCurFrame(frame);
        fHaloColor.SetCurFrame(frame);
    }
    const rgb_color color = fHaloColor.value;
    const int32_t height = doc->HeightPixels();
    // An inset wider than the shape image fits no square: every pixel is then at the edge.
    const int32_t inset = StylePixelsRounded(fInsetRadius.value, height, scale, 0, 1 << 20);
    const float blurPixels = StylePixels(fBlurRadius.value, height, scale);
    const int32_t blur = blurPixels >= 0.5f ? RoundHalfAwayClamped(blurPixels, 1, 256) : 0;

    // Only the work pixels over the shape image reach the shape. Beyond it every work pixel is the
    // same opaque halo, so the blur needs no more of it than the blur's own reach, whatever the
    // size of the frame.
    const int32_t reach = blur > 0 ? 2 * BoxBlurWindow(blur) + 2 : 1;
    QV_PixelBuffer halo = *work;
    if (int64_t(shapeImage->width) + reach < halo.width)
        halo.width = shapeImage->width + reach;
    if (int64_t(shapeImage->height) + reach < halo.height)
        halo.height = shapeImage->height + reach;

    BuildHaloAlpha(*shapeImage, halo, inset, color);
    if (color.a < 255)
        RemapAlphaRange(halo, 0, 255, color.a);
    if (blur > 0)
        BoxBlurAlpha(halo, blur);
    if (fHaloOnly)
        BlitIntersectAlpha(halo, *shapeImage, 0, 0);
    else
        BlitRasterAlpha(halo, *shapeImage, 0, 0, false);
}

int32_t SS_Halo::CountChannels()
{
    return 3;
}

AnimChannel* SS_Halo::Channel(int32_t index)
{
    switch (index) {
    case 0:
        return &fInsetRadius;
    case 1:
        return &fBlurRadius;
    case 2:
        return &fHaloColor;
    default:
        return nullptr;
    }
}
