#pragma once
#include <cstdint>

// Message ids that the toolkit itself sends or answers.
// Dialogs end with these; a modal window's close box ends its loop with
// MSG_CANCEL.
constexpr int32_t MSG_OK = -1006;
constexpr int32_t MSG_CANCEL = -1007;
// The quit command: the main window asks QuitRequested and, when allowed,
// ends the run (QV_App::Quit). A termination signal arrives as this too.
constexpr int32_t MSG_QUIT = -1008;
