#include "action_wnd.h"

#include <algorithm>
#include <cstring>

#include "interface_colors.h"
#include "interface_fonts.h"
#include "plat_window.h"
#include "qv_app.h"
#include "qv_button.h"
#include "qv_dc.h"
#include "qv_font.h"
#include "qv_graphics.h"
#include "qv_layout_view.h"
#include "qv_menu.h"
#include "qv_message.h"
#include "qv_static_text.h"
#include "qv_text_control.h"
#include "resource_images.h"
#include "vorn_wnd.h"
#include "vorndoc.h"
#include "vornlayer.h"
#include "grouplayer.h"

namespace {

constexpr float kDoubleClickSeconds = 0.5f;

int32_t RunNameDialog(QV_Wnd* owner, QV_String& name)
{
    auto* dialog = new NewActionDlog(&name, owner);
    return dialog->DoModal();
}

} // namespace

int32_t (*gRunActionNameDlog)(QV_Wnd* owner, QV_String& name) = RunNameDialog;
ActionWnd* gActionWnd = nullptr;

QV_String WithoutQuotes(const char* text)
{
    QV_String out;
    for (const char* c = text ? text : ""; *c; c++) {
        if (*c != '"') {
            const char one[2] = { *c, 0 };
            out.Append(one);
        }
    }
    return out;
}

// ---------------------------------------------------------------------------------------------
// ActionList

ActionList::ActionList(VornDoc* document)
    : QV_TextList(kActionUpdateButtons, FOLLOW_LEFT | FOLLOW_TOP | FOLLOW_RIGHT | FOLLOW_BOTTOM)
    , fDocument(document)
    , fDoubleClick(false)
    , fActiveImage(GetResourceImage("active_action"))
{
}

const char* ActionList::SelectedText() const
{
    return fSelItem >= 0 ? GetItem(fSelItem) : nullptr;
}

int32_t ActionList::ActiveRow() const
{
    VornLayer* layer = fDocument ? fDocument->GetSelectedLayer() : nullptr;
    if (!layer || layer->CurrentPose().IsEmpty())
        return 0;
    for (int32_t i = 1; i < CountItems(); i++) {
        if (std::strcmp(GetItem(i), layer->CurrentPose().CString()) == 0)
            return i;
    }
    return 0;
}

void ActionList::SetDocument(VornDoc* document)
{
    fDocument = document;
    RefreshRows();
}

void ActionList::RefreshRows()
{
    RemoveAllItems();
    fSelItem = -1;
    if (fDocument) {
        AddItem(Localize("/Windows/Actions/Mainline=--- Mainline ---"));
        if (VornLayer* layer = fDocument->GetSelectedLayer()) {
            for (int32_t i = 0; i < layer->fPoses.fCount; i++)
                AddItem(static_cast<QV_String*>(layer->fPoses.fItems[i])->CString());
        }
        SetSelItem(ActiveRow());
    }
    UpdateBar();
}

void ActionList::FrameResized(int32_t oldWidth, int32_t oldHeight, int32_t newWidth, int32_t newHeight)
{
    QV_TextList::FrameResized(oldWidth, oldHeight, newWidth, newHeight);
    UpdateBar();
}

void ActionList::MouseDown(int32_t x, int32_t y, int32_t button, int32_t, QV_Message*)
{
    const int32_t row = fEnabled ? RowAt(x, y) : -1;
    if (row < 0)
        return;
    if (row == fSelItem && fClickWatch.running && fClickWatch.Elapsed() < kDoubleClickSeconds) {
        fDoubleClick = true;
        return;
    }
    fClickWatch.Start();
    SetSelItem(row);
    PostMessage(kActionUpdateButtons);
    if (button == 2)
        PostMessage(kActionOptions);
}

void ActionList::MouseUp(int32_t, int32_t, int32_t, int32_t, QV_Message*)
{
    if (!fDoubleClick)
        return;
    fDoubleClick = false;
    PostMessage(kActionMakeActive);
}

void ActionList::KeyDown(int32_t key, int32_t modifiers)
{
    QV_BaseWidget::KeyDown(key, modifiers);
}

bool ActionList::AcceptsFocus()
{
    return QV_BaseWidget::AcceptsFocus();
}

void ActionList::DrawRow(QV_Graphics* graphics, int32_t index, int32_t left, int32_t top, int32_t height)
{
    // The row being edited stands out in the second interface font behind its mark; the mainline
    // row otherwise in the third.
    QV_Font* font = fFont;
    if (index == ActiveRow()) {
        font = gMenuFont ? gMenuFont : fFont;
        if (fActiveImage) {
            graphics->DrawImageAlpha(
                fActiveImage, float(left), float(top + (height - fActiveImage->height) / 2), false);
            left += fActiveImage->width + 4;
        }
    } else if (index == 0) {
        font = gPanelFont ? gPanelFont : fFont;
    }
    graphics->SetFont(font);
    const int32_t ascent = font ? font->Ascent() : 0;
    graphics->MoveTo(left, top + height / 2 + ascent / 2);
    graphics->DrawText(GetItem(index), 2);
    graphics->SetFont(fFont);
}

// ---------------------------------------------------------------------------------------------
// NewActionDlog

NewActionDlog::NewActionDlog(QV_String* result, QV_Wnd* owner)
    : QV_Dialog(Localize("/Dialogs/NewAction/Title=Action Name"), owner)
    , fResult(result)
    , fStartName(result ? result->CString() : "")
{
    auto* content = new QV_LayoutView(true, 8, 12, 12);
    content->AddChild(new QV_StaticText(Localize("/Dialogs/NewAction/ActionName=Action name")));
    const char* sample = "This is a big long name for a action.";
    fNameField = new QV_TextControl(gWidgetFont ? gWidgetFont->StringWidth(sample) : 240, "", 0, FIELD_TEXT);
    content->AddChild(fNameField);
    AddOkCancelRow(content);
    AddView(content);
}

NewActionDlog::~NewActionDlog() = default;

void NewActionDlog::ExchangeData(bool apply)
{
    if (!apply) {
        fNameField->SetValue(fResult ? fResult->CString() : "");
        fNameField->SelectAll();
        SetFocus(fNameField);
        return;
    }
    if (fResult)
        *fResult = WithoutQuotes(fNameField->Value());
}

bool NewActionDlog::OnValidate()
{
    if (!WithoutQuotes(fNameField->Value()).IsEmpty())
        return true;
    fNameField->SetValue(fEmpty.CString());
    return false;
}

// ---------------------------------------------------------------------------------------------
// ActionLayer

ActionLayer::ActionLayer(VornDoc* document, QV_Wnd* owner)
    : QV_Layer(FOLLOW_LEFT | FOLLOW_TOP | FOLLOW_RIGHT | FOLLOW_BOTTOM)
    , fDocument(document)
    , fOwner(owner)
    , fOptionsMenu(nullptr)
{
    struct ButtonRow {
        const char* image;
        const char* tip;
        int32_t message;
        QV_Button** field;
    };
    const ButtonRow rows[] = {
        { "action_new", "/Windows/Actions/NewAction=New Action", kActionNew, &fNewButton },
        { "action_insert_ref", "/Windows/Actions/InsertReference=Insert Reference", kActionInsertRef,
            &fInsertRefButton },
        { "action_insert_copy", "/Windows/Actions/InsertCopy=Insert Copy", kActionInsertCopy, &fInsertCopyButton },
        { "action_del", "/Windows/Actions/DeleteAction=Delete Action", kActionDelete, &fDeleteButton },
    };
    int32_t x = 0;
    for (const ButtonRow& row : rows) {
        auto* button = new QV_Button(GetResourceImage(row.image), Localize(row.tip), false, row.message,
            FOLLOW_LEFT | FOLLOW_TOP);
        button->MoveTo(x, 0);
        AddView(button);
        x = button->Frame().right + 3;
        *row.field = button;
    }
    fList = new ActionList(document);
    fList->MoveTo(0, fNewButton->Frame().bottom + 2);
    AddView(fList);
}

void ActionLayer::HandleMessage(QV_Message* message)
{
    if (message && RunCommand(message->fWhat))
        return;
    QV_Layer::HandleMessage(message);
}

void ActionLayer::Draw()
{
    QV_Graphics* graphics = GetGraphics();
    if (graphics) {
        const QV_Rect b = Bounds();
        graphics->SetColorStruct(TabBackground);
        graphics->FillRect(b.left, b.top, b.right, b.bottom);
    }
    QV_Layer::Draw();
}

VornLayer* ActionLayer::CurrentLayer() const
{
    return fDocument ? fDocument->GetSelectedLayer() : nullptr;
}

void ActionLayer::SetDocument(VornDoc* document)
{
    fDocument = document;
    fList->SetDocument(document);
    if (document) {
        UpdateButtons();
    } else {
        for (QV_Button* button : { fNewButton, fInsertRefButton, fInsertCopyButton, fDeleteButton })
            button->Enable(false);
    }
}

void ActionLayer::Post(int32_t what)
{
    if (fWindow)
        fWindow->PostMessage(what);
}

void ActionLayer::TellOwner()
{
    if (fOwner)
        fOwner->PostMessage(1006);
}

void ActionLayer::MoveToFrame(int32_t frame)
{
    fDocument->SetCurFrame(frame);
    // The main window's frame field and status bar follow the frame only when told.
    if (fOwner)
        fOwner->PostMessage(1004);
}

void ActionLayer::UpdateButtons()
{
    VornLayer* layer = CurrentLayer();
    const int32_t count = layer ? layer->fPoses.fCount : 0;
    const int32_t frame = fDocument ? fDocument->CurFrame() : 0;
    const int32_t selected = fList->SelItem();
    const bool editing = layer && !layer->CurrentPose().IsEmpty();
    bool insertRef = false;
    bool insertCopy = false;
    bool remove = false;
    if (layer && selected == 0) {
        insertCopy = editing && frame > 0;
    } else if (layer && selected > 0 && selected == fList->ActiveRow()) {
        remove = true;
    } else if (layer && selected > 0) {
        insertRef = !editing && frame > 0;
        insertCopy = frame > 0;
        remove = true;
    }
    fNewButton->Enable(layer && count < kMaxActions);
    fInsertRefButton->Enable(insertRef);
    fInsertCopyButton->Enable(insertCopy);
    fDeleteButton->Enable(remove);
    if (fWindow) {
        Draw();
        Flush();
    }
}

void ActionLayer::UpdateOptionsMenu(QV_Menu* menu)
{
    if (!menu)
        return;
    const int32_t selected = fList->SelItem();
    menu->SetEnabled(kActionMakeActive, selected >= 0 && selected != fList->ActiveRow());
    menu->SetEnabled(kActionInsertRef, fInsertRefButton->IsEnabled());
    menu->SetEnabled(kActionInsertCopy, fInsertCopyButton->IsEnabled());
    menu->SetEnabled(kActionDelete, fDeleteButton->IsEnabled());
    menu->SetEnabled(kActionRename, selected > 0);
}

void ActionLayer::NewAction()
{
    VornLayer* layer = CurrentLayer();
    if (!layer || layer->fPoses.fCount >= kMaxActions)
        return;
    QV_String name = Localize("/Windows/Actions/Action=Action");
    name.Append(" ");
    name.AppendInt(layer->fPoses.fCount + 1);
    if (!gRunActionNameDlog || gRunActionNameDlog(fWindow ? fWindow : fOwner, name) != MSG_OK)
        return;
    fDocument->SetDirty();
    fDocument->PrepUndo(layer);
    layer->ActivatePose(name.CString(), true);
    MoveToFrame(1);
    RunCommand(1006);
    Post(1001);
    Post(1000);
    TellOwner();
}

void ActionLayer::InsertAction(bool asReference)
{
    VornLayer* layer = CurrentLayer();
    const int32_t selected = fList->SelItem();
    if (!layer || selected < 0)
        return;
    fDocument->SetDirty();
    fDocument->PrepUndo(layer);
    // An empty name stands for the main timeline, copied into the action being edited.
    const QV_String name = selected > 0 ? QV_String(fList->SelectedText()) : QV_String("");
    layer->InsertPose(name.CString(), fDocument->CurFrame(), selected > 0 && asReference);
    fDocument->SetCurFrame(fDocument->CurFrame());
    Post(1001);
    TellOwner();
}

void ActionLayer::DeleteAction()
{
    VornLayer* layer = CurrentLayer();
    if (!layer || fList->SelItem() <= 0)
        return;
    const QV_String name(fList->SelectedText());
    fDocument->SetDirty();
    fDocument->PrepUndo(layer);
    layer->DeletePose(name.CString());
    RunCommand(1006);
    Post(1000);
    TellOwner();
}

void ActionLayer::MakeActive()
{
    VornLayer* layer = CurrentLayer();
    const int32_t selected = fList->SelItem();
    if (!layer || selected < 0)
        return;
    const QV_String name(selected > 0 ? fList->SelectedText() : "");
    VornLayer* reached = layer;
    while (GroupLayer* parent = reached->Parent()) {
        if (selected > 0 && !parent->HasPose(name.CString())) {
            // A parent without the action cannot show it: the whole tree goes back to the
            // main timeline first, and the action then plays on this layer alone.
            VornLayer* top = parent;
            while (top->Parent())
                top = top->Parent();
            top->ActivatePose(nullptr, false);
            break;
        }
        reached = parent;
    }
    reached->ActivatePose(selected > 0 ? name.CString() : nullptr, false);
    MoveToFrame(selected > 0 ? 1 : 0);
    if (fWindow)
        fList->Redraw(true);
    Post(1001);
    RunCommand(kActionUpdateButtons);
    TellOwner();
}

void ActionLayer::RenameAction()
{
    VornLayer* layer = CurrentLayer();
    if (!layer || fList->SelItem() <= 0)
        return;
    const QV_String oldName(fList->SelectedText());
    QV_String name(oldName.CString());
    if (!gRunActionNameDlog || gRunActionNameDlog(fWindow ? fWindow : fOwner, name) != MSG_OK)
        return;
    fDocument->SetDirty();
    fDocument->PrepUndo(layer);
    layer->RenamePose(oldName.CString(), name.CString());
    RunCommand(1006);
}

bool ActionLayer::RunCommand(int32_t what)
{
    switch (what) {
    case 1006:
        fList->RefreshRows();
        UpdateButtons();
        return true;
    case kActionUpdateButtons:
        if (fDocument)
            UpdateButtons();
        return true;
    case kActionNew:
    case kActionInsertRef:
    case kActionInsertCopy:
    case kActionDelete:
    case kActionMakeActive:
    case kActionRename:
    case kActionOptions:
        break;
    default:
        return false;
    }
    if (!fDocument || !CurrentLayer())
        return true;
    switch (what) {
    case kActionNew:
        NewAction();
        break;
    case kActionInsertRef:
    case kActionInsertCopy:
        InsertAction(what == kActionInsertRef);
        break;
    case kActionDelete:
        DeleteAction();
        break;
    case kActionMakeActive:
        MakeActive();
        break;
    case kActionRename:
        RenameAction();
        break;
    case kActionOptions:
        UpdateOptionsMenu(fOptionsMenu);
        if (fOptionsMenu && fWindow) {
            const QV_Point at = fWindow->MousePosition();
            fOptionsMenu->Popup(fWindow, at.x, at.y);
        }
        break;
    default:
        break;
    }
    return true;
}

// ---------------------------------------------------------------------------------------------
// ActionWnd

ActionWnd::ActionWnd(VornDoc* document, QV_Wnd* owner)
    : QV_Wnd(5, Localize("/Windows/Actions/Title=Actions"), true, owner, 32, 32, 287, 159)
    , fDocument(nullptr)
    , fLayer(nullptr)
    , fOptionsMenu(nullptr)
{
    if (!fHwnd)
        return;
    ResizeTo(128, 256);
    const QV_Rect screen = UsableScreenRect();
    MoveOuterTo(screen.right - 368, screen.bottom - 288);
    fLocationName = "ActionWnd";
    fShapeName = "ActionWnd";
    fOptionsMenu = new QV_Menu("Action Options");
    fOptionsMenu->AddItem(Localize("/Windows/Actions/MakeActive=Make Active"), 0, kActionMakeActive);
    fOptionsMenu->AddItem(Localize("/Windows/Actions/InsertReference=Insert Reference"), 0, kActionInsertRef);
    fOptionsMenu->AddItem(Localize("/Windows/Actions/InsertCopy=Insert Copy"), 0, kActionInsertCopy);
    fOptionsMenu->AddItem(Localize("/Windows/Actions/Rename=Rename..."), 0, kActionRename);
    fOptionsMenu->AddItem(Localize("/Windows/Actions/Delete=Delete"), 0, kActionDelete);
    fOptionsMenu->fTarget = this;
    Show();
    SetDocument(document);
}

ActionWnd::~ActionWnd()
{
    if (gActionWnd == this)
        gActionWnd = nullptr;
    delete fOptionsMenu;
}

void ActionWnd::Opened()
{
    const QV_Rect bounds = Bounds();
    const int32_t width = bounds.right - bounds.left + 1;
    const int32_t height = bounds.bottom - bounds.top + 1;
    fLayer = new ActionLayer(fDocument, fParent);
    fLayer->ResizeTo(width, height);
    const int32_t top = fLayer->fList->Frame().top;
    fLayer->fList->ResizeTo(width, std::max(1, height - top));
    AddLayer(fLayer);
    fLayer->fOptionsMenu = fOptionsMenu;
    // Nothing is drawn before the window is mapped: presenting into an unmapped window blocks in
    // the X server. The constructor hands over the document once Show has mapped it.
}

void ActionWnd::Closed()
{
    if (gActionWnd == this)
        gActionWnd = nullptr;
    QV_Wnd::Closed();
}

void ActionWnd::SizeLimits(QV_Point& minimum, QV_Point& maximum)
{
    minimum = { fLayer ? fLayer->fDeleteButton->Frame().right + 1 : 128, 200 };
    maximum = { 8192, 8192 };
}

void ActionWnd::SetDocument(VornDoc* document)
{
    fDocument = document;
    if (!fLayer)
        return;
    fLayer->fOptionsMenu = fOptionsMenu;
    fLayer->SetDocument(document);
    if (document)
        PostMessage(kActionUpdateButtons);
}

void ActionWnd::HandleMessage(QV_Message* message)
{
    const int32_t what = message ? message->fWhat : 0;
    if (fLayer && fLayer->RunCommand(what)) {
        if (what == 1006)
            PostMessage(kActionUpdateButtons);
        return;
    }
    QV_Wnd::HandleMessage(message);
}

bool ActionWndOpen(VornWnd*)
{
    return gActionWnd != nullptr;
}

bool HandleActionWndCommand(VornWnd* owner, int32_t command)
{
    if (command == 3254) {
        if (gActionWnd) {
            ActionWnd* window = gActionWnd;
            gActionWnd = nullptr;
            PlatWindowDestroy(window->fHwnd);
            return true;
        }
        auto* window = new ActionWnd(owner ? owner->fDocument : nullptr, owner);
        if (!window->fHwnd) {
            delete window;
            return true;
        }
        gActionWnd = window;
        return true;
    }
    if (command == 1006 && gActionWnd) {
        VornDoc* document = owner ? owner->fDocument : nullptr;
        if (gActionWnd->fDocument != document)
            gActionWnd->SetDocument(document);
        else
            gActionWnd->PostMessage(1006);
        // Every window of the chain may want the notification.
        return false;
    }
    return false;
}
