#pragma once

#include <cstdint>

#include "qv_string.h"

struct QV_PixelBuffer;

// One row of a layer's channel table as the timeline, the channel dialogs and the scripts see
// it. The caller owns it and refills the same record row by row.
struct ChannelInfo {
    ChannelInfo() = default;

    // The initial values, which a row outside the table keeps.
    void Reset();
    // Icon and translated label of a row.
    void SetLook(const char* iconName, const char* labelLiteral);

    int32_t fID = 0;
    // An interface image of the application's cache; not owned.
    QV_PixelBuffer* fIcon = nullptr;
    QV_String fLabel;
    // Channel lists put a gap above this row.
    bool fSeparator = false;
    int32_t fSubChannels = 1;
    // The row shows the channels of the selected elements only.
    bool fSelectionOnly = false;
    // The row's first channel switches the group on and off.
    bool fBoolGroup = false;
    bool fVisibilityRow = false;
    // One channel rather than a group.
    bool fSingleChannel = true;
    // Values are radians, shown in degrees.
    bool fAngle = false;
};

// Channel ids of the rows every layer shares, and of the document camera.
constexpr int32_t CHANNEL_LAYER_T = 10000;
constexpr int32_t CHANNEL_LAYER_S = 10001;
constexpr int32_t CHANNEL_LAYER_ROT_Z = 10002;
constexpr int32_t CHANNEL_LAYER_ROT_Y = 10003;
constexpr int32_t CHANNEL_LAYER_ROT_X = 10004;
constexpr int32_t CHANNEL_LAYER_FLIP_H = 10005;
constexpr int32_t CHANNEL_LAYER_FLIP_V = 10006;
constexpr int32_t CHANNEL_LAYER_SH = 10007;
constexpr int32_t CHANNEL_LAYER_VIS = 10008;
constexpr int32_t CHANNEL_LAYER_BLUR = 10009;
constexpr int32_t CHANNEL_LAYER_ALPHA = 10010;
constexpr int32_t CHANNEL_LAYER_AO = 10011;
constexpr int32_t CHANNEL_LAYER_SHADOW = 10012;
constexpr int32_t CHANNEL_LAYER_SHADING = 10013;
constexpr int32_t CHANNEL_LAYER_MB = 10014;
constexpr int32_t CHANNEL_LAYER_ALL = 10015;
constexpr int32_t CHANNEL_CAMERA_TRACK = 10060;
constexpr int32_t CHANNEL_CAMERA_ZOOM = 10061;
constexpr int32_t CHANNEL_CAMERA_ROLL = 10062;
constexpr int32_t CHANNEL_CAMERA_PANTILT = 10063;
