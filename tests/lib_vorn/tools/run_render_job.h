#pragma once
#include <cstdint>

struct RenderSettings;

// Steps the frame render job over the settings' frames, from the first, to the end of the run;
// prints the job's error text when it fails and answers its status (0 when every frame went out).
int32_t RunRenderJob(RenderSettings& settings);
