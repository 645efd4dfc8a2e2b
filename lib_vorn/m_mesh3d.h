#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "qv_baseimage.h"
#include "qv_color.h"
#include "qv_path.h"
#include "qv_string.h"
#include "qv_vector.h"

class QV_IoStream;

// One material of a 3D mesh: a name, a flat colour and an optional texture file, whose picture
// the 3D layer loads into fTexture when it draws (never stored).
class M_Material3D {
public:
    M_Material3D();
    ~M_Material3D();

    bool ReadRecord(QV_IoStream* stream);
    void WriteRecord(QV_IoStream* stream) const;

    QV_String fName;
    rgb_color color;
    QV_Path fTexturePath;
    QV_BaseImage fTexture;
};

// A triangle (numP 3) or quad (numP 4) indexing the mesh's points, texture points and materials;
// -1 everywhere until set. Records, scripts and removals may leave indices that name nothing:
// readers of a face check them against the lists.
struct M_Face3D {
    M_Face3D() = default;
    M_Face3D(const M_Face3D&) = default;
    M_Face3D& operator=(const M_Face3D&) = default;
    ~M_Face3D();
    bool ReadRecord(QV_IoStream* stream);
    void WriteRecord(QV_IoStream* stream) const;

    int32_t numP = 0;
    int32_t p1 = -1, p2 = -1, p3 = -1, p4 = -1;
    int32_t t1 = -1, t2 = -1, t3 = -1, t4 = -1;
    int32_t matID = -1;
};

// The geometry of a 3D layer: plain (not animated) points, texture points, materials and faces,
// with the colour faces start in, the outline colour and which winding faces the viewer.
// m_mesh3d.cpp holds the lists and the record, m_mesh3d_obj.cpp the OBJ and MTL import.
class M_Mesh3D {
public:
    M_Mesh3D();
    ~M_Mesh3D();
    M_Mesh3D(const M_Mesh3D&) = delete;
    M_Mesh3D& operator=(const M_Mesh3D&) = delete;

    // Every list emptied; colours, winding and the current material stay.
    void Empty();

    rgb_color DefaultColor() const { return fDefaultColor; }
    void SetDefaultColor(rgb_color color) { fDefaultColor = color; }
    rgb_color EdgeColor() const { return fEdgeColor; }
    void SetEdgeColor(rgb_color color) { fEdgeColor = color; }
    bool Clockwise() const { return fClockwise; }
    void SetClockwise(bool on) { fClockwise = on; }
    int32_t CurrentMaterial() const { return fCurrentMaterial; }

    int32_t CountPoints() const { return int32_t(fPoints.size()); }
    QV_Vector3 Point(int32_t index) const;
    void AddPoint(const QV_Vector3& point);
    void SetPoint(int32_t index, const QV_Vector3& point);
    // Faces using the point keep -1 in its place; later indices move down.
    void RemovePoint(int32_t index);

    int32_t CountTexturePoints() const { return int32_t(fTexturePoints.size()); }
    QV_Vector2 TexturePoint(int32_t index) const;
    void AddTexturePoint(const QV_Vector2& point);
    void RemoveTexturePoint(int32_t index);

    int32_t CountMaterials() const { return int32_t(fMaterials.size()); }
    M_Material3D* Material(int32_t index) const;
    // Coloured in the default colour; becomes the current material.
    M_Material3D* CreateNewMaterial();
    // Takes ownership.
    void AddMaterial(M_Material3D* material);
    void RemoveMaterial(int32_t index);

    int32_t CountFaces() const { return int32_t(fFaces.size()); }
    M_Face3D* Face(int32_t index) const;
    void AddFace(int32_t a, int32_t b, int32_t c);
    void AddFace(int32_t a, int32_t b, int32_t c, int32_t d);
    void RemoveFace(int32_t index);

    // Centres the points on the origin and scales them so that the largest extent is 2 radius.
    void ScaleToRadius(float radius);

    bool ReadRecord(QV_IoStream* stream);
    void WriteRecord(QV_IoStream* stream, bool withGeometry) const;

    // Replaces the geometry with an OBJ file's; a file that does not open changes nothing.
    void ImportOBJ(const char* path);
    // Appends an MTL library's materials.
    void ImportMTL(const char* path);

    rgb_color fDefaultColor;
    rgb_color fEdgeColor;
    int32_t fCurrentMaterial;
    bool fClockwise;
    std::vector<QV_Vector3> fPoints;
    std::vector<QV_Vector2> fTexturePoints;
    std::vector<std::unique_ptr<M_Material3D>> fMaterials;
    std::vector<std::unique_ptr<M_Face3D>> fFaces;

private:
    void AppendFace(int32_t numP, const int32_t* points);
};
