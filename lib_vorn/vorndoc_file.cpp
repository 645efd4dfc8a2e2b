// The document file: writing it (always in the current format), saving it without putting the
// old file at risk, and reading files of the formats this program still opens.

#include <cmath>
#include <cstring>
#include <ctime>
#include <new>

#include "animrecord.h"
#include "format_version.h"
#include "layerfactory.h"
#include "m_style.h"
#include "older_document_hook.h"
#include "qv_memstream.h"
#include "qv_filestream.h"
#include "qv_iostream.h"
#include "vorndoc.h"
#include "vornlayer.h"

namespace {

constexpr const char* kHeader = "application/x-vnd.qv_vorndoc";
constexpr int32_t kOldestVersion = 8;
// Versions below this come from the older generation and need the converter.
constexpr int32_t kFirstCurrentGeneration = 11;
constexpr int32_t kWordSize = 256;

void Line(QV_IoStream* s, const char* text)
{
    s->WriteText(text);
    s->WriteNewline();
}

void BoolText(QV_IoStream* s, bool value)
{
    s->WriteText(value ? "true" : "false");
}

void BoolLine(QV_IoStream* s, const char* keyword, bool value)
{
    s->WriteText(keyword);
    s->WriteSpace();
    BoolText(s, value);
    s->WriteNewline();
}

void IntPairLine(QV_IoStream* s, const char* keyword, int32_t a, int32_t b)
{
    s->WriteText(keyword);
    s->WriteSpace();
    s->WriteInt(a);
    s->WriteSpace();
    s->WriteInt(b);
    s->WriteNewline();
}

void WriteCreated(QV_IoStream* s)
{
    const std::time_t now = std::time(nullptr);
    char buffer[64] = {};
    struct tm local {};
    if (localtime_r(&now, &local) && std::strftime(buffer, sizeof buffer, "%a %b %e %H:%M:%S %Y", &local) > 0) {
        s->WriteText("### Created: ");
        s->WriteText(buffer);
        s->WriteNewline();
    }
}

bool Fail(QV_IoStream* stream, int32_t line)
{
    ChannelReadError(stream, "lib_vorn/vorndoc", line);
    return false;
}

#define DOC_FAIL(stream) Fail((stream), __LINE__)

void SetErrorText(QV_IoStream* stream, const char* first, const char* second = nullptr)
{
    QV_String text(first);
    if (second)
        text.Append(second);
    stream->SetError(text.CString());
}

} // namespace

VornDoc::VornDoc(QV_IoStream* stream)
    : VornDoc()
{
    Read(stream);
}

void VornDoc::Write(const char* comment, QV_IoStream* s)
{
    const int32_t frame = fCurFrame;
    SetCurFrame(0);

    Line(s, kHeader);
    s->WriteText("version ");
    s->WriteInt(kCurrentFormatVersion);
    s->WriteNewline();
    if (comment) {
        s->WriteText("### ");
        s->WriteText(comment);
        s->WriteNewline();
        WriteCreated(s);
    }
    s->WriteNewline();

    Line(s, "### static values");
    IntPairLine(s, "dimensions", fWidth, fHeight);
    IntPairLine(s, "frame_range", fStartFrame, fEndFrame);
    s->WriteText("fps ");
    s->WriteFloat(fFps);
    s->WriteNewline();
    s->WriteText("back_color ");
    s->WriteColor(fBackColor);
    s->WriteNewline();
    s->WriteText("noise_grain ");
    s->WriteInt(fNoiseGrain);
    s->WriteNewline();
    BoolLine(s, "allow_3d", fAllow3D);
    BoolLine(s, "depth_sort", fDepthSort);
    BoolLine(s, "distance_sort", fDistanceSort);
    s->WriteText("depth_of_field ");
    BoolText(s, fDepthOfField);
    s->WriteSpace();
    s->WriteFloat(fFocusDistance);
    s->WriteSpace();
    s->WriteFloat(fFocusRange);
    s->WriteSpace();
    s->WriteFloat(fMaxBlur);
    s->WriteNewline();
    s->WriteText("stereo_separation ");
    s->WriteFloat(fStereoSeparation);
    s->WriteNewline();
    BoolLine(s, "extra_swf_frame", fExtraSwfFrame);
    s->WriteText("soundtrack ");
    s->WritePath(fSoundtrack.CString());
    s->WriteNewline();
    s->WriteNewline();

    Line(s, "### styles");
    for (int32_t i = 0; i < fStyles.fCount; i++) {
        Line(s, "style");
        static_cast<M_Style*>(fStyles.fItems[i])->WriteRecord(s);
    }
    s->WriteNewline();

    Line(s, "### animated values");
    Line(s, "camera_track");
    fCameraTrack.WriteRecord(s, true);
    Line(s, "camera_zoom");
    fCameraZoom.WriteRecord(s, true);
    Line(s, "camera_roll");
    fCameraRoll.WriteRecord(s, true);
    Line(s, "camera_pan_tilt");
    fCameraPanTilt.WriteRecord(s, true);
    s->WriteNewline();

    Line(s, "### layers");
    for (int32_t i = 0; i < fLayers.fCount; i++) {
        VornLayer* layer = static_cast<VornLayer*>(fLayers.fItems[i]);
        s->WriteText("layer_type ");
        s->WriteInt(layer->LayerType());
        s->WriteNewline();
        layer->WriteRecord(s);
    }

    SetCurFrame(frame);
}

int32_t VornDoc::Save(const char* comment, QV_String* reason)
{
    // The file stream writes beside the target and renames only when every byte, the flush and
    // the close succeeded: a full disk leaves the old document and the dirty flag as they were.
    QV_FileStream file;
    bool saved = file.Open(fPath.CString(), false) == 0;
    if (saved) {
        Write(comment, &file);
        saved = file.Commit();
    }
    if (!saved) {
        if (reason)
            *reason = file.Failure();
        return -7;
    }
    fVersion = kCurrentFormatVersion;
    fDirty = false;
    return 0;
}

bool VornDoc::Read(QV_IoStream* stream)
{
    if (!ReadBody(stream)) {
        fReadFailed = true;
        return false;
    }
    return true;
}

bool VornDoc::ReadConverted(QV_FileStream* stream)
{
    static const char* const kOlderFileText = "This appears to be an older Vorn file, but it couldn't be opened.";
    // The file is read again from its start by the converter: whatever came before its version
    // line is read again from the converted text.
    while (CountLayers() > 0) {
        VornLayer* layer = Layer(0);
        RemoveLayer(layer);
        delete layer;
    }
    const OlderDocumentConverter convert = GetOlderDocumentConverter();
    QV_MemStream converted;
    if (!convert || converted.Open(0) != 0 || !convert(stream->Path().CString(), &converted)) {
        SetErrorText(stream, kOlderFileText);
        return DOC_FAIL(stream);
    }
    converted.Rewind();
    converted.fReading = true;
    if (!ReadBody(&converted)) {
        // What the converter wrote is not the user's file: its reading errors would name lines
        // the user has never seen.
        SetErrorText(stream, kOlderFileText);
        return DOC_FAIL(stream);
    }
    stream->fVersion = converted.fVersion;
    return true;
}

bool VornDoc::ReadBody(QV_IoStream* stream)
{
    char word[kWordSize];
    if (!stream->ReadWord(kWordSize, word) || word[0] == 0)
        return DOC_FAIL(stream);
    if (std::strcmp(word, kHeader) != 0) {
        SetErrorText(stream, "Bad file header: ", word);
        return DOC_FAIL(stream);
    }

    fVersion = -1;
    int32_t selected = -1;
    for (;;) {
        if (!stream->ReadWord(kWordSize, word) || word[0] == 0)
            break;
        if (word[0] == '#') {
            stream->SkipLine();
            continue;
        }
        if (std::strcmp(word, "version") == 0 && fVersion < 0) {
            if (!stream->ReadInt(fVersion))
                return DOC_FAIL(stream);
            if (fVersion > kCurrentFormatVersion) {
                SetErrorText(stream, "This file is from a newer version of Vorn, and cannot be opened by this version.");
                return DOC_FAIL(stream);
            }
            if (fVersion < kOldestVersion) {
                SetErrorText(stream,
                    "This file is from an old version of Vorn, and must be updated with the updater application.");
                return DOC_FAIL(stream);
            }
            if (fVersion < kFirstCurrentGeneration && stream->IsFile())
                return ReadConverted(static_cast<QV_FileStream*>(stream));
            stream->fVersion = fVersion;
        } else if (std::strcmp(word, "dimensions") == 0) {
            int32_t width, height;
            if (!stream->ReadInt(width) || !stream->ReadInt(height))
                return DOC_FAIL(stream);
            // Both later divide: the aspect ratio, the raster sizes.
            if (width < 1 || height < 1)
                return DOC_FAIL(stream);
            fWidth = width;
            fHeight = height;
        } else if (std::strcmp(word, "frame_range") == 0) {
            if (!stream->ReadInt(fStartFrame) || !stream->ReadInt(fEndFrame))
                return DOC_FAIL(stream);
        } else if (std::strcmp(word, "fps") == 0) {
            float fps;
            if (!stream->ReadFloat(fps))
                return DOC_FAIL(stream);
            if (!std::isfinite(fps) || fps <= 0)
                return DOC_FAIL(stream);
            fFps = fps;
        } else if (std::strcmp(word, "back_color") == 0) {
            if (!stream->ReadColor(fBackColor))
                return DOC_FAIL(stream);
        } else if (std::strcmp(word, "noise_grain") == 0) {
            if (!stream->ReadInt(fNoiseGrain))
                return DOC_FAIL(stream);
        } else if (std::strcmp(word, "allow_3d") == 0) {
            if (!stream->ReadBool(fAllow3D))
                return DOC_FAIL(stream);
        } else if (std::strcmp(word, "depth_sort") == 0) {
            if (!stream->ReadBool(fDepthSort))
                return DOC_FAIL(stream);
        } else if (std::strcmp(word, "distance_sort") == 0) {
            if (!stream->ReadBool(fDistanceSort))
                return DOC_FAIL(stream);
        } else if (std::strcmp(word, "depth_of_field") == 0) {
            bool on;
            float distance, range, blur;
            if (!stream->ReadBool(on) || !stream->ReadFloat(distance) || !stream->ReadFloat(range)
                || !stream->ReadFloat(blur))
                return DOC_FAIL(stream);
            // The far limit of the focus range divides the blur: it must lie beyond the eye. A
            // range that is never used does not cost the document; it gets the defaults.
            const float far = distance + range / 2;
            if (!std::isfinite(far) || far <= 0) {
                if (on)
                    return DOC_FAIL(stream);
                distance = kDefaultFocusDistance;
                range = kDefaultFocusRange;
            }
            if (!std::isfinite(blur))
                return DOC_FAIL(stream);
            fDepthOfField = on;
            fFocusDistance = distance;
            fFocusRange = range;
            fMaxBlur = blur;
        } else if (std::strcmp(word, "stereo_separation") == 0) {
            if (!stream->ReadFloat(fStereoSeparation))
                return DOC_FAIL(stream);
        } else if (std::strcmp(word, "extra_swf_frame") == 0) {
            if (!stream->ReadBool(fExtraSwfFrame))
                return DOC_FAIL(stream);
        } else if (std::strcmp(word, "soundtrack") == 0) {
            if (!stream->ReadPath(fSoundtrack))
                return DOC_FAIL(stream);
            if (!fSoundtrack.IsEmpty() && !SoundtrackToAudioLayer())
                return DOC_FAIL(stream);
        } else if (std::strcmp(word, "style") == 0) {
            M_Style* style = new (std::nothrow) M_Style(0);
            if (!style)
                return DOC_FAIL(stream);
            if (!style->ReadRecord(stream)) {
                delete style;
                return DOC_FAIL(stream);
            }
            AddStyle(style);
        } else if (std::strcmp(word, "camera_track") == 0) {
            if (!fCameraTrack.ReadRecord(stream, false))
                return DOC_FAIL(stream);
        } else if (std::strcmp(word, "camera_zoom") == 0) {
            if (!fCameraZoom.ReadRecord(stream, false))
                return DOC_FAIL(stream);
        } else if (std::strcmp(word, "camera_roll") == 0) {
            if (!fCameraRoll.ReadRecord(stream, false))
                return DOC_FAIL(stream);
        } else if (std::strcmp(word, "camera_pan_tilt") == 0) {
            if (!fCameraPanTilt.ReadRecord(stream, false))
                return DOC_FAIL(stream);
        } else if (std::strcmp(word, "layer_type") == 0) {
            int32_t type;
            if (!stream->ReadInt(type))
                return DOC_FAIL(stream);
            VornLayer* layer = LayerFactory(type);
            if (!layer)
                return DOC_FAIL(stream);
            if (!layer->ReadRecord(stream)) {
                delete layer;
                return DOC_FAIL(stream);
            }
            AddLayer(layer);
        } else if (std::strcmp(word, "selected_layer") == 0) {
            if (!stream->ReadInt(selected))
                return DOC_FAIL(stream);
        } else {
            UnknownKeywordError(stream, word);
            return DOC_FAIL(stream);
        }
    }

    if (fLayers.fCount == 0) {
        fSelLayer = nullptr;
    } else {
        int32_t index = 0;
        if (selected >= 0) {
            index = selected < fLayers.fCount ? selected : fLayers.fCount - 1;
        } else {
            for (int32_t i = fLayers.fCount - 1; i >= 1; i--) {
                if (static_cast<VornLayer*>(fLayers.fItems[i])->fVisible) {
                    index = i;
                    break;
                }
            }
        }
        fSelLayer = static_cast<VornLayer*>(fLayers.fItems[index]);
        fSelLayer->fVisible = true;
    }
    ResolveStyleRefs(nullptr);
    return true;
}
