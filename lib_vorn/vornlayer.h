#pragma once

#include <cstdint>

#include "animbool.h"
#include "animcolor.h"
#include "animval.h"
#include "animvec3.h"
#include "composite_modes.h"
#include "qv_arraylist.h"
#include "qv_baseimage.h"
#include "qv_matrix.h"
#include "qv_path.h"
#include "qv_string.h"
#include "qv_vector.h"

class BoneParent;
class GroupLayer;
class QV_IoStream;
class RenderSettings;
class VornDoc;
class XGraphics;
struct ChannelInfo;
struct QV_PixelBuffer;

// Layer type codes: LayerType answers them and the document record stores them.
constexpr int32_t LT_UNKNOWN = 0;
constexpr int32_t LT_VECTOR = 1;
constexpr int32_t LT_IMAGE = 2;
constexpr int32_t LT_GROUP = 3;
constexpr int32_t LT_BONE = 4;
constexpr int32_t LT_SWITCH = 5;
constexpr int32_t LT_PARTICLE = 6;
constexpr int32_t LT_NOTE = 7;
constexpr int32_t LT_3D = 8;
// Audio layers: not among the scripts' constants.
constexpr int32_t LT_AUDIO = 9;

// Masking modes within the parent group's mask.
constexpr int32_t MM_MASKED = 0;
constexpr int32_t MM_NOTMASKED = 1;
constexpr int32_t MM_ADD_MASK = 2;
constexpr int32_t MM_SUB_MASK = 3;
constexpr int32_t MM_ADD_MASK_INVIS = 4;
constexpr int32_t MM_SUB_MASK_INVIS = 5;
constexpr int32_t MM_CLEAR_ADD_MASK = 6;

// Draw modes that Draw receives (by reference: group-like layers change it for their
// sub-layers and the caller sees the change).
constexpr int32_t DRAW_BELOW = 0;
constexpr int32_t DRAW_CURRENT = 1;
constexpr int32_t DRAW_EDIT = 2;
constexpr int32_t DRAW_ABOVE = 3;
constexpr int32_t DRAW_QUICK_PREVIEW = 4;
constexpr int32_t DRAW_SWF = 5;
constexpr int32_t DRAW_ONION = 8;
constexpr int32_t DRAW_ONION_CURRENT = 9;

// Bit of fQualityFlags (and of the view's quality flags): construction curves and editing
// overlays.
constexpr int32_t QUALITY_EDIT_OVERLAYS = 2;

// The base of every layer kind: name, type, flags, place in the layer tree, the layer's own
// frame and timing offset, origin and parent bone, the 34 keyframed layer channels, the action
// list and the layer script, and the virtual interface through which the document, the renderer,
// the panels and the scripts drive any layer.
//
// The operations are spread over files by concern: vornlayer.cpp (fields, accessors, frames,
// timing, effects baking, duration, layer script), vornlayer_channels.cpp (the channel table),
// vornlayer_transform.cpp, vornlayer_actions.cpp and vornlayer_record.cpp.
class VornLayer {
public:
    VornLayer();
    virtual ~VornLayer();
    VornLayer(const VornLayer&) = delete;
    VornLayer& operator=(const VornLayer&) = delete;

    // The virtual interface, in the order every kind overrides it.
    virtual int32_t LayerType();
    virtual bool ReadRecord(QV_IoStream* stream);
    // Each kind writes its own record; the base writes nothing.
    virtual void WriteRecord(QV_IoStream* stream);
    virtual void SetDocument(VornDoc* doc);
    // Brings the layer to a document frame: its own frame is that plus the total timing offset.
    virtual void SetCurFrame(int32_t frame);
    virtual bool ContainsLayer(VornLayer* layer);
    virtual void DeleteParentBone(int32_t deleted);
    virtual void Draw(VornDoc* doc, XGraphics* graphics, QV_PixelBuffer* scratch, int32_t& drawMode,
        VornLayer* currentLayer, RenderSettings* settings);
    virtual int32_t CountRenderItems();
    virtual void RenderItem(VornDoc* doc, XGraphics* graphics, QV_PixelBuffer* target,
        QV_PixelBuffer* scratch, int32_t item, RenderSettings* settings);
    // The raster pass of a final render (vornlayer_render.cpp): true when the items go into the
    // layer image and FinishRender must follow, false when they go straight into the output.
    virtual bool BeginRender(VornDoc* doc, XGraphics* graphics, QV_PixelBuffer* output, QV_PixelBuffer* scratch,
        QV_BaseImage* layerImage, RenderSettings* settings);
    // Applies the layer effects to the layer image.
    virtual void FinishRender(VornDoc* doc, XGraphics* graphics, QV_PixelBuffer* output, QV_BaseImage* layerImage,
        QV_PixelBuffer* scratch, RenderSettings* settings);
    // Whether the SWF export may define the layer once.
    virtual bool IsFlatAndStatic();
    virtual int32_t AnimDuration();
    // Media length in frames for movie and sound layers; -1 for the others.
    virtual int32_t LayerDuration();
    virtual int32_t CountChannels();
    virtual void GetChannelInfo(int32_t row, ChannelInfo& info);
    // The document may be null: the camera rows then give null.
    virtual AnimChannel* GetChannel(int32_t row, int32_t sub, VornDoc* doc);

    // Brings the layer to the document's frame unless it is there already. Layers inside a
    // particle layer are left alone: the particles drive them.
    void UpdateToDocFrame(VornDoc* doc);
    // Re-evaluates the layer at the document frame it was last set to, after the frame before
    // it when alsoPrevious is set.
    void UpdateCurFrame(bool alsoPrevious);

    bool IsGroupType();
    bool IsBoneType();
    bool IsAudioType();

    const QV_String& Name() const { return fName; }
    // Double quotes are left out: the record stores names between quotes without escapes.
    void SetName(const char* name);
    int32_t CurFrame() const { return fCurFrame; }

    int32_t TimingOffset() const { return fTimingOffset; }
    // Ignored while an action is edited; the layer stays at its document frame.
    void SetTimingOffset(int32_t offset);
    // The layer's and its ancestors' offsets; 0 while an action is edited.
    int32_t TotalTimingOffset() const;
    // Between document frames and the layer's own, kept within the frame range whatever
    // offsets a record holds.
    int32_t LayerFrameOf(int32_t docFrame) const;
    int32_t DocFrameOf(int32_t layerFrame) const;

    bool HasAnimatedLayerEffects() const { return fAnimatedLayerEffects; }
    // Switching off bakes every effect channel to its value at the layer's frame.
    void SetAnimatedLayerEffects(bool on);

    QV_Vector2 Origin() const { return fOrigin; }
    void SetOrigin(const QV_Vector2& origin) { fOrigin = origin; }
    int32_t LayerParentBone() const { return fLayerParentBone; }
    void SetLayerParentBone(int32_t bone) { fLayerParentBone = bone; }
    bool IsRenderOnly() const { return fRenderOnly; }
    void SetRenderOnly(bool on) { fRenderOnly = on; }
    bool IsEditOnly() const { return fEditOnly; }
    void SetEditOnly(bool on) { fEditOnly = on; }
    bool HasScaleCompensation() const { return fScaleCompensation; }
    void SetScaleCompensation(bool on) { fScaleCompensation = on; }
    bool DoesRotateToFollow() const { return fRotateToFollow; }
    void SetRotateToFollow(bool on) { fRotateToFollow = on; }
    bool DoesFaceCamera() const { return fFaceCamera; }
    void SetFaceCamera(bool on) { fFaceCamera = on; }
    int32_t MaskingMode() const { return fMaskingMode; }
    void SetMaskingMode(int32_t mode) { fMaskingMode = mode; }
    // The mode drawing follows: scripts store any number, and one that names no masking mode
    // acts as MM_MASKED.
    int32_t RenderMaskingMode() const
    {
        return fMaskingMode >= MM_MASKED && fMaskingMode <= MM_CLEAR_ADD_MASK ? fMaskingMode : MM_MASKED;
    }
    int32_t BlendingMode() const { return fBlendingMode; }
    void SetBlendingMode(int32_t mode) { fBlendingMode = mode; }
    bool IsImmuneToCamera() const { return fImmuneToCamera; }
    void SetImmuneToCamera(bool on) { fImmuneToCamera = on; }
    bool IsImmuneToDof() const { return fImmuneToDof; }
    void SetImmuneToDof(bool on) { fImmuneToDof = on; }
    bool SecondarySelection() const { return fSecondarySelection; }
    void SetSecondarySelection(bool on) { fSecondarySelection = on; }
    GroupLayer* Parent() const { return fParent; }

    const QV_Path& HsvImage() const { return fHsvImage; }
    // The next render loads the new image. False (nothing changed) for a path a document
    // cannot store.
    bool SetHsvImage(const char* path);

    void ShowConstructionCurves(bool on);
    // Whether the editor view draws this layer's editing overlays.
    bool ShowsEditOverlays();

    // Stores the path; the script is run afresh at its next use. False (nothing changed) for a
    // path a document cannot store.
    bool SetLayerScript(const char* path);
    void RunLayerScript();

    // The skeleton of a bone or switch parent, or null.
    BoneParent* ParentBones() const;

    // Actions (vornlayer_actions.cpp). Recursing operations repeat themselves on the sub-layers
    // of group-like layers.
    const QV_String& CurrentPose() const { return fCurrentPose; }
    bool HasPose(const char* name) const;
    // Null or empty: back to the main timeline.
    void ActivatePose(const char* name, bool add);
    void InsertPose(const char* name, int32_t frame, bool asReference);
    void RenamePose(const char* oldName, const char* newName);
    void DeletePose(const char* name);
    int32_t PoseDuration(const char* name);
    void BlendPoses(int32_t frame, int32_t count, const char* const* names, const float* weights);
    void ClearPoses();
    void ClearAnimation(bool recursive);
    void ResetAllChannels(bool recursive);

    // Transforms at a document frame (vornlayer_transform.cpp). The document may be null.
    void GetLayerTransform(int32_t frame, QV_Matrix& matrix, VornDoc* doc);
    void GetFullTransform(int32_t frame, QV_Matrix& matrix, VornDoc* doc);
    void GetParentTransform(int32_t frame, QV_Matrix& matrix, VornDoc* doc);
    void GetParentBoneTransform(int32_t frame, QV_Matrix& matrix, VornDoc* doc);

    // The common part of every layer record (vornlayer_record.cpp).
    static void WriteGenericValues(QV_IoStream* stream, VornLayer* layer);
    static bool ReadGenericKeyword(VornLayer* layer, QV_IoStream* stream, const char* keyword);
    // Puts back to their defaults the common values a record leaves out while they hold them
    // (actions, HSV image, layer script), so that a record read over a live layer (undo, redo)
    // also drops those set since it was written. Every reader calls it before its first word.
    static void ResetGenericValues(VornLayer* layer);

    // The scale a shadow's or a shading's noise channel starts with.
    static constexpr float kDefaultNoiseScale = 64;
    // The 34 layer channels in declaration order; answers their count.
    static constexpr int32_t kLayerChannelCount = 34;
    int32_t LayerChannels(AnimChannel** channels);

    AnimVec3 fTranslation;
    AnimVec3 fScale;
    AnimVal fRotationX;
    AnimVal fRotationY;
    AnimVal fRotationZ;
    AnimBool fFlipH;
    AnimBool fFlipV;
    AnimVec3 fShear;
    AnimBool fVisibility;
    AnimVal fBlur;
    AnimVal fAlpha;
    AnimVal fAmbientOcclusion;
    AnimBool fLayerShadow;
    AnimVal fShadowAngle;
    AnimVal fShadowOffset;
    AnimVal fShadowBlur;
    AnimVal fShadowExpansion;
    AnimColor fShadowColor;
    AnimVal fShadowNoiseAmp;
    AnimVal fShadowNoiseScale;
    AnimBool fLayerShading;
    AnimVal fShadingAngle;
    AnimVal fShadingOffset;
    AnimVal fShadingBlur;
    AnimVal fShadingContraction;
    AnimColor fShadingColor;
    AnimVal fShadingNoiseAmp;
    AnimVal fShadingNoiseScale;
    AnimBool fMotionBlur;
    AnimVal fMotionBlurFrames;
    AnimVal fMotionBlurSkip;
    AnimVal fMotionBlurAlphaStart;
    AnimVal fMotionBlurAlphaEnd;
    AnimVal fMotionBlurRadius;
    // Placement a particle layer gives its template layers, between the layer's own transform
    // and its parents'.
    QV_Matrix fParticleMatrix;
    // The action being edited; empty for the main timeline.
    QV_String fCurrentPose;
    // Owned QV_String action names, in creation order.
    QV_ArrayList fPoses;
    QV_String fName;
    int32_t fQualityFlags;
    bool fAnimatedLayerEffects;
    QV_Vector2 fOrigin;
    // -2 the whole skeleton at the origin, -1 none, 0 or more one bone; -3 (image and 3D
    // layers) warps point by point and counts as none here.
    int32_t fLayerParentBone;
    bool fVisible;
    bool fRenderOnly;
    bool fEditOnly;
    bool fScaleCompensation;
    bool fRotateToFollow;
    bool fFaceCamera;
    int32_t fMaskingMode;
    int32_t fBlendingMode;
    bool fImmuneToCamera;
    bool fImmuneToDof;
    QV_Path fHsvImage;
    int32_t fTimingOffset;
    QV_Path fLayerScript;
    bool fLayerScriptLoaded;
    QV_String fLayerScriptFunction;
    VornDoc* fDoc;
    bool fSecondarySelection;
    int32_t fCurFrame;
    GroupLayer* fParent;
    bool fInMotionBlurPass;
    QV_BaseImage fHsvImageCache;
    // The number behind fLayerScriptFunction: given once from a counter and kept for the
    // layer's life (0 until the script first loads).
    uint32_t fScriptSerial;

protected:
    // The base rows of the channel table; kinds hand their rows past their own to these.
    static constexpr int32_t kBaseChannelRows = 20;

private:
    void BakeEffectChannels();
    // The parent-bone step of the layer transform, for the layer translation t.
    void MultiplyParentBone(const QV_Vector3& t, QV_Matrix& m);
};

// Types 3 to 6: layers that hold sub-layers (GroupLayer and its kinds).
bool IsGroupLayerType(int32_t type);
