// render_frames DOC FIRST LAST OUT.EXT [WIDTH HEIGHT] [--codec NAME] [--sound FILE]: reads the
// document DOC and renders frames FIRST to LAST through the frame render job's numbered output
// (OUT0001.EXT, ...), at the document's size unless WIDTH and HEIGHT are given. The extension
// chooses the writer: png, jpg, bmp, tga or psd (a layered file per frame); avi and mov make one
// movie instead (see render_movie.h), with the options --codec NAME and --sound FILE, and swf one
// SWF movie (see render_swf.h); any other is refused. A failure prints the reader's or the job's error text and exits 1. The tests' way
// to look at the renders of documents made outside the project; not installed.

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "image_format_registry.h"
#include "media_presence.h"
#include "qv_baseimage.h"
#include "older_document.h"
#include "older_document_hook.h"
#include "read_document.h"
#include "render_job.h"
#include "render_movie.h"
#include "render_settings.h"
#include "render_swf.h"
#include "run_render_job.h"
#include "shape_style_factory.h"
#include "vorndoc.h"

namespace {

// The image output formats by file extension; movies go through render_movie, SWF movies
// through render_swf.
struct OutputKind {
    const char* extension;
    int32_t (*format)();
};

const OutputKind kOutputKinds[] = {
    { "png", [] { return PngWriterIndex; } },
    { "jpg", [] { return JpegWriterIndex; } },
    { "jpeg", [] { return JpegWriterIndex; } },
    { "bmp", [] { return BmpWriterIndex; } },
    { "tga", [] { return TargaWriterIndex; } },
    { "psd", [] { return kRenderFormatPSD; } },
};

// The format id for the output path's extension (case aside), or -1.
int32_t OutputFormat(const char* path)
{
    const char* slash = std::strrchr(path, '/');
    const char* point = std::strrchr(slash ? slash : path, '.');
    if (!point)
        return -1;
    std::string extension(point + 1);
    for (char& c : extension)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    for (const OutputKind& kind : kOutputKinds) {
        if (extension == kind.extension)
            return kind.format();
    }
    return -1;
}

bool ParseInt(const char* text, long low, long high, int32_t& out)
{
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || value < low || value > high)
        return false;
    out = int32_t(value);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    int32_t first = 0;
    int32_t last = 0;
    int32_t width = 0;
    int32_t height = 0;
    const char* codec = nullptr;
    const char* sound = nullptr;
    const bool optionsRead = TakeMovieOptions(argc, argv, codec, sound);
    if (!optionsRead || (argc != 5 && argc != 7) || !ParseInt(argv[2], 0, 1000000, first)
        || !ParseInt(argv[3], 0, 1000000, last) || last < first
        || (argc == 7 && (!ParseInt(argv[5], 1, 30000, width) || !ParseInt(argv[6], 1, 30000, height)))) {
        std::fprintf(stderr,
            "usage: render_frames DOC FIRST LAST OUT.EXT [WIDTH HEIGHT] [--codec NAME] [--sound FILE]\n");
        return 2;
    }
    // The image codecs and the shape effects as the application registers them at start-up.
    ImageFormatRegistry::Init();
    // Movie layers read their frames through the movie libraries.
    gQuickTimePresent = true;
    RegisterShapeStyles();
    // Older documents open through the converter, as in the program.
    SetOlderDocumentConverter(vorn_v4::ConvertOlderDocument);
    const int32_t format = OutputFormat(argv[4]);
    if (format < 0 && !IsMoviePath(argv[4]) && !IsSwfPath(argv[4])) {
        std::printf(
            "cannot write \"%s\": the output name must end in .png, .jpg, .bmp, .tga, .psd, .avi, .mov or .swf\n",
            argv[4]);
        return 1;
    }

    VornDoc* doc = ReadDocument(argv[1]);
    if (!doc)
        return 1;
    if (argc == 7 && !doc->SetShape(width, height)) {
        std::printf("cannot render at %d x %d\n", int(width), int(height));
        delete doc;
        return 1;
    }
    if (IsSwfPath(argv[4])) {
        const int result = RenderSwf(*doc, first, last, argv[4]);
        delete doc;
        return result;
    }
    if (IsMoviePath(argv[4])) {
        const int result = RenderMovie(*doc, first, last, argv[4], codec, sound);
        delete doc;
        return result;
    }

    QV_BaseImage image;
    if (image.Allocate(doc->Width(), doc->Height(), 32) != 0) {
        std::printf("cannot allocate a %d x %d image\n", int(doc->Width()), int(doc->Height()));
        delete doc;
        return 1;
    }
    RenderSettings settings;
    settings.SetDefaults();
    settings.fDoc = doc;
    settings.fImage = &image;
    settings.fStartFrame = first;
    settings.fEndFrame = last;
    settings.fPath = argv[4];
    settings.fFormat = format;

    const int32_t status = RunRenderJob(settings);
    delete doc;
    return status != 0 ? 1 : 0;
}
