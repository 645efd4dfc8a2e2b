#pragma once

class QV_Wnd;

// The script console window: at most one per process, made by the script host
// on first use and cleared again when its window is destroyed. Null until
// then; the frame only reads it (QV_App::Quit closes the console's window).
extern QV_Wnd* gLuaConsole;
