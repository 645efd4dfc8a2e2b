#include "script_registry.h"

#include <cctype>
#include <fstream>
#include <sstream>
#include <string>

extern "C" {
#include <lua.h>
}

#include "app_folders.h"
#include "image_file.h"
#include "interface_colors.h"
#include "qv_gui_module.h"
#include "qv_lua_console.h"
#include "qv_module.h"
#include "script.h"
#include "script_folder.h"
#include "script_prefs.h"
#include "tool_list_reader.h"

namespace {

constexpr uint32_t kMissingNameColor = 0xff0000ff;

std::string LastComponent(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string Lowered(std::string text)
{
    for (char& c : text)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

} // namespace

ScriptRegistry::ScriptRegistry(QV_Message* userSettings, ModuleOpener openDocumentModule)
    : fScriptsFolder(AppFolder())
    , fUserSettings(userSettings)
{
    fScriptsFolder.Append("scripts");
    fMenuScripts.SetCapacity(4);
    fTools.SetCapacity(4);
    OpenQVModule(fState);
    OpenQVGUIModule(fState);
    RegisterSimpleDialogSupport(fState);
    if (openDocumentModule)
        openDocumentModule(fState);
}

ScriptRegistry::~ScriptRegistry()
{
    UnloadScripts();
}

MenuScript* ScriptRegistry::MenuScriptAt(int32_t index) const
{
    return index >= 0 && index < fMenuScripts.fCount ? static_cast<MenuScript*>(fMenuScripts.fItems[index])
                                                     : nullptr;
}

ToolScript* ScriptRegistry::ToolAt(int32_t index) const
{
    return index >= 0 && index < fTools.fCount ? static_cast<ToolScript*>(fTools.fItems[index]) : nullptr;
}

void ScriptRegistry::LoadScripts()
{
    UnloadScripts();
    LoadUtilityScripts();
    LoadMenuScripts();
    LoadToolList();
    ScriptPrefs prefs(fUserSettings);
    for (int32_t i = 0; i < fMenuScripts.fCount; i++)
        MenuScriptAt(i)->LoadPrefs(&prefs);
    for (int32_t i = 0; i < fTools.fCount; i++)
        ToolAt(i)->LoadPrefs(&prefs);
}

void ScriptRegistry::UnloadScripts()
{
    fToolListGeneration++;
    ScriptPrefs prefs(fUserSettings);
    for (int32_t i = fMenuScripts.fCount - 1; i >= 0; i--) {
        MenuScript* script = MenuScriptAt(i);
        fMenuScripts.Remove(script);
        script->SavePrefs(&prefs);
        delete script;
    }
    for (int32_t i = fTools.fCount - 1; i >= 0; i--) {
        ToolScript* tool = ToolAt(i);
        fTools.Remove(tool);
        tool->SavePrefs(&prefs);
        delete tool;
    }
}

void ScriptRegistry::LoadUtilityScripts()
{
    const std::string folder = JoinScriptPath(fScriptsFolder.CString(), "utility");
    for (const std::string& name : ListScriptFolder(folder)) {
        if (IsLuaFile(name))
            DoFile(JoinScriptPath(folder, name).c_str());
    }
}

void ScriptRegistry::LoadMenuScripts()
{
    const std::string folder = JoinScriptPath(fScriptsFolder.CString(), "menu");
    for (const std::string& name : ListScriptFolder(folder)) {
        const std::string path = JoinScriptPath(folder, name);
        if (IsLuaFile(name)) {
            if (MenuScript* script = LoadMenuScript(path.c_str()))
                fMenuScripts.Append(script);
        } else {
            LoadMenuFolder(path.c_str());
        }
    }
}

void ScriptRegistry::LoadMenuFolder(const char* folder)
{
    std::string submenu;
    for (char c : LastComponent(folder)) {
        if (c != '/' && c != '\\')
            submenu += c;
    }
    for (const std::string& name : ListScriptFolder(folder)) {
        if (!IsLuaFile(name))
            continue;
        if (MenuScript* script = LoadMenuScript(JoinScriptPath(folder, name).c_str())) {
            script->fSubmenu = submenu.c_str();
            fMenuScripts.Append(script);
        }
    }
}

bool ScriptRegistry::RunScriptFile(const char* path, QV_String& name)
{
    // A file that does not name its table must not inherit the name the previous file left.
    // Raw, so that no __newindex a script gave the globals runs outside a protected call.
    Lock();
    lua_pushstring(fState, "ScriptName");
    lua_pushnil(fState);
    lua_rawset(fState, LUA_GLOBALSINDEX);
    Unlock();
    if (DoFile(path) != kScriptOK)
        return false;
    if (GetScriptName(name) == kScriptOK)
        return true;
    const std::string line = LastComponent(path) + ": ScriptName not found";
    QV_LuaConsole::Print(line.c_str(), kMissingNameColor);
    return false;
}

MenuScript* ScriptRegistry::LoadMenuScript(const char* path)
{
    QV_String name;
    if (!RunScriptFile(path, name))
        return nullptr;
    auto* script = new MenuScript(this);
    script->fPath = path;
    if (script->ReadInfo(name.CString()) != 0) {
        delete script;
        return nullptr;
    }
    return script;
}

ToolScript* ScriptRegistry::LoadToolScript(const char* path)
{
    QV_String name;
    if (!RunScriptFile(path, name))
        return nullptr;
    auto* tool = new ToolScript(this);
    tool->fPath = path;
    if (tool->ReadInfo(name.CString()) != 0) {
        delete tool;
        return nullptr;
    }
    const std::string file(path);
    const size_t dot = file.rfind('.');
    const std::string base = LastComponent(dot == std::string::npos ? file : file.substr(0, dot));
    const std::string folder = file.substr(0, file.size() - LastComponent(file).size());
    const std::string icon = FindScriptFile(folder, base + ".png");
    if (!icon.empty())
        LoadImageFile(icon.c_str(), tool->fIcon, 0);
    const std::string cursor = FindScriptFile(folder, base + "_cursor.png");
    if (!cursor.empty() && LoadImageFile(cursor.c_str(), tool->fCursorImage, 0) == 0)
        tool->MakeCursor();
    return tool;
}

void ScriptRegistry::AppendListedTool(
    const char* folder, const char* name, const char* key, bool button, const char* group, rgb_color color)
{
    const std::string path = FindScriptFile(folder, std::string(name) + ".lua");
    if (path.empty())
        return;
    ToolScript* tool = LoadToolScript(path.c_str());
    if (!tool)
        return;
    fTools.Append(tool);
    tool->fGroup = group;
    tool->fColor = button ? ScaleToolColor(color, 0.7f) : color;
    tool->fButton = button;
    if (key[0] && !key[1])
        tool->fKey = std::tolower(static_cast<unsigned char>(key[0]));
}

void ScriptRegistry::LoadToolList()
{
    fToolListGeneration++;
    const std::string folder = JoinScriptPath(fScriptsFolder.CString(), "tool");
    std::ifstream file(JoinScriptPath(folder, "_tool_list.txt"), std::ios::binary);
    if (file) {
        std::ostringstream text;
        text << file.rdbuf();
        ToolListReader reader(text.str());
        std::string group;
        rgb_color color = WidgetFill;
        std::string word;
        while (reader.ReadWord(word)) {
            const std::string keyword = Lowered(word);
            if (keyword == "tool" || keyword == "button") {
                std::string name;
                std::string key;
                if (!reader.ReadWord(name) || !reader.ReadWord(key))
                    break;
                AppendListedTool(
                    folder.c_str(), name.c_str(), key.c_str(), keyword == "button", group.c_str(), color);
            } else if (keyword == "spacer") {
                auto* spacer = new ToolScript(this);
                spacer->fSpacer = true;
                spacer->fGroup = group.c_str();
                spacer->fColor = color;
                fTools.Append(spacer);
            } else if (keyword == "group") {
                if (!reader.ReadWord(group))
                    break;
            } else if (keyword == "color") {
                long parts[4] = {};
                bool complete = true;
                for (long& part : parts)
                    complete = complete && reader.ReadInteger(part);
                rgb_color read = WidgetFill;
                if (complete) {
                    auto clamp = [](long v) { return uint8_t(v < 0 ? 0 : (v > 255 ? 255 : v)); };
                    read = rgb_color { clamp(parts[0]), clamp(parts[1]), clamp(parts[2]), clamp(parts[3]) };
                }
                color = ScaleToolColor(read, 1.1f);
            }
        }
    }

    for (const std::string& name : ListScriptFolder(folder)) {
        if (!IsLuaFile(name))
            continue;
        const std::string path = JoinScriptPath(folder, name);
        bool listed = false;
        for (int32_t i = 0; i < fTools.fCount && !listed; i++)
            listed = path == ToolAt(i)->fPath.CString();
        if (listed)
            continue;
        if (ToolScript* tool = LoadToolScript(path.c_str())) {
            fTools.Append(tool);
            tool->fGroup = "Other";
            tool->fColor = WidgetFill;
        }
    }
}
