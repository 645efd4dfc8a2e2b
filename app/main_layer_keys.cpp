#include <cstdint>

#include "app_prefs.h"
#include "canvas_view.h"
#include "grouplayer.h"
#include "imagelayer.h"
#include "m_brush.h"
#include "app_folders.h"
#include "main_layer.h"
#include "qv_alert.h"
#include "qv_app.h"
#include "qv_keys.h"
#include "qv_lua_console.h"
#include "qv_menu.h"
#include "qv_menu_bar.h"
#include "qv_message.h"
#include "qv_path.h"
#include "qv_text_control.h"
#include "qv_wnd.h"
#include "plat_window.h"
#include "script.h"
#include "script_events.h"
#include "script_interface.h"
#include "script_registry.h"
#include "shell_hooks.h"
#include "shell_panel.h"
#include "vorn_view.h"
#include "vorn_wnd.h"
#include "vorndoc.h"

namespace {

constexpr int32_t kSpace = ' ';
constexpr int32_t kKeyF5 = KEY_F1 - 4;

void EnableItem(QV_MenuBar* bar, int32_t id, bool on)
{
    bar->SetEnabled(id, on);
}

void CheckItem(QV_MenuBar* bar, int32_t id, bool on)
{
    for (int32_t i = 0; i < bar->fMenuCount; i++)
        bar->fMenus[i]->SetChecked(id, on);
}

// Another layer beside this one holds a movie with tracking points to follow.
bool TrackedMovieBeside(VornDoc* doc, VornLayer* layer)
{
    const QV_ArrayList& siblings = layer->Parent() ? layer->Parent()->fLayers : doc->fLayers;
    for (int32_t i = 0; i < siblings.fCount; i++) {
        auto* other = static_cast<VornLayer*>(siblings.fItems[i]);
        if (other == layer || other->LayerType() != LT_IMAGE)
            continue;
        auto* image = dynamic_cast<ImageLayer*>(other);
        if (image && image->IsMovieLayer() && image->CountTrackingPoints() > 0)
            return true;
    }
    return false;
}

bool IsOneOf(const ToolScript* tool, std::initializer_list<const char*> names)
{
    if (!tool)
        return false;
    for (const char* name : names) {
        if (tool->fTableName == name)
            return true;
    }
    return false;
}

} // namespace

void MainLayer::UpdateMenus()
{
    QV_MenuBar* bar = fMenuBar;
    if (!bar)
        return;
    if (fMainWindow) {
        const ShellPanel* panels[4]
            = { fMainWindow->fToolWnd, fMainWindow->fLayerWnd, fMainWindow->fTimelineWnd, fMainWindow->fStyleWnd };
        for (int32_t i = 0; i < 4; i++) {
            QV_View* panel = const_cast<ShellPanel*>(panels[i]);
            CheckItem(bar, 3250 + i, panel && !Docked(panel));
        }
        CheckItem(bar, 3254, gShellHooks.actionsOpen && gShellHooks.actionsOpen(fMainWindow));
        CheckItem(bar, 3255, gShellHooks.libraryOpen && gShellHooks.libraryOpen(fMainWindow));
    }

    if (!fDoc) {
        static const int32_t ranges[][2]
            = { { 3112, 3119 }, { 3121, 3139 }, { 3150, 3163 }, { 3170, 3178 }, { 3180, 3194 }, { 3200, 3214 } };
        for (const auto& range : ranges) {
            for (int32_t id = range[0]; id <= range[1]; id++)
                EnableItem(bar, id, false);
        }
        for (int32_t id : { 3175, 3188, 3190, 3191, 3192, 3194 })
            CheckItem(bar, id, false);
        CheckItem(bar, 3200, gToggles.allowFrameSkipping);
        return;
    }

    VornView* canvas = CurrentScriptView();
    ScriptInterface record(fDoc, canvas);
    VornLayer* layer = fDoc->GetSelectedLayer();
    const int32_t frame = fDoc->CurFrame();
    const int32_t points = record.CountPoints();
    const int32_t selectedPoints = record.CountSelectedPoints(false);
    const int32_t shapes = record.CountShapes();
    const int32_t selectedShapes = record.CountSelectedShapes(false);
    const int32_t bones = record.CountBones();
    const int32_t selectedBones = record.CountSelectedBones(false);
    const bool vector = layer && layer->LayerType() == LT_VECTOR;
    const VornLayer* parent = layer ? layer->Parent() : nullptr;
    const bool boneParent = parent && (const_cast<VornLayer*>(parent)->LayerType() == LT_BONE
                                          || const_cast<VornLayer*>(parent)->LayerType() == LT_SWITCH);
    const bool trackedMovie = layer && TrackedMovieBeside(fDoc, layer);

    for (int32_t id = 3112; id <= 3129; id++)
        EnableItem(bar, id, true);
    EnableItem(bar, 3130, fDoc->fUndoLevel >= 1);
    EnableItem(bar, 3131, fDoc->CanRedo());
    EnableItem(bar, 3132, IsCopyable());
    EnableItem(bar, 3133, IsCopyable());
    EnableItem(bar, 3134, IsPasteable());
    EnableItem(bar, 3135, true);
    EnableItem(bar, 3137, true);
    const bool selectable = points > 0 || bones > 0;
    EnableItem(bar, 3136, selectable);
    EnableItem(bar, 3138, selectable);
    EnableItem(bar, 3139, selectedPoints > 0 || selectedBones > 0);

    if (vector) {
        EnableItem(bar, 3150, true);
        EnableItem(bar, 3154, selectedPoints > 0);
        EnableItem(bar, 3155, selectedPoints > 0);
        EnableItem(bar, 3162, frame != 0 && selectedPoints > 0);
        EnableItem(bar, 3163, frame != 0 && points > 0);
    } else {
        for (int32_t id : { 3150, 3154, 3155 })
            EnableItem(bar, id, false);
    }
    for (int32_t id = 3156; id <= 3160; id++)
        EnableItem(bar, id, selectedShapes > 0);
    EnableItem(bar, 3161, shapes > 0);
    for (int32_t id : { 3170, 3171, 3172 })
        EnableItem(bar, id, boneParent && vector && selectedPoints > 0);
    EnableItem(bar, 3173, boneParent);
    EnableItem(bar, 3174, boneParent);
    EnableItem(bar, 3175, frame != 0);
    CheckItem(bar, 3175, gToggles.hideControlledBones);
    EnableItem(bar, 3176, selectedBones == 1 && trackedMovie);
    EnableItem(bar, 3177, selectedBones > 0);
    EnableItem(bar, 3178, bones > 0);

    for (int32_t id : { 3180, 3181, 3182, 3183, 3184, 3185, 3186, 3187, 3189, 3191, 3192, 3193 })
        EnableItem(bar, id, true);
    CheckItem(bar, 3191, gToggles.safeArea);
    CheckItem(bar, 3192, gToggles.showOutputOnly);
    EnableItem(bar, 3188, true);
    CheckItem(bar, 3188, gToggles.gridShown);
    EnableItem(bar, 3190, gToggles.gridShown);
    CheckItem(bar, 3190, !gToggles.gridSnapping);
    auto* tracing = dynamic_cast<CanvasView*>(fCurrentView);
    EnableItem(bar, 3194, tracing && tracing->fTracingLayer);
    CheckItem(bar, 3194, tracing && tracing->fShowTracing);

    EnableItem(bar, 3200, true);
    CheckItem(bar, 3200, gToggles.allowFrameSkipping);
    for (int32_t id : { 3201, 3202, 3204, 3205, 3206, 3207, 3210 })
        EnableItem(bar, id, true);
    EnableItem(bar, 3203, frame > 0);
    EnableItem(bar, 3208, frame > 0 && layer && layer->fPoses.fCount > 0);
    EnableItem(bar, 3209, trackedMovie);
    EnableItem(bar, 3211, false);
    EnableItem(bar, 3212, true);
    CheckItem(bar, 3212, gToggles.muteAudio);
    const bool audio = layer && layer->IsAudioType();
    EnableItem(bar, 3213, audio);
    EnableItem(bar, 3214, audio);
}

void MainLayer::KeyDown(int32_t key, int32_t modifiers)
{
    if (fPlaying) {
        PostMessage(1103);
        if (key == kSpace) {
            fSpaceHeld = true;
            if (fSpaceClock.running)
                fSpaceClock.Stop();
            return;
        }
    } else if (key == kSpace && !fSpaceHeld && !fSpaceClock.running && fDoc) {
        fSpaceHeld = true;
        fSpaceClock.Start();
    }

    QV_View* focus = fFocusWidget && fFocusWidget->fFocused ? fFocusWidget : nullptr;
    if (focus && focus != fCurrentView) {
        if (key == KEY_RETURN || key == KEY_ESCAPE) {
            if (fCanvasViews[0])
                SetFocus(fCanvasViews[0]);
        } else {
            QV_Layer::KeyDown(key, modifiers);
        }
        if (fSpaceClock.running)
            fSpaceClock.Stop();
        return;
    }

    const bool ctrl = (modifiers & MODIFIER_CTRL) != 0;
    const bool alt = (modifiers & MODIFIER_ALT) != 0;
    ScriptRegistry* registry = Registry();
    if (fDoc && registry) {
        ScriptInterface record(fDoc, CurrentScriptView());
        const int32_t index = registry->ToolForKey(key, ctrl, alt, &record);
        if (ToolScript* tool = index >= 0 ? registry->ToolAt(index) : nullptr) {
            if (tool->fButton) {
                PostMessage(3600 + index);
            } else if (fMainWindow && fMainWindow->fToolWnd) {
                fMainWindow->fToolWnd->PostMessage(3600 + index);
            } else {
                if (fMainWindow)
                    fMainWindow->fToolEntry = tool;
                SelectTool(tool);
            }
        }
    }

    ShellPanel* timeline = fMainWindow ? fMainWindow->fTimelineWnd : nullptr;
    if (alt && fDoc && timeline) {
        int32_t command = 0;
        if (key == 'c' || key == 'C')
            command = 3133;
        else if (key == 'v' || key == 'V')
            command = 3134;
        else if (key == KEY_DELETE || key == KEY_BACKSPACE)
            command = 3135;
        if (command != 0) {
            timeline->PostMessage(command);
            return;
        }
    }

    VornView* canvas = CurrentScriptView();
    switch (key) {
    case kKeyF5:
        if (modifiers == MODIFIER_ALT)
            ReloadScripts();
        else if (modifiers == 0)
            PostMessage(3129);
        return;
    case KEY_PAGEDOWN:
    case KEY_PAGEUP:
    case KEY_END:
        if (timeline)
            timeline->KeyDown(key, modifiers);
        return;
    case KEY_HOME:
        if (canvas)
            canvas->ResetView(2);
        return;
    case KEY_TAB:
        if (modifiers == 0)
            PostMessage(3139);
        return;
    case KEY_ESCAPE:
        if (canvas)
            canvas->ResetView((modifiers & MODIFIER_SHIFT) ? 1 : 0);
        return;
    case KEY_RETURN:
        PostMessage(3137);
        return;
    case KEY_LEFT:
    case KEY_RIGHT:
        if (!ctrl && fDoc) {
            const bool shift = (modifiers & MODIFIER_SHIFT) != 0;
            if (key == KEY_LEFT)
                PostMessage(shift ? 1101 : 1102);
            else
                PostMessage(shift ? 1106 : 1105);
            return;
        }
        break;
    default:
        break;
    }

    if (fDoc && canvas && fCurrentTool && key != kSpace) {
        // Deleting away from frame 0 would take points out of every frame; only the tracking
        // tool's own points may go there.
        const bool deleting = key == KEY_DELETE || key == KEY_BACKSPACE;
        const bool refused = deleting && fDoc->CurFrame() != 0 && gPrefs.disableDrawingToolsNonZero
            && fCurrentTool->fTableName != "QV_VideoTracking";
        if (!refused) {
            ScriptInterface record(fDoc, canvas);
            KeyEvent event;
            event.Fill(canvas, key, modifiers);
            fCurrentTool->OnKeyDown(&record, &event);
            // A key may edit the document (Return making a shape, Delete, a nudge) without the
            // tool drawing again, as its mouse callbacks do.
            canvas->DrawMe();
            PostMessage(1006);
        }
    }
    QV_Layer::KeyDown(key, modifiers);
}

void MainLayer::KeyUp(int32_t key, int32_t modifiers)
{
    if (key != kSpace) {
        QV_Layer::KeyUp(key, modifiers);
        return;
    }
    const bool shortPress = fDoc && !fPlaying && fSpaceClock.running && fSpaceClock.Elapsed() < 1.0f;
    // The point tools take the space key at frame 0, where there is nothing to play.
    const bool pointTool = IsOneOf(fCurrentTool, { "QV_AddPoint", "QV_TranslatePoints", "QV_CreateShape", "QV_BindPoints" });
    if (shortPress && (fDoc->CurFrame() != 0 || !pointTool)) {
        PostMessage(1104);
    } else {
        VornView* canvas = CurrentScriptView();
        if (fDoc && canvas && fCurrentTool) {
            if (!fSpaceClock.running) {
                fSpaceHeld = false;
                return;
            }
            ScriptInterface record(fDoc, canvas);
            KeyEvent event;
            event.Fill(canvas, kSpace, modifiers);
            fCurrentTool->OnKeyDown(&record, &event);
            canvas->DrawMe();
            PostMessage(1006);
        }
    }
    if (fSpaceClock.running)
        fSpaceClock.Stop();
    fSpaceHeld = false;
}

int32_t MainLayer::AskDroppedImage()
{
    QV_Wnd* owner = fMainWindow && fMainWindow->fHwnd ? fMainWindow : nullptr;
    return Alert(owner, ALERT_QUESTION,
        Localize("/Windows/MainLayer/DropImageFile1=How would you like to use this image?"), nullptr, nullptr,
        Localize("/Windows/MainLayer/DropImageFile2=Tracing Image"),
        Localize("/Windows/MainLayer/DropImageFile3=New Image Layer"), Localize("/Strings/Cancel=Cancel"));
}

void MainLayer::FileDropped(const char* path, int32_t, int32_t, int32_t)
{
    if (!path || !*path)
        return;
    if (fMainWindow && !fMainWindow->fLayerWnd)
        PostMessage(3251);
    const QV_Path file(path);
    const QV_String media = file.MediaType();
    auto passPath = [&](int32_t command) {
        QV_Message message(command);
        message.AddString("path", path);
        PassOn(&message);
    };
    if (media == "image" && fCurrentView) {
        const int32_t answer = AskDroppedImage();
        if (answer == 0 && gShellHooks.canvasCommand)
            gShellHooks.canvasCommand(fCurrentView, 3126, path);
        else if (answer == 1)
            passPath(3122);
        return;
    }
    if (media == "video" && fDoc) {
        passPath(3123);
        return;
    }
    if (file.Extension() == "obj" && fDoc) {
        passPath(3128);
        return;
    }
    passPath(3111);
}

void MainLayer::ReloadScripts()
{
    gPrefs.qualityFlags &= ~(0x200 | 0x400);
    for (QV_View* view : fCanvasViews) {
        if (auto* canvas = dynamic_cast<CanvasView*>(view))
            canvas->fQualityFlags &= ~0x200;
    }
    SelectTool(nullptr);
    if (QV_LuaConsole* console = QV_LuaConsole::Current()) {
        if (console->fHwnd)
            PlatWindowDestroy(console->fHwnd);
    }
    if (ScriptRegistry* registry = Registry())
        registry->LoadScripts();
    FreeBrushes();
    QV_Path brushes = AppFolder();
    brushes.Append("brushes");
    LoadBrushes(brushes.CString());
    PostMessage(3250);
    PostMessage(3250);
}
