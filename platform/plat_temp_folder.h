#pragma once
#include <string>

// The shared temporary folder: $TEMP, else $TMPDIR, else "/tmp".
std::string PlatTempFolder();

// Makes a new folder of mode 0700 inside base ("celvane-" and six random
// characters). Empty when it cannot be made.
std::string PlatMakePrivateFolder(const std::string& base);

// Removes the folder and everything in it. False when something remained.
bool PlatRemoveFolderTree(const std::string& folder);

// This process's own temporary folder, made inside PlatTempFolder() on the
// first call and removed with its contents when the process exits normally.
// Empty when it cannot be made. Safe to call from any thread.
std::string PlatProcessTempFolder();
