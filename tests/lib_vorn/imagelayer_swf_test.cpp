// The image layer's SWF export through the frame render job, judged by the tests' SWF reader and
// by swf-parser: pictures become bitmap-filled rectangles in a labelled clip placed every frame.

#include "bmp_codec.h"
#include "image_format_registry.h"
#include "imagelayer.h"
#include "jpeg_codec.h"
#include "layer_test_support.h"
#include "media_test_support.h"
#include "png_codec.h"
#include "qv_temp_file.h"
#include "render_job.h"
#include "render_settings.h"
#include "swf.h"
#include "swf_check.h"
#include "vorndoc.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr int32_t kWidth = 200;
constexpr int32_t kHeight = 100;
constexpr int32_t kPictureWidth = 8;
constexpr int32_t kPictureHeight = 4;

class ImageLayerSwfTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ImageFormatRegistry::Init();
        NewDocument();
    }
    void NewDocument()
    {
        doc = std::make_unique<VornDoc>();
        doc->SetShape(kWidth, kHeight);
    }

    // An 8 x 4 picture of the type the extension names: left half red, right half blue.
    std::string WritePicture(const char* name)
    {
        std::vector<uint8_t> pixels(kPictureWidth * kPictureHeight * 4);
        for (int32_t i = 0; i < kPictureWidth * kPictureHeight; i++) {
            const bool left = i % kPictureWidth < kPictureWidth / 2;
            pixels[i * 4 + 0] = left ? 0 : 255;
            pixels[i * 4 + 2] = left ? 255 : 0;
            pixels[i * 4 + 3] = 255;
        }
        QV_PixelBuffer raster;
        raster.pixels = pixels.data();
        raster.width = kPictureWidth;
        raster.height = kPictureHeight;
        raster.depth = 32;
        raster.bytesPerPixel = 4;
        raster.rowBytes = kPictureWidth * 4;
        const std::string path = folder.Path(name);
        const std::string extension = path.substr(path.rfind('.'));
        bool written = false;
        if (extension == ".png")
            written = WritePng(path.c_str(), raster);
        else if (extension == ".jpg")
            written = WriteJpeg(path.c_str(), raster, 90);
        else
            written = WriteBmp(raster, path.c_str());
        EXPECT_TRUE(written) << path;
        return path;
    }

    ImageLayer* AddPicture(const std::string& path, GroupLayer* parent = nullptr)
    {
        auto* layer = new ImageLayer;
        layer->SetName("Picture");
        if (parent)
            parent->AddLayer(layer);
        else
            doc->AddLayer(layer);
        EXPECT_TRUE(layer->SetSourceImage(path.c_str()));
        return layer;
    }

    // Renders frames 1 to last into an SWF movie of the output size, saves and reads it back.
    SwfReadMovie Export(int32_t last, int32_t outWidth = kWidth, int32_t outHeight = kHeight)
    {
        QV_BaseImage image;
        EXPECT_EQ(image.Allocate(outWidth, outHeight, 32), 0);
        SWFMovie movie = newSWFMovie();
        SWFMovie_setDimension(movie, float(outWidth), float(outHeight));
        SWFMovie_setRate(movie, 24);
        RenderSettings settings;
        settings.SetDefaults();
        settings.fDoc = doc.get();
        settings.fImage = &image;
        settings.fStartFrame = 1;
        settings.fEndFrame = last;
        settings.fSWFMovie = movie;
        RenderJob job;
        job.fSettings = &settings;
        job.fFrame = 1;
        for (int32_t steps = 0; steps < 1000 && job.RenderFrame(); steps++) {
        }
        EXPECT_EQ(job.LastStatus(), 0);
        const std::string path = std::string(TempFileName().CString()) + ".swf";
        EXPECT_GT(SWFMovie_save(movie, path.c_str(), 9), 0);
        destroySWFMovie(movie);
        SwfReadMovie read;
        ReadJudgedSwf(path, read);
        std::remove(path.c_str());
        return read;
    }

    // The placement of each frame (at most one item a frame here).
    static std::vector<SwfReadPlace> Placements(const SwfReadMovie& movie)
    {
        std::vector<SwfReadPlace> placed;
        for (const auto& frame : SwfFrames(movie.fTags)) {
            for (const SwfReadTag* tag : frame) {
                SwfReadPlace place;
                if (DecodeSwfPlace(*tag, place))
                    placed.push_back(place);
            }
        }
        return placed;
    }

    MediaFolder folder;
    std::unique_ptr<VornDoc> doc;
};

TEST_F(ImageLayerSwfTest, PngJpegAndOtherPicturesBecomeBitmapsOrAnEmptyRectangleInALabelledClip)
{
    const struct {
        const char* name;
        int bitmapTag;  // 0: no bitmap
    } cases[] = { { "picture.png", 36 }, { "picture.jpg", 21 }, { "picture.bmp", 0 } };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        NewDocument();
        AddPicture(WritePicture(c.name));
        const SwfReadMovie movie = Export(3);

        const auto sprites = SwfTagsOf(movie.fTags, 39);
        ASSERT_EQ(sprites.size(), 1u);
        const auto labels = SwfTagsOf(sprites[0]->fTags, 43);
        ASSERT_EQ(labels.size(), 1u);
        EXPECT_EQ(SwfLabel(*labels[0]), "Picture");

        int bitmapId = 0;
        for (const int tag : { 21, 36 }) {
            const auto bitmaps = SwfTagsOf(movie.fTags, tag);
            ASSERT_EQ(bitmaps.size(), tag == c.bitmapTag ? 1u : 0u) << tag;
            if (bitmaps.empty())
                continue;
            SwfReadBitmap bitmap;
            ASSERT_TRUE(DecodeSwfBitmap(*bitmaps[0], bitmap));
            bitmapId = bitmap.fId;
            if (tag == 36) {
                EXPECT_EQ(bitmap.fWidth, kPictureWidth);
                EXPECT_EQ(bitmap.fHeight, kPictureHeight);
                // Premultiplied ARGB: the first pixel red, the last blue.
                EXPECT_EQ(std::vector<uint8_t>(bitmap.fData.begin(), bitmap.fData.begin() + 4),
                    (std::vector<uint8_t> { 255, 255, 0, 0 }));
                EXPECT_EQ(std::vector<uint8_t>(bitmap.fData.end() - 4, bitmap.fData.end()),
                    (std::vector<uint8_t> { 255, 0, 0, 255 }));
            }
        }

        // One rectangle of the picture's pixels, centred on the clip's origin.
        const auto shapes = SwfTagsOf(movie.fTags, 32);
        ASSERT_EQ(shapes.size(), 1u);
        SwfReadShape shape;
        ASSERT_TRUE(DecodeSwfShape(*shapes[0], shape));
        if (c.bitmapTag) {
            ASSERT_EQ(shape.fFills.size(), 1u);
            EXPECT_EQ(shape.fFills[0].fType, 0x41);
            EXPECT_EQ(shape.fFills[0].fBitmapId, bitmapId);
            // One picture pixel to one pixel, its corner at the rectangle's.
            EXPECT_EQ(shape.fFills[0].fMatrix.fScaleX, 20 * 65536);
            EXPECT_EQ(shape.fFills[0].fMatrix.fTx, -kPictureWidth / 2 * 20);
            EXPECT_EQ(shape.fFills[0].fMatrix.fTy, -kPictureHeight / 2 * 20);
        } else {
            EXPECT_TRUE(shape.fFills.empty());
        }
        EXPECT_EQ(shape.fBounds.fXMin, -kPictureWidth / 2 * 20);
        EXPECT_EQ(shape.fBounds.fXMax, kPictureWidth / 2 * 20);
        EXPECT_EQ(shape.fBounds.fYMin, -kPictureHeight / 2 * 20);
        EXPECT_EQ(shape.fBounds.fYMax, kPictureHeight / 2 * 20);
        ASSERT_EQ(shape.fEdges.size(), 5u);
        EXPECT_EQ(shape.fEdges[0].fKind, SwfReadEdge::kMove);

        // Placed once per frame at the frame's centre, at its pixel size.
        const auto placed = Placements(movie);
        ASSERT_EQ(placed.size(), 3u);
        for (const SwfReadPlace& place : placed) {
            EXPECT_EQ(place.fCharacterId, sprites[0]->fSpriteId);
            EXPECT_NEAR(place.fMatrix.A(), 1, 1e-3);
            EXPECT_NEAR(place.fMatrix.D(), 1, 1e-3);
            EXPECT_EQ(place.fMatrix.fTx, kWidth / 2 * 20);
            EXPECT_EQ(place.fMatrix.fTy, kHeight / 2 * 20);
        }
    }
}

TEST_F(ImageLayerSwfTest, TheItemCarriesTheLayersTurnMirrorOpacityAndTheOutputSize)
{
    ImageLayer* layer = AddPicture(WritePicture("picture.png"));
    layer->fTranslation.SetValue(2, QV_Vector3 { 0.5f, 0, 0 });
    layer->fRotationZ.SetValue(1, 0);
    layer->fRotationZ.SetValue(2, 3.14159265f / 2);
    layer->fFlipH.SetValue(3, true);
    layer->fRotationZ.SetValue(3, 0);
    layer->fTranslation.SetValue(3, QV_Vector3 { 0, 0, 0 });
    layer->fAlpha.SetValue(0, 0.5f);
    const auto placed = Placements(Export(3));
    ASSERT_EQ(placed.size(), 3u);
    for (const SwfReadPlace& place : placed) {
        ASSERT_TRUE(place.fColor.fPresent);
        EXPECT_EQ(place.fColor.fA, 128);
    }
    // Frame 2: a quarter turn counter-clockwise, moved right by half a unit (25 pixels).
    EXPECT_NEAR(placed[1].fMatrix.A(), 0, 1e-3);
    EXPECT_NEAR(std::fabs(placed[1].fMatrix.B()), 1, 1e-3);
    EXPECT_NEAR(placed[1].fMatrix.B(), -placed[1].fMatrix.C(), 1e-3);
    EXPECT_EQ(placed[1].fMatrix.fTx, (kWidth / 2 + 25) * 20);
    // Frame 3: mirrored, so the x scale is negative.
    EXPECT_NEAR(placed[2].fMatrix.A(), -1, 1e-3);
    EXPECT_NEAR(placed[2].fMatrix.D(), 1, 1e-3);

    // A movie written at half the document's size shows the picture at half its pixel size.
    NewDocument();
    AddPicture(WritePicture("small.png"));
    const auto half = Placements(Export(1, kWidth / 2, kHeight / 2));
    ASSERT_EQ(half.size(), 1u);
    EXPECT_NEAR(half[0].fMatrix.A(), 0.5, 1e-3);
    EXPECT_NEAR(half[0].fMatrix.D(), 0.5, 1e-3);
    EXPECT_EQ(half[0].fMatrix.fTx, kWidth / 4 * 20);
}

TEST_F(ImageLayerSwfTest, PicturesUnderABoneLayerOrUnreadableAreLeftOut)
{
    auto* bones = new StandInGroupKind(LT_BONE);
    doc->AddLayer(bones);
    AddPicture(WritePicture("warped.png"), bones);
    // A PNG that is not one: no bitmap, so every frame tries again and nothing is placed.
    AddPicture(folder.Write("broken.png", "not a picture"));
    const SwfReadMovie movie = Export(2);
    EXPECT_EQ(SwfFrames(movie.fTags).size(), 2u);
    EXPECT_TRUE(SwfTagsOf(movie.fTags, 39).empty());
    EXPECT_TRUE(SwfTagsOf(movie.fTags, 36).empty());
    EXPECT_TRUE(Placements(movie).empty());
}

} // namespace
