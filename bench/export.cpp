// Exporting the render benchmark's scene at 1280 x 720, frames 1 to 120, through the export run
// the export and batch windows drive: to AVI (the default codec) and to SWF. Reports frames per
// second ("fps") and the share of the wall time spent outside the render steps ("outside_pct":
// setting up, opening and finishing the movie, saving the SWF at level 6); the goal is below 15 %. The SWF
// run stops at 30 frames: every frame defines the scene's 2000 shapes anew, and an SWF file holds
// at most 65535 characters.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <unistd.h>

#include "export_formats.h"
#include "export_run.h"
#include "image_format_registry.h"
#include "qv_baseimage.h"
#include "render_scene.h"
#include "render_settings.h"
#include "vorndoc.h"

namespace {

constexpr int32_t kExportFrames = 120;
constexpr int32_t kSwfFrames = 30;

void Export(benchmark::State& state, bool swf)
{
    ImageFormatRegistry::Init();
    const std::string path = "/tmp/celvane_bench_export_" + std::to_string(getpid()) + (swf ? ".swf" : ".avi");
    double totalMs = 0;
    double stepMs = 0;
    for (auto _ : state) {
        VornDoc doc;
        BuildScene(doc);
        doc.fWidth = 1280;
        doc.fHeight = 720;
        const int32_t frames = swf ? kSwfFrames : kExportFrames;
        doc.fEndFrame = frames;
        RenderSettings settings;
        settings.SetDefaults();
        settings.fStartFrame = 1;
        settings.fEndFrame = frames;
        settings.fPath = path.c_str();
        settings.fFormat = swf ? SwfListPosition() - 1 : AviListPosition() - 1;
        const auto start = std::chrono::steady_clock::now();
        QV_BaseImage frame;
        ExportRun run(&doc, settings, &frame);
        run.AllocateFrame();
        if (swf)
            run.PrepareSWF();
        else if (run.OpenMovie(nullptr, true) != 0)
            state.SkipWithError("the movie cannot be opened");
        for (;;) {
            const auto before = std::chrono::steady_clock::now();
            const bool more = run.Step();
            stepMs += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - before).count();
            if (!more)
                break;
        }
        QV_String reason;
        if (!run.Finish(false, reason))
            state.SkipWithError(reason.CString());
        totalMs += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    }
    std::remove(path.c_str());
    const double runs = double(state.iterations());
    state.counters["fps"] = totalMs > 0 ? (swf ? kSwfFrames : kExportFrames) * runs * 1000.0 / totalMs : 0;
    state.counters["outside_pct"] = totalMs > 0 ? 100.0 * (totalMs - stepMs) / totalMs : 0;
}

void BM_ExportAvi(benchmark::State& state)
{
    Export(state, false);
}
void BM_ExportSwf(benchmark::State& state)
{
    Export(state, true);
}

BENCHMARK(BM_ExportAvi)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_ExportSwf)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
