// Note layers: the new note, its text, its record inside documents (long texts, quotes, hostile
// input), the box the editor draws and the render item's half-opacity fill.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

#include "grouplayer.h"
#include "interface_colors.h"
#include "interface_fonts.h"
#include "layerfactory.h"
#include "notelayer.h"
#include "qv_baseimage.h"
#include "qv_font.h"
#include "qv_memstream.h"
#include "raster_fill.h"
#include "render_job.h"
#include "render_settings.h"
#include "vorn_test_support.h"
#include "vorndoc.h"
#include "xgraphics.h"

namespace {

const std::string kHeader = "application/x-vnd.qv_vorndoc\nversion 19\n";

std::string WriteDoc(VornDoc& doc)
{
    QV_MemStream stream;
    stream.Open(0);
    doc.Write(nullptr, &stream);
    return StreamText(stream);
}

std::unique_ptr<VornDoc> ReadDoc(const std::string& text, std::string* error = nullptr)
{
    QV_MemStream stream;
    FillStream(stream, text);
    std::unique_ptr<VornDoc> doc(new VornDoc(&stream));
    if (error)
        *error = stream.fError.CString();
    return doc;
}

rgb_color PixelOf(const QV_PixelBuffer& raster, int32_t x, int32_t y)
{
    const uint8_t* p = raster.pixels + y * raster.rowBytes + x * 4;
    return rgb_color { p[2], p[1], p[0], p[3] };
}

// The bounds of every pixel that differs from the colour; false when none does.
bool ChangedBounds(const QV_PixelBuffer& raster, rgb_color colour, QV_Rect& bounds)
{
    bool any = false;
    for (int32_t y = 0; y < raster.height; y++) {
        for (int32_t x = 0; x < raster.width; x++) {
            const rgb_color c = PixelOf(raster, x, y);
            if (std::memcmp(&c, &colour, 4) == 0)
                continue;
            if (!any)
                bounds = QV_Rect { x, y, x, y };
            bounds = QV_Rect { std::min(bounds.left, x), std::min(bounds.top, y), std::max(bounds.right, x),
                std::max(bounds.bottom, y) };
            any = true;
        }
    }
    return any;
}

// A 32-bit raster of one colour with a plain-mode graphics context on it: world units are the
// raster's pixels, so a layer translated to (x, y) has its origin at pixel (x, y).
struct Canvas {
    Canvas(int32_t width, int32_t height, rgb_color colour)
    {
        image.Allocate(width, height, 32);
        image.GetPixelBuffer(raster);
        FillRaster(raster, colour);
        graphics.SetRaster(&raster);
        graphics.BeginDraw();
    }

    rgb_color Pixel(int32_t x, int32_t y) const { return PixelOf(raster, x, y); }
    bool ChangedBounds(rgb_color colour, QV_Rect& bounds) const
    {
        return ::ChangedBounds(raster, colour, bounds);
    }

    QV_BaseImage image;
    QV_PixelBuffer raster;
    XGraphics graphics;
};

constexpr rgb_color kWhite { 255, 255, 255, 255 };
constexpr rgb_color kClear { 0, 0, 0, 0 };

void Place(NoteLayer& note, float x, float y)
{
    note.fTranslation.SetValue(0, QV_Vector3 { x, y, 0 });
    note.SetCurFrame(0);
}

void DrawNote(NoteLayer& note, Canvas& canvas, int32_t mode, VornLayer* current = nullptr)
{
    note.Draw(nullptr, &canvas.graphics, nullptr, mode, current, nullptr);
}

// The box of a note at the anchor, as the font measures its text.
QV_Rect ExpectedBox(int32_t x, int32_t y, const char* text)
{
    const QV_Font* font = NoteLayer::NoteFont();
    const int32_t w = font->StringWidth(text);
    const int32_t h = font->LineHeight();
    return QV_Rect { x, y, x + w + h + 1, y + h + (h + 1) / 2 };
}

void ExpectRect(const QV_Rect& got, const QV_Rect& want)
{
    EXPECT_EQ(got.left, want.left);
    EXPECT_EQ(got.top, want.top);
    EXPECT_EQ(got.right, want.right);
    EXPECT_EQ(got.bottom, want.bottom);
}

void ExpectColour(rgb_color got, rgb_color want, int tolerance = 0)
{
    EXPECT_NEAR(got.r, want.r, tolerance);
    EXPECT_NEAR(got.g, want.g, tolerance);
    EXPECT_NEAR(got.b, want.b, tolerance);
    EXPECT_NEAR(got.a, want.a, tolerance);
}

// What the fill at alpha 128 leaves over an opaque or a transparent pixel (one step of rounding
// in the blend tables).
uint8_t HalfOver(uint8_t fill, uint8_t under)
{
    return uint8_t((fill * 128 + under * 127 + 127) / 255);
}

} // namespace

TEST(NoteLayer, ANewNoteIsAnEditOnlyNoteWithOneRenderItem)
{
    std::unique_ptr<VornLayer> made(LayerFactory(LT_NOTE));
    ASSERT_NE(made, nullptr);
    ASSERT_EQ(made->LayerType(), LT_NOTE);
    NoteLayer* note = static_cast<NoteLayer*>(made.get());
    EXPECT_STREQ(note->NoteText().CString(), "Empty note.");
    EXPECT_TRUE(note->IsEditOnly());
    EXPECT_EQ(note->CountRenderItems(), 1);
    EXPECT_EQ(note->CountChannels(), 20);
    EXPECT_EQ(note->LayerDuration(), -1);
    EXPECT_FALSE(note->IsGroupType());
}

TEST(NoteLayer, SetNoteTextLeavesOutEveryDoubleQuote)
{
    const struct {
        const char* given;
        const char* kept;
    } cases[] = {
        { "say \"hi\"", "say hi" },
        { "\"\"\"", "" },
        { "plain", "plain" },
        { "", "" },
        { nullptr, "" },
    };
    for (const auto& c : cases) {
        NoteLayer note;
        note.SetNoteText(c.given);
        EXPECT_STREQ(note.NoteText().CString(), c.kept) << (c.given ? c.given : "null");
    }
}

TEST(NoteLayer, NotesReadBackInsideADocumentByteForByte)
{
    const std::string longText(300, 'x');
    VornDoc doc;
    NoteLayer* top = new NoteLayer;
    top->SetName("to do");
    top->SetNoteText(("fix the \"arm\" " + longText).c_str());
    top->fTranslation.SetValue(12, QV_Vector3 { 0.5f, -0.25f, 0 });
    top->SetEditOnly(false);
    doc.AddLayer(top);
    GroupLayer* group = new GroupLayer;
    NoteLayer* inner = new NoteLayer;
    inner->SetNoteText(longText.c_str());
    group->AddLayer(inner);
    doc.AddLayer(group);
    doc.AddLayer(new NoteLayer);

    const std::string text = WriteDoc(doc);
    EXPECT_NE(text.find("\t### note layer values\n\tnote_text \"fix the arm " + longText + "\"\n}\n"),
        std::string::npos);
    std::string error;
    std::unique_ptr<VornDoc> back = ReadDoc(text, &error);
    ASSERT_FALSE(back->fReadFailed) << error;
    ASSERT_EQ(back->CountLayers(), 3);
    ASSERT_EQ(back->Layer(0)->LayerType(), LT_NOTE);
    NoteLayer* readTop = static_cast<NoteLayer*>(back->Layer(0));
    EXPECT_EQ(std::string(readTop->NoteText().CString()), "fix the arm " + longText);
    EXPECT_STREQ(readTop->Name().CString(), "to do");
    EXPECT_FALSE(readTop->IsEditOnly());
    EXPECT_EQ(readTop->fTranslation.CountKeys(), 2);
    ASSERT_EQ(back->Layer(1)->LayerType(), LT_GROUP);
    GroupLayer* readGroup = static_cast<GroupLayer*>(back->Layer(1));
    ASSERT_EQ(readGroup->CountLayers(), 1);
    ASSERT_EQ(readGroup->Layer(0)->LayerType(), LT_NOTE);
    EXPECT_EQ(std::string(static_cast<NoteLayer*>(readGroup->Layer(0))->NoteText().CString()), longText);
    NoteLayer* readNew = static_cast<NoteLayer*>(back->Layer(2));
    EXPECT_STREQ(readNew->NoteText().CString(), "Empty note.");
    EXPECT_TRUE(readNew->IsEditOnly());
    EXPECT_EQ(WriteDoc(*back), text);
}

TEST(NoteLayer, HostileNoteRecordsFailWithTheReadErrorText)
{
    const std::string layer = kHeader + "layer_type 7\n{\n";
    const struct {
        std::string text;
        std::string error;
    } cases[] = {
        { layer + "\tnote_text unquoted\n}\n",
            "Read error at line 5. In code file lib_vorn/notelayer, line " },
        { layer + "\tnote_text \"never closed\n}\n", "Read error at line " },
        { layer + "\tnote_text", "Read error at line 5. In code file lib_vorn/notelayer, line " },
        { layer + "\ttiming_offset 99999999999\n}\n", "Read error at line 5" },
        { layer + "\tparent_bone -\n}\n", "Read error at line 5" },
        { layer + "\torigin 1e999 0\n}\n", "Read error at line 5" },
        { layer + "\ttranslation\n", "Read error at line " },
        { layer + "\tbogus 1\n}\n", "Unknown keyword: bogus at line 5" },
        { layer, "Read error at line " },
    };
    for (const auto& c : cases) {
        std::string error;
        std::unique_ptr<VornDoc> doc = ReadDoc(c.text, &error);
        EXPECT_TRUE(doc->fReadFailed) << c.text;
        EXPECT_EQ(error.rfind(c.error, 0), 0u) << c.text << "\n got: " << error;
    }
}

TEST(NoteLayer, OutlandishValuesReadAndStillDrawAndRender)
{
    NoteLayer far;
    far.fTranslation.SetValue(0, QV_Vector3 { 3e38f, -3e38f, 0 });
    far.fScale.SetValue(0, QV_Vector3 { 0, 0, 0 });
    far.SetNoteText("big");
    QV_MemStream record;
    record.Open(0);
    far.WriteRecord(&record);
    const std::string text = kHeader
        + "layer_type 7\n{\n\tname \"far\"\n\tquality_flags -1\n\tparent_bone 2147483647\n\tmasking -9\n"
          "\tblend_mode 99999\n\ttiming_offset -2147483647\n\torigin -999999999999 999999999999\n\tnote_text "
          "\"\"\n}\n"
          "layer_type 7\n"
        + StreamText(record);
    std::string error;
    std::unique_ptr<VornDoc> doc = ReadDoc(text, &error);
    ASSERT_FALSE(doc->fReadFailed) << error;
    ASSERT_EQ(doc->CountLayers(), 2);
    for (int32_t i = 0; i < doc->CountLayers(); i++) {
        VornLayer* note = doc->Layer(i);
        ASSERT_EQ(note->LayerType(), LT_NOTE);
        for (int32_t mode : { DRAW_BELOW, DRAW_CURRENT, DRAW_EDIT, DRAW_QUICK_PREVIEW }) {
            Canvas canvas(64, 48, kWhite);
            note->Draw(doc.get(), &canvas.graphics, nullptr, mode, note, nullptr);
        }
        Canvas canvas(64, 48, kClear);
        QV_BaseImage target;
        target.Allocate(64, 48, 32);
        QV_PixelBuffer targetRaster;
        target.GetPixelBuffer(targetRaster);
        FillRaster(targetRaster, kClear);
        note->RenderItem(doc.get(), &canvas.graphics, &targetRaster, nullptr, 0, nullptr);
    }
}

TEST(NoteLayer, EveryCutOfADocumentWithNotesReadsOrFailsCleanly)
{
    VornDoc doc;
    NoteLayer* note = new NoteLayer;
    note->SetNoteText(std::string(400, 'n').c_str());
    doc.AddLayer(note);
    doc.AddLayer(new NoteLayer);
    const std::string text = WriteDoc(doc);
    const size_t notes = text.find("layer_type 7");
    ASSERT_NE(notes, std::string::npos);
    for (size_t cut = notes; cut < text.size(); cut += 3) {
        std::string error;
        std::unique_ptr<VornDoc> back = ReadDoc(text.substr(0, cut), &error);
        if (back->fReadFailed) {
            EXPECT_FALSE(error.empty()) << cut;
        }
    }
}

TEST(NoteLayer, AnEmptyNoteDrawsItsBoxAtTheAnchorInScreenPixels)
{
    for (float scale : { 1.0f, 3.0f }) {
        Canvas canvas(120, 80, kWhite);
        NoteLayer note;
        note.SetNoteText("");
        note.fScale.SetValue(0, QV_Vector3 { scale, scale, 1 });
        Place(note, 20, 30);
        DrawNote(note, canvas, DRAW_BELOW);

        const int32_t h = NoteLayer::NoteFont()->LineHeight();
        const QV_Rect want { 20, 30, 20 + h + 1, 30 + h + (h + 1) / 2 };
        QV_Rect drawn;
        ASSERT_TRUE(canvas.ChangedBounds(kWhite, drawn));
        ExpectRect(drawn, want);
        EXPECT_EQ(want.right - want.left + 1, h + 2);
        EXPECT_EQ(want.bottom - want.top + 1, h + (h + 1) / 2 + 1);
        // The frame in the text colour, the inside the tooltip colour at half opacity.
        ExpectColour(canvas.Pixel(want.left, want.top), Text);
        ExpectColour(canvas.Pixel(want.right, want.bottom), Text);
        const rgb_color inside = canvas.Pixel((want.left + want.right) / 2, (want.top + want.bottom) / 2);
        ExpectColour(inside,
            rgb_color { HalfOver(ToolTipBackground.r, 255), HalfOver(ToolTipBackground.g, 255),
                HalfOver(ToolTipBackground.b, 255), 255 },
            1);
    }
}

TEST(NoteLayer, TheTextIsCentredInABoxThatGrowsWithIt)
{
    Canvas canvas(200, 60, kWhite);
    NoteLayer note;
    note.SetNoteText("Fix me");
    Place(note, 10, 8);
    DrawNote(note, canvas, DRAW_QUICK_PREVIEW);

    const QV_Rect want = ExpectedBox(10, 8, "Fix me");
    QV_Rect drawn;
    ASSERT_TRUE(canvas.ChangedBounds(kWhite, drawn));
    ExpectRect(drawn, want);

    // The text lies inside the frame, centred within a pixel or two.
    int32_t textLeft = want.right, textRight = want.left;
    for (int32_t y = want.top + 1; y < want.bottom; y++) {
        for (int32_t x = want.left + 1; x < want.right; x++) {
            if (canvas.Pixel(x, y).r < 64) {
                textLeft = std::min(textLeft, x);
                textRight = std::max(textRight, x);
            }
        }
    }
    ASSERT_LE(textLeft, textRight) << "no text drawn";
    EXPECT_NEAR(textLeft - want.left, want.right - textRight, 3);
}

TEST(NoteLayer, EditAndOnionPassesDrawNoBox)
{
    NoteLayer note;
    Place(note, 30, 30);
    NoteLayer other;
    for (int32_t mode : { DRAW_ONION, DRAW_ONION_CURRENT }) {
        Canvas canvas(80, 60, kWhite);
        DrawNote(note, canvas, mode, &note);
        QV_Rect drawn;
        EXPECT_FALSE(canvas.ChangedBounds(kWhite, drawn)) << mode;
    }
    {
        Canvas canvas(80, 60, kWhite);
        DrawNote(note, canvas, DRAW_EDIT, &other);
        QV_Rect drawn;
        EXPECT_FALSE(canvas.ChangedBounds(kWhite, drawn));
    }
    // The current note shows its origin marker, smoothing back as it was.
    Canvas canvas(80, 60, kWhite);
    canvas.graphics.fZoom = 50;
    canvas.graphics.BeginDraw();
    Place(note, 30.0f / 50, 30.0f / 50);
    DrawNote(note, canvas, DRAW_EDIT, &note);
    EXPECT_FALSE(canvas.graphics.fSmoothing);
    EXPECT_EQ(canvas.graphics.fMatrixDepth, 0);
    QV_Rect drawn;
    ASSERT_TRUE(canvas.ChangedBounds(kWhite, drawn));
    EXPECT_LE(drawn.left, 30);
    EXPECT_GE(drawn.right, 30);
    EXPECT_LT(drawn.right - drawn.left, 20);
}

TEST(NoteLayer, RenderingShowsTheFillAtHalfOpacityAndTheFrameOpaque)
{
    // The layer image of a render shares the graphics raster's size; the output is smaller by
    // the margin on every side.
    const int32_t margin = 6;
    for (bool intoOutput : { false, true }) {
        for (rgb_color under : { kClear, kWhite }) {
            const rgb_color marked { 1, 2, 3, 4 };
            Canvas canvas(140, 70, marked);
            const int32_t side = intoOutput ? 2 * margin : 0;
            QV_BaseImage target;
            target.Allocate(140 - side, 70 - side, 32);
            QV_PixelBuffer targetRaster;
            target.GetPixelBuffer(targetRaster);
            FillRaster(targetRaster, under);
            RenderSettings settings;
            settings.SetDefaults();
            settings.fMargin = margin;

            NoteLayer note;
            Place(note, 9, 20);
            note.RenderItem(nullptr, &canvas.graphics, &targetRaster, nullptr, 0, &settings);

            QV_Rect want = ExpectedBox(9, 20, "Empty note.");
            const int32_t shift = intoOutput ? margin : 0;
            want = QV_Rect { want.left - shift, want.top - shift, want.right - shift, want.bottom - shift };
            QV_Rect drawn;
            ASSERT_TRUE(ChangedBounds(targetRaster, under, drawn));
            ExpectRect(drawn, want);
            auto at = [&targetRaster](int32_t x, int32_t y) { return PixelOf(targetRaster, x, y); };
            ExpectColour(at(want.left, want.top), rgb_color { Text.r, Text.g, Text.b, 255 });
            ExpectColour(at(want.left, want.bottom), rgb_color { Text.r, Text.g, Text.b, 255 });
            const uint8_t alpha = under.a == 0 ? 128 : 255;
            ExpectColour(at(want.left + 2, want.top + 2),
                rgb_color { HalfOver(ToolTipBackground.r, under.r), HalfOver(ToolTipBackground.g, under.g),
                    HalfOver(ToolTipBackground.b, under.b), alpha },
                1);
            // The graphics raster outside the box is left as it was.
            ExpectColour(canvas.Pixel(0, 0), marked);
            ExpectColour(canvas.Pixel(139, 69), marked);
        }
    }
}

TEST(NoteLayer, AFrameRenderLeavesTheNoteOutUntilItsEditOnlyFlagIsCleared)
{
    const int32_t width = 96, height = 64;
    VornDoc doc;
    doc.SetShape(width, height);
    NoteLayer* note = new NoteLayer;
    note->SetNoteText("");
    doc.AddLayer(note);
    // The note's origin is the frame's centre; its fill shows a few pixels right of and below it.
    const int32_t fillX = width / 2 + 3, fillY = height / 2 + 3;
    for (bool editOnly : { true, false }) {
        note->SetEditOnly(editOnly);
        QV_BaseImage image;
        ASSERT_EQ(image.Allocate(width, height, 32), 0);
        RenderSettings settings;
        settings.SetDefaults();
        settings.fDoc = &doc;
        settings.fImage = &image;
        RenderJob job;
        job.fSettings = &settings;
        job.fFrame = settings.fStartFrame;
        int32_t steps = 0;
        while (steps < 100 && job.RenderFrame())
            steps++;
        ASSERT_EQ(job.LastStatus(), 0) << job.LastError().CString();
        QV_PixelBuffer raster;
        image.GetPixelBuffer(raster);
        auto at = [&raster](int32_t x, int32_t y) { return PixelOf(raster, x, y); };
        const rgb_color background = at(2, 2);
        if (editOnly) {
            ExpectColour(at(fillX, fillY), background);
        } else {
            ExpectColour(at(fillX, fillY),
                rgb_color { HalfOver(ToolTipBackground.r, background.r),
                    HalfOver(ToolTipBackground.g, background.g), HalfOver(ToolTipBackground.b, background.b),
                    background.a },
                1);
            ExpectColour(at(width / 2, height / 2), rgb_color { Text.r, Text.g, Text.b, 255 });
        }
    }
}

TEST(NoteLayer, NotesFarOffTheRasterDrawNothingAndLongNotesAreClipped)
{
    for (float x : { -1e30f, 1e30f, -2147483520.0f, 2147483520.0f }) {
        Canvas canvas(50, 40, kWhite);
        NoteLayer note;
        Place(note, x, 10);
        DrawNote(note, canvas, DRAW_BELOW);
        QV_Rect drawn;
        EXPECT_FALSE(canvas.ChangedBounds(kWhite, drawn)) << x;
    }
    Canvas canvas(50, 40, kWhite);
    NoteLayer note;
    note.SetNoteText(std::string(2000, 'w').c_str());
    Place(note, -5, 3);
    DrawNote(note, canvas, DRAW_BELOW);
    QV_Rect drawn;
    ASSERT_TRUE(canvas.ChangedBounds(kWhite, drawn));
    EXPECT_EQ(drawn.left, 0);
    EXPECT_EQ(drawn.top, 3);
    EXPECT_EQ(drawn.right, 49);
}

TEST(NoteLayer, NotesUseTheSecondInterfaceFontOnceTheApplicationHasFonts)
{
    ASSERT_NE(NoteLayer::NoteFont(), nullptr);
    const int32_t fallbackHeight = NoteLayer::NoteFont()->LineHeight();
    CreateInterfaceFonts();
    EXPECT_EQ(NoteLayer::NoteFont(), gMenuFont);
    EXPECT_EQ(gMenuFont->LineHeight(), fallbackHeight);
    DeleteInterfaceFonts();
}
