// A tool drag over a large vector layer on the road script_harness takes: every mouse move
// builds a fresh ScriptInterface and calls the tool's OnMouseMoved through the registry, with a
// canvas without a window. The tool counts the selection again and snaps the pointer to the
// grid, as drawing tools do on each move.
#include <filesystem>
#include <fstream>

#include <benchmark/benchmark.h>

#include "headless_view.h"
#include "m_mesh.h"
#include "m_point.h"
#include "meshlayer.h"
#include "qv_message.h"
#include "script.h"
#include "script_events.h"
#include "script_interface.h"
#include "script_registry.h"
#include "vorn_module.h"
#include "vorndoc.h"

namespace {

void BM_ToolDragMove(benchmark::State& state)
{
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "celvane_bench_tool_drag";
    std::filesystem::create_directories(folder / "tool");
    std::ofstream(folder / "tool" / "drag.lua")
        << "Drag = {} ScriptName = 'Drag'\n"
           "function Drag:OnMouseMoved(si, ev)\n"
           "  Selected = si:CountSelectedPoints(true)\n"
           "  local v = QV.Vector2:new_local() v.x = ev.vec.x v.y = ev.vec.y si:SnapToGrid(v)\n"
           "end\n";
    std::ofstream(folder / "tool" / "_tool_list.txt") << "tool drag D";

    QV_Message settings;
    ScriptRegistry registry(&settings, OpenVornModule);
    registry.fScriptsFolder = folder.c_str();
    registry.LoadScripts();
    ToolScript* tool = registry.CountTools() > 0 ? registry.ToolAt(0) : nullptr;

    VornDoc doc;
    doc.SetShape(640, 480);
    auto* layer = new MeshLayer;
    doc.AddLayer(layer);
    doc.SetSelLayer(layer);
    M_Mesh* mesh = layer->Mesh();
    constexpr int32_t kPoints = 20000;
    mesh->AddPoint(QV_Vector2 { 0, 0 }, -1, 0);
    for (int32_t i = mesh->GetNumPoints(); i < kPoints; i++)
        mesh->AppendPoint(QV_Vector2 { float(i % 200) / 100.0f - 1, float(i / 200) / 100.0f - 0.5f }, 0);
    for (int32_t i = 0; i < mesh->GetNumPoints(); i += 2)
        mesh->GetPoint(i)->fSelected = true;
    HeadlessView view(&doc);
    MouseEvent event(&view);

    int32_t step = 0;
    for (auto _ : state) {
        if (!tool) {
            state.SkipWithError("the tool did not load");
            break;
        }
        const float x = float(step % 400) / 200.0f - 1;
        event.pt = view.DocToPixel(x, 0.25f);
        event.vec = QV_Vector2 { x, 0.25f };
        ScriptInterface record(&doc, &view);
        record.fGridOn = true;
        tool->OnMouseMoved(&record, &event);
        step++;
    }
    state.counters["points"] = mesh->GetNumPoints();
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_ToolDragMove)->Iterations(10000)->Unit(benchmark::kMicrosecond);

} // namespace
