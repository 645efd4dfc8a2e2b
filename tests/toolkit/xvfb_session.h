#pragma once

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <initializer_list>
#include <functional>
#include <memory>
#include <poll.h>
#include <sstream>
#include <spawn.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "scoped_env.h"

extern char** environ;

// Outside programs for the tests that need a real X server: Xvfb itself and
// the tools that drive and read it (xdotool, xclip, ImageMagick's import).

// Whether a program of that name is on the PATH.
inline bool HasProgram(const std::string& name)
{
    const char* path = getenv("PATH");
    std::string folders = path ? path : "/usr/bin:/bin";
    size_t start = 0;
    while (start <= folders.size()) {
        const size_t end = folders.find(':', start);
        const std::string folder
            = folders.substr(start, end == std::string::npos ? std::string::npos : end - start);
        struct stat info;
        const std::string file = (folder.empty() ? "." : folder) + "/" + name;
        if (stat(file.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(file.c_str(), X_OK) == 0)
            return true;
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return false;
}

// Starts a program (no shell; not waited for; looked up on the PATH where it names no folder)
// with the environment, standard input from /dev/null and standard output into the file (none
// when empty), standard error too when errorsToo. False when it could not start.
inline bool SpawnLogged(const std::string& program, const std::vector<std::string>& args, char* const envp[],
    const std::string& outputFile, bool errorsToo, pid_t& pid)
{
    std::vector<char*> argv = { const_cast<char*>(program.c_str()) };
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outputFile.empty() ? "/dev/null" : outputFile.c_str(),
        O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (errorsToo)
        posix_spawn_file_actions_adddup2(&actions, 1, 2);
    const int spawned = posix_spawnp(&pid, program.c_str(), &actions, nullptr, argv.data(), envp);
    posix_spawn_file_actions_destroy(&actions);
    return spawned == 0;
}

// Runs a program (no shell) with its standard output into a file, calling
// whileRunning every few milliseconds until it ends; it is killed after
// timeoutMs. The exit status, or -1 when it could not run or was killed.
inline int RunProgram(const std::vector<std::string>& args, const std::string& outputFile,
    const std::function<void()>& whileRunning, int timeoutMs = 10000)
{
    pid_t pid = 0;
    if (!SpawnLogged(args[0], { args.begin() + 1, args.end() }, environ, outputFile, false, pid))
        return -1;
    int status = 0;
    for (int waited = 0;; waited += 5) {
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        if (waited >= timeoutMs) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return -1;
        }
        if (whileRunning)
            whileRunning();
        usleep(5000);
    }
}

// The first of the programs that is not on the PATH, or "".
inline std::string MissingTool(std::initializer_list<const char*> names)
{
    for (const char* name : names) {
        if (!HasProgram(name))
            return name;
    }
    return "";
}

// Whether a shown window's title matches the pattern (an xdotool regular expression).
inline bool WindowShown(const std::string& pattern)
{
    return RunProgram({ "xdotool", "search", "--onlyvisible", "--name", pattern }, "", nullptr) == 0;
}

// Until a shown window's title matches the pattern, asking every pollMs for at most ms; then
// settleMs more for its first picture to reach the screen.
inline bool WaitUntilShown(const std::string& pattern, int ms, int pollMs, int settleMs)
{
    for (int waited = 0; waited < ms; waited += pollMs) {
        if (WindowShown(pattern)) {
            usleep(useconds_t(settleMs) * 1000);
            return true;
        }
        usleep(useconds_t(pollMs) * 1000);
    }
    return false;
}

// A box on the screen, in pixels.
struct ScreenBox {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    int CenterX() const { return x + width / 2; }
    int CenterY() const { return y + height / 2; }
};

// The screen box of the client area of the shown window whose title matches the pattern (an
// xdotool regular expression); scratchFile takes xdotool's answer. False when there is none.
inline bool FindWindowBox(const std::string& pattern, const std::string& scratchFile, ScreenBox& box)
{
    if (RunProgram({ "xdotool", "search", "--onlyvisible", "--name", pattern, "getwindowgeometry", "--shell" },
            scratchFile, nullptr)
        != 0)
        return false;
    std::ifstream lines(scratchFile);
    for (std::string line; std::getline(lines, line);) {
        const size_t equals = line.find('=');
        if (equals == std::string::npos)
            continue;
        const std::string key = line.substr(0, equals);
        const int value = std::atoi(line.c_str() + equals + 1);
        if (key == "X")
            box.x = value;
        else if (key == "Y")
            box.y = value;
        else if (key == "WIDTH")
            box.width = value;
        else if (key == "HEIGHT")
            box.height = value;
    }
    return box.width > 0;
}

// "r,g,b" of one pixel of a picture, as ImageMagick reads it; scratchFile takes its answer.
inline std::string PixelRgb(const std::string& picture, int x, int y, const std::string& scratchFile)
{
    RunProgram({ "convert", picture, "-crop", "1x1+" + std::to_string(x) + "+" + std::to_string(y), "-format",
                   "%[fx:int(255*r)],%[fx:int(255*g)],%[fx:int(255*b)]", "info:" },
        scratchFile, nullptr);
    std::ifstream in(scratchFile);
    std::ostringstream read;
    read << in.rdbuf();
    std::string text = read.str();
    while (!text.empty() && (text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    return text;
}

// A private X server on a free display, for as long as the object lives.
class XvfbSession {
public:
    XvfbSession() = default;
    XvfbSession(const XvfbSession&) = delete;
    XvfbSession& operator=(const XvfbSession&) = delete;
    ~XvfbSession()
    {
        if (fPid > 0) {
            kill(fPid, SIGTERM);
            int status = 0;
            waitpid(fPid, &status, 0);
        }
    }

    // Starts "Xvfb" with one screen of that size and depth 24. False, with
    // the reason, when no server could be started.
    bool Start(int width, int height, std::string& why)
    {
        if (!HasProgram("Xvfb")) {
            why = "Xvfb is not installed";
            return false;
        }
        int fds[2];
        if (pipe(fds) != 0) {
            why = "no pipe";
            return false;
        }
        const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
        const std::string displayFd = std::to_string(fds[1]);
        const char* argv[] = { "Xvfb", "-displayfd", displayFd.c_str(), "-screen", "0", screen.c_str(),
            "-nolisten", "tcp", "-noreset", nullptr };
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        const int spawned = posix_spawnp(&fPid, "Xvfb", &actions, nullptr, const_cast<char**>(argv), environ);
        posix_spawn_file_actions_destroy(&actions);
        close(fds[1]);
        if (spawned != 0) {
            fPid = 0;
            close(fds[0]);
            why = "Xvfb did not start";
            return false;
        }
        // The server writes its display number once it accepts clients.
        std::string number;
        pollfd ready = { fds[0], POLLIN, 0 };
        for (int i = 0; i < 100 && number.find('\n') == std::string::npos; ++i) {
            if (poll(&ready, 1, 100) <= 0)
                continue;
            char bytes[16];
            const ssize_t got = read(fds[0], bytes, sizeof bytes);
            if (got <= 0)
                break;
            number.append(bytes, size_t(got));
        }
        close(fds[0]);
        if (number.find('\n') == std::string::npos) {
            why = "Xvfb gave no display";
            return false;
        }
        fDisplay = ":" + number.substr(0, number.find('\n'));
        return true;
    }
    const std::string& Display() const { return fDisplay; }

private:
    pid_t fPid = 0;
    std::string fDisplay;
};

// A private X server that this process's windows go to, for as long as the
// object lives: SDL is pointed at it, and nothing may try to start a session
// bus for it.
class PrivateDisplay {
public:
    bool Start(std::string& why)
    {
        if (!fServer.Start(1024, 738, why))
            return false;
        fDisplay = std::make_unique<ScopedEnv>("DISPLAY", fServer.Display().c_str());
        fDriver = std::make_unique<ScopedEnv>("SDL_VIDEODRIVER", "x11");
        fBus = std::make_unique<ScopedEnv>("DBUS_SESSION_BUS_ADDRESS", "disabled:");
        return true;
    }

private:
    XvfbSession fServer;
    std::unique_ptr<ScopedEnv> fDisplay;
    std::unique_ptr<ScopedEnv> fDriver;
    std::unique_ptr<ScopedEnv> fBus;
};
