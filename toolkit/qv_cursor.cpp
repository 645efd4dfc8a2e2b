#include "qv_cursor.h"

#include <algorithm>

#include "plat_cursor.h"

QV_Cursor* gTextCursor = nullptr;

namespace {

constexpr int32_t kSmallestImage = 16;

// The I-beam, 16 x 16, hot spot on its stem: B opaque black, W opaque
// white, anything else transparent.
const char* const kTextCursorRows[16] = {
    "....WWW.WWW.....",
    "....WBBWBBW.....",
    ".....WWBWW......",
    "......WBW.......",
    "......WBW.......",
    "......WBW.......",
    "......WBW.......",
    "......WBW.......",
    "......WBW.......",
    "......WBW.......",
    "......WBW.......",
    "......WBW.......",
    "......WBW.......",
    ".....WWBWW......",
    "....WBBWBBW.....",
    "....WWW.WWW.....",
};
constexpr int32_t kTextCursorHotX = 7;
constexpr int32_t kTextCursorHotY = 7;

} // namespace

bool BuildCursorMasks(const QV_PixelBuffer& raster, int32_t width, int32_t height,
    std::vector<uint8_t>& andMask, std::vector<uint8_t>& xorMask)
{
    if (!raster.pixels || raster.bytesPerPixel != 4 || raster.width < kSmallestImage
        || raster.height < kSmallestImage || width < 1 || height < 1)
        return false;
    // Masks sized for the cursor at hand, whatever size the system asks for.
    const int32_t rowBytes = (width + 7) / 8;
    andMask.assign(size_t(rowBytes) * height, 0xFF);
    xorMask.assign(size_t(rowBytes) * height, 0x00);
    const int32_t rows = std::min(height, raster.height);
    const int32_t columns = std::min(width, raster.width);
    for (int32_t i = 0; i < rows; ++i) {
        const uint8_t* row = raster.pixels + int64_t(i) * raster.rowBytes;
        for (int32_t j = 0; j < columns; ++j) {
            const uint8_t* pixel = row + 4 * j;
            if (pixel[3] == 0)
                continue;
            const size_t at = size_t(i) * rowBytes + j / 8;
            const uint8_t bit = static_cast<uint8_t>(0x80 >> (j % 8));
            andMask[at] &= static_cast<uint8_t>(~bit);
            if (pixel[0] || pixel[1] || pixel[2])
                xorMask[at] |= bit;
        }
    }
    return true;
}

QV_Cursor::QV_Cursor(const QV_PixelBuffer* raster, int32_t hotX, int32_t hotY)
    : fHandle(nullptr)
{
    const int32_t size = PlatCursorSize();
    std::vector<uint8_t> andMask;
    std::vector<uint8_t> xorMask;
    if (!raster || !BuildCursorMasks(*raster, size, size, andMask, xorMask))
        return;
    // A hot spot off the cursor would lose the cursor altogether.
    hotX = std::clamp(hotX, 0, size - 1);
    hotY = std::clamp(hotY, 0, size - 1);
    fHandle = PlatCursorCreate(andMask.data(), xorMask.data(), size, size, hotX, hotY);
}

QV_Cursor::~QV_Cursor()
{
    PlatCursorDestroy(fHandle);
}

void CreateBuiltinCursors()
{
    if (gTextCursor)
        return;
    uint32_t pixels[16 * 16] = {};
    for (int32_t y = 0; y < 16; ++y) {
        for (int32_t x = 0; x < 16; ++x) {
            const char c = kTextCursorRows[y][x];
            pixels[y * 16 + x] = c == 'B' ? 0xFF000000u : c == 'W' ? 0xFFFFFFFFu : 0u;
        }
    }
    QV_PixelBuffer raster;
    raster.pixels = reinterpret_cast<uint8_t*>(pixels);
    raster.width = 16;
    raster.height = 16;
    raster.depth = 32;
    raster.bytesPerPixel = 4;
    raster.rowBytes = 64;
    gTextCursor = new QV_Cursor(&raster, kTextCursorHotX, kTextCursorHotY);
}

void DestroyBuiltinCursors()
{
    delete gTextCursor;
    gTextCursor = nullptr;
}
