#include "model_prefs.h"

namespace {

const ModelPrefSource* gPrefSource = nullptr;
thread_local bool tOverrideActive = false;
thread_local int32_t tOverrideFlags = 0;

} // namespace

ModelPrefSource::~ModelPrefSource() = default;

void SetModelPrefSource(const ModelPrefSource* source)
{
    gPrefSource = source;
}

int32_t ModelPrefInt(const char* key, int32_t fallback)
{
    int32_t value;
    if (gPrefSource && gPrefSource->GetInt(key, value))
        return value;
    return fallback;
}

bool ModelPrefSource::GetFloat(const char*, float&) const
{
    return false;
}

float ModelPrefFloat(const char* key, float fallback)
{
    float value;
    if (gPrefSource && gPrefSource->GetFloat(key, value))
        return value;
    return fallback;
}

bool ModelPrefSource::GetColor(const char*, rgb_color&) const
{
    return false;
}

rgb_color ModelPrefColor(const char* key, rgb_color fallback)
{
    rgb_color value;
    if (gPrefSource && gPrefSource->GetColor(key, value))
        return value;
    return fallback;
}

bool ModelPrefBool(const char* key, bool fallback)
{
    return ModelPrefInt(key, fallback ? 1 : 0) != 0;
}

int32_t ViewQualityFlags()
{
    if (tOverrideActive)
        return tOverrideFlags;
    return ModelPrefInt("QualityFlags", kDefaultViewQualityFlags);
}

ScopedViewQualityFlags::ScopedViewQualityFlags(int32_t flags)
    : fHadOverride(tOverrideActive)
    , fPrevious(tOverrideFlags)
{
    tOverrideActive = true;
    tOverrideFlags = flags;
}

ScopedViewQualityFlags::~ScopedViewQualityFlags()
{
    tOverrideActive = fHadOverride;
    tOverrideFlags = fPrevious;
}
