// Rendering 48 frames of a 1920 x 1080 document with 10 vector layers of 200 filled and outlined
// shapes each (every fourth shape moves, one layer casts a shadow, one is blurred), single
// threaded through the frame render job. Reports milliseconds per frame, by the wall clock and
// by the thread's processor time. CELVANE_RENDER_KEEP names a folder that receives every finished
// frame as a PNG file (outside the timing), to compare renders before and after a change.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

#include "image_file.h"
#include "image_format_registry.h"
#include "qv_baseimage.h"
#include "render_job.h"
#include "render_scene.h"
#include "render_settings.h"
#include "vorndoc.h"

namespace {

// The thread's own processor time: steadier than the wall clock on a busy machine.
double ThreadCpuMs()
{
    timespec t {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

void BM_RenderFrames(benchmark::State& state)
{
    double totalMs = 0;
    double totalCpuMs = 0;
    const char* keep = std::getenv("CELVANE_RENDER_KEEP");
    if (keep && !*keep)
        keep = nullptr;
    if (keep)
        ImageFormatRegistry::Init();
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
        double keepMs = 0;
        for (;;) {
            const int32_t frame = job.fFrame;
            const bool more = job.RenderFrame();
            if (keep && (job.fFrame != frame || !more)) {
                const auto keepStart = std::chrono::steady_clock::now();
                char name[32];
                std::snprintf(name, sizeof name, "/frame%04d.png", int(frame));
                SaveImageFile(image, (std::string(keep) + name).c_str(), PngWriterIndex);
                keepMs += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - keepStart)
                              .count();
            }
            if (!more)
                break;
        }
        totalCpuMs += ThreadCpuMs() - cpuStart;
        const std::chrono::duration<double, std::milli> elapsed
            = std::chrono::steady_clock::now() - start - std::chrono::duration<double, std::milli>(keepMs);
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
