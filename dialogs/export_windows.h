#pragma once

#include <cstdint>

class AnimWnd;
class BatchWnd;
class QV_Wnd;
class RenderWnd;
class VornWnd;

// The export, render and batch windows that are open; each adds itself when made and leaves
// when it closes.
void RegisterExportWindow(AnimWnd* window);
void UnregisterExportWindow(AnimWnd* window);
void RegisterRenderWindow(RenderWnd* window);
void UnregisterRenderWindow(RenderWnd* window);
extern BatchWnd* gBatchWnd;

// File > Preview (3117), the quick preview (3116), Export Animation (3118) and Batch Export
// (3120); false for other commands.
bool HandleExportCommand(VornWnd* owner, int32_t command, const char* path);
// Each running export and the batch window is asked; false keeps the program running.
bool ExportWindowsMayQuit(VornWnd* owner);
// The usable screen's size, for the windows' placement.
void UsableScreenSize(int32_t& width, int32_t& height);
