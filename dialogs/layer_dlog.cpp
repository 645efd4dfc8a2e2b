// The Layer Settings dialog's pages and widgets, the noise preview and the entry the layers
// panel calls. Loading, storing and the widgets' messages are in layer_dlog_data.cpp.
#include "layer_dlog.h"

#include <algorithm>

#include "audiolayer.h"
#include "file_dialogs.h"
#include "imagelayer.h"
#include "interface_colors.h"
#include "interface_fonts.h"
#include "plat_mutex.h"
#include "qv_angle_widget.h"
#include "qv_alert.h"
#include "qv_app.h"
#include "qv_box.h"
#include "qv_button.h"
#include "qv_check_box.h"
#include "qv_color_swatch.h"
#include "qv_font.h"
#include "qv_graphics.h"
#include "qv_layout_view.h"
#include "qv_menu.h"
#include "qv_popup_menu.h"
#include "raster_blit.h"
#include "qv_static_text.h"
#include "qv_tab_view.h"
#include "qv_text_control.h"
#include "vorndoc.h"
#include "vornlayer.h"

namespace {

constexpr int32_t kPageFollow = FOLLOW_LEFT | FOLLOW_TOP;

QV_LayoutView* NewPage()
{
    auto* page = new QV_LayoutView(true, 8, 12, 12);
    page->fFollow = kPageFollow;
    return page;
}

// A titled box around a column, returned open for the caller to fill.
QV_LayoutView* BoxColumn(QV_LayoutView* page, const char* title, int32_t spacing = 4)
{
    auto* box = new QV_Box(Localize(title));
    auto* column = new QV_LayoutView(true, spacing, 4, 4);
    box->AddChild(column);
    page->AddChild(box, ALIGN_FILL);
    return column;
}

QV_TextControl* NumberField(int32_t width, int32_t type)
{
    return new QV_TextControl(width, "", 0, type);
}

// A label and its field in one row, the label given a fixed width so that fields line up.
void LabelledField(QV_LayoutView* column, const char* label, QV_TextControl* field, int32_t labelWidth = 130)
{
    column->PushH(ALIGN_LEFT, 8);
    auto* text = new QV_StaticText(Localize(label));
    text->ResetSize(labelWidth, text->Size().y);
    column->AddChild(text, ALIGN_CENTER);
    column->AddChild(field, ALIGN_CENTER);
    column->Pop();
}

QV_CheckBox* Check(QV_LayoutView* column, const char* label, int32_t message = 0)
{
    auto* box = new QV_CheckBox(Localize(label), message);
    column->AddChild(box, ALIGN_LEFT);
    return box;
}

QV_RadioButton* Radio(QV_LayoutView* column, const char* label, int32_t message = 0)
{
    auto* radio = new QV_RadioButton(Localize(label), message);
    column->AddChild(radio, ALIGN_LEFT);
    return radio;
}

const char* const kBlendLabels[] = {
    "/Menus/LayerBlendMode/Normal=Normal",
    "/Menus/LayerBlendMode/Multiply=Multiply",
    "/Menus/LayerBlendMode/Screen=Screen",
    "/Menus/LayerBlendMode/Overlay=Overlay",
    "/Menus/LayerBlendMode/Add=Add",
    "/Menus/LayerBlendMode/Difference=Difference",
    "/Menus/LayerBlendMode/Hue=Hue",
    "/Menus/LayerBlendMode/Saturation=Saturation",
    "/Menus/LayerBlendMode/Color=Color",
    "/Menus/LayerBlendMode/Luminosity=Luminosity",
};

} // namespace

void (*LayerDlog::sOpenedHook)(LayerDlog* dialog) = nullptr;

LayerDlog::LayerDlog(QV_Wnd* owner, VornDoc* document, VornLayer* layer)
    : QV_Dialog(Localize("/Dialogs/LayerSettings/Title=Layer Settings"), owner)
    , fDocument(document)
    , fLayer(layer)
    , fType(layer ? layer->LayerType() : LT_UNKNOWN)
{
    fSettingsName = "LayerDlog";
    // Every widget pointer starts null: pages a layer kind lacks leave theirs so.
    fGeneralPage = fShadowsPage = fMotionBlurPage = fMaskingPage = fVectorsPage = fDepthSortPage = nullptr;
    fBonesPage = fImagePage = fSwitchPage = fParticlesPage = fNotePage = f3DPage = fAudioPage = nullptr;
    fNoGroupMask = fRevealAll = fHideAll = nullptr;
    std::fill(fMaskModes, fMaskModes + 6, nullptr);
    fExcludeStrokes = nullptr;
    fNoisyOutlines = fNoisyFills = fAnimatedNoise = fExtraSketchy = nullptr;
    fNoiseOffset = fNoiseScale = fLineCount = nullptr;
    fNoisePreview = nullptr;
    fGapFilling = nullptr;
    fSortByDepth = fSortByDistance = fAnimatedOrder = nullptr;
    fFlexibleBinding = fRegionBinding = nullptr;
    fSourceImage = nullptr;
    fAviAlpha = fLoopMovie = fImageWarp = nullptr;
    fMovieFps = nullptr;
    fLipSync = nullptr;
    fInterpolate = nullptr;
    fParticleCount = fPreviewParticles = fLifetime = fSourceWidth = fSourceHeight = fSourceDepth = nullptr;
    fVelocity = fVelocitySpread = fDamping = fSpread = fRate = nullptr;
    fOnAtStart = fFullSpeedStart = fOrientParticles = fFreeFloating = fEvenlySpaced = fRandomizePlayback = nullptr;
    fDirection = fAcceleration = nullptr;
    fNoteText = nullptr;
    fDefaultColor = fEdgeColor = nullptr;
    fClockwise = fCounterClockwise = nullptr;
    fEdgeOffset = nullptr;
    f3DWarp = fResetZ = nullptr;
    fSourceAudio = nullptr;
    fAudioLevel = nullptr;
    fSpatial = nullptr;
    fLoadVisible = fLoadFlipH = fLoadFlipV = fLoadShadowOn = fLoadShadingOn = fLoadMotionBlurOn = false;
    fLoadBlur = fLoadOpacity = fLoadAutoShading = 0;
    fLoadShadowAngle = fLoadShadowOffset = fLoadShadowBlur = fLoadShadowExpansion = 0;
    fLoadShadingAngle = fLoadShadingOffset = fLoadShadingBlur = fLoadShadingContraction = 0;
    fLoadMotionBlurFrames = fLoadMotionBlurSkip = fLoadMotionBlurAlphaStart = fLoadMotionBlurAlphaEnd
        = fLoadMotionBlurRadius = 0;
    fLoadShadowColor = fLoadShadingColor = rgb_color { 0, 0, 0, 255 };

    fTabs = new QV_TabView();
    fGeneralPage = BuildGeneralPage();
    fTabs->AddTab(Localize("/Dialogs/LayerSettings/General=General"), fGeneralPage);
    fShadowsPage = BuildShadowsPage();
    fTabs->AddTab(Localize("/Dialogs/LayerSettings/Shadows=Shadows"), fShadowsPage);
    fMotionBlurPage = BuildMotionBlurPage();
    fTabs->AddTab(Localize("/Dialogs/LayerSettings/MotionBlur=Motion Blur"), fMotionBlurPage);
    fMaskingPage = BuildMaskingPage();
    fTabs->AddTab(Localize("/Dialogs/LayerSettings/Masking=Masking"), fMaskingPage);
    if (fType == LT_VECTOR) {
        fVectorsPage = BuildVectorsPage();
        fTabs->AddTab(Localize("/Dialogs/LayerSettings/Vectors=Vectors"), fVectorsPage);
    }
    if (fType == LT_GROUP || fType == LT_BONE) {
        fDepthSortPage = BuildDepthSortPage();
        fTabs->AddTab(Localize("/Dialogs/LayerSettings/DepthSort=Depth Sort"), fDepthSortPage);
    }
    if (fType == LT_BONE || fType == LT_SWITCH) {
        fBonesPage = BuildBonesPage();
        fTabs->AddTab(Localize("/Dialogs/LayerSettings/Bones=Bones"), fBonesPage);
    }
    if (fType == LT_IMAGE) {
        fImagePage = BuildImagePage();
        fTabs->AddTab(Localize("/Dialogs/LayerSettings/Image=Image"), fImagePage);
    }
    if (fType == LT_SWITCH) {
        fSwitchPage = BuildSwitchPage();
        fTabs->AddTab(Localize("/Dialogs/LayerSettings/Switch=Switch"), fSwitchPage);
    }
    if (fType == LT_PARTICLE) {
        fParticlesPage = BuildParticlesPage();
        fTabs->AddTab(Localize("/Dialogs/LayerSettings/Particles=Particles"), fParticlesPage);
    }
    if (fType == LT_NOTE) {
        fNotePage = BuildNotePage();
        fTabs->AddTab(Localize("/Dialogs/LayerSettings/Note=Note"), fNotePage);
    }
    if (fType == LT_3D) {
        f3DPage = Build3DPage();
        fTabs->AddTab(Localize("/Dialogs/LayerSettings/3D=3D Options"), f3DPage);
    }
    // A movie's sound track makes an image layer a sound source too.
    if (fType == LT_AUDIO || (fType == LT_IMAGE && static_cast<AudioLayer*>(layer)->Sound())) {
        fAudioPage = BuildAudioPage();
        fTabs->AddTab(Localize("/Dialogs/LayerSettings/Audio=Audio"), fAudioPage);
    }

    auto* content = new QV_LayoutView(true, 8, 8, 8);
    content->AddChild(fTabs, ALIGN_FILL);
    AddOkCancelRow(content, &fOK, &fCancel);
    AddView(content);
}

QV_LayoutView* LayerDlog::BuildGeneralPage()
{
    QV_LayoutView* page = NewPage();
    page->PushH(ALIGN_CENTER, 8);
    page->AddChild(new QV_StaticText(Localize("/Dialogs/LayerSettings/GeneralTab/Name=Name")), ALIGN_CENTER);
    fName = new QV_TextControl(256, "", 0, FIELD_TEXT);
    page->AddChild(fName, ALIGN_CENTER);
    page->Pop();
    fHideInEditView = Check(page, "/Dialogs/LayerSettings/GeneralTab/HideInEditView=Hide in editing view");
    fDontRender = Check(page, "/Dialogs/LayerSettings/GeneralTab/DontRender=Don't render this layer");
    fAnimatedEffects
        = Check(page, "/Dialogs/LayerSettings/GeneralTab/AllowAnimatedLayerEffects=Allow animated layer effects");

    QV_LayoutView* effects
        = BoxColumn(page, "/Dialogs/LayerSettings/GeneralTab/CompositingEffects=Compositing Effects (animated)");
    fVisible = Check(effects, "/Dialogs/LayerSettings/GeneralTab/Visible=Visible");
    fBlur = NumberField(48, FIELD_UINT);
    fOpacity = NumberField(48, FIELD_UINT);
    fAutoShading = NumberField(48, FIELD_UINT);
    LabelledField(effects, "/Dialogs/LayerSettings/GeneralTab/BlurRadius=Blur radius", fBlur);
    LabelledField(effects, "/Dialogs/LayerSettings/GeneralTab/Opacity=Opacity (%)", fOpacity);
    LabelledField(effects, "/Dialogs/LayerSettings/GeneralTab/AutoShading=Auto shading radius", fAutoShading);
    effects->AddChild(new QV_PadView(16, 8));
    fFlipH = Check(effects, "/Dialogs/LayerSettings/GeneralTab/FlipHorizontally=Flip horizontally");
    fFlipV = Check(effects, "/Dialogs/LayerSettings/GeneralTab/FlipVertically=Flip vertically");

    auto* optionsBox = new QV_Box(Localize("/Dialogs/LayerSettings/GeneralTab/Options=Options"));
    auto* row = new QV_LayoutView(false, 16, 4, 4);
    row->PushV(ALIGN_TOP, 4);
    fRotateToFollow = Check(row, "/Dialogs/LayerSettings/GeneralTab/RotateToFollowPath=Rotate to follow path");
    fFaceCamera = Check(row, "/Dialogs/LayerSettings/GeneralTab/RotateToFaceCamera=Rotate to face camera");
    fHsvImage = Check(row, "/Dialogs/LayerSettings/GeneralTab/UseHSVModifierImage=Use HSV modifier image", LD_HSV_IMAGE);
    fScript = Check(row, "/Dialogs/LayerSettings/GeneralTab/UseEmbeddedScriptFile=Embedded script file", LD_SCRIPT);
    row->Pop();
    row->PushV(ALIGN_TOP, 4);
    fScaleCompensation = Check(row, "/Dialogs/LayerSettings/GeneralTab/ScaleCompensation=Scale compensation");
    fCameraImmune = Check(row, "/Dialogs/LayerSettings/GeneralTab/ImmuneToCameraMovements=Immune to camera movements");
    fDofImmune = Check(row, "/Dialogs/LayerSettings/GeneralTab/ImmuneToDepthOfField=Immune to depth of field");
    row->AddChild(new QV_StaticText(Localize("/Dialogs/LayerSettings/GeneralTab/LayerBlendMode=Layer blending mode:")), ALIGN_LEFT);
    fBlendMode = new QV_PopupMenu(96, true);
    auto* blending = new QV_Menu("Blending");
    for (int32_t i = 0; i < int32_t(sizeof(kBlendLabels) / sizeof(kBlendLabels[0])); i++)
        blending->AddItem(Localize(kBlendLabels[i]), 0, LD_BLEND_FIRST + i);
    fBlendMode->SetMenu(blending);
    row->AddChild(fBlendMode, ALIGN_LEFT);
    row->Pop();
    optionsBox->AddChild(row);
    page->AddChild(optionsBox, ALIGN_FILL);
    return page;
}

QV_LayoutView* LayerDlog::BuildShadowsPage()
{
    QV_LayoutView* page = NewPage();
    struct Group {
        const char* box;
        const char* on;
        int32_t message;
        const char* third;
        const char* color;
        const char* direction;
        QV_CheckBox** onBox;
        QV_TextControl** offset;
        QV_TextControl** blur;
        QV_TextControl** extent;
        QV_ColorSwatch** swatch;
        QV_AngleWidget** angle;
    };
    const Group groups[2] = {
        { "/Dialogs/LayerSettings/ShadowTab/LayerShadow=Layer Shadow (animated)",
            "/Dialogs/LayerSettings/ShadowTab/ShadowOn=Shadow on", LD_SHADOW_ON,
            "/Dialogs/LayerSettings/ShadowTab/Expansion=Expansion",
            "/Dialogs/LayerSettings/ShadowTab/ShadowColor=Shadow color",
            "/Dialogs/LayerSettings/ShadowTab/ShadowDirection=Shadow direction", &fShadowOn, &fShadowOffset,
            &fShadowBlur, &fShadowExpansion, &fShadowColor, &fShadowAngle },
        { "/Dialogs/LayerSettings/ShadowTab/LayerShading=Layer Shading (animated)",
            "/Dialogs/LayerSettings/ShadowTab/ShadingOn=Shading on", LD_SHADING_ON,
            "/Dialogs/LayerSettings/ShadowTab/Contraction=Contraction",
            "/Dialogs/LayerSettings/ShadowTab/ShadingColor=Shading color",
            "/Dialogs/LayerSettings/ShadowTab/ShadingDirection=Shading direction", &fShadingOn, &fShadingOffset,
            &fShadingBlur, &fShadingContraction, &fShadingColor, &fShadingAngle },
    };
    for (const Group& g : groups) {
        QV_LayoutView* column = BoxColumn(page, g.box);
        *g.onBox = Check(column, g.on, g.message);
        column->PushH(ALIGN_TOP, 16);
        column->PushV(ALIGN_LEFT, 4);
        *g.offset = NumberField(48, FIELD_UINT);
        *g.blur = NumberField(48, FIELD_UINT);
        *g.extent = NumberField(48, FIELD_UINT);
        LabelledField(column, "/Dialogs/LayerSettings/ShadowTab/Offset=Offset", *g.offset, 80);
        LabelledField(column, "/Dialogs/LayerSettings/ShadowTab/Blur=Blur", *g.blur, 80);
        LabelledField(column, g.third, *g.extent, 80);
        column->PushH(ALIGN_LEFT, 8);
        column->AddChild(new QV_PadView(32, 8));
        *g.swatch = new QV_ColorSwatch(true, rgb_color { 0, 0, 0, 128 }, 0);
        column->AddChild(*g.swatch, ALIGN_CENTER);
        column->AddChild(new QV_StaticText(Localize(g.color)), ALIGN_CENTER);
        column->Pop();
        column->Pop();
        column->PushV(ALIGN_CENTER, 4);
        *g.angle = new QV_AngleWidget(0);
        column->AddChild(*g.angle, ALIGN_CENTER);
        column->AddChild(new QV_StaticText(Localize(g.direction)), ALIGN_CENTER);
        column->Pop();
        column->Pop();
    }
    return page;
}

QV_LayoutView* LayerDlog::BuildMotionBlurPage()
{
    QV_LayoutView* page = NewPage();
    QV_LayoutView* column = BoxColumn(page, "/Dialogs/LayerSettings/MotionBlurTab/MotionBlur=Motion Blur (animated)");
    fMotionBlurOn = Check(column, "/Dialogs/LayerSettings/MotionBlurTab/MotionBlurOn=Motion blur on", LD_MOTION_BLUR_ON);
    fMotionBlurFrames = NumberField(48, FIELD_UINT);
    fMotionBlurSkip = NumberField(48, FIELD_UINT);
    fMotionBlurAlphaStart = NumberField(48, FIELD_UINT);
    fMotionBlurAlphaEnd = NumberField(48, FIELD_UINT);
    fMotionBlurRadius = NumberField(48, FIELD_UINT);
    LabelledField(column, "/Dialogs/LayerSettings/MotionBlurTab/FrameCount=Frame count", fMotionBlurFrames);
    LabelledField(column, "/Dialogs/LayerSettings/MotionBlurTab/FrameSkip=Frame skip", fMotionBlurSkip);
    LabelledField(column, "/Dialogs/LayerSettings/MotionBlurTab/StartOpacity=Start opacity (%)", fMotionBlurAlphaStart);
    LabelledField(column, "/Dialogs/LayerSettings/MotionBlurTab/EndOpacity=End opacity (%)", fMotionBlurAlphaEnd);
    LabelledField(column, "/Dialogs/LayerSettings/MotionBlurTab/BlurRadius=Blur radius", fMotionBlurRadius);
    return page;
}

QV_LayoutView* LayerDlog::BuildMaskingPage()
{
    QV_LayoutView* page = NewPage();
    if (fType == LT_GROUP || fType == LT_BONE) {
        // Each radio group in a column of its own: a radio button turns off its siblings only.
        QV_LayoutView* column = BoxColumn(page, "/Dialogs/LayerSettings/MaskingTab/GroupMask=Group Mask");
        fNoGroupMask = Radio(column, "/Dialogs/LayerSettings/MaskingTab/NoMasking=No masking in this group");
        fRevealAll = Radio(column, "/Dialogs/LayerSettings/MaskingTab/RevealAll=Reveal all");
        fHideAll = Radio(column, "/Dialogs/LayerSettings/MaskingTab/HideAll=Hide all");
    }
    QV_LayoutView* column = BoxColumn(page, "/Dialogs/LayerSettings/MaskingTab/LayerMasking=Layer Masking");
    const char* const labels[6] = {
        "/Dialogs/LayerSettings/MaskingTab/MaskThisLayer=Mask this layer",
        "/Dialogs/LayerSettings/MaskingTab/DontMaskThisLayer=Don't mask this layer",
        "/Dialogs/LayerSettings/MaskingTab/AddToMask=+ Add to mask",
        "/Dialogs/LayerSettings/MaskingTab/AddInvisiblyToMask=+ Add to mask, but keep invisible",
        "/Dialogs/LayerSettings/MaskingTab/SubtractInvisiblyFromMask=- Subtract from mask (this layer will be invisible)",
        "/Dialogs/LayerSettings/MaskingTab/ClearThenAddToMask=+ Clear the mask, then add this layer to it",
    };
    for (int32_t i = 0; i < 6; i++)
        fMaskModes[i] = Radio(column, labels[i], LD_MASKING);
    if (fType == LT_VECTOR)
        fExcludeStrokes = Check(page, "/Dialogs/LayerSettings/MaskingTab/ExcludeStrokes=Exclude Strokes");
    return page;
}

QV_LayoutView* LayerDlog::BuildVectorsPage()
{
    QV_LayoutView* page = NewPage();
    QV_LayoutView* column = BoxColumn(page, "/Dialogs/LayerSettings/VectorTab/NoiseSettings=Noise Settings");
    fNoisyOutlines = Check(column, "/Dialogs/LayerSettings/VectorTab/NoisyOutlines=Noisy outlines", LD_NOISY_OUTLINES);
    fNoisyFills = Check(column, "/Dialogs/LayerSettings/VectorTab/NoisyFills=Noisy fills", LD_NOISY_FILLS);
    fAnimatedNoise = Check(column, "/Dialogs/LayerSettings/VectorTab/AnimatedNoise=Animated noise", LD_ANIMATED_NOISE);
    fExtraSketchy = Check(column, "/Dialogs/LayerSettings/VectorTab/ExtraSketchy=Extra sketchy", LD_EXTRA_SKETCHY);
    fNoiseOffset = NumberField(48, FIELD_UINT);
    fNoiseScale = NumberField(48, FIELD_UINT);
    fLineCount = NumberField(48, FIELD_UINT);
    column->PushH(ALIGN_LEFT, 8);
    const char* const labels[3] = { "/Dialogs/LayerSettings/VectorTab/Offset=Offset (pixels)",
        "/Dialogs/LayerSettings/VectorTab/Scale=Scale (pixels)", "/Dialogs/LayerSettings/VectorTab/LineCount=Line count" };
    QV_TextControl* fields[3] = { fNoiseOffset, fNoiseScale, fLineCount };
    for (int32_t i = 0; i < 3; i++) {
        column->PushV(ALIGN_LEFT, 2);
        column->AddChild(new QV_StaticText(Localize(labels[i])), ALIGN_LEFT);
        column->AddChild(fields[i], ALIGN_LEFT);
        column->Pop();
    }
    column->Pop();
    fNoisePreview = new NoisePreview(this, fDocument ? fDocument->Fps() : 24.0f);
    column->AddChild(fNoisePreview, ALIGN_CENTER);
    fGapFilling = Check(page, "/Dialogs/LayerSettings/VectorTab/GapFilling=Gap filling");
    return page;
}

QV_LayoutView* LayerDlog::BuildDepthSortPage()
{
    QV_LayoutView* page = NewPage();
    QV_LayoutView* column = BoxColumn(page, "/Dialogs/LayerSettings/GroupTab/DepthSorting=Depth Sorting");
    fSortByDepth = Check(column, "/Dialogs/LayerSettings/GroupTab/SortLayersByDepth=Sort layers by depth", LD_DEPTH_SORT);
    fSortByDistance = Check(column, "/Dialogs/LayerSettings/GroupTab/SortLayersByTrueDistance=Sort by true distance");
    fAnimatedOrder
        = Check(column, "/Dialogs/LayerSettings/GroupTab/EnableAnimatedLayerOrder=Enable animated layer order");
    return page;
}

QV_LayoutView* LayerDlog::BuildBonesPage()
{
    QV_LayoutView* page = NewPage();
    QV_LayoutView* column = BoxColumn(page, "/Dialogs/LayerSettings/BoneTab/BindingMode=Binding Mode");
    fFlexibleBinding = Radio(column, "/Dialogs/LayerSettings/BoneTab/FlexibleBinding=Flexible binding");
    fRegionBinding = Radio(column, "/Dialogs/LayerSettings/BoneTab/RegionBinding=Region binding");
    return page;
}

QV_LayoutView* LayerDlog::BuildImagePage()
{
    QV_LayoutView* page = NewPage();
    QV_LayoutView* column = BoxColumn(page, "/Dialogs/LayerSettings/ImageTab/ImageSettings=Image Settings");
    fSourceImage = new QV_Button(
        Localize("/Dialogs/LayerSettings/ImageTab/SourceImage=Source Image..."), LD_SOURCE_IMAGE, 0, false, 3);
    column->AddChild(fSourceImage, ALIGN_LEFT);
    fAviAlpha = Check(column, "/Dialogs/LayerSettings/ImageTab/AVIAlpha=AVI movie has alpha");
    fLoopMovie = Check(column, "/Dialogs/LayerSettings/ImageTab/LoopMovie=Loop movie indefinitely");
    fMovieFps = new QV_TextControl(64, "1000.00", 0, FIELD_UFLOAT);
    LabelledField(column, "/Dialogs/LayerSettings/ImageTab/MovieFPS=Movie FPS", fMovieFps, 80);
    fImageWarp = Check(column, "/Dialogs/LayerSettings/ImageTab/BoneWarping=Warp using bones");
    return page;
}

QV_LayoutView* LayerDlog::BuildSwitchPage()
{
    QV_LayoutView* page = NewPage();
    QV_LayoutView* column = BoxColumn(page, "/Dialogs/LayerSettings/SwitchTab/SwitchSettings=Switch Settings");
    column->AddChild(
        new QV_StaticText(Localize("/Dialogs/LayerSettings/SwitchTab/SelectLipSyncSource=Select audio sync source:")));
    fLipSync = new QV_PopupMenu(160, true);
    auto* menu = new QV_Menu("Lip-Sync");
    menu->AddItem(Localize("/Menus/LayerBlendMode/None=None"), 0, LD_LIPSYNC_NONE);
    menu->SetChecked(LD_LIPSYNC_NONE, true);
    menu->AddItem(nullptr, 0, 0);
    if (fDocument) {
        QV_ArrayList audio;
        fDocument->CollectAudioLayers(audio, nullptr);
        const int32_t count = std::min(audio.fCount, LD_LIPSYNC_LAST - LD_LIPSYNC_FIRST + 1);
        for (int32_t i = 0; i < count; i++)
            menu->AddItem(static_cast<VornLayer*>(audio.fItems[i])->Name().CString(), 0, LD_LIPSYNC_FIRST + i);
        if (count > 0)
            menu->AddItem(nullptr, 0, 0);
    }
    menu->AddItem(Localize("/Menus/LayerBlendMode/SwitchDataFile=Switch Data File..."), 0, LD_SWITCH_DATA);
    fLipSync->SetMenu(menu);
    column->AddChild(fLipSync, ALIGN_LEFT);
    fInterpolate = Check(page, "/Dialogs/LayerSettings/SwitchTab/InterpolateSubLayers=Interpolate sub-layers");
    return page;
}

QV_LayoutView* LayerDlog::BuildParticlesPage()
{
    QV_LayoutView* page = NewPage();
    QV_LayoutView* column = BoxColumn(page, "/Dialogs/LayerSettings/ParticleTab/ParticleSettings=Particle Settings");
    struct Row {
        const char* label;
        int32_t type;
        QV_TextControl** field;
    };
    const Row rows[] = {
        { "/Dialogs/LayerSettings/ParticleTab/ParticleCount=Particle count", FIELD_UINT, &fParticleCount },
        { "/Dialogs/LayerSettings/ParticleTab/PreviewParticles=Preview particles", FIELD_UINT, &fPreviewParticles },
        { "/Dialogs/LayerSettings/ParticleTab/Lifetime=Lifetime (frames)", FIELD_UINT, &fLifetime },
        { "/Dialogs/LayerSettings/ParticleTab/SourceWidth=Source width", FIELD_UFLOAT, &fSourceWidth },
        { "/Dialogs/LayerSettings/ParticleTab/SourceHeight=Source height", FIELD_UFLOAT, &fSourceHeight },
        { "/Dialogs/LayerSettings/ParticleTab/SourceDepth=Source depth", FIELD_UFLOAT, &fSourceDepth },
        { "/Dialogs/LayerSettings/ParticleTab/Velocity=Velocity", FIELD_UFLOAT, &fVelocity },
        { "/Dialogs/LayerSettings/ParticleTab/VelocitySpread=Velocity spread", FIELD_UFLOAT, &fVelocitySpread },
        { "/Dialogs/LayerSettings/ParticleTab/Damping=Damping", FIELD_UFLOAT, &fDamping },
    };
    for (const Row& row : rows) {
        *row.field = NumberField(48, row.type);
        LabelledField(column, row.label, *row.field, 110);
    }
    fOnAtStart = Check(column, "/Dialogs/LayerSettings/ParticleTab/OnAtStart=On at start", LD_ON_AT_START);
    fFullSpeedStart = Check(column, "/Dialogs/LayerSettings/ParticleTab/FullSpeedStart=Full speed start");
    fOrientParticles = Check(column, "/Dialogs/LayerSettings/ParticleTab/OrientParticles=Orient particles");
    fFreeFloating = Check(column, "/Dialogs/LayerSettings/ParticleTab/FreeFloating=Free-floating");
    fEvenlySpaced = Check(column, "/Dialogs/LayerSettings/ParticleTab/EvenlySpaced=Evenly spaced");
    fRandomizePlayback = Check(column, "/Dialogs/LayerSettings/ParticleTab/RandomizePlayback=Randomize playback");
    const char* const angles[2][2] = {
        { "/Dialogs/LayerSettings/ParticleTab/Direction=Direction", "/Dialogs/LayerSettings/ParticleTab/Spread=Spread" },
        { "/Dialogs/LayerSettings/ParticleTab/Acceleration=Acceleration", "/Dialogs/LayerSettings/ParticleTab/Rate=Rate" },
    };
    QV_AngleWidget** widgets[2] = { &fDirection, &fAcceleration };
    QV_TextControl** fields[2] = { &fSpread, &fRate };
    for (int32_t i = 0; i < 2; i++) {
        column->PushH(ALIGN_LEFT, 8);
        *widgets[i] = new QV_AngleWidget(0);
        column->AddChild(*widgets[i], ALIGN_CENTER);
        column->AddChild(new QV_StaticText(Localize(angles[i][0])), ALIGN_CENTER);
        column->AddChild(new QV_PadView(32, 8));
        column->AddChild(new QV_StaticText(Localize(angles[i][1])), ALIGN_CENTER);
        *fields[i] = NumberField(48, FIELD_UFLOAT);
        column->AddChild(*fields[i], ALIGN_CENTER);
        column->Pop();
    }
    return page;
}

QV_LayoutView* LayerDlog::BuildNotePage()
{
    QV_LayoutView* page = NewPage();
    page->AddChild(new QV_StaticText(Localize("/Dialogs/LayerSettings/NoteTab/NoteText=Note text")), ALIGN_LEFT);
    fNoteText = new QV_TextControl(256, "", 0, FIELD_TEXT);
    page->AddChild(fNoteText, ALIGN_LEFT);
    return page;
}

QV_LayoutView* LayerDlog::Build3DPage()
{
    QV_LayoutView* page = NewPage();
    auto swatchRow = [&](const char* label, QV_ColorSwatch** swatch) {
        page->PushH(ALIGN_LEFT, 8);
        *swatch = new QV_ColorSwatch(false, rgb_color { 0, 0, 0, 255 }, 0);
        page->AddChild(*swatch, ALIGN_CENTER);
        page->AddChild(new QV_StaticText(Localize(label)), ALIGN_CENTER);
        page->Pop();
    };
    swatchRow("/Dialogs/LayerSettings/3DTab/DefaultColor=Default color", &fDefaultColor);
    swatchRow("/Dialogs/LayerSettings/3DTab/EdgeColor=Edge color", &fEdgeColor);
    page->AddChild(new QV_StaticText(Localize("/Dialogs/LayerSettings/3DTab/PolygonOrientation=Polygon orientation")), ALIGN_LEFT);
    page->PushV(ALIGN_LEFT, 4);
    page->Indent();
    fClockwise = Radio(page, "/Dialogs/LayerSettings/3DTab/Clockwise=Clockwise");
    fCounterClockwise = Radio(page, "/Dialogs/LayerSettings/3DTab/CounterClockwise=Counter-clockwise");
    page->Unindent();
    page->Pop();
    const int32_t width = gWidgetFont ? gWidgetFont->StringWidth("00.0000") + 12 : 56;
    fEdgeOffset = new QV_TextControl(width, "", 0, FIELD_UFLOAT);
    LabelledField(page, "/Dialogs/LayerSettings/3DTab/EdgeOffset=Edge offset", fEdgeOffset, 80);
    f3DWarp = Check(page, "/Dialogs/LayerSettings/3DTab/WarpUsingBones=Warp using bones");
    fResetZ = Check(page, "/Dialogs/LayerSettings/3DTab/ResetZBuffer=Reset Z buffer");
    return page;
}

QV_LayoutView* LayerDlog::BuildAudioPage()
{
    QV_LayoutView* page = NewPage();
    QV_LayoutView* column = BoxColumn(page, "/Dialogs/LayerSettings/AudioTab/AudioSettings=Audio Settings");
    fSourceAudio = new QV_Button(
        Localize("/Dialogs/LayerSettings/AudioTab/SourceAudio=Source Audio..."), LD_SOURCE_AUDIO, 0, false, 3);
    column->AddChild(fSourceAudio, ALIGN_LEFT);
    fAudioLevel = new QV_TextControl(64, "1000.00", 0, FIELD_FLOAT);
    LabelledField(column, "/Dialogs/LayerSettings/AudioTab/AudioLevel=Audio level", fAudioLevel, 80);
    fSpatial = Check(column, "/Dialogs/LayerSettings/AudioTab/SpatialPositioning=Spatial positioning");
    return page;
}

NoisePreview::NoisePreview(LayerDlog* dialog, float framesPerSecond)
    : QV_AnimatedWidget(FOLLOW_LEFT | FOLLOW_TOP, true, framesPerSecond > 0 ? framesPerSecond : 24.0f, true)
    , fDialog(dialog)
    , fCounter(0)
{
    ResizeTo(160, 32);
}

void NoisePreview::Tick(QV_Graphics*, int32_t, float, float)
{
    QV_Wnd* window = Window();
    // A frame that would wait for a busy window is skipped rather than stalling the interface.
    if (!window || !window->fWndMutex || !PlatMutexLock(window->fWndMutex, 10))
        return;
    if (!fDialog->fAnimatedNoise || !fDialog->fAnimatedNoise->Value())
        fCounter = 0;
    else if (++fCounter > 1024)
        fCounter = 0;
    PlatMutexUnlock(window->fWndMutex);
}

void NoisePreview::DrawWidget(QV_Graphics* graphics)
{
    const QV_Point size = Size();
    if (size.x <= 0 || size.y <= 0)
        return;
    QV_BaseImage figure;
    if (figure.Allocate(size.x, size.y, 32) != 0)
        return;
    DrawFigure(&figure.buffer);
    BlitRaster(figure.buffer, graphics->fTarget, int32_t(graphics->fPanX), int32_t(graphics->fPanY));
    graphics->fViewMode = QV_Graphics::kViewPlain;
    graphics->BeginDraw();
    graphics->SetColorStruct(WidgetOutline);
    graphics->FrameRect(0, 0, size.x - 1, size.y - 1);
}

void NoisePreview::DrawFigure(QV_PixelBuffer* raster)
{
    auto clampedField = [](QV_TextControl* field, int32_t lo, int32_t hi) {
        return field ? std::clamp(field->IntValue(), lo, hi) : lo;
    };
    const int32_t amplitude = clampedField(fDialog->fNoiseOffset, 1, 1024);
    const int32_t wavelength = clampedField(fDialog->fNoiseScale, 1, 1024);
    const bool noisyOutlines = fDialog->fNoisyOutlines && fDialog->fNoisyOutlines->Value();
    const bool noisyFills = fDialog->fNoisyFills && fDialog->fNoisyFills->Value();
    const int32_t outlines = noisyOutlines ? clampedField(fDialog->fLineCount, 1, 16) : 1;

    QV_Graphics graphics;
    if (graphics.SetRaster(raster) != 0)
        return;
    graphics.Clear(TextBackground);
    graphics.fViewMode = QV_Graphics::kViewCentered;
    graphics.SetSmoothing(true);
    graphics.SetBezierTolerance(2.0f);
    graphics.BeginDraw();
    // Four arcs through the axis points at 0.625, a rounded diamond.
    const float r = 0.625f;
    const float c = 0.375f;
    const QV_Vector2 arcs[4][4] = {
        { { r, 0 }, { r, c }, { c, r }, { 0, r } },
        { { 0, r }, { -c, r }, { -r, c }, { -r, 0 } },
        { { -r, 0 }, { -r, -c }, { -c, -r }, { 0, -r } },
        { { 0, -r }, { c, -r }, { r, -c }, { r, 0 } },
    };
    graphics.fLineNoise = false;
    if (noisyFills)
        graphics.SetLineNoise(amplitude, wavelength, fCounter);
    graphics.SetColorStruct(Selection);
    graphics.BeginShape();
    for (const auto& arc : arcs)
        graphics.AddCurve(arc[0], arc[1], arc[2], arc[3]);
    graphics.EndShape();
    graphics.FillShape();
    graphics.SetColorStruct(Text);
    for (int32_t i = 0; i < outlines; i++) {
        graphics.fLineNoise = false;
        if (noisyOutlines)
            graphics.SetLineNoise(amplitude, wavelength, fCounter + 7 * i);
        for (const auto& arc : arcs)
            graphics.DrawCurve(arc);
    }
    graphics.fLineNoise = false;
    graphics.EndDraw();
}

int32_t LayerDlog::ShowAlert(const char* text)
{
    return Alert(nullptr, ALERT_WARNING, text, nullptr, nullptr, Localize("/Strings/OK=OK"), nullptr, nullptr);
}

void LayerDlog::ChooseFile(const char* title, int32_t message, const char* description, const char* patterns)
{
    RunOpenFileDialog(title, this, fWindow, message, description, patterns);
}

bool RunLayerSettings(QV_Wnd* owner, VornDoc* document, VornLayer* layer)
{
    if (!document || !layer)
        return false;
    auto* dialog = new LayerDlog(owner, document, layer);
    return dialog->DoModal() == MSG_OK;
}
