#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "qv_dialog.h"
#include "qv_string.h"

class ChooserFolderList;
class QV_Handler;
class QV_PopupMenu;
class QV_TextControl;

// The open and save choosers. A chosen file reaches the handler's
// DispatchMessage as a message of the given id with "path" = the full path,
// before these return. Cancelling sends nothing.
bool RunOpenFileDialog(const char* title, QV_Handler* handler, QV_Wnd* owner, int32_t messageId,
    const char* filterDescription, const char* filterPattern);
void RunSaveFileDialog(const char* title, QV_Handler* handler, QV_Wnd* owner, int32_t messageId,
    const char* defaultName, const char* initialFolder);

// One filter of a chooser: its description and its ";"-separated patterns.
struct FileFilter {
    std::string description;
    std::vector<std::string> patterns;
};
// "Images!*.png;*.jpg!All Files!*.*" gives two filters.
std::vector<FileFilter> ParseFileFilters(const char* text);
// Patterns with "*" and "?", matched without regard to ASCII case; "*.*"
// matches every name. Names beginning with "." are hidden and match nothing.
bool FileMatchesFilter(const FileFilter& filter, const char* name);

// The folder a chooser opens in: the given one, else the last one chosen,
// else $HOME.
QV_String ChooserStartFolder(const char* folder);

// The modal chooser: a path field holding the shown folder and the proposed
// name, the list of the shown folder, in the open chooser the file types,
// then OK and Cancel. Names typed are relative to the shown folder.
class FileChooserDialog : public QV_Dialog {
public:
    FileChooserDialog(const char* title, QV_Wnd* owner, bool save, const char* folder,
        const char* proposedName, const char* defaultExtension, QV_String* result);

    bool OnValidate() override;
    void ExchangeData(bool apply) override;
    void HandleMessage(QV_Message* message) override;

    // Only the files it lets through are listed.
    void SetFilter(const FileFilter& filter);
    // The file types the open chooser offers, by description; the first one
    // applies until another is chosen.
    void SetFilters(const std::vector<FileFilter>& filters);
    // Lists the folder and makes it the shown one; a folder that cannot be
    // read gets an alert and the chooser stays where it was.
    bool OpenFolder(const std::string& folder);


    bool fSave;
    QV_String fFolder;
    QV_String fDefaultExtension;
    QV_TextControl* fPathField;
    QV_String fChosen;
    QV_String* fResult;
    ChooserFolderList* fList;
    FileFilter fFilter;
    bool fHasFilter;
    std::vector<FileFilter> fFilters;
    // Open chooser only; null when saving.
    QV_PopupMenu* fTypes;
};

// The message of the chooser's file-type item of that index.
int32_t ChooserTypeMessage(int32_t index);

// What a chooser makes of the text of its path field: the full path of an
// existing file (open; found exactly, then ignoring case) or of the file to
// write (save; the default extension appended to a name without one).
// Empty when nothing usable was typed or, when opening, nothing was found.
QV_String ResolveChosenPath(const char* folder, const char* typed, bool save, const char* defaultExtension);
