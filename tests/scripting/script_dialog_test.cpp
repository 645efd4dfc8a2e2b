// Script dialogs run through their modal loop by the modal driver: numbering, message routing,
// validation, the buttons DoModal adds, and what is left of a dialog once it is gone.
#include <filesystem>
#include <fstream>

#include "file_dialogs.h"
#include "gui_script_test_support.h"
#include "qv_button.h"
#include "qv_keys.h"
#include "qv_layout_view.h"
#include "qv_simple_dialog.h"
#include "qv_text_control.h"

namespace {

// A dialog class that writes every callback into the global list `log`.
constexpr const char* kLoggingDialog = R"(
log = {}
local function note(text) log[#log + 1] = text end
Logging = {}
function Logging:UpdateWidgets() note("UpdateWidgets") end
function Logging:HandleMessage(id) note("HandleMessage " .. id) end
function Logging:OnValidate() note("OnValidate") validations = (validations or 0) + 1 return validations > 1 end
function Logging:OnOK() note("OnOK") end
function LogText() return table.concat(log, ", ") end
)";

using ScriptDialogTest = GuiScriptTest;

QV_SimpleDialog* DialogIn(QV_Wnd* modal)
{
    return modal->fLayerCount > 0 ? dynamic_cast<QV_SimpleDialog*>(modal->fLayers[0]) : nullptr;
}

void Send(QV_Handler* handler, int32_t what)
{
    QV_Message message(what);
    handler->HandleMessage(&message);
}

} // namespace

TEST_F(ScriptDialogTest, NumbersCountUpAndADestroyedDialogsNumberIsNotReused)
{
    Run(R"(
        function NumberOf(dialog)
            for key, value in pairs(_G) do
                local n = string.match(key, "^QV_SimpleDialog(%d+)$")
                if n and value == dialog then return tonumber(n) end
            end
        end
        Counting = {}
        function Counting:HandleMessage(id) self.seen = id end
        first = QV.GUI.SimpleDialog("one", Counting)
        second = QV.GUI.SimpleDialog("two", Counting)
        a, b = NumberOf(first), NumberOf(second)
        first:delete()
        third = QV.GUI.SimpleDialog("three", Counting)
        c = NumberOf(third)
    )");
    EXPECT_EQ(Eval("b - a"), "1");
    EXPECT_EQ(Eval("c - a"), "2");
    EXPECT_EQ(Eval("_G['QV_SimpleDialog' .. a]"), "nil");
    Send(Object<QV_SimpleDialog>("second"), -9999);
    EXPECT_EQ(Eval("second.seen"), "-9999");
    EXPECT_EQ(Eval("type(QV.GUI.SimpleDialog)"), "function");
    EXPECT_EQ(Eval("select(2, pcall(first.GetLayout, first))"), "invalid 'self' in function 'GetLayout'");
    Run("second:delete() third:delete()");
}

TEST_F(ScriptDialogTest, MessagesAreRoutedByTheirIds)
{
    Run(kLoggingDialog);
    Run("dialog = QV.GUI.SimpleDialog('Routing', Logging)");
    auto* dialog = Object<QV_SimpleDialog>("dialog");
    ASSERT_NE(dialog, nullptr);
    ModalDriver driver({ [](QV_Wnd* modal) {
                            QV_SimpleDialog* shown = DialogIn(modal);
                            Send(shown, 0);
                            Send(shown, -10000 + 500); // the script's range: stops at the script
                            Send(shown, -10000);
                            Send(shown, -9000);
                            EXPECT_FALSE(modal->fModalDone);
                        },
        [](QV_Wnd* modal) {
            Send(DialogIn(modal), -1000);
            Send(DialogIn(modal), MSG_CANCEL); // beyond the range: on to the window, which closes
        } });
    EXPECT_EQ(Eval("dialog:DoModal()"), "-1007");
    EXPECT_EQ(Eval("LogText()"),
        "UpdateWidgets, HandleMessage -9500, HandleMessage -10000, HandleMessage -9000, HandleMessage -1000, "
        "HandleMessage -1007");
    EXPECT_EQ(driver.StepsTaken(), 2u);
}

TEST_F(ScriptDialogTest, ReturnAsksOnValidateAndOnlyAnAcceptedDialogRunsOnOK)
{
    Run(kLoggingDialog);
    Run("dialog = QV.GUI.SimpleDialog('Validate', Logging) name = 'QV_SimpleDialog' .. "
        "(function() for k, v in pairs(_G) do if v == dialog and k ~= 'dialog' then return k end end end)()");
    ModalDriver driver({
        [](QV_Wnd* modal) {
            // DoModal added one right-aligned row of OK, then Cancel, below the script's widgets.
            QV_LayoutView* layout = DialogIn(modal)->GetLayout();
            ASSERT_EQ(layout->fChildCount, 2);
            auto* row = dynamic_cast<QV_LayoutView*>(layout->fChildren[1]);
            ASSERT_NE(row, nullptr);
            EXPECT_FALSE(row->fVertical);
            EXPECT_EQ(row->fAlign, ALIGN_RIGHT);
            ASSERT_EQ(row->fChildCount, 2);
            EXPECT_STREQ(static_cast<QV_Button*>(row->fChildren[0])->fLabel.CString(), "OK");
            EXPECT_STREQ(static_cast<QV_Button*>(row->fChildren[1])->fLabel.CString(), "Cancel");
            modal->KeyDown(KEY_RETURN, 0); // refused: stays open
            EXPECT_FALSE(modal->fModalDone);
        },
        [](QV_Wnd* modal) { modal->KeyDown(KEY_RETURN, 0); },
    });
    Run("dialog:GetLayout():AddChild(QV.GUI.StaticText('Ask'))");
    EXPECT_EQ(Eval("dialog:DoModal()"), "-1006");
    EXPECT_EQ(Eval("LogText()"),
        "UpdateWidgets, HandleMessage -1006, OnValidate, HandleMessage -1006, OnValidate, OnOK");
    EXPECT_EQ(gBeeps, 1);
    // Gone with its window: the global is cleared and the object refers to nothing.
    EXPECT_EQ(Eval("_G[name]"), "nil");
    EXPECT_EQ(Eval("select(2, pcall(dialog.DoModal, dialog))"), "invalid 'self' in function 'DoModal'");
}

TEST_F(ScriptDialogTest, EscapeCancelsWithoutOnOKAndModelessAddsNoButtons)
{
    Run(kLoggingDialog);
    ModalDriver driver({ [](QV_Wnd* modal) { modal->KeyDown(KEY_ESCAPE, 0); } });
    EXPECT_EQ(Eval("QV.GUI.SimpleDialog('Cancel', Logging):DoModal()"), "-1007");
    EXPECT_EQ(Eval("LogText()"), "UpdateWidgets, HandleMessage -1007");

    Run("log = {} modeless = QV.GUI.SimpleDialog('Modeless', Logging)"
        " modeless:GetLayout():AddChild(QV.GUI.StaticText('x')) modeless:DoModeless()");
    auto* modeless = Object<QV_SimpleDialog>("modeless");
    ASSERT_NE(modeless, nullptr);
    ASSERT_NE(modeless->fWindow, nullptr);
    EXPECT_EQ(modeless->GetLayout()->fChildCount, 1);
    EXPECT_EQ(Eval("LogText()"), "UpdateWidgets");
    PlatWindowDestroy(modeless->fWindow->fHwnd);
    PumpPending();
    EXPECT_EQ(Eval("pcall(modeless.GetLayout, modeless)"), "false");
}

TEST_F(ScriptDialogTest, ANewLocalDialogShownIsFreedOnceByItsWindow)
{
    ModalDriver driver({ [](QV_Wnd* modal) { modal->KeyDown(KEY_ESCAPE, 0); } });
    Run("local d = QV.GUI.QV_SimpleDialog:new_local('Local') QV.GUI.SimpleDialogRegister(d) result = "
        "d:DoModal()"
        " d = nil collectgarbage('collect')");
    EXPECT_EQ(Eval("result"), "-1007");
}

TEST_F(ScriptDialogTest, RegistrationTakesADialogOnly)
{
    for (const char* argument : { "nil", "{}", "5", "QV.GUI.QV_SimpleDialog" }) {
        EXPECT_EQ(Eval(std::string("select(2, pcall(QV.GUI.SimpleDialogRegister, ") + argument + "))")
                      .rfind("error in function 'SimpleDialogRegister'.", 0),
            0u)
            << argument;
    }
    // Argument 1 is stored even when more follow.
    Run("d = QV.GUI.QV_SimpleDialog:new('x') QV.GUI.SimpleDialogRegister(d, 5)");
    EXPECT_EQ(
        Eval(
            "(function() for k, v in pairs(_G) do if v == d and k ~= 'd' then return 'found' end end end)()"),
        "found");
    Run("d:delete()");
}

TEST_F(ScriptDialogTest, OpenFileAndSaveFileAnswerThePathOrEmpty)
{
    const std::filesystem::path folder = std::filesystem::path(fRoot.File("home")) / "pick";
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "scene.txt") << "x";
    const std::string chosen = (folder / "scene.txt").string();
    const auto type = [](const std::string& path) {
        return [path](QV_Wnd* modal) {
            auto* chooser = dynamic_cast<FileChooserDialog*>(modal->fLayers[0]);
            ASSERT_NE(chooser, nullptr);
            chooser->fPathField->SetValue(path.c_str());
            Send(chooser, MSG_OK);
        };
    };
    ModalDriver driver({ [](QV_Wnd* modal) { modal->KeyDown(KEY_ESCAPE, 0); }, type(chosen),
        [](QV_Wnd* modal) { modal->KeyDown(KEY_ESCAPE, 0); }, type((folder / "new.txt").string()) });
    EXPECT_EQ(Eval("'[' .. QV.GUI.OpenFile('Open') .. ']'"), "[]");
    EXPECT_EQ(Eval("QV.GUI.OpenFile('Open')"), chosen);
    EXPECT_EQ(Eval("'[' .. QV.GUI.SaveFile('Save') .. ']'"), "[]");
    EXPECT_EQ(Eval("QV.GUI.SaveFile(nil)"), (folder / "new.txt").string());
}
