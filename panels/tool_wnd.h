#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "qv_baseimage.h"
#include "qv_string.h"
#include "shell_panel.h"

class QV_ToolBar;
class ScriptRegistry;
class ToolScript;

// The tools palette: one image button per entry of the tool list, under a title bar per group.
// A click sends the entry's id (3600 + its index) to the main window, which makes the tool
// current or runs a button entry. The palette follows the list: when the scripts are loaded
// again it builds its groups anew, so that its ids always address the current list.
class ToolWnd : public ShellPanel {
public:
    static constexpr int32_t kColumns = 4;
    static constexpr int32_t kCellWidth = 25;
    static constexpr int32_t kCellHeight = 21;

    ToolWnd(VornWnd* owner, VornDoc* document);
    ~ToolWnd() override;

    void HandleMessage(QV_Message* message) override;
    void Draw() override;
    // Enables each button by asking its script, and keeps a current tool selected: when no
    // enabled tool is selected, the first enabled tool of the first group that has one becomes
    // current.
    void UpdateToolButtons() override;

    // Drops the groups and builds them from the registry's tool list.
    void BuildGroups();

    struct Group {
        // Normal, selected, disabled and highlighted, in the cells' layout.
        QV_BaseImage images[4];
        QV_ToolBar* bar = nullptr;
        QV_String name;
    };
    std::vector<std::unique_ptr<Group>> fGroups;
    // The tool list load the groups were built from.
    int32_t fGeneration;

private:
    ScriptRegistry* Registry() const;
    // Builds again when the registry has loaded its list since.
    void FollowToolList();
    int32_t LineHeight() const;
};

// The tooltip of a palette cell: the label, and the shortcut letter in upper case.
QV_String ToolButtonLabel(const ToolScript& tool);
