// The document of the render benchmark (1920 x 1080, 10 vector layers of 200 shapes, every layer
// moving) exported to an SWF movie through the frame render job and saved compressed at level 9.
// Reports frames per second including the save, and the file's size. Moving layers are written
// anew every frame, one SWF shape per shape: 48 frames would need 96,000 character ids, more than
// the format's 65,535, so the export stops at 32 frames.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "qv_baseimage.h"
#include "qv_temp_file.h"
#include "render_job.h"
#include "render_scene.h"
#include "render_settings.h"
#include "swf.h"

namespace {

constexpr int32_t kSwfFrames = 32;

void BM_ExportSwf(benchmark::State& state)
{
    double totalSeconds = 0;
    double bytes = 0;
    const std::string path = std::string(TempFileName().CString()) + ".swf";
    for (auto _ : state) {
        VornDoc doc;
        BuildScene(doc);
        QV_BaseImage image;
        image.Allocate(doc.fWidth, doc.fHeight, 32);
        const auto start = std::chrono::steady_clock::now();
        SWFMovie movie = newSWFMovie();
        SWFMovie_setRate(movie, doc.Fps());
        SWFMovie_setDimension(movie, float(doc.fWidth), float(doc.fHeight));
        SWFMovie_setNumberOfFrames(movie, kSwfFrames);
        RenderSettings settings;
        settings.SetDefaults();
        settings.fDoc = &doc;
        settings.fImage = &image;
        settings.fStartFrame = 1;
        settings.fEndFrame = kSwfFrames;
        settings.fSWFMovie = movie;
        RenderJob job;
        job.fSettings = &settings;
        job.fFrame = settings.fStartFrame;
        while (job.RenderFrame()) { }
        const int written = SWFMovie_save(movie, path.c_str(), 9);
        destroySWFMovie(movie);
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(elapsed.count());
        totalSeconds += elapsed.count();
        bytes = written;
        if (job.LastStatus() != 0 || written < 0)
            state.SkipWithError("the SWF export failed");
    }
    std::remove(path.c_str());
    state.counters["frames_per_second"] = double(state.iterations()) * kSwfFrames / totalSeconds;
    state.counters["file_bytes"] = bytes;
}

// The save alone at a compression level (the argument): the time and the size, for choosing the
// level an export saves at.
void BM_SaveSwfAtLevel(benchmark::State& state)
{
    const int level = int(state.range(0));
    VornDoc doc;
    BuildScene(doc);
    QV_BaseImage image;
    image.Allocate(doc.fWidth, doc.fHeight, 32);
    SWFMovie movie = newSWFMovie();
    SWFMovie_setRate(movie, doc.Fps());
    SWFMovie_setDimension(movie, float(doc.fWidth), float(doc.fHeight));
    RenderSettings settings;
    settings.SetDefaults();
    settings.fDoc = &doc;
    settings.fImage = &image;
    settings.fStartFrame = 1;
    settings.fEndFrame = kSwfFrames;
    settings.fSWFMovie = movie;
    {
        RenderJob job;
        job.fSettings = &settings;
        job.fFrame = settings.fStartFrame;
        while (job.RenderFrame()) { }
    }
    const std::string path = std::string(TempFileName().CString()) + ".swf";
    double bytes = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        bytes = SWFMovie_save(movie, path.c_str(), level);
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    destroySWFMovie(movie);
    std::remove(path.c_str());
    state.counters["file_bytes"] = bytes;
}

} // namespace

BENCHMARK(BM_ExportSwf)->Unit(benchmark::kMillisecond)->Iterations(1)->UseManualTime();
BENCHMARK(BM_SaveSwfAtLevel)->Arg(1)->Arg(6)->Arg(9)->Unit(benchmark::kMillisecond)->Iterations(3)->UseManualTime();
