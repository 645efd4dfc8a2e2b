#include "tool_list_reader.h"

#include <cctype>
#include <cmath>

namespace {

constexpr size_t kMaxWord = 254;

uint8_t ScaleComponent(uint8_t c, float factor)
{
    const float value = std::round(255.0f * (float(c) / 255.0f * factor));
    return uint8_t(value < 0.0f ? 0.0f : (value > 255.0f ? 255.0f : value));
}

} // namespace

void ToolListReader::SkipSpace()
{
    while (fPos < fText.size() && std::isspace(static_cast<unsigned char>(fText[fPos])))
        fPos++;
}

bool ToolListReader::ReadWord(std::string& word)
{
    SkipSpace();
    const size_t start = fPos;
    while (fPos < fText.size() && fPos - start < kMaxWord
        && !std::isspace(static_cast<unsigned char>(fText[fPos])))
        fPos++;
    word = fText.substr(start, fPos - start);
    return !word.empty();
}

bool ToolListReader::ReadInteger(long& value)
{
    SkipSpace();
    size_t pos = fPos;
    bool negative = false;
    if (pos < fText.size() && (fText[pos] == '-' || fText[pos] == '+'))
        negative = fText[pos++] == '-';
    const size_t digits = pos;
    long result = 0;
    while (pos < fText.size() && std::isdigit(static_cast<unsigned char>(fText[pos]))) {
        // Colour components are clamped to 0..255 anyway; stop growing well before overflow.
        if (result < 100000000L)
            result = result * 10 + (fText[pos] - '0');
        pos++;
    }
    if (pos == digits)
        return false;
    fPos = pos;
    value = negative ? -result : result;
    return true;
}

rgb_color ScaleToolColor(rgb_color color, float factor)
{
    return rgb_color { ScaleComponent(color.r, factor), ScaleComponent(color.g, factor),
        ScaleComponent(color.b, factor), color.a };
}
