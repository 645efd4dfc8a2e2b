// The channel table shared by every layer: the 20 base rows that end every kind's table,
// "All Channels" last, which numbers every channel of the kind's whole table.

#include "channelinfo.h"
#include "vorndoc.h"
#include "vornlayer.h"

namespace {

constexpr int32_t kAllChannelsRow = 19;

struct BaseRow {
    int32_t id;
    const char* icon;
    const char* label;
    int32_t subChannels;
    bool separator;
    bool boolGroup;
    bool visibilityRow;
    bool angle;
};

const BaseRow kBaseRows[] = {
    { CHANNEL_LAYER_T, "channel_layer_t", "/Animation/Channels/LayerTranslation=Layer Translation", 1, false,
        false, false, false },
    { CHANNEL_LAYER_S, "channel_layer_s", "/Animation/Channels/LayerScale=Layer Scale", 1, false, false,
        false, false },
    { CHANNEL_LAYER_ROT_Z, "channel_layer_rot_z", "/Animation/Channels/LayerZRotation=Layer Z Rotation", 1,
        false, false, false, true },
    { CHANNEL_LAYER_ROT_Y, "channel_layer_rot_y", "/Animation/Channels/LayerYRotation=Layer Y Rotation", 1,
        false, false, false, true },
    { CHANNEL_LAYER_ROT_X, "channel_layer_rot_x", "/Animation/Channels/LayerXRotation=Layer X Rotation", 1,
        false, false, false, true },
    { CHANNEL_LAYER_FLIP_H, "channel_layer_flip_h",
        "/Animation/Channels/LayerHorizontalFlip=Layer Horizontal Flip", 1, false, false, false, false },
    { CHANNEL_LAYER_FLIP_V, "channel_layer_flip_v",
        "/Animation/Channels/LayerVerticalFlip=Layer Vertical Flip", 1, false, false, false, false },
    { CHANNEL_LAYER_SH, "channel_layer_sh", "/Animation/Channels/LayerShear=Layer Shear", 1, true, false,
        false, false },
    { CHANNEL_LAYER_VIS, "channel_layer_vis", "/Animation/Channels/LayerVisibility=Layer Visibility", 1,
        false, true, true, false },
    { CHANNEL_LAYER_BLUR, "channel_layer_blur", "/Animation/Channels/LayerBlur=Layer Blur", 1, false, false,
        false, false },
    { CHANNEL_LAYER_ALPHA, "channel_layer_alpha", "/Animation/Channels/LayerOpacity=Layer Opacity", 1, false,
        false, false, false },
    { CHANNEL_LAYER_AO, "channel_layer_ao", "/Animation/Channels/AutoShading=Auto Shading", 1, false, false,
        false, false },
    { CHANNEL_LAYER_SHADOW, "channel_layer_shadow", "/Animation/Channels/LayerShadow=Layer Shadow", 8, false,
        true, false, false },
    { CHANNEL_LAYER_SHADING, "channel_layer_shading", "/Animation/Channels/LayerShading=Layer Shading", 8,
        false, true, false, false },
    { CHANNEL_LAYER_MB, "channel_layer_mb", "/Animation/Channels/MotionBlur=Layer Motion Blur", 6, true, true,
        false, false },
    { CHANNEL_CAMERA_TRACK, "channel_camera_track", "/Animation/Channels/CameraTracking=Camera Tracking", 1,
        false, false, false, false },
    { CHANNEL_CAMERA_ZOOM, "channel_camera_zoom", "/Animation/Channels/CameraZoom=Camera Zoom", 1, false,
        false, false, false },
    { CHANNEL_CAMERA_ROLL, "channel_camera_roll", "/Animation/Channels/CameraRoll=Camera Roll", 1, false,
        false, false, true },
    { CHANNEL_CAMERA_PANTILT, "channel_camera_pantilt", "/Animation/Channels/CameraPanTilt=Camera Pan/Tilt",
        1, false, false, false, true },
    { CHANNEL_LAYER_ALL, "channel_layer_all", "/Animation/Channels/AllChannels=All Channels", 0, true, false,
        false, false },
};

static_assert(sizeof kBaseRows / sizeof kBaseRows[0] == 20, "one entry per base row");

} // namespace

int32_t VornLayer::CountChannels()
{
    return kBaseChannelRows;
}

void VornLayer::GetChannelInfo(int32_t row, ChannelInfo& info)
{
    info.Reset();
    if (row < 0 || row >= kBaseChannelRows)
        return;
    const BaseRow& base = kBaseRows[row];
    info.fID = base.id;
    info.SetLook(base.icon, base.label);
    info.fSubChannels = base.subChannels;
    info.fSeparator = base.separator;
    info.fBoolGroup = base.boolGroup;
    info.fVisibilityRow = base.visibilityRow;
    info.fSingleChannel = base.subChannels == 1;
    info.fAngle = base.angle;
    if (row != kAllChannelsRow)
        return;
    // Every row of the kind's whole table but this one.
    ChannelInfo other;
    const int32_t rows = CountChannels() - 1;
    int32_t total = 0;
    for (int32_t i = 0; i < rows; i++) {
        GetChannelInfo(i, other);
        total += other.fSubChannels;
    }
    info.fSubChannels = total;
}

AnimChannel* VornLayer::GetChannel(int32_t row, int32_t sub, VornDoc* doc)
{
    if (sub < 0)
        return nullptr;
    switch (row) {
    case 0:
        return sub == 0 ? &fTranslation : nullptr;
    case 1:
        return sub == 0 ? &fScale : nullptr;
    case 2:
        return sub == 0 ? &fRotationZ : nullptr;
    case 3:
        return sub == 0 ? &fRotationY : nullptr;
    case 4:
        return sub == 0 ? &fRotationX : nullptr;
    case 5:
        return sub == 0 ? &fFlipH : nullptr;
    case 6:
        return sub == 0 ? &fFlipV : nullptr;
    case 7:
        return sub == 0 ? &fShear : nullptr;
    case 8:
        return sub == 0 ? &fVisibility : nullptr;
    case 9:
        return sub == 0 ? &fBlur : nullptr;
    case 10:
        return sub == 0 ? &fAlpha : nullptr;
    case 11:
        return sub == 0 ? &fAmbientOcclusion : nullptr;
    case 12: {
        AnimChannel* shadow[] = { &fLayerShadow, &fShadowAngle, &fShadowOffset, &fShadowBlur,
            &fShadowExpansion, &fShadowColor, &fShadowNoiseAmp, &fShadowNoiseScale };
        return sub < 8 ? shadow[sub] : nullptr;
    }
    case 13: {
        AnimChannel* shading[] = { &fLayerShading, &fShadingAngle, &fShadingOffset, &fShadingBlur,
            &fShadingContraction, &fShadingColor, &fShadingNoiseAmp, &fShadingNoiseScale };
        return sub < 8 ? shading[sub] : nullptr;
    }
    case 14: {
        AnimChannel* motionBlur[] = { &fMotionBlur, &fMotionBlurFrames, &fMotionBlurSkip,
            &fMotionBlurAlphaStart, &fMotionBlurAlphaEnd, &fMotionBlurRadius };
        return sub < 6 ? motionBlur[sub] : nullptr;
    }
    case 15:
        return sub == 0 && doc ? &doc->fCameraTrack : nullptr;
    case 16:
        return sub == 0 && doc ? &doc->fCameraZoom : nullptr;
    case 17:
        return sub == 0 && doc ? &doc->fCameraRoll : nullptr;
    case 18:
        return sub == 0 && doc ? &doc->fCameraPanTilt : nullptr;
    case kAllChannelsRow: {
        ChannelInfo info;
        const int32_t rows = CountChannels() - 1;
        int64_t before = 0;
        for (int32_t i = 0; i < rows; i++) {
            GetChannelInfo(i, info);
            if (sub < before + info.fSubChannels)
                return GetChannel(i, int32_t(sub - before), doc);
            before += info.fSubChannels;
        }
        return nullptr;
    }
    default:
        return nullptr;
    }
}
