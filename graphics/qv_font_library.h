#pragma once

// The process's one FreeType library, shared by every face. Toolkit start-up starts it before any
// face is opened and shut-down stops it after every face has been closed; both on the interface
// thread, which is also the only thread that opens and closes faces.

struct FT_LibraryRec_;

// True when the library runs (also when it was running already).
bool StartFontLibrary();

// Closes the library. Faces still open become unusable, so their fonts must be deleted first.
void StopFontLibrary();

// The running library, or null.
FT_LibraryRec_* FontLibrary();
