// The layer base: fields and their defaults, the plain accessors, frame handling and timing
// offsets, the baking of layer effects, durations and the layer script.

#include "vornlayer.h"

#include "audiolayer.h"

#include <algorithm>
#include <atomic>
#include <cinttypes>
#include <cstdio>

#include "bone_parent.h"
#include "channelinfo.h"
#include "document_path.h"
#include "grouplayer.h"
#include "layer_script_host.h"
#include "model_prefs.h"
#include "vorndoc.h"
#include "script_object_record.h"

namespace {

// 7π/4, 1/30, 1/60 and 1/15 as the stored defaults give them.
constexpr float kDefaultEffectAngle = 5.497787f;
constexpr float kDefaultOffset = 0.0333333f;
constexpr float kDefaultSoftness = 0.0166667f;
constexpr float kDefaultShadingBlur = 0.0666667f;
constexpr rgb_color kEffectShade = { 0, 0, 0, 128 };
constexpr int32_t kDefaultQualityFlags = 0x7FE;

// Layer scripts are bound to globals "LS_<n>"; a counter keeps the names unique for the whole
// run, which a 64-bit address printed with "%u" would not. Render threads bring private
// documents to their frames too, so the counter is shared safely.
std::atomic<uint32_t> gNextScriptSerial { 0 };

template <class Channel> void Bake(Channel& channel, int32_t frame)
{
    auto value = channel.GetValue(frame);
    channel.SetValue(0, value);
    channel.Clear();
}

} // namespace

bool IsGroupLayerType(int32_t type)
{
    return type >= LT_GROUP && type <= LT_PARTICLE;
}

VornLayer::VornLayer()
    : fQualityFlags(kDefaultQualityFlags)
    , fAnimatedLayerEffects(false)
    , fLayerParentBone(-2)
    , fVisible(true)
    , fRenderOnly(false)
    , fEditOnly(false)
    , fScaleCompensation(true)
    , fRotateToFollow(false)
    , fFaceCamera(false)
    , fMaskingMode(MM_MASKED)
    , fBlendingMode(BM_NORMAL)
    , fImmuneToCamera(false)
    , fImmuneToDof(false)
    , fTimingOffset(0)
    , fLayerScriptLoaded(false)
    , fDoc(nullptr)
    , fSecondarySelection(false)
    , fCurFrame(0)
    , fParent(nullptr)
    , fInMotionBlurPass(false)
    , fScriptSerial(0)
{
    fScale.SetValue(0, QV_Vector3 { 1, 1, 1 });
    fVisibility.SetValue(0, true);
    fAlpha.SetValue(0, 1);
    fShadowAngle.SetValue(0, kDefaultEffectAngle);
    fShadowOffset.SetValue(0, kDefaultOffset);
    fShadowBlur.SetValue(0, kDefaultSoftness);
    fShadowColor.SetValue(0, kEffectShade);
    fShadowNoiseScale.SetValue(0, kDefaultNoiseScale);
    fShadingAngle.SetValue(0, kDefaultEffectAngle);
    fShadingOffset.SetValue(0, kDefaultOffset);
    fShadingBlur.SetValue(0, kDefaultShadingBlur);
    fShadingColor.SetValue(0, kEffectShade);
    fShadingNoiseScale.SetValue(0, kDefaultNoiseScale);
    fMotionBlurFrames.SetValue(0, 2);
    fMotionBlurSkip.SetValue(0, 1);
    fMotionBlurAlphaStart.SetValue(0, 0.5f);
    fMotionBlurAlphaEnd.SetValue(0, 0.3f);
    fMotionBlurRadius.SetValue(0, kDefaultSoftness);
}

VornLayer::~VornLayer()
{
    QV_ScriptObjectsGone(this, sizeof(*this));
    ClearPoses();
}

int32_t VornLayer::LayerChannels(AnimChannel** channels)
{
    AnimChannel* all[kLayerChannelCount]
        = { &fTranslation, &fScale, &fRotationX, &fRotationY, &fRotationZ, &fFlipH, &fFlipV, &fShear,
              &fVisibility, &fBlur, &fAlpha, &fAmbientOcclusion, &fLayerShadow, &fShadowAngle, &fShadowOffset,
              &fShadowBlur, &fShadowExpansion, &fShadowColor, &fShadowNoiseAmp, &fShadowNoiseScale,
              &fLayerShading, &fShadingAngle, &fShadingOffset, &fShadingBlur, &fShadingContraction,
              &fShadingColor, &fShadingNoiseAmp, &fShadingNoiseScale, &fMotionBlur, &fMotionBlurFrames,
              &fMotionBlurSkip, &fMotionBlurAlphaStart, &fMotionBlurAlphaEnd, &fMotionBlurRadius };
    std::copy(all, all + kLayerChannelCount, channels);
    return kLayerChannelCount;
}

int32_t VornLayer::LayerType()
{
    return LT_UNKNOWN;
}

void VornLayer::WriteRecord(QV_IoStream*) { }

void VornLayer::SetDocument(VornDoc* doc)
{
    fDoc = doc;
}

void VornLayer::SetCurFrame(int32_t frame)
{
    fCurFrame = LayerFrameOf(frame);
    AnimChannel* channels[kLayerChannelCount];
    const int32_t n = LayerChannels(channels);
    for (int32_t i = 0; i < n; i++)
        channels[i]->SetCurFrame(fCurFrame);
}

bool VornLayer::ContainsLayer(VornLayer*)
{
    return false;
}

void VornLayer::DeleteParentBone(int32_t deleted)
{
    if (fLayerParentBone < 0)
        return;
    if (BoneParent* bones = ParentBones())
        fLayerParentBone = bones->RemapBoneID(fLayerParentBone, deleted);
}

void VornLayer::Draw(VornDoc*, XGraphics*, QV_PixelBuffer*, int32_t&, VornLayer*, RenderSettings*) { }

int32_t VornLayer::CountRenderItems()
{
    return 0;
}

void VornLayer::RenderItem(VornDoc*, XGraphics*, QV_PixelBuffer*, QV_PixelBuffer*, int32_t, RenderSettings*)
{
}

int32_t VornLayer::AnimDuration()
{
    int32_t duration = 0;
    ChannelInfo info;
    for (int32_t row = CountChannels() - 1; row >= 0; row--) {
        GetChannelInfo(row, info);
        for (int32_t sub = 0; sub < info.fSubChannels; sub++) {
            if (AnimChannel* channel = GetChannel(row, sub, nullptr))
                duration = std::max(duration, channel->Duration());
        }
    }
    return duration;
}

int32_t VornLayer::LayerDuration()
{
    return -1;
}

void VornLayer::UpdateToDocFrame(VornDoc* doc)
{
    if (!doc)
        return;
    for (GroupLayer* ancestor = fParent; ancestor; ancestor = ancestor->fParent) {
        if (ancestor->LayerType() == LT_PARTICLE)
            return;
    }
    if (LayerFrameOf(doc->fCurFrame) != fCurFrame)
        SetCurFrame(doc->fCurFrame);
}

void VornLayer::UpdateCurFrame(bool alsoPrevious)
{
    const int32_t docFrame = DocFrameOf(fCurFrame);
    if (alsoPrevious && docFrame > 0)
        SetCurFrame(docFrame - 1);
    SetCurFrame(docFrame);
}

bool VornLayer::IsGroupType()
{
    return IsGroupLayerType(LayerType());
}

bool VornLayer::IsBoneType()
{
    const int32_t type = LayerType();
    return type == LT_BONE || type == LT_SWITCH;
}

bool VornLayer::IsAudioType()
{
    // An image layer counts once its movie has a sound track.
    const int32_t type = LayerType();
    return type == LT_AUDIO || (type == LT_IMAGE && static_cast<AudioLayer*>(this)->Sound());
}

void VornLayer::SetName(const char* name)
{
    fName = name ? name : "";
    fName.RemoveChar('"');
}

void VornLayer::SetTimingOffset(int32_t offset)
{
    if (!fCurrentPose.IsEmpty())
        return;
    const int32_t docFrame = DocFrameOf(fCurFrame);
    fTimingOffset = offset;
    SetCurFrame(docFrame);
}

int32_t VornLayer::LayerFrameOf(int32_t docFrame) const
{
    return ClampFrame(int64_t(docFrame) + TotalTimingOffset());
}

int32_t VornLayer::DocFrameOf(int32_t layerFrame) const
{
    return ClampFrame(int64_t(layerFrame) - TotalTimingOffset());
}

int32_t VornLayer::TotalTimingOffset() const
{
    if (!fCurrentPose.IsEmpty())
        return 0;
    int64_t total = fTimingOffset;
    for (const GroupLayer* ancestor = fParent; ancestor; ancestor = ancestor->fParent)
        total += ancestor->fTimingOffset;
    return ClampFrame(total);
}

void VornLayer::SetAnimatedLayerEffects(bool on)
{
    fAnimatedLayerEffects = on;
    if (!on)
        BakeEffectChannels();
}

void VornLayer::BakeEffectChannels()
{
    // The noise channels and the visibility keep their keys.
    const int32_t f = fCurFrame;
    Bake(fBlur, f);
    Bake(fAlpha, f);
    Bake(fAmbientOcclusion, f);
    Bake(fLayerShadow, f);
    Bake(fShadowAngle, f);
    Bake(fShadowOffset, f);
    Bake(fShadowBlur, f);
    Bake(fShadowExpansion, f);
    Bake(fShadowColor, f);
    Bake(fLayerShading, f);
    Bake(fShadingAngle, f);
    Bake(fShadingOffset, f);
    Bake(fShadingBlur, f);
    Bake(fShadingContraction, f);
    Bake(fShadingColor, f);
    Bake(fMotionBlur, f);
    Bake(fMotionBlurFrames, f);
    Bake(fMotionBlurSkip, f);
    Bake(fMotionBlurAlphaStart, f);
    Bake(fMotionBlurAlphaEnd, f);
    Bake(fMotionBlurRadius, f);
}

bool VornLayer::SetHsvImage(const char* path)
{
    if (!DocumentPathAllowed(path))
        return false;
    fHsvImage = path ? path : "";
    fHsvImageCache.Free();
    return true;
}

void VornLayer::ShowConstructionCurves(bool on)
{
    if (on)
        fQualityFlags |= QUALITY_EDIT_OVERLAYS;
    else
        fQualityFlags &= ~QUALITY_EDIT_OVERLAYS;
}

bool VornLayer::ShowsEditOverlays()
{
    const int32_t view = ViewQualityFlags();
    if (!(view & QUALITY_EDIT_OVERLAYS))
        return false;
    if (fQualityFlags & QUALITY_EDIT_OVERLAYS)
        return true;
    if (!fDoc)
        return false;
    if (fDoc->fSelLayer == this)
        return true;
    // With neither fills nor outlines shown the current group's overlays extend to its
    // sub-layers.
    return !(view & (4 | 8)) && fParent && fDoc->fSelLayer == fParent;
}

bool VornLayer::SetLayerScript(const char* path)
{
    if (!DocumentPathAllowed(path))
        return false;
    fLayerScript = path ? path : "";
    fLayerScriptLoaded = false;
    fLayerScriptFunction = "";
    return true;
}

void VornLayer::RunLayerScript()
{
    LayerScriptHost* host = GetLayerScriptHost();
    if (fLayerScript.IsEmpty() || !host)
        return;
    if (!fLayerScriptLoaded) {
        fLayerScriptLoaded = true;
        fLayerScriptFunction = "";
        if (host->DoFile(fLayerScript.CString()) == 0) {
            if (fScriptSerial == 0)
                fScriptSerial = ++gNextScriptSerial;
            char name[32];
            std::snprintf(name, sizeof name, "LS_%" PRIu32, fScriptSerial);
            if (host->BindLayerScript(name) == 0)
                fLayerScriptFunction = name;
        }
    }
    if (fLayerScriptFunction.IsEmpty() || !fDoc)
        return;
    if (host->BeginFunctionCall(fLayerScriptFunction.CString()) != 0)
        return;
    host->CallScript(fDoc, this);
    host->CollectGarbageStep();
}

BoneParent* VornLayer::ParentBones() const
{
    if (!fParent)
        return nullptr;
    const int32_t type = fParent->LayerType();
    if (type != LT_BONE && type != LT_SWITCH)
        return nullptr;
    return fParent->fBoneParent;
}
