// The canvas view, the event records and the drawing context as tool scripts use them, on a
// view without a window that remembers what it was asked.
#include <string>

#include "registry_test_support.h"
#include "tolua++.h"

#include "qv_baseimage.h"
#include "qv_keys.h"
#include "script_events.h"
#include "vorn_view.h"
#include "xgraphics.h"

namespace {

class FakeView : public VornView {
public:
    FakeView()
    {
        image.Allocate(64, 48, 32);
        graphics.SetRaster(&image.buffer);
    }
    XGraphics* Graphics() override { return &graphics; }
    void DrawMe() override { draws++; }
    void PickEdge(const QV_Point& pt, int32_t& curve, int32_t& segment, int32_t tolerance) override
    {
        asked = pt;
        lastTolerance = tolerance;
        curve += 10;
        segment += 20;
    }
    int32_t PickShape(const QV_Point& pt, int32_t start, int32_t tolerance) override
    {
        asked = pt;
        lastTolerance = tolerance;
        return start;
    }

    QV_BaseImage image;
    XGraphics graphics;
    QV_Point asked;
    int32_t lastTolerance = 0;
    int draws = 0;
};

class ScriptView : public RegistryTest {
protected:
    // Runs the chunk with the records as globals; "" or the error text.
    std::string Run(const std::string& code)
    {
        lua_State* state = Registry().fState;
        tolua_pushusertype(state, &view, "VornView");
        lua_setglobal(state, "view");
        tolua_pushusertype(state, &mouse, "MouseEvent");
        lua_setglobal(state, "ev");
        tolua_pushusertype(state, &key, "KeyEvent");
        lua_setglobal(state, "kev");
        tolua_pushusertype(state, view.Graphics(), "XGraphics");
        lua_setglobal(state, "g");
        return RunChunk(code);
    }

    rgb_color Pixel(int32_t x, int32_t y) { return view.graphics.GetPixel(x, y); }

    FakeView view;
    MouseEvent mouse { &view };
    KeyEvent key;
};

TEST_F(ScriptView, EventFieldsAreTheRecordsOwnAndAssignmentCopies)
{
    mouse.vec = QV_Vector2 { 1, 2 };
    ASSERT_EQ(Run("ev.vec.x = 5 ev.pt.y = 7\n"
                  "Mine = QV.Vector2:new() Mine.x = 3 Mine.y = 4 ev.startVec = Mine Mine.x = 9\n"
                  "ev.shiftKey = true ev.penPressure = 0.3\n"
                  "Same = tostring(ev.view == view)"),
        "");
    EXPECT_FLOAT_EQ(mouse.vec.x, 5);
    EXPECT_EQ(mouse.pt.y, 7);
    EXPECT_FLOAT_EQ(mouse.startVec.x, 3);
    EXPECT_TRUE(mouse.shiftKey);
    EXPECT_FLOAT_EQ(mouse.penPressure, 0.3f);
    EXPECT_EQ(Global("Same"), "true");
    // A point field holds a value: nil cannot be stored in it.
    EXPECT_NE(Run("ev.pt = nil").find("invalid type"), std::string::npos);

    // The key text is the record's own copy; nil leaves none.
    key.Fill(&view, 'a', 1);
    ASSERT_EQ(Run("Typed = kev.key .. kev.keyCode .. tostring(kev.shiftKey)\n"
                  "local text = 'x' .. 'yz' kev.key = text text = nil collectgarbage()"),
        "");
    EXPECT_EQ(Global("Typed"), "a97true");
    EXPECT_STREQ(key.key, "xyz");
    ASSERT_EQ(Run("kev.key = nil Cleared = tostring(kev.key)"), "");
    EXPECT_EQ(Global("Cleared"), "nil");
    EXPECT_EQ(key.key, nullptr);
    key.Fill(&view, KEY_RETURN, 0);
    EXPECT_EQ(key.keyCode, KEY_RETURN);
}

TEST_F(ScriptView, PicksAnswerTheirValuesAndRefuseMissingArguments)
{
    ASSERT_EQ(Run("local pt = QV.Point:new() pt.x = 4 pt.y = 6\n"
                  "Edge = table.concat({ view:PickEdge(pt, 1, 2) }, ' ')\n"
                  "Shape = view:PickShape(pt) .. ' ' .. view:PickShape(pt, 3, 7)\n"
                  "Point = view:PickPoint(pt) Vec = view:Point2Vec(pt, nil).x\n"
                  "Global = tostring(view:PickGlobalShape(pt)) Bone = view:PickBone(pt, QV.Vector2:new(), nil, true)"),
        "");
    EXPECT_EQ(Global("Edge"), "11 22");
    EXPECT_EQ(Global("Shape"), "-1 3");
    EXPECT_EQ(view.lastTolerance, 7);
    EXPECT_EQ(view.asked.x, 4);
    EXPECT_EQ(Global("Point"), "-1");
    EXPECT_EQ(Global("Vec"), "0");
    EXPECT_EQ(Global("Global"), "nil");
    EXPECT_EQ(Global("Bone"), "-1");

    const char* const kRefused[][2] = {
        { "view:PickEdge(QV.Point:new())", "PickEdge" },
        { "view:PickShape(QV.Point:new(), nil)", "PickShape" },
        { "view:FloodSelect(QV.Point:new())", "FloodSelect" },
        { "view:PickPoint(nil)", "PickPoint" },
        { "view:PanDown(nil)", "PanDown" },
    };
    for (const auto& [code, function] : kRefused) {
        const std::string error = Run(code);
        EXPECT_NE(error.find(std::string("in function '") + function + "'"), std::string::npos) << code << ": " << error;
    }
}

TEST_F(ScriptView, DragStartsTakeTheContextsPanAndAngleAndEndsRedraw)
{
    view.graphics.fPanX = 0.25f;
    view.graphics.fPanY = -0.5f;
    view.graphics.fRotation = 1.5f;
    ASSERT_EQ(Run("local pt = QV.Point:new() pt.x = 10 pt.y = 20\n"
                  "view:PanDown(pt) view:RotateDown(pt)\n"
                  "local far = QV.Point:new() far.x = 500 view:PanUp(far) view:RotateUp(far) view:OrbitUp(nil)\n"
                  "W = view:Graphics():Width()"),
        "");
    EXPECT_EQ(view.fDragStart.x, 10);
    EXPECT_EQ(view.fDragCurrent.y, 20);
    EXPECT_FLOAT_EQ(view.fDragBasePanX, 0.25f);
    EXPECT_FLOAT_EQ(view.fDragBasePanY, -0.5f);
    EXPECT_FLOAT_EQ(view.fDragBaseAngle, 1.5f);
    EXPECT_EQ(view.draws, 3);
    EXPECT_FLOAT_EQ(view.graphics.fPanX, 0.25f);
    EXPECT_EQ(Global("W"), "64");
}

TEST_F(ScriptView, DrawingTruncatesColoursAndPenPositions)
{
    view.graphics.BeginDraw();
    ASSERT_EQ(Run("g:Clear(255, 255, 255) g:SetColor(256, 0, 0, 255) g:DrawMarker(5, 5)\n"
                  "g:SetColor(-1, 0, 0) g:MoveTo(10.7, 20.2) g:LineTo(30.9, 40.5)"),
        "");
    const rgb_color black = Pixel(3, 3);
    EXPECT_TRUE(SameColor(black, rgb_color { 0, 0, 0, 255 }));
    for (const QV_Point p : { QV_Point { 10, 20 }, QV_Point { 20, 30 }, QV_Point { 30, 40 } })
        EXPECT_TRUE(SameColor(Pixel(p.x, p.y), rgb_color { 255, 0, 0, 255 })) << p.x << "," << p.y;
    EXPECT_TRUE(SameColor(Pixel(31, 41), rgb_color { 255, 255, 255, 255 }));

    // A flood fill outside the raster changes nothing.
    ASSERT_EQ(Run("Outside = tostring(g:FloodFill(-1, 0)) .. tostring(g:FloodFill(64, 0))"), "");
    EXPECT_EQ(Global("Outside"), "falsefalse");
}

TEST_F(ScriptView, MatrixStackAndProjections)
{
    view.graphics.fViewMode = 0;
    view.graphics.BeginDraw();
    ASSERT_EQ(Run("for i = 1, 40 do g:Push() end g:Translate(3, 0)\n"
                  "local m = g:CurrentTransform() m:Translate(99, 0, 0)\n"
                  "local v = QV.Vector2:new() g:CurrentTransform():Transform(v) Tx = v.x\n"
                  "for i = 1, 40 do g:Pop() end"),
        "");
    EXPECT_EQ(view.graphics.fMatrixDepth, 0);
    EXPECT_EQ(Global("Tx"), "3");
    view.graphics.BeginDraw();
    for (int i = 0; i < 32; i++)
        view.graphics.Push();
    EXPECT_EQ(view.graphics.fMatrixDepth, 31);

    // A point behind the view: w <= 0.
    view.graphics.BeginDraw();
    QV_Matrix behind;
    behind.m[15] = -1;
    view.graphics.ApplyMatrix(behind);
    ASSERT_EQ(Run("local v = QV.Vector2:new() local p = QV.Point:new() local q = QV.Vector2:new()\n"
                  "Seen = string.format('%s %d %d %s %g %g', tostring(g:WorldToScreen(v, p)), p.x, p.y,"
                  " tostring(g:WorldToScreen(v, q)), q.x, q.y)"),
        "");
    EXPECT_EQ(Global("Seen"), "false -10 -10 false -2 1.1");
}

TEST_F(ScriptView, UnusableSettingsAndEarlyPicksAreHarmless)
{
    ASSERT_EQ(Run("g:SetPenWidth(0) g:SetBezierTolerance(-3) Early = tostring(g:Pick())\n"
                  "g:SetSmoothing(nil) g:ScreenToWorld(nil, nil) g:AddLine(nil, nil) g:ApplyMatrix(nil)"),
        "");
    EXPECT_EQ(view.graphics.fPenWidth, 1);
    EXPECT_FLOAT_EQ(view.graphics.fBezierTolerance, 0.01f);
    EXPECT_EQ(Global("Early"), "false");
    EXPECT_FALSE(view.graphics.fSmoothing);
    EXPECT_NE(Run("g:SetSmoothing()").find("SetSmoothing"), std::string::npos);
    EXPECT_NE(Run("g:CurrentScale()").find("CurrentScale"), std::string::npos);

    ASSERT_EQ(Run("Msg = QV.GUI.QV_Message"), "");
    QV_Message message(5);
    lua_State* state = Registry().fState;
    tolua_pushusertype(state, &message, "QV_Message");
    lua_setglobal(state, "msg");
    ASSERT_EQ(Run("msg.fWhat = -1006.9 What = msg.fWhat"), "");
    EXPECT_EQ(message.fWhat, -1006);
}

} // namespace
