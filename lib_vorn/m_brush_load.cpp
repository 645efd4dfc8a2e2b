// Reading brush images: kept apart from the list and its lookup so that code which only resolves
// brush names (the record readers) does not pull in the image codecs.

#include "m_brush.h"

#include <string>

#include "colour_filters.h"
#include "image_file.h"
#include "plat_files.h"
#include "qv_path.h"
#include "raster_blit.h"
#include "raster_fill.h"

namespace {

bool AnyAlphaBelowOpaque(const QV_PixelBuffer& raster)
{
    for (int32_t y = 0; y < raster.height; y++) {
        const uint8_t* row = raster.pixels + int64_t(y) * raster.rowBytes;
        for (int32_t x = 0; x < raster.width; x++) {
            if (row[x * 4 + 3] < 255)
                return true;
        }
    }
    return false;
}

// Dark parts of the grey image become opaque, white parts transparent.
void GreyToMask(const QV_PixelBuffer& raster)
{
    for (int32_t y = 0; y < raster.height; y++) {
        uint8_t* row = raster.pixels + int64_t(y) * raster.rowBytes;
        for (int32_t x = 0; x < raster.width; x++) {
            uint8_t* pixel = row + x * 4;
            const uint8_t red = pixel[2];
            pixel[0] = 255;
            pixel[1] = 255;
            pixel[2] = 255;
            pixel[3] = uint8_t(255 - red);
        }
    }
}

} // namespace

bool M_Brush::Load(const char* path)
{
    fName = QV_Path(path ? path : "").FileName();
    fHasAlpha = false;
    fImage.Free();
    fMask.Free();
    if (!path || LoadImageFile(path, fImage, 0) != 0 || !fImage.buffer.pixels)
        return false;

    if (fMask.Allocate(fImage.Width(), fImage.Height(), 32) != 0)
        return false;
    BlitRaster(fImage.buffer, fMask.buffer, 0, 0);
    if (AnyAlphaBelowOpaque(fMask.buffer)) {
        fHasAlpha = true;
        FillRaster(fMask.buffer, rgb_color { 255, 255, 255, 255 });
        BlitRasterAlpha(fImage.buffer, fMask.buffer, 0, 0, false);
    }
    Desaturate(fMask.buffer);
    GreyToMask(fMask.buffer);

    if (fMaskCopy.Allocate(fMask.Width(), fMask.Height(), 32) != 0)
        return false;
    BlitRaster(fMask.buffer, fMaskCopy.buffer, 0, 0);
    return true;
}

void LoadBrushes(const char* folder)
{
    if (!folder)
        return;
    for (const std::string& name : PlatListFolder(folder)) {
        QV_Path path(folder);
        path.Append(name.c_str());
        if (path.MediaType() != "image")
            continue;
        M_Brush* brush = new M_Brush;
        if (brush->Load(path.CString()))
            gBrushList.Append(brush);
        else
            delete brush;
    }
}
