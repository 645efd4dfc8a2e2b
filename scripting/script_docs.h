#pragma once

#include <vector>

#include "qv_string.h"

// The scripting documentation generator: reads a structure file (what the binding generator
// prints for a package with -P) and writes, into the structure file's folder, one HTML page per
// class, named after the class in lower case, with its member functions, their arguments and
// its member variables, each with a marked description for a writer to fill in. An unreadable
// structure file writes nothing.
// With pages, the path of every page opened is appended to it.
void GenerateScriptDocs(const char* structurePath, std::vector<QV_String>* pages = nullptr);
