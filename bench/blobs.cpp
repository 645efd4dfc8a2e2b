// 24 frames of a 1920 x 1080 document of 300 overlapping Bezier blobs (closed curves of 8 smooth
// points, each filled and outlined 3 pixels wide, every fourth one moving), single threaded, three
// ways: the render job with its output discarded, the render job writing numbered PNG files, and
// the bare rasteriser filling and stroking the same paths into one buffer with the same gamma and
// scanline type. The last is what the job would cost with no compositing at all.
//
// Besides milliseconds per frame (wall clock and the thread's own processor time, which a busy
// machine disturbs less), the job run counts the heap allocations (new and malloc alike) of the
// frames after the first: a render that reuses what its first frame allocated counts none per
// shape.
#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <new>
#include <string>
#include <system_error>
#include <unistd.h>

#include "agg_conv_curve.h"
#include "agg_conv_stroke.h"
#include "agg_path_storage.h"
#include "agg_renderer_base.h"
#include "agg_renderer_scanline.h"
#include "agg_scanline_u.h"
#include "image_format_registry.h"
#include "m_curve.h"
#include "m_mesh.h"
#include "m_point.h"
#include "m_shape.h"
#include "meshlayer.h"
#include "qv_baseimage.h"
#include "qv_graphics_agg.h"
#include "raster_fill.h"
#include "render_job.h"
#include "render_settings.h"
#include "vorndoc.h"

namespace {

std::atomic<bool> gCounting { false };
std::atomic<int64_t> gAllocations { 0 };

} // namespace

// The replacement pair below allocates with malloc and frees with free; the compiler cannot see
// that operator new and operator delete are this pair and warns about a mismatch.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void* operator new(std::size_t size)
{
#if defined(__SANITIZE_ADDRESS__)
    if (gCounting.load(std::memory_order_relaxed))
        gAllocations.fetch_add(1, std::memory_order_relaxed);
#endif
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}

void* operator new[](std::size_t size)
{
    return operator new(size);
}

// malloc and its kin too (the rasteriser, the graphics context's tables and the image codecs
// allocate with them), outside the sanitiser builds, whose own allocator stands there.
#if !defined(__SANITIZE_ADDRESS__)
extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* p, std::size_t size);

void* malloc(std::size_t size)
{
    if (gCounting.load(std::memory_order_relaxed))
        gAllocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_malloc(size);
}

void* calloc(std::size_t count, std::size_t size)
{
    if (gCounting.load(std::memory_order_relaxed))
        gAllocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_calloc(count, size);
}

void* realloc(void* p, std::size_t size)
{
    if (gCounting.load(std::memory_order_relaxed))
        gAllocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_realloc(p, size);
}
}
#endif

void operator delete(void* p) noexcept
{
    std::free(p);
}

void operator delete[](void* p) noexcept
{
    operator delete(p);
}

void operator delete(void* p, std::size_t) noexcept
{
    operator delete(p);
}

void operator delete[](void* p, std::size_t) noexcept
{
    operator delete(p);
}

namespace {

constexpr int32_t kFrames = 24;
constexpr int32_t kBlobs = 300;
constexpr int32_t kBlobPoints = 8;
constexpr int32_t kWidth = 1920;
constexpr int32_t kHeight = 1080;
constexpr float kLinePixels = 3;

float Unit(uint32_t& state)
{
    state = state * 1664525u + 1013904223u;
    return float(state >> 8) / float(1u << 24);
}

uint8_t Byte(uint32_t& seed)
{
    return uint8_t(255 * Unit(seed));
}

// A closed curve of eight smooth points on a wobbly ring around (x, y), filled and outlined.
void AddBlob(M_Mesh& mesh, float x, float y, float size, uint32_t& seed, bool animated)
{
    const int32_t first = mesh.fNumPoints;
    QV_Vector2 ring[kBlobPoints];
    for (int32_t i = 0; i < kBlobPoints; i++) {
        const float angle = 6.2831853f * float(i) / kBlobPoints;
        const float r = size * (0.7f + 0.6f * Unit(seed));
        ring[i] = QV_Vector2 { x + r * std::cos(angle), y + r * std::sin(angle) };
    }
    mesh.AddLonePoint(ring[0], 0);
    for (int32_t i = 1; i < kBlobPoints; i++)
        mesh.AppendPoint(ring[i], 0);
    const int32_t curve = mesh.fNumCurves - 1;
    mesh.fCurves[curve]->fClosed = true;
    if (animated) {
        const QV_Vector2 drift { 0.3f * (Unit(seed) - 0.5f), 0.3f * (Unit(seed) - 0.5f) };
        for (int32_t i = 0; i < kBlobPoints; i++)
            mesh.fPoints[first + i]->fAnimPos.SetValue(
                kFrames, QV_Vector2 { ring[i].x + drift.x, ring[i].y + drift.y });
    }
    M_Shape* shape = new M_Shape(0);
    shape->fHasFill = true;
    shape->fHasOutline = true;
    for (int32_t segment = 0; segment < kBlobPoints; segment++)
        shape->AddEdge(curve, segment, 0);
    shape->fMyStyle.fFillCol.SetValue(0, rgb_color { Byte(seed), Byte(seed), Byte(seed), 255 });
    shape->fMyStyle.fLineCol.SetValue(0, rgb_color { Byte(seed), Byte(seed), Byte(seed), 255 });
    shape->fMyStyle.fLineWidth = kLinePixels / kHeight;
    mesh.AddShape(shape);
}

MeshLayer* BuildScene(VornDoc& doc)
{
    doc.fWidth = kWidth;
    doc.fHeight = kHeight;
    doc.fEndFrame = kFrames;
    uint32_t seed = 4242;
    MeshLayer* layer = new MeshLayer;
    for (int32_t s = 0; s < kBlobs; s++) {
        const float x = -1.7f + 3.4f * Unit(seed);
        const float y = -0.95f + 1.9f * Unit(seed);
        AddBlob(layer->fMesh, x, y, 0.04f + 0.12f * Unit(seed), seed, s % 4 == 0);
    }
    doc.AddLayer(layer);
    return layer;
}

double ThreadCpuMs()
{
    timespec t {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

double WallMs()
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

struct Timing {
    double wallMs = 0;
    double cpuMs = 0;
    int64_t laterAllocations = 0;
};

// Renders every frame through the job; with a folder, each one goes to a numbered PNG file there.
bool RunJob(const std::string& folder, Timing& timing, std::string& error)
{
    VornDoc doc;
    BuildScene(doc);
    QV_BaseImage image;
    image.Allocate(kWidth, kHeight, 32);
    RenderSettings settings;
    settings.SetDefaults();
    settings.fDoc = &doc;
    settings.fImage = &image;
    settings.fStartFrame = 1;
    settings.fEndFrame = kFrames;
    // Both runs take the PNG path (transparent background, straight alpha); only one has a file.
    settings.fFormat = PngWriterIndex;
    if (!folder.empty())
        settings.fPath = (folder + "/blob.png").c_str();
    RenderJob job;
    job.fSettings = &settings;
    job.fFrame = settings.fStartFrame;
    const double wall = WallMs();
    const double cpu = ThreadCpuMs();
    gAllocations = 0;
    while (job.RenderFrame()) {
        // Counting starts once the first frame is done.
        if (job.fFrame > settings.fStartFrame)
            gCounting = true;
    }
    gCounting = false;
    timing.wallMs = WallMs() - wall;
    timing.cpuMs = ThreadCpuMs() - cpu;
    timing.laterAllocations = gAllocations;
    benchmark::DoNotOptimize(image.buffer.pixels);
    if (job.LastStatus() != 0)
        error = job.LastError().CString();
    return job.LastStatus() == 0;
}

// The document's blob paths at the current frame in raster pixels: centred, one unit half the
// height, y up.
void BlobPath(M_Mesh& mesh, int32_t shape, agg::path_storage& path)
{
    path.remove_all();
    M_Shape* s = mesh.fShapes[shape];
    const auto px = [](const QV_Vector2& v) { return double(kWidth) / 2 + double(v.x) * kHeight / 2; };
    const auto py = [](const QV_Vector2& v) { return double(kHeight) / 2 - double(v.y) * kHeight / 2; };
    for (int32_t e = 0; e < s->fNumEdges; e++) {
        QV_Vector2 b[4];
        mesh.fCurves[s->fEdgeCurves[e]]->GetSegmentBezier(s->fEdgeSegments[e], b);
        if (e == 0)
            path.move_to(px(b[0]), py(b[0]));
        path.curve4(px(b[1]), py(b[1]), px(b[2]), py(b[2]), px(b[3]), py(b[3]));
    }
    path.close_polygon();
}

struct TableGamma {
    double operator()(double x) const
    {
        const int32_t i = int32_t(x * 255.0 + 0.5);
        return kSmoothFillGamma[i < 0 ? 0 : (i > 255 ? 255 : i)] / 255.0;
    }
};

void RunBaseline(Timing& timing)
{
    VornDoc doc;
    MeshLayer* layer = BuildScene(doc);
    QV_BaseImage image;
    image.Allocate(kWidth, kHeight, 32);
    QV_AggBuffer buffer;
    buffer.attach(image.buffer.pixels, kWidth, kHeight, image.buffer.rowBytes);
    QV_AggPixelFormat pixels(buffer);
    agg::renderer_base<QV_AggPixelFormat> base(pixels);
    QV_AggRasterizer rasterizer;
    rasterizer.gamma(TableGamma());
    agg::scanline_u8 scanline;
    agg::path_storage path;
    agg::conv_curve<agg::path_storage> curves(path);
    agg::conv_stroke<agg::conv_curve<agg::path_storage>> stroke(curves);
    stroke.width(kLinePixels);
    const double wall = WallMs();
    const double cpu = ThreadCpuMs();
    for (int32_t frame = 1; frame <= kFrames; frame++) {
        doc.SetCurFrame(frame);
        FillRaster(image.buffer, rgb_color { 0, 0, 0, 0 });
        M_Mesh& mesh = layer->fMesh;
        for (int32_t s = 0; s < mesh.fNumShapes; s++) {
            const rgb_color fill = mesh.fShapes[s]->fMyStyle.fFillCol.value;
            const rgb_color line = mesh.fShapes[s]->fMyStyle.fLineCol.value;
            BlobPath(mesh, s, path);
            rasterizer.reset();
            rasterizer.add_path(curves);
            agg::render_scanlines_aa_solid(rasterizer, scanline, base, agg::rgba8(fill.r, fill.g, fill.b, 255));
            rasterizer.reset();
            rasterizer.add_path(stroke);
            agg::render_scanlines_aa_solid(rasterizer, scanline, base, agg::rgba8(line.r, line.g, line.b, 255));
        }
    }
    timing.wallMs = WallMs() - wall;
    timing.cpuMs = ThreadCpuMs() - cpu;
    benchmark::DoNotOptimize(image.buffer.pixels);
}

void Report(benchmark::State& state, const Timing& timing)
{
    state.SetIterationTime(timing.wallMs / 1000.0);
    state.counters["ms_per_frame"] = timing.wallMs / kFrames;
    state.counters["cpu_ms_per_frame"] = timing.cpuMs / kFrames;
}

void BM_BlobsJob(benchmark::State& state)
{
    ImageFormatRegistry::Init();
    for (auto _ : state) {
        Timing timing;
        std::string error;
        if (!RunJob("", timing, error))
            state.SkipWithError(error.c_str());
        Report(state, timing);
        state.counters["allocations_per_later_frame"] = double(timing.laterAllocations) / (kFrames - 1);
    }
}

void BM_BlobsJobPng(benchmark::State& state)
{
    ImageFormatRegistry::Init();
    std::error_code ec;
    // CELVANE_BLOBS_KEEP names a folder that keeps the frames, to compare renders before and after
    // a change of the renderer.
    const char* keep = std::getenv("CELVANE_BLOBS_KEEP");
    const std::filesystem::path folder = keep && *keep
        ? std::filesystem::path(keep)
        : std::filesystem::temp_directory_path(ec) / ("celvane_blobs_" + std::to_string(getpid()));
    std::filesystem::create_directories(folder, ec);
    for (auto _ : state) {
        Timing timing;
        std::string error;
        if (!RunJob(folder.string(), timing, error))
            state.SkipWithError(error.c_str());
        Report(state, timing);
    }
    if (!keep || !*keep)
        std::filesystem::remove_all(folder, ec);
}

void BM_BlobsRasteriserBaseline(benchmark::State& state)
{
    for (auto _ : state) {
        Timing timing;
        RunBaseline(timing);
        Report(state, timing);
    }
}

} // namespace

BENCHMARK(BM_BlobsJob)->Unit(benchmark::kMillisecond)->Iterations(1)->UseManualTime();
BENCHMARK(BM_BlobsJobPng)->Unit(benchmark::kMillisecond)->Iterations(1)->UseManualTime();
BENCHMARK(BM_BlobsRasteriserBaseline)->Unit(benchmark::kMillisecond)->Iterations(1)->UseManualTime();
