#pragma once

#include <cstdint>

#include "m_bone.h"
#include "qv_matrix.h"
#include "qv_vector.h"

class QV_IoStream;
class QV_MemStream;

// How points that are not bound to one bone follow the skeleton; stored and seen by scripts.
constexpr int32_t FLEXI_BINDING = 1;
constexpr int32_t REGION_BINDING = 2;

// The bones of a bone or switch layer, addressed by index (the bone id); -1 means no bone.
//
// Invariant: every bone reference of 0 or more is a valid index and parent links form no
// cycle. Adding, deleting and reading keep it; the reader refuses records that break it.
// Deferred deletions leave empty slots (GetBone answers null for them) until the series ends
// with a compacting deletion; every operation here skips such slots.
//
// The implementation is split by concern: the list and the record (m_skeleton.cpp), the
// matrices (m_skeleton_matrix.cpp), inverse kinematics and locks (m_skeleton_ik.cpp), and the
// binding of points and the dynamics state (m_skeleton_binding.cpp).
class M_Skeleton {
public:
    M_Skeleton();
    ~M_Skeleton();
    M_Skeleton(const M_Skeleton&) = delete;
    M_Skeleton& operator=(const M_Skeleton&) = delete;

    void DeleteAllBones();
    int32_t GetNumBones() const { return fBoneCount; }
    // Null out of range, silently: callers check.
    M_Bone* GetBone(int32_t index) const;
    // -1 when the bone is not in this skeleton.
    int32_t GetBoneID(const M_Bone* bone) const;
    int32_t SelectedBoneID() const;

    void SelectNone();
    void SelectAll();
    void SelectInverse();
    // Widens the selection to every bone of each tree that holds a selected bone.
    void SelectConnected();

    M_Bone* AddBone(int32_t frame);
    // Takes ownership. With "AutoNaming" on, a bone without a name is named by its number.
    void AppendBone(M_Bone* bone);
    // The children of the bone take its parent, keeping their rest placement. With defer set
    // the slot stays empty and every index stays valid, so that a caller can delete several
    // bones by their old indices; the last deletion of the series passes false and compacts.
    void DeleteBone(int32_t index, bool defer);
    // Slots for capacity bones; the same capacity, or one below the count, changes nothing.
    void GrowBones(int32_t capacity);

    // freeOnly counts only bones without control links and with dynamics off.
    int32_t CountBoneChildren(int32_t index, bool freeOnly) const;
    int32_t GetFirstChildBone(int32_t index, bool freeOnly) const;
    // bone is ancestor or lies below it.
    bool IsBoneChild(int32_t ancestor, int32_t bone) const;
    bool IsBoneParent(int32_t bone, int32_t ancestor) const;
    bool IsAncestorSelected(int32_t index) const;
    // The index the bone will have once removed and its sub-tree are taken out; a removed bone
    // answers its nearest remaining ancestor, -1 when none remains.
    int32_t RemapBoneID(int32_t index, int32_t removed) const;
    // The bone whose rest segment lies nearest, -1 when there is none within 1000000.
    int32_t NearestBone(const QV_Vector2& point) const;
    // The parent link as scripts set it: -1 or a valid index that does not lie in the bone's
    // own sub-tree. False, with nothing changed, otherwise.
    bool SetBoneParent(int32_t index, int32_t parent);

    // Applies the control links, then recomputes the matrices of every bone (index < 0) or of
    // one bone and its ancestors whose matrices are not yet current in this pass.
    void UpdateBoneMatrix(int32_t index);

    // Turns the free chain ending in the bone so that its tip approaches the target (layer
    // space). Only fAngle changes.
    void IKAngleSolver(int32_t index, const QV_Vector2& target, int32_t iterations);
    // Key a lock (or unlock) of the bone at the frame; bones out of range are left alone.
    void LockBone(int32_t index, int32_t frame);
    void UnlockBone(int32_t index, int32_t frame);
    // The bone layer's lock pass, run after the bones' channels were brought to layerFrame (the
    // document frame plus the layer's total timing offset) and their constraints applied. It
    // never runs at document frames of 0 or below, where the skeleton shows its rest pose.
    void ApplyIKLocks(int32_t layerFrame, int32_t documentFrame);

    // p in the rest pose of the layer to where the blend of all bones carries it.
    QV_Vector2 WeightedTransform(const QV_Vector2& p);
    void TransformPoint(QV_Vector2& p);
    // The turn and move that carry p to its blended place and turn its surroundings with it.
    QV_Matrix LocalFrameAt(const QV_Vector2& p);
    void SaveDynamicsState(QV_MemStream* stream);
    // Leaves every bone as it was when the stream was saved from a different number of bones.
    void RestoreDynamicsState(QV_MemStream* stream);

    // Appends the bones of the record behind the existing ones. On failure the stream holds
    // the error text and the skeleton's bones are as before.
    bool ReadRecord(QV_IoStream* stream);
    void WriteRecord(QV_IoStream* stream);

    int32_t fBindingMode;
    // Total timing offset of the owning layer, set by its frame update.
    int32_t fLayerTimingOffset;
    int32_t fBoneCount;
    int32_t fBoneCapacity;
    // Owned; fBoneCapacity slots, the first fBoneCount in use (null while a deferred deletion
    // left them empty), the rest null.
    M_Bone** fBones;

private:
    // The bone's parent when it is a bone that exists, -1 otherwise.
    int32_t ParentOf(int32_t index) const;
    // No control link and dynamics off at the current frame.
    bool IsFree(int32_t index) const;
    void ReparentChild(M_Bone& child, int32_t newParent);
    void RemoveEmptySlots();

    // m_skeleton_matrix.cpp
    void ApplyControls();
    void UpdateOneBone(int32_t index, int32_t depth);

    // m_skeleton_ik.cpp
    // Keys the angles of the bone and of its ancestors up to the first branching one, when
    // "AutoLockKeys" is on.
    void KeyLockAngles(int32_t index, int32_t frame);

    // m_skeleton.cpp: record reading.
    bool LinksValid(int32_t first, int32_t count) const;
    void DiscardSlots(int32_t first, int32_t count);
};
