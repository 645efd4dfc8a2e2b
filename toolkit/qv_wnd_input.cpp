// Mouse and keyboard input of a window: the routing to its layers.
#include <cstdlib>

#include "key_translation.h"
#include "plat_time.h"
#include "qv_keys.h"
#include "qv_layer.h"
#include "qv_message.h"
#include "qv_view.h"
#include "qv_wnd.h"

namespace {

// Two presses this close in time and place make a double-click, whatever
// their buttons.
constexpr float kDoubleClickSeconds = 0.5f;
constexpr int32_t kDoubleClickDistance = 3;

void SetButton(QV_Wnd& window, int32_t button, bool down)
{
    switch (button) {
    case 1:
        window.fLeftDown = down;
        break;
    case 2:
        window.fRightDown = down;
        break;
    case 4:
        window.fMiddleDown = down;
        break;
    default:
        break;
    }
}

// The character of a key typed with Alt (and without Ctrl): printable ones
// arrive as they are, the control keys as their KEY_ code, others not at all.
int32_t SystemCharacterCode(int32_t code)
{
    if (code >= 32 && code <= 126)
        return code;
    switch (code) {
    case 8:
        return KEY_BACKSPACE;
    case 9:
        return KEY_TAB;
    case 13:
        return KEY_RETURN;
    case 27:
        return KEY_ESCAPE;
    default:
        return 0;
    }
}

} // namespace

void QV_Wnd::MouseDown(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message)
{
    Watch watch(this);
    if (QV_Wnd* parent = fParent) {
        // A press anywhere in an owned window lets go of everything in its
        // parent: open menus and popups close, pressed widgets release.
        Watch parentWatch(parent);
        QV_Message outside;
        parent->MouseDown(-100, -100, 1, 0, &outside);
        if (watch.Gone())
            return;
        if (!parentWatch.Gone()) {
            parent->fModifiers = 0;
            parent->fMouseX = -100;
            parent->fMouseY = -100;
            parent->fLeftDown = false;
            if (parent->fLayerCount > 0) {
                QV_Layer* layer = parent->fCaptureLayer ? parent->fCaptureLayer
                                                        : parent->fLayers[parent->fLayerCount - 1];
                const QV_Rect frame = layer->Frame();
                layer->MouseUp(-100 - frame.left, -100 - frame.top, 1, 0, &outside);
            }
            if (watch.Gone())
                return;
            if (!parentWatch.Gone())
                parent->fCaptureLayer = nullptr;
        }
    }

    fModifiers = modifiers;
    bool doubleClick = false;
    const uint32_t now = PlatTickCount();
    if (fHasClick) {
        fClickAge = static_cast<float>(now - fClickTick) / 1000.0f;
        doubleClick = fClickAge < kDoubleClickSeconds && std::abs(x - fClickX) < kDoubleClickDistance
            && std::abs(y - fClickY) < kDoubleClickDistance;
    }
    if (message)
        message->AddBool("doubleclick", doubleClick);
    fClickTick = now;
    fClickAge = 0;
    fHasClick = true;
    fClickX = fMouseX = x;
    fClickY = fMouseY = y;
    fCaptureLayer = nullptr;

    if (fLayerCount > 0) {
        QV_Layer* top = fLayers[fLayerCount - 1];
        const QV_Rect frame = top->Frame();
        if (frame.Contains(x, y)) {
            fCaptureLayer = top;
            top->MouseDown(x - frame.left, y - frame.top, button, modifiers, message);
        } else {
            top->MouseDownOutside(x - frame.left, y - frame.top, button, modifiers, message);
            if (watch.Gone())
                return;
            // The layers below, from the top down; the popup that was told
            // may have closed meanwhile.
            for (int32_t i = fLayerCount - 1; i >= 0; --i) {
                QV_Layer* layer = fLayers[i];
                const QV_Rect below = layer->Frame();
                if (layer == top || !below.Contains(x, y))
                    continue;
                fCaptureLayer = layer;
                layer->MouseDown(x - below.left, y - below.top, button, modifiers, message);
                break;
            }
        }
        if (watch.Gone())
            return;
    }
    SetButton(*this, button, true);
}

void QV_Wnd::MouseMoved(int32_t modifiers, QV_Message* message, int32_t x, int32_t y)
{
    fModifiers = modifiers;
    fCursor = nullptr;
    fMouseX = x;
    fMouseY = y;
    if (fLayerCount == 0)
        return;
    Watch watch(this);
    QV_Layer* capture = fCaptureLayer;
    if (capture) {
        const QV_Rect frame = capture->Frame();
        capture->MouseMoved(x - frame.left, y - frame.top, modifiers, message);
        if (watch.Gone())
            return;
    }
    for (int32_t i = fLayerCount - 1; i >= 0; --i) {
        if (i >= fLayerCount)
            continue;
        QV_Layer* layer = fLayers[i];
        if (layer == capture)
            continue;
        const QV_Rect frame = layer->Frame();
        layer->MouseMoved(x - frame.left, y - frame.top, modifiers, message);
        if (watch.Gone())
            return;
        if (frame.Contains(x, y))
            break;
    }
    // The capture layer may have left the window meanwhile.
    if (fCaptureLayer && fCaptureLayer->fCaptureView)
        fCursor = fCaptureLayer->fCaptureView->fCursor;
}

void QV_Wnd::MouseWheel(float distance, int32_t modifiers, QV_Message* message, int32_t x, int32_t y)
{
    fModifiers = modifiers;
    fCursor = nullptr;
    fMouseX = x;
    fMouseY = y;
    Watch watch(this);
    for (int32_t i = fLayerCount - 1; i >= 0; --i) {
        if (i >= fLayerCount)
            continue;
        QV_Layer* layer = fLayers[i];
        const QV_Rect frame = layer->Frame();
        layer->MouseWheel(distance, x - frame.left, y - frame.top, modifiers, message);
        if (watch.Gone())
            return;
        if (frame.Contains(x, y))
            break;
    }
}

void QV_Wnd::MouseUp(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message)
{
    fMouseX = x;
    fMouseY = y;
    fModifiers = modifiers;
    SetButton(*this, button, false);
    if (fLayerCount > 0) {
        QV_Layer* layer = fCaptureLayer ? fCaptureLayer : fLayers[fLayerCount - 1];
        const QV_Rect frame = layer->Frame();
        Watch watch(this);
        layer->MouseUp(x - frame.left, y - frame.top, button, modifiers, message);
        if (watch.Gone())
            return;
    }
    fCaptureLayer = nullptr;
}

bool QV_Wnd::PassesKeyOn(int32_t key, int32_t modifiers, int32_t layersBefore) const
{
    if (fKind != 5 || !fParent)
        return false;
    const bool closedPopup = fLayerCount == layersBefore - 1;
    const bool focused = fLayerCount > 0 && fLayers[fLayerCount - 1]->fFocusWidget;
    const bool shortcut = (modifiers & (MODIFIER_CTRL | MODIFIER_ALT)) && !IsEditingShortcutKey(key);
    return !closedPopup && !(focused && !shortcut);
}

void QV_Wnd::KeyDown(int32_t key, int32_t modifiers)
{
    fModifiers = modifiers;
    if (fLayerCount == 0)
        return;
    const int32_t before = fLayerCount;
    Watch watch(this);
    fLayers[fLayerCount - 1]->KeyDown(key, modifiers);
    if (!watch.Gone() && PassesKeyOn(key, modifiers, before))
        fParent->KeyDown(key, modifiers);
}

void QV_Wnd::KeyUp(int32_t key, int32_t modifiers)
{
    fModifiers = modifiers;
    if (fLayerCount == 0)
        return;
    const int32_t before = fLayerCount;
    Watch watch(this);
    fLayers[fLayerCount - 1]->KeyUp(key, modifiers);
    if (!watch.Gone() && PassesKeyOn(key, modifiers, before))
        fParent->KeyUp(key, modifiers);
}

void QV_Wnd::CharTyped(int32_t code, int32_t modifiers)
{
    const int32_t character = TranslateCharacter(code, modifiers);
    if (!(modifiers & MODIFIER_ALT) || (modifiers & MODIFIER_CTRL)) {
        KeyDown(character, modifiers);
        return;
    }
    if (const int32_t key = SystemCharacterCode(character))
        KeyDown(key, modifiers);
}
