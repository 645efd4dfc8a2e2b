// A window of every widget, for trying them by hand and for the tests that
// drive it under a private X server. It prints one line per event on the
// standard output: messages, committed texts, answers, chosen paths and
// beeps. At start it prints where the window and its main widgets are.
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "file_dialogs.h"
#include "message_ids.h"
#include "plat_beep.h"
#include "plat_pump.h"
#include "plat_window.h"
#include "qv_alert.h"
#include "qv_app.h"
#include "qv_box.h"
#include "qv_button.h"
#include "qv_dialog.h"
#include "qv_divider.h"
#include "qv_dynamic_text.h"
#include "qv_layout_view.h"
#include "qv_message.h"
#include "qv_static_picture.h"
#include "qv_static_text.h"
#include "qv_text_control.h"
#include "qv_wnd.h"
#include "resource_images.h"
#include "shell_open.h"
#include "toolkit_startup.h"
#include "widget_demo_codec.h"
#include "widget_demo_controls.h"

namespace {

enum : int32_t {
    kModal = 101,
    kModeless,
    kPopup,
    kAlert,
    kOpen,
    kSave,
    kShellOpen,
    kOpenURL,
    kToggle,
    kShort,
    kChosen,
    kCloseModeless,
    kFieldBase = 200,
};

const char* const kFieldNames[]
    = { "text", "int", "float", "uint", "ufloat", "nodigits", "password", "multiline" };

void Say(const std::string& line)
{
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

// The number dialog: one value that must lie between 0 and 100.
class NumberDialog : public QV_Dialog {
public:
    NumberDialog(QV_Wnd* owner, float* value)
        : QV_Dialog("Number", owner)
        , fValue(value)
    {
        auto* content = new QV_LayoutView(true, 8, 8, 8);
        content->PushH(ALIGN_LEFT, 8);
        content->AddChild(new QV_StaticText("Number (0 to 100):"));
        fField = new QV_TextControl(80, "", 0, FIELD_FLOAT);
        content->AddChild(fField);
        content->Pop();
        content->PushH(ALIGN_RIGHT, 8);
        auto* ok = new QV_Button("OK", MSG_OK, 64, true, 3);
        auto* cancel = new QV_Button("Cancel", MSG_CANCEL, 64, false, 3);
        content->AddChild(ok);
        content->AddChild(cancel);
        content->Pop();
        AddView(content);
        fDefaultButton = ok;
        fCancelButton = cancel;
        fInitialFocus = fField;
    }
    bool OnValidate() override { return ValidateFloat(fField, 0, 100); }
    void ExchangeData(bool apply) override
    {
        if (apply) {
            *fValue = fField->FloatValue();
            Say(std::string("applied ") + fField->Value());
        } else
            fField->SetValue(*fValue);
    }
    void DialogClosed(int32_t id) override
    {
        Say(std::string(id == MSG_OK ? "dialog ok " : "dialog cancel ") + fField->Value());
    }
    QV_TextControl* fField;
    float* fValue;
};

class DemoLayer : public QV_Layer {
public:
    DemoLayer()
        : QV_Layer(FOLLOW_LEFT | FOLLOW_TOP)
    {
        auto* content = new QV_LayoutView(true, 8, 12, 12);
        content->PushH(ALIGN_LEFT, 8);
        fModalButton = Add(content, new QV_Button("Modal...", kModal, 64, true, 3), "modal");
        Add(content, new QV_Button("Modeless...", kModeless, 64, false, 3), "modeless");
        fPopupButton = Add(content, new QV_ShortButton("Popup", kPopup), "popup");
        Add(content, new QV_Button("Alert...", kAlert, 64, false, 3), "alert");
        content->AddChild(new QV_Divider(true), ALIGN_FILL);
        Add(content, new QV_Button("Open...", kOpen, 64, false, 3), "open");
        Add(content, new QV_Button("Save...", kSave, 64, false, 3), "save");
        content->Pop();
        content->PushH(ALIGN_LEFT, 8);
        Add(content, new QV_Button("Shell open", kShellOpen, 0, false, 3), "shellopen");
        Add(content, new QV_Button("Open URL", kOpenURL, 0, false, 3), "openurl");
        fToggle = Add(content,
            new QV_Button(GetResourceImage("information"), "A toggle with a tip", true, kToggle, 3),
            "toggle");
        auto* picture = new QV_StaticPicture(GetResourceImage("question"), "Opens the web page");
        picture->fLink = "https://example.com/help?topic=widgets&lang=en";
        Add(content, picture, "picture");
        content->Pop();
        content->AddChild(new QV_Divider(false), ALIGN_FILL);

        auto* box = new QV_Box("Fields");
        auto* fields = new QV_LayoutView(true, 4, 0, 0);
        for (int32_t type = 0; type < 8; ++type) {
            fields->PushH(ALIGN_LEFT, 8);
            auto* label = new QV_StaticText(kFieldNames[type]);
            label->ResetSize(80, label->Size().y);
            fields->AddChild(label);
            const char* start = type == FIELD_MULTILINE ? "two\rlines" : "";
            fFields[type] = new QV_TextControl(200, start, kFieldBase + type, type);
            if (type == FIELD_MULTILINE)
                fFields[type]->ResetSize(200, 40);
            fields->AddChild(fFields[type]);
            fields->Pop();
        }
        box->AddChild(fields);
        content->AddChild(box, ALIGN_LEFT);
        fStatus = new QV_DynamicText("Ready", 300, QV_DynamicText::kAlignLeft);
        content->AddChild(fStatus, ALIGN_LEFT);
        AddView(content);
        Layout();
    }

    template <class T> T* Add(QV_LayoutView* content, T* widget, const char* name)
    {
        content->AddChild(widget);
        fNamed.push_back({ name, widget });
        return widget;
    }

    // Where the named widgets' centres are on the screen.
    void SayPlaces()
    {
        int32_t x = 0;
        int32_t y = 0;
        PlatWindowClientPosition(fWindow->fHwnd, x, y);
        Say("window " + std::to_string(x) + " " + std::to_string(y));
        auto place = [&](const std::string& name, QV_View* view) {
            const QV_Point at = view->ConvertToWindow({ view->Size().x / 2, view->Size().y / 2 });
            Say("at " + name + " " + std::to_string(x + at.x) + " " + std::to_string(y + at.y));
        };
        for (const auto& [name, view] : fNamed)
            place(name, view);
        for (int32_t type = 0; type < 8; ++type)
            place(std::string("field-") + kFieldNames[type], fFields[type]);
    }

    void HandleMessage(QV_Message* message) override
    {
        const int32_t what = message->fWhat;
        if (what >= kFieldBase && what < kFieldBase + 8) {
            Say(std::string("commit ") + kFieldNames[what - kFieldBase] + " "
                + fFields[what - kFieldBase]->Value());
            fStatus->SetValue(fFields[what - kFieldBase]->Value());
            return;
        }
        if (what == kChosen) {
            QV_String path;
            message->FindString("path", path);
            Say(std::string("path ") + path.CString());
            return;
        }
        Say("message " + std::to_string(what));
        switch (what) {
        case kModal: {
            const int32_t result = (new NumberDialog(fWindow, &fNumber))->DoModal();
            Say("modal " + std::to_string(result) + " " + std::to_string(int(fNumber)));
            break;
        }
        case kModeless: {
            if (fModeless && !fModeless->Gone())
                break;
            auto* dialog = new NumberDialog(fWindow, &fNumber);
            dialog->DoModeless();
            fModeless = std::make_unique<QV_Wnd::Watch>(dialog->fWindow);
            break;
        }
        case kPopup: {
            if (!fPopup)
                fPopup = new NumberDialog(nullptr, &fNumber);
            const QV_Rect frame = fPopupButton->FrameInLayer();
            fPopup->ShowPopup(fWindow, frame.left, frame.bottom + 2, false);
            break;
        }
        case kAlert: {
            const int32_t answer = Alert(fWindow, ALERT_QUESTION, "Keep the changes?",
                "Yes keeps, No drops them.", nullptr, "Yes", "No", "Cancel");
            Say("answer " + std::to_string(answer));
            break;
        }
        case kOpen:
            Say(std::string("open ")
                + (RunOpenFileDialog("Open", this, fWindow, kChosen, nullptr, nullptr) ? "1" : "0"));
            break;
        case kSave:
            RunSaveFileDialog("Save", this, fWindow, kChosen, "scene.celv", nullptr);
            break;
        case kShellOpen: {
            const char* home = std::getenv("HOME");
            ShellOpen(home ? home : "/");
            break;
        }
        case kOpenURL:
            OpenURL("https://example.com/?a=1&b=<2>");
            break;
        case kToggle:
            Say(std::string("toggle ") + (fToggle->Value() ? "on" : "off"));
            break;
        default:
            break;
        }
    }

    ~DemoLayer() override { delete fPopup; }
    bool TabNavigation() override { return true; }

    std::vector<std::pair<std::string, QV_View*>> fNamed;
    QV_TextControl* fFields[8] = {};
    QV_Button* fModalButton = nullptr;
    QV_ShortButton* fPopupButton = nullptr;
    QV_Button* fToggle = nullptr;
    QV_DynamicText* fStatus = nullptr;
    NumberDialog* fPopup = nullptr;
    // The window of the modeless dialog while it is open.
    std::unique_ptr<QV_Wnd::Watch> fModeless;
    float fNumber = 50;
};

// Takes the OK and Cancel of the popup (they climb to the window that hosts
// it) and what the modeless dialog's buttons send on.
class DemoWnd : public QV_Wnd {
public:
    DemoWnd(DemoLayer* layer, int32_t width, int32_t height)
        : QV_Wnd(0, "Widgets", false, nullptr, 0, 0, width - 1, height - 1)
        , fDemo(layer)
    {
    }
    void HandleMessage(QV_Message* message) override
    {
        NumberDialog* popup = fDemo->fPopup;
        const int32_t what = message->fWhat;
        if (popup && popup->fWindow == this && (what == MSG_OK || what == MSG_CANCEL)) {
            if (what == MSG_OK) {
                if (!popup->OnValidate())
                    return;
                popup->ExchangeData(true);
            }
            Say(std::string("popup ") + (what == MSG_OK ? "ok " : "cancel ") + popup->fField->Value());
            popup->ClosePopup();
            return;
        }
        if (what == MSG_OK || what == MSG_CANCEL) {
            Say("message " + std::to_string(what));
            // The modeless dialog's buttons close its window (which applies
            // its values when they are valid) once the button is done.
            if (fCloseTimer == 0)
                fCloseTimer = AddTimer(0.01f, this, kCloseModeless);
            return;
        }
        if (what == kCloseModeless) {
            RemoveTimer(fCloseTimer);
            fCloseTimer = 0;
            for (int32_t i = 0; i < gWindowList.fCount; ++i) {
                auto* window = dynamic_cast<QV_ModelessDialogWnd*>(
                    WindowOfHandle(static_cast<PlatWindow*>(gWindowList.fItems[i])));
                if (window && window->QuitRequested()) {
                    PlatWindowDestroy(window->fHwnd);
                    break;
                }
            }
        }
    }
    uint32_t fCloseTimer = 0;
    DemoLayer* fDemo;
};

} // namespace

int RunMenusDemo();

int main(int argc, char** argv)
{
    if (argc > 1 && std::string(argv[1]) == "menus")
        return RunMenusDemo();
    if (argc > 1 && std::string(argv[1]) == "controls")
        return RunControlsDemo();
    if (argc > 1 && std::string(argv[1]) == "codec")
        return RunCodecDemo(argc, argv);
    ToolkitStartup();
    PlatSetBeepHook([] { Say("beep"); });
    {
        QV_App app;
        auto* layer = new DemoLayer;
        const QV_Rect frame = layer->Frame();
        auto* window = new DemoWnd(layer, frame.right + 1, frame.bottom + 1);
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
        while (PlatWindowFromId(id) && PlatPumpMessage() > 0) { }
        if (PlatWindowFromId(id))
            PlatWindowDestroy(window->fHwnd);
    }
    ToolkitShutdown();
    return 0;
}
