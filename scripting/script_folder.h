#pragma once

#include <string>
#include <vector>

// The folder operations of the script loader. Listings are sorted case-insensitively, then
// byte for byte, so loading order never depends on the file system.

// Every entry of the folder, files and folders alike, without "." and ".."; empty when the
// folder cannot be read.
std::vector<std::string> ListScriptFolder(const std::string& folder);
// One '/' between the two unless the folder is empty or either side has it already.
std::string JoinScriptPath(const std::string& folder, const std::string& name);
// The text after the last dot of the name, lower-cased, is "lua".
bool IsLuaFile(const std::string& name);
bool IsFolder(const std::string& path);
// The path of the file called name in the folder: the exact name when such a file exists,
// else the first entry whose name matches ignoring ASCII case; empty when neither exists.
std::string FindScriptFile(const std::string& folder, const std::string& name);
