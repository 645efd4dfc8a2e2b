#pragma once
#include <cstdint>
#include <memory>

#include "qv_base_widget.h"
#include "qv_wnd.h"

// The thickness of scroll bars and slider thumbs: 18 at the standard metric.
int32_t ScrollBarThickness();

// A vertical or horizontal bar holding a value in a range, changed by its
// arrows, by paging on the track and by dragging the thumb. It posts fMessage
// after every change; the owner reads fValue.
class QV_ScrollBar : public QV_BaseWidget {
public:
    // Part codes of HitTest.
    static constexpr int32_t kNone = 0;
    static constexpr int32_t kFirstArrow = 1;
    static constexpr int32_t kSecondArrow = 2;
    static constexpr int32_t kThumb = 4;
    static constexpr int32_t kTrackBefore = 8;
    static constexpr int32_t kTrackAfter = 16;

    QV_ScrollBar(bool vertical, int32_t length, int32_t message, int32_t follow);
    ~QV_ScrollBar() override;

    void SetValue(int32_t value);
    // To 0 brought into the range, then posts fMessage.
    void ResetValue();
    void SetRange(int32_t max);

    void HandleMessage(QV_Message* message) override;
    void MouseDown(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message) override;
    void MouseMoved(int32_t x, int32_t y, int32_t modifiers, QV_Message* message) override;
    void MouseUp(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message) override;
    void Detached() override;
    void DrawWidget(QV_Graphics* graphics) override;

    QV_Rect FirstArrowRect() const;
    QV_Rect SecondArrowRect() const;
    // The first and last position of the thumb's centre along the bar.
    void ThumbTravel(int32_t& start, int32_t& end) const;
    QV_Rect ThumbRect() const;
    int32_t HitTest(int32_t x, int32_t y) const;
    int32_t ValueAtPoint(int32_t x, int32_t y) const;

    bool fVertical;
    int32_t fPressedPart;
    int32_t fHotPart;
    int32_t fLastX;
    int32_t fLastY;
    int32_t fTimerId;
    int32_t fMessage;
    int32_t fMin;
    int32_t fMax;
    int32_t fValue;
    int32_t fStep;
    int32_t fPage;

private:
    void RepeatStep();
    void StopRepeat();
    int32_t Thickness() const;
    void DrawArrow(QV_Graphics* graphics, QV_Rect box, bool first, bool held);

    // The window that holds the timer, kept so that the timer can go even
    // when the bar has already left its layer; the watch tells whether that
    // window still exists.
    QV_Wnd* fTimerWindow;
    std::unique_ptr<QV_Wnd::Watch> fTimerWatch;
};
