#include "plat_temp_folder.h"
#include "scoped_env.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

TEST(PlatTempFolder, TempThenTmpdirThenSlashTmp)
{
    struct Case {
        const char* temp;
        const char* tmpdir;
        const char* expected;
    } cases[] = {
        { "/a/temp", "/b/tmpdir", "/a/temp" },
        { "", "/b/tmpdir", "/b/tmpdir" },
        { nullptr, "/b/tmpdir", "/b/tmpdir" },
        { nullptr, "", "/tmp" },
        { nullptr, nullptr, "/tmp" },
    };
    for (const Case& c : cases) {
        ScopedEnv temp("TEMP", c.temp);
        ScopedEnv tmpdir("TMPDIR", c.tmpdir);
        EXPECT_EQ(PlatTempFolder(), c.expected);
    }
}

TEST(PlatTempFolder, PrivateFoldersAreDistinctOwnerOnlyAndRemovable)
{
    const std::string base = PlatMakePrivateFolder(fs::temp_directory_path().string());
    ASSERT_FALSE(base.empty());
    const std::string a = PlatMakePrivateFolder(base);
    const std::string b = PlatMakePrivateFolder(base + "/");
    ASSERT_FALSE(a.empty());
    ASSERT_FALSE(b.empty());
    EXPECT_NE(a, b);
    EXPECT_EQ(fs::path(a).parent_path(), fs::path(base));
    EXPECT_EQ(fs::path(b).parent_path(), fs::path(base));

    struct stat info;
    ASSERT_EQ(stat(a.c_str(), &info), 0);
    EXPECT_TRUE(S_ISDIR(info.st_mode));
    EXPECT_EQ(info.st_mode & 0777, 0700u);

    std::ofstream(a + "/file") << "x";
    fs::create_directory(a + "/sub");
    std::ofstream(a + "/sub/inner") << "y";
    EXPECT_TRUE(PlatRemoveFolderTree(base));
    EXPECT_FALSE(fs::exists(base));

    EXPECT_EQ(PlatMakePrivateFolder(base), ""); // its parent is gone
    EXPECT_EQ(PlatMakePrivateFolder(""), "");
}

TEST(PlatTempFolder, ProcessFolderIsStableAndGoesAwayAtExitOfItsOwnerOnly)
{
    const std::string folder = PlatProcessTempFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(PlatProcessTempFolder(), folder);
    EXPECT_TRUE(fs::is_directory(folder));
    std::ofstream(folder + "/left-behind") << "z";

    // A forked child that exits normally runs the exit handlers it inherited;
    // the folder belongs to this process and must survive that.
    fflush(nullptr);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0)
        exit(0);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(fs::exists(folder + "/left-behind"));
}

TEST(PlatTempFolderDeathTest, FreshProcessRemovesItsFolderWithContentsAtExit)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // The child runs this body again from the top: it finds the scratch folder
    // through the environment that the parent set for it.
    const char* inherited = getenv("CELVANE_TEST_SCRATCH");
    const std::string base
        = inherited ? inherited : PlatMakePrivateFolder(fs::temp_directory_path().string());
    ASSERT_FALSE(base.empty());
    ScopedEnv marker("CELVANE_TEST_SCRATCH", base.c_str());
    ScopedEnv temp("TEMP", base.c_str());
    EXPECT_EXIT(
        {
            const std::string own = PlatProcessTempFolder();
            std::ofstream(own + "/left-behind") << "z";
            exit(fs::path(own).parent_path() == fs::path(base) && fs::exists(own + "/left-behind") ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_TRUE(fs::is_empty(base));
    PlatRemoveFolderTree(base);
}
