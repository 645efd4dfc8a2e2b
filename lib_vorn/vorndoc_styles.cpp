// The document's shared styles. Shapes refer to them by name and by a resolved reference;
// renaming, removing and resolving walk every vector layer of the tree.

#include "grouplayer.h"
#include "m_shape.h"
#include "m_style.h"
#include "meshlayer.h"
#include "vorndoc.h"

namespace {

// Every shape of every vector layer in the sub-tree of the layer.
template <class Visit> void ForEachShape(VornLayer* layer, Visit visit)
{
    if (layer->LayerType() == LT_VECTOR) {
        M_Mesh* mesh = static_cast<MeshLayer*>(layer)->Mesh();
        for (int32_t i = 0; i < mesh->fNumShapes; i++)
            visit(*mesh->fShapes[i]);
        return;
    }
    if (!layer->IsGroupType())
        return;
    GroupLayer* group = static_cast<GroupLayer*>(layer);
    for (int32_t i = 0; i < group->fLayers.fCount; i++)
        ForEachShape(static_cast<VornLayer*>(group->fLayers.fItems[i]), visit);
}

template <class Visit> void ForEachShapeIn(QV_ArrayList& layers, Visit visit)
{
    for (int32_t i = 0; i < layers.fCount; i++)
        ForEachShape(static_cast<VornLayer*>(layers.fItems[i]), visit);
}

} // namespace

M_Style* VornDoc::Style(int32_t index)
{
    if (index < 0 || index >= fStyles.fCount)
        return nullptr;
    return static_cast<M_Style*>(fStyles.fItems[index]);
}

M_Style* VornDoc::FindStyle(const char* name)
{
    for (int32_t i = 0; i < fStyles.fCount; i++) {
        M_Style* style = static_cast<M_Style*>(fStyles.fItems[i]);
        if (style->fName == (name ? name : ""))
            return style;
    }
    return nullptr;
}

int32_t VornDoc::AddStyle(M_Style* style)
{
    return fStyles.Append(style);
}

void VornDoc::RemoveStyle(M_Style* style)
{
    ForEachShapeIn(fLayers, [style](M_Shape& shape) {
        if (shape.fStyle1 == style) {
            shape.fStyle1 = nullptr;
            shape.fStyleName1 = "";
        }
        if (shape.fStyle2 == style) {
            shape.fStyle2 = nullptr;
            shape.fStyleName2 = "";
        }
    });
    fStyles.Remove(style);
    ResolveStyleRefs(nullptr);
}

void VornDoc::ResolveStyleRefs(VornLayer* layer)
{
    auto resolve = [this](M_Shape& shape) {
        shape.fStyle1 = shape.fStyleName1.IsEmpty() ? nullptr : FindStyle(shape.fStyleName1.CString());
        shape.fStyle2 = shape.fStyleName2.IsEmpty() ? nullptr : FindStyle(shape.fStyleName2.CString());
    };
    if (layer)
        ForEachShape(layer, resolve);
    else
        ForEachShapeIn(fLayers, resolve);
}

void VornDoc::RenameStyle(const char* oldName, const char* newName)
{
    // Copies: either name may live in a shape or style that changes here.
    const QV_String from(oldName ? oldName : "");
    const QV_String to(newName ? newName : "");
    ForEachShapeIn(fLayers, [&from, &to](M_Shape& shape) {
        if (shape.fStyleName1 == from)
            shape.fStyleName1 = to;
        if (shape.fStyleName2 == from)
            shape.fStyleName2 = to;
    });
    ResolveStyleRefs(nullptr);
}

bool VornDoc::IsStyleUsed(M_Style* style)
{
    bool used = false;
    ForEachShapeIn(fLayers, [style, &used](M_Shape& shape) {
        if (shape.fStyle1 == style || shape.fStyle2 == style)
            used = true;
    });
    return used;
}
