#pragma once

#include <cstdint>
#include <thread>

#include "background_image_writer.h"
#include "qv_baseimage.h"
#include "qv_string.h"
#include "qv_vector.h"

class RenderSettings;
class VornDoc;
class VornLayer;
class XGraphics;
struct QV_PixelBuffer;

// Status of a run that stopped for want of its inputs (settings without a document or an output
// image with pixels); the other failures carry the status of the operation that failed.
constexpr int32_t kRenderJobNoInput = -4;
// Status of an SWF movie that has passed one of the format's limits, so that no file could hold it.
constexpr int32_t kRenderJobSwfTooLarge = -8;

// Turns a document into output frames in small steps, so that a caller on a worker thread can
// test its stop request and repaint a progress view between them: each RenderFrame call renders
// one render item of one layer, or finishes a frame (see RenderSettings for the options).
//
// The caller fills the settings, sets fSettings and fFrame = fStartFrame, then calls RenderFrame
// until it answers false. A run that ends early records its first failure (LastError,
// LastStatus). Ending or destroying the job mid-frame finishes and closes an open PSD file and
// puts back the camera a stereo pass shifted, so the document must outlive the job.
//
// The steps live in render_job.cpp (frame set-up, frame end, lifecycle), render_job_layers.cpp
// (one layer step) and render_job_output.cpp (file names, PSD records, colour mapping, stereo).
class RenderJob {
public:
    RenderJob();
    ~RenderJob();
    RenderJob(const RenderJob&) = delete;
    RenderJob& operator=(const RenderJob&) = delete;

    // One step; true asks for another call, false means the run is over (all frames done, a
    // failure, or no settings).
    bool RenderFrame();
    // One layer step of the current frame; false when no layer is left.
    bool RenderNextLayer();
    // Maps the output image's colours into the NTSC-safe range 16..235; alpha stays.
    void ApplyNTSCSafeColors();

    // The first failure of the run: empty text and status 0 while none happened.
    const QV_String& LastError() const { return fErrorText; }
    int32_t LastStatus() const { return fErrorStatus; }

    // The numbered file name of the current frame for the settings' path.
    static QV_String NumberedFileName(const RenderSettings& settings, int32_t frame);
    // The four-character PSD blend key of a layer blend mode.
    static const char* PSDBlendKey(int32_t blendMode);

    RenderSettings* fSettings;
    // The frame plus fMargin on every side: the graphics context's raster.
    QV_BaseImage fBufferImage;
    QV_BaseImage fLayerImage;
    XGraphics* fGraphics;
    // The effects' scratch raster, the size of fBufferImage.
    QV_BaseImage fScratchImage;
    bool fNeedsSetup;
    bool fUsesLayerImage;
    bool fStereoUndecided;
    int32_t fLayerIndex;
    int32_t fItemIndex;
    int32_t fFrame;
    // -1 no stereo; 0 left eye; 1 right eye; 2 frame done.
    int32_t fStereoPass;
    bool fCameraHadKey;
    QV_Vector3 fSavedCamera;
    QV_Vector3 fStereoAxis;
    QV_BaseImage fLeftEyeImage;

private:
    bool SetUpFrame();
    bool AllocateBuffers(int32_t width, int32_t height);
    void SetUpGraphics(bool intoOutput);
    bool OpenPSDFile();
    bool FinishFrame();
    bool WriteFrameOutput();
    // The movie advances a frame and loses what the layers added for it.
    void EndSWFFrame();
    bool NextFrame();
    void ShiftCamera();
    void RestoreCamera();
    void CompositeLeftEye();
    void FinishLayerImage(VornLayer* layer);
    // The layer at the depth index when it renders at all (visible, on at its frame, not
    // edit-only).
    VornLayer* RenderedLayerAt(int32_t depthIndex);
    bool OutputRaster(QV_PixelBuffer& out) const;
    // Records the first failure, ends the run and answers false.
    bool Fail(int32_t status, const char* text, const char* subject);
    // Records the failure of a numbered image file's write as the run's first failure.
    void NoteImageWriteFailure(int32_t status, const char* path);
    // Waits for the numbered image file being written; false, with its failure recorded, when
    // its write failed.
    bool SettleImageFile();
    // The same, and a failed write ends the run.
    bool CollectImageFile();
    // Releases what the run holds: the preview context, an open PSD writer (finished first), a
    // shifted camera.
    void EndRun();

    // Whether this run draws with the editor's quick drawing: a quick preview, except into a
    // layered file, which needs every layer's pixels as a full run renders them.
    bool fQuickPass;
    // Whether the quick preview draws into fBufferImage rather than straight into the output.
    bool fPreviewIntoBuffer;
    bool fCameraShifted;
    bool fRunOver;
    // Numbered image files after the run's first are written while the next frame renders; the
    // first is written before it, so that a target that cannot be written at all ends the run
    // after one frame.
    BackgroundImageWriter fImageWriter;
    bool fImageFileWritten;
    int32_t fErrorStatus;
    QV_String fErrorText;
    // Each thread has its own generator: the grain of a job run on another thread than the one
    // that made it needs that thread seeded too.
    std::thread::id fSeededThread;
    uint32_t fSeed;
};
