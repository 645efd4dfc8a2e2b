#pragma once

#include <cstdint>

// The document format version this program writes and reads as its own. Copies and undo
// snapshots in memory streams are written and read back in it too.
constexpr int32_t kCurrentFormatVersion = 19;
