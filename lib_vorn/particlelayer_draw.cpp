// The particle layer in the editor view and in final renders: every particle draws its template
// at its own place and template frame.

#include <cmath>
#include <new>

#include "bonelayer.h"
#include "composite_modes.h"
#include "layer_effects.h"
#include "meshlayer_draw_colors.h"
#include "particlelayer.h"
#include "pushed_transform.h"
#include "raster_alpha.h"
#include "render_settings.h"
#include "vorndoc.h"
#include "xgraphics.h"

namespace {

bool KeepsModeThroughCurrent(int32_t mode)
{
    return mode == DRAW_QUICK_PREVIEW || mode == DRAW_ONION || mode == DRAW_ONION_CURRENT;
}

bool FinalPass(int32_t mode)
{
    return mode == DRAW_SWF || mode == DRAW_QUICK_PREVIEW;
}

// Whether a template or edited sub-layer may be drawn at all in this pass.
bool LayerShown(VornLayer* layer, int32_t mode, bool isCurrent)
{
    if (!layer->fVisible)
        return false;
    if (layer->IsRenderOnly() && !FinalPass(mode) && !isCurrent)
        return false;
    return !(layer->IsEditOnly() && FinalPass(mode));
}

} // namespace

QV_Matrix ParticleLayer::Placement(const ParticleState& p) const
{
    const float angle = fOrient ? std::atan2(-p.fVelocity.x, p.fVelocity.y) : 0.0f;
    const QV_Vector2 o = p.fTemplate ? p.fTemplate->Origin() : QV_Vector2();
    // Composing puts each new transform in front: the origin shift applies first.
    QV_Matrix m;
    m.Translate(p.fPos.x, p.fPos.y, p.fPos.z);
    m.Rotate(Z_AXIS, angle);
    m.Translate(-o.x, -o.y, 0.0f);
    return m;
}

void ParticleLayer::EvaluateTemplate(ParticleState& p, int32_t startFrame)
{
    VornLayer* layer = p.fTemplate;
    const int32_t type = layer->LayerType();
    M_Skeleton* skeleton = nullptr;
    if (type == LT_BONE || type == LT_SWITCH)
        skeleton = static_cast<BoneLayer*>(layer)->Skeleton();
    // The template stands one frame before the particle's and takes the particle's own dynamics,
    // so that the step to the particle's frame is a single forward step from its own state.
    if (skeleton && p.fTemplateFrame > 0) {
        layer->SetCurFrame(p.fTemplateFrame - 1);
        if (p.fTemplateFrame > startFrame)
            skeleton->RestoreDynamicsState(p.fDynamics.get());
    }
    layer->fParticleMatrix = Placement(p);
    layer->SetCurFrame(p.fTemplateFrame);
    if (!skeleton)
        return;
    if (!p.fDynamics)
        p.fDynamics.reset(new (std::nothrow) QV_MemStream);
    skeleton->SaveDynamicsState(p.fDynamics.get());
}

bool ParticleLayer::ParticleDrawn(const ParticleState& p, bool atFrameZero, bool previewOnly, int32_t mode,
    VornLayer* currentLayer)
{
    if (!p.fTemplate || (!p.fActive && !atFrameZero) || (previewOnly && !p.fPreview))
        return false;
    return LayerShown(p.fTemplate, mode, p.fTemplate == currentLayer)
        && p.fTemplate->fVisibility.GetValue(p.fTemplateFrame);
}

void ParticleLayer::PushFreeFloating(XGraphics* graphics, VornDoc* doc)
{
    if (!graphics || !fFreeFloating)
        return;
    QV_Matrix inverse;
    GetFullTransform(DocumentFrame(), inverse, doc);
    inverse.Invert();
    graphics->ApplyMatrix(inverse);
}

VornLayer* ParticleLayer::EditedSubLayer(VornLayer* currentLayer)
{
    for (int32_t i = 0; currentLayer && i < fLayers.fCount; i++) {
        VornLayer* layer = static_cast<VornLayer*>(fLayers.fItems[i]);
        if (layer == currentLayer || layer->ContainsLayer(currentLayer))
            return layer;
    }
    return nullptr;
}

void ParticleLayer::Draw(VornDoc* doc, XGraphics* graphics, QV_PixelBuffer* scratch, int32_t& drawMode,
    VornLayer* currentLayer, RenderSettings* settings)
{
    if (!graphics)
        return;
    UpdateToDocFrame(doc);
    if (doc)
        fFps = doc->Fps();
    const int32_t incoming = drawMode;
    if (drawMode == DRAW_ONION_CURRENT && currentLayer == this)
        drawMode = DRAW_ONION;
    RunLayerScript();
    PushedTransform layerTransform(graphics);
    QV_Matrix transform;
    GetLayerTransform(DocumentFrame(), transform, doc);
    graphics->ApplyMatrix(transform);

    if (drawMode == DRAW_EDIT) {
        if (currentLayer == this) {
            if (ShowsEditOverlays())
                DrawEditOverlays(doc, graphics);
        } else {
            for (int32_t i = 0; i < fLayers.fCount; i++) {
                VornLayer* layer = static_cast<VornLayer*>(fLayers.fItems[i]);
                if (layer == currentLayer || layer->IsGroupType())
                    layer->Draw(doc, graphics, scratch, drawMode, currentLayer, settings);
            }
        }
    } else if (VornLayer* edited = EditedSubLayer(currentLayer)) {
        // A template being edited shows alone and unplaced.
        const bool isCurrent = edited == currentLayer;
        edited->SetCurFrame(DocumentFrame());
        edited->fParticleMatrix.Identity();
        if (isCurrent && !KeepsModeThroughCurrent(drawMode) && !edited->IsGroupType())
            drawMode = DRAW_CURRENT;
        if (LayerShown(edited, drawMode, isCurrent) && (edited->fVisibility.value || isCurrent))
            edited->Draw(doc, graphics, scratch, drawMode, currentLayer, settings);
        if (isCurrent && !KeepsModeThroughCurrent(drawMode))
            drawMode = DRAW_ABOVE;
    } else {
        PushFreeFloating(graphics, doc);
        const bool atFrameZero = DocumentFrame() == 0;
        for (int32_t i = 0; i < fNumParticles; i++) {
            ParticleState& p = fParticles[i];
            if (!ParticleDrawn(p, atFrameZero, true, drawMode, currentLayer))
                continue;
            PushedTransform placed(graphics);
            if (fFreeFloating)
                graphics->ApplyMatrix(p.fEmitterTransform);
            graphics->ApplyMatrix(Placement(p));
            EvaluateTemplate(p, doc ? doc->StartFrame() : 1);
            p.fTemplate->Draw(doc, graphics, scratch, drawMode, currentLayer, settings);
        }
    }

    layerTransform.Restore();
    drawMode = incoming;
}

void ParticleLayer::DrawEditOverlays(VornDoc* doc, XGraphics* graphics)
{
    const float hx = fSourceShape.x * 0.5f;
    const float hy = fSourceShape.y * 0.5f;
    // Four cubic quarters, each a mirror image of the one before it.
    static const float kSigns[4][2] = { { 1, 1 }, { -1, 1 }, { -1, -1 }, { 1, -1 } };
    graphics->SetColorStruct(EditorColObj());
    for (const auto& sign : kSigns) {
        const float sx = sign[0] * hx, sy = sign[1] * hy;
        const QV_Vector2 quarter[4] = { { -sx, 0.0f }, { -sx, sy * 9.0f / 16.0f }, { -sx * 9.0f / 16.0f, sy },
            { 0.0f, sy } };
        graphics->DrawCurve(quarter);
    }
    const bool smoothing = graphics->fSmoothing;
    GroupLayer::DrawEditOverlays(doc, graphics);
    graphics->SetSmoothing(smoothing);
}

int32_t ParticleLayer::CountRenderItems()
{
    return 1;
}

void ParticleLayer::RenderParticle(VornDoc* doc, XGraphics* graphics, QV_PixelBuffer* target,
    QV_PixelBuffer* scratch, ParticleState& p, RenderSettings* settings)
{
    VornLayer* layer = p.fTemplate;
    EvaluateTemplate(p, 1);
    QV_BaseImage image;
    const bool ownImage = layer->BeginRender(doc, graphics, target, scratch, &image, settings);
    const bool useImage = image.buffer.pixels != nullptr;
    QV_PixelBuffer* const itemTarget = useImage ? &image.buffer : target;

    QV_Matrix placement;
    if (fFreeFloating)
        placement = p.fEmitterTransform;
    placement.Multiply(Placement(p));
    XGraphics* const preview = settings->fPreviewGraphics;
    if (useImage)
        settings->fPreviewGraphics = nullptr;
    {
        PushedTransform pushed(graphics, placement);
        PushedTransform previewPushed(useImage ? nullptr : preview, placement);
        const int32_t items = layer->CountRenderItems();
        for (int32_t i = 0; i < items; i++)
            layer->RenderItem(doc, graphics, itemTarget, scratch, i, settings);
    }
    settings->fPreviewGraphics = preview;
    if (!useImage)
        return;
    if (ownImage)
        layer->FinishRender(doc, graphics, target, &image, scratch, settings);
    else
        UnpremultiplyRaster(image.buffer);
    const bool sameSize = image.buffer.width == target->width && image.buffer.height == target->height;
    const int32_t offset = sameSize ? 0 : -settings->fMargin;
    CompositeRasterMode(layer->fBlendingMode, image.buffer, *target, offset, offset, true);
}

void ParticleLayer::RenderItem(VornDoc* doc, XGraphics* graphics, QV_PixelBuffer* target, QV_PixelBuffer* scratch,
    int32_t, RenderSettings* settings)
{
    UpdateToDocFrame(doc);
    if (doc)
        fFps = doc->Fps();
    if (!target || !settings)
        return;
    QV_Matrix transform;
    GetLayerTransform(DocumentFrame(), transform, doc);
    PushedTransform pushed(graphics, transform);
    PushedTransform previewPushed(settings->fPreviewGraphics, transform);
    PushFreeFloating(graphics, doc);
    PushFreeFloating(settings->fPreviewGraphics, doc);
    for (int32_t i = 0; i < fNumParticles; i++) {
        ParticleState& p = fParticles[i];
        if (!p.fTemplate || !p.fActive || (settings->fReducedParticles && !p.fPreview))
            continue;
        VornLayer* layer = p.fTemplate;
        if (!layer->fVisible || layer->fEditOnly || !layer->fVisibility.GetValue(p.fTemplateFrame))
            continue;
        RenderParticle(doc, graphics, target, scratch, p, settings);
    }
}
