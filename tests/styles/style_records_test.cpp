#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "gradient_stop.h"
#include "m_shapestyle.h"
#include "shape_style_factory.h"
#include "ss_angledpen.h"
#include "ss_gradient.h"
#include "ss_gradient2.h"
#include "ss_halo.h"
#include "ss_shaded.h"
#include "ss_sketchy.h"
#include "ss_soft.h"
#include "ss_splotchy.h"
#include "ss_spots.h"
#include "ss_texture.h"
#include "ss_texture2.h"
#include "style_test_support.h"

namespace {

std::string RecordText(M_ShapeStyle& style)
{
    QV_MemStream stream;
    WriteToStream(stream, [&](QV_IoStream* s) { style.WriteRecord(s); });
    return StreamText(stream);
}

// Every kind with values unlike its defaults: the record read into a fresh object writes the
// same text back.
std::unique_ptr<M_ShapeStyle> Changed(int32_t index)
{
    std::unique_ptr<M_ShapeStyle> style(NewShapeStyle(10203 + index));
    switch (index) {
    case kStyleShaded: {
        auto& s = static_cast<SS_Shaded&>(*style);
        s.fLightAngle.SetValue(12, 0.5f);
        s.fOffset.SetValue(0, 0.125f);
        s.fShadowColor.SetValue(3, rgb_color { 10, 20, 30, 40 });
        s.fShadowOnly = true;
        break;
    }
    case kStyleSplotchy: {
        auto& s = static_cast<SS_Splotchy&>(*style);
        s.fMagnitude = 77;
        s.fScale = 0.3125f;
        s.fMonochrome = false;
        break;
    }
    case kStyleSoftEdge:
        static_cast<SS_Soft&>(*style).fRadius.SetValue(24, 0.25f);
        break;
    case kStyleSpots: {
        auto& s = static_cast<SS_Spots&>(*style);
        s.fSpotLength = 0.5f;
        s.fSpotWidth = 0.25f;
        s.fLengthSpacing = 0.75f;
        s.fWidthSpacing = 0.375f;
        s.fAngle = 1.5f;
        s.fSpotColor = rgb_color { 1, 2, 3, 4 };
        break;
    }
    case kStyleHalo: {
        auto& s = static_cast<SS_Halo&>(*style);
        s.fInsetRadius.SetValue(5, 0.0625f);
        s.fHaloColor.SetValue(0, rgb_color { 0, 128, 255, 200 });
        s.fHaloOnly = true;
        break;
    }
    case kStyleGradient: {
        auto& s = static_cast<SS_Gradient&>(*style);
        s.fAngle.SetValue(8, 2.0f);
        s.fColor1.SetValue(0, rgb_color { 5, 6, 7, 8 });
        s.fRadial = true;
        break;
    }
    case kStyleTexture:
    case kStyleTexture2: {
        TextureSource& source = index == kStyleTexture ? static_cast<SS_Texture&>(*style).fSource
                                                       : static_cast<SS_Texture2&>(*style).fSource;
        source.fPath = "pictures/wood grain.png";
        source.fFillMode = 1;
        break;
    }
    case kStyleSketchy:
        static_cast<SS_Sketchy&>(*style).fRadius = 0.015625f;
        break;
    case kStyleAngledPen: {
        auto& s = static_cast<SS_AngledPen&>(*style);
        s.fRadius = 0.05f;
        s.fAngle = 3.0f;
        break;
    }
    case kStyleGradient2: {
        auto& s = static_cast<SS_Gradient2&>(*style);
        s.fType = kGradientAngle;
        s.AppendStop(new GradientStop(0.25f, rgb_color { 255, 0, 0, 128 }));
        s.Stop(0)->fPosition.SetValue(30, 0.5f);
        break;
    }
    default:
        break;
    }
    return style;
}

TEST(StyleRecords, EveryKindRoundTripsAtTheCurrentVersion)
{
    for (int32_t index = 0; index < kStyleKindCount; index++) {
        SCOPED_TRACE(index);
        std::unique_ptr<M_ShapeStyle> style = Changed(index);
        const std::string text = RecordText(*style);
        std::unique_ptr<M_ShapeStyle> copy(NewShapeStyle(10203 + index));
        QV_MemStream stream;
        StreamOfText(stream, text, 19);
        ASSERT_TRUE(copy->ReadRecord(&stream)) << text;
        EXPECT_EQ(RecordText(*copy), text);
        EXPECT_NE(
            RecordText(*copy), RecordText(*std::unique_ptr<M_ShapeStyle>(NewShapeStyle(10203 + index))));
    }
}

TEST(StyleRecords, PlainRecordsHaveTheirFixedForm)
{
    SS_Splotchy splotchy;
    EXPECT_EQ(RecordText(splotchy), "24 0.133333 true ");
    SS_Spots spots;
    EXPECT_EQ(RecordText(spots), "0.066667 0.016667 0.133333 0.033333 0.785398 255 0 0 255 ");
    SS_Sketchy sketchy;
    EXPECT_EQ(RecordText(sketchy), "0.004167 ");
    SS_AngledPen pen;
    EXPECT_EQ(RecordText(pen), "0.016667 0.785398 ");
    SS_Texture2 texture;
    EXPECT_EQ(RecordText(texture), "\"\" 0 ");
}

TEST(StyleRecords, TruncatedRecordsFail)
{
    for (int32_t index = 0; index < kStyleKindCount; index++) {
        SCOPED_TRACE(index);
        std::unique_ptr<M_ShapeStyle> style = Changed(index);
        std::string text = RecordText(*style);
        // Everything but the last word.
        text.erase(text.find_last_not_of(" \t\n") + 1);
        text.erase(text.find_last_of(" \t\n") + 1);
        std::unique_ptr<M_ShapeStyle> copy(NewShapeStyle(10203 + index));
        QV_MemStream stream;
        StreamOfText(stream, text, 19);
        EXPECT_FALSE(copy->ReadRecord(&stream)) << text;
    }
}

TEST(StyleRecords, OldDocumentsGiveShadedSoftAndHaloSingleFrameZeroKeys)
{
    SS_Shaded shaded;
    shaded.fOffset.SetValue(20, 0.9f);
    QV_MemStream a;
    StreamOfText(a, "1.5 0.05 0.025 300 -4 64 128 true ", 15);
    ASSERT_TRUE(shaded.ReadRecord(&a));
    EXPECT_FLOAT_EQ(shaded.fLightAngle.GetValue(0), 1.5f);
    EXPECT_FLOAT_EQ(shaded.fOffset.GetValue(40), 0.05f);
    EXPECT_FLOAT_EQ(shaded.fBlur.GetValue(0), 0.025f);
    const rgb_color shadow = shaded.fShadowColor.GetValue(0).AsColorStruct();
    EXPECT_TRUE(SameColor(shadow, rgb_color { 255, 0, 64, 128 }));
    for (int32_t i = 0; i < 4; i++) {
        EXPECT_EQ(shaded.Channel(i)->CountKeys(), 1) << i;
        EXPECT_EQ(shaded.Channel(i)->GetKeyWhen(0), 0) << i;
    }
    EXPECT_TRUE(shaded.fShadowOnly);
    EXPECT_FLOAT_EQ(shaded.Margin(), 0.05f);

    SS_Soft soft;
    QV_MemStream b;
    StreamOfText(b, "0.03125\t\t", 12);
    ASSERT_TRUE(soft.ReadRecord(&b));
    EXPECT_EQ(soft.fRadius.CountKeys(), 1);
    EXPECT_FLOAT_EQ(soft.Margin(), 0.03125f);

    SS_Halo halo;
    QV_MemStream c;
    StreamOfText(c, "0.01 0.02 1 2 3 4 false ", 15);
    ASSERT_TRUE(halo.ReadRecord(&c));
    EXPECT_FLOAT_EQ(halo.fInsetRadius.GetValue(0), 0.01f);
    EXPECT_FLOAT_EQ(halo.fBlurRadius.GetValue(0), 0.02f);
    EXPECT_TRUE(SameColor(halo.fHaloColor.value, rgb_color { 1, 2, 3, 4 }));

    // From version 16 on the same text is not a channel record.
    SS_Soft newer;
    QV_MemStream d;
    StreamOfText(d, "0.03125\t\t", 16);
    EXPECT_FALSE(newer.ReadRecord(&d));
}

TEST(StyleRecords, AMultiStopGradientReadsAnyCountOfStops)
{
    SS_Gradient2 gradient;
    QV_MemStream none;
    StreamOfText(none, "2 0\n", 19);
    ASSERT_TRUE(gradient.ReadRecord(&none));
    EXPECT_EQ(gradient.CountStops(), 0);
    EXPECT_EQ(gradient.fType, kGradientReflected);

    SS_Gradient2 negative;
    QV_MemStream minus;
    StreamOfText(minus, "0 -7\n", 19);
    ASSERT_TRUE(negative.ReadRecord(&minus));
    EXPECT_EQ(negative.CountStops(), 0);

    // More stops announced than the record holds: the reader fails without reading past it.
    SS_Gradient2 shortOfStops;
    QV_MemStream many;
    StreamOfText(many, "0 2000000000\n", 19);
    EXPECT_FALSE(shortOfStops.ReadRecord(&many));
    EXPECT_LE(shortOfStops.CountStops(), 1);
    EXPECT_EQ(shortOfStops.fCachedFrame, -1);
}

} // namespace
