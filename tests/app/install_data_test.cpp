// The desktop entry and the documents' MIME type, judged by the freedesktop tools themselves.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "../core/scratch_folder.h"
#include "xvfb_session.h"

namespace {

TEST(InstallData, TheDesktopEntryIsValid)
{
    if (!HasProgram("desktop-file-validate"))
        GTEST_SKIP() << "desktop-file-validate is not installed (tools/install-deps.sh test brings it)";
    ScratchFolder folder;
    const std::string report = folder.File("report.txt");
    EXPECT_EQ(RunProgram({ "desktop-file-validate", std::string(CELVANE_SOURCE_DIR) + "/data/celvane.desktop" },
                  report, nullptr),
        0)
        << folder.Get("report.txt");
    EXPECT_EQ(folder.Get("report.txt"), "");
}

TEST(InstallData, TheMimeTypeNamesBothExtensions)
{
    if (!HasProgram("update-mime-database"))
        GTEST_SKIP() << "update-mime-database is not installed (tools/install-deps.sh test brings it)";
    ScratchFolder folder;
    std::filesystem::create_directories(folder.File("mime/packages"));
    std::filesystem::copy_file(std::string(CELVANE_SOURCE_DIR) + "/data/celvane-mime.xml",
        folder.File("mime/packages/celvane-mime.xml"));
    ASSERT_EQ(RunProgram({ "update-mime-database", folder.File("mime") }, "", nullptr), 0);
    const std::string globs = folder.Get("mime/globs2");
    EXPECT_NE(globs.find("application/x-vnd.qv_vorndoc:*.celv"), std::string::npos) << globs;
    EXPECT_NE(globs.find("application/x-vnd.qv_vorndoc:*.vorn"), std::string::npos) << globs;
}

} // namespace
