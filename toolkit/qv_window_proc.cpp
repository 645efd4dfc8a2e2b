// The window procedure: system events of a toolkit window become calls of
// its operations, under the window's mutex.
#include <vector>

#include "key_translation.h"
#include "message_ids.h"
#include "plat_cursor.h"
#include "plat_event.h"
#include "plat_mutex.h"
#include "plat_tablet.h"
#include "plat_window.h"
#include "qv_app.h"
#include "qv_cursor.h"
#include "qv_keys.h"
#include "qv_message.h"
#include "qv_wnd.h"
#include "utf_convert.h"

namespace {

// Alt without Ctrl makes a key a system key: its press and release are not
// delivered, only the characters it types (Ctrl with Alt is AltGr).
bool IsSystemKey(int32_t modifiers)
{
    return (modifiers & MODIFIER_ALT) && !(modifiers & MODIFIER_CTRL);
}

// The record of a mouse event: position, modifiers, pressure.
void FillMouseRecord(QV_Message& record, int32_t x, int32_t y, int32_t modifiers, float pressure)
{
    record.AddPoint("where", x, y);
    record.AddInt("modifiers", modifiers);
    record.AddFloat("pressure", pressure);
}

float CurrentPressure()
{
    if (gTabletPresent)
        gPenPressure = PlatTabletPressure();
    return gPenPressure;
}

} // namespace

void QV_Wnd::WndProc(void* user, PlatWindow*, const PlatEvent& event)
{
    auto* window = static_cast<QV_Wnd*>(user);
    if (!window)
        return;
    if (event.type == PlatEventType::Destroy) {
        // The tablet stays open for the program's other windows; only the
        // window it was opened on is forgotten.
        if (window->fHwnd == gTabletWindow)
            gTabletWindow = nullptr;
        window->Closed();
        delete window;
        return;
    }
    PlatMutexLock(window->fWndMutex);
    Watch watch(window);
    window->HandleEvent(event);
    // A window destroyed while handling took its mutex with it.
    if (!watch.Gone())
        PlatMutexUnlock(window->fWndMutex);
}

void QV_Wnd::HandleEvent(const PlatEvent& event)
{
    const int32_t modifiers = event.modifiers;
    switch (event.type) {
    case PlatEventType::Close:
        if (!QuitRequested())
            break;
        if (fInModal)
            EndModal(true, MSG_CANCEL);
        else
            PlatWindowDestroy(fHwnd);
        break;
    case PlatEventType::Expose:
    case PlatEventType::WakeUp: {
        const QV_Rect bounds = Bounds();
        RedrawRect(bounds.left, bounds.top, bounds.right, bounds.bottom);
        break;
    }
    case PlatEventType::Resized:
        // A minimised window reports no size: nothing follows it.
        if (event.width > 0 && event.height > 0)
            FollowClientSize(event.width, event.height);
        break;
    case PlatEventType::FocusGained:
        Activated(true);
        break;
    case PlatEventType::FocusLost:
        Activated(false);
        break;
    case PlatEventType::MouseLeft:
        fMouseInside = false;
        break;
    case PlatEventType::KeyDown:
        if (!IsSystemKey(modifiers)) {
            if (const int32_t code = KeyCodeFromVirtualKey(event.key))
                KeyDown(code, modifiers);
        }
        break;
    case PlatEventType::KeyUp:
        if (!IsSystemKey(modifiers)) {
            int32_t code = KeyCodeFromVirtualKey(event.key);
            if (code == 0)
                code = VirtualKeyCode(event.key);
            if (code != 0)
                KeyUp(code, modifiers);
        }
        break;
    case PlatEventType::Char:
        CharTyped(event.key, modifiers);
        break;
    case PlatEventType::Text: {
        // Characters are delivered as UTF-16 units, one KeyDown each.
        std::vector<char16_t> units(event.text.size() + 1);
        const char* source = event.text.data();
        char16_t* target = units.data();
        ConvertUTF8toUTF16(
            &source, event.text.data() + event.text.size(), &target, units.data() + units.size());
        Watch watch(this);
        for (const char16_t* unit = units.data(); unit < target && !watch.Gone(); ++unit)
            CharTyped(*unit, modifiers);
        break;
    }
    case PlatEventType::Timer:
        Timer(event.timerId);
        break;
    case PlatEventType::MouseMoved: {
        QV_Message record;
        FillMouseRecord(record, event.x, event.y, modifiers, CurrentPressure());
        fMouseInside = true;
        Watch watch(this);
        MouseMoved(modifiers, &record, event.x, event.y);
        if (!watch.Gone())
            UpdateCursor();
        break;
    }
    case PlatEventType::MouseDown: {
        QV_Message record;
        FillMouseRecord(record, event.x, event.y, modifiers, CurrentPressure());
        MouseDown(event.x, event.y, event.button, modifiers, &record);
        PlatCaptureMouse(true);
        break;
    }
    case PlatEventType::MouseUp: {
        QV_Message record;
        FillMouseRecord(record, event.x, event.y, modifiers, 0.0f);
        MouseUp(event.x, event.y, event.button, modifiers, &record);
        PlatCaptureMouse(false);
        break;
    }
    case PlatEventType::MouseWheel: {
        QV_Message record;
        record.AddFloat("wheelDistance", event.wheel);
        FillMouseRecord(record, event.x, event.y, modifiers, CurrentPressure());
        MouseWheel(event.wheel, modifiers, &record, event.x, event.y);
        break;
    }
    case PlatEventType::FileDropped:
        FileDropped(event.text.c_str(), event.x, event.y, modifiers);
        break;
    default:
        break;
    }
}

void QV_Wnd::Activated(bool active)
{
    // The pen reports pressure to the program only while the window the
    // tablet was opened on is active. Window managers draw the captions of
    // inactive windows themselves.
    if (gApp && gTabletContext && fHwnd == gTabletWindow)
        PlatTabletEnable(active);
}

void QV_Wnd::UpdateCursor()
{
    if (!gCursorsDisabled && fMouseInside && fCursor)
        PlatCursorShow(fCursor->fHandle);
    else
        PlatCursorShowArrow();
}

void QV_Wnd::FollowClientSize(int32_t width, int32_t height)
{
    if (width == fLaidOutWidth && height == fLaidOutHeight)
        return;
    const int32_t oldWidth = fLaidOutWidth;
    const int32_t oldHeight = fLaidOutHeight;
    fLaidOutWidth = width;
    fLaidOutHeight = height;
    FrameResized(oldWidth, oldHeight, width, height);
    Bounds();
}
