#pragma once

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "older_channels.h"
#include "older_styles.h"

class QV_IoStream;

// The drawing of an older vector layer ("cMesh") and the bones of an older bone layer
// ("cSkeleton"), written as the current mesh and skeleton records.
namespace vorn_v4 {

struct M_Point {
    bool selected = false;
    AnimVec2 position;
    float width = -1;
    int32_t parentBone = -1;
    // Curve number and index of this point on that curve.
    std::vector<std::pair<int32_t, int32_t>> memberships;
};

struct M_Curve {
    bool closed = false;
    std::vector<int32_t> points;
    std::vector<AnimVal> curvatures;
};

struct M_Shape {
    bool selected = false;
    QV_String name;
    bool fill = true;
    AnimColor fillColor { rgb_color { 255, 255, 255, 255 } };
    float lineWidth = 0;
    AnimColor lineColor { rgb_color { 0, 0, 0, 255 } };
    std::unique_ptr<M_ShapeStyle> effects[3];
    // Curve number and segment number.
    std::vector<std::pair<int32_t, int32_t>> edges;

    int32_t AnimDuration() const;
};

struct M_PointGroup {
    QV_String name;
    std::vector<int32_t> points;
};

class M_Mesh {
public:
    // One block; its first word, "cMesh", has been read by the caller.
    bool ReadRecord(QV_IoStream* stream);
    // Drops invalid edges, cleans up, writes the current record.
    void WriteCurrentRecord(QV_IoStream* stream);
    void CleanUp();
    void DropInvalidEdges();
    void Clear();
    int32_t AnimDuration() const;

    std::vector<M_Point> fPoints;
    std::vector<M_Curve> fCurves;
    std::vector<M_Shape> fShapes;
    std::vector<M_PointGroup> fGroups;

private:
    // Every curve's points exist and know their place on it, and nothing else is claimed.
    bool Consistent() const;
};

struct M_Bone {
    QV_String name;
    int32_t parent = -1;
    int32_t angleControl = -1;
    float angleControlScale = 1;
    int32_t positionControl = -1;
    float positionControlScale[2] = { 1, 1 };
    int32_t scaleControl = -1;
    float scaleControlScale = 1;
    bool selected = false;
    float length = 0.25f;
    bool constraints = false;
    float minAngle = -1.2217305f;
    float maxAngle = 1.2217305f;
    AnimVec2 position;
    AnimVal angle { 1.5707964f };
    AnimVal scale { 1 };
    AnimBool lock;
    AnimVec2 target;
    AnimVal globalAngle;
};

class M_Skeleton {
public:
    // One block; its first word, "cSkeleton", has been read by the caller.
    bool ReadRecord(QV_IoStream* stream);
    void WriteCurrentRecord(QV_IoStream* stream);
    int32_t AnimDuration() const;

    std::vector<M_Bone> fBones;
};

} // namespace vorn_v4
