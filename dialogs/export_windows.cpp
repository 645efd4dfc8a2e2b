#include "export_windows.h"

#include <algorithm>
#include <vector>

#include "anim_dlog.h"
#include "anim_wnd.h"
#include "batch_wnd.h"
#include "export_formats.h"
#include "main_layer.h"
#include "message_ids.h"
#include "plat_window.h"
#include "qv_dc.h"
#include "render_settings.h"
#include "render_wnd.h"
#include "vorn_wnd.h"
#include "vorndoc.h"

BatchWnd* gBatchWnd = nullptr;

namespace {

std::vector<AnimWnd*> gExportWindows;
std::vector<RenderWnd*> gRenderWindows;

void StopPlayback(VornWnd* owner)
{
    if (owner && owner->fMainLayer)
        owner->fMainLayer->PostMessage(1103);
}

void RunExport(VornWnd* owner)
{
    VornDoc* document = owner->fDocument;
    auto* settings = new RenderSettings();
    auto* dialog = new AnimDlog(document, settings, owner);
    if (dialog->DoModal() != MSG_OK) {
        delete settings;
        return;
    }
    int32_t screenWidth = 0;
    int32_t screenHeight = 0;
    UsableScreenSize(screenWidth, screenHeight);
    int32_t w = 0;
    int32_t h = 0;
    ExportWindowSize(document->Width(), document->Height(), screenWidth, screenHeight, w, h);
    const int32_t top = screenHeight / 2 - (h + 1) / 2;
    const int32_t left = screenWidth / 2 - (w + 1) / 2;
    new AnimWnd(document, settings, owner, left, top, left + w, top + h);
}

} // namespace

void RegisterExportWindow(AnimWnd* window)
{
    gExportWindows.push_back(window);
}

void UnregisterExportWindow(AnimWnd* window)
{
    gExportWindows.erase(std::remove(gExportWindows.begin(), gExportWindows.end(), window), gExportWindows.end());
}

void RegisterRenderWindow(RenderWnd* window)
{
    gRenderWindows.push_back(window);
}

void UnregisterRenderWindow(RenderWnd* window)
{
    gRenderWindows.erase(std::remove(gRenderWindows.begin(), gRenderWindows.end(), window), gRenderWindows.end());
}

void UsableScreenSize(int32_t& width, int32_t& height)
{
    const QV_Rect usable = UsableScreenRect();
    width = usable.right - usable.left + 1;
    height = usable.bottom - usable.top + 1;
}

bool HandleExportCommand(VornWnd* owner, int32_t command, const char* path)
{
    (void)path;
    switch (command) {
    case 3116:
    case 3117: {
        StopPlayback(owner);
        if (!owner || !owner->fDocument)
            return true;
        auto* window = new RenderWnd(owner->fDocument, command == 3117, owner);
        window->RunModal();
        return true;
    }
    case 3118:
        StopPlayback(owner);
        if (owner && owner->fDocument)
            RunExport(owner);
        return true;
    case 3120: {
        StopPlayback(owner);
        if (gBatchWnd) {
            gBatchWnd->Show();
            return true;
        }
        int32_t w = 0;
        int32_t h = 0;
        UsableScreenSize(w, h);
        gBatchWnd = new BatchWnd(owner, w / 2 - 200, h / 2 - 150, w / 2 + 199, h / 2 + 149);
        return true;
    }
    default:
        return false;
    }
}

bool ExportWindowsMayQuit(VornWnd*)
{
    // A copy: an answer may close a window, which leaves the list.
    const std::vector<AnimWnd*> windows = gExportWindows;
    for (AnimWnd* window : windows) {
        if (!window->QuitRequested())
            return false;
    }
    if (gBatchWnd && !gBatchWnd->QuitRequested())
        return false;
    // Agreed: the renders stop now and finish what they wrote, before the program goes.
    for (AnimWnd* window : std::vector<AnimWnd*>(gExportWindows))
        PlatWindowDestroy(window->fHwnd);
    if (gBatchWnd)
        PlatWindowDestroy(gBatchWnd->fHwnd);
    return true;
}
