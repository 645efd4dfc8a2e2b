#pragma once
#include <cstdint>

// The codec dialog is made of interface widgets, which the movie writers cannot see; the toolkit
// installs it here when it starts. It shows the dialog for a movie kind (0 AVI, 1 MOV) over the
// parent window (the owning QV_Wnd, or null) for frames of the given size, and answers true when
// the user confirmed a choice, which it has then stored; false when the user cancelled, with
// nothing changed.
using CodecDialogHook = bool (*)(int32_t kind, void* parentWindow, int32_t width, int32_t height);

// Null removes the dialog: the writers then go on as if it had been skipped.
void SetCodecDialogHook(CodecDialogHook hook);
CodecDialogHook GetCodecDialogHook();
