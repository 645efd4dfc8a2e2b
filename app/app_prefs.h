#pragma once

#include <cstdint>

#include "model_prefs.h"
#include "qv_color.h"
#include "qv_string.h"

class QV_Message;

// The settings version this build writes. A store holding any other version is dropped whole
// at start, whoever wrote its entries.
constexpr const char* kSettingsVersion = "20090526";

// The application's preferences: one value per settings key, read by the whole shell, the
// panels and the dialogs, and by the model through ShellPrefSource. Start-up reads them after
// the version gate and shutdown writes every one back.
struct ShellPrefs {
    rgb_color colBack;
    rgb_color colObj;
    rgb_color colSel;
    rgb_color colInac;
    rgb_color colFill;
    rgb_color colLine;
    int32_t qualityFlags;
    int32_t preferredFormat;
    bool autoLockKeys;
    bool scaleCompensation;
    bool gapFilling;
    bool constructionCurves;
    bool autoNaming;
    bool zoomBox;
    bool masterAnimChannel;
    bool markZero;
    bool disableDrawingToolsNonZero;
    bool disableAudioFeedback;
    bool smpte;
    bool degreesInTimeline;
    bool disableCursors;
    int32_t insertTextFont;
    QV_String insertTextText;
    bool insertTextOneFill;
    bool insertTextCenterH;
    int32_t defaultInterp;
    int32_t projWidth;
    int32_t projHeight;
    float projFps;
    int32_t projStart;
    int32_t projEnd;
    rgb_color projBackCol;
    bool projDofEnabled;
    float projDofDistance;
    float projDofRange;
    float projDofBlur;
    bool projEnable3D;
    bool projDepthSort;
    bool projDistanceSort;
    int32_t projNoise;
    bool topStatusBar;
    bool advancedStyle;
    QV_String previousExportedMovie;
    QV_String ytu;
    QV_String ytp;
    bool welcomeScreen;
};

// Editor switches that no settings file keeps.
struct EditorToggles {
    bool gridShown;
    int32_t gridSize;
    bool gridSnapping;
    bool allowFrameSkipping;
    bool muteAudio;
    bool hideControlledBones;
    bool safeArea;
    bool showOutputOnly;
};

extern ShellPrefs gPrefs;
extern EditorToggles gToggles;
// The width panels of the right-hand column take at least; the style panel sets it.
extern int32_t gStylePanelWidth;

// Every preference and toggle to its first-start value.
void ResetPreferences();
// The project values of new documents back to the built-in defaults (the project settings
// dialog's Restore Defaults; its blur default differs from a first start's).
void RestoreProjectDefaults();

// Drops every entry unless "VornVersion" holds this build's version, then stores the version.
void ApplySettingsVersion(QV_Message& settings);
// Reads every key that is present, in the table's order, and applies the rules that follow
// reading (quality bits, gap filling off, a vanished exported movie forgotten, the upload
// texts unscrambled).
void ReadPreferences(const QV_Message& settings);
// Writes every key; the upload texts are stored scrambled, the variables keep plain text.
void WritePreferences(QV_Message& settings);

// The reversible substitution the upload texts are stored with; the length never changes and
// printable text stays printable.
void ScrambleSetting(QV_String& text);
void UnscrambleSetting(QV_String& text);

// The preferences as the model reads them by key.
class ShellPrefSource : public ModelPrefSource {
public:
    bool GetInt(const char* key, int32_t& value) const override;
    bool GetFloat(const char* key, float& value) const override;
    bool GetColor(const char* key, rgb_color& value) const override;
};
