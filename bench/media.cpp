// Media layers: a 1080p frame with a full-frame movie layer and a full-frame still, antialiased
// (the movie decodes each of its 48 frames once, as the frame index moves on); a 3D layer of a
// 20,000-face OBJ model; the document's audio mixdown of 10 minutes from 8 stereo sources. The
// inputs are made with ffmpeg in a temporary folder on first use.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "audiolayer.h"
#include "blend_tables.h"
#include "imagelayer.h"
#include "image_format_registry.h"
#include "layer_effects.h"
#include "media_presence.h"
#include "mesh3dlayer.h"
#include "qv_baseimage.h"
#include "qv_raster3d.h"
#include "render_settings.h"
#include "vorndoc.h"
#include "xgraphics.h"

namespace {

constexpr int32_t kWidth = 1920;
constexpr int32_t kHeight = 1080;
constexpr int32_t kFrames = 48;

const std::string& Folder()
{
    static std::string folder;
    if (folder.empty()) {
        char pattern[] = "/tmp/celvane_bench_media_XXXXXX";
        if (mkdtemp(pattern))
            folder = pattern;
        std::atexit([] {
            std::error_code error;
            std::filesystem::remove_all(folder, error);
        });
    }
    return folder;
}

// Made once per run; empty when ffmpeg failed.
std::string Made(const std::string& name, const std::string& ffmpegInput)
{
    const std::string path = Folder() + "/" + name;
    if (!std::filesystem::exists(path)) {
        const std::string command = "ffmpeg -nostdin -v error -y " + ffmpegInput + " '" + path + "' > /dev/null 2>&1";
        if (std::system(command.c_str()) != 0)
            return {};
    }
    return path;
}

// The render job's set-up for one 1080p frame without a margin.
struct Frame {
    Frame()
    {
        BuildBlendTables();
        ImageFormatRegistry::Init();
        gQuickTimePresent = true;
        doc.SetShape(kWidth, kHeight);
        doc.SetFps(24);
        settings.SetDefaults();
        settings.fDoc = &doc;
        settings.fAntialias = true;
        settings.fSupersampleImage = &supersample;
        target.Allocate(kWidth, kHeight, 32);
        graphics.fViewMode = QV_Graphics::kViewCentered;
        graphics.SetRaster(&target.buffer);
    }
    ~Frame() { delete settings.fRaster3D; }

    void Render(VornLayer* layer, int32_t frame)
    {
        doc.SetCurFrame(frame);
        ClearRaster(target.buffer);
        if (settings.fRaster3D)
            settings.fRaster3D->ClearDepth();
        graphics.BeginDraw();
        layer->RenderItem(&doc, &graphics, &target.buffer, nullptr, 0, &settings);
        graphics.EndDraw();
    }

    VornDoc doc;
    RenderSettings settings;
    QV_BaseImage supersample;
    QV_BaseImage target;
    XGraphics graphics;
};

void BM_MovieAndStillLayers1080p(benchmark::State& state)
{
    const std::string movie = Made("movie.mp4", "-f lavfi -i testsrc2=s=1920x1080:r=24:d=2 -c:v mpeg4 -q:v 4");
    const std::string still = Made("still.png", "-f lavfi -i testsrc=s=1920x1080 -frames:v 1");
    if (movie.empty() || still.empty()) {
        state.SkipWithError("ffmpeg could not make the inputs");
        return;
    }
    Frame frame;
    auto* movieLayer = new ImageLayer;
    auto* stillLayer = new ImageLayer;
    frame.doc.AddLayer(movieLayer);
    frame.doc.AddLayer(stillLayer);
    movieLayer->SetSourceImage(movie.c_str());
    stillLayer->SetSourceImage(still.c_str());
    movieLayer->SetMovieLooping(true);
    int32_t n = 0;
    for (auto _ : state) {
        const int32_t f = 1 + n++ % kFrames;
        frame.Render(movieLayer, f);
        frame.Render(stillLayer, f);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_MovieAndStillLayers1080p)->Unit(benchmark::kMillisecond)->Iterations(kFrames);

void BM_Mesh3DLayer20000Faces(benchmark::State& state)
{
    // A 100 x 100 grid of quads, each two triangles, bent into a shallow bowl.
    const std::string obj = Folder() + "/grid.obj";
    if (FILE* f = std::fopen(obj.c_str(), "w")) {
        constexpr int32_t n = 100;
        for (int32_t y = 0; y <= n; y++)
            for (int32_t x = 0; x <= n; x++) {
                const float u = float(x) / n - 0.5f, v = float(y) / n - 0.5f;
                std::fprintf(f, "v %f %f %f\n", u * 1.6, v * 1.6, (u * u + v * v) * 0.5);
            }
        for (int32_t y = 0; y < n; y++)
            for (int32_t x = 0; x < n; x++) {
                const int32_t a = y * (n + 1) + x + 1;
                std::fprintf(f, "f %d %d %d\nf %d %d %d\n", a, a + 1, a + n + 2, a, a + n + 2, a + n + 1);
            }
        std::fclose(f);
    }
    Frame frame;
    auto* layer = new Mesh3DLayer;
    frame.doc.AddLayer(layer);
    layer->SetSourceMesh(obj.c_str());
    layer->fRotationX.SetValue(0, 0.6f);
    int32_t n = 0;
    for (auto _ : state)
        frame.Render(layer, 1 + n++ % kFrames);
    state.counters["faces"] = float(layer->Mesh().CountFaces());
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Mesh3DLayer20000Faces)->Unit(benchmark::kMillisecond);

void BM_MixdownTenMinutesEightSources(benchmark::State& state)
{
    const std::string sound = Made("tone.wav", "-f lavfi -i sine=f=440:r=8000:d=600 -ac 2");
    if (sound.empty()) {
        state.SkipWithError("ffmpeg could not make the sound");
        return;
    }
    VornDoc doc;
    doc.SetFps(24);
    for (int32_t i = 0; i < 8; i++) {
        auto* layer = new AudioLayer;
        doc.AddLayer(layer);
        layer->SetAudioFile(sound.c_str());
        layer->fAudioLevel.SetValue(240 * i, 0.5f);
    }
    const std::string out = Folder() + "/mix.wav";
    constexpr double kSeconds = 600;
    for (auto _ : state) {
        if (!doc.MixdownAudio(1, int32_t(kSeconds * 24), out.c_str()))
            state.SkipWithError("the mixdown failed");
    }
    state.counters["x_realtime"] = benchmark::Counter(kSeconds * double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_MixdownTenMinutesEightSources)->Unit(benchmark::kMillisecond)->Iterations(2);

} // namespace
