#include "plat_spawn.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

extern char** environ;

namespace {

// Children that outlived their wait; collected so that none stays a zombie.
std::vector<pid_t> gRunningChildren;

void ReapFinished()
{
    for (size_t i = 0; i < gRunningChildren.size();) {
        int status = 0;
        if (waitpid(gRunningChildren[i], &status, WNOHANG) != 0)
            gRunningChildren.erase(gRunningChildren.begin() + long(i));
        else
            ++i;
    }
}

} // namespace

bool PlatStartProgram(const std::vector<std::string>& args, uint32_t waitMs)
{
    ReapFinished();
    if (args.empty())
        return false;
    std::vector<char*> argv;
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return false;
    for (uint32_t waited = 0;; waited += 5) {
        int status = 0;
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid)
            return WIFEXITED(status) && WEXITSTATUS(status) == 0;
        if (done < 0)
            return false;
        if (waited >= waitMs) {
            gRunningChildren.push_back(pid);
            return true;
        }
        const timespec pause = { 0, 5 * 1000 * 1000 };
        nanosleep(&pause, nullptr);
    }
}
