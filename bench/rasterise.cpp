// Software rasterising and blurring at full-HD size: the depth-buffered textured triangles the 3D
// mesh layer draws, and the blurs of the layer effects. Blur cost per pixel must not grow with the
// radius for the box blur (running sums) and only linearly for the separable disc blur.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "blend_tables.h"
#include "blur_kernels.h"
#include "box_blur.h"
#include "qv_random.h"
#include "qv_raster3d.h"

namespace {

constexpr int32_t kWidth = 1920;
constexpr int32_t kHeight = 1080;
constexpr int32_t kTriangles = 10000;

struct Raster {
    explicit Raster(int32_t width, int32_t height)
        : bytes(static_cast<size_t>(width) * height * 4, 0)
    {
        buffer = QV_PixelBuffer { bytes.data(), width, height, 32, 4, width * 4 };
    }
    std::vector<uint8_t> bytes;
    QV_PixelBuffer buffer;
};

float Unit()
{
    return static_cast<float>(QV_Rand()) / 32767.0f;
}

// Triangles of about 40 pixels a side scattered over the view, at random depths, in clip space.
std::vector<RasterPolygon> Triangles(uint8_t kind)
{
    QV_SRand(2024);
    std::vector<RasterPolygon> out(kTriangles);
    const float aspect = static_cast<float>(kWidth) / kHeight;
    for (RasterPolygon& p : out) {
        p = RasterPolygon {};
        p.kind = kind;
        p.count = 3;
        const float cx = (Unit() * 2 - 1) * aspect * 0.95f;
        const float cy = (Unit() * 2 - 1) * 0.95f;
        const float w = 1 + Unit();
        const float z = (Unit() * 2 - 1) * 0.9f;
        const float size = 0.04f;
        const float corners[3][2] = { { -size, -size }, { size, -size * 0.5f }, { 0, size } };
        const float uv[3][2] = { { 0, 1 }, { 1, 1 }, { 0.5f, 0 } };
        for (int i = 0; i < 3; i++) {
            RasterVertex& v = p.vertices[i];
            v.x = (cx + corners[i][0]) * w;
            v.y = (cy + corners[i][1]) * w;
            v.z = z * w;
            v.w = w;
            v.u = uv[i][0];
            v.v = uv[i][1];
        }
    }
    return out;
}

void TexturedTriangles(benchmark::State& state)
{
    const uint8_t kind = static_cast<uint8_t>(state.range(0));
    Raster target(kWidth, kHeight);
    Raster texture(256, 256);
    for (size_t i = 0; i < texture.bytes.size(); i++)
        texture.bytes[i] = static_cast<uint8_t>(i * 7 + (i >> 10));
    QV_Raster3D raster;
    raster.AttachTarget(target.buffer);
    raster.SetTexture(&texture.buffer);
    const std::vector<RasterPolygon> triangles = Triangles(kind);
    std::vector<RasterPolygon> work(triangles.size());
    for (auto _ : state) {
        state.PauseTiming();
        work = triangles;
        raster.ClearDepth();
        state.ResumeTiming();
        for (RasterPolygon& p : work)
            raster.DrawPolygon(p);
        benchmark::DoNotOptimize(target.bytes.data());
    }
    state.SetItemsProcessed(state.iterations() * kTriangles);
    state.SetLabel("items/s = triangles per second");
}
BENCHMARK(TexturedTriangles)
    ->Arg(kRasterTexture)
    ->Arg(kRasterTexturePerspective)
    ->Arg(kRasterTexturePerspectiveFiltered)
    ->Unit(benchmark::kMillisecond);

void Noise(Raster& r)
{
    QV_SRand(7);
    for (uint8_t& b : r.bytes)
        b = static_cast<uint8_t>(QV_Rand());
}

void BoxBlurFullHD(benchmark::State& state)
{
    Raster target(kWidth, kHeight);
    Noise(target);
    for (auto _ : state) {
        BoxBlurRGBA(target.buffer, static_cast<int32_t>(state.range(0)));
        benchmark::DoNotOptimize(target.bytes.data());
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BoxBlurFullHD)->Arg(8)->Arg(64)->Unit(benchmark::kMillisecond);

void BoxBlurAlphaFullHD(benchmark::State& state)
{
    Raster target(kWidth, kHeight);
    Noise(target);
    for (auto _ : state) {
        BoxBlurAlpha(target.buffer, static_cast<int32_t>(state.range(0)));
        benchmark::DoNotOptimize(target.bytes.data());
    }
}
BENCHMARK(BoxBlurAlphaFullHD)->Arg(8)->Arg(64)->Unit(benchmark::kMillisecond);

void DiscBlurFullHD(benchmark::State& state)
{
    Raster target(kWidth, kHeight);
    Noise(target);
    for (auto _ : state) {
        DiscBlur(target.buffer, static_cast<int32_t>(state.range(0)));
        benchmark::DoNotOptimize(target.bytes.data());
    }
}
BENCHMARK(DiscBlurFullHD)->Arg(8)->Arg(64)->Unit(benchmark::kMillisecond);

} // namespace
