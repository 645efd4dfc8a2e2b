#include "plat_folders.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fontconfig/fontconfig.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string ParentOf(const std::string& path)
{
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return {};
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

std::string HomeFolder()
{
    const char* home = getenv("HOME");
    if (home && *home)
        return home;
    if (const passwd* entry = getpwuid(getuid()); entry && entry->pw_dir && *entry->pw_dir)
        return entry->pw_dir;
    return {};
}

bool IsFolder(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

} // namespace

std::string PlatAppFolder()
{
    const char* forced = getenv("CELVANE_APP_FOLDER");
    if (forced && *forced) {
        std::string folder = forced;
        while (folder.size() > 1 && folder.back() == '/')
            folder.pop_back();
        return folder;
    }
    char path[PATH_MAX];
    ssize_t length = readlink("/proc/self/exe", path, sizeof(path) - 1);
    if (length <= 0)
        return {};
    path[length] = '\0';
    return ParentOf(path);
}

std::string PlatConfigFolder()
{
    const char* config = getenv("XDG_CONFIG_HOME");
    // A relative value is invalid by the XDG rules and is ignored.
    if (config && config[0] == '/') {
        std::string folder = config;
        while (folder.size() > 1 && folder.back() == '/')
            folder.pop_back();
        return folder;
    }
    std::string home = HomeFolder();
    if (home.empty())
        return {};
    if (home.back() != '/')
        home += '/';
    return home + ".config";
}

bool PlatMakeFolders(const std::string& folder)
{
    if (folder.empty())
        return false;
    if (IsFolder(folder))
        return true;
    std::string parent = ParentOf(folder);
    if (!parent.empty() && parent != folder && !PlatMakeFolders(parent))
        return false;
    if (mkdir(folder.c_str(), 0700) == 0)
        return true;
    return errno == EEXIST && IsFolder(folder);
}

std::string PlatRealFilePath(const std::string& path)
{
    if (path.empty())
        return {};
    char resolved[PATH_MAX];
    if (!realpath(path.c_str(), resolved))
        return {};
    struct stat info;
    if (stat(resolved, &info) != 0 || !S_ISREG(info.st_mode))
        return {};
    return resolved;
}

std::vector<std::string> PlatFontFolders()
{
    std::vector<std::string> folders;
    // A configuration of our own, destroyed after use: fontconfig's shared
    // current one is never freed whole.
    FcConfig* config = FcInitLoadConfigAndFonts();
    if (!config)
        return folders;
    if (FcStrList* list = FcConfigGetFontDirs(config)) {
        while (FcChar8* dir = FcStrListNext(list))
            folders.emplace_back(reinterpret_cast<const char*>(dir));
        FcStrListDone(list);
    }
    FcConfigDestroy(config);
    return folders;
}

std::string PlatFontFamilyFile(const char* family)
{
    if (!family || !*family)
        return {};
    std::string file;
    FcConfig* config = FcInitLoadConfigAndFonts();
    if (!config)
        return file;
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
    FcPatternAddInteger(pattern, FC_WEIGHT, FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, FC_SLANT_ROMAN);
    FcConfigSubstitute(config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    if (FcPattern* match = FcFontMatch(config, pattern, &result)) {
        FcChar8* matchedFamily = nullptr;
        FcChar8* path = nullptr;
        for (int i = 0; FcPatternGetString(match, FC_FAMILY, i, &matchedFamily) == FcResultMatch; ++i) {
            if (FcStrCmpIgnoreCase(matchedFamily, reinterpret_cast<const FcChar8*>(family)) == 0) {
                if (FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch)
                    file = reinterpret_cast<const char*>(path);
                break;
            }
        }
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pattern);
    FcConfigDestroy(config);
    return file;
}
