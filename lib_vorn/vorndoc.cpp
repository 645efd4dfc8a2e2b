// The document: construction and destruction, the list of top-level layers and the selection.

#include "vorndoc.h"

#include <new>

#include "console_sink.h"
#include "format_version.h"
#include "grouplayer.h"
#include "m_style.h"
#include "model_prefs.h"
#include "qv_memstream.h"
#include "vornlayer.h"
#include "script_object_record.h"

namespace {

constexpr int32_t kRedoCapacity = 2048;

void GatherSelected(QV_ArrayList& list, VornLayer* layer)
{
    if (layer->fSecondarySelection)
        list.Append(layer);
    if (!layer->IsGroupType())
        return;
    GroupLayer* group = static_cast<GroupLayer*>(layer);
    for (int32_t i = 0; i < group->fLayers.fCount; i++)
        GatherSelected(list, static_cast<VornLayer*>(group->fLayers.fItems[i]));
}

void ClearSelectedIn(VornLayer* layer)
{
    layer->fSecondarySelection = false;
    if (!layer->IsGroupType())
        return;
    GroupLayer* group = static_cast<GroupLayer*>(layer);
    for (int32_t i = 0; i < group->fLayers.fCount; i++)
        ClearSelectedIn(static_cast<VornLayer*>(group->fLayers.fItems[i]));
}

// Leaves action editing and re-evaluates at the document frame.
void BackToMainTimeline(VornLayer* layer, int32_t frame)
{
    layer->ActivatePose(nullptr, false);
    layer->SetCurFrame(frame);
}

} // namespace

VornDoc::VornDoc()
    : fRedoStream(nullptr)
{
    for (int32_t i = 0; i < kUndoLevels; i++)
        fUndoStreams[i] = nullptr;
    Reset();
}

VornDoc::~VornDoc()
{
    QV_ScriptObjectsGone(this, sizeof(*this));
    for (int32_t i = 0; i < kUndoLevels; i++)
        delete fUndoStreams[i];
    delete fRedoStream;
    for (int32_t i = fStyles.fCount - 1; i >= 0; i--)
        delete static_cast<M_Style*>(fStyles.fItems[i]);
    for (int32_t i = fLayers.fCount - 1; i >= 0; i--)
        delete static_cast<VornLayer*>(fLayers.fItems[i]);
}

void DeleteDocument(VornDoc* doc)
{
    delete doc;
}

void VornDoc::Reset()
{
    fCameraTrack.SetValue(0, QV_Vector3 { 0, 0, 1.7321f });
    fCameraZoom.SetValue(0, 1);
    fCameraRoll.SetValue(0, 0);
    fCameraPanTilt.SetValue(0, QV_Vector2 { 0, 0 });
    fCurrentTool = "";
    fWidth = 872;
    fHeight = 486;
    fStartFrame = 1;
    fEndFrame = 240;
    fFps = 24;
    fBackColor = rgb_color { 255, 255, 255, 255 };
    fNoiseGrain = 0;
    fAllow3D = true;
    fDepthSort = false;
    fDistanceSort = false;
    fDepthOfField = false;
    fFocusDistance = kDefaultFocusDistance;
    fFocusRange = kDefaultFocusRange;
    fMaxBlur = 0.05f;
    fStereoSeparation = -1;
    fExtraSwfFrame = false;
    fSoundtrack = "";
    fReadFailed = false;
    fVersion = kCurrentFormatVersion;
    fDirty = false;
    fCurFrame = 0;
    fPath = "";
    fName = "Untitled.celv";
    fSelLayer = nullptr;
    fDepthLayers.fCount = 0;
    fSelectedLayers.fCount = 0;
    fUndoLevel = 0;
    for (int32_t level = 0; level < kUndoLevels; level++) {
        for (int32_t i = 0; i < kUndoObjects; i++)
            fUndoObjects[level][i] = nullptr;
    }
    delete fRedoStream;
    fRedoStream = new (std::nothrow) QV_MemStream;
    if (fRedoStream) {
        fRedoStream->Open(kRedoCapacity);
        fRedoStream->fVersion = kCurrentFormatVersion;
    }
    fCurrentView = nullptr;
    fViewSlot = 0;
    for (int32_t i = 0; i < kViewSlots; i++) {
        fSlotViews[i] = nullptr;
        fOutsideViewOn[i] = false;
        fOutsidePitch[i] = 0;
        fOutsideYaw[i] = 0;
        fOutsideDistance[i] = 0;
        fOutsideCenter[i] = QV_Vector3 {};
    }
}

bool VornDoc::AddLayer(VornLayer* layer)
{
    layer->SetDocument(this);
    fLayers.Append(layer);
    FullDepthSort();
    layer->SetCurFrame(fCurFrame);
    return true;
}

void VornDoc::InsertLayer(VornLayer* layer, VornLayer* sibling, bool after)
{
    layer->SetDocument(this);
    int32_t index = fLayers.IndexOf(sibling);
    if (after)
        index++;
    fLayers.Insert(layer, index);
    FullDepthSort();
}

void VornDoc::RemoveLayer(VornLayer* layer)
{
    fLayers.Remove(layer);
    FullDepthSort();
}

VornLayer* VornDoc::Layer(int32_t index)
{
    if (index < 0 || index >= fLayers.fCount) {
        PrintOutOfRange("VornDoc:Layer");
        return nullptr;
    }
    return static_cast<VornLayer*>(fLayers.fItems[index]);
}

VornLayer* VornDoc::LayerByDepth(int32_t index)
{
    if (index < 0 || index >= fDepthLayers.fCount) {
        PrintOutOfRange("VornDoc:LayerByDepth");
        return nullptr;
    }
    return static_cast<VornLayer*>(fDepthLayers.fItems[index]);
}

VornLayer* VornDoc::LayerByName(const char* name)
{
    for (int32_t i = 0; i < fLayers.fCount; i++) {
        VornLayer* layer = static_cast<VornLayer*>(fLayers.fItems[i]);
        if (layer->fName == (name ? name : ""))
            return layer;
    }
    return nullptr;
}

void VornDoc::FullDepthSort()
{
    fDepthLayers.fCount = 0;
    for (int32_t i = 0; i < fLayers.fCount; i++)
        fDepthLayers.Append(fLayers.fItems[i]);
    DepthSort();
}

void VornDoc::SetSelLayer(VornLayer* layer)
{
    if (!layer)
        return;
    if (fSelLayer) {
        if (fSelLayer->fCurrentPose != layer->fCurrentPose) {
            BackToMainTimeline(fSelLayer, fCurFrame);
            BackToMainTimeline(layer, fCurFrame);
        }
    } else {
        BackToMainTimeline(layer, fCurFrame);
    }
    fSelLayer = layer;
    layer->fVisible = true;
}

void VornDoc::ClearSecondarySelection()
{
    for (int32_t i = 0; i < fLayers.fCount; i++)
        ClearSelectedIn(static_cast<VornLayer*>(fLayers.fItems[i]));
}

int32_t VornDoc::CountSelectedLayers()
{
    fSelectedLayers.fCount = 0;
    for (int32_t i = 0; i < fLayers.fCount; i++)
        GatherSelected(fSelectedLayers, static_cast<VornLayer*>(fLayers.fItems[i]));
    if (fSelectedLayers.fCount > 1)
        return fSelectedLayers.fCount;
    return fSelLayer ? 1 : 0;
}
