#include "render_wnd.h"

#include <algorithm>
#include <chrono>
#include <cstring>

#include "export_run.h"
#include "export_windows.h"
#include "file_dialogs.h"
#include "follow_flags.h"
#include "image_file.h"
#include "image_format_registry.h"
#include "interface_colors.h"
#include "plat_beep.h"
#include "plat_window.h"
#include "qv_alert.h"
#include "qv_app.h"
#include "qv_button.h"
#include "qv_graphics.h"
#include "qv_keys.h"
#include "qv_menu.h"
#include "qv_message.h"
#include "qv_popup_menu.h"
#include "qv_raster3d.h"
#include "render_job.h"
#include "render_settings.h"
#include "vorn_wnd.h"
#include "vorndoc.h"

namespace {

constexpr int32_t kPollMessage = 4803;
constexpr int32_t kTimerTick = -1005;
constexpr int32_t kModalResult = -1006;

void CopyPixels(QV_BaseImage& to, const QV_BaseImage& from)
{
    QV_PixelBuffer source;
    QV_PixelBuffer target;
    if (from.GetPixelBuffer(source) != 0 || to.GetPixelBuffer(target) != 0)
        return;
    const int32_t width = std::min(source.width, target.width);
    const int32_t height = std::min(source.height, target.height);
    for (int32_t y = 0; y < height; y++)
        std::memcpy(target.pixels + y * target.rowBytes, source.pixels + y * source.rowBytes, size_t(width) * 4);
}

} // namespace

bool FlattenImage(const QV_BaseImage& image, rgb_color back, QV_BaseImage& out)
{
    QV_PixelBuffer source;
    if (image.GetPixelBuffer(source) != 0 || source.depth != 32)
        return false;
    if (out.Allocate(source.width, source.height, 32) != 0)
        return false;
    QV_PixelBuffer target;
    out.GetPixelBuffer(target);
    for (int32_t y = 0; y < source.height; y++) {
        const uint8_t* from = source.pixels + y * source.rowBytes;
        uint8_t* to = target.pixels + y * target.rowBytes;
        for (int32_t x = 0; x < source.width; x++, from += 4, to += 4) {
            const int32_t a = from[3];
            to[0] = uint8_t((from[0] * a + back.b * (255 - a) + 127) / 255);
            to[1] = uint8_t((from[1] * a + back.g * (255 - a) + 127) / 255);
            to[2] = uint8_t((from[2] * a + back.r * (255 - a) + 127) / 255);
            to[3] = 255;
        }
    }
    return true;
}

void RenderWindowClientSize(int32_t documentWidth, int32_t documentHeight, int32_t screenWidth,
    int32_t screenHeight, int32_t& width, int32_t& height)
{
    width = std::min(documentWidth >= 184 ? documentWidth + 16 : 200, screenWidth - 31);
    height = std::min(documentHeight >= 80 ? documentHeight + 48 : 128, screenHeight - 63);
}

RenderView::RenderView(VornDoc* document, bool isRender, int32_t left, int32_t top, int32_t right, int32_t bottom)
    : QV_View(FOLLOW_LEFT | FOLLOW_TOP | FOLLOW_RIGHT | FOLLOW_BOTTOM)
    , fOffsetX(0)
    , fOffsetY(0)
    , fBackColor { 192, 192, 192, 255 }
    , fDoc(document)
    , fCopy(CopyDocument(document))
    , fIsRender(isRender)
    , fStopRequested(false)
    , fFinished(false)
    , fShownStale(false)
    , fCompleted(false)
    , fReported(false)
{
    MoveTo(left, top);
    ResizeTo(right - left + 1, bottom - top + 1);
    if (document && fImage.Create(document->Width(), document->Height(), 32) == 0
        && fRenderImage.Allocate(document->Width(), document->Height(), 32) == 0) {
        QV_PixelBuffer pixels;
        fImage.GetPixelBuffer(pixels);
        for (int32_t y = 0; y < pixels.height; y++) {
            uint8_t* row = pixels.pixels + y * pixels.rowBytes;
            for (int32_t x = 0; x < pixels.width; x++) {
                row[x * 4] = document->fBackColor.b;
                row[x * 4 + 1] = document->fBackColor.g;
                row[x * 4 + 2] = document->fBackColor.r;
                row[x * 4 + 3] = 255;
            }
        }
        const int32_t viewWidth = right - left + 1;
        const int32_t viewHeight = bottom - top + 1;
        if (viewWidth < document->Width())
            fOffsetX = -(document->Width() - viewWidth) / 2;
        if (viewHeight < document->Height())
            fOffsetY = -(document->Height() - viewHeight) / 2;
    } else {
        fImage.Free();
    }
}

RenderView::~RenderView()
{
    StopRender();
    delete fCopy;
}

void RenderView::Draw()
{
    QV_Graphics* graphics = GetGraphics();
    if (!graphics)
        return;
    if (fDoc)
        fBackColor = fDoc->fBackColor;
    const QV_Rect bounds = Bounds();
    graphics->SetColorStruct(fBackColor);
    graphics->FillRect(bounds.left, bounds.top, bounds.right, bounds.bottom);
    std::lock_guard<std::mutex> guard(fShared);
    QV_PixelBuffer pixels;
    if (fImage.GetPixelBuffer(pixels) != 0)
        return;
    const int32_t viewWidth = bounds.right - bounds.left + 1;
    const int32_t viewHeight = bounds.bottom - bounds.top + 1;
    fOffsetX = pixels.width <= viewWidth ? 0 : std::clamp(fOffsetX, viewWidth - pixels.width, 0);
    fOffsetY = pixels.height <= viewHeight ? 0 : std::clamp(fOffsetY, viewHeight - pixels.height, 0);
    graphics->DrawImageAlpha(&pixels, float(fOffsetX), float(fOffsetY), false);
}

void RenderView::Refresh()
{
    if (fImage.Width() > 0)
        Draw();
    QV_View::Refresh();
}

void RenderView::DrawDirect()
{
    Refresh();
    if (fWorker.Running() || fFinished || fImage.Width() <= 0 || !fCopy)
        return;
    fWorker.Start([this] { RenderFrames(); }, PlatThreadPriority::Normal);
}

void RenderView::StopRender()
{
    if (!fWorker.Running())
        return;
    fStopRequested = true;
    fWorker.Stop();
}

void RenderView::Detached()
{
    StopRender();
    QV_View::Detached();
}

void RenderView::RenderFrames()
{
    using Clock = std::chrono::steady_clock;
    RenderSettings settings;
    settings.SetDefaults();
    QV_BaseImage scratch;
    settings.fDoc = fCopy;
    settings.fImage = &fRenderImage;
    settings.fSupersampleImage = &scratch;
    // Cleared to transparent, so that the render keeps its transparency for PNG.
    settings.fNoPremultiply = true;
    settings.fStartFrame = settings.fEndFrame = fCopy->CurFrame();
    if (!fIsRender) {
        settings.fShapeEffects = false;
        settings.fLayerEffects = false;
    }
    auto job = std::make_unique<RenderJob>();
    job->fSettings = &settings;
    job->fNeedsSetup = true;
    job->fFrame = settings.fStartFrame;
    bool completed = false;
    Clock::time_point lastShown = Clock::now();
    while (fWorker.MayGoOn()) {
        if (!job->RenderFrame()) {
            completed = job->LastStatus() == 0;
            if (!completed) {
                QV_String failure = job->LastError();
                if (failure.IsEmpty()) {
                    failure = "Render error ";
                    failure.AppendInt(job->LastStatus());
                }
                std::lock_guard<std::mutex> guard(fShared);
                fFailure = failure;
            }
            break;
        }
        if (Clock::now() - lastShown >= std::chrono::milliseconds(100)) {
            std::lock_guard<std::mutex> guard(fShared);
            CopyPixels(fImage, fRenderImage);
            fShownStale = true;
            lastShown = Clock::now();
        }
    }
    job.reset();
    delete settings.fRaster3D;
    std::lock_guard<std::mutex> guard(fShared);
    CopyPixels(fImage, fRenderImage);
    fShownStale = true;
    fFinished = true;
    fCompleted = completed;
}

void RenderView::Poll()
{
    bool stale = false;
    bool done = false;
    bool failed = false;
    {
        std::lock_guard<std::mutex> guard(fShared);
        stale = fShownStale;
        fShownStale = false;
        done = fFinished && fCompleted && !fReported && !fStopRequested;
        failed = fFinished && !fCompleted && !fReported && !fStopRequested && !fFailure.IsEmpty();
        if (fFinished)
            fReported = true;
    }
    if (stale)
        Refresh();
    if (done || failed) {
        fDoc = nullptr;
        if (QV_Wnd* window = Window())
            window->PostMessage(done ? kRenderDone : kRenderFailed);
    }
}

RenderLayer::RenderLayer(VornDoc* document, bool isRender, int32_t width, int32_t height)
    : QV_Layer(FOLLOW_LEFT | FOLLOW_TOP | FOLLOW_RIGHT | FOLLOW_BOTTOM)
    , fView(nullptr)
    , fSave(nullptr)
    , fCopy(nullptr)
{
    ResizeTo(width, height);
    const int32_t freeLeft = 8;
    const int32_t freeTop = 8;
    const int32_t freeWidth = width - 16;
    const int32_t freeHeight = height - 48;
    const int32_t docWidth = document ? document->Width() : 0;
    const int32_t docHeight = document ? document->Height() : 0;
    int32_t left = freeLeft;
    int32_t viewWidth = freeWidth;
    if (docWidth <= freeWidth) {
        viewWidth = docWidth;
        left = freeLeft + (freeWidth - docWidth) / 2;
    }
    int32_t top = freeTop;
    int32_t viewHeight = freeHeight;
    if (docHeight <= freeHeight) {
        viewHeight = docHeight;
        top = freeTop + (freeHeight - docHeight) / 2;
    }
    fView = new RenderView(document, isRender, left, top, left + viewWidth - 1, top + viewHeight - 1);
    AddView(fView);

    // The ways to keep the render: a popup of the image writers and a Copy button, live once
    // the render is done.
    fSave = new QV_PopupMenu(100, false);
    auto* writers = new QV_Menu(Localize("/Windows/Render/SaveImage=Save Image"));
    for (int32_t n = 0; n < ImageFormatRegistry::CountWriters() && n < 50; n++)
        writers->AddItem(ImageFormatRegistry::WriterName(n), 0, kRenderSaveFirst + n);
    fSave->SetMenu(writers);
    fSave->MoveTo(8, height - 32);
    fSave->Enable(false);
    AddView(fSave);
    fCopy = new QV_Button(Localize("/Windows/Render/Copy=Copy"), kRenderCopy, 64, false, FOLLOW_LEFT | FOLLOW_BOTTOM);
    fCopy->MoveTo(116, height - 32);
    fCopy->Enable(false);
    AddView(fCopy);
}

void RenderLayer::KeyDown(int32_t key, int32_t modifiers)
{
    if (key == KEY_ESCAPE) {
        if (fWindow)
            PlatWindowDestroy(fWindow->fHwnd);
        return;
    }
    QV_Layer::KeyDown(key, modifiers);
}

void RenderLayer::Draw()
{
    QV_Graphics* graphics = GetGraphics();
    if (graphics) {
        const QV_Rect bounds = Bounds();
        graphics->SetColorStruct(WindowBackground);
        graphics->FillRect(bounds.left, bounds.top, bounds.right, bounds.bottom);
        if (fView) {
            const QV_Rect frame = fView->FrameInLayer();
            graphics->SetColorStruct(WidgetOutline);
            graphics->FrameRect(frame.left - 1, frame.top - 1, frame.right + 1, frame.bottom + 1);
        }
    }
    for (int32_t i = 0; i < fViewCount; ++i)
        fViews[i]->Draw();
}

RenderWnd::RenderWnd(VornDoc* document, bool isRender, VornWnd* owner)
    : QV_Wnd(5, Localize(isRender ? "/Windows/Render/Render=Render..." : "/Windows/Render/Preview=Preview..."), false,
          owner, 32, 32, 287, 159)
    , fDoc(document)
    , fDone(false)
    , fIsRender(isRender)
    , fLayer(nullptr)
    , fTimer(0)
    , fPollTimer(0)
    , fOwner(owner)
{
    int32_t screenWidth = 0;
    int32_t screenHeight = 0;
    UsableScreenSize(screenWidth, screenHeight);
    int32_t width = 0;
    int32_t height = 0;
    RenderWindowClientSize(document ? document->Width() : 0, document ? document->Height() : 0, screenWidth,
        screenHeight, width, height);
    ResizeTo(width, height);
    fLayer = new RenderLayer(document, isRender, width, height);
    AddLayer(fLayer);
    Center();
    RegisterRenderWindow(this);
    fPollTimer = AddTimer(0.05f, this, kPollMessage);
}

bool RenderWnd::SaveImage(int32_t writer, const char* path)
{
    RenderView* view = fLayer ? fLayer->fView : nullptr;
    if (!view || !path)
        return false;
    int32_t status = 0;
    {
        std::lock_guard<std::mutex> guard(view->fShared);
        if (writer == PngWriterIndex) {
            status = SaveImageFile(view->fImage, path, writer);
        } else {
            QV_BaseImage flat;
            status = FlattenImage(view->fImage, view->fBackColor, flat) ? SaveImageFile(flat, path, writer) : -1;
        }
    }
    if (status != 0) {
        Alert(this, ALERT_WARNING, "The image could not be saved:", path, nullptr, Localize("/Strings/OK=OK"),
            nullptr, nullptr);
        return false;
    }
    return true;
}

void RenderWnd::ShowFailure(const char* reason)
{
    Alert(this, ALERT_WARNING, "The frame could not be rendered:", reason, nullptr, Localize("/Strings/OK=OK"), nullptr,
        nullptr);
}

void RenderWnd::HandleMessage(QV_Message* message)
{
    if (!message) {
        QV_Wnd::HandleMessage(message);
        return;
    }
    const int32_t what = message->fWhat;
    RenderView* view = fLayer ? fLayer->fView : nullptr;
    if (what == kPollMessage) {
        if (view)
            view->Poll();
        return;
    }
    if (what == kRenderDone) {
        fDone = true;
        SetTitle(Localize(fIsRender ? "/Windows/Render/RenderDone=Render...done!"
                                    : "/Windows/Render/PreviewDone=Preview...done!"));
        if (fLayer) {
            fLayer->fSave->Enable(true);
            fLayer->fCopy->Enable(true);
            fLayer->Draw();
            fLayer->Flush();
        }
        PlatBeep();
        if (fInModal)
            EndModal(false, kModalResult);
        fTimer = AddTimer(0.1f, this, kTimerTick);
        return;
    }
    if (what == kRenderFailed) {
        if (fInModal)
            EndModal(false, kModalResult);
        QV_String reason;
        if (view) {
            std::lock_guard<std::mutex> guard(view->fShared);
            reason = view->fFailure;
        }
        ShowFailure(reason.CString());
        return;
    }
    if (what == kTimerTick) {
        RemoveTimer(fTimer);
        fTimer = 0;
        if (fInModal)
            EndModal(false, kModalResult);
        return;
    }
    if (what == kRenderCopy) {
        if (!view)
            return;
        QV_PlatformImage flat;
        std::lock_guard<std::mutex> guard(view->fShared);
        if (flat.Create(view->fImage.Width(), view->fImage.Height(), 32) == 0
            && FlattenImage(view->fImage, view->fBackColor, flat))
            CopyImageToClipboard(&flat);
        else
            CopyImageToClipboard(&view->fImage);
        return;
    }
    if (what >= kRenderSaveFirst && what <= kRenderSaveFirst + 49) {
        const int32_t writer = what - kRenderSaveFirst;
        QV_String path;
        if (message->FindString("path", path)) {
            SaveImage(writer, path.CString());
            return;
        }
        QV_String name = Localize("/Windows/Render/Untitled=Untitled");
        const char* extension = ImageFormatRegistry::WriterExtension(writer);
        if (extension && *extension) {
            name.Append(".");
            name.Append(extension);
        }
        const QV_String folder = fDoc ? fDoc->Path().Folder() : QV_String();
        RunSaveFileDialog(Localize("/Windows/Render/SaveAs=Save As"), this, this, what, name.CString(), folder.CString());
        return;
    }
    QV_Wnd::HandleMessage(message);
}

bool RenderWnd::QuitRequested()
{
    if (fDone)
        return true;
    if (fLayer && fLayer->fView)
        fLayer->fView->StopRender();
    if (fInModal) {
        EndModal(true, kModalResult);
        return false;
    }
    return true;
}

void RenderWnd::Closed()
{
    if (fLayer && fLayer->fView)
        fLayer->fView->StopRender();
    UnregisterRenderWindow(this);
    if (fOwner)
        fOwner->WindowClosed(this);
}

void RenderWnd::KeyDown(int32_t key, int32_t modifiers)
{
    // While the render runs only Escape counts: it closes the window.
    if (fInModal) {
        if (key == KEY_ESCAPE && fLayer)
            fLayer->KeyDown(key, modifiers);
        return;
    }
    QV_Wnd::KeyDown(key, modifiers);
}
