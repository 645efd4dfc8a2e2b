#include <cmath>

#include "app_prefs.h"
#include "audiolayer.h"
#include "bonelayer.h"
#include "grouplayer.h"
#include "m_bone.h"
#include "m_mesh.h"
#include "m_point.h"
#include "m_shape.h"
#include "m_skeleton.h"
#include "main_layer.h"
#include "meshlayer.h"
#include "message_ids.h"
#include "periphery_commands.h"
#include "qv_app.h"
#include "qv_keys.h"
#include "qv_layer.h"
#include "qv_menu.h"
#include "qv_menu_bar.h"
#include "qv_message.h"
#include "qv_sound_mixer.h"
#include "random_width.h"
#include "script.h"
#include "script_app_services.h"
#include "script_interface.h"
#include "script_registry.h"
#include "shell_hooks.h"
#include "shell_panel.h"
#include "status_bar.h"
#include "vorn_view.h"
#include "vorn_wnd.h"
#include "vorndoc.h"

namespace {

// What every command reads of the document before it decides.
struct CommandTargets {
    VornLayer* layer = nullptr;
    M_Mesh* mesh = nullptr;
    M_Skeleton* skeleton = nullptr;
    M_Skeleton* parentSkeleton = nullptr;
};

M_Skeleton* SkeletonOf(VornLayer* layer)
{
    if (!layer || (layer->LayerType() != LT_BONE && layer->LayerType() != LT_SWITCH))
        return nullptr;
    auto* bones = dynamic_cast<BoneLayer*>(layer);
    return bones ? bones->Skeleton() : nullptr;
}

CommandTargets TargetsOf(VornDoc* doc)
{
    CommandTargets t;
    t.layer = doc ? doc->GetSelectedLayer() : nullptr;
    if (!t.layer)
        return t;
    if (t.layer->LayerType() == LT_VECTOR) {
        if (auto* vector = dynamic_cast<MeshLayer*>(t.layer))
            t.mesh = vector->Mesh();
    }
    t.skeleton = SkeletonOf(t.layer);
    t.parentSkeleton = SkeletonOf(t.layer->Parent());
    return t;
}

void ForSelectedPoints(M_Mesh* mesh, bool all, auto&& action)
{
    for (int32_t i = 0; i < mesh->GetNumPoints(); i++) {
        M_Point* point = mesh->GetPoint(i);
        if (point && (all || point->fSelected))
            action(point);
    }
}

bool& ToggleOf(int32_t command)
{
    switch (command) {
    case 3175:
        return gToggles.hideControlledBones;
    case 3188:
        return gToggles.gridShown;
    case 3190:
        return gToggles.gridSnapping;
    case 3191:
        return gToggles.safeArea;
    case 3192:
        return gToggles.showOutputOnly;
    case 3200:
        return gToggles.allowFrameSkipping;
    default:
        break;
    }
    return gToggles.muteAudio;
}

int32_t RunLater(MainLayer* layer, int32_t command, QV_Message* message)
{
    return gShellHooks.runLayerCommand ? gShellHooks.runLayerCommand(layer, command, message) : 0;
}

} // namespace

bool MainLayer::IsCopyable() const
{
    const CommandTargets t = TargetsOf(fDoc);
    int32_t selected = 0;
    if (t.mesh)
        ForSelectedPoints(t.mesh, false, [&](M_Point*) { selected++; });
    for (int32_t i = 0; t.skeleton && i < t.skeleton->GetNumBones(); i++) {
        M_Bone* bone = t.skeleton->GetBone(i);
        selected += bone && bone->fSelected ? 2 : 0;
    }
    return selected >= 2;
}

void MainLayer::ResetBones(bool selectedOnly)
{
    VornLayer* layer = fDoc ? fDoc->GetSelectedLayer() : nullptr;
    // A switch layer's bones pick its sub-layers; they have no rest pose to return to.
    if (!layer || layer->LayerType() != LT_BONE)
        return;
    const int32_t frame = layer->CurFrame();
    if (frame == 0)
        return;
    M_Skeleton* skeleton = SkeletonOf(layer);
    for (int32_t i = 0; skeleton && i < skeleton->GetNumBones(); i++) {
        M_Bone* bone = skeleton->GetBone(i);
        if (!bone || (selectedOnly && !bone->fSelected))
            continue;
        if (bone->fAnimPos.CountKeys() > 1)
            bone->fAnimPos.Reset(frame);
        bone->fAnimAngle.Reset(frame);
        if (bone->fAnimScale.CountKeys() > 1)
            bone->fAnimScale.Reset(frame);
    }
    layer->SetCurFrame(0);
    layer->SetCurFrame(frame);
    PostMessage(1006);
}

bool MainLayer::HandleCommand(QV_Message* message)
{
    const int32_t what = message->fWhat;
    ScriptRegistry* registry = Registry();

    if (what >= LibraryItems::kFirstMessage && what <= LibraryItems::kFirstMessage + LibraryItems::kMaxItems) {
        const int32_t index = what - LibraryItems::kFirstMessage;
        if (index < int32_t(fLibraryItems.paths.size())) {
            const QV_Path& path = fLibraryItems.paths[size_t(index)];
            const QV_String media = path.MediaType();
            QV_Message import(media == "video" ? 3123 : media == "audio" ? 3127 : media == "image" ? 3122 : 3121);
            import.AddString("path", path.CString());
            PassOn(&import);
        }
        return true;
    }
    if (what >= 3400 && what <= 3599) {
        if (fDoc && registry) {
            ScriptInterface record(fDoc, CurrentScriptView());
            if (MenuScript* script = registry->MenuScriptAt(what - 3400)) {
                script->Run(&record);
                fDoc->SetCurFrame(fDoc->CurFrame());
                PostMessage(1001);
                PostMessage(1006);
            }
        }
        return false;
    }
    if (what >= 3600 && what <= 3799) {
        if (fDoc && registry) {
            ToolScript* tool = registry->ToolAt(what - 3600);
            if (tool && tool->fButton && !tool->fSpacer) {
                ScriptInterface record(fDoc, CurrentScriptView());
                tool->Run(&record);
                PostMessage(1001);
                PostMessage(1006);
            }
        }
        return true;
    }
    if (ScriptRegistry::IsScriptMessage(what)) {
        VornView* view = CurrentScriptView();
        if (fDoc && fCurrentTool && view && registry) {
            ScriptInterface record(fDoc, view);
            registry->DispatchScriptMessage(what, fCurrentTool, &record, view);
            PostMessage(1001);
        }
        return true;
    }
    if (what == -1010) {
        if (RunLater(this, what, message) == 0)
            return true;
        if (fStatusBar && fToolBar) {
            const QV_Rect bar = fStatusBar->Frame();
            const int32_t height = RectHeight(bar);
            const int32_t top = gPrefs.topStatusBar ? fToolBar->Frame().bottom + 1 : fFrame.bottom - fFrame.top + 1 - height;
            fStatusBar->MoveTo(bar.left, top);
        }
        Arrange();
        if (fWindow)
            Draw();
        PostMessage(1001);
        PostMessage(1006);
        if (fWindow)
            Flush();
        return true;
    }
    if (what < 3003 || what > 3214)
        return false;

    const CommandTargets t = TargetsOf(fDoc);
    auto prepare = [&] {
        fDoc->PrepUndo(t.layer);
        fDoc->SetDirty();
    };
    // A change re-read from frame 0: keys set at or before the frame take effect.
    auto reevaluate = [&] {
        const int32_t frame = fDoc->CurFrame();
        fDoc->SetCurFrame(0);
        fDoc->SetCurFrame(frame);
        RefreshViews();
        PostMessage(1006);
    };
    auto afterSelection = [&] {
        for (int32_t pass = 0; pass < 2; pass++) {
            RefreshViews();
            ScriptServices().UpdateSelectedChannels();
            PostMessage(1000);
        }
    };

    switch (what) {
    case 3008:
    case 3009: {
        if (!registry)
            return true;
        ScriptInterface record(fDoc, CurrentScriptView());
        if (what == 3008)
            registry->ResetTool(fCurrentTool, &record);
        else
            registry->ResetAllTools(fCurrentTool, &record);
        return true;
    }
    case 3129:
        RunLater(this, what, message);
        return true;
    case 3132:
    case 3133:
    case 3134:
        ClipboardCommand(message);
        return true;
    case 3130:
    case 3131:
        if (!fDoc || (what == 3130 ? fDoc->fUndoLevel < 1 : !fDoc->CanRedo()))
            return true;
        // The tracks name layers that the restored document replaces.
        if (fMixer)
            fMixer->fTrackCount = 0;
        SetFocus(nullptr);
        if (what == 3130)
            fDoc->Undo();
        else
            fDoc->Redo();
        PostMessage(1005);
        RefreshViews();
        PostMessage(1006);
        return true;
    case 3135:
        KeyDown(KEY_DELETE, 0);
        return true;
    case 3136:
        if (gFocusedTextControl) {
            QV_Layer::KeyDown('a', MODIFIER_CTRL);
            return true;
        }
        if (t.mesh)
            t.mesh->SelectAll();
        if (t.skeleton)
            t.skeleton->SelectAll();
        afterSelection();
        return true;
    case 3137:
    case 3138:
    case 3139:
        if (t.mesh) {
            if (what == 3137)
                t.mesh->SelectNone();
            else if (what == 3138)
                t.mesh->SelectInverse();
            else
                t.mesh->SelectConnected();
        }
        if (t.skeleton) {
            if (what == 3137)
                t.skeleton->SelectNone();
            else if (what == 3138)
                t.skeleton->SelectInverse();
            else
                t.skeleton->SelectConnected();
        }
        afterSelection();
        return true;
    case 3150:
        // The dialog and the progress pane are the shell's own; nothing later answers for them.
        if (t.mesh && RunInsertText(fDoc, fWindow)) {
            fDoc->SetCurFrame(fDoc->CurFrame());
            RefreshViews();
            PostMessage(1006);
        }
        return true;
    case 3151: {
        if (!t.mesh || !gToggles.gridShown)
            return true;
        prepare();
        ScriptInterface record(fDoc, CurrentScriptView());
        ForSelectedPoints(t.mesh, false, [&](M_Point* point) { record.SnapToGrid(&point->fPos); });
        record.AddPointKeyframe(fDoc->CurFrame());
        RefreshViews();
        PostMessage(1006);
        return true;
    }
    case 3152:
        if (!t.mesh)
            return true;
        prepare();
        ForSelectedPoints(t.mesh, false, [&](M_Point* point) {
            const float width = fDoc->CurFrame() == 0 ? -1.0f : point->fWidth.GetValue(0);
            point->fWidth.SetValue(point->fWidth.GetCurFrame(), width);
        });
        RefreshViews();
        PostMessage(1006);
        return true;
    case 3153:
        if (t.mesh) {
            RunRandomThickness(fDoc, fWindow);
            RefreshViews();
            PostMessage(1006);
        }
        return true;
    case 3154:
    case 3155:
        if (!t.mesh)
            return true;
        prepare();
        ForSelectedPoints(t.mesh, false,
            [&](M_Point* point) { point->SetCurvature(what == 3154 ? 0.001f : 0.3f, fDoc->CurFrame()); });
        RefreshViews();
        PostMessage(1006);
        return true;
    case 3156:
    case 3157:
    case 3158:
    case 3159: {
        if (!t.mesh)
            return true;
        int32_t shape = t.mesh->GetNumShapes() - 1;
        while (shape >= 0 && !t.mesh->GetShape(shape)->fSelected)
            shape--;
        if (shape < 0)
            return true;
        prepare();
        if (what == 3156 || what == 3158)
            t.mesh->RaiseShape(shape, what == 3158);
        else
            t.mesh->LowerShape(shape, what == 3159);
        RefreshViews();
        return true;
    }
    case 3160:
    case 3161:
        if (!t.mesh)
            return true;
        prepare();
        for (int32_t i = 0; i < t.mesh->GetNumShapes(); i++) {
            M_Shape* shape = t.mesh->GetShape(i);
            if (what == 3161)
                shape->fHidden = false;
            else if (shape->fSelected)
                shape->fHidden = true;
        }
        RefreshViews();
        return true;
    case 3162:
    case 3163: {
        if (!t.mesh)
            return true;
        prepare();
        const int32_t frame = t.layer->CurFrame();
        ForSelectedPoints(
            t.mesh, what == 3163, [&](M_Point* point) { point->SetPos(point->fAnimPos.GetValue(0), frame); });
        RefreshViews();
        PostMessage(1006);
        return true;
    }
    case 3170:
    case 3172:
        if (!t.mesh || !t.parentSkeleton)
            return true;
        prepare();
        ForSelectedPoints(t.mesh, false, [&](M_Point* point) { point->fParent = what == 3170 ? -1 : -2; });
        for (int32_t i = 0; i < t.parentSkeleton->GetNumBones(); i++) {
            if (M_Bone* bone = t.parentSkeleton->GetBone(i))
                bone->fSelected = false;
        }
        RefreshViews();
        return true;
    case 3173:
    case 3174:
        if (!t.layer)
            return true;
        prepare();
        t.layer->SetLayerParentBone(what == 3173 ? -1 : -2);
        RefreshViews();
        return true;
    case 3175:
    case 3191:
    case 3192:
        ToggleOf(what) = !ToggleOf(what);
        RefreshViews();
        return true;
    case 3176:
    case 3206:
    case 3207:
    case 3209:
        if (fDoc && RunLater(this, what, message) == MSG_OK)
            reevaluate();
        return true;
    case 3177:
    case 3178:
        if (!t.layer)
            return true;
        prepare();
        ResetBones(what == 3177);
        RefreshViews();
        PostMessage(1006);
        return true;
    case 3180:
    case 3181:
        if (VornView* view = CurrentScriptView())
            view->ResetView(2);
        return true;
    case 3182:
    case 3183:
    case 3184:
    case 3185:
    case 3186:
    case 3187:
    case 3194:
        if (fCurrentView && gShellHooks.canvasCommand)
            gShellHooks.canvasCommand(fCurrentView, what, nullptr);
        return true;
    case 3188:
        gToggles.gridShown = !gToggles.gridShown;
        PostMessage(1001);
        PostMessage(1000);
        return true;
    case 3189:
        if (RunLater(this, what, message) != 0)
            PostMessage(1001);
        return true;
    case 3190:
        gToggles.gridSnapping = !gToggles.gridSnapping;
        return true;
    case 3193:
        PostMessage(3126);
        return true;
    case 3200:
        gToggles.allowFrameSkipping = !gToggles.allowFrameSkipping;
        for (int32_t i = 0; fMenuBar && i < fMenuBar->fMenuCount; i++)
            fMenuBar->fMenus[i]->SetChecked(3200, gToggles.allowFrameSkipping);
        return true;
    case 3201:
    case 3203: {
        if (!fDoc || !t.layer)
            return true;
        prepare();
        bool recursive = false;
        if (t.layer->IsGroupType()) {
            recursive = what == 3201
                ? Ask(Localize("/Windows/MainLayer/ClearSubLayers1=The selected layer may contain sub-layers."),
                      Localize("/Windows/MainLayer/ClearSubLayers2=Do you want to clear the sub-layers too?"),
                      Localize("/Strings/Yes=Yes"), Localize("/Strings/No=No"))
                    == 0
                : Ask(Localize("/Windows/MainLayer/ResetAllChannels1=The selected layer may contain sub-layers."),
                      Localize("/Windows/MainLayer/ResetAllChennels2=Do you want to reset the sub-layers too?"),
                      Localize("/Strings/Yes=Yes"), Localize("/Strings/No=No"))
                    == 0;
        }
        int32_t frame;
        if (what == 3201) {
            frame = fDoc->CurFrame();
            t.layer->ClearAnimation(recursive);
        } else {
            frame = t.layer->CurFrame();
            t.layer->ResetAllChannels(recursive);
        }
        t.layer->SetCurFrame(0);
        t.layer->SetCurFrame(frame);
        RefreshViews();
        PostMessage(1006);
        return true;
    }
    case 3202: {
        if (!fDoc)
            return true;
        const int32_t answer = Ask(
            Localize("/Windows/MainLayer/ClearDocument1=Are you sure you want to clear all animation from the document?"),
            Localize("/Windows/MainLayer/ClearDocument2=This action cannot be undone."), Localize("/Strings/Yes=Yes"),
            Localize("/Strings/No=No"));
        if (answer != 0)
            return true;
        fDoc->PrepUndo(nullptr);
        fDoc->SetDirty();
        const int32_t frame = fDoc->CurFrame();
        fDoc->ClearAnimation();
        fDoc->SetCurFrame(0);
        fDoc->SetCurFrame(frame);
        RefreshViews();
        PostMessage(1006);
        return true;
    }
    case 3204: {
        if (!fDoc || !t.layer)
            return true;
        prepare();
        const int32_t parent = t.layer->Parent() ? t.layer->Parent()->TotalTimingOffset() : 0;
        const int32_t frame = fDoc->CurFrame();
        t.layer->SetTimingOffset(frame != 0 ? 1 - parent - frame : -parent);
        RefreshViews();
        PostMessage(1006);
        return true;
    }
    case 3205:
        if (fDoc && fMainWindow && fMainWindow->fTimelineWnd)
            fMainWindow->fTimelineWnd->PostMessage(3205);
        return true;
    case 3208:
        if (fDoc && RunLater(this, what, message) != 0) {
            RefreshViews();
            PostMessage(1006);
        }
        return true;
    case 3212:
        gToggles.muteAudio = !gToggles.muteAudio;
        if (fMixer)
            fMixer->fMuted = gToggles.muteAudio;
        PostMessage(1000);
        return true;
    case 3213:
    case 3214: {
        if (!fDoc || !t.layer || !t.layer->IsAudioType())
            return true;
        if (what == 3214) {
            if (RunLater(this, what, message) != 0) {
                PostMessage(1001);
                PostMessage(1006);
            }
            return true;
        }
        auto* audio = dynamic_cast<AudioLayer*>(t.layer);
        if (!audio)
            return true;
        prepare();
        audio->fJumpToFrame.SetValue(t.layer->CurFrame(), 0.0f);
        PostMessage(1006);
        return true;
    }
    default:
        break;
    }
    return false;
}
