#pragma once

#include <cstdint>

#include "qv_arraylist.h"
#include "qv_dialog.h"
#include "qv_layer.h"
#include "qv_stopwatch.h"
#include "qv_string.h"
#include "qv_text_list.h"
#include "qv_wnd.h"

class QV_Button;
class QV_Menu;
class QV_TextControl;
class VornDoc;
class VornLayer;
class VornWnd;

constexpr int32_t kMaxActions = 5;

// Command ids of the Actions window.
constexpr int32_t kActionNew = 5201;
constexpr int32_t kActionInsertRef = 5202;
constexpr int32_t kActionInsertCopy = 5203;
constexpr int32_t kActionDelete = 5204;
constexpr int32_t kActionMakeActive = 5205;
constexpr int32_t kActionUpdateButtons = 5206;
constexpr int32_t kActionOptions = 5207;
constexpr int32_t kActionRename = 5208;

// The mainline row, then the current layer's actions; one row may be selected. The active row
// is marked, and a double click makes a row active.
class ActionList : public QV_TextList {
public:
    explicit ActionList(VornDoc* document);

    void FrameResized(int32_t oldWidth, int32_t oldHeight, int32_t newWidth, int32_t newHeight) override;
    void MouseDown(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message) override;
    void MouseUp(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message) override;
    // The list takes no keys: the window's commands work on the selection the mouse made.
    void KeyDown(int32_t key, int32_t modifiers) override;
    bool AcceptsFocus() override;

    void SetDocument(VornDoc* document);
    // The rows again from the document's current layer; the active row selected. (Not named
    // Refresh: that is the view's own virtual, which every redraw calls to present the list.)
    void RefreshRows();
    // The selected row's text, or null.
    const char* SelectedText() const;
    // The row of the action the current layer edits; 0 on the main timeline.
    int32_t ActiveRow() const;

    VornDoc* fDocument;
    bool fDoubleClick;
    QV_Stopwatch fClickWatch;
    QV_PixelBuffer* fActiveImage;

protected:
    void DrawRow(QV_Graphics* graphics, int32_t index, int32_t left, int32_t top, int32_t height) override;
};

// Asks for an action name; the result string holds the proposal and gets the name on OK.
class NewActionDlog : public QV_Dialog {
public:
    NewActionDlog(QV_String* result, QV_Wnd* owner);
    ~NewActionDlog() override;
    void ExchangeData(bool apply) override;
    // A name of nothing but double quotes is refused: the field is emptied.
    bool OnValidate() override;

    QV_String* fResult;
    QV_String fStartName;
    QV_String fEmpty;
    QV_TextControl* fNameField;
};

// The name with every double quote taken out (documents store names between quotes).
QV_String WithoutQuotes(const char* text);

// How the window asks for a name (MSG_OK when the name was given); tests replace it.
extern int32_t (*gRunActionNameDlog)(QV_Wnd* owner, QV_String& name);

// The buttons and the list; carries out the window's commands on the document's current layer.
class ActionLayer : public QV_Layer {
public:
    ActionLayer(VornDoc* document, QV_Wnd* owner);
    // The buttons' and the list's commands are carried out here; the rest climbs to the window.
    void HandleMessage(QV_Message* message) override;
    void Draw() override;

    void SetDocument(VornDoc* document);
    // The window's commands (5201 to 5208 and 1006); false for any other id.
    bool RunCommand(int32_t what);
    void UpdateButtons();
    // The popup's items' states as the buttons and the selection allow.
    void UpdateOptionsMenu(QV_Menu* menu);

    QV_Button* fNewButton;
    QV_Button* fInsertRefButton;
    QV_Button* fInsertCopyButton;
    QV_Button* fDeleteButton;
    ActionList* fList;
    VornDoc* fDocument;
    // The main window, told 1006 after a change; may be null.
    QV_Wnd* fOwner;
    // The Action Options popup (owned by the window); null without a window.
    QV_Menu* fOptionsMenu;

private:
    VornLayer* CurrentLayer() const;
    void NewAction();
    void InsertAction(bool asReference);
    void DeleteAction();
    void MakeActive();
    void RenameAction();
    void Post(int32_t what);
    void TellOwner();
    // The document to that frame, the main window told.
    void MoveToFrame(int32_t frame);
};

// The small tool window listing and editing the current layer's actions.
class ActionWnd : public QV_Wnd {
public:
    ActionWnd(VornDoc* document, QV_Wnd* owner);
    ~ActionWnd() override;

    void HandleMessage(QV_Message* message) override;
    void Opened() override;
    void Closed() override;
    void SizeLimits(QV_Point& minimum, QV_Point& maximum) override;
    void SetDocument(VornDoc* document);

    VornDoc* fDocument;
    ActionLayer* fLayer;
    QV_Menu* fOptionsMenu;
};

// The one Actions window while it is open, else null.
extern ActionWnd* gActionWnd;

// Whether the window is open (the Window menu's check mark).
bool ActionWndOpen(VornWnd* owner);

// Opens the window (3254), or closes it when open, and keeps it on the main window's document (1006); false for other
// commands.
bool HandleActionWndCommand(VornWnd* owner, int32_t command);
