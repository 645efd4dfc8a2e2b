#include "file_dialogs.h"

#include <algorithm>
#include <cstdlib>
#include <strings.h>
#include <sys/stat.h>

#include "chooser_folder_list.h"
#include "plat_beep.h"
#include "plat_files.h"
#include "qv_alert.h"
#include "qv_app.h"
#include "qv_button.h"
#include "qv_layout_view.h"
#include "qv_menu.h"
#include "qv_message.h"
#include "qv_popup_menu.h"
#include "qv_static_text.h"
#include "qv_text_control.h"

namespace {

QV_String gLastChooserFolder;

constexpr int32_t kChooserRowMessage = -1020;
constexpr int32_t kChooserOpenMessage = -1021;
// File-type items count down from here.
constexpr int32_t kChooserFirstType = -1200;
constexpr int32_t kChooserMaxTypes = 100;

bool IsFolder(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string Join(const std::string& folder, const std::string& name)
{
    if (folder.empty() || folder.back() == '/' || name.front() == '/')
        return folder + name;
    return folder + "/" + name;
}

bool WildcardMatch(const char* pattern, const char* name)
{
    for (; *pattern; ++pattern, ++name) {
        if (*pattern == '*') {
            while (pattern[1] == '*')
                ++pattern;
            for (const char* rest = name;; ++rest) {
                if (WildcardMatch(pattern + 1, rest))
                    return true;
                if (!*rest)
                    return false;
            }
        }
        if (!*name)
            return false;
        if (*pattern != '?'
            && std::tolower(static_cast<unsigned char>(*pattern))
                != std::tolower(static_cast<unsigned char>(*name)))
            return false;
    }
    return !*name;
}

QV_String FolderOf(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return QV_String("");
    return QV_String(slash == 0 ? "/" : path.substr(0, slash).c_str());
}

} // namespace

int32_t ChooserTypeMessage(int32_t index)
{
    return kChooserFirstType - index;
}

std::vector<FileFilter> ParseFileFilters(const char* text)
{
    std::vector<FileFilter> filters;
    const std::string all = text ? text : "";
    std::vector<std::string> parts;
    size_t start = 0;
    while (start < all.size()) {
        const size_t bang = all.find('!', start);
        parts.push_back(all.substr(start, bang == std::string::npos ? std::string::npos : bang - start));
        if (bang == std::string::npos)
            break;
        start = bang + 1;
    }
    for (size_t i = 0; i + 1 < parts.size(); i += 2) {
        FileFilter filter;
        filter.description = parts[i];
        size_t from = 0;
        const std::string& patterns = parts[i + 1];
        while (from <= patterns.size()) {
            const size_t semi = patterns.find(';', from);
            const std::string one
                = patterns.substr(from, semi == std::string::npos ? std::string::npos : semi - from);
            if (!one.empty())
                filter.patterns.push_back(one);
            if (semi == std::string::npos)
                break;
            from = semi + 1;
        }
        filters.push_back(filter);
    }
    return filters;
}

bool FileMatchesFilter(const FileFilter& filter, const char* name)
{
    if (!name || !*name || name[0] == '.')
        return false;
    for (const std::string& pattern : filter.patterns) {
        if (pattern == "*.*" || WildcardMatch(pattern.c_str(), name))
            return true;
    }
    return false;
}

QV_String ChooserStartFolder(const char* folder)
{
    if (folder && *folder && IsFolder(folder))
        return QV_String(folder);
    if (!gLastChooserFolder.IsEmpty() && IsFolder(gLastChooserFolder.CString()))
        return gLastChooserFolder;
    const char* home = std::getenv("HOME");
    return QV_String(home && *home ? home : "/");
}

QV_String ResolveChosenPath(const char* folder, const char* typed, bool save, const char* defaultExtension)
{
    std::string name = typed ? typed : "";
    while (!name.empty() && name.back() == ' ')
        name.pop_back();
    if (name.empty() || name.back() == '/')
        return QV_String("");
    std::string path = name.front() == '/' ? name : Join(folder ? folder : "", name);
    if (save) {
        const size_t slash = path.find_last_of('/');
        const std::string base = path.substr(slash == std::string::npos ? 0 : slash + 1);
        if (base.find('.') == std::string::npos && defaultExtension && *defaultExtension)
            path += std::string(".") + defaultExtension;
        return QV_String(path.c_str());
    }
    const size_t slash = path.find_last_of('/');
    const std::string found = PlatFindFile(path.substr(0, slash), path.substr(slash + 1));
    return QV_String(found.c_str());
}

FileChooserDialog::FileChooserDialog(const char* title, QV_Wnd* owner, bool save, const char* folder,
    const char* proposedName, const char* defaultExtension, QV_String* result)
    : QV_Dialog(title, owner)
    , fSave(save)
    , fFolder(folder ? folder : "")
    , fDefaultExtension(defaultExtension ? defaultExtension : "")
    , fPathField(nullptr)
    , fResult(result)
    , fList(nullptr)
    , fHasFilter(false)
    , fTypes(nullptr)
{
    std::string shown = Join(fFolder.CString(), proposedName && *proposedName ? proposedName : "");
    auto* content = new QV_LayoutView(true, 8, 8, 8);
    fPathField = new QV_TextControl(400, shown.c_str(), 0, FIELD_TEXT);
    content->AddChild(fPathField, ALIGN_LEFT);
    fList = new ChooserFolderList(kChooserRowMessage, kChooserOpenMessage);
    fList->SetSize(400, 240);
    fList->ShowFolder(fFolder.CString(), nullptr);
    content->AddChild(fList, ALIGN_LEFT);
    if (!save) {
        fTypes = new QV_PopupMenu(400, true);
        fTypes->SetMenu(new QV_Menu(Localize("/Strings/FileChooser/Types=File types")));
        content->AddChild(fTypes, ALIGN_LEFT);
    }
    content->PushH(ALIGN_RIGHT, 8);
    auto* ok = new QV_Button(Localize("/Strings/OK=OK"), MSG_OK, 64, true, FOLLOW_LEFT | FOLLOW_TOP);
    auto* cancel
        = new QV_Button(Localize("/Strings/Cancel=Cancel"), MSG_CANCEL, 64, false, FOLLOW_LEFT | FOLLOW_TOP);
    content->AddChild(ok, ALIGN_CENTER);
    content->AddChild(cancel, ALIGN_CENTER);
    content->Pop();
    AddView(content);
    fDefaultButton = ok;
    fCancelButton = cancel;
    fInitialFocus = fPathField;
}

bool FileChooserDialog::OnValidate()
{
    std::string typed = fPathField->Value();
    // The field starts with the shown folder; what stands after it is the name.
    const std::string prefix = Join(fFolder.CString(), "");
    if (!prefix.empty() && typed.rfind(prefix, 0) == 0 && typed.size() > prefix.size())
        typed = typed.substr(prefix.size());
    const std::string full
        = typed.empty() ? "" : (typed.front() == '/' ? typed : Join(fFolder.CString(), typed));
    if (!full.empty() && IsFolder(full)) {
        // A folder typed or picked becomes the shown folder.
        OpenFolder(full);
        return false;
    }
    const QV_String path
        = ResolveChosenPath(fFolder.CString(), typed.c_str(), fSave, fDefaultExtension.CString());
    QV_Wnd* window = fWindow;
    if (path.IsEmpty()) {
        if (!fSave && !typed.empty())
            Alert(window, ALERT_WARNING, Localize("/Strings/FileChooser/NotFound=The file was not found:"),
                typed.c_str(), nullptr, Localize("/Strings/OK=OK"), nullptr, nullptr);
        return false;
    }
    struct stat info;
    if (fSave && stat(path.CString(), &info) == 0) {
        const QV_String name = path.AfterLast('/');
        const int32_t answer = Alert(window, ALERT_QUESTION, name.CString(),
            Localize("/Strings/FileChooser/Exists=already exists. Replace it?"), nullptr,
            Localize("/Strings/FileChooser/Replace=Replace"), Localize("/Strings/Cancel=Cancel"), nullptr);
        if (answer != 0)
            return false;
    }
    fChosen = path;
    return true;
}

void FileChooserDialog::ExchangeData(bool apply)
{
    if (!apply || fChosen.IsEmpty())
        return;
    if (fResult)
        *fResult = fChosen;
    gLastChooserFolder = FolderOf(fChosen.CString());
}

void FileChooserDialog::HandleMessage(QV_Message* message)
{
    const int32_t what = message ? message->fWhat : 0;
    if (what == kChooserRowMessage) {
        const std::string row = fList->SelItemLabel();
        if (!row.empty())
            fPathField->SetValue(Join(Join(fFolder.CString(), ""), row).c_str());
        return;
    }
    const int32_t type = kChooserFirstType - what;
    if (type >= 0 && type < int32_t(fFilters.size())) {
        SetFilter(fFilters[size_t(type)]);
        return;
    }
    if (what == kChooserOpenMessage) {
        // As OK would: a folder opens, a file is chosen.
        PostMessage(MSG_OK);
        return;
    }
    QV_Dialog::HandleMessage(message);
}

void FileChooserDialog::SetFilter(const FileFilter& filter)
{
    fFilter = filter;
    fHasFilter = true;
    fList->ShowFolder(fFolder.CString(), &fFilter);
}

void FileChooserDialog::SetFilters(const std::vector<FileFilter>& filters)
{
    fFilters.assign(filters.begin(), filters.begin() + std::min<size_t>(filters.size(), kChooserMaxTypes));
    if (fTypes) {
        QV_Menu* menu = fTypes->Menu();
        menu->RemoveAllItems();
        for (size_t i = 0; i < fFilters.size(); ++i)
            menu->AddItem(fFilters[i].description.c_str(), 0, ChooserTypeMessage(int32_t(i)));
        menu->SetChecked(ChooserTypeMessage(0), true);
        fTypes->Redraw(true);
    }
    if (!fFilters.empty())
        SetFilter(fFilters.front());
}

bool FileChooserDialog::OpenFolder(const std::string& folder)
{
    std::string target = folder;
    // "name/../" leads to the folder above the shown one.
    while (target.size() >= 3 && target.compare(target.size() - 3, 3, "/..") == 0)
        target = ParentFolder(target.substr(0, target.size() - 3));
    if (target.size() >= 4 && target.compare(target.size() - 4, 4, "/../") == 0)
        target = ParentFolder(target.substr(0, target.size() - 4));
    if (!fList->ShowFolder(target.c_str(), fHasFilter ? &fFilter : nullptr)) {
        Alert(fWindow, ALERT_WARNING,
            Localize("/Strings/FileChooser/CannotRead=The folder cannot be read:"), target.c_str(), nullptr,
            Localize("/Strings/OK=OK"), nullptr, nullptr);
        return false;
    }
    fFolder = target.c_str();
    fPathField->SetValue(Join(target, "").c_str());
    fPathField->SelectAll();
    return true;
}

namespace {

bool RunChooser(FileChooserDialog* dialog, QV_String& chosen, QV_Handler* handler, int32_t messageId)
{
    if (dialog->DoModal() != MSG_OK || chosen.IsEmpty())
        return false;
    if (handler) {
        QV_Message message(messageId);
        message.AddString("path", chosen.CString());
        handler->DispatchMessage(&message);
    }
    return true;
}

} // namespace

bool RunOpenFileDialog(const char* title, QV_Handler* handler, QV_Wnd* owner, int32_t messageId,
    const char* filterDescription, const char* filterPattern)
{
    QV_String chosen;
    const QV_String folder = ChooserStartFolder(nullptr);
    auto* dialog = new FileChooserDialog(title, owner, false, folder.CString(), "", "", &chosen);
    const std::string text = std::string(filterDescription && *filterDescription ? filterDescription : "All Files")
        + "!" + (filterPattern && *filterPattern ? filterPattern : "*.*");
    dialog->SetFilters(ParseFileFilters(text.c_str()));
    return RunChooser(dialog, chosen, handler, messageId);
}

void RunSaveFileDialog(const char* title, QV_Handler* handler, QV_Wnd* owner, int32_t messageId,
    const char* defaultName, const char* initialFolder)
{
    QV_String chosen;
    const QV_String folder = ChooserStartFolder(initialFolder);
    QV_String extension;
    QV_String name = "Untitled";
    if (defaultName && *defaultName) {
        name = defaultName;
        if (name.FindLastChar('.') >= 0)
            extension = name.AfterLast('.');
    }
    auto* dialog = new FileChooserDialog(
        title, owner, true, folder.CString(), name.CString(), extension.CString(), &chosen);
    RunChooser(dialog, chosen, handler, messageId);
}
