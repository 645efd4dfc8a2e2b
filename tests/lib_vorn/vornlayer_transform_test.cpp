#include <gtest/gtest.h>

#include <cmath>

#include "layer_test_support.h"

namespace {

// Where the matrix puts a layer point (with the divide by w).
QV_Vector2 Place(const QV_Matrix& m, float x, float y)
{
    QV_Vector2 p { x, y };
    m.Transform(p);
    return p;
}

void ExpectIdentity(const QV_Matrix& m)
{
    const QV_Matrix identity;
    for (int32_t i = 0; i < 16; i++)
        EXPECT_NEAR(m.m[i], identity.m[i], 1e-6f) << "element " << i;
}

// A flat (no 3D) document whose camera tracks to (1, 0, 0) at the given zoom.
struct FlatCamera {
    explicit FlatCamera(float zoom)
    {
        doc.fAllow3D = false;
        doc.fCameraTrack.SetValue(0, QV_Vector3 { 1, 0, 0 });
        doc.fCameraZoom.SetValue(0, zoom);
        doc.SetCurFrame(0);
    }
    VornDoc doc;
};

} // namespace

TEST(LayerTransform, ADefaultLayerWithoutDocumentIsTheIdentity)
{
    VornLayer layer;
    QV_Matrix m;
    m.Translate(3, 4, 5);
    layer.GetLayerTransform(0, m, nullptr);
    ExpectIdentity(m);
    layer.GetFullTransform(7, m, nullptr);
    ExpectIdentity(m);
    layer.GetParentTransform(7, m, nullptr);
    ExpectIdentity(m);
}

TEST(LayerTransform, TheFlatCameraMovesFartherLayersLess)
{
    struct Case {
        float zoom, layerZ, expectedX, expectedScale;
    };
    const Case cases[] = {
        { 1, 0, -1, 1 },
        { 1, -1, -0.5f, 1 },
        { 2, 0, -2, 2 },
        { 2, -1, -0.75f, 1.5f },
    };
    for (const Case& c : cases) {
        FlatCamera camera(c.zoom);
        VornLayer* layer = NewBaseLayer();
        camera.doc.AddLayer(layer);
        layer->fTranslation.SetValue(0, QV_Vector3 { 0, 0, c.layerZ });
        layer->SetCurFrame(0);
        QV_Matrix m;
        layer->GetLayerTransform(0, m, &camera.doc);
        const QV_Vector2 origin = Place(m, 0, 0);
        const QV_Vector2 unit = Place(m, 1, 0);
        EXPECT_NEAR(origin.x, c.expectedX, 1e-5f) << c.zoom << " " << c.layerZ;
        EXPECT_NEAR(unit.x - origin.x, c.expectedScale, 1e-5f) << c.zoom << " " << c.layerZ;
    }
}

TEST(LayerTransform, CameraZoomClampsTheFieldOfView)
{
    VornDoc doc;
    VornLayer* layer = NewBaseLayer();
    doc.AddLayer(layer);
    struct Case {
        float zoom, fov;
    };
    // 60 degrees over the zoom, kept within 0.25 to 160 degrees: zoom 100 gives 0.6 degrees,
    // and only zooms beyond 240 reach the narrow limit.
    const Case cases[]
        = { { 1, 1.0471976f }, { 100, 0.010471976f }, { 1000, 0.004363323f }, { 0.001f, 2.792527f } };
    for (const Case& c : cases) {
        doc.fCameraZoom.SetValue(0, c.zoom);
        QV_Matrix m;
        layer->GetLayerTransform(0, m, &doc);
        // With no pan, tilt or roll the projection's x scale survives as element 0.
        EXPECT_NEAR(m.m[0], 1 / std::tan(c.fov / 2), 1e-3f * m.m[0]) << c.zoom;
    }
}

TEST(LayerTransform, CameraImmuneAndSubLayersGetNoCameraOfTheirOwn)
{
    FlatCamera camera(1);
    VornLayer* immune = NewBaseLayer();
    GroupLayer* group = new GroupLayer;
    VornLayer* sub = NewBaseLayer();
    camera.doc.AddLayer(immune);
    camera.doc.AddLayer(group);
    group->AddLayer(sub);
    immune->fImmuneToCamera = true;
    QV_Matrix m;
    immune->GetLayerTransform(0, m, &camera.doc);
    ExpectIdentity(m);
    sub->GetLayerTransform(0, m, &camera.doc);
    ExpectIdentity(m);
    // The sub-layer meets the camera through its parent.
    sub->GetFullTransform(0, m, &camera.doc);
    EXPECT_NEAR(Place(m, 0, 0).x, -1, 1e-5f);
}

TEST(LayerTransform, RotateToFollowTurnsTowardsTheMotion)
{
    VornLayer layer;
    layer.fRotateToFollow = true;
    layer.fTranslation.SetValue(0, QV_Vector3 { 0, 0, 0 });
    layer.fTranslation.SetKeyInterp(0, INTERP_LINEAR, 0, 0);
    layer.fTranslation.SetValue(10, QV_Vector3 { 10, 0, 0 });
    QV_Matrix m;
    layer.GetLayerTransform(5, m, nullptr);
    // Moving along +X adds -pi/2: the layer's +X now points down.
    const QV_Vector2 origin = Place(m, 0, 0);
    const QV_Vector2 unit = Place(m, 1, 0);
    EXPECT_NEAR(origin.x, 5, 1e-4f);
    EXPECT_NEAR(unit.x - origin.x, 0, 1e-5f);
    EXPECT_NEAR(unit.y - origin.y, -1, 1e-5f);
}

TEST(LayerTransform, FlatDocumentsImitateSmallAndLargeTurnsByTilting)
{
    FlatCamera camera(1);
    camera.doc.fCameraTrack.SetValue(0, QV_Vector3 { 0, 0, 0 });
    VornLayer* layer = NewBaseLayer();
    camera.doc.AddLayer(layer);
    layer->fImmuneToCamera = true;

    layer->fRotationY.SetValue(0, 0.0005f);
    layer->SetCurFrame(0);
    QV_Matrix m;
    layer->GetLayerTransform(0, m, &camera.doc);
    ExpectIdentity(m);

    // A quarter turn is taken as 89.9 degrees: the layer is seen almost edge on, not collapsed.
    layer->fRotationY.SetValue(0, 1.5707964f);
    layer->SetCurFrame(0);
    layer->GetLayerTransform(0, m, &camera.doc);
    const QV_Vector2 origin = Place(m, 0, 0);
    const QV_Vector2 right = Place(m, 0.5f, 0);
    EXPECT_NEAR(origin.x, 0, 1e-5f);
    EXPECT_TRUE(std::isfinite(right.x));
    EXPECT_GT(std::fabs(right.x - origin.x), 0.0f);
    EXPECT_LT(std::fabs(right.x - origin.x), 0.05f);
}

TEST(LayerTransform, TheParentBoneAppliesAtTheSetupFrameOnlyWithABoneTool)
{
    VornDoc doc;
    StandInGroupKind* bones = new StandInGroupKind(LT_BONE);
    bones->bones.wholeOffset = QV_Vector2 { 5, 0 };
    bones->bones.boneOffsets = { QV_Vector2 { 0, 7 } };
    VornLayer* layer = NewBaseLayer();
    doc.AddLayer(bones);
    bones->AddLayer(layer);
    layer->fOrigin = QV_Vector2 { 1, 2 };
    layer->fTranslation.SetValue(0, QV_Vector3 { 0.5f, 0, 0 });
    layer->SetCurFrame(0);

    struct Case {
        int32_t frame;
        const char* tool;
        int32_t parentBone;
        float x, y;
    };
    const Case cases[] = {
        { 0, "", -2, 0.5f, 0 },
        { 0, "QV_ManipulateBones", -2, 5.5f, 0 },
        { 0, "QV_OffsetBone", -2, 5.5f, 0 },
        { -3, "QV_BoneStrength", -2, 5.5f, 0 },
        { 0, "QV_BindLayer", -2, 0.5f, 0 },
        { 1, "", -2, 5.5f, 0 },
        { 1, "", 0, 0.5f, 7 },
        // A bone index past the skeleton, and "none", leave the layer where it is.
        { 1, "", 3, 0.5f, 0 },
        { 1, "", -1, 0.5f, 0 },
        { 1, "", -3, 0.5f, 0 },
    };
    for (const Case& c : cases) {
        doc.fCurrentTool = c.tool;
        layer->fLayerParentBone = c.parentBone;
        QV_Matrix m;
        layer->GetLayerTransform(c.frame, m, &doc);
        const QV_Vector2 p = Place(m, 0, 0);
        EXPECT_NEAR(p.x, c.x, 1e-5f) << c.frame << " " << c.tool << " " << c.parentBone;
        EXPECT_NEAR(p.y, c.y, 1e-5f) << c.frame << " " << c.tool << " " << c.parentBone;
    }
    // The whole skeleton is sampled at the layer's origin plus its translation.
    EXPECT_NEAR(bones->bones.lastFramePoint.x, 1.5f, 1e-6f);
    EXPECT_NEAR(bones->bones.lastFramePoint.y, 2, 1e-6f);

    // The parent-bone matrix alone tests the tool of the document it is given.
    layer->fLayerParentBone = -2;
    doc.fCurrentTool = "QV_OffsetBone";
    QV_Matrix m;
    layer->GetParentBoneTransform(0, m, nullptr);
    ExpectIdentity(m);
    layer->GetParentBoneTransform(0, m, &doc);
    EXPECT_NEAR(Place(m, 0, 0).x, 5, 1e-6f);
    layer->GetParentBoneTransform(2, m, nullptr);
    EXPECT_NEAR(Place(m, 0, 0).x, 5, 1e-6f);
}

TEST(LayerTransform, FullAndParentTransformsStackTheAncestors)
{
    GroupLayer outer;
    GroupLayer* inner = new GroupLayer;
    VornLayer* layer = NewBaseLayer();
    outer.AddLayer(inner);
    inner->AddLayer(layer);
    outer.fTranslation.SetValue(0, QV_Vector3 { 10, 0, 0 });
    outer.fScale.SetValue(0, QV_Vector3 { 2, 2, 2 });
    inner->fTranslation.SetValue(0, QV_Vector3 { 1, 0, 0 });
    layer->fTranslation.SetValue(0, QV_Vector3 { 0, 3, 0 });
    layer->fParticleMatrix.Translate(0, 100, 0);
    outer.SetCurFrame(0);

    QV_Matrix m;
    layer->GetFullTransform(0, m, nullptr);
    QV_Vector2 p = Place(m, 0, 0);
    EXPECT_NEAR(p.x, 12, 1e-4f);
    EXPECT_NEAR(p.y, 206, 1e-4f);
    // The parents' own matrices, without the particle placement.
    layer->GetParentTransform(0, m, nullptr);
    p = Place(m, 0, 0);
    EXPECT_NEAR(p.x, 12, 1e-4f);
    EXPECT_NEAR(p.y, 0, 1e-4f);
}

TEST(LayerTransform, FaceCameraTurnsTheLayerTowardsTheCamera)
{
    // The default camera stands at (0, 0, 1.7321); a layer as far to its right faces it at
    // 45 degrees, at the top level and inside a group.
    VornLayer top;
    top.fFaceCamera = true;
    top.fTranslation.SetValue(0, QV_Vector3 { 1.7321f, 0, 0 });
    GroupLayer group;
    VornLayer* sub = NewBaseLayer();
    group.AddLayer(sub);
    group.fTranslation.SetValue(0, QV_Vector3 { 1.7321f, 0, 0 });
    sub->fFaceCamera = true;
    for (VornLayer* layer : { &top, sub }) {
        QV_Matrix m;
        layer->GetFullTransform(0, m, nullptr);
        QV_Vector3 at { 0, 0, 0 }, normal { 0, 0, 1 };
        m.TransformAffine(at);
        m.TransformAffine(normal);
        EXPECT_NEAR(at.x, 1.7321f, 1e-5f);
        EXPECT_NEAR(normal.x - at.x, -0.70710677f, 1e-5f);
        EXPECT_NEAR(normal.z - at.z, 0.70710677f, 1e-5f);
    }
}
