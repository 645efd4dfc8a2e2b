// A menu script run by script_harness poses a rig, keys a switch, changes particle settings,
// rescales a 3D model and keys an audio level; the saved document keeps all of it.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "harness_run.h"

#include "audiolayer.h"
#include "bonelayer.h"
#include "m_bone.h"
#include "m_mesh3d.h"
#include "mesh3dlayer.h"
#include "meshlayer.h"
#include "particlelayer.h"
#include "qv_filestream.h"
#include "switchlayer.h"
#include "vorndoc.h"

namespace {

namespace fs = std::filesystem;

const char* const kMenu = R"(Pose = {} ScriptName = 'Pose'
function Pose:UILabel() return 'Pose everything' end
function Pose:Run(si)
  local doc = si.document
  local skel = si:LayerAsBone(doc:LayerByName('Rig')):Skeleton()
  skel:Bone(1).fAnimAngle:SetValue(12, 0.25)
  skel:Bone(1).fParent = 0
  skel:Bone(0).fParent = 1
  local mouth = si:LayerAsSwitch(doc:LayerByName('Mouth'))
  mouth:SetValue(12, 'open')
  local dust = si:LayerAsParticle(doc:LayerByName('Dust'))
  dust:SetNumParticles(30, 10)
  dust:SetLifetime(40)
  si.layer = doc:LayerByName('Model')
  si:Mesh3D():ScaleToRadius(1)
  si:LayerAsAudio(doc:LayerByName('Sound')).fAudioLevel:SetValue(12, 0.5)
  print('posed')
end
)";

TEST(HarnessLayerKinds, MenuScriptChangesReachTheSavedFile)
{
    const fs::path folder = fs::path(::testing::TempDir()) / "harness_layer_kinds";
    fs::remove_all(folder);
    fs::create_directories(folder / "scripts" / "menu");
    std::ofstream(folder / "scripts" / "menu" / "pose.lua", std::ios::binary) << kMenu;
    {
        VornDoc doc;
        auto* rig = new BoneLayer;
        rig->SetName("Rig");
        rig->Skeleton()->AddBone(0);
        rig->Skeleton()->AddBone(0);
        doc.AddLayer(rig);
        auto* mouth = new SwitchLayer;
        mouth->SetName("Mouth");
        for (const char* name : { "closed", "open" }) {
            auto* sub = new MeshLayer;
            sub->SetName(name);
            mouth->AddLayer(sub);
        }
        doc.AddLayer(mouth);
        auto* dust = new ParticleLayer;
        dust->SetName("Dust");
        doc.AddLayer(dust);
        auto* model = new Mesh3DLayer;
        model->SetName("Model");
        model->Mesh().AddPoint(QV_Vector3 { 0, 0, 0 });
        model->Mesh().AddPoint(QV_Vector3 { 4, 2, 1 });
        model->Mesh().AddFace(0, 1, 1);
        doc.AddLayer(model);
        auto* sound = new AudioLayer;
        sound->SetName("Sound");
        doc.AddLayer(sound);
        doc.SetPath((folder / "in.vorn").c_str());
        ASSERT_EQ(doc.Save(""), 0);
    }
    const fs::path out = folder / "out.vorn";
    const Result result = RunScriptHarness("--app " + folder.string() + " --doc " + (folder / "in.vorn").string()
        + " --menu 'Pose everything' --save " + out.string());
    ASSERT_EQ(result.status, 0) << result.output;
    EXPECT_NE(result.output.find("posed"), std::string::npos) << result.output;
    // Bone 1 went under bone 0, so bone 0 cannot go under bone 1.
    EXPECT_NE(result.output.find("M_Bone:fParent - out of range"), std::string::npos) << result.output;

    QV_FileStream in;
    ASSERT_EQ(in.Open(out.c_str(), true), 0);
    VornDoc saved(&in);
    ASSERT_FALSE(saved.fReadFailed);
    auto* rig = static_cast<BoneLayer*>(saved.LayerByName("Rig"));
    ASSERT_NE(rig, nullptr);
    M_Bone* bone = rig->Skeleton()->GetBone(1);
    ASSERT_NE(bone, nullptr);
    EXPECT_TRUE(bone->fAnimAngle.HasKey(12));
    EXPECT_EQ(bone->fParent, 0);
    EXPECT_EQ(rig->Skeleton()->GetBone(0)->fParent, -1);
    auto* mouth = static_cast<SwitchLayer*>(saved.LayerByName("Mouth"));
    ASSERT_NE(mouth, nullptr);
    EXPECT_TRUE(mouth->GetValue(12) == "open");
    auto* dust = static_cast<ParticleLayer*>(saved.LayerByName("Dust"));
    ASSERT_NE(dust, nullptr);
    int32_t total = 0, preview = 0;
    dust->GetNumParticles(total, preview);
    EXPECT_EQ(total, 30);
    EXPECT_EQ(preview, 10);
    EXPECT_EQ(dust->Lifetime(), 40);
    auto* model = static_cast<Mesh3DLayer*>(saved.LayerByName("Model"));
    ASSERT_NE(model, nullptr);
    ASSERT_EQ(model->Mesh().CountPoints(), 2);
    EXPECT_FLOAT_EQ(model->Mesh().Point(1).x, 1);
    EXPECT_FLOAT_EQ(model->Mesh().Point(1).z, 0.25f);
    auto* sound = static_cast<AudioLayer*>(saved.LayerByName("Sound"));
    ASSERT_NE(sound, nullptr);
    EXPECT_FLOAT_EQ(sound->fAudioLevel.GetValue(12), 0.5f);
    fs::remove_all(folder);
}

} // namespace
