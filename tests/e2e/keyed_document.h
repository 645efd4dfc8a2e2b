#pragma once
// A document of the program's own making with its layer keyed from frame 0 to 24, for the
// scenarios that edit or play keys.
#include "celvane_session.h"

namespace {

const char* kUntitled = "Untitled.celv - Celvane";
const char* kKeys = "keys.celv - Celvane";

// The first line that begins with start becomes line.
void ReplaceLine(std::string& text, const std::string& start, const std::string& line)
{
    const size_t at = text.find("\n" + start);
    if (at == std::string::npos)
        return;
    const size_t end = text.find_first_of("\r\n", at + 1);
    text.replace(at + 1, end - at - 1, line);
}

class KeyedDocumentSession : public CelvaneSession {
protected:
    // A document of the program's own making, 320 x 240, frames 1 to 24, its layer's
    // translation keyed at 0 and 24.
    std::string MakeFixture()
    {
        Start();
        EXPECT_TRUE(WaitForTitle(kUntitled)) << Output();
        KeysTo(kUntitled, "ctrl+s");
        EXPECT_TRUE(WaitForTitle("Save As")) << Output();
        const std::string base = fRoot.File("keys");
        KeysTo("Save As", "ctrl+a");
        TypeTo("Save As", base);
        KeysTo("Save As", "Return");
        EXPECT_TRUE(WaitForTitle(kKeys)) << Output();
        EXPECT_EQ(Quit(kKeys), 0) << Output();
        std::string text = fRoot.Get("keys.celv");
        ReplaceLine(text, "dimensions ", "dimensions 320 240");
        ReplaceLine(text, "frame_range ", "frame_range 1 24");
        // The layer's translation has one key at 0: a second one at 24, one unit to the right.
        const std::string eol = text.find("\r\n") != std::string::npos ? "\r\n" : "\n";
        const size_t at = text.find("translation" + eol, text.find("### layers"));
        const size_t count = at == std::string::npos ? at : text.find("keys 1" + eol, at);
        EXPECT_NE(count, std::string::npos) << text;
        if (count == std::string::npos)
            return "";
        text.replace(count, 6, "keys 2");
        const size_t line = text.find(eol, count) + eol.size();
        const size_t lineEnd = text.find(eol, line);
        const std::string key = text.substr(line, lineEnd - line);
        const size_t tabs = key.find_first_not_of('\t');
        std::string second = key.substr(0, tabs) + "24" + key.substr(tabs + 1);
        second = second.substr(0, second.size() - 6) + " 1 0 0";
        text.insert(lineEnd + eol.size(), second + eol);
        EXPECT_NE(text.find("\t24 "), std::string::npos) << text;
        std::ofstream(fRoot.File("keys.celv")) << text;
        return fRoot.File("keys.celv");
    }
};

} // namespace
