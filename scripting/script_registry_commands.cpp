#include <cctype>
#include <cstring>

#include "script.h"
#include "script_registry.h"

int32_t ScriptRegistry::ToolForKey(int32_t key, bool ctrlKey, bool altKey, ScriptInterface* record)
{
    if (ctrlKey || altKey)
        return -1;
    const int32_t lowered = key >= 0 && key <= 255 ? std::tolower(key) : key;
    for (int32_t i = 0; i < fTools.fCount; i++) {
        ToolScript* tool = ToolAt(i);
        if (!tool->fSpacer && tool->fKey != 0 && tool->fKey == lowered && tool->IsEnabled(record))
            return i;
    }
    return -1;
}

int32_t ScriptRegistry::ToolNamed(const char* tableName, ScriptInterface* record)
{
    for (int32_t i = 0; i < fTools.fCount; i++) {
        ToolScript* tool = ToolAt(i);
        if (!tool->fSpacer && tool->fTableName == (tableName ? tableName : ""))
            return tool->IsEnabled(record) ? i : -1;
    }
    return -1;
}

void ScriptRegistry::ResetTool(ToolScript* current, ScriptInterface* record)
{
    if (!current)
        return;
    current->ResetPrefs();
    current->UpdateWidgets(record);
}

void ScriptRegistry::ResetAllTools(ToolScript* current, ScriptInterface* record)
{
    for (int32_t i = 0; i < fTools.fCount; i++)
        ToolAt(i)->ResetPrefs();
    if (current)
        current->UpdateWidgets(record);
}

bool ScriptRegistry::IsScriptMessage(int32_t message)
{
    return message >= kFirstScriptMessage && message <= kLastScriptMessage;
}

bool ScriptRegistry::DispatchScriptMessage(
    int32_t message, ToolScript* current, ScriptInterface* record, VornView* canvas)
{
    if (!IsScriptMessage(message) || !current)
        return false;
    current->HandleMessage(record, canvas, message);
    return true;
}
