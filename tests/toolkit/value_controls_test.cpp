// Sliders, progress bars and the angle knob and widget.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "interface_colors.h"
#include "qv_angle_widget.h"
#include "qv_keys.h"
#include "qv_progress_bar.h"
#include "qv_slider.h"
#include "qv_text_control.h"
#include "widget_test_support.h"

namespace {

using ValueControlsTest = WidgetTest;

bool Same(rgb_color a, rgb_color b)
{
    return a.r == b.r && a.g == b.g && a.b == b.b;
}

constexpr float kPi = 3.14159265f;

} // namespace

TEST_F(ValueControlsTest, SliderValuesFollowThePointerAndPostEveryMove)
{
    MakeLayer();
    auto* slider = Place(new QV_Slider());
    slider->SetRange(0, 100);
    EXPECT_EQ(slider->fValue, 1);
    slider->ResetValue();
    EXPECT_EQ(slider->fValue, 0);
    EXPECT_TRUE(gPosted.empty());
    struct Case {
        int32_t x;
        int32_t value;
    };
    slider->MouseDown(128, 5, 1, 0, nullptr);
    EXPECT_EQ(slider->fValue, 50);
    for (const Case& c : { Case { 9, 0 }, Case { 128, 50 }, Case { 246, 100 }, Case { 400, 100 }, Case { -30, 0 } }) {
        slider->fLeftDown = true;
        slider->MouseMoved(c.x, 5, 0, nullptr);
        EXPECT_EQ(slider->fValue, c.value) << c.x;
    }
    EXPECT_EQ(gPosted, std::vector<int32_t>(6, MSG_SLIDER));
    slider->fLeftDown = false;
    slider->MouseMoved(200, 5, 0, nullptr);
    EXPECT_EQ(slider->fValue, 0);

    QV_Slider small;
    small.ResetValue();
    EXPECT_EQ(small.fValue, 1);
    small.SetRange(5, 5);
    EXPECT_EQ(small.ValueAtX(100), 5);
    EXPECT_EQ(small.ThumbCentre(), 9);
    small.ResizeTo(10, 18);
    small.SetRange(0, 10);
    EXPECT_EQ(small.ValueAtX(5), 0);
}

TEST_F(ValueControlsTest, ADisabledSliderIgnoresTheMouse)
{
    MakeLayer();
    auto* slider = Place(new QV_Slider());
    slider->Enable(false);
    slider->MouseDown(200, 5, 1, 0, nullptr);
    EXPECT_EQ(slider->fValue, 1);
    EXPECT_TRUE(gPosted.empty());
}

TEST_F(ValueControlsTest, ProgressFillsByValueAndPulsesEveryTwoSeconds)
{
    MakeLayer();
    auto* bar = Place(new QV_ProgressBar(200, FOLLOW_LEFT | FOLLOW_TOP), 0, 0);
    struct Case {
        float value;
        int32_t end;
    };
    for (const Case& c : { Case { 0.5f, 100 }, Case { 0, 0 }, Case { -1, 0 }, Case { 2, 199 },
             Case { std::numeric_limits<float>::quiet_NaN(), 0 },
             Case { std::numeric_limits<float>::infinity(), 199 } }) {
        bar->fValue = c.value;
        EXPECT_EQ(bar->FillEnd(), c.end) << c.value;
        bar->Redraw(false);
    }
    bar->Tick(nullptr, 0, 0, 0);
    EXPECT_TRUE(Same(bar->fPulseColor, ProgressBackground2));
    bar->Tick(nullptr, 0, 1, 0);
    EXPECT_TRUE(Same(bar->fPulseColor, ProgressBackground1));
    bar->Tick(nullptr, 0, 2, 0);
    EXPECT_TRUE(Same(bar->fPulseColor, ProgressBackground2));
    // The fill ends at x 100: inside it the progress colours, beyond it the pulse.
    bar->fValue = 0.5f;
    bar->Redraw(false);
    const int32_t y = 10;
    EXPECT_NE(Pixel(90, y), Pixel(110, y));
}

TEST_F(ValueControlsTest, KnobFollowsClicksSnapsWithShiftAndTurnsWithTheWheel)
{
    MakeLayer();
    auto* knob = Place(new QV_AngleKnob(), 0, 0);
    ASSERT_EQ(knob->Size().x, 30);
    knob->MouseDown(15, 0, 1, 0, nullptr);
    EXPECT_NEAR(knob->fAngle, kPi / 2, 0.04);
    knob->MouseUp(15, 0, 1, 0, nullptr);
    knob->MouseDown(23, 9, 1, MODIFIER_SHIFT, nullptr);
    EXPECT_FLOAT_EQ(knob->fAngle, kPi / 4);
    knob->MouseDown(24, 11, 1, MODIFIER_SHIFT, nullptr);
    EXPECT_FLOAT_EQ(knob->fAngle, 0);
    knob->MouseDown(15, 29, 1, 0, nullptr);
    EXPECT_LT(knob->fAngle, 0);
    EXPECT_NEAR(knob->Value(), 3 * kPi / 2, 0.04);
    knob->MouseUp(15, 29, 1, 0, nullptr);
    // Hovering without a button changes nothing.
    const size_t posts = gPosted.size();
    knob->MouseMoved(29, 15, 0, nullptr);
    EXPECT_EQ(gPosted.size(), posts);

    knob->SetValue(0);
    knob->MouseWheel(1, 5, 5, MODIFIER_CTRL, nullptr);
    EXPECT_NEAR(knob->fAngle * 180 / kPi, 2.5, 1e-4);
    knob->MouseWheel(1, 5, 5, MODIFIER_CTRL | MODIFIER_SHIFT, nullptr);
    EXPECT_NEAR(knob->fAngle * 180 / kPi, 12.5, 1e-4);
    knob->MouseWheel(-1, 5, 5, 0, nullptr);
    EXPECT_NEAR(knob->fAngle * 180 / kPi, 7.5, 1e-4);
}

TEST_F(ValueControlsTest, AnglesWrapWithoutEndlessLoops)
{
    struct Case {
        float in;
        float out;
    };
    for (const Case& c : { Case { -kPi / 2, 3 * kPi / 2 }, Case { 5 * kPi, kPi }, Case { 1e30f, -1 },
             Case { -1e30f, -1 }, Case { std::numeric_limits<float>::quiet_NaN(), 0 },
             Case { std::numeric_limits<float>::infinity(), 0 } }) {
        const float wrapped = WrapAngle(c.in);
        EXPECT_GE(wrapped, 0) << c.in;
        EXPECT_LT(wrapped, 6.2831855f) << c.in;
        if (c.out >= 0) {
            EXPECT_NEAR(wrapped, c.out, 1e-4) << c.in;
        }
    }
}

TEST_F(ValueControlsTest, AngleWidgetKeepsKnobAndFieldInStep)
{
    MakeLayer();
    auto* widget = Place(new QV_AngleWidget(42));
    widget->SetValue(kPi / 2);
    EXPECT_TRUE(gPosted.empty());
    EXPECT_NEAR(widget->Value(), kPi / 2, 1e-5);
    EXPECT_NEAR(widget->fField->FloatValue(), 90, 1e-3);

    widget->fField->SetValue("450");
    widget->fField->PostMessage(MSG_ANGLE_FIELD);
    EXPECT_NEAR(widget->Value(), kPi / 2, 1e-4);
    EXPECT_STREQ(widget->fField->Value(), "450");
    EXPECT_EQ(gPosted, std::vector<int32_t>({ 42 }));

    widget->fKnob->SetValue(0.123456f);
    widget->fKnob->PostMessage(MSG_ANGLE_KNOB);
    EXPECT_NEAR(widget->fField->FloatValue(), 7.07f, 1e-4);
    EXPECT_EQ(gPosted.size(), 2u);
}
