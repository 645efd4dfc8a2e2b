#pragma once

#include <cstdint>

#include "qv_iostream.h"

// Checks shared by the mesh record readers, which read counts and indices from outside data.

// A count is honest only when the rest of the stream could hold that many items of at least
// minBytes each: a damaged count must not size an allocation.
inline bool RecordCountFits(QV_IoStream* stream, int32_t count, int32_t minBytes)
{
    if (count < 0)
        return false;
    const int64_t left = int64_t(stream->Size()) - stream->Position();
    return int64_t(count) * minBytes <= left;
}

// index + base, false when the sum leaves the int32 range (no honest record gets there).
inline bool AddRecordBase(int32_t index, int32_t base, int32_t& sum)
{
    const int64_t wide = int64_t(index) + base;
    if (wide < INT32_MIN || wide > INT32_MAX)
        return false;
    sum = int32_t(wide);
    return true;
}
