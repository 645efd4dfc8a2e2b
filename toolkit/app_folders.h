#pragma once
#include "qv_path.h"

// The folders of the program and its settings. The per-user and common
// folders both live under $XDG_CONFIG_HOME; the application folder is
// read-only once installed and is only read.

// The executable's folder (or $CELVANE_APP_FOLDER).
QV_Path AppFolder();
// AppFolder + "Resources".
QV_Path ResourcesFolder();
// The per-user folder + "Drelmor" + the application's name, made (mode 0700)
// when missing; AppFolder when there is no per-user folder.
QV_Path UserAppDataFolder();
// The per-user folder + "Drelmor" + name + version; nothing is made here
// (writers make it first); AppFolder when there is no per-user folder.
QV_Path CommonAppDataFolder();
// The user setting "FontDir" when present, else the first font folder that
// fontconfig knows, else "/usr/share/fonts".
QV_Path FontsFolder();
