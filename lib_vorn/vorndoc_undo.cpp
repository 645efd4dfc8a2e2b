// The undo history: up to 32 levels, each a text snapshot of the saved layers' records and the
// camera channels in a memory stream that is kept and reused.

#include <algorithm>
#include <new>

#include "format_version.h"
#include "qv_memstream.h"
#include "vorndoc.h"
#include "vornlayer.h"

namespace {

constexpr int32_t kLevelCapacity = 2048;

} // namespace

void VornDoc::DropOldestUndoLevel()
{
    QV_MemStream* oldest = fUndoStreams[0];
    for (int32_t level = 1; level < kUndoLevels; level++) {
        std::copy(fUndoObjects[level], fUndoObjects[level] + kUndoObjects, fUndoObjects[level - 1]);
        fUndoStreams[level - 1] = fUndoStreams[level];
    }
    fUndoStreams[kUndoLevels - 1] = oldest;
    std::fill(fUndoObjects[kUndoLevels - 1], fUndoObjects[kUndoLevels - 1] + kUndoObjects, nullptr);
}

void VornDoc::WriteSnapshot(int32_t level, QV_MemStream* stream)
{
    stream->Rewind();
    stream->fVersion = kCurrentFormatVersion;
    for (int32_t i = 0; i < kUndoObjects; i++) {
        if (fUndoObjects[level][i])
            fUndoObjects[level][i]->WriteRecord(stream);
    }
    fCameraTrack.WriteRecord(stream, true);
    fCameraZoom.WriteRecord(stream, true);
    fCameraRoll.WriteRecord(stream, true);
    fCameraPanTilt.WriteRecord(stream, true);
}

void VornDoc::ReadSnapshot(int32_t level, QV_MemStream* stream)
{
    stream->Rewind();
    stream->fVersion = kCurrentFormatVersion;
    for (int32_t i = 0; i < kUndoObjects; i++) {
        VornLayer* layer = fUndoObjects[level][i];
        if (!layer)
            continue;
        const QV_String pose(layer->CurrentPose());
        layer->SetCurFrame(0);
        layer->ReadRecord(stream);
        if (!pose.IsEmpty())
            layer->ActivatePose(pose.CString(), false);
        layer->SetCurFrame(fCurFrame);
    }
    fCameraTrack.ReadRecord(stream, false);
    fCameraZoom.ReadRecord(stream, false);
    fCameraRoll.ReadRecord(stream, false);
    fCameraPanTilt.ReadRecord(stream, false);
}

void VornDoc::PrepUndo(VornLayer* layer)
{
    if (!layer) {
        fUndoLevel = 0;
        for (int32_t level = 0; level < kUndoLevels; level++)
            std::fill(fUndoObjects[level], fUndoObjects[level] + kUndoObjects, nullptr);
        return;
    }
    VornLayer* objects[1] = { layer };
    PrepLevel(objects, 1);
}

void VornDoc::PrepMultiUndo()
{
    const int32_t n = CountSelectedLayers();
    if (n == 1 && fSelLayer) {
        PrepUndo(fSelLayer);
        return;
    }
    const int32_t count = std::min(n, std::min(fSelectedLayers.fCount, kUndoObjects));
    VornLayer* objects[kUndoObjects];
    for (int32_t i = 0; i < count; i++)
        objects[i] = static_cast<VornLayer*>(fSelectedLayers.fItems[i]);
    PrepLevel(objects, count);
}

void VornDoc::PrepLevel(VornLayer* const* objects, int32_t count)
{
    if (fUndoLevel >= kUndoLevels) {
        DropOldestUndoLevel();
        fUndoLevel = kUndoLevels - 1;
    }
    const int32_t level = fUndoLevel;
    if (!fUndoStreams[level]) {
        QV_MemStream* stream = new (std::nothrow) QV_MemStream;
        if (!stream || stream->Open(kLevelCapacity) != 0) {
            // Without memory for a snapshot the edit simply cannot be undone.
            delete stream;
            return;
        }
        fUndoStreams[level] = stream;
    }
    for (int32_t l = level; l < kUndoLevels; l++)
        std::fill(fUndoObjects[l], fUndoObjects[l] + kUndoObjects, nullptr);
    for (int32_t i = 0; i < count; i++)
        fUndoObjects[level][i] = objects[i];
    WriteSnapshot(level, fUndoStreams[level]);
    fUndoLevel = level + 1;
}

void VornDoc::Undo()
{
    if (fUndoLevel < 1 || !fRedoStream)
        return;
    const int32_t L = fUndoLevel;
    const int32_t k = L - 1;
    // Restoring a group re-creates its sub-layers: any other level naming one of them would
    // later write into freed memory.
    auto dependsOn = [this, k](int32_t other) {
        for (int32_t i = 0; i < kUndoObjects; i++) {
            VornLayer* layer = fUndoObjects[other][i];
            if (!layer)
                continue;
            for (int32_t j = 0; j < kUndoObjects; j++) {
                VornLayer* restored = fUndoObjects[k][j];
                if (restored && restored->ContainsLayer(layer))
                    return true;
            }
        }
        return false;
    };
    int32_t below = -1;
    for (int32_t level = k - 1; level >= 0; level--) {
        if (dependsOn(level)) {
            below = level;
            break;
        }
    }
    int32_t above = -1;
    for (int32_t level = L; level < kUndoLevels; level++) {
        if (dependsOn(level)) {
            above = level;
            break;
        }
    }

    fUndoLevel = k;
    WriteSnapshot(k, fRedoStream);
    ReadSnapshot(k, fUndoStreams[k]);
    std::swap(fUndoStreams[k], fRedoStream);
    fSelLayer = fUndoObjects[k][0];
    fDirty = true;
    DepthSort();

    if (above >= 0) {
        for (int32_t level = above; level < kUndoLevels; level++)
            std::fill(fUndoObjects[level], fUndoObjects[level] + kUndoObjects, nullptr);
    }
    if (below >= 0) {
        for (int32_t i = 0; i <= below; i++) {
            DropOldestUndoLevel();
            fUndoLevel--;
        }
    }
    ResolveStyleRefs(nullptr);
}

void VornDoc::Redo()
{
    const int32_t L = fUndoLevel;
    if (L >= kUndoLevels || !fUndoStreams[L] || !fRedoStream)
        return;
    fUndoLevel = L + 1;
    WriteSnapshot(L, fRedoStream);
    ReadSnapshot(L, fUndoStreams[L]);
    std::swap(fUndoStreams[L], fRedoStream);
    fSelLayer = fUndoObjects[L][0];
    fDirty = true;
    DepthSort();
    ResolveStyleRefs(nullptr);
}

bool VornDoc::CanRedo() const
{
    return fUndoLevel < kUndoLevels && fUndoStreams[fUndoLevel] && fUndoObjects[fUndoLevel][0];
}
