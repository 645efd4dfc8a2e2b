#include "plat_files.h"
#include "plat_folders.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "scoped_env.h"

namespace fs = std::filesystem;

namespace {

class PlatFilesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "celvane-plat-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        fRoot = pattern;
    }
    void TearDown() override
    {
        std::error_code ignored;
        fs::remove_all(fRoot, ignored);
    }
    void Touch(const std::string& name) { std::ofstream(fRoot + "/" + name) << "x"; }

    std::string fRoot;
};

mode_t ModeOf(const std::string& path)
{
    struct stat info { };
    stat(path.c_str(), &info);
    return info.st_mode & 0777;
}

} // namespace

TEST_F(PlatFilesTest, FindsExactNameFirstThenIgnoringCase)
{
    Touch("Tahoma.TTF");
    Touch("b.ttf");
    Touch("B.TTF");
    EXPECT_EQ(PlatFindFile(fRoot, "Tahoma.TTF"), fRoot + "/Tahoma.TTF");
    EXPECT_EQ(PlatFindFile(fRoot, "tahoma.ttf"), fRoot + "/Tahoma.TTF");
    // Exact wins over a case-insensitive match that sorts first.
    EXPECT_EQ(PlatFindFile(fRoot, "b.ttf"), fRoot + "/b.ttf");
    EXPECT_EQ(PlatFindFile(fRoot, "b.TTF"), fRoot + "/B.TTF");
    EXPECT_EQ(PlatFindFile(fRoot + "/", "TAHOMA.ttf"), fRoot + "/Tahoma.TTF");
    EXPECT_EQ(PlatFindFile(fRoot, "missing.ttf"), "");
    EXPECT_EQ(PlatFindFile(fRoot + "/nowhere", "b.ttf"), "");
    fs::create_directory(fRoot + "/sub");
    EXPECT_EQ(PlatFindFile(fRoot, "SUB"), ""); // folders are not files
}

TEST_F(PlatFilesTest, ListingIsSortedIgnoringCaseThenBytewise)
{
    for (const char* name : { "b", "A", "a", "C", "B" })
        Touch(name);
    std::vector<std::string> expected { "A", "a", "B", "b", "C" };
    EXPECT_EQ(PlatListFolder(fRoot), expected);
}

TEST_F(PlatFilesTest, AppFolderCanBeOverridden)
{
    {
        ScopedEnv app("CELVANE_APP_FOLDER", (fRoot + "/").c_str());
        EXPECT_EQ(PlatAppFolder(), fRoot);
    }
    ScopedEnv app("CELVANE_APP_FOLDER", nullptr);
    // The test executable's own folder.
    EXPECT_TRUE(fs::exists(PlatAppFolder() + "/test_platform"));
}

TEST_F(PlatFilesTest, ConfigFolderFollowsXdgThenHome)
{
    struct Case {
        const char* xdg;
        const char* home;
        std::string expected;
    } cases[] = {
        { "/x/config/", "/h", "/x/config" },
        { "relative/config", "/h", "/h/.config" }, // relative values are invalid
        { "", "/h/", "/h/.config" },
        { nullptr, "/h", "/h/.config" },
    };
    for (const Case& c : cases) {
        ScopedEnv xdg("XDG_CONFIG_HOME", c.xdg);
        ScopedEnv home("HOME", c.home);
        EXPECT_EQ(PlatConfigFolder(), c.expected) << (c.xdg ? c.xdg : "(unset)");
    }
}

TEST_F(PlatFilesTest, MakesPrivateFoldersAllTheWayDown)
{
    const std::string deep = fRoot + "/one/two/three";
    EXPECT_TRUE(PlatMakeFolders(deep));
    EXPECT_TRUE(fs::is_directory(deep));
    for (const std::string& folder : { fRoot + "/one", fRoot + "/one/two", deep })
        EXPECT_EQ(ModeOf(folder), 0700u) << folder;
    EXPECT_TRUE(PlatMakeFolders(deep)); // already there
    Touch("file");
    EXPECT_FALSE(PlatMakeFolders(fRoot + "/file/below"));
    EXPECT_FALSE(PlatMakeFolders(""));
}

TEST_F(PlatFilesTest, RealFilePathOnlyForExistingFiles)
{
    Touch("doc.celv");
    fs::create_symlink(fRoot + "/doc.celv", fRoot + "/link.celv");
    const std::string real = fs::canonical(fRoot + "/doc.celv").string();
    EXPECT_EQ(PlatRealFilePath(fRoot + "/link.celv"), real);
    EXPECT_EQ(PlatRealFilePath(fRoot + "/./doc.celv"), real);
    EXPECT_EQ(PlatRealFilePath("\"" + fRoot + "/doc.celv\""), ""); // quotes are part of the name
    EXPECT_EQ(PlatRealFilePath(fRoot), ""); // a folder
    EXPECT_EQ(PlatRealFilePath(fRoot + "/missing"), "");
    EXPECT_EQ(PlatRealFilePath(""), "");
}

TEST(PlatFonts, FontconfigKnowsTheDejaVuFolderAndFamily)
{
    // fonts-dejavu-core is a dependency of the build.
    const std::string file = PlatFontFamilyFile("DejaVu Sans");
    ASSERT_FALSE(file.empty());
    EXPECT_EQ(fs::path(file).filename(), "DejaVuSans.ttf");
    const std::vector<std::string> folders = PlatFontFolders();
    EXPECT_NE(
        std::find(folders.begin(), folders.end(), fs::path(file).parent_path().string()), folders.end());
    EXPECT_EQ(PlatFontFamilyFile("No Such Family Anywhere"), "");
    EXPECT_EQ(PlatFontFamilyFile(""), "");
}
