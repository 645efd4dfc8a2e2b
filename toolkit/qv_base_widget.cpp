#include "qv_base_widget.h"

#include <cmath>

#include "interface_fonts.h"
#include "qv_font.h"
#include "qv_graphics.h"
#include "qv_layer.h"
#include "qv_message.h"
#include "qv_wnd.h"
#include "raster_blit.h"

QV_BaseWidget::QV_BaseWidget(int32_t follow, bool keepsBackground)
    : QV_View(follow)
    , fFont(gWidgetFont)
    , fKeepsBackground(keepsBackground)
    , fMsgTarget(nullptr)
{
}

QV_BaseWidget::~QV_BaseWidget()
{
    fBackground.Free();
}

void QV_BaseWidget::DispatchMessage(QV_Message* message)
{
    if (fMsgTarget)
        fMsgTarget->DispatchMessage(message);
    else
        HandleMessage(message);
}

void QV_BaseWidget::PostMessage(int32_t what)
{
    if (fMsgTarget) {
        fMsgTarget->PostMessage(what);
        return;
    }
    QV_Handler::PostMessage(what);
}

void QV_BaseWidget::FrameResized(int32_t oldWidth, int32_t oldHeight, int32_t newWidth, int32_t newHeight)
{
    QV_View::FrameResized(oldWidth, oldHeight, newWidth, newHeight);
    if (fKeepsBackground && fBackground.buffer.pixels && newWidth > 0 && newHeight > 0)
        fBackground.Allocate(newWidth, newHeight, fBackground.buffer.depth);
}

void QV_BaseWidget::EnableChanged(bool)
{
    if (fChildCount == 0)
        Redraw(true);
}

void QV_BaseWidget::DrawWidget(QV_Graphics*) { }

void QV_BaseWidget::Redraw(bool refresh)
{
    QV_Graphics* graphics = GetGraphics();
    if (!graphics)
        return;
    // The context shows only the visible part of the widget; the widget's
    // own origin lies at the pan offset of that part.
    if (fBackground.buffer.pixels)
        BlitRaster(fBackground.buffer, graphics->fTarget, int32_t(graphics->fPanX), int32_t(graphics->fPanY));
    graphics->SetBezierTolerance(2.0f);
    graphics->SetFont(fFont);
    DrawWidget(graphics);
    graphics->EndDraw();
    if (refresh)
        Refresh();
}

void QV_BaseWidget::Draw()
{
    QV_PixelBuffer* raster = LayerRaster();
    if (!raster)
        return;
    const QV_Point size = Size();
    // Layouts size widgets without telling them (SetSize): the copy follows here.
    if (fKeepsBackground && size.x > 0 && size.y > 0
        && (!fBackground.buffer.pixels || fBackground.buffer.width != size.x
            || fBackground.buffer.height != size.y))
        fBackground.Allocate(size.x, size.y, raster->depth);
    if (fBackground.buffer.pixels) {
        int32_t dx = 0;
        int32_t dy = 0;
        if (raster->width != size.x || raster->height != size.y) {
            const QV_Rect frame = FrameInLayer();
            QV_Rect visible = Bounds();
            ClipToVisible(visible);
            dx = visible.left - frame.left > 0 ? visible.left - frame.left : 0;
            dy = visible.top - frame.top > 0 ? visible.top - frame.top : 0;
        }
        QV_PixelBuffer source = *raster;
        BlitRaster(source, fBackground.buffer, dx, dy);
    }
    Redraw(false);
    for (int32_t i = 0; i < fChildCount; ++i)
        fChildren[i]->Draw();
}

QV_AnimatedWidget::QV_AnimatedWidget(
    int32_t follow, bool keepsBackground, float framesPerSecond, bool startWhenAttached)
    : QV_BaseWidget(follow, keepsBackground)
    , fFramesPerSecond(framesPerSecond)
    , fStartWhenAttached(startWhenAttached)
    , fRunning(false)
    , fTimerId(0)
    , fFrameCount(0)
    , fMeasuredFps(0)
{
}

void QV_AnimatedWidget::HandleMessage(QV_Message* message)
{
    if (message && message->fWhat == MSG_TICK) {
        RunFrame();
        return;
    }
    QV_View::HandleMessage(message);
}

void QV_AnimatedWidget::RunFrame()
{
    const float seconds = fClock.Elapsed();
    Tick(GetGraphics(), fFrameCount, seconds, fMeasuredFps);
    Redraw(true);
    fFrameCount++;
    const float elapsed = fClock.Elapsed();
    // Before a whole millisecond has passed the rate stays the requested one.
    if (elapsed > 0)
        fMeasuredFps = float(fFrameCount) / elapsed;
}

void QV_AnimatedWidget::Attached()
{
    QV_View::Attached();
    if (fStartWhenAttached)
        StartAnimation();
}

void QV_AnimatedWidget::Detached()
{
    StopAnimation();
    QV_View::Detached();
}

void QV_AnimatedWidget::DrawWidget(QV_Graphics*) { }
void QV_AnimatedWidget::AnimationStarted(QV_Graphics*) { }
void QV_AnimatedWidget::Tick(QV_Graphics*, int32_t, float, float) { }
void QV_AnimatedWidget::AnimationStopped(QV_Graphics*) { }

void QV_AnimatedWidget::StartAnimation()
{
    if (fRunning)
        return;
    QV_Wnd* window = Window();
    if (!window || fFramesPerSecond <= 0)
        return;
    const uint32_t id = window->AddTimer(1.0f / fFramesPerSecond, this, MSG_TICK);
    if (id == 0)
        return;
    fTimerId = int32_t(id);
    fRunning = true;
    fFrameCount = 0;
    fClock.Start();
    fMeasuredFps = fFramesPerSecond;
    AnimationStarted(GetGraphics());
    fClock.Start();
}

void QV_AnimatedWidget::StopAnimation()
{
    if (!fRunning)
        return;
    QV_Wnd* window = Window();
    if (!window)
        return;
    window->RemoveTimer(uint32_t(fTimerId));
    AnimationStopped(GetGraphics());
    fRunning = false;
}

int32_t ScaledMetric(int32_t n)
{
    const int32_t ascent = gWidgetFont ? gWidgetFont->Ascent() : 11;
    const float product = float(double(ascent) / 11.0 * n);
    return int32_t(std::lround(product));
}

int32_t ScaledMetric20()
{
    return ScaledMetric(20);
}
int32_t ScaledMetric6()
{
    return ScaledMetric(6);
}
int32_t ScaledMetric5()
{
    return ScaledMetric(5);
}
int32_t ScaledMetric3()
{
    return ScaledMetric(3);
}
int32_t ScaledMetric30()
{
    return ScaledMetric(30);
}
