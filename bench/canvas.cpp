// The canvas at 1280 x 720 over 10 vector layers of 20 filled, outlined shapes, the current
// layer's overlays on: a full redraw, and one step of a tool drag (the tool's callback, which
// records its arguments, and the redraw it asks for).
#include <filesystem>
#include <fstream>

#include <benchmark/benchmark.h>

#include "app_prefs.h"
#include "canvas_view.h"
#include "qv_message.h"
#include "render_scene.h"
#include "script.h"
#include "script_registry.h"
#include "vorn_module.h"

namespace {

void BuildCanvasScene(VornDoc& doc)
{
    doc.SetShape(1280, 720);
    uint32_t seed = 4242;
    for (int32_t l = 0; l < 10; l++) {
        auto* layer = new MeshLayer;
        for (int32_t s = 0; s < 20; s++)
            AddBlob(*layer->Mesh(), -1.6f + 3.2f * Unit(seed), -0.9f + 1.8f * Unit(seed), 0.05f + 0.1f * Unit(seed), seed, false);
        doc.AddLayer(layer);
        if (l == 5)
            doc.SetSelLayer(layer);
    }
    doc.DepthSort();
}

struct Canvas {
    Canvas()
    {
        ResetPreferences();
        BuildCanvasScene(doc);
        view = std::make_unique<CanvasView>(&doc, 0, false, 0, 0, 1279, 719);
        view->Draw();
    }
    VornDoc doc;
    std::unique_ptr<CanvasView> view;
};

void BM_CanvasDrawMe(benchmark::State& state)
{
    Canvas canvas;
    for (auto _ : state)
        canvas.view->DrawMe();
}
BENCHMARK(BM_CanvasDrawMe)->Unit(benchmark::kMillisecond);

void BM_CanvasToolDragStep(benchmark::State& state)
{
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "celvane_bench_canvas";
    std::filesystem::create_directories(folder / "tool");
    std::ofstream(folder / "tool" / "record.lua")
        << "Record = {} ScriptName = 'Record' Calls = {}\n"
           "function Record:OnMouseDown(si, ev) Calls = {} end\n"
           "function Record:OnMouseMoved(si, ev)\n"
           "  Calls[#Calls % 64 + 1] = string.format('%d %d %.3f %.3f', ev.pt.x, ev.pt.y, ev.vec.x, ev.vec.y)\n"
           "  ev.view:DrawMe()\n"
           "end\n";
    std::ofstream(folder / "tool" / "_tool_list.txt") << "tool record R";
    QV_Message settings;
    ScriptRegistry registry(&settings, OpenVornModule);
    registry.fScriptsFolder = folder.c_str();
    registry.LoadScripts();
    {
        Canvas canvas;
        canvas.view->fTool = registry.CountTools() > 0 ? registry.ToolAt(0) : nullptr;
        canvas.view->MouseDown(600, 300, 1, 0, nullptr);
        int32_t step = 0;
        for (auto _ : state) {
            if (!canvas.view->fTool) {
                state.SkipWithError("the tool did not load");
                break;
            }
            canvas.view->MouseMoved(600 + step % 200, 300 + step % 100, 0, nullptr);
            step++;
        }
        canvas.view->MouseUp(600, 300, 1, 0, nullptr);
    }
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_CanvasToolDragStep)->Unit(benchmark::kMillisecond);

} // namespace
