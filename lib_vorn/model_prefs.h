#pragma once

#include <cstdint>

// The application's preferences as the model sees them: read by their settings key each time
// they are needed, so a change in the preferences dialog takes effect on the next use. The
// application shell installs its preference store as the source; without one (tools, tests),
// or for a key the source does not hold, every read answers the caller's default.
class ModelPrefSource {
public:
    virtual ~ModelPrefSource();
    // True and the value when the key is held.
    virtual bool GetInt(const char* key, int32_t& value) const = 0;
};

// Null returns to the defaults. The source is not owned.
void SetModelPrefSource(const ModelPrefSource* source);

int32_t ModelPrefInt(const char* key, int32_t fallback);
