#include <atomic>
#include <cstdio>
#include <fstream>
#include <thread>

#include "tolua++.h"

#include "layer_script_runner.h"
#include "meshlayer.h"
#include "script_interface.h"
#include "script_test_support.h"
#include "vorndoc.h"

namespace {

struct Seen {
    VornLayer* layer = nullptr;
    int32_t layerFrame = 0;
    int calls = 0;
};
Seen gSeen;

// Lets a layer script report the record it was given.
int Probe(lua_State* state)
{
    auto* record = static_cast<ScriptInterface*>(tolua_tousertype(state, 1, nullptr));
    if (record) {
        gSeen.layer = record->fLayer;
        gSeen.layerFrame = record->fLayerFrame;
    }
    gSeen.calls++;
    return 0;
}

class LayerScripts : public HostTest {
protected:
    LayerScripts()
        : runner(host)
    {
        lua_register(host.fState, "probe", Probe);
        gSeen = Seen();
    }
    ~LayerScripts() override
    {
        for (const std::string& path : files)
            std::remove(path.c_str());
    }

    std::string Script(const char* name, const char* code)
    {
        std::string path = ::testing::TempDir() + name;
        std::ofstream(path) << code;
        files.push_back(path);
        return path;
    }

    MeshLayer* AddLayer(const std::string& script)
    {
        auto* layer = new MeshLayer();
        EXPECT_TRUE(doc.AddLayer(layer));
        EXPECT_TRUE(layer->SetLayerScript(script.c_str()));
        return layer;
    }

    LayerScriptRunner runner;
    VornDoc doc;
    std::vector<std::string> files;
};

TEST_F(LayerScripts, LayersSharingAFileBindTheirOwnFunction)
{
    const std::string path = Script("shared_layer.lua",
        "Loads = (Loads or 0) + 1\n"
        "local mine = Loads\n"
        "function LayerScript(si) Last = mine; probe(si) end");
    MeshLayer* first = AddLayer(path);
    MeshLayer* second = AddLayer(path);
    first->RunLayerScript();
    second->RunLayerScript();
    first->RunLayerScript();
    EXPECT_EQ(Number("Loads"), 2);
    EXPECT_EQ(Number("Last"), 1);
    second->RunLayerScript();
    EXPECT_EQ(Number("Last"), 2);
    EXPECT_NE(first->fLayerScriptFunction, second->fLayerScriptFunction);
    EXPECT_EQ(first->fLayerScriptFunction.Left(3), "LS_");
    EXPECT_EQ(gSeen.layer, second);
}

TEST_F(LayerScripts, AFailingScriptIsNotTriedAgain)
{
    const std::string broken = Script("broken_layer.lua", "Tries = (Tries or 0) + 1; error('no')");
    const std::string silent = Script("silent_layer.lua", "Tries = (Tries or 0) + 1");
    MeshLayer* layer = AddLayer(broken);
    MeshLayer* without = AddLayer(silent);
    for (int i = 0; i < 3; i++) {
        layer->RunLayerScript();
        without->RunLayerScript();
    }
    EXPECT_EQ(Number("Tries"), 2);
    EXPECT_TRUE(layer->fLayerScriptFunction.IsEmpty());
    EXPECT_TRUE(without->fLayerScriptFunction.IsEmpty());
    EXPECT_EQ(gSeen.calls, 0);
}

TEST_F(LayerScripts, TheRecordNamesTheScriptsLayerAndTheSelectedLayersFrame)
{
    const std::string path = Script("probe_layer.lua", "function LayerScript(si) probe(si) end");
    MeshLayer* scripted = AddLayer(path);
    auto* selected = new MeshLayer();
    ASSERT_TRUE(doc.AddLayer(selected));
    selected->SetTimingOffset(7);
    scripted->SetTimingOffset(100);
    doc.SetSelLayer(selected);
    doc.SetCurFrame(3);
    gSeen = Seen();
    scripted->RunLayerScript();
    EXPECT_EQ(gSeen.calls, 1);
    EXPECT_EQ(gSeen.layer, scripted);
    EXPECT_EQ(gSeen.layerFrame, 10);
}

TEST_F(LayerScripts, AKeptRecordIsEmptiedAfterTheCall)
{
    const std::string path = Script("keeping_layer.lua", "function LayerScript(si) Kept = si end");
    AddLayer(path)->RunLayerScript();
    lua_getglobal(host.fState, "Kept");
    ASSERT_EQ(lua_type(host.fState, -1), LUA_TUSERDATA);
    EXPECT_EQ(*static_cast<void**>(lua_touserdata(host.fState, -1)), nullptr);
    lua_pop(host.fState, 1);
}

TEST_F(LayerScripts, ARenderingThreadWaitsForInterfaceCalls)
{
    const std::string path = Script("counting_layer.lua",
        "function LayerScript(si) Count = (Count or 0) + 1; local v = QV.Vector2(); print('layer') end");
    MeshLayer* layer = AddLayer(path);
    Run("Tool = { Move = function(self, n) local t = {} for i = 1, 50 do t[i] = QV.Point() end Moves = "
        "(Moves or 0) + 1 end }");
    std::atomic<bool> done { false };
    std::thread renderer([&] {
        for (int i = 0; i < 300; i++)
            layer->RunLayerScript();
        done = true;
    });
    int moves = 0;
    while (!done || moves < 300) {
        if (host.BeginScriptCall("Tool", "Move") == 0) {
            host.PushNumber(moves);
            host.CallScript();
            host.CollectGarbageStep();
        }
        moves++;
    }
    renderer.join();
    QV_LuaConsole::FlushPending();
    EXPECT_EQ(Number("Count"), 300);
    EXPECT_EQ(Number("Moves"), moves);
    int layerLines = 0;
    for (const CapturedLine& line : captured.lines)
        layerLines += line.text == "layer";
    EXPECT_EQ(layerLines, 300);
}

} // namespace
