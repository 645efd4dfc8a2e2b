#pragma once
#include <cstdint>
#include <memory>

// The one fixed 256-colour palette that every 8-bit raster indexes, with an
// inverse map from 5:5:5 colours to the nearest entry. There is no palette
// display on this platform, so no system palette object is made from it; the
// colours and the map serve 8-bit rasters and the dithered conversions.
class SystemPalette {
public:
    static constexpr int32_t kColorCount = 256;
    static constexpr int32_t kInverseMapSize = 32768;

    // Frees what was there, copies the fixed colours and builds the inverse
    // map. The colours are fixed, so this always succeeds with 0.
    int32_t Build();
    // Inverse-map entry of the colour's top five bits per channel; 0 while
    // there is no map.
    uint8_t NearestIndex(uint8_t red, uint8_t green, uint8_t blue) const;
    void Free();
    // Nearest entry for every 5:5:5 cell, ties going to the lower index.
    void BuildInverseMap();

    // Entries as opaque 32-bit pixels (alpha << 24 | red << 16 | green << 8 | blue).
    int32_t fCount = 0;
    std::unique_ptr<uint32_t[]> fColors;
    std::unique_ptr<uint8_t[]> fInverseMap;
};

// The process-wide palette, built by whichever thread needs it first; later
// callers wait until it is complete. It stays until the process ends.
const SystemPalette& EnsureSystemPalette();
