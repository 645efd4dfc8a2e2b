#pragma once

#include <string>

#include "qv_color.h"

// Reads the words of a tool list as the formatted stream reads them: a word is at most 254
// bytes of non-space (a longer run continues as the next word), an integer is an optional
// sign and digits after white space.
class ToolListReader {
public:
    explicit ToolListReader(std::string text)
        : fText(std::move(text))
    {
    }

    bool ReadWord(std::string& word);
    // False, leaving the position, when no digits follow.
    bool ReadInteger(long& value);

private:
    void SkipSpace();

    std::string fText;
    size_t fPos = 0;
};

// Red, green and blue each become clamp(round(255 * (c / 255 * factor))) in single precision;
// alpha stays.
rgb_color ScaleToolColor(rgb_color color, float factor);
