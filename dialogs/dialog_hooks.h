#pragma once

// Gives the main window the windows and dialogs of this library (export, preview, batch
// export, layer settings and the editing dialogs) through the shell's hooks; the program's
// main calls it before the run, after InstallPanelHooks.
void InstallDialogHooks();
