// The colour picker and the colour swatch.
#include <gtest/gtest.h>

#include "qv_color_picker.h"
#include "qv_color_swatch.h"
#include "qv_message.h"
#include "qv_text_control.h"
#include "widget_test_support.h"

namespace {

constexpr int32_t kSwatchMessage = 31;

std::vector<uint8_t> Bytes(rgb_color c)
{
    return { c.r, c.g, c.b, c.a };
}

// Records the colours a swatch hears of.
class RecordingSwatch : public QV_ColorSwatch {
public:
    RecordingSwatch(bool withAlpha, rgb_color color)
        : QV_ColorSwatch(withAlpha, color, kSwatchMessage)
    {
    }
    void HandleMessage(QV_Message* message) override
    {
        rgb_color color {};
        if (message && message->FindColor("color", color))
            heard.push_back(Bytes(color));
        QV_ColorSwatch::HandleMessage(message);
    }
    std::vector<std::vector<uint8_t>> heard;
};

class ColorControlsTest : public WidgetTest {
protected:
    void TearDown() override
    {
        if (fPicker) {
            fWindow->RemoveLayer(fPicker);
            delete fPicker;
        }
        WidgetTest::TearDown();
    }
    // A picker shown over the test layer, opened on the colour.
    QV_ColorPicker* OpenPicker(rgb_color color, bool withAlpha, bool live = false)
    {
        MakeLayer(600, 500);
        fSwatch = Place(new RecordingSwatch(withAlpha, color));
        fPicker = new QV_ColorPicker(color, withAlpha, fSwatch, kSwatchMessage, fWindow);
        fPicker->fLiveUpdate = live;
        fWindow->AddLayer(fPicker);
        fPicker->ExchangeData(false);
        fPicker->Draw();
        return fPicker;
    }
    uint32_t PickerPixel(int32_t x, int32_t y) const
    {
        const QV_PixelBuffer& b = fPicker->fImage.buffer;
        const uint8_t* p = b.pixels + int64_t(y) * b.rowBytes + 4 * x;
        return uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
    }
    void TypeHex(const char* text)
    {
        fPicker->fHexField->SetValue(text);
        fPicker->fHexField->PostMessage(MSG_PICKER_HEX);
    }
    QV_ColorPicker* fPicker = nullptr;
    RecordingSwatch* fSwatch = nullptr;
};

} // namespace

TEST_F(ColorControlsTest, HexTextsReadFromTheRight)
{
    struct Case {
        const char* text;
        std::vector<uint8_t> rgb;
    };
    for (const Case& c : { Case { "FF", { 0, 0, 255 } }, Case { "1234567", { 0x23, 0x45, 0x67 } },
             Case { "FF8000", { 255, 128, 0 } }, Case { "zz12", { 0, 0, 0x12 } }, Case { "", { 0, 0, 0 } },
             Case { "f", { 0, 0, 15 } } }) {
        uint8_t r = 9, g = 9, b = 9;
        ParseHexColor(c.text, r, g, b);
        EXPECT_EQ(std::vector<uint8_t>({ r, g, b }), c.rgb) << c.text;
    }
}

TEST_F(ColorControlsTest, FieldAndHueStripPickAndShowTheColours)
{
    QV_ColorPicker* picker = OpenPicker({ 10, 200, 30, 255 }, false);
    EXPECT_EQ(picker->fAlphaField, nullptr);
    const QV_Rect f = picker->fFieldRect;
    const QV_Rect h = picker->fHueRect;
    EXPECT_EQ(f.right - f.left + 1, 250);
    // The hue strip's top row is red, the field's top row white.
    EXPECT_EQ(PickerPixel(h.left + 10, h.top), 0xFF0101u);
    EXPECT_EQ(PickerPixel(f.left + 100, f.top), 0xFFFFFFu);
    EXPECT_EQ(PickerPixel(f.left + 100, f.bottom), 0x000000u);

    picker->MouseDown(f.left, f.top, 1, 0, nullptr);
    EXPECT_EQ(Bytes(picker->fColor), std::vector<uint8_t>({ 255, 255, 255, 255 }));
    picker->MouseMoved(f.right + 40, f.bottom + 40, 0, nullptr);
    EXPECT_EQ(Bytes(picker->fColor), std::vector<uint8_t>({ 0, 0, 0, 255 }));
    EXPECT_EQ(picker->fHSLA[1], 255);
    EXPECT_EQ(picker->fHSLA[2], 0);
    picker->MouseUp(f.right, f.bottom, 1, 0, nullptr);
    picker->MouseMoved(f.left, f.top, 0, nullptr);
    EXPECT_EQ(picker->fHSLA[2], 0);

    picker->MouseDown(h.left + 5, h.top, 1, 0, nullptr);
    EXPECT_EQ(picker->fHSLA[0], 254);
    picker->MouseMoved(h.left + 5, h.bottom, 0, nullptr);
    EXPECT_EQ(picker->fHSLA[0], 0);
    picker->MouseUp(h.left + 5, h.bottom, 1, 0, nullptr);
    EXPECT_TRUE(fSwatch->heard.empty());
}

TEST_F(ColorControlsTest, FieldsClampHexSetsAndThePreviewReverts)
{
    QV_ColorPicker* picker = OpenPicker({ 10, 20, 30, 255 }, true, true);
    ASSERT_NE(picker->fAlphaField, nullptr);
    picker->fRedField->SetValue("300");
    picker->fRedField->PostMessage(MSG_PICKER_NUMBER);
    EXPECT_STREQ(picker->fRedField->Value(), "255");
    EXPECT_EQ(picker->fColor.r, 255);
    EXPECT_STREQ(picker->fHexField->Value(), "FF141E");

    TypeHex("FF");
    EXPECT_EQ(Bytes(picker->fColor), std::vector<uint8_t>({ 0, 0, 255, 255 }));
    EXPECT_STREQ(picker->fHexField->Value(), "FF");
    EXPECT_STREQ(picker->fBlueField->Value(), "255");
    ASSERT_EQ(fSwatch->heard.size(), 2u);

    // The lower half of the preview restores the start, quietly.
    const QV_Rect p = picker->fPreviewRect;
    picker->MouseDown(p.left + 2, p.bottom - 2, 1, 0, nullptr);
    picker->MouseUp(p.left + 2, p.bottom - 2, 1, 0, nullptr);
    EXPECT_EQ(Bytes(picker->fColor), std::vector<uint8_t>({ 10, 20, 30, 255 }));
    EXPECT_STREQ(picker->fRedField->Value(), "10");
    EXPECT_EQ(fSwatch->heard.size(), 2u);
    picker->DialogClosed(MSG_CANCEL);
    EXPECT_EQ(fSwatch->heard.back(), std::vector<uint8_t>({ 10, 20, 30, 255 }));
    EXPECT_EQ(Bytes(fSwatch->Value()), std::vector<uint8_t>({ 10, 20, 30, 255 }));
}

TEST_F(ColorControlsTest, OkSendsTheColourAndTheSwatchPassesItUp)
{
    QV_ColorPicker* picker = OpenPicker({ 1, 2, 3, 0 }, false);
    EXPECT_EQ(picker->fColor.a, 255);
    TypeHex("FF8000");
    EXPECT_TRUE(fSwatch->heard.empty());
    picker->DialogClosed(MSG_OK);
    EXPECT_EQ(Bytes(fSwatch->Value()), std::vector<uint8_t>({ 255, 128, 0, 255 }));
    EXPECT_EQ(gPosted, std::vector<int32_t>({ kSwatchMessage }));

    // Without "color" the message goes nowhere; other messages pass.
    QV_Message bare(kSwatchMessage);
    fSwatch->HandleMessage(&bare);
    fSwatch->PostMessage(5);
    EXPECT_EQ(gPosted, std::vector<int32_t>({ kSwatchMessage, 5 }));
}

TEST_F(ColorControlsTest, SwatchShowsTheColourOverACheckerboard)
{
    MakeLayer();
    auto* plain = Place(new QV_ColorSwatch(false, { 200, 10, 10, 255 }, 1), 10, 10);
    plain->SetValue({ 1, 2, 3, 0 });
    EXPECT_EQ(plain->Value().a, 255);
    plain->SetValue({ 200, 10, 10, 255 });
    EXPECT_EQ(Pixel(20, 20), 0xC80A0Au);
    EXPECT_EQ(Pixel(28, 20), 0xC80A0Au);

    auto* clear = Place(new QV_ColorSwatch(true, { 200, 10, 10, 0 }, 2), 100, 10);
    (void)clear;
    // 8-pixel squares counted from the swatch's top-left.
    EXPECT_EQ(Pixel(100 + 12, 10 + 12), 0xFFFFFFu);
    EXPECT_EQ(Pixel(100 + 20, 10 + 12), 0x808080u);
    auto* half = Place(new QV_ColorSwatch(true, { 255, 0, 0, 128 }, 3), 200, 10);
    (void)half;
    const uint32_t mixed = Pixel(200 + 12, 10 + 12);
    EXPECT_GT(mixed >> 16, 0xF0u);
    EXPECT_LT(mixed & 0xFF, 0x90u);
    EXPECT_GT(mixed & 0xFF, 0x70u);
}
