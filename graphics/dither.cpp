#include "dither.h"

#include "qv_random.h"
#include "raster_rows.h"
#include "system_palette.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <new>
#include <utility>

int32_t DitherTable[kDitherTableSize];

namespace {

std::once_flag gDitherTableOnce;
std::atomic<int32_t> gDitherTableCount { 0 };

bool Fits(const QV_PixelBuffer& source, int32_t sourceSize, const QV_PixelBuffer& destination,
    int32_t destinationSize)
{
    return source.pixels && destination.pixels && source.bytesPerPixel == sourceSize
        && destination.bytesPerPixel == destinationSize && source.width == destination.width
        && source.height == destination.height && source.width > 0 && source.height > 0;
}

// Walks the dither table from its start, wrapping at its end.
class DitherCursor {
public:
    int32_t Next()
    {
        const int32_t value = DitherTable[fPosition];
        if (++fPosition == kDitherTableSize)
            fPosition = 0;
        return value;
    }

private:
    int32_t fPosition = 0;
};

// The top bits of channel + offset, saturating at the field's maximum.
inline uint32_t Field(uint32_t channel, int32_t offset, int bits)
{
    const uint32_t sum = channel + static_cast<uint32_t>(offset);
    return sum < 256 ? sum >> (8 - bits) : (1u << bits) - 1;
}

// Random-dithered packing shared by the 15- and 16-bit conversions.
template <typename Pack>
void ConvertDithered(const QV_PixelBuffer& source, const QV_PixelBuffer& destination, Pack pack)
{
    FillDitherTable();
    DitherCursor dither;
    for (int32_t y = 0; y < source.height; y++) {
        const uint8_t* s = RasterRow(source, y);
        uint8_t* d = RasterRow(destination, y);
        for (int32_t x = 0; x < source.width; x++, s += 4, d += 2) {
            const int32_t dr = dither.Next();
            const int32_t dg = dither.Next();
            const int32_t db = dither.Next();
            StorePixel16(d, pack(s, dr, dg, db));
        }
    }
}

// Current and next row of accumulated red, green and blue for the error
// diffusion, in one block.
class DiffusionRows {
public:
    explicit DiffusionRows(int32_t width)
        : fWidth(width)
        , fBlock(new (std::nothrow) int32_t[static_cast<size_t>(width) * 6])
    {
        for (int c = 0; c < 3; c++) {
            fCurrent[c] = fBlock.get() + static_cast<size_t>(width) * c;
            fNext[c] = fBlock.get() + static_cast<size_t>(width) * (c + 3);
        }
    }

    bool Valid() const { return fBlock != nullptr; }
    int32_t* Current(int channel) const { return fCurrent[channel]; }
    int32_t* Next(int channel) const { return fNext[channel]; }

    void LoadCurrent(const uint8_t* pixels) { Load(fCurrent, pixels); }
    void LoadNext(const uint8_t* pixels) { Load(fNext, pixels); }

    // The next rows become the current ones.
    void Advance()
    {
        for (int c = 0; c < 3; c++)
            std::swap(fCurrent[c], fNext[c]);
    }

private:
    void Load(int32_t* const (&rows)[3], const uint8_t* pixels)
    {
        for (int32_t x = 0; x < fWidth; x++, pixels += 4) {
            rows[0][x] = pixels[kRed];
            rows[1][x] = pixels[kGreen];
            rows[2][x] = pixels[kBlue];
        }
    }

    int32_t fWidth;
    std::unique_ptr<int32_t[]> fBlock;
    int32_t* fCurrent[3];
    int32_t* fNext[3];
};

inline int32_t ClampByte(int32_t value)
{
    return value < 0 ? 0 : value > 255 ? 255 : value;
}

} // namespace

void FillDitherTable()
{
    std::call_once(gDitherTableOnce, [] {
        for (int32_t i = 0; i < kDitherTableSize; i++)
            DitherTable[i] = static_cast<int32_t>(static_cast<double>(QV_Rand()) / kQVRandMax * 8.0);
        gDitherTableCount.store(kDitherTableSize, std::memory_order_release);
    });
}

int32_t DitherTableCount()
{
    return gDitherTableCount.load(std::memory_order_acquire);
}

void ConvertTo15Dithered(const QV_PixelBuffer& source, const QV_PixelBuffer& destination)
{
    if (!Fits(source, 4, destination, 2))
        return;
    ConvertDithered(source, destination, [](const uint8_t* s, int32_t dr, int32_t dg, int32_t db) {
        const uint32_t opaque = s[kAlpha] >= 128 ? 0x8000u : 0u;
        return static_cast<uint16_t>(
            opaque | (Field(s[kRed], dr, 5) << 10) | (Field(s[kGreen], dg, 5) << 5) | Field(s[kBlue], db, 5));
    });
}

void ConvertTo16Dithered(const QV_PixelBuffer& source, const QV_PixelBuffer& destination)
{
    if (!Fits(source, 4, destination, 2))
        return;
    ConvertDithered(source, destination, [](const uint8_t* s, int32_t dr, int32_t dg, int32_t db) {
        return static_cast<uint16_t>(
            (Field(s[kRed], dr, 5) << 11) | (Field(s[kGreen], dg, 6) << 5) | Field(s[kBlue], db, 5));
    });
}

void ConvertTo8Dithered(const QV_PixelBuffer& source, const QV_PixelBuffer& destination)
{
    if (!Fits(source, 4, destination, 1))
        return;
    const SystemPalette& palette = EnsureSystemPalette();
    FillDitherTable();
    DitherCursor dither;
    const int32_t width = source.width;
    const int32_t height = source.height;

    DiffusionRows rows(width);
    if (!rows.Valid())
        return;
    rows.LoadCurrent(RasterRow(source, 0));
    if (height > 1)
        rows.LoadNext(RasterRow(source, 1));

    for (int32_t y = 0; y < height; y++) {
        if (y > 0 && y < height - 1) {
            rows.Advance();
            rows.LoadNext(RasterRow(source, y + 1));
        }
        const uint8_t* s = RasterRow(source, y);
        uint8_t* d = RasterRow(destination, y);
        int32_t* red = rows.Current(0);
        int32_t* green = rows.Current(1);
        int32_t* blue = rows.Current(2);
        int32_t* nextRed = rows.Next(0);
        int32_t* nextGreen = rows.Next(1);
        int32_t* nextBlue = rows.Next(2);
        for (int32_t x = 0; x < width; x++, s += 4, d++) {
            uint8_t index;
            if (x == 0 || x == width - 1 || y == height - 1) {
                // The border has no neighbours on every side to take an error,
                // so it gets the plain random dither of the source colour.
                const int32_t offset = dither.Next();
                index = palette.NearestIndex(static_cast<uint8_t>(ClampByte(s[kRed] + offset)),
                    static_cast<uint8_t>(ClampByte(s[kGreen] + offset)),
                    static_cast<uint8_t>(ClampByte(s[kBlue] + offset)));
            } else {
                red[x] = ClampByte(red[x]);
                green[x] = ClampByte(green[x]);
                blue[x] = ClampByte(blue[x]);
                index = palette.NearestIndex(static_cast<uint8_t>(red[x]), static_cast<uint8_t>(green[x]),
                    static_cast<uint8_t>(blue[x]));
                const uint32_t entry = palette.fColors[index];
                auto spread = [x](int32_t* now, int32_t* below, int32_t error) {
                    now[x + 1] += (7 * error) >> 4;
                    below[x + 1] += error >> 4;
                    below[x] += (5 * error) >> 4;
                    below[x - 1] += (3 * error) >> 4;
                };
                spread(red, nextRed, red[x] - static_cast<int32_t>((entry >> 16) & 0xFF));
                spread(green, nextGreen, green[x] - static_cast<int32_t>((entry >> 8) & 0xFF));
                spread(blue, nextBlue, blue[x] - static_cast<int32_t>(entry & 0xFF));
            }
            if (s[kAlpha] < 128)
                *d = 0;
            else
                *d = index == 0 ? 1 : index;
        }
    }
}

void ConvertFrom8(const QV_PixelBuffer& source, const QV_PixelBuffer& destination)
{
    if (!Fits(source, 1, destination, 4))
        return;
    const SystemPalette& palette = EnsureSystemPalette();
    for (int32_t y = 0; y < source.height; y++) {
        const uint8_t* s = RasterRow(source, y);
        uint8_t* d = RasterRow(destination, y);
        for (int32_t x = 0; x < source.width; x++, s++, d += 4)
            StorePixel32(d, palette.fColors[*s]);
    }
}
