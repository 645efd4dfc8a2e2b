#pragma once

#include <cstdint>
#include <vector>

// Appends a whole file to bytes; false when it cannot be opened or read to its end.
bool SwfReadFileBytes(const char* path, std::vector<uint8_t>& bytes);
