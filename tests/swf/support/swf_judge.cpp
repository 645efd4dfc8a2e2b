#include "swf_judge.h"

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>

SwfJudgement JudgeSwf(const std::string& path)
{
    SwfJudgement judgement;
    if (std::system("command -v node >/dev/null 2>&1") != 0) {
        judgement.fSkipped = true;
        judgement.fText = "node is not installed: swf-parser cannot judge the file";
        return judgement;
    }
    const std::string command = std::string("node '") + CELVANE_SWF_JUDGE + "' '" + path + "' 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) {
        judgement.fText = "cannot run node";
        return judgement;
    }
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        judgement.fText.append(buffer, n);
    const int status = pclose(pipe);
    const int code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    judgement.fSkipped = code == 77;
    judgement.fPassed = code == 0;
    if (!judgement.fText.empty() && judgement.fText.back() == '\n')
        judgement.fText.pop_back();
    return judgement;
}
