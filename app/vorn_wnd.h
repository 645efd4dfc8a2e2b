#pragma once

#include <cstdint>

#include "document_shell.h"
#include "qv_path.h"
#include "qv_wnd.h"
#include "shell_hooks.h"

class MainLayer;
class ShellPanel;
class ToolScript;

// The application's one main window: the open document, the docked panels, the menus' File,
// Window and Help commands and the decision whether the application may quit.
class VornWnd : public QV_Wnd, public DocumentShell {
public:
    // The command line names one document to open, or is empty.
    explicit VornWnd(const char* commandLine);
    ~VornWnd() override;

    void HandleMessage(QV_Message* message) override;
    // The first showing: scripts, the main layer and the first document.
    void Opened() override;
    bool QuitRequested() override;
    void Closed() override;
    void SizeLimits(QV_Point& minimum, QV_Point& maximum) override;

    // Every panel and extra window tells the main window when it closes.
    void WindowClosed(void* window);
    // Window > Tools, Layers, Timeline and Style: float a docked panel, dock a floating one,
    // or make the panel.
    void TogglePanel(PanelKind kind);
    ShellPanel*& PanelField(PanelKind kind);

    QV_Path fCommandLinePath;
    MainLayer* fMainLayer;
    ShellPanel* fLayerWnd;
    ShellPanel* fToolWnd;
    ShellPanel* fTimelineWnd;
    ShellPanel* fStyleWnd;
    ToolScript* fToolEntry;

protected:
    QV_Message* Settings() override;
    void SetWindowTitle(const char* title) override;
    void AttachDocument(VornDoc* document) override;
    void WithdrawDocument() override;
    int32_t ShowAlert(int32_t kind, const char* line1, const char* line2, const char* line3, const char* button1,
        const char* button2, const char* button3) override;
    void RunSaveAsDialog() override;
    void RecentFilesChanged() override;
    void ReselectTool() override;
    void SelectToolByName(const char* name) override;
    bool ExportWindowsMayQuit() override;
    void DocumentClosed() override;

private:
    void RunProjectSettings();
    // The rows of 3116 to 3304 that open dialogs, import, open files or call on later windows;
    // false for the rest.
    bool HandleLaterCommand(int32_t what, const char* path);
    // Hands the command to the windows built later; true.
    bool Later(int32_t what, const char* path);
    // The movie (3123) or audio (3127) layer limit: true, after its alert, when reached.
    bool CountLimitReached(int32_t what);
    void ImportObj(const char* path);
    void OpenInAppFolder(const char* name);
};

// The one main window while it is open, else null.
extern VornWnd* gVornWnd;
