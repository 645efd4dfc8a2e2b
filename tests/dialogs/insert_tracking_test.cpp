// Insert Object moving a layer between documents, and motion tracking keying a layer from a
// movie layer's tracking points.
#include <gtest/gtest.h>

#include <cmath>

#include "../lib_vorn/media_test_support.h"
#include "grouplayer.h"
#include "imagelayer.h"
#include "insert_layer_dlog.h"
#include "m_mesh.h"
#include "m_shape.h"
#include "m_style.h"
#include "meshlayer.h"
#include "motion_tracking_dlog.h"
#include "qv_check_box.h"
#include "qv_text_list.h"
#include "tracking_point.h"
#include "vorndoc.h"

namespace {

MeshLayer* LayerWithStyles(VornDoc& doc, const char* name, std::initializer_list<const char*> styles)
{
    auto* layer = new MeshLayer;
    layer->SetName(name);
    doc.AddLayer(layer);
    for (const char* style : styles) {
        auto* shape = new M_Shape(0);
        shape->fStyleName1 = style;
        layer->Mesh()->AddShape(shape);
    }
    return layer;
}

void AddStyle(VornDoc& doc, const char* name)
{
    auto* style = new M_Style(0);
    style->fName = name;
    doc.AddStyle(style);
}

TEST(InsertLayer, StylesComeInUnderFreeNamesAndOnlyThoseUsed)
{
    VornDoc source;
    AddStyle(source, "Skin");
    AddStyle(source, "Cloth");
    LayerWithStyles(source, "Leg", { "Cloth" });
    MeshLayer* arm = LayerWithStyles(source, "Arm", { "Skin" });
    source.ResolveStyleRefs(nullptr);

    VornDoc destination;
    AddStyle(destination, "Arm - Skin");
    MeshLayer* hero = LayerWithStyles(destination, "Hero", {});
    destination.SetSelLayer(hero);
    destination.PrepUndo(hero);

    InsertLayerDlog dialog(&source, &destination, nullptr);
    dialog.ExchangeData(false);
    // The topmost layer first.
    ASSERT_EQ(dialog.fList->CountItems(), 2);
    EXPECT_STREQ(dialog.fList->GetItem(0), "Arm");
    EXPECT_STREQ(dialog.fList->GetItem(1), "Leg");
    dialog.ExchangeData(true);

    EXPECT_EQ(source.CountLayers(), 1);
    ASSERT_EQ(destination.CountLayers(), 2);
    EXPECT_EQ(destination.Layer(1), arm);
    EXPECT_EQ(destination.GetSelectedLayer(), arm);
    ASSERT_NE(destination.FindStyle("Arm - Skin 2"), nullptr);
    EXPECT_EQ(destination.FindStyle("Leg - Cloth"), nullptr);
    EXPECT_EQ(arm->Mesh()->fShapes[0]->fStyle1, destination.FindStyle("Arm - Skin 2"));
    EXPECT_EQ(destination.fUndoLevel, 0);
    EXPECT_TRUE(destination.fDirty);

    // The next one that clashes twice takes 3.
    VornDoc again;
    AddStyle(again, "Skin");
    LayerWithStyles(again, "Arm", { "Skin" });
    again.ResolveStyleRefs(nullptr);
    ASSERT_NE(InsertLayerFrom(&again, &destination, 0), nullptr);
    EXPECT_NE(destination.FindStyle("Arm - Skin 3"), nullptr);
}

TEST(InsertLayer, StartsAtTheCurrentFrameBeyondOne)
{
    for (const int32_t frame : { 0, 1, 30 }) {
        VornDoc source;
        MeshLayer* arm = LayerWithStyles(source, "Arm", {});
        VornDoc destination;
        auto* group = new GroupLayer;
        destination.AddLayer(group);
        auto* first = new MeshLayer;
        auto* last = new MeshLayer;
        group->AddLayer(first);
        group->AddLayer(last);
        destination.SetSelLayer(first);
        destination.SetCurFrame(frame);
        ASSERT_EQ(InsertLayerFrom(&source, &destination, 0), arm);
        // Inside a group the layer goes right after the current one.
        ASSERT_EQ(group->CountLayers(), 3);
        EXPECT_EQ(group->Layer(1), arm);
        if (frame == 30) {
            EXPECT_EQ(arm->TimingOffset(), -29);
            EXPECT_FALSE(arm->fVisibility.GetValue(0));
            EXPECT_TRUE(arm->fVisibility.GetValue(1));
        } else {
            EXPECT_EQ(arm->TimingOffset(), 0) << frame;
            EXPECT_EQ(arm->fVisibility.CountKeys(), 1) << frame;
        }
    }
}

TEST(InsertLayer, CancelAndOutOfRangeItemsChangeNothing)
{
    VornDoc source;
    LayerWithStyles(source, "Arm", {});
    VornDoc destination;
    EXPECT_EQ(InsertLayerFrom(&source, &destination, 3), nullptr);
    EXPECT_EQ(InsertLayerFrom(&source, &destination, -1), nullptr);
    EXPECT_EQ(source.CountLayers(), 1);
    EXPECT_EQ(destination.CountLayers(), 0);
    EXPECT_EQ(InsertItemLayer(&source, 1), nullptr);
}

class TrackingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        REQUIRE_FFMPEG();
        const std::string movie = fFolder.Path("clip.mov");
        ASSERT_TRUE(Ffmpeg("-f lavfi -i color=c=gray:s=32x32:r=24:d=1 -c:v png '" + movie + "'"));
        fDoc.SetShape(64, 64);
        fMovie = new ImageLayer;
        fDoc.AddLayer(fMovie);
        ASSERT_TRUE(fMovie->SetSourceImage(movie.c_str()));
        fMovie->LoadMedia(32);
        fPrimary = fMovie->AddTrackingPoint(1, 16, 16);
        fSecondary = fMovie->AddTrackingPoint(1, 20, 16);
        ASSERT_NE(fSecondary, nullptr);
        fTarget = new MeshLayer;
        fDoc.AddLayer(fTarget);
        fDoc.SetSelLayer(fTarget);
        // Tracked keys at 1, 5 and 10; the secondary point twice as far away at 10.
        for (const int32_t j : { 0, 1, 5, 10 }) {
            fPrimary->fAnimPos.SetValue(j, QV_Vector2 { 16.0f + float(j), 16 });
            fSecondary->fAnimPos.SetValue(j, QV_Vector2 { 16.0f + float(j) + (j == 10 ? 8.0f : 4.0f), 16 });
        }
    }
    MediaFolder fFolder;
    VornDoc fDoc;
    ImageLayer* fMovie = nullptr;
    MeshLayer* fTarget = nullptr;
    TrackingPoint* fPrimary = nullptr;
    TrackingPoint* fSecondary = nullptr;
};

TEST_F(TrackingTest, PrimaryOnlyKeysTheTranslationOncePerTrackedKey)
{
    for (const int32_t offset : { 0, 3 }) {
        fTarget->fTranslation.Clear();
        fTarget->SetTimingOffset(offset);
        MotionTrackingChoice choice;
        choice.movie = fMovie;
        choice.primary = 0;
        // The same point twice counts as one.
        choice.secondary = 0;
        choice.angle = choice.scale = true;
        ASSERT_TRUE(ApplyMotionTracking(&fDoc, kTrackLayerMode, choice));
        for (const int32_t j : { 1, 5, 10 })
            EXPECT_TRUE(fTarget->fTranslation.HasKey(j + offset)) << j << " " << offset;
        EXPECT_FALSE(fTarget->fTranslation.HasKey(2 + offset));
        EXPECT_EQ(fTarget->fRotationZ.CountKeys(), 1);
        EXPECT_EQ(fTarget->fScale.CountKeys(), 1);
        // The point's path, in the movie layer's units: it moved 4 picture pixels right.
        QV_Vector2 at1 {}, at5 {};
        fMovie->ImageToLayer(QV_Vector2 { 17, 16 }, at1);
        fMovie->ImageToLayer(QV_Vector2 { 21, 16 }, at5);
        EXPECT_NEAR(fTarget->fTranslation.GetValue(5 + offset).x - fTarget->fTranslation.GetValue(1 + offset).x,
            at5.x - at1.x, 1e-5);
        EXPECT_NEAR(fTarget->fTranslation.GetValue(1 + offset).x, at1.x, 1e-5);
    }
}

TEST_F(TrackingTest, ScaleFollowsTheDistanceBetweenThePoints)
{
    fTarget->fScale.SetValue(0, QV_Vector3 { 2, 3, 4 });
    MotionTrackingChoice choice;
    choice.movie = fMovie;
    choice.primary = 0;
    choice.secondary = 1;
    choice.scale = true;
    ASSERT_TRUE(ApplyMotionTracking(&fDoc, kTrackLayerMode, choice));
    const QV_Vector3 doubled = fTarget->fScale.GetValue(10);
    EXPECT_FLOAT_EQ(doubled.x, 4);
    EXPECT_FLOAT_EQ(doubled.y, 6);
    EXPECT_FLOAT_EQ(doubled.z, 8);
    EXPECT_FLOAT_EQ(fTarget->fScale.GetValue(5).x, 2);
    // No angle was asked for.
    EXPECT_EQ(fTarget->fRotationZ.CountKeys(), 1);
}

TEST_F(TrackingTest, TheDialogListsMovieLayersBesideTheCurrentLayer)
{
    MotionTrackingDlog dialog(&fDoc, nullptr, kTrackLayerMode);
    dialog.ExchangeData(false);
    ASSERT_EQ(dialog.fMovies.fCount, 1);
    const MotionTrackingChoice choice = dialog.Choice();
    EXPECT_EQ(choice.movie, fMovie);
    EXPECT_EQ(choice.primary, 0);
    EXPECT_EQ(choice.secondary, -1);
    EXPECT_FALSE(dialog.fAngle->IsEnabled());
    EXPECT_FALSE(dialog.fScale->IsEnabled());
    // Without a primary point layer mode does nothing.
    MotionTrackingChoice none;
    none.movie = fMovie;
    EXPECT_FALSE(ApplyMotionTracking(&fDoc, kTrackLayerMode, none));
    none.primary = 7;
    EXPECT_FALSE(ApplyMotionTracking(&fDoc, kTrackLayerMode, none));
}

} // namespace
