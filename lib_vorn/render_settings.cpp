#include "render_settings.h"

RenderSettings::RenderSettings()
{
    SetDefaults();
}

RenderSettings::~RenderSettings() = default;

void RenderSettings::SetDefaults()
{
    fDoc = nullptr;
    fImage = nullptr;
    fPreviewGraphics = nullptr;
    fSupersampleImage = nullptr;
    fRaster3D = nullptr;
    fQuickPreview = false;
    fAntialias = true;
    fShapeEffects = true;
    fLayerEffects = true;
    fVariableLineWidths = false;
    fHalfSize = false;
    fHalfFrameRate = false;
    fReducedParticles = false;
    fExtraSmooth = false;
    fNTSCSafe = false;
    fNoPremultiply = false;
    fNoFills = false;
    fRenderingMask = false;
    fStartFrame = 0;
    fEndFrame = 0;
    fPath = "";
    fFormat = 0;
    fMargin = 0;
    fPSDWriter = nullptr;
    fMovieWriters = nullptr;
    fSWFMovie = nullptr;
}

void DeleteRenderSettings(RenderSettings* settings)
{
    delete settings;
}
