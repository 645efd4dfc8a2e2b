#include "script_events.h"

KeyEvent::KeyEvent()
    : view(nullptr)
    , key(new char[2] { 0, 0 })
    , keyCode(0)
    , shiftKey(false)
    , ctrlKey(false)
    , altKey(false)
{
}

KeyEvent::~KeyEvent()
{
    delete[] key;
}

void KeyEvent::Fill(VornView* canvas, int32_t code, int32_t modifiers)
{
    view = canvas;
    key[0] = char(uint32_t(code) & 0xff);
    key[1] = 0;
    keyCode = code;
    shiftKey = (modifiers & 1) != 0;
    ctrlKey = (modifiers & 2) != 0;
    altKey = (modifiers & 4) != 0;
}
