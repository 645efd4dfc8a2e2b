#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "older_channels.h"
#include "older_layers.h"
#include "qv_path.h"

class QV_IoStream;
class QV_MemStream;

// Documents of format versions 8 to 10, the older generation of the text format. They are
// opened by rewriting them as a version 11 document in memory, which the current reader reads.
namespace vorn_v4 {

class VornDoc {
public:
    // Reads the file at the path (UTF-8); fError tells whether it could be read.
    explicit VornDoc(const char* path);
    VornDoc(const VornDoc&) = delete;
    VornDoc& operator=(const VornDoc&) = delete;

    bool Read(QV_IoStream* stream);
    // The whole document as a version 11 document. Once only: the layers rescale some of their
    // channels in place while they are written.
    int32_t WriteCurrentFormat(QV_IoStream* stream);
    int32_t AnimDuration() const;

    bool fError = false;
    int32_t fVersion = 10;
    QV_Path fPath;
    VornLayer* fCurrentLayer = nullptr;
    int32_t fWidth = 320;
    int32_t fHeight = 240;
    float fFps = 24;
    rgb_color fBackColor = { 255, 255, 255, 255 };
    int32_t fNoiseGrain = 0;
    bool fAllow3D = true;
    bool fDepthSort = false;
    bool fDistanceSort = false;
    bool fDepthOfField = false;
    float fFocusDistance = 2;
    float fFocusRange = 1;
    float fFocusBlur = 0.05f;
    QV_String fSoundtrack;
    AnimVec3 fCameraTrack { Vec3 { 0, 0, 1.7321f } };
    AnimVal fCameraZoom { 1 };
    AnimVal fCameraRoll { 0 };
    AnimVec2 fCameraPanTilt;
    std::vector<std::unique_ptr<VornLayer>> fLayers;
};

// Converts the older document at the path into version 11 text written to out (an open memory
// stream). False when the file cannot be read as an older document.
bool ConvertOlderDocument(const char* path, QV_MemStream* out);

} // namespace vorn_v4
