// Filling anti-aliased polygons into a full-HD 32-bit raster: the smooth (coverage) path against
// the scan-line filler with anti-aliased edges. Reports polygons per second.
#include "qv_baseimage.h"
#include "qv_graphics.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdint>
#include <vector>

namespace {

constexpr int32_t kWidth = 1920;
constexpr int32_t kHeight = 1080;
constexpr int32_t kPolygons = 1000;
constexpr int32_t kVertices = 20;

struct Polygon {
    QV_Vector2 points[kVertices];
    rgb_color color;
};

// A fixed pseudo-random set, the same on every run: star-shaped polygons (vertices at rising
// angles and random radii around a random centre) in random colours, some translucent.
std::vector<Polygon> MakePolygons()
{
    uint32_t state = 12345;
    auto next = [&state]() {
        state = state * 214013u + 2531011u;
        return float((state >> 16) & 0x7FFF) / 32767.0f;
    };
    std::vector<Polygon> polygons(kPolygons);
    for (Polygon& polygon : polygons) {
        const float cx = next() * kWidth, cy = next() * kHeight;
        const float size = 10 + next() * 140;
        for (int32_t i = 0; i < kVertices; i++) {
            const float angle = (float(i) + next() * 0.8f) * 6.2831853f / kVertices;
            const float radius = size * (0.4f + 0.6f * next());
            polygon.points[i] = QV_Vector2 { cx + radius * std::cos(angle), cy + radius * std::sin(angle) };
        }
        polygon.color = rgb_color { uint8_t(next() * 255), uint8_t(next() * 255), uint8_t(next() * 255),
            uint8_t(next() < 0.5f ? 255 : 64 + next() * 190) };
    }
    return polygons;
}

void FillPolygons(benchmark::State& state, bool smooth)
{
    QV_BaseImage image;
    QV_PixelBuffer raster;
    if (image.Allocate(kWidth, kHeight, 32) != 0 || image.GetPixelBuffer(raster) != 0) {
        state.SkipWithError("no raster");
        return;
    }
    QV_Graphics g;
    g.SetRaster(&raster);
    g.Clear(rgb_color { 255, 255, 255, 255 });
    if (smooth)
        g.SetAntialiasing(true);
    else
        g.SetSmoothing(true);
    const std::vector<Polygon> polygons = MakePolygons();
    for (auto _ : state) {
        for (const Polygon& polygon : polygons) {
            g.SetColorStruct(polygon.color);
            g.BeginShape();
            for (int32_t i = 0; i < kVertices; i++)
                g.AddLine(polygon.points[i], polygon.points[(i + 1) % kVertices]);
            g.EndShape();
        }
        benchmark::DoNotOptimize(raster.pixels);
    }
    state.SetItemsProcessed(state.iterations() * kPolygons);
}

} // namespace

BENCHMARK_CAPTURE(FillPolygons, smooth, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(FillPolygons, scanline, false)->Unit(benchmark::kMillisecond);
