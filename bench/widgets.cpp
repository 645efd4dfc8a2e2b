// A widget repaints alone: a typed key redraws and copies only its field, and
// an animated widget's tick only itself, so both cost the same in a small
// window and in a 4K one (the parent is never repainted). A text list draws
// only the rows it shows, so 10,000 rows redraw as fast as 100; one step of a
// colour picker drag repaints the picker (target under 2 ms); the chooser
// lists a folder of 10,000 files (target under 0.2 s).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "file_dialogs.h"
#include "interface_fonts.h"
#include "qv_color_picker.h"
#include "qv_color_swatch.h"
#include "qv_text_list.h"
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

void TextListRedraw(benchmark::State& state)
{
    FieldWindow setup(640, 480);
    auto* list = new QV_TextList(1);
    list->SetSize(300, 400);
    for (int64_t i = 0; i < state.range(0); ++i)
        list->AddItem(("Row " + std::to_string(i)).c_str());
    setup.layer->AddView(list);
    list->SetSelItem(int32_t(state.range(0) / 2));
    for (auto _ : state)
        list->Redraw(true);
}

void PickerDragStep(benchmark::State& state)
{
    FieldWindow setup(800, 600);
    auto* swatch = new QV_ColorSwatch(true, { 40, 90, 200, 255 }, 2);
    setup.layer->AddView(swatch);
    auto* picker = new QV_ColorPicker({ 40, 90, 200, 255 }, true, swatch, 2, setup.window);
    setup.window->AddLayer(picker);
    picker->ExchangeData(false);
    picker->Draw();
    const QV_Rect f = picker->fFieldRect;
    picker->MouseDown(f.left + 10, f.top + 10, 1, 0, nullptr);
    int32_t step = 0;
    for (auto _ : state) {
        step = (step + 7) % (f.right - f.left);
        picker->MouseMoved(f.left + step, f.top + step / 2, 0, nullptr);
    }
    picker->MouseUp(f.left + step, f.top, 1, 0, nullptr);
    setup.window->RemoveLayer(picker);
    delete picker;
}

void ChooserOpensFolder(benchmark::State& state)
{
    char pattern[] = "/tmp/celvane-bench-XXXXXX";
    const std::string folder = mkdtemp(pattern) ? pattern : "";
    for (int64_t i = 0; i < state.range(0); ++i) {
        if (FILE* file = std::fopen((folder + "/file" + std::to_string(i) + ".txt").c_str(), "w"))
            std::fclose(file);
    }
    FieldWindow setup(640, 480);
    QV_String chosen;
    auto* chooser = new FileChooserDialog("Open", setup.window, false, "/", "", "", &chosen);
    setup.window->AddLayer(chooser);
    chooser->SetFilters(ParseFileFilters("Texts!*.txt"));
    for (auto _ : state) {
        if (!chooser->OpenFolder(folder))
            state.SkipWithError("the folder could not be listed");
    }
    setup.window->RemoveLayer(chooser);
    delete chooser;
    std::filesystem::remove_all(folder);
}

} // namespace

BENCHMARK(TextListRedraw)->Arg(100)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(PickerDragStep)->Unit(benchmark::kMicrosecond);
BENCHMARK(ChooserOpensFolder)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(TypedKey)->Args({ 640, 480 })->Args({ 3840, 2160 })->Unit(benchmark::kMicrosecond);
BENCHMARK(AnimationTick)->Args({ 640, 480 })->Args({ 3840, 2160 })->Unit(benchmark::kMicrosecond);
