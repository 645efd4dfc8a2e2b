#include "run_render_job.h"

#include <cstdio>

#include "render_job.h"
#include "render_settings.h"

int32_t RunRenderJob(RenderSettings& settings)
{
    RenderJob job;
    job.fSettings = &settings;
    job.fFrame = settings.fStartFrame;
    while (job.RenderFrame()) { }
    const int32_t status = job.LastStatus();
    if (status != 0)
        std::printf("%s\n", job.LastError().CString());
    return status;
}
