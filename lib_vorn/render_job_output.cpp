// What the render job writes and how it changes the finished frame: numbered file names, PSD
// blend keys, NTSC-safe colours, and the stereo camera shift with its red-cyan anaglyph.

#include <cinttypes>
#include <cmath>
#include <cstdio>

#include "composite_modes.h"
#include "render_job.h"
#include "render_settings.h"
#include "vorndoc.h"

QV_String RenderJob::NumberedFileName(const RenderSettings& settings, int32_t frame)
{
    int32_t number = frame;
    if (settings.fHalfFrameRate)
        number = settings.fStartFrame + (frame - settings.fStartFrame) / 2;
    char digits[16];
    std::snprintf(digits, sizeof digits, "%04" PRId32, number);

    // The number goes before the extension of the file name; a point in a folder name is not
    // an extension.
    const QV_String& path = settings.fPath;
    const int32_t separator = path.FindLastChar('/');
    const int32_t point = path.FindLastChar('.');
    if (point > separator) {
        QV_String name = path.Left(point);
        name.Append(digits);
        name.Append(path.CString() + point);
        return name;
    }
    QV_String name = path;
    name.Append(digits);
    return name;
}

const char* RenderJob::PSDBlendKey(int32_t blendMode)
{
    switch (blendMode) {
    case BM_MULTIPLY:
        return "mul ";
    case BM_SCREEN:
        return "scrn";
    case BM_OVERLAY:
        return "over";
    case BM_DIFFERENCE:
        return "diff";
    case BM_HUE:
        return "hue ";
    case BM_SATURATION:
        return "sat ";
    case BM_COLOR:
        return "colr";
    case BM_LUMINOSITY:
        return "lum ";
    default:
        // Adding has no PSD counterpart; such layers are written as normal ones.
        return "norm";
    }
}

void RenderJob::ApplyNTSCSafeColors()
{
    QV_PixelBuffer raster;
    if (!fSettings || !OutputRaster(raster) || raster.depth != 32)
        return;
    uint8_t map[256];
    for (int32_t c = 0; c < 256; c++)
        map[c] = uint8_t(float(c) / 255.0f * 219.0f + 16.0f + 0.5f);
    for (int32_t y = 0; y < raster.height; y++) {
        uint8_t* p = raster.pixels + int64_t(y) * raster.rowBytes;
        for (int32_t x = 0; x < raster.width; x++, p += 4) {
            p[0] = map[p[0]];
            p[1] = map[p[1]];
            p[2] = map[p[2]];
        }
    }
}

void RenderJob::ShiftCamera()
{
    VornDoc* doc = fSettings->fDoc;
    AnimVec3& track = doc->fCameraTrack;
    if (fStereoPass == 0) {
        fSavedCamera = track.value;
        fCameraHadKey = track.HasKey(doc->CurFrame());
        // The eye offset runs along the camera's own x axis: rolled, then panned.
        QV_Vector3 a { 1, 0, 0 };
        const float r = -doc->fCameraRoll.value;
        const float rx = a.x * std::cos(r) - a.y * std::sin(r);
        const float ry = a.x * std::sin(r) + a.y * std::cos(r);
        a.x = rx;
        a.y = ry;
        const float p = doc->fCameraPanTilt.value.y;
        const float px = a.x * std::cos(p) + a.z * std::sin(p);
        const float pz = a.z * std::cos(p) - a.x * std::sin(p);
        a.x = px;
        a.z = pz;
        const float length = std::sqrt(a.x * a.x + a.y * a.y + a.z * a.z);
        if (length > 0) {
            a.x /= length;
            a.y /= length;
            a.z /= length;
        }
        fStereoAxis = a;
    }
    const float half = (fStereoPass == 0 ? -0.5f : 0.5f) * doc->fStereoSeparation;
    track.value = QV_Vector3 { fSavedCamera.x + fStereoAxis.x * half, fSavedCamera.y + fStereoAxis.y * half,
        fSavedCamera.z + fStereoAxis.z * half };
    track.AddKey(track.GetCurFrame());
    fCameraShifted = true;
}

void RenderJob::RestoreCamera()
{
    VornDoc* doc = fSettings->fDoc;
    AnimVec3& track = doc->fCameraTrack;
    const int32_t frame = doc->CurFrame();
    if (fCameraHadKey || frame == 0)
        track.SetValue(frame, fSavedCamera);
    else
        track.DeleteKey(frame);
    track.SetCurFrame(track.GetCurFrame());
    fCameraShifted = false;
}

void RenderJob::CompositeLeftEye()
{
    QV_PixelBuffer output;
    QV_PixelBuffer left;
    if (!OutputRaster(output) || fLeftEyeImage.GetPixelBuffer(left) != 0 || output.depth != 32
        || left.width != output.width || left.height != output.height)
        return;
    // Red from the left eye, green and blue from the right: a red-cyan anaglyph.
    for (int32_t y = 0; y < output.height; y++) {
        uint8_t* out = output.pixels + int64_t(y) * output.rowBytes;
        const uint8_t* in = left.pixels + int64_t(y) * left.rowBytes;
        for (int32_t x = 0; x < output.width; x++, out += 4, in += 4) {
            out[2] = in[2];
            out[3] = 255;
        }
    }
}
