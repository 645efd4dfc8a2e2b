// Beside the golden renders (which the code under test wrote): checks whose expected pixels come
// from the document's own values and the plain formulas, not from an earlier render.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "composite_modes.h"
#include "image_format_registry.h"
#include "raster_rows.h"
#include "render_job.h"
#include "render_settings.h"
#include "shape_style_factory.h"
#include "vector_shapes.h"
#include "vorndoc.h"

namespace {

constexpr int32_t kWidth = 64;
constexpr int32_t kHeight = 48;
const rgb_color kWhite { 255, 255, 255, 255 };
const rgb_color kBlack { 0, 0, 0, 255 };

class DocumentChecks : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegisterShapeStyles();
        ImageFormatRegistry::Init();
        NewDocument();
    }
    // A fresh white document of 64 x 48.
    void NewDocument()
    {
        doc = std::make_unique<VornDoc>();
        ASSERT_TRUE(doc->SetShape(kWidth, kHeight));
        doc->fBackColor = kWhite;
    }
    void TearDown() override { ImageFormatRegistry::Free(); }

    // Frame 0 of the document, in memory.
    void Render()
    {
        ASSERT_EQ(image.Allocate(kWidth, kHeight, 32), 0);
        RenderSettings settings;
        settings.fDoc = doc.get();
        settings.fImage = &image;
        settings.fFormat = BmpWriterIndex;
        RenderJob job;
        job.fSettings = &settings;
        while (job.RenderFrame()) { }
        ASSERT_EQ(job.LastStatus(), 0) << job.LastError().CString();
    }

    // The pixel under a point of the frame (the default camera: the frame's height spans -1..1).
    rgb_color At(float x, float y) const
    {
        const int32_t px = int32_t(std::floor(kWidth / 2.0f + x * kHeight / 2.0f));
        const int32_t py = int32_t(std::floor(kHeight / 2.0f - y * kHeight / 2.0f));
        return Pixel(px, py);
    }
    rgb_color Pixel(int32_t x, int32_t y) const
    {
        const uint8_t* p = RasterPixel(image.buffer, x, y);
        return rgb_color { p[kRed], p[kGreen], p[kBlue], p[kAlpha] };
    }

    std::unique_ptr<VornDoc> doc;
    QV_BaseImage image;
};

bool SameColor(rgb_color a, rgb_color b)
{
    return a.r == b.r && a.g == b.g && a.b == b.b && a.a == b.a;
}

std::string Text(rgb_color c)
{
    return "(" + std::to_string(c.r) + ", " + std::to_string(c.g) + ", " + std::to_string(c.b) + ", "
        + std::to_string(c.a) + ")";
}

::testing::AssertionResult Near(rgb_color actual, rgb_color expected, int32_t tolerance = 0)
{
    const int32_t d[4] = { actual.r - expected.r, actual.g - expected.g, actual.b - expected.b,
        actual.a - expected.a };
    for (int32_t v : d) {
        if (std::abs(v) > tolerance)
            return ::testing::AssertionFailure() << Text(actual) << " against " << Text(expected);
    }
    return ::testing::AssertionSuccess();
}

TEST_F(DocumentChecks, TheCentreOfAnOpaqueShapeHasItsFillColour)
{
    struct Rect {
        float x0, y0, x1, y1;
        rgb_color fill;
    };
    const Rect rects[] = { { -1.2f, 0.8f, -0.4f, 0.1f, { 220, 40, 40, 255 } },
        { 0.1f, 0.9f, 1.2f, 0.2f, { 30, 160, 70, 255 } }, { -0.6f, -0.2f, 0.7f, -0.9f, { 12, 34, 200, 255 } } };
    MeshLayer* layer = NewLayer("Shapes");
    for (const Rect& r : rects)
        AddRect(layer, r.x0, r.y0, r.x1, r.y1, r.fill, kBlack, 0.02f);
    doc->AddLayer(layer);
    Render();
    for (const Rect& r : rects)
        EXPECT_TRUE(Near(At((r.x0 + r.x1) / 2, (r.y0 + r.y1) / 2), r.fill));
    EXPECT_TRUE(Near(Pixel(1, 1), kWhite));
}

TEST_F(DocumentChecks, TheShadowLiesAtTheKeyedOffset)
{
    // A hard black shadow 8 pixels away (a sixth of the frame height) along each keyed angle:
    // beside the shape, a pixel is black exactly where the shape's inside lies 8 pixels back.
    const rgb_color fill { 240, 200, 40, 255 };
    const float pi = 3.14159265f;
    struct Case {
        float angle;
        int32_t dx;
        int32_t dy;
    };
    const Case cases[] = { { 0, 8, 0 }, { pi / 2, 0, -8 }, { pi, -8, 0 }, { -pi / 2, 0, 8 }, { pi / 4, 6, -6 } };
    auto build = [&](bool shadow, float angle) {
        NewDocument();
        MeshLayer* layer = NewLayer("Shadowed");
        AddRect(layer, -0.5f, 0.5f, 0.5f, -0.5f, fill, kBlack, 0);
        layer->fLayerShadow.SetValue(0, shadow);
        layer->fShadowAngle.SetValue(0, angle);
        layer->fShadowOffset.SetValue(0, 8.0f / kHeight);
        layer->fShadowBlur.SetValue(0, 0);
        layer->fShadowExpansion.SetValue(0, 0);
        layer->fShadowNoiseAmp.SetValue(0, 0);
        layer->fShadowColor.SetValue(0, kBlack);
        doc->AddLayer(layer);
        Render();
    };
    build(false, 0);
    std::vector<rgb_color> plain;
    for (int32_t y = 0; y < kHeight; y++)
        for (int32_t x = 0; x < kWidth; x++)
            plain.push_back(Pixel(x, y));
    // Whether every pixel around (x, y) is the colour in the render without shadow; outside the
    // frame counts as background.
    auto all = [&](int32_t x, int32_t y, rgb_color c) {
        for (int32_t j = y - 1; j <= y + 1; j++)
            for (int32_t i = x - 1; i <= x + 1; i++) {
                const bool inside = i >= 0 && j >= 0 && i < kWidth && j < kHeight;
                if (!SameColor(inside ? plain[size_t(j * kWidth + i)] : kWhite, c))
                    return false;
            }
        return true;
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.angle);
        build(true, c.angle);
        int32_t shadowPixels = 0;
        int32_t wrong = 0;
        std::string first;
        for (int32_t y = 0; y < kHeight; y++) {
            for (int32_t x = 0; x < kWidth; x++) {
                if (!all(x, y, kWhite))
                    continue;
                const int32_t sx = x - c.dx;
                const int32_t sy = y - c.dy;
                const bool shadowed = all(sx, sy, fill);
                if (!shadowed && !all(sx, sy, kWhite))
                    continue; // the shadow's antialiased edge
                shadowPixels += shadowed;
                if (!Near(Pixel(x, y), shadowed ? kBlack : kWhite) && wrong++ == 0)
                    first = std::to_string(x) + ", " + std::to_string(y) + ": " + Text(Pixel(x, y));
            }
        }
        EXPECT_GT(shadowPixels, 100);
        EXPECT_EQ(wrong, 0) << first;
    }
}

TEST_F(DocumentChecks, BlendModesFollowTheirFormulas)
{
    const rgb_color below { 200, 120, 40, 255 };
    const rgb_color above { 90, 180, 230, 255 };
    struct Case {
        int32_t mode;
        std::function<int32_t(int32_t s, int32_t d)> formula;
        int32_t tolerance;
    };
    const Case cases[] = {
        { BM_NORMAL, [](int32_t s, int32_t) { return s; }, 0 },
        { BM_MULTIPLY, [](int32_t s, int32_t d) { return int32_t(std::lround(s * d / 255.0)); }, 1 },
        { BM_SCREEN, [](int32_t s, int32_t d) { return 255 - int32_t(std::lround((255 - s) * (255 - d) / 255.0)); },
            1 },
        { BM_ADD, [](int32_t s, int32_t d) { return std::min(255, s + d); }, 0 },
        { BM_DIFFERENCE, [](int32_t s, int32_t d) { return std::abs(s - d); }, 0 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        NewDocument();
        MeshLayer* bottom = NewLayer("Below");
        AddRect(bottom, -1.0f, 0.8f, 0.3f, -0.8f, below, kBlack, 0);
        doc->AddLayer(bottom);
        MeshLayer* top = NewLayer("Above");
        AddRect(top, -0.3f, 0.6f, 1.0f, -0.6f, above, kBlack, 0);
        top->SetBlendingMode(c.mode);
        doc->AddLayer(top);
        Render();
        const rgb_color expected { uint8_t(c.formula(above.r, below.r)), uint8_t(c.formula(above.g, below.g)),
            uint8_t(c.formula(above.b, below.b)), 255 };
        EXPECT_TRUE(Near(At(0, 0), expected, c.tolerance));
        EXPECT_TRUE(Near(At(-0.7f, 0), below));
    }
}

} // namespace
