// Blend Morphs: weights of the current layer's one-frame actions mixed into keys at the
// document's frame, shown in the canvas while the sliders move.
#include <vector>

#include "edit_dialogs.h"
#include "qv_alert.h"
#include "qv_app.h"
#include "qv_layout_view.h"
#include "qv_message.h"
#include "qv_slider.h"
#include "qv_static_text.h"
#include "qv_wnd.h"
#include "vorndoc.h"
#include "vornlayer.h"

namespace {

constexpr int32_t kSliderMoved = 9101;
constexpr int32_t kSliderLength = 256;

} // namespace

PoseBlendDlog::PoseBlendDlog(VornDoc* document, QV_Wnd* owner)
    : QV_Dialog(Localize("/Dialogs/PoseBlendDlog/Title=Blend Morphs"), owner)
    , fDocument(document)
    , fLayer(document ? document->GetSelectedLayer() : nullptr)
    , fCount(0)
    , fNames(nullptr)
    , fWeights(nullptr)
    , fSliders(nullptr)
{
    fSettingsName = "PoseBlendDlog";
    std::vector<const QV_String*> morphs;
    for (int32_t i = 0; fLayer && i < fLayer->fPoses.fCount; i++) {
        const auto* name = static_cast<const QV_String*>(fLayer->fPoses.fItems[i]);
        if (name && fLayer->PoseDuration(name->CString()) == 1)
            morphs.push_back(name);
    }
    if (morphs.empty()) {
        gEditDialogAlert(owner, ALERT_INFO,
            Localize("/Dialogs/PoseBlendDlog/NoBlendableMorphs=There are no blendable morphs for this layer."), nullptr,
            Localize("/Strings/OK=OK"), nullptr);
        return;
    }
    fCount = 1 + int32_t(morphs.size());
    fNames = new QV_String[size_t(fCount)];
    fWeights = new float[size_t(fCount)]();
    fSliders = new QV_Slider*[size_t(fCount)]();
    for (int32_t i = 1; i < fCount; i++)
        fNames[i] = *morphs[size_t(i - 1)];

    auto* content = new QV_LayoutView(true, 8, 8, 8);
    content->PushH(ALIGN_LEFT, 8);
    content->PushV(ALIGN_LEFT, 8);
    content->AddChild(new QV_StaticText(Localize("/Dialogs/PoseBlendDlog/Default=Default")));
    for (int32_t i = 1; i < fCount; i++)
        content->AddChild(new QV_StaticText(fNames[i].CString()));
    content->Pop();
    content->PushV(ALIGN_LEFT, 8);
    for (int32_t i = 0; i < fCount; i++) {
        content->PushH(ALIGN_LEFT, 8);
        auto* slider = new QV_Slider;
        slider->ResizeTo(kSliderLength, slider->Size().y);
        slider->SetRange(0, 100);
        slider->ResetValue();
        slider->fMessage = kSliderMoved;
        fSliders[i] = slider;
        content->AddChild(slider);
        content->AddChild(new QV_StaticText(" "));
        content->Pop();
    }
    content->Pop();
    content->Pop();
    AddOkCancelRow(content);
    AddView(content);
}

PoseBlendDlog::~PoseBlendDlog()
{
    delete[] fNames;
    delete[] fWeights;
    // The sliders are child views, gone with the layer.
    delete[] fSliders;
}

void PoseBlendDlog::Apply()
{
    if (!fDocument || !fLayer || fCount < 2)
        return;
    std::vector<const char*> names(static_cast<size_t>(fCount));
    for (int32_t i = 0; i < fCount; i++) {
        fWeights[i] = fSliders[i] ? float(fSliders[i]->fValue) / 100.0f : 0.0f;
        names[size_t(i)] = fNames[i].CString();
    }
    fDocument->SetDirty();
    fDocument->PrepUndo(fLayer);
    const int32_t frame = fDocument->CurFrame();
    fLayer->BlendPoses(frame, fCount, names.data(), fWeights);
    fDocument->SetCurFrame(0);
    fDocument->SetCurFrame(frame);
}

void PoseBlendDlog::HandleMessage(QV_Message* message)
{
    if (message && message->fWhat == kSliderMoved) {
        // The canvas shows the blend; the document goes straight back to where it was.
        Apply();
        if (fOwnerWindow)
            fOwnerWindow->PostMessage(1001);
        if (fDocument)
            fDocument->Undo();
        return;
    }
    QV_Dialog::HandleMessage(message);
}

void PoseBlendDlog::ExchangeData(bool apply)
{
    if (apply)
        Apply();
}
