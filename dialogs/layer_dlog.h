#pragma once

#include <cstdint>

#include "qv_base_widget.h"
#include "qv_color.h"
#include "qv_dialog.h"
#include "qv_path.h"

class AudioLayer;
class LayerDlog;
class QV_AngleWidget;
class QV_Box;
class QV_Button;
class QV_CheckBox;
class QV_ColorSwatch;
class QV_LayoutView;
class QV_PopupMenu;
class QV_RadioButton;
class QV_TabView;
class QV_TextControl;
class SwitchLayer;
class VornDoc;
class VornLayer;

// Messages of the dialog's widgets and of the file choosers' answers.
constexpr int32_t LD_HSV_IMAGE = 6010;
constexpr int32_t LD_SCRIPT = 6011;
constexpr int32_t LD_BLEND_FIRST = 6030;
constexpr int32_t LD_SHADOW_ON = 6050;
constexpr int32_t LD_SHADING_ON = 6060;
constexpr int32_t LD_MOTION_BLUR_ON = 6070;
constexpr int32_t LD_MASKING = 6080;
constexpr int32_t LD_NOISY_OUTLINES = 6110;
constexpr int32_t LD_NOISY_FILLS = 6111;
constexpr int32_t LD_ANIMATED_NOISE = 6112;
constexpr int32_t LD_EXTRA_SKETCHY = 6113;
constexpr int32_t LD_DEPTH_SORT = 6125;
constexpr int32_t LD_SOURCE_IMAGE = 6130;
constexpr int32_t LD_SWITCH_DATA = 6140;
constexpr int32_t LD_LIPSYNC_NONE = 6141;
constexpr int32_t LD_ON_AT_START = 6150;
constexpr int32_t LD_SOURCE_AUDIO = 6160;
// 6200 + the index of an audio layer among the document's audio layers.
constexpr int32_t LD_LIPSYNC_FIRST = 6200;
constexpr int32_t LD_LIPSYNC_LAST = 6300;

// The animated figure of the Vectors page: how the layer's noise settings jitter an outline and
// a fill, redrawn at the document's frame rate.
class NoisePreview : public QV_AnimatedWidget {
public:
    NoisePreview(LayerDlog* dialog, float framesPerSecond);

    void Tick(QV_Graphics* graphics, int32_t frame, float seconds, float fps) override;
    void DrawWidget(QV_Graphics* graphics) override;
    // The figure into a raster of any size: the widget draws it, tests look at it.
    void DrawFigure(QV_PixelBuffer* raster);

    LayerDlog* fDialog;
    int32_t fCounter;
};

// Layer Settings: every option of one layer on four common pages and the pages of its kind.
// Nothing touches the layer before OK; OK writes everything as one undo level.
class LayerDlog : public QV_Dialog {
public:
    // Tab indices of the common pages; the Note page of a note layer is the fifth tab.
    static constexpr int32_t kNoteTab = 4;

    LayerDlog(QV_Wnd* owner, VornDoc* document, VornLayer* layer);

    void HandleMessage(QV_Message* message) override;
    void ExchangeData(bool apply) override;
    bool OnValidate() override;

    QV_LayoutView* BuildGeneralPage();
    QV_LayoutView* BuildShadowsPage();
    QV_LayoutView* BuildMotionBlurPage();
    QV_LayoutView* BuildMaskingPage();
    QV_LayoutView* BuildVectorsPage();
    QV_LayoutView* BuildDepthSortPage();
    QV_LayoutView* BuildBonesPage();
    QV_LayoutView* BuildImagePage();
    QV_LayoutView* BuildSwitchPage();
    QV_LayoutView* BuildParticlesPage();
    QV_LayoutView* BuildNotePage();
    QV_LayoutView* Build3DPage();
    QV_LayoutView* BuildAudioPage();

    // Replaces the switch layer's keys over the sound's length by its loudness: the quietest
    // bucket shows the first mouth shape (or sub-layer), the loudest the last.
    void GenerateLipSyncKeys(AudioLayer* audio, SwitchLayer* target);

    // What the user is asked or told; tests answer in their place.
    virtual int32_t ShowAlert(const char* text);
    virtual void ChooseFile(const char* title, int32_t message, const char* description, const char* patterns);

    // Called once the dialog is loaded, before its window shows (tests drive it from there).
    static void (*sOpenedHook)(LayerDlog* dialog);

    VornDoc* fDocument;
    VornLayer* fLayer;
    int32_t fType;
    QV_TabView* fTabs;
    QV_LayoutView* fGeneralPage;
    QV_LayoutView* fShadowsPage;
    QV_LayoutView* fMotionBlurPage;
    QV_LayoutView* fMaskingPage;
    QV_LayoutView* fVectorsPage;
    QV_LayoutView* fDepthSortPage;
    QV_LayoutView* fBonesPage;
    QV_LayoutView* fImagePage;
    QV_LayoutView* fSwitchPage;
    QV_LayoutView* fParticlesPage;
    QV_LayoutView* fNotePage;
    QV_LayoutView* f3DPage;
    QV_LayoutView* fAudioPage;
    QV_Button* fOK;
    QV_Button* fCancel;

    // General.
    QV_TextControl* fName;
    QV_CheckBox* fHideInEditView;
    QV_CheckBox* fDontRender;
    QV_CheckBox* fAnimatedEffects;
    QV_CheckBox* fVisible;
    QV_TextControl* fBlur;
    QV_TextControl* fOpacity;
    QV_TextControl* fAutoShading;
    QV_CheckBox* fFlipH;
    QV_CheckBox* fFlipV;
    QV_CheckBox* fRotateToFollow;
    QV_CheckBox* fFaceCamera;
    QV_CheckBox* fHsvImage;
    QV_CheckBox* fScript;
    QV_CheckBox* fScaleCompensation;
    QV_CheckBox* fCameraImmune;
    QV_CheckBox* fDofImmune;
    QV_PopupMenu* fBlendMode;
    // Shadows.
    QV_CheckBox* fShadowOn;
    QV_TextControl* fShadowOffset;
    QV_TextControl* fShadowBlur;
    QV_TextControl* fShadowExpansion;
    QV_ColorSwatch* fShadowColor;
    QV_AngleWidget* fShadowAngle;
    QV_CheckBox* fShadingOn;
    QV_TextControl* fShadingOffset;
    QV_TextControl* fShadingBlur;
    QV_TextControl* fShadingContraction;
    QV_ColorSwatch* fShadingColor;
    QV_AngleWidget* fShadingAngle;
    // Motion Blur.
    QV_CheckBox* fMotionBlurOn;
    QV_TextControl* fMotionBlurFrames;
    QV_TextControl* fMotionBlurSkip;
    QV_TextControl* fMotionBlurAlphaStart;
    QV_TextControl* fMotionBlurAlphaEnd;
    QV_TextControl* fMotionBlurRadius;
    // Masking.
    QV_RadioButton* fNoGroupMask;
    QV_RadioButton* fRevealAll;
    QV_RadioButton* fHideAll;
    QV_RadioButton* fMaskModes[6];
    QV_CheckBox* fExcludeStrokes;
    // Vectors.
    QV_CheckBox* fNoisyOutlines;
    QV_CheckBox* fNoisyFills;
    QV_CheckBox* fAnimatedNoise;
    QV_CheckBox* fExtraSketchy;
    QV_TextControl* fNoiseOffset;
    QV_TextControl* fNoiseScale;
    QV_TextControl* fLineCount;
    NoisePreview* fNoisePreview;
    QV_CheckBox* fGapFilling;
    // Depth Sort.
    QV_CheckBox* fSortByDepth;
    QV_CheckBox* fSortByDistance;
    QV_CheckBox* fAnimatedOrder;
    // Bones.
    QV_RadioButton* fFlexibleBinding;
    QV_RadioButton* fRegionBinding;
    // Image.
    QV_Button* fSourceImage;
    QV_CheckBox* fAviAlpha;
    QV_CheckBox* fLoopMovie;
    QV_TextControl* fMovieFps;
    QV_CheckBox* fImageWarp;
    // Switch.
    QV_PopupMenu* fLipSync;
    QV_CheckBox* fInterpolate;
    // Particles.
    QV_TextControl* fParticleCount;
    QV_TextControl* fPreviewParticles;
    QV_TextControl* fLifetime;
    QV_TextControl* fSourceWidth;
    QV_TextControl* fSourceHeight;
    QV_TextControl* fSourceDepth;
    QV_TextControl* fVelocity;
    QV_TextControl* fVelocitySpread;
    QV_TextControl* fDamping;
    QV_CheckBox* fOnAtStart;
    QV_CheckBox* fFullSpeedStart;
    QV_CheckBox* fOrientParticles;
    QV_CheckBox* fFreeFloating;
    QV_CheckBox* fEvenlySpaced;
    QV_CheckBox* fRandomizePlayback;
    QV_AngleWidget* fDirection;
    QV_TextControl* fSpread;
    QV_AngleWidget* fAcceleration;
    QV_TextControl* fRate;
    // Note.
    QV_TextControl* fNoteText;
    // 3D Options.
    QV_ColorSwatch* fDefaultColor;
    QV_ColorSwatch* fEdgeColor;
    QV_RadioButton* fClockwise;
    QV_RadioButton* fCounterClockwise;
    QV_TextControl* fEdgeOffset;
    QV_CheckBox* f3DWarp;
    QV_CheckBox* fResetZ;
    // Audio.
    QV_Button* fSourceAudio;
    QV_TextControl* fAudioLevel;
    QV_CheckBox* fSpatial;

    // What was shown at load time; the layer is keyed only where the user changed something.
    bool fLoadVisible;
    int32_t fLoadBlur;
    int32_t fLoadOpacity;
    int32_t fLoadAutoShading;
    bool fLoadFlipH;
    bool fLoadFlipV;
    bool fLoadShadowOn;
    int32_t fLoadShadowAngle;
    int32_t fLoadShadowOffset;
    int32_t fLoadShadowBlur;
    int32_t fLoadShadowExpansion;
    rgb_color fLoadShadowColor;
    bool fLoadShadingOn;
    int32_t fLoadShadingAngle;
    int32_t fLoadShadingOffset;
    int32_t fLoadShadingBlur;
    int32_t fLoadShadingContraction;
    rgb_color fLoadShadingColor;
    bool fLoadMotionBlurOn;
    int32_t fLoadMotionBlurFrames;
    int32_t fLoadMotionBlurSkip;
    int32_t fLoadMotionBlurAlphaStart;
    int32_t fLoadMotionBlurAlphaEnd;
    int32_t fLoadMotionBlurRadius;

    QV_Path fHsvPath;
    QV_Path fScriptPath;
    QV_Path fImagePath;
    QV_Path fSwitchDataPath;
    QV_Path fAudioPath;

private:
    void LoadGeneral();
    void LoadEffects();
    void LoadKindPages();
    void StoreGeneral(int32_t F, int32_t E);
    void StoreEffects(int32_t E);
    void StoreKindPages(int32_t F);
    void StoreImage();
    void StoreAudio(int32_t F);
    void EnableImageOptions();
    void UpdateNoiseWidgets();
};

// Runs Layer Settings modally on the layer of the document; true when OK stored the settings.
bool RunLayerSettings(QV_Wnd* owner, VornDoc* document, VornLayer* layer);
