#pragma once

#include <cstdint>

class VornWnd;

// The main window's command 5004 (Layer Settings) opens the dialog on the document's current
// layer; false for any other command.
bool HandleLayerSettingsCommand(VornWnd* owner, int32_t command);
