// Writing and reading a document of 100 vector layers with 2,000 points each (about 10 MB of
// text), and taking an undo snapshot of it. Reading must stay linear in the file size, also for
// deeply nested groups.
#include <benchmark/benchmark.h>

#include <string>

#include "m_mesh.h"
#include "meshlayer.h"
#include "qv_memstream.h"
#include "vorndoc.h"

namespace {

void Build(VornDoc& doc, int32_t layers, int32_t points)
{
    for (int32_t l = 0; l < layers; l++) {
        MeshLayer* layer = new MeshLayer;
        layer->fMesh.AddLonePoint(QV_Vector2 { 0, 0 }, 0);
        for (int32_t i = 1; i < points; i++)
            layer->fMesh.AppendPoint(QV_Vector2 { i * 0.001f, (i % 7) * 0.01f }, 0);
        doc.AddLayer(layer);
    }
}

std::string Written(VornDoc& doc)
{
    QV_MemStream out;
    out.Open(0);
    doc.Write(nullptr, &out);
    std::string text(size_t(out.Size()), '\0');
    out.Rewind();
    out.ReadBytes(text.data(), int32_t(text.size()));
    return text;
}

void BM_WriteDocument(benchmark::State& state)
{
    VornDoc doc;
    Build(doc, 100, int32_t(state.range(0)));
    size_t bytes = 0;
    for (auto _ : state)
        bytes += Written(doc).size();
    state.SetBytesProcessed(int64_t(bytes));
}

void BM_ReadDocument(benchmark::State& state)
{
    VornDoc doc;
    Build(doc, 100, int32_t(state.range(0)));
    const std::string text = Written(doc);
    for (auto _ : state) {
        QV_MemStream in;
        in.Open(int32_t(text.size()) + 16);
        in.WriteBytes(text.data(), int32_t(text.size()));
        in.Rewind();
        in.fReading = true;
        VornDoc back(&in);
        benchmark::DoNotOptimize(back.fReadFailed);
    }
    state.SetBytesProcessed(int64_t(text.size()) * state.iterations());
    state.SetComplexityN(int64_t(text.size()));
}

// Groups nested one in the next, as deep as a document may nest them: the time should grow with
// the depth, not with its square or cube.
void BM_ReadNestedGroups(benchmark::State& state)
{
    std::string text = "application/x-vnd.qv_vorndoc\nversion 19\n";
    for (int64_t i = 0; i < state.range(0); i++)
        text += "layer_type 3\n{\n";
    for (int64_t i = 0; i < state.range(0); i++)
        text += "}\n";
    for (auto _ : state) {
        QV_MemStream in;
        in.Open(int32_t(text.size()) + 16);
        in.WriteBytes(text.data(), int32_t(text.size()));
        in.Rewind();
        in.fReading = true;
        VornDoc back(&in);
        benchmark::DoNotOptimize(back.fReadFailed);
    }
    state.SetComplexityN(state.range(0));
}

void BM_UndoSnapshot(benchmark::State& state)
{
    VornDoc doc;
    Build(doc, 100, 2000);
    int32_t i = 0;
    for (auto _ : state) {
        doc.PrepUndo(doc.Layer(i++ % 100));
    }
}

} // namespace

BENCHMARK(BM_WriteDocument)->Arg(2000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadDocument)->Arg(500)->Arg(1000)->Arg(2000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);
BENCHMARK(BM_ReadNestedGroups)->Arg(64)->Arg(128)->Arg(256)->Unit(benchmark::kMillisecond)->Complexity();
BENCHMARK(BM_UndoSnapshot)->Unit(benchmark::kMillisecond);
