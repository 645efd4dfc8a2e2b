#pragma once

#include <cstdint>

#include "qv_layer.h"

class QV_ProgressBar;
class QV_Wnd;

// A pane with a message and a progress bar laid over a window while long work runs on the
// interface thread. While it is up, only repaints and timers are let through (by
// GenericProgressUpdate); input and commands wait until it is gone, so nothing changes the
// document under the work.
class GenericProgress : public QV_Layer {
public:
    // Centred on the owner's client area; it becomes the live pane. The caller pushes it onto
    // the window.
    GenericProgress(const char* message, QV_Wnd* owner);
    ~GenericProgress() override;
    void Draw() override;

    QV_ProgressBar* fBar;
    float fUnused;
};

// The live pane, or null.
extern GenericProgress* gGenericProgress;

// The progress function of long operations: the bar shows the fraction; done removes and
// destroys the pane. Each call lets one waiting repaint or timer through. Nothing at all
// happens while no pane is live.
void GenericProgressUpdate(bool done, float fraction);
