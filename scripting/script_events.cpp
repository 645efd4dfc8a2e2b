#include "script_events.h"

#include <cstring>

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
    const char text[2] = { char(uint32_t(code) & 0xff), 0 };
    SetKey(text);
    keyCode = code;
    shiftKey = (modifiers & 1) != 0;
    ctrlKey = (modifiers & 2) != 0;
    altKey = (modifiers & 4) != 0;
}

void KeyEvent::SetKey(const char* text)
{
    char* copy = nullptr;
    if (text) {
        const size_t size = std::strlen(text) + 1;
        copy = new char[size];
        std::memcpy(copy, text, size);
    }
    delete[] key;
    key = copy;
}
