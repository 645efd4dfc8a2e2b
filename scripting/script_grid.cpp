#include "script_grid.h"

namespace {

ScriptGridSource gPlainGrid;
ScriptGridSource* gGridSource = nullptr;

} // namespace

ScriptGridSource::~ScriptGridSource() = default;

bool ScriptGridSource::GridShown()
{
    return false;
}

bool ScriptGridSource::GridSnapping()
{
    return true;
}

int32_t ScriptGridSource::GridSpacing()
{
    return 20;
}

void SetScriptGridSource(ScriptGridSource* source)
{
    gGridSource = source;
}

ScriptGridSource& GetScriptGridSource()
{
    return gGridSource ? *gGridSource : gPlainGrid;
}
