#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

#include "layer_test_support.h"
#include "qv_filestream.h"
#include "vorn_test_support.h"

namespace {

std::string MemoryRecord(VornLayer& layer)
{
    QV_MemStream stream;
    stream.Open(0);
    VornLayer::WriteGenericValues(&stream, &layer);
    return StreamText(stream);
}

std::string FileRecord(VornLayer& layer)
{
    ScratchFile file;
    QV_FileStream stream;
    EXPECT_EQ(stream.Open(file.Path(), false), 0);
    VornLayer::WriteGenericValues(&stream, &layer);
    EXPECT_TRUE(stream.Commit());
    return file.Contents();
}

bool Has(const std::vector<std::string>& words, const std::string& word)
{
    return std::find(words.begin(), words.end(), word) != words.end();
}

// Reads a whole record into the layer at the given format version; answers the error text.
std::string ReadInto(VornLayer& layer, const std::string& text, int32_t version, bool* ok)
{
    QV_MemStream stream;
    FillStream(stream, text);
    stream.fVersion = version;
    *ok = layer.ReadRecord(&stream);
    return stream.fError.CString();
}

const char* const kEffectLines[] = { "visibility", "blur", "alpha", "ambient_occlusion", "layer_shadow_on",
    "layer_shading_on", "motion_blur_on", "motion_blur_radius" };
const char* const kNoiseLines[] = { "layer_shadow_noise_amp", "layer_shadow_noise_scale",
    "layer_shading_noise_amp", "layer_shading_noise_scale" };

} // namespace

TEST(LayerRecord, FilesLeaveOutDefaultEffectsThatMemoryStreamsKeep)
{
    VornLayer layer;
    const std::vector<std::string> file = FirstWords(FileRecord(layer));
    const std::vector<std::string> memory = FirstWords(MemoryRecord(layer));
    for (const char* line : kEffectLines) {
        EXPECT_FALSE(Has(file, line)) << line;
        EXPECT_TRUE(Has(memory, line)) << line;
    }
    for (const char* line : kNoiseLines) {
        EXPECT_FALSE(Has(file, line)) << line;
        EXPECT_FALSE(Has(memory, line)) << line;
    }
    EXPECT_FALSE(Has(file, "secondary_selection"));
    EXPECT_TRUE(Has(memory, "secondary_selection"));
    EXPECT_FALSE(Has(file, "hsv_image"));
    EXPECT_FALSE(Has(file, "layer_script"));
    // No actions, no actions header.
    EXPECT_EQ(MemoryRecord(layer).find("### actions"), std::string::npos);
    // Files end their lines in CR LF.
    EXPECT_NE(FileRecord(layer).find("### transforms\r\n"), std::string::npos);
}

TEST(LayerRecord, TheGenericValuesComeInTheirOrder)
{
    VornLayer layer;
    layer.SetName("Arm");
    layer.fOrigin = QV_Vector2 { 0.5f, -2 };
    layer.fTimingOffset = -3;
    const std::vector<std::string> lines = TextLines(MemoryRecord(layer));
    const std::vector<std::string> head(lines.begin(), lines.begin() + 23);
    const std::vector<std::string> expected = { "### generic layer values", "secondary_selection false",
        "name \"Arm\"", "quality_flags 2046", "animated_layer_effects false", "origin 0.5 -2",
        "parent_bone -2", "visible true", "render_only false", "edit_only false", "scale_compensation true",
        "rotate_to_follow false", "face_camera false", "masking 0", "blend_mode 0", "camera_immune false",
        "dof_immune false", "timing_offset -3", "", "### transforms", "translation", "[", "\tkeys 1" };
    EXPECT_EQ(head, expected);
}

TEST(LayerRecord, ChangedEffectsReachTheFile)
{
    VornLayer layer;
    layer.fAlpha.SetValue(10, 1);
    layer.fLayerShadow.SetValue(0, true);
    std::vector<std::string> file = FirstWords(FileRecord(layer));
    EXPECT_TRUE(Has(file, "alpha"));
    EXPECT_FALSE(Has(file, "blur"));
    EXPECT_TRUE(Has(file, "layer_shadow_color"));
    EXPECT_FALSE(Has(file, "layer_shadow_noise_amp"));
    EXPECT_FALSE(Has(file, "layer_shading_on"));

    layer.fShadowNoiseAmp.SetValue(0, 0.01f);
    file = FirstWords(FileRecord(layer));
    EXPECT_TRUE(Has(file, "layer_shadow_noise_amp"));
    EXPECT_TRUE(Has(file, "layer_shadow_noise_scale"));
    EXPECT_FALSE(Has(file, "layer_shading_noise_amp"));
}

TEST(LayerRecord, AMemoryRecordReadsBackIntoANewLayer)
{
    VornLayer layer;
    layer.SetName("Head");
    layer.fSecondarySelection = true;
    layer.fQualityFlags = 6;
    layer.fOrigin = QV_Vector2 { 0.25f, 0.75f };
    layer.fLayerParentBone = 3;
    layer.fBlendingMode = BM_SCREEN;
    layer.fMaskingMode = MM_SUB_MASK;
    layer.fImmuneToDof = true;
    layer.SetTimingOffset(7);
    layer.SetHsvImage("/pictures/modulate.png");
    layer.SetLayerScript("/scripts/bob.lua");
    layer.fAlpha.SetValue(12, 0.5f);
    layer.fShadingColor.SetValue(0, rgb_color { 10, 20, 30, 40 });
    layer.ActivatePose("nod", true);
    layer.fRotationX.SetValue(3, 0.5f);
    layer.ActivatePose(nullptr, false);
    layer.ActivatePose("blink", true);
    layer.ActivatePose(nullptr, false);

    const std::string text = "{\n" + MemoryRecord(layer) + "}\n";
    VornLayer copy;
    bool ok;
    EXPECT_EQ(ReadInto(copy, text, 19, &ok), "");
    ASSERT_TRUE(ok);
    EXPECT_EQ(copy.Name(), "Head");
    EXPECT_TRUE(copy.fSecondarySelection);
    EXPECT_EQ(copy.fQualityFlags, 6);
    EXPECT_EQ(copy.fOrigin.x, 0.25f);
    EXPECT_EQ(copy.fLayerParentBone, 3);
    EXPECT_EQ(copy.fBlendingMode, BM_SCREEN);
    EXPECT_EQ(copy.fMaskingMode, MM_SUB_MASK);
    EXPECT_TRUE(copy.fImmuneToDof);
    EXPECT_EQ(copy.fTimingOffset, 7);
    EXPECT_EQ(copy.HsvImage(), "/pictures/modulate.png");
    EXPECT_EQ(copy.fLayerScript, "/scripts/bob.lua");
    EXPECT_FALSE(copy.fLayerScriptLoaded);
    EXPECT_FLOAT_EQ(copy.fAlpha.GetValue(12), 0.5f);
    EXPECT_EQ(copy.fShadingColor.GetValue(0).AsColorStruct().g, 20);
    ASSERT_EQ(copy.fPoses.fCount, 2);
    EXPECT_TRUE(copy.HasPose("nod"));
    EXPECT_TRUE(copy.HasPose("blink"));
    ASSERT_NE(copy.fRotationX.ActionNamed("nod"), nullptr);
    EXPECT_EQ(copy.fRotationX.ActionNamed("nod")->Duration(), 3);
    // Written again, the copy says the same.
    EXPECT_EQ(MemoryRecord(copy), MemoryRecord(layer));
}

TEST(LayerRecord, OldRecordsGetAnimatedEffectsAndTheOldQualityBit)
{
    VornLayer layer;
    bool ok;
    EXPECT_EQ(ReadInto(layer, "{\n\tname \"old\"\n\tquality_flags 2\n\tvisible true\n}\n", 15, &ok), "");
    EXPECT_TRUE(ok);
    EXPECT_TRUE(layer.fAnimatedLayerEffects);
    EXPECT_EQ(layer.fQualityFlags, 2 | 0x400);

    VornLayer current;
    EXPECT_EQ(ReadInto(current, "{\n\tquality_flags 2\n\tvisible true\n}\n", 16, &ok), "");
    EXPECT_FALSE(current.fAnimatedLayerEffects);
    EXPECT_EQ(current.fQualityFlags, 2);
}

TEST(LayerRecord, DuplicateActionLinesAreKept)
{
    VornLayer layer;
    bool ok;
    ReadInto(layer, "{\n### actions\naction \"wave\"\naction \"wave\"\n}\n", 19, &ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(layer.fPoses.fCount, 2);
}

TEST(LayerRecord, BadRecordsFailWithTheirMessages)
{
    struct Case {
        const char* text;
        const char* errorStart;
    };
    const Case cases[] = {
        { "{\n\tname \"cut\"\n\tvisible true\n", "Read error at line 4. In code file lib_vorn/vornlayer" },
        { "{\n\tvisible maybe\n}\n", "Read error at line 2. In code file lib_vorn/vornlayer" },
        { "{\n\torigin 1\n}\n", "Read error at line 3. In code file lib_vorn/vornlayer" },
        { "{\n\tname \"x\"\n\twobble 3\n}\n", "Unknown keyword: wobble at line 3" },
        { "{\n\talpha\n\t[\n\t\tkeys -1\n\t]\n}\n",
            "Read error at line 4. In code file lib_vorn/animval, line " },
    };
    for (const Case& c : cases) {
        VornLayer layer;
        bool ok = true;
        const std::string error = ReadInto(layer, c.text, 19, &ok);
        EXPECT_FALSE(ok) << c.text;
        EXPECT_EQ(error.compare(0, std::string(c.errorStart).size(), c.errorStart), 0) << error;
    }
}

TEST(LayerRecord, LongNamesReadBack)
{
    // Nothing limits a name when it is set, so the reader takes what the writer wrote.
    VornLayer layer;
    const std::string name(300, 'n');
    layer.SetName(name.c_str());
    VornLayer copy;
    bool ok;
    EXPECT_EQ(ReadInto(copy, "{\n" + MemoryRecord(layer) + "}\n", 19, &ok), "");
    EXPECT_TRUE(ok);
    EXPECT_EQ(copy.Name(), name.c_str());
}
