#pragma once

#include <cstdint>

#include "animstring.h"
#include "qv_arraylist.h"
#include "qv_baseimage.h"
#include "vornlayer.h"

// Group masks.
constexpr int32_t GROUP_MASK_NONE = 0;
constexpr int32_t GROUP_MASK_SHOW_ALL = 1;
constexpr int32_t GROUP_MASK_HIDE_ALL = 2;

// The layer that holds other layers: an ordered list of owned sub-layers and a second list in
// drawing order (by depth or by the animated layer ordering). Bone, switch and particle layers
// derive from it. The document passes the frame and itself down the tree through it.
//
// A layer ordering text lists sub-layer indices, each followed by '|' ("2|0|1|"): position i
// names the sub-layer drawn at drawing position i.
class GroupLayer : public VornLayer {
public:
    GroupLayer();
    ~GroupLayer() override;

    int32_t LayerType() override;
    // The group keywords, then every sub-layer as its type code and record.
    bool ReadRecord(QV_IoStream* stream) override;
    void WriteRecord(QV_IoStream* stream) override;
    void SetDocument(VornDoc* doc) override;
    // The base frame update, the layer script, then every shown sub-layer gets the document
    // frame (not the group's own).
    void SetCurFrame(int32_t frame) override;
    bool ContainsLayer(VornLayer* layer) override;
    // The sub-layers in drawing order (grouplayer_draw.cpp).
    void Draw(VornDoc* doc, XGraphics* graphics, QV_PixelBuffer* scratch, int32_t& drawMode, VornLayer* currentLayer,
        RenderSettings* settings) override;
    int32_t CountRenderItems() override;
    // Renders one sub-layer in drawing order through its own pass and the group mask
    // (grouplayer_render.cpp).
    void RenderItem(VornDoc* doc, XGraphics* graphics, QV_PixelBuffer* target, QV_PixelBuffer* scratch,
        int32_t item, RenderSettings* settings) override;
    int32_t AnimDuration() override;
    int32_t CountChannels() override;
    void GetChannelInfo(int32_t row, ChannelInfo& info) override;
    AnimChannel* GetChannel(int32_t row, int32_t sub, VornDoc* doc) override;

    // The three operations group-like kinds add to the virtual interface.
    virtual bool AddLayer(VornLayer* layer);
    // Neither deletes the layer nor adjusts the layer ordering.
    virtual void RemoveLayer(VornLayer* layer);
    // Does not set the layer's frame.
    virtual void InsertLayer(VornLayer* layer, VornLayer* sibling, bool after);

    int32_t CountLayers() const { return fLayers.fCount; }
    VornLayer* Layer(int32_t index);
    VornLayer* LayerByDepth(int32_t index);
    // Direct sub-layers only.
    VornLayer* LayerByName(const char* name);
    int32_t LayerIndex(VornLayer* layer) const;
    // The document becomes the sort document; null sorts with the last one given.
    void FullDepthSort(VornDoc* doc);
    void DepthSort(VornDoc* doc);

    bool IsLayerOrdered();
    void ClearLayerOrdering();
    // Called after a sub-layer went in at index: every ordering key makes room for it.
    void InsertIntoLayerOrdering(int32_t index);

    bool IsExpanded() const { return fExpanded; }
    void Expand(bool on) { fExpanded = on; }
    int32_t GetGroupMask() const { return fGroupMask; }
    // Scripts may store any number; rendering takes one that names no mask as none.
    void SetGroupMask(int32_t mask) { fGroupMask = mask; }
    int32_t RenderGroupMask() const
    {
        return fGroupMask == GROUP_MASK_SHOW_ALL || fGroupMask == GROUP_MASK_HIDE_ALL ? fGroupMask : GROUP_MASK_NONE;
    }
    bool IsDepthSorted() const { return fDepthSort; }
    void SetDepthSorted(bool on);
    bool IsDistanceSorted() const { return fDistanceSort; }
    void SetDistanceSorted(bool on);
    bool IsLayerOrderingEnabled() const { return fAnimatedLayerOrder; }
    // Switching off also clears the ordering.
    void EnableLayerOrdering(bool on);

    // The group's document frame: its own frame less its total timing offset.
    int32_t DocumentFrame() const;

    // Owned sub-layers, index 0 at the bottom.
    QV_ArrayList fLayers;
    bool fExpanded;
    int32_t fGroupMask;
    bool fDepthSort;
    bool fDistanceSort;
    bool fAnimatedLayerOrder;
    AnimString fLayerOrdering;
    // The sub-layers in drawing order, index 0 drawn first.
    QV_ArrayList fDepthLayers;
    VornDoc* fSortDoc;
    QV_BaseImage fMaskImage;
    bool fLoading;
    // The skeleton that bone and switch layers offer their sub-layers; null for plain groups.
    BoneParent* fBoneParent;

protected:
    // Whether a sub-layer is drawn in a pass of this mode (isCurrent: it is the current layer).
    static bool SubLayerDrawn(VornLayer* layer, int32_t mode, bool isCurrent);
    // What group kinds add to the group's editor drawing (grouplayer_draw.cpp): after the layer
    // script ran; the edit pass of the layer itself as the current layer (the origin marker);
    // and after the edit pass of a sub-layer that is the current layer.
    virtual void DrawPrepared();
    virtual void DrawEditOverlays(VornDoc* doc, XGraphics* graphics);
    virtual void DrawAfterCurrentSubLayer(VornDoc* doc, XGraphics* graphics, VornLayer* current);

    // The pieces of the record that the group kinds share (grouplayer_record.cpp).
    // "expanded" to "layer_ordering" with the ordering's record.
    void WriteGroupValues(QV_IoStream* stream);
    // "### sub-layers", then each sub-layer as its type code and record.
    void WriteSubLayers(QV_IoStream* stream);
    // Resets the common values a record may leave out and deletes every sub-layer, before a
    // record is read into the layer.
    void DiscardForReading();
    // After "layer_type": the code, then the new sub-layer's record; appends the sub-layer. False
    // on failure, with the sub-layer's own error text on the stream when it has one.
    bool ReadSubLayer(QV_IoStream* stream);
    // Once the record is read: the ordering flag, and the sub-layers' drawing order and frame.
    void SettleAfterReading();

private:
    void ApplyLayerOrdering();
};
