#include <gtest/gtest.h>

#include "layer_test_support.h"
#include "qv_matrix.h"
#include "style_adapters.h"

TEST(StyleAdapters, TheDocumentAnswersItsHeightFrameAndTool)
{
    VornDoc doc;
    ASSERT_TRUE(doc.SetShape(320, 200));
    doc.fCurrentTool = "select_bone";
    VornDocStyleAdapter adapter(&doc);
    EXPECT_EQ(adapter.HeightPixels(), 200);
    EXPECT_EQ(adapter.CurrentFrame(), doc.CurFrame());
    EXPECT_STREQ(adapter.CurrentToolName(), "select_bone");

    VornDocStyleAdapter none(nullptr);
    EXPECT_EQ(none.HeightPixels(), 0);
    EXPECT_STREQ(none.CurrentToolName(), "");
}

TEST(StyleAdapters, ALayerUnderABoneParentMovesPointsWithItsSkeleton)
{
    VornDoc doc;
    StandInGroupKind* bones = new StandInGroupKind(LT_BONE);
    bones->bones.wholeOffset = QV_Vector2 { 5, -1 };
    VornLayer* layer = NewBaseLayer();
    doc.AddLayer(bones);
    bones->AddLayer(layer);
    layer->SetLayerParentBone(0);

    VornLayerStyleAdapter adapter(layer, &doc);
    EXPECT_EQ(adapter.ParentLayerType(), LT_BONE);
    EXPECT_EQ(adapter.ParentBone(), 0);
    QV_Vector2 p { 1, 2 };
    adapter.TransformByParentSkeleton(p);
    EXPECT_EQ(p.x, 6);
    EXPECT_EQ(p.y, 1);

    QV_Matrix viaAdapter, direct;
    adapter.GetLayerTransform(0, viaAdapter);
    layer->GetLayerTransform(0, direct, &doc);
    for (int i = 0; i < 16; i++)
        EXPECT_EQ(viaAdapter.m[i], direct.m[i]);
}

TEST(StyleAdapters, ATopLevelLayerHasNoParentSkeleton)
{
    VornDoc doc;
    VornLayer* layer = NewBaseLayer();
    doc.AddLayer(layer);
    VornLayerStyleAdapter adapter(layer, &doc);
    EXPECT_EQ(adapter.ParentLayerType(), 0);
    QV_Vector2 p { 1, 2 };
    adapter.TransformByParentSkeleton(p);
    EXPECT_EQ(p.x, 1);
    EXPECT_EQ(p.y, 2);
}
