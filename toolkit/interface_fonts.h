#pragma once
#include <cstdint>

#include "qv_path.h"

class QV_Font;

// The three current interface fonts. They only point into the slots below.
// gWidgetFont: the text of every widget; gMenuFont: menus, the menu bar, tab
// labels, box titles, alert texts; gPanelFont: the application's panels.
extern QV_Font* gWidgetFont;
extern QV_Font* gMenuFont;
extern QV_Font* gPanelFont;

// The owned font slots, in the order widget, menu, panel: the normal ones and
// their large companions.
constexpr int32_t kInterfaceFontCount = 3;
extern QV_Font* gNormalFonts[kInterfaceFontCount];
extern QV_Font* gLargeFonts[kInterfaceFontCount];

// Fills the slots with the built-in bitmap sets (0 to 2 normal, 3 to 5 large)
// and points the current fonts at the normal ones. Needs no font library.
void CreateInterfaceFonts();
// Deletes whatever the six slots hold; the current fonts become null.
void DeleteInterfaceFonts();

// Where an interface font file is taken from, and with which face.
struct FontFileChoice {
    QV_Path path; // empty: nothing usable was found
    int32_t faceIndex = 0;
};

// Looks the file up in the folder of the "FontDir" setting when it is set,
// else in fontconfig's folders, each exactly first and then ignoring case.
// When it is missing everywhere a stand-in takes its place, opened with face
// 0: for "tahoma.ttf" the one of the package fonts-wine, for "msgothic.ttc"
// IPAGothic, and DejaVu Sans for any file.
FontFileChoice ChooseFontFile(const char* fileName, int32_t faceIndex);

// The chosen file opened as a face; null when nothing opens.
QV_Font* LoadFontFile(const char* fileName, int32_t faceIndex);
