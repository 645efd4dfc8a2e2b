#include "model_prefs.h"

namespace {

const ModelPrefSource* gPrefSource = nullptr;

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
