#include "chooser_folder_list.h"

#include <sys/stat.h>
#include <unistd.h>

#include "file_dialogs.h"
#include "qv_file_lister.h"
#include "qv_message.h"

namespace {

bool IsFolderPath(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string Joined(const std::string& folder, const std::string& name)
{
    return folder.empty() || folder.back() == '/' ? folder + name : folder + "/" + name;
}

} // namespace

std::string ParentFolder(const std::string& folder)
{
    std::string path = folder;
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return path;
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool ChooserFolderRows(const char* folder, const FileFilter* filter, std::vector<std::string>& rows)
{
    rows.clear();
    const std::string base = folder ? folder : "";
    if (base.empty() || !IsFolderPath(base) || access(base.c_str(), R_OK | X_OK) != 0)
        return false;
    if (ParentFolder(base) != base)
        rows.push_back("../");
    std::vector<std::string> files;
    QV_FileLister lister(base.c_str());
    while (const char* name = lister.NextFile()) {
        if (name[0] == '.')
            continue;
        if (IsFolderPath(Joined(base, name)))
            rows.push_back(std::string(name) + "/");
        else if (!filter || FileMatchesFilter(*filter, name))
            files.push_back(name);
    }
    rows.insert(rows.end(), files.begin(), files.end());
    return true;
}

ChooserFolderList::ChooserFolderList(int32_t message, int32_t openMessage)
    : QV_TextList(message)
    , fOpenMessage(openMessage)
{
}

bool ChooserFolderList::ShowFolder(const char* folder, const FileFilter* filter)
{
    std::vector<std::string> rows;
    if (!ChooserFolderRows(folder, filter, rows))
        return false;
    // Rows go straight into the array: one redraw for the whole folder.
    for (int32_t i = 0; i < fItems.fCount; ++i)
        delete static_cast<QV_String*>(fItems.fItems[i]);
    fItems.fCount = 0;
    for (const std::string& row : rows)
        fItems.Append(new QV_String(row.c_str()));
    fSelItem = -1;
    fScrollY = 0;
    UpdateBar();
    SetSelItem(0);
    return true;
}

void ChooserFolderList::MouseDown(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message)
{
    const int32_t before = SelItem();
    QV_TextList::MouseDown(x, y, button, modifiers, message);
    bool doubleClick = false;
    if (message && message->FindBool("doubleclick", doubleClick) && doubleClick && SelItem() >= 0
        && SelItem() == before)
        PostMessage(fOpenMessage);
}
