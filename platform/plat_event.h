#pragma once
#include <cstdint>
#include <string>

// One input or window event, translated from the system's into plain values.
// Coordinates are client coordinates of the event's window.
enum class PlatEventType {
    Close, // the user asked to close the window
    Destroy, // sent by PlatWindowDestroy just before the window goes
    Expose, // the window's contents must be presented again
    Resized, // width, height: the new client size
    MouseMoved,
    MouseDown, // button
    MouseUp, // button
    MouseWheel, // wheel
    MouseLeft, // the pointer left the client area
    KeyDown, // key
    KeyUp, // key
    // key: the character code that a key press yields besides its text: 13,
    // 9, 8 and 27 for Return, Tab, Backspace and Escape without Ctrl; with
    // Ctrl (and without Alt) the control codes 1 to 26 for the letters, 27
    // for '[', 28 for '\\' and 29 for ']', and the space itself (typed text
    // leaves these out while Ctrl is held). Follows the key's KeyDown.
    Char,
    Text, // text: the characters typed, UTF-8
    FileDropped, // text: the path; x, y: the pointer
    Timer, // timerId
    WakeUp, // asked for by PlatPostWakeUp, from any thread
    FocusGained,
    FocusLost,
};

// Modifier bits.
constexpr int32_t kPlatShift = 1;
constexpr int32_t kPlatCtrl = 2;
constexpr int32_t kPlatAlt = 4;

// Mouse buttons.
constexpr int32_t kPlatLeftButton = 1;
constexpr int32_t kPlatRightButton = 2;
constexpr int32_t kPlatMiddleButton = 4;

// Keys without a character of their own (keypad Enter arrives as Return).
// Every other key is given as the character it carries unshifted (for
// example 'a' for the A key), or 0 when it has none.
enum PlatKey : int32_t {
    kPlatKeyReturn = 0x10000,
    kPlatKeyEscape,
    kPlatKeyTab,
    kPlatKeyBackspace,
    kPlatKeyDelete,
    kPlatKeyHome,
    kPlatKeyEnd,
    kPlatKeyPageUp,
    kPlatKeyPageDown,
    kPlatKeyLeft,
    kPlatKeyUp,
    kPlatKeyRight,
    kPlatKeyDown,
    kPlatKeyF1, // F2 .. F12 follow in order
    kPlatKeyF12 = kPlatKeyF1 + 11,
    kPlatKeyShift,
    kPlatKeyCtrl,
    kPlatKeyAlt,
    // Keys that type no character of their own, or (the keypad) only while Num Lock is on.
    kPlatKeyInsert,
    kPlatKeyCapsLock,
    kPlatKeyNumLock,
    kPlatKeyScrollLock,
    kPlatKeyPause,
    kPlatKeyPrintScreen,
    kPlatKeyMenu,
    kPlatKeyKeypad0, // keypad 1 .. 9 follow
    kPlatKeyKeypad9 = kPlatKeyKeypad0 + 9,
    kPlatKeyKeypadMultiply,
    kPlatKeyKeypadAdd,
    kPlatKeyKeypadSubtract,
    kPlatKeyKeypadDecimal,
    kPlatKeyKeypadDivide,
};

struct PlatEvent {
    PlatEventType type = PlatEventType::Expose;
    int32_t x = 0;
    int32_t y = 0;
    int32_t button = 0;
    int32_t modifiers = 0;
    // Wheel notches; turns towards the user are negative.
    float wheel = 0;
    int32_t width = 0;
    int32_t height = 0;
    int32_t key = 0;
    uint32_t timerId = 0;
    std::string text;
};
