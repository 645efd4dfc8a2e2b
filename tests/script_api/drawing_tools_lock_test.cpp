// The installation's tools under the preference that keeps drawing to frame 0: the tools that
// change a mesh's or a skeleton's structure answer IsEnabled false at any other frame, and only
// while the preference is on; the tools that move, restyle or select keep working there.
#include <filesystem>
#include <map>
#include <string>

#include <gtest/gtest.h>

#include "bonelayer.h"
#include "m_skeleton.h"
#include "meshlayer.h"
#include "model_prefs.h"
#include "qv_message.h"
#include "script_interface.h"
#include "script_registry.h"
#include "script.h"
#include "vorn_module.h"
#include "vorndoc.h"

namespace {

class DrawingPref : public ModelPrefSource {
public:
    bool GetInt(const char* key, int32_t& value) const override
    {
        if (std::string(key) != "DisableDrawingToolsNonZero")
            return false;
        value = fOn ? 1 : 0;
        return true;
    }
    bool fOn = true;
};

// Whether the tool answers IsEnabled true on the layer at the frame.
bool Enabled(ScriptRegistry& registry, VornDoc& doc, VornLayer* layer, const std::string& table, int32_t frame)
{
    doc.SetSelLayer(layer);
    doc.SetCurFrame(frame);
    for (int32_t i = 0; i < registry.CountTools(); i++) {
        ToolScript* tool = registry.ToolAt(i);
        if (!tool->fSpacer && table == tool->fTableName.CString()) {
            ScriptInterface record(&doc, nullptr);
            return tool->IsEnabled(&record);
        }
    }
    ADD_FAILURE() << "no tool " << table;
    return false;
}

TEST(DrawingToolsLock, ToolsThatChangeStructureAreDisabledAwayFromFrameZero)
{
    QV_Message settings;
    ScriptRegistry registry(&settings, OpenVornModule);
    registry.fScriptsFolder = CELVANE_DATA_FOLDER;
    registry.fScriptsFolder.Append("scripts");
    registry.LoadScripts();
    ASSERT_GT(registry.CountTools(), 0);

    VornDoc doc;
    doc.SetShape(320, 240);
    auto* rig = new BoneLayer;
    rig->Skeleton()->AddBone(0);
    doc.AddLayer(rig);
    auto* sheet = new MeshLayer;
    doc.AddLayer(sheet);

    // table name -> whether it changes structure; the bone tools act on the rig.
    const std::map<std::string, bool> kStructural = {
        { "QV_AddPoint", true },
        { "QV_DeleteEdge", true },
        { "QV_Freehand", true },
        { "QV_Rectangle", true },
        { "QV_Oval", true },
        { "QV_AddBone", true },
        { "QV_SelectPoints", false },
        { "QV_TranslatePoints", false },
        { "QV_ScalePoints", false },
        { "QV_RotatePoints", false },
        { "QV_Curvature", false },
        { "QV_CreateShape", false },
        { "QV_PaintBucket", false },
        { "QV_LineWidth", false },
        { "QV_HideEdge", false },
        { "QV_TranslateBone", false },
        { "QV_RotateBone", false },
        { "QV_ManipulateBones", false },
    };
    DrawingPref pref;
    SetModelPrefSource(&pref);
    for (const auto& [table, structural] : kStructural) {
        VornLayer* layer = table.find("Bone") != std::string::npos ? static_cast<VornLayer*>(rig) : sheet;
        pref.fOn = true;
        EXPECT_TRUE(Enabled(registry, doc, layer, table, 0)) << table << " at frame 0";
        EXPECT_EQ(Enabled(registry, doc, layer, table, 5), !structural) << table << " at frame 5";
        pref.fOn = false;
        EXPECT_TRUE(Enabled(registry, doc, layer, table, 5)) << table << " at frame 5 without the lock";
    }
    SetModelPrefSource(nullptr);
}

} // namespace
