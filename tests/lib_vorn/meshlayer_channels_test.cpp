// The vector layer's channel rows.

#include <gtest/gtest.h>

#include "channelinfo.h"
#include "m_curve.h"
#include "meshlayer.h"
#include "mesh_test_support.h"
#include "style_panel_refs.h"

TEST(MeshLayerChannels, RowsCountTheirElements)
{
    MeshLayer layer;
    EXPECT_EQ(layer.CountChannels(), 34);
    AddCurve(layer.fMesh, { { 0, 0 }, { 1, 0 } });
    AddCurve(layer.fMesh, { { 0, 1 }, { 1, 1 } });
    ChannelInfo info;
    layer.GetChannelInfo(2, info);
    EXPECT_EQ(info.fID, 10022);
    EXPECT_FALSE(info.fSingleChannel);
    int32_t expected = 0;
    for (int32_t i = 0; i < layer.fMesh.fNumPoints; i++)
        expected += layer.fMesh.fPoints[i]->GetNumCurves();
    EXPECT_GE(expected, 2);
    EXPECT_EQ(info.fSubChannels, expected);
    EXPECT_EQ(layer.GetChannel(2, 0, nullptr), layer.fMesh.fCurves[0]->fCurvature[0]);

    layer.GetChannelInfo(0, info);
    EXPECT_EQ(info.fSubChannels, layer.fMesh.fNumPoints);
    EXPECT_EQ(layer.GetChannel(0, 1, nullptr), &layer.fMesh.fPoints[1]->fAnimPos);
    layer.GetChannelInfo(13, info);
    EXPECT_EQ(info.fID, 10029);
    EXPECT_TRUE(info.fSeparator);
    EXPECT_TRUE(info.fSelectionOnly);
    ConsoleCapture console;
    EXPECT_EQ(layer.GetChannel(12, 7, nullptr), nullptr);
    ASSERT_EQ(console.lines.size(), 1u);
    EXPECT_NE(console.lines[0].find("M_Mesh:Point - out of range"), std::string::npos);

    // Rows 14 on are the layer rows.
    layer.GetChannelInfo(14, info);
    ChannelInfo base;
    layer.VornLayer::GetChannelInfo(0, base);
    EXPECT_EQ(info.fID, base.fID);
}

TEST(MeshLayerChannels, SelectionRowsWithoutSelectionAreEmpty)
{
    MeshLayer layer;
    AddCurve(layer.fMesh, { { 0, 0 }, { 1, 0 }, { 1, 1 } }, true);
    const int32_t s = AddShape(layer.fMesh, { { 0, 0 }, { 0, 1 }, { 0, 2 } });
    gCurrentDocStyle = nullptr;
    ChannelInfo info;
    for (int32_t row : { 5, 7, 9, 11 }) {
        layer.GetChannelInfo(row, info);
        EXPECT_EQ(info.fSubChannels, 0) << row;
    }
    layer.fMesh.fShapes[s]->fSelected = true;
    layer.GetChannelInfo(7, info);
    EXPECT_EQ(info.fSubChannels, 3);
    EXPECT_EQ(layer.GetChannel(7, 1, nullptr), &layer.fMesh.fShapes[s]->fEffectRotation);
    EXPECT_EQ(layer.GetChannel(5, 0, nullptr), &layer.fMesh.fShapes[s]->fMyStyle.fFillCol);
    EXPECT_EQ(layer.GetChannel(6, 2, nullptr), &layer.fMesh.fShapes[s]->fEffectOffset);
    EXPECT_EQ(layer.GetChannel(6, 5, nullptr), nullptr);
}
