// The canvas: what reaches the tool from the mouse, how the view navigates and fits, which pass
// each layer is drawn in, and what picking finds.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "../core/scratch_folder.h"
#include "../lib_vorn/mesh_test_support.h"
#include "../lib_vorn/own_style_support.h"
#include "app_prefs.h"
#include "bonelayer.h"
#include "canvas_view.h"
#include "grouplayer.h"
#include "headless_view.h"
#include "m_bone.h"
#include "m_skeleton.h"
#include "main_layer.h"
#include "meshlayer.h"
#include "qv_layer.h"
#include "qv_message.h"
#include "script.h"
#include "script_registry.h"
#include "shell_hooks.h"
#include "vorn_module.h"
#include "vorndoc.h"

namespace {

constexpr float kPi = 3.14159265f;

// A document of 400 x 200 (aspect 2) on a canvas of 200 x 100 pixels without a window.
class CanvasTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetPreferences();
        gPrefs.markZero = false;
        doc.SetShape(400, 200);
        for (int32_t& frame : OnionSkinFrames)
            frame = kOnionSkinOff;
    }
    void TearDown() override { ResetPreferences(); }

    CanvasView* MakeView()
    {
        view = std::make_unique<CanvasView>(&doc, 0, false, 0, 0, 199, 99);
        view->Draw();
        return view.get();
    }
    // Zoom 1, no pan: world (x, y) lands on pixel (100 + 50x, 50 - 50y).
    CanvasView* MakePlainView()
    {
        MakeView();
        view->fGraphics.fZoom = 1;
        view->fGraphics.fPanX = view->fGraphics.fPanY = 0;
        return view.get();
    }
    static QV_Point Pixel(float x, float y) { return QV_Point { int32_t(std::lround(100 + 50 * x)), int32_t(std::lround(50 - 50 * y)) }; }
    MeshLayer* AddVectorLayer()
    {
        auto* layer = new MeshLayer;
        doc.AddLayer(layer);
        doc.SetSelLayer(layer);
        return layer;
    }

    VornDoc doc;
    std::unique_ptr<CanvasView> view;
};

// ---- Mouse road ----

// Tools written at test time into a scripts folder of their own; each logs its callbacks.
class MouseRoad : public CanvasTest {
protected:
    void SetUp() override
    {
        CanvasTest::SetUp();
        std::filesystem::create_directories(folder.File("tool"));
        WriteTool("Logger", false);
        WriteTool("Hover", true);
        std::ofstream(folder.File("tool/_tool_list.txt")) << "tool Logger L\ntool Hover H\n";
        registry = std::make_unique<ScriptRegistry>(&settings, OpenVornModule);
        registry->fScriptsFolder = folder.Path().c_str();
        registry->LoadScripts();
        ASSERT_EQ(registry->CountTools(), 2);
    }
    void TearDown() override
    {
        view.reset();
        registry.reset();
        CanvasTest::TearDown();
    }
    void WriteTool(const std::string& name, bool hover)
    {
        std::ofstream script(folder.File("tool/" + name + ".lua"));
        script << name << " = {} ScriptName = '" << name << "'\n"
               << "local function put(text) local f = io.open('" << folder.File("log.txt") << "', 'a') f:write(text, '\\n') f:close() end\n"
               << "function " << name << ":NonDragMouseMove() return " << (hover ? "true" : "false") << " end\n"
               << "function " << name << ":OnMouseDown(si, ev)\n"
               << "  put(string.format('down %d %d %s %.3f %.3f', ev.pt.x, ev.pt.y, tostring(ev.startPt.x == ev.pt.x and "
                  "ev.startPt.y == ev.pt.y and ev.startVec.x == ev.vec.x and ev.startVec.y == ev.vec.y), ev.vec.x, ev.vec.y))\n"
               << "end\n"
               << "function " << name << ":OnMouseMoved(si, ev) put(string.format('move %d %d from %d %d', ev.pt.x, ev.pt.y, "
                  "ev.startPt.x, ev.startPt.y)) end\n"
               << "function " << name << ":OnMouseUp(si, ev) put(string.format('up %d %d %s', ev.pt.x, ev.pt.y, tostring(ev.shiftKey))) end\n";
    }
    std::vector<std::string> Log()
    {
        std::vector<std::string> lines;
        std::istringstream in(folder.Get("log.txt"));
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }

    // Holds the canvas and keeps the messages that climb from it.
    class Holder : public QV_View {
    public:
        Holder()
            : QV_View(0)
        {
        }
        void HandleMessage(QV_Message* message) override { messages.push_back(message->fWhat); }
        std::vector<int32_t> messages;
    };

    ScratchFolder folder;
    QV_Message settings;
    std::unique_ptr<ScriptRegistry> registry;
};

TEST_F(MouseRoad, ALeftDragReachesTheToolAndARightDragNavigates)
{
    AddVectorLayer();
    Holder holder;
    auto* canvas = new CanvasView(&doc, 0, false, 0, 0, 199, 99);
    holder.AddChild(canvas);
    canvas->Draw();
    canvas->fTool = registry->ToolAt(0);

    canvas->MouseDown(50, 40, 1, 0, nullptr);
    canvas->MouseMoved(60, 45, 0, nullptr);
    canvas->MouseUp(70, 50, 1, 1, nullptr);
    const QV_Vector2 vec = canvas->Point2Vec(QV_Point { 50, 40 }, nullptr);
    char down[64];
    std::snprintf(down, sizeof(down), "down 50 40 true %.3f %.3f", vec.x, vec.y);
    EXPECT_EQ(Log(), (std::vector<std::string> { down, "move 60 45 from 50 40", "up 70 50 true" }));
    EXPECT_EQ(holder.messages, (std::vector<int32_t> { 1002, 1000 }));
    EXPECT_FALSE(canvas->fToolDrag);

    // Right drags pan, with Shift zoom, with Control rotate: the tool sees none of them.
    const float panX = canvas->fGraphics.fPanX;
    canvas->MouseDown(50, 40, 2, 0, nullptr);
    EXPECT_TRUE(canvas->fPanDrag);
    canvas->MouseMoved(70, 40, 0, nullptr);
    canvas->MouseUp(70, 40, 2, 0, nullptr);
    EXPECT_NEAR(canvas->fGraphics.fPanX - panX, 20 / (50 * canvas->fGraphics.fZoom), 1e-4);
    canvas->MouseDown(50, 40, 2, 1, nullptr);
    EXPECT_TRUE(canvas->fZoomDrag);
    canvas->MouseUp(50, 40, 2, 1, nullptr);
    canvas->MouseDown(50, 40, 2, 2, nullptr);
    EXPECT_TRUE(canvas->fRotateDrag);
    canvas->MouseUp(50, 40, 2, 2, nullptr);
    EXPECT_FALSE(canvas->fPanDrag || canvas->fZoomDrag || canvas->fRotateDrag);
    EXPECT_EQ(Log().size(), 3u);
    EXPECT_EQ(holder.messages.size(), 2u);

    // Moves without a drag reach only a tool that asks for them, with the last press kept.
    canvas->MouseMoved(30, 30, 0, nullptr);
    EXPECT_EQ(Log().size(), 3u);
    canvas->fTool = registry->ToolAt(1);
    canvas->MouseMoved(30, 30, 0, nullptr);
    EXPECT_EQ(Log().back(), "move 30 30 from 50 40");

    // Without a tool a press still starts a drag and the release ends it, with nothing posted.
    canvas->fTool = nullptr;
    canvas->MouseDown(10, 10, 1, 0, nullptr);
    EXPECT_TRUE(canvas->fToolDrag);
    canvas->MouseUp(10, 10, 1, 0, nullptr);
    EXPECT_FALSE(canvas->fToolDrag);
    EXPECT_EQ(holder.messages.size(), 2u);
}

// In the main layer the canvas takes the layer's tool, and a held space key navigates.
TEST_F(MouseRoad, TheMainLayersToolAndSpaceKey)
{
    AddVectorLayer();
    gShellHooks.makeCanvasView = MakeCanvasView;
    MainLayer layer(nullptr, 0, 0, 999, 699);
    layer.SetDocument(&doc);
    gShellHooks.makeCanvasView = nullptr;
    auto* canvas = dynamic_cast<CanvasView*>(layer.fCurrentView);
    ASSERT_NE(canvas, nullptr);
    canvas->Draw();
    layer.fCurrentTool = registry->ToolAt(0);

    layer.fSpaceHeld = true;
    canvas->MouseDown(40, 40, 1, 0, nullptr);
    EXPECT_TRUE(canvas->fPanDrag);
    canvas->MouseMoved(90, 40, 0, nullptr);
    canvas->MouseUp(90, 40, 1, 0, nullptr);
    EXPECT_TRUE(Log().empty());
    EXPECT_GT(canvas->fGraphics.fPanX, 0.01f);

    // View > Reset fits the frame again.
    QV_Message reset(3180);
    layer.HandleMessage(&reset);
    EXPECT_FLOAT_EQ(canvas->fGraphics.fPanX, 0);

    layer.fSpaceHeld = false;
    canvas->MouseDown(40, 40, 1, 0, nullptr);
    canvas->MouseUp(40, 40, 1, 0, nullptr);
    ASSERT_EQ(Log().size(), 2u);
    EXPECT_EQ(Log()[0].substr(0, 11), "down 40 40 ");
}

// ---- Navigation ----

TEST_F(CanvasTest, ResetViewFitsPointsSelectionOrFrame)
{
    MeshLayer* layer = AddVectorLayer();
    MakeView();
    // Fit of the frame: aspect 2 over a view of aspect 2.
    EXPECT_FLOAT_EQ(view->fGraphics.fZoom, 0.9f);
    M_Mesh& mesh = *layer->Mesh();
    // Fewer than two points: the frame.
    view->ResetView(0);
    EXPECT_FLOAT_EQ(view->fGraphics.fZoom, 0.9f);
    AddCurve(mesh, { { 0, 0 }, { 0.5f, 0.25f }, { 1, -0.25f } });
    ASSERT_EQ(mesh.GetNumPoints(), 3);

    struct Case {
        int32_t mode;
        std::vector<int32_t> selected;
        float panX, panY, zoom;
    };
    const Case cases[] = {
        { 0, {}, -0.5f, 0, 0.9f * 2 / 0.5f }, // all points: box 1 x 0.5
        { 1, { 0, 1 }, -0.25f, -0.125f, 0.9f * 8 }, // the selected two: box 0.5 x 0.25
        { 1, { 1 }, -0.5f, 0, 0.9f * 2 / 0.5f }, // one selected: all points
        { 2, { 0, 1 }, 0, 0, 0.9f }, // the frame
    };
    for (const Case& c : cases) {
        for (int32_t i = 0; i < mesh.GetNumPoints(); i++)
            mesh.GetPoint(i)->fSelected = false;
        for (int32_t i : c.selected)
            mesh.GetPoint(i)->fSelected = true;
        view->fGraphics.fRotation = 1;
        view->ResetView(c.mode);
        EXPECT_NEAR(view->fGraphics.fPanX, c.panX, 1e-4) << c.mode;
        EXPECT_NEAR(view->fGraphics.fPanY, c.panY, 1e-4) << c.mode;
        EXPECT_NEAR(view->fGraphics.fZoom, c.zoom, 1e-3) << c.mode;
        EXPECT_EQ(view->fGraphics.fRotation, 0);
    }
}

TEST_F(CanvasTest, ZoomStaysBetweenItsBounds)
{
    MakeView();
    view->MouseWheel(1, 0, 0, 0, nullptr);
    EXPECT_FLOAT_EQ(view->fGraphics.fZoom, 0.9f * 0.8f);
    view->MouseWheel(-1, 0, 0, 0, nullptr);
    EXPECT_FLOAT_EQ(view->fGraphics.fZoom, 0.9f * 0.8f * 1.2f);
    view->MouseWheel(5, 0, 0, 0, nullptr);
    EXPECT_FLOAT_EQ(view->fGraphics.fZoom, 0.01f);
    // A wheel held towards the user stops at the top, and points stay finite.
    for (int i = 0; i < 200; i++)
        view->MouseWheel(-3, 0, 0, 0, nullptr);
    EXPECT_FLOAT_EQ(view->fGraphics.fZoom, 10000.0f);
    const QV_Vector2 v = view->Point2Vec(QV_Point { 3, 4 }, nullptr);
    EXPECT_TRUE(std::isfinite(v.x) && std::isfinite(v.y));

    // The live zoom drag: right zooms in three times the width, and stops at the top too.
    gPrefs.zoomBox = false;
    view->fGraphics.fZoom = 1;
    view->MouseDown(100, 50, 2, 1, nullptr);
    view->MouseMoved(200, 50, 1, nullptr);
    EXPECT_FLOAT_EQ(view->fGraphics.fZoom, 2.5f);
    view->MouseMoved(0, 50, 1, nullptr);
    EXPECT_FLOAT_EQ(view->fGraphics.fZoom, 0.25f);
    view->MouseUp(0, 50, 2, 1, nullptr);
    view->fGraphics.fZoom = 9000;
    view->ZoomDown(QV_Point { 0, 0 });
    view->ZoomMoved(QV_Point { 199, 0 });
    EXPECT_FLOAT_EQ(view->fGraphics.fZoom, 10000.0f);

    // A zoom-box click without movement gives the closest look; a box fills the view height.
    gPrefs.zoomBox = true;
    view->fGraphics.fZoom = 1;
    view->MouseDown(120, 30, 2, 1, nullptr);
    view->MouseUp(120, 30, 2, 1, nullptr);
    EXPECT_FLOAT_EQ(view->fGraphics.fZoom, 10000.0f);
    view->fGraphics.fZoom = 1;
    view->fGraphics.fPanX = view->fGraphics.fPanY = 0;
    view->MouseDown(100, 50, 2, 1, nullptr);
    view->MouseMoved(130, 90, 1, nullptr);
    view->MouseUp(150, 99, 2, 1, nullptr);
    EXPECT_NEAR(view->fGraphics.fZoom, 2.0f, 1e-4); // the diagonal is 1 world unit
    EXPECT_NEAR(view->fGraphics.fPanX, -0.3f, 1e-4);
    EXPECT_NEAR(view->fGraphics.fPanY, 0.4f, 1e-4);
}

TEST_F(CanvasTest, ShiftSnapsRotationWhileTheSumGrows)
{
    MakePlainView();
    auto at = [](float degrees) {
        const float a = degrees * kPi / 180;
        return QV_Point { int32_t(std::lround(100 + 40 * std::cos(a))), int32_t(std::lround(50 - 40 * std::sin(a))) };
    };
    view->MouseDown(at(0).x, at(0).y, 2, 2, nullptr);
    float previous = 0;
    const float expected[] = { 0, kPi / 4, kPi / 4, kPi / 4, kPi / 4, kPi / 2 };
    for (int step = 1; step <= 6; step++) {
        const QV_Point p = at(float(step) * 12);
        view->MouseMoved(p.x, p.y, 3, nullptr);
        EXPECT_NEAR(view->fDragBaseAngle, float(step) * 12 * kPi / 180, 0.03f);
        EXPECT_GT(view->fDragBaseAngle, previous);
        previous = view->fDragBaseAngle;
        EXPECT_NEAR(view->fGraphics.fRotation, expected[step - 1], 1e-5) << step;
    }
    // Without Shift the rotation follows the sum.
    const QV_Point p = at(80);
    view->MouseMoved(p.x, p.y, 2, nullptr);
    EXPECT_NEAR(view->fGraphics.fRotation, 80 * kPi / 180, 0.03f);
    view->MouseUp(p.x, p.y, 2, 2, nullptr);
}

TEST_F(CanvasTest, OrbitPitchStopsShortOfAQuarterTurn)
{
    doc.fAllow3D = true;
    AddVectorLayer();
    MakeView();
    view->OrbitDown(QV_Point { 100, 50 });
    ASSERT_TRUE(doc.IsOutsideViewEnabled());
    EXPECT_FLOAT_EQ(view->fGraphics.fZoom, 1);
    view->fModifiers = 0;
    view->OrbitMoved(QV_Point { 100, 100000 });
    EXPECT_FLOAT_EQ(doc.fOutsidePitch[doc.fViewSlot], -1.5607964f);
    view->OrbitMoved(QV_Point { 1000, -100000 });
    EXPECT_FLOAT_EQ(doc.fOutsidePitch[doc.fViewSlot], 1.5607964f);
    // The yaw is not wrapped.
    EXPECT_LT(doc.fOutsideYaw[doc.fViewSlot], -2 * kPi);
    // Alt drags the distance: up moves away.
    const float distance = doc.fOutsideDistance[doc.fViewSlot];
    view->fModifiers = 4;
    view->OrbitMoved(QV_Point { 100, 0 });
    EXPECT_NEAR(doc.fOutsideDistance[doc.fViewSlot], distance * 1.5f, 1e-4);
    // A flat document has no outside view to orbit.
    doc.fAllow3D = false;
    view->ResetView(2);
    view->OrbitDown(QV_Point { 100, 50 });
    EXPECT_FALSE(doc.IsOutsideViewEnabled());
}

TEST_F(CanvasTest, Point2VecThroughATranslatedRotatedLayer)
{
    MeshLayer* layer = AddVectorLayer();
    layer->fTranslation.SetValue(0, QV_Vector3 { 0.5f, 0, 0 });
    layer->fRotationZ.SetValue(0, kPi / 2);
    layer->SetCurFrame(0);
    MakePlainView();
    // Layer (u, v) turns a quarter and moves right: it reaches the view at (0.5 - v, u).
    const QV_Vector2 flat = view->Point2Vec(Pixel(0.5f, 0.2f), nullptr);
    EXPECT_NEAR(flat.x, 0.2f, 1e-4);
    EXPECT_NEAR(flat.y, 0, 1e-4);
    // A given transform wins over the layer's.
    QV_Matrix shift;
    shift.Translate(0.1f, 0, 0);
    const QV_Vector2 given = view->Point2Vec(Pixel(0.5f, 0.2f), &shift);
    EXPECT_NEAR(given.x, 0.4f, 1e-4);
    EXPECT_NEAR(given.y, 0.2f, 1e-4);

    // In 3D the view ray meets the tilted layer's plane where the projective inverse says.
    doc.fAllow3D = true;
    layer->fRotationX.SetValue(0, 0.6f);
    layer->fTranslation.SetValue(0, QV_Vector3 { 0.5f, 0, -0.5f });
    layer->SetCurFrame(0);
    QV_Matrix m;
    layer->GetFullTransform(0, m, &doc);
    for (const QV_Point& p : { Pixel(0.5f, 0.2f), Pixel(-0.3f, -0.4f), Pixel(0.9f, 0.7f) }) {
        const QV_Vector2 world = view->ScreenToWorld(p);
        const QV_Vector2 expected = HeadlessView::UnprojectToLayer(m, world.x, world.y);
        const QV_Vector2 got = view->Point2Vec(p, nullptr);
        EXPECT_NEAR(got.x, expected.x, 2e-3);
        EXPECT_NEAR(got.y, expected.y, 2e-3);
    }
}

// ---- Passes ----

struct Drawn {
    std::string name;
    int32_t code;
    int32_t frame;
    VornLayer* current;
    bool operator==(const Drawn&) const = default;
};

template <class Base>
class Recording : public Base {
public:
    Recording(const char* name, std::vector<Drawn>* log)
        : fLog(log)
    {
        this->SetName(name);
    }
    void Draw(VornDoc* doc, XGraphics*, QV_PixelBuffer*, int32_t& drawMode, VornLayer* current, RenderSettings*) override
    {
        fLog->push_back(Drawn { this->Name().CString(), drawMode, doc->CurFrame(), current });
    }
    std::vector<Drawn>* fLog;
};

TEST_F(CanvasTest, PassesFollowTheCurrentLayer)
{
    std::vector<Drawn> log;
    auto* below = new Recording<VornLayer>("below", &log);
    auto* group = new Recording<GroupLayer>("group", &log);
    auto* inner = new Recording<VornLayer>("inner", &log);
    auto* above = new Recording<VornLayer>("above", &log);
    auto* hidden = new Recording<VornLayer>("renderOnly", &log);
    hidden->SetRenderOnly(true);
    doc.AddLayer(below);
    doc.AddLayer(group);
    group->AddLayer(inner);
    doc.AddLayer(above);
    doc.AddLayer(hidden);
    doc.DepthSort();
    doc.SetSelLayer(inner);
    MakeView();

    // The current layer inside a group: all below, the group again in the edit pass.
    log.clear();
    view->DrawMe();
    EXPECT_EQ(log, (std::vector<Drawn> { { "below", 0, 0, inner }, { "group", 0, 0, inner }, { "above", 0, 0, inner },
                       { "group", 2, 0, inner } }));

    // A top-level current layer: below, current, above; a render-only layer only as current.
    doc.SetSelLayer(above);
    log.clear();
    view->DrawMe();
    EXPECT_EQ(log, (std::vector<Drawn> { { "below", 0, 0, above }, { "group", 0, 0, above }, { "above", 1, 0, above },
                       { "above", 2, 0, above } }));
    doc.SetSelLayer(hidden);
    log.clear();
    view->DrawMe();
    EXPECT_EQ(log.back(), (Drawn { "renderOnly", 2, 0, hidden }));
    EXPECT_EQ(log[3], (Drawn { "renderOnly", 1, 0, hidden }));

    // Onion skins: entries at the frame or negative are skipped; the frame comes back.
    doc.SetSelLayer(below);
    doc.SetCurFrame(3);
    OnionSkinFrames[0] = 3;
    OnionSkinFrames[1] = 5;
    OnionSkinFrames[2] = -1;
    OnionSkinFrames[3] = 0;
    log.clear();
    view->DrawMe();
    std::vector<Drawn> onion;
    for (const Drawn& d : log) {
        if (d.code == 8)
            onion.push_back(d);
    }
    EXPECT_EQ(onion, (std::vector<Drawn> { { "below", 8, 5, below }, { "group", 8, 5, below }, { "above", 8, 5, below },
                         { "below", 8, 0, below }, { "group", 8, 0, below }, { "above", 8, 0, below } }));
    EXPECT_EQ(doc.CurFrame(), 3);
    // None with the bone manipulator at frame 0.
    doc.SetCurFrame(0);
    doc.fCurrentTool = "QV_ManipulateBones";
    log.clear();
    view->DrawMe();
    for (const Drawn& d : log)
        EXPECT_NE(d.code, 8) << d.name;
}

TEST_F(CanvasTest, FrameGuidesOrTheCameraIcon)
{
    gPrefs.markZero = true;
    MakeView();
    auto guides = [this] {
        int32_t n = 0;
        for (int32_t y = 0; y < 100; y++) {
            for (int32_t x = 0; x < 200; x++) {
                const rgb_color c = view->fGraphics.GetPixel(x, y);
                n += c.r == 152 && c.g == 152 && c.b == 203;
            }
        }
        return n;
    };
    // A document without layers: background, the frame at +-aspect, +-1 and the red frame-0 border.
    const rgb_color top = view->fGraphics.GetPixel(100, 5);
    EXPECT_EQ((std::vector<int> { top.r, top.g, top.b }), (std::vector<int> { 152, 152, 203 }));
    const rgb_color corner = view->fGraphics.GetPixel(0, 0);
    EXPECT_EQ((std::vector<int> { corner.r, corner.g, corner.b }), (std::vector<int> { 220, 64, 64 }));
    const rgb_color inside = view->fGraphics.GetPixel(100, 50);
    EXPECT_EQ((std::vector<int> { inside.r, inside.g, inside.b }), (std::vector<int> { 215, 214, 197 }));
    EXPECT_GT(guides(), 500);

    // The outside view: no frame, the small camera icon instead.
    doc.fAllow3D = true;
    doc.SetCurrentView(view.get());
    doc.EnableOutsideView(true);
    view->DrawMe();
    const rgb_color after = view->fGraphics.GetPixel(100, 5);
    EXPECT_NE(after.b, 203);
    EXPECT_GT(guides(), 0);
    EXPECT_LT(guides(), 500);
}

// The picture reaches the layer's image at the window's depth, under the view's frame.
TEST_F(CanvasTest, RefreshCopiesIntoTheLayersImageAtItsDepth)
{
    for (int32_t depth : { 32, 16, 15 }) {
        QV_Layer layer(0);
        ASSERT_EQ(layer.fImage.Create(260, 130, depth), 0);
        auto* canvas = new CanvasView(&doc, 0, false, 30, 20, 229, 119);
        layer.AddView(canvas);
        canvas->Draw();
        // The top frame guide at the view's (100, 5), in the layer at (130, 25).
        QV_Graphics reader;
        ASSERT_EQ(reader.SetRaster(&layer.fImage.buffer), 0);
        const rgb_color c = reader.GetPixel(130, 25);
        EXPECT_NEAR(c.r, 152, 8) << depth;
        EXPECT_NEAR(c.g, 152, 8) << depth;
        EXPECT_NEAR(c.b, 203, 8) << depth;
        const rgb_color outside = reader.GetPixel(10, 10);
        EXPECT_EQ(outside.r + outside.g + outside.b, 0) << depth;
    }
}

// ---- Picking ----

TEST_F(CanvasTest, PickPointsAndShapes)
{
    MeshLayer* layer = AddVectorLayer();
    M_Mesh& mesh = *layer->Mesh();
    AddCurve(mesh, { { 0, 0 }, { 0.02f, 0 } });
    const rgb_color red { 255, 0, 0, 255 };
    for (float x0 : { -0.6f, -0.2f }) {
        const int32_t c = AddCurve(mesh, { { x0, -0.3f }, { x0 + 0.6f, -0.3f }, { x0 + 0.6f, 0.3f }, { x0, 0.3f } }, true);
        for (int32_t i = 0; i < 4; i++)
            mesh.GetCurve(c)->SetCurvature(i, 0, 0);
        const int32_t s = AddShape(mesh, { { c, 0 }, { c, 1 }, { c, 2 }, { c, 3 } });
        DefineOwnStyle(mesh.GetShape(s)->fMyStyle, red, red, 0);
    }
    MakePlainView();
    // Two points under the pointer: the lower index.
    EXPECT_EQ(view->PickPoint(Pixel(0.01f, 0), 3), 0);
    EXPECT_EQ(view->PickPoint(Pixel(0.5f, 0.8f), 3), -1);

    struct Case {
        float x, y;
        int32_t limit, shape;
    };
    const Case cases[] = {
        { 0, 0, -1, 1 }, // both: the higher index
        { 0, 0, 0, 0 }, // limit 0: only shape 0
        { 0.3f, 0, 0, -1 },
        { 0.3f, 0, 1, 1 }, // a limit at count - 1: all
        { -0.5f, 0, 5, 0 },
        { 0.8f, 0.6f, -1, -1 },
    };
    for (const Case& c : cases)
        EXPECT_EQ(view->PickShape(Pixel(c.x, c.y), c.limit, 2), c.shape) << c.x << " " << c.limit;
    // The shapes keep their looks.
    EXPECT_EQ(mesh.GetShape(0)->fMyStyle.fFillCol.value.g, 0);
    EXPECT_EQ(view->PickGlobalShape(Pixel(0, 0), -1, 2), mesh.GetShape(1));
}

TEST_F(CanvasTest, PickEdgeSkipsWhatItIsGiven)
{
    MeshLayer* layer = AddVectorLayer();
    M_Mesh& mesh = *layer->Mesh();
    // Two curves crossing at the origin.
    AddCurve(mesh, { { -0.5f, 0 }, { 0.5f, 0 } });
    AddCurve(mesh, { { 0, -0.5f }, { 0, 0.5f } });
    MakePlainView();
    struct Case {
        int32_t curveIn, segmentIn, curve, segment;
    };
    const Case cases[] = { { -1, -1, 0, 0 }, { 0, -1, 1, 0 }, { 0, 0, 1, 0 }, { 1, -1, 0, 0 } };
    for (const Case& c : cases) {
        int32_t curve = c.curveIn, segment = c.segmentIn;
        view->PickEdge(Pixel(0, 0), curve, segment, 2);
        EXPECT_EQ(curve, c.curve) << c.curveIn;
        EXPECT_EQ(segment, c.segment) << c.curveIn;
    }
    int32_t curve = -1, segment = -1;
    view->PickEdge(Pixel(0.8f, 0.8f), curve, segment, 2);
    EXPECT_EQ(curve, -1);
    EXPECT_EQ(segment, -1);
}

TEST_F(CanvasTest, PickBoneHitsOrFindsTheNearest)
{
    auto* bones = new BoneLayer;
    doc.AddLayer(bones);
    MakePlainView();
    EXPECT_EQ(view->PickBone(Pixel(0, 0), QV_Vector2 { 0, 0 }, bones, false, 3), -1);
    M_Skeleton& skeleton = *bones->Skeleton();
    for (float y : { 0.5f, -0.5f }) {
        M_Bone* bone = skeleton.AddBone(0);
        bone->fParent = -1;
        bone->fLength = 0.6f;
        bone->fAnimPos.SetValue(0, QV_Vector2 { -0.3f, y });
        bone->fPos = QV_Vector2 { -0.3f, y };
        bone->fAnimAngle.SetValue(0, 0);
        bone->fAngle = 0;
    }
    skeleton.UpdateBoneMatrix(-1);
    EXPECT_EQ(view->PickBone(Pixel(0, -0.5f), QV_Vector2 { 0, -0.5f }, bones, true, 3), 1);
    EXPECT_EQ(view->PickBone(Pixel(0, 0.9f), QV_Vector2 { 0, 0.9f }, bones, true, 3), -1);
    EXPECT_EQ(view->PickBone(Pixel(0, 0.9f), QV_Vector2 { 0, 0.9f }, bones, false, 3), 0);
    EXPECT_EQ(view->PickBone(Pixel(0, -0.9f), QV_Vector2 { 0.9f, -0.9f }, bones, false, 3), 1);
    EXPECT_EQ(view->PickBone(Pixel(0, 0), QV_Vector2 { 0, 0 }, nullptr, false, 3), -1);
}

TEST_F(CanvasTest, FloodSelectOnAClosingSegmentSelectsItsLastPoint)
{
    MeshLayer* layer = AddVectorLayer();
    M_Mesh& mesh = *layer->Mesh();
    // A closed curve whose closing segment (point 3 to point 0) is the left wall of a pocket
    // that an open curve closes on the other three sides.
    const int32_t a = AddCurve(mesh, { { 0, -0.5f }, { -0.8f, -0.5f }, { -0.8f, 0.5f }, { 0, 0.5f } }, true);
    const int32_t b = AddCurve(mesh, { { 0, 0.5f }, { 0.5f, 0.5f }, { 0.5f, -0.5f }, { 0, -0.5f } });
    for (int32_t c : { a, b }) {
        for (int32_t i = 0; i < 4; i++)
            mesh.GetCurve(c)->SetCurvature(i, 0, 0);
    }
    MakePlainView();
    view->FloodSelect(Pixel(0.25f, 0), 3);
    std::vector<bool> selected;
    for (int32_t i = 0; i < 4; i++)
        selected.push_back(mesh.GetCurve(a)->GetPoint(i)->fSelected);
    EXPECT_EQ(selected, (std::vector<bool> { false, false, false, true }));
    // Off the view: the selection is only cleared.
    view->FloodSelect(QV_Point { -5, 50 }, 3);
    for (int32_t i = 0; i < mesh.GetNumPoints(); i++)
        EXPECT_FALSE(mesh.GetPoint(i)->fSelected);
}

} // namespace
