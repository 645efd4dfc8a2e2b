#pragma once
#include "qv_pixelbuffer.h"
#include <cstdint>
#include <memory>

// The row table of a borrowed texture: the start of every texture row, so that texel reads in the
// span fillers need no multiplication. Null clears the texture (pixels null) and frees the table.
// Otherwise the descriptor is copied and the table refilled; the table itself is replaced only when
// no texture was set before, the height changed or there is none yet. A texture without rows gets
// no table.
void SetTextureRows(
    const QV_PixelBuffer* texture, QV_PixelBuffer& current, std::unique_ptr<uint8_t*[]>& rows);
