// What Layer Settings shows of its layer, how it checks and links its widgets, the file
// choosers, and what OK writes back (one undo level, keys only where something changed).
#include <algorithm>
#include <cmath>
#include <initializer_list>

#include "audiolayer.h"
#include "bonelayer.h"
#include "grouplayer.h"
#include "image_format_registry.h"
#include "imagelayer.h"
#include "layer_dlog.h"
#include "mesh3dlayer.h"
#include "meshlayer.h"
#include "notelayer.h"
#include "particlelayer.h"
#include "qv_angle_widget.h"
#include "qv_app.h"
#include "qv_check_box.h"
#include "qv_color_swatch.h"
#include "qv_menu.h"
#include "qv_message.h"
#include "qv_popup_menu.h"
#include "qv_sound_clip.h"
#include "qv_tab_view.h"
#include "qv_text_control.h"
#include "switchlayer.h"
#include "vorndoc.h"
#include "vornlayer.h"
#include "widget_rounding.h"

namespace {

constexpr float kPi = 3.14159265358979f;

int32_t Pixels(float value, float height)
{
    return RoundHalfAway(double(value) * height);
}

int32_t WholeDegrees(float radians)
{
    return RoundHalfAway(double(radians) * 180.0 / kPi);
}

bool SameColor(rgb_color a, rgb_color b)
{
    return a.r == b.r && a.g == b.g && a.b == b.b && a.a == b.a;
}

// Out of range: the nearest allowed value goes into the field and the check fails.
bool ClampField(QV_TextControl* field, int32_t lo, int32_t hi)
{
    if (!field)
        return true;
    const int32_t value = field->IntValue();
    if (value >= lo && value <= hi)
        return true;
    field->SetValue(std::clamp(value, lo, hi));
    return false;
}

bool Checked(QV_RadioButton* radio)
{
    return radio && radio->Value();
}

void Enable(QV_View* view, bool on)
{
    if (view)
        view->Enable(on);
}

// The masking modes in the order of the dialog's radio buttons; 3 is never offered.
constexpr int32_t kMaskModes[6] = { MM_MASKED, MM_NOTMASKED, MM_ADD_MASK, MM_ADD_MASK_INVIS, MM_SUB_MASK_INVIS,
    MM_CLEAR_ADD_MASK };

} // namespace

// ---- Loading ----

void LayerDlog::ExchangeData(bool apply)
{
    if (!fLayer || !fDocument)
        return;
    if (!apply) {
        LoadGeneral();
        LoadEffects();
        LoadKindPages();
        QV_TextControl* focus = fName;
        if (fType == LT_NOTE && fNoteText) {
            fTabs->SelectTab(kNoteTab);
            focus = fNoteText;
        }
        focus->SelectAll();
        SetFocus(focus);
        fInitialFocus = focus;
        if (sOpenedHook)
            sOpenedHook(this);
        return;
    }

    fDocument->PrepUndo(fLayer);
    const int32_t F = fLayer->CurFrame();
    fLayer->SetName(fName->Value());
    fLayer->SetRenderOnly(fHideInEditView->Value());
    fLayer->SetEditOnly(fDontRender->Value());
    fLayer->SetAnimatedLayerEffects(fAnimatedEffects->Value());
    const int32_t E = fLayer->HasAnimatedLayerEffects() ? F : 0;
    StoreGeneral(F, E);
    StoreEffects(E);
    StoreKindPages(F);

    fDocument->FullDepthSort();
    fDocument->SetDirty();
    fDocument->SetCurFrame(fDocument->CurFrame());
    // The views redraw and the panels (layer names, icons, audio tracks) follow.
    if (fWindow)
        fWindow->PostMessage(1001);
    if (fOwnerWindow)
        fOwnerWindow->PostMessage(1006);
}

void LayerDlog::LoadGeneral()
{
    const int32_t F = fLayer->CurFrame();
    const float H = float(fDocument->Height());
    fName->SetValue(fLayer->Name().CString());
    fHideInEditView->SetValue(fLayer->IsRenderOnly());
    fDontRender->SetValue(fLayer->IsEditOnly());
    fAnimatedEffects->SetValue(fLayer->HasAnimatedLayerEffects());
    fLoadVisible = fLayer->fVisibility.GetValue(F);
    fLoadBlur = std::clamp(Pixels(fLayer->fBlur.GetValue(F), H), 0, 256);
    fLoadOpacity = std::clamp(Pixels(fLayer->fAlpha.GetValue(F), 100.0f), 0, 100);
    fLoadAutoShading = std::clamp(Pixels(fLayer->fAmbientOcclusion.GetValue(F), H), 0, 256);
    fLoadFlipH = fLayer->fFlipH.GetValue(F);
    fLoadFlipV = fLayer->fFlipV.GetValue(F);
    fVisible->SetValue(fLoadVisible);
    fBlur->SetValue(fLoadBlur);
    fOpacity->SetValue(fLoadOpacity);
    fAutoShading->SetValue(fLoadAutoShading);
    fFlipH->SetValue(fLoadFlipH);
    fFlipV->SetValue(fLoadFlipV);
    fRotateToFollow->SetValue(fLayer->DoesRotateToFollow());
    fFaceCamera->SetValue(fLayer->DoesFaceCamera());
    fScaleCompensation->SetValue(fLayer->HasScaleCompensation());
    fCameraImmune->SetValue(fLayer->IsImmuneToCamera());
    // A sub-layer moves with its group, which alone can be kept off the camera.
    fCameraImmune->Enable(fLayer->Parent() == nullptr);
    fDofImmune->SetValue(fLayer->IsImmuneToDof());
    fHsvPath = fLayer->HsvImage();
    fHsvImage->SetValue(!fHsvPath.IsEmpty());
    fScriptPath = fLayer->fLayerScript;
    fScript->SetValue(!fScriptPath.IsEmpty());
    if (QV_Menu* menu = fBlendMode->Menu()) {
        menu->UncheckAll();
        menu->SetChecked(LD_BLEND_FIRST + fLayer->BlendingMode(), true);
    }
    fBlendMode->Draw();
}

void LayerDlog::LoadEffects()
{
    const int32_t F = fLayer->CurFrame();
    const float H = float(fDocument->Height());
    VornLayer* l = fLayer;

    fLoadShadowOn = l->fLayerShadow.GetValue(F);
    fShadowOn->SetValue(fLoadShadowOn);
    fShadowAngle->SetValue(l->fShadowAngle.GetValue(F));
    fLoadShadowAngle = WholeDegrees(fShadowAngle->Value());
    fLoadShadowOffset = Pixels(l->fShadowOffset.GetValue(F), H);
    fLoadShadowBlur = Pixels(l->fShadowBlur.GetValue(F), H);
    fLoadShadowExpansion = Pixels(l->fShadowExpansion.GetValue(F), H);
    fShadowOffset->SetValue(fLoadShadowOffset);
    fShadowBlur->SetValue(std::clamp(fLoadShadowBlur, 0, 256));
    fShadowExpansion->SetValue(std::clamp(fLoadShadowExpansion, 0, 30));
    fLoadShadowColor = l->fShadowColor.GetValue(F).AsColorStruct();
    fShadowColor->SetValue(fLoadShadowColor);
    PostMessage(LD_SHADOW_ON);

    fLoadShadingOn = l->fLayerShading.GetValue(F);
    fShadingOn->SetValue(fLoadShadingOn);
    fShadingAngle->SetValue(l->fShadingAngle.GetValue(F));
    fLoadShadingAngle = WholeDegrees(fShadingAngle->Value());
    fLoadShadingOffset = Pixels(l->fShadingOffset.GetValue(F), H);
    fLoadShadingBlur = Pixels(l->fShadingBlur.GetValue(F), H);
    fLoadShadingContraction = Pixels(l->fShadingContraction.GetValue(F), H);
    fShadingOffset->SetValue(fLoadShadingOffset);
    fShadingBlur->SetValue(std::clamp(fLoadShadingBlur, 0, 256));
    fShadingContraction->SetValue(std::clamp(fLoadShadingContraction, 0, 30));
    fLoadShadingColor = l->fShadingColor.GetValue(F).AsColorStruct();
    fShadingColor->SetValue(fLoadShadingColor);
    PostMessage(LD_SHADING_ON);

    fLoadMotionBlurOn = l->fMotionBlur.GetValue(F);
    fLoadMotionBlurFrames = RoundHalfAway(l->fMotionBlurFrames.GetValue(F));
    fLoadMotionBlurSkip = RoundHalfAway(l->fMotionBlurSkip.GetValue(F));
    fLoadMotionBlurAlphaStart = Pixels(l->fMotionBlurAlphaStart.GetValue(F), 100.0f);
    fLoadMotionBlurAlphaEnd = Pixels(l->fMotionBlurAlphaEnd.GetValue(F), 100.0f);
    fLoadMotionBlurRadius = Pixels(l->fMotionBlurRadius.GetValue(F), H);
    fMotionBlurOn->SetValue(fLoadMotionBlurOn);
    fMotionBlurFrames->SetValue(fLoadMotionBlurFrames);
    fMotionBlurSkip->SetValue(fLoadMotionBlurSkip);
    fMotionBlurAlphaStart->SetValue(fLoadMotionBlurAlphaStart);
    fMotionBlurAlphaEnd->SetValue(fLoadMotionBlurAlphaEnd);
    fMotionBlurRadius->SetValue(fLoadMotionBlurRadius);
    PostMessage(LD_MOTION_BLUR_ON);

    if (fNoGroupMask) {
        const int32_t mask = static_cast<GroupLayer*>(l)->GetGroupMask();
        (mask == GROUP_MASK_SHOW_ALL ? fRevealAll : mask == GROUP_MASK_HIDE_ALL ? fHideAll : fNoGroupMask)
            ->SetValue(true);
    }
    int32_t shown = 0;
    for (int32_t i = 1; i < 6; i++) {
        if (kMaskModes[i] == l->MaskingMode())
            shown = i;
    }
    fMaskModes[shown]->SetValue(true);
    if (fExcludeStrokes)
        fExcludeStrokes->SetValue(static_cast<MeshLayer*>(l)->fExcludeLinesFromMask);
    PostMessage(LD_MASKING);
}

void LayerDlog::LoadKindPages()
{
    const int32_t F = fLayer->CurFrame();
    const float H = float(fDocument->Height());
    if (fVectorsPage) {
        auto* mesh = static_cast<MeshLayer*>(fLayer);
        fNoisyOutlines->SetValue(mesh->fNoisyLines);
        fNoisyFills->SetValue(mesh->fNoisyShapes);
        fAnimatedNoise->SetValue(mesh->fAnimatedNoise);
        fExtraSketchy->SetValue(mesh->fExtraSketchy);
        fNoiseOffset->SetValue(Pixels(mesh->fNoiseAmp, H));
        fNoiseScale->SetValue(Pixels(mesh->fNoiseScale, H));
        fLineCount->SetValue(mesh->fExtraLines + 1);
        PostMessage(LD_NOISY_OUTLINES);
        fGapFilling->SetValue(mesh->fGapFilling);
    }
    if (fDepthSortPage) {
        auto* group = static_cast<GroupLayer*>(fLayer);
        fSortByDepth->SetValue(group->IsDepthSorted());
        fSortByDistance->SetValue(group->IsDistanceSorted());
        fAnimatedOrder->SetValue(group->IsLayerOrderingEnabled());
        PostMessage(LD_DEPTH_SORT);
    }
    if (fBonesPage) {
        const int32_t mode = static_cast<BoneLayer*>(fLayer)->fSkeleton.fBindingMode;
        fFlexibleBinding->SetValue(false);
        fRegionBinding->SetValue(false);
        if (mode == 1)
            fFlexibleBinding->SetValue(true);
        else if (mode == 2)
            fRegionBinding->SetValue(true);
    }
    if (fImagePage) {
        auto* image = static_cast<ImageLayer*>(fLayer);
        fImagePath = image->SourceImage();
        fAviAlpha->SetValue(image->AviHasAlpha());
        fLoopMovie->SetValue(image->MovieLooping());
        EnableImageOptions();
        const float fps = image->fInterpretedFps > 0 ? image->fInterpretedFps
            : image->IsMovieLayer()                  ? image->fMovieFps
                                                     : 0.0f;
        fMovieFps->SetValue(fps);
        fImageWarp->SetValue(image->LayerParentBone() == -3);
    }
    if (fSwitchPage) {
        fInterpolate->SetValue(static_cast<SwitchLayer*>(fLayer)->InterpMode());
        fSwitchDataPath = "";
    }
    if (fParticlesPage) {
        auto* particles = static_cast<ParticleLayer*>(fLayer);
        int32_t total = 0;
        int32_t preview = 0;
        particles->GetNumParticles(total, preview);
        fParticleCount->SetValue(total);
        fPreviewParticles->SetValue(preview);
        fLifetime->SetValue(particles->Lifetime());
        const QV_Vector3 source = particles->SourceDimensions();
        fSourceWidth->SetValue(source.x);
        fSourceHeight->SetValue(source.y);
        fSourceDepth->SetValue(source.z);
        float direction = 0;
        float spread = 0;
        particles->GetDirection(direction, spread);
        float velocity = 0;
        float velocitySpread = 0;
        particles->GetVelocity(velocity, velocitySpread);
        fVelocity->SetValue(velocity);
        fVelocitySpread->SetValue(velocitySpread);
        fDamping->SetValue(particles->Damping());
        fOnAtStart->SetValue(particles->fActivation.GetValue(0));
        fFullSpeedStart->SetValue(particles->FullSpeedStart());
        fFullSpeedStart->Enable(fOnAtStart->Value());
        fOrientParticles->SetValue(particles->Orientation());
        fFreeFloating->SetValue(particles->FreeFloating());
        fEvenlySpaced->SetValue(particles->EvenlySpaced());
        fRandomizePlayback->SetValue(particles->RandomStartTime());
        fDirection->SetValue(direction);
        fSpread->SetValue(float(double(spread) * 2.0 * 180.0 / kPi));
        float angle = 0;
        float rate = 0;
        particles->GetAcceleration(angle, rate);
        fAcceleration->SetValue(angle);
        fRate->SetValue(rate);
    }
    if (fNotePage)
        fNoteText->SetValue(static_cast<NoteLayer*>(fLayer)->fNoteText.CString());
    if (f3DPage) {
        auto* model = static_cast<Mesh3DLayer*>(fLayer);
        fDefaultColor->SetValue(model->fMesh.DefaultColor());
        fEdgeColor->SetValue(model->fMesh.EdgeColor());
        (model->fMesh.Clockwise() ? fClockwise : fCounterClockwise)->SetValue(true);
        fEdgeOffset->SetValue(model->EdgeOffset());
        f3DWarp->SetValue(model->LayerParentBone() == -3);
        fResetZ->SetValue(model->fResetZ);
    }
    if (fAudioPage) {
        auto* audio = static_cast<AudioLayer*>(fLayer);
        fAudioPath = audio->AudioFile();
        fAudioLevel->SetValue(audio->fAudioLevel.value);
        fSpatial->SetValue(audio->SpatialPositioning());
    }
    (void)F;
}

// ---- Validation ----

bool LayerDlog::OnValidate()
{
    bool ok = true;
    ok &= ClampField(fBlur, 0, 256);
    ok &= ClampField(fAutoShading, 0, 256);
    ok &= ClampField(fOpacity, 0, 100);
    ok &= ClampField(fShadowOffset, 0, 1024);
    ok &= ClampField(fShadingOffset, 0, 1024);
    ok &= ClampField(fShadowBlur, 0, 256);
    ok &= ClampField(fShadingBlur, 0, 256);
    ok &= ClampField(fShadowExpansion, 0, 30);
    ok &= ClampField(fShadingContraction, 0, 30);
    ok &= ClampField(fMotionBlurFrames, 1, 1024);
    ok &= ClampField(fMotionBlurSkip, 1, 1024);
    ok &= ClampField(fMotionBlurAlphaStart, 0, 100);
    ok &= ClampField(fMotionBlurAlphaEnd, 0, 100);
    ok &= ClampField(fMotionBlurRadius, 0, 256);
    if (fVectorsPage) {
        // The preview reads these fields on its own timer: it rests while they change.
        const bool running = fNoisePreview->fRunning;
        fNoisePreview->StopAnimation();
        ok &= ClampField(fNoiseOffset, 1, 1024);
        ok &= ClampField(fNoiseScale, 1, 1024);
        ok &= ClampField(fLineCount, 1, 16);
        if (running)
            fNoisePreview->StartAnimation();
    }
    if (fEdgeOffset)
        ok &= QV_Dialog::ValidateFloat(fEdgeOffset, 0.0f, 1.0f);
    if (fAudioLevel)
        ok &= QV_Dialog::ValidateFloat(fAudioLevel, -1000.0f, 1000.0f);
    return ok;
}

// ---- Storing ----

void LayerDlog::StoreGeneral(int32_t F, int32_t E)
{
    VornLayer* l = fLayer;
    const float H = float(fDocument->Height());
    if (fVisible->Value() != fLoadVisible)
        l->fVisibility.SetValue(F, fVisible->Value());
    if (fFlipH->Value() != fLoadFlipH)
        l->fFlipH.SetValue(F, fFlipH->Value());
    if (fFlipV->Value() != fLoadFlipV)
        l->fFlipV.SetValue(F, fFlipV->Value());
    if (fBlur->IntValue() != fLoadBlur)
        l->fBlur.SetValue(E, float(fBlur->IntValue()) / H);
    if (fOpacity->IntValue() != fLoadOpacity)
        l->fAlpha.SetValue(E, float(fOpacity->IntValue()) / 100.0f);
    if (fAutoShading->IntValue() != fLoadAutoShading)
        l->fAmbientOcclusion.SetValue(E, float(fAutoShading->IntValue()) / H);
    l->SetRotateToFollow(fRotateToFollow->Value());
    l->SetFaceCamera(fFaceCamera->Value());
    l->SetScaleCompensation(fScaleCompensation->Value());
    l->SetImmuneToCamera(fCameraImmune->Value());
    l->SetImmuneToDof(fDofImmune->Value());
    l->SetHsvImage(fHsvImage->Value() ? fHsvPath.CString() : "");
    // A new script, or the same one edited since, is loaded afresh at its next use.
    if (l->SetLayerScript(fScript->Value() ? fScriptPath.CString() : "")) {
        l->fLayerScriptLoaded = false;
        l->fLayerScriptFunction = "";
    }
    const int32_t blend = fBlendMode->Menu() ? fBlendMode->Menu()->FirstCheckedMsg() : 0;
    l->SetBlendingMode(blend >= LD_BLEND_FIRST && blend < LD_BLEND_FIRST + 10 ? blend - LD_BLEND_FIRST : -1);
}

void LayerDlog::StoreEffects(int32_t E)
{
    VornLayer* l = fLayer;
    const float H = float(fDocument->Height());
    struct EffectGroup {
        QV_CheckBox* on;
        QV_AngleWidget* angle;
        QV_TextControl* offset;
        QV_TextControl* blur;
        QV_TextControl* extent;
        QV_ColorSwatch* color;
        bool loadOn;
        int32_t loadAngle, loadOffset, loadBlur, loadExtent;
        rgb_color loadColor;
        AnimBool* onChannel;
        AnimVal *angleChannel, *offsetChannel, *blurChannel, *extentChannel;
        AnimColor* colorChannel;
    };
    const EffectGroup groups[2] = {
        { fShadowOn, fShadowAngle, fShadowOffset, fShadowBlur, fShadowExpansion, fShadowColor, fLoadShadowOn,
            fLoadShadowAngle, fLoadShadowOffset, fLoadShadowBlur, fLoadShadowExpansion, fLoadShadowColor,
            &l->fLayerShadow, &l->fShadowAngle, &l->fShadowOffset, &l->fShadowBlur, &l->fShadowExpansion,
            &l->fShadowColor },
        { fShadingOn, fShadingAngle, fShadingOffset, fShadingBlur, fShadingContraction, fShadingColor, fLoadShadingOn,
            fLoadShadingAngle, fLoadShadingOffset, fLoadShadingBlur, fLoadShadingContraction, fLoadShadingColor,
            &l->fLayerShading, &l->fShadingAngle, &l->fShadingOffset, &l->fShadingBlur, &l->fShadingContraction,
            &l->fShadingColor },
    };
    // A group is keyed as a whole, so that its channels never drift apart in time.
    for (const EffectGroup& g : groups) {
        const bool changed = g.on->Value() != g.loadOn || WholeDegrees(g.angle->Value()) != g.loadAngle
            || g.offset->IntValue() != g.loadOffset || g.blur->IntValue() != g.loadBlur
            || g.extent->IntValue() != g.loadExtent || !SameColor(g.color->Value(), g.loadColor);
        if (!changed)
            continue;
        g.onChannel->SetValue(E, g.on->Value());
        g.angleChannel->SetValue(E, g.angle->Value());
        g.offsetChannel->SetValue(E, float(g.offset->IntValue()) / H);
        g.blurChannel->SetValue(E, float(g.blur->IntValue()) / H);
        g.extentChannel->SetValue(E, float(g.extent->IntValue()) / H);
        g.colorChannel->SetValue(E, g.color->Value());
    }
    const bool motionChanged = fMotionBlurOn->Value() != fLoadMotionBlurOn
        || fMotionBlurFrames->IntValue() != fLoadMotionBlurFrames || fMotionBlurSkip->IntValue() != fLoadMotionBlurSkip
        || fMotionBlurAlphaStart->IntValue() != fLoadMotionBlurAlphaStart
        || fMotionBlurAlphaEnd->IntValue() != fLoadMotionBlurAlphaEnd
        || fMotionBlurRadius->IntValue() != fLoadMotionBlurRadius;
    if (motionChanged) {
        l->fMotionBlur.SetValue(E, fMotionBlurOn->Value());
        l->fMotionBlurFrames.SetValue(E, float(fMotionBlurFrames->IntValue()));
        l->fMotionBlurSkip.SetValue(E, float(fMotionBlurSkip->IntValue()));
        l->fMotionBlurAlphaStart.SetValue(E, float(fMotionBlurAlphaStart->IntValue()) / 100.0f);
        l->fMotionBlurAlphaEnd.SetValue(E, float(fMotionBlurAlphaEnd->IntValue()) / 100.0f);
        l->fMotionBlurRadius.SetValue(E, float(fMotionBlurRadius->IntValue()) / H);
    }

    if (fNoGroupMask) {
        const int32_t mask = Checked(fRevealAll) ? GROUP_MASK_SHOW_ALL
            : Checked(fHideAll)                  ? GROUP_MASK_HIDE_ALL
                                                 : GROUP_MASK_NONE;
        static_cast<GroupLayer*>(l)->SetGroupMask(mask);
    }
    int32_t mode = MM_MASKED;
    for (int32_t i = 0; i < 6; i++) {
        if (Checked(fMaskModes[i])) {
            mode = kMaskModes[i];
            break;
        }
    }
    l->SetMaskingMode(mode);
    if (fExcludeStrokes)
        static_cast<MeshLayer*>(l)->fExcludeLinesFromMask = fExcludeStrokes->Value();
}

void LayerDlog::StoreKindPages(int32_t F)
{
    const float H = float(fDocument->Height());
    if (fVectorsPage) {
        auto* mesh = static_cast<MeshLayer*>(fLayer);
        mesh->fNoisyLines = fNoisyOutlines->Value();
        mesh->fNoisyShapes = fNoisyFills->Value();
        mesh->fAnimatedNoise = fAnimatedNoise->Value();
        mesh->fExtraSketchy = fExtraSketchy->Value();
        mesh->fNoiseAmp = float(fNoiseOffset->IntValue()) / H;
        mesh->fNoiseScale = float(fNoiseScale->IntValue()) / H;
        mesh->fExtraLines = fLineCount->IntValue() - 1;
        mesh->fGapFilling = fGapFilling->Value();
        fNoisePreview->StopAnimation();
    }
    if (fDepthSortPage) {
        auto* group = static_cast<GroupLayer*>(fLayer);
        group->fDepthSort = fSortByDepth->Value();
        group->FullDepthSort(fDocument);
        group->fDistanceSort = fSortByDistance->Value();
        group->fAnimatedLayerOrder = fAnimatedOrder->Value();
        if (!group->fAnimatedLayerOrder)
            group->fLayerOrdering.Clear();
    }
    if (fBonesPage) {
        int32_t& mode = static_cast<BoneLayer*>(fLayer)->fSkeleton.fBindingMode;
        if (fFlexibleBinding->Value())
            mode = 1;
        else if (fRegionBinding->Value())
            mode = 2;
    }
    if (fImagePage)
        StoreImage();
    if (fSwitchPage) {
        auto* switcher = static_cast<SwitchLayer*>(fLayer);
        const int32_t chosen = fLipSync->Menu() ? fLipSync->Menu()->FirstCheckedMsg() : 0;
        if (chosen == LD_SWITCH_DATA && !fSwitchDataPath.IsEmpty()) {
            switcher->SetSourceFile(fSwitchDataPath.CString());
        } else if (chosen >= LD_LIPSYNC_FIRST && chosen <= LD_LIPSYNC_LAST) {
            QV_ArrayList audio;
            fDocument->CollectAudioLayers(audio, nullptr);
            const int32_t index = chosen - LD_LIPSYNC_FIRST;
            if (index < audio.fCount)
                GenerateLipSyncKeys(static_cast<AudioLayer*>(audio.fItems[index]), switcher);
        }
        switcher->SetInterpMode(fInterpolate->Value());
        switcher->SetCurFrame(fDocument->CurFrame());
    }
    if (fParticlesPage) {
        auto* particles = static_cast<ParticleLayer*>(fLayer);
        const int32_t count = fParticleCount->IntValue();
        particles->SetNumParticles(count, std::min(fPreviewParticles->IntValue(), count));
        particles->SetLifetime(fLifetime->IntValue());
        particles->SetSourceDimensions(
            QV_Vector3 { fSourceWidth->FloatValue(), fSourceHeight->FloatValue(), fSourceDepth->FloatValue() });
        particles->SetVelocity(fVelocity->FloatValue(), fVelocitySpread->FloatValue());
        particles->SetDamping(fDamping->FloatValue());
        particles->fActivation.SetValue(0, fOnAtStart->Value());
        particles->SetFullSpeedStart(fFullSpeedStart->Value());
        particles->SetOrientation(fOrientParticles->Value());
        particles->SetFreeFloating(fFreeFloating->Value());
        particles->SetEvenlySpaced(fEvenlySpaced->Value());
        particles->SetRandomStartTime(fRandomizePlayback->Value());
        particles->SetDirection(fDirection->Value(), float(double(fSpread->FloatValue()) / 2.0 * kPi / 180.0));
        particles->SetAcceleration(fAcceleration->Value(), fRate->FloatValue());
        particles->FinalizeSettings();
    }
    if (fNotePage)
        static_cast<NoteLayer*>(fLayer)->SetNoteText(fNoteText->Value());
    if (f3DPage) {
        auto* model = static_cast<Mesh3DLayer*>(fLayer);
        model->fMesh.SetDefaultColor(fDefaultColor->Value());
        model->fMesh.SetEdgeColor(fEdgeColor->Value());
        model->fMesh.SetClockwise(fClockwise->Value());
        model->SetEdgeOffset(fEdgeOffset->FloatValue());
        if (f3DWarp->Value())
            model->SetLayerParentBone(-3);
        else if (model->LayerParentBone() == -3)
            model->SetLayerParentBone(-1);
        model->fResetZ = fResetZ->Value();
    }
    if (fAudioPage)
        StoreAudio(F);
}

void LayerDlog::StoreImage()
{
    auto* image = static_cast<ImageLayer*>(fLayer);
    if (fImagePath.MediaType() == "video") {
        // One movie plays in a document: any other layer holding one refuses a second.
        QV_ArrayList movies;
        fDocument->CollectMovieLayers(movies, nullptr);
        bool another = false;
        for (int32_t i = 0; i < movies.fCount; i++)
            another |= movies.fItems[i] != fLayer;
        if (another) {
            ShowAlert(Localize("/Windows/Main/MaxVideoLayers=No more than one video layer is allowed."));
            fImagePath = image->SourceImage();
        }
    }
    if (!(fImagePath == image->SourceImage()))
        image->SetSourceImage(fImagePath.CString());
    image->SetAviAlpha(fAviAlpha->Value());
    image->SetMovieLooping(fLoopMovie->Value());
    if (image->IsMovieLayer())
        image->fInterpretedFps = *fMovieFps->Value() ? fMovieFps->FloatValue() : -1.0f;
    if (fImageWarp->Value())
        image->SetLayerParentBone(-3);
    else if (image->LayerParentBone() == -3)
        image->SetLayerParentBone(-1);
}

void LayerDlog::StoreAudio(int32_t F)
{
    auto* audio = static_cast<AudioLayer*>(fLayer);
    if (fAudioPath.MediaType() == "audio") {
        QV_ArrayList sounds;
        fDocument->CollectAudioLayers(sounds, nullptr);
        if (sounds.fCount > 2) {
            ShowAlert(Localize("/Windows/Main/MaxAudioLayers=No more than 2 audio layers are allowed."));
            fAudioPath = audio->AudioFile();
        }
    }
    if (!(fAudioPath == audio->AudioFile()))
        audio->SetAudioFile(fAudioPath.CString());
    const float level = fAudioLevel->FloatValue();
    if (std::fabs(level - audio->fAudioLevel.value) > 0.001f)
        audio->fAudioLevel.SetValue(F, level);
    audio->SetSpatialPositioning(fSpatial->Value());
}

// ---- Lip-sync ----

void LayerDlog::GenerateLipSyncKeys(AudioLayer* audio, SwitchLayer* target)
{
    QV_SoundClip* clip = audio ? audio->Sound() : nullptr;
    if (!clip || !target || !fDocument || fDocument->Fps() <= 0)
        return;
    const float step = 1.0f / fDocument->Fps();
    const float duration = clip->Duration();
    const int32_t audioOffset = audio->TotalTimingOffset();
    const int32_t first = target->TotalTimingOffset() - audioOffset + 1;
    int32_t n = 0;
    for (float t = 0; t < duration; t += step, n++)
        target->SwitchValues()->DeleteKey(first + n);

    const int32_t count = target->CountLayers();
    if (count <= 1)
        return;
    const bool phonemes = target->HasPhonemeLayers();
    float lo = 1.0f;
    float hi = 0.0f;
    for (float t = 0; t < duration; t += step) {
        const float a = clip->GetRMSAmplitude(t, step);
        lo = std::min(lo, a);
        hi = std::max(hi, a);
    }
    static const char* const kMouths[5] = { "rest", "etc", "E", "L", "AI" };
    int32_t previous = -1;
    int32_t frame = 1 - audioOffset;
    for (float t = 0; t < duration; t += step, frame++) {
        const float a = clip->GetRMSAmplitude(t, step);
        const float level = hi > lo ? (a - lo) / (hi - lo) : 0.0f;
        const int32_t top = phonemes ? 4 : count - 1;
        const int32_t d = std::clamp(RoundHalfAway(double(level) * top), 0, top);
        if (d == previous)
            continue;
        previous = d;
        target->SetValue(frame, phonemes ? kMouths[d] : target->Layer(d)->Name().CString());
    }
}

// ---- Messages ----

void LayerDlog::EnableImageOptions()
{
    const bool video = fImagePath.MediaType() == "video";
    fAviAlpha->Enable(fImagePath.MimeType() == "video/x-msvideo");
    fLoopMovie->Enable(video);
    fMovieFps->Enable(video);
}

void LayerDlog::UpdateNoiseWidgets()
{
    const bool outlines = fNoisyOutlines->Value();
    const bool noisy = outlines || fNoisyFills->Value();
    fAnimatedNoise->Enable(noisy);
    fNoiseOffset->Enable(noisy);
    fNoiseScale->Enable(noisy);
    fLineCount->Enable(outlines);
    fExtraSketchy->Enable(outlines);
}

void LayerDlog::HandleMessage(QV_Message* message)
{
    const int32_t what = message ? message->fWhat : 0;
    QV_String path;
    const bool hasPath = message && message->FindString("path", path);
    switch (what) {
    case LD_HSV_IMAGE:
    case LD_SCRIPT: {
        const bool hsv = what == LD_HSV_IMAGE;
        QV_Path& chosen = hsv ? fHsvPath : fScriptPath;
        QV_CheckBox* box = hsv ? fHsvImage : fScript;
        if (hasPath) {
            chosen = path;
            const bool fits = hsv ? chosen.MediaType() == "image" : chosen.Extension() == "lua";
            if (!fits)
                chosen = "";
            box->SetValue(fits);
        } else if (!box->Value()) {
            chosen = "";
        } else {
            // The box stays off unless a file of the right kind is chosen.
            box->SetValue(false);
            if (hsv) {
                ChooseFile(Localize("/Dialogs/LayerSettings/SelectHSVImage=Select Image"), LD_HSV_IMAGE, "Image Files",
                    ImageOpenFilter.CString());
            } else {
                ChooseFile(Localize("/Dialogs/LayerSettings/SelectLuaScript=Select Lua Script"), LD_SCRIPT, "Lua Files",
                    "*.lua");
            }
        }
        return;
    }
    case LD_SHADOW_ON: {
        const bool on = fShadowOn->Value();
        for (QV_View* view : std::initializer_list<QV_View*> { fShadowAngle, fShadowOffset, fShadowBlur, fShadowExpansion,
                 fShadowColor })
            Enable(view, on);
        return;
    }
    case LD_SHADING_ON: {
        const bool on = fShadingOn->Value();
        for (QV_View* view : std::initializer_list<QV_View*> { fShadingAngle, fShadingOffset, fShadingBlur,
                 fShadingContraction, fShadingColor })
            Enable(view, on);
        return;
    }
    case LD_MOTION_BLUR_ON: {
        const bool on = fMotionBlurOn->Value();
        for (QV_View* view : std::initializer_list<QV_View*> { fMotionBlurFrames, fMotionBlurSkip,
                 fMotionBlurAlphaStart, fMotionBlurAlphaEnd, fMotionBlurRadius })
            Enable(view, on);
        return;
    }
    case LD_MASKING:
        if (fExcludeStrokes)
            fExcludeStrokes->Enable(Checked(fMaskModes[2]) || Checked(fMaskModes[3]) || Checked(fMaskModes[5]));
        return;
    case LD_NOISY_OUTLINES:
    case LD_NOISY_FILLS:
    case LD_ANIMATED_NOISE:
    case LD_EXTRA_SKETCHY:
        if (fNoisyOutlines)
            UpdateNoiseWidgets();
        return;
    case LD_DEPTH_SORT:
        if (fSortByDepth) {
            fSortByDistance->Enable(fSortByDepth->Value());
            fAnimatedOrder->Enable(!fSortByDepth->Value());
        }
        return;
    case LD_SOURCE_IMAGE:
        if (!fImagePage)
            return;
        if (hasPath) {
            fImagePath = path;
            EnableImageOptions();
            fAviAlpha->SetValue(false);
            fLoopMovie->SetValue(false);
            fMovieFps->SetValue("");
        } else {
            const QV_String patterns = ImageOpenFilter + ";*.mov;*.avi;*.mp4;*.m4v;*.mpg;*.mpeg";
            ChooseFile(Localize("/Dialogs/LayerSettings/SelectLayerImage=Select Image"), LD_SOURCE_IMAGE, "Image Files",
                patterns.CString());
        }
        return;
    case LD_SWITCH_DATA:
        if (!fLipSync || !fLipSync->Menu())
            return;
        fLipSync->Menu()->UncheckAll();
        if (hasPath) {
            fSwitchDataPath = path;
            fLipSync->Menu()->SetChecked(LD_SWITCH_DATA, true);
            fLipSync->Draw();
        } else {
            fLipSync->Menu()->SetChecked(LD_LIPSYNC_NONE, true);
            fLipSync->Draw();
            ChooseFile(Localize("/Dialogs/LayerSettings/SelectSwitchData=Select Data"), LD_SWITCH_DATA,
                "Switch Data Files", "*.dat;*.txt");
        }
        return;
    case LD_LIPSYNC_NONE:
        fSwitchDataPath = "";
        return;
    case LD_ON_AT_START:
        if (fOnAtStart)
            fFullSpeedStart->Enable(fOnAtStart->Value());
        return;
    case LD_SOURCE_AUDIO:
        if (!fAudioPage)
            return;
        if (hasPath)
            fAudioPath = path;
        else
            ChooseFile(Localize("/Dialogs/LayerSettings/SelectAudioFile=Select Audio File"), LD_SOURCE_AUDIO,
                "Audio Files", "*.wav;*.aif;*.aiff;*.au;*.snd;*.mp3;*.m4a;*.mid;*.midi;*.m4p;*.m4b");
        return;
    default:
        break;
    }
    // The choice lists keep their checked item themselves; nothing else happens until OK.
    if ((what >= LD_BLEND_FIRST && what < LD_BLEND_FIRST + 10) || (what >= LD_LIPSYNC_FIRST && what <= LD_LIPSYNC_LAST))
        return;
    QV_Dialog::HandleMessage(message);
}
