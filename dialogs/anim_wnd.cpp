#include "anim_wnd.h"

#include <algorithm>
#include <chrono>
#include <cstring>

#include "app_prefs.h"
#include "export_formats.h"
#include "export_run.h"
#include "export_windows.h"
#include "follow_flags.h"
#include "interface_colors.h"
#include "plat_window.h"
#include "qv_alert.h"
#include "qv_app.h"
#include "qv_graphics.h"
#include "qv_layer.h"
#include "qv_message.h"
#include "qv_progress_bar.h"
#include "render_settings.h"
#include "shell_open.h"
#include "vorn_wnd.h"
#include "vorndoc.h"

namespace {

constexpr int32_t kPollMessage = 6502;
constexpr int32_t kCloseMessage = 6501;
constexpr float kPollSeconds = 0.1f;

// The offset that shows the middle of an image larger than the view, else 0.
int32_t StartOffset(int32_t image, int32_t view)
{
    return image > view + 1 ? -((image - view - 1) / 2) : 0;
}

void CopyPixels(QV_BaseImage& to, const QV_BaseImage& from)
{
    QV_PixelBuffer source;
    if (from.GetPixelBuffer(source) != 0)
        return;
    if (to.Allocate(source.width, source.height, 32) != 0)
        return;
    for (int32_t y = 0; y < source.height; y++)
        std::memcpy(to.buffer.pixels + y * to.buffer.rowBytes, source.pixels + y * source.rowBytes, size_t(source.width) * 4);
}

} // namespace

AnimView::AnimView(QV_BaseImage* image, std::mutex* imageLock, int32_t left, int32_t top, int32_t right, int32_t bottom)
    : QV_View(FOLLOW_LEFT | FOLLOW_TOP | FOLLOW_RIGHT | FOLLOW_BOTTOM)
    , fDragging(false)
    , fLastX(0)
    , fLastY(0)
    , fOffsetX(0)
    , fOffsetY(0)
    , fImage(image)
    , fImageLock(imageLock)
{
    MoveTo(left, top);
    ResizeTo(right - left + 1, bottom - top + 1);
    const QV_Rect bounds = Bounds();
    if (image && image->Width() > 0) {
        fOffsetX = StartOffset(image->Width(), (bounds.right - bounds.left + 1));
        fOffsetY = StartOffset(image->Height(), (bounds.bottom - bounds.top + 1));
    }
}

void AnimView::Draw()
{
    QV_Graphics* graphics = GetGraphics();
    if (!graphics)
        return;
    const QV_Rect bounds = Bounds();
    graphics->SetColorStruct(WindowBackground);
    graphics->FillRect(bounds.left, bounds.top, bounds.right, bounds.bottom);
    std::lock_guard<std::mutex> guard(*fImageLock);
    QV_PixelBuffer pixels;
    if (!fImage || fImage->GetPixelBuffer(pixels) != 0)
        return;
    const int32_t viewWidth = (bounds.right - bounds.left + 1);
    const int32_t viewHeight = (bounds.bottom - bounds.top + 1);
    int32_t x;
    if (pixels.width > viewWidth + 1) {
        fOffsetX = std::clamp(fOffsetX, viewWidth + 1 - pixels.width, 0);
        x = fOffsetX;
    } else {
        x = (viewWidth - 1) / 2 - pixels.width / 2;
    }
    int32_t y;
    if (pixels.height > viewHeight + 1) {
        fOffsetY = std::clamp(fOffsetY, viewHeight + 1 - pixels.height, 0);
        y = fOffsetY;
    } else {
        y = (viewHeight - 1) / 2 - pixels.height / 2;
    }
    graphics->DrawImage(&pixels, float(x), float(y));
}

void AnimView::Refresh()
{
    Draw();
    QV_View::Refresh();
}

void AnimView::MouseDown(int32_t x, int32_t y, int32_t, int32_t, QV_Message*)
{
    fDragging = true;
    fLastX = x;
    fLastY = y;
}

void AnimView::MouseMoved(int32_t x, int32_t y, int32_t, QV_Message*)
{
    if (!fDragging)
        return;
    fOffsetX += x - fLastX;
    fOffsetY += y - fLastY;
    fLastX = x;
    fLastY = y;
    Refresh();
}

void AnimView::MouseUp(int32_t, int32_t, int32_t, int32_t, QV_Message*)
{
    fDragging = false;
}

AnimWnd::AnimWnd(VornDoc* source, RenderSettings* settings, VornWnd* mainWindow, int32_t left, int32_t top,
    int32_t right, int32_t bottom)
    : QV_Wnd(0, source ? source->Name().CString() : "", true, nullptr, left, top, right, bottom)
    , fClosing(false)
    , fTimer(0)
    , fCopy(CopyDocument(source))
    , fSettings(settings)
    , fMainWindow(mainWindow)
    , fFinished(false)
    , fContent(nullptr)
    , fBar(nullptr)
    , fView(nullptr)
    , fProgress(0)
    , fFrameShown(true)
    , fThreadEnded(false)
    , fCompleted(false)
    , fHasOutput(false)
{
    if (fCopy && fSettings) {
        fRun = std::make_unique<ExportRun>(fCopy, *fSettings, &fFrameImage);
        if (!fRun->AllocateFrame())
            fFrameImage.Free();
        else
            CopyPixels(fShownImage, fFrameImage);
    }
    RegisterExportWindow(this);
    Center();
    Show();
}

AnimWnd::~AnimWnd()
{
    if (fHasOutput && fSettings && !fSettings->fPath.IsEmpty())
        ShellOpen(fSettings->fPath.CString());
    fRun.reset();
    delete fCopy;
    delete fSettings;
}

void AnimWnd::Opened()
{
    const QV_Rect client = Bounds();
    fContent = new QV_Layer(FOLLOW_LEFT | FOLLOW_TOP | FOLLOW_RIGHT | FOLLOW_BOTTOM);
    fContent->MoveTo(0, 0);
    fContent->ResizeTo((client.right - client.left + 1), (client.bottom - client.top + 1));
    fBar = new QV_ProgressBar((client.right - client.left + 1), FOLLOW_LEFT | FOLLOW_TOP | FOLLOW_RIGHT);
    fBar->MoveTo(0, 0);
    fContent->AddView(fBar);
    const int32_t barBottom = fBar->FrameInLayer().bottom;
    fView = new AnimView(&fShownImage, &fShared, 0, barBottom + 1, client.right, client.bottom);
    fContent->AddView(fView);
    AddLayer(fContent);

    if (!fRun || fFrameImage.Width() <= 0 || fWorker.Running() || fFinished)
        return;
    const ExportKind kind = KindOfFormat(fSettings->fFormat);
    if (kind == ExportKind::Movie) {
        fRun->PreDraw();
        const int32_t result = fRun->OpenMovie(this, false);
        if (result != 0) {
            if (result == -2)
                Alert(this, ALERT_WARNING,
                    Localize("/Windows/Animation/IncompaticleCompression=The compression method you chose does not appear to be compatible"),
                    Localize("/Windows/Animation/IncompatibleCompression2=with Celvane. Please choose another type of movie compression."),
                    nullptr, Localize("/Strings/OK=OK"), nullptr, nullptr);
            else if (result != kExportCodecCancelled)
                Alert(this, ALERT_WARNING, "The movie could not be written:", fSettings->fPath.CString(), nullptr,
                    Localize("/Strings/OK=OK"), nullptr, nullptr);
            fFinished = true;
            // The window goes after a moment, as it would when the render ends.
            fTimer = AddTimer(1.0f, this, kCloseMessage);
            return;
        }
    } else if (kind == ExportKind::SWF) {
        ResizeTo((fBar->Bounds().right + 1), (fBar->Bounds().bottom + 1) + 1);
        fRun->PrepareSWF();
    }
    fHasOutput = fRun->Prepared();
    if (!fWorker.Start([this] { RenderThread(); }, PlatThreadPriority::BelowNormal)) {
        fFinished = true;
        return;
    }
    AddTimer(kPollSeconds, this, kPollMessage);
}

void AnimWnd::RenderThread()
{
    using Clock = std::chrono::steady_clock;
    Clock::time_point lastShown = Clock::now();
    int32_t shownFrame = fRun->OutputFrame();
    bool completed = false;
    while (fWorker.MayGoOn()) {
        if (!fRun->Step()) {
            completed = true;
            break;
        }
        const int32_t frame = fRun->OutputFrame();
        // At most one repaint every 100 ms, and only of a finished frame.
        if (frame != shownFrame && Clock::now() - lastShown >= std::chrono::milliseconds(100)) {
            std::lock_guard<std::mutex> guard(fShared);
            fProgress = fRun->Progress();
            CopyPixels(fShownImage, fFrameImage);
            fFrameShown = false;
            shownFrame = frame;
            lastShown = Clock::now();
        }
    }
    QV_String failure;
    if (fRun->Failed())
        failure = fRun->FailureText();
    QV_String reason;
    if (!fRun->Finish(true, reason) && failure.IsEmpty())
        failure = reason;
    std::lock_guard<std::mutex> guard(fShared);
    fProgress = fRun->Progress();
    fCompleted = completed && failure.IsEmpty();
    fFailure = failure;
    fThreadEnded = true;
}

void AnimWnd::Poll()
{
    bool ended = false;
    bool repaint = false;
    QV_String failure;
    {
        std::lock_guard<std::mutex> guard(fShared);
        if (fBar)
            fBar->fValue = fProgress;
        repaint = !fFrameShown;
        fFrameShown = true;
        ended = fThreadEnded && !fFinished;
        if (ended) {
            fFinished = true;
            failure = fFailure;
        }
    }
    if (repaint && fView)
        fView->Refresh();
    if (!ended)
        return;
    if (KindOfFormat(fSettings->fFormat) == ExportKind::Movie && fHasOutput)
        gPrefs.previousExportedMovie = fSettings->fPath.CString();
    if (!failure.IsEmpty()) {
        fHasOutput = false;
        Alert(this, ALERT_WARNING, "The export failed:", failure.CString(), nullptr, Localize("/Strings/OK=OK"),
            nullptr, nullptr);
    }
    bool completed;
    {
        std::lock_guard<std::mutex> guard(fShared);
        completed = fCompleted || !failure.IsEmpty();
    }
    if (completed && !fClosing)
        PlatWindowDestroy(fHwnd);
}

void AnimWnd::HandleMessage(QV_Message* message)
{
    if (!message) {
        QV_Wnd::HandleMessage(message);
        return;
    }
    switch (message->fWhat) {
    case kPollMessage:
        Poll();
        return;
    case kCloseMessage:
        if (fTimer)
            RemoveTimer(fTimer);
        fTimer = 0;
        PlatWindowDestroy(fHwnd);
        return;
    default:
        QV_Wnd::HandleMessage(message);
    }
}

bool AnimWnd::QuitRequested()
{
    if (!QV_Wnd::QuitRequested())
        return false;
    if (fFinished || !fWorker.Running())
        return true;
    const int32_t answer = Alert(this, ALERT_WARNING,
        Localize("/Windows/Animation/RenderingInProgress=Rendering in progress."),
        Localize("/Windows/Animation/AreYouSure=Are you sure you want to quit?"), nullptr,
        Localize("/Strings/No=No"), Localize("/Strings/Yes=Yes"), nullptr);
    return answer == 1;
}

void AnimWnd::StopRenderThread()
{
    fWorker.Stop();
}

void AnimWnd::Closed()
{
    fClosing = true;
    StopRenderThread();
    {
        std::lock_guard<std::mutex> guard(fShared);
        if (fThreadEnded && !fFinished && KindOfFormat(fSettings->fFormat) == ExportKind::Movie && fHasOutput)
            gPrefs.previousExportedMovie = fSettings->fPath.CString();
        if (fThreadEnded && !fFailure.IsEmpty())
            fHasOutput = false;
    }
    UnregisterExportWindow(this);
    if (fMainWindow)
        fMainWindow->WindowClosed(this);
}
