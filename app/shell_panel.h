#pragma once

#include <cstdint>

#include "qv_docking_view.h"
#include "shell_hooks.h"

class VornWnd;

// A docked panel of the main window. The shell makes an empty one of each kind; the panels
// that fill them derive from it and are made through gShellHooks.makePanel.
class ShellPanel : public QV_DockingView {
public:
    ShellPanel(PanelKind kind, VornWnd* owner, const char* title, bool persist, int32_t floatKind,
        const char* settingsName, int32_t x1, int32_t y1, int32_t x2, int32_t y2);

    // The document the panel shows (null when none).
    virtual void SetDocument(VornDoc* document);
    // The document frame moved (playing while playback runs): the timeline follows it.
    virtual void SetFrame(int32_t frame, bool playing);
    // The tools palette enables its buttons by asking the scripts; other panels have none.
    virtual void UpdateToolButtons() { }
    // The timeline shows the channels of what the scripts selected; other panels have none.
    virtual void UpdateSelectedChannels() { }
    // The style panel refills its widgets after a frame change when its colours are animated.
    virtual void RefreshAnimated() { }
    // Notifications (1000 to 1105) are the filled panels' to act on; the rest goes to the
    // main window.
    void HandleMessage(QV_Message* message) override;
    // Tells the main window the panel is gone.
    void FloatingWindowClosed() override;
    void Draw() override;

    PanelKind fKind;
    VornWnd* fMainWindow;
    VornDoc* fDocument;
};

// The panel of that kind as the shell makes it: the hook's, else an empty shell with the
// panel's title, settings name, window kind and default frame.
ShellPanel* MakePanel(PanelKind kind, VornWnd* owner, VornDoc* document);
// The follow flags of a docked panel of that kind.
int32_t PanelFollowFlags(PanelKind kind);
// "ToolWnd_Docked" and the rest.
const char* PanelDockedKey(PanelKind kind);
