#include "app_folders.h"

#include "plat_folders.h"
#include "qv_app.h"

namespace {

const char* const kMakerFolder = "Drelmor";

QV_String AppName()
{
    return gApp ? gApp->fName : QV_String("Celvane Pomra");
}

QV_String AppVersion()
{
    return gApp ? gApp->fVersion : QV_String("6.0");
}

} // namespace

QV_Path AppFolder()
{
    return QV_Path(PlatAppFolder().c_str());
}

QV_Path ResourcesFolder()
{
    QV_Path folder = AppFolder();
    folder.Append("Resources");
    return folder;
}

QV_Path UserAppDataFolder()
{
    const std::string config = PlatConfigFolder();
    if (config.empty())
        return AppFolder();
    QV_Path folder(config.c_str());
    folder.Append(kMakerFolder);
    folder.Append(AppName());
    // Failure is not reported here: reading finds nothing and writing fails quietly.
    PlatMakeFolders(folder.CString());
    return folder;
}

QV_Path CommonAppDataFolder()
{
    const std::string config = PlatConfigFolder();
    if (config.empty())
        return AppFolder();
    QV_Path folder(config.c_str());
    folder.Append(kMakerFolder);
    folder.Append(AppName());
    folder.Append(AppVersion());
    return folder;
}

QV_Path FontsFolder()
{
    if (gApp) {
        QV_String fontDir;
        if (gApp->fUserSettings.FindString("FontDir", fontDir))
            return QV_Path(fontDir);
    }
    const std::vector<std::string> folders = PlatFontFolders();
    if (!folders.empty())
        return QV_Path(folders.front().c_str());
    return QV_Path("/usr/share/fonts");
}
