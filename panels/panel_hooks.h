#pragma once

// Gives the main window the panels of this library (tools palette, layers, timeline, style)
// through the shell's hooks; the program's main calls it before the run.
void InstallPanelHooks();
