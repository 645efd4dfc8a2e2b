// The particle layer record.

#include <cstring>

#include "animrecord.h"
#include "particlelayer.h"
#include "qv_iostream.h"
#include "record_lines.h"

namespace {

constexpr int32_t kWordSize = 256;
constexpr const char* kSource = "lib_vorn/particlelayer";
constexpr int32_t kErrorWord = 85;
constexpr int32_t kErrorExpanded = 97;
constexpr int32_t kErrorCount = 99;
constexpr int32_t kErrorPreview = 100;
constexpr int32_t kErrorLifetime = 101;
constexpr int32_t kErrorSeed = 102;
constexpr int32_t kErrorSourceShape = 107;
constexpr int32_t kErrorStartFull = 115;
constexpr int32_t kErrorActivation = 117;
constexpr int32_t kErrorLayerType = 121;

struct BoolField {
    const char* keyword;
    bool ParticleLayer::*field;
    int32_t check;
};

constexpr BoolField kBoolFields[] = {
    { "orient_particles", &ParticleLayer::fOrient, 103 },
    { "free_floating", &ParticleLayer::fFreeFloating, 104 },
    { "evenly_spaced", &ParticleLayer::fEvenlySpaced, 105 },
    { "random_start_time", &ParticleLayer::fRandomStartTime, 106 },
};

struct FloatField {
    const char* keyword;
    float ParticleLayer::*field;
    int32_t check;
};

constexpr FloatField kFloatFields[] = {
    { "start_dir", &ParticleLayer::fStartDir, 108 },
    { "start_spread", &ParticleLayer::fStartSpread, 109 },
    { "velocity", &ParticleLayer::fVelocity, 110 },
    { "velocity_spread", &ParticleLayer::fVelocitySpread, 111 },
    { "damping", &ParticleLayer::fDamping, 112 },
    { "accel_angle", &ParticleLayer::fAccelAngle, 113 },
    { "accel_rate", &ParticleLayer::fAccelRate, 114 },
};

} // namespace

void ParticleLayer::WriteRecord(QV_IoStream* s)
{
    RecordLine(s, "{");
    s->fIndent++;
    WriteGenericValues(s, this);
    s->WriteNewline();
    RecordLine(s, "### particle layer values");
    RecordBoolLine(s, "expanded", fExpanded);
    RecordIntLine(s, "num_particles", fNumParticles);
    RecordIntLine(s, "preview_particles", fPreviewParticles);
    RecordIntLine(s, "particle_lifetime", fLifetime);
    RecordIntLine(s, "seed", fSeed);
    for (const BoolField& f : kBoolFields)
        RecordBoolLine(s, f.keyword, this->*f.field);
    RecordKeyword(s, "source_shape");
    s->WriteVector3(fSourceShape);
    s->WriteNewline();
    for (const FloatField& f : kFloatFields)
        RecordFloatLine(s, f.keyword, this->*f.field);
    RecordBoolLine(s, "start_full", fStartFull);
    RecordKeyword(s, "particle_activation");
    s->WriteNewline();
    fActivation.WriteRecord(s, true);
    s->WriteNewline();
    WriteSubLayers(s);
    if (s->fIndent > 0)
        s->fIndent--;
    RecordLine(s, "}");
}

bool ParticleLayer::ReadRecord(QV_IoStream* stream)
{
    fReading = true;
    DiscardForReading();

    auto fail = [this, stream](int32_t line) {
        ChannelReadError(stream, kSource, line);
        fReading = false;
        return false;
    };

    char word[kWordSize];
    for (;;) {
        const RecordWord next = NextRecordWord(stream, kWordSize, word);
        if (next == RecordWord::kUnreadable)
            return fail(kErrorWord);
        if (next == RecordWord::kEnd)
            break;
        const BoolField* boolField = nullptr;
        for (const BoolField& f : kBoolFields) {
            if (std::strcmp(word, f.keyword) == 0)
                boolField = &f;
        }
        const FloatField* floatField = nullptr;
        for (const FloatField& f : kFloatFields) {
            if (std::strcmp(word, f.keyword) == 0)
                floatField = &f;
        }
        if (boolField) {
            if (!stream->ReadBool(this->*boolField->field))
                return fail(boolField->check);
        } else if (floatField) {
            if (!stream->ReadFloat(this->*floatField->field))
                return fail(floatField->check);
        } else if (std::strcmp(word, "expanded") == 0) {
            if (!stream->ReadBool(fExpanded))
                return fail(kErrorExpanded);
        } else if (std::strcmp(word, "num_particles") == 0) {
            // The count sizes the particle array: a negative or impossible one is damage.
            int32_t total;
            if (!stream->ReadInt(total) || !SetNumParticles(total, fPreviewParticles))
                return fail(kErrorCount);
        } else if (std::strcmp(word, "preview_particles") == 0) {
            if (!stream->ReadInt(fPreviewParticles))
                return fail(kErrorPreview);
        } else if (std::strcmp(word, "particle_lifetime") == 0) {
            if (!stream->ReadInt(fLifetime))
                return fail(kErrorLifetime);
        } else if (std::strcmp(word, "seed") == 0) {
            if (!stream->ReadInt(fSeed))
                return fail(kErrorSeed);
        } else if (std::strcmp(word, "source_shape") == 0) {
            if (!stream->ReadFloat(fSourceShape.x) || !stream->ReadFloat(fSourceShape.y)
                || !stream->ReadFloat(fSourceShape.z))
                return fail(kErrorSourceShape);
        } else if (std::strcmp(word, "start_full") == 0) {
            if (!stream->ReadBool(fStartFull))
                return fail(kErrorStartFull);
        } else if (std::strcmp(word, "particle_activation") == 0) {
            if (!fActivation.ReadRecord(stream, true))
                return fail(kErrorActivation);
        } else if (std::strcmp(word, "layer_type") == 0) {
            if (!ReadSubLayer(stream))
                return fail(kErrorLayerType);
        } else if (!ReadGenericKeyword(this, stream, word)) {
            fReading = false;
            return false;
        }
    }
    fReading = false;
    SettleAfterReading();
    FinalizeSettings();
    return true;
}
