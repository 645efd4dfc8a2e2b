#include "scripts_menu.h"

#include <map>
#include <string>

#include "script.h"
#include "script_registry.h"

ScriptsMenu::ScriptsMenu(const char* title)
    : QV_Menu(title)
{
}

void ScriptsMenu::Refresh(ScriptRegistry* registry, QV_Handler* target)
{
    // The tool list loads once per loading of all scripts, menu scripts included.
    const int32_t generation = registry ? registry->fToolListGeneration : -1;
    if (generation != fGeneration)
        Rebuild(registry, target);
}

void ScriptsMenu::Rebuild(ScriptRegistry* registry, QV_Handler* target)
{
    RemoveAllItems();
    fGeneration = registry ? registry->fToolListGeneration : -1;
    if (!registry)
        return;
    const int32_t count = registry->CountMenuScripts();
    // Each sub-menu sits where its first script would, in the order the registry loaded them.
    std::map<std::string, QV_Menu*> submenus;
    for (int32_t i = 0; i < count && kFirstCommand + i <= kLastCommand; i++) {
        const MenuScript* script = registry->MenuScriptAt(i);
        if (!script)
            continue;
        const int32_t command = kFirstCommand + i;
        const std::string folder = script->fSubmenu.CString();
        if (folder.empty()) {
            AddItem(script->fUILabel.CString(), 0, command);
            continue;
        }
        QV_Menu*& submenu = submenus[folder];
        if (!submenu) {
            submenu = new QV_Menu(folder.c_str());
            submenu->fTarget = target;
            AddSubmenu(submenu, folder.c_str());
        }
        submenu->AddItem(script->fUILabel.CString(), 0, command);
    }
}
