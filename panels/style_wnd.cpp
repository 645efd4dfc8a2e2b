#include "style_wnd.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <new>

#include "app_folders.h"
#include "app_prefs.h"
#include "file_dialogs.h"
#include "follow_flags.h"
#include "format_version.h"
#include "image_file.h"
#include "image_format_registry.h"
#include "interface_colors.h"
#include "interface_fonts.h"
#include "m_mesh.h"
#include "main_layout.h"
#include "m_shape.h"
#include "m_shapestyle.h"
#include "m_style.h"
#include "meshlayer.h"
#include "qv_app.h"
#include "qv_button.h"
#include "qv_check_box.h"
#include "qv_color_swatch.h"
#include "qv_divider.h"
#include "qv_docking_wnd.h"
#include "qv_dynamic_text.h"
#include "qv_font.h"
#include "qv_graphics.h"
#include "qv_layer.h"
#include "qv_layout_view.h"
#include "qv_memstream.h"
#include "qv_menu.h"
#include "qv_message.h"
#include "qv_path.h"
#include "qv_popup_menu.h"
#include "qv_static_text.h"
#include "qv_text_control.h"
#include "style_adapters.h"
#include "style_dialog.h"
#include "style_panel_refs.h"
#include "vorn_wnd.h"
#include "vorndoc.h"
#include "vornlayer.h"

M_Shape* gNewShapeDefaults = nullptr;
QV_BaseImage gSwatchImage;
QV_Menu* gSwatchMenu = nullptr;

namespace {

constexpr int32_t kMaxSwatches = 100;
constexpr float kFirstDefaultWidth = 0.008230452f;

// Hands presses on the picture to the panel, in the panel's coordinates.
class SwatchPad : public QV_PadView {
public:
    SwatchPad(StyleWnd* panel)
        : QV_PadView(8, 111)
        , fPanel(panel)
    {
    }
    void MouseDown(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message*) override
    {
        const QV_Point p = InPanel(x, y);
        fPanel->PickerPress(p.x, p.y, button == 1, button == 2, modifiers);
    }
    void MouseMoved(int32_t x, int32_t y, int32_t modifiers, QV_Message*) override
    {
        const QV_Point p = InPanel(x, y);
        fPanel->PickerMove(p.x, p.y, fLeftDown, fRightDown, modifiers);
    }
    void MouseUp(int32_t, int32_t, int32_t, int32_t, QV_Message*) override { fPanel->PickerRelease(); }

private:
    QV_Point InPanel(int32_t x, int32_t y) const
    {
        const QV_Rect mine = FrameInLayer();
        const QV_Rect panel = fPanel->FrameInLayer();
        return QV_Point { x + mine.left - panel.left, y + mine.top - panel.top };
    }
    StyleWnd* fPanel;
};

QV_StaticText* Label(const char* text, const char* sizedFor = nullptr)
{
    auto* label = new QV_StaticText(text);
    if (sizedFor && gWidgetFont) {
        auto* sized = new QV_StaticText(sizedFor);
        label->ResetSize(std::max(sized->Size().x, label->Size().x), label->Size().y);
        delete sized;
    }
    return label;
}

int32_t RoundHalfAway(float value)
{
    return int32_t(std::lround(value));
}

M_Shape* Defaults()
{
    if (!gNewShapeDefaults)
        gNewShapeDefaults = new M_Shape(0);
    return gNewShapeDefaults;
}

QV_Path SwatchesFolder()
{
    QV_Path folder = AppFolder();
    folder.Append("swatches");
    return folder;
}

// Copies a style through its record, the way the document stores it.
void CopyStyle(M_Style* source, M_Style* target)
{
    QV_MemStream stream;
    if (stream.Open(2048) != 0)
        return;
    stream.fVersion = kCurrentFormatVersion;
    source->WriteRecord(&stream);
    stream.Rewind();
    stream.fVersion = kCurrentFormatVersion;
    target->ReadRecord(&stream);
}

int32_t FirstChecked(QV_PopupMenu* popup)
{
    return popup && popup->Menu() ? popup->Menu()->FirstChecked() : -1;
}

} // namespace

std::vector<std::string> ListSwatchFiles(const char* folder)
{
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        if (entry.is_regular_file(error) && QV_Path(name.c_str()).MediaType() == "image")
            names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    if (names.size() > size_t(kMaxSwatches))
        names.resize(size_t(kMaxSwatches));
    return names;
}

float StyleWnd::ShownWidth(float width, int32_t height)
{
    return float(std::round(double(width) * height * 100.0)) / 100.0f;
}

M_Shape* StyleWnd::NewShapeProperties()
{
    return gNewShapeProperties;
}

M_Style* StyleWnd::SelectedDocumentStyle()
{
    return gCurrentDocStyle;
}

StyleWnd::StyleWnd(VornWnd* owner, VornDoc* document)
    : ShellPanel(PanelKind::Style, owner, Localize("/Windows/Style/Title=Style"), true, 5, "StyleWnd", 600, 32,
        600 + gStylePanelWidth, 288)
    , fShape(nullptr)
    , fStyle(nullptr)
    , fLayout(nullptr)
    , fAdvancedBox(nullptr)
    , fFillBox(nullptr)
    , fFillSwatch(nullptr)
    , fLineBox(nullptr)
    , fLineSwatch(nullptr)
    , fWidthField(nullptr)
    , fResetButton(nullptr)
    , fCopyButton(nullptr)
    , fPasteButton(nullptr)
    , fClipShape(nullptr)
    , fClipStyle(nullptr)
    , fSwatchPopup(nullptr)
    , fSwatchPad(nullptr)
    , fSwatchScale(1)
    , fPicking(false)
    , fShapePopup(nullptr)
    , fHeader(nullptr)
    , fNameField(nullptr)
    , fEffect1Popup(nullptr)
    , fEffect1Button(nullptr)
    , fEffect1Index(-1)
    , fEffect2Popup(nullptr)
    , fEffect2Button(nullptr)
    , fEffect2Index(-1)
    , fLineEffectPopup(nullptr)
    , fLineEffectButton(nullptr)
    , fLineEffectIndex(-1)
{
    fDocument = document;
    const bool firstPanel = gNewShapeDefaults == nullptr;
    M_Shape* defaults = Defaults();

    // Earlier panels left the menu detached; every panel lists the folder afresh.
    delete gSwatchMenu;
    gSwatchMenu = new QV_Menu("Color Swatches");
    gSwatchImage.Free();
    const QV_Path folder = SwatchesFolder();
    int32_t id = 8500;
    for (const std::string& name : ListSwatchFiles(folder.CString())) {
        gSwatchMenu->AddItem(name.c_str(), 0, id);
        if (gSwatchImage.Width() == 0) {
            QV_Path path = folder;
            path.Append(name.c_str());
            if (LoadSwatch(path.CString()))
                gSwatchMenu->SetChecked(id, true);
        }
        id++;
    }
    gSwatchMenu->AddItem("", 0, 0);
    gSwatchMenu->AddItem(Localize("/Windows/Style/CustomImage=Custom Image..."), 0, 8018);

    BuildLayout(gPrefs.advancedStyle);

    gSwatchMenu->UncheckAll();
    if (gSwatchMenu->CountItems() > 0) {
        // The separator's message 0 is passed on and ignored when the folder is empty.
        const int32_t first = gSwatchMenu->CountItems() > 2 ? 8500 : 0;
        if (first)
            gSwatchMenu->SetChecked(first, true);
        PostMessage(first);
    }
    SetDocument(document);
    PostMessage(1006);
    gNewShapeProperties = defaults;
    if (firstPanel) {
        defaults->fMyStyle.fFillCol.SetValue(0, gPrefs.colFill);
        defaults->fMyStyle.fLineCol.SetValue(0, gPrefs.colLine);
        defaults->fMyStyle.fLineWidth = kFirstDefaultWidth;
    }
    if (!fShape)
        SetShape(defaults);
    UpdateWidgets();
}

StyleWnd::~StyleWnd()
{
    delete fClipShape;
    DeleteStyleObject(fClipStyle);
    if (fSwatchPopup)
        fSwatchPopup->SetMenu(nullptr);
}

void StyleWnd::BuildLayout(bool advanced)
{
    auto* layout = new QV_LayoutView(true, 4, 8, 8);
    const int32_t swatchWidth = advanced ? 64 : 70;
    fFillBox = new QV_CheckBox(Localize("/Windows/Style/Fill=Fill"), 8002);
    fLineBox = new QV_CheckBox(Localize("/Windows/Style/Stroke=Stroke"), 8006);
    fFillSwatch = new QV_ColorSwatch(true, rgb_color { 0, 0, 0, 255 }, 8003);
    fFillSwatch->ResetSize(swatchWidth, fFillSwatch->Size().y);
    fLineSwatch = new QV_ColorSwatch(true, rgb_color { 0, 0, 0, 255 }, 8007);
    fLineSwatch->ResetSize(swatchWidth, fLineSwatch->Size().y);
    const int32_t fieldWidth = (gWidgetFont ? gWidgetFont->StringWidth("00.000") : 36) + 12;
    fWidthField = new QV_TextControl(advanced ? 64 : fieldWidth, "", 8008, FIELD_UFLOAT);
    fWidthField->SetWheelInc(1);
    fEffect1Popup = new QV_PopupMenu(advanced ? 108 : 70);
    fEffect1Popup->SetMenu(BuildFillStyleMenu());
    fEffect1Button = new QV_ShortButton("...", 8004);
    fEffect2Popup = nullptr;
    fEffect2Button = nullptr;
    fLineEffectPopup = nullptr;
    fLineEffectButton = nullptr;
    fShapePopup = nullptr;
    fHeader = nullptr;
    fNameField = nullptr;
    fSwatchPopup = new QV_PopupMenu(128);
    fSwatchPopup->SetMenu(gSwatchMenu);
    fSwatchPad = new SwatchPad(this);
    fCopyButton = new QV_ShortButton(Localize("/Windows/Style/Copy=Copy"), 8015);
    fPasteButton = new QV_ShortButton(Localize("/Windows/Style/Paste=Paste"), 8016);
    fResetButton = new QV_ShortButton(Localize("/Windows/Style/Reset=Reset"), 8017);
    fAdvancedBox = new QV_CheckBox(Localize("/Windows/Style/Advanced=Advanced"), 8019);
    fAdvancedBox->SetValue(advanced);
    const char* swatches = Localize("/Windows/Style/Swatches=Swatches");

    if (!advanced) {
        // One row per setting, the labels as wide as the widest, so each control sits level
        // with its label.
        QV_View* labels[4] = { fFillBox, fLineBox, Label(Localize("/Windows/Style/Width=Width")),
            Label(Localize("/Windows/Style/Effect=Effect")) };
        QV_View* controls[4] = { fFillSwatch, fLineSwatch, fWidthField, fEffect1Popup };
        int32_t labelWidth = 0;
        for (QV_View* label : labels)
            labelWidth = std::max(labelWidth, label->Size().x);
        for (int32_t i = 0; i < 4; i++) {
            labels[i]->ResetSize(labelWidth, labels[i]->Size().y);
            layout->PushH(ALIGN_LEFT, 8);
            layout->AddChild(labels[i], ALIGN_CENTER);
            layout->AddChild(controls[i], ALIGN_CENTER);
            if (i == 3)
                layout->AddChild(fEffect1Button, ALIGN_CENTER);
            layout->Pop();
        }
        layout->AddChild(new QV_Divider(false), ALIGN_FILL);
    } else {
        fShapePopup = new QV_PopupMenu(96);
        fShapePopup->SetMenu(new QV_Menu(Localize("/Windows/Style/Shapes=Shapes")));
        fShapePopup->Menu()->AddItem(Localize("/Windows/Style/None=<None>"), 0, 8100);
        fHeader = new QV_DynamicText(Localize("/Windows/Style/SHAPE=SHAPE"), 160, QV_DynamicText::kAlignCentre);
        fNameField = new QV_TextControl(
            (gWidgetFont ? gWidgetFont->StringWidth("Big long name goes here") : 140) + 12, "", 8001, FIELD_TEXT);
        fEffect2Popup = new QV_PopupMenu(108);
        fEffect2Popup->SetMenu(BuildFillStyleMenu());
        fEffect2Button = new QV_ShortButton("...", 8005);
        fLineEffectPopup = new QV_PopupMenu(108);
        fLineEffectPopup->SetMenu(BuildLineStyleMenu());
        fLineEffectButton = new QV_ShortButton("...", 8009);
        layout->PushH(ALIGN_CENTER, 4);
        layout->AddChild(fShapePopup);
        layout->Pop();
        layout->AddChild(fHeader, ALIGN_CENTER);
        layout->PushH(ALIGN_LEFT, 4);
        layout->AddChild(Label(Localize("/Windows/Style/Name=Name")), ALIGN_CENTER);
        layout->AddChild(fNameField, ALIGN_CENTER);
        layout->Pop();
        layout->AddChild(new QV_Divider(false), ALIGN_FILL);
        layout->PushH(ALIGN_LEFT, 8);
        layout->PushV(ALIGN_LEFT, 4);
        layout->AddChild(fFillBox, ALIGN_LEFT);
        layout->AddChild(Label(Localize("/Windows/Style/FillEffect1=Effect 1")), ALIGN_LEFT);
        layout->AddChild(Label(Localize("/Windows/Style/FillEffect2=Effect 2"), swatches), ALIGN_LEFT);
        layout->Pop();
        layout->PushV(ALIGN_LEFT, 4);
        layout->AddChild(fFillSwatch, ALIGN_LEFT);
        layout->PushH(ALIGN_LEFT, 4);
        layout->AddChild(fEffect1Popup, ALIGN_CENTER);
        layout->AddChild(fEffect1Button, ALIGN_CENTER);
        layout->Pop();
        layout->PushH(ALIGN_LEFT, 4);
        layout->AddChild(fEffect2Popup, ALIGN_CENTER);
        layout->AddChild(fEffect2Button, ALIGN_CENTER);
        layout->Pop();
        layout->Pop();
        layout->Pop();
        layout->PushH(ALIGN_LEFT, 8);
        layout->PushV(ALIGN_LEFT, 4);
        layout->AddChild(fLineBox, ALIGN_LEFT);
        layout->AddChild(Label(Localize("/Windows/Style/Width=Width"), swatches), ALIGN_LEFT);
        layout->Pop();
        layout->PushV(ALIGN_LEFT, 4);
        layout->AddChild(fLineSwatch, ALIGN_LEFT);
        layout->AddChild(fWidthField, ALIGN_LEFT);
        layout->Pop();
        layout->Pop();
        layout->PushH(ALIGN_LEFT, 4);
        layout->AddChild(Label(Localize("/Windows/Style/LineEffect=Effect"), swatches), ALIGN_CENTER);
        layout->AddChild(fLineEffectPopup, ALIGN_CENTER);
        layout->AddChild(fLineEffectButton, ALIGN_CENTER);
        layout->Pop();
    }
    layout->PushH(ALIGN_LEFT, 4);
    layout->AddChild(Label(swatches), ALIGN_CENTER);
    layout->AddChild(fSwatchPopup, ALIGN_CENTER);
    layout->Pop();
    layout->AddChild(fSwatchPad, ALIGN_FILL);
    layout->PushH(ALIGN_CENTER, 4);
    layout->AddChild(fCopyButton);
    layout->AddChild(fPasteButton);
    layout->AddChild(fResetButton);
    layout->Pop();
    layout->AddChild(fAdvancedBox, ALIGN_LEFT);
    layout->Layout();
    fLayout = layout;
    AddChild(layout);
    const QV_Point size = layout->Size();
    gStylePanelWidth = size.x;
    ResizeTo(size.x, size.y);
}

void StyleWnd::SwitchLayout()
{
    if (QV_Layer* layer = OwnerLayer())
        layer->SetFocus(nullptr);
    gPrefs.advancedStyle = fAdvancedBox->Value();
    fSwatchPopup->SetMenu(nullptr);
    QV_LayoutView* old = fLayout;
    RemoveChild(old);
    delete old;
    BuildLayout(gPrefs.advancedStyle);
    if (fDockLayer) {
        fDockLayer->Layout();
        fDockLayer->Draw();
    } else if (fFloatWindow) {
        fFloatWindow->ResizeTo(Size().x, Size().y);
    }
    if (GetGraphics()) {
        Draw();
        Refresh();
    }
    PostMessage(1006);
    UpdateWidgets();
}

void StyleWnd::SetDocument(VornDoc* document)
{
    M_Shape* defaults = Defaults();
    if (document)
        defaults->fMyStyle.fLineWidth = 4.0f / float(document->Height());
    fDocument = document;
    gCurrentDocStyle = nullptr;
    SetShape(defaults);
    if (!document) {
        // Showing the defaults copies the last shape's style references, which point into the
        // document going away: neither may outlive it.
        defaults->fStyleName1 = "";
        defaults->fStyle1 = nullptr;
        defaults->fStyleName2 = "";
        defaults->fStyle2 = nullptr;
    }
    PostMessage(1006);
}

void StyleWnd::ShowDefaults()
{
    gCurrentDocStyle = nullptr;
    SetShape(Defaults());
}

void StyleWnd::SetShape(M_Shape* shape)
{
    M_Shape* defaults = Defaults();
    if ((!shape || shape == defaults) && gNewShapeProperties && gNewShapeProperties != defaults)
        defaults->CopyStyleProperties(gNewShapeProperties);
    if (!shape)
        shape = defaults;
    if (shape == fShape && shape != defaults)
        return;
    fShape = shape;
    fStyle = &shape->fMyStyle;
    gNewShapeProperties = shape;
    UpdateWidgets();
}

int32_t StyleWnd::DocHeight() const
{
    return fDocument ? fDocument->Height() : 240;
}

void StyleWnd::RefreshAnimated()
{
    if (!fStyle)
        return;
    auto keys = [](AnimChannel& channel) {
        return channel.fActiveAction ? channel.fActiveAction->CountKeys() : channel.CountKeys();
    };
    if (keys(fStyle->fFillCol) >= 2 || keys(fStyle->fLineCol) >= 2)
        UpdateWidgets();
}

void StyleWnd::UpdateWidgets()
{
    if (!fStyle || !fFillBox)
        return;
    if (QV_Layer* layer = OwnerLayer())
        layer->SetFocus(nullptr);
    const int32_t height = DocHeight();
    const bool defaults = fShape == gNewShapeDefaults;
    if (fHeader)
        fHeader->SetValue(defaults ? Localize("/Windows/Style/DefaultsForNewShapes=DEFAULTS (For new shapes)")
                                   : Localize("/Windows/Style/SHAPE=SHAPE"));
    if (fNameField) {
        fNameField->Enable(!defaults);
        fNameField->SetValue(fShape->fName.CString());
    }
    fFillSwatch->SetValue(fStyle->fFillCol.value);
    fLineSwatch->SetValue(fStyle->fLineCol.value);
    fWidthField->SetValue(ShownWidth(fStyle->fLineWidth, height));
    if (defaults) {
        fFillBox->Enable(false);
        fFillBox->SetValue(true);
        fLineBox->Enable(false);
        fLineBox->SetValue(true);
        fFillSwatch->Enable(true);
        fLineSwatch->Enable(true);
        fWidthField->Enable(true);
    } else {
        fFillBox->Enable(fShape->fFillAllowed);
        fFillBox->SetValue(fShape->fHasFill);
        fFillSwatch->Enable(fShape->fHasFill);
        fLineBox->Enable(true);
        fLineBox->SetValue(fShape->fHasOutline);
        fLineSwatch->Enable(fShape->fHasOutline);
        fWidthField->Enable(fShape->fHasOutline);
    }
    struct Slot {
        QV_PopupMenu* popup;
        QV_ShortButton* button;
        int32_t effect;
        QV_CheckBox* governor;
        int32_t* index;
    };
    const Slot slots[] = { { fEffect1Popup, fEffect1Button, 0, fFillBox, &fEffect1Index },
        { fEffect2Popup, fEffect2Button, 1, fFillBox, &fEffect2Index },
        { fLineEffectPopup, fLineEffectButton, 2, fLineBox, &fLineEffectIndex } };
    for (const Slot& slot : slots) {
        if (!slot.popup)
            continue;
        QV_Menu* menu = slot.popup->Menu();
        M_ShapeStyle* effect = fStyle->fEffects[slot.effect];
        menu->UncheckAll();
        menu->SetChecked(effect ? kFirstShapeStyleId + effect->StyleType() : kNoShapeStyleId, true);
        const bool governed = slot.governor->Value();
        slot.button->Enable(effect && governed);
        slot.popup->Enable(governed);
        *slot.index = menu->FirstChecked();
    }
    fCopyButton->Enable(true);
    fPasteButton->Enable(fClipShape || fClipStyle);
    if (GetGraphics()) {
        Draw();
        QV_View::Refresh();
    }
}

void StyleWnd::Notify(int32_t what)
{
    if (fMainWindow)
        fMainWindow->PostMessage(what);
}

bool StyleWnd::PrepareUndo()
{
    if (!fDocument)
        return true;
    fDocument->SetDirty();
    fDocument->PrepUndo(fDocument->GetSelectedLayer());
    return KeepShownShape(true);
}

bool StyleWnd::KeepShownShape(bool refill)
{
    // Writing the layer for undo tidies its mesh, which may delete an empty shape; the mesh
    // then forgets the published shape, and the panel must not touch it either.
    if (!fShape || fShape == gNewShapeProperties)
        return true;
    fShape = Defaults();
    fStyle = &fShape->fMyStyle;
    gNewShapeProperties = fShape;
    if (refill)
        UpdateWidgets();
    return false;
}

void StyleWnd::Refresh()
{
    VornLayer* current = fDocument ? fDocument->GetSelectedLayer() : nullptr;
    QV_Menu* shapes = fShapePopup ? fShapePopup->Menu() : nullptr;
    if (shapes) {
        shapes->RemoveAllItems();
        shapes->AddItem(Localize("/Windows/Style/None=<None>"), 0, 8100);
    }
    if (current && current->LayerType() == LT_VECTOR) {
        M_Mesh* mesh = static_cast<MeshLayer*>(current)->Mesh();
        M_Shape* selected = nullptr;
        int32_t id = 8101;
        for (int32_t i = 0; i < mesh->GetNumShapes(); i++) {
            M_Shape* shape = mesh->GetShape(i);
            if (!shape)
                continue;
            if (shapes && !shape->fName.IsEmpty() && id <= 8199)
                shapes->AddItem(shape->fName.CString(), 0, id++);
            if (!selected && shape->fSelected)
                selected = shape;
        }
        if (selected) {
            fShape = nullptr;
            SetShape(selected);
        } else {
            SetShape(nullptr);
        }
    } else {
        SetShape(nullptr);
    }
    UpdateWidgets();
}

void StyleWnd::SetWidth()
{
    float value = fWidthField->FloatValue();
    const float clamped = std::clamp(value, 0.25f, 256.0f);
    if (clamped != value) {
        value = clamped;
        fWidthField->SetValue(value);
    }
    if (!fDocument)
        return;
    const int32_t height = DocHeight();
    if (!PrepareUndo())
        return;
    VornLayer* current = fDocument->GetSelectedLayer();
    if (current && current->LayerType() == LT_VECTOR && fShape != gNewShapeDefaults)
        fShape->ScaleLineWidths(value, fStyle->fLineWidth * float(height));
    fStyle->fLineWidth = value / float(height);
    Notify(1001);
}

void StyleWnd::SetColor(bool line)
{
    QV_ColorSwatch* swatch = line ? fLineSwatch : fFillSwatch;
    if (!AnyButtonDown() && !fPicking) {
        if (!PrepareUndo())
            return;
    } else if (fDocument) {
        fDocument->SetDirty();
    }
    AnimColor& channel = line ? fStyle->fLineCol : fStyle->fFillCol;
    channel.SetValue(channel.GetCurFrame(), swatch->Value());
    Notify(1001);
    if (fDocument)
        Notify(line ? 10026 : 10024);
}

void StyleWnd::RunEffectDialog(M_ShapeStyle* effect, rgb_color color, float width)
{
    VornDocStyleAdapter adapter(fDocument);
    effect->Edit(color, fDocument->fBackColor, width, Window(), &adapter);
}

void StyleWnd::EditEffect(int32_t slot)
{
    M_ShapeStyle* effect = fStyle->fEffects[slot];
    if (!effect || !fDocument)
        return;
    const bool line = slot == 2;
    RunEffectDialog(effect, line ? fStyle->fLineCol.value : fStyle->fFillCol.value,
        line ? fStyle->fLineWidth * float(DocHeight()) : 0.0f);
    Notify(1001);
    Notify(1006);
}

void StyleWnd::EffectChosen(int32_t what)
{
    if (!PrepareUndo())
        return;
    struct Slot {
        QV_PopupMenu* popup;
        QV_ShortButton* button;
        int32_t effect;
        int32_t* index;
        int32_t edit;
    };
    const Slot slots[] = { { fEffect1Popup, fEffect1Button, 0, &fEffect1Index, 8004 },
        { fEffect2Popup, fEffect2Button, 1, &fEffect2Index, 8005 },
        { fLineEffectPopup, fLineEffectButton, 2, &fLineEffectIndex, 8009 } };
    for (const Slot& slot : slots) {
        if (!slot.popup)
            continue;
        const int32_t checked = FirstChecked(slot.popup);
        M_ShapeStyle*& effect = fStyle->fEffects[slot.effect];
        if (what == kNoShapeStyleId) {
            if (checked == 0 && effect) {
                delete effect;
                effect = nullptr;
                *slot.index = 0;
                slot.button->Enable(false);
            }
            continue;
        }
        if (checked == *slot.index)
            continue;
        delete effect;
        effect = CreateShapeStyle(what);
        *slot.index = checked;
        slot.button->Enable(effect != nullptr);
        PostMessage(slot.edit);
    }
    Notify(1001);
}

void StyleWnd::Copy()
{
    delete fClipShape;
    DeleteStyleObject(fClipStyle);
    fClipShape = new M_Shape(0);
    fClipShape->CopyStyleProperties(fShape);
    fClipStyle = new M_Style(0);
    CopyStyle(fStyle, fClipStyle);
    fPasteButton->Enable(true);
}

void StyleWnd::Paste()
{
    if (!PrepareUndo())
        return;
    fShape->CopyStyleProperties(fClipShape);
    if (fClipStyle) {
        const QV_String name = fStyle->fName;
        CopyStyle(fClipStyle, fStyle);
        fStyle->fName = name;
    }
    fStyle->ResolveBrush();
    UpdateWidgets();
    Notify(1001);
}

void StyleWnd::Reset()
{
    if (fShape == gNewShapeDefaults) {
        fStyle->SetDefaults(0);
    } else {
        if (!fDocument || !PrepareUndo())
            return;
        VornLayer* current = fDocument->GetSelectedLayer();
        fStyle->SetDefaults(current ? current->CurFrame() : 0);
    }
    fShape->fStyleName1 = "";
    fShape->fStyle1 = nullptr;
    fShape->fStyleName2 = "";
    fShape->fStyle2 = nullptr;
    UpdateWidgets();
    Notify(1001);
}

void StyleWnd::ChooseShape(int32_t what)
{
    VornLayer* current = fDocument ? fDocument->GetSelectedLayer() : nullptr;
    if (!current || current->LayerType() != LT_VECTOR)
        return;
    M_Mesh* mesh = static_cast<MeshLayer*>(current)->Mesh();
    const QV_String label = what == 8100 || !fShapePopup ? QV_String() : fShapePopup->Menu()->ItemLabel(what);
    M_Shape* chosen = nullptr;
    for (int32_t i = 0; i < mesh->GetNumShapes(); i++) {
        M_Shape* shape = mesh->GetShape(i);
        if (!shape)
            continue;
        shape->fSelected = false;
        if (what != 8100 && !chosen && shape->fName == label)
            chosen = shape;
    }
    if (chosen) {
        chosen->fSelected = true;
        SetShape(chosen);
    } else {
        ShowDefaults();
    }
    Notify(1001);
    Notify(1006);
}

bool StyleWnd::LoadSwatch(const char* path)
{
    QV_BaseImage loaded;
    if (!path || LoadImageFile(path, loaded, 0) != 0 || loaded.Width() <= 0)
        return false;
    if (gSwatchImage.Allocate(loaded.Width(), loaded.Height(), 32) != 0)
        return false;
    const QV_PixelBuffer& from = loaded.buffer;
    QV_PixelBuffer& to = gSwatchImage.buffer;
    for (int32_t row = 0; row < from.height; row++)
        std::memcpy(to.pixels + size_t(row) * size_t(to.rowBytes), from.pixels + size_t(row) * size_t(from.rowBytes),
            size_t(from.width) * 4);
    if (GetGraphics()) {
        Draw();
        QV_View::Refresh();
    }
    return true;
}

QV_Rect StyleWnd::PictureRect()
{
    QV_Rect rect { 0, 0, -1, -1 };
    fSwatchScale = 1;
    if (!fSwatchPad)
        return rect;
    const QV_Rect pad = fSwatchPad->FrameInLayer();
    const QV_Rect panel = FrameInLayer();
    const int32_t left = pad.left - panel.left;
    const int32_t top = pad.top - panel.top;
    const int32_t padWidth = RectWidth(pad);
    const int32_t padHeight = RectHeight(pad);
    const int32_t width = gSwatchImage.Width();
    const int32_t height = gSwatchImage.Height();
    if (width <= 0 || height <= 0)
        return rect;
    if (width <= padWidth && height <= padHeight) {
        rect.left = left + RoundHalfAway(float(padWidth - width) / 2);
        rect.top = top;
        rect.right = rect.left + width - 1;
        rect.bottom = top + height - 1;
        return rect;
    }
    const float sx = float(padWidth) / float(width);
    const float sy = float(padHeight) / float(height);
    fSwatchScale = std::min(sx, sy);
    if (sx < sy) {
        const int32_t shown = RoundHalfAway(float(height) * fSwatchScale);
        rect.left = left;
        rect.right = left + padWidth - 1;
        rect.top = top + RoundHalfAway(float(padHeight - shown) / 2);
        rect.bottom = rect.top + shown - 1;
    } else {
        const int32_t shown = RoundHalfAway(float(width) * fSwatchScale);
        rect.top = top;
        rect.bottom = top + padHeight - 1;
        rect.left = left + RoundHalfAway(float(padWidth - shown) / 2);
        rect.right = rect.left + shown - 1;
    }
    return rect;
}

void StyleWnd::Draw()
{
    QV_Graphics* graphics = GetGraphics();
    if (!graphics)
        return;
    const QV_Rect bounds = Bounds();
    graphics->SetColorStruct(WindowBackground);
    graphics->FillRect(bounds.left, bounds.top, bounds.right, bounds.bottom);
    QV_DockingView::Draw();
    const QV_Rect rect = PictureRect();
    if (rect.right < rect.left || !(graphics = GetGraphics()))
        return;
    graphics->SetColorStruct(WindowBackground);
    graphics->FillRect(rect.left, rect.top, rect.right, rect.bottom);
    if (RectWidth(rect) == gSwatchImage.Width() && RectHeight(rect) == gSwatchImage.Height())
        graphics->DrawImage(&gSwatchImage.buffer, float(rect.left), float(rect.top));
    else
        graphics->DrawImageScaled(&gSwatchImage.buffer, float(rect.left), float(rect.top), float(RectWidth(rect)),
            float(RectHeight(rect)));
    graphics->SetColor(0, 0, 0, 255);
    graphics->FrameRect(rect.left - 1, rect.top - 1, rect.right + 1, rect.bottom + 1);
}

void StyleWnd::PickerPress(int32_t x, int32_t y, bool left, bool right, int32_t modifiers)
{
    const QV_Rect rect = PictureRect();
    if (gSwatchImage.Width() <= 0 || x < rect.left || x > rect.right || y < rect.top || y > rect.bottom)
        return;
    fPicking = true;
    if (!PrepareUndo())
        return;
    PickAt(x, y, left, right, modifiers);
}

void StyleWnd::PickerMove(int32_t x, int32_t y, bool left, bool right, int32_t modifiers)
{
    if (fPicking && (left || right))
        PickAt(x, y, left, right, modifiers);
}

void StyleWnd::PickerRelease()
{
    fPicking = false;
}

void StyleWnd::PickAt(int32_t x, int32_t y, bool left, bool right, int32_t modifiers)
{
    const QV_Rect rect = PictureRect();
    const QV_PixelBuffer& picture = gSwatchImage.buffer;
    if (picture.width <= 0)
        return;
    const int32_t column = std::clamp(RoundHalfAway(float(x - rect.left) / fSwatchScale), 0, picture.width - 1);
    const int32_t row = std::clamp(RoundHalfAway(float(y - rect.top) / fSwatchScale), 0, picture.height - 1);
    const uint8_t* pixel = picture.pixels + size_t(row) * size_t(picture.rowBytes) + size_t(column) * 4;
    QV_ColorSwatch* target = nullptr;
    int32_t message = 0;
    if (right || modifiers != 0) {
        target = fLineSwatch;
        message = 8007;
    } else if (left) {
        target = fFillSwatch;
        message = 8003;
    }
    if (!target || !target->IsEnabled())
        return;
    target->SetValue(rgb_color { pixel[2], pixel[1], pixel[0], target->Value().a });
    PostMessage(message);
}

void StyleWnd::HandleMessage(QV_Message* message)
{
    if (!message)
        return;
    // The mesh forgets the published shape when it deletes it: the panel must not keep it.
    KeepShownShape(false);
    const int32_t what = message->fWhat;
    switch (what) {
    case 1006:
        Refresh();
        return;
    case 8100:
        ChooseShape(what);
        return;
    case 8001:
        if (fNameField) {
            QV_String name(fNameField->Value());
            name.RemoveChar('"');
            if (fShape != gNewShapeDefaults && !PrepareUndo())
                return;
            fShape->fName = name;
            fNameField->SetValue(name.CString());
            Notify(1006);
        }
        return;
    case 8002:
        if (!PrepareUndo())
            return;
        fShape->fHasFill = fFillBox->Value();
        Notify(1001);
        UpdateWidgets();
        return;
    case 8006:
        if (!PrepareUndo())
            return;
        fShape->fHasOutline = fLineBox->Value();
        Notify(1001);
        UpdateWidgets();
        return;
    case 8003:
    case 8007:
        SetColor(what == 8007);
        return;
    case 8008:
        SetWidth();
        return;
    case 8004:
        EditEffect(0);
        return;
    case 8005:
        EditEffect(1);
        return;
    case 8009:
        EditEffect(2);
        return;
    case 8015:
        Copy();
        return;
    case 8016:
        if (fClipShape)
            Paste();
        return;
    case 8017:
        Reset();
        return;
    case 8018: {
        QV_String path;
        if (message->FindString("path", path))
            LoadSwatch(path.CString());
        else
            RunOpenFileDialog(Localize("/Windows/Style/SelectImage=Select Image"), this, Window(), 8018,
                "Image Files", ImageOpenFilter.CString());
        return;
    }
    case 8019:
        SwitchLayout();
        return;
    default:
        break;
    }
    if (what >= 8101 && what <= 8199) {
        if (fShapePopup)
            ChooseShape(what);
        return;
    }
    if (what >= kNoShapeStyleId && what <= 10213) {
        EffectChosen(what);
        return;
    }
    if (what >= 8500 && what <= 8599) {
        const QV_String name = gSwatchMenu ? gSwatchMenu->FirstCheckedLabel() : QV_String();
        if (!name.IsEmpty()) {
            QV_Path path = SwatchesFolder();
            path.Append(name.CString());
            LoadSwatch(path.CString());
        }
        return;
    }
    if (fMainWindow && what != 0)
        fMainWindow->HandleMessage(message);
}
