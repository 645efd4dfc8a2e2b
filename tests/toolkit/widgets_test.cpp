// Base and animated widgets, layouts, buttons, boxes and texts.
#include <gtest/gtest.h>

#include "interface_colors.h"
#include "qv_base_widget.h"
#include "qv_box.h"
#include "qv_button.h"
#include "qv_dynamic_text.h"
#include "qv_layout_view.h"
#include "qv_static_text.h"
#include "widget_test_support.h"

namespace {

using WidgetsTest = WidgetTest;

// A square that paints itself a colour; it counts its frames.
class Swatch : public QV_AnimatedWidget {
public:
    Swatch()
        : QV_AnimatedWidget(FOLLOW_LEFT | FOLLOW_TOP, true, 20, true)
    {
        ResizeTo(20, 20);
    }
    void DrawWidget(QV_Graphics* graphics) override
    {
        graphics->SetColor(fRed, 0, 0);
        graphics->FillRect(5, 5, 14, 14);
    }
    void Tick(QV_Graphics*, int32_t frame, float, float) override { frames.push_back(frame); }
    uint8_t fRed = 255;
    std::vector<int32_t> frames;
};

class Sized : public QV_View {
public:
    Sized(int32_t width, int32_t height)
        : QV_View(FOLLOW_LEFT | FOLLOW_TOP)
    {
        ResizeTo(width, height);
    }
};

} // namespace

TEST_F(WidgetsTest, MetricsFollowTheWidgetFontsAscent)
{
    ASSERT_EQ(gWidgetFont->Ascent(), 11);
    EXPECT_EQ(ScaledMetric20(), 20);
    EXPECT_EQ(ScaledMetric6(), 6);
    EXPECT_EQ(ScaledMetric3(), 3);
    gWidgetFont = gLargeFonts[0];
    ASSERT_EQ(gWidgetFont->Ascent(), 13);
    EXPECT_EQ(ScaledMetric20(), 24);
    EXPECT_EQ(ScaledMetric30(), 35);
    gWidgetFont = gNormalFonts[0];
}

TEST_F(WidgetsTest, AWidgetRedrawsOverItsBackgroundCopyAndTicksWhileAttached)
{
    MakeLayer();
    auto* swatch = Place(new Swatch);
    EXPECT_TRUE(swatch->fRunning);
    EXPECT_EQ(Pixel(20, 20), 0xFF0000u);
    // The parent's pixels under the widget change, but the widget's own
    // redraw erases with the copy taken at the last full repaint.
    const uint32_t background = Pixel(11, 11);
    swatch->fRed = 0;
    swatch->Redraw(true);
    EXPECT_EQ(Pixel(20, 20), 0x000000u);
    EXPECT_EQ(Pixel(11, 11), background);
    swatch->RunFrame();
    swatch->RunFrame();
    EXPECT_EQ(swatch->frames, (std::vector<int32_t> { 0, 1 }));

    // Everything it posts, ticks included, goes to its target instead.
    CatchingLayer target(10, 10);
    swatch->fMsgTarget = &target;
    swatch->PostMessage(MSG_TICK);
    EXPECT_EQ(swatch->frames.size(), 2u);
    EXPECT_EQ(gPosted, std::vector<int32_t> { MSG_TICK });

    swatch->Detached();
    EXPECT_FALSE(swatch->fRunning);
    fLayer->RemoveView(swatch);
    // Without a window nothing starts.
    swatch->StartAnimation();
    EXPECT_FALSE(swatch->fRunning);
    delete swatch;
}

TEST_F(WidgetsTest, LayoutRowsColumnsPaddingAndGroups)
{
    QV_LayoutView row(false, 8, 8, 8);
    auto* first = new Sized(50, 20);
    row.AddChild(first);
    row.AddChild(new Sized(30, 40));
    EXPECT_EQ(row.PreferredSize().x, 104);
    EXPECT_EQ(row.PreferredSize().y, 56);
    row.Layout();
    EXPECT_EQ(first->fFrame.left, 8);
    EXPECT_EQ(first->fFrame.top, 18);

    QV_LayoutView column(true, 0, 0, 0);
    column.PushH();
    column.AddPadding(8);
    column.Pop();
    column.PushV();
    column.AddPadding(8);
    column.Pop();
    column.Indent();
    auto* indented = new Sized(10, 10);
    column.AddChild(indented, ALIGN_LEFT);
    column.Unindent();
    auto* wide = new Sized(60, 10);
    column.AddChild(wide, ALIGN_LEFT);
    auto* filled = new Sized(10, 10);
    column.AddChild(filled, ALIGN_FILL);
    column.Layout();
    const QV_Point rowPad = static_cast<QV_LayoutView*>(column.fChildren[0])->fChildren[0]->Size();
    const QV_Point columnPad = static_cast<QV_LayoutView*>(column.fChildren[1])->fChildren[0]->Size();
    EXPECT_EQ(rowPad.x, 8);
    EXPECT_EQ(rowPad.y, 1);
    EXPECT_EQ(columnPad.x, 1);
    EXPECT_EQ(columnPad.y, 8);
    EXPECT_EQ(indented->fFrame.left, 16);
    EXPECT_EQ(filled->Size().x, 60);

    // Seventeen pushes open sixteen groups; pops past the last are refused.
    QV_LayoutView deep(true, 0, 0, 0);
    int opened = 0;
    for (int i = 0; i < 17; ++i)
        opened += deep.Push(false, ALIGN_LEFT, 0, 0, 0) ? 1 : 0;
    EXPECT_EQ(opened, 16);
    for (int i = 0; i < 16; ++i)
        EXPECT_TRUE(deep.Pop());
    EXPECT_FALSE(deep.Pop());
    EXPECT_EQ(deep.fDepth, -1);
    QV_LayoutView empty(false, 0, 0, 0);
    empty.ResizeTo(33, 7);
    EXPECT_EQ(empty.PreferredSize().x, 33);
}

TEST_F(WidgetsTest, ButtonsSizeThemselvesPostOnReleaseInsideAndToggle)
{
    MakeLayer();
    const std::string thirty = TextOfWidth(gMenuFont, 30);
    const std::string sixty = TextOfWidth(gMenuFont, 60);
    ASSERT_FALSE(thirty.empty());
    ASSERT_FALSE(sixty.empty());
    EXPECT_EQ(QV_Button(thirty.c_str(), 1, 64, false, 3).Size().x, 64);
    EXPECT_EQ(QV_Button(sixty.c_str(), 1, 64, false, 3).Size().x, 76);
    EXPECT_EQ(QV_Button("OK", 1, 64, true, 3).Size().y, 24);

    auto* button = Place(new QV_Button("Go", 5, 64, false, 3), 20, 20);
    button->RouteMouseDown(5, 5, 1, 0, nullptr);
    button->RouteMouseMoved(200, 5, 0, nullptr);
    button->RouteMouseUp(200, 5, 1, 0, nullptr);
    EXPECT_TRUE(gPosted.empty());
    EXPECT_FALSE(button->fPressed);
    button->RouteMouseDown(5, 5, 1, 0, nullptr);
    button->RouteMouseUp(5, 5, 1, 0, nullptr);
    EXPECT_EQ(gPosted, std::vector<int32_t> { 5 });

    // A toggle that is on looks sunken (the darker end at the top); held, it
    // looks raised; released inside it is off and raised.
    auto* toggle = Place(new QV_Button("T", 6, 64, false, 3), 20, 60);
    toggle->fToggle = true;
    toggle->SetValue(true);
    const auto topFace = [&] { return Pixel(20 + 32, 60 + 3); };
    const uint32_t sunken = topFace();
    toggle->RouteMouseDown(5, 5, 1, 0, nullptr);
    const uint32_t held = topFace();
    EXPECT_NE(held, sunken);
    toggle->RouteMouseUp(5, 5, 1, 0, nullptr);
    EXPECT_FALSE(toggle->Value());
    EXPECT_EQ(topFace(), held);
    EXPECT_EQ(gPosted.back(), 6);

    // Disabled: no presses, no posts.
    gPosted.clear();
    button->Enable(false);
    button->RouteMouseDown(5, 5, 1, 0, nullptr);
    button->RouteMouseUp(5, 5, 1, 0, nullptr);
    EXPECT_TRUE(gPosted.empty());
    auto* shortButton = Place(new QV_ShortButton("S", 9), 20, 100);
    EXPECT_EQ(shortButton->Size().y, 20);
    shortButton->RouteMouseDown(2, 2, 1, 0, nullptr);
    shortButton->RouteMouseUp(2, 2, 1, 0, nullptr);
    EXPECT_EQ(gPosted, std::vector<int32_t> { 9 });
}

TEST_F(WidgetsTest, AButtonWhoseClickClosesItsWindowIsNotTouchedAfterwards)
{
    class ClosingLayer : public QV_Layer {
    public:
        ClosingLayer()
            : QV_Layer(FOLLOW_LEFT | FOLLOW_TOP)
        {
            ResizeTo(200, 100);
        }
        void HandleMessage(QV_Message*) override { PlatWindowDestroy(fWindow->fHwnd); }
    };
    QV_Wnd* window = MakeWindow(0, nullptr, 100, 100, 200, 100, false);
    const uint32_t id = IdOf(window);
    auto* layer = new ClosingLayer;
    auto* button = new QV_Button("Close", 1, 64, false, 3);
    layer->AddView(button);
    window->AddLayer(layer);
    button->RouteMouseDown(2, 2, 1, 0, nullptr);
    button->RouteMouseUp(2, 2, 1, 0, nullptr);
    PumpPending();
    EXPECT_FALSE(Alive(id));
}

TEST_F(WidgetsTest, BoxesTextsAndDynamicTexts)
{
    MakeLayer();
    const int32_t t = gMenuFont->Ascent();
    QV_Box lone("Title");
    const int32_t titleWidth = gMenuFont->StringWidth("Title");
    EXPECT_EQ(lone.PreferredSize().x, titleWidth + 16);
    EXPECT_EQ(lone.PreferredSize().y, t + 16);
    auto* box = new QV_Box("Group");
    auto* inner = new QV_LayoutView(true, 0, 0, 0);
    inner->AddChild(new Sized(100, 40));
    box->AddChild(inner);
    box->Layout();
    EXPECT_EQ(box->Size().x, 116);
    EXPECT_EQ(box->Size().y, 40 + t + 16);
    EXPECT_EQ(inner->fFrame.left, 8);
    EXPECT_EQ(inner->fFrame.top, t + 8);
    Place(box, 10, 10);

    auto* label = Place(new QV_StaticText("Name"), 10, 150);
    EXPECT_EQ(label->Size().x, gWidgetFont->StringWidth("Name") + 4);
    EXPECT_EQ(label->Size().y, 20);

    auto* dynamic = Place(new QV_DynamicText("x", 100, QV_DynamicText::kAlignLeft), 10, 200);
    EXPECT_EQ(dynamic->Size().x, 100);
    dynamic->SetValue(int32_t(42));
    EXPECT_STREQ(dynamic->fText.CString(), "42");
    dynamic->SetValue(3.14159f);
    EXPECT_STREQ(dynamic->fText.CString(), "3.14");
    // Disabled, the text takes the disabled colour.
    dynamic->SetValue("MMMM");
    dynamic->Enable(false);
    bool disabledColour = false;
    const uint32_t wanted = uint32_t(DisabledText.r) << 16 | uint32_t(DisabledText.g) << 8 | DisabledText.b;
    for (int32_t x = 10; x < 60; ++x) {
        for (int32_t y = 200; y < 220; ++y)
            disabledColour = disabledColour || Pixel(x, y) == wanted;
    }
    EXPECT_TRUE(disabledColour);
}
