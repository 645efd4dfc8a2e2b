// The vector layer record: the common layer part, the layer-wide drawing options and the mesh.

#include <cstring>

#include "animrecord.h"
#include "meshlayer.h"
#include "model_prefs.h"
#include "qv_iostream.h"
#include "record_lines.h"

namespace {

constexpr int32_t kWordSize = 256;
// Records before this carry no gap filling of their own: the preference decides.
constexpr int32_t kGapFillingVersion = 14;
// The read-error texts name fixed places per keyword, the same in every build.
constexpr const char* kSourceFile = "lib_vorn/meshlayer";
constexpr int32_t kLineWord = 87;

bool Fail(QV_IoStream* stream, int32_t line)
{
    ChannelReadError(stream, kSourceFile, line);
    return false;
}

} // namespace

void MeshLayer::WriteRecord(QV_IoStream* s)
{
    s->WriteIndent();
    s->WriteText("{");
    s->WriteNewline();
    s->fIndent++;
    WriteGenericValues(s, this);
    s->WriteNewline();
    s->WriteIndent();
    s->WriteText("### mesh layer values");
    s->WriteNewline();
    RecordBoolLine(s, "noisy_shapes", fNoisyShapes);
    RecordBoolLine(s, "noisy_lines", fNoisyLines);
    RecordBoolLine(s, "animated_noise", fAnimatedNoise);
    RecordBoolLine(s, "extra_sketchy", fExtraSketchy);
    RecordFloatLine(s, "noise_amp", fNoiseAmp);
    RecordFloatLine(s, "noise_scale", fNoiseScale);
    s->WriteIndent();
    s->WriteText("extra_lines ");
    s->WriteInt(fExtraLines);
    s->WriteNewline();
    RecordBoolLine(s, "gap_filling", fGapFilling);
    RecordBoolLine(s, "exclude_lines_from_mask", fExcludeLinesFromMask);
    RecordPathLine(s, "fill_texture", fFillTexture);
    RecordPathLine(s, "line_texture", fLineTexture);
    s->WriteIndent();
    s->WriteText("mesh");
    s->WriteNewline();
    fMesh.WriteRecord(s);
    if (s->fIndent > 0)
        s->fIndent--;
    s->WriteIndent();
    s->WriteText("}");
    s->WriteNewline();
}

bool MeshLayer::ReadRecord(QV_IoStream* stream)
{
    if (stream->fVersion < kGapFillingVersion)
        fGapFilling = ModelPrefBool("GapFilling", false);
    fStaticState = -1;
    ResetGenericValues(this);
    fFillTextureImage.Free();
    fLineTextureImage.Free();
    fMesh.Empty();

    struct BoolField {
        const char* keyword;
        bool MeshLayer::*field;
        int32_t line;
    };
    static const BoolField kBools[] = { { "noisy_shapes", &MeshLayer::fNoisyShapes, 99 },
        { "noisy_lines", &MeshLayer::fNoisyLines, 100 }, { "animated_noise", &MeshLayer::fAnimatedNoise, 101 },
        { "extra_sketchy", &MeshLayer::fExtraSketchy, 102 }, { "gap_filling", &MeshLayer::fGapFilling, 106 },
        { "exclude_lines_from_mask", &MeshLayer::fExcludeLinesFromMask, 107 } };

    char word[kWordSize];
    for (;;) {
        const RecordWord next = NextRecordWord(stream, kWordSize, word);
        if (next == RecordWord::kUnreadable)
            return Fail(stream, kLineWord);
        if (next == RecordWord::kEnd)
            return true;
        bool handled = false;
        for (const BoolField& entry : kBools) {
            if (std::strcmp(word, entry.keyword) != 0)
                continue;
            bool value;
            if (!stream->ReadBool(value))
                return Fail(stream, entry.line);
            this->*entry.field = value;
            handled = true;
            break;
        }
        if (handled)
            continue;
        if (std::strcmp(word, "noise_amp") == 0 || std::strcmp(word, "noise_scale") == 0) {
            const bool amp = word[6] == 'a';
            float value;
            if (!stream->ReadFloat(value))
                return Fail(stream, amp ? 103 : 104);
            (amp ? fNoiseAmp : fNoiseScale) = value;
        } else if (std::strcmp(word, "extra_lines") == 0) {
            int32_t value;
            if (!stream->ReadInt(value))
                return Fail(stream, 105);
            fExtraLines = value;
        } else if (std::strcmp(word, "fill_texture") == 0) {
            if (!stream->ReadPath(fFillTexture))
                return Fail(stream, 111);
        } else if (std::strcmp(word, "line_texture") == 0) {
            if (!stream->ReadPath(fLineTexture))
                return Fail(stream, 117);
        } else if (std::strcmp(word, "mesh") == 0) {
            if (!fMesh.ReadRecord(stream, false))
                return Fail(stream, 123);
        } else if (!ReadGenericKeyword(this, stream, word)) {
            return false;
        }
    }
}
