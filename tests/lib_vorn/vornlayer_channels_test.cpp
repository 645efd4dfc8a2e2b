#include <gtest/gtest.h>

#include "channelinfo.h"
#include "layer_test_support.h"

TEST(LayerChannels, TheBaseTableEndsWithAllChannels)
{
    VornLayer layer;
    ChannelInfo info;
    ASSERT_EQ(layer.CountChannels(), 20);

    layer.GetChannelInfo(19, info);
    EXPECT_EQ(info.fID, CHANNEL_LAYER_ALL);
    EXPECT_NE(info.fIcon, nullptr);
    EXPECT_EQ(info.fLabel, "All Channels");
    EXPECT_EQ(info.fSubChannels, 38);
    EXPECT_TRUE(info.fSeparator);
    EXPECT_FALSE(info.fSingleChannel);

    layer.GetChannelInfo(12, info);
    EXPECT_EQ(info.fID, CHANNEL_LAYER_SHADOW);
    EXPECT_EQ(info.fSubChannels, 8);
    EXPECT_TRUE(info.fBoolGroup);
    EXPECT_FALSE(info.fSingleChannel);

    layer.GetChannelInfo(17, info);
    EXPECT_EQ(info.fLabel, "Camera Roll");
    EXPECT_TRUE(info.fAngle);

    // Outside the table the caller's record is put back to its initial values.
    layer.GetChannelInfo(20, info);
    EXPECT_EQ(info.fID, 0);
    EXPECT_EQ(info.fIcon, nullptr);
    EXPECT_EQ(info.fLabel, "");
    EXPECT_EQ(info.fSubChannels, 1);
    EXPECT_TRUE(info.fSingleChannel);
    EXPECT_FALSE(info.fAngle);
}

TEST(LayerChannels, AllChannelsNumbersEveryRowInTableOrder)
{
    VornDoc doc;
    VornLayer layer;
    struct Case {
        int32_t row, sub;
        AnimChannel* expected;
    };
    const Case cases[] = {
        { 19, 0, &layer.fTranslation },
        { 19, 11, &layer.fAmbientOcclusion },
        { 19, 12, &layer.fLayerShadow },
        { 19, 27, &layer.fShadingNoiseScale },
        { 19, 33, &layer.fMotionBlurRadius },
        { 19, 34, &doc.fCameraTrack },
        { 19, 37, &doc.fCameraPanTilt },
        { 19, 38, nullptr },
        { 12, 8, nullptr },
        { 14, 5, &layer.fMotionBlurRadius },
        { 2, 0, &layer.fRotationZ },
        { 2, 1, nullptr },
        { 20, 0, nullptr },
        { -1, 0, nullptr },
    };
    for (const Case& c : cases)
        EXPECT_EQ(layer.GetChannel(c.row, c.sub, &doc), c.expected) << c.row << "," << c.sub;
    // The camera rows need the document.
    EXPECT_EQ(layer.GetChannel(16, 0, nullptr), nullptr);
    EXPECT_EQ(layer.GetChannel(19, 34, nullptr), nullptr);
}

TEST(LayerChannels, KindsPutTheirRowsInFrontOfTheBaseRows)
{
    VornDoc doc;
    GroupLayer group;
    ChannelInfo info;
    ASSERT_EQ(group.CountChannels(), 21);
    group.GetChannelInfo(0, info);
    EXPECT_EQ(info.fID, 10045);
    EXPECT_EQ(info.fLabel, "Layer Ordering");
    EXPECT_EQ(group.GetChannel(0, 0, &doc), &group.fLayerOrdering);
    group.GetChannelInfo(1, info);
    EXPECT_EQ(info.fID, CHANNEL_LAYER_T);
    EXPECT_EQ(group.GetChannel(1, 0, &doc), &group.fTranslation);
    // "All Channels" counts the kind's own rows first.
    group.GetChannelInfo(20, info);
    EXPECT_EQ(info.fSubChannels, 39);
    EXPECT_EQ(group.GetChannel(20, 0, &doc), &group.fLayerOrdering);
    EXPECT_EQ(group.GetChannel(20, 13, &doc), &group.fLayerShadow);
}

TEST(LayerChannels, AnimDurationIsTheLatestKeyOfAnyLayerChannel)
{
    VornLayer layer;
    layer.fShadingColor.SetValue(42, rgb_color { 1, 2, 3, 4 });
    layer.fTranslation.SetValue(17, QV_Vector3 { 1, 0, 0 });
    EXPECT_EQ(layer.AnimDuration(), 42);
}
