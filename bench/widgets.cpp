// A widget repaints alone: a typed key redraws and copies only its field, and
// an animated widget's tick only itself, so both cost the same in a small
// window and in a 4K one (the parent is never repainted).
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "interface_fonts.h"
#include "plat_video.h"
#include "plat_window.h"
#include "qv_keys.h"
#include "qv_layer.h"
#include "qv_text_control.h"
#include "qv_wnd.h"

namespace {

// A shown window of that size with one field in its middle, focused.
struct FieldWindow {
    FieldWindow(int32_t width, int32_t height)
    {
        setenv("SDL_VIDEODRIVER", "dummy", 0);
        started = PlatVideoStart();
        CreateInterfaceFonts();
        window = new QV_Wnd(0, "bench", false, nullptr, 0, 0, width - 1, height - 1);
        layer = new QV_Layer(FOLLOW_LEFT | FOLLOW_TOP);
        layer->ResizeTo(width, height);
        field = new QV_TextControl(200, "typing", 1, FIELD_TEXT);
        field->MoveTo(width / 2 - 100, height / 2 - 10);
        layer->AddView(field);
        window->AddLayer(layer);
        window->Show();
        field->SetFocus(true);
    }
    ~FieldWindow()
    {
        if (window->fHwnd)
            PlatWindowDestroy(window->fHwnd);
        DeleteInterfaceFonts();
        if (started)
            PlatVideoStop();
    }
    bool started = false;
    QV_Wnd* window = nullptr;
    QV_Layer* layer = nullptr;
    QV_TextControl* field = nullptr;
};

void TypedKey(benchmark::State& state)
{
    FieldWindow setup(int32_t(state.range(0)), int32_t(state.range(1)));
    bool type = true;
    for (auto _ : state) {
        setup.field->KeyDown(type ? 'x' : KEY_BACKSPACE, 0);
        type = !type;
    }
}

void AnimationTick(benchmark::State& state)
{
    FieldWindow setup(int32_t(state.range(0)), int32_t(state.range(1)));
    for (auto _ : state)
        setup.field->RunFrame();
}

} // namespace

BENCHMARK(TypedKey)->Args({ 640, 480 })->Args({ 3840, 2160 })->Unit(benchmark::kMicrosecond);
BENCHMARK(AnimationTick)->Args({ 640, 480 })->Args({ 3840, 2160 })->Unit(benchmark::kMicrosecond);
