#include "motion_tracking_dlog.h"

#include <algorithm>
#include <cmath>

#include "bonelayer.h"
#include "console_sink.h"
#include "grouplayer.h"
#include "imagelayer.h"
#include "m_bone.h"
#include "m_skeleton.h"
#include "main_layer.h"
#include "qv_app.h"
#include "qv_button.h"
#include "qv_check_box.h"
#include "qv_layout_view.h"
#include "qv_menu.h"
#include "qv_message.h"
#include "qv_popup_menu.h"
#include "qv_static_text.h"
#include "tracking_point.h"
#include "vorndoc.h"
#include "vornlayer.h"

namespace {

// The popup keeps its menu; a replaced one is the caller's.
void ReplaceMenu(QV_PopupMenu* popup, QV_Menu* menu)
{
    QV_Menu* old = popup->Menu();
    popup->SetMenu(menu);
    if (old != menu)
        delete old;
}

constexpr int32_t kNoneItem = 8901;
constexpr int32_t kFirstPointItem = 8910;
constexpr int32_t kMaxPointItems = 40;
constexpr int32_t kFirstMovieItem = 8950;
constexpr int32_t kMaxMovieItems = 50;

bool Trackable(VornLayer* layer)
{
    if (!layer || layer->LayerType() != LT_IMAGE)
        return false;
    auto* image = static_cast<ImageLayer*>(layer);
    return image->IsMovieLayer() && image->CountTrackingPoints() > 0;
}

TrackingPoint* PointAt(ImageLayer* movie, int32_t index)
{
    if (index < 0)
        return nullptr;
    if (index >= movie->CountTrackingPoints()) {
        PrintOutOfRange("ImageLayer:GetTrackingPoint");
        return nullptr;
    }
    return movie->GetTrackingPoint(index);
}

QV_Vector2 Difference(const QV_Vector2& a, const QV_Vector2& b)
{
    return QV_Vector2 { a.x - b.x, a.y - b.y };
}

float Length(const QV_Vector2& v)
{
    return std::sqrt(v.x * v.x + v.y * v.y);
}

// The point's picture position in the movie layer's own space at that document frame.
QV_Vector2 MovieSpace(ImageLayer* movie, const QV_Vector2& picture, int32_t frame, VornDoc* document)
{
    QV_Vector2 p = picture;
    movie->ImageToLayer(picture, p);
    QV_Matrix m;
    movie->GetLayerTransform(frame, m, document);
    m.Transform(p);
    return p;
}

// The tracked frames of the driving point: keys of its position from its start frame through
// its last tracked frame.
template <class Visit> void ForTrackedKeys(TrackingPoint* point, int32_t firstFrame, Visit visit)
{
    AnimVec2& channel = point->fAnimPos;
    const int32_t count = channel.CountKeys();
    for (int32_t id = 0; id < count; id++) {
        const int32_t j = channel.GetKeyWhen(id);
        if (j < std::max(point->StartFrame(), firstFrame))
            continue;
        if (j > point->fLastFrame)
            break;
        visit(j);
    }
}

void TrackLayer(VornDoc* document, VornLayer* layer, const MotionTrackingChoice& c, TrackingPoint* p,
    TrackingPoint* s, int32_t oL, int32_t oT)
{
    const int32_t base = p->StartFrame() + oL - oT;
    const QV_Vector3 t0 = layer->fTranslation.GetValue(base);
    const QV_Vector3 s0 = layer->fScale.GetValue(base);
    const float z0 = layer->fRotationZ.GetValue(base);
    QV_Vector2 d0 {};
    float r0 = 0;
    float a0 = 0;
    if (s) {
        d0 = Difference(s->fAnimPos.GetValue(0), p->fAnimPos.GetValue(0));
        r0 = Length(d0);
        a0 = std::atan2(d0.y, d0.x);
    }
    ForTrackedKeys(p, p->StartFrame(), [&](int32_t j) {
        const int32_t target = j + oL - oT;
        const QV_Vector2 pos = p->fAnimPos.GetValue(j);
        if (s) {
            const QV_Vector2 d = Difference(s->fAnimPos.GetValue(j), pos);
            const float r = Length(d);
            if (c.angle)
                layer->fRotationZ.SetValue(target, (a0 + z0) - std::atan2(d.y, d.x));
            // A secondary point that sat on the primary at frame 0 gives no scale to compare.
            if (c.scale && r0 > 0) {
                const float k = r / r0;
                layer->fScale.SetValue(target, QV_Vector3 { s0.x * k, s0.y * k, s0.z * k });
            }
        }
        QV_Vector2 q = MovieSpace(c.movie, pos, j - oT, document);
        q.x -= layer->Origin().x;
        q.y -= layer->Origin().y;
        layer->fTranslation.SetValue(target, QV_Vector3 { q.x, q.y, t0.z });
    });
    layer->SetCurFrame(document->CurFrame());
}

void TrackBone(VornDoc* document, VornLayer* layer, const MotionTrackingChoice& c, TrackingPoint* p,
    TrackingPoint* s, int32_t oL, int32_t oT)
{
    if (layer->LayerType() != LT_BONE)
        return;
    M_Skeleton* skeleton = static_cast<BoneLayer*>(layer)->Skeleton();
    int32_t index = -1;
    for (int32_t i = 0; i < skeleton->GetNumBones() && index < 0; i++) {
        if (skeleton->GetBone(i)->fSelected)
            index = i;
    }
    if (index < 0)
        return;
    M_Bone* bone = skeleton->GetBone(index);
    TrackingPoint* lead = p ? p : s;
    const int32_t base = lead->StartFrame() + oL - oT;
    const float baseAngle = bone->fAnimAngle.GetValue(base);
    const float baseScale = bone->fAnimScale.GetValue(base);
    float r0 = 0;
    float a0 = 0;
    if (p && s) {
        const QV_Vector2 d0 = Difference(s->fAnimPos.GetValue(0), p->fAnimPos.GetValue(0));
        r0 = Length(d0);
        a0 = std::atan2(d0.y, d0.x);
    }
    // Nothing before the frame that lands on the bone layer's frame 1.
    const int32_t firstFrame = 1 - oL + oT;
    ForTrackedKeys(lead, firstFrame, [&](int32_t j) {
        const int32_t target = j + oL - oT;
        layer->SetCurFrame(j - oT);
        QV_Matrix toBones;
        layer->GetLayerTransform(j - oT, toBones, document);
        toBones.Invert();
        auto boneSpace = [&](const QV_Vector2& picture) {
            QV_Vector2 q = MovieSpace(c.movie, picture, j - oT, document);
            toBones.Transform(q);
            return q;
        };
        if (p) {
            const QV_Vector2 pos = p->fAnimPos.GetValue(j);
            if (s) {
                const QV_Vector2 d = Difference(s->fAnimPos.GetValue(j), pos);
                if (c.angle)
                    bone->fAnimAngle.SetValue(target, (a0 + baseAngle) - std::atan2(d.y, d.x));
                if (c.scale && r0 > 0)
                    bone->fAnimScale.SetValue(target, baseScale * Length(d) / r0);
            }
            bone->fAnimPos.SetValue(target, boneSpace(pos));
            return;
        }
        skeleton->UpdateBoneMatrix(-1);
        skeleton->IKAngleSolver(index, boneSpace(s->fAnimPos.GetValue(j)), 100);
        bone->fAnimAngle.SetValue(target, bone->fAngle);
        for (int32_t parent = bone->fParent; parent >= 0 && parent < skeleton->GetNumBones();) {
            M_Bone* up = skeleton->GetBone(parent);
            int32_t children = 0;
            for (int32_t i = 0; i < skeleton->GetNumBones(); i++)
                children += skeleton->GetBone(i)->fParent == parent ? 1 : 0;
            if (children > 1 || up->fAngleControlParent >= 0 || up->fPosControlParent >= 0
                || up->fScaleControlParent >= 0 || up->fBoneDynamics.GetValue(target))
                break;
            up->fAnimAngle.SetValue(target, up->fAngle);
            parent = up->fParent;
        }
    });
    layer->SetCurFrame(document->CurFrame());
}

} // namespace

void CollectTrackableMovies(VornDoc* document, QV_ArrayList& list)
{
    list.fCount = 0;
    VornLayer* current = document ? document->GetSelectedLayer() : nullptr;
    if (!current)
        return;
    GroupLayer* group = current->Parent();
    const int32_t count = group ? group->CountLayers() : document->CountLayers();
    for (int32_t i = 0; i < count && list.fCount < kMaxMovieItems; i++) {
        VornLayer* layer = group ? static_cast<VornLayer*>(group->fLayers.fItems[i])
                                 : static_cast<VornLayer*>(document->fLayers.fItems[i]);
        if (layer != current && Trackable(layer))
            list.Append(layer);
    }
}

bool ApplyMotionTracking(VornDoc* document, int32_t mode, const MotionTrackingChoice& choice)
{
    VornLayer* layer = document ? document->GetSelectedLayer() : nullptr;
    if (!layer || !choice.movie)
        return false;
    TrackingPoint* p = PointAt(choice.movie, choice.primary);
    TrackingPoint* s = PointAt(choice.movie, choice.secondary);
    if (s == p)
        s = nullptr;
    if (mode == kTrackLayerMode ? !p : (!p && !s))
        return false;
    const int32_t oT = choice.movie->TotalTimingOffset();
    const int32_t oL = layer->TotalTimingOffset();
    document->PrepUndo(layer);
    document->SetDirty();
    if (mode == kTrackLayerMode)
        TrackLayer(document, layer, choice, p, s, oL, oT);
    else
        TrackBone(document, layer, choice, p, s, oL, oT);
    return true;
}

MotionTrackingDlog::MotionTrackingDlog(VornDoc* document, QV_Wnd* owner, int32_t mode)
    : QV_Dialog(Localize("/Dialogs/MotionTracking/Title=Motion Tracking"), owner)
    , fMode(mode)
    , fDocument(document)
    , fLayer(document ? document->GetSelectedLayer() : nullptr)
{
    fSettingsName = "MotionTrackingDlog";
    const bool bones = mode == kTrackBoneMode;
    auto* content = new QV_LayoutView(true, 8, 8, 8);
    content->AddChild(new QV_StaticText(bones ? Localize("/Dialogs/MotionTracking/TrackBoneMotion=Track Bone Motion")
                                              : Localize("/Dialogs/MotionTracking/TrackLayerMotion=Track Layer Motion")));
    content->PushH(ALIGN_LEFT, 8);
    content->PushV(ALIGN_RIGHT, 8);
    const char* labels[3] = {
        Localize("/Dialogs/MotionTracking/MovieLayerToTrack=Movie layer to track:"),
        bones ? Localize("/Dialogs/MotionTracking/BaseTrackingPoint=Base tracking point:")
              : Localize("/Dialogs/MotionTracking/PrimaryTrackingPoint=Primary tracking point:"),
        bones ? Localize("/Dialogs/MotionTracking/TipTrackingPoint=Tip tracking point:")
              : Localize("/Dialogs/MotionTracking/SecondaryTrackingPoint=Secondary tracking point:"),
    };
    for (const char* label : labels) {
        auto* text = new QV_StaticText(label);
        text->ResetSize(text->Size().x, 22);
        content->AddChild(text, ALIGN_RIGHT);
    }
    content->Pop();
    content->PushV(ALIGN_LEFT, 8);
    fMoviePopup = new QV_PopupMenu(200, true);
    fMoviePopup->SetMenu(new QV_Menu("Image Layers"));
    fFirstPopup = new QV_PopupMenu(200, true);
    fFirstPopup->SetMenu(new QV_Menu("Tracking Point"));
    fSecondPopup = new QV_PopupMenu(200, true);
    fSecondPopup->SetMenu(new QV_Menu("Tracking Point"));
    content->AddChild(fMoviePopup);
    content->AddChild(fFirstPopup);
    content->AddChild(fSecondPopup);
    content->Pop();
    content->Pop();
    content->PushV(ALIGN_RIGHT, 8);
    content->AddChild(new QV_StaticText(bones
            ? Localize("/Dialogs/MotionTracking/DualPointOptions=Dual point tracking options:")
            : Localize("/Dialogs/MotionTracking/SecondPointOptions=Secondary point tracking options:")));
    fAngle = new QV_CheckBox(Localize("/Dialogs/MotionTracking/Angle=Angle"), 0);
    fScale = new QV_CheckBox(Localize("/Dialogs/MotionTracking/Scale=Scale"), 0);
    content->AddChild(fAngle, ALIGN_LEFT, 32);
    content->AddChild(fScale, ALIGN_LEFT, 32);
    content->Pop();
    AddOkCancelRow(content);
    AddView(content);
}

MotionTrackingDlog::~MotionTrackingDlog() = default;

void MotionTrackingDlog::FillPointPopups(int32_t movieIndex)
{
    auto* movie = movieIndex >= 0 && movieIndex < fMovies.fCount ? static_cast<ImageLayer*>(fMovies.fItems[movieIndex])
                                                                  : nullptr;
    auto* first = new QV_Menu("Tracking Point");
    auto* second = new QV_Menu("Tracking Point");
    if (fMode == kTrackBoneMode)
        first->AddItem(Localize("/Dialogs/MotionTracking/None=None"), 0, kNoneItem);
    second->AddItem(Localize("/Dialogs/MotionTracking/None=None"), 0, kNoneItem);
    const int32_t count = movie ? std::min(movie->CountTrackingPoints(), kMaxPointItems) : 0;
    for (int32_t j = 0; j < count; j++) {
        const char* name = movie->GetTrackingPoint(j)->Name().CString();
        first->AddItem(name, 0, kFirstPointItem + j);
        second->AddItem(name, 0, kFirstPointItem + j);
    }
    first->SetChecked(kFirstPointItem, true);
    second->SetChecked(kNoneItem, true);
    ReplaceMenu(fFirstPopup, first);
    ReplaceMenu(fSecondPopup, second);
    fAngle->SetValue(true);
    fAngle->Enable(false);
    fScale->SetValue(false);
    fScale->Enable(false);
    if (fWindow) {
        Draw();
        Flush();
    }
}

void MotionTrackingDlog::UpdateChecks()
{
    QV_Menu* first = fFirstPopup->Menu();
    QV_Menu* second = fSecondPopup->Menu();
    const bool secondChosen = second && second->FirstCheckedMsg() != kNoneItem && second->FirstCheckedMsg() != 0;
    bool enable = secondChosen;
    if (fMode == kTrackBoneMode && first && first->FirstCheckedMsg() == kNoneItem)
        enable = false;
    if (fAngle->IsEnabled() != enable || fScale->IsEnabled() != enable) {
        fAngle->Enable(enable);
        fScale->Enable(enable);
        if (fWindow) {
            fAngle->Redraw(true);
            fScale->Redraw(true);
        }
    }
}

void MotionTrackingDlog::HandleMessage(QV_Message* message)
{
    const int32_t what = message ? message->fWhat : 0;
    if (what >= kFirstMovieItem && what < kFirstMovieItem + kMaxMovieItems) {
        FillPointPopups(what - kFirstMovieItem);
        return;
    }
    UpdateChecks();
    QV_Dialog::HandleMessage(message);
}

void MotionTrackingDlog::ExchangeData(bool apply)
{
    if (!apply) {
        CollectTrackableMovies(fDocument, fMovies);
        auto* menu = new QV_Menu("Image Layers");
        for (int32_t k = 0; k < fMovies.fCount; k++)
            menu->AddItem(static_cast<VornLayer*>(fMovies.fItems[k])->Name().CString(), 0, kFirstMovieItem + k);
        menu->SetChecked(kFirstMovieItem, true);
        ReplaceMenu(fMoviePopup, menu);
        QV_Message first(kFirstMovieItem);
        HandleMessage(&first);
        return;
    }
    ApplyMotionTracking(fDocument, fMode, Choice());
}

MotionTrackingChoice MotionTrackingDlog::Choice() const
{
    MotionTrackingChoice choice;
    QV_Menu* movies = fMoviePopup->Menu();
    const int32_t movie = movies ? movies->FirstCheckedMsg() - kFirstMovieItem : -1;
    if (movie >= 0 && movie < fMovies.fCount)
        choice.movie = static_cast<ImageLayer*>(fMovies.fItems[movie]);
    auto pointOf = [](QV_PopupMenu* popup) {
        QV_Menu* menu = popup->Menu();
        const int32_t item = menu ? menu->FirstCheckedMsg() : 0;
        return item >= kFirstPointItem && item < kFirstPointItem + kMaxPointItems ? item - kFirstPointItem : -1;
    };
    choice.primary = pointOf(fFirstPopup);
    choice.secondary = pointOf(fSecondPopup);
    choice.angle = fAngle->Value();
    choice.scale = fScale->Value();
    return choice;
}

int32_t RunMotionTrackingDlog(VornDoc* document, QV_Wnd* owner, int32_t mode)
{
    auto* dialog = new MotionTrackingDlog(document, owner, mode);
    return dialog->DoModal();
}

int32_t RunMotionTrackingCommand(MainLayer* layer, int32_t command, QV_Message*)
{
    if ((command != 3209 && command != 3176) || !layer || !layer->fDoc)
        return 0;
    return RunMotionTrackingDlog(layer->fDoc, layer->fWindow, command == 3209 ? kTrackLayerMode : kTrackBoneMode);
}
