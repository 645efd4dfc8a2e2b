#include "media_presence.h"

bool gQuickTimePresent = false;
bool gAudioAvailable = false;
QV_Message* gMediaSettings = nullptr;
