// The document file: the new-document fixture, a rich round trip, reader errors and fix-ups,
// and saving that never puts the old file at risk.

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <fstream>
#include <sstream>
#include <string>

#include "audiolayer.h"
#include "grouplayer.h"
#include "imagelayer.h"
#include "mesh3dlayer.h"
#include "layer_test_support.h"
#include "m_mesh.h"
#include "mesh_test_support.h"
#include "m_style.h"
#include "meshlayer.h"
#include "notelayer.h"
#include "qv_filestream.h"
#include "qv_memstream.h"
#include "vorn_test_support.h"
#include "vorndoc.h"

namespace {

std::string Fixture(const char* name)
{
    std::ifstream in(std::string(CELVANE_TEST_DATA) + "/vorndoc/" + name, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string WriteDoc(VornDoc& doc, const char* comment = nullptr)
{
    QV_MemStream stream;
    stream.Open(0);
    doc.Write(comment, &stream);
    return StreamText(stream);
}

// A document read from text; the stream's error text comes back through error.
VornDoc* ReadDoc(const std::string& text, std::string* error = nullptr)
{
    QV_MemStream stream;
    FillStream(stream, text);
    VornDoc* doc = new VornDoc(&stream);
    if (error)
        *error = stream.fError.CString();
    return doc;
}

} // namespace

TEST(DocumentFile, NewDocumentWritesTheFixtureByteForByte)
{
    VornDoc doc;
    EXPECT_EQ(WriteDoc(doc), Fixture("new_document.txt"));
}

namespace {

// A group holding a vector layer with a filled and outlined shape, a point group, a shared style
// and animated channels.
void BuildRichDocument(VornDoc& doc)
{
    M_Style* style = new M_Style(0);
    style->fName = "Skin";
    doc.AddStyle(style);
    doc.fCameraZoom.SetValue(12, 2.5f);
    doc.fFps = 30;
    doc.fWidth = 640;
    doc.fHeight = 480;

    GroupLayer* group = new GroupLayer;
    group->fName = "Body";
    group->fExpanded = true;
    MeshLayer* vector = new MeshLayer;
    vector->fName = "Arm";
    vector->fNoisyLines = true;
    M_Mesh& mesh = vector->fMesh;
    AddCurve(mesh, { { 0, 0 }, { 1, 0 }, { 1, 1 }, { 0, 1 } }, true);
    const int32_t shape = AddShape(mesh, { { 0, 0 }, { 0, 1 }, { 0, 2 }, { 0, 3 } }, true, true, "Patch");
    mesh.fShapes[shape]->fStyleName1 = "Skin";
    mesh.AddGroup("Corners");
    mesh.fPoints[1]->fAnimPos.SetValue(10, QV_Vector2 { 2, 0 });
    vector->fTranslation.SetValue(24, QV_Vector3 { 1, 2, 0 });
    group->AddLayer(vector);
    doc.AddLayer(group);
}

} // namespace

TEST(DocumentFile, RichDocumentReadsBackAndWritesByteForByte)
{
    VornDoc doc;
    BuildRichDocument(doc);
    const std::string text = WriteDoc(doc);

    std::string error;
    VornDoc* back = ReadDoc(text, &error);
    ASSERT_FALSE(back->fReadFailed) << error;
    EXPECT_EQ(back->fWidth, 640);
    EXPECT_EQ(back->fHeight, 480);
    EXPECT_FLOAT_EQ(back->fFps, 30);
    EXPECT_EQ(back->fVersion, 19);
    EXPECT_EQ(back->fCameraZoom.CountKeys(), 2);
    ASSERT_EQ(back->fStyles.fCount, 1);
    ASSERT_EQ(back->CountLayers(), 1);
    ASSERT_EQ(back->Layer(0)->LayerType(), LT_GROUP);
    GroupLayer* group = static_cast<GroupLayer*>(back->Layer(0));
    EXPECT_TRUE(group->fExpanded);
    ASSERT_EQ(group->CountLayers(), 1);
    ASSERT_EQ(group->Layer(0)->LayerType(), LT_VECTOR);
    MeshLayer* vector = static_cast<MeshLayer*>(group->Layer(0));
    EXPECT_EQ(vector->fParent, group);
    EXPECT_TRUE(vector->fNoisyLines);
    EXPECT_EQ(vector->fMesh.fNumPoints, 4);
    ASSERT_EQ(vector->fMesh.fNumShapes, 1);
    EXPECT_EQ(vector->fMesh.fShapes[0]->fStyle1, back->Style(0));
    EXPECT_EQ(vector->fMesh.fNumGroups, 1);
    EXPECT_EQ(vector->fMesh.fPoints[1]->fAnimPos.CountKeys(), 2);
    EXPECT_EQ(back->GetSelectedLayer(), group);

    EXPECT_EQ(WriteDoc(*back), text);
    delete back;
}

TEST(DocumentFile, ReaderErrorsNameTheirCause)
{
    const std::string header = "application/x-vnd.qv_vorndoc\n";
    struct Case {
        std::string text;
        std::string error;
    };
    const Case cases[] = {
        { "", "Read error at line 1. In code file lib_vorn/vorndoc, line " },
        { "application/x-vnd.qv_vorndocX\n", "Bad file header: application/x-vnd.qv_vorndocX" },
        { header + "version 20\n", "This file is from a newer version of Vorn, and cannot be opened by this version." },
        { header + "version 7\n",
            "This file is from an old version of Vorn, and must be updated with the updater application." },
        { header + "version 19\nversion 19\n", "Unknown keyword: version at line 3" },
        { header + "version 19\n\nbogus 1\n", "Unknown keyword: bogus at line 4" },
        { header + "version 19\nfps 0\n", "Read error at line 3. In code file lib_vorn/vorndoc, line " },
        { header + "version 19\nfps nan\n", "Read error at line 3" },
        { header + "version 19\ndimensions 0 10\n", "Read error at line 3" },
        { header + "version 19\ndimensions 10 -5\n", "Read error at line 3" },
        { header + "version 19\ndepth_of_field true -2 2 0.05\n", "Read error at line 3" },
        // Image and 3D layer records name their own reader and check.
        { header + "version 19\nlayer_type 8\n{\n\tedge_offset x\n}\n",
            "Read error at line 5. In code file ..\\..\\..\\lib_vorn\\mesh3dlayer, line 78." },
        { header + "version 19\nlayer_type 3\n{\n\tlayer_type 2\n\t{\n\t\tshape 1 x\n\t}\n}\n",
            "Read error at line 7. In code file lib_vorn/imagelayer, line " },
        { header + "version 19\nlayer_type 1\n{\n\tnoise_amp x\n", "Read error at line 5. In code file lib_vorn/meshlayer, line 103." },
        { header + "version 19\nfps 1e999\n", "Read error at line 3. In code file lib_vorn/vorndoc, line " },
    };
    for (const Case& c : cases) {
        std::string error;
        VornDoc* doc = ReadDoc(c.text, &error);
        EXPECT_TRUE(doc->fReadFailed) << c.text;
        EXPECT_EQ(error.rfind(c.error, 0), 0u) << c.text << "\n got: " << error;
        delete doc;
    }
}

TEST(DocumentFile, OlderFormatFilesFailWithTheConverterMessage)
{
    ScratchFile file;
    if (FILE* f = std::fopen(file.Path(), "wb")) {
        std::fputs("application/x-vnd.qv_vorndoc\nversion 9\n", f);
        std::fclose(f);
    }
    QV_FileStream stream;
    ASSERT_EQ(stream.Open(file.Path(), true), 0);
    VornDoc doc(&stream);
    EXPECT_TRUE(doc.fReadFailed);
    EXPECT_STREQ(stream.fError.CString(), "This appears to be an older Vorn file, but it couldn't be opened.");

    // The converter's own output arrives on a memory stream and is read as it stands.
    QV_MemStream memory;
    FillStream(memory, "application/x-vnd.qv_vorndoc\nversion 9\nfps 12\n");
    VornDoc converted(&memory);
    EXPECT_FALSE(converted.fReadFailed);
    EXPECT_EQ(memory.fVersion, 9);
}

TEST(DocumentFile, SelectionFixUps)
{
    auto layers = [](const std::vector<bool>& visible, const char* extra) {
        std::string text = "application/x-vnd.qv_vorndoc\nversion 19\n";
        for (bool v : visible)
            text += std::string("layer_type 1\n{\nvisible ") + (v ? "true" : "false") + "\n}\n";
        return text + extra;
    };
    {
        VornDoc* doc = ReadDoc(layers({ true, true, false }, ""));
        EXPECT_EQ(doc->GetSelectedLayer(), doc->Layer(1));
        delete doc;
    }
    {
        VornDoc* doc = ReadDoc(layers({ false, false, false }, ""));
        EXPECT_EQ(doc->GetSelectedLayer(), doc->Layer(0));
        EXPECT_TRUE(doc->Layer(0)->fVisible);
        delete doc;
    }
    {
        VornDoc* doc = ReadDoc(layers({ true, true, true }, "selected_layer 99\n"));
        EXPECT_FALSE(doc->fReadFailed);
        EXPECT_EQ(doc->GetSelectedLayer(), doc->Layer(2));
        delete doc;
    }
}

namespace {

// A mutated document either fails with one of the reader's error texts, or reads, and what it
// writes reads back and writes the same text again.
void ExpectCleanResult(const std::string& text, const std::string& what)
{
    static const char* const kErrorStarts[] = { "Read error at line ", "Unknown keyword: ", "Bad file header: ",
        "This file is from a newer version", "This file is from an old version", "This appears to be an older" };
    std::string error;
    VornDoc* doc = ReadDoc(text, &error);
    if (doc->fReadFailed) {
        bool known = false;
        for (const char* start : kErrorStarts)
            known = known || error.rfind(start, 0) == 0;
        EXPECT_TRUE(known) << what << ": " << error;
    } else {
        EXPECT_EQ(error, "") << what;
        const std::string written = WriteDoc(*doc);
        std::string again;
        VornDoc* back = ReadDoc(written, &again);
        EXPECT_FALSE(back->fReadFailed) << what << ": " << again;
        EXPECT_EQ(WriteDoc(*back), written) << what;
        delete back;
    }
    delete doc;
}

} // namespace

TEST(DocumentFile, TruncatedAndFlippedFixturesFailCleanly)
{
    VornDoc doc;
    BuildRichDocument(doc);
    const std::string text = WriteDoc(doc);
    for (size_t cut = 0; cut < text.size(); cut += 7)
        ExpectCleanResult(text.substr(0, cut), "cut at " + std::to_string(cut));
    for (size_t i = 0; i < text.size(); i += 3) {
        std::string flipped = text;
        flipped[i] = char(flipped[i] ^ 0x5A);
        ExpectCleanResult(flipped, "byte " + std::to_string(i) + " flipped");
    }
}

TEST(DocumentFile, SaveRefusesAnUnwritableFolderAndKeepsTheDirtyFlag)
{
    VornDoc doc;
    doc.SetPath("/proc/celvane-no-such-folder/doc.celv");
    doc.SetDirty();
    doc.fVersion = 12;
    EXPECT_EQ(doc.Save(nullptr), -7);
    EXPECT_TRUE(doc.fDirty);
    EXPECT_EQ(doc.fVersion, 12);
}

TEST(DocumentFile, SaveWritesAndClearsTheDirtyFlag)
{
    ScratchFile file;
    VornDoc doc;
    BuildRichDocument(doc);
    doc.SetPath(file.Path());
    doc.SetDirty();
    doc.fVersion = 12;
    EXPECT_EQ(doc.Save("Celvane test"), 0);
    EXPECT_FALSE(doc.fDirty);
    EXPECT_EQ(doc.fVersion, 19);
    QV_FileStream stream;
    ASSERT_EQ(stream.Open(file.Path(), true), 0);
    VornDoc back(&stream);
    EXPECT_FALSE(back.fReadFailed) << stream.fError.CString();
    EXPECT_EQ(back.CountLayers(), 1);
}

TEST(DocumentFile, AFullDiskLeavesTheOldFileByteForByte)
{
    ScratchFile file;
    VornDoc small;
    small.SetPath(file.Path());
    ASSERT_EQ(small.Save(nullptr), 0);
    const std::string before = file.Contents();

    // A file size limit fails the writes part way, as a full disk does.
    VornDoc doc;
    BuildRichDocument(doc);
    doc.SetPath(file.Path());
    doc.SetDirty();
    doc.fVersion = 12;
    struct rlimit old {};
    getrlimit(RLIMIT_FSIZE, &old);
    void (*oldHandler)(int) = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limited = old;
    limited.rlim_cur = rlim_t(before.size() / 2);
    setrlimit(RLIMIT_FSIZE, &limited);
    const int32_t status = doc.Save(nullptr);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(status, -7);
    EXPECT_TRUE(doc.fDirty);
    EXPECT_EQ(doc.fVersion, 12);
    EXPECT_EQ(file.Contents(), before);

    // A device that fails every write is written in place and reports it.
    doc.SetPath("/dev/full");
    EXPECT_EQ(doc.Save(nullptr), -7);
    EXPECT_TRUE(doc.fDirty);
}

TEST(DocumentFile, RoundTripUtilityReadsAndWritesFiles)
{
    ScratchFile out;
    const std::string tool = CELVANE_DOC_ROUNDTRIP;
    const std::string fixture = std::string(CELVANE_TEST_DATA) + "/vorndoc/new_document.txt";
    EXPECT_EQ(std::system((tool + " " + fixture + " " + out.Path() + " >/dev/null").c_str()), 0);
    QV_FileStream stream;
    ASSERT_EQ(stream.Open(out.Path(), true), 0);
    VornDoc back(&stream);
    EXPECT_FALSE(back.fReadFailed);

    // A bad file: the reader's first error on one line, exit status 1.
    ScratchFile bad;
    if (FILE* f = std::fopen(bad.Path(), "wb")) {
        std::fputs("application/x-vnd.qv_vorndoc\nversion 25\n", f);
        std::fclose(f);
    }
    FILE* pipe = popen((tool + " " + bad.Path() + " " + out.Path()).c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    char line[512] = {};
    ASSERT_NE(std::fgets(line, sizeof line, pipe), nullptr);
    const int status = pclose(pipe);
    EXPECT_STREQ(line, "This file is from a newer version of Vorn, and cannot be opened by this version.\n");
    EXPECT_EQ(WEXITSTATUS(status), 1);
}

TEST(DocumentFile, OldVersionFilesApplyTheRecordGates)
{
    PrefOverride prefs({ { "GapFilling", 1 } });
    const std::string text = "application/x-vnd.qv_vorndoc\nversion 13\n"
                             "layer_type 1\n{\n\tquality_flags 2\n\tname \"Old\"\n\tmesh\n\t[\n\t]\n}\n"
                             "layer_type 1\n{\n\tname \"Old\"\n\tgap_filling false\n}\n";
    std::string error;
    VornDoc* doc = ReadDoc(text, &error);
    ASSERT_FALSE(doc->fReadFailed) << error;
    ASSERT_EQ(doc->CountLayers(), 2);
    MeshLayer* first = static_cast<MeshLayer*>(doc->Layer(0));
    // Before format 14 the preference decides gap filling; a line in the record still wins.
    EXPECT_TRUE(first->fGapFilling);
    EXPECT_FALSE(static_cast<MeshLayer*>(doc->Layer(1))->fGapFilling);
    // Before format 16 layers get animated layer effects and the effect-handles quality bit.
    EXPECT_TRUE(first->fAnimatedLayerEffects);
    EXPECT_EQ(first->fQualityFlags & 0x400, 0x400);
    EXPECT_EQ(doc->fVersion, 13);
    delete doc;
}

TEST(DocumentFile, NamesOfAnyLengthAndQuotedNamesReadBack)
{
    const std::string longName(300, 'n');
    VornDoc doc;
    M_Style* style = new M_Style(0);
    style->fName = longName.c_str();
    doc.AddStyle(style);
    MeshLayer* vector = new MeshLayer;
    vector->SetName(("say \"hi\" " + longName).c_str());
    AddCurve(vector->fMesh, { { 0, 0 }, { 1, 0 }, { 1, 1 } }, true);
    AddShape(vector->fMesh, { { 0, 0 }, { 0, 1 }, { 0, 2 } }, true, false, longName.c_str());
    vector->fMesh.AddGroup(("\"" + longName + "\"").c_str());
    vector->fMesh.fShapes[0]->fStyleName1 = longName.c_str();
    doc.AddLayer(vector);

    std::string error;
    VornDoc* back = ReadDoc(WriteDoc(doc), &error);
    ASSERT_FALSE(back->fReadFailed) << error;
    ASSERT_EQ(back->fStyles.fCount, 1);
    EXPECT_EQ(std::string(back->Style(0)->fName.CString()), longName);
    MeshLayer* read = static_cast<MeshLayer*>(back->Layer(0));
    EXPECT_EQ(std::string(read->fName.CString()), "say hi " + longName);
    ASSERT_EQ(read->fMesh.fNumShapes, 1);
    EXPECT_EQ(std::string(read->fMesh.fShapes[0]->fName.CString()), longName);
    EXPECT_EQ(read->fMesh.fShapes[0]->fStyle1, back->Style(0));
    ASSERT_EQ(read->fMesh.fNumGroups, 1);
    EXPECT_EQ(std::string(read->fMesh.fGroups[0]->GroupName()), longName);
    delete back;
}

TEST(DocumentFile, PathsHoldingADoubleQuoteNeverEnterTheDocument)
{
    MeshLayer layer;
    ASSERT_TRUE(layer.SetFillTexture("/art/paper.png"));
    ASSERT_TRUE(layer.SetLineTexture("/art/pencil.png"));
    ASSERT_TRUE(layer.SetHsvImage("/art/tint.png"));
    ASSERT_TRUE(layer.SetLayerScript("/scripts/bob.lua"));

    ConsoleCapture console;
    const char* quoted = "/art/\"final\"/x.png";
    EXPECT_FALSE(layer.SetFillTexture(quoted));
    EXPECT_FALSE(layer.SetLineTexture(quoted));
    EXPECT_FALSE(layer.SetHsvImage(quoted));
    EXPECT_FALSE(layer.SetLayerScript(quoted));
    EXPECT_STREQ(layer.fFillTexture.CString(), "/art/paper.png");
    EXPECT_STREQ(layer.fLineTexture.CString(), "/art/pencil.png");
    EXPECT_STREQ(layer.HsvImage().CString(), "/art/tint.png");
    // The media layers' sources, likewise.
    AudioLayer audio;
    ImageLayer image;
    Mesh3DLayer model;
    EXPECT_NE(audio.SetAudioFile(quoted), 0);
    EXPECT_FALSE(image.SetSourceImage(quoted));
    EXPECT_FALSE(model.SetSourceMesh("/models/\"final\".obj"));
    EXPECT_TRUE(audio.AudioFile().IsEmpty());
    EXPECT_TRUE(image.SourceImage().IsEmpty());
    EXPECT_TRUE(model.SourceMesh().IsEmpty());
    ASSERT_EQ(console.lines.size(), 7u);
    EXPECT_NE(console.lines[6].find("/models/\"final\".obj"), std::string::npos);
    EXPECT_NE(console.lines[0].find("cannot store a path that holds a double quote"), std::string::npos);
    EXPECT_NE(console.lines[0].find(quoted), std::string::npos);
}

namespace {

std::string NestedGroups(int32_t depth)
{
    std::string text = "application/x-vnd.qv_vorndoc\nversion 19\n";
    for (int32_t i = 0; i < depth; i++)
        text += "layer_type 3\n{\n";
    for (int32_t i = 0; i < depth; i++)
        text += "}\n";
    return text;
}

std::string Seed(const char* name)
{
    std::ifstream in(std::string(CELVANE_DOCUMENT_SEEDS) + "/" + name, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace

// Groups may nest 256 deep; deeper is a read error with the read-error text, and even 100,000
// levels end in that error, not in a stack overflow.
TEST(DocumentFile, GroupNestingHasABound)
{
    std::string error;
    VornDoc* doc = ReadDoc(NestedGroups(256), &error);
    ASSERT_FALSE(doc->fReadFailed) << error;
    VornLayer* layer = doc->Layer(0);
    int32_t depth = 1;
    while (static_cast<GroupLayer*>(layer)->CountLayers() == 1) {
        VornLayer* inner = static_cast<GroupLayer*>(layer)->Layer(0);
        EXPECT_EQ(inner->fParent, layer);
        EXPECT_EQ(inner->fDoc, doc);
        layer = inner;
        depth++;
    }
    EXPECT_EQ(depth, 256);
    EXPECT_EQ(WriteDoc(*doc).size(), WriteDoc(*doc).size());
    delete doc;

    for (int32_t tooDeep : { 257, 1000, 100000 }) {
        doc = ReadDoc(NestedGroups(tooDeep), &error);
        EXPECT_TRUE(doc->fReadFailed) << tooDeep;
        EXPECT_EQ(error.rfind("Read error at line " + std::to_string(3 + 2 * 256) + ". In code file lib_vorn/grouplayer, line ", 0), 0u)
            << tooDeep << ": " << error;
        delete doc;
    }
}

// Keys in any order, and an unused focus range, no longer cost the whole document.
TEST(DocumentFile, OddKeyOrdersAndUnusedFocusRangesRead)
{
    std::string error;
    VornDoc* doc = ReadDoc(Seed("keys_out_of_order.txt"), &error);
    ASSERT_FALSE(doc->fReadFailed) << error;
    ASSERT_EQ(doc->fCameraZoom.CountKeys(), 3);
    EXPECT_EQ(doc->fCameraZoom.GetKeyWhen(1), 6);
    EXPECT_EQ(doc->fCameraZoom.GetValue(12), 4);
    EXPECT_EQ(doc->fCameraZoom.GetKeyInterpMode(12), 0);
    delete doc;

    doc = ReadDoc(Seed("focus_range_unused.txt"), &error);
    ASSERT_FALSE(doc->fReadFailed) << error;
    EXPECT_FALSE(doc->fDepthOfField);
    EXPECT_EQ(doc->fFocusDistance, VornDoc::kDefaultFocusDistance);
    EXPECT_EQ(doc->fFocusRange, VornDoc::kDefaultFocusRange);
    EXPECT_FLOAT_EQ(doc->fMaxBlur, 0.05f);
    delete doc;

    // Switched on, the same range could not be used: still refused.
    doc = ReadDoc("application/x-vnd.qv_vorndoc\nversion 19\ndepth_of_field true -5 2 0.05\n", &error);
    EXPECT_TRUE(doc->fReadFailed);
    EXPECT_EQ(error.rfind("Read error at line 3. In code file lib_vorn/vorndoc, line ", 0), 0u) << error;
    delete doc;
}

// A value too large for a float (written 1e999) is a read error, as on every stream.
TEST(DocumentFile, NumbersBeyondTheFloatRangeAreReadErrors)
{
    std::string error;
    VornDoc* doc = ReadDoc(Seed("number_overflow.txt"), &error);
    EXPECT_TRUE(doc->fReadFailed);
    EXPECT_EQ(error.rfind("Read error at line 8. In code file lib_vorn/animvec3, line ", 0), 0u) << error;
    delete doc;
}

// Line breaks in a note's text survive saving and reading: open and save is stable whatever
// line ends the file has.
TEST(DocumentFile, NoteTextLineBreaksAreStableThroughSaves)
{
    ScratchFile file;
    {
        std::ofstream(file.Path(), std::ios::binary) << Seed("note_line_breaks.txt");
    }
    QV_FileStream in;
    ASSERT_EQ(in.Open(file.Path(), true), 0);
    VornDoc doc(&in);
    in.Close();
    ASSERT_FALSE(doc.fReadFailed) << in.fError.CString();
    ASSERT_EQ(doc.CountLayers(), 1);
    EXPECT_STREQ(static_cast<NoteLayer*>(doc.Layer(0))->fNoteText.CString(), "first\nsecond\r\nthird");

    doc.SetPath(file.Path());
    ASSERT_EQ(doc.Save(nullptr), 0);
    const std::string saved = file.Contents();
    ASSERT_EQ(in.Open(file.Path(), true), 0);
    VornDoc again(&in);
    in.Close();
    ASSERT_FALSE(again.fReadFailed) << in.fError.CString();
    EXPECT_STREQ(static_cast<NoteLayer*>(again.Layer(0))->fNoteText.CString(), "first\nsecond\r\nthird");
    again.SetPath(file.Path());
    ASSERT_EQ(again.Save(nullptr), 0);
    EXPECT_EQ(file.Contents(), saved);
}

// A file its owner made read-only is not replaced, and a failed save says why.
TEST(DocumentFile, SavingOntoAReadOnlyFileIsRefusedWithItsReason)
{
    ScratchFile file;
    VornDoc doc;
    doc.SetPath(file.Path());
    ASSERT_EQ(doc.Save(nullptr), 0);
    const std::string before = file.Contents();
    ASSERT_EQ(chmod(file.Path(), 0444), 0);
    BuildRichDocument(doc);
    doc.SetDirty();
    QV_String reason;
    EXPECT_EQ(doc.Save(nullptr, &reason), -7);
    EXPECT_EQ(reason, "the file is read-only");
    EXPECT_TRUE(doc.fDirty);
    EXPECT_EQ(file.Contents(), before);

    doc.SetPath("/proc/celvane-no-such-folder/doc.celv");
    EXPECT_EQ(doc.Save(nullptr, &reason), -7);
    EXPECT_STREQ(reason.CString(), std::strerror(ENOENT));

    // The round-trip utility reports the reason with the path.
    const std::string fixture = std::string(CELVANE_TEST_DATA) + "/vorndoc/new_document.txt";
    FILE* pipe = popen((std::string(CELVANE_DOC_ROUNDTRIP) + " " + fixture + " " + file.Path()).c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    char line[512] = {};
    ASSERT_NE(std::fgets(line, sizeof line, pipe), nullptr);
    EXPECT_EQ(WEXITSTATUS(pclose(pipe)), 1);
    EXPECT_EQ(std::string(line), "cannot write " + std::string(file.Path()) + ": the file is read-only\n");
    chmod(file.Path(), 0644);
}

// Every regression input of the document fuzz target reads, or fails with an error text, under
// the sanitizers; what reads writes text that reads back the same.
TEST(DocumentFile, FuzzSeedsReadOrFailCleanly)
{
    int32_t seeds = 0;
    for (const auto& entry : std::filesystem::directory_iterator(CELVANE_DOCUMENT_SEEDS)) {
        std::ifstream in(entry.path(), std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        ExpectCleanResult(text.str(), entry.path().filename().string());
        seeds++;
    }
    EXPECT_GT(seeds, 8);
}
