#pragma once

#include <string>

class VornDoc;

// Where a media file named in a document (a picture, movie, sound, model, material library or
// texture) is on this disk. Documents and models come from systems whose names ignore case, and
// scripts and the layer settings may give names relative to the document: a relative path is
// taken from the document's folder (from the working folder without a saved document); the name
// is then looked up exactly, and failing that without regard to case in its folder. Answers the
// path to open: the found file, or the path as given when nothing matches (opening it then fails
// as it would have).
std::string FindMediaFile(const char* path, const VornDoc* doc);
// The same for a name relative to another file's folder (an OBJ's material library, an MTL's
// texture): the name as it stands when such a file exists, else the name in the folder of
// `beside`, case-insensitively.
std::string FindMediaFileBeside(const char* name, const char* beside);
