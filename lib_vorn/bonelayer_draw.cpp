// The bone layer in the editor view: the setup frame's pose, the bones as thin diamonds
// coloured by their state, and their binding regions while a bone tool works at the setup frame.

#include <cmath>

#include "bonelayer.h"
#include "meshlayer_draw_colors.h"
#include "model_prefs.h"
#include "vorndoc.h"
#include "xgraphics.h"

namespace {

constexpr rgb_color kParentOfSelection { 102, 152, 203, 255 };
constexpr uint8_t kRegionAlpha = 32;
constexpr float kDiamondWidth = 0.075f;

bool ToolIs(VornDoc* doc, const char* tool)
{
    return doc && doc->fCurrentTool == tool;
}

// The tools that show and move bones as they are at the setup frame.
bool BoneTool(VornDoc* doc)
{
    return ToolIs(doc, "QV_ManipulateBones") || ToolIs(doc, "QV_OffsetBone") || ToolIs(doc, "QV_BoneStrength");
}

int32_t DocFrame(VornDoc* doc)
{
    return doc ? doc->fCurFrame : 0;
}

// Bones driven by others or by dynamics can be hidden once the animation runs.
bool HiddenAsControlled(const M_Bone& bone, int32_t layerFrame)
{
    if (layerFrame < 1 || ModelPrefInt("HideControlledBones", 0) == 0)
        return false;
    return bone.fAngleControlParent >= 0 || bone.fPosControlParent >= 0 || bone.fBoneDynamics.value;
}

bool Locked(const M_Bone& bone)
{
    return bone.fIKLock.value;
}

bool Controlled(const M_Bone& bone)
{
    return bone.fAngleControlParent >= 0 || bone.fPosControlParent >= 0 || bone.fScaleControlParent >= 0;
}

QV_Vector2 Turned(QV_Vector2 p, float angle)
{
    const float c = std::cos(angle), s = std::sin(angle);
    return QV_Vector2 { p.x * c - p.y * s, p.x * s + p.y * c };
}

QV_Vector2 Through(const QV_Matrix& matrix, QV_Vector2 p)
{
    matrix.Transform(p);
    return p;
}

void Line(XGraphics* graphics, QV_Vector2 a, QV_Vector2 b)
{
    graphics->DrawLine(a.x, a.y, b.x, b.y);
}

} // namespace

void BoneLayer::ShowRestPoseForTools(VornDoc* doc)
{
    if (DocFrame(doc) != 0 || ToolIs(doc, "QV_ManipulateBones") || ToolIs(doc, "QV_BoneStrength"))
        return;
    for (int32_t i = 0; i < fSkeleton.GetNumBones(); i++) {
        M_Bone* bone = fSkeleton.GetBone(i);
        if (!bone)
            continue;
        bone->fPos = bone->fAnimPos.GetValue(fCurFrame);
        bone->fAngle = bone->fAnimAngle.GetValue(fCurFrame);
        bone->fScale = bone->fAnimScale.GetValue(fCurFrame);
    }
}

void BoneLayer::Draw(VornDoc* doc, XGraphics* graphics, QV_PixelBuffer* scratch, int32_t& drawMode,
    VornLayer* currentLayer, RenderSettings* settings)
{
    if (!graphics)
        return;
    UpdateToDocFrame(doc);
    ShowRestPoseForTools(doc);
    GroupLayer::Draw(doc, graphics, scratch, drawMode, currentLayer, settings);
}

void BoneLayer::DrawPrepared()
{
    fSkeleton.UpdateBoneMatrix(-1);
}

void BoneLayer::DrawEditOverlays(VornDoc* doc, XGraphics* graphics)
{
    if (DocFrame(doc) == 0 && BoneTool(doc))
        DrawStrengthRegions(graphics, doc, true);
    DrawSkeleton(graphics, doc, true);
    GroupLayer::DrawEditOverlays(doc, graphics);
}

void BoneLayer::DrawAfterCurrentSubLayer(VornDoc* doc, XGraphics* graphics, VornLayer* current)
{
    bool highlight = false;
    if (ToolIs(doc, "QV_BindLayer")) {
        const int32_t bound = current->fLayerParentBone;
        for (int32_t i = 0; i < fSkeleton.GetNumBones(); i++) {
            if (M_Bone* bone = fSkeleton.GetBone(i))
                bone->fSelected = i == bound;
        }
        highlight = bound >= 0;
    }
    if (current->LayerType() == LT_VECTOR || ToolIs(doc, "QV_ManipulateBones") || ToolIs(doc, "QV_OffsetBone"))
        highlight = true;
    if ((ViewQualityFlags() & fQualityFlags & QUALITY_EDIT_OVERLAYS) == 0)
        return;
    if ((ToolIs(doc, "QV_ManipulateBones") || ToolIs(doc, "QV_OffsetBone")) && DocFrame(doc) == 0)
        DrawStrengthRegions(graphics, doc, highlight);
    DrawSkeleton(graphics, doc, highlight);
}

void BoneLayer::DrawSkeleton(XGraphics* graphics, VornDoc* doc, bool highlight)
{
    const bool smoothing = graphics->fSmoothing;
    graphics->SetSmoothing(true);
    graphics->SetPenWidth(1);
    const int32_t selected = fSkeleton.SelectedBoneID();
    const M_Bone* only = selected >= 0 ? fSkeleton.GetBone(selected) : nullptr;
    int32_t selectedCount = 0;
    for (int32_t i = 0; i < fSkeleton.GetNumBones(); i++) {
        const M_Bone* bone = fSkeleton.GetBone(i);
        selectedCount += bone && bone->fSelected ? 1 : 0;
    }
    const int32_t parentOfSelection = selectedCount == 1 && only ? only->fParent : -1;
    const bool atRest = DocFrame(doc) <= 0 && TotalTimingOffset() == 0 && !BoneTool(doc);

    for (int32_t i = 0; i < fSkeleton.GetNumBones(); i++) {
        M_Bone* bone = fSkeleton.GetBone(i);
        if (!bone || HiddenAsControlled(*bone, fCurFrame))
            continue;
        rgb_color color = EditorColInac();
        if (highlight) {
            if (bone->fSelected)
                color = EditorColSel();
            else if (i == parentOfSelection)
                color = kParentOfSelection;
            else if (Locked(*bone) || Controlled(*bone) || bone->fBoneDynamics.value)
                color = EditorColInac();
            else
                color = EditorColObj();
        }
        graphics->SetColorStruct(color);

        const float length = bone->fLength;
        const float w = kDiamondWidth * length;
        QV_Vector2 p[6] = { { 0, 0 }, { length, 0 }, { w, w }, { w, -w }, { length / 2, 0 }, { length / 2, 0 } };
        const bool rays = bone->fSelected && bone->fConstraints;
        if (rays) {
            const float turned = bone->fAngle - bone->fAnimAngle.GetValue(0);
            p[4] = Turned(p[4], bone->fMinConstraint - turned);
            p[5] = Turned(p[5], bone->fMaxConstraint - turned);
        }
        const QV_Matrix& matrix = atRest ? bone->fRestMatrix : bone->fMovedMatrix;
        for (QV_Vector2& point : p)
            point = Through(matrix, point);
        Line(graphics, p[0], p[1]);
        Line(graphics, p[0], p[2]);
        Line(graphics, p[2], p[1]);
        Line(graphics, p[0], p[3]);
        Line(graphics, p[3], p[1]);
        Line(graphics, p[2], p[3]);
        if (highlight && rays) {
            Line(graphics, p[0], p[4]);
            Line(graphics, p[0], p[5]);
        }
    }
    graphics->SetSmoothing(smoothing);
}

void BoneLayer::DrawStrengthRegions(XGraphics* graphics, VornDoc* doc, bool highlight)
{
    graphics->SetSmoothing(false);
    graphics->SetPenWidth(1);
    const bool atRest = DocFrame(doc) < 1 && !BoneTool(doc);
    for (int32_t i = 0; i < fSkeleton.GetNumBones(); i++) {
        M_Bone* bone = fSkeleton.GetBone(i);
        if (!bone || HiddenAsControlled(*bone, fCurFrame))
            continue;
        rgb_color color = EditorColInac();
        if (highlight)
            color = bone->fSelected ? EditorColSel() : Locked(*bone) ? EditorColInac() : EditorColObj();
        color.a = kRegionAlpha;
        graphics->SetColorStruct(color);

        const float length = bone->fLength;
        // Other binding modes draw the flexible region, the default of new skeletons.
        const float r = fSkeleton.fBindingMode == REGION_BINDING
            ? bone->fStrength * length * 0.5f
            : std::sqrt(std::sqrt(length * 4 * 0.001f)) * bone->fStrength;
        const float k = r * 9 * 2 * 0.03125f;
        const QV_Matrix& matrix = atRest ? bone->fRestMatrix : bone->fMovedMatrix;
        auto at = [&](float x, float y) { return Through(matrix, QV_Vector2 { x, y }); };
        const float l = length;
        graphics->BeginShape();
        graphics->AddCurve(at(-r, 0), at(-r, -k), at(-k, -r), at(0, -r));
        graphics->AddCurve(at(-r, 0), at(-r, k), at(-k, r), at(0, r));
        graphics->AddCurve(at(l, -r), at(l + k, -r), at(l + r, -k), at(l + r, 0));
        graphics->AddCurve(at(l, r), at(l + k, r), at(l + r, k), at(l + r, 0));
        const QV_Vector2 a = at(0, -r), b = at(l, -r), c = at(0, r), d = at(l, r);
        graphics->AddLineSegment(LineSegment { a.x, a.y, b.x, b.y });
        graphics->AddLineSegment(LineSegment { c.x, c.y, d.x, d.y });
        graphics->EndShape();
    }
}
