#include "qv_alert.h"

#include <algorithm>
#include <cctype>

#include "interface_colors.h"
#include "interface_fonts.h"
#include "plat_beep.h"
#include "qv_app.h"
#include "qv_button.h"
#include "qv_dialog.h"
#include "qv_font.h"
#include "qv_graphics.h"
#include "qv_keys.h"
#include "qv_layout_view.h"
#include "qv_message.h"
#include "qv_static_picture.h"
#include "qv_static_text.h"
#include "resource_images.h"

namespace {

int32_t FirstKey(const char* label)
{
    if (!label)
        return -1;
    return std::tolower(static_cast<unsigned char>(label[0]));
}

} // namespace

const char* AlertIconName(int32_t kind)
{
    switch (kind) {
    case ALERT_INFO:
        return "information";
    case ALERT_WARNING:
        return "exclamation";
    case ALERT_QUESTION:
        return "question";
    default:
        return nullptr;
    }
}

AlertLayer::AlertLayer(int32_t kind, const char* line1, const char* line2, const char* line3,
    const char* label1, const char* label2, const char* label3)
    : QV_Layer(FOLLOW_LEFT | FOLLOW_TOP | FOLLOW_RIGHT | FOLLOW_BOTTOM)
    , fKind(kind)
    , fCancelId(-1)
    , fButton1(nullptr)
    , fButton2(nullptr)
    , fButton3(nullptr)
    , fKey1(-1)
    , fKey2(-1)
    , fKey3(-1)
{
    const char* labels[3] = { label1, label2, label3 };
    int32_t widest = 0;
    for (const char* label : labels) {
        if (label && gMenuFont)
            widest = std::max(widest, std::max(0, gMenuFont->StringWidth(label)));
    }
    const int32_t buttonWidth = std::max(48, widest + 32);
    fKey1 = FirstKey(label1);
    fKey2 = FirstKey(label2);
    fKey3 = FirstKey(label3);
    if (label2)
        fCancelId = -2;
    if (label3)
        fCancelId = -3;
    if ((fKey2 != -1 && fKey2 == fKey1) || (fKey3 != -1 && (fKey3 == fKey1 || fKey3 == fKey2)))
        fKey1 = fKey2 = fKey3 = -1;

    auto* content = new QV_LayoutView(true, 8, 8, 8);
    content->PushH(ALIGN_LEFT, 8);
    if (const char* icon = AlertIconName(kind))
        content->AddChild(new QV_StaticPicture(GetResourceImage(icon), nullptr), ALIGN_CENTER);
    content->PushV(ALIGN_CENTER, 0);
    for (const char* line : { line1, line2, line3 }) {
        if (line)
            content->AddChild(new QV_StaticText(line), ALIGN_LEFT);
    }
    content->Pop();
    content->Pop();
    content->PushH(ALIGN_RIGHT, 8);
    QV_Button** buttons[3] = { &fButton1, &fButton2, &fButton3 };
    for (int32_t i = 0; i < 3; ++i) {
        if (!labels[i])
            continue;
        *buttons[i] = new QV_Button(labels[i], -1 - i, buttonWidth, i == 0, FOLLOW_LEFT | FOLLOW_TOP);
        // Every button is as wide as the widest label asks.
        (*buttons[i])->ResizeTo(buttonWidth, (*buttons[i])->Size().y);
        content->AddChild(*buttons[i], ALIGN_CENTER);
    }
    content->Pop();
    AddView(content);
}

void AlertLayer::KeyDown(int32_t key, int32_t modifiers)
{
    QV_Layer::KeyDown(key, modifiers);
    if (key == KEY_RETURN) {
        if (fButton1)
            PressButton(fButton1);
        else
            PostMessage(-1);
        return;
    }
    if (key == KEY_ESCAPE) {
        QV_Button* last = fButton3 ? fButton3 : fButton2 ? fButton2 : fButton1;
        if (last)
            PressButton(last);
        else
            PostMessage(fCancelId);
        return;
    }
    if (key < 0 || key > 255)
        return;
    const int32_t lower = std::tolower(key);
    const int32_t keys[3] = { fKey1, fKey2, fKey3 };
    QV_Button* buttons[3] = { fButton1, fButton2, fButton3 };
    for (int32_t i = 0; i < 3; ++i) {
        if (keys[i] != -1 && keys[i] == lower) {
            PressButton(buttons[i]);
            return;
        }
    }
}

void AlertLayer::Draw()
{
    if (QV_Graphics* graphics = GetGraphics()) {
        graphics->BeginDraw();
        const QV_Rect bounds = Bounds();
        graphics->FillGradientRect(
            0, true, BoxGradient1, BoxGradient2, bounds.left, bounds.top, bounds.right, bounds.bottom);
        graphics->EndDraw();
    }
    QV_Layer::Draw();
}

AlertWnd::AlertWnd(QV_Wnd* parent, int32_t kind, const char* line1, const char* line2, const char* line3,
    const char* label1, const char* label2, const char* label3)
    : QV_Wnd(2, gApp ? gApp->fName.CString() : "", false, parent, 64, 64, 128, 128)
    , fAlertLayer(new AlertLayer(kind, line1, line2, line3, label1, label2, label3))
{
    fAlertLayer->Layout();
    const QV_Rect frame = fAlertLayer->Frame();
    ResizeTo(frame.right - frame.left + 1, frame.bottom - frame.top + 1);
    AddLayer(fAlertLayer);
}

void AlertWnd::HandleMessage(QV_Message* message)
{
    if (message && message->fWhat <= -1 && message->fWhat >= -3) {
        EndModal(true, -1 - message->fWhat);
        return;
    }
    QV_Wnd::HandleMessage(message);
}

int32_t Alert(QV_Wnd* parent, int32_t kind, const char* line1, const char* line2, const char* line3,
    const char* label1, const char* label2, const char* label3)
{
    auto* window = new AlertWnd(parent, kind, line1, line2, line3, label1, label2, label3);
    if (!window->fHwnd) {
        delete window;
        return 0;
    }
    window->Center();
    PlatBeep();
    return window->RunModal();
}
