#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "script_object_record.h"

namespace {

std::vector<std::string> gGone;

void NoteGone(void* context, void*, const char* typeName)
{
    gGone.push_back(std::string(static_cast<const char*>(context)) + ":" + typeName);
}

// Entries are reported once for the bytes destroyed, and only those; a state that closes takes
// its entries along, and the record is empty again at the end.
TEST(ScriptObjectRecord, ReportsTheDestroyedExtentOnce)
{
    QV_ScriptObjectRecordSetHook(NoteGone);
    gGone.clear();
    char block[64];
    char stateA[] = "A";
    char stateB[] = "B";
    const size_t before = QV_ScriptObjectRecordCount();
    QV_ScriptObjectRecordAdd(stateA, block, "Owner");
    QV_ScriptObjectRecordAdd(stateA, block, "Name");
    QV_ScriptObjectRecordAdd(stateA, block + 16, "Channel");
    QV_ScriptObjectRecordAdd(stateA, block + 16, "Channel");
    QV_ScriptObjectRecordAdd(stateA, block + 40, "Vector");
    QV_ScriptObjectRecordAdd(stateB, block + 48, "Vector");
    EXPECT_EQ(QV_ScriptObjectRecordCount(), before + 5);

    QV_ScriptObjectsGone(block + 16, 24);
    ASSERT_EQ(gGone.size(), 1u);
    EXPECT_EQ(gGone[0], "A:Channel");
    QV_ScriptObjectsGone(block + 16, 24);
    EXPECT_EQ(gGone.size(), 1u);

    QV_ScriptObjectRecordForget(stateB);
    gGone.clear();
    QV_ScriptObjectsGone(block, sizeof(block));
    EXPECT_EQ(gGone.size(), 3u);
    EXPECT_EQ(QV_ScriptObjectRecordCount(), before);
    QV_ScriptObjectRecordSetHook(nullptr);
}

} // namespace
