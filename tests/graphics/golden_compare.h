#pragma once
// Pixel-for-pixel comparison of a drawn 32-bit raster with a PNG in tests/data/golden.
// CELVANE_UPDATE_GOLDEN=1 writes the goldens instead; a failing comparison writes what was
// drawn to <name>.actual.png in the test's working directory.
#include "owned_raster.h"
#include "png_codec.h"
#include "qv_pixelbuffer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

inline std::string GoldenPath(const char* name)
{
    return std::string(CELVANE_TEST_DATA) + "/golden/" + name + ".png";
}

inline void ExpectMatchesGolden(const QV_PixelBuffer& drawn, const char* name)
{
    const std::string path = GoldenPath(name);
    const char* update = std::getenv("CELVANE_UPDATE_GOLDEN");
    if (update && *update && std::string(update) != "0") {
        ASSERT_TRUE(WritePng(path.c_str(), drawn)) << path;
        return;
    }
    PngReadContext* context = nullptr;
    int width = 0, height = 0;
    bool hasAlpha = false;
    ASSERT_TRUE(OpenPng(path.c_str(), &context, &width, &height, &hasAlpha))
        << path << " is missing; run with CELVANE_UPDATE_GOLDEN=1 to create it";
    OwnedRaster golden(width, height, 32);
    ASSERT_TRUE(ReadPngRows(context, golden.buffer));
    ASSERT_EQ(width, drawn.width);
    ASSERT_EQ(height, drawn.height);
    int32_t differences = 0;
    std::string first;
    for (int32_t y = 0; y < height; y++) {
        for (int32_t x = 0; x < width; x++) {
            uint32_t value;
            std::memcpy(&value, drawn.pixels + y * drawn.rowBytes + x * 4, 4);
            if (value != golden.Get32(x, y)) {
                if (differences++ == 0) {
                    char text[96];
                    std::snprintf(text, sizeof text, "first at (%d, %d): drawn %08X, golden %08X", x, y,
                        value, golden.Get32(x, y));
                    first = text;
                }
            }
        }
    }
    if (differences > 0)
        WritePng((std::string(name) + ".actual.png").c_str(), drawn);
    EXPECT_EQ(differences, 0) << name << ": " << first;
}
