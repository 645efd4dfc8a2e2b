#include <gtest/gtest.h>

#include <string>

#include "../core/scratch_folder.h"
#include "blend_tables.h"
#include "image_file.h"
#include "image_format_registry.h"
#include "m_brush.h"
#include "m_shape.h"
#include "m_shapestyle.h"
#include "m_style.h"
#include "vorn_test_support.h"

namespace {

// An effect that remembers the type id it was made with and stores one number.
class FakeEffect : public M_ShapeStyle {
public:
    explicit FakeEffect(int32_t typeId)
        : fTypeId(typeId)
    {
    }
    int32_t StyleType() override { return fTypeId - kFirstShapeStyleId; }
    bool ReadRecord(QV_IoStream* stream) override { return stream->ReadFloat(fValue); }
    void WriteRecord(QV_IoStream* stream) override { stream->WriteFloat(fValue); }
    bool IsPositionDependent() override { return fTypeId >= kFirstShapeStyleId + 9; }

    int32_t fTypeId;
    float fValue = 0;
};

M_ShapeStyle* MakeFake(int32_t typeId)
{
    return new FakeEffect(typeId);
}

// Installs the fake effects while it lives.
struct FakeFactory {
    FakeFactory() { SetShapeStyleFactory(MakeFake); }
    ~FakeFactory() { SetShapeStyleFactory(nullptr); }
};

std::string StyleText(M_Style& style)
{
    QV_MemStream stream;
    stream.Open(0);
    style.WriteRecord(&stream);
    return StreamText(stream);
}

bool ReadStyle(M_Style& style, const std::string& text, int32_t version = 19)
{
    QV_MemStream stream;
    FillStream(stream, text);
    stream.fVersion = version;
    return style.ReadRecord(&stream);
}

const char* kStyleHead = "\"S\" true [ ] false 0.02 true [ ] \"b.png\" true 1 0.5 false";

TEST(MStyle, NewStyleDefinesEverything)
{
    M_Style style(0);
    EXPECT_TRUE(style.fDefineFillCol);
    EXPECT_TRUE(style.fDefineLineWidth);
    EXPECT_TRUE(style.fDefineLineCol);
    EXPECT_FLOAT_EQ(style.fLineWidth, 0.008230452f);
    EXPECT_EQ(style.fLineWidth, 4.0f / 486.0f);
    EXPECT_EQ(style.fFillCol.value.r, 255);
    EXPECT_EQ(style.fFillCol.value.a, 255);
    EXPECT_EQ(style.fLineCol.value.r, 0);
    EXPECT_EQ(style.fLineCol.value.a, 255);
    EXPECT_TRUE(style.fBrushName.IsEmpty());
    EXPECT_EQ(style.fBrushMask, nullptr);
    EXPECT_FLOAT_EQ(style.fBrushAngle, 6.2831855f);
    EXPECT_FLOAT_EQ(style.fBrushSpacing, 0.25f);
    EXPECT_TRUE(style.fBrushVaries);
    EXPECT_TRUE(style.fBrushTint);
    for (M_ShapeStyle* effect : style.fEffects)
        EXPECT_EQ(effect, nullptr);

    M_Style later(30);
    EXPECT_EQ(later.fFillCol.CountKeys(), 1);
    EXPECT_EQ(later.fFillCol.GetKeyWhen(0), 30);
    EXPECT_EQ(later.fLineCol.GetCurFrame(), 30);
}

TEST(MStyle, RecordRoundTrip)
{
    M_Style style(0);
    style.fName = "Outline";
    style.fDefineLineWidth = false;
    style.fLineWidth = 0.015f;
    style.fLineCol.SetValue(12, rgb_color { 255, 0, 0, 255 });
    style.fBrushName = "chalk.png";
    style.fBrushAlign = true;
    style.fBrushTint = false;
    const std::string text = StyleText(style);
    EXPECT_EQ(text.substr(0, 16), "\"Outline\"\n\ttrue\n");
    EXPECT_NE(text.find("\tfalse 0.015\n"), std::string::npos);
    EXPECT_NE(text.find("\t\"chalk.png\"\n\ttrue\n\t6.283185\n\t0.25\n\ttrue\n\tfalse\n\t-1\n\t-1\n\t-1\n"),
        std::string::npos)
        << text;

    M_Style copy(0);
    ASSERT_TRUE(ReadStyle(copy, text));
    EXPECT_EQ(StyleText(copy), text);
    EXPECT_FALSE(copy.fBrushTint);
}

TEST(MStyle, TintLineOnlyFromVersion17)
{
    M_Style style(0);
    ASSERT_TRUE(ReadStyle(style, std::string(kStyleHead) + " -1 -1 -1", 16));
    EXPECT_TRUE(style.fBrushTint);
    EXPECT_FALSE(style.fDefineLineWidth);
    EXPECT_FLOAT_EQ(style.fBrushAngle, 1);
    EXPECT_FALSE(ReadStyle(style, std::string(kStyleHead) + " -1 -1 -1", 17));
    ASSERT_TRUE(ReadStyle(style, std::string(kStyleHead) + " false -1 -1 -1", 17));
    EXPECT_FALSE(style.fBrushTint);
}

TEST(MStyle, EffectSlotsGoThroughTheFactory)
{
    M_Style style(0);
    // Without the effect kinds, a record that names an effect cannot be read.
    EXPECT_FALSE(ReadStyle(style, std::string(kStyleHead) + " true 4 0.5 -1 -1"));

    FakeFactory factory;
    ASSERT_TRUE(ReadStyle(style, std::string(kStyleHead) + " true 4 0.5 -1 9 0.25"));
    ASSERT_NE(style.fEffects[0], nullptr);
    EXPECT_EQ(static_cast<FakeEffect*>(style.fEffects[0])->fTypeId, 10207);
    EXPECT_FLOAT_EQ(static_cast<FakeEffect*>(style.fEffects[0])->fValue, 0.5f);
    EXPECT_EQ(style.fEffects[1], nullptr);
    EXPECT_EQ(static_cast<FakeEffect*>(style.fEffects[2])->fTypeId, 10212);

    const std::string text = StyleText(style);
    EXPECT_NE(text.find("\t4\n\t\t0.5\n\t-1\n\t9\n\t\t0.25\n"), std::string::npos) << text;

    // An index no effect kind has, or an effect whose values do not read, fails the record.
    EXPECT_FALSE(ReadStyle(style, std::string(kStyleHead) + " true 11 0.5 -1 -1"));
    EXPECT_FALSE(ReadStyle(style, std::string(kStyleHead) + " true 2147483647 0.5 -1 -1"));
    EXPECT_FALSE(ReadStyle(style, std::string(kStyleHead) + " true 3 x -1 -1"));
    EXPECT_EQ(CreateShapeStyle(kNoShapeStyleId), nullptr);
}

TEST(MStyle, PositionDependentEffectsOfAShape)
{
    FakeFactory factory;
    M_Shape shape(0);
    EXPECT_FALSE(shape.HasPositionDependentStyles());
    M_Style shared(0);
    shape.fStyle2 = &shared;
    shared.fEffects[1] = CreateShapeStyle(kFirstShapeStyleId + 9);
    EXPECT_TRUE(shape.HasPositionDependentStyles());
    shape.fStyle2 = nullptr;
    shape.fMyStyle.fEffects[0] = CreateShapeStyle(kFirstShapeStyleId + 2);
    EXPECT_FALSE(shape.HasPositionDependentStyles());
}

TEST(MStyle, SetDefaultsKeepsNameAndEmptiesSlots)
{
    FakeFactory factory;
    M_Style style(0);
    style.fName = "Kept";
    style.fLineWidth = 1;
    style.fEffects[2] = CreateShapeStyle(kFirstShapeStyleId);
    style.SetDefaults(5);
    EXPECT_STREQ(style.fName.CString(), "Kept");
    EXPECT_FLOAT_EQ(style.fLineWidth, 4.0f / 486.0f);
    EXPECT_EQ(style.fEffects[2], nullptr);
}

// A brushes folder with a tiny PNG and a file that is no image.
class BrushFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Toolkit start-up builds these before any image is composited.
        BuildBlendTables();
        ImageFormatRegistry::Init();
        QV_BaseImage image;
        ASSERT_EQ(image.Allocate(2, 1, 32), 0);
        uint8_t* p = image.buffer.pixels;
        // A black pixel and a white one, both opaque (bytes blue, green, red, alpha).
        const uint8_t pixels[8] = { 0, 0, 0, 255, 255, 255, 255, 255 };
        std::copy(pixels, pixels + 8, p);
        ASSERT_EQ(SaveImageFile(image, fFolder.File("Chalk.png").c_str(), PngWriterIndex), 0);
        // Half transparent red: the alpha marks the brush as coloured.
        const uint8_t faded[8] = { 0, 0, 255, 128, 0, 0, 255, 128 };
        std::copy(faded, faded + 8, p);
        ASSERT_EQ(SaveImageFile(image, fFolder.File("faded.png").c_str(), PngWriterIndex), 0);
        fFolder.Put("notes.txt", "not a brush");
        fFolder.Put("broken.png", "not a png either");
    }
    void TearDown() override { FreeBrushes(); }

    ScratchFolder fFolder;
};

TEST_F(BrushFolder, MaskTakesItsAlphaFromTheDarkness)
{
    M_Brush brush;
    ASSERT_TRUE(brush.Load(fFolder.File("Chalk.png").c_str()));
    EXPECT_STREQ(brush.fName.CString(), "Chalk.png");
    EXPECT_FALSE(brush.fHasAlpha);
    const uint8_t* mask = brush.fMask.buffer.pixels;
    EXPECT_EQ(mask[0], 255);
    EXPECT_EQ(mask[2], 255);
    EXPECT_EQ(mask[3], 255);
    EXPECT_EQ(mask[7], 0);
    EXPECT_EQ(brush.fMaskCopy.buffer.pixels[3], 255);
    EXPECT_EQ(brush.fMaskCopy.buffer.pixels[7], 0);

    M_Brush faded;
    ASSERT_TRUE(faded.Load(fFolder.File("faded.png").c_str()));
    EXPECT_TRUE(faded.fHasAlpha);
    // Red at half strength over white: grey (2 x 255 + 2 x 127 + 127) / 5 = 178, alpha 255 - 178.
    EXPECT_NEAR(faded.fMask.buffer.pixels[3], 77, 2);

    M_Brush missing;
    EXPECT_FALSE(missing.Load(fFolder.File("none.png").c_str()));
}

TEST_F(BrushFolder, ListHoldsTheImagesThatLoadAndFindsThemExactly)
{
    LoadBrushes(fFolder.Path().c_str());
    ASSERT_EQ(gBrushList.fCount, 2);
    EXPECT_STREQ(static_cast<M_Brush*>(gBrushList.fItems[0])->fName.CString(), "Chalk.png");
    EXPECT_NE(FindBrush("Chalk.png"), nullptr);
    EXPECT_EQ(FindBrush("chalk.png"), nullptr);
    EXPECT_EQ(FindBrush("Chalk"), nullptr);
    EXPECT_EQ(FindBrush(nullptr), nullptr);

    M_Style style(0);
    style.fBrushName = "faded.png";
    style.ResolveBrush();
    ASSERT_NE(style.fBrushMask, nullptr);
    EXPECT_EQ(style.fBrush, FindBrush("faded.png"));
    EXPECT_EQ(style.fBrushMask, &style.fBrush->fMask);
    EXPECT_EQ(style.fBrushMaskCopy, &style.fBrush->fMaskCopy);
    EXPECT_TRUE(style.fBrushHasAlpha);
}

TEST_F(BrushFolder, MissingBrushIsLookedUpAgain)
{
    M_Style style(0);
    style.fBrushName = "Chalk.png";
    style.ResolveBrush();
    EXPECT_EQ(style.fBrushMask, nullptr);
    LoadBrushes(fFolder.Path().c_str());
    style.ResolveBrush();
    EXPECT_NE(style.fBrushMask, nullptr);
}

} // namespace
