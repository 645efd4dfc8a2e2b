#pragma once

#include <cstdint>

#include "shell_panel.h"

class LayerView;
class QV_Button;
class QV_Menu;
class QV_ScrollingView;
class QV_Wnd;
class VornDoc;
class VornLayer;

// The Layer Settings dialog for a layer of the document, run modally over the owner window.
// The dialogs library sets it; while it is null the panel's Settings button does nothing.
extern void (*gRunLayerDlog)(QV_Wnd* owner, VornDoc* document, VornLayer* layer);

// The Layers panel: New, Duplicate, Delete and Settings buttons above the layer tree. It makes,
// copies and deletes layers and passes what changed on to the main window.
class LayerWnd : public ShellPanel {
public:
    LayerWnd(VornWnd* owner, VornDoc* document);
    ~LayerWnd() override;

    void SetDocument(VornDoc* document) override;
    void HandleMessage(QV_Message* message) override;
    void Draw() override;

    // A new image (or movie) layer, or a new audio layer, from the file; the limits and
    // alerts are those of the New Layer menu.
    static void ImportImageLayer(LayerWnd* panel, const char* path);
    static void ImportAudioLayer(LayerWnd* panel, const char* path);

    // The layer of that command (5010 to 5018) made directly above the current layer and made
    // current; null when nothing was made.
    VornLayer* NewLayer(int32_t command, const char* path);
    void DuplicateLayer();
    void DeleteLayer();
    // A notice of the tree or the panel (1000 to 1007) for the main window.
    virtual void TreeNotice(int32_t what);
    // A notice for the timeline panel alone.
    void TellTimeline(int32_t what);

    QV_Menu* fNewMenu;
    QV_Button* fNewButton;
    QV_Button* fDuplicateButton;
    QV_Button* fDeleteButton;
    QV_Button* fSettingsButton;
    LayerView* fTree;
    QV_ScrollingView* fScroller;

private:
    void Refresh();
    void OpenNewLayerMenu();
    void AskForFile(int32_t command);
    void ChooseSwitchLayer(int32_t index);
    void ToggleParticles();
    bool AudioLimitReached();
};

// The new name of a copy: "Take 9" gives "Take 10", "Layer" gives "Layer 2", "Arm 2b" gives
// "Arm 3".
QV_String DuplicateName(const char* name);

// Every alert of the panel and of the import commands (warning icon); the answer is the
// button's index. Tests replace it.
extern int32_t (*gLayerAlert)(QV_Wnd* owner, const char* line1, const char* line2, const char* button1,
    const char* button2);

// The main window's File > Import commands for images (3122), movies (3123) and sounds (3127);
// false for every other command.
bool AnswerLayerImport(VornWnd* owner, int32_t command, const char* path);
// The same for a document and a Layers panel (either may be null); file choosers answer the
// handler with the command and "path".
void RunLayerImport(VornDoc* doc, LayerWnd* panel, QV_Handler* replyTo, QV_Wnd* owner, int32_t command, const char* path);
