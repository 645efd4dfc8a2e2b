#include "swf_shape.h"

namespace {

constexpr int kTagDefineShape3 = 32;
// Edge deltas have at most 17 signed bits.
constexpr int32_t kEdgeMin = -65536;
constexpr int32_t kEdgeMax = 65535;

bool Fits(int64_t d) { return d >= kEdgeMin && d <= kEdgeMax; }

int32_t Half(int64_t sum) { return static_cast<int32_t>(sum >= 0 ? sum / 2 : -((-sum) / 2)); }

int Widest(std::initializer_list<int32_t> values)
{
    int n = 2;
    for (int32_t v : values) {
        const int b = SwfBits::SignedBits(v);
        if (b > n)
            n = b;
    }
    return n;
}

void WriteCount(SwfBits& out, size_t n)
{
    if (n < 0xFF) {
        out.U8(static_cast<uint32_t>(n));
    } else {
        out.U8(0xFF);
        out.U16(static_cast<uint32_t>(n));
    }
}

}  // namespace

SwfShape::~SwfShape()
{
    for (SwfFill* fill : fFills)
        fill->Release();
}

SwfFill* SwfShape::AddFill(SwfFill* fill)
{
    if (!fill)
        return nullptr;
    if (fFills.size() >= 0xFFFF) {
        fill->Release();
        return nullptr;
    }
    fFills.push_back(fill);
    fill->Retain();
    return fill;
}

void SwfShape::SetRightFill(SwfFill* fill)
{
    uint16_t index = 0;
    for (size_t i = 0; fill && i < fFills.size(); ++i) {
        if (fFills[i] == fill)
            index = static_cast<uint16_t>(i + 1);
    }
    fFill = index;
}

void SwfShape::SetLine(float widthPixels, uint8_t r, uint8_t g, uint8_t b, uint8_t a)
{
    const int32_t width = SwfTwips(widthPixels);
    if (width <= 0) {
        fLine = 0;
        return;
    }
    const LineStyle style = { static_cast<uint16_t>(width > 0xFFFF ? 0xFFFF : width), { r, g, b, a } };
    for (size_t i = 0; i < fLines.size(); ++i) {
        const LineStyle& s = fLines[i];
        if (s.fWidth == style.fWidth && s.fColor[0] == r && s.fColor[1] == g && s.fColor[2] == b && s.fColor[3] == a) {
            fLine = static_cast<uint16_t>(i + 1);
            return;
        }
    }
    if (fLines.size() >= 0xFFFF)
        return;
    fLines.push_back(style);
    fLine = static_cast<uint16_t>(fLines.size());
}

void SwfShape::Extend(int32_t x, int32_t y)
{
    if (!fHasBounds) {
        fMinX = fMaxX = x;
        fMinY = fMaxY = y;
        fHasBounds = true;
        return;
    }
    fMinX = x < fMinX ? x : fMinX;
    fMaxX = x > fMaxX ? x : fMaxX;
    fMinY = y < fMinY ? y : fMinY;
    fMaxY = y > fMaxY ? y : fMaxY;
}

void SwfShape::FlushStyle(bool move, int32_t x, int32_t y)
{
    const bool newFill = fFill != fWrittenFill;
    const bool newLine = fLine != fWrittenLine;
    if (!move && !newFill && !newLine)
        return;
    fRecords.push_back({ kStyle, move, newFill, newLine, fFill, fLine, x, y, 0, 0 });
    fWrittenFill = fFill;
    fWrittenLine = fLine;
}

void SwfShape::MovePenTo(float x, float y)
{
    if (fEnded)
        return;
    fPenX = SwfTwips(x);
    fPenY = SwfTwips(y);
    FlushStyle(true, fPenX, fPenY);
    Extend(fPenX, fPenY);
}

void SwfShape::LineTo(float x, float y)
{
    if (fEnded)
        return;
    FlushStyle(false, 0, 0);
    AddLine(SwfTwips(x), SwfTwips(y));
}

void SwfShape::CurveTo(float cx, float cy, float ax, float ay)
{
    if (fEnded)
        return;
    FlushStyle(false, 0, 0);
    AddCurve(SwfTwips(cx), SwfTwips(cy), SwfTwips(ax), SwfTwips(ay));
}

void SwfShape::AddLine(int32_t x, int32_t y)
{
    const int64_t dx = static_cast<int64_t>(x) - fPenX, dy = static_cast<int64_t>(y) - fPenY;
    if (!Fits(dx) || !Fits(dy)) {
        AddLine(fPenX + Half(dx), fPenY + Half(dy));
        AddLine(x, y);
        return;
    }
    fRecords.push_back({ kLine, false, false, false, 0, 0, static_cast<int32_t>(dx), static_cast<int32_t>(dy), 0, 0 });
    fPenX = x;
    fPenY = y;
    Extend(x, y);
}

void SwfShape::AddCurve(int32_t cx, int32_t cy, int32_t ax, int32_t ay)
{
    const int64_t cdx = static_cast<int64_t>(cx) - fPenX, cdy = static_cast<int64_t>(cy) - fPenY;
    const int64_t adx = static_cast<int64_t>(ax) - cx, ady = static_cast<int64_t>(ay) - cy;
    if (!Fits(cdx) || !Fits(cdy) || !Fits(adx) || !Fits(ady)) {
        // De Casteljau at one half.
        const int32_t m1x = fPenX + Half(cdx), m1y = fPenY + Half(cdy);
        const int32_t m2x = cx + Half(adx), m2y = cy + Half(ady);
        const int32_t mx = m1x + Half(static_cast<int64_t>(m2x) - m1x);
        const int32_t my = m1y + Half(static_cast<int64_t>(m2y) - m1y);
        AddCurve(m1x, m1y, mx, my);
        AddCurve(m2x, m2y, ax, ay);
        return;
    }
    fRecords.push_back({ kCurve, false, false, false, 0, 0, static_cast<int32_t>(cdx), static_cast<int32_t>(cdy),
        static_cast<int32_t>(adx), static_cast<int32_t>(ady) });
    Extend(cx, cy);
    Extend(ax, ay);
    fPenX = ax;
    fPenY = ay;
}

void SwfShape::WriteDefinition(SwfDefiner& definer, uint16_t id)
{
    std::vector<uint16_t> bitmapIds;
    for (SwfFill* fill : fFills)
        bitmapIds.push_back(fill->BitmapOf() ? definer.Define(fill->BitmapOf()) : 0);

    int32_t pad = 0;
    for (const LineStyle& s : fLines)
        pad = s.fWidth / 2 > pad ? s.fWidth / 2 : pad;
    SwfBits body;
    body.U16(id);
    if (fHasBounds)
        body.Rect(fMinX - pad, fMaxX + pad, fMinY - pad, fMaxY + pad);
    else
        body.Rect(0, 0, 0, 0);

    WriteCount(body, fFills.size());
    for (size_t i = 0; i < fFills.size(); ++i)
        fFills[i]->Write(body, bitmapIds[i]);
    WriteCount(body, fLines.size());
    for (const LineStyle& s : fLines) {
        body.U16(s.fWidth);
        for (uint8_t c : s.fColor)
            body.U8(c);
    }
    const int fillBits = SwfBits::UnsignedBits(static_cast<uint32_t>(fFills.size()));
    const int lineBits = SwfBits::UnsignedBits(static_cast<uint32_t>(fLines.size()));
    body.UBits(static_cast<uint32_t>(fillBits), 4);
    body.UBits(static_cast<uint32_t>(lineBits), 4);
    for (const Record& r : fRecords) {
        if (r.fKind == kStyle) {
            body.UBits(0, 1);
            body.UBits(0, 1);  // no new style arrays
            body.UBits(r.fNewLine ? 1 : 0, 1);
            body.UBits(r.fNewFill ? 1 : 0, 1);
            body.UBits(0, 1);  // fill 0 stays unused
            body.UBits(r.fMove ? 1 : 0, 1);
            if (r.fMove) {
                int n = SwfBits::SignedBits(r.fX);
                n = SwfBits::SignedBits(r.fY) > n ? SwfBits::SignedBits(r.fY) : n;
                body.UBits(static_cast<uint32_t>(n), 5);
                body.SBits(r.fX, n);
                body.SBits(r.fY, n);
            }
            if (r.fNewFill)
                body.UBits(r.fFill, fillBits);
            if (r.fNewLine)
                body.UBits(r.fLine, lineBits);
        } else if (r.fKind == kLine) {
            const int n = Widest({ r.fX, r.fY });
            body.UBits(3, 2);
            body.UBits(static_cast<uint32_t>(n - 2), 4);
            body.UBits(1, 1);  // general line
            body.SBits(r.fX, n);
            body.SBits(r.fY, n);
        } else {
            const int n = Widest({ r.fX, r.fY, r.fX2, r.fY2 });
            body.UBits(2, 2);
            body.UBits(static_cast<uint32_t>(n - 2), 4);
            body.SBits(r.fX, n);
            body.SBits(r.fY, n);
            body.SBits(r.fX2, n);
            body.SBits(r.fY2, n);
        }
    }
    body.UBits(0, 6);  // end of shape
    body.Align();
    definer.Out().Tag(kTagDefineShape3, body);
}
