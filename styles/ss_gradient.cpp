#include "ss_gradient.h"

#include <cmath>

#include "qv_iostream.h"
#include "raster_blit.h"
#include "raster_fill.h"
#include "raster_polygon_builder.h"
#include "style_document.h"
#include "style_record.h"
#include "style_units.h"

namespace {

// The colour of a channel at a frame as the rasteriser takes it: bytes, then fractions.
QV_ColorVector ColorAt(AnimColor& channel, int32_t frame)
{
    QV_ColorVector color;
    color.Set(channel.GetValue(frame).AsColorStruct());
    return color;
}

QV_Vector2 RotatedAbout(QV_Vector2 point, const QV_Vector2& centre, float angle)
{
    point.x -= centre.x;
    point.y -= centre.y;
    point.Rotate(angle);
    point.x += centre.x;
    point.y += centre.y;
    return point;
}

} // namespace

SS_Gradient::SS_Gradient()
    : fRadial(false)
{
    fAngle.SetValue(0, 4.712389f);
    fColor1.SetValue(0, rgb_color { 255, 255, 255, 255 });
    fColor2.SetValue(0, rgb_color { 0, 0, 0, 255 });
}

SS_Gradient::~SS_Gradient() = default;

int32_t SS_Gradient::StyleType()
{
    return 5;
}

bool SS_Gradient::ReadRecord(QV_IoStream* stream)
{
    return ReadChannelRecordFresh(stream, fAngle) && ReadChannelRecordFresh(stream, fColor1)
        && ReadChannelRecordFresh(stream, fColor2) && stream->ReadBool(fRadial);
}

void SS_Gradient::WriteRecord(QV_IoStream* stream)
{
    WriteChannelThenTabs(stream, fAngle);
    WriteChannelThenTabs(stream, fColor1);
    WriteChannelThenTabs(stream, fColor2);
    WriteFlag(stream, fRadial);
}

void SS_Gradient::Apply(QV_PixelBuffer* image, QV_Rect rect, QV_PixelBuffer* work, StyleDocument* doc, float)
{
    if (!doc || !IsEffectRaster(image) || !IsEffectRaster(work))
        return;
    const int32_t frame = doc->CurrentFrame();
    const float angle = fRadial ? 0.0f : fAngle.GetValue(frame);
    const QV_ColorVector color1 = ColorAt(fColor1, frame);
    const QV_ColorVector color2 = ColorAt(fColor2, frame);

    // Centred units of the image, in its integer halves; a one-pixel-high image has a half of 0,
    // which would divide by zero, and takes the rasteriser's own half pixel.
    const float halfWidth = static_cast<float>(image->width / 2);
    const float halfHeight = image->height / 2 > 0 ? static_cast<float>(image->height / 2) : 0.5f;
    auto unit = [&](float x, float y) {
        return QV_Vector2 { (x - halfWidth) / halfHeight, -(y - halfHeight) / halfHeight };
    };
    const float left = static_cast<float>(rect.left);
    const float right = static_cast<float>(rect.right);
    const float top = static_cast<float>(rect.top);
    const float bottom = static_cast<float>(rect.bottom) + 1.0f;
    const QV_Vector2 centre = unit((left + right) / 2.0f, (top + bottom) / 2.0f);
    const QV_Vector2 corners[4]
        = { unit(left, top), unit(right, top), unit(left, bottom), unit(right, bottom) };
    QV_Vector2 min { 1e30f, 1e30f };
    QV_Vector2 max { -1e30f, -1e30f };
    for (const QV_Vector2& corner : corners) {
        const QV_Vector2 p = RotatedAbout(corner, centre, -angle);
        min.x = std::fmin(min.x, p.x);
        min.y = std::fmin(min.y, p.y);
        max.x = std::fmax(max.x, p.x);
        max.y = std::fmax(max.y, p.y);
    }
    const QV_Vector2 mid { (min.x + max.x) / 2.0f, (min.y + max.y) / 2.0f };

    // Whatever the polygons leave uncovered must not reach the shape.
    FillRaster(*work, rgb_color { 0, 0, 0, 0 });
    QV_Raster raster;
    raster.SetRaster(*work, nullptr);
    RasterPolygonBuilder polygon(kRasterSmoothAlpha);
    if (!fRadial) {
        polygon.Add(RotatedAbout(QV_Vector2 { min.x, min.y }, mid, angle), color1);
        polygon.Add(RotatedAbout(QV_Vector2 { min.x, max.y }, mid, angle), color1);
        polygon.Add(RotatedAbout(QV_Vector2 { max.x, max.y }, mid, angle), color2);
        polygon.Add(RotatedAbout(QV_Vector2 { max.x, min.y }, mid, angle), color2);
        polygon.Draw(raster);
    } else {
        const float dx = max.x - min.x;
        const float dy = max.y - min.y;
        const float radius = 0.5f * std::sqrt(dx * dx + dy * dy);
        const float step = 0.15707963705062866f;
        for (int32_t i = 0; i < 40; i++) {
            const float a0 = static_cast<float>(i) * step;
            const float a1 = static_cast<float>(i + 1) * step;
            polygon.Add(mid, color1);
            polygon.Add(QV_Vector2 { mid.x - radius * std::sin(a0), mid.y + radius * std::cos(a0) }, color2);
            polygon.Add(QV_Vector2 { mid.x - radius * std::sin(a1), mid.y + radius * std::cos(a1) }, color2);
            polygon.Draw(raster);
        }
    }
    BlitRasterAlpha(*work, *image, 0, 0, false);
}

int32_t SS_Gradient::Duration()
{
    int32_t last = 0;
    for (AnimChannel* channel : { static_cast<AnimChannel*>(&fAngle), static_cast<AnimChannel*>(&fColor1),
             static_cast<AnimChannel*>(&fColor2) }) {
        const int32_t d = channel->Duration();
        if (d > last)
            last = d;
    }
    return last;
}
