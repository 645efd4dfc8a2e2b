// A tool drag over a large vector layer on the road script_harness takes: every mouse move
// builds a fresh ScriptInterface and calls the tool's OnMouseMoved through the registry, with a
// canvas without a window. The tool counts the selection again and snaps the pointer to the
// grid, as drawing tools do on each move. A second benchmark drags the installation's translate
// tool over 5,000 selected points.
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include <benchmark/benchmark.h>

#include "headless_view.h"
#include "m_curve.h"
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

// The installation's translate tool (QV_TranslatePoints) dragged over 5,000 selected points:
// one iteration is one OnMouseMoved. The scripts come from $CELVANE_APP_FOLDER, else from the
// source tree's data folder.
void BM_TranslatePointsDrag(benchmark::State& state)
{
    const char* app = std::getenv("CELVANE_APP_FOLDER");
    QV_Message settings;
    ScriptRegistry registry(&settings, OpenVornModule);
    registry.fScriptsFolder = app ? app : CELVANE_DATA_FOLDER;
    registry.fScriptsFolder.Append("scripts");
    registry.LoadScripts();
    ToolScript* tool = nullptr;
    for (int32_t i = 0; i < registry.CountTools(); i++) {
        if (registry.ToolAt(i)->fTableName == "QV_TranslatePoints")
            tool = registry.ToolAt(i);
    }

    VornDoc doc;
    doc.SetShape(640, 480);
    auto* layer = new MeshLayer;
    doc.AddLayer(layer);
    doc.SetSelLayer(layer);
    M_Mesh* mesh = layer->Mesh();
    constexpr int32_t kPoints = 5000;
    // Closed rings of 50 points, every point selected.
    for (int32_t ring = 0; ring < kPoints / 50; ring++) {
        const float cx = float(ring % 10) / 5.0f - 0.9f, cy = float(ring / 10) / 5.0f - 0.9f;
        for (int32_t k = 0; k < 50; k++) {
            const float a = float(k) * 6.2831853f / 50;
            const QV_Vector2 p { cx + 0.08f * std::cos(a), cy + 0.08f * std::sin(a) };
            if (k == 0)
                mesh->AddLonePoint(p, 0);
            else
                mesh->AppendPoint(p, 0);
        }
        mesh->GetCurve(mesh->GetNumCurves() - 1)->fClosed = true;
    }
    for (int32_t i = 0; i < mesh->GetNumPoints(); i++)
        mesh->GetPoint(i)->fSelected = true;
    HeadlessView view(&doc);
    MouseEvent event(&view);
    auto place = [&](float x, float y) {
        event.pt = view.DocToPixel(x, y);
        event.vec = QV_Vector2 { x, y };
    };
    if (!tool) {
        state.SkipWithError("no QV_TranslatePoints among the scripts");
        for (auto _ : state) {
        }
        return;
    }
    place(0, 0);
    event.startPt = event.pt;
    event.startVec = event.vec;
    {
        ScriptInterface record(&doc, &view);
        tool->OnMouseDown(&record, &event);
    }
    int32_t step = 0;
    for (auto _ : state) {
        place(float(step % 200) / 400.0f, float(step % 100) / 400.0f);
        ScriptInterface record(&doc, &view);
        tool->OnMouseMoved(&record, &event);
        step++;
    }
    ScriptInterface record(&doc, &view);
    tool->OnMouseUp(&record, &event);
    state.counters["points"] = mesh->GetNumPoints();
}
BENCHMARK(BM_TranslatePointsDrag)->Iterations(300)->Unit(benchmark::kMillisecond);

} // namespace
