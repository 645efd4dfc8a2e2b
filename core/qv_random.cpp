#include "qv_random.h"

namespace {

thread_local uint32_t tRandState = 1;

} // namespace

void QV_SRand(uint32_t seed)
{
    tRandState = seed;
}

int QV_Rand()
{
    tRandState = tRandState * 214013u + 2531011u;
    return int((tRandState >> 16) & 0x7FFF);
}
