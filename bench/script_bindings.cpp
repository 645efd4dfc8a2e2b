// The document bindings on a mesh of 100,000 points: a Lua loop reading each point's position
// and keying it back (three binding calls per point), TranslatePoints over every point, and
// the model's own point edits with and without script objects in the record of stale objects.
#include <benchmark/benchmark.h>

extern "C" {
#include <lauxlib.h>
#include <lua.h>
}
#include "tolua++.h"

#include "m_mesh.h"
#include "m_point.h"
#include "meshlayer.h"
#include "qv_lua_context.h"
#include "qv_module.h"
#include "script_object_record.h"
#include "vorn_module.h"

namespace {

constexpr int kPoints = 100000;

void FillMesh(M_Mesh& mesh, int points)
{
    mesh.AddLonePoint(QV_Vector2 { 0, 0 }, 0);
    for (int i = 1; i < points; i++)
        mesh.AppendPoint(QV_Vector2 { float(i) / float(points), 0.5f }, 0);
    for (int i = 0; i < mesh.GetNumPoints(); i++)
        mesh.GetPoint(i)->fSelected = true;
}

struct Host {
    Host()
    {
        OpenQVModule(context.fState);
        OpenVornModule(context.fState);
    }
    QV_LuaContext context;
};

// Three bindings per point: Point, fPos and SetPos.
void BM_PointLoop(benchmark::State& state)
{
    Host host;
    MeshLayer layer;
    FillMesh(layer.fMesh, kPoints);
    lua_State* L = host.context.fState;
    tolua_pushusertype(L, layer.Mesh(), "M_Mesh");
    lua_setglobal(L, "mesh");
    luaL_dostring(L, "function Walk() local n = mesh:CountPoints() - 1 for i = 0, n do "
                     "local p = mesh:Point(i) p:SetPos(p.fPos, 0) end end");
    for (auto _ : state) {
        lua_getglobal(L, "Walk");
        if (lua_pcall(L, 0, 0, 0) != 0)
            state.SkipWithError(lua_tostring(L, -1));
    }
    state.counters["us_per_binding_call"] = benchmark::Counter(double(kPoints) * 3 * double(state.iterations()),
        benchmark::Counter::kIsRate | benchmark::Counter::kInvert, benchmark::Counter::kIs1000);
}
BENCHMARK(BM_PointLoop)->Unit(benchmark::kMillisecond);

void BM_TranslatePoints(benchmark::State& state)
{
    Host host;
    MeshLayer layer;
    FillMesh(layer.fMesh, kPoints);
    lua_State* L = host.context.fState;
    tolua_pushusertype(L, layer.Mesh(), "M_Mesh");
    lua_setglobal(L, "mesh");
    luaL_dostring(L, "offset = QV.Vector2:new_local() offset.x = 0.01 mesh:PrepMovePoints()");
    for (auto _ : state)
        luaL_dostring(L, "mesh:TranslatePoints(offset)");
}
BENCHMARK(BM_TranslatePoints)->Unit(benchmark::kMillisecond);

// The model's edits pay for the record only when it holds entries: arg 0 runs with an empty
// record, arg 1 with every point of another mesh handed to a script.
void BM_MeshEditsWithRecord(benchmark::State& state)
{
    Host host;
    MeshLayer held;
    if (state.range(0)) {
        FillMesh(held.fMesh, kPoints);
        for (int i = 0; i < held.fMesh.GetNumPoints(); i++)
            QV_ScriptObjectRecordAdd(host.context.fState, held.fMesh.GetPoint(i), "M_Point");
    }
    for (auto _ : state) {
        M_Mesh mesh;
        FillMesh(mesh, 2000);
        while (mesh.GetNumPoints() > 0)
            mesh.DeletePoint(mesh.GetNumPoints() - 1);
    }
    state.counters["record_entries"] = double(QV_ScriptObjectRecordCount());
}
BENCHMARK(BM_MeshEditsWithRecord)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace
