#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "../core/scratch_folder.h"
#include "image_file.h"
#include "image_format_registry.h"
#include "qv_filestream.h"
#include "ss_texture.h"
#include "ss_texture2.h"
#include "style_test_support.h"
#include "xgraphics.h"

namespace {

const rgb_color kRed { 255, 0, 0, 255 };
const rgb_color kGreen { 0, 255, 0, 255 };
const rgb_color kBlue { 0, 0, 255, 255 };
const rgb_color kWhite { 255, 255, 255, 255 };
const rgb_color kGrey { 100, 100, 100, 255 };

class TextureStyles : public ::testing::Test {
protected:
    void SetUp() override { ImageFormatRegistry::Init(); }
    void TearDown() override { ImageFormatRegistry::Free(); }

    // A PNG of the raster in the scratch folder; answers its path.
    std::string Png(const std::string& name, TestRaster& raster)
    {
        const std::string path = folder.File(name);
        EXPECT_EQ(SaveImageFile(raster.image, path.c_str(), PngWriterIndex), 0);
        return path;
    }
    // Red and green over blue and white.
    std::string Checker()
    {
        TestRaster image(2, 2);
        image.Set(0, 0, kRed);
        image.Set(1, 0, kGreen);
        image.Set(0, 1, kBlue);
        image.Set(1, 1, kWhite);
        return Png("checker.png", image);
    }

    ScratchFolder folder;
};

void ApplyBase(M_ShapeStyle& style, TestRaster& shape)
{
    TestRaster work(shape.image.buffer.width, shape.image.buffer.height, rgb_color { 1, 1, 1, 1 });
    StubDocument doc;
    style.ApplyInLayer(nullptr, shape.Buffer(),
        QV_Rect { 0, 0, shape.image.buffer.width - 1, shape.image.buffer.height - 1 }, QV_BBox {},
        work.Buffer(), &doc, nullptr, 1.0f, nullptr, 1);
}

TEST_F(TextureStyles, TiledRepeatsTheImageFromTheShapesCorner)
{
    SS_Texture style;
    style.fSource.fPath = Checker().c_str();
    TestRaster shape(5, 5, kGrey);
    shape.Set(4, 4, rgb_color { 100, 100, 100, 0 });
    ApplyBase(style, shape);
    EXPECT_TRUE(SameColor(shape.At(0, 0), kRed));
    EXPECT_TRUE(SameColor(shape.At(3, 0), kGreen));
    EXPECT_TRUE(SameColor(shape.At(2, 3), kBlue));
    EXPECT_TRUE(SameColor(shape.At(3, 3), kWhite));
    EXPECT_EQ(shape.At(4, 4).a, 0);
}

TEST_F(TextureStyles, StretchedSpansTheShapesRectangle)
{
    SS_Texture style;
    style.fSource.fPath = Checker().c_str();
    style.fSource.fFillMode = 1;
    TestRaster shape(8, 8, kGrey);
    ApplyBase(style, shape);
    EXPECT_TRUE(SameColor(shape.At(0, 0), kRed));
    EXPECT_GT(shape.At(7, 0).g, shape.At(7, 0).r);
    EXPECT_GT(shape.At(0, 7).b, shape.At(0, 7).r);
    EXPECT_EQ(shape.At(7, 7).a, 255);
}

TEST_F(TextureStyles, AnEmptyOrUnreadablePathDoesNothingAndIsTriedAgain)
{
    TestRaster before(6, 6, kGrey);
    SS_Texture empty;
    TestRaster a(6, 6, kGrey);
    ApplyBase(empty, a);
    EXPECT_TRUE(a.SameAs(before));

    SS_Texture2 placed;
    placed.fSource.fPath = folder.File("later.png").c_str();
    TestRaster target(6, 6, kGrey);
    TestRaster work(6, 6);
    XGraphics graphics;
    graphics.SetRaster(target.Buffer());
    StubDocument doc;
    QV_BBox bounds;
    bounds.min = QV_Vector3 { -1, -1, 0 };
    bounds.max = QV_Vector3 { 1, 1, 0 };
    placed.ApplyInLayer(&graphics, target.Buffer(), QV_Rect { 0, 0, 5, 5 }, bounds, work.Buffer(), &doc,
        nullptr, 1.0f, nullptr, 1);
    EXPECT_TRUE(target.SameAs(before));

    folder.Put("later.png", "not a picture");
    SS_Texture broken;
    broken.fSource.fPath = folder.File("later.png").c_str();
    TestRaster b(6, 6, kGrey);
    ApplyBase(broken, b);
    EXPECT_TRUE(b.SameAs(before));
    EXPECT_EQ(broken.fSource.fImage.buffer.pixels, nullptr);

    TestRaster green(1, 1, kGreen);
    Png("later.png", green);
    ApplyBase(broken, b);
    EXPECT_TRUE(SameColor(b.At(3, 3), kGreen));
}

TEST_F(TextureStyles, StoredPathsFindTheirFileWhateverTheSeparatorsOrCase)
{
    TestRaster green(1, 1, kGreen);
    Png("Wood.PNG", green);
    for (std::string stored : { folder.Path() + "\\Wood.PNG", folder.Path() + "/wood.png" }) {
        SS_Texture style;
        style.fSource.fPath = stored.c_str();
        TestRaster shape(3, 3, kGrey);
        ApplyBase(style, shape);
        EXPECT_TRUE(SameColor(shape.At(1, 1), kGreen)) << stored;
    }
}

TEST_F(TextureStyles, RecordsStorePathsRelativeToTheDocument)
{
    Checker();
    const std::string document = folder.File("scene.celv");
    SS_Texture2 style;
    style.fSource.fPath = folder.File("checker.png").c_str();
    style.fSource.fFillMode = 1;
    {
        QV_FileStream out;
        ASSERT_EQ(out.Open(document.c_str(), false), 0);
        style.WriteRecord(&out);
    }
    EXPECT_EQ(folder.Get("scene.celv"), "\"checker.png\" 1 ");
    QV_FileStream in;
    ASSERT_EQ(in.Open(document.c_str(), true), 0);
    SS_Texture2 copy;
    ASSERT_TRUE(copy.ReadRecord(&in));
    EXPECT_STREQ(copy.fSource.fPath.CString(), folder.File("checker.png").c_str());
    EXPECT_EQ(copy.fSource.fFillMode, 1);
}

// A 100 x 100 layer image in centred units (50 pixels per unit) with a grey square from -0.5 to
// 0.5 (pixels 25 to 74).
struct PlacedScene {
    PlacedScene()
        : target(100, 100)
        , work(100, 100, rgb_color { 4, 4, 4, 4 })
    {
        target.FillRect(25, 25, 74, 74, kGrey);
        graphics.SetRaster(target.Buffer());
        graphics.fViewMode = QV_Graphics::kViewCentered;
        graphics.BeginDraw();
        bounds.min = QV_Vector3 { -0.5f, -0.5f, 0 };
        bounds.max = QV_Vector3 { 0.5f, 0.5f, 0 };
    }
    void Apply(M_ShapeStyle& style, StyleLayer* layer = nullptr, int32_t finalRender = 1)
    {
        QV_PixelBuffer image;
        target.image.GetSubPixelBuffer(rect, image);
        style.ApplyInLayer(
            &graphics, &image, rect, bounds, work.Buffer(), &doc, layer, 1.0f, nullptr, finalRender);
    }
    rgb_color At(float x, float y) const
    {
        return target.At(
            static_cast<int32_t>(std::lround(50 + x * 50)), static_cast<int32_t>(std::lround(50 - y * 50)));
    }

    TestRaster target;
    TestRaster work;
    XGraphics graphics;
    StubDocument doc { 100 };
    QV_BBox bounds;
    QV_Rect rect { 25, 25, 74, 74 };
};

TEST_F(TextureStyles, APlacedImageCentresOnTheBoundsWithItsFirstRowUp)
{
    // Red over blue, four rows each.
    TestRaster image(2, 8);
    image.FillRect(0, 0, 1, 3, kRed);
    image.FillRect(0, 4, 1, 7, kBlue);
    SS_Texture2 style;
    style.fSource.fPath = Png("rows.png", image).c_str();
    for (int32_t finalRender : { 1, 0 }) {
        PlacedScene scene;
        scene.Apply(style, nullptr, finalRender);
        SCOPED_TRACE(finalRender);
        const rgb_color top = scene.At(0, 0.4f);
        const rgb_color bottom = scene.At(0, -0.4f);
        EXPECT_GT(top.r, 200);
        EXPECT_LT(top.b, 55);
        EXPECT_GT(bottom.b, 200);
        EXPECT_LT(bottom.r, 55);
        EXPECT_EQ(scene.target.At(10, 10).a, 0);
        EXPECT_TRUE(SameColor(scene.target.At(10, 10), rgb_color { 0, 0, 0, 0 }));
    }
}

TEST_F(TextureStyles, APlacedImageRepeatsOrStretchesItsEdges)
{
    // A tall image, red on the left and blue on the right: 2.25 half-heights of the bounds high,
    // half of that wide, so the shape reaches beyond it to the sides.
    TestRaster image(4, 8);
    image.FillRect(0, 0, 1, 7, kRed);
    image.FillRect(2, 0, 3, 7, kBlue);
    const std::string path = Png("tall.png", image);
    for (int32_t mode : { 0, 1 }) {
        SS_Texture2 style;
        style.fSource.fPath = path.c_str();
        style.fSource.fFillMode = mode;
        PlacedScene scene;
        scene.Apply(style);
        // u = 0.5 + x / 0.5625: x = -0.42 lies a quarter of the image beyond its left edge.
        const rgb_color left = scene.At(-0.42f, 0.0f);
        SCOPED_TRACE(mode);
        if (mode == 0) {
            EXPECT_GT(left.b, 200);
            EXPECT_LT(left.r, 50);
        } else {
            EXPECT_TRUE(SameColor(left, kRed));
        }
    }
}

TEST_F(TextureStyles, TheOlderTextureInALayerCoversTheShapesExtent)
{
    TestRaster green(4, 4, kGreen);
    SS_Texture style;
    style.fSource.fPath = Png("green.png", green).c_str();
    for (int32_t height : { 100, 128, 300 }) {
        SCOPED_TRACE(height);
        TestRaster target(100, height);
        const int32_t top = height / 2 - 25;
        target.FillRect(25, top, 74, top + 49, kGrey);
        TestRaster work(100, height);
        XGraphics graphics;
        graphics.SetRaster(target.Buffer());
        graphics.fViewMode = QV_Graphics::kViewCentered;
        graphics.BeginDraw();
        const float half = 25.0f / (static_cast<float>(height) / 2.0f);
        QV_BBox bounds;
        bounds.min = QV_Vector3 { -half, -half, 0 };
        bounds.max = QV_Vector3 { half, half, 0 };
        StubDocument doc(height);
        StubLayer layer;
        QV_PixelBuffer image;
        const QV_Rect rect { 25, top, 74, top + 49 };
        target.image.GetSubPixelBuffer(rect, image);
        style.ApplyInLayer(&graphics, &image, rect, bounds, work.Buffer(), &doc, &layer, 1.0f, nullptr, 1);
        EXPECT_TRUE(SameColor(target.At(50, height / 2), kGreen));
        EXPECT_TRUE(SameColor(target.At(27, top + 2), kGreen));
        EXPECT_EQ(target.At(10, 10).a, 0);
    }
}

TEST_F(TextureStyles, OnlyTheOlderTextureFollowsALayerBoundToOneBone)
{
    TestRaster green(4, 4, kGreen);
    const std::string path = Png("green.png", green);
    StubLayer layer;
    layer.fParentType = 4;
    layer.fParentBone = 1;
    SS_Texture older;
    older.fSource.fPath = path.c_str();
    PlacedScene a;
    a.doc.fFrame = 2;
    a.Apply(older, &layer);
    EXPECT_GT(layer.fDeformCalls, 0);

    StubLayer placedLayer;
    placedLayer.fParentType = 4;
    placedLayer.fParentBone = 1;
    SS_Texture2 placed;
    placed.fSource.fPath = path.c_str();
    PlacedScene b;
    b.doc.fFrame = 2;
    b.Apply(placed, &placedLayer);
    EXPECT_EQ(placedLayer.fDeformCalls, 0);
}

} // namespace

TEST_F(TextureStyles, APathHoldingADoubleQuoteIsRefusedAndKeepsTheOldOne)
{
    SS_Texture style;
    ASSERT_TRUE(style.fSource.SetPath("/pictures/wood.png"));
    EXPECT_FALSE(style.fSource.SetPath("/pictures/\"old\"/wood.png"));
    EXPECT_STREQ(style.fSource.fPath.CString(), "/pictures/wood.png");
}
