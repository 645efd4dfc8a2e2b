// Particle simulation speed: a full start runs a lifetime ahead for every particle, and every
// forward frame steps each particle once (a release redraws its spawn from the generator). Then
// whole 1920 x 1080 frames of those particles through the frame render job.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <ctime>

#include "m_curve.h"
#include "m_mesh.h"
#include "m_shape.h"
#include "meshlayer.h"
#include "particlelayer.h"
#include "qv_baseimage.h"
#include "render_job.h"
#include "render_settings.h"
#include "vorndoc.h"

namespace {

constexpr int32_t kParticles = 1000;
constexpr int32_t kLifetime = 48;

// A small filled and outlined square: the template every particle draws.
MeshLayer* Spark()
{
    MeshLayer* layer = new MeshLayer;
    M_Mesh& mesh = layer->fMesh;
    const float h = 0.02f;
    mesh.AddLonePoint(QV_Vector2 { -h, -h }, 0);
    mesh.AppendPoint(QV_Vector2 { h, -h }, 0);
    mesh.AppendPoint(QV_Vector2 { h, h }, 0);
    mesh.AppendPoint(QV_Vector2 { -h, h }, 0);
    const int32_t curve = mesh.fNumCurves - 1;
    mesh.fCurves[curve]->fClosed = true;
    M_Shape* shape = new M_Shape(0);
    shape->fHasFill = true;
    shape->fHasOutline = true;
    for (int32_t segment = 0; segment < 4; segment++)
        shape->AddEdge(curve, segment, 0);
    shape->fMyStyle.fFillCol.SetValue(0, rgb_color { 250, 180, 40, 255 });
    shape->fMyStyle.fLineWidth = 0.003f;
    mesh.AddShape(shape);
    return layer;
}

void Configure(ParticleLayer& layer)
{
    layer.AddLayer(Spark());
    layer.SetNumParticles(kParticles, 20);
    layer.SetLifetime(kLifetime);
    layer.SetFullSpeedStart(true);
}

void BM_SeedWithFullStart(benchmark::State& state)
{
    ParticleLayer layer;
    Configure(layer);
    int32_t seed = 1;
    for (auto _ : state)
        layer.SetRandomSeed(seed++);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SeedWithFullStart)->Unit(benchmark::kMillisecond);

void BM_ForwardStep(benchmark::State& state)
{
    ParticleLayer layer;
    Configure(layer);
    layer.SetRandomSeed(5);
    int32_t frame = 0;
    for (auto _ : state) {
        // Past a long run the layer starts again from a seeding, outside the timing.
        if (++frame > 2000) {
            state.PauseTiming();
            layer.SetCurFrame(0);
            frame = 1;
            state.ResumeTiming();
        }
        layer.SetCurFrame(frame);
    }
    state.SetItemsProcessed(state.iterations() * kParticles);
}
BENCHMARK(BM_ForwardStep)->Unit(benchmark::kMicrosecond);

// The thread's own processor time: steadier than the wall clock on a busy machine.
double ThreadCpuMs()
{
    timespec t {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// Milliseconds per rendered frame over 24 frames, the particles stepping forward between them.
void BM_RenderFrame(benchmark::State& state)
{
    constexpr int32_t kFrames = 24;
    double totalMs = 0;
    double totalCpuMs = 0;
    for (auto _ : state) {
        VornDoc doc;
        doc.fWidth = 1920;
        doc.fHeight = 1080;
        doc.fEndFrame = kFrames;
        ParticleLayer* layer = new ParticleLayer;
        doc.AddLayer(layer);
        Configure(*layer);
        layer->SetRandomSeed(5);
        QV_BaseImage image;
        image.Allocate(doc.fWidth, doc.fHeight, 32);
        RenderSettings settings;
        settings.SetDefaults();
        settings.fDoc = &doc;
        settings.fImage = &image;
        settings.fStartFrame = 1;
        settings.fEndFrame = kFrames;
        RenderJob job;
        job.fSettings = &settings;
        job.fFrame = settings.fStartFrame;
        const auto start = std::chrono::steady_clock::now();
        const double cpuStart = ThreadCpuMs();
        while (job.RenderFrame()) { }
        totalCpuMs += ThreadCpuMs() - cpuStart;
        const std::chrono::duration<double, std::milli> elapsed = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(elapsed.count() / 1000.0);
        totalMs += elapsed.count();
        benchmark::DoNotOptimize(image.buffer.pixels);
        if (job.LastStatus() != 0)
            state.SkipWithError(job.LastError().CString());
    }
    state.counters["ms_per_frame"] = totalMs / (double(state.iterations()) * kFrames);
    state.counters["cpu_ms_per_frame"] = totalCpuMs / (double(state.iterations()) * kFrames);
}
BENCHMARK(BM_RenderFrame)->Unit(benchmark::kMillisecond)->Iterations(1)->UseManualTime();

} // namespace
