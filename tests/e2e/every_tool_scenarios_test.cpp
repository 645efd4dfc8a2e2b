// Every tool of the installation's palette as a user meets it in the real program: chosen by its
// letter (the status bar shows its description), one drag or click on the canvas of a small
// document with something for each tool to act on, and the canvas or the saved file checked.
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <vector>

#include "bonelayer.h"
#include "celvane_session.h"
#include "image_format_registry.h"
#include "imagelayer.h"
#include "interface_fonts.h"
#include "m_bone.h"
#include "m_curve.h"
#include "m_mesh.h"
#include "m_point.h"
#include "m_shape.h"
#include "m_skeleton.h"
#include "meshlayer.h"
#include "qv_font.h"
#include "script_interface.h"
#include "vorndoc.h"

namespace {

const char* kTitle = "tools.celv - Celvane";
const char* kSelectedLayer = "rgb(114,121,184)";
const char* kWhite = "255,255,255";
// The Layers panel's rows from the top, the group open.
enum LayerRow { kKeepLayer = -1, kSheet = 0, kRig = 1, kSkin = 2, kMovie = 3 };

// What a row's gesture must have done: a pixel at a document position now has (or no longer
// has) a colour; the canvas changed within a document box, or the window within a box of its
// own (a negative x counts from its right edge); the saved document changed or holds a text.
struct Check {
    enum Kind { kPixel, kNotPixel, kRegion, kScreenRegion, kFileChanged, kFileHas } kind;
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    const char* text = "";
};
Check Pixel(double x, double y, const char* colour) { return { Check::kPixel, x, y, 0, 0, colour }; }
Check NotPixel(double x, double y, const char* colour) { return { Check::kNotPixel, x, y, 0, 0, colour }; }
Check Region(double x0, double y0, double x1, double y1) { return { Check::kRegion, x0, y0, x1, y1 }; }
Check Around(double x, double y) { return Region(x - 0.08, y - 0.08, x + 0.08, y + 0.08); }
Check FileChanged() { return { Check::kFileChanged }; }

struct ToolRow {
    const char* key;
    const char* description; // the status bar's text
    int layerRow; // the layer chosen first
    std::vector<std::pair<double, double>> gesture; // document positions: one a click, more a drag
    const char* after; // keys after the gesture, or null
    Check check;
    bool home = false; // Home fits the view again after the check
};

// One session, each row acting on what the rows before it left: a rectangle grown, turned and
// reshaped point by point, restyled, its shape deleted and made again; then the bones, the
// binding, a tracking point and the view.
const std::vector<ToolRow>& Rows()
{
    static const std::vector<ToolRow> rows = {
        { "r", "Drag to draw a rectangle (Shift: a square)", kKeepLayer, { { -0.4, -0.4 }, { 0.4, 0.4 } }, nullptr,
            Pixel(0.3, -0.2, kWhite) },
        // From 0.51 to 0.77 away from the centre: one and a half times, the square now 0.6 a side.
        { "c", "Drag away from or towards the selection's centre to scale it (Shift: each axis apart)", kKeepLayer,
            { { 0.5, 0.1 }, { 0.75, 0.15 } }, nullptr, Pixel(0.5, -0.5, kWhite) },
        // An eighth of a turn: a diamond, its corners 0.85 from the centre on the axes.
        { "y", "Drag around the selection's centre to rotate it (Shift: steps of 15 degrees)", kKeepLayer,
            { { 0.7, 0 }, { 0.65, 0.27 }, { 0.5, 0.5 } }, nullptr, Pixel(0.75, 0, kWhite) },
        { "s", "Click a point or drag a box to select points (Shift adds, Ctrl removes)", kKeepLayer,
            { { 0.75, -0.1 }, { 0.95, 0.1 } }, nullptr, Around(-0.85, 0) },
        { "t", "Drag to move the selected points (Shift adds the point under the mouse)", kKeepLayer,
            { { 0.85, 0 }, { 1.1, 0 } }, nullptr, Pixel(0.97, 0, kWhite) },
        { "a", "Click an edge to split it, or drag to extend the selected curve end or start a curve", kKeepLayer,
            { { 0.55, 0.425 } }, nullptr, Around(0.55, 0.425) },
        { "u", "Drag left or right over a point to sharpen or round it; click to switch smooth and corner",
            kKeepLayer, { { 0, 0.85 }, { 0.2, 0.85 } }, nullptr, Region(-0.2, 0.3, 0.7, 0.95) },
        { "w", "Drag left or right over points to thin or widen the line there", kKeepLayer,
            { { -0.85, 0 }, { -0.6, 0 } }, nullptr, Around(-0.85, 0) },
        { "9", "Click an edge to hide or show its line", kKeepLayer, { { -0.425, -0.425 } }, nullptr,
            Around(-0.425, -0.425) },
        // The red square's style onto the diamond.
        { "i", "Click a shape to take its style", kKeepLayer, { { -1.1, -0.8 } }, nullptr,
            { Check::kScreenRegion, -215, 95, -5, 165 } },
        { "p", "Click a shape to give it the current style", kKeepLayer, { { 0.2, -0.2 } }, nullptr,
            Pixel(0.3, -0.2, "255,0,0") },
        { "k", "Click a shape to select it (Shift adds, Ctrl removes); Delete removes the selected shapes",
            kKeepLayer, { { 0.2, -0.2 } }, "Delete", NotPixel(0.3, -0.2, "255,0,0") },
        { "n", "Select points, then press Space to make a filled shape or a line of them", kKeepLayer,
            { { 1.25, 0.95 }, { -0.9, -0.9 } }, "space", Pixel(0.3, -0.2, "255,0,0") },
        // The upper left edge, rounded outwards at its top end: its middle lies some 28 pixels off
        // the straight line between its ends. Its shape goes with it, fill and all.
        { "d", "Click an edge to delete it", kKeepLayer, { { -0.554, 0.387 } }, nullptr,
            NotPixel(0.3, -0.2, "255,0,0") },
        { "f", "Drag to draw a curve", kKeepLayer,
            { { -1.25, 0.6 }, { -1.05, 0.9 }, { -0.85, 0.6 }, { -1.05, 0.35 }, { -1.22, 0.56 } }, nullptr,
            Region(-1.3, 0.3, -0.8, 0.95) },
        { "o", "Drag to draw an oval (Shift: a circle)", kKeepLayer, { { 0.6, 0.5 }, { 1.2, 0.9 } }, nullptr,
            Pixel(0.9, 0.7, "255,0,0") },
        { "e", "Drag to move the current layer (Shift keeps the move horizontal or vertical); arrow keys nudge it.",
            kKeepLayer, { { 0.3, -0.2 }, { 0.4, -0.25 } }, nullptr, Region(-1.3, -1, 1.3, 1) },
        { "4", "Drag around the layer's origin to turn the layer (Shift snaps to 15 degree steps).", kKeepLayer,
            { { 0.8, -0.5 }, { 0.7, -0.6 }, { 0.5, -0.8 } }, nullptr, Region(-1.3, -1, 1.3, 1) },
        { "5", "Drag away from the layer's origin to enlarge the layer, toward it to shrink it (Shift scales one side).",
            kKeepLayer, { { 0.5, -0.5 }, { 0.6, -0.6 } }, nullptr, Region(-1.3, -1, 1.3, 1) },
        { "6", "Click or drag to place the point the layer turns and scales about.", kKeepLayer, { { 0.5, 0.6 } },
            nullptr, FileChanged() },
        // The rig: bone 0 from (0, -0.6) to (0.4, -0.6), bone 1 on to (0.8, -0.6).
        { "b", "Drag from a bone's base to its tip to add it below the selected bone (Shift starts a new tree).", kRig,
            { { -0.8, 0.2 }, { -0.5, 0.2 } }, nullptr, Region(-0.85, 0.1, -0.45, 0.3) },
        { "l", "Click a bone to select it (Shift adds, Ctrl removes); Up and Down keys go to its parent and child.",
            kKeepLayer, { { 0.6, -0.6 } }, nullptr, Region(0.35, -0.7, 0.85, -0.5) },
        { "g", "Drag a bone to move it; dragging elsewhere moves the selected bones.", kKeepLayer,
            { { 0.6, -0.6 }, { 0.6, -0.8 } }, nullptr, Region(0.35, -0.9, 0.85, -0.5) },
        { "x", "Drag a bone to turn it about its base (Shift snaps to 15 degree steps).", kKeepLayer,
            { { 0.3, -0.6 }, { 0.3, -0.4 } }, nullptr, Region(-0.1, -0.9, 0.9, -0.3) },
        // Bone 0 has turned a tenth of a turn about its base, taking along its children: bone 1
        // and the new bone, now from (-1.11, -0.38) towards the upper right.
        { "2", "Drag a bone right to make its influence reach further, left to reduce it.", kKeepLayer,
            { { -0.985, -0.3 }, { -0.7, -0.3 } }, nullptr, FileChanged() },
        { "1", "Drag a bone to offset it from its animated position; Alt-click clears its offset.", kKeepLayer,
            { { -0.985, -0.3 }, { -0.8, -0.1 } }, nullptr, FileChanged() },
        { "m", "Drag a bone to pose its chain: its tip follows the pointer and the bones above it turn along.",
            kKeepLayer, { { 0.62, -0.43 }, { 0.62, -0.1 } }, nullptr, Region(0, -0.9, 1, 0) },
        // Clicks beside bone 0's base, wherever the pose has turned it.
        { "j", "Click a bone to bind the selected points to it (Space binds them to the selected bone, Alt-click "
               "unbinds them).",
            kSkin, { { 0.02, -0.59 } }, nullptr, FileChanged() },
        { "3", "Click a bone to bind the whole layer to it; click away from the bones to release the layer.",
            kKeepLayer, { { 0.02, -0.59 } }, nullptr, FileChanged() },
        { "v", "Click a movie to add a tracking point, drag one to move it, then Track follows the selected points.",
            kMovie, { { 0.1, 0.1 } }, nullptr, { Check::kFileHas, 0, 0, 0, 0, "num_tracking_points 1" } },
        { "h", "Drag to move the view", kKeepLayer, { { 0, 0.5 }, { 0.3, 0.5 } }, nullptr, Region(-1.3, -1, 1.3, 1),
            true },
        { "z", "Drag right to zoom in, left to zoom out", kKeepLayer, { { 0, 0 }, { 0.3, 0 } }, nullptr,
            Region(-1.3, -1, 1.3, 1), true },
        { "q", "Drag around the view's centre to turn the view", kKeepLayer, { { 0.6, 0 }, { 0.5, 0.3 } }, nullptr,
            Region(-1.3, -1, 1.3, 1), true },
    };
    return rows;
}

// A saved document without the line stamping when it was saved, which differs between two saves
// a second apart whatever the document holds.
std::string WithoutSaveTime(const std::string& saved)
{
    const size_t stamp = saved.find("### Created:");
    if (stamp == std::string::npos)
        return saved;
    const size_t end = saved.find('\n', stamp);
    return saved.substr(0, stamp) + (end == std::string::npos ? "" : saved.substr(end + 1));
}

// Screen pixels where a document position shows: the frame guide spans y -1 to 1.
struct Canvas {
    double cx = 0, cy = 0, scale = 1;
    int X(double x) const { return int(std::lround(cx + x * scale)); }
    int Y(double y) const { return int(std::lround(cy - y * scale)); }
};

class EveryToolScenarios : public CelvaneSession {
protected:
    // The document the tools act on, 320 x 240, its layers from the bottom:
    //   "Movie"  a picture layer of a gradient, for tracking points;
    //   "Rig"    a bone layer of two bones in a row along x from (0, -0.6), the first selected,
    //            holding "Skin", a vector layer of two selected points above them;
    //   "Sheet"  a vector layer (current on opening) with a red filled square at the lower left.
    std::string WriteFixture()
    {
        const std::string picture = fRoot.File("movie.png");
        EXPECT_EQ(RunProgram({ "convert", "-size", "160x120", "gradient:navy-orange", "png:" + picture }, "", nullptr),
            0);
        ImageFormatRegistry::Init();
        {
            VornDoc doc;
            doc.SetShape(320, 240);
            auto* movie = new ImageLayer;
            movie->SetName("Movie");
            EXPECT_TRUE(movie->SetSourceImage(picture.c_str()));
            doc.AddLayer(movie);

            auto* rig = new BoneLayer;
            rig->SetName("Rig");
            M_Skeleton* skeleton = rig->Skeleton();
            for (int i = 0; i < 2; i++) {
                M_Bone* bone = skeleton->AddBone(0);
                const QV_Vector2 pos { i == 0 ? 0.0f : 0.4f, i == 0 ? -0.6f : 0.0f };
                bone->fAnimPos.SetValue(0, pos);
                bone->fPos = pos;
                bone->fAnimAngle.SetValue(0, 0);
                bone->fAngle = 0;
                bone->fLength = 0.4f;
                bone->fParent = i - 1;
            }
            skeleton->GetBone(0)->fSelected = true;
            skeleton->UpdateBoneMatrix(-1);
            auto* skin = new MeshLayer;
            skin->SetName("Skin");
            skin->Mesh()->AddLonePoint(QV_Vector2 { 0.1f, -0.4f }, 0);
            skin->Mesh()->AppendPoint(QV_Vector2 { 0.6f, -0.4f }, 0);
            for (int32_t i = 0; i < skin->Mesh()->GetNumPoints(); i++)
                skin->Mesh()->GetPoint(i)->fSelected = true;
            rig->AddLayer(skin);
            doc.AddLayer(rig);

            auto* sheet = new MeshLayer;
            sheet->SetName("Sheet");
            doc.AddLayer(sheet);
            doc.SetSelLayer(sheet);
            M_Mesh* mesh = sheet->Mesh();
            mesh->AddLonePoint(QV_Vector2 { -1.25f, -0.95f }, 0);
            mesh->AppendPoint(QV_Vector2 { -0.95f, -0.95f }, 0);
            mesh->AppendPoint(QV_Vector2 { -0.95f, -0.65f }, 0);
            mesh->AppendPoint(QV_Vector2 { -1.25f, -0.65f }, 0);
            mesh->GetCurve(0)->fClosed = true;
            for (int32_t i = 0; i < mesh->GetNumPoints(); i++)
                mesh->GetPoint(i)->fSelected = true;
            {
                ScriptInterface record(&doc, nullptr);
                EXPECT_EQ(record.CreateShape(true, 0, false), 0);
            }
            if (mesh->GetNumShapes() == 1)
                mesh->GetShape(0)->fMyStyle.fFillCol.SetValue(0, rgb_color { 255, 0, 0, 255 });
            for (int32_t i = 0; i < mesh->GetNumPoints(); i++)
                mesh->GetPoint(i)->fSelected = false;
            doc.SetPath(fRoot.File("tools.celv").c_str());
            EXPECT_EQ(doc.Save(""), 0);
        }
        ImageFormatRegistry::Free();
        return fRoot.File("tools.celv");
    }

    ScreenBox DocBox(const Check& check) const
    {
        const int left = fCanvas.X(check.x0), right = fCanvas.X(check.x1);
        const int top = fCanvas.Y(check.y1), bottom = fCanvas.Y(check.y0);
        return { left, top, right - left, bottom - top };
    }
    ScreenBox ScreenRegion(const Check& check) const
    {
        const auto x = [this](double v) { return int(v < 0 ? fWindow.x + fWindow.width + v : fWindow.x + v); };
        return { x(check.x0), fWindow.y + int(check.y0), x(check.x1) - x(check.x0), int(check.y1 - check.y0) };
    }
    void Mouse(const std::vector<std::string>& words)
    {
        std::vector<std::string> command { "xdotool" };
        command.insert(command.end(), words.begin(), words.end());
        RunProgram(command, "", nullptr);
    }
    // One position: a click; more: a press at the first, moves through the others in small
    // steps, a release at the last.
    void Gesture(const std::vector<std::pair<double, double>>& points)
    {
        const auto at = [this](double x, double y) {
            return std::vector<std::string> { "mousemove", "--sync", std::to_string(fCanvas.X(x)),
                std::to_string(fCanvas.Y(y)) };
        };
        Mouse(at(points[0].first, points[0].second));
        if (points.size() == 1) {
            Mouse({ "click", "1" });
            usleep(400000);
            return;
        }
        Mouse({ "mousedown", "1" });
        for (size_t i = 1; i < points.size(); i++) {
            for (int step = 1; step <= 4; step++) {
                const double t = step / 4.0;
                Mouse(at(points[i - 1].first + (points[i].first - points[i - 1].first) * t,
                    points[i - 1].second + (points[i].second - points[i - 1].second) * t));
                usleep(40000);
            }
        }
        Mouse({ "mouseup", "1" });
        usleep(400000);
    }
    // The width of the status bar's dark text, or -1.
    int StatusInkWidth(const std::string& shot)
    {
        RunProgram({ "convert", shot, "-crop",
                       std::to_string(fStatus.width) + "x" + std::to_string(fStatus.height) + "+"
                           + std::to_string(fStatus.x) + "+" + std::to_string(fStatus.y),
                       "+repage", "-fuzz", "10%", "-fill", "white", "+opaque", "black", "-fill", "black", "-opaque",
                       "black", "-format", "%@", "info:" },
            fRoot.File("ink.txt"), nullptr);
        int width = 0, height = 0, x = 0, y = 0;
        if (std::sscanf(fRoot.Get("ink.txt").c_str(), "%dx%d+%d+%d", &width, &height, &x, &y) != 4)
            return -1;
        return width;
    }
    // The pixel at a document position once the screen shows the colour there; the last seen.
    std::string SettledPixel(const std::string& name, double x, double y, const std::string& want)
    {
        return CelvaneSession::SettledPixel(name, fCanvas.X(x), fCanvas.Y(y), want, 12);
    }
    // A click on the name of the Layers panel's row of that index from the top.
    void ChooseLayerRow(int row)
    {
        if (row == kSkin && !fRigOpen) {
            // The group's triangle opens it, showing its layer below it.
            Mouse({ "mousemove", "--sync", std::to_string(fLayerRow.x + 30),
                std::to_string(fLayerRow.y + fLayerRow.height / 2 + kRig * kLayerRowPitch), "click", "1" });
            usleep(500000);
            fRigOpen = true;
        }
        Mouse({ "mousemove", "--sync", std::to_string(fLayerRow.x + 80),
            std::to_string(fLayerRow.y + fLayerRow.height / 2 + row * kLayerRowPitch), "click", "1" });
        usleep(500000);
    }
    // Ctrl+S into the document's own file.
    void Save()
    {
        KeysTo(kTitle, "ctrl+s");
        usleep(500000);
    }

    static constexpr int kLayerRowPitch = 22;
    ScreenBox fWindow;
    Canvas fCanvas;
    ScreenBox fStatus;
    ScreenBox fLayerRow;
    bool fRigOpen = false;
};

TEST_F(EveryToolScenarios, EveryToolByItsLetterActsOnTheCanvas)
{
    Start({ WriteFixture() });
    ASSERT_TRUE(WaitForTitle(kTitle)) << Output();
    ASSERT_TRUE(WindowBox(kTitle, fWindow));
    std::string shot;
    const ScreenBox frame = WaitForFrameGuide("start", shot);
    ASSERT_GT(frame.width, 200) << "no frame guides on the canvas";
    fCanvas = { frame.x + frame.width / 2.0, frame.y + frame.height / 2.0, frame.height / 2.0 };
    const ScreenBox firstCell = ColourBox(shot, kSelectedCell);
    ASSERT_GT(firstCell.width, 0) << "no selected tool at start";
    fStatus = { fWindow.x + 4, firstCell.y - 58, 900, 16 };
    fLayerRow = ColourBox(shot, kSelectedLayer);
    ASSERT_GT(fLayerRow.width, 0) << "no selected row in the Layers panel";

    CreateInterfaceFonts();
    ScreenBox previousCell = firstCell;
    std::map<std::string, ScreenBox> cells;
    for (const ToolRow& row : Rows()) {
        SCOPED_TRACE(std::string("key ") + row.key + ": " + row.description);
        if (row.layerRow >= 0)
            ChooseLayerRow(row.layerRow);
        KeysTo(kTitle, row.key);
        const std::string chosen = Screenshot(std::string("chosen-") + row.key);
        const ScreenBox cell = ColourBox(chosen, kSelectedCell);
        EXPECT_GT(cell.width, 0) << "no palette cell selected";
        EXPECT_TRUE(cell.x != previousCell.x || cell.y != previousCell.y) << "the palette kept the previous tool";
        previousCell = cell;
        cells[row.key] = cell;
        // The ink ends a little short of the text's advance.
        const int ink = StatusInkWidth(chosen);
        const int advance = gWidgetFont->StringWidth(row.description);
        EXPECT_TRUE(ink <= advance && ink >= advance - 8)
            << "the status bar's text is " << ink << " pixels wide, the description " << advance;
        if (row.check.kind == Check::kFileChanged)
            Save();
        const std::string savedBefore = fRoot.Get("tools.celv");
        Gesture(row.gesture);
        if (row.after) {
            Screenshot(std::string("gesture-") + row.key);
            KeysTo(kTitle, row.after);
        }
        usleep(300000);
        const std::string after = Screenshot(std::string("after-") + row.key);
        switch (row.check.kind) {
        case Check::kPixel:
            EXPECT_EQ(SettledPixel(std::string("pixel-") + row.key, row.check.x0, row.check.y0, row.check.text),
                row.check.text);
            break;
        case Check::kNotPixel:
            EXPECT_NE(PixelText(after, fCanvas.X(row.check.x0), fCanvas.Y(row.check.y0)), row.check.text);
            break;
        case Check::kRegion:
            EXPECT_GT(BoxDiffers(chosen, after, DocBox(row.check)), 20) << "the canvas did not change there";
            break;
        case Check::kScreenRegion:
            EXPECT_GT(BoxDiffers(chosen, after, ScreenRegion(row.check)), 20) << "the window did not change there";
            break;
        case Check::kFileChanged:
            Save();
            EXPECT_TRUE(WithoutSaveTime(fRoot.Get("tools.celv")) != WithoutSaveTime(savedBefore))
                << "the saved document did not change";
            break;
        case Check::kFileHas:
            Save();
            EXPECT_NE(fRoot.Get("tools.celv").find(row.check.text), std::string::npos) << row.check.text;
            break;
        }
        if (row.home)
            KeysTo(kTitle, "Home");
    }
    DeleteInterfaceFonts();

    // Away from frame 0 the palette greys the tools that change the mesh's structure, and their
    // letters choose nothing; the others stay as they were.
    ChooseLayerRow(kSheet);
    const std::string atZero = Screenshot("palette-0");
    KeysTo(kTitle, "Right");
    usleep(500000);
    const std::string atOne = Screenshot("palette-1");
    for (const char* key : { "r", "o", "f", "a", "d" })
        EXPECT_GT(BoxDiffers(atZero, atOne, cells[key]), 20) << key << "'s cell is not greyed at frame 1";
    for (const char* key : { "t", "c", "y", "p" })
        EXPECT_EQ(BoxDiffers(atZero, atOne, cells[key]), 0) << key << "'s cell changed at frame 1";
    KeysTo(kTitle, "r");
    const ScreenBox still = ColourBox(Screenshot("palette-r"), kSelectedCell);
    EXPECT_EQ(still.x, previousCell.x) << "a greyed tool was chosen by its letter";
    EXPECT_EQ(still.y, previousCell.y);
    EXPECT_EQ(Quit(kTitle), 0) << Output();
}

} // namespace
