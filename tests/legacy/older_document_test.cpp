// Older documents: the document grammar, the current document written for it, and the current
// reader opening older files through the converter.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "older_document_hook.h"
#include "older_test_support.h"
#include "qv_filestream.h"
#include "shape_style_factory.h"
#include "vorndoc.h"
#include "vornlayer.h"

namespace {

constexpr const char* kOlderFileText = "This appears to be an older Vorn file, but it couldn't be opened.";

std::string Convert(const std::string& document, bool* ok = nullptr)
{
    TempFolder folder;
    return ConvertFile(folder.Write("doc.vorn", document), ok);
}

bool Converts(const std::string& document)
{
    bool ok = false;
    Convert(document, &ok);
    return ok;
}

std::string Layers(int count, const char* record = "")
{
    std::string text;
    for (int i = 0; i < count; i++)
        text += std::string("layer 1\n") + record + "end_layer\n";
    return text;
}

std::vector<std::string> VisibleValues(const std::string& text)
{
    std::vector<std::string> values;
    const std::vector<std::string> all = Tokens(text);
    for (size_t i = 0; i + 1 < all.size(); i++)
        if (all[i] == "visible")
            values.push_back(all[i + 1]);
    return values;
}

// Reads a document file with the program's reader; the error text when it fails.
std::unique_ptr<VornDoc> ReadCurrent(const std::string& path, std::string* error = nullptr)
{
    QV_FileStream in;
    if (in.Open(path.c_str(), true) != 0)
        return nullptr;
    auto doc = std::make_unique<VornDoc>(&in);
    if (error)
        *error = in.fError.CString();
    if (doc->fReadFailed)
        return nullptr;
    return doc;
}

class OlderReading : public testing::Test {
protected:
    void SetUp() override
    {
        RegisterShapeStyles();
        SetOlderDocumentConverter(vorn_v4::ConvertOlderDocument);
    }
    void TearDown() override { SetOlderDocumentConverter(nullptr); }
};

} // namespace

TEST(OlderDocument, EmptyDocumentWritesEveryLine)
{
    EXPECT_EQ(Convert(OlderDocument(10, "")),
        "application/x-vnd.qv_vorndoc\nversion 11\ndimensions 320 240\nframe_range 1 0\nfps 24\n"
        "back_color 255 255 255 255\nnoise_grain 0\nallow_3d true\ndepth_sort false\ndistance_sort false\n"
        "depth_of_field \nfalse 2 1 0.05\nsoundtrack \"\"\ncamera_track [ keys 1 0 1 -1 -1 0 0 1.7321 ]\n"
        "camera_zoom [ keys 1 0 1 -1 -1 1 ]\ncamera_roll [ keys 1 0 1 -1 -1 0 ]\n"
        "camera_pan_tilt [ keys 1 0 1 -1 -1 0 0 ]\n");

    const std::string settings = Convert(OlderDocument(9,
        "dimensions 640 480\nfps 12.5\nback_color 300 10 20 -4\nnoise_grain 3\n# a comment 1 2\nallow_3d false\n"
        "depth_sort true\ndistance_sort true\ndepth_of_field true 3 2 0.1\nsparkle 5\ncamera_scale 1 0 3 1 2\n"
        "camera_rotation 1 0 0 1 0.5\ncamera_pitch_yaw 1 0 0 1 0.1 0.2\n"));
    EXPECT_TRUE(HasTokens(settings, "dimensions 640 480 frame_range 1 3 fps 12.5 back_color 255 10 20 0 noise_grain 3 "
                                    "allow_3d false depth_sort true distance_sort true depth_of_field true 3 2 0.1"))
        << settings;
    EXPECT_TRUE(HasTokens(settings, "camera_zoom [ keys 1 3 1 -1 -1 2 ] camera_roll [ keys 1 0 1 -1 -1 0.5 ] "
                                    "camera_pan_tilt [ keys 1 0 1 -1 -1 0.1 0.2 ]"));
}

TEST(OlderDocument, CameraTranslationByVersion)
{
    const std::string v8 = Convert(OlderDocument(8, "camera_translation 1 0 5 3 1 2\n"));
    EXPECT_EQ(RecordAfter(v8, "camera_track"), "[ keys 2 0 1 -1 -1 0 0 1.7321 5 3 -1 -1 -1 -2 1.7321 ]");
    // Version 8 had no 3D and no depth sorting, unless a later line says otherwise.
    EXPECT_TRUE(HasTokens(v8, "allow_3d false depth_sort false"));
    EXPECT_TRUE(HasTokens(Convert(OlderDocument(8, "allow_3d true\n")), "allow_3d true depth_sort false"));
    const std::string own = Convert(OlderDocument(8, "camera_translation 1 0 0 2 4 5\n"));
    EXPECT_EQ(RecordAfter(own, "camera_track"), "[ keys 1 0 2 -1 -1 -4 -5 1.7321 ]");

    const std::string v9 = Convert(OlderDocument(9, "camera_translation 1 0 5 3 1 2 3\n"));
    EXPECT_EQ(RecordAfter(v9, "camera_track"), "[ keys 1 5 3 -1 -1 -1 -2 3 ]");
    EXPECT_TRUE(HasTokens(v9, "frame_range 1 5"));
    const std::string position = Convert(OlderDocument(10, "camera_position 1 0 0 1 1 2 3\n"));
    EXPECT_EQ(RecordAfter(position, "camera_track"), "[ keys 1 0 1 -1 -1 1 2 3 ]");
}

TEST(OlderDocument, CurrentLayerIsShown)
{
    const std::string hidden = "visible false\n";
    EXPECT_EQ(VisibleValues(Convert(OlderDocument(10, "selected_layer 9\n" + Layers(3, hidden.c_str())))),
        (std::vector<std::string> { "false", "false", "true" }));
    EXPECT_EQ(VisibleValues(Convert(OlderDocument(10, "selected_layer 1\n" + Layers(3, hidden.c_str())))),
        (std::vector<std::string> { "false", "true", "false" }));
    EXPECT_EQ(VisibleValues(Convert(OlderDocument(10, Layers(1) + Layers(2, hidden.c_str())))),
        (std::vector<std::string> { "true", "false", "false" }));
    EXPECT_EQ(VisibleValues(Convert(OlderDocument(10, Layers(3, hidden.c_str())))),
        (std::vector<std::string> { "true", "false", "false" }));
    EXPECT_EQ(VisibleValues(Convert(OlderDocument(10, Layers(2, hidden.c_str()) + Layers(1)))),
        (std::vector<std::string> { "false", "false", "true" }));
}

TEST(OlderDocument, LimitsAndDamage)
{
    EXPECT_TRUE(Converts(OlderDocument(10, Layers(127))));
    EXPECT_FALSE(Converts(OlderDocument(10, Layers(128))));
    std::string group = "layer 3\n";
    for (int i = 0; i < 127; i++)
        group += "layer 1\nend_layer\n";
    EXPECT_TRUE(Converts(OlderDocument(10, group + "end_layer\n")));
    EXPECT_FALSE(Converts(OlderDocument(10, group + "layer 1\nend_layer\nend_layer\n")));

    // Group-like layers nest 256 deep at most.
    const auto nested = [](int depth) {
        std::string text;
        for (int i = 0; i < depth; i++)
            text += "layer 3\n";
        for (int i = 0; i < depth; i++)
            text += "end_layer\n";
        return OlderDocument(10, text);
    };
    EXPECT_TRUE(Converts(nested(256)));
    EXPECT_FALSE(Converts(nested(257)));

    // A layer record may end with the file; a mesh block may not.
    const std::string open = Convert(OlderDocument(10, "layer 1\nname \"Last\"\n"));
    EXPECT_TRUE(HasTokens(open, "layer_type 1 { name \"Last\""));
    EXPECT_FALSE(Converts(OlderDocument(10, "layer 1\ncMesh\nnum_points 0\n")));

    const struct {
        const char* name;
        std::string text;
    } failing[] = {
        { "version 11", OlderDocument(11, "") },
        { "another header", "application/x-vnd.other\nversion 10\n" },
        { "empty file", "" },
        { "unreadable version", "application/x-vnd.qv_vorndoc\nversion ten\n" },
        { "value missing", OlderDocument(10, "dimensions 320\n") },
        { "comment without a line end", OlderDocument(10, "# the end") },
        { "comment in a layer without a line end", OlderDocument(10, "layer 1\n# the end") },
        { "bad channel in a layer", OlderDocument(10, "layer 1\nrotation 1 0 0 1 x\nend_layer\n") },
        { "bad sub-layer", OlderDocument(10, "layer 3\nlayer 1\nalpha -3 0\nend_layer\nend_layer\n") },
    };
    for (const auto& c : failing)
        EXPECT_FALSE(Converts(c.text)) << c.name;

    bool ok = true;
    ConvertFile("/nonexistent/older.vorn", &ok);
    EXPECT_FALSE(ok);
    ConvertFile("", &ok);
    EXPECT_FALSE(ok);
}

TEST(OlderDocument, BareNamesJoinTheDocumentFolder)
{
    TempFolder folder;
    const std::string text = ConvertFile(folder.Write("doc.vorn", OlderDocument(10,
        "soundtrack \"music.wav\"\nlayer 1\nhsv_image \"tint.png\"\nend_layer\nlayer 2\nimage \"sub\\pic.png\"\n"
        "end_layer\nlayer 2\nimage \"/abs/pic.png\"\nhsv_image \"\"\nend_layer\n")));
    EXPECT_TRUE(HasTokens(text, "soundtrack \"" + folder.File("music.wav") + "\""));
    EXPECT_TRUE(HasTokens(text, "hsv_image \"" + folder.File("tint.png") + "\""));
    EXPECT_TRUE(HasTokens(text, "image \"" + folder.File("sub\\pic.png") + "\""));
    EXPECT_TRUE(HasTokens(text, "hsv_image \"\""));
    EXPECT_TRUE(HasTokens(text, "image \"/abs/pic.png\""));
    const std::string windows = ConvertFile(folder.Write("win.vorn", OlderDocument(10, "soundtrack \"C:\\docs\\m.wav\"\n")));
    EXPECT_TRUE(HasTokens(windows, "soundtrack \"C:\\docs\\m.wav\""));
}

TEST_F(OlderReading, TheReaderOpensOlderFilesThroughTheConverter)
{
    TempFolder folder;
    const std::string path = folder.Write("doc.vorn", OlderDocument(9,
        "dimensions 200 100\nlayer 42\nname \"odd\"\nend_layer\nlayer 1\nname \"after\"\nend_layer\n"));
    std::string error;
    auto doc = ReadCurrent(path, &error);
    ASSERT_TRUE(doc) << error;
    EXPECT_EQ(doc->fWidth, 200);
    ASSERT_EQ(doc->CountLayers(), 2);
    EXPECT_STREQ(doc->Layer(1)->fName.CString(), "after");
    EXPECT_EQ(doc->fVersion, 11);

    // A file that does not convert, and a converted text that the reader refuses, both give the
    // older-file message.
    EXPECT_FALSE(ReadCurrent(folder.Write("bad.vorn", OlderDocument(10, "layer 1\ncMesh\nsparkle\n")), &error));
    EXPECT_EQ(error, kOlderFileText);
    EXPECT_FALSE(ReadCurrent(folder.Write("zero.vorn", OlderDocument(10, "dimensions 0 0\n")), &error));
    EXPECT_EQ(error, kOlderFileText);

    SetOlderDocumentConverter(nullptr);
    EXPECT_FALSE(ReadCurrent(path, &error));
    EXPECT_EQ(error, kOlderFileText);
}
