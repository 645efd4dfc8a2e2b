#pragma once

#include <cstdint>
#include <memory>

#include "qv_movie_writer.h"
#include "qv_string.h"
#include "render_settings.h"

class QV_BaseImage;

// OpenMovie's answer when the user cancelled the codec dialog: nothing to report.
constexpr int32_t kExportCodecCancelled = -3;
class RenderJob;
class VornDoc;

// One export of a document into a movie, an SWF file, numbered image files or a layered file,
// step by step, so that the worker thread that drives it can stop between steps. It touches no
// window: the threads of the export and batch windows, the benchmark and the tests drive it
// alike. The document and the frame image are the caller's; the settings are copied.
class ExportRun {
public:
    ExportRun(VornDoc* document, const RenderSettings& settings, QV_BaseImage* frame);
    ~ExportRun();
    ExportRun(const ExportRun&) = delete;
    ExportRun& operator=(const ExportRun&) = delete;

    // The frame image at the document's size (halved for half size), filled with its
    // background; false when it cannot be had.
    bool AllocateFrame();
    // Movies: the writer for the frames; 0, or the writer's failure (-1 cannot open, -2 the
    // compression refuses the frames, kExportCodecCancelled). The codec dialog is shown unless
    // reuseCodecChoice.
    int32_t OpenMovie(void* parentWindow, bool reuseCodecChoice);
    // Movies: the first frame drawn once as the editor's quick preview draws it, before the
    // writer opens, so that pictures, movies and layer scripts are loaded and have run by the
    // time the render starts. The document's frame is left as it was.
    void PreDraw();
    // SWF: the frame clamped to 1024 pixels, particle layers with all their particles unless
    // reduced, and the movie made.
    void PrepareSWF();
    // Numbered images and layered files need nothing more. True when the kind needs nothing or
    // its output is ready.
    bool Prepared() const { return fPrepared; }

    // One render step; false when the run is over (completed or failed).
    bool Step();
    // The job stopped on a failure (its status and reason), not at the end of the range.
    bool Failed() const;
    QV_String FailureText() const;
    // The share of the range rendered, 0 to 1.
    float Progress() const;
    // The frame the job is on (changes once per output frame).
    int32_t OutputFrame() const;

    // Ends the output: the document's sound mixed into a movie when withSound and the export
    // starts at the document's start frame (the temporary sound file removed once the movie is
    // closed), the movie closed, the SWF saved. False with the reason when the file could not be
    // completed. Safe to call again.
    bool Finish(bool withSound, QV_String& reason);
    // The movie frames per second and count after halving.
    float Rate() const { return fRate; }
    int32_t FrameCount() const { return fFrameCount; }

    VornDoc* fDocument;
    RenderSettings fSettings;
    QV_BaseImage* fFrame;
    QV_MovieWriter fWriter;
    MovieWriterPair fWriterPair;
    std::unique_ptr<RenderJob> fJob;
    // Scratch of supersampled image and 3D layers, the run's own.
    std::unique_ptr<QV_BaseImage> fScratch;
    int32_t fLastFrame;
    float fRate;
    int32_t fFrameCount;
    bool fPrepared;
    bool fFinished;

private:
    void PrepareSWFLayer(class VornLayer* layer);
    void StartJob();
};

// A private copy of the document made through a memory stream, for a render that must not see
// later edits; null when the copy cannot be read back.
VornDoc* CopyDocument(VornDoc* source);
