// Keys edited by hand in the docked timeline: dragged, added from the Keyframes menu, saved.
#include "keyed_document.h"

namespace {

// The docked timeline of a new window: the first row's line and frame 0's x, from the window's
// top-left corner; frames are 8 pixels apart.
constexpr int kRowY = 837;

class TimelineScenarios : public KeyedDocumentSession {
protected:
    static int FrameX(int frame) { return kTimelineFrame0X + 8 * frame; }
    bool IsKeyColour(const std::string& shot, int x, int y)
    {
        return PixelText(shot, x, y) == "64,96,150" || PixelText(shot, x, y) == "215,40,40";
    }
    // The translation keys of the document's layer, saved first.
    std::string TranslationKeys()
    {
        KeysTo(kKeys, "ctrl+s");
        usleep(500000);
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
    const std::string added = TranslationKeys();
    EXPECT_NE(added.find("\t30 "), std::string::npos) << added;

    // Undo takes the added key away, from the timeline and from the saved file; redo brings it back.
    KeysTo(kKeys, "ctrl+z");
    usleep(500000);
    shot = Screenshot("undone");
    EXPECT_FALSE(IsKeyColour(shot, window.x + FrameX(30) - 2, y + 1)) << PixelText(shot, window.x + FrameX(30) - 2, y + 1);
    EXPECT_TRUE(IsKeyColour(shot, window.x + FrameX(12) - 2, y + 1));
    const std::string undone = TranslationKeys();
    EXPECT_EQ(undone.find("\t30 "), std::string::npos) << undone;
    EXPECT_NE(undone.find("\t12 "), std::string::npos) << undone;
    KeysTo(kKeys, "ctrl+shift+z");
    usleep(500000);
    shot = Screenshot("redone");
    EXPECT_TRUE(IsKeyColour(shot, window.x + FrameX(30) - 2, y + 1)) << PixelText(shot, window.x + FrameX(30) - 2, y + 1);
    const std::string redone = TranslationKeys();
    EXPECT_NE(redone.find("\t30 "), std::string::npos) << redone;
    EXPECT_EQ(Quit(kKeys), 0) << Output();
}

} // namespace
