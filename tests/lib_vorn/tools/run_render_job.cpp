#include "run_render_job.h"

#include <cstdio>

#include "qv_baseimage.h"
#include "qv_raster3d.h"
#include "render_job.h"
#include "render_settings.h"

int32_t RunRenderJob(RenderSettings& settings)
{
    // Image and 3D layers render antialiased through this scratch image; the first 3D layer makes
    // the run's depth rasteriser, which is the caller's to delete.
    QV_BaseImage supersample;
    const bool ownScratch = !settings.fSupersampleImage;
    if (ownScratch)
        settings.fSupersampleImage = &supersample;
    RenderJob job;
    job.fSettings = &settings;
    job.fFrame = settings.fStartFrame;
    while (job.RenderFrame()) { }
    const int32_t status = job.LastStatus();
    if (status != 0)
        std::printf("%s\n", job.LastError().CString());
    delete settings.fRaster3D;
    settings.fRaster3D = nullptr;
    if (ownScratch)
        settings.fSupersampleImage = nullptr;
    return status;
}
