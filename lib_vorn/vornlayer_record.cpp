// The common part of every layer record: generic values, transforms, layer effects, shadow,
// shading, motion blur and the action names. A file holds only the effect channels that differ
// from their defaults; a memory stream (undo, copy and paste) holds all of them, the noise pairs
// excepted, so that undo restores everything.

#include <cstring>

#include "animrecord.h"
#include "qv_iostream.h"
#include "record_lines.h"
#include "vornlayer.h"

namespace {

constexpr int32_t kWordSize = 256;
constexpr float kEpsilon = 1e-6f;
// Records older than this get the effect-handles quality bit and animated layer effects.
constexpr int32_t kEffectsVersion = 16;
constexpr int32_t kOldRecordQualityBit = 0x400;

// The record keywords of the 34 layer channels, in declaration order.
const char* const kChannelKeywords[VornLayer::kLayerChannelCount]
    = { "translation", "scale", "rotation_x", "rotation_y", "rotation_z", "flip_h", "flip_v", "shear",
          "visibility", "blur", "alpha", "ambient_occlusion", "layer_shadow_on", "layer_shadow_angle",
          "layer_shadow_offset", "layer_shadow_blur", "layer_shadow_expansion", "layer_shadow_color",
          "layer_shadow_noise_amp", "layer_shadow_noise_scale", "layer_shading_on", "layer_shading_angle",
          "layer_shading_offset", "layer_shading_blur", "layer_shading_contraction", "layer_shading_color",
          "layer_shading_noise_amp", "layer_shading_noise_scale", "motion_blur_on", "motion_blur_frames",
          "motion_blur_skip", "motion_blur_alpha_start", "motion_blur_alpha_end", "motion_blur_radius" };

void ChannelLines(QV_IoStream* s, const char* keyword, AnimChannel& channel)
{
    RecordLine(s, keyword);
    channel.WriteRecord(s, true);
}

// A noise channel as a new layer has it, and as a record means it when it leaves the channel out:
// one key, no actions.
void ResetNoiseChannel(AnimVal& channel, float value)
{
    channel.DeleteAllActions();
    channel.fKeyCount = 1;
    channel.SetValue(0, value);
}

// An effect channel that a file would not miss: one key holding its default.
template <class Channel, class Test> bool Differs(Channel& channel, Test atDefault)
{
    return channel.CountKeys() > 1 || !atDefault(channel.GetValue(0));
}

bool Fail(QV_IoStream* stream, int32_t line)
{
    ChannelReadError(stream, "lib_vorn/vornlayer", line);
    return false;
}

#define RECORD_FAIL(stream) Fail((stream), __LINE__)

} // namespace

void VornLayer::WriteGenericValues(QV_IoStream* s, VornLayer* layer)
{
    VornLayer& l = *layer;
    const bool file = s->IsFile();

    RecordLine(s, "### generic layer values");
    if (!file)
        RecordBoolLine(s, "secondary_selection", l.fSecondarySelection);
    s->WriteIndent();
    s->WriteText("name ");
    s->WriteQuoted(l.fName.CString());
    s->WriteNewline();
    RecordIntLine(s, "quality_flags", l.fQualityFlags);
    RecordBoolLine(s, "animated_layer_effects", l.fAnimatedLayerEffects);
    s->WriteIndent();
    s->WriteText("origin ");
    s->WriteFloat(l.fOrigin.x);
    s->WriteSpace();
    s->WriteFloat(l.fOrigin.y);
    s->WriteNewline();
    RecordIntLine(s, "parent_bone", l.fLayerParentBone);
    RecordBoolLine(s, "visible", l.fVisible);
    RecordBoolLine(s, "render_only", l.fRenderOnly);
    RecordBoolLine(s, "edit_only", l.fEditOnly);
    RecordBoolLine(s, "scale_compensation", l.fScaleCompensation);
    RecordBoolLine(s, "rotate_to_follow", l.fRotateToFollow);
    RecordBoolLine(s, "face_camera", l.fFaceCamera);
    RecordIntLine(s, "masking", l.fMaskingMode);
    RecordIntLine(s, "blend_mode", l.fBlendingMode);
    RecordBoolLine(s, "camera_immune", l.fImmuneToCamera);
    RecordBoolLine(s, "dof_immune", l.fImmuneToDof);
    if (!l.fHsvImage.IsEmpty())
        RecordPathLine(s, "hsv_image", l.fHsvImage);
    RecordIntLine(s, "timing_offset", l.fTimingOffset);
    if (!l.fLayerScript.IsEmpty())
        RecordPathLine(s, "layer_script", l.fLayerScript);
    s->WriteNewline();

    RecordLine(s, "### transforms");
    ChannelLines(s, "translation", l.fTranslation);
    ChannelLines(s, "scale", l.fScale);
    ChannelLines(s, "rotation_x", l.fRotationX);
    ChannelLines(s, "rotation_y", l.fRotationY);
    ChannelLines(s, "rotation_z", l.fRotationZ);
    ChannelLines(s, "flip_h", l.fFlipH);
    ChannelLines(s, "flip_v", l.fFlipV);
    ChannelLines(s, "shear", l.fShear);

    s->WriteNewline();
    RecordLine(s, "### layer effects");
    if (!file || Differs(l.fVisibility, [](bool v) { return v; }))
        ChannelLines(s, "visibility", l.fVisibility);
    if (!file || Differs(l.fBlur, [](float v) { return !(v > kEpsilon); }))
        ChannelLines(s, "blur", l.fBlur);
    if (!file || Differs(l.fAlpha, [](float v) { return !(v < 0.999999f); }))
        ChannelLines(s, "alpha", l.fAlpha);
    if (!file || Differs(l.fAmbientOcclusion, [](float v) { return !(v > kEpsilon); }))
        ChannelLines(s, "ambient_occlusion", l.fAmbientOcclusion);

    auto off = [](bool v) { return !v; };
    if (!file || Differs(l.fLayerShadow, off)) {
        s->WriteNewline();
        RecordLine(s, "### layer shadow");
        ChannelLines(s, "layer_shadow_on", l.fLayerShadow);
        ChannelLines(s, "layer_shadow_angle", l.fShadowAngle);
        ChannelLines(s, "layer_shadow_offset", l.fShadowOffset);
        ChannelLines(s, "layer_shadow_blur", l.fShadowBlur);
        ChannelLines(s, "layer_shadow_expansion", l.fShadowExpansion);
        ChannelLines(s, "layer_shadow_color", l.fShadowColor);
        if (l.fShadowNoiseAmp.CountKeys() > 1 || l.fShadowNoiseAmp.value > kEpsilon) {
            ChannelLines(s, "layer_shadow_noise_amp", l.fShadowNoiseAmp);
            ChannelLines(s, "layer_shadow_noise_scale", l.fShadowNoiseScale);
        }
    }
    if (!file || Differs(l.fLayerShading, off)) {
        s->WriteNewline();
        RecordLine(s, "### layer shading");
        ChannelLines(s, "layer_shading_on", l.fLayerShading);
        ChannelLines(s, "layer_shading_angle", l.fShadingAngle);
        ChannelLines(s, "layer_shading_offset", l.fShadingOffset);
        ChannelLines(s, "layer_shading_blur", l.fShadingBlur);
        ChannelLines(s, "layer_shading_contraction", l.fShadingContraction);
        ChannelLines(s, "layer_shading_color", l.fShadingColor);
        if (l.fShadingNoiseAmp.CountKeys() > 1 || l.fShadingNoiseAmp.value > kEpsilon) {
            ChannelLines(s, "layer_shading_noise_amp", l.fShadingNoiseAmp);
            ChannelLines(s, "layer_shading_noise_scale", l.fShadingNoiseScale);
        }
    }
    if (!file || Differs(l.fMotionBlur, off)) {
        s->WriteNewline();
        RecordLine(s, "### motion blur");
        ChannelLines(s, "motion_blur_on", l.fMotionBlur);
        ChannelLines(s, "motion_blur_frames", l.fMotionBlurFrames);
        ChannelLines(s, "motion_blur_skip", l.fMotionBlurSkip);
        ChannelLines(s, "motion_blur_alpha_start", l.fMotionBlurAlphaStart);
        ChannelLines(s, "motion_blur_alpha_end", l.fMotionBlurAlphaEnd);
        ChannelLines(s, "motion_blur_radius", l.fMotionBlurRadius);
    }

    if (l.fPoses.fCount > 0) {
        s->WriteNewline();
        RecordLine(s, "### actions");
        for (int32_t i = 0; i < l.fPoses.fCount; i++) {
            s->WriteIndent();
            s->WriteText("action ");
            s->WriteQuoted(static_cast<QV_String*>(l.fPoses.fItems[i])->CString());
            s->WriteNewline();
        }
    }
}

void VornLayer::ResetGenericValues(VornLayer* layer)
{
    layer->ClearPoses();
    layer->SetHsvImage("");
    layer->SetLayerScript("");
}

bool VornLayer::ReadGenericKeyword(VornLayer* layer, QV_IoStream* stream, const char* keyword)
{
    VornLayer& l = *layer;
    if (stream->fVersion < kEffectsVersion) {
        l.fQualityFlags |= kOldRecordQualityBit;
        l.fAnimatedLayerEffects = true;
    }

    struct BoolField {
        const char* keyword;
        bool VornLayer::*field;
    };
    static const BoolField kBools[] = { { "secondary_selection", &VornLayer::fSecondarySelection },
        { "animated_layer_effects", &VornLayer::fAnimatedLayerEffects }, { "visible", &VornLayer::fVisible },
        { "render_only", &VornLayer::fRenderOnly }, { "edit_only", &VornLayer::fEditOnly },
        { "scale_compensation", &VornLayer::fScaleCompensation },
        { "rotate_to_follow", &VornLayer::fRotateToFollow }, { "face_camera", &VornLayer::fFaceCamera },
        { "camera_immune", &VornLayer::fImmuneToCamera }, { "dof_immune", &VornLayer::fImmuneToDof } };
    for (const BoolField& entry : kBools) {
        if (std::strcmp(keyword, entry.keyword) != 0)
            continue;
        bool value;
        if (!stream->ReadBool(value))
            return RECORD_FAIL(stream);
        l.*entry.field = value;
        return true;
    }

    struct IntField {
        const char* keyword;
        int32_t VornLayer::*field;
    };
    static const IntField kInts[] = { { "quality_flags", &VornLayer::fQualityFlags },
        { "parent_bone", &VornLayer::fLayerParentBone }, { "masking", &VornLayer::fMaskingMode },
        { "blend_mode", &VornLayer::fBlendingMode }, { "timing_offset", &VornLayer::fTimingOffset } };
    for (const IntField& entry : kInts) {
        if (std::strcmp(keyword, entry.keyword) != 0)
            continue;
        int32_t value;
        if (!stream->ReadInt(value))
            return RECORD_FAIL(stream);
        l.*entry.field = value;
        return true;
    }

    if (std::strcmp(keyword, "name") == 0) {
        // Names of any length: our own writer does not limit them.
        QV_String name;
        if (!stream->ReadString(name))
            return RECORD_FAIL(stream);
        l.fName = name;
        return true;
    }
    if (std::strcmp(keyword, "origin") == 0) {
        QV_Vector2 origin;
        if (!stream->ReadFloat(origin.x) || !stream->ReadFloat(origin.y))
            return RECORD_FAIL(stream);
        l.fOrigin = origin;
        return true;
    }
    if (std::strcmp(keyword, "hsv_image") == 0) {
        QV_String path;
        if (!stream->ReadPath(path))
            return RECORD_FAIL(stream);
        l.SetHsvImage(path.CString());
        return true;
    }
    if (std::strcmp(keyword, "layer_script") == 0) {
        QV_String path;
        if (!stream->ReadPath(path))
            return RECORD_FAIL(stream);
        l.SetLayerScript(path.CString());
        return true;
    }
    if (std::strcmp(keyword, "action") == 0) {
        QV_String name;
        if (!stream->ReadString(name))
            return RECORD_FAIL(stream);
        l.fPoses.Append(new QV_String(name));
        return true;
    }

    // A shadow or shading section leaves its noise channels out while they hold no noise: its
    // first line puts them back to that, so that a snapshot read over the layer (undo, redo)
    // drops noise keys set since the snapshot.
    if (std::strcmp(keyword, "layer_shadow_on") == 0) {
        ResetNoiseChannel(l.fShadowNoiseAmp, 0);
        ResetNoiseChannel(l.fShadowNoiseScale, kDefaultNoiseScale);
    } else if (std::strcmp(keyword, "layer_shading_on") == 0) {
        ResetNoiseChannel(l.fShadingNoiseAmp, 0);
        ResetNoiseChannel(l.fShadingNoiseScale, kDefaultNoiseScale);
    }
    AnimChannel* channels[kLayerChannelCount];
    l.LayerChannels(channels);
    for (int32_t i = 0; i < kLayerChannelCount; i++) {
        if (std::strcmp(keyword, kChannelKeywords[i]) != 0)
            continue;
        if (!channels[i]->ReadRecord(stream, false))
            return RECORD_FAIL(stream);
        return true;
    }

    UnknownKeywordError(stream, keyword);
    return false;
}

bool VornLayer::ReadRecord(QV_IoStream* stream)
{
    ResetGenericValues(this);
    char word[kWordSize];
    for (;;) {
        const RecordWord next = NextRecordWord(stream, kWordSize, word);
        if (next == RecordWord::kUnreadable)
            return RECORD_FAIL(stream);
        if (next == RecordWord::kEnd)
            return true;
        if (!ReadGenericKeyword(this, stream, word))
            return false;
    }
}
