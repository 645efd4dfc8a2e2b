#include "app_prefs.h"

#include <cstring>
#include <sys/stat.h>

#include "image_format_registry.h"
#include "media_presence.h"
#include "qv_memstream.h"
#include "qv_message.h"

ShellPrefs gPrefs;
EditorToggles gToggles;
int32_t gStylePanelWidth = 220;

namespace {

enum class Kind { Color, Int, Bool, Real, Text };

struct PrefEntry {
    const char* key;
    Kind kind;
    void* value;
};

// The keys in the order they are read and written.
const PrefEntry* Table(int32_t& count)
{
    static const PrefEntry entries[] = {
        { "VornColBack", Kind::Color, &gPrefs.colBack },
        { "VornColObj", Kind::Color, &gPrefs.colObj },
        { "VornColSel", Kind::Color, &gPrefs.colSel },
        { "VornColInac", Kind::Color, &gPrefs.colInac },
        { "VornColFill", Kind::Color, &gPrefs.colFill },
        { "VornColLine", Kind::Color, &gPrefs.colLine },
        { "QualityFlags", Kind::Int, &gPrefs.qualityFlags },
        { "PreferredFormat", Kind::Int, &gPrefs.preferredFormat },
        { "AutoLockKeys", Kind::Bool, &gPrefs.autoLockKeys },
        { "ScaleCompensation", Kind::Bool, &gPrefs.scaleCompensation },
        { "GapFilling", Kind::Bool, &gPrefs.gapFilling },
        { "ConstructionCurves", Kind::Bool, &gPrefs.constructionCurves },
        { "AutoNaming", Kind::Bool, &gPrefs.autoNaming },
        { "ZoomBox", Kind::Bool, &gPrefs.zoomBox },
        { "MasterAnimChannel", Kind::Bool, &gPrefs.masterAnimChannel },
        { "MarkZero", Kind::Bool, &gPrefs.markZero },
        { "DisableDrawingToolsNonZero", Kind::Bool, &gPrefs.disableDrawingToolsNonZero },
        { "DisableAudioFeedback", Kind::Bool, &gPrefs.disableAudioFeedback },
        { "SMPTE", Kind::Bool, &gPrefs.smpte },
        { "DegreesInTimeline", Kind::Bool, &gPrefs.degreesInTimeline },
        { "DisableCursors", Kind::Bool, &gPrefs.disableCursors },
        { "InsertTextFont", Kind::Int, &gPrefs.insertTextFont },
        { "InsertTextText", Kind::Text, &gPrefs.insertTextText },
        { "InsertTextOneFill", Kind::Bool, &gPrefs.insertTextOneFill },
        { "InsertText_CenterH", Kind::Bool, &gPrefs.insertTextCenterH },
        { "DefaultInterp", Kind::Int, &gPrefs.defaultInterp },
        { "ProjWidth", Kind::Int, &gPrefs.projWidth },
        { "ProjHeight", Kind::Int, &gPrefs.projHeight },
        { "ProjFPS", Kind::Real, &gPrefs.projFps },
        { "ProjStart", Kind::Int, &gPrefs.projStart },
        { "ProjEnd", Kind::Int, &gPrefs.projEnd },
        { "ProjBackCol", Kind::Color, &gPrefs.projBackCol },
        { "ProjDofEnabled", Kind::Bool, &gPrefs.projDofEnabled },
        { "ProjDofDistance", Kind::Real, &gPrefs.projDofDistance },
        { "ProjDofRange", Kind::Real, &gPrefs.projDofRange },
        { "ProjDofBlur", Kind::Real, &gPrefs.projDofBlur },
        { "ProjEnable3D", Kind::Bool, &gPrefs.projEnable3D },
        { "ProjDepthSort", Kind::Bool, &gPrefs.projDepthSort },
        { "ProjDistanceSort", Kind::Bool, &gPrefs.projDistanceSort },
        { "ProjNoise", Kind::Int, &gPrefs.projNoise },
        { "TopStatusBar", Kind::Bool, &gPrefs.topStatusBar },
        { "AdvancedStyle", Kind::Bool, &gPrefs.advancedStyle },
        { "PreviousExportedMovie", Kind::Text, &gPrefs.previousExportedMovie },
        { "YTU", Kind::Text, &gPrefs.ytu },
        { "YTP", Kind::Text, &gPrefs.ytp },
        { "WelcomeScreen", Kind::Bool, &gPrefs.welcomeScreen },
    };
    count = int32_t(sizeof(entries) / sizeof(entries[0]));
    return entries;
}

const PrefEntry* Find(const char* key)
{
    int32_t count = 0;
    const PrefEntry* entries = Table(count);
    for (int32_t i = 0; i < count; i++) {
        if (std::strcmp(entries[i].key, key) == 0)
            return &entries[i];
    }
    return nullptr;
}

// A file the movie export wrote and that is still there to be read.
bool IsReadableFile(const char* path)
{
    struct stat info;
    if (!path || !*path || stat(path, &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    FILE* file = std::fopen(path, "rb");
    if (!file)
        return false;
    std::fclose(file);
    return true;
}

// Printable ASCII is rotated within itself; every other byte stays, so UTF-8 stays valid.
char Rotate(char c, int32_t by)
{
    const unsigned char u = static_cast<unsigned char>(c);
    if (u < 32 || u > 126)
        return c;
    return static_cast<char>(32 + (u - 32 + by + 95) % 95);
}

void RotateText(QV_String& text, int32_t by)
{
    QV_String result;
    const char* bytes = text.CString();
    const size_t length = std::strlen(bytes);
    for (size_t i = 0; i < length; i++)
        result.Append(Rotate(bytes[i], by));
    text = result;
}

} // namespace

void ResetPreferences()
{
    gPrefs.colBack = { 215, 214, 197, 255 };
    gPrefs.colObj = { 51, 102, 102, 255 };
    gPrefs.colSel = { 255, 0, 0, 255 };
    gPrefs.colInac = { 203, 152, 152, 255 };
    gPrefs.colFill = { 255, 255, 255, 255 };
    gPrefs.colLine = { 0, 0, 0, 255 };
    gPrefs.qualityFlags = 1646;
    gPrefs.preferredFormat = ImageFormatRegistry::CountWriters() + 1 + (gQuickTimePresent ? 1 : 0);
    gPrefs.autoLockKeys = true;
    gPrefs.scaleCompensation = true;
    gPrefs.gapFilling = false;
    gPrefs.constructionCurves = false;
    gPrefs.autoNaming = false;
    gPrefs.zoomBox = false;
    gPrefs.masterAnimChannel = true;
    gPrefs.markZero = false;
    gPrefs.disableDrawingToolsNonZero = true;
    gPrefs.disableAudioFeedback = false;
    gPrefs.smpte = false;
    gPrefs.degreesInTimeline = false;
    gPrefs.disableCursors = false;
    gPrefs.insertTextFont = 0;
    gPrefs.insertTextText = "Text";
    gPrefs.insertTextOneFill = true;
    gPrefs.insertTextCenterH = true;
    gPrefs.defaultInterp = 1;
    gPrefs.projWidth = 720;
    gPrefs.projHeight = 534;
    gPrefs.projFps = 24.0f;
    gPrefs.projStart = 1;
    gPrefs.projEnd = 240;
    gPrefs.projBackCol = { 234, 234, 234, 255 };
    gPrefs.projDofEnabled = false;
    gPrefs.projDofDistance = 2.0f;
    gPrefs.projDofRange = 1.0f;
    gPrefs.projDofBlur = 0.05f;
    gPrefs.projEnable3D = true;
    gPrefs.projDepthSort = false;
    gPrefs.projDistanceSort = false;
    gPrefs.projNoise = 0;
    gPrefs.topStatusBar = true;
    gPrefs.advancedStyle = false;
    gPrefs.previousExportedMovie = "";
    gPrefs.ytu = "";
    gPrefs.ytp = "";
    gPrefs.welcomeScreen = true;

    gToggles.gridShown = false;
    gToggles.gridSize = 20;
    gToggles.gridSnapping = true;
    gToggles.allowFrameSkipping = true;
    gToggles.muteAudio = false;
    gToggles.hideControlledBones = false;
    gToggles.safeArea = false;
    gToggles.showOutputOnly = false;
}

void RestoreProjectDefaults()
{
    gPrefs.projFps = 24.0f;
    gPrefs.projDofDistance = 2.0f;
    gPrefs.projDofRange = 1.0f;
    gPrefs.projWidth = 720;
    gPrefs.projDofBlur = 0.02247191f;
    gPrefs.projHeight = 534;
    gPrefs.projStart = 1;
    gPrefs.projEnd = 240;
    gPrefs.projBackCol = { 234, 234, 234, 255 };
    gPrefs.projDofEnabled = false;
    gPrefs.projEnable3D = true;
    gPrefs.projDepthSort = false;
    gPrefs.projDistanceSort = false;
    gPrefs.projNoise = 0;
}

void ApplySettingsVersion(QV_Message& settings)
{
    QV_String version;
    if (!settings.FindString("VornVersion", version) || std::strcmp(version.CString(), kSettingsVersion) != 0)
    {
        // Reading an empty text drops every entry.
        QV_MemStream empty;
        settings.Read(empty);
    }
    settings.AddString("VornVersion", kSettingsVersion);
}

void ReadPreferences(const QV_Message& settings)
{
    int32_t count = 0;
    const PrefEntry* entries = Table(count);
    for (int32_t i = 0; i < count; i++) {
        const PrefEntry& entry = entries[i];
        switch (entry.kind) {
        case Kind::Color:
            settings.FindColor(entry.key, *static_cast<rgb_color*>(entry.value));
            break;
        case Kind::Int:
            settings.FindInt(entry.key, *static_cast<int32_t*>(entry.value));
            break;
        case Kind::Bool:
            settings.FindBool(entry.key, *static_cast<bool*>(entry.value));
            break;
        case Kind::Real:
            settings.FindFloat(entry.key, *static_cast<float*>(entry.value));
            break;
        case Kind::Text:
            settings.FindString(entry.key, *static_cast<QV_String*>(entry.value));
            break;
        }
    }
    // Preview, draft and outline-only drawing are never kept across runs.
    gPrefs.qualityFlags = (gPrefs.qualityFlags & ~257) | 542;
    gPrefs.gapFilling = false;
    if (!IsReadableFile(gPrefs.previousExportedMovie.CString()))
        gPrefs.previousExportedMovie = "";
    UnscrambleSetting(gPrefs.ytu);
    UnscrambleSetting(gPrefs.ytp);
}

void WritePreferences(QV_Message& settings)
{
    int32_t count = 0;
    const PrefEntry* entries = Table(count);
    for (int32_t i = 0; i < count; i++) {
        const PrefEntry& entry = entries[i];
        switch (entry.kind) {
        case Kind::Color:
            settings.AddColor(entry.key, *static_cast<rgb_color*>(entry.value));
            break;
        case Kind::Int:
            settings.AddInt(entry.key, *static_cast<int32_t*>(entry.value));
            break;
        case Kind::Bool:
            settings.AddBool(entry.key, *static_cast<bool*>(entry.value));
            break;
        case Kind::Real:
            settings.AddFloat(entry.key, *static_cast<float*>(entry.value));
            break;
        case Kind::Text: {
            QV_String text = *static_cast<QV_String*>(entry.value);
            if (entry.value == &gPrefs.ytu || entry.value == &gPrefs.ytp)
                ScrambleSetting(text);
            settings.AddString(entry.key, text.CString());
            break;
        }
        }
    }
}

void ScrambleSetting(QV_String& text)
{
    RotateText(text, 47);
}

void UnscrambleSetting(QV_String& text)
{
    RotateText(text, -47);
}

bool ShellPrefSource::GetInt(const char* key, int32_t& value) const
{
    if (std::strcmp(key, "HideControlledBones") == 0) {
        value = gToggles.hideControlledBones ? 1 : 0;
        return true;
    }
    const PrefEntry* entry = Find(key);
    if (!entry)
        return false;
    if (entry->kind == Kind::Int) {
        value = *static_cast<int32_t*>(entry->value);
        return true;
    }
    if (entry->kind == Kind::Bool) {
        value = *static_cast<bool*>(entry->value) ? 1 : 0;
        return true;
    }
    return false;
}

bool ShellPrefSource::GetFloat(const char* key, float& value) const
{
    const PrefEntry* entry = Find(key);
    if (!entry || entry->kind != Kind::Real)
        return false;
    value = *static_cast<float*>(entry->value);
    return true;
}

bool ShellPrefSource::GetColor(const char* key, rgb_color& value) const
{
    const PrefEntry* entry = Find(key);
    if (!entry || entry->kind != Kind::Color)
        return false;
    value = *static_cast<rgb_color*>(entry->value);
    return true;
}
