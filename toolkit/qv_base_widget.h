#pragma once
#include <cstdint>

#include "qv_baseimage.h"
#include "qv_stopwatch.h"
#include "qv_view.h"

class QV_Font;
class QV_Graphics;
class QV_Handler;

// The toolkit's timer tick: animated widgets, tool-tip delays, menus and
// auto-repeat all receive it.
constexpr int32_t MSG_TICK = -1004;

// Every widget of the toolkit draws itself into its layer's image. A widget
// that keeps a copy of the pixels beneath it can repaint alone, without its
// parent: the copy erases its old look.
class QV_BaseWidget : public QV_View {
public:
    QV_BaseWidget(int32_t follow, bool keepsBackground);
    ~QV_BaseWidget() override;

    // To fMsgTarget when one is set.
    void DispatchMessage(QV_Message* message) override;
    void PostMessage(int32_t what) override;
    void FrameResized(int32_t oldWidth, int32_t oldHeight, int32_t newWidth, int32_t newHeight) override;
    // The full repaint: refreshes the background copy from the layer, then
    // draws the widget and its children. No copy to the window.
    void Draw() override;
    void EnableChanged(bool enabled) override;

    // The widget's look, in its own coordinates.
    virtual void DrawWidget(QV_Graphics* graphics);

    // Background, bezier tolerance 2.0, font, DrawWidget; with refresh the
    // widget's area goes to the window at once.
    void Redraw(bool refresh);

    QV_Font* fFont;
    bool fKeepsBackground;
    QV_BaseImage fBackground;
    QV_Handler* fMsgTarget;
};

// A widget with a frame timer of its window while it runs.
class QV_AnimatedWidget : public QV_BaseWidget {
public:
    QV_AnimatedWidget(int32_t follow, bool keepsBackground, float framesPerSecond, bool startWhenAttached);

    void HandleMessage(QV_Message* message) override;
    void Attached() override;
    void Detached() override;
    void DrawWidget(QV_Graphics* graphics) override;

    // The graphics context given to these three may be null.
    virtual void AnimationStarted(QV_Graphics* graphics);
    virtual void Tick(QV_Graphics* graphics, int32_t frame, float seconds, float fps);
    virtual void AnimationStopped(QV_Graphics* graphics);

    void StartAnimation();
    void StopAnimation();
    // One frame, as the timer tick runs it.
    void RunFrame();

    float fFramesPerSecond;
    bool fStartWhenAttached;
    bool fRunning;
    int32_t fTimerId;
    int32_t fFrameCount;
    float fMeasuredFps;
    QV_Stopwatch fClock;
};

// Widget sizes follow the ascent of gWidgetFont; 11 pixels is the reference.
int32_t ScaledMetric20();
int32_t ScaledMetric6();
int32_t ScaledMetric5();
int32_t ScaledMetric3();
int32_t ScaledMetric30();
// ascent / 11 * n, kept as a float and rounded half away from zero.
int32_t ScaledMetric(int32_t n);
