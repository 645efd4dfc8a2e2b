// The document's time: the current frame, durations, timecodes, and the project settings that
// time and sizes are computed from.

#include <algorithm>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "m_style.h"
#include "model_prefs.h"
#include "vorndoc.h"
#include "vornlayer.h"

namespace {

// Far beyond any frame or second count, and still exact in a double.
constexpr double kCountLimit = 1e15;
constexpr long long kNumberLimit = 1000000000000000LL;

// Half away from zero, kept where an int64 holds it.
int64_t RoundCount(double v)
{
    if (!(v == v))
        return 0;
    v = std::clamp(v, -kCountLimit, kCountLimit);
    return int64_t(v < 0 ? v - 0.5 : v + 0.5);
}

int32_t ToFrame(int64_t v)
{
    return int32_t(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

// The leading whole numbers of the text, at most four, each as "%ld" would take it (white space
// before it skipped, an optional sign); answers how many were read.
int32_t ScanNumbers(const char* text, int64_t numbers[4])
{
    int32_t count = 0;
    const char* p = text;
    while (count < 4) {
        char* end = nullptr;
        long long v = std::strtoll(p, &end, 10);
        if (end == p)
            break;
        numbers[count++] = std::clamp(v, -kNumberLimit, kNumberLimit);
        p = end;
    }
    return count;
}

} // namespace

void VornDoc::SetCurFrame(int32_t frame)
{
    fCurFrame = frame;
    fCameraTrack.SetCurFrame(frame);
    fCameraZoom.SetCurFrame(frame);
    fCameraRoll.SetCurFrame(frame);
    fCameraPanTilt.SetCurFrame(frame);
    for (int32_t i = 0; i < fStyles.fCount; i++) {
        M_Style* style = static_cast<M_Style*>(fStyles.fItems[i]);
        style->fFillCol.SetCurFrame(frame);
        style->fLineCol.SetCurFrame(frame);
    }
    for (int32_t i = 0; i < fLayers.fCount; i++) {
        VornLayer* layer = static_cast<VornLayer*>(fLayers.fItems[i]);
        if (layer->fVisible && !layer->fRenderOnly)
            layer->SetCurFrame(frame);
    }
    DepthSort();
}

int32_t VornDoc::AnimDuration()
{
    int32_t duration = 0;
    for (int32_t i = 0; i < fLayers.fCount; i++)
        duration = std::max(duration, static_cast<VornLayer*>(fLayers.fItems[i])->AnimDuration());
    duration = std::max(duration, fCameraTrack.Duration());
    duration = std::max(duration, fCameraZoom.Duration());
    duration = std::max(duration, fCameraRoll.Duration());
    duration = std::max(duration, fCameraPanTilt.Duration());
    return duration;
}

int32_t VornDoc::EndFrame()
{
    return fEndFrame > 0 ? fEndFrame : AnimDuration();
}

void VornDoc::ClearAnimation()
{
    for (int32_t i = 0; i < fLayers.fCount; i++)
        static_cast<VornLayer*>(fLayers.fItems[i])->ClearAnimation(true);
    fCameraTrack.Clear();
    fCameraZoom.Clear();
    fCameraRoll.Clear();
    fCameraPanTilt.Clear();
}

void VornDoc::FrameToTimecode(int32_t frame, QV_String& text)
{
    const double fps = fFps;
    int64_t s = RoundCount(frame / fps);
    int64_t f = frame - RoundCount(double(s) * fps);
    if (f < 0) {
        s--;
        f = frame - RoundCount(double(s) * fps);
    }
    int64_t m = s / 60;
    int64_t h = 0;
    if (m >= 1) {
        s -= 60 * m;
        h = m / 60;
        if (h >= 1)
            m -= 60 * h;
    }
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, "%02" PRId64 ":%02" PRId64 ":%02" PRId64 ":%02" PRId64, h, m, s, f);
    text = buffer;
}

int32_t VornDoc::TimecodeToFrame(const char* text)
{
    QV_String copy(text ? text : "");
    for (int32_t i = 0; i < copy.fLength; i++) {
        if (copy.fBuffer[i] == ':')
            copy.fBuffer[i] = ' ';
    }
    int64_t numbers[4];
    const int32_t count = ScanNumbers(copy.CString(), numbers);
    if (count == 0)
        return -1;
    // The numbers read fill the fields from the right: frames, seconds, minutes, hours.
    int64_t fields[4] = { 0, 0, 0, 0 };
    for (int32_t i = 0; i < count; i++)
        fields[4 - count + i] = numbers[i];
    const int64_t hours = fields[0], minutes = fields[1], seconds = fields[2], frames = fields[3];
    if (frames < 0)
        return ToFrame(frames);
    const double total
        = double(fFps) * ((double(hours) * 60 + double(minutes)) * 60 + double(seconds)) + double(frames);
    return ToFrame(RoundCount(total));
}

bool VornDoc::SetFps(float fps)
{
    if (!std::isfinite(fps) || fps <= 0)
        return false;
    fFps = fps;
    return true;
}

bool VornDoc::SetShape(int32_t width, int32_t height)
{
    if (width < 1 || height < 1)
        return false;
    fWidth = width;
    fHeight = height;
    return true;
}

float VornDoc::AspectRatio() const
{
    return float(fWidth) / float(fHeight);
}

bool VornDoc::SetFocus(float distance, float range)
{
    if (!std::isfinite(distance) || !std::isfinite(range) || distance + range / 2 <= 0)
        return false;
    fFocusDistance = distance;
    fFocusRange = range;
    return true;
}

void VornDoc::ApplyDepthOfFieldDefaults()
{
    fDepthOfField = ModelPrefBool("ProjDofEnabled", false);
    // Preferences that would put the whole focus range behind the eye keep the current focus.
    SetFocus(ModelPrefFloat("ProjDofDistance", 2), ModelPrefFloat("ProjDofRange", 1));
    const float blur = ModelPrefFloat("ProjDofBlur", 0.05f);
    if (std::isfinite(blur))
        fMaxBlur = blur;
}

void VornDoc::SetPath(const char* path)
{
    fPath = path ? path : "";
    // The name is what follows the last separator of either kind; a bare name is its own.
    const int32_t slash = std::max(fPath.FindLastChar('/'), fPath.FindLastChar('\\'));
    fName = fPath.Right(fPath.fLength - slash - 1);
}
