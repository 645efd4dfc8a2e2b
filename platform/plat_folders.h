#pragma once
#include <string>
#include <vector>

// Folders of the program and of the user. Every answer is computed afresh from
// the environment, so tests may point them elsewhere at any time.

// The executable's folder, or $CELVANE_APP_FOLDER when set and not empty.
// Without a trailing '/'; empty when neither can be found.
std::string PlatAppFolder();

// The per-user configuration folder: $XDG_CONFIG_HOME when it is an absolute
// path, else $HOME/.config (the home folder of the password database when HOME
// is unset). Empty when there is none. Nothing is created.
std::string PlatConfigFolder();

// Makes the folder and any missing folder above it, each with mode 0700.
// True when the folder exists afterwards.
bool PlatMakeFolders(const std::string& folder);

// The absolute form of an existing regular file's path with every link
// resolved; empty when the text names no such file.
std::string PlatRealFilePath(const std::string& path);

// The font folders that fontconfig knows, including the folders below them.
std::vector<std::string> PlatFontFolders();

// The file of the font family that fontconfig matches best for the name, when
// that match really is the family asked for (fontconfig always offers some
// font); empty otherwise.
std::string PlatFontFamilyFile(const char* family);
