#include "plat_temp_folder.h"
#include "qv_temp_file.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <set>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

// The number after "qv_temp_", or -1 when the name has another form.
long NameNumber(const std::string& name)
{
    const std::string file = fs::path(name).filename().string();
    if (file.rfind("qv_temp_", 0) != 0 || file.size() == 8)
        return -1;
    char* end = nullptr;
    long n = strtol(file.c_str() + 8, &end, 10);
    return *end ? -1 : n;
}

} // namespace

TEST(QV_TempFile, SuccessiveNamesCountUpInAnOwnerOnlyFolderOfThisProcess)
{
    const QV_String first = TempFileName();
    const QV_String second = TempFileName();
    const std::string a = first.CString(), b = second.CString();
    ASSERT_GE(NameNumber(a), 0) << a;
    EXPECT_EQ(NameNumber(b), NameNumber(a) + 1) << b;
    EXPECT_EQ(a, std::string(first.CString())); // the first name survives the second call

    const fs::path folder = fs::path(a).parent_path();
    EXPECT_EQ(folder, fs::path(b).parent_path());
    EXPECT_EQ(folder.string(), PlatProcessTempFolder());
    struct stat info;
    ASSERT_EQ(stat(folder.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    EXPECT_EQ(fs::path(a).extension(), "");
}

TEST(QV_TempFile, ThreadsAskingAtOnceGetDistinctNames)
{
    constexpr int kThreads = 8, kEach = 250;
    std::vector<std::vector<std::string>> names(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&names, t] {
            for (int i = 0; i < kEach; ++i)
                names[t].push_back(TempFileName().CString());
        });
    for (std::thread& thread : threads)
        thread.join();
    std::set<std::string> all;
    for (const auto& list : names)
        for (const std::string& name : list) {
            ASSERT_GE(NameNumber(name), 0) << name;
            all.insert(name);
        }
    EXPECT_EQ(all.size(), size_t(kThreads * kEach));
}

// Two running copies of the program share TEMP; their names must not meet,
// and each takes its folder with it when it exits.
TEST(QV_TempFileDeathTest, FreshProcessesInOneTempFolderNeverShareNames)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // The child runs this body again from the top: it finds the scratch folder
    // through the environment that the parent set for it.
    const char* inherited = getenv("CELVANE_TEST_SCRATCH");
    const std::string scratch
        = inherited ? inherited : PlatMakePrivateFolder(fs::temp_directory_path().string());
    ASSERT_FALSE(scratch.empty());
    const char* oldTemp = getenv("TEMP");
    const std::string savedTemp = oldTemp ? oldTemp : "";
    setenv("CELVANE_TEST_SCRATCH", scratch.c_str(), 1);
    setenv("TEMP", scratch.c_str(), 1);

    auto child = [&] {
        const std::string first = TempFileName().CString();
        const std::string second = TempFileName().CString();
        const fs::path folder = fs::path(first).parent_path();
        const bool ok = fs::path(first).filename() == "qv_temp_0"
            && fs::path(second).filename() == "qv_temp_1" && folder.parent_path() == fs::path(scratch);
        std::ofstream(first) << "written";
        // Leave the name where the parent can compare it.
        std::ofstream(scratch + "/name-" + std::to_string(getpid())) << first;
        exit(ok ? 0 : 1);
    };
    EXPECT_EXIT(child(), ::testing::ExitedWithCode(0), "");
    EXPECT_EXIT(child(), ::testing::ExitedWithCode(0), "");

    std::set<std::string> names;
    int entries = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(scratch)) {
        ++entries;
        std::ifstream in(entry.path());
        std::string name;
        in >> name;
        names.insert(name);
        EXPECT_FALSE(fs::exists(name)) << name << " outlived its process";
    }
    EXPECT_EQ(entries, 2); // only the two name notes: both private folders are gone
    EXPECT_EQ(names.size(), 2u);
    unsetenv("CELVANE_TEST_SCRATCH");
    if (oldTemp)
        setenv("TEMP", savedTemp.c_str(), 1);
    else
        unsetenv("TEMP");
    PlatRemoveFolderTree(scratch);
}
