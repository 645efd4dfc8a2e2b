// The vector layer record: its default lines, the old-version gap filling and the version gates
// of the records it carries.

#include <gtest/gtest.h>

#include <string>

#include "grouplayer.h"
#include "meshlayer.h"
#include "mesh_test_support.h"
#include "qv_memstream.h"
#include "vorn_test_support.h"

namespace {

std::string LayerRecord(VornLayer& layer)
{
    QV_MemStream stream;
    stream.Open(0);
    stream.fVersion = 19;
    layer.WriteRecord(&stream);
    return StreamText(stream);
}

} // namespace

TEST(MeshLayerRecord, DefaultLayerWritesItsValues)
{
    MeshLayer layer;
    const std::string text = LayerRecord(layer);
    const char* lines[] = { "\tnoisy_shapes false\n", "\tnoisy_lines false\n", "\tanimated_noise false\n",
        "\textra_sketchy true\n", "\tnoise_amp 0.012346\n", "\tnoise_scale 0.098765\n", "\textra_lines 5\n",
        "\tgap_filling false\n", "\texclude_lines_from_mask false\n", "\tfill_texture \"\"\n",
        "\tline_texture \"\"\n", "\tmesh\n" };
    size_t at = text.find("\t### mesh layer values\n");
    ASSERT_NE(at, std::string::npos);
    for (const char* line : lines) {
        const size_t next = text.find(line, at);
        EXPECT_NE(next, std::string::npos) << line;
        at = next == std::string::npos ? at : next;
    }
    EXPECT_EQ(text.rfind("{\n", 0), 0u);
    EXPECT_EQ(text.substr(text.size() - 2), "}\n");
}

TEST(MeshLayerRecord, OldRecordsTakeGapFillingFromThePreference)
{
    struct Case {
        int32_t version;
        const char* line;
        int32_t pref;
        bool expected;
    };
    const Case cases[] = {
        { 13, "", 0, false },
        { 13, "gap_filling true\n", 0, true },
        { 13, "", 1, true },
        { 14, "", 1, false },
        { 14, "gap_filling true\n", 0, true },
    };
    for (const Case& c : cases) {
        PrefOverride prefs({ { "GapFilling", c.pref } });
        MeshLayer layer;
        layer.fGapFilling = false;
        QV_MemStream stream;
        FillStream(stream, std::string("{\n") + c.line + "}\n");
        stream.fVersion = c.version;
        ASSERT_TRUE(layer.ReadRecord(&stream));
        EXPECT_EQ(layer.fGapFilling, c.expected) << c.version << " " << c.line << c.pref;
    }
}

TEST(MeshLayerRecord, RoundTripKeepsMeshAndOptions)
{
    MeshLayer layer;
    layer.fNoiseAmp = 0.25f;
    layer.fExtraLines = 9;
    layer.fExcludeLinesFromMask = true;
    AddCurve(layer.fMesh, { { 0, 0 }, { 1, 0 }, { 1, 1 } }, true);
    AddShape(layer.fMesh, { { 0, 0 }, { 0, 1 }, { 0, 2 } });
    const std::string text = LayerRecord(layer);

    MeshLayer back;
    QV_MemStream stream;
    FillStream(stream, text);
    stream.fVersion = 19;
    ASSERT_TRUE(back.ReadRecord(&stream)) << stream.fError.CString();
    EXPECT_FLOAT_EQ(back.fNoiseAmp, 0.25f);
    EXPECT_EQ(back.fExtraLines, 9);
    EXPECT_TRUE(back.fExcludeLinesFromMask);
    EXPECT_EQ(back.fMesh.fNumPoints, 3);
    EXPECT_EQ(back.fMesh.fNumShapes, 1);
    EXPECT_EQ(LayerRecord(back), text);
}

TEST(MeshLayerRecord, UnknownKeywordsAndBadValuesFail)
{
    const char* texts[] = { "{\nwobble 3\n}\n", "{\nextra_lines many\n}\n", "{\nmesh\n[\n\tpoints -4\n" };
    for (const char* text : texts) {
        MeshLayer layer;
        QV_MemStream stream;
        FillStream(stream, text);
        EXPECT_FALSE(layer.ReadRecord(&stream)) << text;
        EXPECT_FALSE(stream.fError.IsEmpty()) << text;
    }
}

TEST(GroupLayerRecord, RoundTripKeepsSubLayersAndOrdering)
{
    GroupLayer group;
    group.fGroupMask = GROUP_MASK_HIDE_ALL;
    group.AddLayer(new MeshLayer);
    group.AddLayer(new MeshLayer);
    group.AddLayer(new GroupLayer);
    group.EnableLayerOrdering(true);
    group.fLayerOrdering.SetValue(5, QV_String("2|0|1|"));
    const std::string text = LayerRecord(group);
    EXPECT_NE(text.find("\tanimated_layer_order true\n"), std::string::npos);

    GroupLayer back;
    QV_MemStream stream;
    FillStream(stream, text);
    stream.fVersion = 19;
    ASSERT_TRUE(back.ReadRecord(&stream)) << stream.fError.CString();
    ASSERT_EQ(back.CountLayers(), 3);
    EXPECT_EQ(back.Layer(2)->LayerType(), LT_GROUP);
    EXPECT_EQ(back.Layer(0)->fParent, &back);
    EXPECT_EQ(back.fGroupMask, GROUP_MASK_HIDE_ALL);
    // Loading does not rewrite the ordering that the record already holds.
    EXPECT_STREQ(back.fLayerOrdering.GetValue(5).CString(), "2|0|1|");
    EXPECT_EQ(LayerRecord(back), text);

    // Two ordering keys switch the ordering on whatever the flag said.
    std::string noFlag = text;
    noFlag.erase(noFlag.find("\tanimated_layer_order true\n"), 27);
    GroupLayer flagged;
    QV_MemStream again;
    FillStream(again, noFlag);
    again.fVersion = 19;
    ASSERT_TRUE(flagged.ReadRecord(&again));
    EXPECT_TRUE(flagged.fAnimatedLayerOrder);
}

TEST(GroupLayerRecord, TruncatedRecordAndFailingSubLayersFail)
{
    const char* texts[] = { "{\n\texpanded true\n", "{\nlayer_type 2\n{\nshape 1 x\n}\n}\n", "{\ngroup_mask x\n}\n" };
    for (const char* text : texts) {
        GroupLayer group;
        QV_MemStream stream;
        FillStream(stream, text);
        EXPECT_FALSE(group.ReadRecord(&stream)) << text;
        EXPECT_FALSE(stream.fError.IsEmpty()) << text;
        EXPECT_FALSE(group.fLoading);
    }
}
