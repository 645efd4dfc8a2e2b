#pragma once
#include <cstdint>

#include "qv_base_widget.h"
#include "qv_color.h"

class QV_ScrollBar;

constexpr int32_t MSG_VSCROLL = -1011;
constexpr int32_t MSG_HSCROLL = -1012;

// Shows a content view that may be larger than itself, with a horizontal bar
// along its bottom and a vertical one along its right. Scrolling moves the
// content's frame inside fClipView, so the content never knows it scrolled.
// The owner puts its content in fContent and adds it to fClipView.
class QV_ScrollingView : public QV_BaseWidget {
public:
    QV_ScrollingView(int32_t width, int32_t height, int32_t follow);

    // Fits the bars to the content; owners call it after resizing the content.
    void UpdateScrollBars();
    QV_Rect ContentBounds() const;

    void HandleMessage(QV_Message* message) override;
    void FrameResized(int32_t oldWidth, int32_t oldHeight, int32_t newWidth, int32_t newHeight) override;
    void Layout() override;
    void MouseWheel(float distance, int32_t x, int32_t y, int32_t modifiers, QV_Message* message) override;
    void KeyDown(int32_t key, int32_t modifiers) override;
    bool AcceptsFocus() override;
    void DrawWidget(QV_Graphics* graphics) override;

    rgb_color fBackColor;
    bool fAcceptsFocus;
    bool fDrawFrame;
    QV_View* fClipView;
    QV_View* fContent;
    int32_t fScrollX;
    int32_t fScrollY;
    QV_ScrollBar* fHScroll;
    QV_ScrollBar* fVScroll;

private:
    void ScrollContent();
    // Moves the bar by delta and tells the view.
    void Nudge(QV_ScrollBar* bar, int32_t delta, int32_t message);
};
