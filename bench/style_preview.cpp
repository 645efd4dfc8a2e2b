// The style dialogs' live preview of every effect kind at its defaults for a 1080-high document:
// redrawn after every change and, in the multi-stop gradient's dialog, on every mouse move of a
// stop drag, so each must fit well inside a frame (16 ms).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "blend_tables.h"
#include "m_shapestyle.h"
#include "shape_style_factory.h"
#include "style_dialog.h"
#include "style_document.h"

namespace {

class BenchDocument : public StyleDocument {
public:
    int32_t HeightPixels() override { return 1080; }
    int32_t CurrentFrame() override { return 0; }
    const char* CurrentToolName() override { return ""; }
};

void Preview(benchmark::State& state)
{
    BuildBlendTables();
    RegisterShapeStyles();
    const int32_t index = static_cast<int32_t>(state.range(0));
    std::unique_ptr<M_ShapeStyle> style(NewShapeStyle(10203 + index));
    constexpr int32_t size = StyleDlog::kPreviewSize;
    std::vector<uint8_t> bytes(size_t(size) * size * 4);
    const QV_PixelBuffer target { bytes.data(), size, size, 32, 4, size * 4 };
    QV_BaseImage sample;
    QV_BaseImage work;
    BenchDocument doc;
    const char* const names[kStyleKindCount] = { "shaded", "splotchy", "soft edge", "spots", "halo", "gradient",
        "texture", "sketchy", "angled pen", "multi-stop gradient", "image texture" };
    state.SetLabel(names[index]);
    for (auto _ : state) {
        RenderStylePreview(style.get(), &doc, rgb_color { 40, 160, 220, 255 }, rgb_color { 255, 255, 255, 255 }, 0.0f,
            sample, work, target);
        benchmark::DoNotOptimize(bytes.data());
    }
}

} // namespace

BENCHMARK(Preview)->DenseRange(0, 10)->Unit(benchmark::kMillisecond);
