// The image layer's class: the picture or movie, its timing, shape and tracking points.

#include "imagelayer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

#include "bone_parent.h"
#include "channelinfo.h"
#include "console_sink.h"
#include "dither.h"
#include "document_path.h"
#include "grouplayer.h"
#include "image_file.h"
#include "media_path.h"
#include "qv_app.h"
#include "raster_alpha.h"
#include "raster_blit.h"
#include "resource_images.h"
#include "swf.h"
#include "vorndoc.h"
#include "xgraphics.h"

namespace {

constexpr int32_t kNoMovieFrame = -1000000;

int32_t RoundHalfAway(double v)
{
    if (!std::isfinite(v))
        return 0;
    return int32_t(std::clamp(std::round(v), double(INT32_MIN), double(INT32_MAX)));
}

bool BoneToolIsCurrent(const char* tool)
{
    for (const char* name : { "QV_ManipulateBones", "QV_OffsetBone", "QV_BoneStrength" })
        if (std::strcmp(tool, name) == 0)
            return true;
    return false;
}

// Fills a depth-8, 15 or 16 image from a 32-bit one with the dithering converter of its depth.
void ConvertDithered(const QV_PixelBuffer& source, const QV_PixelBuffer& destination)
{
    switch (destination.depth) {
    case 8:
        ConvertTo8Dithered(source, destination);
        break;
    case 15:
        ConvertTo15Dithered(source, destination);
        break;
    case 16:
        ConvertTo16Dithered(source, destination);
        break;
    default:
        break;
    }
}

} // namespace

ImageLayer::ImageLayer()
    : fIsMovie(false)
    , fIsAvi(false)
    , fMovieFps(0)
    , fInterpretedFps(-1)
    , fMovieFrame(kNoMovieFrame)
    , fMovieLooping(false)
    , fAviAlpha(false)
    , fTracingImage(false)
    , fShapeWidth(-1)
    , fShapeHeight(-1)
    , fSWFClip(nullptr)
    , fSWFShape(nullptr)
    , fSWFFill(nullptr)
    , fSWFBitmap(nullptr)
{
    fLayerParentBone = -3;
    fSpatialPositioning = false;
}

ImageLayer::~ImageLayer()
{
    destroySWFMovieClip(fSWFClip);
    destroySWFShape(fSWFShape);
    destroySWFFill(fSWFFill);
    destroySWFBitmap(fSWFBitmap);
}

int32_t ImageLayer::LayerType()
{
    return LT_IMAGE;
}

bool ImageLayer::SetSourceImage(const char* path)
{
    if (!path || !DocumentPathAllowed(path))
        return false;
    fImagePath = path;
    fImagePath.ToSlashes();
    fImage.Free();
    fShapeWidth = fShapeHeight = -1;
    if (IsMovieLayer())
        SetAudioFile(FindMediaFile(fImagePath.CString(), fDoc).c_str());
    return true;
}

int32_t ImageLayer::PixelWidth() const
{
    return fImage.buffer.pixels ? fImage.buffer.width : -1;
}

int32_t ImageLayer::PixelHeight() const
{
    return fImage.buffer.pixels ? fImage.buffer.height : -1;
}

bool ImageLayer::IsMovieLayer() const
{
    return fImagePath.MediaType() == "video";
}

int32_t ImageLayer::MovieDuration()
{
    if (!fIsMovie || !fMovie.IsOpen())
        return 0;
    const int32_t n = std::max(fMovie.FrameCount(), 1);
    if (!fDoc)
        return n;
    const float rate = fInterpretedFps > 0 ? fInterpretedFps : fMovieFps;
    if (rate <= 0)
        return n;
    return RoundHalfAway(double(n) * fDoc->Fps() / rate);
}

float ImageLayer::MovieFps() const
{
    if (!fIsMovie || !fMovie.IsOpen())
        return 0;
    return fInterpretedFps > 0 ? fInterpretedFps : fMovieFps;
}

void ImageLayer::SetMovieFps(float fps)
{
    if (fIsMovie && fMovie.IsOpen())
        fInterpretedFps = fps;
}

float ImageLayer::PlaybackRate()
{
    if (fIsMovie && fMovie.IsOpen() && fInterpretedFps > 0 && fMovieFps > 0)
        return fInterpretedFps / fMovieFps;
    return 1;
}

int32_t ImageLayer::LayerDuration()
{
    if (IsMovieLayer() && !fMovieLooping)
        return MovieDuration();
    return -1;
}

bool ImageLayer::WarpedByBones() const
{
    return fParent && fParent->IsBoneType() && fLayerParentBone == -3;
}

bool ImageLayer::IsFlatAndStatic()
{
    return VornLayer::IsFlatAndStatic() && !WarpedByBones();
}

const BoneParent* ImageLayer::WarpingBones(VornDoc* doc) const
{
    if (!WarpedByBones())
        return nullptr;
    // At frame 0 the skeleton stands at rest unless a bone tool is showing its pose.
    if (doc && doc->CurFrame() == 0 && !BoneToolIsCurrent(doc->fCurrentTool.CString()))
        return nullptr;
    return ParentBones();
}

int32_t ImageLayer::MovieFrameAt()
{
    if (!fDoc)
        return fCurFrame - 1;
    const double fps = fDoc->Fps() > 0 ? fDoc->Fps() : 24;
    const double t = double(int64_t(fCurFrame) - 1) / fps;
    double rate = 0;
    if (fIsMovie && fMovie.IsOpen())
        rate = fInterpretedFps > 0 ? fInterpretedFps : fMovieFps;
    return RoundHalfAway(t * rate);
}

int32_t ImageLayer::LoadStillImage(QV_BaseImage& image)
{
    const std::string path = FindMediaFile(fImagePath.CString(), fDoc);
    const int32_t status = LoadImageFile(path.c_str(), image, 0);
    if (status == 0 && fTracingImage)
        RemapAlphaRange(image.buffer, 0, 255, 128);
    return status;
}

void ImageLayer::FillMissingImage(int32_t depth)
{
    QV_PixelBuffer* missing = GetResourceImage("missing_img");
    if (!missing || !missing->pixels || fImage.Allocate(missing->width, missing->height, depth) != 0)
        return;
    if (depth == 32) {
        XGraphics graphics;
        if (graphics.SetRaster(&fImage.buffer) != 0)
            return;
        graphics.BeginDraw();
        graphics.DrawImage(missing, 0, 0);
        graphics.EndDraw();
    } else {
        ConvertDithered(*missing, fImage.buffer);
    }
}

void ImageLayer::LoadMedia(int32_t depth)
{
    if (fImage.buffer.pixels && fImage.buffer.depth == depth)
        return;
    fImage.Free();
    const std::string path = FindMediaFile(fImagePath.CString(), fDoc);
    if (!path.empty() && fMovie.Open(path.c_str())) {
        // The movie's sound track is the layer's sound.
        if (!Sound() || fAudioFile != path.c_str())
            SetAudioFile(path.c_str());
        fIsMovie = true;
        fMovieFps = fMovie.FrameRate() > 0 ? fMovie.FrameRate() : 30;
        if (fInterpretedFps < 0)
            fInterpretedFps = fMovieFps;
        if (QV_Path(path.c_str()).MimeType() == "video/x-msvideo")
            fIsAvi = true;
        fMovieFrame = kNoMovieFrame;
        const int32_t w = fMovie.Width() > 0 ? fMovie.Width() : 8;
        const int32_t h = fMovie.Height() > 0 ? fMovie.Height() : 8;
        if (fImage.Allocate(w, h, depth) != 0)
            fImage.Free();
    } else {
        fMovieFps = 0;
        fIsMovie = false;
        fInterpretedFps = -1;
        if (depth == 32) {
            if (LoadStillImage(fImage) != 0)
                fImage.Free();
        } else {
            QV_BaseImage still;
            if (LoadStillImage(still) == 0 && fImage.Allocate(still.buffer.width, still.buffer.height, depth) == 0)
                ConvertDithered(still.buffer, fImage.buffer);
        }
    }
    if (!fImage.buffer.pixels)
        FillMissingImage(depth);
    if ((fShapeWidth < 0 || fShapeHeight < 0) && fImage.buffer.pixels && fImage.buffer.height > 0) {
        const float docHeight = fDoc && fDoc->Height() > 0 ? float(fDoc->Height()) : 480.0f;
        if (fShapeHeight < 0)
            fShapeHeight = 2.0f * float(fImage.buffer.height) / docHeight;
        fShapeWidth = float(fImage.buffer.width) * fShapeHeight / float(fImage.buffer.height);
    }
}

void ImageLayer::ReadMovieFrame(int32_t n)
{
    fMovieFrame = n;
    int32_t index = std::max(n, 0);
    // Looping takes the frame within the movie, whichever reader reads it.
    const int32_t count = fMovie.FrameCount();
    if (count > 0)
        index %= count;
    fMovie.GetFrame(fImage.buffer, index);
    if (fIsAvi && !fAviAlpha && fImage.buffer.depth == 32)
        SetRasterAlpha(fImage.buffer, 255);
}

bool ImageLayer::StepMovie()
{
    if (!fIsMovie)
        return true;
    const int32_t n = MovieFrameAt();
    if (n < 0 && ((fDoc && fDoc->CurFrame() != 0) || fTimingOffset != 0))
        return false;
    if (n >= std::max(fMovie.FrameCount(), 1) && !fMovieLooping)
        return false;
    if (n != fMovieFrame)
        ReadMovieFrame(n);
    return true;
}

void ImageLayer::SetCurFrame(int32_t frame)
{
    AudioLayer::SetCurFrame(frame);
    if (fImage.buffer.pixels && fIsMovie) {
        const int32_t n = MovieFrameAt();
        if (n != fMovieFrame) {
            if (!fTrackingPoints.empty()) {
                if (fPrevFrame.Allocate(fImage.buffer.width, fImage.buffer.height, fImage.buffer.depth) == 0)
                    BlitRaster(fImage.buffer, fPrevFrame.buffer, 0, 0);
                else
                    fPrevFrame.Free();
            }
            ReadMovieFrame(n);
        }
    }
    if (fImage.buffer.pixels && fPrevFrame.buffer.pixels && fMovieFrame < MovieDuration()) {
        for (auto& point : fTrackingPoints)
            point->TrackFrame(fCurFrame, fImage.buffer, fPrevFrame.buffer);
    }
    for (auto& point : fTrackingPoints)
        point->fAnimPos.SetCurFrame(fCurFrame);
    RunLayerScript();
}

void ImageLayer::ImageToLayer(const QV_Vector2& image, QV_Vector2& layer) const
{
    const float w = float(fImage.buffer.width), h = float(fImage.buffer.height);
    if (!fImage.buffer.pixels || w <= 0 || h <= 0)
        return;
    layer.x = (image.x - w / 2) / (w / 2) * fShapeWidth / 2;
    layer.y = -(image.y - h / 2) / (h / 2) * fShapeHeight / 2;
}

void ImageLayer::LayerToImage(const QV_Vector2& layer, QV_Vector2& image) const
{
    const float w = float(fImage.buffer.width), h = float(fImage.buffer.height);
    if (!fImage.buffer.pixels || fShapeWidth == 0 || fShapeHeight == 0)
        return;
    image.x = w / 2 + layer.x / (fShapeWidth / 2) * w / 2;
    image.y = h / 2 - h / 2 * layer.y / (fShapeHeight / 2);
}

int32_t ImageLayer::CountChannels()
{
    return 2 + AudioLayer::CountChannels();
}

void ImageLayer::GetChannelInfo(int32_t row, ChannelInfo& info)
{
    if (row >= 2) {
        AudioLayer::GetChannelInfo(row - 2, info);
        return;
    }
    info.Reset();
    if (row == 0) {
        info.fID = 10055;
        info.SetLook("channel_tracking_point", "/Animation/Channels/MotionTracking=Motion Tracking");
        info.fSingleChannel = false;
        info.fSubChannels = CountTrackingPoints();
        return;
    }
    info.fID = 10056;
    info.SetLook("channel_tracking_point_sel", "/Animation/Channels/SelectedTrackingPoint=Selected Tracking Point");
    info.fSelectionOnly = true;
    int32_t selected = 0;
    for (auto& point : fTrackingPoints)
        selected += point->fSelected ? 1 : 0;
    info.fSubChannels = selected;
}

AnimChannel* ImageLayer::GetChannel(int32_t row, int32_t sub, VornDoc* doc)
{
    if (row == 0)
        return sub >= 0 && sub < CountTrackingPoints() ? &fTrackingPoints[size_t(sub)]->fAnimPos : nullptr;
    if (row == 1) {
        int32_t k = 0;
        for (auto& point : fTrackingPoints) {
            if (!point->fSelected)
                continue;
            if (k++ == sub)
                return &point->fAnimPos;
        }
        return nullptr;
    }
    return AudioLayer::GetChannel(row - 2, sub, doc);
}

TrackingPoint* ImageLayer::GetTrackingPoint(int32_t index)
{
    if (index < 0 || index >= CountTrackingPoints()) {
        PrintOutOfRange("ImageLayer:GetTrackingPoint");
        return nullptr;
    }
    return fTrackingPoints[size_t(index)].get();
}

TrackingPoint* ImageLayer::AddTrackingPoint(int32_t frame, float x, float y)
{
    if (!fImage.buffer.pixels || CountTrackingPoints() >= kMaxTrackingPoints)
        return nullptr;
    const int32_t f = ClampFrame(int64_t(frame) + TotalTimingOffset());
    auto point = std::make_unique<TrackingPoint>(f);
    if (fIsMovie && fMovie.IsOpen())
        point->fLastFrame = fMovie.FrameCount();
    point->fAnimPos.SetValue(f, QV_Vector2 { x, y });
    point->fAnimPos.SetKeyInterp(f, INTERP_LINEAR, -1, -1);
    point->fAnimPos.SetValue(0, QV_Vector2 { x, y });
    point->fAnimPos.SetCurFrame(f);
    QV_String name(Localize("/Layers/ImageLayer/TrackPoint=TrackPoint "));
    name.AppendInt(CountTrackingPoints() + 1);
    point->SetName(name.CString());
    point->Restart(f);
    fTrackingPoints.push_back(std::move(point));
    return fTrackingPoints.back().get();
}

void ImageLayer::DeleteSelectedTrackingPoints()
{
    for (size_t i = fTrackingPoints.size(); i-- > 0;)
        if (fTrackingPoints[i]->fSelected)
            fTrackingPoints.erase(fTrackingPoints.begin() + long(i));
}

void ImageLayer::StartTracking(TrackingPoint* point)
{
    if (!point || !fImage.buffer.pixels)
        return;
    point->Restart(fCurFrame);
    point->fLastFrame = int32_t(std::min<int64_t>(int64_t(point->StartFrame()) + 1000000, INT32_MAX));
}
