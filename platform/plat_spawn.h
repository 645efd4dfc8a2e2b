#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Starts a program found on the PATH with these arguments, directly (never
// through a shell), its standard input from /dev/null. Waits at most waitMs
// for it: true when it exited with status 0 or still runs (it is reaped by
// a later call); false when it could not start, failed or was killed.
bool PlatStartProgram(const std::vector<std::string>& args, uint32_t waitMs);
