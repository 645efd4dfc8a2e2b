#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#include "channelinfo.h"
#include "format_version.h"
#include "layer_test_support.h"
#include "layerfactory.h"
#include "mesh_test_support.h"
#include "meshlayer.h"
#include "qv_memstream.h"
#include "skeleton_test_support.h"
#include "switchlayer.h"
#include "vorn_test_support.h"

namespace {

std::string RecordText(VornLayer& layer)
{
    QV_MemStream stream;
    stream.Open(0);
    layer.WriteRecord(&stream);
    return StreamText(stream);
}

void WriteFile(const char* path, const std::string& text)
{
    FILE* f = std::fopen(path, "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
}

// A switch layer with plain sub-layers of the names, in list order.
void AddSubLayers(SwitchLayer& layer, std::initializer_list<const char*> names)
{
    for (const char* name : names) {
        MeshLayer* sub = new MeshLayer;
        sub->SetName(name);
        layer.AddLayer(sub);
    }
}

MeshLayer* NewVectorLayer(const char* name, std::vector<QV_Vector2> points, float curvature)
{
    MeshLayer* layer = new MeshLayer;
    layer->SetName(name);
    AddCurve(layer->fMesh, points);
    M_Curve* curve = layer->fMesh.fCurves[0];
    for (int32_t i = 0; i < curve->fNumPoints; i++)
        curve->SetCurvature(i, curvature, 0);
    return layer;
}

} // namespace

TEST(SwitchLayer, ShowsTheNamedSubLayerElseTheLast)
{
    std::unique_ptr<VornLayer> made(LayerFactory(LT_SWITCH));
    ASSERT_NE(made, nullptr);
    ASSERT_EQ(made->LayerType(), LT_SWITCH);
    SwitchLayer& layer = static_cast<SwitchLayer&>(*made);
    EXPECT_EQ(layer.ShownLayer(nullptr, false), nullptr);
    AddSubLayers(layer, { "Left", "Mid", "Right" });
    layer.fSwitchValues.SetValue(0, QV_String("Mid"));
    layer.fSwitchValues.SetValue(10, QV_String("Nose"));
    for (int32_t frame : { 0, 5, 9 }) {
        layer.SetCurFrame(frame);
        EXPECT_EQ(layer.ShownLayer(nullptr, false)->Name(), "Mid") << frame;
    }
    layer.SetCurFrame(10);
    EXPECT_EQ(layer.ShownLayer(nullptr, false)->Name(), "Right");
    EXPECT_EQ(layer.GetValue(12), QV_String("Nose"));

    // The sub-layer being edited shows whatever the switch says, in the editor only.
    VornLayer* left = layer.Layer(0);
    EXPECT_EQ(layer.ShownLayer(left, true), left);
    EXPECT_EQ(layer.ShownLayer(left, false)->Name(), "Right");

    layer.SetValue(10, "Left");
    EXPECT_EQ(layer.fSwitchValues.GetValue(10), QV_String("Left"));
    EXPECT_EQ(layer.ShownLayer(nullptr, false), left);
}

TEST(SwitchLayer, ChannelRowComesFirst)
{
    SwitchLayer layer;
    EXPECT_EQ(layer.CountChannels(), 32);
    ChannelInfo info;
    layer.GetChannelInfo(0, info);
    EXPECT_EQ(info.fID, 10044);
    EXPECT_TRUE(info.fSeparator);
    EXPECT_EQ(layer.GetChannel(0, 3, nullptr), &layer.fSwitchValues);
    layer.GetChannelInfo(1, info);
    EXPECT_EQ(info.fID, 10034);
    EXPECT_EQ(layer.GetChannel(11, 0, nullptr), &layer.fLayerOrdering);
}

TEST(SwitchLayer, DataFileReplacesTheKeysOnlyWhenItIsOne)
{
    ScratchFile file;
    SwitchLayer layer;
    AddSubLayers(layer, { "rest", "AI" });
    WriteFile(file.Path(), "VornSwitch1\r\n1 rest\nrest of a remark\n5   AI  \n7\n");
    layer.fSwitchValues.SetValue(3, QV_String("gone"));
    ASSERT_TRUE(layer.SetSourceFile(file.Path()));
    AnimString& keys = layer.fSwitchValues;
    ASSERT_EQ(keys.CountKeys(), 3);
    EXPECT_EQ(keys.GetKeyWhen(1), 1);
    EXPECT_EQ(keys.GetValue(1), QV_String("rest"));
    EXPECT_EQ(keys.GetKeyWhen(2), 5);
    EXPECT_EQ(keys.GetValue(5), QV_String("AI"));
    EXPECT_EQ(keys.GetValue(9), QV_String("AI"));

    // A file that is not a data file, a missing file or an unstorable path keep every key.
    for (const char* firstLine : { "VornSwitch2", "vornSwitch1", "VornSwitch1 " }) {
        WriteFile(file.Path(), std::string(firstLine) + "\n9 U\n");
        layer.LoadSourceFile();
        EXPECT_EQ(keys.CountKeys(), 3) << firstLine;
    }
    // A device never ends: it is not read at all.
    for (const char* path : { "/dev/zero", "/nonexistent/mouth.dat" }) {
        ASSERT_TRUE(layer.SetSourceFile(path));
        EXPECT_EQ(keys.CountKeys(), 3) << path;
    }
    {
        ConsoleCapture console;
        EXPECT_FALSE(layer.SetSourceFile("say \"ah\".dat"));
    }
    EXPECT_EQ(layer.SourceFile(), QV_String("/nonexistent/mouth.dat"));
}

TEST(SwitchLayer, BlendMovesTheShownPointsTowardsTheNextKey)
{
    SwitchLayer layer;
    layer.AddLayer(NewVectorLayer("Open", { { 0, 0 }, { 2, 0 } }, 0.2f));
    layer.AddLayer(NewVectorLayer("Shut", { { 0, 4 }, { 2, 2 } }, 0.6f));
    layer.fSwitchValues.SetValue(0, QV_String("Open"));
    layer.fSwitchValues.SetValue(10, QV_String("Shut"));
    layer.SetInterpMode(true);
    M_Mesh& open = *static_cast<MeshLayer*>(layer.Layer(0))->Mesh();
    M_Mesh& shut = *static_cast<MeshLayer*>(layer.Layer(1))->Mesh();

    layer.SetCurFrame(5);
    EXPECT_VEC2_NEAR(open.fPoints[0]->fPos, 0, 2, 1e-5f);
    EXPECT_VEC2_NEAR(open.fPoints[1]->fPos, 2, 1, 1e-5f);
    EXPECT_NEAR(open.fCurves[0]->fCurvature[1]->value, 0.4f, 1e-5f);
    // Only the shown layer's current values move: its keys and the other layer stay.
    EXPECT_VEC2_NEAR(open.fPoints[1]->fAnimPos.GetValue(5), 2, 0, 1e-6f);
    EXPECT_VEC2_NEAR(shut.fPoints[1]->fPos, 2, 2, 1e-6f);
    EXPECT_FALSE(static_cast<MeshLayer*>(layer.Layer(0))->IsFlatAndStatic());

    layer.SetCurFrame(0);
    EXPECT_VEC2_NEAR(open.fPoints[1]->fPos, 2, 0, 1e-6f);

    // Point counts that differ blend nothing.
    shut.AppendPoint(QV_Vector2 { 3, 3 }, 0);
    layer.SetCurFrame(5);
    EXPECT_VEC2_NEAR(open.fPoints[1]->fPos, 2, 0, 1e-6f);
}

TEST(SwitchLayer, RecordRoundTripsWithoutGroupValues)
{
    SwitchLayer layer;
    layer.SetName("Mouth");
    layer.SetInterpMode(true);
    AddSubLayers(layer, { "rest", "O" });
    layer.fSwitchValues.SetValue(4, QV_String("O"));
    layer.fSkeleton.AddBone(0)->fLength = 2;
    const std::string written = RecordText(layer);
    EXPECT_EQ(written.find("group_mask"), std::string::npos);
    EXPECT_NE(written.find("### switch layer values"), std::string::npos);

    QV_MemStream stream;
    FillStream(stream, written);
    stream.fVersion = kCurrentFormatVersion;
    std::unique_ptr<VornLayer> back(LayerFactory(LT_SWITCH));
    ASSERT_TRUE(back->ReadRecord(&stream)) << stream.fError.CString();
    SwitchLayer& read = static_cast<SwitchLayer&>(*back);
    EXPECT_TRUE(read.InterpMode());
    EXPECT_EQ(read.CountLayers(), 2);
    EXPECT_EQ(read.fSkeleton.GetNumBones(), 1);
    EXPECT_EQ(read.fSwitchValues.GetValue(4), QV_String("O"));
    EXPECT_EQ(RecordText(read), written);

    // A group's mask line is no switch keyword.
    QV_MemStream masked;
    FillStream(masked, "{\n\tgroup_mask 1\n}\n");
    std::unique_ptr<VornLayer> failed(LayerFactory(LT_SWITCH));
    EXPECT_FALSE(failed->ReadRecord(&masked));
    EXPECT_EQ(std::string(masked.fError.CString()).rfind("Unknown keyword: group_mask at line 2", 0), 0u);
}

TEST(SwitchLayer, PhonemeLayersNeedAllTenNames)
{
    SwitchLayer layer;
    AddSubLayers(layer, { "rest", "etc", "FV", "L", "MBP", "O", "E", "AI", "U" });
    EXPECT_FALSE(layer.HasPhonemeLayers());
    AddSubLayers(layer, { "WQ", "extra" });
    EXPECT_TRUE(layer.HasPhonemeLayers());
}
