// The controls window of the widget demo: a scrolling view over numbered
// cells, loose scroll bars, a slider, a progress bar, a text list, an angle
// widget, colour swatches and the open chooser. Every message and value is
// printed, one line each; at start it prints where its widgets are, and
// while the chooser is open where its parts are, its rows and its file-type
// menu's items.
#include <cstdio>
#include <string>
#include <vector>

#include "file_dialogs.h"
#include "interface_colors.h"
#include "plat_pump.h"
#include "plat_window.h"
#include "qv_angle_widget.h"
#include "qv_app.h"
#include "qv_button.h"
#include "qv_color_swatch.h"
#include "qv_dynamic_text.h"
#include "qv_graphics.h"
#include "chooser_folder_list.h"
#include "qv_dialog.h"
#include "qv_layout_view.h"
#include "qv_menu.h"
#include "qv_message.h"
#include "qv_popup_menu.h"
#include "qv_progress_bar.h"
#include "qv_scroll_bar.h"
#include "qv_scrolling_view.h"
#include "qv_slider.h"
#include "qv_text_control.h"
#include "qv_text_list.h"
#include "qv_wnd.h"
#include "toolkit_startup.h"
#include "widget_demo_controls.h"

namespace {

enum : int32_t {
    kLooseV = 301,
    kLooseH,
    kStep,
    kList,
    kAdd,
    kRemove,
    kAngle,
    kSwatch,
    kAlphaSwatch,
    kOpenChooser,
    kChosenPath,
    kWatchChooser,
};

void Say(const std::string& line)
{
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

std::string ColorText(rgb_color c)
{
    return std::to_string(c.r) + " " + std::to_string(c.g) + " " + std::to_string(c.b) + " " + std::to_string(c.a);
}

// 1000 x 1000 pixels of 100-pixel cells, each with its number.
class Cells : public QV_BaseWidget {
public:
    Cells()
        : QV_BaseWidget(FOLLOW_LEFT | FOLLOW_TOP, false)
    {
        ResizeTo(1000, 1000);
    }
    void DrawWidget(QV_Graphics* graphics) override
    {
        for (int32_t row = 0; row < 10; ++row)
            for (int32_t col = 0; col < 10; ++col) {
                const int32_t x = col * 100;
                const int32_t y = row * 100;
                const bool dark = (row + col) % 2 != 0;
                graphics->SetColor(dark ? 200 : 235, dark ? 215 : 240, dark ? 235 : 250);
                graphics->FillRect(x, y, x + 99, y + 99);
                graphics->SetColorStruct(Text);
                graphics->MoveTo(x + 40, y + 50);
                graphics->DrawText(std::to_string(row * 10 + col).c_str(), 2);
            }
    }
};

class DemoScroller : public QV_ScrollingView {
public:
    DemoScroller()
        : QV_ScrollingView(300, 300, FOLLOW_LEFT | FOLLOW_TOP)
    {
    }
    void HandleMessage(QV_Message* message) override
    {
        QV_ScrollingView::HandleMessage(message);
        if (message->fWhat == MSG_VSCROLL)
            Say("view y " + std::to_string(fScrollY));
        else if (message->fWhat == MSG_HSCROLL)
            Say("view x " + std::to_string(fScrollX));
    }
};

QV_Point ScreenPoint(QV_Wnd* window, QV_Point at)
{
    int32_t x = 0;
    int32_t y = 0;
    PlatWindowClientPosition(window->fHwnd, x, y);
    return { x + at.x, y + at.y };
}

std::string BoxLine(const std::string& name, QV_View* view)
{
    const QV_Point at = ScreenPoint(view->Window(), view->ConvertToWindow({ 0, 0 }));
    const QV_Point size = view->Size();
    return "rect " + name + " " + std::to_string(at.x) + " " + std::to_string(at.y) + " " + std::to_string(size.x)
        + " " + std::to_string(size.y);
}

// Says what changed in the open chooser since it last looked: where its parts
// are once it shows, its rows, and the items of its file-type menu as it opens.
class ChooserWatch {
public:
    void Look()
    {
        FileChooserDialog* chooser = OpenChooser();
        if (chooser != fSeen) {
            fSeen = chooser;
            fRows.clear();
            fMenuOpen = false;
            if (chooser) {
                Say(BoxLine("chooserpath", chooser->fPathField));
                Say(BoxLine("chooserlist", chooser->fList));
                Say(BoxLine("types", chooser->fTypes));
                Say(BoxLine("chooserok", chooser->fDefaultButton));
            }
        }
        if (!chooser)
            return;
        std::string rows = "rows";
        for (int32_t i = 0; i < chooser->fList->CountItems(); ++i)
            rows += std::string(" ") + chooser->fList->GetItem(i);
        if (rows != fRows)
            Say(fRows = rows);
        QV_Menu* menu = chooser->fTypes->Menu();
        const bool open = menu->fWindow != nullptr;
        if (open == fMenuOpen)
            return;
        fMenuOpen = open;
        Say(open ? "open types" : "closed types");
        for (int32_t item = 0; open && item < menu->fCount; ++item) {
            const QV_Rect r = menu->ItemRect(item);
            const QV_Rect frame = menu->Frame();
            const QV_Point at = ScreenPoint(
                menu->fWindow, { frame.left + (r.left + r.right) / 2, frame.top + (r.top + r.bottom) / 2 });
            Say("item types:" + std::string(menu->fLabels[item].CString()) + " " + std::to_string(at.x) + " "
                + std::to_string(at.y));
        }
    }

private:
    static FileChooserDialog* OpenChooser()
    {
        for (int32_t i = 0; i < gWindowList.fCount; ++i) {
            auto* window
                = dynamic_cast<QV_DialogWnd*>(WindowOfHandle(static_cast<PlatWindow*>(gWindowList.fItems[i])));
            auto* chooser = window ? dynamic_cast<FileChooserDialog*>(window->fDialog) : nullptr;
            if (chooser && chooser->fTypes && chooser->fWindow)
                return chooser;
        }
        return nullptr;
    }
    FileChooserDialog* fSeen = nullptr;
    std::string fRows;
    bool fMenuOpen = false;
};

class ControlsLayer : public QV_Layer {
public:
    ControlsLayer()
        : QV_Layer(FOLLOW_LEFT | FOLLOW_TOP)
    {
        auto* content = new QV_LayoutView(false, 12, 12, 12);
        content->PushV(ALIGN_TOP, 8);
        fScroller = Add(content, new DemoScroller, "view");
        fScroller->fAcceptsFocus = true;
        fScroller->fContent = new Cells;
        fScroller->fClipView->AddChild(fScroller->fContent);
        fScroller->UpdateScrollBars();
        fLooseH = Add(content, new QV_ScrollBar(false, 300, kLooseH, FOLLOW_LEFT | FOLLOW_TOP), "hbar");
        content->PushH(ALIGN_LEFT, 8);
        fLooseV = Add(content, new QV_ScrollBar(true, 150, kLooseV, FOLLOW_LEFT | FOLLOW_TOP), "vbar");
        fAngle = Add(content, new QV_AngleWidget(kAngle), "angle");
        content->Pop();
        content->Pop();

        content->PushV(ALIGN_TOP, 8);
        content->PushH(ALIGN_LEFT, 8);
        fSlider = Add(content, new QV_Slider, "slider");
        fSlider->SetRange(0, 100);
        fSlider->ResetValue();
        fSliderValue = new QV_DynamicText("0", 40, QV_DynamicText::kAlignLeft);
        content->AddChild(fSliderValue);
        content->Pop();
        content->PushH(ALIGN_LEFT, 8);
        fProgress = Add(content, new QV_ProgressBar(200, FOLLOW_LEFT | FOLLOW_TOP), "progress");
        Add(content, new QV_Button("Step", kStep, 0, false, 3), "step");
        content->Pop();
        fList = Add(content, new QV_TextList(kList), "list");
        fList->SetSize(250, 160);
        for (int32_t i = 1; i <= 50; ++i)
            fList->AddItem(("Row " + std::to_string(i)).c_str());
        content->PushH(ALIGN_LEFT, 8);
        Add(content, new QV_Button("Add", kAdd, 0, false, 3), "add");
        Add(content, new QV_Button("Remove", kRemove, 0, false, 3), "remove");
        Add(content, new QV_Button("Open...", kOpenChooser, 0, false, 3), "open");
        content->Pop();
        content->PushH(ALIGN_LEFT, 8);
        fSwatch = Add(content, new QV_ColorSwatch(false, { 40, 90, 200, 255 }, kSwatch), "swatch");
        fAlphaSwatch = Add(content, new QV_ColorSwatch(true, { 200, 40, 40, 128 }, kAlphaSwatch), "alphaswatch");
        fAlphaSwatch->fLiveUpdate = true;
        content->Pop();
        content->Pop();
        AddView(content);
        Layout();
    }

    template <class T> T* Add(QV_LayoutView* content, T* widget, const char* name)
    {
        content->AddChild(widget);
        fNamed.push_back({ name, widget });
        return widget;
    }

    void SayPlaces()
    {
        int32_t x = 0;
        int32_t y = 0;
        PlatWindowClientPosition(fWindow->fHwnd, x, y);
        Say("window " + std::to_string(x) + " " + std::to_string(y));
        for (const auto& [name, view] : fNamed) {
            const QV_Point at = view->ConvertToWindow({ 0, 0 });
            const QV_Point size = view->Size();
            Say("rect " + name + " " + std::to_string(x + at.x) + " " + std::to_string(y + at.y) + " "
                + std::to_string(size.x) + " " + std::to_string(size.y));
        }
        const QV_Rect thumb = fScroller->fVScroll->ThumbRect();
        const QV_Point at = fScroller->fVScroll->ConvertToWindow({ 0, 0 });
        Say("vthumb " + std::to_string(x + at.x + thumb.left + 9) + " " + std::to_string(y + at.y + thumb.top + 18));
        Say("vmax " + std::to_string(fScroller->fVScroll->fMax));
    }

    void HandleMessage(QV_Message* message) override
    {
        const int32_t what = message->fWhat;
        rgb_color color {};
        switch (what) {
        case MSG_SLIDER:
            fSliderValue->SetValue(fSlider->fValue);
            Say("slider " + std::to_string(what) + " " + std::to_string(fSlider->fValue));
            return;
        case kLooseV: Say("vbar " + std::to_string(fLooseV->fValue)); return;
        case kLooseH: Say("hbar " + std::to_string(fLooseH->fValue)); return;
        case kStep:
            fProgress->fValue = fProgress->fValue >= 1 ? 0 : fProgress->fValue + 0.1f;
            Say("progress " + std::to_string(fProgress->fValue));
            return;
        case kList: Say("list " + std::to_string(fList->SelItem()) + " " + fList->SelItemLabel()); return;
        case kAdd:
            fList->AddItem(("Row " + std::to_string(++fAdded + 50)).c_str());
            Say("list count " + std::to_string(fList->CountItems()));
            return;
        case kRemove:
            fList->RemoveItem(fList->SelItem());
            Say("list count " + std::to_string(fList->CountItems()));
            return;
        case kAngle: Say("angle " + std::string(fAngle->fField->Value())); return;
        case kSwatch:
        case kAlphaSwatch:
            if (message->FindColor("color", color))
                Say(std::string(what == kSwatch ? "swatch " : "alphaswatch ") + ColorText(color));
            return;
        case kOpenChooser:
            RunOpenFileDialog("Open", this, fWindow, kChosenPath, "Texts!*.txt!All Files", "*.*");
            return;
        case kWatchChooser: fWatch.Look(); return;
        case kChosenPath: {
            const char* path = nullptr;
            if (message->FindString("path", &path) && path)
                Say(std::string("chosen ") + path);
            return;
        }
        default: break;
        }
        if (what == MSG_VSCROLL || what == MSG_HSCROLL)
            return;
        Say("message " + std::to_string(what));
    }

    QV_ScrollingView* fScroller;
    QV_ScrollBar* fLooseH;
    QV_ScrollBar* fLooseV;
    QV_AngleWidget* fAngle;
    QV_Slider* fSlider;
    QV_DynamicText* fSliderValue;
    QV_ProgressBar* fProgress;
    QV_TextList* fList;
    QV_ColorSwatch* fSwatch;
    QV_ColorSwatch* fAlphaSwatch;
    int32_t fAdded = 0;
    ChooserWatch fWatch;
    std::vector<std::pair<std::string, QV_View*>> fNamed;
};

class ControlsWnd : public QV_Wnd {
public:
    ControlsWnd(int32_t width, int32_t height)
        : QV_Wnd(0, "Controls", false, nullptr, 0, 0, width - 1, height - 1)
    {
    }
};

} // namespace

int RunControlsDemo()
{
    ToolkitStartup();
    {
        QV_App app;
        auto* layer = new ControlsLayer;
        const QV_Rect frame = layer->Frame();
        auto* window = new ControlsWnd(frame.right + 1, frame.bottom + 1);
        if (!window->fHwnd) {
            std::fprintf(stderr, "widget_demo: no window\n");
            return 1;
        }
        const uint32_t id = PlatWindowId(window->fHwnd);
        window->AddLayer(layer);
        window->Center();
        window->Show();
        PlatPumpMessageWithin(50);
        layer->SayPlaces();
        window->AddTimer(0.05f, layer, kWatchChooser);
        while (PlatWindowFromId(id) && PlatPumpMessage() > 0) { }
        if (PlatWindowFromId(id))
            PlatWindowDestroy(window->fHwnd);
    }
    ToolkitShutdown();
    return 0;
}
