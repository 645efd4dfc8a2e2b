// Shape filling: edges projected through the current matrix, cut at the near plane and recorded
// as per-row crossings, then filled by the even-odd rule in the current fill mode.
#include "pixel_blend.h"
#include "qv_graphics.h"
#include "qv_graphics_internal.h"
#include "raster_rows.h"
#include "system_palette.h"
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <utility>

using namespace qv_graphics;

namespace {

constexpr int32_t kFirstRowCapacity = 8;
constexpr int32_t kFirstSegmentCapacity = 32;
constexpr float kTableLimit = 2147483520.0f;

float Distance2(const QV_Vector2& a, const QV_Vector2& b)
{
    const float dx = a.x - b.x, dy = a.y - b.y;
    return dx * dx + dy * dy;
}

void Reverse(CurveSegment& s)
{
    std::swap(s.p[0], s.p[3]);
    std::swap(s.p[1], s.p[2]);
}

// Grows an array of records to twice its capacity (at least `first`); false when memory ran out,
// leaving the array as it was.
template <typename T> bool GrowArray(T*& items, int32_t& capacity, int32_t first)
{
    const int32_t wanted = capacity > 0 ? capacity * 2 : first;
    T* grown = static_cast<T*>(std::realloc(items, size_t(wanted) * sizeof(T)));
    if (!grown)
        return false;
    items = grown;
    capacity = wanted;
    return true;
}

} // namespace

void QV_Graphics::BeginShape()
{
    const int32_t height = fTarget.pixels ? fTarget.height : 0;
    if ((!fRows || fRowCount < height) && height > 0) {
        FreeRows();
        fRows = static_cast<CrossingRow*>(std::calloc(size_t(height), sizeof(CrossingRow)));
        if (fRows) {
            fRowCount = height;
            bool complete = true;
            for (int32_t i = 0; i < height && complete; i++) {
                CrossingRow& row = fRows[i];
                row.capacity = kFirstRowCapacity;
                row.mid = static_cast<int32_t*>(std::malloc(kFirstRowCapacity * sizeof(int32_t)));
                row.left = static_cast<int32_t*>(std::malloc(kFirstRowCapacity * sizeof(int32_t)));
                row.right = static_cast<int32_t*>(std::malloc(kFirstRowCapacity * sizeof(int32_t)));
                complete = row.mid && row.left && row.right;
            }
            // A table missing rows would be written out of bounds; without one nothing is filled.
            if (!complete)
                FreeRows();
        }
    }
    const int32_t lastUsed = fUsedLastRow < fRowCount - 1 ? fUsedLastRow : fRowCount - 1;
    for (int32_t i = fUsedFirstRow < 0 ? 0 : fUsedFirstRow; i <= lastUsed; i++)
        fRows[i].count = 0;
    fUsedFirstRow = fRowCount;
    fUsedLastRow = -1;
    fNearPointCount = 0;
    fFirstRow = height;
    fLastRow = -1;
    fShapeClipped = false;
    fCountCrossingsOnly = fAntialias && fFillMode == kFillPlain;
    if (fAntialias) {
        fRecordingCurves = true;
        fSegmentCount = 0;
        fSmoothLineCount = 0;
        if (!fSegments) {
            fSegments = static_cast<CurveSegment*>(std::calloc(kFirstSegmentCapacity, sizeof(CurveSegment)));
            fSegmentCapacity = fSegments ? kFirstSegmentCapacity : 0;
        }
        ResetAggPath();
    }
}

void QV_Graphics::AddLine(float x0, float y0, float x1, float y1)
{
    AddLineSegment(LineSegment { x0, y0, x1, y1 });
}

void QV_Graphics::AddLineSegment(const LineSegment& segment)
{
    if (fAntialias && fRecordingCurves)
        AppendSmoothLine(segment);
    const Projected a = Project(Current(), segment.x0, segment.y0);
    const Projected b = Project(Current(), segment.x1, segment.y1);
    const float d0 = a.Depth(), d1 = b.Depth();
    QV_Vector2 e0, e1;
    if (d0 >= 0 && d1 >= 0) {
        e0 = a.Divided();
        e1 = b.Divided();
    } else {
        fShapeClipped = true;
        if (!(d0 * d1 < 0))
            return;
        const Projected cut = Lerp(a, b, d0 / (d0 - d1));
        e0 = (d0 >= 0 ? a : b).Divided();
        e1 = cut.Divided();
    }
    if (fTrackBounds) {
        WidenBounds(e0.x, e0.y);
        WidenBounds(e1.x, e1.y);
    }
    AddEdge(e0.x, e0.y, e1.x, e1.y);
}

void QV_Graphics::AppendSegment(
    const QV_Vector2& p0, const QV_Vector2& p1, const QV_Vector2& p2, const QV_Vector2& p3)
{
    if (fSegmentCount >= fSegmentCapacity && !GrowArray(fSegments, fSegmentCapacity, kFirstSegmentCapacity))
        return;
    fSegments[fSegmentCount++] = CurveSegment { { p0, p1, p2, p3 } };
}

void QV_Graphics::AppendSmoothLine(const LineSegment& segment)
{
    if (fSmoothLineCount >= fSmoothLineCapacity
        && !GrowArray(fSmoothLines, fSmoothLineCapacity, kFirstSegmentCapacity))
        return;
    fSmoothLines[fSmoothLineCount++] = segment;
}

void QV_Graphics::AppendNearPoint(float x, float y)
{
    if (fNearPointCount < kMaxNearPoints)
        fNearPoints[fNearPointCount++] = QV_Vector2 { x, y };
}

void QV_Graphics::AddCurve(
    const QV_Vector2& p0, const QV_Vector2& p1, const QV_Vector2& p2, const QV_Vector2& p3)
{
    if (fAntialias && fRecordingCurves) {
        AppendSegment(p0, p1, p2, p3);
        return;
    }
    const QV_Vector2 world[4] = { p0, p1, p2, p3 };
    Projected projected[4];
    QV_Vector2 screen[4];
    if (ProjectCurve(world, projected, screen)) {
        FlattenCurve(screen);
        return;
    }

    // Behind the eye: stepped in four dimensions and cut at the near plane step by step; the
    // points where the outline crosses the plane are kept so EndShape can close the outline
    // along it.
    fShapeClipped = true;
    const int32_t steps = fCurveSteps;
    Projected previous = projected[0];
    bool anyEdge = false;
    int32_t crossings = 0;
    int32_t lastVisible = 0;
    int32_t lastCrossing = 0;
    for (int32_t k = 1; k <= steps; k++) {
        const Projected next = BezierAt(projected, float(k) / float(steps));
        const float d0 = previous.Depth(), d1 = next.Depth();
        QV_Vector2 e0, e1;
        bool draw = false;
        if (d0 >= 0 && d1 >= 0) {
            e0 = previous.Divided();
            e1 = next.Divided();
            lastVisible = k;
            draw = true;
        } else if (d0 * d1 < 0) {
            const QV_Vector2 cut = Lerp(previous, next, d0 / (d0 - d1)).Divided();
            AppendNearPoint(cut.x, cut.y);
            e0 = (d0 >= 0 ? previous : next).Divided();
            e1 = cut;
            crossings++;
            lastCrossing = k;
            draw = true;
        }
        if (draw) {
            PrepareSegment(e0, e1);
            AddEdge(e0.x, e0.y, e1.x, e1.y);
            anyEdge = true;
        }
        previous = next;
    }
    if (!anyEdge) {
        if (projected[0].w > 0)
            AppendNearPoint(projected[0].x / projected[0].w, projected[0].y / projected[0].w);
        else if (projected[3].w > 0)
            AppendNearPoint(projected[3].x / projected[3].w, projected[3].y / projected[3].w);
    } else if (crossings == 1) {
        if (lastVisible == 0 || lastCrossing < lastVisible) {
            if (projected[0].w > 0)
                AppendNearPoint(projected[0].x / projected[0].w, projected[0].y / projected[0].w);
        } else if (projected[3].w > 0) {
            AppendNearPoint(projected[3].x / projected[3].w, projected[3].y / projected[3].w);
        }
    }
}

void QV_Graphics::AddEdge(float x0, float y0, float x1, float y1)
{
    if (fAntialias) {
        AggAddEdge(x0, y0, x1, y1);
    } else {
        const float top = float(fClipRect.top - 1), bottom = float(fClipRect.bottom + 1);
        if ((y0 < top && y1 < top) || (y0 > bottom && y1 > bottom))
            return;
        if (fSmoothing && (fFillMode & kFillPlain)) {
            // Anti-aliased outline under the aliased fill; drawn twice for a denser edge.
            const int32_t pen = fPenWidth;
            fPenWidth = 1;
            DrawSmoothLine(x0, y0, x1, y1);
            DrawSmoothLine(x0, y0, x1, y1);
            fPenWidth = pen;
        }
    }
    x0 = ClampFloat(x0, -kTableLimit, kTableLimit);
    y0 = ClampFloat(y0, -kTableLimit, kTableLimit);
    x1 = ClampFloat(x1, -kTableLimit, kTableLimit);
    y1 = ClampFloat(y1, -kTableLimit, kTableLimit);
    float xtop, ytop, xbot, ybot;
    if (y0 < y1) {
        xtop = x0, ytop = y0, xbot = x1, ybot = y1;
    } else {
        xtop = x1, ytop = y1, xbot = x0, ybot = y0;
    }

    // Row i is covered when ytop < i + 0.5 <= ybot.
    const float startEdge = ytop - 0.5f;
    int32_t start = startEdge >= 0 ? TruncToInt(startEdge) + 1 : TruncToInt(startEdge);
    if (start < fClipRect.top - 1)
        start = fClipRect.top - 1;
    const float endEdge = ybot + 0.5f;
    int32_t end = TruncToInt(endEdge);
    if (endEdge < 0)
        end -= 1;
    if (start < 0)
        start = 0;
    const int32_t height = fTarget.pixels ? fTarget.height : 0;
    const float dy = ybot - ytop;
    const float lowX = x0 < x1 ? x0 : x1;
    const float highX = x0 < x1 ? x1 : x0;
    for (int32_t i = start; i < end && i <= fClipRect.bottom && i < fRowCount && i < height; i++) {
        if (i < fFirstRow)
            fFirstRow = i;
        if (i > fLastRow)
            fLastRow = i;
        if (i < fUsedFirstRow)
            fUsedFirstRow = i;
        if (i > fUsedLastRow)
            fUsedLastRow = i;
        if (fCountCrossingsOnly) {
            fRows[i].count++;
            continue;
        }
        const float x
            = std::fabs(dy) < 1 ? 0.5f * (xtop + xbot) : xtop + (float(i) - ytop) / dy * (xbot - xtop);
        const int32_t mid = RoundHalfAway(x + 0.5f);
        int32_t left = mid, right = mid;
        if (fSmoothing && std::fabs(dy) > 1e-6f) {
            const float xa = ClampFloat(xtop + (float(i) - 0.5f - ytop) / dy * (xbot - xtop), lowX, highX);
            const float xb = ClampFloat(xtop + (float(i) + 0.5f - ytop) / dy * (xbot - xtop), lowX, highX);
            left = RoundHalfAway(xa + 0.5f);
            right = RoundHalfAway(xb + 0.5f);
            if (left > right)
                std::swap(left, right);
        }
        InsertCrossing(i, mid, left, right);
    }
}

void QV_Graphics::InsertCrossing(int32_t rowIndex, int32_t mid, int32_t left, int32_t right)
{
    CrossingRow& row = fRows[rowIndex];
    if (row.count == 0) {
        row.mid[0] = mid;
        row.left[0] = left;
        row.right[0] = right;
        row.count = 1;
        return;
    }
    int32_t b = row.count - 1;
    while (b >= 0 && row.mid[b] >= mid)
        b--;
    if (row.count >= row.capacity || b >= row.capacity - 2) {
        const int32_t capacity = row.capacity * 2;
        int32_t* grown[3] = { static_cast<int32_t*>(std::malloc(size_t(capacity) * sizeof(int32_t))),
            static_cast<int32_t*>(std::malloc(size_t(capacity) * sizeof(int32_t))),
            static_cast<int32_t*>(std::malloc(size_t(capacity) * sizeof(int32_t))) };
        if (!grown[0] || !grown[1] || !grown[2]) {
            for (int32_t* p : grown)
                std::free(p);
            return;
        }
        std::memcpy(grown[0], row.mid, size_t(row.count) * sizeof(int32_t));
        std::memcpy(grown[1], row.left, size_t(row.count) * sizeof(int32_t));
        std::memcpy(grown[2], row.right, size_t(row.count) * sizeof(int32_t));
        std::free(row.mid);
        std::free(row.left);
        std::free(row.right);
        row.mid = grown[0];
        row.left = grown[1];
        row.right = grown[2];
        row.capacity = capacity;
    }
    const int32_t at = b + 1;
    const size_t moved = size_t(row.count - at) * sizeof(int32_t);
    std::memmove(row.mid + at + 1, row.mid + at, moved);
    std::memmove(row.left + at + 1, row.left + at, moved);
    std::memmove(row.right + at + 1, row.right + at, moved);
    row.mid[at] = mid;
    row.left[at] = left;
    row.right[at] = right;
    row.count++;
}

void QV_Graphics::ChainSegments()
{
    for (int32_t i = 0; i + 1 < fSegmentCount; i++) {
        const QV_Vector2 end = fSegments[i].p[3];
        for (int32_t j = i + 1; j < fSegmentCount; j++) {
            if (Distance2(fSegments[j].p[0], end) < 1e-6f) {
                if (j != i + 1)
                    std::swap(fSegments[j], fSegments[i + 1]);
                break;
            }
            if (Distance2(fSegments[j].p[3], end) < 1e-6f) {
                Reverse(fSegments[j]);
                std::swap(fSegments[j], fSegments[i + 1]);
                break;
            }
        }
    }
}

bool QV_Graphics::EndSmoothShapeBehindEye()
{
    // The rasteriser cannot take a shape cut by the near plane: fill it with the scan-line filler
    // and anti-aliased edges instead.
    const bool smoothing = fSmoothing;
    fSmoothing = true;
    SetAntialiasing(false);
    BeginShape();
    for (int32_t i = 0; i < fSegmentCount; i++)
        AddCurve(fSegments[i].p[0], fSegments[i].p[1], fSegments[i].p[2], fSegments[i].p[3]);
    for (int32_t i = 0; i < fSmoothLineCount; i++)
        AddLineSegment(fSmoothLines[i]);
    const bool result = EndShape();
    SetAntialiasing(true);
    fSmoothing = smoothing;
    return result;
}

bool QV_Graphics::EndShape()
{
    if (fAntialias && fRecordingCurves) {
        ChainSegments();
        fRecordingCurves = false;
        for (int32_t i = 0; i < fSegmentCount; i++)
            AddCurve(fSegments[i].p[0], fSegments[i].p[1], fSegments[i].p[2], fSegments[i].p[3]);
        if (fNearPointCount > 1)
            return EndSmoothShapeBehindEye();
    }
    if (fNearPointCount > 1) {
        for (int32_t i = 0; i < fNearPointCount - 1; i += 2)
            AddEdge(fNearPoints[i].x, fNearPoints[i].y, fNearPoints[i + 1].x, fNearPoints[i + 1].y);
        fShapeClipped = true;
    }
    bool closed = true;
    if (!fShapeClipped) {
        const int32_t height = fTarget.pixels ? fTarget.height : 0;
        for (int32_t i = fFirstRow < 0 ? 0 : fFirstRow; i <= fLastRow && i < height - 1 && i < fRowCount;
             i++) {
            if (fRows[i].count & 1)
                closed = false;
        }
    }
    if (fFillMode == kFillPlain) {
        FillShape();
        if (fAntialias && fOutlineFills && fSegmentCount > 0) {
            // Each stroke opens a shape of its own, which forgets the recorded curves: stroke a copy.
            const int32_t count = fSegmentCount;
            if (ReserveScratch(fGapCurves, fGapCurveCapacity, count)) {
                std::memcpy(fGapCurves, fSegments, size_t(count) * sizeof(CurveSegment));
                for (int32_t i = 0; i < count; i++)
                    DrawWideCurve(fGapCurves[i].p, 1.0f, 1.0f);
            }
        }
        return closed;
    }
    if (fFillMode & kFillPlain)
        FillShape();
    if (fFillMode & kFillChecker)
        FillShapeChecker();
    if (fFillMode & kFillMasked) {
        if (fFillMode & kFillSetMask)
            FillShape();
        else
            FillShapeMasked();
    }
    if (fFillMode & (kFillSetMask | kFillClearMask))
        WriteShapeToMask();
    return closed;
}

bool QV_Graphics::ClipFillRows()
{
    if (fFirstRow < fClipRect.top)
        fFirstRow = fClipRect.top;
    if (fLastRow > fClipRect.bottom)
        fLastRow = fClipRect.bottom;
    if (fLastRow > fRowCount - 1)
        fLastRow = fRowCount - 1;
    return fFirstRow <= fLastRow && fFirstRow >= 0;
}

void QV_Graphics::StoreColorRun(uint8_t* p, int32_t n)
{
    switch (fTarget.bytesPerPixel) {
    case 1:
        std::memset(p, fColorIndex, size_t(n));
        break;
    case 2: {
        const uint16_t v = fTarget.depth == 15 ? fColor555 : fColor565;
        for (int32_t i = 0; i < n; i++, p += 2)
            StorePixel16(p, v);
        break;
    }
    case 4:
        for (int32_t i = 0; i < n; i++, p += 4)
            StorePixel32(p, fColor32);
        break;
    default:
        break;
    }
}

void QV_Graphics::WriteSpan(int32_t y, int32_t x0, int32_t x1)
{
    if (x0 < fClipRect.left)
        x0 = fClipRect.left;
    if (x1 > fClipRect.right + 1)
        x1 = fClipRect.right + 1;
    if (x1 <= x0)
        return;
    uint8_t* p = RasterPixel(fTarget, x0, y);
    const int32_t n = x1 - x0;
    if (fColor.a == 255) {
        StoreColorRun(p, n);
        return;
    }
    const uint32_t packed = PackColor(fColor);
    for (int32_t i = 0; i < n; i++)
        BlendPixelAt(fTarget, p + ptrdiff_t(i) * fTarget.bytesPerPixel, packed);
}

void QV_Graphics::WriteMaskedSpan(int32_t y, int32_t x0, int32_t x1)
{
    if (x0 < fClipRect.left)
        x0 = fClipRect.left;
    if (x1 > fClipRect.right + 1)
        x1 = fClipRect.right + 1;
    const uint8_t* mask = fMask + size_t(y) * size_t(fTarget.width);
    const uint8_t all = fMaskAllBits;
    for (int32_t x = x0; x < x1;) {
        // Runs of pixels inside every level go out as ordinary spans.
        while (x < x1 && (mask[x] & all) != all)
            x++;
        const int32_t run = x;
        while (x < x1 && (mask[x] & all) == all)
            x++;
        WriteSpan(y, run, x);
    }
}

void QV_Graphics::WriteMaskBits(int32_t y, int32_t x0, int32_t x1)
{
    if (x0 < fClipRect.left)
        x0 = fClipRect.left;
    if (x1 > fClipRect.right + 1)
        x1 = fClipRect.right + 1;
    uint8_t* mask = fMask + size_t(y) * size_t(fTarget.width);
    if (fFillMode & kFillSetMask) {
        for (int32_t x = x0; x < x1; x++)
            mask[x] |= fMaskBit;
    } else {
        for (int32_t x = x0; x < x1; x++)
            mask[x] &= fMaskBitInverse;
    }
}

namespace {

enum class SpanEnds { LeftRight, Mid };

// The even-odd walk of one row: spans open at an edge's left extent (or mid) and close after the
// next edge's right extent (or at its mid); an unpaired last crossing closes a span from the
// cursor.
template <typename Span> void WalkRow(const CrossingRow& row, const QV_Rect& clip, SpanEnds ends, Span span)
{
    int32_t cursor = clip.left;
    bool inside = false;
    for (int32_t k = 0; k < row.count; k++) {
        if ((row.count & 1) && k == row.count - 1)
            inside = true;
        int32_t x;
        if (!inside) {
            x = ends == SpanEnds::Mid ? row.mid[k] : row.left[k];
            if (x >= clip.left)
                cursor = x;
        } else {
            x = ends == SpanEnds::Mid ? row.mid[k] : row.right[k];
            if (x > clip.right + 1)
                x = clip.right + 1;
            span(cursor, x);
            cursor = x;
        }
        inside = !inside;
        if (x > clip.right)
            break;
    }
}

} // namespace

void QV_Graphics::FillShape()
{
    if (fAntialias) {
        RenderSmoothShape();
        return;
    }
    const int32_t size = PixelSize();
    if ((size != 1 && size != 2 && size != 4) || !ClipFillRows())
        return;
    for (int32_t y = fFirstRow; y <= fLastRow; y++) {
        if (fRows[y].count >= 2)
            WalkRow(fRows[y], fClipRect, SpanEnds::LeftRight,
                [this, y](int32_t a, int32_t b) { WriteSpan(y, a, b); });
    }
}

void QV_Graphics::FillShapeMasked()
{
    const int32_t size = PixelSize();
    if ((size != 1 && size != 2 && size != 4) || !fMask || !ClipFillRows())
        return;
    for (int32_t y = fFirstRow; y <= fLastRow; y++) {
        if (fRows[y].count >= 2)
            WalkRow(fRows[y], fClipRect, SpanEnds::LeftRight,
                [this, y](int32_t a, int32_t b) { WriteMaskedSpan(y, a, b); });
    }
}

void QV_Graphics::WriteShapeToMask()
{
    if (!fMask || !fTarget.pixels || !ClipFillRows())
        return;
    for (int32_t y = fFirstRow; y <= fLastRow; y++) {
        if (fRows[y].count >= 2)
            WalkRow(fRows[y], fClipRect, SpanEnds::Mid,
                [this, y](int32_t a, int32_t b) { WriteMaskBits(y, a, b); });
    }
}

void QV_Graphics::FillShapeChecker()
{
    const int32_t size = PixelSize();
    if (size != 1 && size != 2 && size != 4)
        return;
    const int32_t lastCheck = fTarget.height - 2 < fRowCount - 1 ? fTarget.height - 2 : fRowCount - 1;
    for (int32_t y = fFirstRow < 0 ? 0 : fFirstRow; y <= fLastRow && y <= lastCheck; y++) {
        if (fRows[y].count & 1) {
            gOddShapeFlag = true;
            return;
        }
    }
    if (!ClipFillRows())
        return;
    if (size == 1)
        EnsureSystemPalette();
    const uint16_t value16 = fTarget.depth == 15 ? fColor555 : fColor565;
    for (int32_t y = fFirstRow; y <= fLastRow; y++) {
        const CrossingRow& row = fRows[y];
        if (row.count < 2)
            continue;
        const bool rowBit = (y & 4) != 0;
        int32_t cursor = fClipRect.left;
        for (int32_t k = 0; k < row.count; k++) {
            if ((row.count & 1) && k == row.count - 1)
                gOddShapeFlag = true;
            if ((k & 1) == 0) {
                if (row.mid[k] >= fClipRect.left)
                    cursor = row.mid[k];
            } else {
                const int32_t end = row.mid[k] < fClipRect.right + 1 ? row.mid[k] : fClipRect.right + 1;
                for (int32_t x = cursor < fClipRect.left ? fClipRect.left : cursor; x < end; x++) {
                    if (((x & 4) != 0) != rowBit)
                        continue;
                    uint8_t* p = RasterPixel(fTarget, x, y);
                    if (size == 1)
                        *p = fColorIndex;
                    else if (size == 2)
                        StorePixel16(p, value16);
                    else
                        StorePixel32(p, fColor32);
                }
                cursor = end;
            }
            if (cursor > fClipRect.right)
                break;
        }
    }
}
