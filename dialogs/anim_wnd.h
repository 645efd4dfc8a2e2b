#pragma once

#include <cstdint>
#include <memory>
#include <mutex>

#include "qv_platform_image.h"
#include "qv_string.h"
#include "qv_view.h"
#include "qv_wnd.h"
#include "render_worker.h"

class ExportRun;
class QV_Layer;
class QV_ProgressBar;
class RenderSettings;
class VornDoc;
class VornWnd;

// The frame being exported, centred, or dragged about when larger than the view.
class AnimView : public QV_View {
public:
    AnimView(QV_BaseImage* image, std::mutex* imageLock, int32_t left, int32_t top, int32_t right, int32_t bottom);
    void Refresh() override;
    void Draw() override;
    void MouseDown(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message) override;
    void MouseMoved(int32_t x, int32_t y, int32_t modifiers, QV_Message* message) override;
    void MouseUp(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message) override;

    bool fDragging;
    int32_t fLastX;
    int32_t fLastY;
    int32_t fOffsetX;
    int32_t fOffsetY;
    QV_BaseImage* fImage;
    std::mutex* fImageLock;
};

// The window of one export: a private copy of the document rendered on a worker thread into a
// movie or an SWF file, with a progress bar and the frame being written. It closes itself when
// the render is done and then opens the file; closing it early finishes the file as far as it
// got.
class AnimWnd : public QV_Wnd {
public:
    // Takes the settings. The rectangle is the client area.
    AnimWnd(VornDoc* source, RenderSettings* settings, VornWnd* mainWindow, int32_t left, int32_t top,
        int32_t right, int32_t bottom);
    ~AnimWnd() override;
    void HandleMessage(QV_Message* message) override;
    void Opened() override;
    bool QuitRequested() override;
    void Closed() override;
    void StopRenderThread();

    bool fClosing;
    uint32_t fTimer;
    VornDoc* fCopy;
    RenderSettings* fSettings;
    VornWnd* fMainWindow;
    std::unique_ptr<ExportRun> fRun;
    bool fFinished;
    // The render target, the worker's alone while it runs.
    QV_PlatformImage fFrameImage;
    QV_Layer* fContent;
    QV_ProgressBar* fBar;
    AnimView* fView;
    RenderWorker fWorker;

    // What the worker hands the interface thread, under fShared.
    std::mutex fShared;
    QV_PlatformImage fShownImage;
    float fProgress;
    bool fFrameShown;
    bool fThreadEnded;
    bool fCompleted;
    QV_String fFailure;
    // The output was begun (a movie opened or an SWF made): it is opened when the window goes.
    bool fHasOutput;

private:
    void RenderThread();
    // The interface thread's look at what the worker reported.
    void Poll();
};
