#include "plat_pump.h"

#include <algorithm>
#include <atomic>
#include <deque>
#include <vector>

#include "plat_quit_signals.h"
#include "plat_sdl_internal.h"
#include "plat_time.h"
#include "plat_video.h"
#include "plat_window.h"

namespace {

struct Timer {
    uint32_t windowId;
    uint32_t id;
    uint32_t asked; // the period as set
    uint32_t period; // the period kept, at least kMinTimerPeriod
    uint32_t due;
};

// Shorter periods would keep the interface thread from everything else.
constexpr uint32_t kMinTimerPeriod = 10;

// Interface thread only.
std::vector<Timer> gTimers;
std::atomic<bool> gQuitPosted { false };
std::atomic<uint32_t> gWakeUpType { 0 };
std::deque<int32_t> gSimulatedModifiers;
void (*gQuitRequestHandler)() = nullptr;

void AskToQuit()
{
    if (gQuitRequestHandler)
        gQuitRequestHandler();
    else
        gQuitPosted.store(true);
}

// Signed distance on the wrapping millisecond clock.
int32_t MsUntil(uint32_t due, uint32_t now)
{
    return static_cast<int32_t>(due - now);
}

int32_t ModifiersOf(uint16_t state)
{
    int32_t modifiers = 0;
    if (state & KMOD_SHIFT)
        modifiers |= kPlatShift;
    if (state & KMOD_CTRL)
        modifiers |= kPlatCtrl;
    if (state & KMOD_ALT)
        modifiers |= kPlatAlt;
    return modifiers;
}

int32_t Modifiers()
{
    return ModifiersOf(SDL_GetModState());
}

int32_t MouseModifiers(uint32_t which)
{
    return which == kPlatSimulatedMouse ? PlatPopSimulatedModifiers() : Modifiers();
}

int32_t ButtonOf(uint8_t sdlButton)
{
    switch (sdlButton) {
    case SDL_BUTTON_LEFT:
        return kPlatLeftButton;
    case SDL_BUTTON_RIGHT:
        return kPlatRightButton;
    case SDL_BUTTON_MIDDLE:
        return kPlatMiddleButton;
    default:
        return 0;
    }
}

int32_t KeyOf(SDL_Keycode code)
{
    // Keypad Enter and the second Return key are Return.
    if (code == SDLK_KP_ENTER || code == SDLK_RETURN2)
        return kPlatKeyReturn;
    if (const int32_t key = PlatKeyOfSdlKey(code))
        return key;
    // Key codes of character keys are the characters themselves.
    if (code > 0 && !(code & SDLK_SCANCODE_MASK))
        return code;
    return 0;
}

// The character a key press yields besides any text (see PlatEventType::Char),
// or 0. The text of printable keys comes separately, as text input.
int32_t CharOfKey(const SDL_Keysym& keysym)
{
    const bool ctrl = (keysym.mod & KMOD_CTRL) != 0;
    const bool alt = (keysym.mod & KMOD_ALT) != 0;
    switch (keysym.sym) {
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
    case SDLK_RETURN2:
        return ctrl ? 0 : 13;
    case SDLK_TAB:
        return ctrl ? 0 : 9;
    case SDLK_BACKSPACE:
        return ctrl ? 0 : 8;
    case SDLK_ESCAPE:
        return ctrl ? 0 : 27;
    default:
        break;
    }
    if (!ctrl || alt)
        return 0;
    if (keysym.sym >= 'a' && keysym.sym <= 'z')
        return keysym.sym - 'a' + 1;
    switch (keysym.sym) {
    case ' ':
        return ' ';
    case '[':
        return 27;
    case '\\':
        return 28;
    case ']':
        return 29;
    default:
        break;
    }
    // Layouts without Latin letters: the key's place names the letter.
    if (keysym.sym > 127 && keysym.scancode >= SDL_SCANCODE_A && keysym.scancode <= SDL_SCANCODE_Z)
        return keysym.scancode - SDL_SCANCODE_A + 1;
    return 0;
}

// Input that a disabled window does not get.
bool IsInput(PlatEventType type)
{
    switch (type) {
    case PlatEventType::Close:
    case PlatEventType::MouseMoved:
    case PlatEventType::MouseDown:
    case PlatEventType::MouseUp:
    case PlatEventType::MouseWheel:
    case PlatEventType::MouseLeft:
    case PlatEventType::KeyDown:
    case PlatEventType::KeyUp:
    case PlatEventType::Char:
    case PlatEventType::Text:
    case PlatEventType::FileDropped:
        return true;
    default:
        return false;
    }
}

// Translates one SDL event into at most two of ours (a key press and its
// character); 0 for events that no window takes.
int Translate(const SDL_Event& sdl, uint32_t& windowId, PlatEvent* events)
{
    PlatEvent& event = events[0];
    switch (sdl.type) {
    case SDL_WINDOWEVENT:
        windowId = sdl.window.windowID;
        switch (sdl.window.event) {
        case SDL_WINDOWEVENT_CLOSE:
            event.type = PlatEventType::Close;
            return 1;
        case SDL_WINDOWEVENT_EXPOSED:
            event.type = PlatEventType::Expose;
            return 1;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            event.type = PlatEventType::Resized;
            event.width = sdl.window.data1;
            event.height = sdl.window.data2;
            return 1;
        case SDL_WINDOWEVENT_LEAVE:
            event.type = PlatEventType::MouseLeft;
            return 1;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            event.type = PlatEventType::FocusGained;
            return 1;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            event.type = PlatEventType::FocusLost;
            return 1;
        default:
            return 0;
        }
    case SDL_MOUSEMOTION:
        windowId = sdl.motion.windowID;
        event.type = PlatEventType::MouseMoved;
        event.x = sdl.motion.x;
        event.y = sdl.motion.y;
        event.modifiers = MouseModifiers(sdl.motion.which);
        return 1;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        windowId = sdl.button.windowID;
        event.type = sdl.type == SDL_MOUSEBUTTONDOWN ? PlatEventType::MouseDown : PlatEventType::MouseUp;
        event.button = ButtonOf(sdl.button.button);
        event.x = sdl.button.x;
        event.y = sdl.button.y;
        event.modifiers = MouseModifiers(sdl.button.which);
        return event.button != 0 ? 1 : 0;
    case SDL_MOUSEWHEEL:
        windowId = sdl.wheel.windowID;
        event.type = PlatEventType::MouseWheel;
        event.wheel = sdl.wheel.preciseY;
        if (sdl.wheel.direction == SDL_MOUSEWHEEL_FLIPPED)
            event.wheel = -event.wheel;
        event.x = sdl.wheel.mouseX;
        event.y = sdl.wheel.mouseY;
        event.modifiers = MouseModifiers(sdl.wheel.which);
        return event.wheel != 0 ? 1 : 0;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        windowId = sdl.key.windowID;
        event.type = sdl.type == SDL_KEYDOWN ? PlatEventType::KeyDown : PlatEventType::KeyUp;
        event.key = KeyOf(sdl.key.keysym.sym);
        event.modifiers = ModifiersOf(sdl.key.keysym.mod);
        if (sdl.type == SDL_KEYDOWN) {
            if (const int32_t character = CharOfKey(sdl.key.keysym)) {
                events[1].type = PlatEventType::Char;
                events[1].key = character;
                events[1].modifiers = event.modifiers;
                return 2;
            }
        }
        return 1;
    case SDL_TEXTINPUT:
        windowId = sdl.text.windowID;
        event.type = PlatEventType::Text;
        event.text = sdl.text.text;
        event.modifiers = Modifiers();
        return 1;
    case SDL_DROPFILE: {
        windowId = sdl.drop.windowID;
        if (windowId == 0) {
            SDL_Window* focus = SDL_GetMouseFocus();
            windowId = focus ? SDL_GetWindowID(focus) : 0;
        }
        event.type = PlatEventType::FileDropped;
        event.text = sdl.drop.file ? sdl.drop.file : "";
        // Drags report no position: the files land where the pointer was
        // last seen over the window.
        if (PlatWindow* window = PlatWindowFromSdlId(windowId)) {
            event.x = window->pointerX;
            event.y = window->pointerY;
        }
        event.modifiers = Modifiers();
        return event.text.empty() ? 0 : 1;
    }
    default:
        if (sdl.type == gWakeUpType.load() && sdl.type != 0) {
            windowId = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(sdl.user.data1));
            event.type = PlatEventType::WakeUp;
            return windowId != 0 ? 1 : 0;
        }
        return 0;
    }
}

// Hands over one event; false when it was dropped.
bool Dispatch(SDL_Event& sdl)
{
    uint32_t windowId = 0;
    PlatEvent events[2];
    const int count = Translate(sdl, windowId, events);
    if (sdl.type == SDL_DROPFILE || sdl.type == SDL_DROPTEXT)
        SDL_free(sdl.drop.file);
    bool delivered = false;
    for (int i = 0; i < count; ++i) {
        // The handler of the first may have destroyed or disabled the window.
        PlatWindow* window = PlatWindowFromSdlId(windowId);
        if (!window || window->destroying)
            break;
        const PlatEvent& event = events[i];
        if (event.type == PlatEventType::MouseMoved || event.type == PlatEventType::MouseDown
            || event.type == PlatEventType::MouseUp) {
            window->pointerX = event.x;
            window->pointerY = event.y;
        }
        if (!window->enabled && IsInput(event.type))
            continue;
        PlatDeliver(window, event);
        delivered = true;
    }
    return delivered;
}

// Fires the most overdue timer; false when none is due.
bool FireDueTimer(uint32_t now)
{
    auto due = gTimers.end();
    for (auto it = gTimers.begin(); it != gTimers.end(); ++it) {
        if (MsUntil(it->due, now) <= 0 && (due == gTimers.end() || MsUntil(it->due, due->due) < 0))
            due = it;
    }
    if (due == gTimers.end())
        return false;
    // A late timer fires once, not once for every period it missed, and then
    // keeps its rhythm from now.
    due->due = now + due->period;
    const uint32_t windowId = due->windowId;
    PlatEvent event;
    event.type = PlatEventType::Timer;
    event.timerId = due->id;
    PlatWindow* window = PlatWindowFromSdlId(windowId);
    if (!window)
        return false;
    PlatDeliver(window, event);
    return true;
}

// Milliseconds until the next timer is due, or -1 without timers.
int32_t WaitLimit(uint32_t now)
{
    int32_t limit = -1;
    for (const Timer& timer : gTimers) {
        int32_t left = std::max(0, MsUntil(timer.due, now));
        if (limit < 0 || left < limit)
            limit = left;
    }
    return limit;
}

} // namespace

void PlatPushSimulatedModifiers(int32_t modifiers)
{
    gSimulatedModifiers.push_back(modifiers);
}

int32_t PlatPopSimulatedModifiers()
{
    if (gSimulatedModifiers.empty())
        return Modifiers();
    const int32_t modifiers = gSimulatedModifiers.front();
    gSimulatedModifiers.pop_front();
    return modifiers;
}

void PlatClearSimulatedModifiers()
{
    gSimulatedModifiers.clear();
}

void PlatRegisterWakeUpEvent()
{
    if (gWakeUpType.load() == 0) {
        uint32_t type = SDL_RegisterEvents(1);
        if (type != static_cast<uint32_t>(-1))
            gWakeUpType.store(type);
    }
}

uint32_t PlatWakeUpEventType()
{
    return gWakeUpType.load();
}

void PlatDropTimers(uint32_t windowId)
{
    gTimers.erase(std::remove_if(gTimers.begin(), gTimers.end(),
                      [windowId](const Timer& timer) { return timer.windowId == windowId; }),
        gTimers.end());
}

int32_t PlatPumpMessage()
{
    const int32_t result = PlatPumpMessageWithin(kPlatPumpWaitForever);
    return result == kPlatPumpTimedOut ? -1 : result;
}

int32_t PlatPumpMessageWithin(uint32_t timeoutMs)
{
    if (!PlatVideoRunning())
        return -1;
    const uint32_t start = PlatTickCount();
    for (;;) {
        if (PlatTakeQuitSignal()) {
            AskToQuit();
            return 1;
        }
        SDL_Event sdl;
        if (SDL_PollEvent(&sdl)) {
            if (sdl.type == SDL_QUIT) {
                AskToQuit();
                return 1;
            }
            if (Dispatch(sdl))
                return 1;
            continue;
        }
        if (gQuitPosted.exchange(false))
            return 0;
        const uint32_t now = PlatTickCount();
        if (FireDueTimer(now))
            return 1;
        int32_t limit = WaitLimit(now);
        if (timeoutMs != kPlatPumpWaitForever) {
            const uint32_t waited = now - start;
            if (waited >= timeoutMs)
                return kPlatPumpTimedOut;
            const int32_t left = static_cast<int32_t>(std::min<uint32_t>(timeoutMs - waited, 0x7FFFFFFF));
            limit = limit < 0 ? left : std::min(limit, left);
        }
        if (limit < 0) {
            if (!SDL_WaitEvent(nullptr))
                return -1;
        } else {
            // Zero on time-out as on failure: either way the timers are due
            // or the time is up.
            SDL_WaitEventTimeout(nullptr, std::max(1, limit));
        }
    }
}

void PlatSetQuitRequestHandler(void (*handler)())
{
    gQuitRequestHandler = handler;
}

void PlatPostQuit()
{
    gQuitPosted.store(true);
}

void PlatClearQuit()
{
    gQuitPosted.store(false);
}

bool PlatPostWakeUp(uint32_t windowId)
{
    const uint32_t type = gWakeUpType.load();
    if (type == 0 || windowId == 0 || !SDL_WasInit(SDL_INIT_EVENTS))
        return false;
    SDL_Event event {};
    event.type = type;
    event.user.data1 = reinterpret_cast<void*>(static_cast<uintptr_t>(windowId));
    return SDL_PushEvent(&event) == 1;
}

bool PlatSetTimer(PlatWindow* window, uint32_t id, uint32_t periodMs)
{
    if (!window || window->destroying)
        return false;
    const uint32_t period = std::max(periodMs, kMinTimerPeriod);
    const uint32_t due = PlatTickCount() + period;
    for (Timer& timer : gTimers) {
        if (timer.windowId == window->id && timer.id == id) {
            timer.asked = periodMs;
            timer.period = period;
            timer.due = due;
            return true;
        }
    }
    gTimers.push_back({ window->id, id, periodMs, period, due });
    return true;
}

void PlatKillTimer(PlatWindow* window, uint32_t id)
{
    if (!window)
        return;
    const uint32_t windowId = window->id;
    gTimers.erase(
        std::remove_if(gTimers.begin(), gTimers.end(),
            [windowId, id](const Timer& timer) { return timer.windowId == windowId && timer.id == id; }),
        gTimers.end());
}

bool PlatTimerPeriod(PlatWindow* window, uint32_t id, uint32_t& periodMs)
{
    if (!window)
        return false;
    for (const Timer& timer : gTimers) {
        if (timer.windowId == window->id && timer.id == id) {
            periodMs = timer.asked;
            return true;
        }
    }
    return false;
}

int32_t PlatPumpOneNonInput()
{
    if (!PlatVideoRunning())
        return -1;
    SDL_PumpEvents();
    // Window events are taken out together; the one handled is the first that is no input,
    // the others go back to the queue.
    SDL_Event events[64];
    const int count = SDL_PeepEvents(events, 64, SDL_GETEVENT, SDL_WINDOWEVENT, SDL_WINDOWEVENT);
    int handled = -1;
    for (int i = 0; i < count && handled < 0; ++i) {
        const uint8_t kind = events[i].window.event;
        if (kind != SDL_WINDOWEVENT_CLOSE && kind != SDL_WINDOWEVENT_LEAVE)
            handled = i;
    }
    std::vector<SDL_Event> back;
    for (int i = 0; i < count; ++i) {
        if (i != handled)
            back.push_back(events[i]);
    }
    if (!back.empty())
        SDL_PeepEvents(back.data(), int(back.size()), SDL_ADDEVENT, 0, 0);
    if (handled >= 0) {
        Dispatch(events[handled]);
        return 1;
    }
    const uint32_t wakeUp = gWakeUpType.load();
    if (wakeUp != 0) {
        SDL_Event event;
        if (SDL_PeepEvents(&event, 1, SDL_GETEVENT, wakeUp, wakeUp) == 1) {
            Dispatch(event);
            return 1;
        }
    }
    return FireDueTimer(PlatTickCount()) ? 1 : 0;
}

int32_t PlatTakeMousePresses(PlatMousePress* presses, int32_t max)
{
    if (!PlatVideoRunning())
        return 0;
    SDL_PumpEvents();
    int32_t taken = 0;
    std::vector<SDL_Event> back;
    SDL_Event events[64];
    for (;;) {
        const int count = SDL_PeepEvents(events, 64, SDL_GETEVENT, SDL_MOUSEBUTTONDOWN, SDL_MOUSEBUTTONDOWN);
        if (count <= 0)
            break;
        for (int i = 0; i < count; ++i) {
            const int32_t button = ButtonOf(events[i].button.button);
            if (button != kPlatLeftButton && button != kPlatRightButton) {
                back.push_back(events[i]);
                continue;
            }
            if (presses && taken < max) {
                PlatWindow* window = PlatWindowFromSdlId(events[i].button.windowID);
                presses[taken] = { PlatWindowId(window), events[i].button.x, events[i].button.y, button };
            }
            taken++;
        }
    }
    if (!back.empty())
        SDL_PeepEvents(back.data(), int(back.size()), SDL_ADDEVENT, 0, 0);
    return taken;
}
