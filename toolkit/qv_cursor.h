#pragma once
#include <cstdint>
#include <vector>

#include "qv_pixelbuffer.h"

struct PlatCursor;

// A pointer shape made from a 32-bit image: white where the image is opaque
// and not pure black, black where it is opaque pure black, see-through where
// it is transparent or beyond the image. Views carry one each; windows show
// the cursor of the view under the pointer.
class QV_Cursor {
public:
    // Images narrower or lower than 16 pixels (and images that are not
    // 32-bit) make a cursor without handle, which hides the pointer.
    QV_Cursor(const QV_PixelBuffer* raster, int32_t hotX, int32_t hotY);
    // Destroys the handle.
    ~QV_Cursor();
    QV_Cursor(const QV_Cursor&) = delete;
    QV_Cursor& operator=(const QV_Cursor&) = delete;

    PlatCursor* fHandle;
};

// The I-beam of text fields, made by toolkit start-up.
extern QV_Cursor* gTextCursor;
void CreateBuiltinCursors();
void DestroyBuiltinCursors();

// The cursor's two masks for a cursor of width x height: rows of
// (width + 7) / 8 bytes, leftmost pixel in the top bit. The and-mask bit is
// clear where the pixel is opaque, the xor-mask bit set where it is white.
// False (and the masks untouched) for an image that makes no cursor.
bool BuildCursorMasks(const QV_PixelBuffer& raster, int32_t width, int32_t height,
    std::vector<uint8_t>& andMask, std::vector<uint8_t>& xorMask);
