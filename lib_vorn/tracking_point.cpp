// Motion tracking points: restart, the tracking step and its matching measure, the record.

#include "tracking_point.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "interpsetting.h"
#include "qv_iostream.h"
#include "script_object_record.h"

namespace {

constexpr int32_t kMinWeights = 1024;
constexpr float kNoMatch = 20;

int32_t RoundHalfAway(float v)
{
    if (!std::isfinite(v))
        return 0;
    return int32_t(std::clamp<double>(std::round(double(v)), INT32_MIN, INT32_MAX));
}

int32_t Truncate(float v)
{
    if (!std::isfinite(v))
        return 0;
    return int32_t(std::clamp<double>(std::trunc(double(v)), INT32_MIN, INT32_MAX));
}

int32_t Saturate(int64_t v)
{
    return int32_t(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

QV_Rect WindowAt(int64_t x, int64_t y, int32_t n)
{
    return { Saturate(x - n), Saturate(y - n), Saturate(x + n), Saturate(y + n) };
}

// The unit vector, or (0, 1) for the zero vector.
void Unit(double& x, double& y)
{
    const double length = std::sqrt(x * x + y * y);
    if (length == 0) {
        x = 0;
        y = 1;
        return;
    }
    x /= length;
    y /= length;
}

} // namespace

TrackingPoint::TrackingPoint(int32_t startFrame)
    : fCompareRadius(8)
    , fSearchRadius(16)
    , fLastFrame(Saturate(int64_t(startFrame) + 1000000))
    , fSelected(false)
    , fLastTrackedFrame(-1000000)
    , fTracking(false)
    , fStartFrame(startFrame)
    , fRefFrame(0)
    , fVelocity { 0, 0 }
    , fScore(-1)
    , fLost(false)
{
    fAnimPos.SetCurFrame(startFrame);
    fAnimPos.SetValue(startFrame, QV_Vector2 { 0, 0 });
}

TrackingPoint::~TrackingPoint()
{
    QV_ScriptObjectsGone(this, sizeof(*this));
}

void TrackingPoint::SetName(const char* name)
{
    fName = name ? name : "";
    fName.RemoveChar('"');
}

bool TrackingPoint::IsRestartKey(const InterpSetting& setting)
{
    return setting.interpMode == INTERP_LINEAR && setting.val1 == -1 && setting.val2 == -1;
}

void TrackingPoint::Restart(int32_t frame)
{
    fTracking = true;
    fLastTrackedFrame = frame;
    fRefFrame = frame;
    fStartFrame = frame;
    fAnimPos.AddKey(frame);
    fAnimPos.SetKeyInterp(frame, INTERP_LINEAR, -1, -1);
    const QV_Vector2 v = fAnimPos.GetValue(frame);
    const QV_Point p { RoundHalfAway(v.x), RoundHalfAway(v.y) };
    fStartPos = fCurPos = fRefPos = p;
    fVelocity[0] = fVelocity[1] = 0;
    fLost = false;
    fScore = -1;
    // Keys an earlier run tracked after the frame are stale; the next restart key ends them.
    // Tracked keys may be linear themselves (the default interpolation of new keys can be), so
    // restart keys are told by their whole setting.
    const int32_t end = fAnimPos.Duration();
    for (int64_t f = int64_t(frame) + 1; f <= end; f++) {
        if (!fAnimPos.HasKey(int32_t(f)))
            continue;
        if (IsRestartKey(fAnimPos.GetKeyInterp(int32_t(f))))
            break;
        fAnimPos.DeleteKey(int32_t(f));
    }
}

float TrackingPoint::WindowDifference(const QV_PixelBuffer& a, const QV_Rect& wa, const QV_PixelBuffer& b,
    const QV_Rect& wb, const float* weights)
{
    if (wa.bottom < wa.top || a.bytesPerPixel != 4 || b.bytesPerPixel != 4)
        return kNoMatch;
    double sum = 0;
    int64_t count = 0;
    // Only the rows and columns where both windows lie inside their rasters count.
    const int64_t dy = int64_t(wb.top) - wa.top, dx = int64_t(wb.left) - wa.left;
    const int64_t i0 = std::max<int64_t>({ wa.top, 0, -dy }), i1 = std::min<int64_t>({ wa.bottom, a.height - 1, b.height - 1 - dy });
    const int64_t k0 = std::max<int64_t>({ wa.left, 0, -dx }), k1 = std::min<int64_t>({ wa.right, a.width - 1, b.width - 1 - dx });
    for (int64_t i = i0; i <= i1; i++) {
        const uint8_t* rowA = a.pixels + i * a.rowBytes;
        const uint8_t* rowB = b.pixels + (i + dy) * b.rowBytes;
        const float wi = weights[i - wa.top];
        for (int64_t k = k0; k <= k1; k++) {
            const uint8_t* pa = rowA + k * 4;
            const uint8_t* pb = rowB + (k + dx) * 4;
            const int32_t d = std::abs(pa[0] - pb[0]) + std::abs(pa[1] - pb[1]) + std::abs(pa[2] - pb[2]);
            sum += double(wi * weights[k - wa.left]) * d;
            count += 3;
        }
    }
    return count ? float(sum / double(count)) : kNoMatch;
}

void TrackingPoint::TrackFrame(int32_t frame, const QV_PixelBuffer& current, const QV_PixelBuffer& previous)
{
    if (!fTracking || int64_t(frame) != int64_t(fLastTrackedFrame) + 1 || frame > fLastFrame || fLost)
        return;

    QV_Point best;
    float bestMeasure = 0;
    const bool kept = fAnimPos.HasKey(frame)
        || (fAnimPos.HasKey(frame - 1) && frame < INT32_MAX && fAnimPos.HasKey(frame + 1));
    if (kept) {
        // A key set by hand (or kept between two) is followed without searching.
        const QV_Vector2 v = fAnimPos.GetValue(frame);
        best = { Truncate(v.x), Truncate(v.y) };
    } else {
        // Radii above the usual limit size the weights by the window instead of overrunning them.
        const int32_t n = std::max(fCompareRadius, 0);
        std::vector<float> weights(size_t(std::max<int64_t>(kMinWeights, 2 * int64_t(n) + 1)), 0.0f);
        std::fill(weights.begin(), weights.begin() + (2 * int64_t(n) + 1), 1.0f);
        const QV_Rect ref = WindowAt(fRefPos.x, fRefPos.y, n);
        bestMeasure = WindowDifference(current, ref, previous, ref, weights.data());
        best = fCurPos;
        // Candidates whose windows all miss the picture measure alike; a search reaching further
        // than that would only spin.
        const int64_t reach = int64_t(std::max(current.width, current.height)) + n + 2;
        const int64_t s = std::clamp<int64_t>(fSearchRadius, 0, reach);
        double vx = fVelocity[0], vy = fVelocity[1];
        Unit(vx, vy);
        for (int64_t y = int64_t(fCurPos.y) - s; y < int64_t(fCurPos.y) + s; y++) {
            for (int64_t x = int64_t(fCurPos.x) - s; x < int64_t(fCurPos.x) + s; x++) {
                float m = WindowDifference(current, WindowAt(x, y, n), previous, ref, weights.data());
                double dx = double(x - fRefPos.x), dy = double(y - fRefPos.y);
                Unit(dx, dy);
                m = float(m * (1 + (1 - (dx * vx + dy * vy)) / 4));
                if (m < bestMeasure) {
                    bestMeasure = m;
                    best = { Saturate(x), Saturate(y) };
                }
            }
        }
        const double speed = std::hypot(double(fVelocity[0]), double(fVelocity[1]));
        if (speed > 1e-6) {
            const double kx = double(best.x) - fCurPos.x, ky = double(best.y) - fCurPos.y;
            const double jump = std::hypot(kx, ky);
            const bool backward = kx * fVelocity[0] + ky * fVelocity[1] < 0;
            if (jump > 5 * speed || (backward && jump > speed && jump > 10)) {
                fLost = true;
                return;
            }
        }
    }

    fLastTrackedFrame = frame;
    fVelocity[0] = float(double(best.x) - fCurPos.x);
    fVelocity[1] = float(double(best.y) - fCurPos.y);
    fCurPos = best;
    if (!kept)
        fAnimPos.SetValue(frame, QV_Vector2 { float(best.x), float(best.y) });
    if (frame > fRefFrame || fLost) {
        fRefFrame = frame;
        fRefPos = fCurPos;
    }
    if (fCurPos.x >= 0 && fCurPos.x < current.width && fCurPos.y >= 0 && fCurPos.y < current.height) {
        fLost = false;
        fScore = bestMeasure;
        return;
    }
    // Out of the picture: the last four frames' motion goes on as one far key.
    fLost = true;
    const QV_Vector2 p0 = fAnimPos.GetValue(Saturate(int64_t(frame) - 4));
    const QV_Vector2 p1 = fAnimPos.GetValue(frame);
    fAnimPos.SetValue(Saturate(int64_t(frame) + 1000),
        QV_Vector2 { p1.x + 250 * (p1.x - p0.x), p1.y + 250 * (p1.y - p0.y) });
}

void TrackingPoint::WriteRecord(QV_IoStream* s)
{
    s->WriteIndent();
    s->WriteQuoted(fName.CString());
    auto integer = [s](int32_t v) {
        s->WriteSpace();
        s->WriteInt(v);
    };
    auto boolean = [s](bool v) {
        s->WriteSpace();
        s->WriteText(v ? "true" : "false");
    };
    integer(fCompareRadius);
    integer(fSearchRadius);
    integer(fLastFrame);
    boolean(fSelected);
    integer(fCompareRadius);
    boolean(fTracking);
    integer(fLastTrackedFrame);
    integer(fStartFrame);
    integer(fRefFrame);
    for (const QV_Point& p : { fStartPos, fCurPos, fRefPos }) {
        integer(p.x);
        integer(p.y);
    }
    s->WriteNewline();
    fAnimPos.WriteRecord(s, true);
}

bool TrackingPoint::ReadRecord(QV_IoStream* s)
{
    char name[257];
    if (!s->ReadQuoted(int32_t(sizeof name), name))
        return false;
    SetName(name);
    return s->ReadInt(fCompareRadius) && s->ReadInt(fSearchRadius) && s->ReadInt(fLastFrame)
        && s->ReadBool(fSelected) && s->ReadInt(fCompareRadius) && s->ReadBool(fTracking)
        && s->ReadInt(fLastTrackedFrame) && s->ReadInt(fStartFrame) && s->ReadInt(fRefFrame)
        && s->ReadPoint(fStartPos) && s->ReadPoint(fCurPos) && s->ReadPoint(fRefPos)
        && fAnimPos.ReadRecord(s, false);
}
