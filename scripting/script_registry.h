#pragma once

#include <cstdint>

#include "qv_arraylist.h"
#include "qv_color.h"
#include "qv_lua_context.h"
#include "qv_path.h"

class MenuScript;
class QV_Message;
class ScriptInterface;
class ScriptPrefs;
class ToolScript;
class VornView;

// The application's script host: one Lua state with the modules QV, QV.GUI and the document
// module open, the menu scripts and the tool list. Scripts come from the folders "utility",
// "menu" and "tool" of the scripts folder; the tool list "_tool_list.txt" of the tool folder
// orders, groups and colours the tools and gives their shortcut keys.
class ScriptRegistry : public QV_LuaContext {
public:
    using ModuleOpener = int (*)(lua_State* state);

    // The ids that the widgets of tool options and script dialogs send.
    static constexpr int32_t kFirstScriptMessage = -10000;
    static constexpr int32_t kLastScriptMessage = -9000;

    // The settings (not owned) are what ScriptPrefs reads and writes; the document module,
    // which builds on this library, is opened last through its opener (may be null).
    ScriptRegistry(QV_Message* userSettings, ModuleOpener openDocumentModule);
    // Unloads every script, so that each saves its preferences, before the state closes.
    ~ScriptRegistry();

    void LoadScripts();
    void UnloadScripts();
    void LoadUtilityScripts();
    void LoadMenuScripts();
    void LoadMenuFolder(const char* folder);
    void LoadToolList();
    MenuScript* LoadMenuScript(const char* path);
    ToolScript* LoadToolScript(const char* path);

    int32_t CountMenuScripts() const { return fMenuScripts.fCount; }
    int32_t CountTools() const { return fTools.fCount; }
    MenuScript* MenuScriptAt(int32_t index) const;
    ToolScript* ToolAt(int32_t index) const;

    // The main layer's uses of the tool list. Each takes the record the caller built for the
    // call.
    // The index of the first tool whose shortcut is the lower-cased key and that is enabled;
    // -1 when none, or when Ctrl or Alt is held.
    int32_t ToolForKey(int32_t key, bool ctrlKey, bool altKey, ScriptInterface* record);
    // The index of the tool with that table name when it is enabled, else -1.
    int32_t ToolNamed(const char* tableName, ScriptInterface* record);
    // Reset Tool: the current tool's ResetPrefs, then its UpdateWidgets.
    void ResetTool(ToolScript* current, ScriptInterface* record);
    // Reset All Tools: ResetPrefs of every entry in list order, then UpdateWidgets of the
    // current tool.
    void ResetAllTools(ToolScript* current, ScriptInterface* record);
    static bool IsScriptMessage(int32_t message);
    // Hands a message of the script range to the current tool's HandleMessage; false (and
    // nothing called) for any other id or without a tool.
    bool DispatchScriptMessage(
        int32_t message, ToolScript* current, ScriptInterface* record, VornView* canvas);

    QV_ArrayList fMenuScripts;
    QV_ArrayList fTools;
    // Counts the tool list's loads, so that what was built from an earlier list (the tools
    // palette) knows to build again.
    int32_t fToolListGeneration = 0;
    // The "scripts" folder of the application folder.
    QV_Path fScriptsFolder;
    QV_Message* fUserSettings;

private:
    // Runs the file and reads its ScriptName into name; false after the console line when the
    // file ran without naming its table, or silently when it failed.
    bool RunScriptFile(const char* path, QV_String& name);
    void AppendListedTool(const char* folder, const char* name, const char* key, bool button,
        const char* group, rgb_color color);
};
