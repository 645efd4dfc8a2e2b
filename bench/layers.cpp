// The layer tree is redrawn on every frame of playback: one pass over 500 layers in nested,
// expanded groups, in a panel-sized tree (target under 5 ms, release build).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>

#include "follow_flags.h"
#include "grouplayer.h"
#include "interface_fonts.h"
#include "layer_view.h"
#include "meshlayer.h"
#include "plat_video.h"
#include "plat_window.h"
#include "qv_layer.h"
#include "qv_scrolling_view.h"
#include "qv_wnd.h"
#include "vorndoc.h"

namespace {

// Groups four deep, each holding nine vector layers and the next group, until 500 layers.
void FillDocument(VornDoc& doc, int32_t total)
{
    int32_t made = 0;
    char name[32];
    while (made < total) {
        GroupLayer* parent = nullptr;
        for (int32_t depth = 0; depth < 4 && made < total; depth++) {
            auto* group = new GroupLayer;
            std::snprintf(name, sizeof(name), "Group %d", int(made));
            group->SetName(name);
            group->Expand(true);
            if (parent)
                parent->AddLayer(group);
            else
                doc.AddLayer(group);
            made++;
            for (int32_t i = 0; i < 9 && made < total; i++) {
                auto* layer = new MeshLayer;
                std::snprintf(name, sizeof(name), "Layer %d", int(made));
                layer->SetName(name);
                group->AddLayer(layer);
                made++;
            }
            parent = group;
        }
    }
    doc.SetSelLayer(static_cast<VornLayer*>(doc.fLayers.fItems[0]));
}

void LayerTreeDraw(benchmark::State& state)
{
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    const bool started = PlatVideoStart();
    CreateInterfaceFonts();
    {
        VornDoc doc;
        FillDocument(doc, int32_t(state.range(0)));
        auto* window = new QV_Wnd(0, "bench", false, nullptr, 0, 0, 239, 599);
        auto* layer = new QV_Layer(FOLLOW_LEFT | FOLLOW_TOP);
        layer->ResizeTo(240, 600);
        auto* scroller = new QV_ScrollingView(240, 600, FOLLOW_LEFT | FOLLOW_TOP);
        auto* tree = new LayerView(scroller);
        scroller->fContent = tree;
        scroller->fClipView->AddChild(tree);
        layer->AddView(scroller);
        window->AddLayer(layer);
        tree->fDoc = &doc;
        tree->Draw();
        for (auto _ : state)
            tree->Draw();
        state.counters["rows"] = double(tree->fRowCount);
        if (window->fHwnd)
            PlatWindowDestroy(window->fHwnd);
        else
            delete window;
    }
    DeleteInterfaceFonts();
    if (started)
        PlatVideoStop();
}

} // namespace

BENCHMARK(LayerTreeDraw)->Arg(500)->Unit(benchmark::kMillisecond);
