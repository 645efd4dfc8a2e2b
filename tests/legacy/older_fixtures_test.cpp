// Hand-written older documents of versions 8, 9 and 10: their version 11 text token by token,
// the round trip through the program's reader and writer, and damaged copies of them.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <string>
#include <vector>

#include "older_document_hook.h"
#include "older_test_support.h"
#include "qv_filestream.h"
#include "shape_style_factory.h"
#include "vorndoc.h"

namespace {

constexpr const char* kOlderFileText = "This appears to be an older Vorn file, but it couldn't be opened.";

struct Fixture {
    const char* name;
};
const Fixture kFixtures[] = {
    { "bones_v8" },
    { "switch_v9" },
    { "triangle_v10" },
    // Its picture is missing: the layer opens showing the missing-image picture.
    { "image_v10" },
};

std::string Data(const std::string& name) { return std::string(CELVANE_LEGACY_DATA) + "/" + name; }

// The fixture and the switch data file it names, in a folder of the test's own.
std::string CopyFixture(const TempFolder& folder, const char* name)
{
    folder.Write("mouth.dat", ReadFile(Data("mouth.dat")));
    return folder.Write(std::string(name) + ".vorn", ReadFile(Data(std::string(name) + ".vorn")));
}

std::string Replace(std::string text, const std::string& from, const std::string& to)
{
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

// Runs a test tool; its exit status, and what it printed.
int RunTool(const std::string& command, std::string* output = nullptr)
{
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe)
        return -1;
    std::string text;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe))
        text += buffer;
    const int status = pclose(pipe);
    if (output)
        *output = text;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string WithoutComments(const std::string& text)
{
    std::string kept;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        end = end == std::string::npos ? text.size() : end + 1;
        if (text[start] != '#')
            kept += text.substr(start, end - start);
        start = end;
    }
    return kept;
}

// Opens a file with the program's reader: true when it reads; otherwise the error text must be
// the older-file message.
bool OpensOrRefusesCleanly(const std::string& path)
{
    QV_FileStream in;
    if (in.Open(path.c_str(), true) != 0)
        return false;
    VornDoc doc(&in);
    if (!doc.fReadFailed)
        return true;
    EXPECT_STREQ(in.fError.CString(), kOlderFileText) << path;
    return false;
}

class OlderFixtures : public testing::Test {
protected:
    void SetUp() override
    {
        RegisterShapeStyles();
        SetOlderDocumentConverter(vorn_v4::ConvertOlderDocument);
    }
    void TearDown() override { SetOlderDocumentConverter(nullptr); }
};

} // namespace

TEST_F(OlderFixtures, ConvertToTheExpectedTokens)
{
    for (const Fixture& fixture : kFixtures) {
        TempFolder folder;
        bool ok = false;
        const std::string text = ConvertFile(CopyFixture(folder, fixture.name), &ok);
        ASSERT_TRUE(ok) << fixture.name;
        const std::vector<std::string> got = Tokens(text);
        const std::vector<std::string> expected
            = Tokens(Replace(ReadFile(Data(std::string(fixture.name) + ".v11")), "@DIR@", folder.Path()));
        ASSERT_FALSE(expected.empty()) << fixture.name;
        const size_t common = std::min(got.size(), expected.size());
        size_t first = 0;
        while (first < common && got[first] == expected[first])
            first++;
        EXPECT_EQ(got.size(), expected.size()) << fixture.name;
        if (first < common)
            ADD_FAILURE() << fixture.name << ": token " << first << " is " << got[first] << ", expected "
                          << expected[first];
    }
}

TEST_F(OlderFixtures, SurviveTheRoundTrip)
{
    for (const Fixture& fixture : kFixtures) {
        TempFolder folder;
        const std::string in = CopyFixture(folder, fixture.name);
        const std::string saved = folder.File("saved.celv");
        const std::string again = folder.File("again.celv");
        std::string output;
        ASSERT_EQ(RunTool(std::string(CELVANE_DOC_ROUNDTRIP) + " " + in + " " + saved, &output), 0)
            << fixture.name << ": " << output;
        const std::string first = ReadFile(saved);
        EXPECT_TRUE(HasTokens(first, "application/x-vnd.qv_vorndoc")) << fixture.name;
        EXPECT_TRUE(HasTokens(first, "version 19")) << fixture.name;
        ASSERT_EQ(RunTool(std::string(CELVANE_DOC_ROUNDTRIP) + " " + saved + " " + again, &output), 0) << output;
        EXPECT_EQ(WithoutComments(ReadFile(again)), WithoutComments(first)) << fixture.name;
    }

    // The conversion tool writes the same text the reader reads.
    TempFolder folder;
    const std::string in = CopyFixture(folder, "triangle_v10");
    ASSERT_EQ(RunTool(std::string(CELVANE_CONVERT_OLD) + " " + in + " " + folder.File("t.v11")), 0);
    EXPECT_EQ(ReadFile(folder.File("t.v11")), ConvertFile(in));
    std::string output;
    EXPECT_EQ(RunTool(std::string(CELVANE_CONVERT_OLD) + " " + folder.Write("bad.vorn", "nonsense") + " "
                  + folder.File("bad.v11"), &output),
        1);
    EXPECT_EQ(output, std::string(kOlderFileText) + "\n");
}

TEST_F(OlderFixtures, DamagedCopiesFailCleanly)
{
    for (const Fixture& fixture : kFixtures) {
        TempFolder folder;
        const std::string original = ReadFile(CopyFixture(folder, fixture.name));
        const std::string path = folder.File("damaged.vorn");
        int opened = 0, refused = 0;
        // Damage after the version line, which sends the file to the converter.
        const size_t body = original.find('\n', original.find("version")) + 1;
        for (size_t length = body; length < original.size(); length += 13) {
            folder.Write("damaged.vorn", original.substr(0, length));
            (OpensOrRefusesCleanly(path) ? opened : refused)++;
        }
        // Single bytes changed into digits, signs, quotes, separators and letters.
        for (size_t at = body; at < original.size(); at += 17) {
            for (char c : { '9', '-', '"', '\n', 'x' }) {
                std::string copy = original;
                copy[at] = c;
                folder.Write("damaged.vorn", copy);
                (OpensOrRefusesCleanly(path) ? opened : refused)++;
            }
        }
        EXPECT_GT(opened, 0) << fixture.name;
        EXPECT_GT(refused, 0) << fixture.name;
    }

    // The round-trip tool says the same and exits 1.
    TempFolder folder;
    const std::string original = ReadFile(CopyFixture(folder, "triangle_v10"));
    const std::string cut = folder.Write("cut.vorn", original.substr(0, original.find("end_cMesh")));
    std::string output;
    EXPECT_EQ(RunTool(std::string(CELVANE_DOC_ROUNDTRIP) + " " + cut + " " + folder.File("out.celv"), &output), 1);
    EXPECT_EQ(output, std::string(kOlderFileText) + "\n");
}
