// The 3D layer: its record, drawing in the editor and rendering through the depth rasteriser.

#include "mesh3dlayer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

#include "animrecord.h"
#include "bone_parent.h"
#include "console_sink.h"
#include "dither.h"
#include "document_path.h"
#include "grouplayer.h"
#include "image_file.h"
#include "media_path.h"
#include "meshlayer_draw_colors.h"
#include "model_prefs.h"
#include "pushed_transform.h"
#include "qv_iostream.h"
#include "qv_raster3d.h"
#include "record_lines.h"
#include "render_settings.h"
#include "supersample.h"
#include "vorndoc.h"
#include "xgraphics.h"

namespace {

constexpr int32_t kWordSize = 257;
constexpr const char* kCodeFile = "..\\..\\..\\lib_vorn\\mesh3dlayer";
constexpr int32_t kCheckWord = 60;
constexpr int32_t kCheckExternalModel = 74;
constexpr int32_t kCheckEdgeOffset = 78;
constexpr int32_t kCheckResetZ = 79;
constexpr int32_t kCheckMesh = 83;

constexpr int32_t kQualityMarkers = 2;
constexpr int32_t kQualityShaded = 4;
constexpr int32_t kQualityTextures = 16 | 32;
constexpr int32_t kQualityMaskPreview = 64;
constexpr int32_t kMaxSubdivision = 5;

bool BoneToolIsCurrent(const VornDoc& doc)
{
    for (const char* tool : { "QV_ManipulateBones", "QV_OffsetBone", "QV_BoneStrength" })
        if (doc.fCurrentTool == tool)
            return true;
    return false;
}

RasterVertex Midpoint(const RasterVertex& a, const RasterVertex& b)
{
    RasterVertex m {};
    m.x = (a.x + b.x) * 0.5f;
    m.y = (a.y + b.y) * 0.5f;
    m.z = (a.z + b.z) * 0.5f;
    m.w = (a.w + b.w) * 0.5f;
    m.u = (a.u + b.u) * 0.5f;
    m.v = (a.v + b.v) * 0.5f;
    return m;
}

int32_t FillModeFor(const VornLayer& layer, XGraphics* graphics)
{
    const GroupLayer* parent = layer.Parent();
    if (parent && parent->fGroupMask == GROUP_MASK_NONE)
        return QV_Graphics::kFillMasked;
    switch (layer.MaskingMode()) {
    case MM_NOTMASKED:
        return QV_Graphics::kFillPlain;
    case MM_ADD_MASK:
        return QV_Graphics::kFillMasked | QV_Graphics::kFillSetMask;
    case MM_CLEAR_ADD_MASK:
        graphics->ClearMask();
        return QV_Graphics::kFillMasked | QV_Graphics::kFillSetMask;
    case MM_SUB_MASK:
        return QV_Graphics::kFillMasked | QV_Graphics::kFillClearMask;
    case MM_ADD_MASK_INVIS:
        return QV_Graphics::kFillSetMask;
    case MM_SUB_MASK_INVIS:
        return QV_Graphics::kFillClearMask;
    default:
        return QV_Graphics::kFillMasked;
    }
}

void ConvertDithered(const QV_PixelBuffer& source, const QV_PixelBuffer& destination)
{
    if (destination.depth == 8)
        ConvertTo8Dithered(source, destination);
    else if (destination.depth == 15)
        ConvertTo15Dithered(source, destination);
    else if (destination.depth == 16)
        ConvertTo16Dithered(source, destination);
}

// Winding as the layer shows it: one flip mirrors the projected faces. Restored on leaving.
class FlippedWinding {
public:
    FlippedWinding(M_Mesh3D& mesh, bool flip)
        : fMesh(mesh)
        , fSaved(mesh.fClockwise)
    {
        if (flip)
            mesh.fClockwise = !mesh.fClockwise;
    }
    ~FlippedWinding() { fMesh.fClockwise = fSaved; }
    FlippedWinding(const FlippedWinding&) = delete;
    FlippedWinding& operator=(const FlippedWinding&) = delete;

private:
    M_Mesh3D& fMesh;
    bool fSaved;
};

} // namespace

Mesh3DLayer::Mesh3DLayer()
    : fEdgeOffset(0.05f)
    , fResetZ(false)
{
    fQualityFlags &= ~QUALITY_EDIT_OVERLAYS;
    fLayerParentBone = -3;
}

Mesh3DLayer::~Mesh3DLayer() = default;

int32_t Mesh3DLayer::LayerType()
{
    return LT_3D;
}

void Mesh3DLayer::SetCurFrame(int32_t frame)
{
    VornLayer::SetCurFrame(frame);
    RunLayerScript();
}

bool Mesh3DLayer::SetSourceMesh(const char* path)
{
    if (!path)
        path = "";
    if (*path && !DocumentPathAllowed(path))
        return false;
    fExternalModel = path;
    fExternalModel.ToSlashes();
    if (!fExternalModel.IsEmpty())
        fMesh.ImportOBJ(FindMediaFile(fExternalModel.CString(), fDoc).c_str());
    return true;
}

void Mesh3DLayer::WriteRecord(QV_IoStream* s)
{
    RecordLine(s, "{");
    s->fIndent++;
    WriteGenericValues(s, this);
    s->WriteNewline();
    RecordLine(s, "### mesh3d layer values");
    RecordPathLine(s, "external_model", fExternalModel);
    RecordFloatLine(s, "edge_offset", fEdgeOffset);
    RecordBoolLine(s, "reset_z", fResetZ);
    RecordLine(s, "mesh");
    fMesh.WriteRecord(s, fExternalModel.IsEmpty());
    if (s->fIndent > 0)
        s->fIndent--;
    RecordLine(s, "}");
}

bool Mesh3DLayer::ReadRecord(QV_IoStream* stream)
{
    ResetGenericValues(this);
    auto fail = [stream](int32_t check) {
        ChannelReadError(stream, kCodeFile, check);
        return false;
    };
    char word[kWordSize];
    for (;;) {
        const RecordWord next = NextRecordWord(stream, kWordSize, word);
        if (next == RecordWord::kUnreadable)
            return fail(kCheckWord);
        if (next == RecordWord::kEnd)
            break;
        if (std::strcmp(word, "external_model") == 0) {
            QV_String path;
            if (!stream->ReadPath(path))
                return fail(kCheckExternalModel);
            fExternalModel = path;
        } else if (std::strcmp(word, "edge_offset") == 0) {
            if (!stream->ReadFloat(fEdgeOffset))
                return fail(kCheckEdgeOffset);
        } else if (std::strcmp(word, "reset_z") == 0) {
            if (!stream->ReadBool(fResetZ))
                return fail(kCheckResetZ);
        } else if (std::strcmp(word, "mesh") == 0) {
            if (!fMesh.ReadRecord(stream))
                return fail(kCheckMesh);
        } else if (!ReadGenericKeyword(this, stream, word)) {
            return false;
        }
    }
    if (!fExternalModel.IsEmpty())
        SetSourceMesh(QV_String(fExternalModel).CString());
    return true;
}

const BoneParent* Mesh3DLayer::WarpingBones(VornDoc* doc) const
{
    if (!fParent || !fParent->IsBoneType())
        return nullptr;
    if (doc && doc->CurFrame() == 0 && !BoneToolIsCurrent(*doc))
        return nullptr;
    return ParentBones();
}

void Mesh3DLayer::LoadTextures(int32_t depth, bool anyDepthKept)
{
    for (auto& material : fMesh.fMaterials) {
        if (material->fTexturePath.IsEmpty())
            continue;
        QV_BaseImage& cache = material->fTexture;
        if (cache.buffer.pixels && (cache.buffer.depth == depth || anyDepthKept))
            continue;
        cache.Free();
        const std::string path = FindMediaFile(material->fTexturePath.CString(), fDoc);
        if (depth == 8 || depth == 15 || depth == 16) {
            QV_BaseImage still;
            if (LoadImageFile(path.c_str(), still, 0) == 0
                && cache.Allocate(still.buffer.width, still.buffer.height, depth) == 0)
                ConvertDithered(still.buffer, cache.buffer);
            else
                cache.Free();
        } else if (LoadImageFile(path.c_str(), cache, 0) != 0) {
            cache.Free();
        }
    }
}

void Mesh3DLayer::SubdivideFace(QV_Raster3D* raster, RasterPolygon& polygon, int32_t depth, float threshold)
{
    float lo = polygon.vertices[0].z, hi = lo;
    for (int32_t i = 1; i < polygon.count; i++) {
        lo = std::min(lo, polygon.vertices[i].z);
        hi = std::max(hi, polygon.vertices[i].z);
    }
    // NaN depths compare false: such a polygon goes to the raster whole, which clips it away.
    if (!(threshold <= hi - lo)) {
        raster->DrawPolygon(polygon);
        return;
    }
    depth++;
    const RasterVertex* c = polygon.vertices;
    RasterPolygon pieces[4] {};
    if (polygon.count == 3) {
        const RasterVertex m12 = Midpoint(c[0], c[1]), m23 = Midpoint(c[1], c[2]), m31 = Midpoint(c[2], c[0]);
        const RasterVertex sets[4][3] = { { c[0], m12, m31 }, { m12, c[1], m23 }, { m23, c[2], m31 }, { m12, m23, m31 } };
        for (int32_t i = 0; i < 4; i++) {
            pieces[i].count = 3;
            std::copy(sets[i], sets[i] + 3, pieces[i].vertices);
        }
    } else if (polygon.count == 4) {
        const RasterVertex m12 = Midpoint(c[0], c[1]), m23 = Midpoint(c[1], c[2]), m34 = Midpoint(c[2], c[3]),
                           m41 = Midpoint(c[3], c[0]);
        const RasterVertex m = Midpoint(Midpoint(c[0], c[1]), Midpoint(c[2], c[3]));
        const RasterVertex sets[4][4]
            = { { c[0], m12, m, m41 }, { m12, c[1], m23, m }, { m23, c[2], m34, m }, { m34, c[3], m41, m } };
        for (int32_t i = 0; i < 4; i++) {
            pieces[i].count = 4;
            std::copy(sets[i], sets[i] + 4, pieces[i].vertices);
        }
    } else {
        return;
    }
    for (RasterPolygon& piece : pieces) {
        piece.kind = polygon.kind;
        if (depth < kMaxSubdivision)
            SubdivideFace(raster, piece, depth, threshold);
        else
            raster->DrawPolygon(piece);
    }
}

void Mesh3DLayer::DrawFaces(VornDoc* doc, QV_Raster3D* raster, const QV_Matrix& view, const QV_Matrix& layer,
    const BoneParent* bones, uint8_t texturedKind, float threshold)
{
    QV_Matrix perspective;
    if (doc && doc->fAllow3D) {
        constexpr float kFieldOfView = 1.0471976f;
        QV_Vector3 centre;
        float pitch, yaw, distance;
        float fov = kFieldOfView;
        if (!doc->GetOutsideView(centre, pitch, yaw, distance)) {
            const float zoom = doc->fCameraZoom.GetValue(doc->CurFrame());
            fov = std::clamp(zoom != 0 ? kFieldOfView / zoom : 2.7925270f, 0.0043633231f, 2.7925270f);
            if (!std::isfinite(fov))
                fov = kFieldOfView;
        }
        perspective.Perspective(fov, 0.1f, 10000, 1);
    }
    QV_Matrix inverse = layer;
    inverse.Invert();
    const bool warp = bones && fLayerParentBone == -3;
    fProjected.resize(fMesh.fPoints.size());
    for (size_t i = 0; i < fMesh.fPoints.size(); i++) {
        QV_Vector3 p = fMesh.fPoints[i];
        if (warp) {
            QV_Vector3 q = p;
            layer.TransformAffine(q);
            QV_Vector2 moved { q.x, q.y };
            bones->TransformPoint(moved);
            q.x = moved.x;
            q.y = moved.y;
            inverse.TransformAffine(q);
            p = { q.x, q.y, p.z };
        }
        float v[4] = { p.x, p.y, p.z, 1 };
        view.Transform4(v);
        fProjected[i] = { v[0], v[1], v[2], v[3] };
    }
    raster->SetProjection(fMesh.fClockwise, perspective, fMesh.fEdgeColor, fEdgeOffset);
    raster->SetColor(fMesh.fDefaultColor.r, fMesh.fDefaultColor.g, fMesh.fDefaultColor.b);
    const int32_t points = fMesh.CountPoints(), textures = fMesh.CountTexturePoints();
    int32_t previous = -1;
    const M_Material3D* material = nullptr;
    for (const auto& face : fMesh.fFaces) {
        if (face->matID != previous) {
            previous = face->matID;
            material = nullptr;
            if (face->matID >= 0) {
                material = fMesh.Material(face->matID);
                if (material) {
                    raster->SetColor(material->color.r, material->color.g, material->color.b);
                    if (material->fTexture.buffer.pixels)
                        raster->SetTexture(&material->fTexture.buffer);
                }
            }
        }
        // Faces a record, a script or a removal left unusable are skipped, never followed.
        if (face->numP != 3 && face->numP != 4)
            continue;
        const int32_t p[4] = { face->p1, face->p2, face->p3, face->p4 };
        const int32_t t[4] = { face->t1, face->t2, face->t3, face->t4 };
        bool usable = true;
        for (int32_t i = 0; i < face->numP; i++)
            usable = usable && p[i] >= 0 && p[i] < points;
        if (!usable)
            continue;
        RasterPolygon polygon {};
        polygon.kind = material && material->fTexture.buffer.pixels ? texturedKind : uint8_t(kRasterFlat);
        polygon.count = face->numP;
        for (int32_t i = 0; i < face->numP; i++) {
            RasterVertex& v = polygon.vertices[i];
            const Projected& q = fProjected[size_t(p[i])];
            v.x = q.x;
            v.y = q.y;
            v.z = q.z;
            v.w = q.w;
            if (t[i] >= 0 && t[i] < textures) {
                v.u = fMesh.fTexturePoints[size_t(t[i])].x;
                v.v = fMesh.fTexturePoints[size_t(t[i])].y;
            }
        }
        SubdivideFace(raster, polygon, 0, threshold);
    }
    raster->SetTexture(nullptr);
}

void Mesh3DLayer::Draw(VornDoc* doc, XGraphics* graphics, QV_PixelBuffer*, int32_t& drawMode, VornLayer* currentLayer,
    RenderSettings*)
{
    UpdateToDocFrame(doc);
    if (!graphics || !graphics->fTarget.pixels)
        return;
    QV_Raster3D* raster = graphics->Raster3D();
    if (drawMode == DRAW_ONION_CURRENT && currentLayer != this)
        return;
    raster->fWrap = true;
    const BoneParent* bones = WarpingBones(doc);
    FlippedWinding winding(fMesh, fFlipH.value != fFlipV.value);
    LoadTextures(graphics->fTarget.depth, false);
    RunLayerScript();
    QV_Matrix layer;
    GetLayerTransform(DocFrameOf(fCurFrame), layer, doc);
    PushedTransform pushed(graphics, layer);
    const int32_t quality = ViewQualityFlags() & fQualityFlags;

    if (drawMode == DRAW_EDIT || drawMode == DRAW_ONION || drawMode == DRAW_ONION_CURRENT) {
        if (drawMode != DRAW_EDIT)
            return;
        if (quality & kQualityMarkers) {
            graphics->SetColorStruct(EditorColObj());
            QV_Matrix inverse = layer;
            inverse.Invert();
            for (QV_Vector3 p : fMesh.fPoints) {
                if (bones && fLayerParentBone == -3) {
                    QV_Vector3 q = p;
                    layer.TransformAffine(q);
                    QV_Vector2 moved { q.x, q.y };
                    bones->TransformPoint(moved);
                    q.x = moved.x;
                    q.y = moved.y;
                    inverse.TransformAffine(q);
                    p = { q.x, q.y, p.z };
                }
                graphics->DrawMarker3D(p.x, p.y, p.z);
            }
        }
        if (ShowsEditOverlays()) {
            const bool smoothing = graphics->fSmoothing;
            graphics->SetSmoothing(true);
            graphics->SetColorStruct(EditorColInac());
            graphics->DrawOriginMarker(fOrigin.x, fOrigin.y);
            graphics->SetSmoothing(smoothing);
        }
        return;
    }
    if (drawMode == DRAW_SWF)
        return;
    if (fResetZ)
        raster->ClearDepth();
    graphics->SetFillMode(
        (quality & kQualityMaskPreview) ? FillModeFor(*this, graphics) : int32_t(QV_Graphics::kFillPlain));
    if (quality & kQualityShaded) {
        QV_Matrix view;
        graphics->BuildViewMatrix(view, false);
        DrawFaces(doc, raster, view, layer, bones,
            (quality & kQualityTextures) ? uint8_t(kRasterTexture) : uint8_t(kRasterFlat), 0.3f);
    }
    graphics->SetFillMode(QV_Graphics::kFillPlain);
}

int32_t Mesh3DLayer::CountRenderItems()
{
    return 1;
}

void Mesh3DLayer::RenderItem(VornDoc* doc, XGraphics* graphics, QV_PixelBuffer* target, QV_PixelBuffer*, int32_t,
    RenderSettings* settings)
{
    UpdateToDocFrame(doc);
    if (!graphics || !target || !target->pixels || !settings)
        return;
    const BoneParent* bones = WarpingBones(doc);
    FlippedWinding winding(fMesh, fFlipH.value != fFlipV.value);
    LoadTextures(32, false);
    QV_Matrix layer;
    GetLayerTransform(DocFrameOf(fCurFrame), layer, doc);
    PushedTransform pushed(graphics, layer);

    QV_PixelBuffer big;
    const int32_t k = BeginSupersample(settings, *target, big);
    QV_PixelBuffer& out = k > 1 ? big : *target;
    if (!settings->fRaster3D)
        settings->fRaster3D = new (std::nothrow) QV_Raster3D;
    QV_Raster3D* raster = settings->fRaster3D;
    if (!raster)
        return;
    raster->AttachTarget(out);
    if (fResetZ)
        raster->ClearDepth();
    raster->fWrap = true;

    QV_Matrix view;
    graphics->BuildViewMatrix(view, true);
    const int32_t m = settings->fMargin;
    if (m != 0 && graphics->fTarget.width == target->width && graphics->fTarget.height == target->height
        && graphics->fTarget.height > 0) {
        const float H = float(graphics->fTarget.height);
        const float s = (H - 2 * float(m)) / H;
        // The scale follows the view: Multiply puts its argument first.
        QV_Matrix scaled;
        scaled.Scale(s, s, 1);
        scaled.Multiply(view);
        view = scaled;
    }
    DrawFaces(doc, raster, view, layer, bones, kRasterTextureAlphaTest, 0.1f);
    if (k > 1)
        FinishSupersample(big, k, *target);
}
