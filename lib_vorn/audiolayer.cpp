// The audio layer's class, its channel rows, the sound and its timing, level and position.

#include "audiolayer.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "channelinfo.h"
#include "document_path.h"
#include "interpsetting.h"
#include "meshlayer_draw_colors.h"
#include "pushed_transform.h"
#include "qv_matrix.h"
#include "swf.h"
#include "vorndoc.h"
#include "xgraphics.h"

namespace {

constexpr float kDefaultFps = 24;

} // namespace

AudioLayer::AudioLayer()
    : fSpatialPositioning(true)
    , fMaxAmplitude(-1)
    , fSwfSoundStream(nullptr)
{
    fAudioLevel.SetValue(0, 1);
    fJumpToFrame.SetValue(0, 0);
}

AudioLayer::~AudioLayer()
{
    destroySWFSoundStream(fSwfSoundStream);
}

int32_t AudioLayer::LayerType()
{
    return LT_AUDIO;
}

void AudioLayer::SetCurFrame(int32_t frame)
{
    fAudioLevel.SetCurFrame(ClampFrame(int64_t(frame) + TotalTimingOffset()));
    VornLayer::SetCurFrame(frame);
    RunLayerScript();
}

void AudioLayer::Draw(VornDoc* doc, XGraphics* graphics, QV_PixelBuffer*, int32_t& drawMode, VornLayer* currentLayer,
    RenderSettings*)
{
    UpdateToDocFrame(doc);
    if (drawMode == DRAW_ONION || drawMode == DRAW_ONION_CURRENT)
        return;
    RunLayerScript();
    if (drawMode == DRAW_SWF) {
        StartSwfSound(graphics);
        return;
    }
    // A sound has nothing to show but where it sits, and only while it is being edited.
    if (!graphics || drawMode != DRAW_EDIT || currentLayer != this || !ShowsEditOverlays())
        return;
    PushedTransform layerTransform(graphics);
    QV_Matrix matrix;
    GetLayerTransform(DocFrameOf(fCurFrame), matrix, doc);
    graphics->ApplyMatrix(matrix);
    const bool smoothing = graphics->fSmoothing;
    graphics->SetSmoothing(true);
    graphics->SetColorStruct(EditorColInac());
    graphics->DrawOriginMarker(fOrigin.x, fOrigin.y);
    graphics->SetSmoothing(smoothing);
}

void AudioLayer::StartSwfSound(XGraphics* graphics)
{
    if (fCurFrame != 1 || !graphics || !graphics->fSWFTarget || !(fAudioFile.MimeType() == "audio/mpeg"))
        return;
    SWFSoundStream stream = newSWFSoundStreamFromPath(fAudioFile.CString());
    if (!stream)
        return;
    // A stream of an earlier export lives on in its movie as long as that needs it.
    destroySWFSoundStream(fSwfSoundStream);
    fSwfSoundStream = stream;
    SWFMovie_setSoundStream(graphics->fSWFTarget, stream);
}

int32_t AudioLayer::CountRenderItems()
{
    return 1;
}

void AudioLayer::RenderItem(VornDoc* doc, XGraphics*, QV_PixelBuffer*, QV_PixelBuffer*, int32_t, RenderSettings*)
{
    UpdateToDocFrame(doc);
}

int32_t AudioLayer::LayerDuration()
{
    if (!fSound)
        return -1;
    const float seconds = fSound->Duration();
    const float fps = fDoc ? fDoc->Fps() : kDefaultFps;
    return int32_t(seconds * fps) + 1;
}

int32_t AudioLayer::CountChannels()
{
    return 2 + kBaseChannelRows;
}

void AudioLayer::GetChannelInfo(int32_t row, ChannelInfo& info)
{
    if (row >= 2) {
        VornLayer::GetChannelInfo(row - 2, info);
        return;
    }
    info.Reset();
    if (row == 0) {
        info.fID = 10051;
        info.SetLook("channel_audio_level", "/Animation/Channels/AudioLevel=Audio Level");
        return;
    }
    info.fID = 10052;
    info.SetLook("channel_audio_jump", "/Animation/Channels/AudioJump=Audio Jump");
    info.fSeparator = true;
    info.fSingleChannel = false;
}

AnimChannel* AudioLayer::GetChannel(int32_t row, int32_t sub, VornDoc* doc)
{
    if (row == 0)
        return &fAudioLevel;
    if (row == 1)
        return &fJumpToFrame;
    return VornLayer::GetChannel(row - 2, sub, doc);
}

float AudioLayer::PlaybackRate()
{
    return 1;
}

int32_t AudioLayer::SetAudioFile(const char* path)
{
    fSound.reset();
    fMaxAmplitude = -1;
    if (!path || !*path || !DocumentPathAllowed(path))
        return -6;
    fAudioFile = path;
    std::unique_ptr<QV_SoundClip> clip(new (std::nothrow) QV_SoundClip);
    if (!clip || clip->Load(path) != 0 || !clip->HasSamples())
        return -5;
    fSound = std::move(clip);
    return 0;
}

QV_SoundClip* AudioLayer::Sound() const
{
    return fSound && fSound->HasSamples() ? fSound.get() : nullptr;
}

float AudioLayer::MaxAmplitude()
{
    if (fMaxAmplitude > 0)
        return fMaxAmplitude;
    if (!fSound)
        return 1;
    const float d = fSound->Duration();
    const float w = 1.0f / (fDoc ? fDoc->Fps() : kDefaultFps);
    for (int64_t i = 0; float(i) * w < d; i++)
        fMaxAmplitude = std::max(fMaxAmplitude, std::fabs(fSound->GetRMSAmplitude(float(i) * w, w)));
    if (fMaxAmplitude < 0.0001f)
        fMaxAmplitude = 0.0001f;
    return fMaxAmplitude;
}

bool AudioLayer::IsSilent()
{
    return fAudioLevel.CountKeys() == 1 && fAudioLevel.GetValue(0) < 0.000001f;
}

float AudioLayer::GetAudioLevel(int32_t frame)
{
    const int32_t g = ClampFrame(int64_t(frame) + TotalTimingOffset());
    if (!fVisibility.GetValue(g))
        return 0;
    return std::max(0.0f, float(fAudioLevel.GetValue(g)));
}

float AudioLayer::GetStereoPosition(int32_t frame)
{
    if (!fSpatialPositioning)
        return 0;
    QV_Matrix matrix;
    GetFullTransform(frame, matrix, fDoc);
    QV_Vector3 origin;
    origin.Set(fOrigin.x, fOrigin.y, 0);
    matrix.TransformHomo(origin);
    return float(origin.x);
}

float AudioLayer::AudioTimeAt(int32_t frame, float secondsPerFrame)
{
    int32_t g = ClampFrame(int64_t(frame) + TotalTimingOffset());
    int32_t c = fJumpToFrame.GetClosestKeyID(g);
    int32_t k = fJumpToFrame.GetKeyWhen(c);
    InterpSetting setting = DefaultInterpSetting();
    fJumpToFrame.GetKeyInterpByID(c, setting);
    if (setting.interpMode == INTERP_CYCLE && g > k) {
        g = MapCycleFrame(k, CycleTarget(k, setting), g);
        c = fJumpToFrame.GetClosestKeyID(g);
        k = fJumpToFrame.GetKeyWhen(c);
    }
    if (k < 1)
        return secondsPerFrame * float(g - 1);
    const float v = fJumpToFrame.GetValue(k);
    return secondsPerFrame * (v + float(g - k));
}

float AudioLayer::GetAmplitude(float time, float window) const
{
    return fSound ? fSound->GetAmplitude(time, window) : 0;
}

float AudioLayer::GetRMSAmplitude(float time, float window) const
{
    return fSound ? fSound->GetRMSAmplitude(time, window) : 0;
}

float AudioLayer::GetMaxAmplitude(float time, float window) const
{
    return fSound ? fSound->GetMaxAmplitude(time, window) : 0;
}

void AudioLayer::SetAudioText(const char* text)
{
    fAudioText = text ? text : "";
    fAudioText.RemoveChar('"');
}
