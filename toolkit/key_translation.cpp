#include "key_translation.h"

#include "plat_event.h"
#include "qv_keys.h"

int32_t KeyCodeFromVirtualKey(int32_t platformKey)
{
    switch (platformKey) {
    case kPlatKeyReturn:
        return KEY_RETURN;
    case kPlatKeyEscape:
        return KEY_ESCAPE;
    case kPlatKeyTab:
        return KEY_TAB;
    case kPlatKeyBackspace:
        return KEY_BACKSPACE;
    case kPlatKeyDelete:
        return KEY_DELETE;
    case kPlatKeyHome:
        return KEY_HOME;
    case kPlatKeyEnd:
        return KEY_END;
    case kPlatKeyPageUp:
        return KEY_PAGEUP;
    case kPlatKeyPageDown:
        return KEY_PAGEDOWN;
    case kPlatKeyLeft:
        return KEY_LEFT;
    case kPlatKeyUp:
        return KEY_UP;
    case kPlatKeyRight:
        return KEY_RIGHT;
    case kPlatKeyDown:
        return KEY_DOWN;
    default:
        break;
    }
    if (platformKey >= kPlatKeyF1 && platformKey <= kPlatKeyF12)
        return KEY_F1 - (platformKey - kPlatKeyF1);
    return 0;
}

int32_t VirtualKeyCode(int32_t platformKey)
{
    // The raw key codes of the original platform, which layers and scripts compare with.
    switch (platformKey) {
    case kPlatKeyShift:
        return 16;
    case kPlatKeyCtrl:
        return 17;
    case kPlatKeyAlt:
        return 18;
    case kPlatKeyPause:
        return 19;
    case kPlatKeyCapsLock:
        return 20;
    case kPlatKeyPrintScreen:
        return 44;
    case kPlatKeyInsert:
        return 45;
    case kPlatKeyMenu:
        return 93;
    case kPlatKeyKeypadMultiply:
        return 106;
    case kPlatKeyKeypadAdd:
        return 107;
    case kPlatKeyKeypadSubtract:
        return 109;
    case kPlatKeyKeypadDecimal:
        return 110;
    case kPlatKeyKeypadDivide:
        return 111;
    case kPlatKeyNumLock:
        return 144;
    case kPlatKeyScrollLock:
        return 145;
    default:
        break;
    }
    if (platformKey >= kPlatKeyKeypad0 && platformKey <= kPlatKeyKeypad9)
        return 96 + (platformKey - kPlatKeyKeypad0);
    if (platformKey >= 'a' && platformKey <= 'z')
        return platformKey - 'a' + 'A';
    return platformKey > 0 && platformKey < kPlatKeyReturn ? platformKey : 0;
}

int32_t TranslateCharacter(int32_t code, int32_t modifiers)
{
    if (!(modifiers & MODIFIER_CTRL) || code < 0 || code >= 32)
        return code;
    switch (code) {
    case 27:
        return '[';
    case 29:
        return ']';
    default:
        return code + 96;
    }
}

bool IsEditingShortcutKey(int32_t key)
{
    switch (key) {
    case 'a':
    case 'A':
    case 'x':
    case 'X':
    case 'c':
    case 'C':
    case 'v':
    case 'V':
        return true;
    default:
        return false;
    }
}
