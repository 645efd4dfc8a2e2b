#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

// The system clipboard, interface thread only. Failures are silent by
// design: a copy that cannot be made leaves the clipboard as it was.

// Puts UTF-8 text on the clipboard.
bool PlatClipboardSetText(const char* text);
// The clipboard's text as UTF-8; false when it holds no text (an empty text
// counts as none).
bool PlatClipboardGetText(std::string& text);

// Offers the bytes of a PNG file as "image/png", replacing everything the
// clipboard held (its text included). False where images cannot be offered
// (no X11); the text is gone all the same.
bool PlatClipboardSetPng(const uint8_t* bytes, size_t size);
// True while the image offered last is still the clipboard's.
bool PlatClipboardHoldsOurPng();
