// The switch layer record and the switch data file.

#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

#include "animrecord.h"
#include "document_path.h"
#include "qv_filestream.h"
#include "qv_iostream.h"
#include "record_lines.h"
#include "switchlayer.h"

namespace {

constexpr int32_t kWordSize = 256;
constexpr const char* kSource = "lib_vorn/switchlayer";
constexpr int32_t kErrorWord = 37;
constexpr int32_t kErrorExpanded = 49;
constexpr int32_t kErrorSourceFile = 53;
constexpr int32_t kErrorInterpolation = 58;
constexpr int32_t kErrorKeys = 59;
constexpr int32_t kErrorLayerType = 63;
constexpr int32_t kErrorSkeleton = 80;

constexpr const char* kDataFileTag = "VornSwitch1";
// Longer names and first lines are cut to this many bytes.
constexpr size_t kDataLineSize = 127;

// The rest of the current line, without its line end, at most kDataLineSize bytes: a longer
// line leaves the rest for the next read. False at the end of the file when nothing was left.
bool ReadRestOfLine(QV_IoStream& stream, std::string& line)
{
    line.clear();
    char c;
    bool any = false;
    while (line.size() < kDataLineSize && stream.ReadChar(c)) {
        any = true;
        if (c == '\r' || c == '\n')
            return true;
        line += c;
    }
    return any;
}

std::string Trimmed(const std::string& text)
{
    const char* space = " \t\r\n\f\v";
    const size_t first = text.find_first_not_of(space);
    if (first == std::string::npos)
        return std::string();
    return text.substr(first, text.find_last_not_of(space) - first + 1);
}

} // namespace

void SwitchLayer::WriteRecord(QV_IoStream* s)
{
    RecordLine(s, "{");
    s->fIndent++;
    WriteGenericValues(s, this);
    s->WriteNewline();
    RecordLine(s, "### switch layer values");
    RecordBoolLine(s, "expanded", fExpanded);
    RecordPathLine(s, "switch_data", fSourceFile);
    RecordBoolLine(s, "switch_interpolation", fInterpolate);
    RecordLine(s, "switch_keys");
    fSwitchValues.WriteRecord(s, true);
    RecordLine(s, "skeleton");
    fSkeleton.WriteRecord(s);
    s->WriteNewline();
    WriteSubLayers(s);
    if (s->fIndent > 0)
        s->fIndent--;
    RecordLine(s, "}");
}

bool SwitchLayer::ReadRecord(QV_IoStream* stream)
{
    DiscardForReading();
    fSkeleton.DeleteAllBones();

    auto fail = [stream](int32_t line) {
        ChannelReadError(stream, kSource, line);
        return false;
    };

    char word[kWordSize];
    for (;;) {
        const RecordWord next = NextRecordWord(stream, kWordSize, word);
        if (next == RecordWord::kUnreadable)
            return fail(kErrorWord);
        if (next == RecordWord::kEnd)
            break;
        if (std::strcmp(word, "expanded") == 0) {
            if (!stream->ReadBool(fExpanded))
                return fail(kErrorExpanded);
        } else if (std::strcmp(word, "switch_data") == 0) {
            QV_String path;
            if (!stream->ReadPath(path))
                return fail(kErrorSourceFile);
            fSourceFile = path.CString();
            LoadSourceFile();
        } else if (std::strcmp(word, "switch_interpolation") == 0) {
            if (!stream->ReadBool(fInterpolate))
                return fail(kErrorInterpolation);
        } else if (std::strcmp(word, "switch_keys") == 0) {
            if (!fSwitchValues.ReadRecord(stream, false))
                return fail(kErrorKeys);
        } else if (std::strcmp(word, "layer_type") == 0) {
            if (!ReadSubLayer(stream))
                return fail(kErrorLayerType);
        } else if (std::strcmp(word, "skeleton") == 0) {
            if (!fSkeleton.ReadRecord(stream))
                return fail(kErrorSkeleton);
        } else if (!ReadGenericKeyword(this, stream, word)) {
            return false;
        }
    }
    fSkeleton.UpdateBoneMatrix(-1);
    SettleAfterReading();
    return true;
}

bool SwitchLayer::SetSourceFile(const char* path)
{
    if (!DocumentPathAllowed(path))
        return false;
    fSourceFile = path ? path : "";
    LoadSourceFile();
    return true;
}

void SwitchLayer::LoadSourceFile()
{
    if (fSourceFile.IsEmpty())
        return;
    // A device or pipe named by a document could be read forever: only files have an end.
    std::error_code error;
    if (!std::filesystem::is_regular_file(fSourceFile.CString(), error))
        return;
    QV_FileStream file;
    if (file.Open(fSourceFile.CString(), true) != 0)
        return;
    // The keys go only once the file proved to be a data file: a mistyped path or a wrong
    // file must not cost the user every key.
    std::string line;
    if (!ReadRestOfLine(file, line) || line != kDataFileTag)
        return;
    fSwitchValues.Clear();
    while (!file.AtEnd()) {
        int32_t frame;
        if (!file.ReadInt(frame)) {
            if (!file.SkipLine())
                break;
            continue;
        }
        const bool more = ReadRestOfLine(file, line);
        const std::string name = Trimmed(line);
        if (!name.empty())
            fSwitchValues.SetValue(frame, QV_String(name.c_str()));
        if (!more)
            break;
    }
    file.Close();
    SetCurFrame(fCurFrame);
}
