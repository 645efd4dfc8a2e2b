// The layer operations of the script context: creating, duplicating and moving layers.

#include "script_interface.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "console_sink.h"
#include "format_version.h"
#include "grouplayer.h"
#include "layerfactory.h"
#include "meshlayer.h"
#include "model_prefs.h"
#include "qv_memstream.h"
#include "qv_string.h"
#include "switchlayer.h"
#include "vorndoc.h"
#include "vornlayer.h"

namespace {

constexpr rgb_color kErrorRed { 255, 0, 0, 255 };

// A particle layer lays out its children at the frame: after one of them moves, it runs again.
void RefreshParticles(GroupLayer* parent, VornDoc* doc)
{
    if (!parent || parent->LayerType() != LT_PARTICLE)
        return;
    parent->SetCurFrame(0);
    if (doc->CurFrame() != 0)
        parent->SetCurFrame(doc->CurFrame());
}

void TakeOut(VornLayer* layer, VornDoc* doc)
{
    if (GroupLayer* parent = layer->Parent())
        parent->RemoveLayer(layer);
    else
        doc->RemoveLayer(layer);
}

// "Layer 9" gives "Layer 10", "Layer 2b" gives "Layer 3", "Arm x" gives "Arm x 2".
QV_String NextName(const char* name)
{
    const char* space = std::strrchr(name, ' ');
    if (space && space[1]) {
        char* end = nullptr;
        const long number = std::strtol(space + 1, &end, 10);
        if (end != space + 1) {
            char text[32];
            std::snprintf(text, sizeof(text), "%ld", number + 1);
            return QV_String(name).Left(int32_t(space - name + 1)) + text;
        }
    }
    return QV_String(name) + " 2";
}

} // namespace

VornLayer* ScriptInterface::CreateNewLayer(int32_t type)
{
    if (!fDoc)
        return nullptr;
    VornLayer* current = fDoc->GetSelectedLayer();
    GroupLayer* parent = current ? current->Parent() : nullptr;
    const int32_t siblings = parent ? parent->CountLayers() : fDoc->CountLayers();
    VornLayer* layer = LayerFactory(type);
    if (!layer) {
        ConsolePrint("CreateNewLayer: out of memory", kErrorRed);
        return nullptr;
    }
    if (type == LT_VECTOR) {
        layer->SetScaleCompensation(ModelPrefBool("ScaleCompensation", true));
        if (auto* vector = dynamic_cast<MeshLayer*>(layer)) {
            vector->fNoiseAmp = 6.0f / float(fDoc->Height());
            vector->fNoiseScale = 48.0f / float(fDoc->Height());
        }
    }
    if (layer->IsGroupType())
        static_cast<GroupLayer*>(layer)->Expand(true);
    char name[32];
    std::snprintf(name, sizeof(name), "Layer %ld", long(siblings) + 1);
    layer->SetName(name);
    if (parent)
        parent->InsertLayer(layer, current, true);
    else
        fDoc->InsertLayer(layer, current, true);
    layer->fShadowOffset.SetValue(0, 1.0f / 30.0f);
    layer->fShadowBlur.SetValue(0, 1.0f / 60.0f);
    layer->fShadingOffset.SetValue(0, 1.0f / 30.0f);
    layer->fShadingBlur.SetValue(0, 1.0f / 15.0f);
    layer->SetCurFrame(0);
    layer->SetCurFrame(fDoc->CurFrame());
    fDoc->PrepUndo(nullptr);
    fDoc->SetDirty();
    fLayer = layer;
    fDoc->SetSelLayer(layer);
    return layer;
}

VornLayer* ScriptInterface::DuplicateLayer(VornLayer* layer)
{
    if (!layer || !fDoc)
        return nullptr;
    QV_MemStream stream;
    if (stream.Open(0) != 0)
        return nullptr;
    stream.fVersion = kCurrentFormatVersion;
    layer->WriteRecord(&stream);
    stream.Rewind();
    VornLayer* copy = LayerFactory(layer->LayerType());
    if (!copy)
        return nullptr;
    copy->SetDocument(fDoc);
    // A copy that did not read back whole would be a damaged layer in the document.
    if (!copy->ReadRecord(&stream)) {
        delete copy;
        return nullptr;
    }
    copy->SetName(NextName(layer->Name().CString()).CString());
    if (GroupLayer* parent = layer->Parent()) {
        parent->InsertLayer(copy, layer, true);
        RefreshParticles(parent, fDoc);
        if (parent->LayerType() == LT_SWITCH)
            static_cast<SwitchLayer*>(parent)->SetValue(fDoc->CurFrame(), copy->Name().CString());
    } else {
        fDoc->InsertLayer(copy, layer, true);
    }
    fDoc->SetSelLayer(copy);
    for (int32_t i = 0; i < fDoc->CountLayers(); i++)
        fDoc->ResolveStyleRefs(fDoc->Layer(i));
    copy->SetCurFrame(0);
    copy->SetCurFrame(fDoc->CurFrame());
    fDoc->SetDirty();
    fLayer = fDoc->GetSelectedLayer();
    return copy;
}

void ScriptInterface::PlaceLayerInGroup(VornLayer* layer, VornLayer* group, bool append)
{
    if (!fDoc || !layer || !group || !group->IsGroupType())
        return;
    if (layer == group || layer->ContainsLayer(group))
        return;
    auto* target = static_cast<GroupLayer*>(group);
    TakeOut(layer, fDoc);
    if (append || target->CountLayers() == 0)
        target->AddLayer(layer);
    else
        target->InsertLayer(layer, target->Layer(0), false);
    fDoc->PrepUndo(nullptr);
    fDoc->SetDirty();
}

void ScriptInterface::PlaceLayerBehindAnother(VornLayer* layer, VornLayer* other)
{
    if (!fDoc || !layer)
        return;
    if (other) {
        if (layer == other || layer->ContainsLayer(other))
            return;
        GroupLayer* oldParent = layer->Parent();
        TakeOut(layer, fDoc);
        RefreshParticles(oldParent, fDoc);
        if (GroupLayer* parent = other->Parent()) {
            parent->InsertLayer(layer, other, false);
            RefreshParticles(parent, fDoc);
        } else {
            fDoc->InsertLayer(layer, other, false);
        }
        fDoc->SetDirty();
        return;
    }
    // Layer prints the out-of-range line itself when the document has no layer.
    VornLayer* first = fDoc->Layer(0);
    if (!first || layer == first)
        return;
    GroupLayer* oldParent = layer->Parent();
    TakeOut(layer, fDoc);
    fDoc->InsertLayer(layer, first, false);
    RefreshParticles(oldParent, fDoc);
    fDoc->SetDirty();
}
