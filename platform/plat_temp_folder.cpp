#include "plat_temp_folder.h"

#include <cstdlib>
#include <filesystem>
#include <limits.h>
#include <mutex>
#include <string.h>
#include <system_error>
#include <unistd.h>

namespace {

// Plain storage: the exit handler may run after static destructors.
char gProcessFolder[PATH_MAX];
pid_t gProcessFolderOwner;
std::once_flag gProcessFolderOnce;

void RemoveProcessFolder()
{
    // A forked child inherits this handler; only the process that made the
    // folder may take it away.
    if (gProcessFolder[0] && getpid() == gProcessFolderOwner)
        PlatRemoveFolderTree(gProcessFolder);
}

void MakeProcessFolder()
{
    const std::string folder = PlatMakePrivateFolder(PlatTempFolder());
    if (folder.empty() || folder.size() >= sizeof(gProcessFolder))
        return;
    memcpy(gProcessFolder, folder.c_str(), folder.size() + 1);
    gProcessFolderOwner = getpid();
    atexit(RemoveProcessFolder);
}

} // namespace

std::string PlatTempFolder()
{
    for (const char* name : { "TEMP", "TMPDIR" }) {
        const char* value = getenv(name);
        if (value && *value)
            return value;
    }
    return "/tmp";
}

std::string PlatMakePrivateFolder(const std::string& base)
{
    if (base.empty())
        return {};
    std::string pattern = base;
    if (pattern.back() != '/')
        pattern += '/';
    pattern += "celvane-XXXXXX";
    if (!mkdtemp(pattern.data()))
        return {};
    return pattern;
}

bool PlatRemoveFolderTree(const std::string& folder)
{
    std::error_code error;
    std::filesystem::remove_all(folder, error);
    return !error;
}

std::string PlatProcessTempFolder()
{
    std::call_once(gProcessFolderOnce, MakeProcessFolder);
    return gProcessFolder;
}
