#include "ss_splotchy.h"

#include <cmath>

#include "qv_color.h"
#include "qv_iostream.h"
#include "qv_noise.h"
#include "raster_geometry.h"
#include "style_document.h"
#include "style_record.h"
#include "style_units.h"

namespace {

// A noise sample truncated toward zero; huge magnitudes saturate a colour level anyway.
int32_t NoiseLevels(float n)
{
    if (!(n > -512.0f))
        return -512;
    return n < 512.0f ? static_cast<int32_t>(n) : 512;
}

uint8_t AddLevels(uint8_t channel, int32_t levels)
{
    const int32_t v = channel + levels;
    return static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v);
}

} // namespace

SS_Splotchy::SS_Splotchy()
    : fMagnitude(24)
    , fScale(2.0f / 15.0f)
    , fMonochrome(true)
{
}

SS_Splotchy::~SS_Splotchy() = default;

int32_t SS_Splotchy::StyleType()
{
    return 1;
}

bool SS_Splotchy::ReadRecord(QV_IoStream* stream)
{
    return stream->ReadInt(fMagnitude) && stream->ReadFloat(fScale) && stream->ReadBool(fMonochrome);
}

void SS_Splotchy::WriteRecord(QV_IoStream* stream)
{
    stream->WriteInt(fMagnitude);
    stream->WriteSpace();
    WriteFloatThenBlank(stream, fScale);
    WriteFlag(stream, fMonochrome);
}

void SS_Splotchy::Apply(QV_PixelBuffer* image, QV_Rect rect, QV_PixelBuffer*, StyleDocument* doc, float scale)
{
    if (!doc || !IsEffectRaster(image))
        return;
    QV_PixelBuffer area;
    if (MakeSubRaster(rect, *image, area) != 0)
        return;
    const float size = StylePixels(fScale, doc->HeightPixels(), scale);
    // No splotch size, no pattern: the noise would be sampled at an infinite frequency.
    if (!(size > 0.0f))
        return;
    const float frequency = 1.0f / size;
    const float magnitude = static_cast<float>(fMagnitude);
    for (int32_t y = 0; y < area.height; y++) {
        uint8_t* p = RasterRow(area, y);
        for (int32_t x = 0; x < area.width; x++, p += 4) {
            const QV_Vector3 point { static_cast<float>(x), static_cast<float>(y), 0.0f };
            const QV_Vector3 d = FractalNoiseVector3D(point, 2.0f * size, frequency);
            const QV_Vector3 n = NoiseVector3D(point.x + d.x, point.y + d.y, d.z, magnitude, frequency);
            if (fMonochrome) {
                // The round trip through hue, saturation and lightness is not exact: a pixel the
                // noise leaves alone keeps its colour.
                const int32_t levels = NoiseLevels(n.x);
                if (levels == 0)
                    continue;
                uint8_t hue, saturation, lightness;
                RGBToHSL(p[kRed], p[kGreen], p[kBlue], hue, saturation, lightness);
                lightness = AddLevels(lightness, levels);
                HSLToRGB(hue, saturation, lightness, p[kRed], p[kGreen], p[kBlue]);
            } else {
                p[kRed] = AddLevels(p[kRed], NoiseLevels(n.x));
                p[kGreen] = AddLevels(p[kGreen], NoiseLevels(n.y));
                p[kBlue] = AddLevels(p[kBlue], NoiseLevels(n.z));
            }
        }
    }
}
