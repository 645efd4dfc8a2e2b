#include "generic_progress.h"

#include "follow_flags.h"
#include "interface_colors.h"
#include "plat_pump.h"
#include "qv_base_widget.h"
#include "qv_graphics.h"
#include "qv_progress_bar.h"
#include "qv_static_text.h"
#include "qv_wnd.h"

GenericProgress* gGenericProgress = nullptr;

GenericProgress::GenericProgress(const char* message, QV_Wnd* owner)
    : QV_Layer(0)
    , fBar(nullptr)
    , fUnused(0)
{
    ResizeTo(400, 72);
    if (owner) {
        const QV_Rect client = owner->Bounds();
        MoveTo((client.right - client.left + 1) / 2 - 200, (client.bottom - client.top + 1) / 2 - 36);
    }
    auto* text = new QV_StaticText(message ? message : "");
    text->MoveTo(16, 16);
    AddView(text);
    fBar = new QV_ProgressBar(368, FOLLOW_LEFT | FOLLOW_TOP);
    fBar->MoveTo(16, 32);
    fBar->fValue = 0;
    AddView(fBar);
    gGenericProgress = this;
}

GenericProgress::~GenericProgress()
{
    if (gGenericProgress == this)
        gGenericProgress = nullptr;
}

void GenericProgress::Draw()
{
    if (QV_Graphics* graphics = GetGraphics()) {
        const QV_Rect b = Bounds();
        graphics->FillGradientRect(0, true, BoxGradient1, BoxGradient2, b.left, b.top, b.right, b.bottom);
        graphics->SetColorStruct(WidgetShadow);
        graphics->FillRect(b.left + 1, b.bottom - 1, b.right - 1, b.bottom - 1);
        graphics->FillRect(b.right - 1, b.top + 1, b.right - 1, b.bottom - 1);
        graphics->SetColorStruct(WidgetHighlight);
        graphics->FillRect(b.left + 1, b.top + 1, b.right - 1, b.top + 1);
        graphics->FillRect(b.left + 1, b.top + 1, b.left + 1, b.bottom - 1);
        graphics->SetColorStruct(WidgetOutline);
        graphics->FrameRoundRect(ScaledMetric3(), b.left, b.top, b.right, b.bottom);
    }
    for (int32_t i = 0; i < fViewCount; ++i)
        fViews[i]->Draw();
}

void GenericProgressUpdate(bool done, float fraction)
{
    GenericProgress* pane = gGenericProgress;
    if (!pane)
        return;
    if (QV_Wnd* window = pane->fWindow) {
        pane->fBar->fValue = fraction;
        pane->fBar->Draw();
        pane->fBar->Refresh();
        if (done) {
            window->RemoveLayer(pane);
            delete pane;
        }
    }
    PlatPumpOneNonInput();
}
