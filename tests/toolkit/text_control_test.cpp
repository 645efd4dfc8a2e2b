// The text field: filters, caret and selection over whole characters,
// clipboard keys, wheel steps, number texts and commits.
#include <gtest/gtest.h>

#include "qv_keys.h"
#include "qv_text_control.h"
#include "widget_test_support.h"

namespace {

class TextControlTest : public WidgetTest {
protected:
    QV_TextControl* Field(int32_t type, const char* text = "", int32_t width = 120)
    {
        if (!fLayer)
            MakeLayer();
        auto* field = Place(new QV_TextControl(width, text, 77, type));
        field->SetFocus(true);
        return field;
    }
    static void Type(QV_TextControl* field, const char* text)
    {
        for (const char* c = text; *c; ++c)
            field->KeyDown(static_cast<unsigned char>(*c), 0);
    }
};

} // namespace

TEST_F(TextControlTest, TypedCharactersPassTheFieldTypesFilterAndPasteBypassesIt)
{
    struct Case {
        int32_t type;
        const char* typed;
        const char* kept;
        int beeps;
    };
    const Case cases[] = {
        { FIELD_UINT, "-5", "5", 1 },
        { FIELD_INT, "-1.5", "-15", 1 },
        { FIELD_INT, "12a3", "123", 1 },
        { FIELD_FLOAT, "-2.5x", "-2.5", 1 },
        { FIELD_UFLOAT, "-2.5", "2.5", 1 },
        { FIELD_NODIGITS, "a5b", "ab", 1 },
        { FIELD_TEXT, "a5 ~", "a5 ~", 0 },
        { FIELD_PASSWORD, "pw1", "pw1", 0 },
    };
    for (const Case& c : cases) {
        auto* field = Field(c.type);
        gBeeps = 0;
        Type(field, c.typed);
        EXPECT_STREQ(field->Value(), c.kept) << c.type;
        EXPECT_EQ(gBeeps, c.beeps) << c.type;
    }
    // Characters beyond ASCII arrive as UTF-16 units: text fields take them,
    // number fields keep their filters.
    auto* text = Field(FIELD_TEXT);
    text->KeyDown(0xE9, 0);
    text->KeyDown(0xD83D, 0);
    text->KeyDown(0xDE00, 0);
    EXPECT_STREQ(text->Value(), "\xC3\xA9\xF0\x9F\x98\x80");
    auto* number = Field(FIELD_INT);
    gBeeps = 0;
    number->KeyDown(0xE9, 0);
    EXPECT_STREQ(number->Value(), "");
    EXPECT_EQ(gBeeps, 1);

    fWindow->CopyTextToClipboard("abc");
    number->KeyDown('v', MODIFIER_CTRL);
    EXPECT_STREQ(number->Value(), "abc");
    EXPECT_EQ(gPosted.back(), 77); // a paste commits
}

TEST_F(TextControlTest, CaretKeysSelectionAndClipboardKeys)
{
    auto* field = Field(FIELD_TEXT, "hello");
    field->KeyDown(KEY_END, 0);
    field->KeyDown(KEY_RIGHT, 0);
    EXPECT_EQ(field->fCaret, 5);
    field->KeyDown(KEY_HOME, 0);
    field->KeyDown(KEY_LEFT, 0);
    EXPECT_EQ(field->fCaret, 0);
    field->KeyDown(KEY_RIGHT, 0);
    field->KeyDown(KEY_RIGHT, 0);
    field->KeyDown(KEY_HOME, MODIFIER_SHIFT);
    EXPECT_EQ(field->fCaret, 0);
    EXPECT_EQ(field->fAnchor, 2);
    field->KeyDown('c', MODIFIER_CTRL);
    EXPECT_STREQ(fWindow->PasteText(), "he");

    // Ctrl+X with nothing selected copies nothing and deletes one character.
    fWindow->CopyTextToClipboard("kept");
    field->KeyDown(KEY_END, 0);
    field->KeyDown('x', MODIFIER_CTRL);
    EXPECT_STREQ(field->Value(), "hell");
    EXPECT_STREQ(fWindow->PasteText(), "kept");
    field->KeyDown('a', MODIFIER_CTRL);
    field->KeyDown('X', MODIFIER_CTRL);
    EXPECT_STREQ(field->Value(), "");
    EXPECT_STREQ(fWindow->PasteText(), "hell");
}

TEST_F(TextControlTest, EditingNeverLeavesPartOfAMultiByteCharacter)
{
    // "a" then U+00E9 in two bytes.
    auto* field = Field(FIELD_TEXT, "a\xC3\xA9");
    field->KeyDown(KEY_END, 0);
    field->KeyDown(KEY_LEFT, 0);
    EXPECT_EQ(field->fCaret, 1);
    field->KeyDown(KEY_RIGHT, MODIFIER_SHIFT);
    EXPECT_EQ(field->fCaret, 3);
    field->KeyDown(KEY_BACKSPACE, 0);
    EXPECT_STREQ(field->Value(), "a");

    field->SetValue("a\xC3\xA9");
    field->KeyDown(KEY_BACKSPACE, 0);
    EXPECT_STREQ(field->Value(), "a");
    field->SetValue("a\xC3\xA9");
    field->KeyDown(KEY_HOME, 0);
    field->KeyDown(KEY_RIGHT, 0);
    field->KeyDown(KEY_DELETE, 0);
    EXPECT_STREQ(field->Value(), "a");

    // Clicks across the whole field land only between whole characters.
    field->SetValue("a\xC3\xA9"
                    "b");
    for (int32_t x = 0; x < field->Size().x; ++x) {
        field->MouseDown(x, 5, 1, 0, nullptr);
        EXPECT_NE(field->fCaret, 2) << x;
    }
    // A stray byte is a character of its own; the password shows one star
    // per character.
    field->SetValue("\xC3"
                    "x");
    field->KeyDown(KEY_LEFT, 0);
    field->KeyDown(KEY_LEFT, 0);
    EXPECT_EQ(field->fCaret, 0);
    auto* password = Field(FIELD_PASSWORD, "\xC3\xA9\xC3\xA9");
    password->KeyDown(KEY_END, 0);
    password->KeyDown(KEY_BACKSPACE, 0);
    EXPECT_STREQ(password->Value(), "\xC3\xA9");
}

TEST_F(TextControlTest, WheelAndRightDragStepNumbers)
{
    auto* field = Field(FIELD_INT, "");
    field->SetValue(5);
    field->MouseWheel(1, 0, 0, 0, nullptr);
    EXPECT_STREQ(field->Value(), "6");
    field->SetValue(5);
    QV_Message wheel;
    field->MouseWheel(-1, 0, 0, MODIFIER_CTRL, &wheel);
    EXPECT_STREQ(field->Value(), "4");
    bool handled = false;
    EXPECT_TRUE(wheel.FindBool("HandledMouseWheel", handled) && handled);

    auto* unsignedField = Field(FIELD_UINT, "");
    unsignedField->SetValue(0);
    gPosted.clear();
    unsignedField->MouseWheel(-1, 0, 0, 0, nullptr);
    EXPECT_STREQ(unsignedField->Value(), "0");
    EXPECT_TRUE(gPosted.empty());

    auto* text = Field(FIELD_TEXT, "7");
    text->MouseWheel(1, 0, 0, 0, nullptr);
    EXPECT_STREQ(text->Value(), "7");

    // A right drag of 17 pixels steps twice.
    auto* floating = Field(FIELD_FLOAT, "");
    floating->SetValue(1.0f);
    floating->fRightDown = true;
    floating->MouseDown(10, 5, 2, 0, nullptr);
    floating->MouseMoved(27, 5, 0, nullptr);
    EXPECT_STREQ(floating->Value(), "1.50");
}

TEST_F(TextControlTest, NumberTextsAndValues)
{
    auto* floating = Field(FIELD_FLOAT);
    const std::pair<float, const char*> numbers[] = { { 2.0f, "2" }, { 2.5f, "2.50" }, { 2.123f, "2.1230" },
        { -1.75f, "-1.75" }, { 0.125f, "0.1250" } };
    for (const auto& [value, text] : numbers) {
        floating->SetValue(value);
        EXPECT_STREQ(floating->Value(), text) << value;
    }
    const std::pair<const char*, int32_t> ints[]
        = { { "2000000", 1000000 }, { "-3000000", -1000000 }, { "", 0 }, { "abc", 0 }, { "12x", 12 } };
    for (const auto& [text, value] : ints) {
        floating->SetValue(text);
        EXPECT_EQ(floating->IntValue(), value) << text;
    }
    floating->SetValue("5e9");
    EXPECT_EQ(floating->FloatValue(), 1e6f);
}

TEST_F(TextControlTest, ReturnCommitsOnlyChangesAndConstantMessagesCommitEachKey)
{
    auto* field = Field(FIELD_TEXT);
    field->SetValue("x");
    field->KeyDown(KEY_RETURN, 0);
    EXPECT_TRUE(gPosted.empty());
    Type(field, "y");
    field->KeyDown(KEY_RETURN, 0);
    field->KeyDown(KEY_RETURN, 0);
    EXPECT_EQ(gPosted, std::vector<int32_t> { 77 });

    gPosted.clear();
    auto* constant = Field(FIELD_INT);
    constant->SetConstantMessages(true);
    Type(constant, "1a2");
    EXPECT_EQ(gPosted.size(), 2u); // the rejected "a" changed nothing
    // Losing the focus commits a field built with text it never posted.
    gPosted.clear();
    auto* fresh = Field(FIELD_TEXT, "start");
    fresh->SetFocus(false);
    EXPECT_EQ(gPosted, std::vector<int32_t> { 77 });
}

TEST_F(TextControlTest, ALongTextEndsEightPixelsInsideTheRightEdge)
{
    auto* field = Field(FIELD_TEXT, "", 80);
    Type(field, "the quick brown fox jumps over the lazy dog");
    field->Redraw(false);
    const QV_Rect rect = field->TextRect();
    const int32_t width = gWidgetFont->StringWidth(field->Value());
    EXPECT_EQ(rect.left + width - field->fScrollX, rect.right - 8);
    field->SetFocus(false);
    field->Redraw(false);
    EXPECT_EQ(field->fScrollX, 0);
}

TEST_F(TextControlTest, MultiLineFieldsWrapAndKeepReturn)
{
    auto* field = Field(FIELD_MULTILINE, "", 60);
    field->ResizeTo(60, 80);
    EXPECT_TRUE(field->WantsReturn());
    Type(field, "one two");
    field->KeyDown(KEY_RETURN, 0);
    Type(field, "three");
    EXPECT_STREQ(field->Value(), "one two\rthree");
    // A click at the very top left puts the caret at the start; one below
    // every line at the end.
    EXPECT_EQ(field->HitTest(0, 4), 0);
    EXPECT_EQ(field->HitTest(0, 79), field->fText.Length());
}
