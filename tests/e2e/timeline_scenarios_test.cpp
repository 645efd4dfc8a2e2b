// Keys edited by hand in the docked timeline: dragged, added from the Keyframes menu, saved.
#include "celvane_session.h"

namespace {

const char* kUntitled = "Untitled.celv - Celvane";
const char* kKeys = "keys.celv - Celvane";

// The docked timeline of a new window: the first row's line and frame 0's x, from the window's
// top-left corner; frames are 8 pixels apart.
constexpr int kRowY = 837;
constexpr int kFrame0X = 36;

int FrameX(int frame)
{
    return kFrame0X + 8 * frame;
}

// The first line that begins with start becomes line.
void ReplaceLine(std::string& text, const std::string& start, const std::string& line)
{
    const size_t at = text.find("\n" + start);
    if (at == std::string::npos)
        return;
    const size_t end = text.find_first_of("\r\n", at + 1);
    text.replace(at + 1, end - at - 1, line);
}

class TimelineScenarios : public CelvaneSession {
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
    bool IsKeyColour(const std::string& shot, int x, int y)
    {
        return PixelText(shot, x, y) == "64,96,150" || PixelText(shot, x, y) == "215,40,40";
    }
    // The translation keys of the saved document's layer.
    std::string TranslationKeys()
    {
        const std::string text = fRoot.Get("keys.celv");
        const size_t layers = text.find("### layers");
        const size_t at = text.find("translation", layers == std::string::npos ? 0 : layers);
        if (at == std::string::npos)
            return "";
        const size_t end = text.find("]", at);
        return text.substr(at, end - at);
    }
};

TEST_F(TimelineScenarios, KeysByHand)
{
    const std::string fixture = MakeFixture();
    Start({ fixture });
    ASSERT_TRUE(WaitForTitle(kKeys)) << Output();
    ScreenBox window;
    ASSERT_TRUE(WindowBox(kKeys, window));
    const int y = window.y + kRowY;
    std::string shot = Screenshot("loaded");
    EXPECT_TRUE(IsKeyColour(shot, window.x + FrameX(24) - 2, y + 1)) << PixelText(shot, window.x + FrameX(24) - 2, y + 1);
    EXPECT_FALSE(IsKeyColour(shot, window.x + FrameX(12) - 2, y + 1));

    Drag(window.x + FrameX(24), y, window.x + FrameX(12), y);
    shot = Screenshot("dragged");
    EXPECT_TRUE(IsKeyColour(shot, window.x + FrameX(12) - 2, y + 1));
    EXPECT_FALSE(IsKeyColour(shot, window.x + FrameX(24) - 2, y + 1));
    KeysTo(kKeys, "ctrl+s");
    usleep(500000);
    const std::string keys = TranslationKeys();
    EXPECT_NE(keys.find("keys 2"), std::string::npos) << keys;
    EXPECT_NE(keys.find("\t12 "), std::string::npos) << keys;

    // A right press on an empty frame of the row offers Add Keyframe, the menu's first item.
    RunProgram({ "xdotool", "mousemove", "--sync", std::to_string(window.x + FrameX(30)), std::to_string(y) }, "",
        nullptr);
    RunProgram({ "xdotool", "click", "3" }, "", nullptr);
    usleep(400000);
    RunProgram({ "xdotool", "mousemove", "--sync", std::to_string(window.x + FrameX(30) + 20), std::to_string(y + 9) },
        "", nullptr);
    usleep(200000);
    RunProgram({ "xdotool", "click", "1" }, "", nullptr);
    usleep(500000);
    shot = Screenshot("added");
    EXPECT_TRUE(IsKeyColour(shot, window.x + FrameX(30) - 2, y + 1)) << PixelText(shot, window.x + FrameX(30) - 2, y + 1);
    KeysTo(kKeys, "ctrl+s");
    usleep(500000);
    EXPECT_NE(TranslationKeys().find("\t30 "), std::string::npos) << TranslationKeys();
    EXPECT_EQ(Quit(kKeys), 0) << Output();
}

} // namespace
