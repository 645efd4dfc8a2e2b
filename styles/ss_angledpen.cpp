#include "ss_angledpen.h"

#include <cmath>
#include <memory>

#include "blur_kernels.h"
#include "qv_iostream.h"
#include "style_alpha_tables.h"
#include "style_document.h"
#include "style_record.h"
#include "style_units.h"

int32_t PenDirectionDegrees(float radians)
{
    const double degrees = std::round(static_cast<double>(radians) * 180.0 / 3.1415927410125732);
    if (!std::isfinite(degrees))
        return 0;
    // The builder folds directions into 0..359 itself; reducing first keeps huge angles in range
    // of an integer.
    double folded = std::fmod(degrees, 360.0);
    if (folded < 0)
        folded += 360.0;
    return static_cast<int32_t>(folded);
}

SS_AngledPen::SS_AngledPen()
    : fRadius(1.0f / 60.0f)
    , fAngle(0.7853982f)
{
    PenAlphaTable();
}

SS_AngledPen::~SS_AngledPen() = default;

int32_t SS_AngledPen::StyleType()
{
    return 8;
}

bool SS_AngledPen::ReadRecord(QV_IoStream* stream)
{
    return stream->ReadFloat(fRadius) && stream->ReadFloat(fAngle);
}

void SS_AngledPen::WriteRecord(QV_IoStream* stream)
{
    WriteFloatThenBlank(stream, fRadius);
    WriteFloatThenBlank(stream, fAngle);
}

void SS_AngledPen::Apply(
    QV_PixelBuffer* image, QV_Rect, QV_PixelBuffer* work, StyleDocument* doc, float scale)
{
    if (!doc || !IsEffectRaster(image) || !IsEffectRaster(work))
        return;
    // The kernel builder limits the length to 1..30.
    int32_t length = StylePixelsRounded(fRadius, doc->HeightPixels(), scale, 1, 30);
    auto kernel = std::make_unique<PixelKernel>();
    BuildMotionBlurKernel(length, *kernel, PenDirectionDegrees(fAngle));
    ApplyBlurKernel(*image, *work, *kernel);
    MapAlphaThroughTable(*work, *image, PenAlphaTable());
}
