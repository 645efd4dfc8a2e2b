#pragma once

class QV_Message;

// The movie libraries started: MOV files (and every movie kind but AVI) are read and written
// only while this is set.
extern bool gQuickTimePresent;
// The audio library started; without it no stream is opened and nothing plays.
extern bool gAudioAvailable;
// The user settings that hold the movie compression keys ("qtCodec", "qtDepth", "qtQuality"),
// or null when the process has none (command-line tools): the defaults then apply.
extern QV_Message* gMediaSettings;
