// The vector layer's 14 channel rows in front of the 20 layer rows: points, curvatures, fill and
// line colours, shape effect transforms and effects, line widths, each for all elements and for
// the selection.

#include "animchannel.h"
#include "channelinfo.h"
#include "console_sink.h"
#include "m_curve.h"
#include "m_point.h"
#include "m_shape.h"
#include "m_shapestyle.h"
#include "meshlayer.h"
#include "style_panel_refs.h"

namespace {

constexpr int32_t kMeshRows = 14;

struct RowLook {
    int32_t id;
    const char* icon;
    const char* label;
    bool selectionOnly;
    bool single;
    bool separator;
};

const RowLook kRows[kMeshRows] = {
    { 10020, "channel_point", "/Animation/Channels/PointMotion=Point Motion", false, false, false },
    { 10021, "channel_point_sel", "/Animation/Channels/SelectedPointMotion=Selected Point Motion", true, true,
        false },
    { 10022, "channel_curve", "/Animation/Channels/PointCurvature=Point Curvature", false, false, false },
    { 10023, "channel_curve_sel", "/Animation/Channels/SelectedPointCurvature=Selected Point Curvature", true,
        true, false },
    { 10024, "channel_fill", "/Animation/Channels/FillColor=Fill Color", false, false, false },
    { 10025, "channel_fill_sel", "/Animation/Channels/SelectedFillColor=Selected Fill Color", true, false, false },
    { 10032, "channel_shapefxxform", "/Animation/Channels/ShapeEffectTransforms=Shape Effect Transforms", false,
        false, false },
    { 10033, "channel_shapefxxform_sel",
        "/Animation/Channels/SelectedShapeEffectTransform=Selected Shape Effect Transform", true, false, false },
    { 10030, "channel_shapefx", "/Animation/Channels/ShapeEffects=Shape Effects", false, false, false },
    { 10031, "channel_shapefx_sel", "/Animation/Channels/SelectedShapeEffects=Selected Shape Effects", true, false,
        false },
    { 10026, "channel_line", "/Animation/Channels/LineColor=Line Color", false, false, false },
    { 10027, "channel_line_sel", "/Animation/Channels/SelectedLineColor=Selected Line Color", true, false, false },
    { 10028, "channel_width", "/Animation/Channels/LineWidth=Line Width", false, false, false },
    { 10029, "channel_width_sel", "/Animation/Channels/SelectedLineWidth=Selected Line Width", true, true, true },
};

M_Shape* FirstSelectedShape(M_Mesh& mesh)
{
    for (int32_t s = 0; s < mesh.fNumShapes; s++) {
        if (mesh.fShapes[s]->fSelected)
            return mesh.fShapes[s];
    }
    return nullptr;
}

// The k-th point (the k-th selected one with selected), or null.
M_Point* NthPoint(M_Mesh& mesh, int32_t k, bool selected)
{
    if (!selected) {
        if (k < 0 || k >= mesh.fNumPoints) {
            PrintOutOfRange("M_Mesh:Point");
            return nullptr;
        }
        return mesh.fPoints[k];
    }
    for (int32_t i = 0; i < mesh.fNumPoints && k >= 0; i++) {
        if (mesh.fPoints[i]->fSelected && k-- == 0)
            return mesh.fPoints[i];
    }
    return nullptr;
}

int32_t CountPoints(M_Mesh& mesh, bool selected)
{
    if (!selected)
        return mesh.fNumPoints;
    int32_t n = 0;
    for (int32_t i = 0; i < mesh.fNumPoints; i++)
        n += mesh.fPoints[i]->fSelected ? 1 : 0;
    return n;
}

int32_t CountCurvatures(M_Mesh& mesh, bool selected)
{
    int32_t n = 0;
    for (int32_t i = 0; i < mesh.fNumPoints; i++) {
        if (!selected || mesh.fPoints[i]->fSelected)
            n += mesh.fPoints[i]->GetNumCurves();
    }
    return n;
}

AnimChannel* Curvature(M_Mesh& mesh, int32_t k, bool selected)
{
    if (k < 0)
        return nullptr;
    int32_t base = 0;
    for (int32_t i = 0; i < mesh.fNumPoints; i++) {
        M_Point* point = mesh.fPoints[i];
        if (selected && !point->fSelected)
            continue;
        const int32_t n = point->GetNumCurves();
        if (k < base + n) {
            int32_t position = -1;
            M_Curve* curve = point->GetCurve(k - base, &position);
            if (!curve || position < 0 || position >= curve->fNumPoints)
                return nullptr;
            return curve->fCurvature[position];
        }
        base += n;
    }
    return nullptr;
}

int32_t CountEffectChannels(M_Shape* shape)
{
    int32_t n = 0;
    for (M_ShapeStyle* effect : shape->fMyStyle.fEffects) {
        if (effect)
            n += effect->CountChannels();
    }
    return n;
}

AnimChannel* EffectChannel(M_Shape* shape, int32_t& k)
{
    for (M_ShapeStyle* effect : shape->fMyStyle.fEffects) {
        if (!effect)
            continue;
        const int32_t n = effect->CountChannels();
        if (k < n)
            return effect->Channel(k);
        k -= n;
    }
    return nullptr;
}

AnimChannel* EffectTransform(M_Shape* shape, int32_t which)
{
    switch (which) {
    case 0:
        return &shape->fEffectScale;
    case 1:
        return &shape->fEffectRotation;
    case 2:
        return &shape->fEffectOffset;
    default:
        return nullptr;
    }
}

} // namespace

int32_t MeshLayer::CountChannels()
{
    return kMeshRows + VornLayer::CountChannels();
}

void MeshLayer::GetChannelInfo(int32_t row, ChannelInfo& info)
{
    if (row >= kMeshRows || row < 0) {
        VornLayer::GetChannelInfo(row - kMeshRows, info);
        return;
    }
    info.Reset();
    const RowLook& look = kRows[row];
    info.fID = look.id;
    info.SetLook(look.icon, look.label);
    info.fSelectionOnly = look.selectionOnly;
    info.fSingleChannel = look.single;
    info.fSeparator = look.separator;
    M_Mesh& mesh = fMesh;
    M_Shape* selectedShape = FirstSelectedShape(mesh);
    switch (row) {
    case 0:
    case 12:
        info.fSubChannels = mesh.fNumPoints;
        break;
    case 1:
    case 13:
        info.fSubChannels = CountPoints(mesh, true);
        break;
    case 2:
    case 3:
        info.fSubChannels = CountCurvatures(mesh, row == 3);
        break;
    case 4:
    case 10:
        info.fSubChannels = mesh.fNumShapes;
        break;
    case 5:
    case 11:
        // These rows also serve the Style panel while it edits a document style.
        if (selectedShape) {
            info.fSubChannels = 1;
            gCurrentDocStyle = nullptr;
        } else {
            info.fSubChannels = gCurrentDocStyle ? 1 : 0;
        }
        break;
    case 6:
        info.fSubChannels = 3 * mesh.fNumShapes;
        break;
    case 7:
        info.fSubChannels = selectedShape ? 3 : 0;
        break;
    case 8: {
        int32_t n = 0;
        for (int32_t s = 0; s < mesh.fNumShapes; s++)
            n += CountEffectChannels(mesh.fShapes[s]);
        info.fSubChannels = n;
        break;
    }
    case 9:
        info.fSubChannels = selectedShape ? CountEffectChannels(selectedShape) : 0;
        break;
    default:
        break;
    }
}

AnimChannel* MeshLayer::GetChannel(int32_t row, int32_t sub, VornDoc* doc)
{
    if (row >= kMeshRows || row < 0)
        return VornLayer::GetChannel(row - kMeshRows, sub, doc);
    M_Mesh& mesh = fMesh;
    switch (row) {
    case 0:
    case 1: {
        M_Point* point = NthPoint(mesh, sub, row == 1);
        return point ? &point->fAnimPos : nullptr;
    }
    case 12:
    case 13: {
        M_Point* point = NthPoint(mesh, sub, row == 13);
        return point ? &point->fWidth : nullptr;
    }
    case 2:
    case 3:
        return Curvature(mesh, sub, row == 3);
    case 4:
    case 10:
        if (sub < 0 || sub >= mesh.fNumShapes)
            return nullptr;
        return row == 4 ? static_cast<AnimChannel*>(&mesh.fShapes[sub]->fMyStyle.fFillCol)
                        : static_cast<AnimChannel*>(&mesh.fShapes[sub]->fMyStyle.fLineCol);
    case 5:
    case 11: {
        if (sub != 0)
            return nullptr;
        M_Style* style = gCurrentDocStyle;
        if (!style) {
            M_Shape* shape = FirstSelectedShape(mesh);
            style = shape ? &shape->fMyStyle : nullptr;
        }
        if (!style)
            return nullptr;
        return row == 5 ? static_cast<AnimChannel*>(&style->fFillCol) : static_cast<AnimChannel*>(&style->fLineCol);
    }
    case 6:
        if (sub < 0 || sub / 3 >= mesh.fNumShapes)
            return nullptr;
        return EffectTransform(mesh.fShapes[sub / 3], sub % 3);
    case 7: {
        M_Shape* shape = FirstSelectedShape(mesh);
        return shape && sub >= 0 ? EffectTransform(shape, sub) : nullptr;
    }
    case 8: {
        if (sub < 0)
            return nullptr;
        int32_t k = sub;
        for (int32_t s = 0; s < mesh.fNumShapes; s++) {
            if (AnimChannel* channel = EffectChannel(mesh.fShapes[s], k))
                return channel;
        }
        return nullptr;
    }
    case 9: {
        M_Shape* shape = FirstSelectedShape(mesh);
        int32_t k = sub;
        return shape && sub >= 0 ? EffectChannel(shape, k) : nullptr;
    }
    default:
        return nullptr;
    }
}
