// Scroll bars, the scrolling view and the text list.
#include <gtest/gtest.h>

#include "qv_keys.h"
#include "qv_scroll_bar.h"
#include "qv_scrolling_view.h"
#include "qv_text_list.h"
#include "widget_test_support.h"

namespace {

constexpr int32_t kBarMessage = 77;

class ScrollingTest : public WidgetTest {
protected:
    // A vertical bar 200 long at (10, 10) of a shown window.
    QV_ScrollBar* MakeBar(int32_t length = 200)
    {
        MakeLayer();
        return Place(new QV_ScrollBar(true, length, kBarMessage, FOLLOW_LEFT | FOLLOW_TOP));
    }
    int32_t TimerCount() const { return fWindow->fTimers.fCount; }
    // Runs the window's timer as its period would.
    void Tick(QV_ScrollBar* bar) { fWindow->Timer(uint32_t(bar->fTimerId)); }
};

std::vector<int32_t> Edges(QV_Rect r)
{
    return { r.left, r.top, r.right, r.bottom };
}

class Sized : public QV_View {
public:
    Sized(int32_t width, int32_t height)
        : QV_View(FOLLOW_LEFT | FOLLOW_TOP)
    {
        ResizeTo(width, height);
    }
};

} // namespace

TEST_F(ScrollingTest, BarGeometryAtThickness18)
{
    QV_ScrollBar* bar = MakeBar(200);
    ASSERT_EQ(ScrollBarThickness(), 18);
    EXPECT_EQ(Edges(bar->FirstArrowRect()), std::vector<int32_t>({ 0, 0, 17, 17 }));
    EXPECT_EQ(Edges(bar->SecondArrowRect()), std::vector<int32_t>({ 0, 182, 17, 199 }));
    QV_Rect thumb = bar->ThumbRect();
    EXPECT_EQ(Edges(thumb), std::vector<int32_t>({ 0, 18, 17, 53 }));
    bar->SetValue(100);
    thumb = bar->ThumbRect();
    EXPECT_EQ(Edges(thumb), std::vector<int32_t>({ 0, 146, 17, 181 }));
    EXPECT_EQ(thumb.bottom - thumb.top + 1, 36);
    EXPECT_EQ(bar->HitTest(5, 5), QV_ScrollBar::kFirstArrow);
    EXPECT_EQ(bar->HitTest(5, 190), QV_ScrollBar::kSecondArrow);
    EXPECT_EQ(bar->HitTest(5, 150), QV_ScrollBar::kThumb);
    EXPECT_EQ(bar->HitTest(5, 100), QV_ScrollBar::kTrackBefore);
    EXPECT_EQ(bar->HitTest(30, 100), QV_ScrollBar::kNone);
}

TEST_F(ScrollingTest, HoldingAnArrowAtTheEndKeepsPostingEvery110ms)
{
    QV_ScrollBar* bar = MakeBar();
    bar->SetValue(100);
    bar->MouseDown(5, 190, 1, 0, nullptr);
    ASSERT_NE(bar->fTimerId, 0);
    ASSERT_EQ(TimerCount(), 1);
    auto* record = static_cast<QV_TimerRecord*>(fWindow->fTimers.fItems[0]);
    EXPECT_FLOAT_EQ(record->period, 0.11f);
    Tick(bar);
    Tick(bar);
    EXPECT_EQ(gPosted, std::vector<int32_t>({ kBarMessage, kBarMessage, kBarMessage }));
    EXPECT_EQ(bar->fValue, 100);
    // Off the arrow nothing repeats; back on it, it does again.
    bar->MouseMoved(5, 100, 0, nullptr);
    Tick(bar);
    EXPECT_EQ(gPosted.size(), 3u);
    bar->MouseMoved(5, 190, 0, nullptr);
    Tick(bar);
    EXPECT_EQ(gPosted.size(), 4u);
    bar->MouseUp(5, 190, 1, 0, nullptr);
    EXPECT_EQ(bar->fTimerId, 0);
    EXPECT_EQ(TimerCount(), 0);
}

TEST_F(ScrollingTest, PagingStopsAtThePointerAndResumesBeyondIt)
{
    QV_ScrollBar* bar = MakeBar();
    bar->MouseDown(5, 100, 1, 0, nullptr);
    EXPECT_EQ(bar->fValue, 20);
    for (int i = 0; i < 10; ++i)
        Tick(bar);
    // The thumb has reached y 100; no more pages.
    const int32_t stopped = bar->fValue;
    EXPECT_LT(stopped, 100);
    EXPECT_EQ(bar->HitTest(5, 100), QV_ScrollBar::kThumb);
    const size_t posts = gPosted.size();
    Tick(bar);
    EXPECT_EQ(gPosted.size(), posts);
    bar->MouseMoved(5, 175, 0, nullptr);
    Tick(bar);
    EXPECT_EQ(bar->fValue, stopped + 20);
    bar->MouseUp(5, 175, 1, 0, nullptr);
}

TEST_F(ScrollingTest, DraggingTheThumbBeyondTheEndsGivesTheLimitsAndPostsEveryMove)
{
    QV_ScrollBar* bar = MakeBar();
    bar->MouseDown(5, 30, 1, 0, nullptr);
    EXPECT_EQ(bar->fTimerId, 0);
    bar->MouseMoved(5, 500, 0, nullptr);
    EXPECT_EQ(bar->fValue, 100);
    bar->MouseMoved(5, 501, 0, nullptr);
    EXPECT_EQ(bar->fValue, 100);
    bar->MouseMoved(5, -50, 0, nullptr);
    EXPECT_EQ(bar->fValue, 0);
    EXPECT_EQ(gPosted, std::vector<int32_t>(3, kBarMessage));
    bar->MouseUp(5, -50, 1, 0, nullptr);
    bar->SetValue(5);
    bar->SetRange(0);
    EXPECT_EQ(bar->fValue, 0);
}

TEST_F(ScrollingTest, AnEmptyRangeOrNoTravelKeepsTheThumbAtTheStart)
{
    for (const int32_t length : { 200, 60, 20 }) {
        SCOPED_TRACE(length);
        QV_ScrollBar bar(true, length, kBarMessage, FOLLOW_LEFT | FOLLOW_TOP);
        bar.SetRange(0);
        EXPECT_EQ(bar.ThumbRect().top, 18);
        EXPECT_EQ(bar.ValueAtPoint(5, 100), 0);
        bar.SetRange(100);
        bar.SetValue(50);
        if (length < 72) {
            EXPECT_EQ(bar.ValueAtPoint(5, 40), 0);
            EXPECT_EQ(bar.ThumbRect().top, 18);
        }
    }
}

TEST_F(ScrollingTest, ABarRemovedOrDeletedWhileHeldTakesItsTimerAlong)
{
    MakeLayer();
    auto* parent = Place(new Sized(100, 250));
    auto* bar = new QV_ScrollBar(true, 200, kBarMessage, FOLLOW_LEFT | FOLLOW_TOP);
    parent->AddChild(bar);
    bar->MouseDown(5, 190, 1, 0, nullptr);
    ASSERT_EQ(TimerCount(), 1);
    parent->RemoveChild(bar);
    EXPECT_EQ(TimerCount(), 0);
    delete bar;

    bar = Place(new QV_ScrollBar(true, 200, kBarMessage, FOLLOW_LEFT | FOLLOW_TOP));
    bar->MouseDown(5, 190, 1, 0, nullptr);
    ASSERT_EQ(TimerCount(), 1);
    fLayer->RemoveView(bar);
    delete bar;
    EXPECT_EQ(TimerCount(), 0);

    // A bar outliving its window leaves the gone window alone.
    bar = Place(new QV_ScrollBar(true, 200, kBarMessage, FOLLOW_LEFT | FOLLOW_TOP));
    bar->MouseDown(5, 190, 1, 0, nullptr);
    fLayer->RemoveView(bar);
    PlatWindowDestroy(fWindow->fHwnd);
    PumpPending();
    fWindow = nullptr;
    delete bar;
}

TEST_F(ScrollingTest, ScrollingViewFitsItsBarsToTheContent)
{
    MakeLayer(400, 400);
    // Visible 300 high: margins of 4 above and below, the bar's 18 below.
    auto* view = Place(new QV_ScrollingView(200, 4 + 300 + 4 + 18, FOLLOW_LEFT | FOLLOW_TOP));
    ASSERT_EQ(view->ContentBounds().bottom, 299);
    EXPECT_FALSE(view->fVScroll->IsEnabled());
    EXPECT_FALSE(view->fHScroll->IsEnabled());

    auto* content = new Sized(100, 1000);
    view->fContent = content;
    view->fClipView->AddChild(content);
    view->UpdateScrollBars();
    EXPECT_TRUE(view->fVScroll->IsEnabled());
    EXPECT_FALSE(view->fHScroll->IsEnabled());
    EXPECT_EQ(view->fVScroll->fMax, 700);
    EXPECT_EQ(view->fVScroll->fPage, 268);
    EXPECT_EQ(view->fVScroll->fStep, 32);

    view->MouseWheel(-1, 5, 5, 0, nullptr);
    view->MouseWheel(-3, 5, 5, 0, nullptr);
    EXPECT_EQ(view->fScrollY, 64);
    EXPECT_EQ(content->Frame().top, -64);
    view->MouseWheel(1, 5, 5, 0, nullptr);
    EXPECT_EQ(view->fScrollY, 32);

    // At the end, shrinking the content pulls it back.
    view->fVScroll->SetValue(700);
    view->PostMessage(MSG_VSCROLL);
    EXPECT_EQ(content->Frame().top, -700);
    content->ResizeTo(100, 500);
    view->UpdateScrollBars();
    EXPECT_EQ(content->Frame().top, -200);
    EXPECT_EQ(view->fVScroll->fValue, 200);

    // Content that fits disables both bars at (0, 0).
    content->ResizeTo(50, 50);
    view->UpdateScrollBars();
    EXPECT_FALSE(view->fVScroll->IsEnabled());
    EXPECT_EQ(content->Frame().left, 0);
    EXPECT_EQ(content->Frame().top, 0);
    // The scroll messages stop at the view.
    EXPECT_TRUE(gPosted.empty());
}

TEST_F(ScrollingTest, ArrowKeysReachTheViewOnlyWhenItAcceptsFocus)
{
    MakeLayer(400, 400);
    auto* view = Place(new QV_ScrollingView(200, 200, FOLLOW_LEFT | FOLLOW_TOP));
    auto* content = new Sized(1000, 1000);
    view->fContent = content;
    view->fClipView->AddChild(content);
    view->UpdateScrollBars();
    EXPECT_FALSE(view->AcceptsFocus());
    fLayer->SetFocus(view);
    fLayer->KeyDown(KEY_DOWN, 0);
    EXPECT_EQ(view->fScrollY, 0);
    view->fAcceptsFocus = true;
    fLayer->SetFocus(view);
    fLayer->KeyDown(KEY_DOWN, 0);
    fLayer->KeyDown(KEY_RIGHT, 0);
    EXPECT_EQ(view->fScrollY, 32);
    EXPECT_EQ(view->fScrollX, 32);
}

class TextListTest : public ScrollingTest {
protected:
    QV_TextList* MakeList(int32_t width = 150, int32_t height = 100)
    {
        MakeLayer();
        auto* list = new QV_TextList(55);
        list->SetSize(width, height);
        return Place(list);
    }
    static std::vector<std::string> Rows(QV_TextList* list)
    {
        std::vector<std::string> rows;
        for (int32_t i = 0; i < list->CountItems(); ++i)
            rows.push_back(list->GetItem(i));
        return rows;
    }
};

TEST_F(TextListTest, AlphabeticalInsertionAndRemovalsKeepTheSelection)
{
    QV_TextList* list = MakeList();
    for (const char* text : { "b", "a", "c" })
        list->AddItemAlphabetically(text);
    EXPECT_EQ(Rows(list), std::vector<std::string>({ "a", "b", "c" }));
    list->AddItemAlphabetically("B");
    EXPECT_EQ(Rows(list), std::vector<std::string>({ "B", "a", "b", "c" }));
    list->RemoveItem(0);

    list->SetSelItem(2);
    list->RemoveItem(0);
    EXPECT_EQ(list->SelItem(), 1);
    EXPECT_STREQ(list->SelItemLabel(), "c");
    list->RemoveItem(1);
    EXPECT_STREQ(list->SelItemLabel(), "b");
    EXPECT_STREQ(list->GetItem(7), "");
    EXPECT_STREQ(list->GetItem(-1), "");
    list->RemoveItem(5);
    list->RemoveItem(0);
    EXPECT_EQ(list->SelItem(), -1);
    EXPECT_STREQ(list->SelItemLabel(), "");
    EXPECT_FALSE(list->SetSelItem("zz"));
}

TEST_F(TextListTest, KeysPostEvenAtTheEndAndClicksPickRows)
{
    QV_TextList* list = MakeList();
    for (const char* text : { "a", "b", "c" })
        list->AddItem(text);
    EXPECT_EQ(list->SelItem(), 0);
    list->SetSelItem(2);
    EXPECT_TRUE(gPosted.empty());
    list->KeyDown(KEY_DOWN, 0);
    EXPECT_EQ(list->SelItem(), 2);
    EXPECT_EQ(gPosted, std::vector<int32_t>({ 55 }));
    const int32_t h = list->RowHeight();
    list->MouseDown(10, 4 + h + 1, 1, 0, nullptr);
    EXPECT_EQ(list->SelItem(), 1);
    list->MouseDown(10, 0, 1, 0, nullptr);
    EXPECT_EQ(list->SelItem(), 0);
    // Below the last row, or on the bar's strip: nothing.
    list->MouseDown(10, 90, 1, 0, nullptr);
    list->MouseDown(145, 4 + 2 * h, 1, 0, nullptr);
    EXPECT_EQ(list->SelItem(), 0);
    EXPECT_EQ(gPosted.size(), 3u);
}

TEST_F(TextListTest, RowsThatFitLeaveTheBarDisabledAndTheWheelStill)
{
    QV_TextList* list = MakeList(150, 100);
    const int32_t h = list->RowHeight();
    for (const char* text : { "a", "b", "c" })
        list->AddItem(text);
    EXPECT_EQ(list->ScrollRange(), 3 * h + 8 - 100);
    EXPECT_FALSE(list->fScrollBar->IsEnabled());
    list->MouseWheel(-1, 5, 5, 0, nullptr);
    EXPECT_EQ(list->fScrollY, 0);
}

TEST_F(TextListTest, RemovalsShrinkTheRangeSoTheListNeverScrollsPastItsEnd)
{
    QV_TextList* list = MakeList();
    for (int i = 0; i < 30; ++i)
        list->AddItem(std::to_string(i).c_str());
    EXPECT_TRUE(list->fScrollBar->IsEnabled());
    list->SetSelItem(29);
    EXPECT_EQ(list->fScrollY, list->ScrollRange());
    EXPECT_EQ(list->fScrollBar->fValue, list->fScrollY);
    for (int i = 0; i < 20; ++i)
        list->RemoveItem(0);
    EXPECT_EQ(list->fScrollY, list->ScrollRange());
    EXPECT_EQ(list->fScrollBar->fMax, list->ScrollRange());
    for (int i = 0; i < 9; ++i)
        list->RemoveItem(0);
    EXPECT_EQ(list->fScrollY, 0);
    EXPECT_FALSE(list->fScrollBar->IsEnabled());
    list->MouseWheel(-1, 5, 5, 0, nullptr);
    EXPECT_EQ(list->fScrollY, 0);
}

TEST_F(TextListTest, TheBarScrollsTheList)
{
    QV_TextList* list = MakeList();
    for (int i = 0; i < 30; ++i)
        list->AddItem(std::to_string(i).c_str());
    list->fScrollBar->MouseDown(5, 95, 1, 0, nullptr);
    list->fScrollBar->MouseUp(5, 95, 1, 0, nullptr);
    EXPECT_EQ(list->fScrollY, list->RowHeight());
    EXPECT_EQ(list->SelItem(), 0);
}
