// script_harness's document steps end to end: a menu script's layers and a tool's point keys
// reach the saved file.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "harness_run.h"

#include "m_mesh.h"
#include "m_point.h"
#include "meshlayer.h"
#include "qv_filestream.h"
#include "vorndoc.h"

namespace {

void Write(const std::filesystem::path& path, const std::string& text)
{
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

class HarnessDocument : public ::testing::Test {
protected:
    HarnessDocument()
        : folder(std::filesystem::path(::testing::TempDir())
            / ("harness_document_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name())))
    {
        std::filesystem::remove_all(folder);
        const std::filesystem::path scripts = folder / "scripts";
        Write(scripts / "menu" / "layers.lua",
            "Layers = {} ScriptName = 'Layers'\n"
            "function Layers:UILabel() return 'Add layers' end\n"
            "function Layers:Run(si)\n"
            "  local group = si:CreateNewLayer(VORN.LT_GROUP)\n"
            "  si:DuplicateLayer(group)\n"
            "  print('frame', si.frame, si.layerFrame)\n"
            "end\n");
        Write(scripts / "tool" / "keyer.lua",
            "Keyer = {} ScriptName = 'Keyer'\n"
            "function Keyer:DoLayout(si, layout) print('layout') end\n"
            "function Keyer:OnMouseDown(si, ev)\n"
            "  print(string.format('down %d %d %.2f %.2f %s', ev.pt.x, ev.pt.y, ev.vec.x, ev.vec.y, tostring(ev.shiftKey)))\n"
            "  local v = QV.Vector2:new_local() v.x = ev.vec.x v.y = ev.vec.y si:SnapToGrid(v)\n"
            "  print(string.format('snap %.2f %.2f %d', v.x, v.y, view and 1 or si.view:PickPoint(ev.pt)))\n"
            "end\n"
            "function Keyer:OnMouseMoved(si, ev) print(string.format('move %d %d', ev.startPt.x, ev.pt.x)) end\n"
            "function Keyer:OnMouseUp(si, ev) si:AddPointKeyframe(si.frame) print('up', si.layerFrame) end\n"
            "function Keyer:OnKeyDown(si, ev) print('key', ev.key, ev.keyCode, tostring(ev.ctrlKey)) end\n");
        Write(scripts / "tool" / "_tool_list.txt", "tool keyer K");

        VornDoc doc;
        doc.SetShape(160, 80);
        auto* points = new MeshLayer;
        points->SetName("Pts");
        points->SetTimingOffset(5);
        doc.AddLayer(points);
        M_Mesh* mesh = points->Mesh();
        mesh->AddPoint(QV_Vector2 { 0.5f, 0.5f }, -1, 0);
        mesh->AddPoint(QV_Vector2 { -0.5f, -0.5f }, 1, 0);
        doc.SetPath((folder / "in.vorn").c_str());
        EXPECT_EQ(doc.Save(""), 0);
    }
    ~HarnessDocument() override { std::filesystem::remove_all(folder); }

    std::string Harness(const std::string& steps)
    {
        return "--app " + folder.string() + " --doc " + (folder / "in.vorn").string() + " " + steps;
    }

    std::filesystem::path folder;
};

TEST_F(HarnessDocument, MenuLayersAndToolKeysReachTheSavedFile)
{
    const std::filesystem::path out = folder / "out.vorn";
    const Result result = RunScriptHarness(Harness("--frame 12 --layer Pts --select 0,2 --grid 20 --menu 'Add layers' "
                                             "--layer Pts --tool Keyer --drag 0.25,-0.25 0.5,0.5 --shift --drag 0.5,0.5 0,0 --key a --ctrl "
                                             "--key escape --save "
        + out.string()));
    ASSERT_EQ(result.status, 0) << result.output;
    EXPECT_NE(result.output.find("frame\t12\t17"), std::string::npos) << result.output;
    EXPECT_NE(result.output.find("layout"), std::string::npos);
    // (w/2 + X h/2, h/2 - Y h/2) for 160 x 80: (90, 50); the layer has no transform.
    EXPECT_NE(result.output.find("down 90 50 0.25 -0.25 true"), std::string::npos) << result.output;
    EXPECT_NE(result.output.find("snap 0.50 -0.50 -1"), std::string::npos) << result.output;
    EXPECT_NE(result.output.find("move 90 100"), std::string::npos);
    // The canvas picks the point whose marker is under the pointer.
    EXPECT_NE(result.output.find("snap 0.50 0.50 0"), std::string::npos) << result.output;
    EXPECT_NE(result.output.find("up\t17"), std::string::npos);
    EXPECT_NE(result.output.find("key\ta\t97\ttrue"), std::string::npos) << result.output;
    EXPECT_NE(result.output.find("\t-2\tfalse"), std::string::npos) << result.output;

    QV_FileStream in;
    ASSERT_EQ(in.Open(out.c_str(), true), 0);
    VornDoc saved(&in);
    ASSERT_FALSE(saved.fReadFailed);
    ASSERT_EQ(saved.CountLayers(), 3);
    EXPECT_STREQ(saved.Layer(0)->Name().CString(), "Pts");
    EXPECT_STREQ(saved.Layer(1)->Name().CString(), "Layer 2");
    EXPECT_STREQ(saved.Layer(2)->Name().CString(), "Layer 3");
    M_Mesh* mesh = static_cast<MeshLayer*>(saved.Layer(0))->Mesh();
    ASSERT_EQ(mesh->GetNumPoints(), 3);
    EXPECT_TRUE(mesh->GetPoint(0)->fAnimPos.HasKey(17));
    EXPECT_FALSE(mesh->GetPoint(1)->fAnimPos.HasKey(17));
    EXPECT_TRUE(mesh->GetPoint(2)->fAnimPos.HasKey(17));
}

TEST_F(HarnessDocument, StepsThatCannotRunSayWhyAndSaveNothing)
{
    const std::filesystem::path out = folder / "never.vorn";
    const struct {
        const char* steps;
        const char* why;
    } kCases[] = {
        { "--layer Nowhere", "no layer named Nowhere" },
        { "--menu 'No such'", "no menu script labelled No such" },
        { "--tool nothing", "no tool named nothing" },
        { "--drag 0,0 1,1", "no current tool" },
        { "--tool Keyer --drag 0,0 x,1", "bad point x,1" },
        { "--layer Pts --select 0,7", "no point 7" },
    };
    for (const auto& c : kCases) {
        const Result result = RunScriptHarness(Harness(std::string(c.steps) + " --save " + out.string()));
        EXPECT_EQ(result.status, 1) << c.steps;
        EXPECT_NE(result.output.find(c.why), std::string::npos) << c.steps << ": " << result.output;
        EXPECT_FALSE(std::filesystem::exists(out)) << c.steps;
    }
    const Result missing = RunScriptHarness("--doc " + (folder / "missing.vorn").string());
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.output.find("cannot open"), std::string::npos);
}

} // namespace
