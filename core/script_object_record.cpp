#include "script_object_record.h"

#include <cstdint>
#include <mutex>
#include <set>
#include <tuple>
#include <vector>

namespace {

struct Entry {
    uintptr_t address;
    const char* typeName;
    void* context;

    bool operator<(const Entry& other) const
    {
        return std::tie(address, typeName, context) < std::tie(other.address, other.typeName, other.context);
    }
};

std::mutex gLock;
std::set<Entry>* gRecord = nullptr;
QV_ScriptObjectGoneHook gHook = nullptr;

} // namespace

namespace qv_script_record {

std::atomic<size_t> gEntries { 0 };

void Gone(const void* begin, size_t size)
{
    const uintptr_t first = reinterpret_cast<uintptr_t>(begin);
    std::vector<Entry> gone;
    QV_ScriptObjectGoneHook hook;
    {
        std::lock_guard<std::mutex> guard(gLock);
        if (!gRecord)
            return;
        auto from = gRecord->lower_bound(Entry { first, nullptr, nullptr });
        auto to = from;
        while (to != gRecord->end() && to->address - first < size)
            gone.push_back(*to++);
        gRecord->erase(from, to);
        gEntries.store(gRecord->size(), std::memory_order_release);
        if (gRecord->empty()) {
            delete gRecord;
            gRecord = nullptr;
        }
        hook = gHook;
    }
    // Outside the lock: emptying a script object may free others, whose destructors report too.
    if (hook) {
        for (const Entry& entry : gone)
            hook(entry.context, reinterpret_cast<void*>(entry.address), entry.typeName);
    }
}

} // namespace qv_script_record

void QV_ScriptObjectRecordSetHook(QV_ScriptObjectGoneHook hook)
{
    std::lock_guard<std::mutex> guard(gLock);
    gHook = hook;
}

void QV_ScriptObjectRecordAdd(void* context, void* object, const char* typeName)
{
    if (!object)
        return;
    std::lock_guard<std::mutex> guard(gLock);
    if (!gRecord)
        gRecord = new std::set<Entry>;
    gRecord->insert(Entry { reinterpret_cast<uintptr_t>(object), typeName, context });
    qv_script_record::gEntries.store(gRecord->size(), std::memory_order_release);
}

void QV_ScriptObjectRecordForget(void* context)
{
    std::lock_guard<std::mutex> guard(gLock);
    if (!gRecord)
        return;
    for (auto it = gRecord->begin(); it != gRecord->end();) {
        if (it->context == context)
            it = gRecord->erase(it);
        else
            ++it;
    }
    qv_script_record::gEntries.store(gRecord->size(), std::memory_order_release);
    if (gRecord->empty()) {
        delete gRecord;
        gRecord = nullptr;
    }
}

size_t QV_ScriptObjectRecordCount()
{
    return qv_script_record::gEntries.load(std::memory_order_acquire);
}
