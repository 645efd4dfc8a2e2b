// A termination signal quits the application as its Quit command does: the run loop ends by its
// normal path and the per-user settings are written.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "xvfb_session.h"

namespace {

// Whether the process has a handler of its own for the signal (its start-up got that far).
bool Catches(pid_t pid, int signal)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("SigCgt:", 0) == 0)
            return (std::stoull(line.substr(7), nullptr, 16) >> (signal - 1)) & 1;
    }
    return false;
}

class QuitSignalTest : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/celvane_home_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        fHome = pattern;
        // Under Xvfb when one can start, else on the video layer's dummy driver.
        std::string why;
        if (fServer.Start(1024, 768, why))
            fEnvironment.push_back("DISPLAY=" + fServer.Display());
        else
            fEnvironment.push_back("SDL_VIDEODRIVER=dummy");
        fEnvironment.push_back("HOME=" + fHome);
        fEnvironment.push_back("SDL_AUDIODRIVER=dummy");
        for (const char* keep : { "PATH", "ASAN_OPTIONS", "UBSAN_OPTIONS" }) {
            if (const char* value = std::getenv(keep))
                fEnvironment.push_back(std::string(keep) + "=" + value);
        }
        // Leaks of the system's libraries are theirs; the application's own still fail the run.
        fEnvironment.push_back("LSAN_OPTIONS=suppressions=" + std::string(CELVANE_SOURCE_DIR)
            + "/tests/app/lsan_suppressions.txt:print_suppressions=0");
    }
    void TearDown() override
    {
        std::error_code ignored;
        std::filesystem::remove_all(fHome, ignored);
    }

    std::string SettingsFile() const
    {
        return fHome + "/.config/Drelmor/Celvane Pomra/Celvane Pomra6.0.user.settings";
    }

    // Starts the application, sends the signal once it is up and answers its wait status.
    int RunAndSignal(int signal)
    {
        std::vector<char*> env;
        for (std::string& entry : fEnvironment)
            env.push_back(entry.data());
        env.push_back(nullptr);
        std::string app = CELVANE_APP;
        char* argv[] = { app.data(), nullptr };
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        pid_t pid = 0;
        const int spawned = posix_spawn(&pid, app.c_str(), &actions, nullptr, argv, env.data());
        posix_spawn_file_actions_destroy(&actions);
        if (spawned != 0)
            return -1;
        // Up to ten seconds for the start-up to catch the signal; a build that never does gets
        // the signal all the same, and ends by it.
        for (int i = 0; i < 1000 && !Catches(pid, signal); i++) {
            int status = 0;
            if (waitpid(pid, &status, WNOHANG) == pid)
                return status;
            usleep(10000);
        }
        // The start-up may still be opening the window: the signal waits for the run loop.
        kill(pid, signal);
        int status = 0;
        for (int i = 0; i < 3000; i++) {
            if (waitpid(pid, &status, WNOHANG) == pid)
                return status;
            usleep(10000);
        }
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
        return -1;
    }

    XvfbSession fServer;
    std::string fHome;
    std::vector<std::string> fEnvironment;
};

} // namespace

TEST_P(QuitSignalTest, EndsTheRunAndWritesTheSettings)
{
    const int status = RunAndSignal(GetParam());
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
    EXPECT_EQ(WEXITSTATUS(status), 0);
    std::ifstream settings(SettingsFile(), std::ios::binary);
    ASSERT_TRUE(settings.good()) << SettingsFile();
    const std::string text((std::istreambuf_iterator<char>(settings)), std::istreambuf_iterator<char>());
    // The main window's place and size are among the settings every run writes.
    EXPECT_NE(text.find("\"VornWnd_location\""), std::string::npos) << text;
}

INSTANTIATE_TEST_SUITE_P(Signals, QuitSignalTest, ::testing::Values(SIGTERM, SIGINT),
    [](const ::testing::TestParamInfo<int>& info) { return info.param == SIGTERM ? "Term" : "Int"; });
