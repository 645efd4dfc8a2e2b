// The image layer record: the common layer part, the picture, movie and shape values, the
// tracking points, then the audio layer's values.

#include <cstring>

#include "animrecord.h"
#include "imagelayer.h"
#include "qv_iostream.h"
#include "record_limits.h"
#include "record_lines.h"

namespace {

constexpr int32_t kWordSize = 256;
constexpr const char* kSourceFile = "lib_vorn/imagelayer";
// A tracking point's record takes at least this many bytes.
constexpr int32_t kMinPointBytes = 40;

bool Fail(QV_IoStream* stream, int32_t line)
{
    ChannelReadError(stream, kSourceFile, line);
    return false;
}

} // namespace

void ImageLayer::WriteRecord(QV_IoStream* s)
{
    RecordLine(s, "{");
    s->fIndent++;
    WriteGenericValues(s, this);
    s->WriteNewline();
    RecordLine(s, "### image layer values");
    RecordPathLine(s, "image", fImagePath);
    RecordFloatLine(s, "interpreted_fps", fInterpretedFps);
    RecordBoolLine(s, "avi_alpha", fAviAlpha);
    RecordBoolLine(s, "movie_looping", fMovieLooping);
    RecordKeyword(s, "shape");
    s->WriteFloat(fShapeWidth);
    s->WriteSpace();
    s->WriteFloat(fShapeHeight);
    s->WriteNewline();
    if (!fTrackingPoints.empty()) {
        RecordIntLine(s, "num_tracking_points", CountTrackingPoints());
        for (auto& point : fTrackingPoints)
            point->WriteRecord(s);
    }
    RecordLine(s, "### audio layer values");
    RecordPathLine(s, "audio_file", fAudioFile);
    RecordBoolLine(s, "spatial_positioning", fSpatialPositioning);
    RecordLine(s, "audio_level");
    fAudioLevel.WriteRecord(s, true);
    RecordLine(s, "audio_jump");
    fJumpToFrame.WriteRecord(s, true);
    if (s->fIndent > 0)
        s->fIndent--;
    RecordLine(s, "}");
}

bool ImageLayer::ReadRecord(QV_IoStream* stream)
{
    ResetGenericValues(this);
    fInterpretedFps = -1;
    fTrackingPoints.clear();
    char word[kWordSize];
    for (;;) {
        const RecordWord next = NextRecordWord(stream, kWordSize, word);
        if (next == RecordWord::kUnreadable)
            return Fail(stream, __LINE__);
        if (next == RecordWord::kEnd)
            return true;
        if (std::strcmp(word, "image") == 0) {
            QV_String path;
            if (!stream->ReadPath(path))
                return Fail(stream, __LINE__);
            fImagePath = path;
            fImage.Free();
        } else if (std::strcmp(word, "interpreted_fps") == 0) {
            if (!stream->ReadFloat(fInterpretedFps))
                return Fail(stream, __LINE__);
        } else if (std::strcmp(word, "avi_alpha") == 0) {
            if (!stream->ReadBool(fAviAlpha))
                return Fail(stream, __LINE__);
        } else if (std::strcmp(word, "movie_looping") == 0) {
            if (!stream->ReadBool(fMovieLooping))
                return Fail(stream, __LINE__);
        } else if (std::strcmp(word, "shape") == 0) {
            if (!stream->ReadFloat(fShapeWidth) || !stream->ReadFloat(fShapeHeight))
                return Fail(stream, __LINE__);
        } else if (std::strcmp(word, "num_tracking_points") == 0) {
            int32_t n = 0;
            if (!stream->ReadInt(n) || !RecordCountFits(stream, n, kMinPointBytes))
                return Fail(stream, __LINE__);
            fTrackingPoints.reserve(size_t(n));
            for (int32_t i = 0; i < n; i++) {
                fTrackingPoints.push_back(std::make_unique<TrackingPoint>(fCurFrame));
                if (!fTrackingPoints.back()->ReadRecord(stream))
                    return Fail(stream, __LINE__);
            }
        } else if (std::strcmp(word, "audio_file") == 0) {
            QV_String path;
            if (!stream->ReadPath(path))
                return Fail(stream, __LINE__);
            // A sound that cannot be decoded leaves the layer silent, never the document unread.
            if (path.IsEmpty())
                fAudioFile = "";
            else
                SetAudioFile(path.CString());
        } else if (std::strcmp(word, "spatial_positioning") == 0) {
            if (!stream->ReadBool(fSpatialPositioning))
                return Fail(stream, __LINE__);
        } else if (std::strcmp(word, "audio_level") == 0) {
            if (!fAudioLevel.ReadRecord(stream, false))
                return Fail(stream, __LINE__);
        } else if (std::strcmp(word, "audio_jump") == 0) {
            if (!fJumpToFrame.ReadRecord(stream, false))
                return Fail(stream, __LINE__);
        } else if (!ReadGenericKeyword(this, stream, word)) {
            return false;
        }
    }
}
