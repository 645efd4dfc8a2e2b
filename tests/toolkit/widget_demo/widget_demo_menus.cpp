// The menus window of the widget demo: a menu bar, a context menu, popup
// buttons, check boxes, radio groups, tabs and a tool bar. Every message that
// reaches the window's layer is printed as "message N". So that a test can
// aim at them, widgets are printed as "rect NAME X Y W H" and every menu that
// opens as "open TITLE COLUMNS" with an "item TITLE:LABEL X Y" per item, all
// in screen coordinates; "closed TITLE" when it goes.
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "follow_flags.h"
#include "plat_pump.h"
#include "plat_window.h"
#include "qv_app.h"
#include "qv_check_box.h"
#include "qv_dialog.h"
#include "qv_layer.h"
#include "qv_menu.h"
#include "qv_menu_bar.h"
#include "qv_message.h"
#include "qv_popup_dialog.h"
#include "qv_popup_menu.h"
#include "qv_static_text.h"
#include "qv_tab_view.h"
#include "qv_tool_bar.h"
#include "qv_wnd.h"
#include "toolkit_startup.h"

int RunMenusDemo();

namespace {

constexpr int32_t kWidth = 720;
// Low enough that the long menu needs three columns.
constexpr int32_t kHeight = 208;

void Say(const std::string& line)
{
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

// One tool-bar sheet of four cells: a background of the state's grey and a
// mark per cell that tells the cells apart.
struct Sheet {
    Sheet(uint8_t grey, uint8_t mark)
        : bytes(size_t(kSheetWidth) * kSheetHeight * 4, 0)
    {
        for (int32_t y = 0; y < kSheetHeight; ++y) {
            for (int32_t x = 0; x < kSheetWidth; ++x) {
                const int32_t cell = x / 25;
                const int32_t cx = x % 25;
                const bool marked = cx >= 6 && cx < 9 + cell * 3 && y >= 6 && y < 19;
                uint8_t* p = bytes.data() + (size_t(y) * kSheetWidth + size_t(x)) * 4;
                p[0] = p[1] = p[2] = marked ? mark : grey;
                p[3] = 255;
            }
        }
        buffer = { bytes.data(), kSheetWidth, kSheetHeight, 32, 4, kSheetWidth * 4 };
    }
    static constexpr int32_t kSheetWidth = 100;
    static constexpr int32_t kSheetHeight = 25;
    std::vector<uint8_t> bytes;
    QV_PixelBuffer buffer;
};

class MenusLayer : public QV_Layer {
public:
    MenusLayer()
        : QV_Layer(FOLLOW_LEFT | FOLLOW_TOP)
        , fNormal(215, 40)
        , fDown(120, 250)
        , fDisabled(225, 170)
        , fHover(235, 20)
    {
        ResizeTo(kWidth, kHeight);
        BuildBar();
        BuildButtons();
        BuildGroups();
        BuildTabs();
        BuildTools();
        fContext = new QV_Menu("Context");
        fContext->AddItem("Cut here", 0, 601);
        fContext->AddItem("Paste here", 0, 602);
        fContext->fTarget = this;
    }
    ~MenusLayer() override { delete fContext; }

    void HandleMessage(QV_Message* message) override
    {
        // A chosen item posts once its menus have gone: say so first.
        SayMenus();
        if (message)
            Say("message " + std::to_string(message->fWhat));
    }
    void MouseDown(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message) override
    {
        if (button == 2 && !ChildAt(x, y) && fWindow) {
            fContext->Popup(fWindow, x + fFrame.left, y + fFrame.top);
            return;
        }
        QV_Layer::MouseDown(x, y, button, modifiers, message);
    }
    // Where the tests find things, in screen coordinates.
    void SayPlaces()
    {
        for (int32_t i = 0; i < fBar->fMenuCount; ++i) {
            const QV_Rect r = fBar->TitleRect(i);
            const QV_Point at = ToScreen({ (r.left + r.right) / 2, (r.top + r.bottom) / 2 }, fBar);
            Say("title " + std::to_string(i) + " " + std::to_string(at.x) + " " + std::to_string(at.y));
        }
        for (const auto& [name, view] : fNamed) {
            const QV_Point at = ToScreen({ 0, 0 }, view);
            const QV_Point size = view->Size();
            Say("rect " + name + " " + std::to_string(at.x) + " " + std::to_string(at.y) + " "
                + std::to_string(size.x) + " " + std::to_string(size.y));
        }
        for (int32_t i = 0; i < fTabs->fTabCount; ++i) {
            const int32_t middle = fTabs->TabLeft(i) + fTabs->fTabWidths[i] / 2;
            const QV_Point at = ToScreen({ middle, fTabs->fTabHeight / 2 }, fTabs);
            Say("tab " + std::to_string(i) + " " + std::to_string(at.x) + " " + std::to_string(at.y));
        }
    }
    // Called after every event: says which menus opened or closed since.
    void SayMenus()
    {
        std::vector<QV_Menu*> menus = { fContext, fSizes, fActions };
        for (int32_t i = 0; i < fBar->fMenuCount; ++i)
            menus.push_back(fBar->fMenus[i]);
        for (size_t i = 0; i < menus.size(); ++i) {
            QV_Menu* menu = menus[i];
            for (int32_t item = 0; item < menu->fCount; ++item) {
                if (menu->fSubmenus[item])
                    menus.push_back(menu->fSubmenus[item]);
            }
        }
        for (QV_Menu* menu : menus) {
            const bool open = menu->fWindow != nullptr;
            if (open == (fOpen.count(menu) > 0))
                continue;
            const std::string title = menu->fTitle.CString();
            if (!open) {
                fOpen.erase(menu);
                Say("closed " + title);
                continue;
            }
            fOpen.insert(menu);
            Say("open " + title + " " + std::to_string(menu->fColumns));
            const QV_Rect frame = menu->Frame();
            for (int32_t item = 0; item < menu->fCount; ++item) {
                if (menu->fLabels[item].IsEmpty())
                    continue;
                const QV_Rect r = menu->ItemRect(item);
                const QV_Point at = WindowToScreen(
                    { frame.left + (r.left + r.right) / 2, frame.top + (r.top + r.bottom) / 2 });
                Say("item " + title + ":" + menu->fLabels[item].CString() + " " + std::to_string(at.x) + " "
                    + std::to_string(at.y));
            }
        }
    }

private:
    template <class T> T* Put(T* view, int32_t x, int32_t y, const char* name = nullptr)
    {
        view->MoveTo(x, y);
        AddView(view);
        if (name)
            fNamed.push_back({ name, view });
        return view;
    }
    QV_Point WindowToScreen(QV_Point at) const
    {
        int32_t x = 0;
        int32_t y = 0;
        PlatWindowClientPosition(fWindow->fHwnd, x, y);
        return { x + at.x, y + at.y };
    }
    QV_Point ToScreen(QV_Point at, QV_View* view) const { return WindowToScreen(view->ConvertToWindow(at)); }
    void BuildBar()
    {
        fBar = new QV_MenuBar;
        auto* file = new QV_Menu("File");
        file->AddItem("New", 'N', 501);
        file->AddItem("Open", 'O', 502);
        file->AddItem(nullptr, 0, 0);
        file->AddItem("Save", 'S', 503);
        file->AddItem("Save all", 'S', 504, QV_Menu::kCtrlShift);
        auto* recent = new QV_Menu("Recent");
        recent->AddItem("first.celv", 0, 511);
        recent->AddItem("second.celv", 0, 512);
        file->AddItem(nullptr, 0, 0);
        auto* view = new QV_Menu("View");
        view->AddItem("Grid", 'G', 521);
        view->AddItem("Rulers", 0, 522);
        view->AddItem("Outlines", 0, 523);
        view->AddItem(nullptr, 0, 0);
        view->AddItem("Unavailable", 0, 524);
        view->AddItem("Reset", 'R', 525, QV_Menu::kCtrlAlt);
        view->SetChecked(521, true);
        view->SetEnabled(524, false);
        auto* many = new QV_Menu("Many");
        for (int32_t i = 1; i <= 30; ++i)
            many->AddItem(("Entry " + std::to_string(i)).c_str(), 0, 530 + i);
        auto* help = new QV_Menu("Help");
        help->AddItemAlphabetically("Shortcuts", 0, 591);
        help->AddItemAlphabetically("About", 0, 592);
        fBar->AddMenu(file);
        fBar->AddMenu(view);
        fBar->AddMenu(many);
        fBar->AddMenu(help);
        file->AddSubmenu(recent, "Recent");
        SetMainView(fBar);
    }
    void BuildButtons()
    {
        auto* checked = Put(new QV_PopupMenu(140, true), 10, 30, "sizes");
        auto* sizes = fSizes = new QV_Menu("Size");
        sizes->AddItem("Small", 0, 701);
        sizes->AddItem("Medium", 0, 702);
        sizes->AddItem("Large", 0, 703);
        sizes->SetChecked(701, true);
        checked->SetMenu(sizes);
        auto* titled = Put(new QV_PopupMenu(140, false), 10, 56, "actions");
        auto* actions = fActions = new QV_Menu("Actions");
        actions->AddItem("Flip", 0, 711);
        actions->AddItem("Rotate", 0, 712);
        titled->SetMenu(actions);
        auto* dialogButton = Put(new QV_PopupDialog("Options", false, 720), 10, 82, "options");
        auto* dialog = new QV_Dialog("Options", nullptr);
        auto* text = new QV_StaticText("A popup dialog");
        text->MoveTo(10, 10);
        dialog->AddView(text);
        dialogButton->SetDialog(dialog);
        Put(new QV_CheckBox("Loop", 731), 10, 110, "loop");
        auto* locked = Put(new QV_CheckBox("Locked", 732), 10, 134, "locked");
        locked->SetValue(true);
        locked->Enable(false);
    }
    void BuildGroups()
    {
        const char* const labels[2][3] = { { "Red", "Green", "Blue" }, { "Fast", "Slow", nullptr } };
        for (int32_t g = 0; g < 2; ++g) {
            auto* group = new QV_View(FOLLOW_LEFT | FOLLOW_TOP);
            group->ResizeTo(120, 70);
            for (int32_t i = 0; i < 3 && labels[g][i]; ++i) {
                auto* radio = new QV_RadioButton(labels[g][i], 740 + g * 10 + i);
                radio->MoveTo(0, i * 22);
                group->AddChild(radio);
                fNamed.push_back({ labels[g][i], radio });
                if (i == 0)
                    radio->fValue = true;
            }
            Put(group, 170, 30 + g * 75);
        }
    }
    void BuildTabs()
    {
        auto* tabs = new QV_TabView;
        const char* const pages[3] = { "Page one", "Page two", "Page three" };
        for (const char* label : pages) {
            auto* page = new QV_StaticText((std::string("This is ") + label).c_str());
            tabs->AddTab(label, page);
        }
        Put(tabs, 300, 30, "tabs");
        tabs->ResizeTo(230, 150);
        fTabBar = Put(new QV_TabBar, 545, 30, "tabbar");
        fTabBar->AddTab("Channels");
        fTabBar->AddTab("Sequencer");
        fTabBar->Layout();
        fTabs = tabs;
    }
    void BuildTools()
    {
        auto* tools = Put(new QV_ToolBar(&fNormal.buffer, &fDown.buffer, &fDisabled.buffer, &fHover.buffer),
            560, 70, "tools");
        tools->fColumns = 4;
        tools->fRows = 1;
        tools->fCellWidth = 25;
        tools->fCellHeight = 25;
        tools->fActOnPress = true;
        const int32_t kinds[4]
            = { QV_ToolBar::kTool, QV_ToolBar::kTool, QV_ToolBar::kToggle, QV_ToolBar::kPush };
        const char* const names[4] = { "Pen (P)", "Brush (B)", "Snap", "Clear" };
        for (int32_t i = 0; i < 4; ++i) {
            tools->fMessages[i] = 801 + i;
            tools->fKinds[i] = kinds[i];
            tools->fLabels[i] = names[i];
        }
        tools->SelectTool(801);
    }

public:
    void Shown() { fTabs->SelectTab(0); }

private:
    Sheet fNormal;
    Sheet fDown;
    Sheet fDisabled;
    Sheet fHover;
    QV_MenuBar* fBar = nullptr;
    QV_TabView* fTabs = nullptr;
    QV_TabBar* fTabBar = nullptr;
    QV_Menu* fContext = nullptr;
    QV_Menu* fSizes = nullptr;
    QV_Menu* fActions = nullptr;
    std::vector<std::pair<std::string, QV_View*>> fNamed;
    std::set<QV_Menu*> fOpen;
};

} // namespace

int RunMenusDemo()
{
    ToolkitStartup();
    {
        QV_App app;
        auto* layer = new MenusLayer;
        auto* window = new QV_Wnd(0, "Menus", false, nullptr, 0, 0, kWidth - 1, kHeight - 1);
        if (!window->fHwnd) {
            std::fprintf(stderr, "widget_demo: no window\n");
            return 1;
        }
        const uint32_t id = PlatWindowId(window->fHwnd);
        window->AddLayer(layer);
        layer->Shown();
        window->Center();
        window->Show();
        PlatPumpMessageWithin(50);
        layer->SayPlaces();
        while (PlatWindowFromId(id) && PlatPumpMessage() > 0) {
            if (PlatWindowFromId(id))
                layer->SayMenus();
        }
        if (PlatWindowFromId(id))
            PlatWindowDestroy(window->fHwnd);
    }
    ToolkitShutdown();
    return 0;
}
