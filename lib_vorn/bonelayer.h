#pragma once

#include <cstdint>

#include "grouplayer.h"
#include "m_skeleton.h"
#include "skeleton_bones.h"

// A group layer that owns a skeleton: its vector sub-layers bind points to the bones, its other
// sub-layers follow a bone or the whole skeleton (through GroupLayer::fBoneParent). Each frame
// update brings the bones to the frame, applies constraints and locks, and steps the bones'
// dynamics. The switch layer derives from it.
//
// Split by concern: the class and its channel rows (bonelayer.cpp), the record
// (bonelayer_record.cpp) and the frame update with the dynamics (bonelayer_frame.cpp).
class BoneLayer : public GroupLayer {
public:
    BoneLayer();
    ~BoneLayer() override;

    int32_t LayerType() override;
    bool ReadRecord(QV_IoStream* stream) override;
    void WriteRecord(QV_IoStream* stream) override;
    void SetCurFrame(int32_t frame) override;
    int32_t CountChannels() override;
    void GetChannelInfo(int32_t row, ChannelInfo& info) override;
    AnimChannel* GetChannel(int32_t row, int32_t sub, VornDoc* doc) override;
    // The group's drawing, with the bones and binding regions for the bone tools
    // (bonelayer_draw.cpp).
    void Draw(VornDoc* doc, XGraphics* graphics, QV_PixelBuffer* scratch, int32_t& drawMode, VornLayer* currentLayer,
        RenderSettings* settings) override;

    // The bones as thin diamonds coloured by their state; the graphics context already holds
    // the layer's transform.
    void DrawSkeleton(XGraphics* graphics, VornDoc* doc, bool highlight);
    // Every bone's binding region as a translucent capsule.
    void DrawStrengthRegions(XGraphics* graphics, VornDoc* doc, bool highlight);

    M_Skeleton* Skeleton() { return &fSkeleton; }

    M_Skeleton fSkeleton;

protected:
    // At the setup frame, unless a tool that moves bones there is active, the bones show their
    // channels' pose without constraints, locks or dynamics (bonelayer_draw.cpp).
    void ShowRestPoseForTools(VornDoc* doc);
    void DrawPrepared() override;
    // The binding regions for the bone tools at the setup frame, the bones, the origin marker.
    void DrawEditOverlays(VornDoc* doc, XGraphics* graphics) override;
    // The bones over a current sub-layer, highlighted for the tools that work with them.
    void DrawAfterCurrentSubLayer(VornDoc* doc, XGraphics* graphics, VornLayer* current) override;

    // The bones' own rows before the group's.
    static constexpr int32_t kBoneRows = 10;

private:
    // Brings every bone's channels to the layer frame t and takes their values.
    void UpdateBoneChannels(int32_t t);
    // One step of the bones' dynamics at a document frame; at the start frame they reset instead.
    void StepDynamics(int32_t docFrame, bool atStart);

    SkeletonBones fOffered;
};
