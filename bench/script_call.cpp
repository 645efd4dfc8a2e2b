// One script call: the road of every mouse move of a tool and of every layer script. The host
// looks up the table, the method and the handler by name, the caller pushes its ScriptInterface
// and MouseEvent, the protected call runs and the collector takes one step.
#include <benchmark/benchmark.h>

extern "C" {
#include <lauxlib.h>
#include <lua.h>
}

#include "qv_lua_context.h"
#include "qv_module.h"
#include "script_events.h"
#include "script_interface.h"
#include "vorndoc.h"

namespace {

void BM_EmptyToolMethod(benchmark::State& state)
{
    QV_LuaContext host;
    OpenQVModule(host.fState);
    luaL_dostring(host.fState, "Tool = { OnMouseMoved = function(self, si, mouse) end }");
    VornDoc doc;
    MouseEvent mouse;
    lua_gc(host.fState, LUA_GCCOLLECT, 0);
    const int startKB = lua_gc(host.fState, LUA_GCCOUNT, 0);
    int peakKB = startKB;
    for (auto _ : state) {
        ScriptInterface record(&doc, nullptr);
        if (host.BeginScriptCall("Tool", "OnMouseMoved") == 0) {
            host.PushObject(&record, "ScriptInterface");
            host.PushObject(&mouse, "MouseEvent");
            host.CallScript();
        }
        host.CollectGarbageStep();
        const int kb = lua_gc(host.fState, LUA_GCCOUNT, 0);
        peakKB = kb > peakKB ? kb : peakKB;
    }
    state.counters["lua_kb_start"] = startKB;
    state.counters["lua_kb_peak"] = peakKB;
    state.counters["lua_kb_end"] = lua_gc(host.fState, LUA_GCCOUNT, 0);
}
BENCHMARK(BM_EmptyToolMethod)->Iterations(1000000)->Unit(benchmark::kMicrosecond);

} // namespace
