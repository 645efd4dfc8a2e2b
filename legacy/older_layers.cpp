#include "older_layers.h"

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "older_reading.h"
#include "qv_filestream.h"
#include "qv_iostream.h"

namespace vorn_v4 {

namespace {

// Group-like layers read inside group-like layers: every level costs stack while it is read.
constexpr int32_t kMaxNesting = 256;

bool Is(const char* word, const char* keyword) { return std::strcmp(word, keyword) == 0; }

void OwnLine(QV_IoStream* s, const char* keyword)
{
    s->WriteText("\t");
    s->WriteText(keyword);
    s->WriteSpace();
}

void BoolLine(QV_IoStream* s, const char* keyword, bool value)
{
    OwnLine(s, keyword);
    s->WriteText(value ? "true" : "false");
    s->WriteNewline();
}

void IntLine(QV_IoStream* s, const char* keyword, int32_t value)
{
    OwnLine(s, keyword);
    s->WriteInt(value);
    s->WriteNewline();
}

void FloatLine(QV_IoStream* s, const char* keyword, float value)
{
    OwnLine(s, keyword);
    s->WriteFloat(value);
    s->WriteNewline();
}

void QuotedLine(QV_IoStream* s, const char* keyword, const QV_String& text)
{
    OwnLine(s, keyword);
    s->WriteQuoted(text.CString());
    s->WriteNewline();
}

void ChannelLine(QV_IoStream* s, const char* keyword, AnimChannel& channel)
{
    OwnLine(s, keyword);
    channel.WriteCurrentRecord(s);
}

void Brace(QV_IoStream* s, const char* brace, bool tab)
{
    if (tab)
        s->WriteText("\t");
    s->WriteText(brace);
    s->WriteNewline();
}

int32_t LoopOf(const AnimChannel& channel) { return std::max(0, channel.fLoopFrame); }

// The effect records of the older files: an on flag, the values, and from version 10 on a fifth
// value channel. Older files get that channel keyed to 0 wherever the blur is keyed.
bool ReadEffect(QV_IoStream* s, AnimBool& on, AnimVal& angle, AnimVal& offset, AnimVal& blur, AnimVal& fifth,
    AnimColor& color)
{
    if (!on.ReadRecord(s) || !angle.ReadRecord(s) || !offset.ReadRecord(s) || !blur.ReadRecord(s))
        return false;
    if (s->fVersion >= 10) {
        if (!fifth.ReadRecord(s))
            return false;
    } else {
        for (int32_t i = 0; i < blur.KeyCount(); i++)
            fifth.SetValue(blur.KeyFrame(i), 0);
    }
    return color.ReadRecord(s);
}

} // namespace

VornLayer::VornLayer() = default;
VornLayer::~VornLayer() = default;

std::unique_ptr<VornLayer> MakeOlderLayer(int32_t type)
{
    switch (type) {
    case 1:
        return std::make_unique<MeshLayer>();
    case 2:
        return std::make_unique<ImageLayer>();
    case 3:
        return std::make_unique<GroupLayer>();
    case 4:
        return std::make_unique<BoneLayer>();
    case 5:
        return std::make_unique<SwitchLayer>();
    case 6:
        return std::make_unique<ParticleLayer>();
    default:
        return std::make_unique<VornLayer>();
    }
}

bool VornLayer::ReadOwnKeyword(const char*, QV_IoStream*, int32_t, bool& handled)
{
    handled = false;
    return true;
}

bool VornLayer::ReadRecord(QV_IoStream* s, int32_t depth)
{
    PrepareRecord();
    char word[kWordSize];
    while (ReadWord(s, word)) {
        if (Is(word, "end_layer"))
            break;
        if (word[0] == '#') {
            if (!s->SkipLine())
                return false;
            continue;
        }
        bool handled = false;
        if (!ReadOwnKeyword(word, s, depth, handled))
            return false;
        if (!handled && !ReadBaseKeyword(word, s))
            return false;
    }
    FinishRecord();
    return true;
}

bool VornLayer::ReadBaseKeyword(const char* word, QV_IoStream* s)
{
    struct Flag {
        const char* keyword;
        bool VornLayer::*field;
    };
    static const Flag kFlags[] = {
        { "visible", &VornLayer::fVisible },
        { "render_only", &VornLayer::fRenderOnly },
        { "scale_compensation", &VornLayer::fScaleCompensation },
        { "rotate_to_follow", &VornLayer::fRotateToFollow },
        { "face_camera", &VornLayer::fFaceCamera },
        { "maskable", &VornLayer::fMaskable },
        { "camera_immune", &VornLayer::fCameraImmune },
        { "dof_immune", &VornLayer::fDofImmune },
    };
    for (const Flag& flag : kFlags)
        if (Is(word, flag.keyword))
            return s->ReadBool(this->*flag.field);

    if (Is(word, "name"))
        return ReadText(s, fName);
    if (Is(word, "origin"))
        return s->ReadFloat(fOrigin[0]) && s->ReadFloat(fOrigin[1]);
    if (Is(word, "layer_shadow"))
        return ReadEffect(s, fShadowOn, fShadowAngle, fShadowOffset, fShadowBlur, fShadowExpansion, fShadowColor);
    if (Is(word, "layer_shading"))
        return ReadEffect(
            s, fShadingOn, fShadingAngle, fShadingOffset, fShadingBlur, fShadingContraction, fShadingColor);
    if (Is(word, "motion_blur"))
        return fMotionBlurOn.ReadRecord(s) && fMotionBlurFrames.ReadRecord(s) && fMotionBlurSkip.ReadRecord(s)
            && fMotionBlurAlphaStart.ReadRecord(s) && fMotionBlurAlphaEnd.ReadRecord(s)
            && fMotionBlurRadius.ReadRecord(s);
    if (Is(word, "hsv_image")) {
        if (!ReadText(s, fHsvImage))
            return false;
        JoinToDocumentFolder(s, fHsvImage);
        return true;
    }
    if (Is(word, "parent_bone"))
        return s->ReadInt(fParentBone);

    if (Is(word, "translation"))
        return fTranslation.ReadRecord(s);
    if (Is(word, "scale"))
        return fScale.ReadRecord(s);
    if (Is(word, "rotation"))
        return fRotation.ReadRecord(s);
    if (Is(word, "flip_h"))
        return fFlipH.ReadRecord(s);
    if (Is(word, "flip_v"))
        return fFlipV.ReadRecord(s);
    if (Is(word, "shear"))
        return fShear.ReadRecord(s);
    if (Is(word, "perspective"))
        return fPerspective.ReadRecord(s);
    if (Is(word, "blur"))
        return fBlur.ReadRecord(s);
    if (Is(word, "alpha"))
        return fAlpha.ReadRecord(s);
    if (Is(word, "visibility"))
        return fVisibility.ReadRecord(s);
    if (Is(word, "depth")) {
        if (!fDepth.ReadRecord(s))
            return false;
        // The oldest files measured depth the other way round.
        if (s->fVersion < 9)
            fDepth.Negate();
        return true;
    }
    s->SkipLine();
    return true;
}

int32_t VornLayer::AnimDuration() const
{
    const AnimChannel* channels[] = { &fScale, &fRotation, &fShear, &fPerspective, &fBlur, &fAlpha, &fVisibility,
        &fDepth, &fShadowOn, &fShadowAngle, &fShadowOffset, &fShadowBlur, &fShadowColor, &fShadingOn,
        &fShadingAngle, &fShadingOffset, &fShadingBlur, &fShadingColor, &fMotionBlurOn, &fMotionBlurFrames,
        &fMotionBlurSkip, &fMotionBlurAlphaStart, &fMotionBlurAlphaEnd, &fMotionBlurRadius };
    int32_t d = std::max(0, fTranslation.LastKeyFrame());
    for (const AnimChannel* channel : channels)
        d = std::max(d, channel->LastKeyFrame());
    return d;
}

void VornLayer::WriteCurrentRecord(QV_IoStream* s)
{
    Brace(s, "{", false);
    WriteBaseRecord(s);
    Brace(s, "}", false);
}

void VornLayer::WriteBaseRecord(QV_IoStream* s)
{
    // The current record keeps translation, scale and shear in 3D and the perspective as two
    // rotations: those channels are built from the older ones first.
    AnimVec3 translation;
    for (int32_t i = 0; i < fTranslation.KeyCount(); i++) {
        const int32_t f = fTranslation.KeyFrame(i);
        const Vec2 xy = fTranslation.GetValue(f);
        translation.SetValue(f, Vec3 { xy.x, xy.y, fDepth.GetValue(f) });
        translation.SetKeyInterp(f, fTranslation.KeyCode(i));
    }
    for (int32_t i = 0; i < fDepth.KeyCount(); i++) {
        const int32_t f = fDepth.KeyFrame(i);
        const Vec3 at = translation.GetValue(f);
        translation.SetValue(f, Vec3 { at.x, at.y, fDepth.GetValue(f) });
    }
    translation.fLoopFrame = LoopOf(fTranslation);

    AnimVec3 scale;
    for (int32_t i = 0; i < fScale.KeyCount(); i++) {
        const int32_t f = fScale.KeyFrame(i);
        const Vec2 xy = fScale.GetValue(f);
        float z = (xy.x + xy.y) / 2;
        if (std::fabs(z) < 1e-6f)
            z = 1;
        scale.SetValue(f, Vec3 { xy.x, xy.y, z });
        scale.SetKeyInterp(f, fScale.KeyCode(i));
    }
    scale.fLoopFrame = LoopOf(fScale);

    AnimVal rotationX, rotationY;
    for (int32_t i = 0; i < fPerspective.KeyCount(); i++) {
        const int32_t f = fPerspective.KeyFrame(i);
        const Vec2 xy = fPerspective.GetValue(f);
        rotationX.SetValue(f, xy.y);
        rotationX.SetKeyInterp(f, fPerspective.KeyCode(i));
        rotationY.SetValue(f, xy.x);
        rotationY.SetKeyInterp(f, fPerspective.KeyCode(i));
    }
    rotationX.fLoopFrame = rotationY.fLoopFrame = LoopOf(fPerspective);

    AnimVec3 shear;
    for (int32_t i = 0; i < fShear.KeyCount(); i++) {
        const int32_t f = fShear.KeyFrame(i);
        const Vec2 xy = fShear.GetValue(f);
        shear.SetValue(f, Vec3 { xy.x, xy.y, 0 });
        shear.SetKeyInterp(f, fShear.KeyCode(i));
    }
    shear.fLoopFrame = LoopOf(fShear);

    QuotedLine(s, "name", fName);
    OwnLine(s, "origin");
    s->WriteFloat(fOrigin[0]);
    s->WriteSpace();
    s->WriteFloat(fOrigin[1]);
    s->WriteNewline();
    IntLine(s, "parent_bone", fParentBone);
    BoolLine(s, "visible", fVisible);
    BoolLine(s, "render_only", fRenderOnly);
    BoolLine(s, "scale_compensation", fScaleCompensation);
    BoolLine(s, "rotate_to_follow", fRotateToFollow);
    BoolLine(s, "face_camera", fFaceCamera);
    IntLine(s, "masking", fParentMasking >= 0 ? fParentMasking : fMaskable ? 0 : 1);
    BoolLine(s, "camera_immune", fCameraImmune);
    BoolLine(s, "dof_immune", fDofImmune);
    QuotedLine(s, "hsv_image", fHsvImage);
    ChannelLine(s, "translation", translation);
    ChannelLine(s, "scale", scale);
    ChannelLine(s, "rotation_x", rotationX);
    ChannelLine(s, "rotation_y", rotationY);
    ChannelLine(s, "rotation_z", fRotation);
    ChannelLine(s, "flip_h", fFlipH);
    ChannelLine(s, "flip_v", fFlipV);
    ChannelLine(s, "shear", shear);
    ChannelLine(s, "visibility", fVisibility);
    ChannelLine(s, "blur", fBlur);
    fAlpha.DivideBy(255);
    ChannelLine(s, "alpha", fAlpha);
    ChannelLine(s, "layer_shadow_on", fShadowOn);
    ChannelLine(s, "layer_shadow_angle", fShadowAngle);
    ChannelLine(s, "layer_shadow_offset", fShadowOffset);
    ChannelLine(s, "layer_shadow_blur", fShadowBlur);
    ChannelLine(s, "layer_shadow_expansion", fShadowExpansion);
    ChannelLine(s, "layer_shadow_color", fShadowColor);
    ChannelLine(s, "layer_shading_on", fShadingOn);
    ChannelLine(s, "layer_shading_angle", fShadingAngle);
    ChannelLine(s, "layer_shading_offset", fShadingOffset);
    ChannelLine(s, "layer_shading_blur", fShadingBlur);
    ChannelLine(s, "layer_shading_contraction", fShadingContraction);
    ChannelLine(s, "layer_shading_color", fShadingColor);
    ChannelLine(s, "motion_blur_on", fMotionBlurOn);
    ChannelLine(s, "motion_blur_frames", fMotionBlurFrames);
    ChannelLine(s, "motion_blur_skip", fMotionBlurSkip);
    fMotionBlurAlphaStart.DivideBy(255);
    fMotionBlurAlphaEnd.DivideBy(255);
    ChannelLine(s, "motion_blur_alpha_start", fMotionBlurAlphaStart);
    ChannelLine(s, "motion_blur_alpha_end", fMotionBlurAlphaEnd);
    ChannelLine(s, "motion_blur_radius", fMotionBlurRadius);
}

// Vector layers.

bool MeshLayer::ReadOwnKeyword(const char* word, QV_IoStream* s, int32_t, bool& handled)
{
    handled = true;
    if (Is(word, "noisy_shapes"))
        return s->ReadBool(fNoisyShapes);
    if (Is(word, "noisy_lines"))
        return s->ReadBool(fNoisyLines);
    if (Is(word, "animated_noise"))
        return s->ReadBool(fAnimatedNoise);
    if (Is(word, "noise_values"))
        return s->ReadFloat(fNoiseAmplitude) && s->ReadFloat(fNoiseScale);
    if (Is(word, "extra_lines"))
        return s->ReadInt(fExtraLines);
    if (Is(word, "cMesh"))
        return fMesh.ReadRecord(s);
    handled = false;
    return true;
}

void MeshLayer::WriteCurrentRecord(QV_IoStream* s)
{
    Brace(s, "{", false);
    WriteBaseRecord(s);
    BoolLine(s, "noisy_shapes", fNoisyShapes);
    BoolLine(s, "noisy_lines", fNoisyLines);
    BoolLine(s, "animated_noise", fAnimatedNoise);
    FloatLine(s, "noise_amp", fNoiseAmplitude);
    FloatLine(s, "noise_scale", fNoiseScale);
    IntLine(s, "extra_lines", fExtraLines);
    s->WriteText("\tmesh");
    s->WriteNewline();
    fMesh.WriteCurrentRecord(s);
    Brace(s, "}", false);
}

int32_t MeshLayer::AnimDuration() const { return std::max(VornLayer::AnimDuration(), fMesh.AnimDuration()); }

// Image layers.

bool ImageLayer::ReadOwnKeyword(const char* word, QV_IoStream* s, int32_t, bool& handled)
{
    handled = true;
    if (Is(word, "image")) {
        if (!ReadText(s, fImage))
            return false;
        JoinToDocumentFolder(s, fImage);
        return true;
    }
    if (Is(word, "shape"))
        return s->ReadFloat(fShape[0]) && s->ReadFloat(fShape[1]);
    handled = false;
    return true;
}

void ImageLayer::WriteCurrentRecord(QV_IoStream* s)
{
    Brace(s, "{", false);
    WriteBaseRecord(s);
    s->WriteText("image ");
    s->WriteQuoted(fImage.CString());
    s->WriteNewline();
    s->WriteText("shape ");
    s->WriteFloat(fShape[0]);
    s->WriteSpace();
    s->WriteFloat(fShape[1]);
    s->WriteNewline();
    Brace(s, "}", false);
}

// Group-like layers.

bool GroupLayer::AddLayer(std::unique_ptr<VornLayer> layer)
{
    if (fLayers.size() >= kMaxLayers)
        return false;
    fLayers.push_back(std::move(layer));
    return true;
}

bool GroupLayer::ReadCommonKeyword(const char* word, QV_IoStream* s, int32_t depth, bool& handled)
{
    handled = true;
    if (Is(word, "expanded"))
        return s->ReadBool(fExpanded);
    if (Is(word, "layer")) {
        int32_t type;
        if (!s->ReadInt(type) || depth + 1 >= kMaxNesting)
            return false;
        std::unique_ptr<VornLayer> layer = MakeOlderLayer(type);
        return layer->ReadRecord(s, depth + 1) && AddLayer(std::move(layer));
    }
    handled = false;
    return true;
}

bool GroupLayer::ReadOwnKeyword(const char* word, QV_IoStream* s, int32_t depth, bool& handled)
{
    const bool ok = ReadCommonKeyword(word, s, depth, handled);
    if (!ok || handled)
        return ok;
    struct Flag {
        const char* keyword;
        bool GroupLayer::*field;
    };
    static const Flag kFlags[] = {
        { "mask", &GroupLayer::fMask },
        { "invisible_mask", &GroupLayer::fInvisibleMask },
        { "reversed_mask", &GroupLayer::fReversedMask },
        { "depth_sort", &GroupLayer::fDepthSort },
        { "distance_sort", &GroupLayer::fDistanceSort },
    };
    for (const Flag& flag : kFlags) {
        if (Is(word, flag.keyword)) {
            handled = true;
            return s->ReadBool(this->*flag.field);
        }
    }
    return true;
}

void GroupLayer::WriteSubLayers(QV_IoStream* s)
{
    for (auto& layer : fLayers) {
        s->WriteText("layer_type ");
        s->WriteInt(layer->LayerType());
        s->WriteNewline();
        layer->WriteCurrentRecord(s);
    }
}

void GroupLayer::WriteMaskAndLayers(QV_IoStream* s, M_Skeleton* skeleton)
{
    // The older group kept three mask flags; the current one keeps one code, and the first
    // sub-layer says how it masks the others.
    int32_t groupMask = 0;
    int32_t firstMasking = -1;
    if (fMask) {
        groupMask = fReversedMask ? 1 : 2;
        firstMasking = (fReversedMask ? 3 : 2) + (fInvisibleMask ? 2 : 0);
    }
    if (firstMasking >= 0 && !fLayers.empty())
        fLayers.front()->fParentMasking = firstMasking;
    BoolLine(s, "expanded", fExpanded);
    IntLine(s, "group_mask", groupMask);
    BoolLine(s, "depth_sort", fDepthSort);
    BoolLine(s, "distance_sort", fDistanceSort);
    if (skeleton) {
        OwnLine(s, "skeleton");
        s->WriteNewline();
        skeleton->WriteCurrentRecord(s);
    }
    WriteSubLayers(s);
}

void GroupLayer::WriteCurrentRecord(QV_IoStream* s)
{
    Brace(s, "{", false);
    WriteBaseRecord(s);
    WriteMaskAndLayers(s, nullptr);
    Brace(s, "}", false);
}

int32_t GroupLayer::SubLayerDuration() const
{
    int32_t d = 0;
    for (const auto& layer : fLayers)
        d = std::max(d, layer->AnimDuration());
    return d;
}

int32_t GroupLayer::AnimDuration() const { return std::max(VornLayer::AnimDuration(), SubLayerDuration()); }

// Bone layers.

bool BoneLayer::ReadOwnKeyword(const char* word, QV_IoStream* s, int32_t depth, bool& handled)
{
    if (Is(word, "cSkeleton")) {
        handled = true;
        return fSkeleton.ReadRecord(s);
    }
    return GroupLayer::ReadOwnKeyword(word, s, depth, handled);
}

void BoneLayer::WriteCurrentRecord(QV_IoStream* s)
{
    Brace(s, "{", true);
    WriteBaseRecord(s);
    WriteMaskAndLayers(s, &fSkeleton);
    Brace(s, "}", true);
}

int32_t BoneLayer::AnimDuration() const { return std::max(GroupLayer::AnimDuration(), fSkeleton.AnimDuration()); }

// Switch layers.

bool SwitchLayer::ReadOwnKeyword(const char* word, QV_IoStream* s, int32_t depth, bool& handled)
{
    const bool ok = ReadCommonKeyword(word, s, depth, handled);
    if (!ok || handled)
        return ok;
    handled = true;
    if (Is(word, "switch")) {
        if (!ReadText(s, fSwitchData))
            return false;
        JoinToDocumentFolder(s, fSwitchData);
        ReadSwitchData();
        return true;
    }
    if (Is(word, "switch_interpolation"))
        return s->ReadBool(fSwitchInterpolation);
    // Keys read in frame order keep the later of two at frame 0, as the older reader did by
    // dropping the first of them.
    if (Is(word, "switch_keys"))
        return fSwitchKeys.ReadRecord(s);
    handled = false;
    return true;
}

void SwitchLayer::ReadSwitchData()
{
    if (fSwitchData.IsEmpty())
        return;
    fSwitchKeys.CutToFrameZero();
    // Only a plain file: a device or a pipe named here must not hold the open up.
    struct stat info;
    if (stat(fSwitchData.CString(), &info) != 0 || !S_ISREG(info.st_mode))
        return;
    FILE* file = std::fopen(fSwitchData.CString(), "rb");
    if (!file)
        return;
    // A list of names per frame is small: a file that goes on beyond this is not one.
    constexpr size_t kMostBytes = size_t(16) << 20;
    std::string text;
    char buffer[4096];
    size_t got;
    while (text.size() < kMostBytes && (got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        text.append(buffer, got);
    std::fclose(file);

    const auto isLineEnd = [](char c) { return c == '\n' || c == '\r'; };
    const auto isSpace = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; };
    size_t at = 0;
    // The first line, without its line end (LF or CR LF).
    size_t end = at;
    while (end < text.size() && text[end] != '\n')
        end++;
    std::string first = text.substr(0, end);
    if (!first.empty() && first.back() == '\r')
        first.pop_back();
    if (first != "VornSwitch1")
        return;
    at = end < text.size() ? end + 1 : end;

    constexpr size_t kLineLimit = 127;
    for (;;) {
        while (at < text.size() && isSpace(text[at]))
            at++;
        if (at >= text.size())
            break;
        // A frame number, as scanf reads one; a line that does not start with one is skipped.
        size_t digits = at;
        if (text[digits] == '+' || text[digits] == '-')
            digits++;
        size_t stop = digits;
        while (stop < text.size() && text[stop] >= '0' && text[stop] <= '9')
            stop++;
        int64_t frame = 0;
        bool number = stop > digits && stop - digits <= 10;
        if (number) {
            frame = std::strtoll(text.substr(at, stop - at).c_str(), nullptr, 10);
            number = frame >= INT32_MIN && frame <= INT32_MAX;
        }
        if (!number) {
            while (at < text.size() && !isLineEnd(text[at]))
                at++;
            continue;
        }
        at = stop;
        size_t lineEnd = at;
        while (lineEnd < text.size() && text[lineEnd] != '\n' && lineEnd - at < kLineLimit)
            lineEnd++;
        std::string name = text.substr(at, lineEnd - at);
        at = lineEnd < text.size() && text[lineEnd] == '\n' ? lineEnd + 1 : lineEnd;
        size_t b = 0, e = name.size();
        while (b < e && isSpace(name[b]))
            b++;
        while (e > b && isSpace(name[e - 1]))
            e--;
        if (e > b)
            fSwitchKeys.SetValue(int32_t(frame), QV_String(name.substr(b, e - b).c_str()));
    }
}

void SwitchLayer::WriteCurrentRecord(QV_IoStream* s)
{
    Brace(s, "{", true);
    WriteBaseRecord(s);
    BoolLine(s, "expanded", fExpanded);
    QuotedLine(s, "switch_data", fSwitchData);
    BoolLine(s, "switch_interpolation", fSwitchInterpolation);
    ChannelLine(s, "switch_keys", fSwitchKeys);
    WriteSubLayers(s);
    Brace(s, "}", true);
}

int32_t SwitchLayer::AnimDuration() const { return std::max(VornLayer::AnimDuration(), fSwitchKeys.LastKeyFrame()); }

// Particle layers.

ParticleLayer::ParticleLayer()
    : fSeed(int32_t(std::clock()))
{
}

bool ParticleLayer::ReadOwnKeyword(const char* word, QV_IoStream* s, int32_t depth, bool& handled)
{
    const bool ok = ReadCommonKeyword(word, s, depth, handled);
    if (!ok || handled)
        return ok;
    handled = true;
    struct Int {
        const char* keyword;
        int32_t ParticleLayer::*field;
    };
    static const Int kInts[] = {
        { "num_particles", &ParticleLayer::fCount },
        { "preview_particles", &ParticleLayer::fPreviewCount },
        { "particle_lifetime", &ParticleLayer::fLifetime },
        { "seed", &ParticleLayer::fSeed },
    };
    for (const Int& item : kInts)
        if (Is(word, item.keyword))
            return s->ReadInt(this->*item.field);
    struct Flag {
        const char* keyword;
        bool ParticleLayer::*field;
    };
    static const Flag kFlags[] = {
        { "orient_particles", &ParticleLayer::fOrient },
        { "free_floating", &ParticleLayer::fFreeFloating },
        { "evenly_spaced", &ParticleLayer::fEvenlySpaced },
        { "random_start_time", &ParticleLayer::fRandomStartTime },
        { "start_full", &ParticleLayer::fStartFull },
    };
    for (const Flag& item : kFlags)
        if (Is(word, item.keyword))
            return s->ReadBool(this->*item.field);
    struct Real {
        const char* keyword;
        float ParticleLayer::*field;
    };
    static const Real kReals[] = {
        { "start_dir", &ParticleLayer::fStartDir },
        { "start_spread", &ParticleLayer::fStartSpread },
        { "velocity", &ParticleLayer::fVelocity },
        { "velocity_spread", &ParticleLayer::fVelocitySpread },
        { "accel_angle", &ParticleLayer::fAccelAngle },
        { "accel_rate", &ParticleLayer::fAccelRate },
    };
    for (const Real& item : kReals)
        if (Is(word, item.keyword))
            return s->ReadFloat(this->*item.field);
    if (Is(word, "source_w"))
        return s->ReadFloat(fSource[0]);
    if (Is(word, "source_h"))
        return s->ReadFloat(fSource[1]);
    if (Is(word, "source_d"))
        return s->ReadFloat(fSource[2]);
    if (Is(word, "particle_activation"))
        return fActivation.ReadRecord(s);
    handled = false;
    return true;
}

void ParticleLayer::FinishRecord()
{
    if (fPreviewCount > fCount)
        fPreviewCount = fCount;
}

void ParticleLayer::WriteCurrentRecord(QV_IoStream* s)
{
    Brace(s, "{", true);
    WriteBaseRecord(s);
    BoolLine(s, "expanded", fExpanded);
    IntLine(s, "num_particles", fCount);
    IntLine(s, "preview_particles", fPreviewCount);
    IntLine(s, "particle_lifetime", fLifetime);
    IntLine(s, "seed", fSeed);
    BoolLine(s, "orient_particles", fOrient);
    BoolLine(s, "free_floating", fFreeFloating);
    BoolLine(s, "evenly_spaced", fEvenlySpaced);
    BoolLine(s, "random_start_time", fRandomStartTime);
    OwnLine(s, "source_shape");
    for (int i = 0; i < 3; i++) {
        if (i > 0)
            s->WriteSpace();
        s->WriteFloat(fSource[i]);
    }
    s->WriteNewline();
    FloatLine(s, "start_dir", fStartDir);
    FloatLine(s, "start_spread", fStartSpread);
    FloatLine(s, "velocity", fVelocity);
    FloatLine(s, "velocity_spread", fVelocitySpread);
    FloatLine(s, "accel_angle", fAccelAngle);
    FloatLine(s, "accel_rate", fAccelRate);
    BoolLine(s, "start_full", fStartFull);
    ChannelLine(s, "particle_activation", fActivation);
    WriteSubLayers(s);
    Brace(s, "}", true);
}

int32_t ParticleLayer::AnimDuration() const { return std::max(VornLayer::AnimDuration(), fActivation.LastKeyFrame()); }

} // namespace vorn_v4
