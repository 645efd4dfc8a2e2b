#pragma once

#include <cstdint>

#include "qv_color.h"

class AnimChannel;
class AnimColor;
class AnimVal;
class QV_IoStream;

// Pieces of the effect records. An effect's values follow its style index on the style record's
// line; readers answer false at the first value that does not read and leave error texts to the
// stream (channel records set their own).

// Documents before this version store the animated values of the shaded, soft edge and halo
// effects as plain numbers.
constexpr int32_t kFirstChannelStyleVersion = 16;

// A channel record (any kind); the channel's cached value follows the keys read.
bool ReadChannelRecordFresh(QV_IoStream* stream, AnimChannel& channel);

// A channel record, or on older streams a plain float that becomes the channel's only key, at
// frame 0.
bool ReadAnimatedFloat(QV_IoStream* stream, AnimVal& channel);
// The same with a colour of four integers, each clamped to 0..255.
bool ReadAnimatedColor(QV_IoStream* stream, AnimColor& channel);

// The channel record with its actions, then two TABs.
void WriteChannelThenTabs(QV_IoStream* stream, AnimChannel& channel);
// "true" or "false", then a blank.
void WriteFlag(QV_IoStream* stream, bool flag);
// The float through the stream's float writer, then a blank.
void WriteFloatThenBlank(QV_IoStream* stream, float value);
