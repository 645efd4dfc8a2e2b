// The ScriptInterface operations that reach the application: the click, copy and paste through
// the main layer, the Style panel's shape and style, text and fonts.
#include "script_interface.h"

#include "app_folders.h"
#include "format_version.h"
#include "grouplayer.h"
#include "m_mesh.h"
#include "m_point.h"
#include "m_shape.h"
#include "m_skeleton.h"
#include "m_bone.h"
#include "m_style.h"
#include "model_prefs.h"
#include "qv_memstream.h"
#include "qv_message.h"
#include "qv_sound_player.h"
#include "qv_text_list.h"
#include "script_app_services.h"
#include "skeleton_bones.h"
#include "vorndoc.h"
#include "vornlayer.h"

namespace {

constexpr int32_t kCopyCommand = 3133;
constexpr int32_t kPasteCommand = 3134;

void SendCopy(M_Mesh* mesh, bool alternate)
{
    ScriptAppServices& services = ScriptServices();
    if (!services.HasMainWindow() || !services.HasMainLayer())
        return;
    QV_Message message(kCopyCommand);
    if (alternate)
        message.AddString("alternate", "TRUE");
    message.AddString("activateTool", "FALSE");
    if (mesh)
        message.AddMesh(mesh);
    services.DispatchToMainLayer(message);
}

void SendPaste(bool alternate)
{
    ScriptAppServices& services = ScriptServices();
    if (!services.HasMainWindow() || !services.HasMainLayer())
        return;
    QV_Message message(kPasteCommand);
    if (alternate)
        message.AddString("alternate", "TRUE");
    message.AddString("abbreviatedPaste", "TRUE");
    services.DispatchToMainLayer(message);
}

// The style copied whole through its record, as a document style is stored.
void CopyStyleRecord(M_Style& from, M_Style& to)
{
    QV_MemStream stream;
    if (stream.Open(0) != 0)
        return;
    stream.fVersion = kCurrentFormatVersion;
    from.WriteRecord(&stream);
    stream.Rewind();
    to.ReadRecord(&stream);
}

M_Skeleton* SkeletonOf(GroupLayer* layer)
{
    if (!layer || !layer->IsBoneType())
        return nullptr;
    auto* bones = dynamic_cast<SkeletonBones*>(layer->fBoneParent);
    return bones ? bones->fSkeleton : nullptr;
}

} // namespace

void ScriptInterface::Click()
{
    if (ModelPrefBool("DisableAudioFeedback", false))
        return;
    if (!gClickPlayer) {
        QV_Path path = ResourcesFolder();
        path.Append("click.wav");
        gClickPlayer = new QV_SoundPlayer(path.CString());
    }
    PlayClickSound();
}

void ScriptInterface::Copy(M_Mesh* mesh) { SendCopy(mesh, false); }
void ScriptInterface::CopyAlternate(M_Mesh* mesh) { SendCopy(mesh, true); }
void ScriptInterface::Paste() { SendPaste(false); }
void ScriptInterface::PasteAlternate() { SendPaste(true); }

float ScriptInterface::NewShapeLineWidth() const
{
    M_Shape* properties = ScriptServices().NewShapeProperties();
    if (!properties) {
        const int32_t height = fDoc && fDoc->Height() > 0 ? fDoc->Height() : 1;
        return 1.0f / float(height);
    }
    float width = properties->fMyStyle.fLineWidth;
    for (M_Style* reference : { properties->fStyle1, properties->fStyle2 }) {
        if (reference && reference->fDefineLineWidth && !properties->fMyStyle.fDefineLineWidth)
            width = reference->fLineWidth;
    }
    return width;
}

void ScriptInterface::InsertText(const char* text, const char* font, bool oneFill, bool centered, int32_t line)
{
    M_Mesh* mesh = Mesh();
    if (!mesh || !text || !font)
        return;
    TextShapeState state;
    state.frame = fFrame + fLayer->TotalTimingOffset();
    state.mesh = mesh;
    ScriptServices().BuildTextShapes(text, font, fDoc ? fDoc->Height() : 1, oneFill, centered, line, state);
}

void ScriptInterface::PickStyleProperties(M_Shape* shape)
{
    if (!shape)
        return;
    ScriptAppServices& services = ScriptServices();
    if (M_Style* style = services.SelectedDocumentStyle())
        CopyStyleRecord(shape->fMyStyle, *style);
    else if (M_Shape* properties = services.NewShapeProperties())
        properties->CopyStyleProperties(shape);
}

void ScriptInterface::PushStyleProperties(M_Shape* shape)
{
    if (!shape)
        return;
    ScriptAppServices& services = ScriptServices();
    if (M_Style* style = services.SelectedDocumentStyle())
        CopyStyleRecord(*style, shape->fMyStyle);
    else if (M_Shape* properties = services.NewShapeProperties())
        shape->CopyStyleProperties(properties);
}

void ScriptInterface::UpdateBonePointSelection()
{
    M_Mesh* mesh = Mesh();
    M_Skeleton* skeleton = mesh ? SkeletonOf(fLayer->Parent()) : nullptr;
    if (!skeleton)
        return;
    int32_t selected = -1;
    for (int32_t i = 0; i < skeleton->GetNumBones() && selected < 0; i++) {
        const M_Bone* bone = skeleton->GetBone(i);
        if (bone && bone->fSelected)
            selected = i;
    }
    for (int32_t i = 0; i < mesh->GetNumPoints(); i++) {
        M_Point* point = mesh->GetPoint(i);
        point->fSelected = selected >= 0 && point->fParent == selected;
    }
    if (selected < 0) {
        for (int32_t i = 0; i < mesh->GetNumShapes(); i++)
            mesh->GetShape(i)->fSelected = false;
    }
}

void ScriptInterface::FillInFontList(QV_TextList* list) const
{
    if (!list)
        return;
    ScriptAppServices& services = ScriptServices();
    for (int32_t i = 0; i < services.CountFontFamilies(); i++) {
        if (const char* family = services.FontFamily(i))
            list->AddItemAlphabetically(family);
    }
}
