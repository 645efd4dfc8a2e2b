// One shape effect applied per iteration, the way the vector layer renders a shape: a 400 x 400
// pixel disc in a full-HD layer frame with a work buffer of the frame's size. The effects that
// work on the shape's rectangle or on a bounded part of the frame must not cost in proportion to
// the frame.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "blend_tables.h"
#include "m_shapestyle.h"
#include "qv_graphics.h"
#include "shape_style_factory.h"
#include "style_document.h"
#include "xgraphics.h"

namespace {

constexpr int32_t kWidth = 1920;
constexpr int32_t kHeight = 1080;
constexpr int32_t kLeft = 760;
constexpr int32_t kTop = 340;
constexpr int32_t kSide = 400;

struct Raster {
    Raster()
        : bytes(static_cast<size_t>(kWidth) * kHeight * 4, 0)
    {
        buffer = QV_PixelBuffer { bytes.data(), kWidth, kHeight, 32, 4, kWidth * 4 };
    }
    std::vector<uint8_t> bytes;
    QV_PixelBuffer buffer;
};

class BenchDocument : public StyleDocument {
public:
    int32_t HeightPixels() override { return kHeight; }
    int32_t CurrentFrame() override { return 0; }
    const char* CurrentToolName() override { return ""; }
};

void PaintDisc(Raster& target)
{
    const float r = kSide / 2.0f;
    for (int32_t y = 0; y < kSide; y++)
        for (int32_t x = 0; x < kSide; x++) {
            const float dx = x + 0.5f - r;
            const float dy = y + 0.5f - r;
            uint8_t* p = target.buffer.pixels + (size_t(kTop + y) * kWidth + kLeft + x) * 4;
            p[0] = 40;
            p[1] = 160;
            p[2] = 220;
            p[3] = dx * dx + dy * dy < r * r ? 255 : 0;
        }
}

void ApplyEffect(benchmark::State& state)
{
    BuildBlendTables();
    RegisterShapeStyles();
    const int32_t index = static_cast<int32_t>(state.range(0));
    std::unique_ptr<M_ShapeStyle> style(NewShapeStyle(10203 + index));
    Raster target;
    Raster work;
    XGraphics graphics;
    graphics.SetRaster(&target.buffer);
    graphics.fViewMode = QV_Graphics::kViewCentered;
    graphics.BeginDraw();
    BenchDocument doc;
    const QV_Rect rect { kLeft, kTop, kLeft + kSide - 1, kTop + kSide - 1 };
    QV_BBox bounds;
    const float half = kSide / static_cast<float>(kHeight);
    bounds.min = QV_Vector3 { -half, -half, 0 };
    bounds.max = QV_Vector3 { half, half, 0 };
    for (auto _ : state) {
        state.PauseTiming();
        PaintDisc(target);
        state.ResumeTiming();
        QV_PixelBuffer shape;
        shape = target.buffer;
        shape.pixels += (size_t(kTop) * kWidth + kLeft) * 4;
        shape.width = kSide;
        shape.height = kSide;
        style->ApplyInLayer(&graphics, &shape, rect, bounds, &work.buffer, &doc, nullptr, 1.0f, nullptr, 1);
        benchmark::DoNotOptimize(target.bytes.data());
    }
}

} // namespace

// Style indices: 0 shaded, 1 splotchy, 2 soft edge, 3 spots, 4 halo, 5 gradient, 7 sketchy,
// 8 angled pen, 9 multi-stop gradient. The textures need an image file and are left out.
BENCHMARK(ApplyEffect)->DenseRange(0, 5)->Arg(7)->Arg(8)->Arg(9)->Unit(benchmark::kMillisecond);
