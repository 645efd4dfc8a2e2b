#include "texture_rows.h"

#include <cstddef>
#include <new>

void SetTextureRows(const QV_PixelBuffer* texture, QV_PixelBuffer& current, std::unique_ptr<uint8_t*[]>& rows)
{
    if (!texture) {
        current.pixels = nullptr;
        rows.reset();
        return;
    }
    const bool rebuild = !current.pixels || current.height != texture->height || !rows;
    current = *texture;
    if (rebuild) {
        rows.reset();
        if (texture->height > 0)
            rows.reset(new (std::nothrow) uint8_t*[static_cast<size_t>(texture->height)]);
    }
    if (!rows)
        return;
    for (int32_t i = 0; i < texture->height; i++)
        rows[i] = texture->pixels + static_cast<ptrdiff_t>(i) * texture->rowBytes;
}
