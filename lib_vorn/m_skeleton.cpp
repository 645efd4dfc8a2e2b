#include "m_skeleton.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <new>
#include <vector>

#include "animrecord.h"
#include "bone_math.h"
#include "console_sink.h"
#include "model_prefs.h"
#include "qv_iostream.h"
#include "record_lines.h"
#include "script_object_record.h"

using namespace bone_math;

namespace {

constexpr int32_t kWordSize = 256;

// The source lines that the skeleton reader's error texts have always named; documents and
// bug reports quote them, so they stay fixed whatever this file looks like.
constexpr int32_t kErrorLineWord = 60;
constexpr int32_t kErrorLineBindingMode = 72;
constexpr int32_t kErrorLineBoneCount = 76;
constexpr int32_t kErrorLineBoneRecord = 86;

// No bone record is shorter: a quoted name, thirteen numbers and flags, two lines of
// numbers and six bracketed channel records, all separated by white space.
constexpr int64_t kMinBoneRecordBytes = 32;

void SkeletonReadError(QV_IoStream* stream, int32_t line)
{
    ChannelReadError(stream, "lib_vorn/m_skeleton.cpp", line);
}

bool AutoNaming()
{
    return ModelPrefInt("AutoNaming", 0) != 0;
}

} // namespace

M_Skeleton::M_Skeleton()
    : fBindingMode(FLEXI_BINDING)
    , fLayerTimingOffset(0)
    , fBoneCount(0)
    , fBoneCapacity(2)
    , fBones(new M_Bone*[2]())
{
}

M_Skeleton::~M_Skeleton()
{
    DeleteAllBones();
    delete[] fBones;
    QV_ScriptObjectsGone(this, sizeof(*this));
}

void M_Skeleton::DeleteAllBones()
{
    for (int32_t i = 0; i < fBoneCount; i++) {
        delete fBones[i];
        fBones[i] = nullptr;
    }
    fBoneCount = 0;
}

M_Bone* M_Skeleton::GetBone(int32_t index) const
{
    if (index < 0 || index >= fBoneCount)
        return nullptr;
    return fBones[index];
}

int32_t M_Skeleton::GetBoneID(const M_Bone* bone) const
{
    if (!bone)
        return -1;
    for (int32_t i = 0; i < fBoneCount; i++) {
        if (fBones[i] == bone)
            return i;
    }
    return -1;
}

int32_t M_Skeleton::SelectedBoneID() const
{
    for (int32_t i = 0; i < fBoneCount; i++) {
        if (fBones[i] && fBones[i]->fSelected)
            return i;
    }
    return -1;
}

void M_Skeleton::SelectNone()
{
    for (int32_t i = 0; i < fBoneCount; i++) {
        if (fBones[i])
            fBones[i]->fSelected = false;
    }
}

void M_Skeleton::SelectAll()
{
    for (int32_t i = 0; i < fBoneCount; i++) {
        if (fBones[i])
            fBones[i]->fSelected = true;
    }
}

void M_Skeleton::SelectInverse()
{
    for (int32_t i = 0; i < fBoneCount; i++) {
        if (fBones[i])
            fBones[i]->fSelected = !fBones[i]->fSelected;
    }
}

void M_Skeleton::SelectConnected()
{
    bool changed = true;
    while (changed) {
        changed = false;
        for (int32_t i = 0; i < fBoneCount; i++) {
            const int32_t parent = ParentOf(i);
            if (parent >= 0 && fBones[i]->fSelected && !fBones[parent]->fSelected) {
                fBones[parent]->fSelected = true;
                changed = true;
            }
        }
        for (int32_t i = 0; i < fBoneCount; i++) {
            if (!fBones[i] || !fBones[i]->fSelected)
                continue;
            for (int32_t j = 0; j < fBoneCount; j++) {
                if (fBones[j] && !fBones[j]->fSelected && IsBoneChild(i, j)) {
                    fBones[j]->fSelected = true;
                    changed = true;
                }
            }
        }
    }
}

M_Bone* M_Skeleton::AddBone(int32_t frame)
{
    M_Bone* bone = new M_Bone(frame);
    AppendBone(bone);
    return bone;
}

void M_Skeleton::AppendBone(M_Bone* bone)
{
    if (!bone)
        return;
    if (fBoneCount >= fBoneCapacity)
        GrowBones(fBoneCapacity > 0 ? fBoneCapacity * 2 : 2);
    if (AutoNaming() && bone->fName.IsEmpty()) {
        QV_String name;
        name.SetInt(fBoneCount + 1);
        bone->SetName(name.CString());
    }
    bone->fOwnerSkeleton = this;
    fBones[fBoneCount++] = bone;
}

void M_Skeleton::GrowBones(int32_t capacity)
{
    if (capacity == fBoneCapacity || capacity < fBoneCount || capacity < 1)
        return;
    M_Bone** bones = new M_Bone*[size_t(capacity)]();
    // Every old slot moves: the reader keeps the bones it has read so far beyond the count.
    for (int32_t i = 0; i < fBoneCapacity && i < capacity; i++)
        bones[i] = fBones[i];
    delete[] fBones;
    fBones = bones;
    fBoneCapacity = capacity;
}

void M_Skeleton::ReparentChild(M_Bone& child, int32_t newParent)
{
    QV_Vector2 base = Transformed(child.fRestMatrix, QV_Vector2 { 0, 0 });
    QV_Vector2 tip = Transformed(child.fRestMatrix, QV_Vector2 { child.fLength, 0 });
    if (newParent >= 0) {
        QV_Matrix inverse = fBones[newParent]->fRestMatrix;
        inverse.Invert();
        inverse.Transform(base);
        inverse.Transform(tip);
    }
    child.fAnimPos.SetValue(0, base);
    child.fAnimAngle.SetValue(0, WrapAngle(std::atan2(tip.y - base.y, tip.x - base.x)));
    child.fParent = newParent;
    UpdateBoneMatrix(-1);
}

void M_Skeleton::DeleteBone(int32_t index, bool defer)
{
    if (index < 0 || index >= fBoneCount) {
        PrintOutOfRange("M_Skeleton:DeleteBone");
        return;
    }
    M_Bone* doomed = fBones[index];
    if (doomed) {
        const int32_t grandparent = ParentOf(index);
        bool reparented = true;
        while (reparented) {
            reparented = false;
            for (int32_t i = 0; i < fBoneCount; i++) {
                M_Bone* bone = fBones[i];
                if (!bone)
                    continue;
                if (bone->fAngleControlParent == index)
                    bone->fAngleControlParent = -1;
                if (bone->fPosControlParent == index)
                    bone->fPosControlParent = -1;
                if (bone->fScaleControlParent == index)
                    bone->fScaleControlParent = -1;
                if (bone->fParent == index) {
                    ReparentChild(*bone, grandparent);
                    reparented = true;
                }
            }
        }
        delete doomed;
        fBones[index] = nullptr;
    }
    if (!defer)
        RemoveEmptySlots();
}

void M_Skeleton::RemoveEmptySlots()
{
    for (;;) {
        int32_t empty = -1;
        for (int32_t i = 0; i < fBoneCount; i++) {
            if (!fBones[i]) {
                empty = i;
                break;
            }
        }
        if (empty < 0)
            return;
        for (int32_t i = empty; i + 1 < fBoneCount; i++)
            fBones[i] = fBones[i + 1];
        fBones[--fBoneCount] = nullptr;
        for (int32_t i = 0; i < fBoneCount; i++) {
            M_Bone* bone = fBones[i];
            if (!bone)
                continue;
            for (int32_t* link : { &bone->fParent, &bone->fAngleControlParent, &bone->fPosControlParent,
                     &bone->fScaleControlParent }) {
                if (*link > empty)
                    (*link)--;
            }
        }
    }
}

int32_t M_Skeleton::ParentOf(int32_t index) const
{
    const M_Bone* bone = GetBone(index);
    if (!bone)
        return -1;
    const int32_t parent = bone->fParent;
    return GetBone(parent) ? parent : -1;
}

bool M_Skeleton::IsFree(int32_t index) const
{
    const M_Bone* bone = GetBone(index);
    if (!bone)
        return false;
    return bone->fAngleControlParent < 0 && bone->fPosControlParent < 0 && bone->fScaleControlParent < 0
        && !bone->fBoneDynamics.value;
}

int32_t M_Skeleton::CountBoneChildren(int32_t index, bool freeOnly) const
{
    if (index < 0 || index >= fBoneCount) {
        PrintOutOfRange("M_Skeleton:CountBoneChildren");
        return 0;
    }
    int32_t count = 0;
    for (int32_t i = 0; i < fBoneCount; i++) {
        if (fBones[i] && fBones[i]->fParent == index && (!freeOnly || IsFree(i)))
            count++;
    }
    return count;
}

int32_t M_Skeleton::GetFirstChildBone(int32_t index, bool freeOnly) const
{
    if (index < 0 || index >= fBoneCount) {
        PrintOutOfRange("M_Skeleton:GetFirstChildBone");
        return -1;
    }
    for (int32_t i = 0; i < fBoneCount; i++) {
        if (fBones[i] && fBones[i]->fParent == index && (!freeOnly || IsFree(i)))
            return i;
    }
    return -1;
}

bool M_Skeleton::IsBoneChild(int32_t ancestor, int32_t bone) const
{
    if (ancestor < 0 || bone < 0)
        return false;
    // A chain longer than the bone count can only be a cycle that a script made.
    for (int32_t steps = 0; bone >= 0 && steps <= fBoneCount; steps++) {
        if (bone == ancestor)
            return true;
        bone = ParentOf(bone);
    }
    return false;
}

bool M_Skeleton::IsBoneParent(int32_t bone, int32_t ancestor) const
{
    return IsBoneChild(ancestor, bone);
}

bool M_Skeleton::IsAncestorSelected(int32_t index) const
{
    if (!GetBone(index)) {
        PrintOutOfRange("M_Skeleton:IsAncestorSelected");
        return true;
    }
    int32_t bone = index;
    for (int32_t steps = 0; steps <= fBoneCount; steps++) {
        const int32_t parent = fBones[bone]->fParent;
        if (parent == -1)
            return false;
        if (!GetBone(parent) || fBones[parent]->fSelected)
            return true;
        bone = parent;
    }
    return true;
}

int32_t M_Skeleton::RemapBoneID(int32_t index, int32_t removed) const
{
    if (index < 0 || index >= fBoneCount)
        return -1;
    auto isRemoved = [this, removed](int32_t bone) { return removed >= 0 && IsBoneChild(removed, bone); };
    for (int32_t steps = 0; isRemoved(index); steps++) {
        index = ParentOf(index);
        if (index < 0 || steps > fBoneCount)
            return -1;
    }
    int32_t below = 0;
    for (int32_t i = 0; i < index; i++) {
        if (isRemoved(i))
            below++;
    }
    return index - below;
}

int32_t M_Skeleton::NearestBone(const QV_Vector2& point) const
{
    int32_t nearest = -1;
    float best = 1000000.0f;
    for (int32_t i = 0; i < fBoneCount; i++) {
        const M_Bone* bone = fBones[i];
        if (!bone)
            continue;
        const QV_Vector2 a = bone->fRestBase, b = bone->fRestTip;
        const float length = Sub(b, a).Mag();
        const float d = SegmentDistance(point, a, b, length > 0 ? 1 / length : 0);
        if (d < best) {
            best = d;
            nearest = i;
        }
    }
    return nearest;
}

bool M_Skeleton::SetBoneParent(int32_t index, int32_t parent)
{
    M_Bone* bone = GetBone(index);
    if (!bone)
        return false;
    if (parent != -1 && (!GetBone(parent) || IsBoneChild(index, parent)))
        return false;
    bone->fParent = parent;
    return true;
}

void M_Skeleton::WriteRecord(QV_IoStream* stream)
{
    const int32_t depth = stream->fIndent;
    int32_t present = 0;
    for (int32_t i = 0; i < fBoneCount; i++) {
        if (fBones[i])
            present++;
    }
    stream->WriteIndent();
    stream->WriteText("[");
    stream->WriteNewline();
    stream->fIndent = depth + 1;
    stream->WriteIndent();
    stream->WriteText("binding_mode ");
    stream->WriteInt(fBindingMode);
    stream->WriteNewline();
    stream->WriteIndent();
    stream->WriteText("bones ");
    stream->WriteInt(present);
    stream->WriteNewline();
    stream->fIndent = depth + 2;
    // Between deferred deletions the links still count the empty slots: the record holds the
    // skeleton as the compacting deletion will leave it, so that it reads back whole. No link
    // names an empty slot, since deletion moves the children and clears the control links.
    std::vector<int32_t> emptyBelow(size_t(fBoneCount) + 1, 0);
    for (int32_t i = 0; i < fBoneCount; i++)
        emptyBelow[size_t(i) + 1] = emptyBelow[size_t(i)] + (fBones[i] ? 0 : 1);
    auto compacted = [&](int32_t link) {
        return link >= 0 && link < fBoneCount ? link - emptyBelow[size_t(link)] : link;
    };
    for (int32_t i = 0; i < fBoneCount; i++) {
        M_Bone* bone = fBones[i];
        if (!bone)
            continue;
        int32_t* links[] = { &bone->fParent, &bone->fAngleControlParent, &bone->fPosControlParent,
            &bone->fScaleControlParent };
        int32_t kept[4];
        for (int32_t k = 0; k < 4; k++) {
            kept[k] = *links[k];
            *links[k] = compacted(kept[k]);
        }
        bone->WriteRecord(stream);
        for (int32_t k = 0; k < 4; k++)
            *links[k] = kept[k];
    }
    stream->fIndent = depth;
    stream->WriteIndent();
    stream->WriteText("]");
    stream->WriteNewline();
}

bool M_Skeleton::LinksValid(int32_t first, int32_t count) const
{
    const int32_t total = first + count;
    auto valid = [total](int32_t link) { return link == -1 || (link >= 0 && link < total); };
    for (int32_t i = first; i < total; i++) {
        const M_Bone* bone = fBones[i];
        if (!valid(bone->fParent) || !valid(bone->fAngleControlParent) || !valid(bone->fPosControlParent)
            || !valid(bone->fScaleControlParent))
            return false;
    }
    // Parent chains must end: each walk stops at a root or at a bone already known to reach
    // one, so every bone is visited once. Appended bones only point at appended bones.
    enum : char { kUnknown, kOnPath, kReachesRoot };
    std::vector<char> state(size_t(count), kUnknown);
    std::vector<int32_t> path;
    for (int32_t i = first; i < total; i++) {
        path.clear();
        int32_t bone = i;
        while (bone >= 0 && state[size_t(bone - first)] == kUnknown) {
            state[size_t(bone - first)] = kOnPath;
            path.push_back(bone);
            bone = fBones[bone]->fParent;
        }
        if (bone >= 0 && state[size_t(bone - first)] == kOnPath)
            return false;
        for (int32_t visited : path)
            state[size_t(visited - first)] = kReachesRoot;
    }
    return true;
}

void M_Skeleton::DiscardSlots(int32_t first, int32_t count)
{
    for (int32_t i = first; i < first + count; i++) {
        delete fBones[i];
        fBones[i] = nullptr;
    }
}

bool M_Skeleton::ReadRecord(QV_IoStream* stream)
{
    const int32_t base = fBoneCount;
    int32_t added = 0;
    char word[kWordSize];
    for (;;) {
        const RecordWord next = NextRecordWord(stream, kWordSize, word, '[', ']');
        if (next == RecordWord::kUnreadable) {
            SkeletonReadError(stream, kErrorLineWord);
            DiscardSlots(base, added);
            return false;
        }
        if (next == RecordWord::kEnd)
            break;
        if (std::strcmp(word, "binding_mode") == 0) {
            if (!stream->ReadInt(fBindingMode)) {
                SkeletonReadError(stream, kErrorLineBindingMode);
                DiscardSlots(base, added);
                return false;
            }
            continue;
        }
        if (std::strcmp(word, "bones") == 0) {
            int32_t n;
            // A count below 0, or more bones than the rest of the stream could hold, can only
            // come from a damaged record; refusing it keeps the count from sizing the array.
            const int64_t left = int64_t(stream->Size()) - stream->Position();
            if (!stream->ReadInt(n) || n < 0 || int64_t(n) * kMinBoneRecordBytes > left) {
                SkeletonReadError(stream, kErrorLineBoneCount);
                DiscardSlots(base, added);
                return false;
            }
            const int64_t needed = int64_t(base) + added + n;
            if (2 * needed > INT32_MAX) {
                SkeletonReadError(stream, kErrorLineBoneCount);
                DiscardSlots(base, added);
                return false;
            }
            if (needed >= fBoneCapacity)
                GrowBones(int32_t(2 * needed));
            for (int32_t k = 0; k < n; k++) {
                M_Bone* bone = new M_Bone(0);
                bone->fOwnerSkeleton = this;
                fBones[base + added] = bone;
                added++;
                if (!bone->ReadRecord(stream, base)) {
                    SkeletonReadError(stream, kErrorLineBoneRecord);
                    DiscardSlots(base, added);
                    return false;
                }
            }
            continue;
        }
        UnknownKeywordError(stream, word);
        DiscardSlots(base, added);
        return false;
    }
    // Every later operation follows these links without checking them again.
    if (!LinksValid(base, added)) {
        SkeletonReadError(stream, kErrorLineBoneRecord);
        DiscardSlots(base, added);
        return false;
    }
    fBoneCount += added;
    return true;
}
