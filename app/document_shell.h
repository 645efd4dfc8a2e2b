#pragma once

#include <cstdint>

#include "qv_path.h"
#include "qv_string.h"

class QV_Message;
class VornDoc;

// The commands that run through a message to the main window.
constexpr int32_t CMD_NEW = 3110;
constexpr int32_t CMD_OPEN = 3111;
constexpr int32_t CMD_CLOSE = 3112;
constexpr int32_t CMD_SAVE = 3113;
constexpr int32_t CMD_SAVE_AS = 3114;
constexpr int32_t CMD_PROJECT_SETTINGS = 3115;
constexpr int32_t CMD_RECENT_FIRST = 3300;
constexpr int32_t CMD_TOOLS_PANEL = 3250;
constexpr int32_t CMD_LAYERS_PANEL = 3251;
constexpr int32_t CMD_TIMELINE_PANEL = 3252;
constexpr int32_t CMD_STYLE_PANEL = 3253;
constexpr int32_t CMD_LIBRARY = 3255;
constexpr int32_t CMD_QUIT = -1008;
constexpr int32_t kRecentFileCount = 5;

// The new-document values of the preferences: size, rate, range, colour, depth of field,
// sorting, grain, and one vector layer "Layer 1" with the shadow and shading defaults.
VornDoc* MakeNewDocument();
// The document's settings from the preferences that every made document takes (colour, depth
// of field, 3D, sorting, grain).
void ApplyProjectPreferences(VornDoc* document);

// Where Save As writes for the path the chooser gave: the file name's own extension decides,
// so a dot in a folder name never cuts the path. Names ending in ".celv" in any case stay;
// any other extension is replaced, a name without one gets ".celv".
QV_String SaveAsTarget(const char* chosenPath);
// The name Save As proposes: an older ".vorn" name becomes ".celv".
QV_String ProposedSaveName(const char* documentName);

// The document side of the main window: the one open document, the recent files and the
// New, Open, Close, Save and Save As commands with their questions and alerts. The window
// supplies what shows on the screen.
class DocumentShell {
public:
    DocumentShell();
    virtual ~DocumentShell();

    // Reads "RecentFile1" to "RecentFile5" (absent keys leave entries empty).
    void LoadRecentFiles();
    // Closes the open document (asking), then makes one from the project preferences.
    void NewDocument();
    // A document file, or a new document around a movie.
    void OpenFile(const char* path);
    // Asks to save a modified document and closes it; the document stays open when the user
    // cancels or the save fails.
    void CloseDocument();
    // To the document's path, or through Save As when it has none.
    void SaveDocument();
    // Save As with the path the chooser gave.
    void SaveAs(const char* chosenPath);
    void AddRecentFile(const char* path);
    // Whether the application may end: the export and batch windows are asked first, so a
    // refusal keeps the document open; then the document is closed (asking to save it).
    bool MayQuit();
    // The start-up document opened as an untitled one.
    void OpenStartupDocument(const char* path);

    // The title of the main window for the open document (or none).
    QV_String Title() const;

    VornDoc* fDocument;
    QV_Path fRecentFiles[kRecentFileCount];
    // Never entered into the recent files.
    QV_Path fStartupPath;

protected:
    // The screen side, supplied by the window.
    virtual QV_Message* Settings() = 0;
    virtual void SetWindowTitle(const char* title) = 0;
    virtual void AttachDocument(VornDoc* document) = 0;
    virtual void WithdrawDocument() = 0;
    virtual int32_t ShowAlert(int32_t kind, const char* line1, const char* line2, const char* line3,
        const char* button1, const char* button2, const char* button3)
        = 0;
    // Save As without a path: the chooser, which answers with SaveAs.
    virtual void RunSaveAsDialog() = 0;
    virtual void RecentFilesChanged() = 0;
    // The tool the window made current last, again.
    virtual void ReselectTool() = 0;
    virtual void SelectToolByName(const char* name) = 0;
    // Asks the running export and batch windows whether they may stop; false keeps running.
    virtual bool ExportWindowsMayQuit() { return true; }
    // Forgets what closing a document leaves behind elsewhere (export template, new-shape
    // style references).
    virtual void DocumentClosed() {}

private:
    void OpenMovie(const char* path);
    void ShowTitle();
};
