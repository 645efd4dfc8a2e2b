#pragma once

#include "qv_string.h"

class QV_Wnd;
class VornDoc;

enum class PreviewResult { NotRun, Failed, Cancelled, Opened };

// Where the preview movie goes: ".celv_preview.mov" in the process's own temporary folder, which
// goes with the process; the next preview replaces it. Empty when there is no such folder.
QV_String PreviewMoviePath();

// Renders a private half-size copy of the document's play range into the preview movie with a
// fast codec (no codec dialog), under a progress pane over the owner that a click cancels, and
// opens it. The sound comes along when the range starts at frame 1. The user's movie compression
// settings are as before afterwards. NotRun without a document or the movie libraries.
PreviewResult PreviewMovie(VornDoc* document, QV_Wnd* owner);
