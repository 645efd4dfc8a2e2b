#pragma once

#include <cstdint>

class QV_Wnd;
class VornDoc;
class VornWnd;

// The commands of the shell's small windows and imports, for the main window's dispatch:
// 3124 Illustrator and 3125 EPS import (without a path: the file dialog), 3281 About Scripts,
// 3286 Welcome Screen. True when handled. Insert Text and Random Line Width are the main
// layer's (RunInsertText, RunRandomThickness).
bool HandlePeripheryCommand(VornWnd* owner, int32_t command, const char* path);

// File > Import > Illustrator File (3124) or EPS File (3125): the drawing as a new vector layer.
void ImportDrawing(VornWnd* owner, int32_t command, const char* path);
// Draw > Insert Text: the dialog, then the text as shapes of the current vector layer with one
// undo level, under the shell's progress pane; false when there was no vector layer or the
// dialog was cancelled.
bool RunInsertText(VornDoc* document, QV_Wnd* owner);

// Sets the EPS reader of the documents and the shell's splash, About and welcome hooks.
void InstallPeripheryHooks();
