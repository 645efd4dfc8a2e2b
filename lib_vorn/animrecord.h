#pragma once

#include <cstdint>

class AnimChannel;
class QV_IoStream;

// The bracketed text record of a channel, the same for every kind and every document version:
//
//   [
//   	keys N
//   		frame mode val1 val2 value...
//   	actions M                         (only with animated actions)
//   		"name"
//   		[ ...the action's own record, without actions... ]
//   ]
//
// Only the value at the end of a key line differs between the kinds (ReadKeyValue and
// WriteKeyValue of the kind). The record holds the channel's own keys and actions, never the
// active action's, the name or the current frame.

// Writes at the stream's indent depth and leaves the depth as it was.
void WriteChannelRecord(AnimChannel& channel, QV_IoStream* stream, bool withActions);

// Replaces the channel's keys and actions with the record at the stream's position. On failure
// the stream holds the error text, the channel keeps one key and no actions, and the answer is
// false. An action's record (nested) may not carry actions of its own.
bool ReadChannelRecord(AnimChannel& channel, QV_IoStream* stream, bool nested);

// Sets "Read error at line L. In code file F, line N." as the stream's error text unless it
// holds one already. file names the reader as the texts always have ("lib_vorn/animval"), the
// same in every build wherever the sources lie; line is that of the read that failed.
void ChannelReadError(QV_IoStream* stream, const char* file, int32_t line);

// Sets "Unknown keyword: W at line L" as the stream's error text unless it holds one already:
// the text every record reader gives a word it does not know.
void UnknownKeywordError(QV_IoStream* stream, const char* word);

// The reader a channel kind's read errors name: "lib_vorn/animval" for CHANNEL_VAL and so on.
const char* ChannelReaderSource(int32_t kind);

#define CHANNEL_READ_ERROR(stream, file) ChannelReadError((stream), (file), __LINE__)
