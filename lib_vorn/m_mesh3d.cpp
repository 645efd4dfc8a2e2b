// The 3D mesh's lists, their editing and the mesh record.

#include "m_mesh3d.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "script_object_record.h"

#include "animcolor.h"
#include "animrecord.h"
#include "console_sink.h"
#include "m_shape.h"
#include "model_prefs.h"
#include "qv_iostream.h"
#include "record_limits.h"
#include "record_lines.h"
#include "style_panel_refs.h"

namespace {

constexpr int32_t kWordSize = 257;
constexpr const char* kCodeFile = "..\\..\\..\\lib_vorn\\m_mesh3d";

constexpr int32_t kCheckWord = 158;
constexpr int32_t kCheckDefaultColor = 170;
constexpr int32_t kCheckEdgeColor = 171;
constexpr int32_t kCheckClockwise = 172;
constexpr int32_t kCheckPointCount = 176;
constexpr int32_t kCheckPoint = 180;
constexpr int32_t kCheckTextureCount = 188;
constexpr int32_t kCheckTexture = 192;
constexpr int32_t kCheckMaterialCount = 200;
constexpr int32_t kCheckMaterial = 206;
constexpr int32_t kCheckFaceCount = 213;
constexpr int32_t kCheckFace = 219;

// Fewest bytes one entry of each list takes in a record: a damaged count must not size memory.
constexpr int32_t kMinPointBytes = 6;
constexpr int32_t kMinTextureBytes = 4;
constexpr int32_t kMinMaterialBytes = 14;
constexpr int32_t kMinFaceBytes = 20;

rgb_color Opaque(rgb_color c)
{
    c.a = 255;
    return c;
}

void RemapIndex(int32_t& value, int32_t removed)
{
    if (value == removed)
        value = -1;
    else if (value > removed)
        value--;
}

} // namespace

M_Material3D::M_Material3D()
    : color { 255, 255, 255, 255 }
{
}

M_Material3D::~M_Material3D()
{
    QV_ScriptObjectsGone(this, sizeof(*this));
}

M_Face3D::~M_Face3D()
{
    QV_ScriptObjectsGone(this, sizeof(*this));
}

bool M_Material3D::ReadRecord(QV_IoStream* stream)
{
    char name[257];
    if (!stream->ReadQuoted(int32_t(sizeof name), name))
        return false;
    fName = name;
    fName.RemoveChar('"');
    QV_String path;
    if (!stream->ReadColor(color) || !stream->ReadPath(path))
        return false;
    fTexturePath = path;
    return true;
}

void M_Material3D::WriteRecord(QV_IoStream* stream) const
{
    stream->WriteIndent();
    stream->WriteQuoted(fName.CString());
    stream->WriteSpace();
    stream->WriteColor(color);
    stream->WriteSpace();
    stream->WritePath(fTexturePath.CString());
    stream->WriteNewline();
}

bool M_Face3D::ReadRecord(QV_IoStream* stream)
{
    for (int32_t* v : { &numP, &p1, &p2, &p3, &p4, &t1, &t2, &t3, &t4, &matID })
        if (!stream->ReadInt(*v))
            return false;
    return true;
}

void M_Face3D::WriteRecord(QV_IoStream* stream) const
{
    stream->WriteIndent();
    bool first = true;
    for (int32_t v : { numP, p1, p2, p3, p4, t1, t2, t3, t4, matID }) {
        if (!first)
            stream->WriteSpace();
        first = false;
        stream->WriteInt(v);
    }
    stream->WriteNewline();
}

M_Mesh3D::M_Mesh3D()
    : fCurrentMaterial(-1)
    , fClockwise(false)
{
    // New models take the colours the Style panel shows for new shapes.
    if (gNewShapeProperties) {
        fDefaultColor = Opaque(gNewShapeProperties->fMyStyle.fFillCol.value);
        fEdgeColor = Opaque(gNewShapeProperties->fMyStyle.fLineCol.value);
    } else {
        fDefaultColor = Opaque(ModelPrefColor("VornColFill", { 255, 255, 255, 255 }));
        fEdgeColor = Opaque(ModelPrefColor("VornColLine", { 0, 0, 0, 255 }));
    }
}

M_Mesh3D::~M_Mesh3D()
{
    QV_ScriptObjectsGone(this, sizeof(*this));
}

void M_Mesh3D::Empty()
{
    fPoints.clear();
    fTexturePoints.clear();
    fMaterials.clear();
    fFaces.clear();
}

QV_Vector3 M_Mesh3D::Point(int32_t index) const
{
    if (index < 0 || index >= CountPoints()) {
        PrintOutOfRange("M_Mesh3D::Point");
        return {};
    }
    return fPoints[size_t(index)];
}

void M_Mesh3D::AddPoint(const QV_Vector3& point)
{
    fPoints.push_back(point);
}

void M_Mesh3D::SetPoint(int32_t index, const QV_Vector3& point)
{
    if (index < 0 || index >= CountPoints()) {
        PrintOutOfRange("M_Mesh3D::SetPoint");
        return;
    }
    fPoints[size_t(index)] = point;
}

void M_Mesh3D::RemovePoint(int32_t index)
{
    if (index < 0 || index >= CountPoints())
        return;
    fPoints.erase(fPoints.begin() + index);
    for (auto& face : fFaces)
        for (int32_t* p : { &face->p1, &face->p2, &face->p3, &face->p4 })
            RemapIndex(*p, index);
}

QV_Vector2 M_Mesh3D::TexturePoint(int32_t index) const
{
    if (index < 0 || index >= CountTexturePoints())
        return {};
    return fTexturePoints[size_t(index)];
}

void M_Mesh3D::AddTexturePoint(const QV_Vector2& point)
{
    fTexturePoints.push_back(point);
}

void M_Mesh3D::RemoveTexturePoint(int32_t index)
{
    if (index < 0 || index >= CountTexturePoints())
        return;
    fTexturePoints.erase(fTexturePoints.begin() + index);
    for (auto& face : fFaces)
        for (int32_t* t : { &face->t1, &face->t2, &face->t3, &face->t4 })
            RemapIndex(*t, index);
}

M_Material3D* M_Mesh3D::Material(int32_t index) const
{
    if (index < 0 || index >= CountMaterials()) {
        PrintOutOfRange("M_Mesh3D::Material");
        return nullptr;
    }
    return fMaterials[size_t(index)].get();
}

M_Material3D* M_Mesh3D::CreateNewMaterial()
{
    auto material = std::make_unique<M_Material3D>();
    material->color = fDefaultColor;
    fMaterials.push_back(std::move(material));
    fCurrentMaterial = CountMaterials() - 1;
    return fMaterials.back().get();
}

void M_Mesh3D::AddMaterial(M_Material3D* material)
{
    if (material)
        fMaterials.emplace_back(material);
}

void M_Mesh3D::RemoveMaterial(int32_t index)
{
    if (index < 0 || index >= CountMaterials())
        return;
    fMaterials.erase(fMaterials.begin() + index);
    for (auto& face : fFaces)
        RemapIndex(face->matID, index);
    // New faces keep naming the material they named before, or none once it is gone.
    RemapIndex(fCurrentMaterial, index);
}

M_Face3D* M_Mesh3D::Face(int32_t index) const
{
    if (index < 0 || index >= CountFaces()) {
        PrintOutOfRange("M_Mesh3D::Face");
        return nullptr;
    }
    return fFaces[size_t(index)].get();
}

void M_Mesh3D::AppendFace(int32_t numP, const int32_t* points)
{
    if (fPoints.empty())
        return;
    auto face = std::make_unique<M_Face3D>();
    face->numP = numP;
    int32_t* slots[4] = { &face->p1, &face->p2, &face->p3, &face->p4 };
    for (int32_t i = 0; i < numP; i++)
        *slots[i] = std::clamp(points[i], 0, CountPoints() - 1);
    face->matID = fCurrentMaterial;
    fFaces.push_back(std::move(face));
}

void M_Mesh3D::AddFace(int32_t a, int32_t b, int32_t c)
{
    const int32_t points[3] = { a, b, c };
    AppendFace(3, points);
}

void M_Mesh3D::AddFace(int32_t a, int32_t b, int32_t c, int32_t d)
{
    const int32_t points[4] = { a, b, c, d };
    AppendFace(4, points);
}

void M_Mesh3D::RemoveFace(int32_t index)
{
    if (index < 0 || index >= CountFaces())
        return;
    fFaces.erase(fFaces.begin() + index);
}

void M_Mesh3D::ScaleToRadius(float radius)
{
    if (fPoints.empty())
        return;
    QV_Vector3 lo { 1e6f, 1e6f, 1e6f }, hi { -1e6f, -1e6f, -1e6f };
    for (const QV_Vector3& p : fPoints) {
        lo = { std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z) };
        hi = { std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z) };
    }
    const QV_Vector3 centre { (lo.x + hi.x) * 0.5f, (lo.y + hi.y) * 0.5f, (lo.z + hi.z) * 0.5f };
    const float extent = std::max({ hi.x - lo.x, hi.y - lo.y, hi.z - lo.z });
    // Coincident points have no size to scale from: they are only centred.
    const float scale = extent > 0 ? 2 * radius / extent : 1;
    for (QV_Vector3& p : fPoints)
        p = { (p.x - centre.x) * scale, (p.y - centre.y) * scale, (p.z - centre.z) * scale };
}

void M_Mesh3D::WriteRecord(QV_IoStream* s, bool withGeometry) const
{
    RecordLine(s, "[");
    s->fIndent++;
    RecordKeyword(s, "default_color");
    s->WriteColor(fDefaultColor);
    s->WriteNewline();
    RecordKeyword(s, "edge_color");
    s->WriteColor(fEdgeColor);
    s->WriteNewline();
    RecordBoolLine(s, "clockwise", fClockwise);
    if (withGeometry) {
        RecordIntLine(s, "points", CountPoints());
        s->fIndent++;
        for (const QV_Vector3& p : fPoints) {
            s->WriteIndent();
            s->WriteFloat(p.x);
            s->WriteSpace();
            s->WriteFloat(p.y);
            s->WriteSpace();
            s->WriteFloat(p.z);
            s->WriteNewline();
        }
        s->fIndent--;
        RecordIntLine(s, "texture_points", CountTexturePoints());
        s->fIndent++;
        for (const QV_Vector2& t : fTexturePoints) {
            s->WriteIndent();
            s->WriteFloat(t.x);
            s->WriteSpace();
            s->WriteFloat(t.y);
            s->WriteNewline();
        }
        s->fIndent--;
        RecordIntLine(s, "materials", CountMaterials());
        s->fIndent++;
        for (const auto& m : fMaterials)
            m->WriteRecord(s);
        s->fIndent--;
        RecordIntLine(s, "faces", CountFaces());
        s->fIndent++;
        for (const auto& f : fFaces)
            f->WriteRecord(s);
        s->fIndent--;
    }
    if (s->fIndent > 0)
        s->fIndent--;
    RecordLine(s, "]");
}

bool M_Mesh3D::ReadRecord(QV_IoStream* stream)
{
    Empty();
    auto fail = [stream](int32_t check) {
        ChannelReadError(stream, kCodeFile, check);
        return false;
    };
    char word[kWordSize];
    for (;;) {
        const RecordWord next = NextRecordWord(stream, kWordSize, word, '[', ']');
        if (next == RecordWord::kUnreadable)
            return fail(kCheckWord);
        if (next == RecordWord::kEnd)
            return true;
        int32_t n = 0;
        if (std::strcmp(word, "default_color") == 0) {
            if (!stream->ReadColor(fDefaultColor))
                return fail(kCheckDefaultColor);
        } else if (std::strcmp(word, "edge_color") == 0) {
            if (!stream->ReadColor(fEdgeColor))
                return fail(kCheckEdgeColor);
        } else if (std::strcmp(word, "clockwise") == 0) {
            if (!stream->ReadBool(fClockwise))
                return fail(kCheckClockwise);
        } else if (std::strcmp(word, "points") == 0) {
            if (!stream->ReadInt(n) || !RecordCountFits(stream, n, kMinPointBytes))
                return fail(kCheckPointCount);
            for (int32_t i = 0; i < n; i++) {
                QV_Vector3 p;
                if (!stream->ReadVector3(p))
                    return fail(kCheckPoint);
                fPoints.push_back(p);
            }
        } else if (std::strcmp(word, "texture_points") == 0) {
            if (!stream->ReadInt(n) || !RecordCountFits(stream, n, kMinTextureBytes))
                return fail(kCheckTextureCount);
            for (int32_t i = 0; i < n; i++) {
                QV_Vector2 t;
                if (!stream->ReadVector2(t))
                    return fail(kCheckTexture);
                fTexturePoints.push_back(t);
            }
        } else if (std::strcmp(word, "materials") == 0) {
            if (!stream->ReadInt(n) || !RecordCountFits(stream, n, kMinMaterialBytes))
                return fail(kCheckMaterialCount);
            for (int32_t i = 0; i < n; i++) {
                fMaterials.push_back(std::make_unique<M_Material3D>());
                if (!fMaterials.back()->ReadRecord(stream))
                    return fail(kCheckMaterial);
            }
        } else if (std::strcmp(word, "faces") == 0) {
            if (!stream->ReadInt(n) || !RecordCountFits(stream, n, kMinFaceBytes))
                return fail(kCheckFaceCount);
            for (int32_t i = 0; i < n; i++) {
                fFaces.push_back(std::make_unique<M_Face3D>());
                if (!fFaces.back()->ReadRecord(stream))
                    return fail(kCheckFace);
            }
        } else {
            UnknownKeywordError(stream, word);
            return false;
        }
    }
}
