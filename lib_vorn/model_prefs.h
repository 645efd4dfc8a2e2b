#pragma once

#include <cstdint>

#include "qv_color.h"

// The application's preferences as the model sees them: read by their settings key each time
// they are needed, so a change in the preferences dialog takes effect on the next use. The
// application shell installs its preference store as the source; without one (tools, tests),
// or for a key the source does not hold, every read answers the caller's default.
class ModelPrefSource {
public:
    virtual ~ModelPrefSource();
    // True and the value when the key is held.
    virtual bool GetInt(const char* key, int32_t& value) const = 0;
    // Real-valued preferences; a source that holds none answers false.
    virtual bool GetFloat(const char* key, float& value) const;
    // Colour preferences; a source that holds none answers false.
    virtual bool GetColor(const char* key, rgb_color& value) const;
};

// Null returns to the defaults. The source is not owned.
void SetModelPrefSource(const ModelPrefSource* source);

int32_t ModelPrefInt(const char* key, int32_t fallback);
float ModelPrefFloat(const char* key, float fallback);
// A boolean preference is held as an integer: non-zero is true.
bool ModelPrefBool(const char* key, bool fallback);
rgb_color ModelPrefColor(const char* key, rgb_color fallback);

// "QualityFlags" as the application holds it after reading: the stored default 1646 with the
// bits 0x101 cleared and 0x21E set.
constexpr int32_t kDefaultViewQualityFlags = 1662;
// The view quality flags of the editor (bit 2 editing overlays, 4 fills, 8 outlines, ...), or
// those of a ScopedViewQualityFlags alive on the calling thread.
int32_t ViewQualityFlags();

// Puts other view quality flags in effect for the calling thread while it lives: a render thread
// drawing a quick preview gets its own drawing options without touching the editor's. Nests;
// the flags before it return when it ends.
class ScopedViewQualityFlags {
public:
    explicit ScopedViewQualityFlags(int32_t flags);
    ~ScopedViewQualityFlags();
    ScopedViewQualityFlags(const ScopedViewQualityFlags&) = delete;
    ScopedViewQualityFlags& operator=(const ScopedViewQualityFlags&) = delete;

private:
    bool fHadOverride;
    int32_t fPrevious;
};
