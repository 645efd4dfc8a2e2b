#pragma once

#include <atomic>
#include <cstddef>

// The record of the objects that scripts hold. Script bindings hand model objects to Lua by
// address; a script may keep such an object past the moment its owner deletes it (a point
// removed by DeletePoint, a layer re-created by undo). The bindings note every address they
// hand out here, and the destructors of the script-visible classes report their extent, so
// that the script objects pointing into it are emptied and later use raises the self error
// instead of reading freed memory.
//
// The record lives in core so that the model can report without knowing the script host; the
// host installs the hook that empties its script objects.

// Empties the script object of the type at the address in the script state (context).
using QV_ScriptObjectGoneHook = void (*)(void* context, void* object, const char* typeName);

void QV_ScriptObjectRecordSetHook(QV_ScriptObjectGoneHook hook);

// The object was handed to the script state under the type name (a name that lives as long
// as the program, as the bindings' literals do).
void QV_ScriptObjectRecordAdd(void* context, void* object, const char* typeName);

// The script state closes: its entries go, and the hook is no longer called for it.
void QV_ScriptObjectRecordForget(void* context);

// The number of entries; 0 whenever no script holds a model object.
size_t QV_ScriptObjectRecordCount();

namespace qv_script_record {
extern std::atomic<size_t> gEntries;
void Gone(const void* begin, size_t size);
}

// The bytes from begin on are being destroyed. While the record is empty this is one atomic
// load, so the model's own edits and the render threads pay nothing for it.
inline void QV_ScriptObjectsGone(const void* begin, size_t size)
{
    if (qv_script_record::gEntries.load(std::memory_order_acquire) != 0)
        qv_script_record::Gone(begin, size);
}
