#include "script.h"

#include "binding_conventions.h"
#include "interface_colors.h"
#include "qv_cursor.h"
#include "script_registry.h"

namespace {

constexpr const char* kInterfaceType = "ScriptInterface";

} // namespace

Script::Script(ScriptRegistry* registry)
    : fName("???")
    , fVersion("???")
    , fDescription("???")
    , fCreator("???")
    , fRegistry(registry)
{
}

Script::~Script() = default;

void Script::ReadText(const char* method, QV_String& field)
{
    if (fRegistry->BeginScriptCall(fTableName.CString(), method) == kScriptOK)
        fRegistry->CallScriptString(field);
}

int32_t Script::ReadInfo(const char* tableName)
{
    fTableName = tableName;
    ReadText("Name", fName);
    ReadText("Version", fVersion);
    ReadText("Description", fDescription);
    ReadText("Creator", fCreator);
    return 0;
}

bool Script::Call(const char* method, const Argument* arguments, int32_t count, bool collect)
{
    if (fTableName.IsEmpty() || fRegistry->BeginScriptCall(fTableName.CString(), method) != kScriptOK)
        return false;
    for (int32_t i = 0; i < count; i++)
        fRegistry->PushObject(arguments[i].object, arguments[i].typeName);
    fRegistry->CallScript();
    Forget(arguments, count);
    if (collect)
        fRegistry->CollectGarbageStep();
    return true;
}

void Script::Forget(const Argument* arguments, int32_t count)
{
    for (int32_t i = 0; i < count; i++)
        QV_LuaInvalidateObject(fRegistry->fState, arguments[i].object, arguments[i].typeName);
}

void Script::LoadPrefs(ScriptPrefs* prefs)
{
    const Argument arguments[] = { { prefs, "ScriptPrefs" } };
    Call("LoadPrefs", arguments, 1, false);
}

void Script::SavePrefs(ScriptPrefs* prefs)
{
    const Argument arguments[] = { { prefs, "ScriptPrefs" } };
    Call("SavePrefs", arguments, 1, false);
}

void Script::ResetPrefs()
{
    Call("ResetPrefs", nullptr, 0, false);
}

bool Script::IsEnabled(ScriptInterface* record)
{
    bool enabled = true;
    if (fTableName.IsEmpty() || fRegistry->BeginScriptCall(fTableName.CString(), "IsEnabled") != kScriptOK)
        return enabled;
    const Argument arguments[] = { { record, kInterfaceType } };
    fRegistry->PushObject(record, kInterfaceType);
    fRegistry->CallScriptBool(enabled);
    Forget(arguments, 1);
    fRegistry->CollectGarbageStep();
    return enabled;
}

void Script::Run(ScriptInterface* record)
{
    const Argument arguments[] = { { record, kInterfaceType } };
    Call("Run", arguments, 1, true);
}

MenuScript::MenuScript(ScriptRegistry* registry)
    : Script(registry)
    , fUILabel("<No Label>")
{
}

MenuScript::~MenuScript() = default;

int32_t MenuScript::ReadInfo(const char* tableName)
{
    Script::ReadInfo(tableName);
    ReadText("UILabel", fUILabel);
    return 0;
}

ToolScript::ToolScript(ScriptRegistry* registry)
    : Script(registry)
    , fSpacer(false)
    , fButton(false)
    , fUILabel("<No Label>")
    , fNonDragMouseMove(false)
    , fKey(0)
    , fColor(WidgetFill)
    , fCursor(nullptr)
{
}

ToolScript::~ToolScript()
{
    delete fCursor;
}

int32_t ToolScript::ReadInfo(const char* tableName)
{
    Script::ReadInfo(tableName);
    ReadText("UILabel", fUILabel);
    if (fRegistry->BeginScriptCall(fTableName.CString(), "NonDragMouseMove") == kScriptOK)
        fRegistry->CallScriptBool(fNonDragMouseMove);
    return 0;
}

void ToolScript::MakeCursor()
{
    QV_PixelBuffer raster;
    if (fCursor || fCursorImage.GetPixelBuffer(raster) != 0)
        return;
    fCursor = new QV_Cursor(&raster, 1, 1);
}

void ToolScript::MouseCall(const char* method, ScriptInterface* record, MouseEvent* event)
{
    const Argument arguments[] = { { record, kInterfaceType }, { event, "MouseEvent" } };
    Call(method, arguments, 2, true);
}

void ToolScript::OnMouseDown(ScriptInterface* record, MouseEvent* event)
{
    MouseCall("OnMouseDown", record, event);
}

void ToolScript::OnMouseMoved(ScriptInterface* record, MouseEvent* event)
{
    MouseCall("OnMouseMoved", record, event);
}

void ToolScript::OnMouseUp(ScriptInterface* record, MouseEvent* event)
{
    MouseCall("OnMouseUp", record, event);
}

void ToolScript::OnKeyDown(ScriptInterface* record, KeyEvent* event)
{
    const Argument arguments[] = { { record, kInterfaceType }, { event, "KeyEvent" } };
    Call("OnKeyDown", arguments, 2, true);
}

void ToolScript::DrawMe(ScriptInterface* record, VornView* view)
{
    const Argument arguments[] = { { record, kInterfaceType }, { view, "VornView" } };
    Call("DrawMe", arguments, 2, true);
}

void ToolScript::DoLayout(ScriptInterface* record, QV_LayoutView* layout)
{
    const Argument arguments[] = { { record, kInterfaceType }, { layout, "QV_LayoutView" } };
    Call("DoLayout", arguments, 2, true);
}

void ToolScript::UpdateWidgets(ScriptInterface* record)
{
    const Argument arguments[] = { { record, kInterfaceType } };
    Call("UpdateWidgets", arguments, 1, true);
    if (fRegistry->BeginScriptCall("VORN", "RunUpdateTable") != kScriptOK)
        return;
    fRegistry->PushObject(record, kInterfaceType);
    fRegistry->CallScript();
    Forget(arguments, 1);
    fRegistry->CollectGarbageStep();
}

void ToolScript::HandleMessage(ScriptInterface* record, VornView* canvas, int32_t message)
{
    if (fTableName.IsEmpty()
        || fRegistry->BeginScriptCall(fTableName.CString(), "HandleMessage") != kScriptOK)
        return;
    const Argument arguments[] = { { record, kInterfaceType }, { canvas, "VornView" } };
    fRegistry->PushObject(record, kInterfaceType);
    fRegistry->PushObject(canvas, "VornView");
    fRegistry->PushNumber(message);
    fRegistry->CallScript();
    Forget(arguments, 2);
    fRegistry->CollectGarbageStep();
}
