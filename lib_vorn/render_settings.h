#pragma once

#include <cstdint>

#include "qv_path.h"

class QV_AviWriter;
class QV_BaseImage;
class QV_PSDWriter;
class QV_QtMovieWriter;
class QV_Raster3D;
class SwfMovie;
class VornDoc;
class XGraphics;

// The movie writers of one export run; either may be null. Owned by the caller.
struct MovieWriterPair {
    QV_AviWriter* fAvi = nullptr;
    QV_QtMovieWriter* fQt = nullptr;
};

// Output format id of a layered PSD file; ids below the number of image writers name an image
// file format of the registry, movie and SWF formats are numbered by the callers after those.
constexpr int32_t kRenderFormatPSD = 4096;

// The options of one render run. The constructor sets the defaults; SetDefaults puts them back
// for a record that is used again.
class RenderSettings {
public:
    RenderSettings();
    ~RenderSettings();
    RenderSettings(const RenderSettings&) = delete;
    RenderSettings& operator=(const RenderSettings&) = delete;

    void SetDefaults();

    VornDoc* fDoc;
    // Allocated by the caller at the output size; holds the finished frame after each frame.
    QV_BaseImage* fImage;
    // A second context the layers draw into alongside the render; owned by the job, deleted when
    // the run ends.
    XGraphics* fPreviewGraphics;
    // Caller's scratch for supersampled image and 3D layers; the job itself never touches it.
    QV_BaseImage* fSupersampleImage;
    // Made by the first 3D layer that renders; the caller deletes it after the run.
    QV_Raster3D* fRaster3D;
    bool fQuickPreview;
    bool fAntialias;
    bool fShapeEffects;
    bool fLayerEffects;
    bool fVariableLineWidths;
    bool fHalfSize;
    bool fHalfFrameRate;
    bool fReducedParticles;
    bool fExtraSmooth;
    bool fNTSCSafe;
    bool fNoPremultiply;
    bool fNoFills;
    // Set by a group while it renders a masking sub-layer.
    bool fRenderingMask;
    int32_t fStartFrame;
    int32_t fEndFrame;
    QV_Path fPath;
    int32_t fFormat;
    // Border around the frame in the render buffers, in pixels; set by the job.
    int32_t fMargin;
    // The current frame's layered writer, owned by the job while set.
    QV_PSDWriter* fPSDWriter;
    MovieWriterPair* fMovieWriters;
    SwfMovie* fSWFMovie;
};

void DeleteRenderSettings(RenderSettings* settings);
