#include "qv_dc.h"

#include "plat_video.h"
#include "plat_window.h"
#include "qv_layer.h"
#include "qv_platform_image.h"
#include "qv_wnd.h"
#include "system_palette.h"

QV_DC* QV_DC::Create(QV_Wnd* window, QV_Layer* layer)
{
    if (!window || !window->fHwnd)
        return nullptr;
    QV_DC* dc = new QV_DC;
    dc->fWindow = window;
    dc->fHwnd = window->fHwnd;
    // fLayer is not set yet, so this first clip covers the whole client area;
    // callers set the real clip afterwards.
    const QV_Rect bounds = window->Bounds();
    dc->SetClipRect(bounds.left, bounds.top, bounds.right, bounds.bottom);
    EnsureSystemPalette();
    dc->fLayer = layer;
    return dc;
}

QV_DC::~QV_DC() = default;

void QV_DC::SetClipRect(int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    fClipRegion.SetRect({ left, top, right, bottom });
    fHasClipRegion = true;
    if (!fLayer || !fWindow)
        return;
    int32_t index = -1;
    for (int32_t i = 0; i < fWindow->fLayerCount; ++i) {
        if (fWindow->fLayers[i] == fLayer)
            index = i;
    }
    if (index < 0)
        return;
    for (int32_t i = index + 1; i < fWindow->fLayerCount; ++i) {
        const QV_Rect frame = fWindow->fLayers[i]->Frame();
        ExcludeRect(frame.left, frame.top, frame.right, frame.bottom);
    }
}

void QV_DC::ExcludeRect(int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    if (fHasClipRegion)
        fClipRegion.SubtractRect({ left, top, right, bottom });
}

void QV_DC::BlitImage(const QV_PlatformImage* image, int32_t x, int32_t y)
{
    if (!image || !image->buffer.pixels)
        return;
    PlatPixels pixels;
    pixels.pixels = image->buffer.pixels;
    pixels.width = image->buffer.width;
    pixels.height = image->buffer.height;
    pixels.depth = image->buffer.depth;
    pixels.rowBytes = image->buffer.rowBytes;
    if (fHasClipRegion) {
        PlatWindowPresent(fHwnd, pixels, x, y, fClipRegion);
    } else {
        const QV_Rect bounds = fWindow->Bounds();
        PlatWindowPresent(
            fHwnd, pixels, x, y, PlatRegion({ bounds.left, bounds.top, bounds.right, bounds.bottom }));
    }
}

int32_t ScreenBytesPerPixel()
{
    switch (PlatScreenBitsPerPixel()) {
    case 8:
        return 1;
    case 15:
    case 16:
        return 2;
    case 24:
        return 3;
    default:
        return 4;
    }
}

QV_Rect UsableScreenRect()
{
    PlatRect area;
    if (PlatUsableScreenRect(area) || PlatScreenRect(area))
        return { area.left, area.top, area.right, area.bottom };
    return { 0, 0, 1023, 767 };
}
