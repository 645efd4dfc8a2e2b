#pragma once
#include "qv_string.h"

// The next name for a temporary file: "qv_temp_" and a process-wide counter
// from 0, in this process's own temporary folder (made on first use, removed
// with its contents at exit). No extension: callers add the one they need.
// Safe to call from any thread; every call gives a new name.
QV_String TempFileName();
