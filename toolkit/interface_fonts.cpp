#include "interface_fonts.h"

#include <string>
#include <strings.h>
#include <vector>

#include "plat_files.h"
#include "plat_folders.h"
#include "qv_app.h"
#include "qv_font.h"

QV_Font* gWidgetFont = nullptr;
QV_Font* gMenuFont = nullptr;
QV_Font* gPanelFont = nullptr;
QV_Font* gNormalFonts[kInterfaceFontCount] = {};
QV_Font* gLargeFonts[kInterfaceFontCount] = {};

namespace {

QV_Font** const kCurrentFonts[kInterfaceFontCount] = { &gWidgetFont, &gMenuFont, &gPanelFont };

// Where fonts-wine keeps its fonts: outside fontconfig's folders.
const char* const kWineFontFolder = "/usr/share/wine/fonts";

std::string FindInFolders(const std::vector<std::string>& folders, const char* fileName)
{
    for (const std::string& folder : folders) {
        std::string path = PlatFindFile(folder, fileName);
        if (!path.empty())
            return path;
    }
    return {};
}

std::vector<std::string> StandInFiles(const char* fileName)
{
    std::vector<std::string> files;
    auto add = [&files](const std::string& path) {
        if (!path.empty())
            files.push_back(path);
    };
    if (strcasecmp(fileName, "tahoma.ttf") == 0)
        add(PlatFindFile(kWineFontFolder, "tahoma.ttf"));
    if (strcasecmp(fileName, "msgothic.ttc") == 0)
        add(PlatFontFamilyFile("IPAGothic"));
    add(PlatFontFamilyFile("DejaVu Sans"));
    return files;
}

void UseLargeFontsWhenAsked(const QV_App& app)
{
    bool large = false;
    if (!app.fUserSettings.FindBool("UseLargeFonts", large) || !large)
        return;
    for (int32_t i = 0; i < kInterfaceFontCount; ++i)
        *kCurrentFonts[i] = gLargeFonts[i];
}

} // namespace

void CreateInterfaceFonts()
{
    DeleteInterfaceFonts();
    for (int32_t i = 0; i < kInterfaceFontCount; ++i) {
        gNormalFonts[i] = QV_Font::CreateBuiltIn(i);
        gLargeFonts[i] = QV_Font::CreateBuiltIn(i + kInterfaceFontCount);
        *kCurrentFonts[i] = gNormalFonts[i];
    }
}

void DeleteInterfaceFonts()
{
    for (int32_t i = 0; i < kInterfaceFontCount; ++i) {
        DeleteFont(gNormalFonts[i]);
        DeleteFont(gLargeFonts[i]);
        gNormalFonts[i] = nullptr;
        gLargeFonts[i] = nullptr;
        *kCurrentFonts[i] = nullptr;
    }
}

FontFileChoice ChooseFontFile(const char* fileName, int32_t faceIndex)
{
    FontFileChoice choice;
    if (!fileName || !*fileName)
        return choice;
    std::vector<std::string> folders;
    QV_String fontDir;
    if (gApp && gApp->fUserSettings.FindString("FontDir", fontDir))
        folders.push_back(fontDir.CString());
    else
        folders = PlatFontFolders();
    std::string path = FindInFolders(folders, fileName);
    if (!path.empty()) {
        choice.path = path.c_str();
        choice.faceIndex = faceIndex;
        return choice;
    }
    const std::vector<std::string> standIns = StandInFiles(fileName);
    if (!standIns.empty())
        choice.path = standIns.front().c_str();
    return choice;
}

QV_Font* LoadFontFile(const char* fileName, int32_t faceIndex)
{
    FontFileChoice choice = ChooseFontFile(fileName, faceIndex);
    if (choice.path.IsEmpty())
        return nullptr;
    return QV_Font::OpenFace(choice.path.CString(), choice.faceIndex);
}

void QV_App::LoadFonts()
{
    const QV_String locale = Localize("/Strings/Locale=EN");
    UseLargeFontsWhenAsked(*this);
    if (locale != "EN" && fStringsLoaded) {
        const bool japanese = locale == "JP";
        const char* fileName = japanese ? "msgothic.ttc" : "tahoma.ttf";
        const int32_t size = japanese ? 10 : 9;
        // Looked up once: finding the file asks fontconfig, opening is cheap.
        const FontFileChoice choice = ChooseFontFile(fileName, japanese ? 2 : 0);
        for (int32_t i = 0; i < kInterfaceFontCount && !choice.path.IsEmpty(); ++i) {
            QV_Font* normal = QV_Font::OpenFace(choice.path.CString(), choice.faceIndex);
            if (!normal)
                continue;
            normal->SetSize(size);
            DeleteFont(gNormalFonts[i]);
            gNormalFonts[i] = normal;
            if (QV_Font* large = QV_Font::OpenFace(choice.path.CString(), choice.faceIndex)) {
                large->SetSize(12);
                // The current font may still point at the large slot being replaced.
                if (*kCurrentFonts[i] == gLargeFonts[i])
                    *kCurrentFonts[i] = nullptr;
                DeleteFont(gLargeFonts[i]);
                gLargeFonts[i] = large;
            }
            *kCurrentFonts[i] = gNormalFonts[i];
        }
    }
    UseLargeFontsWhenAsked(*this);
}
