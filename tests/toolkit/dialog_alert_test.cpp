// Dialogs shown modally, modelessly and as popups, and the alert box, driven
// by their keys and clicks without running the nested loop.
#include <gtest/gtest.h>

#include "qv_alert.h"
#include "qv_button.h"
#include "qv_dialog.h"
#include "qv_keys.h"
#include "qv_layout_view.h"
#include "qv_static_picture.h"
#include "qv_text_control.h"
#include "widget_test_support.h"

namespace {

// A dialog of one number field, valid from 0 to 100, that counts its
// applies.
class NumberDialog : public QV_Dialog {
public:
    explicit NumberDialog(int32_t fieldType = FIELD_INT)
        : QV_Dialog("Number", nullptr)
    {
        auto* content = new QV_LayoutView(true, 8, 8, 8);
        field = new QV_TextControl(80, "", 0, fieldType);
        content->AddChild(field);
        ok = new QV_Button("OK", MSG_OK, 64, true, 3);
        cancel = new QV_Button("Cancel", MSG_CANCEL, 64, false, 3);
        content->AddChild(ok);
        content->AddChild(cancel);
        AddView(content);
        fDefaultButton = ok;
        fCancelButton = cancel;
        fInitialFocus = field;
    }
    bool OnValidate() override { return ValidateFloat(field, 0, 100); }
    void ExchangeData(bool apply) override
    {
        if (apply)
            applies++;
        else
            field->SetValue(150);
    }
    QV_TextControl* field;
    QV_Button* ok;
    QV_Button* cancel;
    int applies = 0;
};

// Records whether the button was drawn pressed when it posted.
class WatchedButton : public QV_Button {
public:
    using QV_Button::QV_Button;
    void MouseDown(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message) override
    {
        QV_Button::MouseDown(x, y, button, modifiers, message);
        shownPressed = fPressed && AnyButtonDown();
    }
    bool shownPressed = false;
};

using DialogTest = WidgetTest;

} // namespace

TEST_F(DialogTest, ReturnWithAFailingValidationBeepsAndAppliesNothing)
{
    auto* dialog = new NumberDialog;
    auto* watched = new WatchedButton("OK", MSG_OK, 64, true, 3);
    static_cast<QV_LayoutView*>(dialog->fViews[0])->AddChild(watched);
    dialog->fDefaultButton = watched;
    dialog->Layout();
    auto* window = new QV_DialogWnd(dialog, "Number", nullptr, 64, 64, 363, 263);
    ASSERT_NE(window->fHwnd, nullptr);
    fWindow = window;
    dialog->ExchangeData(false);
    EXPECT_TRUE(dialog->field->fFocused);
    window->KeyDown(KEY_RETURN, 0);
    EXPECT_TRUE(watched->shownPressed);
    EXPECT_EQ(gBeeps, 1);
    EXPECT_EQ(dialog->applies, 0);
    EXPECT_FALSE(window->fModalDone);
    EXPECT_STREQ(dialog->field->Value(), "100"); // the nearest allowed value
    window->KeyDown(KEY_RETURN, 0);
    EXPECT_EQ(dialog->applies, 1);
    EXPECT_TRUE(window->fModalDone);
    EXPECT_EQ(window->fModalResult, MSG_OK);
}

TEST_F(DialogTest, AFieldThatWantsReturnKeepsIt)
{
    auto* dialog = new NumberDialog(FIELD_MULTILINE);
    dialog->Layout();
    auto* window = new QV_DialogWnd(dialog, "Text", nullptr, 64, 64, 363, 263);
    fWindow = window;
    dialog->field->SetValue("ok");
    window->KeyDown(KEY_ESCAPE, 0);
    EXPECT_EQ(window->fModalResult, MSG_CANCEL);
    window->fModalDone = false;
    window->fModalResult = 0;
    window->KeyDown(KEY_RETURN, 0);
    EXPECT_FALSE(window->fModalDone);
    EXPECT_EQ(dialog->applies, 0);
}

TEST_F(DialogTest, PopupsMoveInsideCloseOnEscapeAndApplyOnOutsideClicks)
{
    MakeLayer(300, 200);
    NumberDialog popup;
    popup.ShowPopup(fWindow, 280, 190, false);
    EXPECT_EQ(popup.fWindow, fWindow);
    EXPECT_EQ(popup.Frame().right, 299);
    EXPECT_EQ(popup.Frame().bottom, 199);
    popup.field->SetValue("50");
    popup.MouseDownOutside(0, 0, 1, 0, nullptr);
    EXPECT_EQ(popup.applies, 1);
    EXPECT_EQ(popup.fWindow, nullptr);

    popup.ShowPopup(fWindow, -20, -10, true);
    EXPECT_EQ(popup.Frame().left, -20); // the left and top edges are left alone
    popup.field->SetValue("50");
    popup.MouseDownOutside(0, 0, 1, 0, nullptr);
    EXPECT_EQ(popup.applies, 2);
    EXPECT_EQ(popup.fWindow, fWindow); // persistent: applied, still open
    popup.KeyDown(KEY_ESCAPE, 0);
    EXPECT_EQ(popup.fWindow, nullptr);
    EXPECT_EQ(popup.applies, 2);

    // Invalid: an outside click neither applies nor closes.
    popup.ShowPopup(fWindow, 10, 10, false);
    popup.field->SetValue("150");
    popup.MouseDownOutside(0, 0, 1, 0, nullptr);
    EXPECT_EQ(popup.fWindow, fWindow);
    EXPECT_STREQ(popup.field->Value(), "100");
    fWindow->RemoveLayer(&popup);
}

TEST_F(DialogTest, AlertLettersReturnAndEscape)
{
    struct Case {
        const char* labels[3];
        int32_t key;
        int32_t answer;
    };
    const Case cases[] = {
        { { "Yes", "No", "Cancel" }, 'y', 0 },
        { { "Yes", "No", "Cancel" }, 'N', 1 },
        { { "Yes", "No", "Cancel" }, 'c', 2 },
        { { "Yes", "No", "Cancel" }, KEY_RETURN, 0 },
        { { "Yes", "No", "Cancel" }, KEY_ESCAPE, 2 },
        { { "Save", "Skip", nullptr }, 's', -1 },
        { { "Save", "Skip", nullptr }, KEY_ESCAPE, 1 },
        { { nullptr, nullptr, nullptr }, KEY_ESCAPE, 0 },
    };
    for (const Case& c : cases) {
        auto* window = new AlertWnd(
            nullptr, ALERT_QUESTION, "Line", nullptr, nullptr, c.labels[0], c.labels[1], c.labels[2]);
        ASSERT_NE(window->fHwnd, nullptr);
        window->KeyDown(c.key, 0);
        if (c.answer < 0)
            EXPECT_FALSE(window->fModalDone) << c.key;
        else
            EXPECT_EQ(window->fModalResult, c.answer) << c.key;
        PlatWindowDestroy(window->fHwnd);
        PumpPending();
    }
}

TEST_F(DialogTest, AlertButtonsTakeTheWidestLabelAndKindsChooseTheirIcon)
{
    const std::string ten = TextOfWidth(gMenuFont, 10);
    const std::string sixty = TextOfWidth(gMenuFont, 60);
    ASSERT_FALSE(ten.empty());
    AlertLayer narrow(ALERT_INFO, "a", nullptr, nullptr, ten.c_str(), nullptr, nullptr);
    EXPECT_EQ(narrow.fButton1->Size().x, 48);
    AlertLayer wide(ALERT_INFO, "a", nullptr, nullptr, ten.c_str(), sixty.c_str(), nullptr);
    EXPECT_EQ(wide.fButton1->Size().x, 92);
    EXPECT_EQ(wide.fButton2->Size().x, 92);

    const auto hasPicture = [](QV_View* view, const auto& self) -> bool {
        if (dynamic_cast<QV_StaticPicture*>(view))
            return true;
        for (int32_t i = 0; i < view->fChildCount; ++i) {
            if (self(view->fChildren[i], self))
                return true;
        }
        return false;
    };
    EXPECT_TRUE(hasPicture(narrow.fViews[0], hasPicture));
    AlertLayer plain(3, "a", nullptr, nullptr, "OK", nullptr, nullptr);
    EXPECT_FALSE(hasPicture(plain.fViews[0], hasPicture));
    EXPECT_EQ(AlertIconName(3), nullptr);
}
