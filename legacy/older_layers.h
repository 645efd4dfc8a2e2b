#pragma once

#include <cstdint>
#include <ctime>
#include <memory>
#include <vector>

#include "older_channels.h"
#include "older_mesh.h"
#include "qv_path.h"

class QV_IoStream;

// The older layer records: the keywords every layer may hold, the six kinds, and the current
// layer records they are written as.
namespace vorn_v4 {

class VornLayer {
public:
    VornLayer();
    virtual ~VornLayer();
    virtual int32_t LayerType() const { return 0; }
    // A kind the older format does not know: written as an empty record, so that whatever
    // follows it still converts.
    virtual void WriteCurrentRecord(QV_IoStream* stream);
    // depth: how many group-like layers hold this one.
    virtual bool ReadRecord(QV_IoStream* stream, int32_t depth);
    virtual int32_t AnimDuration() const;

    bool ReadBaseKeyword(const char* word, QV_IoStream* stream);
    void WriteBaseRecord(QV_IoStream* stream);

    // Set by a masked group for its first sub-layer; -1 when none.
    int32_t fParentMasking = -1;
    QV_String fName;
    bool fVisible = true;
    bool fRenderOnly = false;
    bool fScaleCompensation = true;
    bool fRotateToFollow = false;
    bool fFaceCamera = false;
    bool fMaskable = true;
    bool fCameraImmune = false;
    bool fDofImmune = false;
    AnimBool fShadowOn { false };
    AnimVal fShadowAngle { 5.497787f };
    AnimVal fShadowOffset { 1.0f / 30 };
    AnimVal fShadowBlur { 1.0f / 60 };
    AnimVal fShadowExpansion { 0 };
    AnimColor fShadowColor { rgb_color { 0, 0, 0, 128 } };
    AnimBool fShadingOn { false };
    AnimVal fShadingAngle { 5.497787f };
    AnimVal fShadingOffset { 1.0f / 30 };
    AnimVal fShadingBlur { 1.0f / 15 };
    AnimVal fShadingContraction { 0 };
    AnimColor fShadingColor { rgb_color { 0, 0, 0, 128 } };
    AnimBool fMotionBlurOn { false };
    AnimVal fMotionBlurFrames { 2 };
    AnimVal fMotionBlurSkip { 1 };
    AnimVal fMotionBlurAlphaStart { 128 };
    AnimVal fMotionBlurAlphaEnd { 77 };
    AnimVal fMotionBlurRadius { 1.0f / 60 };
    QV_String fHsvImage;
    int32_t fParentBone = -1;
    float fOrigin[2] = { 0, 0 };
    AnimVec2 fTranslation;
    AnimVec2 fScale { Vec2 { 1, 1 } };
    AnimVal fRotation;
    AnimBool fFlipH;
    AnimBool fFlipV;
    AnimVec2 fShear;
    AnimVec2 fPerspective;
    AnimVal fBlur;
    AnimVal fAlpha { 255 };
    AnimBool fVisibility { true };
    AnimVal fDepth;

protected:
    // The kind's own keywords; false when the word is none of them (handled is then false).
    virtual bool ReadOwnKeyword(const char* word, QV_IoStream* stream, int32_t depth, bool& handled);
    virtual void PrepareRecord() { }
    virtual void FinishRecord() { }
};

// Makes the layer of an older type code; any unknown code gives the base layer.
std::unique_ptr<VornLayer> MakeOlderLayer(int32_t type);

class MeshLayer : public VornLayer {
public:
    int32_t LayerType() const override { return 1; }
    void WriteCurrentRecord(QV_IoStream* stream) override;
    int32_t AnimDuration() const override;

    bool fNoisyShapes = false;
    bool fNoisyLines = false;
    bool fAnimatedNoise = false;
    float fNoiseAmplitude = 1.0f / 30;
    float fNoiseScale = 2.0f / 15;
    int32_t fExtraLines = 0;
    M_Mesh fMesh;

protected:
    bool ReadOwnKeyword(const char* word, QV_IoStream* stream, int32_t depth, bool& handled) override;
    void PrepareRecord() override { fMesh.Clear(); }
};

class ImageLayer : public VornLayer {
public:
    int32_t LayerType() const override { return 2; }
    void WriteCurrentRecord(QV_IoStream* stream) override;

    QV_String fImage;
    float fShape[2] = { -1, -1 };

protected:
    bool ReadOwnKeyword(const char* word, QV_IoStream* stream, int32_t depth, bool& handled) override;
};

class GroupLayer : public VornLayer {
public:
    // Sub-layers a group-like layer holds at most.
    static constexpr size_t kMaxLayers = 127;

    int32_t LayerType() const override { return 3; }
    void WriteCurrentRecord(QV_IoStream* stream) override;
    int32_t AnimDuration() const override;
    bool AddLayer(std::unique_ptr<VornLayer> layer);

    bool fExpanded = false;
    bool fMask = false;
    bool fInvisibleMask = false;
    bool fReversedMask = false;
    bool fDepthSort = false;
    bool fDistanceSort = false;
    std::vector<std::unique_ptr<VornLayer>> fLayers;

protected:
    bool ReadOwnKeyword(const char* word, QV_IoStream* stream, int32_t depth, bool& handled) override;
    void PrepareRecord() override { fLayers.clear(); }
    // "layer" and "expanded", which every group-like kind knows.
    bool ReadCommonKeyword(const char* word, QV_IoStream* stream, int32_t depth, bool& handled);
    // The group's mask and sort lines, then its sub-layers with the mask given to the first; a
    // bone layer's skeleton stands between them.
    void WriteMaskAndLayers(QV_IoStream* stream, M_Skeleton* skeleton);
    void WriteSubLayers(QV_IoStream* stream);
    int32_t SubLayerDuration() const;
};

class BoneLayer : public GroupLayer {
public:
    int32_t LayerType() const override { return 4; }
    void WriteCurrentRecord(QV_IoStream* stream) override;
    int32_t AnimDuration() const override;

    M_Skeleton fSkeleton;

protected:
    bool ReadOwnKeyword(const char* word, QV_IoStream* stream, int32_t depth, bool& handled) override;
    void PrepareRecord() override
    {
        GroupLayer::PrepareRecord();
        fSkeleton.fBones.clear();
    }
};

class SwitchLayer : public GroupLayer {
public:
    int32_t LayerType() const override { return 5; }
    void WriteCurrentRecord(QV_IoStream* stream) override;
    int32_t AnimDuration() const override;

    QV_String fSwitchData;
    bool fSwitchInterpolation = false;
    AnimString fSwitchKeys;

protected:
    bool ReadOwnKeyword(const char* word, QV_IoStream* stream, int32_t depth, bool& handled) override;
    void PrepareRecord() override
    {
        GroupLayer::PrepareRecord();
        fSwitchData = "";
    }
    void ReadSwitchData();
};

class ParticleLayer : public GroupLayer {
public:
    ParticleLayer();
    int32_t LayerType() const override { return 6; }
    void WriteCurrentRecord(QV_IoStream* stream) override;
    int32_t AnimDuration() const override;

    int32_t fCount = 100;
    int32_t fPreviewCount = 20;
    int32_t fLifetime = 24;
    int32_t fSeed;
    bool fOrient = true;
    bool fFreeFloating = true;
    bool fEvenlySpaced = false;
    bool fRandomStartTime = false;
    float fSource[3] = { 0.1f, 0.1f, 0 };
    float fStartDir = 1.5707964f;
    float fStartSpread = 0.17453294f;
    float fVelocity = 2;
    float fVelocitySpread = 0.5f;
    float fAccelAngle = 4.712389f;
    float fAccelRate = 4;
    bool fStartFull = true;
    AnimBool fActivation { true };

protected:
    bool ReadOwnKeyword(const char* word, QV_IoStream* stream, int32_t depth, bool& handled) override;
    void FinishRecord() override;
};

} // namespace vorn_v4
