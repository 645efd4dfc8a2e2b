// The undo history: its 32 levels, redo, the round trip, values a record leaves out and action
// editing across an undo.

#include <gtest/gtest.h>

#include "channelinfo.h"
#include "grouplayer.h"
#include "layerfactory.h"
#include "meshlayer.h"
#include "mesh_test_support.h"
#include "vorndoc.h"

namespace {

MeshLayer* AddVector(VornDoc& doc)
{
    MeshLayer* layer = new MeshLayer;
    doc.AddLayer(layer);
    return layer;
}

} // namespace

TEST(Undo, ThirtyThreeLevelsKeepThirtyTwo)
{
    VornDoc doc;
    MeshLayer* layer = AddVector(doc);
    for (int32_t i = 0; i < 33; i++) {
        layer->fExtraLines = i;
        doc.PrepUndo(layer);
    }
    EXPECT_EQ(doc.fUndoLevel, 32);
    layer->fExtraLines = 100;
    for (int32_t i = 0; i < 32; i++)
        doc.Undo();
    EXPECT_EQ(doc.fUndoLevel, 0);
    EXPECT_EQ(layer->fExtraLines, 1);
    doc.Undo();
    EXPECT_EQ(layer->fExtraLines, 1);
}

TEST(Undo, UndoAndRedoRoundTrip)
{
    VornDoc doc;
    MeshLayer* layer = AddVector(doc);
    AddCurve(layer->fMesh, { { 0, 0 }, { 1, 0 } });
    doc.fCameraZoom.SetValue(0, 1);
    doc.PrepUndo(layer);
    AddCurve(layer->fMesh, { { 2, 2 }, { 3, 3 }, { 4, 4 } });
    layer->fNoisyShapes = true;
    doc.fCameraZoom.SetValue(0, 3);

    doc.Undo();
    EXPECT_EQ(layer->fMesh.fNumPoints, 2);
    EXPECT_FALSE(layer->fNoisyShapes);
    EXPECT_FLOAT_EQ(doc.fCameraZoom.GetValue(0), 1);
    EXPECT_TRUE(doc.fDirty);
    EXPECT_EQ(doc.GetSelectedLayer(), layer);
    EXPECT_TRUE(doc.CanRedo());

    doc.Redo();
    EXPECT_EQ(layer->fMesh.fNumPoints, 5);
    EXPECT_TRUE(layer->fNoisyShapes);
    EXPECT_FLOAT_EQ(doc.fCameraZoom.GetValue(0), 3);
    EXPECT_FALSE(doc.CanRedo());

    doc.Undo();
    EXPECT_EQ(layer->fMesh.fNumPoints, 2);
}

// Every channel the timeline keys (the All Channels row reaches them all) comes back, also the
// effect channels a file leaves out while they hold their default.
TEST(Undo, EveryChannelOfTheLayerComesBack)
{
    VornDoc doc;
    MeshLayer* layer = AddVector(doc);
    AddCurve(layer->fMesh, { { 0, 0 }, { 1, 0 } });
    auto each = [&](auto visit) {
        for (int32_t row = 0; row < layer->CountChannels(); row++) {
            ChannelInfo info;
            layer->GetChannelInfo(row, info);
            for (int32_t sub = 0; sub < info.fSubChannels; sub++) {
                if (AnimChannel* channel = layer->GetChannel(row, sub, &doc))
                    visit(row, sub, channel);
            }
        }
    };
    doc.PrepUndo(layer);
    each([](int32_t, int32_t, AnimChannel* channel) { channel->AddKey(30); });
    doc.Undo();
    each([](int32_t row, int32_t sub, AnimChannel* channel) {
        EXPECT_FALSE(channel->HasKey(30)) << "row " << row << ", sub-channel " << sub;
    });
    doc.Redo();
    each([](int32_t row, int32_t sub, AnimChannel* channel) {
        EXPECT_TRUE(channel->HasKey(30)) << "row " << row << ", sub-channel " << sub;
    });
}

// A record leaves these out while they are empty or off, so an undo must not read the missing
// line as "keep what the layer has now". Every kind has its own reader: each is checked.
TEST(Undo, ValuesARecordLeavesOutGoBackToTheirDefaults)
{
    for (int32_t type = LT_VECTOR; type <= LT_AUDIO; type++) {
        SCOPED_TRACE(type);
        VornDoc doc;
        VornLayer* layer = LayerFactory(type);
        ASSERT_NE(layer, nullptr);
        doc.AddLayer(layer);
        GroupLayer* group = layer->IsGroupType() ? static_cast<GroupLayer*>(layer) : nullptr;
        const bool groupValues = type == LT_GROUP || type == LT_BONE;
        doc.PrepUndo(layer);
        ASSERT_TRUE(layer->SetHsvImage("/art/tint.png"));
        ASSERT_TRUE(layer->SetLayerScript("/scripts/bob.lua"));
        layer->ActivatePose("Wave", true);
        layer->ActivatePose(nullptr, false);
        if (groupValues)
            group->EnableLayerOrdering(true);

        doc.Undo();
        EXPECT_TRUE(layer->HsvImage().IsEmpty());
        EXPECT_TRUE(layer->fLayerScript.IsEmpty());
        EXPECT_FALSE(layer->HasPose("Wave"));
        if (groupValues) {
            EXPECT_FALSE(group->IsLayerOrderingEnabled());
        }

        doc.Redo();
        EXPECT_STREQ(layer->HsvImage().CString(), "/art/tint.png");
        EXPECT_STREQ(layer->fLayerScript.CString(), "/scripts/bob.lua");
        EXPECT_TRUE(layer->HasPose("Wave"));
        if (groupValues) {
            EXPECT_TRUE(group->IsLayerOrderingEnabled());
        }
    }
}

TEST(Undo, ANewLevelDropsTheRedoLevels)
{
    VornDoc doc;
    MeshLayer* a = AddVector(doc);
    MeshLayer* b = AddVector(doc);
    doc.PrepUndo(a);
    doc.Undo();
    EXPECT_TRUE(doc.CanRedo());
    doc.PrepUndo(b);
    EXPECT_FALSE(doc.CanRedo());

    doc.PrepUndo(nullptr);
    EXPECT_EQ(doc.fUndoLevel, 0);
    doc.Undo();
    EXPECT_EQ(doc.fUndoLevel, 0);
}

TEST(Undo, ActionEditingSurvivesUndo)
{
    VornDoc doc;
    MeshLayer* layer = AddVector(doc);
    layer->ActivatePose("Wave", true);
    layer->fRotationZ.SetValue(3, 1.5f);
    doc.PrepUndo(layer);
    layer->fNoisyLines = true;
    doc.Undo();
    EXPECT_FALSE(layer->fNoisyLines);
    EXPECT_STREQ(layer->CurrentPose().CString(), "Wave");
    EXPECT_NE(layer->fRotationZ.fActiveAction, nullptr);
}

TEST(Undo, RestoringAGroupDropsOlderLevelsNamingItsSubLayers)
{
    VornDoc doc;
    GroupLayer* group = new GroupLayer;
    MeshLayer* inner = new MeshLayer;
    group->AddLayer(inner);
    doc.AddLayer(group);
    MeshLayer* other = AddVector(doc);
    doc.PrepUndo(other);
    doc.PrepUndo(inner);
    doc.PrepUndo(group);
    doc.Undo();
    // The levels of inner and below are gone: inner itself was replaced by the undo.
    EXPECT_EQ(doc.fUndoLevel, 0);
    EXPECT_EQ(group->CountLayers(), 1);
    EXPECT_NE(group->Layer(0), nullptr);
    doc.Redo();
    EXPECT_EQ(doc.fUndoLevel, 1);
}

TEST(Undo, CameraOnlyLevelWithNoSelection)
{
    VornDoc doc;
    doc.fCameraRoll.SetValue(0, 0.5f);
    doc.PrepMultiUndo();
    doc.fCameraRoll.SetValue(0, 2);
    doc.Undo();
    EXPECT_FLOAT_EQ(doc.fCameraRoll.GetValue(0), 0.5f);
    EXPECT_EQ(doc.GetSelectedLayer(), nullptr);
}
