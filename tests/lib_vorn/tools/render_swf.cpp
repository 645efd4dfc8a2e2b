#include "render_swf.h"

#include <cctype>
#include <cstdio>
#include <cstring>

#include "qv_baseimage.h"
#include "render_settings.h"
#include "run_render_job.h"
#include "swf.h"
#include "vorndoc.h"

bool IsSwfPath(const char* path)
{
    const size_t n = std::strlen(path);
    if (n < 4 || path[n - 4] != '.')
        return false;
    const char* ext = path + n - 3;
    return std::tolower(static_cast<unsigned char>(ext[0])) == 's' && std::tolower(static_cast<unsigned char>(ext[1])) == 'w'
        && std::tolower(static_cast<unsigned char>(ext[2])) == 'f';
}

int RenderSwf(VornDoc& doc, int32_t first, int32_t last, const char* path)
{
    QV_BaseImage image;
    if (image.Allocate(doc.Width(), doc.Height(), 32) != 0) {
        std::printf("cannot allocate a %d x %d image\n", int(doc.Width()), int(doc.Height()));
        return 1;
    }
    SWFMovie movie = newSWFMovie();
    SWFMovie_setRate(movie, doc.Fps());
    SWFMovie_setDimension(movie, static_cast<float>(doc.Width()), static_cast<float>(doc.Height()));
    SWFMovie_setNumberOfFrames(movie, last - first + 1);
    SWFMovie_setBackground(movie, doc.fBackColor.r, doc.fBackColor.g, doc.fBackColor.b);

    RenderSettings settings;
    settings.SetDefaults();
    settings.fDoc = &doc;
    settings.fImage = &image;
    settings.fStartFrame = first;
    settings.fEndFrame = last;
    settings.fPath = path;
    settings.fSWFMovie = movie;
    const int32_t status = RunRenderJob(settings);
    int result = status != 0 ? 1 : 0;
    if (result == 0 && SWFMovie_save(movie, path, 9) < 0) {
        std::printf("cannot write the SWF movie \"%s\"\n", path);
        result = 1;
    }
    destroySWFMovie(movie);
    return result;
}
