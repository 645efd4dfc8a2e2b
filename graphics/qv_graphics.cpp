#include "qv_graphics.h"
#include "blend_tables.h"
#include "qv_graphics_internal.h"
#include "qv_noise.h"
#include "raster_rows.h"
#include "system_palette.h"
#include <cmath>
#include <cstdlib>
#include <cstring>

using namespace qv_graphics;

bool gOddShapeFlag = false;

QV_Graphics::QV_Graphics()
    : fTarget()
    , fClipView()
    , fColor { 0, 0, 0, 255 }
    , fColorIndex(0)
    , fColor555(0)
    , fColor565(0)
    , fColor32(0)
    , fPenWidth(1)
    , fFont(nullptr)
    , fClipRect()
    , fSmoothing(false)
    , fFillMode(kFillPlain)
    , fBezierTolerance(5)
    , fCurveSteps(128)
    , fLineNoise(false)
    , fNoiseAmplitude(8)
    , fNoiseWavelength(32)
    , fNoiseSeed(0)
    , fAxisAligned(true)
    , fViewMode(kViewPlain)
    , fPanX(0)
    , fPanY(0)
    , fZoom(1)
    , fRotation(0)
    , fMatrixDepth(0)
    // No pick square until BeginPicking: Pick answers false rather than test pixel (0, 0).
    , fPickX(-1)
    , fPickY(-1)
    , fPickLeft(0)
    , fPickRight(0)
    , fPickTop(0)
    , fPickBottom(0)
    , fPickRef8(0)
    , fPickRef16(0)
    , fPickRef32(0)
    , fTrackBounds(false)
    , fBounds { 0, 0, 0, 0 }
    , fPixelPenX(0)
    , fPixelPenY(0)
    , fPenX(0)
    , fPenY(0)
    , fFirstRow(0)
    , fLastRow(-1)
    , fUsedFirstRow(0)
    , fUsedLastRow(-1)
    , fRowCount(0)
    , fRows(nullptr)
    , fCountCrossingsOnly(false)
    , fShapeClipped(false)
    , fNearPointCount(0)
    , fNearPoints()
    , fMask(nullptr)
    , fMaskDepth(0)
    , fMaskBit(0)
    , fMaskBitInverse(0xFF)
    , fMaskAllBits(0)
    , fAntialias(false)
    , fOutlineFills(false)
    , fRecordingCurves(false)
    , fSegmentCount(0)
    , fSegmentCapacity(0)
    , fSegments(nullptr)
    , fAggLastX(0)
    , fAggLastY(0)
    , fAggBuffer(nullptr)
    , fAggPixelFormat(nullptr)
    , fAggRasterizer(nullptr)
    , fAggScanline(nullptr)
    , fSmoothSink(nullptr)
    , fSmoothLineCount(0)
    , fSmoothLineCapacity(0)
    , fSmoothLines(nullptr)
    , fStrokeSideCapacity(0)
    , fStrokeSide(nullptr)
    , fGapCurveCapacity(0)
    , fGapCurves(nullptr)
{
    InitState();
}

QV_Graphics::~QV_Graphics()
{
    FreeOwned();
}

void QV_Graphics::FreeRows()
{
    if (fRows) {
        for (int32_t i = 0; i < fRowCount; i++) {
            std::free(fRows[i].mid);
            std::free(fRows[i].left);
            std::free(fRows[i].right);
        }
        std::free(fRows);
    }
    fRows = nullptr;
    fRowCount = 0;
}

void QV_Graphics::FreeOwned()
{
    FreeAggObjects();
    FreeRows();
    std::free(fMask);
    fMask = nullptr;
    std::free(fSegments);
    fSegments = nullptr;
    fSegmentCount = fSegmentCapacity = 0;
    std::free(fSmoothLines);
    fSmoothLines = nullptr;
    fSmoothLineCount = fSmoothLineCapacity = 0;
    std::free(fStrokeSide);
    fStrokeSide = nullptr;
    fStrokeSideCapacity = 0;
    std::free(fGapCurves);
    fGapCurves = nullptr;
    fGapCurveCapacity = 0;
}

void QV_Graphics::InitState()
{
    // Called again on a used context it must not leak what the context owns.
    FreeOwned();
    fTarget.pixels = nullptr;
    fClipView.pixels = nullptr;
    fAxisAligned = true;
    fViewMode = kViewPlain;
    fPanX = fPanY = 0;
    fZoom = 1;
    fRotation = 0;
    fMatrixDepth = 0;
    fMatrices[0].Identity();
    fTrackBounds = false;
    fBounds = DrawBounds { 0, 0, 0, 0 };
    fPixelPenX = fPixelPenY = 0;
    fPenX = fPenY = 0;
    fMaskDepth = 0;
    fAntialias = false;
    fOutlineFills = false;
    fRecordingCurves = false;

    static bool tablesBuilt = false;
    if (!tablesBuilt) {
        BuildSmoothLineTables();
        tablesBuilt = true;
    }
    // Every blend of the context runs through these; a context used before toolkit start-up
    // (tools, tests, render jobs) must not blend through empty tables.
    BuildBlendTables();
    ResetState();
}

void QV_Graphics::ResetState()
{
    SetColor(0, 0, 0, 255);
    fPenWidth = 1;
    fFont = nullptr;
    ResetClip();
    fSmoothing = false;
    fFillMode = kFillPlain;
    fBezierTolerance = 5;
    fCurveSteps = 128;
    fLineNoise = false;
    SetAntialiasing(false);
    fNoiseSeed = 0;
    fNoiseAmplitude = 8;
    fNoiseWavelength = 32;
}

int32_t QV_Graphics::SetRaster(const QV_PixelBuffer* raster)
{
    std::free(fMask);
    fMask = nullptr;
    // The levels lived in the buffer just freed; keeping the depth would leave masked fills
    // reading a mask that is gone.
    if (fMaskDepth > 0) {
        fMaskDepth = 0;
        SetFillMode(fFillMode);
    }
    if (!raster || !raster->pixels) {
        fTarget.pixels = nullptr;
        fClipView.pixels = nullptr;
        // The smooth-fill objects still point into the old pixels.
        if (fAntialias)
            SetAntialiasing(false);
        return QV_RESULT_BAD_SIZE;
    }
    fTarget = *raster;
    ResetClip();
    if (fAntialias)
        SetAntialiasing(true);
    return QV_RESULT_OK;
}

int32_t QV_Graphics::SubRaster(QV_Rect rect, QV_PixelBuffer& out) const
{
    out = fTarget;
    rect.Normalize();
    if (!rect.Intersect(QV_Rect { 0, 0, fTarget.width - 1, fTarget.height - 1 }))
        return QV_RESULT_BAD_SIZE;
    if (!fTarget.pixels)
        return QV_RESULT_NO_PIXELS;
    out.pixels = RasterPixel(fTarget, rect.left, rect.top);
    out.width = rect.right - rect.left + 1;
    out.height = rect.bottom - rect.top + 1;
    return QV_RESULT_OK;
}

rgb_color QV_Graphics::GetPixel(int32_t x, int32_t y) const
{
    const uint8_t* p = RasterPixel(fTarget, x, y);
    switch (fTarget.depth) {
    case 8: {
        const uint32_t c = EnsureSystemPalette().fColors[*p];
        return rgb_color { uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c), 255 };
    }
    case 15: {
        const uint16_t v = LoadPixel16(p);
        return rgb_color { uint8_t((v >> 7) & 0xF8), uint8_t((v >> 2) & 0xF8), uint8_t((v & 0x1F) << 3),
            255 };
    }
    case 16: {
        const uint16_t v = LoadPixel16(p);
        return rgb_color { uint8_t((v >> 8) & 0xF8), uint8_t((v >> 3) & 0xFC), uint8_t((v & 0x1F) << 3),
            255 };
    }
    case 32:
        return rgb_color { p[kRed], p[kGreen], p[kBlue], p[kAlpha] };
    default:
        return rgb_color { 0, 0, 0, 0 };
    }
}

void QV_Graphics::SetColorStruct(rgb_color c)
{
    fColor = c;
    fColorIndex = EnsureSystemPalette().NearestIndex(c.r, c.g, c.b);
    fColor555 = uint16_t(((c.r & 0xF8) << 7) | ((c.g & 0xF8) << 2) | (c.b >> 3));
    fColor565 = uint16_t(((c.r >> 3) << 11) | ((c.g >> 2) << 5) | (c.b >> 3));
    fColor32 = uint32_t(c.a) << 24 | uint32_t(c.r) << 16 | uint32_t(c.g) << 8 | c.b;
}

void QV_Graphics::SetColor(uint8_t r, uint8_t g, uint8_t b, uint8_t a)
{
    SetColorStruct(rgb_color { r, g, b, a });
}

void QV_Graphics::SetClipRect(int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    QV_Vector2 a { float(left), float(top) };
    QV_Vector2 b { float(right), float(bottom) };
    Current().Transform(a);
    Current().Transform(b);
    const int32_t maxX = fTarget.width - 1 > 0 ? fTarget.width - 1 : 0;
    const int32_t maxY = fTarget.height - 1 > 0 ? fTarget.height - 1 : 0;
    QV_Rect r { ClampInt(RoundHalfAway(a.x), 0, maxX), ClampInt(RoundHalfAway(a.y), 0, maxY),
        ClampInt(RoundHalfAway(b.x), 0, maxX), ClampInt(RoundHalfAway(b.y), 0, maxY) };
    r.Normalize();
    fClipRect = r;
    SubRaster(fClipRect, fClipView);
}

void QV_Graphics::ResetClip()
{
    fClipRect = QV_Rect { 0, 0, fTarget.width - 1, fTarget.height - 1 };
    fClipView = fTarget;
}

void QV_Graphics::SetFillMode(int32_t mode)
{
    if (fMaskDepth == 0)
        mode &= kFillPlain | kFillChecker;
    fFillMode = mode == 0 ? kFillPlain : mode;
}

void QV_Graphics::SetLineNoise(int32_t amplitude, int32_t wavelength, int32_t seed)
{
    fLineNoise = true;
    fNoiseAmplitude = amplitude;
    fNoiseWavelength = wavelength < 1 ? 1 : wavelength;
    fNoiseSeed = seed;
}

void QV_Graphics::ResetBounds()
{
    fBounds = DrawBounds { 1e6f, 1e6f, -1e6f, -1e6f };
}

void QV_Graphics::MoveTo(float x, float y)
{
    fPenX = x;
    fPenY = y;
}

void QV_Graphics::WidenBounds(float x, float y)
{
    if (x < fBounds.minX)
        fBounds.minX = x;
    if (y < fBounds.minY)
        fBounds.minY = y;
    if (x > fBounds.maxX)
        fBounds.maxX = x;
    if (y > fBounds.maxY)
        fBounds.maxY = y;
}

void QV_Graphics::WidenBounds(float x, float y, float margin)
{
    WidenBounds(x - margin, y - margin);
    WidenBounds(x + margin, y + margin);
}

QV_Vector2 QV_Graphics::Jitter(const QV_Vector2& p) const
{
    if (fNoiseWavelength <= 0)
        return p;
    const QV_Vector2 j
        = JitterVector2D(p, float(fNoiseAmplitude), 1.0f / float(fNoiseWavelength), fNoiseSeed);
    return QV_Vector2 { p.x + j.x, p.y + j.y };
}

int32_t QV_Graphics::PixelSize() const
{
    return fTarget.pixels ? fTarget.bytesPerPixel : 0;
}

// ---- Matrix stack ----

void QV_Graphics::Push()
{
    if (fMatrixDepth >= kMatrixLevels - 1)
        return;
    fMatrixDepth++;
    fMatrices[fMatrixDepth] = fMatrices[fMatrixDepth - 1];
}

void QV_Graphics::Pop()
{
    if (fMatrixDepth > 0)
        fMatrixDepth--;
}

void QV_Graphics::Translate(float dx, float dy)
{
    Current().Translate(dx, dy, 0);
}

void QV_Graphics::Scale(float sx, float sy)
{
    Current().Scale(sx, sy, 1);
}

void QV_Graphics::Rotate(float angle)
{
    Current().Rotate(Z_AXIS, angle);
    fAxisAligned = false;
}

void QV_Graphics::ApplyMatrix(const QV_Matrix& matrix)
{
    Current().Multiply(matrix);
    fAxisAligned = false;
}

// ---- View set-up ----

void QV_Graphics::BeginDraw()
{
    fAxisAligned = true;
    fMatrixDepth = 0;
    QV_Matrix& m = fMatrices[0];
    m.Identity();
    if (fViewMode == kViewCentered) {
        const float halfHeight = fTarget.height * 0.5f;
        m.Translate(fTarget.width * 0.5f, halfHeight, 0);
        m.Scale(halfHeight, -halfHeight, 1);
    }
    if (std::fabs(fRotation) > 1e-6f) {
        m.Rotate(Z_AXIS, fRotation);
        fAxisAligned = false;
    }
    m.Scale(fZoom, fZoom, 1);
    m.Translate(fPanX, fPanY, 0);
}

void QV_Graphics::EndDraw()
{
    fAxisAligned = true;
    fMatrixDepth = 0;
}

// ---- Conversions ----

void QV_Graphics::ScreenToWorld(const QV_Point& pixel, QV_Vector2& out) const
{
    QV_Matrix inverse = Current();
    inverse.Invert();
    out = QV_Vector2 { float(pixel.x), float(pixel.y) };
    inverse.Transform(out);
}

void QV_Graphics::ScreenToWorld(const QV_Point& pixel, QV_Vector3& out) const
{
    QV_Matrix inverse = Current();
    inverse.Invert();
    out = QV_Vector3 { float(pixel.x), float(pixel.y), 0 };
    inverse.TransformAffine(out);
}

bool QV_Graphics::WorldToScreen(const QV_Vector2& world, QV_Point& out) const
{
    const Projected p = Project(Current(), world.x, world.y);
    if (p.w > 0) {
        out = QV_Point { RoundHalfAway(p.x / p.w), RoundHalfAway(p.y / p.w) };
        return true;
    }
    out = QV_Point { -10, -10 };
    return false;
}

bool QV_Graphics::WorldToScreen(const QV_Vector2& world, QV_Vector2& out) const
{
    const Projected p = Project(Current(), world.x, world.y);
    if (p.w > 0) {
        const float halfWidth = fTarget.width * 0.5f;
        const float halfHeight = fTarget.height * 0.5f;
        out = QV_Vector2 { (p.x / p.w - halfWidth) / halfHeight, (halfHeight - p.y / p.w) / halfHeight };
        return true;
    }
    out = QV_Vector2 { -2.0f, 1.1f };
    return false;
}

bool QV_Graphics::WorldToScreenScaled(
    const QV_Vector2& world, QV_Point& out, float offsetX, float offsetY, float scale) const
{
    const Projected p = Project(Current(), world.x, world.y);
    if (p.w > 0) {
        out = QV_Point { RoundHalfAway((p.x / p.w + offsetX) * scale),
            RoundHalfAway((p.y / p.w + offsetY) * scale) };
        return true;
    }
    out = QV_Point { -10, -10 };
    return false;
}

float QV_Graphics::CurrentScale(bool divideByZoom, float x, float y) const
{
    const float d = 0.00707107f;
    Projected a = Project(Current(), x + d, y + d);
    Projected b = Project(Current(), x - d, y - d);
    const float cap = (a.Depth() < 0 || b.Depth() < 0) ? 10.0f : 1e6f;
    for (Projected* p : { &a, &b }) {
        const float f = std::fabs(p->w) < 1e-6f ? 10.0f : 1.0f / p->w;
        p->x *= f;
        p->y *= f;
        p->z *= f;
    }
    const float dx = a.x - b.x, dy = a.y - b.y, dz = a.z - b.z;
    float result = std::sqrt(dx * dx + dy * dy + dz * dz) / (fTarget.height / 100.0f);
    if (result > cap)
        result = cap;
    if (divideByZoom)
        result /= fZoom;
    return result;
}

// ---- Mask stack ----

void QV_Graphics::PushMask(bool setAll)
{
    if (fMaskDepth >= kMaskLevels)
        return;
    if (!fMask && fTarget.pixels) {
        fMask = static_cast<uint8_t*>(std::malloc(size_t(fTarget.width) * size_t(fTarget.height)));
    }
    const int32_t k = fMaskDepth;
    fMaskBit = uint8_t(1u << k);
    fMaskBitInverse = uint8_t(~fMaskBit);
    fMaskAllBits = uint8_t((1u << (k + 1)) - 1);
    fMaskDepth = k + 1;
    if (!fMask)
        return;
    const size_t size = size_t(fTarget.width) * size_t(fTarget.height);
    if (k == 0) {
        std::memset(fMask, setAll ? 0xFF : 0, size);
    } else if (setAll) {
        for (size_t i = 0; i < size; i++)
            fMask[i] |= fMaskBit;
    } else {
        for (size_t i = 0; i < size; i++)
            fMask[i] &= fMaskBitInverse;
    }
}

void QV_Graphics::PopMask()
{
    if (fMaskDepth == 0)
        return;
    fMaskDepth--;
    if (fMaskDepth == 0) {
        SetFillMode(fFillMode);
        return;
    }
    fMaskBit = uint8_t(1u << (fMaskDepth - 1));
    fMaskBitInverse = uint8_t(~fMaskBit);
    fMaskAllBits = uint8_t((1u << fMaskDepth) - 1);
}

void QV_Graphics::ClearMask()
{
    if (fMaskDepth == 0 || !fMask)
        return;
    const size_t size = size_t(fTarget.width) * size_t(fTarget.height);
    if (fMaskDepth == 1) {
        std::memset(fMask, 0, size);
        return;
    }
    for (size_t i = 0; i < size; i++)
        fMask[i] &= fMaskBitInverse;
}

// ---- Picking ----

void QV_Graphics::BeginPicking(int32_t x, int32_t y, int32_t radius)
{
    fPickX = x;
    fPickY = y;
    if (!fTarget.pixels || x < 0 || y < 0 || x >= fTarget.width || y >= fTarget.height) {
        fPickX = fPickY = -1;
        return;
    }
    fPickLeft = ClampInt(x - radius, 0, fTarget.width - 1);
    fPickRight = ClampInt(x + radius, 0, fTarget.width - 1);
    fPickTop = ClampInt(y - radius, 0, fTarget.height - 1);
    fPickBottom = ClampInt(y + radius, 0, fTarget.height - 1);
    const uint8_t* p = RasterPixel(fTarget, fPickLeft, fPickTop);
    switch (fTarget.bytesPerPixel) {
    case 1:
        fPickRef8 = *p;
        break;
    case 2:
        fPickRef16 = LoadPixel16(p);
        break;
    case 4:
        fPickRef32 = LoadPixel32(p);
        break;
    default:
        break;
    }
}

bool QV_Graphics::Pick()
{
    if (fPickX < 0 || fPickY < 0 || !fTarget.pixels)
        return false;
    const int32_t size = fTarget.bytesPerPixel;
    if (size != 1 && size != 2 && size != 4)
        return false;
    bool hit = false;
    for (int32_t y = fPickTop; y <= fPickBottom; y++) {
        for (int32_t x = fPickLeft; x <= fPickRight; x++) {
            uint8_t* p = RasterPixel(fTarget, x, y);
            if (size == 1) {
                if (*p != fPickRef8) {
                    *p = fPickRef8;
                    hit = true;
                }
            } else if (size == 2) {
                if (LoadPixel16(p) != fPickRef16) {
                    StorePixel16(p, fPickRef16);
                    hit = true;
                }
            } else if ((LoadPixel32(p) | 0xFF000000u) != (fPickRef32 | 0xFF000000u)) {
                StorePixel32(p, fPickRef32);
                hit = true;
            }
        }
    }
    return hit;
}

bool QV_Graphics::IsFullWhite(int32_t x, int32_t y) const
{
    if (!fTarget.pixels || x < 0 || y < 0 || x >= fTarget.width || y >= fTarget.height)
        return false;
    rgb_color c = GetPixel(x, y);
    if (fTarget.depth == 15 || fTarget.depth == 16) {
        c.r |= 7;
        c.g |= 7;
        c.b |= 7;
    }
    return c.r == 255 && c.g == 255 && c.b == 255 && c.a == 255;
}
