#pragma once

// Opens a document or web address in the program the desktop chooses for
// it. Failures are silent, except for PDF documents, where an alert says
// that a reader is needed.
void ShellOpen(const char* path);
// Writes a small redirect page to the per-user folder and opens it, so the
// user's browser goes to the address.
void OpenURL(const char* address);
