#pragma once

#include <cstdint>

#include "qv_menu.h"

class QV_Handler;
class ScriptRegistry;

// The menu bar's "Scripts" menu: one item per menu script, labelled with its UILabel and
// sending 3400 + its index, in sub-menus named by the sub-folders the scripts came from. It
// builds itself again whenever the registry has loaded its scripts since (a reload).
class ScriptsMenu : public QV_Menu {
public:
    static constexpr int32_t kFirstCommand = 3400;
    static constexpr int32_t kLastCommand = 3599;

    explicit ScriptsMenu(const char* title);

    // Rebuilds from the registry's menu scripts unless it was built from this load already;
    // the sub-menus send their items to target.
    void Refresh(ScriptRegistry* registry, QV_Handler* target);
    void Rebuild(ScriptRegistry* registry, QV_Handler* target);

private:
    int32_t fGeneration = -1;
};
