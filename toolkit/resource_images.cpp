#include "resource_images.h"

#include <cstdio>
#include <cstring>
#include <memory>

#include "app_folders.h"
#include "image_file.h"
#include "qv_alert.h"
#include "qv_app.h"
#include "qv_baseimage.h"
#include "qv_graphics.h"
#include "qv_wnd.h"
#include "raster_fill.h"

namespace {

void WriteMissingImageWarning(const char* name)
{
    std::fprintf(stderr, "Uh-oh, that ain't right...\nMissing resource image!\n%s\n", name);
    // Once the interface has a window the user sees the warning too.
    if (gWindowList.fCount > 0)
        Alert(nullptr, ALERT_WARNING, "Uh-oh, that ain't right...", "Missing resource image!", name, "OK",
            nullptr, nullptr);
}

void DrawPlaceholder(QV_BaseImage& image)
{
    if (image.Allocate(32, 32, 32) != 0)
        return;
    FillRaster(image.buffer, rgb_color { 0, 0, 0, 255 });
    QV_Graphics graphics;
    if (graphics.SetRaster(&image.buffer) != 0)
        return;
    graphics.fViewMode = QV_Graphics::kViewPlain;
    graphics.fPanX = 0;
    graphics.fPanY = 0;
    graphics.fZoom = 1;
    graphics.fRotation = 0;
    graphics.BeginDraw();
    graphics.SetColor(255, 0, 0, 255);
    graphics.DrawLine(0, 0, 31, 31);
    graphics.DrawLine(0, 31, 31, 0);
    graphics.EndDraw();
}

// The picture for callers that run without an application object.
QV_PixelBuffer* LonePlaceholder()
{
    static std::unique_ptr<QV_BaseImage> placeholder;
    if (!placeholder) {
        placeholder = std::make_unique<QV_BaseImage>();
        DrawPlaceholder(*placeholder);
    }
    return &placeholder->buffer;
}

} // namespace

void (*gMissingImageWarning)(const char* name) = WriteMissingImageWarning;

QV_PixelBuffer* GetResourceImage(const char* name)
{
    if (!name)
        name = "";
    QV_App* app = gApp;
    if (!app)
        return LonePlaceholder();
    for (int32_t i = 0; i < app->fImageCount; ++i) {
        if (std::strcmp(app->fImageNames[i].CString(), name) == 0)
            return &app->fImages[i]->buffer;
    }
    if (app->fImageCount == app->fImageCapacity) {
        const int32_t capacity = app->fImageCapacity * 2;
        auto names = std::make_unique<QV_String[]>(capacity);
        auto images = std::make_unique<QV_BaseImage*[]>(capacity);
        for (int32_t i = 0; i < app->fImageCount; ++i) {
            names[i] = app->fImageNames[i];
            images[i] = app->fImages[i];
        }
        app->fImageNames = std::move(names);
        app->fImages = std::move(images);
        app->fImageCapacity = capacity;
    }
    QV_Path path = ResourcesFolder();
    QV_String file = name;
    file.Append(".png");
    path.Append(file);

    auto* image = new QV_BaseImage;
    const bool loaded = LoadImageFile(path.CString(), *image, 0) == 0 && image->buffer.pixels;
    if (!loaded)
        DrawPlaceholder(*image);
    const int32_t index = app->fImageCount++;
    app->fImageNames[index] = name;
    app->fImages[index] = image;
    if (!loaded && gMissingImageWarning)
        gMissingImageWarning(name);
    return &image->buffer;
}
