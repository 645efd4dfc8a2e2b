#pragma once

#include <cstdint>

#include "animstring.h"
#include "bonelayer.h"
#include "qv_path.h"

class MeshLayer;

// A bone layer that shows one sub-layer at a time: a keyed text names the sub-layer to show
// (mouth shapes, hand poses, replacement drawings). Optionally the points of the shown vector
// sub-layer move part of the way towards those of the next key's. Keys can come from a switch
// data file.
//
// Split by concern: the class, the frame update and the blend (switchlayer.cpp), the record and
// the data file (switchlayer_record.cpp), drawing and rendering the shown sub-layer
// (switchlayer_draw.cpp).
class SwitchLayer : public BoneLayer {
public:
    SwitchLayer();
    ~SwitchLayer() override;

    int32_t LayerType() override;
    bool ReadRecord(QV_IoStream* stream) override;
    void WriteRecord(QV_IoStream* stream) override;
    void SetCurFrame(int32_t frame) override;
    void Draw(VornDoc* doc, XGraphics* graphics, QV_PixelBuffer* scratch, int32_t& drawMode, VornLayer* currentLayer,
        RenderSettings* settings) override;
    int32_t CountRenderItems() override;
    void RenderItem(VornDoc* doc, XGraphics* graphics, QV_PixelBuffer* target, QV_PixelBuffer* scratch,
        int32_t item, RenderSettings* settings) override;
    int32_t CountChannels() override;
    void GetChannelInfo(int32_t row, ChannelInfo& info) override;
    AnimChannel* GetChannel(int32_t row, int32_t sub, VornDoc* doc) override;

    // The name shown at a document frame (the layer's timing offset added).
    QV_String GetValue(int32_t docFrame);
    // Keys the name at a document frame and shows it.
    void SetValue(int32_t docFrame, const char* name);
    AnimString* SwitchValues() { return &fSwitchValues; }
    bool InterpMode() const { return fInterpolate; }
    void SetInterpMode(bool on) { fInterpolate = on; }

    const QV_Path& SourceFile() const { return fSourceFile; }
    // Stores the path and loads its keys. False, with nothing changed, for a path a document
    // cannot store.
    bool SetSourceFile(const char* path);
    // Replaces the switch keys by the data file's. A file that cannot be opened or does not
    // begin with the data file's first line leaves the keys as they are.
    void LoadSourceFile();
    // Whether the ten mouth shapes of lip sync are all among the sub-layers.
    bool HasPhonemeLayers();

    // The sub-layer drawn or rendered now: with forEditor, the one holding the editor's current
    // layer first; then the one named by the switch value; else the last. Null without any.
    VornLayer* ShownLayer(VornLayer* currentLayer, bool forEditor);

    QV_Path fSourceFile;
    bool fInterpolate;
    AnimString fSwitchValues;

private:
    // Moves the points of the vector sub-layer named by the key before the layer frame towards
    // those of the key after it.
    void BlendSubLayers(int32_t layerFrame);
    // The last vector sub-layer of the name, or null.
    MeshLayer* VectorLayerNamed(const QV_String& name);
};
