// Writing 240 frames of a changing 1920 x 1080 picture into a movie, per codec: uncompressed and
// MJPEG AVI, the default (MPEG-4) and PNG MOV. Reports frames per second ("fps"); the time
// includes finishing the file. MJPEG AVI and the default MOV are expected to keep 50 frames/s in
// a release build.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

#include "media_presence.h"
#include "qv_avi_writer.h"
#include "qv_movie_writer.h"
#include "qv_pixelbuffer.h"
#include "qv_qt_movie_writer.h"

namespace {

constexpr int32_t kWidth = 1920;
constexpr int32_t kHeight = 1080;
constexpr int32_t kFrames = 240;

// A diagonal gradient sweeping across, with a moving bright bar: every frame differs everywhere.
void Paint(std::vector<uint8_t>& pixels, int32_t frame)
{
    for (int32_t y = 0; y < kHeight; ++y) {
        uint8_t* row = pixels.data() + size_t(y) * kWidth * 4;
        for (int32_t x = 0; x < kWidth; ++x) {
            const bool bar = ((x + frame * 8) % 400) < 40;
            row[x * 4 + 0] = uint8_t(x / 8 + frame);
            row[x * 4 + 1] = bar ? 255 : uint8_t(y / 5 + frame * 2);
            row[x * 4 + 2] = uint8_t((x + y) / 12 - frame);
            row[x * 4 + 3] = 255;
        }
    }
}

void WriteMovie(benchmark::State& state, int32_t kind, const char* aviEncoder, const char* qtCodec)
{
    gQuickTimePresent = true;
    gAviOptions = AviCompression();
    gAviOptions.fEncoder = aviEncoder;
    gAviOptionsValid = true;
    delete gQtSettings;
    gQtSettings = new QtCompression();
    gQtSettings->fCodec = FourCharCode(reinterpret_cast<const char(&)[5]>(*qtCodec));

    std::vector<std::vector<uint8_t>> frames(8, std::vector<uint8_t>(size_t(kWidth) * kHeight * 4));
    for (int32_t i = 0; i < 8; ++i)
        Paint(frames[size_t(i)], i * 30);
    QV_PixelBuffer raster;
    raster.width = kWidth;
    raster.height = kHeight;
    raster.depth = 32;
    raster.bytesPerPixel = 4;
    raster.rowBytes = kWidth * 4;
    const std::string path = std::filesystem::temp_directory_path().string() + "/celvane_bench_"
        + std::to_string(getpid()) + "." + MovieFileExtension(kind).CString();
    for (auto _ : state) {
        QV_MovieWriter writer;
        raster.pixels = frames[0].data();
        if (writer.Open(raster, path.c_str(), 24, kFrames, kind, nullptr, true) != 0) {
            state.SkipWithError("the movie cannot be opened");
            break;
        }
        for (int32_t i = 0; i < kFrames; ++i) {
            // Eight pictures, each repeated over a run of frames and cycled: the encoder sees
            // change at every step without the painting counting in the time.
            raster.pixels = frames[size_t((i / 2) % 8)].data();
            const bool ok = writer.fAvi ? writer.fAvi->WriteFrame(raster) : writer.fQt->WriteFrame(raster);
            if (!ok) {
                state.SkipWithError("a frame was not written");
                break;
            }
        }
        if (!writer.Close())
            state.SkipWithError("the movie was not finished");
    }
    std::remove(path.c_str());
    state.counters["fps"] = benchmark::Counter(double(kFrames) * double(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_AviUncompressed(benchmark::State& state)
{
    WriteMovie(state, kMovieKindAvi, "", "mp4v");
}
void BM_AviMjpeg(benchmark::State& state)
{
    WriteMovie(state, kMovieKindAvi, "mjpeg", "mp4v");
}
void BM_MovDefault(benchmark::State& state)
{
    WriteMovie(state, kMovieKindQuickTime, "", "mp4v");
}
void BM_MovPng(benchmark::State& state)
{
    WriteMovie(state, kMovieKindQuickTime, "", "png ");
}

} // namespace

BENCHMARK(BM_AviUncompressed)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
BENCHMARK(BM_AviMjpeg)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
BENCHMARK(BM_MovDefault)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
BENCHMARK(BM_MovPng)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
