// The effect edit dialogs on SDL's dummy driver: their widgets against the effects they load
// from and commit into, the live preview, the gradient's stop bar, the texture file and the
// menus of the style panel. `Edit` runs its real modal loop, driven from a timer in the dialog's
// window.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <string>

#include "../toolkit/widget_test_support.h"
#include "gradient_stop.h"
#include "image_file.h"
#include "image_format_registry.h"
#include "interface_colors.h"
#include "meshlayer.h"
#include "plat_simulate.h"
#include "qv_angle_widget.h"
#include "qv_button.h"
#include "qv_check_box.h"
#include "qv_color_swatch.h"
#include "qv_keys.h"
#include "qv_menu.h"
#include "qv_popup_menu.h"
#include "qv_stopwatch.h"
#include "qv_text_control.h"
#include "shape_style_factory.h"
#include "style_adapters.h"
#include "style_dialogs.h"
#include "style_test_support.h"
#include "vorndoc.h"

namespace {

// A document of that height whose current layer shows layerFrame; counts the commits.
class EditDocument : public StubDocument {
public:
    EditDocument(int32_t height, int32_t frame, int32_t layerFrame)
        : StubDocument(height, frame)
        , fLayerFrame(layerFrame)
    {
    }
    int32_t CurrentLayerFrame() override { return fLayerFrame; }
    void StyleEdited() override { fEdits++; }
    int32_t fLayerFrame;
    int32_t fEdits = 0;
};

std::string Record(M_ShapeStyle& style)
{
    QV_MemStream stream;
    WriteToStream(stream, [&](QV_IoStream* s) { style.WriteRecord(s); });
    return StreamText(stream);
}

std::unique_ptr<M_ShapeStyle> NewKind(int32_t index)
{
    return std::unique_ptr<M_ShapeStyle>(NewShapeStyle(10203 + index));
}

// Runs one step inside the dialog's modal loop, from a timer of its window.
struct ModalDriver : public QV_Handler {
    void HandleMessage(QV_Message*) override
    {
        if (fDone || !fDialog)
            return;
        fDone = true;
        fStep(fDialog);
    }
    std::function<void(StyleDlog*)> fStep;
    StyleDlog* fDialog = nullptr;
    bool fDone = false;
};
ModalDriver* gDriver = nullptr;

uint32_t TickNow = 0;
uint32_t FakeTicks()
{
    return TickNow;
}

class StyleDialogTest : public WidgetTest {
protected:
    void SetUp() override
    {
        WidgetTest::SetUp();
        RegisterShapeStyles();
        ImageFormatRegistry::Init();
        StyleDlog::sOpenedHook = [](StyleDlog* dialog) {
            if (!gDriver)
                return;
            gDriver->fDialog = dialog;
            dialog->fWindow->AddTimer(0.01f, gDriver, 1);
        };
    }
    void TearDown() override
    {
        StyleDlog::sOpenedHook = nullptr;
        gDriver = nullptr;
        if (fDialogWindow)
            PlatWindowDestroy(fDialogWindow->fHwnd);
        fDialogWindow = nullptr;
        PumpPending();
        QV_SetStopwatchTickSource(nullptr);
        ImageFormatRegistry::Free();
        WidgetTest::TearDown();
    }
    // The effect's Edit in its modal loop; step runs inside it and must close the dialog.
    int32_t Edit(M_ShapeStyle& style, StyleDocument& doc, std::function<void(StyleDlog*)> step,
        float lineWidth = 0.0f)
    {
        ModalDriver driver;
        driver.fStep = std::move(step);
        gDriver = &driver;
        style.Edit(rgb_color { 200, 40, 40, 255 }, rgb_color { 10, 20, 30, 255 }, lineWidth, nullptr, &doc);
        gDriver = nullptr;
        EXPECT_TRUE(driver.fDone);
        return driver.fDone ? 1 : 0;
    }
    // The dialog of the effect in its window, loaded as DoModal shows it, without the loop.
    template <class D = StyleDlog> D* Open(M_ShapeStyle& style, StyleDocument& doc, float lineWidth = 0.0f)
    {
        StyleDlog* dialog = NewStyleDialog(
            &style, StyleDlogArgs { nullptr, &doc, rgb_color { 200, 40, 40, 255 }, rgb_color { 10, 20, 30, 255 },
                        lineWidth });
        return static_cast<D*>(Show(dialog));
    }
    StyleDlog* Show(StyleDlog* dialog)
    {
        dialog->PrepareLayout();
        dialog->Layout();
        const QV_Rect frame = dialog->Frame();
        fDialogWindow = new QV_DialogWnd(
            dialog, "style", nullptr, 64, 64, 63 + frame.right - frame.left + 1, 63 + frame.bottom - frame.top + 1);
        fWindow = nullptr;
        dialog->ExchangeData(false);
        fDialogWindow->Show();
        PumpPending();
        return dialog;
    }
    static void Changed(StyleDlog* dialog)
    {
        QV_Message changed(kStyleChanged);
        dialog->HandleMessage(&changed);
    }
    // OK as the Return key gives it.
    static void PressOK(StyleDlog* dialog) { dialog->fWindow->KeyDown(KEY_RETURN, 0); }

    QV_DialogWnd* fDialogWindow = nullptr;
};

TEST_F(StyleDialogTest, MenusOfferPlainAndTheFiveKindsWithPlainChecked)
{
    struct Case {
        QV_Menu* menu;
        const char* title;
    };
    for (const Case& c : { Case { BuildFillStyleMenu(), "Fill Style" }, Case { BuildLineStyleMenu(), "Line Style" } }) {
        SCOPED_TRACE(c.title);
        std::unique_ptr<QV_Menu> menu(c.menu);
        const char* labels[7] = { "<plain>", "", "Shaded", "Soft Edge", "Halo", "Gradient", "Image Texture" };
        const int32_t messages[7] = { 10202, 0, 10203, 10205, 10207, 10212, 10213 };
        ASSERT_EQ(menu->CountItems(), 7);
        for (int32_t i = 0; i < 7; ++i) {
            EXPECT_EQ(menu->fLabels[i], labels[i]);
            EXPECT_EQ(menu->fMessages[i], messages[i]);
            EXPECT_EQ(menu->fShortcuts[i], 0);
        }
        EXPECT_EQ(menu->FirstCheckedMsg(), 10202);
    }
}

// In a 480-high document: what the fields show and how OK clamps them, beeping and staying open.
TEST_F(StyleDialogTest, FieldsShowPixelsAndOkClampsEachRangeWithABeep)
{
    EditDocument doc(480, 0, 0);
    {
        auto style = NewKind(kStyleShaded);
        auto* dialog = Open<SS_ShadedDlog>(*style, doc);
        EXPECT_STREQ(dialog->fOffset->Value(), "16");
        EXPECT_STREQ(dialog->fBlur->Value(), "16");
        EXPECT_NEAR(dialog->fAngle->Value() * 180 / 3.1415927f, 135.0f, 0.01f);
        EXPECT_STREQ(dialog->fAngle->fField->Value(), "135.00");
        PlatWindowDestroy(fDialogWindow->fHwnd);
        fDialogWindow = nullptr;
        PumpPending();
    }
    {
        auto style = NewKind(kStyleSoftEdge);
        auto* dialog = Open<SS_SoftDlog>(*style, doc);
        EXPECT_STREQ(dialog->fRadius->Value(), "8");
        PlatWindowDestroy(fDialogWindow->fHwnd);
        fDialogWindow = nullptr;
        PumpPending();
    }
    {
        SS_Shaded tiny(0, 0.4f / 480, 0, rgb_color { 0, 0, 0, 255 });
        auto* dialog = Open<SS_ShadedDlog>(tiny, doc);
        EXPECT_STREQ(dialog->fOffset->Value(), "1");
        PlatWindowDestroy(fDialogWindow->fHwnd);
        fDialogWindow = nullptr;
        PumpPending();
    }

    struct Case {
        int32_t kind;
        std::function<QV_TextControl*(StyleDlog*)> field;
        const char* typed;
        const char* clamped;
    };
    const Case cases[] = {
        { kStyleShaded, [](StyleDlog* d) { return static_cast<SS_ShadedDlog*>(d)->fOffset; }, "300", "256" },
        { kStyleShaded, [](StyleDlog* d) { return static_cast<SS_ShadedDlog*>(d)->fBlur; }, "999", "256" },
        { kStyleSoftEdge, [](StyleDlog* d) { return static_cast<SS_SoftDlog*>(d)->fRadius; }, "257", "256" },
        { kStyleHalo, [](StyleDlog* d) { return static_cast<SS_HaloDlog*>(d)->fInset; }, "0", "1" },
        { kStyleHalo, [](StyleDlog* d) { return static_cast<SS_HaloDlog*>(d)->fInset; }, "31", "30" },
        { kStyleSplotchy, [](StyleDlog* d) { return static_cast<SS_SplotchyDlog*>(d)->fMagnitude; }, "0", "1" },
        { kStyleSplotchy, [](StyleDlog* d) { return static_cast<SS_SplotchyDlog*>(d)->fMagnitude; }, "129", "128" },
        { kStyleSpots, [](StyleDlog* d) { return static_cast<SS_SpotsDlog*>(d)->fLength; }, "1", "2" },
        { kStyleSpots, [](StyleDlog* d) { return static_cast<SS_SpotsDlog*>(d)->fLengthSpacing; }, "3", "4" },
        { kStyleSpots, [](StyleDlog* d) { return static_cast<SS_SpotsDlog*>(d)->fWidthSpacing; }, "1025", "1024" },
        { kStyleSketchy, [](StyleDlog* d) { return static_cast<SS_SketchyDlog*>(d)->fRadius; }, "0", "1" },
        { kStyleSketchy, [](StyleDlog* d) { return static_cast<SS_SketchyDlog*>(d)->fRadius; }, "9", "8" },
        { kStyleAngledPen, [](StyleDlog* d) { return static_cast<SS_AngledPenDlog*>(d)->fRadius; }, "0", "1" },
        { kStyleAngledPen, [](StyleDlog* d) { return static_cast<SS_AngledPenDlog*>(d)->fRadius; }, "9", "8" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.kind) + " " + c.typed);
        auto style = NewKind(c.kind);
        const std::string before = Record(*style);
        StyleDlog* dialog = Open(*style, doc);
        QV_TextControl* field = c.field(dialog);
        field->SetValue(c.typed);
        gBeeps = 0;
        PressOK(dialog);
        EXPECT_STREQ(field->Value(), c.clamped);
        EXPECT_EQ(gBeeps, 1);
        EXPECT_NE(fDialogWindow->fModalResult, MSG_OK);
        EXPECT_EQ(Record(*style), before);
        // The clamped value is valid: a second OK closes the dialog.
        PressOK(dialog);
        EXPECT_EQ(fDialogWindow->fModalResult, MSG_OK);
        EXPECT_EQ(gBeeps, 1);
        PlatWindowDestroy(fDialogWindow->fHwnd);
        fDialogWindow = nullptr;
        PumpPending();
    }
}

// Edit in its real loop: Cancel after changes leaves every kind's record as it was, OK after
// the same changes stores them and tells the document.
TEST_F(StyleDialogTest, CancelKeepsEveryKindByteForByteAndOkCommits)
{
    // A change to a widget of each kind, made as a user would, and announced.
    const std::function<void(StyleDlog*)> changes[kStyleKindCount] = {
        [](StyleDlog* d) { static_cast<SS_ShadedDlog*>(d)->fShadowOnly->SetValue(true); },
        [](StyleDlog* d) { static_cast<SS_SplotchyDlog*>(d)->fMagnitude->SetValue("77"); },
        [](StyleDlog* d) { static_cast<SS_SoftDlog*>(d)->fRadius->SetValue("40"); },
        [](StyleDlog* d) { static_cast<SS_SpotsDlog*>(d)->fColor->SetValue(rgb_color { 1, 2, 3, 4 }); },
        [](StyleDlog* d) { static_cast<SS_HaloDlog*>(d)->fHaloOnly->SetValue(true); },
        [](StyleDlog* d) { static_cast<SS_GradientDlog*>(d)->fRadial->SetValue(true); },
        [](StyleDlog* d) {
            QV_Message chosen(TextureDlog::kChooseImage);
            chosen.AddString("path", "/tmp/elsewhere.png");
            d->HandleMessage(&chosen);
        },
        [](StyleDlog* d) { static_cast<SS_SketchyDlog*>(d)->fRadius->SetValue("5"); },
        [](StyleDlog* d) { static_cast<SS_AngledPenDlog*>(d)->fAngle->SetValue(1.0f); },
        [](StyleDlog* d) {
            auto* g = static_cast<SS_Gradient2Dlog*>(d);
            g->fType->Menu()->UncheckAll();
            g->fType->Menu()->SetChecked(8002, true);
        },
        [](StyleDlog* d) {
            QV_Message mode(TextureDlog::kSecondMode);
            static_cast<TextureDlog*>(d)->fSecond->SetValue(true);
            d->HandleMessage(&mode);
        },
    };
    for (int32_t kind = 0; kind < kStyleKindCount; ++kind) {
        SCOPED_TRACE(kind);
        auto style = NewKind(kind);
        if (kind == kStyleTexture)
            static_cast<SS_Texture&>(*style).fSource.SetPath("/tmp/before.png");
        if (kind == kStyleTexture2)
            static_cast<SS_Texture2&>(*style).fSource.SetPath("/tmp/before.png");
        const std::string before = Record(*style);
        EditDocument doc(480, 3, 3);
        Edit(*style, doc, [&](StyleDlog* d) {
            changes[kind](d);
            Changed(d);
            d->fWindow->KeyDown(KEY_ESCAPE, 0);
        });
        EXPECT_EQ(Record(*style), before);
        EXPECT_EQ(doc.fEdits, 0);

        Edit(*style, doc, [&](StyleDlog* d) {
            changes[kind](d);
            Changed(d);
            PressOK(d);
        });
        EXPECT_NE(Record(*style), before);
        EXPECT_EQ(doc.fEdits, 1);
    }
}

TEST_F(StyleDialogTest, AnimatedValuesAreKeyedAtTheLayerFrameAndTheGradientAtTheDocumentFrame)
{
    EditDocument doc(480, 5, 12);
    SS_Shaded shaded;
    Edit(shaded, doc, [](StyleDlog* d) {
        static_cast<SS_ShadedDlog*>(d)->fOffset->SetValue("48");
        Changed(d);
        PressOK(d);
    });
    EXPECT_NEAR(shaded.fOffset.GetValue(12), 0.1f, 1e-6f);
    EXPECT_NEAR(shaded.fOffset.GetValue(0), 16.0f / 480, 1e-6f);
    EXPECT_EQ(shaded.fOffset.fKeyCount, 2);

    SS_Gradient gradient;
    Edit(gradient, doc, [](StyleDlog* d) {
        static_cast<SS_GradientDlog*>(d)->fColor1->SetValue(rgb_color { 255, 0, 0, 255 });
        Changed(d);
        PressOK(d);
    });
    EXPECT_EQ(gradient.fColor1.fKeyCount, 2);
    EXPECT_EQ(gradient.fColor1.fKeyFrames[1], 5);
}

// The real document through its adapter: OK empties the undo history and marks it modified;
// Cancel changes neither. A document without layers keys at its own frame.
TEST_F(StyleDialogTest, OkEmptiesTheDocumentsUndoAndMarksItModified)
{
    VornDoc doc;
    auto* layer = new MeshLayer();
    doc.AddLayer(layer);
    doc.PrepUndo(layer);
    doc.fDirty = false;
    ASSERT_EQ(doc.fUndoLevel, 1);
    VornDocStyleAdapter adapter(&doc);
    SS_Soft soft;
    Edit(soft, adapter, [](StyleDlog* d) {
        static_cast<SS_SoftDlog*>(d)->fRadius->SetValue("30");
        d->fWindow->KeyDown(KEY_ESCAPE, 0);
    });
    EXPECT_EQ(doc.fUndoLevel, 1);
    EXPECT_FALSE(doc.fDirty);
    Edit(soft, adapter, [](StyleDlog* d) {
        static_cast<SS_SoftDlog*>(d)->fRadius->SetValue("30");
        PressOK(d);
    });
    EXPECT_EQ(doc.fUndoLevel, 0);
    EXPECT_EQ(doc.fUndoObjects[0][0], nullptr);
    EXPECT_TRUE(doc.fDirty);

    VornDoc empty;
    empty.SetCurFrame(7);
    VornDocStyleAdapter emptyAdapter(&empty);
    EXPECT_EQ(emptyAdapter.CurrentLayerFrame(), 7);
    SS_Halo halo;
    Edit(halo, emptyAdapter, [](StyleDlog* d) {
        static_cast<SS_HaloDlog*>(d)->fBlur->SetValue("9");
        PressOK(d);
    });
    EXPECT_EQ(halo.fBlurRadius.fKeyCount, 2);
    EXPECT_EQ(halo.fBlurRadius.fKeyFrames[1], 7);
}

// The preview on its own: sample shape, background, outline and a do-nothing effect.
TEST_F(StyleDialogTest, PreviewDrawsTheSampleInItsColourOverATransparentBackground)
{
    StubDocument doc(480);
    const rgb_color sample { 200, 40, 40, 255 };
    auto render = [&](M_ShapeStyle* style, float width) {
        auto raster = std::make_unique<TestRaster>(180, 180);
        QV_BaseImage sampleImage;
        QV_BaseImage work;
        RenderStylePreview(style, &doc, sample, rgb_color { 10, 20, 30, 255 }, width, sampleImage, work, *raster->Buffer());
        return raster;
    };
    // The preview keeps the target's alpha, which the background made 0: colours tell.
    const rgb_color back { 10, 20, 30, 0 };
    auto rgb = [](rgb_color c) { return c.r << 16 | c.g << 8 | c.b; };
    auto filled = render(nullptr, 0.0f);
    EXPECT_EQ(rgb(filled->At(89, 89)), rgb(sample));
    EXPECT_EQ(rgb(filled->At(34, 89)), rgb(sample));
    EXPECT_EQ(rgb(filled->At(145, 89)), rgb(sample));
    EXPECT_EQ(rgb(filled->At(89, 34)), rgb(sample));
    EXPECT_EQ(rgb(filled->At(30, 89)), rgb(back));
    EXPECT_EQ(rgb(filled->At(89, 149)), rgb(back));
    for (int32_t x = 0; x < 180; x += 11)
        EXPECT_EQ(filled->At(x, 89).a, 0);

    auto outline = render(nullptr, 0.000001f);
    EXPECT_EQ(rgb(outline->At(89, 89)), rgb(back));
    auto thick = render(nullptr, 6.0f);
    EXPECT_EQ(rgb(thick->At(89, 89)), rgb(back));
    EXPECT_EQ(rgb(thick->At(32, 89)), rgb(sample));
    EXPECT_EQ(rgb(thick->At(89, 32)), rgb(sample));

    // A texture without an image does nothing: the plain sample.
    SS_Texture2 texture;
    auto plain = render(&texture, 0.0f);
    for (int32_t y = 0; y < 180; y += 7)
        for (int32_t x = 0; x < 180; x += 7)
            ASSERT_TRUE(SameColor(plain->At(x, y), filled->At(x, y))) << x << "," << y;
    // An effect changes it.
    SS_Shaded shaded;
    auto shadedPreview = render(&shaded, 0.0f);
    EXPECT_NE(rgb(shadedPreview->At(125, 125)), rgb(sample));
    EXPECT_EQ(rgb(shadedPreview->At(60, 60)), rgb(sample));
}

TEST_F(StyleDialogTest, EveryChangeRedrawsThePreviewWithTheWorkingCopy)
{
    EditDocument doc(480, 0, 0);
    SS_Shaded style;
    auto* dialog = Open<SS_ShadedDlog>(style, doc);
    const QV_Rect r = dialog->fPreview->FrameInLayer();
    auto at = [&](int32_t x, int32_t y) {
        const uint8_t* p = dialog->fImage.buffer.pixels + int64_t(r.top + y) * dialog->fImage.buffer.rowBytes
            + 4 * (r.left + x);
        return uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
    };
    const uint32_t before = at(60, 120);
    const int32_t renders = dialog->fPreviewRenders;
    dialog->fShadowOnly->SetValue(true);
    Changed(dialog);
    EXPECT_GT(dialog->fPreviewRenders, renders);
    EXPECT_NE(at(60, 120), before);
    // The copy changed, the real style not.
    EXPECT_TRUE(dialog->fCopy.fShadowOnly);
    EXPECT_FALSE(style.fShadowOnly);
}

// A gradient dialog whose picker is counted rather than opened.
class CountingGradientDlog : public SS_Gradient2Dlog {
public:
    using SS_Gradient2Dlog::SS_Gradient2Dlog;
    void OpenStopPicker() override { fPickers++; }
    int32_t fPickers = 0;
};

class StopBarTest : public StyleDialogTest {
protected:
    CountingGradientDlog* OpenBar(SS_Gradient2& style, int32_t layerFrame = 0)
    {
        fDoc = std::make_unique<EditDocument>(480, 0, layerFrame);
        auto* dialog = new CountingGradientDlog(
            StyleDlogArgs { nullptr, fDoc.get(), rgb_color { 0, 0, 0, 255 }, rgb_color { 0, 0, 0, 255 }, 0.0f },
            &style);
        Show(dialog);
        const QV_Rect bar = dialog->BarRect();
        fLeft = bar.left;
        fRight = bar.right;
        fRow = bar.bottom + 10;
        return dialog;
    }
    int32_t XAt(float t) const { return fLeft + int32_t(std::lround(t * float(fRight - fLeft))); }
    static std::vector<float> Positions(SS_Gradient2Dlog* d)
    {
        std::vector<float> out;
        for (int32_t i = 0; i < d->fCopy.CountStops(); ++i)
            out.push_back(d->fCopy.Stop(i)->fPosition.value);
        return out;
    }
    void Press(SS_Gradient2Dlog* d, int32_t x, int32_t modifiers = 0) { d->MouseDown(x, fRow, 1, modifiers, nullptr); }
    void Release(SS_Gradient2Dlog* d, int32_t x) { d->MouseUp(x, fRow, 1, 0, nullptr); }

    std::unique_ptr<EditDocument> fDoc;
    int32_t fLeft = 0;
    int32_t fRight = 0;
    int32_t fRow = 0;
};

TEST_F(StopBarTest, APressAwayAddsAStopWithTheColourThereAndADragResorts)
{
    SS_Gradient2 style;
    auto* d = OpenBar(style);
    ASSERT_EQ(d->fCopy.CountStops(), 2);
    EXPECT_TRUE(d->fCopy.Stop(0)->fSelected);
    const int32_t x = fLeft + 64;
    const float t = float(x - fLeft) / float(fRight - fLeft);
    const rgb_color expected = d->fCopy.ColourAt(t).AsColorStruct();
    Press(d, x);
    ASSERT_EQ(d->fCopy.CountStops(), 3);
    GradientStop* added = d->fCopy.Stop(1);
    EXPECT_FLOAT_EQ(added->fPosition.value, t);
    EXPECT_TRUE(SameColor(added->fColor.value, expected));
    EXPECT_TRUE(added->fSelected);
    EXPECT_FALSE(d->fCopy.Stop(0)->fSelected);
    EXPECT_TRUE(SameColor(d->fColor->Value(), expected));

    // Dragged across the stop at 0.5, it sorts behind it and the drag follows it.
    d->fCopy.AppendStop(new GradientStop(0.5f, rgb_color { 9, 9, 9, 255 }));
    d->fCopy.SortStops();
    ASSERT_EQ(d->fCopy.Stop(1), added);
    d->MouseMoved(XAt(0.75f), fRow, 0, nullptr);
    EXPECT_EQ(d->fCopy.Stop(2), added);
    EXPECT_FLOAT_EQ(added->fPosition.value, float(XAt(0.75f) - fLeft) / float(fRight - fLeft));
    d->MouseMoved(fRight + 20, fRow, 0, nullptr);
    EXPECT_EQ(Positions(d), (std::vector<float> { 0.0f, 0.5f, 1.0f, 1.0f }));
    d->MouseMoved(XAt(0.25f), fRow, 0, nullptr);
    EXPECT_EQ(d->fCopy.Stop(1), added);
    Release(d, XAt(0.25f));
    EXPECT_EQ(d->fDragStop, nullptr);
    // The real style is untouched until OK.
    EXPECT_EQ(style.CountStops(), 2);
    PressOK(d);
    EXPECT_EQ(fDialogWindow->fModalResult, MSG_OK);
    EXPECT_EQ(style.CountStops(), 4);
}

// The bar shows the blend over its width, each stop's marker in its colour below it, and a filled
// triangle only over the selected stop.
TEST_F(StopBarTest, TheBarDrawsTheBlendAndTheMarkers)
{
    SS_Gradient2 style;
    auto* d = OpenBar(style);
    const QV_Rect bar = d->BarRect();
    auto at = [&](int32_t x, int32_t y) {
        const uint8_t* p = d->fImage.buffer.pixels + int64_t(y) * d->fImage.buffer.rowBytes + 4 * x;
        return uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
    };
    auto packed = [](rgb_color c) { return uint32_t(c.r) << 16 | uint32_t(c.g) << 8 | c.b; };
    EXPECT_EQ(at(bar.left, bar.top + 3), 0xFFFFFFu);
    EXPECT_EQ(at(bar.right, bar.top + 3), 0x000000u);
    const uint32_t middle = at((bar.left + bar.right) / 2, bar.top + 3) & 0xFF;
    EXPECT_NEAR(double(middle), 128.0, 2.0);
    EXPECT_EQ(at(bar.left - 1, bar.top + 3), packed(WidgetOutline));
    // Markers: white under the first stop, black under the last.
    EXPECT_EQ(at(bar.left + 2, bar.bottom + 12), 0xFFFFFFu);
    EXPECT_EQ(at(bar.right - 2, bar.bottom + 12), 0x000000u);
    EXPECT_EQ(at(bar.left, bar.bottom + 5), packed(WidgetOutline));
    EXPECT_EQ(at(bar.right, bar.bottom + 5), packed(WindowBackground));
}

TEST_F(StopBarTest, AltCopiesTheHitStopAndAwayFromStopsAddsOne)
{
    SS_Gradient2 style;
    auto* d = OpenBar(style);
    Press(d, XAt(1.0f), 4);
    ASSERT_EQ(d->fCopy.CountStops(), 3);
    EXPECT_EQ(Positions(d), (std::vector<float> { 0.0f, 1.0f, 1.0f }));
    EXPECT_TRUE(SameColor(d->fCopy.Stop(2)->fColor.value, rgb_color { 0, 0, 0, 255 }));
    EXPECT_EQ(d->fDragStop, d->fCopy.Stop(2));
    Release(d, XAt(1.0f));
    Press(d, XAt(0.5f), 4);
    EXPECT_EQ(d->fCopy.CountStops(), 4);
    EXPECT_FLOAT_EQ(d->fCopy.Stop(1)->fPosition.value, float(XAt(0.5f) - fLeft) / float(fRight - fLeft));
}

TEST_F(StopBarTest, DeleteKeepsTwoStopsAndEndsTheDragOfARemovedStop)
{
    SS_Gradient2 style;
    auto* d = OpenBar(style);
    d->KeyDown(KEY_DELETE, 0);
    EXPECT_EQ(d->fCopy.CountStops(), 2);
    Press(d, XAt(0.5f));
    ASSERT_EQ(d->fCopy.CountStops(), 3);
    // Deleted while still held: the drag and the press count end with it.
    d->KeyDown(KEY_BACKSPACE, 0);
    EXPECT_EQ(d->fCopy.CountStops(), 2);
    EXPECT_EQ(d->fDragStop, nullptr);
    EXPECT_EQ(d->fLastPressed, nullptr);
    d->MouseMoved(XAt(0.9f), fRow, 0, nullptr);
    EXPECT_EQ(Positions(d), (std::vector<float> { 0.0f, 1.0f }));
}

TEST_F(StopBarTest, ASecondPressReleasedWithinASecondOpensThePicker)
{
    QV_SetStopwatchTickSource(FakeTicks);
    TickNow = 1000;
    SS_Gradient2 style;
    auto* d = OpenBar(style);
    Press(d, XAt(1.0f));
    Release(d, XAt(1.0f));
    TickNow += 400;
    Press(d, XAt(1.0f));
    TickNow += 300;
    Release(d, XAt(1.0f));
    EXPECT_EQ(d->fPickers, 1);

    // Too slow, or on another stop: no picker.
    TickNow += 5000;
    Press(d, XAt(0.0f));
    Release(d, XAt(0.0f));
    TickNow += 1200;
    Press(d, XAt(0.0f));
    Release(d, XAt(0.0f));
    Press(d, XAt(1.0f));
    Release(d, XAt(1.0f));
    EXPECT_EQ(d->fPickers, 1);

    // The swatch's new colour goes to the selected stop.
    d->fColor->SetValue(rgb_color { 0, 255, 0, 255 });
    QV_Message colour(SS_Gradient2Dlog::kStopColor);
    d->HandleMessage(&colour);
    EXPECT_TRUE(SameColor(d->fCopy.Stop(1)->fColor.value, rgb_color { 0, 255, 0, 255 }));
    EXPECT_TRUE(SameColor(d->fCopy.Stop(0)->fColor.value, rgb_color { 255, 255, 255, 255 }));
}

TEST_F(StopBarTest, TheTypePopupSetsTheType)
{
    SS_Gradient2 style;
    auto* d = OpenBar(style);
    EXPECT_EQ(d->fType->Menu()->FirstCheckedMsg(), 8000);
    for (int32_t type = 3; type >= 0; --type) {
        d->fType->Menu()->UncheckAll();
        d->fType->Menu()->SetChecked(8000 + type, true);
        QV_Message chosen(8000 + type);
        d->HandleMessage(&chosen);
        EXPECT_EQ(d->fCopy.fType, type);
    }
}

// A gradient read without stops: nothing is selected, and the first stop made is keyed at the
// frame the dialog works at.
TEST_F(StopBarTest, AGradientWithoutStopsKeysItsFirstStopAtTheWorkingFrame)
{
    SS_Gradient2 style;
    style.DeleteAllStops();
    auto* d = OpenBar(style, 9);
    EXPECT_EQ(d->fCopy.CountStops(), 0);
    Press(d, XAt(0.5f));
    ASSERT_EQ(d->fCopy.CountStops(), 1);
    GradientStop* stop = d->fCopy.Stop(0);
    EXPECT_TRUE(SameColor(stop->fColor.value, rgb_color { 255, 255, 255, 255 }));
    EXPECT_EQ(stop->fPosition.GetCurFrame(), 9);
    EXPECT_EQ(stop->fPosition.fKeyFrames[stop->fPosition.fKeyCount - 1], 9);
}

TEST_F(StyleDialogTest, TexturesTakeAChosenFileAndSwitchModes)
{
    const std::string dir = ::testing::TempDir();
    const std::string path = dir + "/style_texture_green.png";
    {
        QV_BaseImage image;
        ASSERT_EQ(image.Allocate(8, 8, 32), 0);
        FillRaster(image.buffer, rgb_color { 0, 255, 0, 255 });
        ASSERT_EQ(SaveImageFile(image, path.c_str(), PngWriterIndex), 0);
    }
    EditDocument doc(480, 0, 0);
    SS_Texture2 style;
    auto* d = Open<SS_Texture2Dlog>(style, doc);
    EXPECT_TRUE(d->fTile->Value());
    EXPECT_FALSE(d->fSecond->Value());
    QV_Message chosen(TextureDlog::kChooseImage);
    chosen.AddString("path", path.c_str());
    d->HandleMessage(&chosen);
    EXPECT_EQ(d->fChoose->fLabel, "style_texture_green.png");
    const QV_Rect r = d->fPreview->FrameInLayer();
    const uint8_t* centre = d->fImage.buffer.pixels + int64_t(r.top + 89) * d->fImage.buffer.rowBytes + 4 * (r.left + 89);
    EXPECT_EQ(centre[2], 0);
    EXPECT_EQ(centre[1], 255);

    d->fSecond->SetValue(true);
    QV_Message second(TextureDlog::kSecondMode);
    d->HandleMessage(&second);
    EXPECT_FALSE(d->fTile->Value());
    EXPECT_EQ(d->fCopy.fSource.fFillMode, 1);
    d->fTile->SetValue(true);
    QV_Message first(TextureDlog::kFirstMode);
    d->HandleMessage(&first);
    EXPECT_FALSE(d->fSecond->Value());
    EXPECT_EQ(d->fCopy.fSource.fFillMode, 0);
}

class RefusingTextureDlog : public SS_TextureDlog {
public:
    using SS_TextureDlog::SS_TextureDlog;
    void ShowRefusedPath(const char* path) override { fRefused = path; }
    std::string fRefused;
};

// A path a document cannot store is refused with a message and the previous path stays.
TEST_F(StyleDialogTest, ATexturePathWithADoubleQuoteIsRefusedAndTheOldPathKept)
{
    EditDocument doc(480, 0, 0);
    SS_Texture style;
    style.fSource.SetPath("/tmp/old.png");
    auto* d = static_cast<RefusingTextureDlog*>(Show(new RefusingTextureDlog(
        StyleDlogArgs { nullptr, &doc, rgb_color { 0, 0, 0, 255 }, rgb_color { 0, 0, 0, 255 }, 0.0f }, &style)));
    QV_Message chosen(TextureDlog::kChooseImage);
    chosen.AddString("path", "/tmp/a\"b.png");
    d->HandleMessage(&chosen);
    EXPECT_EQ(d->fRefused, "/tmp/a\"b.png");
    EXPECT_EQ(d->fCopy.fSource.fPath, "/tmp/old.png");
    EXPECT_EQ(d->fChoose->fLabel, "old.png");
    PressOK(d);
    EXPECT_EQ(style.fSource.fPath, "/tmp/old.png");
}

} // namespace
