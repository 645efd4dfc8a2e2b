// The Layers panel as a new user meets it: new layers from the New Layer menu, the eye box, a
// drag in the tree, Duplicate, Delete, and the saved file holding the tree's order.
#include "celvane_session.h"

namespace {

const char* kUntitled = "Untitled.celv - Celvane";
const char* kAlertTitle = "Celvane Pomra";
const int kRow = 22;

class LayersScenarios : public CelvaneSession {
protected:
    // The screen rows (tops) of the bands in the box whose pixels are mostly the colour.
    std::vector<int> Bands(const std::string& shot, const ScreenBox& box, const std::string& colour)
    {
        const std::string out = fRoot.File("bands.txt");
        RunProgram({ "sh", "-c",
                       "convert '" + shot + "' -crop " + std::to_string(box.width) + "x" + std::to_string(box.height)
                           + "+" + std::to_string(box.x) + "+" + std::to_string(box.y) + " +repage -fill black +opaque '"
                           + colour + "' -fill white -opaque '" + colour
                           + "' -colorspace gray -scale 1x! -threshold 50% txt:- > '" + out + "'" },
            "", nullptr);
        std::vector<int> tops;
        bool inBand = false;
        int y = 0;
        std::istringstream rows(fRoot.Get("bands.txt"));
        for (std::string row; std::getline(rows, row);) {
            if (row.empty() || row[0] == '#')
                continue;
            const bool on = row.find("white") != std::string::npos || row.find("#FFFFFF") != std::string::npos;
            if (on && !inBand)
                tops.push_back(box.y + y);
            inBand = on;
            y++;
        }
        return tops;
    }
    void Click(int x, int y)
    {
        RunProgram({ "xdotool", "mousemove", "--sync", std::to_string(x), std::to_string(y), "click", "1" }, "",
            nullptr);
        usleep(400000);
    }
    // The top of the selected row in the Layers panel.
    int SelectedRowTop(const std::string& name)
    {
        const std::vector<int> bands = Bands(Screenshot(name), fColumn, "rgb(114,121,184)");
        return bands.empty() ? -1 : bands.front();
    }
    // Until the selected row's top is there (the screen may lag behind a busy machine); the
    // last top seen.
    int WaitForSelectedRow(int top, const std::string& name)
    {
        int seen = -1;
        for (int tries = 0; tries < 40 && seen != top; tries++) {
            if (tries)
                usleep(300000);
            seen = SelectedRowTop(name);
        }
        return seen;
    }
    // Clicks New, then the menu's item of that index.
    void NewLayer(int item)
    {
        Click(fNewX, fNewY);
        Click(fNewX + 20, fNewY + 9 + 1 + 2 + item * 15 + 7);
    }
    void SaveAs(const std::string& title, const std::string& typed)
    {
        KeysTo(title, "ctrl+s");
        ASSERT_TRUE(WaitForTitle("Save As")) << Output();
        KeysTo("Save As", "ctrl+a");
        TypeTo("Save As", typed);
        KeysTo("Save As", "Return");
    }

    // Finds the Layers panel's first row and its buttons in the main window of that title.
    void FindPanel(const std::string& title)
    {
        ScreenBox window;
        ASSERT_TRUE(WindowBox(title, window));
        fWindow = window;
        fColumn = { window.x + window.width - 215, window.y + 40, 190, window.height - 80 };
        // The panels are laid out once the start is over: the row has to stay put a while.
        int same = 0;
        for (int tries = 0; tries < 60 && same < 3; tries++) {
            if (tries)
                usleep(400000);
            const int top = SelectedRowTop("panel");
            same = top > 0 && top == fFirst ? same + 1 : 0;
            fFirst = top;
        }
        ASSERT_GT(fFirst, 0) << "the selected row of Layer 1";
        // The buttons sit right above the tree.
        fNewX = window.x + window.width - 221 + 10;
        fNewY = fFirst - 15;
        fNameX = window.x + window.width - 221 + 110;
        fEyeX = window.x + window.width - 221 + 15;
    }
    // The middle of the tree's row n (0 the top one).
    int RowY(int n) const { return fFirst + n * kRow + kRow / 2; }
    void DoubleClick(int x, int y)
    {
        RunProgram({ "xdotool", "mousemove", "--sync", std::to_string(x), std::to_string(y), "click", "--repeat", "2",
                       "--delay", "120", "1" },
            "", nullptr);
        usleep(400000);
    }
    // Text typed over a field of Layer Settings (at that place of the dialog's box).
    void TypeIntoSettings(const ScreenBox& dialog, int x, int y, const std::string& text)
    {
        Click(dialog.x + x, dialog.y + y);
        KeysTo("Layer Settings", "ctrl+a");
        TypeTo("Layer Settings", text);
    }
    // The canvas's frame guides, found on the screen: the box inside them.
    ScreenBox Canvas(const std::string& shot)
    {
        const ScreenBox frame = ColourBox(shot, "rgb(152,152,203)");
        return { frame.x + 4, frame.y + 4, frame.width - 8, frame.height - 8 };
    }
    // The pixels of exactly that colour in the box of the picture.
    long CountColour(const std::string& shot, const ScreenBox& box, const std::string& colour)
    {
        RunProgram({ "convert", shot, "-crop",
                       std::to_string(box.width) + "x" + std::to_string(box.height) + "+" + std::to_string(box.x) + "+"
                           + std::to_string(box.y),
                       "+repage", "-fill", "black", "+opaque", colour, "-fill", "white", "-opaque", colour, "-format",
                       "%[fx:int(mean*w*h+0.5)]", "info:" },
            fRoot.File("count.txt"), nullptr);
        return std::atol(fRoot.Get("count.txt").c_str());
    }
    // Until the box of the screen matches the same box of an earlier screenshot to within that
    // many pixels; the last count.
    long SettlesLike(const std::string& earlier, const ScreenBox& box, const std::string& name, long tolerance)
    {
        long differs = -1;
        for (int tries = 0; tries < 30; tries++) {
            if (tries)
                usleep(300000);
            differs = BoxDiffers(earlier, Screenshot(name), box);
            if (differs <= tolerance)
                break;
        }
        return differs;
    }
    // Until the saved file holds (or, with present false, no longer holds) the text.
    std::string WaitForFile(const std::string& name, const std::string& text, bool present = true)
    {
        std::string body;
        for (int tries = 0; tries < 40; tries++) {
            body = fRoot.Get(name);
            if ((body.find(text) != std::string::npos) == present)
                break;
            usleep(250000);
        }
        return body;
    }

    ScreenBox fWindow;
    ScreenBox fColumn;
    int fFirst = 0;
    int fNewX = 0;
    int fNewY = 0;
    int fNameX = 0;
    int fEyeX = 0;
};

// Where things stand in Layer Settings for a vector layer (window coordinates).
struct SettingsPlaces {
    static constexpr int kNameX = 250, kNameY = 55;
    static constexpr int kOpacityX = 201, kOpacityY = 238;
    // The opacity field's digits, left of where the text cursor stands.
    static constexpr ScreenBox kOpacityDigits { 179, 231, 21, 14 };
    static constexpr int kOkX = 343, kCancelX = 414, kButtonsY = 544;
};

TEST_F(LayersScenarios, NewHideDragDuplicateDeleteAndSave)
{
    Start();
    ASSERT_TRUE(WaitForTitle(kUntitled)) << Output();
    DismissMissingPictureAlerts();
    FindPanel(kUntitled);
    if (HasFatalFailure())
        return;
    const int first = fFirst;
    const int nameX = fNameX;
    const int eyeX = fEyeX;

    // New Layer, Vector: the new row is selected and on top.
    NewLayer(0);
    DismissMissingPictureAlerts();
    EXPECT_EQ(WaitForSelectedRow(first, "vector"), first);
    // The eye box of the new layer (the top row) hides it.
    const std::string before = Screenshot("eye-before");
    Click(eyeX, first + kRow / 2);
    const std::string after = Screenshot("eye-after");
    EXPECT_NE(PixelText(before, eyeX, first + kRow / 2), PixelText(after, eyeX, first + kRow / 2));
    // Drag Layer 1 (second row) above Layer 2.
    Drag(nameX, first + kRow + kRow / 2, nameX, first + 3);
    EXPECT_EQ(WaitForSelectedRow(first, "dragged"), first);
    // Select Layer 2 (now the second row) and duplicate it: Layer 3 lands above it.
    Click(nameX, first + kRow + kRow / 2);
    Click(fNewX + 22, fNewY);
    EXPECT_EQ(WaitForSelectedRow(first + kRow, "duplicated"), first + kRow);
    // Delete it again, answering Yes.
    Click(fNewX + 44, fNewY);
    ASSERT_TRUE(WaitForTitle(kAlertTitle)) << Output();
    KeysTo(kAlertTitle, "Return");
    ASSERT_TRUE(WaitForNoTitle(kAlertTitle));
    EXPECT_EQ(WaitForSelectedRow(first + kRow, "deleted"), first + kRow);

    SaveAs(kUntitled, fRoot.File("layers"));
    ASSERT_TRUE(WaitForTitle("layers.celv - Celvane")) << Output();
    std::string text = fRoot.Get("layers.celv");
    // Bottom of the stack first: the hidden Layer 2 under Layer 1, and no copy left.
    const size_t second = text.find("name \"Layer 2\"");
    const size_t firstName = text.find("name \"Layer 1\"");
    ASSERT_NE(second, std::string::npos) << text.substr(0, 2000);
    ASSERT_NE(firstName, std::string::npos);
    EXPECT_LT(second, firstName);
    EXPECT_EQ(text.find("name \"Layer 3\""), std::string::npos);
    EXPECT_NE(text.find("visible false"), std::string::npos);

    // The kinds without another way in: Group, Particle and Note follow a separator.
    for (int item : { 6, 7, 8 }) {
        NewLayer(item);
        DismissMissingPictureAlerts();
    }
    // A new note layer opens Layer Settings on its Note page; Cancel keeps the layer as made.
    ASSERT_TRUE(WaitForTitle("Layer Settings")) << Output();
    ScreenBox dialog;
    ASSERT_TRUE(WindowBox("Layer Settings", dialog));
    EXPECT_LE(ScreenSettlesTo({ dialog.x, dialog.y, dialog.width, 70 }, "layer_settings_note_page", 40), 40);
    KeysTo("Layer Settings", "Escape");
    ASSERT_TRUE(WaitForNoTitle("Layer Settings", 5000)) << Output();
    KeysTo("layers.celv - Celvane", "ctrl+s");
    usleep(800000);
    text = fRoot.Get("layers.celv");
    for (const char* kind : { "layer_type 3", "layer_type 6", "layer_type 7" })
        EXPECT_NE(text.find(kind), std::string::npos) << kind;
    EXPECT_EQ(Quit("layers.celv - Celvane"), 0) << Output();
}

} // namespace

// The layer "Hero" as a new user makes it: New Layer, Layer Settings from a double click (five
// tabs; opacity 150 comes back as 100 and the dialog stays; the name is taken; Cancel takes
// nothing and makes no undo level), a rectangle drawn
// with the recording tool that the eye box hides, the tree reordered, a copy made and deleted,
// the file saved in the tree's order.
TEST_F(LayersScenarios, HeroIsNamedDrawnHiddenReorderedAndSaved)
{
    UseTestScripts();
    Start();
    ASSERT_TRUE(WaitForTitle(kUntitled)) << Output();
    DismissMissingPictureAlerts();
    FindPanel(kUntitled);
    if (HasFatalFailure())
        return;

    // New Layer, Vector: "Layer 2", selected, on top.
    NewLayer(0);
    DismissMissingPictureAlerts();
    ASSERT_EQ(WaitForSelectedRow(fFirst, "vector"), fFirst);
    const ScreenBox heroRow { fWindow.x + fWindow.width - 221 + 40, fFirst + 3, 90, kRow - 6 };
    const std::string unnamed = Screenshot("unnamed");

    // A double click on its row opens Layer Settings on the five pages of a vector layer.
    DoubleClick(fNameX, RowY(0));
    ASSERT_TRUE(WaitForTitle("Layer Settings")) << Output();
    ScreenBox dialog;
    ASSERT_TRUE(WindowBox("Layer Settings", dialog));
    const ScreenBox tabs { dialog.x, dialog.y, dialog.width, 26 };
    EXPECT_LE(ScreenSettlesTo(tabs, "layer_settings_vector_tabs", 40), 40);
    const std::string opened = Screenshot("settings-opened");
    const ScreenBox digits { dialog.x + SettingsPlaces::kOpacityDigits.x, dialog.y + SettingsPlaces::kOpacityDigits.y,
        SettingsPlaces::kOpacityDigits.width, SettingsPlaces::kOpacityDigits.height };

    // Opacity 150 and OK: the field reads 100 again and the dialog stays.
    TypeIntoSettings(dialog, SettingsPlaces::kOpacityX, SettingsPlaces::kOpacityY, "150");
    EXPECT_GT(BoxDiffers(opened, Screenshot("settings-150"), digits), 20) << "150 was typed";
    Click(dialog.x + SettingsPlaces::kOkX, dialog.y + SettingsPlaces::kButtonsY);
    usleep(500000);
    EXPECT_TRUE(WaitForTitle("Layer Settings", 1000)) << "the dialog stays";
    EXPECT_LE(BoxDiffers(opened, Screenshot("settings-100"), digits), 4) << "the field reads 100";

    // Name Hero and OK: the dialog closes and the selected row reads Hero.
    TypeIntoSettings(dialog, SettingsPlaces::kNameX, SettingsPlaces::kNameY, "Hero");
    Click(dialog.x + SettingsPlaces::kOkX, dialog.y + SettingsPlaces::kButtonsY);
    ASSERT_TRUE(WaitForNoTitle("Layer Settings", 5000)) << Output();
    EXPECT_LE(ScreenSettlesTo(heroRow, "layers_hero_row", 20), 20);

    // Another name typed and Cancel: the row still reads Hero, and no undo level was made, so
    // Undo takes back the naming itself (the row reads "Layer 2" again) and Redo brings Hero back.
    DoubleClick(fNameX, RowY(0));
    ASSERT_TRUE(WaitForTitle("Layer Settings")) << Output();
    ASSERT_TRUE(WindowBox("Layer Settings", dialog));
    TypeIntoSettings(dialog, SettingsPlaces::kNameX, SettingsPlaces::kNameY, "Villain");
    Click(dialog.x + SettingsPlaces::kCancelX, dialog.y + SettingsPlaces::kButtonsY);
    ASSERT_TRUE(WaitForNoTitle("Layer Settings", 5000)) << Output();
    EXPECT_LE(ScreenSettlesTo(heroRow, "layers_hero_row", 20), 20);
    KeysTo(kUntitled, "ctrl+z");
    EXPECT_LE(SettlesLike(unnamed, heroRow, "undone", 4), 4) << "Undo took back the naming";
    KeysTo(kUntitled, "ctrl+shift+z");
    EXPECT_LE(ScreenSettlesTo(heroRow, "layers_hero_row", 20), 20);

    // A rectangle drawn with the recording tool lands in Hero; the eye box takes its fill away.
    const std::string empty = Screenshot("empty");
    const ScreenBox canvas = Canvas(empty);
    ASSERT_GT(canvas.width, 100) << "no frame guides on the canvas";
    const int cx = canvas.x + canvas.width / 2;
    const int cy = canvas.y + canvas.height / 2;
    Drag(cx - 60, cy - 40, cx + 60, cy + 40);
    usleep(500000);
    // The fill is the Style panel's white: most of the 120 x 80 rectangle.
    const long filled = CountColour(Screenshot("drawn"), canvas, "white");
    ASSERT_GT(filled, 6000) << fRoot.Get("tool.log");
    Click(fEyeX, RowY(0));
    EXPECT_LT(CountColour(Screenshot("hidden"), canvas, "white"), 100);

    // Layer 1 dragged above Hero; Hero selected again and duplicated: "Hero 2" above it.
    Drag(fNameX, RowY(1), fNameX, fFirst + 3);
    EXPECT_EQ(WaitForSelectedRow(fFirst, "dragged"), fFirst);
    Click(fNameX, RowY(1));
    EXPECT_EQ(WaitForSelectedRow(fFirst + kRow, "hero"), fFirst + kRow);
    Click(fNewX + 22, fNewY);
    EXPECT_EQ(WaitForSelectedRow(fFirst + kRow, "duplicated"), fFirst + kRow);
    SaveAs(kUntitled, fRoot.File("hero"));
    const std::string savedTitle = "hero.celv - Celvane";
    ASSERT_TRUE(WaitForTitle(savedTitle)) << Output();
    std::string text = WaitForFile("hero.celv", "name \"Hero 2\"");
    EXPECT_NE(text.find("name \"Hero 2\""), std::string::npos) << text.substr(0, 3000);

    // Delete, Yes: the copy goes; the file holds Hero (with its rectangle) under Layer 1.
    Click(fNewX + 44, fNewY);
    ASSERT_TRUE(WaitForTitle(kAlertTitle)) << Output();
    KeysTo(kAlertTitle, "Return");
    ASSERT_TRUE(WaitForNoTitle(kAlertTitle));
    KeysTo(savedTitle, "ctrl+s");
    text = WaitForFile("hero.celv", "name \"Hero 2\"", false);
    EXPECT_EQ(text.find("name \"Hero 2\""), std::string::npos);
    EXPECT_EQ(text.find("name \"Layer 2\""), std::string::npos);
    const size_t hero = text.find("name \"Hero\"");
    const size_t layer1 = text.find("name \"Layer 1\"");
    ASSERT_NE(hero, std::string::npos) << text.substr(0, 3000);
    ASSERT_NE(layer1, std::string::npos);
    EXPECT_LT(hero, layer1) << "the file lists the bottom of the tree first";
    EXPECT_NE(text.find("shapes 1"), std::string::npos);

    EXPECT_EQ(Quit(savedTitle), 0) << "a question on quitting: " << Output();
    EXPECT_EQ(fRoot.Get("hero.celv"), text);
}

// A colour picked on the Style panel's swatch picture is the fill of the next shape the
// recording tool draws.
TEST_F(LayersScenarios, ASwatchColourFillsTheNextShape)
{
    UseTestScripts();
    Start();
    ASSERT_TRUE(WaitForTitle(kUntitled)) << Output();
    DismissMissingPictureAlerts();
    FindPanel(kUntitled);
    if (HasFatalFailure())
        return;
    const ScreenBox window = fWindow;
    const std::string before = Screenshot("swatch-before");
    // The green of the spectrum picture, below the panel's Swatches menu.
    const int sx = window.x + window.width - 142;
    const int sy = window.y + 292;
    int picked[3] = { -1, -1, -1 };
    ASSERT_EQ(std::sscanf(PixelText(before, sx, sy).c_str(), "%d,%d,%d", &picked[0], &picked[1], &picked[2]), 3);
    ASSERT_LT(picked[0], 100) << "not the green of the swatch picture: " << PixelText(before, sx, sy);
    ASSERT_GT(picked[1], 150);
    Click(sx, sy);

    const ScreenBox canvas = Canvas(before);
    ASSERT_GT(canvas.width, 100) << "no frame guides on the canvas";
    const int cx = canvas.x + canvas.width / 2;
    const int cy = canvas.y + canvas.height / 2;
    Drag(cx - 60, cy - 40, cx + 60, cy + 40);
    int fill[3] = { -1, -1, -1 };
    std::string seen;
    for (int tries = 0; tries < 20; tries++) {
        seen = PixelText(Screenshot("swatch-drawn"), cx + 30, cy + 20);
        if (std::sscanf(seen.c_str(), "%d,%d,%d", &fill[0], &fill[1], &fill[2]) == 3 && fill[1] > 150)
            break;
        usleep(300000);
    }
    for (int c = 0; c < 3; c++)
        EXPECT_NEAR(fill[c], picked[c], 12) << "the fill " << seen << ", the swatch " << PixelText(before, sx, sy);
}
