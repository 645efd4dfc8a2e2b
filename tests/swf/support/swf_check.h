#pragma once

#include "swf_judge.h"
#include "swf_reader.h"

#include <gtest/gtest.h>

#include <cstdio>

// Reads the file with the tests' reader and has swf-parser judge it from outside: the judge must
// decode every tag and print the same fields. Without node or swf-parser only the reader checks.
inline void ReadJudgedSwf(const std::string& path, SwfReadMovie& movie)
{
    std::string error;
    ASSERT_TRUE(ReadSwfFile(path, movie, error)) << path << ": " << error;
    const SwfJudgement judgement = JudgeSwf(path);
    if (judgement.fSkipped) {
        std::printf("[  NOTE    ] not judged by swf-parser: %s\n", judgement.fText.c_str());
        return;
    }
    ASSERT_TRUE(judgement.fPassed) << path << ": " << judgement.fText;
    EXPECT_EQ(judgement.fText + "\n", SwfSummary(movie)) << path;
}
