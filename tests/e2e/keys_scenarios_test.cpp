// The keyboard in the real program: arrows step, a space tap plays, Escape stops; the Edit menu
// without a document; an older document opened, stepped and saved in the current format.
#include <set>
#include <vector>

#include "keyed_document.h"

namespace {

class KeysScenarios : public KeyedDocumentSession {
protected:
    // The rows (screen y) of the black pixels of the box: the text of enabled menu items.
    std::vector<int> BlackRows(const std::string& shot, const ScreenBox& box)
    {
        RunProgram({ "convert", shot, "-crop",
                       std::to_string(box.width) + "x" + std::to_string(box.height) + "+" + std::to_string(box.x)
                           + "+" + std::to_string(box.y),
                       "+repage", "txt:-" },
            fRoot.File("menu.txt"), nullptr);
        std::vector<int> rows;
        std::istringstream lines(fRoot.Get("menu.txt"));
        for (std::string line; std::getline(lines, line);) {
            const size_t comma = line.find(',');
            if (line.find("#000000") == std::string::npos || comma == std::string::npos)
                continue;
            rows.push_back(box.y + std::atoi(line.c_str() + comma + 1));
        }
        return rows;
    }
    // The keyed document opened and its frame 0 shown; the window's box.
    void OpenKeyed(ScreenBox& window)
    {
        const std::string fixture = MakeFixture();
        Start({ fixture });
        ASSERT_TRUE(WaitForTitle(kKeys)) << Output();
        ASSERT_TRUE(WindowBox(kKeys, window));
        ASSERT_EQ(MarkerSettlesAt(0, window, "start"), 0);
    }
    // The canvas's middle as a picture of its own.
    std::string CanvasCrop(const std::string& shot, const ScreenBox& window, const std::string& name)
    {
        const std::string crop = fRoot.File(name + ".png");
        RunProgram({ "convert", shot, "-crop",
                       "400x300+" + std::to_string(window.x + window.width / 2 - 300) + "+"
                           + std::to_string(window.y + 200),
                       "+repage", "png:" + crop },
            "", nullptr);
        return crop;
    }
    // Rows of the layers panel's selection colour in the column.
    int SelectedRows(const std::string& shot, const ScreenBox& box)
    {
        const std::string out = fRoot.File("bands.txt");
        RunProgram({ "sh", "-c",
                       "convert '" + shot + "' -crop " + std::to_string(box.width) + "x" + std::to_string(box.height)
                           + "+" + std::to_string(box.x) + "+" + std::to_string(box.y)
                           + " +repage -fill black +opaque 'rgb(114,121,184)' -fill white -opaque 'rgb(114,121,184)'"
                           + " -colorspace gray -scale 1x! -threshold 50% txt:- > '" + out + "'" },
            "", nullptr);
        int bands = 0;
        bool inBand = false;
        std::istringstream rows(fRoot.Get("bands.txt"));
        for (std::string row; std::getline(rows, row);) {
            if (row.empty() || row[0] == '#')
                continue;
            const bool on = row.find("white") != std::string::npos || row.find("#FFFFFF") != std::string::npos;
            if (on && !inBand)
                bands++;
            inBand = on;
        }
        return bands;
    }
    long Differing(const std::string& a, const std::string& b)
    {
        const std::string count = fRoot.File("count.txt");
        RunProgram({ "sh", "-c", "compare -metric AE '" + a + "' '" + b + "' null: 2>'" + count + "'" }, "", nullptr);
        return std::atol(fRoot.Get("count.txt").c_str());
    }
};

// Right shows frame 1, Shift+Right the end frame; a space tap plays (the marker moves and the
// canvas changes); Escape stops.
TEST_F(KeysScenarios, ArrowsStepAndASpaceTapPlays)
{
    ScreenBox window;
    ASSERT_NO_FATAL_FAILURE(OpenKeyed(window));
    KeysTo(kKeys, "Right");
    EXPECT_EQ(MarkerSettlesAt(1, window, "right"), 1);
    KeysTo(kKeys, "shift+Right");
    EXPECT_EQ(MarkerSettlesAt(24, window, "end"), 24);
    KeysTo(kKeys, "shift+Left");
    EXPECT_EQ(MarkerSettlesAt(0, window, "rewound"), 0);

    KeysTo(kKeys, "space");
    std::set<int> frames;
    std::string first;
    bool canvasChanged = false;
    for (int i = 0; i < 6; ++i) {
        const std::string shot = Screenshot("playing" + std::to_string(i));
        frames.insert(FrameAtMarker(shot, window));
        const std::string crop = CanvasCrop(shot, window, "canvas" + std::to_string(i));
        if (first.empty())
            first = crop;
        else if (Differing(first, crop) > 20)
            canvasChanged = true;
        usleep(150000);
    }
    EXPECT_GE(frames.size(), 3u) << "the marker stays where it is";
    EXPECT_TRUE(canvasChanged);

    KeysTo(kKeys, "Escape");
    usleep(300000);
    const std::string a = Screenshot("stopped-a");
    usleep(400000);
    const std::string b = Screenshot("stopped-b");
    EXPECT_EQ(FrameAtMarker(a, window), FrameAtMarker(b, window));
    EXPECT_EQ(Differing(CanvasCrop(a, window, "still-a"), CanvasCrop(b, window, "still-b")), 0);
    EXPECT_EQ(Quit(kKeys), 0) << Output();
}

// The playback bar of a new window (window coordinates): its buttons and the frame field.
constexpr int kBarY = 747;
constexpr int kPlayX = 443;
constexpr int kStepForwardX = 463;
constexpr int kJumpToEndX = 484;
constexpr int kFrameFieldX = 602;
// The line through the timeline's ruler.
constexpr int kRulerY = 806;

// The Play button plays and stops; Ctrl+click and Ctrl+right-click on the ruler hold playback
// between them.
TEST_F(KeysScenarios, PlayButtonAndPlayRange)
{
    ScreenBox window;
    ASSERT_NO_FATAL_FAILURE(OpenKeyed(window));

    ClickIn(kKeys, kPlayX, kBarY);
    std::set<int> frames;
    const std::string a = Screenshot("playing-a");
    usleep(200000);
    const std::string b = Screenshot("playing-b");
    frames.insert(FrameAtMarker(a, window));
    frames.insert(FrameAtMarker(b, window));
    EXPECT_GT(Differing(CanvasCrop(a, window, "play-a"), CanvasCrop(b, window, "play-b")), 20);
    EXPECT_EQ(frames.size(), 2u) << "the marker moves";
    ClickIn(kKeys, kPlayX, kBarY);
    usleep(300000);
    const std::string c = Screenshot("stopped-a");
    usleep(300000);
    const std::string d = Screenshot("stopped-b");
    EXPECT_EQ(FrameAtMarker(c, window), FrameAtMarker(d, window));
    EXPECT_EQ(Differing(CanvasCrop(c, window, "still-a"), CanvasCrop(d, window, "still-b")), 0);

    auto rulerClick = [&](int frame, const char* button) {
        RunProgram({ "xdotool", "mousemove", "--sync", std::to_string(window.x + kTimelineFrame0X + 8 * frame),
                       std::to_string(window.y + kRulerY), "keydown", "ctrl", "click", button, "keyup", "ctrl" },
            "", nullptr);
        usleep(300000);
    };
    rulerClick(5, "1");
    rulerClick(10, "3");
    ClickIn(kKeys, kPlayX, kBarY);
    std::set<int> ranged;
    for (int i = 0; i < 7; ++i) {
        const int frame = FrameAtMarker(Screenshot("ranged" + std::to_string(i)), window);
        if (frame >= 0)
            ranged.insert(frame);
        usleep(300000);
    }
    ClickIn(kKeys, kPlayX, kBarY);
    ASSERT_GE(ranged.size(), 2u);
    EXPECT_GE(*ranged.begin(), 5);
    EXPECT_LE(*ranged.rbegin(), 10);
    EXPECT_EQ(Quit(kKeys), 0) << Output();
}

// The frame field clamps what is typed to 0 .. 3000; Step Forward and Jump To End move the frame.
TEST_F(KeysScenarios, FrameFieldAndStepButtons)
{
    ScreenBox window;
    ASSERT_NO_FATAL_FAILURE(OpenKeyed(window));
    const ScreenBox field { window.x + kFrameFieldX - 50, window.y + kBarY - 8, 100, 16 };
    const std::string atZero = Screenshot("zero");
    auto enter = [&](const std::string& text, const std::string& name) {
        ClickIn(kKeys, kFrameFieldX, kBarY);
        KeysTo(kKeys, "ctrl+a");
        // xdotool would take a leading minus for an option of its own.
        if (text[0] == '-')
            KeysTo(kKeys, "minus");
        TypeTo(kKeys, text[0] == '-' ? text.substr(1) : text);
        KeysTo(kKeys, "Return");
        usleep(300000);
        return Screenshot(name);
    };
    const std::string typed3000 = enter("3000", "typed3000");
    EXPECT_GT(BoxDiffers(atZero, typed3000, field), 0);
    // 5000 shows as 3000 does, in the field and in the status bar.
    const std::string typed5000 = enter("5000", "typed5000");
    EXPECT_EQ(BoxDiffers(typed3000, typed5000, field), 0);
    EXPECT_EQ(BoxDiffers(typed3000, typed5000, ScreenBox { window.x + window.width - 200, window.y + 50, 195, 16 }), 0);
    const std::string typedMinus = enter("-4", "typed-4");
    EXPECT_EQ(BoxDiffers(atZero, typedMinus, field), 0);
    EXPECT_EQ(MarkerSettlesAt(0, window, "clamped"), 0);

    ClickIn(kKeys, kStepForwardX, kBarY);
    EXPECT_EQ(MarkerSettlesAt(1, window, "stepped"), 1);
    ClickIn(kKeys, kJumpToEndX, kBarY);
    EXPECT_EQ(MarkerSettlesAt(24, window, "end"), 24);
    EXPECT_EQ(Quit(kKeys), 0) << Output();
}

// Without a document every Edit item but Preferences is disabled: only its row keeps black
// text.
TEST_F(KeysScenarios, WithoutADocumentOnlyPreferencesIsLeftInEdit)
{
    Start();
    ASSERT_TRUE(WaitForTitle(kUntitled)) << Output();
    ScreenBox window;
    ASSERT_TRUE(WindowBox(kUntitled, window));
    const ScreenBox menu { window.x + 47, window.y + 17, 200, 205 };
    ClickIn(kUntitled, 59, 9);
    usleep(500000);
    std::vector<int> rows = BlackRows(Screenshot("edit-with-document"), menu);
    ASSERT_FALSE(rows.empty()) << "the Edit menu did not open";
    EXPECT_GT(rows.back() - rows.front(), 100) << "enabled items above Preferences";
    // A click on its title closes the menu.
    ClickIn(kUntitled, 59, 9);

    KeysTo(kUntitled, "ctrl+w");
    ASSERT_TRUE(WaitForTitle("Celvane")) << Output();
    ClickIn("Celvane", 59, 9);
    usleep(500000);
    rows = BlackRows(Screenshot("edit-without-document"), menu);
    ASSERT_FALSE(rows.empty()) << "the Edit menu did not open";
    EXPECT_LT(rows.back() - rows.front(), 16) << "more than the Preferences row is enabled";
    EXPECT_GT(rows.front(), menu.y + 150) << "the enabled row is not the last one";
    ClickIn("Celvane", 59, 9);
    EXPECT_EQ(Quit("Celvane"), 0) << Output();
}

// A document of the older generation: a red, outlined triangle whose layer moves half a unit
// right from frame 0 to frame 24.
const char* kOlderTriangle = R"(application/x-vnd.qv_vorndoc
version 10
dimensions 320 240
fps 24
back_color 255 255 255 255
noise_grain 0
allow_3d true
depth_of_field false 2 1 0.05
camera_translation 1 0
0 1 0 0 2
layer 1
name "Wedge"
translation 2 0
0 1 0 0
24 1 0.5 0
cMesh
num_points 3
1 0 0 1 -0.25 -0.2
-1 -1 1 0 0
1 0 0 1 0.25 -0.2
-1 -1 1 0 1
1 0 0 1 0 0.3
-1 -1 1 0 2
num_curves 1
3 true
0 1 0 0 1 0.3
1 1 0 0 1 0.3
2 1 0 0 1 0.3
num_shapes 1
"Fill" 3 true 1 0 0 1 255 0 0 255 0.01 1 0 0 1 0 0 0 255 2 0.02 -1 -1
0 0 0 1 0 2
end_cMesh
end_layer
)";

// The canvas area's pure red pixels: their count and the x of their middle.
struct RedPatch {
    long count = 0;
    double middle = 0;
};

class OlderDocumentScenario : public KeysScenarios {
protected:
    RedPatch Red(const std::string& shot, const ScreenBox& area)
    {
        const std::string out = fRoot.File("red.txt");
        RunProgram({ "convert", shot, "-crop",
                       std::to_string(area.width) + "x" + std::to_string(area.height) + "+" + std::to_string(area.x)
                           + "+" + std::to_string(area.y),
                       "+repage", "txt:-" },
            out, nullptr);
        RedPatch patch;
        double sum = 0;
        std::istringstream lines(fRoot.Get("red.txt"));
        for (std::string line; std::getline(lines, line);) {
            if (line.find("#FF0000") == std::string::npos)
                continue;
            patch.count++;
            sum += std::atoi(line.c_str());
        }
        if (patch.count > 0)
            patch.middle = area.x + sum / double(patch.count);
        return patch;
    }
};

TEST_F(OlderDocumentScenario, OpensStepsAndSavesInTheCurrentFormat)
{
    const std::string older = fRoot.File("wedge.vorn");
    std::ofstream(older) << kOlderTriangle;
    Start({ older });
    const std::string title = "wedge.vorn - Celvane";
    ASSERT_TRUE(WaitForTitle(title)) << Output();
    ScreenBox window;
    ASSERT_TRUE(WindowBox(title, window));

    // The layers panel's one row is the selected one.
    const std::string shot = Screenshot("older");
    const ScreenBox column { window.x + window.width - 215, window.y + 40, 190, window.height - 80 };
    EXPECT_EQ(SelectedRows(shot, column), 1);

    // The red fill sits near the canvas's middle; 24 presses of Right carry it to the right.
    const ScreenBox canvas { window.x + 100, window.y + 60, window.width - 450, 700 };
    const RedPatch before = Red(shot, canvas);
    ASSERT_GT(before.count, 200) << "no red fill on the canvas";
    const double middle = canvas.x + canvas.width / 2.0;
    EXPECT_NEAR(before.middle, middle, canvas.width / 6.0);
    for (int i = 0; i < 24; ++i)
        KeysTo(title, "Right");
    const RedPatch after = Red(Screenshot("moved"), canvas);
    EXPECT_GT(after.count, 200);
    EXPECT_GT(after.middle, before.middle + 20);

    // File > Save As... (Save would write the current format over the older file).
    ClickIn(title, 18, 9);
    usleep(300000);
    ClickIn(title, 42, 115);
    ASSERT_TRUE(WaitForTitle("Save As")) << Output();
    KeysTo("Save As", "ctrl+a");
    TypeTo("Save As", fRoot.File("wedge"));
    KeysTo("Save As", "Return");
    ASSERT_TRUE(WaitForTitle("wedge.celv - Celvane")) << Output();
    const std::string saved = fRoot.Get("wedge.celv");
    EXPECT_NE(saved.find("version 19"), std::string::npos) << saved.substr(0, 200);
    EXPECT_NE(saved.find("name \"Wedge\""), std::string::npos);
    EXPECT_EQ(Quit("wedge.celv - Celvane"), 0) << Output();

    Start({ fRoot.File("wedge.celv") });
    ASSERT_TRUE(WaitForTitle("wedge.celv - Celvane")) << Output();
    EXPECT_GT(Red(Screenshot("reopened"), canvas).count, 200);
    EXPECT_EQ(Quit("wedge.celv - Celvane"), 0) << Output();
}

} // namespace
