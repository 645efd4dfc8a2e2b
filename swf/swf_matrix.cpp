#include "swf_matrix.h"

#include <cmath>

namespace {

constexpr double kDegrees = 3.14159265358979323846 / 180.0;

int32_t Fixed(double v, double one)
{
    const double t = v * one;
    if (!(t == t))
        return 0;
    if (t >= 1073741823.0)
        return 1073741823;
    if (t <= -1073741823.0)
        return -1073741823;
    return static_cast<int32_t>(t >= 0 ? t + 0.5 : t - 0.5);
}

int WidestOf(int32_t a, int32_t b)
{
    const int na = SwfBits::SignedBits(a);
    const int nb = SwfBits::SignedBits(b);
    return na > nb ? na : nb;
}

}  // namespace

void SwfMatrix::Rotate(double degrees)
{
    const double c = std::cos(degrees * kDegrees);
    const double s = std::sin(degrees * kDegrees);
    // Screen y points down, so counter-clockwise is (x, y) -> (c x + s y, -s x + c y).
    const SwfMatrix m = *this;
    fA = c * m.fA + s * m.fB;
    fC = c * m.fC + s * m.fD;
    fTx = c * m.fTx + s * m.fTy;
    fB = -s * m.fA + c * m.fB;
    fD = -s * m.fC + c * m.fD;
    fTy = -s * m.fTx + c * m.fTy;
}

void SwfMatrix::Scale(double sx, double sy)
{
    fA *= sx;
    fC *= sx;
    fTx *= sx;
    fB *= sy;
    fD *= sy;
    fTy *= sy;
}

void SwfMatrix::MoveBy(double dxPixels, double dyPixels)
{
    fTx += dxPixels * 20.0;
    fTy += dyPixels * 20.0;
}

void SwfMatrix::MoveTo(double xPixels, double yPixels)
{
    fTx = xPixels * 20.0;
    fTy = yPixels * 20.0;
}

SwfMatrix SwfMatrix::Placement(double sx, double sy, double degrees, double xPixels, double yPixels)
{
    SwfMatrix m;
    m.Scale(sx, sy);
    m.Rotate(degrees);
    m.MoveTo(xPixels, yPixels);
    return m;
}

void SwfMatrix::Write(SwfBits& out) const
{
    const int32_t a = Fixed(fA, 65536.0), d = Fixed(fD, 65536.0);
    const int32_t b = Fixed(fB, 65536.0), c = Fixed(fC, 65536.0);
    const bool hasScale = a != 65536 || d != 65536;
    out.UBits(hasScale ? 1 : 0, 1);
    if (hasScale) {
        const int n = WidestOf(a, d);
        out.UBits(static_cast<uint32_t>(n), 5);
        out.SBits(a, n);
        out.SBits(d, n);
    }
    const bool hasRotate = b != 0 || c != 0;
    out.UBits(hasRotate ? 1 : 0, 1);
    if (hasRotate) {
        const int n = WidestOf(b, c);
        out.UBits(static_cast<uint32_t>(n), 5);
        out.SBits(b, n);
        out.SBits(c, n);
    }
    const int32_t tx = Fixed(fTx, 1.0), ty = Fixed(fTy, 1.0);
    const int n = (tx == 0 && ty == 0) ? 0 : WidestOf(tx, ty);
    out.UBits(static_cast<uint32_t>(n), 5);
    if (n > 0) {
        out.SBits(tx, n);
        out.SBits(ty, n);
    }
    out.Align();
}

void SwfColorMult::Write(SwfBits& out) const
{
    const int32_t terms[4] = { Fixed(fR, 256.0), Fixed(fG, 256.0), Fixed(fB, 256.0), Fixed(fA, 256.0) };
    int n = 1;
    for (int32_t t : terms) {
        const int b = SwfBits::SignedBits(t);
        if (b > n)
            n = b;
    }
    if (n > 15)
        n = 15;
    const int32_t limit = (1 << (n - 1)) - 1;
    out.UBits(0, 1);  // no add terms
    out.UBits(1, 1);
    out.UBits(static_cast<uint32_t>(n), 4);
    for (int32_t t : terms)
        out.SBits(t > limit ? limit : (t < -limit - 1 ? -limit - 1 : t), n);
    out.Align();
}
