// A real window on a private X server, driven from outside as a person
// would: typed into with xdotool, its clipboard read with xclip, its pixels
// taken from a screenshot.
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

#include "frame_test_support.h"
#include "interface_fonts.h"
#include "plat_beep.h"
#include "plat_clipboard.h"
#include "plat_pump.h"
#include "plat_time.h"
#include "plat_window.h"
#include "png_codec.h"
#include "qv_app.h"
#include "qv_baseimage.h"
#include "qv_graphics.h"
#include "qv_keys.h"
#include "qv_layer.h"
#include "qv_platform_image.h"
#include "qv_random.h"
#include "qv_view.h"
#include "qv_wnd.h"
#include "scoped_env.h"
#include "toolkit_startup.h"
#include "xvfb_session.h"

namespace {

// The smallest text field: takes the focus, keeps what is typed, copies it
// with Ctrl+C.
class TypingField : public QV_View {
public:
    TypingField()
        : QV_View(0)
    {
        MoveTo(20, 20);
        ResizeTo(360, 40);
    }
    bool AcceptsFocus() override { return true; }
    void MouseDown(int32_t, int32_t, int32_t, int32_t, QV_Message*) override { clicks++; }
    void KeyDown(int32_t key, int32_t modifiers) override
    {
        if ((modifiers & MODIFIER_CTRL) && key == 'c') {
            Window()->CopyTextToClipboard(text.c_str());
            copies++;
            return;
        }
        if (key >= 32 && key <= 126 && !(modifiers & (MODIFIER_CTRL | MODIFIER_ALT))) {
            text += char(key);
            Draw();
            Refresh();
        }
    }
    void Draw() override
    {
        QV_Graphics* graphics = GetGraphics();
        if (!graphics)
            return;
        graphics->SetColor(255, 255, 255);
        graphics->FillRect(0, 0, 359, 39);
        graphics->SetColor(0, 0, 0);
        graphics->SetFont(gWidgetFont);
        graphics->MoveTo(6, 20);
        graphics->DrawText(text.c_str(), 4);
        graphics->EndDraw();
    }
    std::string text;
    int clicks = 0;
    int copies = 0;
};

// Reads a PNG file into 0xAARRGGBB pixels; false when it is not one.
bool ReadPngFile(const std::string& path, int& width, int& height, std::vector<uint32_t>& pixels)
{
    PngReadContext* context = nullptr;
    bool alpha = false;
    if (!OpenPng(path.c_str(), &context, &width, &height, &alpha))
        return false;
    pixels.assign(size_t(width) * height, 0);
    QV_PixelBuffer raster { reinterpret_cast<uint8_t*>(pixels.data()), width, height, 32, 4, width * 4 };
    return ReadPngRows(context, raster);
}

uint32_t ImagePixel(const QV_PixelBuffer& raster, int32_t x, int32_t y)
{
    const uint8_t* p = raster.pixels + int64_t(y) * raster.rowBytes + 4 * x;
    return 0xFF000000u | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
}

class XvfbWindowTest : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        for (const char* tool : { "xdotool", "xclip", "import" }) {
            if (!HasProgram(tool))
                GTEST_SKIP() << tool << " is not installed (tools/install-deps.sh test brings it)";
        }
        std::string why;
        if (!fScreen.Start(why))
            GTEST_SKIP() << "no X server could be started: " << why;
        ToolkitStartup();
        fStarted = true;
    }
    void TearDown() override
    {
        if (fStarted)
            ToolkitShutdown();
    }
    // Handles events for a while, or until done says so.
    static bool PumpUntil(const std::function<bool()>& done, uint32_t ms = 5000)
    {
        const uint32_t start = PlatTickCount();
        while (!done()) {
            if (PlatTickCount() - start > ms)
                return false;
            PlatPumpMessageWithin(10);
        }
        return true;
    }
    static void PumpAWhile()
    {
        PumpUntil([] { return false; }, 50);
    }
    // A tool run while the window keeps answering.
    int Run(const std::vector<std::string>& args, const std::string& output = "")
    {
        return RunProgram(args, output.empty() ? "" : fRoot.File(output), [] { PlatPumpMessageWithin(5); });
    }

    PrivateDisplay fScreen;
    bool fStarted = false;
};

} // namespace

TEST_F(XvfbWindowTest, TypingCopyingAndTheScreenShowWhatTheToolkitDid)
{
    EXPECT_FALSE(gTabletPresent); // Xvfb has no pen

    auto* window = new QV_Wnd(0, "Celvane typing", false, nullptr, 0, 0, 399, 299);
    ASSERT_NE(window->fHwnd, nullptr);
    auto* layer = new QV_Layer(FOLLOW_LEFT | FOLLOW_TOP);
    layer->ResizeTo(400, 300);
    auto* field = new TypingField;
    layer->AddView(field);
    window->AddLayer(layer);
    // On a 1024 x 738 screen without panels the middle is (311, 218).
    window->Center();
    window->Show();
    PumpAWhile();
    int32_t x = 0;
    int32_t y = 0;
    PlatWindowClientPosition(window->fHwnd, x, y);
    EXPECT_EQ(x, 311);
    EXPECT_EQ(y, 218);

    // A click into the field gives it the focus; then typing and copying.
    ASSERT_EQ(Run({ "xdotool", "mousemove", "--sync", "400", "250", "click", "1" }), 0);
    ASSERT_TRUE(PumpUntil([&] { return field->clicks == 1; }));
    EXPECT_TRUE(field->fFocused);
    ASSERT_EQ(Run({ "xdotool", "type", "--delay", "30", "Hello, X!" }), 0);
    ASSERT_TRUE(PumpUntil([&] { return field->text == "Hello, X!"; })) << field->text;
    ASSERT_EQ(Run({ "xdotool", "key", "ctrl+c" }), 0);
    ASSERT_TRUE(PumpUntil([&] { return field->copies == 1; }));
    EXPECT_EQ(field->text, "Hello, X!"); // Ctrl+C typed nothing
    ASSERT_EQ(Run({ "xclip", "-selection", "clipboard", "-o" }, "clip.txt"), 0);
    EXPECT_EQ(GetFile("clip.txt"), "Hello, X!");
    const char* pasted = window->PasteText();
    ASSERT_NE(pasted, nullptr);
    EXPECT_STREQ(pasted, "Hello, X!");

    // The screen shows the layer's image, pixel for pixel, where the window is.
    PumpAWhile();
    ASSERT_EQ(Run({ "import", "-window", "root", "png:" + fRoot.File("screen.png") }), 0);
    int width = 0;
    int height = 0;
    std::vector<uint32_t> screen;
    ASSERT_TRUE(ReadPngFile(fRoot.File("screen.png"), width, height, screen));
    ASSERT_EQ(width, 1024);
    ASSERT_EQ(height, 738);
    int differences = 0;
    int dark = 0;
    for (int32_t row = 0; row < 300; ++row) {
        for (int32_t column = 0; column < 400; ++column) {
            const uint32_t shown = screen[size_t(218 + row) * width + 311 + column];
            differences += shown != ImagePixel(layer->fImage.buffer, column, row) ? 1 : 0;
            if (column >= 20 && column < 380 && row >= 20 && row < 60)
                dark += (shown & 0xFF) < 0x80 ? 1 : 0;
        }
    }
    EXPECT_EQ(differences, 0);
    EXPECT_GT(dark, 40); // the typed text, black on the white field
    EXPECT_EQ(screen[size_t(218 + 30) * width + 311 + 10], ImagePixel(layer->fImage.buffer, 10, 30));
    EXPECT_EQ(screen[0], 0xFF000000u); // the bare screen beside the window

    // Pictures go to the clipboard as PNG files, large ones in pieces.
    QV_PlatformImage noise;
    ASSERT_EQ(noise.Create(640, 400, 32), 0);
    QV_SRand(7);
    for (int32_t row = 0; row < 400; ++row) {
        for (int32_t column = 0; column < 640 * 4; ++column)
            noise.buffer.pixels[int64_t(row) * noise.buffer.rowBytes + column] = uint8_t(QV_Rand());
    }
    window->CopyImageToClipboard(&noise);
    EXPECT_TRUE(PlatClipboardHoldsOurPng());
    EXPECT_EQ(window->PasteText(), nullptr); // no text while a picture is there
    ASSERT_EQ(Run({ "xclip", "-selection", "clipboard", "-t", "TARGETS", "-o" }, "targets.txt"), 0);
    EXPECT_NE(GetFile("targets.txt").find("image/png"), std::string::npos);
    ASSERT_EQ(Run({ "xclip", "-selection", "clipboard", "-t", "image/png", "-o" }, "clip.png"), 0);
    EXPECT_GT(GetFile("clip.png").size(), size_t(256 * 1024));
    std::vector<uint32_t> pasted_image;
    ASSERT_TRUE(ReadPngFile(fRoot.File("clip.png"), width, height, pasted_image));
    ASSERT_EQ(width, 640);
    ASSERT_EQ(height, 400);
    differences = 0;
    for (int32_t row = 0; row < 400; ++row) {
        for (int32_t column = 0; column < 640; ++column)
            differences
                += pasted_image[size_t(row) * width + column] != ImagePixel(noise.buffer, column, row);
    }
    EXPECT_EQ(differences, 0); // opaque copies of the pixels

    // Text copied by another program replaces the picture.
    PutFile("other.txt", "\xC3\xA9t\xC3\xA9");
    ASSERT_EQ(Run({ "xclip", "-selection", "clipboard", "-loops", "1", "-i", fRoot.File("other.txt") }), 0);
    ASSERT_TRUE(PumpUntil([] { return !PlatClipboardHoldsOurPng(); }));
    pasted = window->PasteText();
    ASSERT_NE(pasted, nullptr);
    EXPECT_STREQ(pasted, "\xC3\xA9t\xC3\xA9");

    PlatBeep(); // rings the server's bell, and nothing goes wrong
    PlatWindowDestroy(window->fHwnd);
}
