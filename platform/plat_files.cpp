#include "plat_files.h"

#include <algorithm>
#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>

namespace {

std::string Join(const std::string& folder, const std::string& name)
{
    if (folder.empty() || folder.back() == '/' || name.front() == '/')
        return folder + name;
    return folder + "/" + name;
}

bool IsFile(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

} // namespace

std::vector<std::string> PlatListFolder(const std::string& folder)
{
    std::vector<std::string> names;
    DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
    if (!dir)
        return names;
    while (dirent* entry = readdir(dir)) {
        std::string name = entry->d_name;
        if (name != "." && name != "..")
            names.push_back(std::move(name));
    }
    closedir(dir);
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        int order = strcasecmp(a.c_str(), b.c_str());
        return order != 0 ? order < 0 : a < b;
    });
    return names;
}

std::string PlatFindFile(const std::string& folder, const std::string& name)
{
    if (name.empty())
        return {};
    std::string exact = Join(folder, name);
    if (IsFile(exact))
        return exact;
    for (const std::string& entry : PlatListFolder(folder)) {
        if (strcasecmp(entry.c_str(), name.c_str()) == 0) {
            std::string path = Join(folder, entry);
            if (IsFile(path))
                return path;
        }
    }
    return {};
}
