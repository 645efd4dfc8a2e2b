// A script dialog in a real window under a private X server: Return accepts it and OnOK runs.
#include <fstream>

// The session fixture runs its program with the arguments given; here that is the harness.
#define WIDGET_DEMO SCRIPT_HARNESS
#include "../toolkit/demo_session.h"

namespace {

constexpr const char* kDialogScript = R"(
Asked = {}
function Asked:UpdateWidgets() self.field:SetValue("42") print("shown") end
function Asked:OnValidate() print("validated " .. self.field:Value()) return true end
function Asked:OnOK() print("ok " .. self.field:Value()) end
local dialog = QV.GUI.SimpleDialog("Script Dialog", Asked)
local layout = dialog:GetLayout()
layout:AddChild(QV.GUI.StaticText("How many?"), QV.GUI.ALIGN_LEFT)
dialog.field = QV.GUI.TextControl(80, "", 0, QV.GUI.FIELD_INT)
layout:AddChild(dialog.field, QV.GUI.ALIGN_LEFT)
print("result " .. dialog:DoModal())
)";

using ScriptDialogXvfb = DemoSession;

} // namespace

TEST_F(ScriptDialogXvfb, ReturnAcceptsTheDialogAndRunsOnOK)
{
    const std::string script = fRoot.File("dialog.lua");
    std::ofstream(script) << kDialogScript;
    StartDemo({ "--windows", script }, "shown");
    if (IsSkipped())
        return;
    ASSERT_TRUE(WaitForWindow("Script Dialog")) << Output();
    Xdo({ "search", "--onlyvisible", "--name", "Script Dialog", "windowfocus", "--sync" });
    Keys("Return");
    ASSERT_TRUE(WaitFor("result")) << Output();
    const std::string out = Output();
    EXPECT_NE(out.find("validated 42\nok 42\nresult -1006"), std::string::npos) << out;
}
