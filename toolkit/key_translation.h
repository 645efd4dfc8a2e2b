#pragma once
#include <cstdint>

// How the platform's keys and characters become the key codes that windows,
// layers and views receive (qv_keys.h): special keys are negative KEY_
// codes, everything else arrives as a character.

// The KEY_ code of a platform key (PlatKey); 0 for every other key.
int32_t KeyCodeFromVirtualKey(int32_t platformKey);
// The code a key release reports when KeyCodeFromVirtualKey gives 0: the raw
// key code of the original platform. The upper-case letter for letter keys,
// 16, 17 and 18 for Shift, Ctrl and Alt, 45 for Insert, 20 for Caps Lock, 96
// to 105 for the keypad digits and so on, else the key's character; 0 for a
// key the platform layer does not know.
int32_t VirtualKeyCode(int32_t platformKey);

// A typed character as it is delivered: with Ctrl held a control code below
// 32 gets 96 added (Ctrl+A, code 1, arrives as 'a'), except 27, which
// becomes '[' (91), and 29, which becomes ']' (93). Characters of 32 and
// above arrive as they are, Ctrl or not (AltGr layouts type them with Ctrl
// and Alt held).
int32_t TranslateCharacter(int32_t code, int32_t modifiers);

// The keys a text field being edited keeps for itself with Ctrl or Alt:
// a, x, c and v in either case (select all, cut, copy and paste).
bool IsEditingShortcutKey(int32_t key);
