// The frame steps of the render job: frame set-up, frame end and the run's lifecycle.

#include "render_job.h"
#include "swf.h"

#include <chrono>
#include <cinttypes>
#include <cstdio>

#include "blend_tables.h"
#include "colour_filters.h"
#include "image_file.h"
#include "image_format_registry.h"
#include "layer_effects.h"
#include "qv_avi_writer.h"
#include "qv_psdwriter.h"
#include "qv_qt_movie_writer.h"
#include "qv_random.h"
#include "qv_raster3d.h"
#include "raster_alpha.h"
#include "raster_blit.h"
#include "raster_fill.h"
#include "render_settings.h"
#include "vorndoc.h"
#include "vornlayer.h"
#include "xgraphics.h"

namespace {

constexpr int32_t kEffectsMargin = 64;
constexpr int32_t kExtraSmoothMargin = 256;
constexpr int32_t kPlainMargin = 2;
constexpr float kPreviewBezierTolerance = 5;
constexpr float kRenderBezierTolerance = 2;
constexpr rgb_color kTransparent { 0, 0, 0, 0 };

uint32_t ClockSeed()
{
    return static_cast<uint32_t>(std::chrono::high_resolution_clock::now().time_since_epoch().count());
}

} // namespace

RenderJob::RenderJob()
    : fSettings(nullptr)
    , fGraphics(new XGraphics())
    , fNeedsSetup(true)
    , fUsesLayerImage(false)
    , fStereoUndecided(true)
    , fLayerIndex(0)
    , fItemIndex(0)
    , fFrame(0)
    , fStereoPass(-1)
    , fCameraHadKey(false)
    , fSavedCamera { 0, 0, 0 }
    , fStereoAxis { 0, 0, 0 }
    , fQuickPass(false)
    , fPreviewIntoBuffer(false)
    , fCameraShifted(false)
    , fRunOver(false)
    , fImageFileWritten(false)
    , fErrorStatus(0)
    , fSeededThread(std::this_thread::get_id())
    , fSeed(ClockSeed())
{
    BuildBlendTables();
    QV_SRand(fSeed);
}

RenderJob::~RenderJob()
{
    if (!fRunOver && fSettings)
        EndRun();
    delete fGraphics;
}

bool RenderJob::Fail(int32_t status, const char* text, const char* subject)
{
    // The file of an earlier frame still being written may have failed before this.
    SettleImageFile();
    if (fErrorStatus == 0) {
        fErrorStatus = status;
        fErrorText = text;
        if (subject && *subject) {
            fErrorText.Append(" \"");
            fErrorText.Append(subject);
            fErrorText.Append("\"");
        }
    }
    EndRun();
    return false;
}

void RenderJob::NoteImageWriteFailure(int32_t status, const char* path)
{
    if (fErrorStatus != 0)
        return;
    fErrorStatus = status;
    fErrorText = status == kImageFileNoCodec ? "No image writer for the format of" : "Cannot write the image file";
    fErrorText.Append(" \"");
    fErrorText.Append(path);
    fErrorText.Append("\"");
}

bool RenderJob::SettleImageFile()
{
    QV_String path;
    const int32_t status = fImageWriter.Finish(path);
    if (status == 0)
        return true;
    NoteImageWriteFailure(status, path.CString());
    return false;
}

bool RenderJob::CollectImageFile()
{
    if (SettleImageFile())
        return true;
    EndRun();
    return false;
}

void RenderJob::EndRun()
{
    fRunOver = true;
    // A run stopped or ended still finishes the file under way, and reports it when it failed.
    SettleImageFile();
    delete fSettings->fPreviewGraphics;
    fSettings->fPreviewGraphics = nullptr;
    if (fSettings->fPSDWriter) {
        const int32_t status = fSettings->fPSDWriter->Finish();
        delete fSettings->fPSDWriter;
        fSettings->fPSDWriter = nullptr;
        if (status != 0 && fErrorStatus == 0) {
            fErrorStatus = status;
            fErrorText = "Cannot write the PSD file";
        }
    }
    if (fCameraShifted)
        RestoreCamera();
}

bool RenderJob::OutputRaster(QV_PixelBuffer& out) const
{
    return fSettings->fImage && fSettings->fImage->GetPixelBuffer(out) == 0;
}

bool RenderJob::RenderFrame()
{
    if (!fSettings || fRunOver)
        return false;
    if (fSeededThread != std::this_thread::get_id()) {
        fSeededThread = std::this_thread::get_id();
        QV_SRand(fSeed);
    }
    // A numbered file that failed while this frame rendered ends the run now.
    if (fImageWriter.Failed())
        return CollectImageFile();
    VornDoc* doc = fSettings->fDoc;
    QV_PixelBuffer output;
    if (!doc || !OutputRaster(output))
        return Fail(kRenderJobNoInput, "Nothing to render: no document or no output image", nullptr);

    if (fStereoUndecided) {
        fStereoUndecided = false;
        const bool stereo = !fSettings->fSWFMovie && doc->fAllow3D && doc->fStereoSeparation > 0
            && fSettings->fFormat != kRenderFormatPSD;
        fStereoPass = stereo ? 0 : -1;
        fQuickPass = fSettings->fQuickPreview && fSettings->fFormat != kRenderFormatPSD;
    }
    if (fNeedsSetup && !SetUpFrame())
        return false;
    if (RenderNextLayer())
        return true;
    return FinishFrame();
}

bool RenderJob::SetUpFrame()
{
    RenderSettings& s = *fSettings;
    VornDoc* doc = s.fDoc;
    fNeedsSetup = false;
    if (s.fFormat == PngWriterIndex || s.fFormat == kRenderFormatPSD)
        s.fNoPremultiply = true;

    QV_PixelBuffer output;
    OutputRaster(output);
    FillRaster(output, s.fNoPremultiply ? kTransparent : doc->fBackColor);
    if (s.fRaster3D)
        s.fRaster3D->ClearDepth();

    // The document only moves forward, one frame at a time, so that stateful layers (particles,
    // dynamics) see every frame on the way.
    for (int32_t frame = doc->CurFrame() + 1; frame <= fFrame; frame++)
        doc->SetCurFrame(frame);

    const bool anyEffects = s.fShapeEffects || s.fLayerEffects;
    const bool intoOutput = s.fSWFMovie || (fQuickPass && !anyEffects);
    fPreviewIntoBuffer = false;
    if (!intoOutput) {
        s.fMargin = anyEffects ? (s.fExtraSmooth ? kExtraSmoothMargin : kEffectsMargin) : kPlainMargin;
        if (!AllocateBuffers(output.width, output.height))
            return false;
        // A quick preview draws with the editor's drawing into the buffer, which joins the
        // output at the frame end.
        if (fQuickPass) {
            QV_PixelBuffer buffer;
            fBufferImage.GetPixelBuffer(buffer);
            FillRaster(buffer, kTransparent);
            fPreviewIntoBuffer = true;
        }
    }
    SetUpGraphics(intoOutput);

    fLayerIndex = 0;
    fItemIndex = 0;
    fUsesLayerImage = false;

    if (fStereoPass >= 0) {
        if (fStereoPass > 1)
            fStereoPass = 0;
        ShiftCamera();
    }
    if (s.fFormat == kRenderFormatPSD && !OpenPSDFile())
        return false;
    fGraphics->BeginDraw();
    return true;
}

bool RenderJob::AllocateBuffers(int32_t width, int32_t height)
{
    const int32_t margin = fSettings->fMargin;
    const int64_t w = int64_t(width) + 2 * int64_t(margin);
    const int64_t h = int64_t(height) + 2 * int64_t(margin);
    int32_t status = QV_RESULT_BAD_SIZE;
    if (w <= INT32_MAX && h <= INT32_MAX) {
        status = fBufferImage.Allocate(int32_t(w), int32_t(h), 32);
        if (status == 0)
            status = fScratchImage.Allocate(int32_t(w), int32_t(h), 32);
    }
    if (status != 0) {
        char size[64];
        std::snprintf(size, sizeof size, "%" PRId64 " x %" PRId64, w, h);
        return Fail(status, "Cannot allocate the render buffers of", size);
    }
    return true;
}

void RenderJob::SetUpGraphics(bool intoOutput)
{
    RenderSettings& s = *fSettings;
    XGraphics& g = *fGraphics;
    QV_PixelBuffer target;
    if (intoOutput) {
        s.fMargin = 0;
        OutputRaster(target);
        g.fZoom = 1;
    } else {
        fBufferImage.GetPixelBuffer(target);
        const int32_t height = target.height - 2 * s.fMargin;
        g.fZoom = float(height) / float(target.height);
        if (s.fPreviewGraphics) {
            s.fPreviewGraphics->fViewMode = QV_Graphics::kViewCentered;
            s.fPreviewGraphics->BeginDraw();
        }
    }
    g.SetRaster(&target);
    g.fViewMode = QV_Graphics::kViewCentered;
    g.fPanX = 0;
    g.fPanY = 0;
    g.fRotation = 0;
    g.SetAntialiasing(s.fAntialias);
    g.SetBezierTolerance(fQuickPass ? kPreviewBezierTolerance : kRenderBezierTolerance);
    g.fSWFTarget = s.fSWFMovie;
}

bool RenderJob::OpenPSDFile()
{
    RenderSettings& s = *fSettings;
    VornDoc* doc = s.fDoc;
    const QV_String path = NumberedFileName(s, fFrame);
    QV_PSDWriter* writer = new QV_PSDWriter();
    const int32_t status = writer->Open(path.CString());
    if (status != 0) {
        delete writer;
        return Fail(status, "Cannot open the PSD file", path.CString());
    }
    s.fPSDWriter = writer;
    writer->WriteHeader(doc->Width(), doc->Height());
    // One record per layer image the frame will write, in the same (depth) order, so that the
    // n-th record describes the n-th layer's pixels. Without layer effects the frame is composited
    // plainly, and the records say so.
    for (int32_t i = 0; i < doc->CountLayers(); i++) {
        VornLayer* layer = RenderedLayerAt(i);
        if (!layer || layer->CountRenderItems() < 1)
            continue;
        const bool effects = s.fLayerEffects;
        writer->AddLayer(layer->Name().CString(), effects ? PSDBlendKey(layer->BlendingMode()) : "norm",
            effects ? AlphaByte(layer->fAlpha.value) : 255);
    }
    return true;
}

bool RenderJob::FinishFrame()
{
    RenderSettings& s = *fSettings;
    VornDoc* doc = s.fDoc;
    fGraphics->EndDraw();
    QV_PixelBuffer output;
    OutputRaster(output);

    if (fPreviewIntoBuffer) {
        QV_PixelBuffer buffer;
        fBufferImage.GetPixelBuffer(buffer);
        BlitRasterAlpha(buffer, output, -s.fMargin, -s.fMargin, true);
    }

    if (fStereoPass == 0) {
        const int32_t status = fLeftEyeImage.Allocate(output.width, output.height, 32);
        if (status != 0)
            return Fail(status, "Cannot allocate the left-eye image", nullptr);
        QV_PixelBuffer left;
        fLeftEyeImage.GetPixelBuffer(left);
        BlitRaster(output, left, 0, 0);
        fStereoPass = 1;
        fNeedsSetup = true;
        return true;
    }
    if (fStereoPass == 1) {
        CompositeLeftEye();
        fStereoPass = 2;
        RestoreCamera();
    }

    if (s.fNoPremultiply)
        UnpremultiplyRaster(output);
    if (doc->fNoiseGrain > 0)
        AddNoise(output, doc->fNoiseGrain);
    if (s.fNTSCSafe)
        ApplyNTSCSafeColors();
    if (!WriteFrameOutput())
        return false;
    return NextFrame();
}

bool RenderJob::WriteFrameOutput()
{
    RenderSettings& s = *fSettings;
    const MovieWriterPair* movie = s.fMovieWriters;
    if (movie && (movie->fAvi || movie->fQt)) {
        QV_PixelBuffer output;
        OutputRaster(output);
        if (movie->fAvi && !movie->fAvi->WriteFrame(output))
            return Fail(kImageFileWriteFailed, "Cannot write the frame to the movie", s.fPath.CString());
        if (movie->fQt && !movie->fQt->WriteFrame(output))
            return Fail(kImageFileWriteFailed, "Cannot write the frame to the movie", s.fPath.CString());
        return true;
    }
    if (s.fSWFMovie) {
        EndSWFFrame();
        const char* problem = SWFMovie_error(s.fSWFMovie);
        if (problem && *problem) {
            QV_String text = "The SWF movie cannot be written: ";
            text.Append(problem);
            return Fail(kRenderJobSwfTooLarge, text.CString(), nullptr);
        }
        return true;
    }
    if (s.fPSDWriter) {
        QV_PixelBuffer composite;
        OutputRaster(composite);
        const int32_t status = s.fPSDWriter->Finish(&composite);
        delete s.fPSDWriter;
        s.fPSDWriter = nullptr;
        if (status != 0)
            return Fail(status, "Cannot write the PSD file", NumberedFileName(s, fFrame).CString());
        return true;
    }
    if (s.fPath.IsEmpty())
        return true;
    const QV_String path = NumberedFileName(s, fFrame);
    // The previous frame's file first: a failure there is the run's first.
    if (!CollectImageFile())
        return false;
    // Without the memory for the copy the worker writes from, the file is written here.
    if (fImageFileWritten && fImageWriter.Start(*s.fImage, path.CString(), s.fFormat) == 0)
        return true;
    const int32_t status = SaveImageFile(*s.fImage, path.CString(), s.fFormat);
    if (status != 0) {
        NoteImageWriteFailure(status, path.CString());
        EndRun();
        return false;
    }
    fImageFileWritten = true;
    return true;
}

void RenderJob::EndSWFFrame()
{
    RenderSettings& s = *fSettings;
    SWFMovie_nextFrame(s.fSWFMovie);
    QV_ArrayList& items = fGraphics->fSWFItems;
    for (int32_t i = 0; i < items.fCount; i++)
        SWFMovie_remove(s.fSWFMovie, static_cast<SwfDisplayItem*>(items.fItems[i]));
    items.fCount = 0;
    // The extra frame follows the last frame rendered, which with half the frame rate may stand
    // before the end of the range.
    const int32_t step = s.fHalfFrameRate ? 2 : 1;
    const bool last = !(s.fEndFrame > s.fStartFrame && fFrame + step <= s.fEndFrame);
    if (last && s.fDoc->fExtraSwfFrame)
        SWFMovie_nextFrame(s.fSWFMovie);
}

bool RenderJob::NextFrame()
{
    RenderSettings& s = *fSettings;
    if (s.fEndFrame > s.fStartFrame && fFrame < s.fEndFrame) {
        fFrame += s.fHalfFrameRate ? 2 : 1;
        if (fFrame <= s.fEndFrame) {
            fNeedsSetup = true;
            return true;
        }
    }
    EndRun();
    return false;
}
