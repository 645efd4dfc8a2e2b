#pragma once
#include <string>
#include <vector>

// Names on disk are case-sensitive here while stored names come from a system
// where they were not: a name is looked up exactly first, then without regard
// to ASCII case among the entries of the folder. Among several case-insensitive
// matches the first in sorted order (case-insensitive, then bytewise) wins.
// Returns the full path of the file found, or empty.
std::string PlatFindFile(const std::string& folder, const std::string& name);

// The folder's entry names (without "." and ".."), sorted case-insensitively,
// then bytewise. Empty when the folder cannot be read.
std::vector<std::string> PlatListFolder(const std::string& folder);
