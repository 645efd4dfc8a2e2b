#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "animval.h"
#include "gradient_stop.h"
#include "m_shapestyle.h"
#include "m_style.h"
#include "shape_style_factory.h"
#include "shape_style_makers.h"
#include "ss_gradient.h"
#include "ss_gradient2.h"
#include "ss_halo.h"
#include "ss_shaded.h"
#include "ss_soft.h"
#include "style_test_support.h"

namespace {

class ShapeStyleFactory : public ::testing::Test {
protected:
    void SetUp() override { RegisterShapeStyles(); }
};

std::unique_ptr<M_ShapeStyle> Make(int32_t typeId)
{
    return std::unique_ptr<M_ShapeStyle>(CreateShapeStyle(typeId));
}

TEST_F(ShapeStyleFactory, EveryEffectIdMakesItsKindAndNothingElseMakesAny)
{
    for (int32_t id = 10203; id <= 10213; id++) {
        std::unique_ptr<M_ShapeStyle> style = Make(id);
        ASSERT_NE(style, nullptr) << id;
        EXPECT_EQ(style->StyleType(), id - 10203);
    }
    for (int32_t id : { 10202, 10214, 0, -1, 10203 + 11, INT32_MIN, INT32_MAX })
        EXPECT_EQ(CreateShapeStyle(id), nullptr) << id;
}

// What the renderer, the editor view and the timeline ask of each kind, in its default state.
TEST_F(ShapeStyleFactory, KindsAnswerTheirMarginHandleDependenceAndChannels)
{
    struct Row {
        int32_t index;
        float margin;
        bool handle;
        bool positionDependent;
        int32_t channels;
    };
    const Row rows[] = {
        { 0, 1.0f / 30.0f, true, false, 4 },
        { 1, 0, false, false, 0 },
        { 2, 1.0f / 60.0f, false, false, 1 },
        { 3, 0, false, false, 0 },
        { 4, 0, false, false, 3 },
        { 5, 0, false, false, 0 },
        { 6, 0, false, false, 0 },
        { 7, 0, false, false, 0 },
        { 8, 0, false, false, 0 },
        { 9, 0, true, true, 4 },
        { 10, 0, true, true, 0 },
    };
    for (const Row& row : rows) {
        std::unique_ptr<M_ShapeStyle> style = Make(10203 + row.index);
        SCOPED_TRACE(row.index);
        EXPECT_FLOAT_EQ(style->Margin(), row.margin);
        EXPECT_EQ(style->HasHandle(), row.handle);
        EXPECT_EQ(style->IsPositionDependent(), row.positionDependent);
        EXPECT_EQ(style->CountChannels(), row.channels);
        EXPECT_EQ(style->Duration(), 0);
        for (int32_t i = 0; i < row.channels; i++)
            EXPECT_NE(style->Channel(i), nullptr) << i;
        if (row.index != 2) {
            EXPECT_EQ(style->Channel(row.channels), nullptr);
            EXPECT_EQ(style->Channel(-1), nullptr);
        }
    }
}

TEST_F(ShapeStyleFactory, ChannelsComeInTheirDocumentedOrder)
{
    SS_Shaded shaded;
    EXPECT_EQ(shaded.Channel(0), &shaded.fLightAngle);
    EXPECT_EQ(shaded.Channel(1), &shaded.fOffset);
    EXPECT_EQ(shaded.Channel(2), &shaded.fBlur);
    EXPECT_EQ(shaded.Channel(3), &shaded.fShadowColor);

    SS_Soft soft;
    for (int32_t i : { -5, -1, 0, 1, 7, 1000 })
        EXPECT_EQ(soft.Channel(i), &soft.fRadius) << i;

    SS_Halo halo;
    EXPECT_EQ(halo.Channel(0), &halo.fInsetRadius);
    EXPECT_EQ(halo.Channel(1), &halo.fBlurRadius);
    EXPECT_EQ(halo.Channel(2), &halo.fHaloColor);

    SS_Gradient2 gradient;
    gradient.AppendStop(new GradientStop(0.5f, rgb_color { 1, 2, 3, 255 }));
    ASSERT_EQ(gradient.CountChannels(), 6);
    EXPECT_EQ(gradient.Channel(4), &gradient.Stop(2)->fPosition);
    EXPECT_EQ(gradient.Channel(5), &gradient.Stop(2)->fColor);
    EXPECT_EQ(gradient.Channel(6), nullptr);
}

TEST_F(ShapeStyleFactory, OnlyTheGradientsReportTheirLastKey)
{
    SS_Shaded shaded;
    shaded.fOffset.SetValue(30, 0.1f);
    EXPECT_EQ(shaded.Duration(), 0);

    SS_Gradient gradient;
    gradient.fColor2.SetValue(40, rgb_color { 9, 9, 9, 255 });
    gradient.fAngle.SetValue(12, 1.0f);
    EXPECT_EQ(gradient.Duration(), 40);

    SS_Gradient2 stops;
    stops.Stop(1)->fPosition.SetValue(55, 0.7f);
    EXPECT_EQ(stops.Duration(), 55);
    stops.DeleteAllStops();
    EXPECT_EQ(stops.Duration(), 0);
}

TEST_F(ShapeStyleFactory, MarginsFollowTheCurrentValues)
{
    SS_Shaded shaded;
    shaded.fOffset.SetValue(10, 0.25f);
    shaded.fOffset.SetCurFrame(10);
    EXPECT_FLOAT_EQ(shaded.Margin(), 0.25f);
    SS_Soft soft(0.125f);
    EXPECT_FLOAT_EQ(soft.Margin(), 0.125f);
}

TEST_F(ShapeStyleFactory, TheStyleRecordsValueMakersKeyFrameZero)
{
    std::unique_ptr<M_ShapeStyle> soft(CreateSoftEdgeStyle(0.25f));
    ASSERT_NE(soft, nullptr);
    ASSERT_EQ(soft->StyleType(), 2);
    auto& edge = static_cast<SS_Soft&>(*soft);
    EXPECT_EQ(edge.fRadius.CountKeys(), 1);
    EXPECT_FLOAT_EQ(edge.fRadius.GetValue(0), 0.25f);

    std::unique_ptr<M_ShapeStyle> shading(CreateShadingStyle(1.0f, 0.5f, 0.125f, rgb_color { 1, 2, 3, 4 }));
    ASSERT_NE(shading, nullptr);
    ASSERT_EQ(shading->StyleType(), 0);
    auto& shaded = static_cast<SS_Shaded&>(*shading);
    EXPECT_FLOAT_EQ(shaded.fLightAngle.GetValue(0), 1.0f);
    EXPECT_FLOAT_EQ(shaded.fOffset.GetValue(0), 0.5f);
    EXPECT_FLOAT_EQ(shaded.fBlur.GetValue(0), 0.125f);
    EXPECT_TRUE(SameColor(shaded.fShadowColor.value, rgb_color { 1, 2, 3, 4 }));
    EXPECT_FALSE(shaded.fShadowOnly);
    for (int32_t i = 0; i < 4; i++)
        EXPECT_EQ(shaded.Channel(i)->CountKeys(), 1);
}

// The style record of the document model makes and stores its effects through the factory.
std::string StyleText(M_Style& style)
{
    QV_MemStream stream;
    WriteToStream(stream, [&](QV_IoStream* s) { style.WriteRecord(s); });
    return StreamText(stream);
}

bool ReadStyle(M_Style& style, const std::string& text)
{
    QV_MemStream stream;
    StreamOfText(stream, text, 19);
    return style.ReadRecord(&stream);
}

TEST_F(ShapeStyleFactory, StyleRecordsCarryTheirEffects)
{
    M_Style style(0);
    style.fEffects[0] = CreateShapeStyle(10205);
    style.fEffects[2] = CreateShapeStyle(10212);
    static_cast<SS_Soft*>(style.fEffects[0])->fRadius.SetValue(0, 0.5f);
    const std::string text = StyleText(style);

    M_Style copy(0);
    ASSERT_TRUE(ReadStyle(copy, text));
    ASSERT_NE(copy.fEffects[0], nullptr);
    EXPECT_EQ(copy.fEffects[0]->StyleType(), 2);
    EXPECT_FLOAT_EQ(static_cast<SS_Soft*>(copy.fEffects[0])->fRadius.GetValue(0), 0.5f);
    EXPECT_EQ(copy.fEffects[1], nullptr);
    ASSERT_NE(copy.fEffects[2], nullptr);
    EXPECT_EQ(copy.fEffects[2]->StyleType(), 9);
    EXPECT_EQ(StyleText(copy), text);
}

TEST_F(ShapeStyleFactory, ThreeEmptySlotsReadAndWriteBackAsThreeMinusOnes)
{
    M_Style style(0);
    const std::string text = StyleText(style);
    ASSERT_NE(text.find("-1\n\t-1\n\t-1\n"), std::string::npos) << text;

    M_Style copy(0);
    copy.fEffects[1] = CreateShapeStyle(10203);
    ASSERT_TRUE(ReadStyle(copy, text));
    for (M_ShapeStyle* effect : copy.fEffects)
        EXPECT_EQ(effect, nullptr);
    EXPECT_EQ(StyleText(copy), text);
}

TEST_F(ShapeStyleFactory, AnEffectNumberBeyondTheKindsFailsTheStyleRecord)
{
    M_Style style(0);
    std::string text = StyleText(style);
    const size_t slot = text.rfind("-1");
    for (const char* number : { "11", "12", "99999" }) {
        std::string bad = text;
        bad.replace(slot, 2, number);
        M_Style copy(0);
        EXPECT_FALSE(ReadStyle(copy, bad)) << number;
    }
    // The highest index still reads: an image texture of its defaults.
    std::string highest = text;
    highest.replace(slot, 2, "10\n\"\" 0 ");
    M_Style copy(0);
    EXPECT_TRUE(ReadStyle(copy, highest));
    ASSERT_NE(copy.fEffects[2], nullptr);
    EXPECT_EQ(copy.fEffects[2]->StyleType(), 10);
}

TEST_F(ShapeStyleFactory, SoftEdgeAndShadingFillTheFirstEmptyFillSlotOnly)
{
    M_Style style(0);
    style.SetSoftEdge(0.25f);
    style.SetShading(1.0f, 0.5f, 0.125f, rgb_color { 1, 2, 3, 4 });
    ASSERT_NE(style.fEffects[0], nullptr);
    ASSERT_NE(style.fEffects[1], nullptr);
    EXPECT_EQ(style.fEffects[0]->StyleType(), 2);
    EXPECT_EQ(style.fEffects[1]->StyleType(), 0);

    // Both fill slots are full: nothing more is made, and the line slot is never used.
    M_ShapeStyle* first = style.fEffects[0];
    style.SetSoftEdge(0.5f);
    EXPECT_EQ(style.fEffects[0], first);
    EXPECT_EQ(style.fEffects[kLineEffectSlot], nullptr);
}

} // namespace
