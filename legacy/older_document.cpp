#include "older_document.h"

#include <algorithm>
#include <cstring>

#include "older_reading.h"
#include "qv_filestream.h"
#include "qv_iostream.h"
#include "qv_memstream.h"

namespace vorn_v4 {

namespace {

constexpr const char* kHeader = "application/x-vnd.qv_vorndoc";
// Top-level layers an older document holds at most.
constexpr size_t kMaxLayers = 127;
// The camera's distance in the older documents: the rounded value they were made with.
constexpr float kCameraZ = 1.7321f;

bool Is(const char* word, const char* keyword) { return std::strcmp(word, keyword) == 0; }

} // namespace

VornDoc::VornDoc(const char* path)
    : fPath(path ? path : "")
{
    if (fPath.IsEmpty()) {
        fError = true;
        return;
    }
    QV_FileStream stream;
    if (stream.Open(fPath.CString(), true) != 0) {
        fError = true;
        return;
    }
    Read(&stream);
    stream.Close();
}

bool VornDoc::Read(QV_IoStream* s)
{
    char word[kWordSize];
    if (!ReadWord(s, word) || !Is(word, kHeader)) {
        fError = true;
        return false;
    }
    int32_t selected = -1;
    const auto fail = [this] {
        fError = true;
        return false;
    };
    while (ReadWord(s, word)) {
        if (word[0] == '#') {
            if (!s->SkipLine())
                return fail();
        } else if (Is(word, "version")) {
            if (!s->ReadInt(fVersion) || fVersion > 10)
                return fail();
            s->fVersion = fVersion;
            if (fVersion < 9)
                fAllow3D = fDepthSort = false;
        } else if (Is(word, "dimensions")) {
            if (!s->ReadInt(fWidth) || !s->ReadInt(fHeight))
                return fail();
        } else if (Is(word, "fps")) {
            if (!s->ReadFloat(fFps))
                return fail();
        } else if (Is(word, "back_color")) {
            if (!s->ReadColor(fBackColor))
                return fail();
        } else if (Is(word, "noise_grain")) {
            if (!s->ReadInt(fNoiseGrain))
                return fail();
        } else if (Is(word, "allow_3d")) {
            if (!s->ReadBool(fAllow3D))
                return fail();
        } else if (Is(word, "depth_sort")) {
            if (!s->ReadBool(fDepthSort))
                return fail();
        } else if (Is(word, "distance_sort")) {
            if (!s->ReadBool(fDistanceSort))
                return fail();
        } else if (Is(word, "depth_of_field")) {
            if (!s->ReadBool(fDepthOfField) || !s->ReadFloat(fFocusDistance) || !s->ReadFloat(fFocusRange)
                || !s->ReadFloat(fFocusBlur))
                return fail();
        } else if (Is(word, "soundtrack")) {
            if (!ReadText(s, fSoundtrack))
                return fail();
            JoinToDocumentFolder(s, fSoundtrack);
        } else if (Is(word, "camera_translation")) {
            if (fVersion < 9) {
                // The oldest camera moved in the plane only, at the fixed distance.
                AnimVec2 plane;
                if (!plane.ReadRecord(s))
                    return fail();
                for (int32_t i = 0; i < plane.KeyCount(); i++) {
                    const Vec2 xy = plane.KeyValue(i);
                    fCameraTrack.SetValue(plane.KeyFrame(i), Vec3 { xy.x, xy.y, kCameraZ });
                    fCameraTrack.SetKeyInterp(plane.KeyFrame(i), plane.KeyCode(i));
                }
            } else if (!fCameraTrack.ReadRecord(s)) {
                return fail();
            }
            // The older camera moved the other way round.
            for (int32_t i = 0; i < fCameraTrack.KeyCount(); i++) {
                const Vec3 v = fCameraTrack.KeyValue(i);
                fCameraTrack.SetKeyValue(i, Vec3 { -v.x, -v.y, v.z });
            }
        } else if (Is(word, "camera_position")) {
            if (!fCameraTrack.ReadRecord(s))
                return fail();
        } else if (Is(word, "camera_scale")) {
            if (!fCameraZoom.ReadRecord(s))
                return fail();
        } else if (Is(word, "camera_rotation")) {
            if (!fCameraRoll.ReadRecord(s))
                return fail();
        } else if (Is(word, "camera_pitch_yaw")) {
            if (!fCameraPanTilt.ReadRecord(s))
                return fail();
        } else if (Is(word, "selected_layer")) {
            if (!s->ReadInt(selected))
                return fail();
        } else if (Is(word, "layer")) {
            int32_t type;
            if (!s->ReadInt(type))
                return fail();
            std::unique_ptr<VornLayer> layer = MakeOlderLayer(type);
            if (!layer->ReadRecord(s, 0) || fLayers.size() >= kMaxLayers)
                return fail();
            fLayers.push_back(std::move(layer));
        }
        // Any other word is skipped by itself.
    }

    if (!fLayers.empty()) {
        int32_t i = selected;
        if (i < 0) {
            i = int32_t(fLayers.size()) - 1;
            while (i > 0 && !fLayers[size_t(i)]->fVisible)
                i--;
        }
        i = std::min(i, int32_t(fLayers.size()) - 1);
        fCurrentLayer = fLayers[size_t(i)].get();
        fCurrentLayer->fVisible = true;
    }
    return true;
}

int32_t VornDoc::AnimDuration() const
{
    int32_t d = std::max({ 0, fCameraTrack.LastKeyFrame(), fCameraZoom.LastKeyFrame(), fCameraRoll.LastKeyFrame(),
        fCameraPanTilt.LastKeyFrame() });
    for (const auto& layer : fLayers)
        d = std::max(d, layer->AnimDuration());
    return d;
}

int32_t VornDoc::WriteCurrentFormat(QV_IoStream* s)
{
    const auto line = [s](const char* text) {
        s->WriteText(text);
        s->WriteNewline();
    };
    const auto keyword = [s](const char* text) {
        s->WriteText(text);
        s->WriteSpace();
    };
    const auto boolLine = [&](const char* text, bool value) {
        keyword(text);
        line(value ? "true" : "false");
    };
    line(kHeader);
    keyword("version");
    s->WriteInt(11);
    s->WriteNewline();
    keyword("dimensions");
    s->WriteInt(fWidth);
    s->WriteSpace();
    s->WriteInt(fHeight);
    s->WriteNewline();
    keyword("frame_range");
    s->WriteInt(1);
    s->WriteSpace();
    s->WriteInt(AnimDuration());
    s->WriteNewline();
    keyword("fps");
    s->WriteFloat(fFps);
    s->WriteNewline();
    keyword("back_color");
    s->WriteColor(fBackColor);
    s->WriteNewline();
    keyword("noise_grain");
    s->WriteInt(fNoiseGrain);
    s->WriteNewline();
    boolLine("allow_3d", fAllow3D);
    boolLine("depth_sort", fDepthSort);
    boolLine("distance_sort", fDistanceSort);
    keyword("depth_of_field");
    s->WriteNewline();
    s->WriteText(fDepthOfField ? "true" : "false");
    for (float v : { fFocusDistance, fFocusRange, fFocusBlur }) {
        s->WriteSpace();
        s->WriteFloat(v);
    }
    s->WriteNewline();
    keyword("soundtrack");
    s->WriteQuoted(fSoundtrack.CString());
    s->WriteNewline();
    keyword("camera_track");
    fCameraTrack.WriteCurrentRecord(s);
    keyword("camera_zoom");
    fCameraZoom.WriteCurrentRecord(s);
    keyword("camera_roll");
    fCameraRoll.WriteCurrentRecord(s);
    keyword("camera_pan_tilt");
    fCameraPanTilt.WriteCurrentRecord(s);
    for (auto& layer : fLayers) {
        keyword("layer_type");
        s->WriteInt(layer->LayerType());
        s->WriteNewline();
        layer->WriteCurrentRecord(s);
    }
    return 0;
}

bool ConvertOlderDocument(const char* path, QV_MemStream* out)
{
    auto doc = std::make_unique<VornDoc>(path);
    if (doc->fError)
        return false;
    doc->WriteCurrentFormat(out);
    return true;
}

} // namespace vorn_v4
