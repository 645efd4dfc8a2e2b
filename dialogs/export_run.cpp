#include "export_run.h"

#include <algorithm>
#include <cstdio>

#include "codec_dialog_hook.h"
#include "export_formats.h"
#include "grouplayer.h"
#include "model_prefs.h"
#include "particlelayer.h"
#include "qv_baseimage.h"
#include "qv_memstream.h"
#include "qv_pixelbuffer.h"
#include "qv_raster3d.h"
#include "raster_fill.h"
#include "render_job.h"
#include "swf.h"
#include "vorn_app.h"
#include "vorndoc.h"
#include "vornlayer.h"
#include "xgraphics.h"

namespace {

// The quick preview's quality: textures, masks and smoothing without the slow effects.
constexpr int32_t kPreDrawQualityFlags = 1516;
constexpr int kSwfCompressionLevel = 6;

} // namespace

ExportRun::ExportRun(VornDoc* document, const RenderSettings& settings, QV_BaseImage* frame)
    : fDocument(document)
    , fFrame(frame)
    , fLastFrame(-1)
    , fRate(0)
    , fFrameCount(0)
    , fPrepared(false)
    , fFinished(false)
{
    CopyRenderSettings(fSettings, settings);
    fSettings.fDoc = document;
    fSettings.fImage = frame;
    fSettings.fMovieWriters = nullptr;
    fSettings.fSWFMovie = nullptr;
    fSettings.fPSDWriter = nullptr;
    fSettings.fPreviewGraphics = nullptr;
    fSettings.fRaster3D = nullptr;
    fScratch = std::make_unique<QV_BaseImage>();
    fSettings.fSupersampleImage = fScratch.get();
    fRate = document ? document->Fps() : 0;
    fFrameCount = fSettings.fEndFrame - fSettings.fStartFrame + 1;
    if (fSettings.fHalfFrameRate) {
        fRate *= 0.5f;
        fFrameCount /= 2;
        // The job steps two frames at a time; ending it at the last frame the movie counts keeps
        // the movie's length equal to the range's.
        if (fFrameCount >= 1)
            fSettings.fEndFrame = fSettings.fStartFrame + 2 * (fFrameCount - 1);
    }
    const ExportKind kind = KindOfFormat(fSettings.fFormat);
    fPrepared = kind == ExportKind::Images || kind == ExportKind::LayeredPSD;
}

ExportRun::~ExportRun()
{
    QV_String ignored;
    Finish(false, ignored);
}

bool ExportRun::AllocateFrame()
{
    if (!fDocument || !fFrame)
        return false;
    if (fSettings.fHalfSize) {
        fDocument->fWidth /= 2;
        fDocument->fHeight /= 2;
    }
    if (fFrame->Allocate(fDocument->Width(), fDocument->Height(), 32) != 0)
        return false;
    FillRaster(fFrame->buffer, fDocument->fBackColor);
    return true;
}

int32_t ExportRun::OpenMovie(void* parentWindow, bool reuseCodecChoice)
{
    QV_PixelBuffer pixels;
    if (!fFrame || fFrame->GetPixelBuffer(pixels) != 0)
        return -1;
    const int32_t kind = MovieKindOfFormat(fSettings.fFormat);
    // The dialog is asked first, so that a cancel can be told from a writer that fails.
    if (!reuseCodecChoice && GetCodecDialogHook()
        && !QV_MovieWriter::ChooseCompression(kind, parentWindow, pixels.width, pixels.height))
        return kExportCodecCancelled;
    const int32_t result = fWriter.Open(
        pixels, fSettings.fPath.CString(), fRate, std::max(fFrameCount, 1), kind, parentWindow, true);
    if (result != 0)
        return result;
    fWriterPair.fAvi = fWriter.fAvi.get();
    fWriterPair.fQt = fWriter.fQt.get();
    fSettings.fMovieWriters = &fWriterPair;
    fPrepared = true;
    return 0;
}

void ExportRun::PreDraw()
{
    QV_PixelBuffer pixels;
    if (!fDocument || !fFrame || fFrame->GetPixelBuffer(pixels) != 0)
        return;
    const int32_t remembered = fDocument->CurFrame();
    fDocument->SetCurFrame(fSettings.fStartFrame);
    {
        ScopedViewQualityFlags quality(kPreDrawQualityFlags);
        QV_BaseImage scratch;
        XGraphics graphics;
        if (scratch.Allocate(pixels.width, pixels.height, 32) == 0 && graphics.SetRaster(&scratch.buffer) == 0) {
            FillRaster(scratch.buffer, fDocument->fBackColor);
            graphics.fViewMode = QV_Graphics::kViewCentered;
            graphics.SetAntialiasing(true);
            graphics.SetSmoothing(true);
            graphics.SetBezierTolerance(10.0f);
            graphics.BeginDraw();
            // The layers' own working image, as the canvas gives them.
            QV_BaseImage work;
            QV_PixelBuffer* workPixels = work.Allocate(pixels.width, pixels.height, 32) == 0 ? &work.buffer : nullptr;
            for (int32_t i = 0; i < fDocument->CountLayers(); i++) {
                VornLayer* layer = fDocument->Layer(i);
                int32_t mode = DRAW_QUICK_PREVIEW;
                if (layer)
                    layer->Draw(fDocument, &graphics, workPixels, mode, nullptr, nullptr);
            }
            graphics.EndDraw();
        }
    }
    fDocument->SetCurFrame(remembered);
}

void ExportRun::PrepareSWFLayer(VornLayer* layer)
{
    if (!layer)
        return;
    const int32_t type = layer->LayerType();
    if (type == LT_PARTICLE && !fSettings.fReducedParticles) {
        auto* particles = static_cast<ParticleLayer*>(layer);
        int32_t total = 0;
        int32_t preview = 0;
        particles->GetNumParticles(total, preview);
        particles->SetNumParticles(total, total);
        layer->SetCurFrame(0);
    }
    if (IsGroupLayerType(type)) {
        auto* group = static_cast<GroupLayer*>(layer);
        for (int32_t i = 0; i < group->CountLayers(); i++)
            PrepareSWFLayer(group->Layer(i));
    }
}

void ExportRun::PrepareSWF()
{
    if (!fDocument || !fFrame)
        return;
    int32_t width = fDocument->Width();
    int32_t height = fDocument->Height();
    if (width > 1024 || height > 1024) {
        ClampSwfSize(width, height);
        fDocument->fWidth = width;
        fDocument->fHeight = height;
        if (fFrame->Allocate(width, height, 32) != 0)
            return;
        FillRaster(fFrame->buffer, fDocument->fBackColor);
    }
    for (int32_t i = 0; i < fDocument->CountLayers(); i++)
        PrepareSWFLayer(fDocument->Layer(i));
    SWFMovie movie = newSWFMovie();
    SWFMovie_setRate(movie, fRate);
    SWFMovie_setDimension(movie, float(fFrame->Width()), float(fFrame->Height()));
    SWFMovie_setNumberOfFrames(movie, fFrameCount);
    SWFMovie_setBackground(movie, fDocument->fBackColor.r, fDocument->fBackColor.g, fDocument->fBackColor.b);
    fSettings.fSWFMovie = movie;
    fPrepared = movie != nullptr;
}

void ExportRun::StartJob()
{
    fJob = std::make_unique<RenderJob>();
    fJob->fSettings = &fSettings;
    fJob->fNeedsSetup = true;
    fJob->fFrame = fSettings.fStartFrame;
}

bool ExportRun::Step()
{
    if (fFinished || !fPrepared)
        return false;
    if (!fJob)
        StartJob();
    return fJob->RenderFrame();
}

bool ExportRun::Failed() const
{
    return fJob && fJob->LastStatus() != 0;
}

QV_String ExportRun::FailureText() const
{
    if (!fJob)
        return "";
    QV_String text = fJob->LastError();
    if (text.IsEmpty()) {
        text = "Render error ";
        text.AppendInt(fJob->LastStatus());
    }
    return text;
}

float ExportRun::Progress() const
{
    if (!fDocument)
        return 0;
    const int32_t span = fSettings.fEndFrame - fSettings.fStartFrame + 1;
    if (span <= 0)
        return 0;
    return std::clamp(float(fDocument->CurFrame() - fSettings.fStartFrame) / float(span), 0.0f, 1.0f);
}

int32_t ExportRun::OutputFrame() const
{
    return fJob ? fJob->fFrame : fSettings.fStartFrame;
}

bool ExportRun::Finish(bool withSound, QV_String& reason)
{
    if (fFinished)
        return true;
    fFinished = true;
    // Ending the job first closes an open layered file and gives back the camera.
    fJob.reset();
    bool ok = true;
    if (fSettings.fMovieWriters) {
        QV_String sound;
        if (withSound && fDocument && fDocument->StartFrame() == fSettings.fStartFrame)
            sound = MixAudioToTempFile(fDocument, fSettings.fStartFrame, fSettings.fEndFrame);
        if (!sound.IsEmpty())
            fWriter.AddSoundtrack(sound.CString());
        if (!fWriter.Close()) {
            ok = false;
            reason = "The movie could not be completed.";
        }
        if (!sound.IsEmpty())
            std::remove(sound.CString());
        fSettings.fMovieWriters = nullptr;
    }
    if (fSettings.fSWFMovie) {
        // Level 6: half the compression time of level 9 for a file about 0.3 % larger
        // (bench/swf's BM_SaveSwfAtLevel).
        if (SWFMovie_save(fSettings.fSWFMovie, fSettings.fPath.CString(), kSwfCompressionLevel) < 0) {
            ok = false;
            reason = "The SWF file could not be written: ";
            reason.Append(SWFMovie_error(fSettings.fSWFMovie));
        }
        destroySWFMovie(fSettings.fSWFMovie);
        fSettings.fSWFMovie = nullptr;
    }
    delete fSettings.fRaster3D;
    fSettings.fRaster3D = nullptr;
    return ok;
}

VornDoc* CopyDocument(VornDoc* source)
{
    if (!source)
        return nullptr;
    QV_MemStream stream;
    if (stream.Open(2048) != 0)
        return nullptr;
    source->Write("temp file - render animation", &stream);
    stream.Rewind();
    stream.fReading = true;
    auto* copy = new VornDoc();
    // Media named relative to the document are found from its folder.
    copy->SetPath(source->Path().CString());
    if (!copy->Read(&stream)) {
        delete copy;
        return nullptr;
    }
    copy->SetPath(source->Path().CString());
    copy->SetCurFrame(source->CurFrame());
    return copy;
}
