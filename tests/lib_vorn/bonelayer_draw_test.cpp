#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "bonelayer.h"
#include "drawing_support.h"
#include "model_prefs.h"
#include "skeleton_test_support.h"

namespace {

constexpr rgb_color kSel { 255, 0, 0, 255 };
constexpr rgb_color kObj { 0, 0, 0, 255 };
constexpr rgb_color kInac { 128, 128, 128, 255 };

bool Bluish(rgb_color c)
{
    return c.b > c.r + 40;
}

bool Painted(rgb_color c)
{
    return !SameColour(c, EditorCanvas::kWhite);
}

// A bone layer in the canvas's document: bone 0 lies along the top half, bone 1 (its child)
// continues it, bone 2 stands apart at the bottom.
struct BoneCanvas : EditorCanvas {
    BoneCanvas()
        : colours({ { "VornColSel", kSel }, { "VornColObj", kObj }, { "VornColInac", kInac } })
    {
        layer = new BoneLayer;
        AddRestBone(layer->fSkeleton, -1, QV_Vector2 { -0.8f, 0.5f }, 0, 0.8f);
        AddRestBone(layer->fSkeleton, 0, QV_Vector2 { 0.8f, 0 }, 0, 0.8f);
        AddRestBone(layer->fSkeleton, -1, QV_Vector2 { -0.8f, -0.5f }, 0, 1.6f);
        layer->fSkeleton.UpdateBoneMatrix(-1);
        doc.AddLayer(layer);
        doc.SetCurFrame(0);
    }
    void DrawEdit(VornLayer* current)
    {
        FillRaster(raster, kWhite);
        int32_t mode = DRAW_EDIT;
        layer->Draw(&doc, &graphics, nullptr, mode, current, nullptr);
    }
    M_Bone& Bone(int32_t i) { return *layer->fSkeleton.GetBone(i); }

    EditorColours colours;
    BoneLayer* layer;
};

} // namespace

TEST(BoneLayerDraw, ParentOfTheOneSelectedBoneIsBlue)
{
    BoneCanvas canvas;
    canvas.Bone(1).fSelected = true;
    canvas.DrawEdit(canvas.layer);
    // Bone 0 spans pixels 10 to 50 on row 25.
    EXPECT_GT(canvas.Count(Bluish, 10, 20, 48, 30), 10);
    EXPECT_GT(canvas.Count([](rgb_color c) { return c.r > 200 && c.g < 100; }, 52, 20, 88, 30), 10);

    canvas.Bone(2).fSelected = true;
    canvas.DrawEdit(canvas.layer);
    EXPECT_EQ(canvas.Count(Bluish), 0);
}

TEST(BoneLayerDraw, SetupFrameShowsTheChannelsPoseForOtherTools)
{
    BoneCanvas canvas;
    // A pose left by the last frame shown: upright bone 2.
    canvas.Bone(2).fAngle = 1.5707964f;
    canvas.doc.fCurrentTool = "QV_TransformPoints";
    canvas.DrawEdit(canvas.layer);
    // Lying along row 75 from pixel 10 to 90, not standing up from it.
    EXPECT_GT(canvas.Count(Painted, 60, 70, 88, 80), 10);
    EXPECT_EQ(canvas.Count(Painted, 5, 30, 15, 60), 0);
}

TEST(BoneLayerDraw, RegionIsACapsuleOfTheBonesStrength)
{
    BoneCanvas canvas;
    canvas.layer->fSkeleton.fBindingMode = REGION_BINDING;
    for (int32_t i = 0; i < 2; i++)
        canvas.Bone(i).fStrength = 0;
    // Length 1.6 and strength 1.25: radius 1, drawn at a quarter of the size.
    canvas.Bone(2).fStrength = 1.25f;
    canvas.Bone(2).fPos = QV_Vector2 { -3.2f, -2 };
    canvas.layer->fSkeleton.UpdateBoneMatrix(-1);
    canvas.doc.fCurrentTool = "QV_BoneStrength";
    FillRaster(canvas.raster, EditorCanvas::kWhite);
    QV_Matrix quarter;
    quarter.Scale(0.25f, 0.25f, 1);
    canvas.graphics.ApplyMatrix(quarter);
    canvas.layer->DrawStrengthRegions(&canvas.graphics, &canvas.doc, false);
    // The segment runs from world (-0.8, -0.5) to (-0.4, -0.5), pixels (10, 75) to (30, 75);
    // the capsule reaches 12.5 pixels around it.
    for (auto [x, y] : { std::pair { 20, 75 }, std::pair { 20, 64 }, std::pair { 20, 86 }, std::pair { 0, 75 },
             std::pair { 40, 75 } })
        EXPECT_TRUE(Painted(canvas.Pixel(x, y))) << x << "," << y;
    for (auto [x, y] : { std::pair { 20, 60 }, std::pair { 20, 90 }, std::pair { 45, 75 } })
        EXPECT_FALSE(Painted(canvas.Pixel(x, y))) << x << "," << y;
}

TEST(BoneLayerDraw, BindLayerToolSelectsTheBoundBone)
{
    BoneCanvas canvas;
    MeshLayer* sub = new MeshLayer;
    canvas.layer->AddLayer(sub);
    sub->fLayerParentBone = 1;
    canvas.Bone(0).fSelected = true;
    canvas.doc.fCurrentTool = "QV_BindLayer";
    canvas.DrawEdit(sub);
    EXPECT_FALSE(canvas.Bone(0).fSelected);
    EXPECT_TRUE(canvas.Bone(1).fSelected);
    EXPECT_FALSE(canvas.Bone(2).fSelected);
}

namespace {

// The option on, the canvas's colours kept.
class HideControlledBones : public ModelPrefSource {
public:
    explicit HideControlledBones(const ModelPrefSource& colours)
        : fColours(colours)
    {
        SetModelPrefSource(this);
    }
    ~HideControlledBones() override { SetModelPrefSource(&fColours); }
    bool GetInt(const char* key, int32_t& value) const override
    {
        value = 1;
        return std::string(key) == "HideControlledBones";
    }
    bool GetColor(const char* key, rgb_color& value) const override { return fColours.GetColor(key, value); }

private:
    const ModelPrefSource& fColours;
};

} // namespace

TEST(BoneLayerDraw, HideControlledBonesHidesThemFromFrameOne)
{
    struct Case {
        const char* what;
        bool option;
        int32_t frame;
        bool angleControl;  // else a scale control only
        bool shown;
    };
    const Case cases[] = {
        { "option off", false, 1, true, true },
        { "setup frame", true, 0, true, true },
        { "angle control", true, 1, true, false },
        { "scale control only", true, 1, false, true },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        BoneCanvas canvas;
        if (c.angleControl)
            canvas.Bone(2).fAngleControlParent = 0;
        else
            canvas.Bone(2).fScaleControlParent = 0;
        std::unique_ptr<HideControlledBones> option;
        if (c.option)
            option = std::make_unique<HideControlledBones>(canvas.colours);
        canvas.doc.SetCurFrame(c.frame);
        canvas.DrawEdit(canvas.layer);
        // Bone 2 lies along row 75; bone 0 is never controlled.
        EXPECT_EQ(canvas.Count(Painted, 60, 70, 88, 80) > 10, c.shown);
        EXPECT_GT(canvas.Count(Painted, 10, 20, 48, 30), 10);
    }
}
