// Opening an older document (format versions 8 to 10) costs time in proportion to its size: one
// layer whose translation has N keys, converted alone and then read by the program's reader.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <string>

#include "older_document.h"
#include "older_document_hook.h"
#include "qv_filestream.h"
#include "qv_memstream.h"
#include "vorndoc.h"

namespace {

// A version-10 document of one vector layer whose translation holds the given number of keys,
// written to a file of its own.
class OlderFile {
public:
    explicit OlderFile(int64_t keys)
    {
        fPath = "/tmp/celvane_bench_older_" + std::to_string(getpid()) + "_" + std::to_string(keys) + ".vorn";
        std::string text = "application/x-vnd.qv_vorndoc\nversion 10\nlayer 1\nname \"Walker\"\ntranslation "
            + std::to_string(keys) + " 0\n";
        for (int64_t k = 0; k < keys; k++)
            text += std::to_string(k * 2) + " " + std::to_string(k % 5) + " " + std::to_string(k % 97) + ".25 -"
                + std::to_string(k % 13) + ".5\n";
        text += "end_layer\n";
        if (FILE* file = std::fopen(fPath.c_str(), "wb")) {
            std::fwrite(text.data(), 1, text.size(), file);
            std::fclose(file);
        }
        fBytes = int64_t(text.size());
    }
    ~OlderFile() { std::remove(fPath.c_str()); }
    const char* Path() const { return fPath.c_str(); }
    int64_t Bytes() const { return fBytes; }

private:
    std::string fPath;
    int64_t fBytes = 0;
};

void BM_ConvertOnly(benchmark::State& state)
{
    OlderFile file(state.range(0));
    for (auto _ : state) {
        QV_MemStream out;
        out.Open(0);
        if (!vorn_v4::ConvertOlderDocument(file.Path(), &out))
            state.SkipWithError("the document did not convert");
        benchmark::DoNotOptimize(out.Size());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * file.Bytes());
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ConvertOnly)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Complexity();

void BM_OpenThroughTheReader(benchmark::State& state)
{
    SetOlderDocumentConverter(vorn_v4::ConvertOlderDocument);
    OlderFile file(state.range(0));
    for (auto _ : state) {
        QV_FileStream in;
        in.Open(file.Path(), true);
        VornDoc doc(&in);
        if (doc.fReadFailed)
            state.SkipWithError("the document did not open");
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * file.Bytes());
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_OpenThroughTheReader)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Complexity();

} // namespace
