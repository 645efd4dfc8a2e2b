#pragma once

#include <cstdint>

#include "animbool.h"
#include "animval.h"
#include "animvec2.h"
#include "qv_matrix.h"
#include "qv_string.h"
#include "qv_vector.h"

class M_Skeleton;
class QV_IoStream;

// One bone of a skeleton. It lies along its own +x axis from (0, 0) to (fLength, 0); its
// position and angle are relative to its parent bone (to the layer for a root). Every bone
// reference (fParent and the control links) is an index into the owning skeleton, -1 for none.
//
// The fields are public because tools and scripts read and write them directly; the skeleton's
// operations keep the references consistent, and the matrices are recomputed by
// M_Skeleton::UpdateBoneMatrix after any change.
class M_Bone {
public:
    // Every channel is set to the frame and holds its default there. A bone made at a frame
    // other than 0 carries its pose keys only at that frame, so it does not exist "before"
    // it was drawn; its dynamics switch keeps the frame-0 key.
    explicit M_Bone(int32_t frame);
    ~M_Bone();
    M_Bone(const M_Bone&) = delete;
    M_Bone& operator=(const M_Bone&) = delete;

    const char* Name() const { return fName.CString(); }
    // Names are written between double quotes without escapes, so quotes are dropped.
    void SetName(const char* name);

    // idBase is added to every bone reference of 0 or more: records are appended behind the
    // bones a skeleton already holds. False on the first failing read; a failing channel record
    // leaves its error text on the stream, other failures leave the text to the caller.
    bool ReadRecord(QV_IoStream* stream, int32_t idBase);
    void WriteRecord(QV_IoStream* stream);

    bool fSelected;
    QV_String fName;
    int32_t fParent;
    int32_t fAngleControlParent;
    float fAngleControlScale;
    int32_t fPosControlParent;
    QV_Vector2 fPosControlScale;
    int32_t fScaleControlParent;
    float fScaleControlScale;
    float fLength;
    float fStrength;
    // Added to the position in the current pose only.
    QV_Vector2 fOffset;
    AnimVec2 fAnimPos;
    AnimVal fAnimAngle;
    AnimVal fAnimScale;
    // Angle limits relative to the rest angle; used while fConstraints is on.
    bool fConstraints;
    float fMinConstraint;
    float fMaxConstraint;
    // The current values after controls, constraints, locks and dynamics.
    QV_Vector2 fPos;
    float fAngle;
    float fScale;
    // Scratch values of tool scripts; the model never reads them.
    QV_Vector2 fTempPos;
    float fTempLength;
    float fTempAngle;
    float fTempScale;
    AnimBool fIKLock;
    // Where the parent's tip must be, and the world angle this bone keeps, while locked.
    AnimVec2 fIKParentTarget;
    AnimVal fIKGlobalAngle;
    AnimBool fBoneDynamics;
    float fTorqueForce;
    float fSpringForce;
    float fDampingForce;
    // Dynamics state carried from step to step by the bone layer.
    QV_Vector2 fDynBasePos;
    QV_Vector2 fDynTipPos;
    float fDynAngle;
    float fDynAccel;
    float fDynVelocity;
    // Set for each bone as the whole-skeleton update computes it.
    bool fMatrixUpdated;
    // Bone-local points to layer space at rest (rigid).
    QV_Matrix fRestMatrix;
    // Bone-local points to layer space in the current pose, with the bone's own scale.
    QV_Matrix fMovedMatrix;
    // Rest-pose layer points to where they are now when bound to this bone.
    QV_Matrix fPtMatrix;
    // The two above without the bone's own scale: what child bones build on.
    QV_Matrix fChildMovedMatrix;
    QV_Matrix fChildPtMatrix;
    // Normalised weight of this bone for the last point blended.
    float fBindWeight;
    // The rest segment, refreshed by the whole-skeleton update.
    QV_Vector2 fRestBase;
    QV_Vector2 fRestTip;
    // Not owned.
    M_Skeleton* fOwnerSkeleton;
};
