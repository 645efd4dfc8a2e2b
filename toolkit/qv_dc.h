#pragma once
#include <cstdint>

#include "plat_region.h"
#include "qv_rect.h"

class QV_Layer;
class QV_PlatformImage;
class QV_Wnd;
struct PlatWindow;

// A short-lived drawing target on a window: created, clipped, blitted,
// deleted. Its clip leaves out the frames of the layers stacked above the one
// being copied, so copying a lower layer never paints over a menu or dialog
// on top of it.
class QV_DC {
public:
    // Null when the window has no system window. The caller deletes it.
    static QV_DC* Create(QV_Wnd* window, QV_Layer* layer);
    ~QV_DC();
    QV_DC(const QV_DC&) = delete;
    QV_DC& operator=(const QV_DC&) = delete;

    // Window client coordinates, inclusive. Leaves out the frames of the
    // layers above fLayer.
    void SetClipRect(int32_t left, int32_t top, int32_t right, int32_t bottom);
    // Takes a rectangle out of the current clip; nothing without one.
    void ExcludeRect(int32_t left, int32_t top, int32_t right, int32_t bottom);
    // The whole image with its top-left pixel at (x, y) of the client area,
    // only where the clip allows; nothing for an image without pixels.
    void BlitImage(const QV_PlatformImage* image, int32_t x, int32_t y);

    QV_Wnd* fWindow = nullptr;
    PlatWindow* fHwnd = nullptr;
    QV_Layer* fLayer = nullptr;
    bool fHasClipRegion = false;
    PlatRegion fClipRegion;

private:
    QV_DC() = default;
};

// The screen's bytes per pixel: 1 for 8 bits, 2 for 15 and 16, 3 for 24,
// else 4.
int32_t ScreenBytesPerPixel();
// The part of the screen that windows may use (without panels and docks);
// 1024 x 768 when the screen cannot be asked.
QV_Rect UsableScreenRect();
