// Media files named in documents and models, found on a case-sensitive disk.

#include "media_path.h"

#include <sys/stat.h>

#include "plat_files.h"
#include "qv_path.h"
#include "vorndoc.h"

namespace {

bool IsRegularFile(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::string FindInFolder(const std::string& path)
{
    if (path.empty() || IsRegularFile(path))
        return path;
    QV_Path p(path.c_str());
    const std::string folder = p.Folder().CString();
    const std::string name = p.FileName().CString();
    const std::string found = PlatFindFile(folder, name);
    return found.empty() ? path : found;
}

} // namespace

std::string FindMediaFile(const char* path, const VornDoc* doc)
{
    if (!path || !*path)
        return {};
    QV_Path p(path);
    p.ToSlashes();
    std::string full = p.CString();
    if (full[0] != '/' && doc && !doc->Path().IsEmpty()) {
        QV_Path joined(doc->Path().Folder());
        joined.Append(p);
        full = joined.CString();
    }
    return FindInFolder(full);
}

std::string FindMediaFileBeside(const char* name, const char* beside)
{
    if (!name || !*name)
        return {};
    QV_Path n(name);
    n.ToSlashes();
    if (IsRegularFile(n.CString()))
        return n.CString();
    QV_Path joined(QV_Path(beside ? beside : "").Folder());
    joined.Append(n);
    return FindInFolder(joined.CString());
}
