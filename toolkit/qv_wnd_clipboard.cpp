// Text and pictures through the system clipboard. Every failure is silent.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "plat_clipboard.h"
#include "png_codec.h"
#include "qv_baseimage.h"
#include "qv_platform_image.h"
#include "qv_temp_file.h"
#include "qv_wnd.h"
#include "utf_convert.h"

namespace {

// The image as an opaque 32-bit picture, top row first; false for depths
// other than 24 and 32.
bool OpaqueCopy(const QV_PixelBuffer& raster, QV_BaseImage& copy)
{
    if ((raster.depth != 24 && raster.depth != 32) || !raster.pixels || raster.width <= 0
        || raster.height <= 0)
        return false;
    if (copy.Allocate(raster.width, raster.height, 32) != 0)
        return false;
    const int32_t sourceBytes = raster.depth / 8;
    for (int32_t y = 0; y < raster.height; ++y) {
        const uint8_t* source = raster.pixels + int64_t(y) * raster.rowBytes;
        uint8_t* target = copy.buffer.pixels + int64_t(y) * copy.buffer.rowBytes;
        for (int32_t x = 0; x < raster.width; ++x) {
            target[4 * x] = source[sourceBytes * x];
            target[4 * x + 1] = source[sourceBytes * x + 1];
            target[4 * x + 2] = source[sourceBytes * x + 2];
            target[4 * x + 3] = 255;
        }
    }
    return true;
}

bool ReadWholeFile(const char* path, std::vector<uint8_t>& bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !bytes.empty();
}

} // namespace

void QV_Wnd::CopyTextToClipboard(const char* text)
{
    if (!text)
        return;
    // Through the 2047-unit conversion every copied text has always passed.
    const char16_t* wide = ToWide(text);
    const char16_t* end = wide;
    while (*end)
        ++end;
    std::vector<char> utf8(size_t(end - wide) * 3 + 1);
    const char16_t* source = wide;
    char* target = utf8.data();
    ConvertUTF16toUTF8(&source, end, &target, utf8.data() + utf8.size() - 1);
    *target = 0;
    PlatClipboardSetText(utf8.data());
}

void QV_Wnd::CopyImageToClipboard(QV_PlatformImage* image)
{
    if (!image)
        return;
    QV_BaseImage copy;
    if (!OpaqueCopy(image->buffer, copy))
        return;
    QV_String path = TempFileName();
    path.Append(".png");
    std::vector<uint8_t> png;
    const bool written = WritePng(path.CString(), copy.buffer) && ReadWholeFile(path.CString(), png);
    std::remove(path.CString());
    if (written)
        PlatClipboardSetPng(png.data(), png.size());
}

const char* QV_Wnd::PasteText()
{
    // The clipboard gives UTF-8 here; nothing needs converting.
    std::string text;
    if (!PlatClipboardGetText(text))
        return nullptr;
    fClipboardText = text.c_str();
    return fClipboardText.CString();
}
