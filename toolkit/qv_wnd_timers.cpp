// Timers of a window: each tick posts the timer's message to its handler.
#include <cmath>

#include "plat_pump.h"
#include "qv_wnd.h"

namespace {

// Seconds to whole milliseconds, halves away from zero; what cannot be a
// period becomes 0, which the pump raises to its shortest period.
uint32_t PeriodMilliseconds(float seconds)
{
    const double ms = std::round(static_cast<double>(seconds) * 1000.0);
    if (!(ms >= 0))
        return 0;
    return ms > 0x7FFFFFFF ? 0x7FFFFFFFu : static_cast<uint32_t>(ms);
}

QV_TimerRecord* RecordAt(const QV_ArrayList& timers, int32_t index)
{
    return static_cast<QV_TimerRecord*>(timers.fItems[index]);
}

} // namespace

uint32_t QV_Wnd::AddTimer(float seconds, QV_Handler* handler, int32_t what)
{
    uint32_t id = static_cast<uint32_t>(fTimers.fCount) + 1;
    uint32_t largest = 0;
    bool taken = false;
    for (int32_t i = 0; i < fTimers.fCount; ++i) {
        const uint32_t used = RecordAt(fTimers, i)->id;
        taken = taken || used == id;
        largest = used > largest ? used : largest;
    }
    if (taken)
        id = largest + 1;
    if (!PlatSetTimer(fHwnd, id, PeriodMilliseconds(seconds)))
        return 0;
    fTimers.Append(new QV_TimerRecord { id, seconds, handler, what });
    return id;
}

void QV_Wnd::RemoveTimer(uint32_t id)
{
    if (id == 0)
        return;
    PlatKillTimer(fHwnd, id);
    for (int32_t i = 0; i < fTimers.fCount; ++i) {
        QV_TimerRecord* record = RecordAt(fTimers, i);
        if (record->id == id) {
            fTimers.Remove(record);
            delete record;
            return;
        }
    }
}

void QV_Wnd::Timer(uint32_t id)
{
    for (int32_t i = 0; i < fTimers.fCount; ++i) {
        QV_TimerRecord* record = RecordAt(fTimers, i);
        if (record->id != id)
            continue;
        // The handler may remove this very timer: nothing of the record is
        // used after the call.
        if (QV_Handler* handler = record->handler)
            handler->PostMessage(record->what);
        return;
    }
}
