// The Layers panel as a new user meets it: new layers from the New Layer menu, the eye box, a
// drag in the tree, Duplicate, Delete, and the saved file holding the tree's order.
#include "celvane_session.h"

namespace {

const char* kUntitled = "Untitled.celv - Celvane";
const char* kAlertTitle = "Celvane Pomra";
const int kRow = 22;

class LayersScenarios : public CelvaneSession {
protected:
    // A build without every interface picture warns once per missing name; those warnings are
    // not what is tested here.
    void DismissMissingPictureAlerts()
    {
        for (int i = 0; i < 100; i++) {
            if (Output().find("Missing resource image") == std::string::npos)
                return;
            if (!WaitForTitle(kAlertTitle, 1500))
                return;
            KeysTo(kAlertTitle, "Return");
        }
    }
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

    ScreenBox fColumn;
    int fNewX = 0;
    int fNewY = 0;
};

TEST_F(LayersScenarios, NewHideDragDuplicateDeleteAndSave)
{
    Start();
    ASSERT_TRUE(WaitForTitle(kUntitled)) << Output();
    DismissMissingPictureAlerts();
    ScreenBox window;
    ASSERT_TRUE(WindowBox(kUntitled, window));
    fColumn = { window.x + window.width - 215, window.y + 40, 190, window.height - 80 };
    const int first = SelectedRowTop("start");
    ASSERT_GT(first, 0) << "the selected row of Layer 1";
    // The buttons sit right above the tree.
    fNewX = window.x + window.width - 221 + 10;
    fNewY = first - 15;
    const int nameX = window.x + window.width - 221 + 110;
    const int eyeX = window.x + window.width - 221 + 15;

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
    // A new note layer opens Layer Settings (on its Note page); Cancel keeps the layer as made.
    ASSERT_TRUE(WaitForTitle("Layer Settings")) << Output();
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
