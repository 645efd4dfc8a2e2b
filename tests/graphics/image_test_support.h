#pragma once

// Helpers of the image file tests: scratch folders, byte builders for hand-made fixtures, the
// ImageMagick tools that judge our files, and a way to run a reader once from a path.

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

#include "image_source.h"
#include "owned_raster.h"

// A fresh folder, removed with its contents at the end of the test.
class ScratchFolder {
public:
    ScratchFolder()
    {
        std::string pattern = std::filesystem::temp_directory_path().string() + "/celvane_image_XXXXXX";
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back('\0');
        if (mkdtemp(buffer.data()))
            fPath = buffer.data();
    }
    ~ScratchFolder()
    {
        std::error_code ignored;
        if (!fPath.empty())
            std::filesystem::remove_all(fPath, ignored);
    }
    std::string operator/(const std::string& name) const { return fPath + "/" + name; }
    const std::string& Path() const { return fPath; }
    // Names of the files in the folder (temporary files of failed writes would show here).
    std::vector<std::string> Names() const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(fPath))
            names.push_back(entry.path().filename().string());
        return names;
    }

private:
    std::string fPath;
};

inline void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes)
{
    FILE* file = fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr) << path;
    if (!bytes.empty()) {
        ASSERT_EQ(fwrite(bytes.data(), 1, bytes.size(), file), bytes.size());
    }
    ASSERT_EQ(fclose(file), 0);
}

inline std::vector<uint8_t> ReadBytes(const std::string& path)
{
    std::vector<uint8_t> bytes;
    FILE* file = fopen(path.c_str(), "rb");
    if (!file)
        return bytes;
    uint8_t chunk[65536];
    size_t n;
    while ((n = fread(chunk, 1, sizeof chunk, file)) > 0)
        bytes.insert(bytes.end(), chunk, chunk + n);
    fclose(file);
    return bytes;
}

// Appends integers and text to a byte vector.
struct ByteBuilder {
    std::vector<uint8_t> bytes;

    ByteBuilder& U8(uint32_t v)
    {
        bytes.push_back(uint8_t(v));
        return *this;
    }
    ByteBuilder& Le16(uint32_t v) { return U8(v).U8(v >> 8); }
    ByteBuilder& Le32(uint32_t v) { return Le16(v).Le16(v >> 16); }
    ByteBuilder& Text(const char* text)
    {
        bytes.insert(bytes.end(), text, text + strlen(text));
        return *this;
    }
    ByteBuilder& Fill(size_t n, uint8_t v)
    {
        bytes.insert(bytes.end(), n, v);
        return *this;
    }
    ByteBuilder& Append(const std::vector<uint8_t>& more)
    {
        bytes.insert(bytes.end(), more.begin(), more.end());
        return *this;
    }
};

inline uint32_t Big16(const std::vector<uint8_t>& b, size_t at)
{
    return uint32_t(b.at(at)) << 8 | b.at(at + 1);
}

inline uint32_t Big32(const std::vector<uint8_t>& b, size_t at)
{
    return Big16(b, at) << 16 | Big16(b, at + 2);
}

inline uint32_t Little32(const std::vector<uint8_t>& b, size_t at)
{
    return uint32_t(b.at(at)) | uint32_t(b.at(at + 1)) << 8 | uint32_t(b.at(at + 2)) << 16
        | uint32_t(b.at(at + 3)) << 24;
}

// Output of a command (standard output and error), with its exit status.
struct CommandResult {
    int status = -1;
    std::string output;
};

inline CommandResult RunCommand(const std::string& command)
{
    CommandResult result;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe)
        return result;
    char chunk[4096];
    size_t n;
    while ((n = fread(chunk, 1, sizeof chunk, pipe)) > 0)
        result.output.append(chunk, n);
    result.status = pclose(pipe);
    return result;
}

// The path of an ImageMagick tool ("convert", "identify"), or empty when ImageMagick is not
// installed. Debian's own copy is asked for first.
inline std::string ImageMagickTool(const char* name)
{
    for (const std::string folder : { "/usr/bin/", "" }) {
        const std::string tool = folder + name;
        if (!folder.empty() && access(tool.c_str(), X_OK) != 0)
            continue;
        CommandResult version = RunCommand(tool + " -version");
        if (version.status == 0 && version.output.find("ImageMagick") != std::string::npos)
            return tool;
    }
    return "";
}

#define REQUIRE_IMAGEMAGICK(var, name)                                                                       \
    const std::string var = ImageMagickTool(name);                                                           \
    if (var.empty())                                                                                         \
    GTEST_SKIP() << "ImageMagick is not installed"

// A 32-bit raster with a recognisable pattern: every pixel different in each channel.
inline OwnedRaster PatternRaster(int32_t width, int32_t height, bool withAlpha)
{
    OwnedRaster raster(width, height, 32);
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x) {
            uint8_t* p = raster.At(x, y);
            p[0] = uint8_t(x * 7 + y * 3); // blue
            p[1] = uint8_t(x * 13 + 40); // green
            p[2] = uint8_t(y * 29 + 90); // red
            p[3] = withAlpha ? uint8_t(255 - ((x + y) * 17 % 256)) : 255;
        }
    return raster;
}

// Red, green, blue, alpha of a 32-bit raster pixel.
struct Rgba {
    int r, g, b, a;
    bool operator==(const Rgba&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Rgba& c)
{
    return out << "(" << c.r << ", " << c.g << ", " << c.b << ", " << c.a << ")";
}

inline Rgba PixelAt(const QV_PixelBuffer& raster, int32_t x, int32_t y)
{
    const uint8_t* p = raster.pixels + ptrdiff_t(y) * raster.rowBytes + ptrdiff_t(x) * 4;
    return Rgba { p[2], p[1], p[0], p[3] };
}

// Red, green, blue and alpha of every pixel from ImageMagick's "txt:" rendering of the same file: one line
// per pixel, "x,y: (r,g,b...)". Fills a width x height table; false when the text does not parse.
inline bool ParseImageMagickText(
    const std::string& text, int32_t width, int32_t height, std::vector<Rgba>& out)
{
    out.assign(size_t(width) * size_t(height), Rgba { -1, -1, -1, -1 });
    size_t position = 0;
    int parsed = 0;
    while ((position = text.find('\n', position)) != std::string::npos) {
        ++position;
        int x, y;
        double r, g, b, a = 255;
        int fields = sscanf(text.c_str() + position, "%d,%d: (%lf,%lf,%lf,%lf", &x, &y, &r, &g, &b, &a);
        if (fields < 3 || x < 0 || y < 0 || x >= width || y >= height)
            continue;
        if (fields <= 4) { // grey, grey with alpha
            a = fields == 4 ? g : 255;
            g = b = r;
        }
        out[size_t(y) * size_t(width) + size_t(x)]
            = Rgba { int(r + 0.5), int(g + 0.5), int(b + 0.5), int(a + 0.5) };
        ++parsed;
    }
    return parsed == width * height;
}

// A reader of plug-in 0 run once from a path: open, then rows into a 32-bit raster. Messages the
// JPEG library's error manager printed are kept (the readers' own codes print as
// "Bogus message code N").
using SourceOpenFunction = bool (*)(const char*, ImageSourceContext**, int*, int*, bool*);

struct SourceReadResult {
    bool opened = false;
    bool read = false;
    int width = 0;
    int height = 0;
    OwnedRaster raster { 1, 1, 32 };
    std::string messages;

    Rgba At(int32_t x, int32_t y) const { return PixelAt(raster.buffer, x, y); }
};

inline SourceReadResult ReadWithSource(SourceOpenFunction open, const std::string& path)
{
    SourceReadResult result;
    testing::internal::CaptureStderr();
    ImageSourceContext* context = nullptr;
    bool hasAlpha = true;
    result.opened = open(path.c_str(), &context, &result.width, &result.height, &hasAlpha);
    if (result.opened) {
        EXPECT_FALSE(hasAlpha);
        result.raster = OwnedRaster(result.width, result.height, 32);
        result.read = ReadSourceRows(context, result.raster.buffer);
    }
    result.messages = testing::internal::GetCapturedStderr();
    return result;
}

// Compares a decoded raster with ImageMagick's decoding of the same file, colour channels only.
// ImageMagick keeps a file's row order and only records its orientation; -auto-orient shows the
// picture as the format defines it (bottom-up Targa files).
inline void ExpectSameAsImageMagick(
    const std::string& convert, const std::string& path, const QV_PixelBuffer& raster, int tolerance = 0)
{
    CommandResult text = RunCommand(convert + " '" + path + "' -auto-orient -depth 8 txt:-");
    ASSERT_EQ(text.status, 0) << text.output;
    std::vector<Rgba> expected;
    ASSERT_TRUE(ParseImageMagickText(text.output, raster.width, raster.height, expected)) << text.output;
    int mismatches = 0;
    for (int32_t y = 0; y < raster.height; ++y)
        for (int32_t x = 0; x < raster.width; ++x) {
            const Rgba want = expected[size_t(y) * size_t(raster.width) + size_t(x)];
            const Rgba got = PixelAt(raster, x, y);
            if (std::abs(want.r - got.r) > tolerance || std::abs(want.g - got.g) > tolerance
                || std::abs(want.b - got.b) > tolerance) {
                if (++mismatches <= 5)
                    ADD_FAILURE() << "pixel " << x << "," << y << ": ImageMagick " << want << ", ours "
                                  << got;
            }
        }
    EXPECT_EQ(mismatches, 0) << path;
}
