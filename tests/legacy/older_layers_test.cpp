// Older layer records: the base keywords, the six kinds and their current records.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>
#include <vector>

#include "older_test_support.h"

namespace {

std::string Convert(const std::string& document, bool* ok = nullptr)
{
    TempFolder folder;
    return ConvertFile(folder.Write("doc.vorn", document), ok);
}

std::string OneLayer(int version, const std::string& record, int type = 1)
{
    return Convert(OlderDocument(version, "layer " + std::to_string(type) + "\n" + record + "\nend_layer\n"));
}

// The values written after every "masking" keyword, in file order.
std::vector<std::string> MaskingValues(const std::string& text)
{
    std::vector<std::string> values;
    const std::vector<std::string> all = Tokens(text);
    for (size_t i = 0; i + 1 < all.size(); i++)
        if (all[i] == "masking")
            values.push_back(all[i + 1]);
    return values;
}

} // namespace

TEST(OlderLayer, BaseChannelsBecomeCurrentChannels)
{
    // Version 8 kept depth the other way round; the depth keys join the translation.
    const std::string depth = OneLayer(8, "depth 2 0 0 1 0.5 10 1 -1");
    EXPECT_EQ(RecordAfter(depth, "translation"), "[ keys 2 0 1 -1 -1 0 0 -0.5 10 1 -1 -1 0 0 1 ]");
    const std::string keyed = OneLayer(9, "translation 2 0 0 3 1 2 10 0 3 4\ndepth 1 0 5 1 2");
    EXPECT_EQ(RecordAfter(keyed, "translation"), "[ keys 3 0 3 -1 -1 1 2 2 5 1 -1 -1 2 3 2 10 0 -1 -1 3 4 2 ]");

    // Before version 10 the shadow and shading had no fifth channel: it is keyed to 0 with the blur.
    const std::string shadow = OneLayer(9,
        "layer_shadow 1 0 0 1 false 1 0 0 1 5.5 1 0 0 1 0.03 2 0 0 1 0.01 24 1 0.02 1 0 0 1 0 0 0 128");
    EXPECT_EQ(RecordAfter(shadow, "layer_shadow_expansion"), "[ keys 2 0 1 -1 -1 0 24 1 -1 -1 0 ]");
    EXPECT_EQ(RecordAfter(shadow, "layer_shadow_blur"), "[ keys 2 0 1 -1 -1 0.01 24 1 -1 -1 0.02 ]");
    const std::string shading = OneLayer(10,
        "layer_shading 1 0 0 1 true 1 0 0 1 5.5 1 0 0 1 0.03 1 0 0 1 0.01 1 0 0 1 0.25 1 0 0 1 1 2 3 4");
    EXPECT_EQ(RecordAfter(shading, "layer_shading_contraction"), "[ keys 1 0 1 -1 -1 0.25 ]");
    EXPECT_EQ(RecordAfter(shading, "layer_shading_color"), "[ keys 1 0 1 -1 -1 0.003922 0.007843 0.011765 0.015686 ]");

    const std::string scale = OneLayer(10, "scale 2 0 0 1 2 4 7 2 1 -1");
    EXPECT_EQ(RecordAfter(scale, "scale"), "[ keys 2 0 1 -1 -1 2 4 3 7 2 -1 -1 1 -1 1 ]");

    const std::string perspective = OneLayer(10, "perspective 1 0 0 2 0.1 0.2\nshear 1 4 0 1 0.5 0.25");
    EXPECT_EQ(RecordAfter(perspective, "rotation_x"), "[ keys 1 0 2 -1 -1 0.2 ]");
    EXPECT_EQ(RecordAfter(perspective, "rotation_y"), "[ keys 1 0 2 -1 -1 0.1 ]");
    EXPECT_TRUE(HasTokens(RecordAfter(perspective, "shear"), "0 1 -1 1 0.5 0.25 0"));

    // Alphas were 0..255.
    const std::string plain = OneLayer(10, "name \"Plain\"");
    EXPECT_EQ(RecordAfter(plain, "alpha"), "[ keys 1 0 1 -1 -1 1 ]");
    EXPECT_EQ(RecordAfter(plain, "motion_blur_alpha_start"), "[ keys 1 0 1 -1 -1 0.501961 ]");
    EXPECT_EQ(RecordAfter(plain, "motion_blur_alpha_end"), "[ keys 1 0 1 -1 -1 0.301961 ]");
    EXPECT_EQ(MaskingValues(plain), std::vector<std::string> { "0" });
    EXPECT_EQ(MaskingValues(OneLayer(10, "maskable false")), std::vector<std::string> { "1" });

    // An unknown keyword skips its line; the next line is read again.
    const std::string unknown = OneLayer(10, "sparkle 1 2 3 4\nname \"Known\"");
    EXPECT_TRUE(HasTokens(unknown, "name \"Known\""));
}

TEST(OlderLayer, GroupMasksBecomeCodes)
{
    struct Case {
        bool mask, reversed, invisible;
        const char* groupMask;
        const char* firstMasking;
    } const cases[] = {
        { false, false, true, "0", "0" },
        { true, false, false, "2", "2" },
        { true, false, true, "2", "4" },
        { true, true, false, "1", "3" },
        { true, true, true, "1", "5" },
    };
    const auto flag = [](bool v) { return std::string(v ? "true" : "false"); };
    for (const Case& c : cases) {
        const std::string record = "mask " + flag(c.mask) + "\nreversed_mask " + flag(c.reversed)
            + "\ninvisible_mask " + flag(c.invisible)
            + "\nlayer 1\nend_layer\nlayer 1\nmaskable false\nend_layer\nlayer 1\nend_layer";
        for (int type : { 3, 4 }) {
            const std::string text = OneLayer(10, record, type);
            EXPECT_TRUE(HasTokens(text, std::string("group_mask ") + c.groupMask)) << type << " " << text;
            const std::vector<std::string> expected { "0", c.firstMasking, "1", "0" };
            EXPECT_EQ(MaskingValues(text), expected) << type;
        }
    }
}

TEST(OlderLayer, KindsWriteTheirOwnLines)
{
    const std::string bone = OneLayer(10, "name \"B\"", 4);
    EXPECT_NE(bone.find("layer_type 4\n\t{\n"), std::string::npos);
    EXPECT_NE(bone.find("\t}\n"), std::string::npos);
    EXPECT_NE(bone.find("\tskeleton \n[\n"), std::string::npos);
    const std::string group = OneLayer(10, "name \"G\"", 3);
    EXPECT_NE(group.find("layer_type 3\n{\n"), std::string::npos);

    const std::string particles = OneLayer(10,
        "num_particles 10\npreview_particles 50\nsource_w 0.5\nsource_d 2\nseed 99\nstart_full false", 6);
    EXPECT_TRUE(HasTokens(particles, "num_particles 10 preview_particles 10 particle_lifetime 24 seed 99"));
    EXPECT_TRUE(HasTokens(particles, "source_shape 0.5 0.1 2"));
    EXPECT_TRUE(HasTokens(particles, "start_full false particle_activation [ keys 1 0 1 -1 -1 true ]"));
    // The switch and particle layers know no mask: the line is skipped.
    EXPECT_FALSE(HasTokens(particles, "group_mask"));

    const std::string image = OneLayer(10, "image \"C:\\pics\\a.png\"\nshape 2 1", 2);
    EXPECT_NE(image.find("\nimage \"C:\\pics\\a.png\"\nshape 2 1\n}\n"), std::string::npos);
}

TEST(OlderLayer, SwitchDataFileSetsTheKeys)
{
    const std::string keys = "switch_keys 2 0 0 1 \"a\" 5 1 \"b\"\n";
    struct Case {
        const char* name;
        std::string data; // empty: the data file is a folder
        const char* expected;
    } const cases[] = {
        { "good file", "VornSwitch1\r\n3 x\r\n  8   y z  \nnope\n9    \n", "[ keys 3 0 1 -1 -1 \"a\" 3 1 -1 -1 \"x\" 8 1 -1 -1 \"y z\" ]" },
        { "LF file replacing frame 0", "VornSwitch1\n0 first\n", "[ keys 1 0 1 -1 -1 \"first\" ]" },
        { "wrong first line", "NotASwitch\n3 x\n", "[ keys 1 0 1 -1 -1 \"a\" ]" },
        { "a folder", "", "[ keys 1 0 1 -1 -1 \"a\" ]" },
    };
    for (const Case& c : cases) {
        TempFolder folder;
        if (c.data.empty())
            mkdir(folder.File("mouth.dat").c_str(), 0700);
        else
            folder.Write("mouth.dat", c.data);
        const std::string text = ConvertFile(folder.Write("doc.vorn",
            OlderDocument(10, "layer 5\n" + keys + "switch \"mouth.dat\"\nend_layer\n")));
        EXPECT_EQ(RecordAfter(text, "switch_keys"), c.expected) << c.name;
        EXPECT_TRUE(HasTokens(text, "switch_data \"" + folder.File("mouth.dat") + "\"")) << c.name;
    }

    // A pipe is not read: the open must not wait for a writer.
    TempFolder folder;
    ASSERT_EQ(mkfifo(folder.File("pipe.dat").c_str(), 0600), 0);
    bool ok = false;
    const std::string text = ConvertFile(
        folder.Write("doc.vorn", OlderDocument(10, "layer 5\n" + keys + "switch \"pipe.dat\"\nend_layer\n")), &ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(RecordAfter(text, "switch_keys"), "[ keys 1 0 1 -1 -1 \"a\" ]");

    // Two keys at frame 0 in the record: the later stays.
    EXPECT_EQ(RecordAfter(OneLayer(10, "switch_keys 3 0 0 1 \"x\" 0 1 \"y\" 4 1 \"z\"", 5), "switch_keys"),
        "[ keys 2 0 1 -1 -1 \"y\" 4 1 -1 -1 \"z\" ]");
}

TEST(OlderLayer, UnknownKindsKeepTheRestOfTheFile)
{
    // An older layer type that no kind has is written as an empty record: the group's other
    // sub-layers and the next top-level layer still convert.
    const std::string text = Convert(OlderDocument(10,
        "layer 3\nname \"G\"\nlayer 42\nname \"odd\"\nend_layer\nlayer 1\nname \"inside\"\nend_layer\nend_layer\n"
        "layer 1\nname \"after\"\nend_layer\n"));
    EXPECT_TRUE(HasTokens(text, "layer_type 0 { name \"odd\""));
    const size_t odd = text.find("name \"odd\"");
    const size_t close = text.find("}\n", odd);
    EXPECT_LT(close, text.find("name \"inside\""));
    EXPECT_TRUE(HasTokens(text, "layer_type 1 { name \"after\""));
}
