// Random line widths for the selected points of a vector layer.

#include "random_width.h"

#include <cmath>

#include "m_mesh.h"
#include "m_point.h"
#include "meshlayer.h"
#include "qv_app.h"
#include "qv_button.h"
#include "qv_layout_view.h"
#include "qv_random.h"
#include "qv_static_text.h"
#include "qv_text_control.h"
#include "vorndoc.h"
#include "vornlayer.h"

namespace {

MeshLayer* VectorLayer(VornDoc* document)
{
    VornLayer* layer = document ? document->GetSelectedLayer() : nullptr;
    if (!layer || layer->LayerType() != LT_VECTOR)
        return nullptr;
    return static_cast<MeshLayer*>(layer);
}

float RoundHalfAway(float v) { return v < 0 ? -std::floor(-v + 0.5f) : std::floor(v + 0.5f); }

} // namespace

void RandomizePointWidths(M_Mesh* mesh, float minimum, float maximum, int32_t docHeight, int (*random)())
{
    if (!mesh || !random)
        return;
    const float height = docHeight > 0 ? float(docHeight) : 1.0f;
    const float half = (maximum - minimum) / 2;
    const float mid = (maximum + minimum) / 2;
    for (int32_t i = 0; i < mesh->GetNumPoints(); i++) {
        M_Point* point = mesh->GetPoint(i);
        if (!point || !point->fSelected)
            continue;
        const float r = float(random()) / float(kQVRandMax) * 2 - 1;
        float w = RoundHalfAway(r * half + mid);
        w = w < minimum ? minimum : (w > maximum ? maximum : w);
        AnimVal& channel = point->fWidth;
        channel.value = w / height;
        channel.AddKey(channel.GetCurFrame());
        // A -1 key would make the shape's width come back at its frame.
        if (channel.CountKeys() > 1) {
            for (int32_t k = channel.CountKeys() - 1; k >= 0; k--) {
                if (channel.fValues[k] < 0)
                    channel.DeleteKey(channel.fKeyFrames[k]);
            }
        }
        if (channel.CountKeys() == 0)
            channel.SetValue(0, -1.0f);
    }
}

RandomThickness::RandomThickness(VornDoc* document, QV_Wnd* owner)
    : QV_Dialog(Localize("/Dialogs/RandomLineWidth/Title=Random Line Width"), owner)
    , fDocument(document)
{
    fSettingsName = "RandomThicknessDlog";
    auto* content = new QV_LayoutView(true, 8, 12, 12);
    content->PushH(ALIGN_LEFT, 8);
    content->PushV(ALIGN_LEFT, 8);
    content->AddChild(new QV_StaticText(Localize("/Dialogs/RandomLineWidth/MinWidth=Minimum width")));
    content->AddChild(new QV_StaticText(Localize("/Dialogs/RandomLineWidth/MaxWidth=Maximum width")));
    content->Pop();
    content->PushV(ALIGN_LEFT, 8);
    fMinimum = new QV_TextControl(48, "", 0, FIELD_UFLOAT);
    fMaximum = new QV_TextControl(48, "", 0, FIELD_UFLOAT);
    fMinimum->SetWheelInc(1.0f);
    fMaximum->SetWheelInc(1.0f);
    content->AddChild(fMinimum);
    content->AddChild(fMaximum);
    content->Pop();
    content->Pop();
    AddOkCancelRow(content);
    AddView(content);
}

void RandomThickness::ExchangeData(bool apply)
{
    MeshLayer* layer = VectorLayer(fDocument);
    if (!layer)
        return;
    if (!apply) {
        fMinimum->SetValue(1.0f);
        fMaximum->SetValue(4.0f);
        fMinimum->SelectAll();
        SetFocus(fMinimum);
        return;
    }
    if (ApplyRandomWidths(fDocument, fMinimum->FloatValue(), fMaximum->FloatValue(), QV_Rand) && fWindow)
        fWindow->PostMessage(1001);
}

bool ApplyRandomWidths(VornDoc* document, float minimum, float maximum, int (*random)())
{
    MeshLayer* layer = VectorLayer(document);
    if (!layer || std::fabs(maximum - minimum) < 1e-6f)
        return false;
    document->PrepUndo(layer);
    document->SetDirty();
    RandomizePointWidths(layer->Mesh(), minimum, maximum, document->Height(), random);
    return true;
}

bool RandomThickness::OnValidate()
{
    const bool minimumFits = ValidateFloat(fMinimum, 0, 255);
    const bool maximumFits = ValidateFloat(fMaximum, fMinimum->FloatValue(), 256);
    return minimumFits && maximumFits;
}

void RunRandomThickness(VornDoc* document, QV_Wnd* owner)
{
    if (!VectorLayer(document))
        return;
    auto* dialog = new RandomThickness(document, owner);
    dialog->DoModal();
}
