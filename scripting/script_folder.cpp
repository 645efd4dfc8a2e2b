#include "script_folder.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

namespace {

int CompareIgnoringCase(const std::string& a, const std::string& b)
{
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; i++) {
        const int ca = std::tolower(static_cast<unsigned char>(a[i]));
        const int cb = std::tolower(static_cast<unsigned char>(b[i]));
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool IsRegularFile(const std::string& path)
{
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

} // namespace

std::vector<std::string> ListScriptFolder(const std::string& folder)
{
    std::vector<std::string> names;
    std::error_code error;
    std::filesystem::directory_iterator it(folder, error);
    if (error)
        return names;
    for (; it != std::filesystem::directory_iterator(); it.increment(error)) {
        if (error)
            break;
        names.push_back(it->path().filename().string());
    }
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        const int order = CompareIgnoringCase(a, b);
        return order != 0 ? order < 0 : a < b;
    });
    return names;
}

std::string JoinScriptPath(const std::string& folder, const std::string& name)
{
    if (folder.empty() || folder.back() == '/' || (!name.empty() && name.front() == '/'))
        return folder + name;
    return folder + "/" + name;
}

bool IsLuaFile(const std::string& name)
{
    const size_t dot = name.rfind('.');
    return dot != std::string::npos && CompareIgnoringCase(name.substr(dot + 1), "lua") == 0;
}

bool IsFolder(const std::string& path)
{
    std::error_code error;
    return std::filesystem::is_directory(path, error);
}

std::string FindScriptFile(const std::string& folder, const std::string& name)
{
    const std::string exact = JoinScriptPath(folder, name);
    if (IsRegularFile(exact))
        return exact;
    for (const std::string& entry : ListScriptFolder(folder)) {
        const std::string path = JoinScriptPath(folder, entry);
        if (CompareIgnoringCase(entry, name) == 0 && IsRegularFile(path))
            return path;
    }
    return std::string();
}
