#include <gtest/gtest.h>

#include "layer_test_support.h"
#include "m_point.h"
#include "meshlayer.h"

namespace {

// A vector layer inside a stand-in bone layer, with four points on one curve bound to bone 0,
// bone 7, the whole skeleton and nothing. Bone 0 moves points by (0, 1), the skeleton by (2, 0).
struct BoundMesh {
    BoundMesh()
    {
        bones.bones.boneOffsets = { { 0, 1 }, { 0, 0 }, { 0, 0 }, { 0, 0 }, { 0, 0 } };
        bones.bones.wholeOffset = QV_Vector2 { 2, 0 };
        bones.AddLayer(layer);
        M_Mesh* mesh = layer->Mesh();
        mesh->AddPoint(QV_Vector2 { 0, 0 }, -1, 0);
        mesh->fPoints[1]->SetPos(QV_Vector2 { 1, 0 }, 0);
        mesh->AddPoint(QV_Vector2 { 2, 0 }, 1, 0);
        mesh->AddPoint(QV_Vector2 { 3, 0 }, 2, 0);
        const int32_t parents[] = { 0, 7, kPointFollowsAllBones, kPointFollowsNoBone };
        for (int32_t i = 0; i < 4; i++)
            mesh->fPoints[i]->fParent = parents[i];
    }

    QV_Vector2 Pos(int32_t i) { return layer->Mesh()->fPoints[i]->fPos; }

    StandInGroupKind bones { LT_BONE };
    MeshLayer* layer = new MeshLayer;
};

} // namespace

TEST(MeshLayer, NewLayerDefaults)
{
    MeshLayer layer;
    EXPECT_EQ(layer.LayerType(), LT_VECTOR);
    EXPECT_EQ(layer.fLayerParentBone, -1);
    EXPECT_FALSE(layer.fQualityFlags & QUALITY_EDIT_OVERLAYS);
    EXPECT_TRUE(layer.fExtraSketchy);
    EXPECT_FLOAT_EQ(layer.fNoiseAmp, 0.012345679f);
    EXPECT_EQ(layer.fExtraLines, 5);
    EXPECT_FALSE(layer.fGapFilling);
    LayerPrefs prefs({ { "ConstructionCurves", 1 } });
    MeshLayer shown;
    EXPECT_TRUE(shown.fQualityFlags & QUALITY_EDIT_OVERLAYS);
}

TEST(MeshLayer, PointsFollowTheirBonesFromFrameOne)
{
    BoundMesh mesh;
    mesh.layer->SetCurFrame(0);
    EXPECT_EQ(mesh.Pos(0).y, 0.0f);
    EXPECT_EQ(mesh.Pos(2).x, 2.0f);

    mesh.layer->SetCurFrame(1);
    EXPECT_NEAR(mesh.Pos(0).y, 1, 1e-6f);
    // Bone 7 is past the skeleton's five bones.
    EXPECT_NEAR(mesh.Pos(1).x, 1, 1e-6f);
    EXPECT_NEAR(mesh.Pos(1).y, 0, 1e-6f);
    EXPECT_NEAR(mesh.Pos(2).x, 4, 1e-6f);
    EXPECT_NEAR(mesh.Pos(3).x, 3, 1e-6f);
    // The animation itself is untouched.
    EXPECT_EQ(mesh.layer->Mesh()->fPoints[0]->fAnimPos.CountKeys(), 1);
    EXPECT_EQ(mesh.layer->Mesh()->fPoints[0]->fAnimPos.value.y, 0.0f);

    // A layer carried by one bone as a whole keeps its points as animated.
    mesh.layer->fLayerParentBone = 0;
    mesh.layer->SetCurFrame(2);
    EXPECT_EQ(mesh.Pos(0).y, 0.0f);
    EXPECT_EQ(mesh.Pos(2).x, 2.0f);
}

TEST(MeshLayer, DeletingABoneRenumbersThePointBindings)
{
    BoundMesh mesh;
    M_Mesh* points = mesh.layer->Mesh();
    points->fPoints[1]->fParent = 4;
    mesh.layer->DeleteParentBone(2);
    EXPECT_EQ(points->fPoints[0]->fParent, 0);
    EXPECT_EQ(points->fPoints[1]->fParent, 3);
    EXPECT_EQ(points->fPoints[2]->fParent, kPointFollowsAllBones);
    EXPECT_EQ(points->fPoints[3]->fParent, kPointFollowsNoBone);
    mesh.layer->DeleteParentBone(0);
    EXPECT_EQ(points->fPoints[0]->fParent, -1);
}
