// Rendering 48 frames of a 1920 x 1080 document with 10 vector layers of 200 filled and outlined
// shapes each (every fourth shape moves, one layer casts a shadow, one is blurred), single
// threaded through the frame render job. Reports milliseconds per frame, by the wall clock and
// by the thread's processor time.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <ctime>

#include "m_curve.h"
#include "m_mesh.h"
#include "m_point.h"
#include "m_shape.h"
#include "meshlayer.h"
#include "qv_baseimage.h"
#include "qv_random.h"
#include "render_job.h"
#include "render_settings.h"
#include "vorndoc.h"

namespace {

constexpr int32_t kFrames = 48;

// The thread's own processor time: steadier than the wall clock on a busy machine.
double ThreadCpuMs()
{
    timespec t {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

float Unit(uint32_t& state)
{
    state = state * 1664525u + 1013904223u;
    return float(state >> 8) / float(1u << 24);
}

// A closed four-point blob around (x, y) as one shape with a fill and an outline.
void AddBlob(M_Mesh& mesh, float x, float y, float size, uint32_t& seed, bool animated)
{
    const QV_Vector2 corners[4] = { { x - size, y - size }, { x + size, y - size }, { x + size, y + size },
        { x - size, y + size } };
    const int32_t first = mesh.fNumPoints;
    mesh.AddLonePoint(corners[0], 0);
    for (int32_t i = 1; i < 4; i++)
        mesh.AppendPoint(corners[i], 0);
    const int32_t curve = mesh.fNumCurves - 1;
    mesh.fCurves[curve]->fClosed = true;
    if (animated) {
        for (int32_t i = 0; i < 4; i++) {
            M_Point* point = mesh.fPoints[first + i];
            point->fAnimPos.SetValue(kFrames, QV_Vector2 { corners[i].x + 0.2f * Unit(seed), corners[i].y + 0.1f * Unit(seed) });
        }
    }
    M_Shape* shape = new M_Shape(0);
    shape->fHasFill = true;
    shape->fHasOutline = true;
    for (int32_t segment = 0; segment < 4; segment++)
        shape->AddEdge(curve, segment, 0);
    shape->fMyStyle.fFillCol.SetValue(0,
        rgb_color { uint8_t(255 * Unit(seed)), uint8_t(255 * Unit(seed)), uint8_t(255 * Unit(seed)), 255 });
    shape->fMyStyle.fLineWidth = 0.004f;
    mesh.AddShape(shape);
}

void BuildScene(VornDoc& doc)
{
    doc.fWidth = 1920;
    doc.fHeight = 1080;
    doc.fEndFrame = kFrames;
    uint32_t seed = 12345;
    for (int32_t l = 0; l < 10; l++) {
        MeshLayer* layer = new MeshLayer;
        for (int32_t s = 0; s < 200; s++) {
            const float x = -1.7f + 3.4f * Unit(seed);
            const float y = -0.95f + 1.9f * Unit(seed);
            AddBlob(layer->fMesh, x, y, 0.02f + 0.06f * Unit(seed), seed, s % 4 == 0);
        }
        if (l == 3) {
            layer->fLayerShadow.SetValue(0, true);
            layer->fShadowOffset.SetValue(0, 0.02f);
            layer->fShadowBlur.SetValue(0, 0.01f);
        }
        if (l == 7)
            layer->fBlur.SetValue(0, 0.004f);
        doc.AddLayer(layer);
    }
}

void BM_RenderFrames(benchmark::State& state)
{
    double totalMs = 0;
    double totalCpuMs = 0;
    for (auto _ : state) {
        VornDoc doc;
        BuildScene(doc);
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

} // namespace

BENCHMARK(BM_RenderFrames)->Unit(benchmark::kMillisecond)->Iterations(1)->UseManualTime();
