#include "render_movie.h"

#include <cstdio>
#include <string_view>
#include <strings.h>

#include "media_presence.h"
#include "qv_avi_writer.h"
#include "qv_baseimage.h"
#include "qv_movie_writer.h"
#include "qv_path.h"
#include "qv_qt_movie_writer.h"
#include "qv_temp_file.h"
#include "render_job.h"
#include "render_settings.h"
#include "run_render_job.h"
#include "vorndoc.h"

namespace {

struct CodecName {
    const char* code;
    const char* encoder;
};

constexpr CodecName kCodecNames[] = {
    { "mp4v", "mpeg4" },
    { "jpeg", "mjpeg" },
    { "png ", "png" },
    { "rle ", "qtrle" },
};

// The four-character code (padded with spaces) and the encoder of a codec name; the encoder is
// the name itself when no code matches.
void ResolveCodec(const char* name, char code[5], const char*& encoder)
{
    std::snprintf(code, 5, "%-4.4s", name);
    encoder = name;
    for (const CodecName& c : kCodecNames) {
        if (strcasecmp(c.code, code) == 0 || strcasecmp(c.encoder, name) == 0) {
            std::snprintf(code, 5, "%s", c.code);
            encoder = c.encoder;
        }
    }
}

int32_t KindOf(const char* path)
{
    QV_String extension = QV_Path(path).Extension();
    extension.ToLower();
    if (extension == "avi")
        return kMovieKindAvi;
    if (extension == "mov")
        return kMovieKindQuickTime;
    return -1;
}

} // namespace

bool IsMoviePath(const char* path)
{
    return KindOf(path) >= 0;
}

int RenderMovie(VornDoc& doc, int32_t first, int32_t last, const char* path, const char* codec, const char* sound)
{
    // The movie libraries are linked in: MOV is always there.
    gQuickTimePresent = true;
    const int32_t kind = KindOf(path);
    if (codec) {
        char code[5];
        const char* encoder = nullptr;
        ResolveCodec(codec, code, encoder);
        if (kind == kMovieKindAvi) {
            gAviOptions = AviCompression();
            gAviOptions.fEncoder = encoder;
            gAviOptionsValid = true;
        } else {
            delete gQtSettings;
            gQtSettings = new QtCompression();
            gQtSettings->fCodec = FourCharCode(code);
        }
    }
    QV_BaseImage image;
    if (image.Allocate(doc.Width(), doc.Height(), 32) != 0) {
        std::printf("cannot allocate a %d x %d image\n", int(doc.Width()), int(doc.Height()));
        return 1;
    }
    QV_PixelBuffer frame;
    image.GetPixelBuffer(frame);
    QV_MovieWriter writer;
    const int32_t opened = writer.Open(frame, path, doc.Fps(), last - first + 1, kind, nullptr, true);
    if (opened != 0) {
        std::printf(opened == -2 ? "the compression does not accept the frames of %s\n" : "cannot open the movie %s\n",
            path);
        return 1;
    }
    MovieWriterPair pair { writer.fAvi.get(), writer.fQt.get() };
    RenderSettings settings;
    settings.SetDefaults();
    settings.fDoc = &doc;
    settings.fImage = &image;
    settings.fStartFrame = first;
    settings.fEndFrame = last;
    settings.fPath = path;
    // Movie formats are numbered after the image writers.
    settings.fFormat = kRenderFormatPSD + 1 + kind;
    settings.fMovieWriters = &pair;
    const int32_t status = RunRenderJob(settings);
    if (status != 0)
        return 1;
    // Without a sound file the document's own audio, mixed over the rendered range, goes in.
    QV_String mixed;
    if (!sound || !*sound) {
        mixed = TempFileName();
        mixed.Append(".wav");
        if (doc.MixdownAudio(first, last, mixed.CString()))
            sound = mixed.CString();
    }
    if (sound && *sound && !writer.AddSoundtrack(sound))
        std::printf("the sound %s was not added\n", sound);
    if (!mixed.IsEmpty())
        std::remove(mixed.CString());
    if (!writer.Close()) {
        std::printf("cannot write the movie %s\n", path);
        return 1;
    }
    return 0;
}

bool TakeMovieOptions(int& argc, char** argv, const char*& codec, const char*& sound)
{
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--codec" || arg == "--sound") {
            if (i + 1 >= argc)
                return false;
            (arg == "--codec" ? codec : sound) = argv[++i];
            continue;
        }
        argv[kept++] = argv[i];
    }
    argc = kept;
    return true;
}
