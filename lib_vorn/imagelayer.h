#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "audiolayer.h"
#include "qv_baseimage.h"
#include "qv_movie_reader.h"
#include "qv_path.h"
#include "qv_vector.h"
#include "tracking_point.h"

class SwfBitmap;
class SwfFill;
class SwfMovieClip;
class SwfShape;

// A picture or a movie shown as a flat rectangle centred on the layer point (0, 0), by default
// at its pixel size in the output (the frame height spans 2 units). A movie steps with the layer
// frame at its own (or a chosen) rate, may loop, carries its sound track as the layer's sound and
// may carry up to three tracking points. Under a bone layer the picture is warped by the whole
// skeleton.
//
// imagelayer.cpp holds the class, the media and its timing; imagelayer_draw.cpp drawing and
// rendering; imagelayer_swf.cpp the SWF export; imagelayer_record.cpp the record.
class ImageLayer : public AudioLayer {
public:
    static constexpr int32_t kMaxTrackingPoints = 3;

    ImageLayer();
    ~ImageLayer() override;

    int32_t LayerType() override;
    bool ReadRecord(QV_IoStream* stream) override;
    void WriteRecord(QV_IoStream* stream) override;
    void SetCurFrame(int32_t frame) override;
    void Draw(VornDoc* doc, XGraphics* graphics, QV_PixelBuffer* scratch, int32_t& drawMode,
        VornLayer* currentLayer, RenderSettings* settings) override;
    int32_t CountRenderItems() override;
    void RenderItem(VornDoc* doc, XGraphics* graphics, QV_PixelBuffer* target, QV_PixelBuffer* scratch,
        int32_t item, RenderSettings* settings) override;
    // The movie's length in layer frames unless it loops; -1 for stills and looping movies.
    int32_t LayerDuration() override;
    // Not when the skeleton of a parent bone layer warps the picture.
    bool IsFlatAndStatic() override;
    int32_t CountChannels() override;
    void GetChannelInfo(int32_t row, ChannelInfo& info) override;
    AnimChannel* GetChannel(int32_t row, int32_t sub, VornDoc* doc) override;
    float PlaybackRate() override;

    // Frees the picture (the next draw loads the new file) and derives the shape again. A movie's
    // sound is taken at once, so the document's sound sources are known before anything draws.
    // False (nothing changed) for a path a document cannot store.
    bool SetSourceImage(const char* path);
    const QV_Path& SourceImage() const { return fImagePath; }
    // The size of the loaded picture, -1 while nothing is loaded.
    int32_t PixelWidth() const;
    int32_t PixelHeight() const;
    bool IsMovieLayer() const;
    // In layer frames at the document's rate; 0 unless a movie is open.
    int32_t MovieDuration();
    float MovieFps() const;
    // Only while a movie is open.
    void SetMovieFps(float fps);
    void SetAviAlpha(bool on) { fAviAlpha = on; }
    bool AviHasAlpha() const { return fAviAlpha; }
    void SetMovieLooping(bool on) { fMovieLooping = on; }
    bool MovieLooping() const { return fMovieLooping; }
    // Between picture pixels and layer units; both leave the output alone while nothing is loaded.
    void ImageToLayer(const QV_Vector2& image, QV_Vector2& layer) const;
    void LayerToImage(const QV_Vector2& layer, QV_Vector2& image) const;
    // The movie frame the current layer frame shows (negative before the movie starts).
    int32_t MovieFrameAt();
    // The still into image; a tracing image shows at most half opaque.
    int32_t LoadStillImage(QV_BaseImage& image);

    int32_t CountTrackingPoints() const { return int32_t(fTrackingPoints.size()); }
    TrackingPoint* GetTrackingPoint(int32_t index);
    // Null before a picture is loaded or when three points exist.
    TrackingPoint* AddTrackingPoint(int32_t frame, float x, float y);
    void DeleteSelectedTrackingPoints();
    void StartTracking(TrackingPoint* point);

    // Loads the picture (or opens the movie) at the depth needed, when it is not loaded at that
    // depth; sizes the shape. Draw and RenderItem call it; tests and tools may too.
    void LoadMedia(int32_t depth);
    // Whether the skeleton of a bone or switch parent warps the picture.
    bool WarpedByBones() const;

    QV_Path fImagePath;
    QV_MovieReader fMovie;
    bool fIsMovie;
    bool fIsAvi;
    float fMovieFps;
    float fInterpretedFps;
    int32_t fMovieFrame;
    bool fMovieLooping;
    bool fAviAlpha;
    bool fTracingImage;
    float fShapeWidth;
    float fShapeHeight;
    QV_BaseImage fImage;
    QV_BaseImage fPrevFrame;
    std::vector<std::unique_ptr<TrackingPoint>> fTrackingPoints;
    // What the SWF export made (the clip and its rectangle, fill and bitmap); they die with the
    // layer.
    SwfMovieClip* fSWFClip;
    SwfShape* fSWFShape;
    SwfFill* fSWFFill;
    SwfBitmap* fSWFBitmap;

    // A flat and static JPEG or PNG picture becomes a bitmap-filled rectangle, defined once as a
    // clip labelled with the layer's name and placed in every frame; another picture type gives
    // an empty rectangle.
    void ExportSWFBitmap(VornDoc* doc, XGraphics* graphics);

private:
    // False when the current frame shows no movie frame (before the start, past the end).
    bool StepMovie();
    void ReadMovieFrame(int32_t n);
    void FillMissingImage(int32_t depth);
    void DrawTrackingPoints(XGraphics* graphics);
    // The skeleton that warps the picture at this frame, or null.
    const class BoneParent* WarpingBones(VornDoc* doc) const;
    void WarpPoint(const BoneParent* bones, const QV_Matrix& layer, const QV_Matrix& inverse, QV_Vector2& p) const;
};
