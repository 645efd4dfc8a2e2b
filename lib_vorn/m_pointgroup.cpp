#include "m_pointgroup.h"

#include <algorithm>

#include "console_sink.h"
#include "m_mesh.h"
#include "qv_iostream.h"
#include "record_limits.h"
#include "script_object_record.h"

namespace {

// An index is a number and a separator.
constexpr int32_t kMinIndexBytes = 2;

} // namespace

M_PointGroup::M_PointGroup()
    : fMesh(nullptr)
    , fNumIndices(0)
    , fPointIndices(nullptr)
{
}

M_PointGroup::~M_PointGroup()
{
    QV_ScriptObjectsGone(this, sizeof(*this));
    delete[] fPointIndices;
}

M_Point* M_PointGroup::GetPoint(int32_t i)
{
    if (i < 0 || i >= fNumIndices) {
        PrintOutOfRange("M_PointGroup:Point");
        return nullptr;
    }
    if (!fMesh) {
        PrintOutOfRange("M_Mesh:Point");
        return nullptr;
    }
    return fMesh->GetPoint(fPointIndices[i]);
}

void M_PointGroup::AddPoint(int32_t pointIndex)
{
    int32_t* indices = new int32_t[fNumIndices + 1];
    std::copy(fPointIndices, fPointIndices + fNumIndices, indices);
    indices[fNumIndices] = pointIndex;
    delete[] fPointIndices;
    fPointIndices = indices;
    fNumIndices++;
}

void M_PointGroup::RemoveIndexAt(int32_t i)
{
    if (i < 0 || i >= fNumIndices)
        return;
    std::copy(fPointIndices + i + 1, fPointIndices + fNumIndices, fPointIndices + i);
    fNumIndices--;
}

bool M_PointGroup::ReadRecord(QV_IoStream* stream, int32_t pointBase)
{
    fName = "";
    delete[] fPointIndices;
    fPointIndices = nullptr;
    fNumIndices = 0;

    int32_t count;
    if (!stream->ReadString(fName) || !stream->ReadInt(count))
        return false;
    if (!RecordCountFits(stream, count, kMinIndexBytes))
        return false;
    fPointIndices = new int32_t[count]();
    for (int32_t i = 0; i < count; i++) {
        int32_t index;
        if (!stream->ReadInt(index) || !AddRecordBase(index, pointBase, fPointIndices[i]))
            return false;
        fNumIndices = i + 1;
    }
    return true;
}

void M_PointGroup::WriteRecord(QV_IoStream* stream)
{
    stream->WriteIndent();
    stream->WriteQuoted(fName.CString());
    stream->WriteSpace();
    stream->WriteInt(fNumIndices);
    stream->WriteNewline();
    stream->WriteIndent();
    stream->WriteText("\t");
    for (int32_t i = 0; i < fNumIndices; i++) {
        stream->WriteInt(fPointIndices[i]);
        stream->WriteSpace();
    }
    stream->WriteNewline();
}
