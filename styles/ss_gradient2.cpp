#include "ss_gradient2.h"

#include <cmath>

#include "gradient_stop.h"
#include "layer_grid.h"
#include "m_shape.h"
#include "qv_iostream.h"
#include "raster_fill.h"
#include "raster_polygon_builder.h"
#include "style_layer.h"
#include "style_record.h"
#include "style_units.h"
#include "xgraphics.h"

namespace {

// Handles closer than this give the gradient no direction to run along.
constexpr float kShortestHandle = 1e-6f;

uint32_t LookupCallback(float u, float, void* data)
{
    const rgb_color c = static_cast<const SS_Gradient2*>(data)->LookupColour(u);
    return uint32_t(c.a) << 24 | uint32_t(c.r) << 16 | uint32_t(c.g) << 8 | c.b;
}

float Dot(const QV_Vector2& a, const QV_Vector2& b)
{
    return a.x * b.x + a.y * b.y;
}

// One corner of a grid cell: its parameter, colour and place in the rasteriser's units.
struct GridCorner {
    float t;
    QV_ColorVector color;
    QV_Vector2 position;
};

} // namespace

SS_Gradient2::SS_Gradient2()
    : fType(kGradientLinear)
    , fCachedFrame(-1)
{
    AppendStop(new GradientStop(0.0f, rgb_color { 255, 255, 255, 255 }));
    AppendStop(new GradientStop(1.0f, rgb_color { 0, 0, 0, 255 }));
}

SS_Gradient2::~SS_Gradient2()
{
    DeleteAllStops();
}

int32_t SS_Gradient2::StyleType()
{
    return 9;
}

GradientStop* SS_Gradient2::Stop(int32_t index) const
{
    if (index < 0 || index >= fStops.fCount)
        return nullptr;
    return static_cast<GradientStop*>(fStops.fItems[index]);
}

void SS_Gradient2::AppendStop(GradientStop* stop)
{
    if (stop)
        fStops.Append(stop);
}

void SS_Gradient2::DeleteStop(GradientStop* stop)
{
    if (!stop || !fStops.Contains(stop))
        return;
    fStops.Remove(stop);
    delete stop;
}

void SS_Gradient2::DeleteAllStops()
{
    for (int32_t i = 0; i < fStops.fCount; i++)
        delete static_cast<GradientStop*>(fStops.fItems[i]);
    fStops.fCount = 0;
}

bool SS_Gradient2::ReadRecord(QV_IoStream* stream)
{
    DeleteAllStops();
    fCachedFrame = -1;
    int32_t count;
    if (!stream->ReadInt(fType) || !stream->ReadInt(count))
        return false;
    for (int32_t i = 0; i < count; i++) {
        GradientStop* stop = new GradientStop();
        AppendStop(stop);
        if (!ReadChannelRecordFresh(stream, stop->fPosition) || !ReadChannelRecordFresh(stream, stop->fColor))
            return false;
    }
    fCachedFrame = -1;
    return true;
}

void SS_Gradient2::WriteRecord(QV_IoStream* stream)
{
    stream->WriteInt(fType);
    stream->WriteSpace();
    stream->WriteInt(fStops.fCount);
    stream->WriteNewline();
    for (int32_t i = 0; i < fStops.fCount; i++) {
        GradientStop* stop = Stop(i);
        WriteChannelThenTabs(stream, stop->fPosition);
        WriteChannelThenTabs(stream, stop->fColor);
    }
}

void SS_Gradient2::SetFrame(int32_t frame)
{
    if (frame == fCachedFrame)
        return;
    for (int32_t i = 0; i < fStops.fCount; i++) {
        GradientStop* stop = Stop(i);
        stop->fPosition.SetCurFrame(frame);
        stop->fColor.SetCurFrame(frame);
    }
    fCachedFrame = frame;
    SortStops();
}

void SS_Gradient2::SortStops()
{
    void** items = fStops.fItems;
    for (int32_t i = 1; i < fStops.fCount; i++) {
        void* moving = items[i];
        const float position = static_cast<GradientStop*>(moving)->fPosition.value;
        int32_t j = 0;
        while (j < i && !(static_cast<GradientStop*>(items[j])->fPosition.value > position))
            j++;
        for (int32_t k = i; k > j; k--)
            items[k] = items[k - 1];
        items[j] = moving;
    }
}

QV_ColorVector SS_Gradient2::ColourAt(float t) const
{
    QV_ColorVector result;
    const int32_t n = fStops.fCount;
    if (n == 0)
        return result;
    auto colour = [this](int32_t i) {
        QV_ColorVector c;
        c.Set(Stop(i)->fColor.value);
        return c;
    };
    if (t < Stop(0)->fPosition.value)
        return colour(0);
    for (int32_t i = 0; i + 1 < n; i++) {
        const float next = Stop(i + 1)->fPosition.value;
        if (t < next) {
            const float here = Stop(i)->fPosition.value;
            float f = (t - here) / (next - here);
            // Positions beyond any float (or unordered ones) must not blend outside the pair.
            f = f >= 0.0f ? (f <= 1.0f ? f : 1.0f) : 0.0f;
            const QV_ColorVector a = colour(i);
            const QV_ColorVector b = colour(i + 1);
            result.r = f * b.r + (1.0f - f) * a.r;
            result.g = f * b.g + (1.0f - f) * a.g;
            result.b = f * b.b + (1.0f - f) * a.b;
            result.a = f * b.a + (1.0f - f) * a.a;
            return result;
        }
    }
    return colour(n - 1);
}

rgb_color SS_Gradient2::LookupColour(float t) const
{
    if (fType == kGradientAngle && t > 1.0f)
        t -= 1.0f;
    return ColourAt(t).AsColorStruct();
}

float SS_Gradient2::Parameter(
    const QV_Vector2& point, const QV_Vector2& origin, const QV_Vector2& direction, float length) const
{
    const QV_Vector2 q { point.x - origin.x, point.y - origin.y };
    switch (fType) {
    case kGradientRadial:
        return std::sqrt(Dot(q, q)) / length;
    case kGradientReflected:
        return std::fabs(Dot(q, direction)) / length;
    case kGradientAngle: {
        const QV_Vector2 n = q.Norm();
        const float x = Dot(n, direction);
        const float y = direction.x * n.y - direction.y * n.x;
        return (std::atan2(-y, -x) + 3.1415927f) / 6.2831855f;
    }
    default:
        return Dot(q, direction) / length;
    }
}

void SS_Gradient2::ApplyInLayer(XGraphics* graphics, QV_PixelBuffer*, QV_Rect rect, QV_BBox bounds,
    QV_PixelBuffer* work, StyleDocument* doc, StyleLayer* layer, float, M_Shape* shape, int32_t finalRender)
{
    if (!graphics || !doc || !IsEffectRaster(&graphics->fTarget) || !IsEffectRaster(work))
        return;
    QV_PixelBuffer target = graphics->fTarget;
    // Work pixels stand for the target pixels at the same places, so a larger buffer (the
    // editor's scratch) serves as well. The rasteriser centres its units on the raster it draws
    // into: it gets the work pixels over the whole target.
    QV_PixelBuffer workTarget;
    QV_PixelBuffer workArea;
    if (!WorkAreaAt(RasterBounds(target), target, *work, workTarget) || !WorkAreaAt(rect, target, *work, workArea))
        return;
    if (layer)
        SetFrame(layer->CurrentFrame());

    const LayerGridArea area(bounds, 1.149999976158142f);
    QV_Vector2 h1;
    QV_Vector2 h2;
    if (shape) {
        h1 = shape->EffectHandle1();
        h2 = shape->EffectHandle2();
    } else if (fType == kGradientRadial || fType == kGradientAngle) {
        h1 = area.centre;
        h2 = QV_Vector2 { area.centre.x, bounds.max.y };
    } else if (fType == kGradientReflected) {
        h1 = area.centre;
        h2 = QV_Vector2 { bounds.max.x, area.centre.y };
    } else {
        h1 = QV_Vector2 { bounds.min.x, area.centre.y };
        h2 = QV_Vector2 { bounds.max.x, area.centre.y };
    }
    QV_Vector2 direction { h2.x - h1.x, h2.y - h1.y };
    const float length = std::sqrt(Dot(direction, direction));
    if (!(length >= kShortestHandle) || !std::isfinite(length))
        return;
    direction.x /= length;
    direction.y /= length;

    const SavedTransform saved(*graphics);
    const LayerPointMapper mapper(*graphics, doc, layer, false);
    StartGridWorkArea(rect, target, workArea, finalRender != 0);
    QV_Raster raster;
    raster.SetRaster(workTarget, nullptr);
    raster.fProcedure = LookupCallback;
    raster.fProcedureData = this;
    const uint8_t kind = finalRender ? kRasterProcedure : kRasterSmoothAlpha;

    int32_t across;
    int32_t down;
    LayerGridCells(rect, finalRender != 0, across, down);
    const float su = 1.0f / static_cast<float>(across);
    const float sv = 1.0f / static_cast<float>(down);
    const bool angleType = fType == kGradientAngle;

    auto corner = [&](float u, float v, GridCorner& out) {
        const QV_Vector2 point = area.At(u, v);
        out.t = Parameter(point, h1, direction, length);
        out.color = ColourAt(out.t);
        return mapper.Map(point, out.position);
    };
    auto triangle
        = [&](const GridCorner& a, const GridCorner& b, const GridCorner& c, const GridCorner* other) {
              float low = std::fmin(a.t, std::fmin(b.t, c.t));
              float high = std::fmax(a.t, std::fmax(b.t, c.t));
              if (other) {
                  low = std::fmin(low, other->t);
                  high = std::fmax(high, other->t);
              }
              // Around the angle type's seam t jumps from 1 to 0; drawing the low side one turn on keeps
              // the cell from running through every colour backwards.
              const bool unwrap = angleType && high - low > 0.85f;
              RasterPolygonBuilder polygon(kind);
              for (const GridCorner* p : { &a, &b, &c })
                  polygon.Add(p->position, p->color, unwrap && p->t < 0.5f ? p->t + 1.0f : p->t);
              polygon.Draw(raster);
          };
    WalkGridCells<GridCorner>(su, sv, corner, triangle);
    FinishGridWorkArea(rect, target, workArea, finalRender != 0);
}

int32_t SS_Gradient2::Duration()
{
    int32_t last = 0;
    for (int32_t i = 0; i < fStops.fCount; i++) {
        GradientStop* stop = Stop(i);
        const int32_t position = stop->fPosition.Duration();
        const int32_t color = stop->fColor.Duration();
        last = position > last ? position : last;
        last = color > last ? color : last;
    }
    return last;
}

bool SS_Gradient2::IsPositionDependent()
{
    return true;
}

bool SS_Gradient2::HasHandle()
{
    return true;
}

int32_t SS_Gradient2::CountChannels()
{
    return 2 * fStops.fCount;
}

AnimChannel* SS_Gradient2::Channel(int32_t index)
{
    if (index < 0)
        return nullptr;
    GradientStop* stop = Stop(index / 2);
    if (!stop)
        return nullptr;
    return index % 2 == 0 ? static_cast<AnimChannel*>(&stop->fPosition) : &stop->fColor;
}
