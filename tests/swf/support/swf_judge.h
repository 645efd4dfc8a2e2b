#pragma once

#include <string>

// Runs swf-parser over an SWF file (through node and the judge script in the build folder).
struct SwfJudgement {
    bool fSkipped = false;  // node or swf-parser missing; fText says which
    bool fPassed = false;
    std::string fText;      // the summary when passed, else the reason
};
SwfJudgement JudgeSwf(const std::string& path);
