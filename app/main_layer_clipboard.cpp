// Cut, Copy and Paste of points and bones: the layer's own clipboards hold the text records of a
// trimmed copy of the mesh or skeleton, never the system clipboard's text.
#include <type_traits>

#include "bonelayer.h"
#include "format_version.h"
#include "m_bone.h"
#include "m_curve.h"
#include "m_mesh.h"
#include "m_point.h"
#include "m_skeleton.h"
#include "main_layer.h"
#include "meshlayer.h"
#include "qv_message.h"
#include "vorndoc.h"

namespace {

constexpr int32_t kCut = 3132;
constexpr int32_t kPaste = 3134;

M_Mesh* CurrentMesh(VornDoc* doc)
{
    VornLayer* layer = doc ? doc->GetSelectedLayer() : nullptr;
    if (!layer || layer->LayerType() != LT_VECTOR)
        return nullptr;
    auto* vector = dynamic_cast<MeshLayer*>(layer);
    return vector ? vector->Mesh() : nullptr;
}

M_Skeleton* CurrentSkeleton(VornDoc* doc)
{
    VornLayer* layer = doc ? doc->GetSelectedLayer() : nullptr;
    if (!layer || (layer->LayerType() != LT_BONE && layer->LayerType() != LT_SWITCH))
        return nullptr;
    auto* bones = dynamic_cast<BoneLayer*>(layer);
    return bones ? bones->Skeleton() : nullptr;
}

bool HoldsData(QV_MemStream& clipboard)
{
    return clipboard.IsOpen() && clipboard.Size() > 0;
}

// Copies go through the record, as the file stores them, so the copy shares nothing.
template <class Object> bool CopyThroughRecord(Object& from, Object& to)
{
    QV_MemStream stream;
    if (stream.Open(0) != 0)
        return false;
    stream.fVersion = kCurrentFormatVersion;
    from.WriteRecord(&stream);
    stream.Rewind();
    stream.fReading = true;
    if constexpr (std::is_same_v<Object, M_Mesh>)
        return to.ReadRecord(&stream, true);
    else
        return to.ReadRecord(&stream);
}

bool ReadPoints(QV_MemStream& clipboard, M_Mesh& mesh)
{
    clipboard.Rewind();
    clipboard.fReading = true;
    clipboard.fVersion = kCurrentFormatVersion;
    return mesh.ReadRecord(&clipboard, true);
}

// A fresh buffer each time: a shorter record must not leave the tail of a longer one behind.
template <class Object> void StoreRecord(QV_MemStream& clipboard, Object& object)
{
    if (clipboard.Open(0) != 0)
        return;
    clipboard.fVersion = kCurrentFormatVersion;
    object.WriteRecord(&clipboard);
}

// What is left of the mesh once everything unselected goes: the selected segments, their
// points, no bone bindings and no groups.
void TrimToSelection(M_Mesh& mesh, int32_t frame)
{
    for (int32_t c = 0; c < mesh.GetNumCurves(); c++) {
        // A deletion reshapes the curve (or the clean-up takes it away): look again from its
        // first segment.
        bool again = true;
        while (again && c < mesh.GetNumCurves()) {
            again = false;
            M_Curve* curve = mesh.GetCurve(c);
            for (int32_t s = 0; curve && s < curve->GetNumSegments(); s++) {
                if (!curve->IsSegmentSelected(s)) {
                    mesh.DeleteEdge(c, s, frame);
                    again = true;
                    break;
                }
            }
        }
    }
    for (int32_t i = 0; i < mesh.GetNumPoints(); i++) {
        M_Point* point = mesh.GetPoint(i);
        if (point && point->fParent >= 0)
            point->fParent = -1;
    }
    // Downwards, so that what the clean-up takes away below never hides a point not yet seen.
    for (int32_t i = mesh.GetNumPoints() - 1; i >= 0; i--) {
        if (i >= mesh.GetNumPoints())
            continue;
        M_Point* point = mesh.GetPoint(i);
        if (point && !point->fSelected)
            mesh.DeletePoint(i);
    }
    for (int32_t g = mesh.GetNumGroups() - 1; g >= 0; g--)
        mesh.DeleteGroup(g);
}

void TrimToSelection(M_Skeleton& skeleton)
{
    for (;;) {
        int32_t unselected = -1;
        for (int32_t i = 0; i < skeleton.GetNumBones() && unselected < 0; i++) {
            M_Bone* bone = skeleton.GetBone(i);
            if (bone && !bone->fSelected)
                unselected = i;
        }
        if (unselected < 0)
            return;
        skeleton.DeleteBone(unselected, false);
    }
}

bool Flag(QV_Message* message, const char* name)
{
    bool value = false;
    return message && message->FindBool(name, value) && value;
}

} // namespace

bool MainLayer::IsPasteable() const
{
    if (CurrentMesh(fDoc))
        return HoldsData(const_cast<QV_MemStream&>(fPointClipboard));
    if (CurrentSkeleton(fDoc))
        return HoldsData(const_cast<QV_MemStream&>(fBoneClipboard));
    return false;
}

void MainLayer::ClipboardCommand(QV_Message* message)
{
    // A text field with the keyboard cuts, copies and pastes its own text.
    if (!message || gFocusedTextControl)
        return;
    const int32_t what = message->fWhat;
    const bool alternate = Flag(message, "alternate");
    M_Mesh* mesh = nullptr;
    if (!message->FindMesh(&mesh) || !mesh)
        mesh = CurrentMesh(fDoc);
    M_Skeleton* skeleton = CurrentSkeleton(fDoc);
    QV_MemStream& points = alternate ? fAltPointClipboard : fPointClipboard;

    if (what != kPaste) {
        if (mesh) {
            M_Mesh copy;
            if (CopyThroughRecord(*mesh, copy)) {
                TrimToSelection(copy, fDoc ? fDoc->CurFrame() : 0);
                if (copy.GetNumPoints() > 0) {
                    StoreRecord(points, copy);
                    if (what == kCut)
                        PostMessage(3135);
                }
            }
            RefreshViews();
            PostMessage(1000);
        }
        if (skeleton) {
            M_Skeleton copy;
            if (CopyThroughRecord(*skeleton, copy)) {
                copy.UpdateBoneMatrix(-1);
                TrimToSelection(copy);
                if (copy.GetNumBones() > 0) {
                    StoreRecord(fBoneClipboard, copy);
                    if (what == kCut)
                        PostMessage(3135);
                }
            }
            RefreshViews();
            PostMessage(1000);
        }
        if (what == kCut)
            PostMessage(1006);
        return;
    }

    const bool abbreviated = Flag(message, "abbreviatedPaste");
    VornLayer* layer = fDoc ? fDoc->GetSelectedLayer() : nullptr;
    auto prepare = [&] {
        if (fDoc) {
            fDoc->PrepUndo(layer);
            fDoc->SetDirty();
        }
        PostMessage(3137);
    };
    if (mesh) {
        if (HoldsData(points)) {
            if (!abbreviated)
                prepare();
            ReadPoints(points, *mesh);
        }
        if (!abbreviated) {
            if (fDoc)
                fDoc->ResolveStyleRefs(nullptr);
            SelectToolByName("QV_TranslatePoints");
            RefreshViews();
        }
    }
    if (skeleton && HoldsData(fBoneClipboard)) {
        if (!abbreviated)
            prepare();
        fBoneClipboard.Rewind();
        fBoneClipboard.fReading = true;
        fBoneClipboard.fVersion = kCurrentFormatVersion;
        skeleton->ReadRecord(&fBoneClipboard);
        if (abbreviated)
            return;
        SelectToolByName("QV_TranslateBone");
        RefreshViews();
        PostMessage(1006);
        return;
    }
    if (!abbreviated)
        PostMessage(1006);
}
