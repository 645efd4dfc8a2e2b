#pragma once

#include <cstdint>
#include <mutex>

#include "qv_color.h"
#include "qv_layer.h"
#include "qv_platform_image.h"
#include "qv_string.h"
#include "qv_view.h"
#include "qv_wnd.h"
#include "render_worker.h"

class QV_Button;
class QV_PopupMenu;
class VornDoc;
class VornWnd;

constexpr int32_t kRenderDone = 4801;
constexpr int32_t kRenderCopy = 4802;
// Posted by the view when the render stopped on an error.
constexpr int32_t kRenderFailed = 4804;
constexpr int32_t kRenderSaveFirst = 4850;

// The image laid over the colour, as it shows on the screen (straight alpha, 32 bits).
bool FlattenImage(const QV_BaseImage& image, rgb_color back, QV_BaseImage& out);
// The render window's client size for a document of that size on a usable screen that size.
void RenderWindowClientSize(int32_t documentWidth, int32_t documentHeight, int32_t screenWidth,
    int32_t screenHeight, int32_t& width, int32_t& height);

// The final render of the current frame, drawn while a worker renders a private copy of the
// document. The render keeps its transparency; the document's background shows behind it.
class RenderView : public QV_View {
public:
    RenderView(VornDoc* document, bool isRender, int32_t left, int32_t top, int32_t right, int32_t bottom);
    ~RenderView() override;
    void Refresh() override;
    void Detached() override;
    void DrawDirect() override;
    void Draw() override;
    // Stops the worker and waits for it.
    void StopRender();
    // The interface thread's look at what the worker did: repaints, and 4801 to the window once
    // the render is complete.
    void Poll();

    int32_t fOffsetX;
    int32_t fOffsetY;
    // What the screen shows, under fShared.
    QV_PlatformImage fImage;
    rgb_color fBackColor;
    VornDoc* fDoc;
    VornDoc* fCopy;
    bool fIsRender;
    bool fStopRequested;
    bool fFinished;
    RenderWorker fWorker;
    std::mutex fShared;
    // The worker's target.
    QV_BaseImage fRenderImage;
    bool fShownStale;
    bool fCompleted;
    bool fReported;
    // Why the render stopped short, under fShared; empty when it completed or was stopped.
    QV_String fFailure;

private:
    void RenderFrames();
};

class RenderLayer : public QV_Layer {
public:
    RenderLayer(VornDoc* document, bool isRender, int32_t width, int32_t height);
    void KeyDown(int32_t key, int32_t modifiers) override;
    void Draw() override;

    RenderView* fView;
    QV_PopupMenu* fSave;
    QV_Button* fCopy;
};

// File > Preview: the current frame rendered at full size, which can then be saved or copied.
class RenderWnd : public QV_Wnd {
public:
    RenderWnd(VornDoc* document, bool isRender, VornWnd* owner);
    void HandleMessage(QV_Message* message) override;
    bool QuitRequested() override;
    void Closed() override;
    void KeyDown(int32_t key, int32_t modifiers) override;
    // Saves with writer n; false (after an alert) when the file could not be written.
    bool SaveImage(int32_t writer, const char* path);
    // Tells that the render failed and why (an alert).
    virtual void ShowFailure(const char* reason);

    VornDoc* fDoc;
    bool fDone;
    bool fIsRender;
    RenderLayer* fLayer;
    uint32_t fTimer;
    uint32_t fPollTimer;
    VornWnd* fOwner;
};
