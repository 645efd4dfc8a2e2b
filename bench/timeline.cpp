// The timeline's row model: rebuilding a busy layer's rows, one frame of playback and one step of
// a key drag.
#include <benchmark/benchmark.h>

#include "interface_fonts.h"
#include "meshlayer.h"
#include "qv_layer.h"
#include "timeline_wnd.h"
#include "vorndoc.h"

namespace {

constexpr int32_t kKeys = 2000;

// 20 rows of a vector layer with 2,000 keys each (the layer rows' channels).
struct BusyDocument {
    BusyDocument()
    {
        layer = new MeshLayer;
        doc.AddLayer(layer);
        doc.SetSelLayer(layer);
        AnimChannel* channels[64] = {};
        const int32_t count = layer->LayerChannels(channels);
        int32_t filled = 0;
        for (int32_t c = 0; c < count && filled < 20; c++) {
            AnimChannel* channel = channels[c];
            if (!channel || channel->ChannelType() != CHANNEL_VAL)
                continue;
            auto* value = static_cast<AnimVal*>(channel);
            for (int32_t k = 1; k <= kKeys; k++)
                value->SetValue(k * 2, float(k % 7));
            filled++;
        }
        for (int32_t k = 1; k <= kKeys; k++)
            layer->fTranslation.SetValue(k * 2, QV_Vector3 { float(k % 5), 0, 0 });
    }
    VornDoc doc;
    MeshLayer* layer;
};

void BM_RebuildRows(benchmark::State& state)
{
    BusyDocument busy;
    TimelineWnd timeline(nullptr, &busy.doc);
    for (auto _ : state)
        timeline.RebuildRows(false);
}
BENCHMARK(BM_RebuildRows)->Unit(benchmark::kMillisecond);

// One frame of playback: the panel follows the frame and repaints only the strip between the old
// and the new frame line, here into a layer of its own.
void BM_PlayingSetFrame(benchmark::State& state)
{
    const bool ownFonts = !gWidgetFont;
    if (ownFonts)
        CreateInterfaceFonts();
    {
        BusyDocument busy;
        auto* timeline = new TimelineWnd(nullptr, &busy.doc);
        QV_Layer host(0);
        host.ResizeTo(timeline->Size().x, timeline->Size().y);
        host.AddView(timeline);
        timeline->Draw();
        int32_t frame = 0;
        for (auto _ : state) {
            frame = frame >= 100 ? 1 : frame + 1;
            timeline->SetFrame(frame, true);
        }
    }
    if (ownFonts)
        DeleteInterfaceFonts();
}
BENCHMARK(BM_PlayingSetFrame)->Unit(benchmark::kMillisecond);

// 1,000 selected keys of the translation row moved one frame right and back.
void BM_KeyDragStep(benchmark::State& state)
{
    BusyDocument busy;
    TimelineWnd timeline(nullptr, &busy.doc);
    int32_t row = 0;
    while (row < timeline.fRowCount && timeline.fRows[row].fID != CHANNEL_LAYER_T)
        row++;
    int32_t selected = 0;
    for (int32_t f = timeline.FrameTableLength() - 1; f > 0 && selected < 1000; f--) {
        if (timeline.fTables[row].marks[size_t(f)] & KEY_MARK) {
            timeline.fTables[row].marks[size_t(f)] |= KEY_SELECTED;
            selected++;
        }
    }
    int32_t at = 3001;
    for (auto _ : state) {
        timeline.MoveSelectedKeys(at, at + 1);
        timeline.MoveSelectedKeys(at + 1, at);
    }
    state.SetLabel("two steps per iteration");
}
BENCHMARK(BM_KeyDragStep)->Unit(benchmark::kMillisecond);

} // namespace
