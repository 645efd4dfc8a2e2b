// The bone layer's class and its channel rows: the bones' pose, lock and dynamics channels, for
// every bone and for the selected ones.

#include "bonelayer.h"

#include "channelinfo.h"

namespace {

struct BoneRow {
    int32_t id;
    const char* icon;
    const char* label;
    bool selectedOnly;
    bool angle;
    bool boolGroup;
    bool separator;
};

const BoneRow kRows[] = {
    { 10034, "channel_bone", "/Animation/Channels/BoneAngle=Bone Angle", false, true, false, false },
    { 10035, "channel_bone_sel", "/Animation/Channels/SelectedBoneAngle=Selected Bone Angle", true, true, false,
        false },
    { 10036, "channel_bone_t", "/Animation/Channels/BoneTranslation=Bone Translation", false, false, false, false },
    { 10037, "channel_bone_sel_t", "/Animation/Channels/SelectedBoneTranslation=Selected Bone Translation", true,
        false, false, false },
    { 10038, "channel_bone_s", "/Animation/Channels/BoneScale=Bone Scale", false, false, false, false },
    { 10039, "channel_bone_sel_s", "/Animation/Channels/SelectedBoneScale=Selected Bone Scale", true, false, false,
        false },
    { 10040, "channel_bone_lock", "/Animation/Channels/BoneLock=Bone Lock", false, false, false, false },
    { 10041, "channel_bone_sel_lock", "/Animation/Channels/SelectedBoneLock=Selected Bone Lock", true, false, true,
        false },
    { 10042, "channel_bone_dynamics", "/Animation/Channels/BoneDynamics=Bone Dynamics", false, false, false, false },
    { 10043, "channel_bone_sel_dynamics", "/Animation/Channels/SelectedBoneDynamics=Selected Bone Dynamics", true,
        false, true, true },
};

// The bone that sub-channel index k names among all bones, or among the selected ones.
M_Bone* NthBone(const M_Skeleton& skeleton, int32_t k, bool selectedOnly)
{
    if (k < 0)
        return nullptr;
    for (int32_t i = 0; i < skeleton.GetNumBones(); i++) {
        M_Bone* bone = skeleton.GetBone(i);
        if (!bone || (selectedOnly && !bone->fSelected))
            continue;
        if (k-- == 0)
            return bone;
    }
    return nullptr;
}

int32_t CountBones(const M_Skeleton& skeleton, bool selectedOnly)
{
    int32_t n = 0;
    for (int32_t i = 0; i < skeleton.GetNumBones(); i++) {
        const M_Bone* bone = skeleton.GetBone(i);
        n += bone && (!selectedOnly || bone->fSelected) ? 1 : 0;
    }
    return n;
}

} // namespace

BoneLayer::BoneLayer()
    : fOffered(&fSkeleton)
{
    fSkeleton.fBindingMode = FLEXI_BINDING;
    fQualityFlags |= QUALITY_EDIT_OVERLAYS;
    fBoneParent = &fOffered;
}

BoneLayer::~BoneLayer()
{
    fBoneParent = nullptr;
}

int32_t BoneLayer::LayerType()
{
    return LT_BONE;
}

int32_t BoneLayer::CountChannels()
{
    return kBoneRows + GroupLayer::CountChannels();
}

void BoneLayer::GetChannelInfo(int32_t row, ChannelInfo& info)
{
    if (row < 0 || row >= kBoneRows) {
        GroupLayer::GetChannelInfo(row - kBoneRows, info);
        return;
    }
    const BoneRow& look = kRows[row];
    info.Reset();
    info.fID = look.id;
    info.SetLook(look.icon, look.label);
    info.fSelectionOnly = look.selectedOnly;
    info.fAngle = look.angle;
    info.fBoolGroup = look.boolGroup;
    info.fSeparator = look.separator;
    // The selected bones' pose rows stay single; every other row is a group.
    info.fSingleChannel = row == 1 || row == 3 || row == 5;
    const int32_t bones = CountBones(fSkeleton, look.selectedOnly);
    info.fSubChannels = row == 6 || row == 7 ? 3 * bones : bones;
}

AnimChannel* BoneLayer::GetChannel(int32_t row, int32_t sub, VornDoc* doc)
{
    if (row < 0 || row >= kBoneRows)
        return GroupLayer::GetChannel(row - kBoneRows, sub, doc);
    const bool selectedOnly = kRows[row].selectedOnly;
    if (row == 6 || row == 7) {
        if (sub < 0)
            return nullptr;
        M_Bone* bone = NthBone(fSkeleton, sub / 3, selectedOnly);
        if (!bone)
            return nullptr;
        switch (sub % 3) {
        case 0:
            return &bone->fIKLock;
        case 1:
            return &bone->fIKParentTarget;
        default:
            return &bone->fIKGlobalAngle;
        }
    }
    M_Bone* bone = NthBone(fSkeleton, sub, selectedOnly);
    if (!bone)
        return nullptr;
    switch (row / 2) {
    case 0:
        return &bone->fAnimAngle;
    case 1:
        return &bone->fAnimPos;
    case 2:
        return &bone->fAnimScale;
    default:
        return &bone->fBoneDynamics;
    }
}
