#include "qv_stopwatch.h"

#include "plat_time.h"

#include <atomic>

namespace {

std::atomic<QV_TickSource> gTickSource { PlatTickCount };

float SecondsSince(uint32_t start)
{
    const uint32_t now = gTickSource.load(std::memory_order_relaxed)();
    return float(uint32_t(now - start)) / 1000.0f;
}

} // namespace

void QV_SetStopwatchTickSource(QV_TickSource source)
{
    gTickSource.store(source ? source : PlatTickCount, std::memory_order_relaxed);
}

void QV_Stopwatch::Start()
{
    elapsed = 0.0f;
    start = gTickSource.load(std::memory_order_relaxed)();
    running = true;
}

void QV_Stopwatch::Stop()
{
    if (running)
        elapsed = SecondsSince(start);
    running = false;
}

float QV_Stopwatch::Elapsed()
{
    if (running)
        elapsed = SecondsSince(start);
    return elapsed;
}
