#include "ss_spots.h"

#include <cmath>

#include "box_blur.h"
#include "qv_iostream.h"
#include "qv_noise.h"
#include "raster_alpha.h"
#include "raster_blit.h"
#include "style_alpha_tables.h"
#include "style_document.h"
#include "style_record.h"
#include "style_units.h"

namespace {

// Sizes this small (in pixels) make no visible spot and would only feed the divisions below
// with zero.
constexpr float kSmallestSize = 1e-6f;

bool Usable(float pixels)
{
    return pixels >= kSmallestSize;
}

} // namespace

SS_Spots::SS_Spots()
    : fSpotLength(1.0f / 15.0f)
    , fSpotWidth(1.0f / 60.0f)
    , fLengthSpacing(2.0f / 15.0f)
    , fWidthSpacing(1.0f / 30.0f)
    , fAngle(0.7853982f)
    , fSpotColor { 255, 0, 0, 255 }
{
    SpotAlphaTable();
}

SS_Spots::~SS_Spots() = default;

int32_t SS_Spots::StyleType()
{
    return 3;
}

bool SS_Spots::ReadRecord(QV_IoStream* stream)
{
    return stream->ReadFloat(fSpotLength) && stream->ReadFloat(fSpotWidth)
        && stream->ReadFloat(fLengthSpacing) && stream->ReadFloat(fWidthSpacing) && stream->ReadFloat(fAngle)
        && stream->ReadColor(fSpotColor);
}

void SS_Spots::WriteRecord(QV_IoStream* stream)
{
    WriteFloatThenBlank(stream, fSpotLength);
    WriteFloatThenBlank(stream, fSpotWidth);
    WriteFloatThenBlank(stream, fLengthSpacing);
    WriteFloatThenBlank(stream, fWidthSpacing);
    WriteFloatThenBlank(stream, fAngle);
    stream->WriteColor(fSpotColor);
    stream->WriteSpace();
}

void SS_Spots::Apply(QV_PixelBuffer* image, QV_Rect, QV_PixelBuffer* work, StyleDocument* doc, float scale)
{
    if (!doc || !IsEffectRaster(image) || !IsEffectRaster(work))
        return;
    const int32_t height = doc->HeightPixels();
    const float halfLength = StylePixels(fSpotLength, height, scale) / 2.0f;
    const float halfWidth = StylePixels(fSpotWidth, height, scale) / 2.0f;
    const float lengthSpacing = StylePixels(fLengthSpacing, height, scale);
    const float widthSpacing = StylePixels(fWidthSpacing, height, scale);
    if (!Usable(halfLength) || !Usable(halfWidth) || !Usable(lengthSpacing) || !Usable(widthSpacing))
        return;
    const float amplitude = halfLength < halfWidth ? halfLength : halfWidth;
    const float frequency = 1.0f / (halfLength > halfWidth ? halfLength : halfWidth);
    const float c = std::cos(fAngle);
    const float n = std::sin(fAngle);
    const float rowShift = std::round(lengthSpacing / 2.0f);
    const rgb_color color = fSpotColor;

    // Rows and columns stay floats: a spacing far below a pixel gives indices no integer holds.
    for (int32_t y = 0; y < work->height; y++) {
        uint8_t* p = RasterRow(*work, y);
        for (int32_t x = 0; x < work->width; x++, p += 4) {
            const float fx = static_cast<float>(x);
            const float fy = static_cast<float>(y);
            QV_Vector2 q { fx * c - fy * n, fx * n + fy * c };
            const QV_Vector2 distortion = NoiseVector2D(q, amplitude, frequency);
            q.x += distortion.x;
            q.y += distortion.y;
            const float row = std::round(q.y / widthSpacing);
            QV_Vector2 centre { 0.0f, row * widthSpacing };
            if (std::fmod(row, 2.0f) != 0.0f)
                q.x += rowShift;
            centre.x = std::round(q.x / lengthSpacing) * lengthSpacing;
            const QV_Vector2 jitter = NoiseVector2D(centre, amplitude, 1.6234f);
            centre.x += jitter.x;
            centre.y += jitter.y;
            const float u = (q.x - centre.x) / halfLength;
            const float v = (q.y - centre.y) / halfWidth;
            p[kBlue] = color.b;
            p[kGreen] = color.g;
            p[kRed] = color.r;
            p[kAlpha] = u * u + v * v < 1.0f ? 255 : 0;
        }
    }
    BoxBlurAlpha(*work, 2);
    MapAlphaThroughTable(*work, *work, SpotAlphaTable());
    if (color.a < 255)
        RemapAlphaRange(*work, 0, 255, color.a);
    BlitRasterAlpha(*work, *image, 0, 0, false);
}
