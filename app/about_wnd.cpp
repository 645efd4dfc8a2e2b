// The splash screen, the About box with its scrolling credits, and the installed-scripts list.

#include "about_wnd.h"

#include <algorithm>
#include <cstring>

#include "blur_kernels.h"
#include "follow_flags.h"
#include "interface_colors.h"
#include "interface_fonts.h"
#include "message_ids.h"
#include "plat_time.h"
#include "qv_app.h"
#include "qv_button.h"
#include "qv_font.h"
#include "qv_graphics.h"
#include "qv_layout_view.h"
#include "qv_message.h"
#include "qv_scrolling_view.h"
#include "qv_string.h"
#include "resource_images.h"
#include "script.h"
#include "script_registry.h"
#include "vorn_app.h"

namespace {

constexpr int32_t kTickMessage = -1004;

// Ours first, then every library the program links, with where it lives and its licence.
const char* const kCredits[] = {
    ".Celvane",
    "The Celvane developers",
    "",
    "Celvane stands on these libraries:",
    "",
    ".Anti-Grain Geometry",
    "www.antigrain.com",
    "Modified BSD licence",
    ".FreeType",
    "www.freetype.org",
    "Portions of this software are copyright",
    "The FreeType Project. All rights reserved.",
    ".Fontconfig",
    "www.fontconfig.org",
    "MIT licence",
    ".libjpeg-turbo",
    "libjpeg-turbo.org",
    "This software is based in part on the work",
    "of the Independent JPEG Group.",
    ".libpng",
    "www.libpng.org",
    "PNG Reference Library licence",
    ".zlib",
    "www.zlib.net",
    "zlib licence",
    ".libsndfile",
    "libsndfile.github.io",
    "GNU LGPL 2.1",
    ".FFmpeg",
    "ffmpeg.org",
    "GNU LGPL 2.1 or later",
    ".SDL",
    "www.libsdl.org",
    "zlib licence",
    ".PortAudio",
    "www.portaudio.com",
    "MIT licence",
    ".Lua",
    "www.lua.org",
    "Copyright PUC-Rio, MIT licence",
    ".Xlib",
    "www.x.org",
    "MIT licence",
};
constexpr int32_t kCreditCount = int32_t(sizeof kCredits / sizeof kCredits[0]);

QV_Font* NormalFont(int32_t i) { return gNormalFonts[i] ? gNormalFonts[i] : gWidgetFont; }

int32_t LineHeight(QV_Font* font) { return font ? font->LineHeight() : 14; }

void DrawTextAt(QV_Graphics* g, QV_Font* font, const char* text, int32_t x, int32_t top, rgb_color color)
{
    if (!font)
        return;
    g->SetFont(font);
    g->SetColorStruct(color);
    g->MoveTo(x, top + font->Ascent());
    g->DrawText(text, 0);
}

} // namespace

namespace {
// Set when the running splash, About or welcome window was closed by its user or its timer.
bool gClosedByItself = false;
} // namespace

void EndShellModal(QV_Wnd* window)
{
    gClosedByItself = true;
    if (window)
        window->EndModal(true, MSG_OK);
}

void RunModalKeepingQuit(QV_Wnd* window)
{
    gClosedByItself = false;
    window->RunModal();
    // A quit asked for while the window was up ends only its loop (and the window): the run
    // must still end.
    if (!gClosedByItself && gApp)
        gApp->Quit();
}

int32_t CountCreditLines() { return kCreditCount; }

const char* CreditLine(int32_t index) { return index >= 0 && index < kCreditCount ? kCredits[index] : nullptr; }

AboutLayer::AboutLayer(int32_t seconds)
    : QV_Layer(FOLLOW_LEFT + FOLLOW_TOP)
    , fSeconds(seconds)
    , fTiming(false)
    , fElapsed(0)
    , fStartTick(0)
    , fCreditsBox { kCreditsLeft, kCreditsTop, kCreditsRight, kCreditsBottom }
    , fScroll(0)
    , fSplash(GetResourceImage("celvane6_splash"))
{
    ResizeTo(fSplash ? fSplash->width : 400, fSplash ? fSplash->height : 470);
    fCredits.SetCapacity(4);
    for (const char* line : kCredits)
        fCredits.Append(new QV_String(line));
}

AboutLayer::~AboutLayer()
{
    for (int32_t i = 0; i < fCredits.fCount; i++)
        delete static_cast<QV_String*>(fCredits.fItems[i]);
}

void AboutLayer::Activate()
{
    QV_Layer::Activate();
    if (fWindow)
        fWindow->AddTimer(0.04f, this, kTickMessage);
    fStartTick = PlatTickCount();
    fElapsed = 0;
    fTiming = true;
}

bool AboutLayer::Tick(uint32_t now)
{
    const int32_t a = fScroll;
    fScroll = a + 1;
    const int32_t imageHeight = fCreditsImage.Height() > 0 ? fCreditsImage.Height() : -1;
    if (a - fCredits.fCount * LineHeight(NormalFont(0)) - imageHeight >= 0)
        fScroll = 0;
    if (fSeconds >= 1) {
        fElapsed = float(now - fStartTick) / 1000.0f;
        if (float(fSeconds) < fElapsed)
            return true;
    }
    return false;
}

void AboutLayer::HandleMessage(QV_Message* message)
{
    if (!message || message->fWhat != kTickMessage) {
        QV_Layer::HandleMessage(message);
        return;
    }
    if (fSeconds <= 0) {
        DrawCredits();
        Flush();
    }
    if (Tick(PlatTickCount()))
        Close();
}

void AboutLayer::Close() { EndShellModal(fWindow); }

void AboutLayer::MouseDown(int32_t, int32_t, int32_t, int32_t, QV_Message*) { Close(); }

void AboutLayer::MouseDownOutside(int32_t, int32_t, int32_t, int32_t, QV_Message*) { Close(); }

void AboutLayer::KeyDown(int32_t, int32_t) { Close(); }

void AboutLayer::Draw()
{
    QV_Graphics* g = GetGraphics();
    if (!g)
        return;
    g->BeginDraw();
    if (fSplash)
        g->DrawImage(fSplash, 0, 0);
    if (fSeconds <= 0) {
        QV_Font* font = NormalFont(2);
        if (font) {
            const char* version = "Version 6.0, Build 20090526";
            g->SetFont(font);
            g->SetColor(255, 255, 255, 255);
            g->MoveTo(fFrame.left + 2 - fFrame.left, (fFrame.bottom - fFrame.top) - 2);
            g->DrawText(version, 0);
        }
    }
    g->EndDraw();
    if (fSeconds <= 0) {
        fCreditsBox = QV_Rect { kCreditsLeft, kCreditsTop, kCreditsRight, kCreditsBottom };
        if (fCreditsImage.Width() != 361)
            fCreditsImage.Allocate(361, 373, 32);
        DrawCredits();
    }
}

void AboutLayer::DrawCredits()
{
    if (fSeconds > 0 || fCreditsImage.Width() <= 0)
        return;
    QV_PixelBuffer image;
    if (fCreditsImage.GetPixelBuffer(image) != 0)
        return;
    // The splash under the box, so the fading edges show the picture.
    for (int32_t y = 0; y < image.height; y++) {
        uint8_t* row = image.pixels + y * image.rowBytes;
        const int32_t sy = kCreditsTop + y;
        for (int32_t x = 0; x < image.width; x++) {
            const int32_t sx = kCreditsLeft + x;
            uint8_t* p = row + x * 4;
            if (fSplash && fSplash->depth == 32 && sx < fSplash->width && sy < fSplash->height)
                std::memcpy(p, fSplash->pixels + sy * fSplash->rowBytes + sx * 4, 4);
            else
                std::memset(p, 0, 4);
        }
    }
    QV_Graphics g;
    if (g.SetRaster(&image) == 0) {
        g.BeginDraw();
        const int32_t lineHeight = LineHeight(NormalFont(0));
        int32_t y = image.height - fScroll;
        for (int32_t i = 0; i < fCredits.fCount; i++) {
            const QV_String* line = static_cast<const QV_String*>(fCredits.fItems[i]);
            const char* text = line->CString();
            const bool heading = text[0] == '.';
            QV_Font* font = heading ? NormalFont(1) : NormalFont(0);
            if (heading)
                text++;
            if (y + lineHeight >= 0 && y < image.height) {
                DrawTextAt(&g, font, text, 9, y + 1, rgb_color { 64, 64, 64, 255 });
                DrawTextAt(&g, font, text, 8, y, rgb_color { 255, 255, 255, 255 });
            }
            y += lineHeight;
        }
        g.EndDraw();
    }
    for (int32_t y = 0; y < image.height; y++) {
        uint8_t* row = image.pixels + y * image.rowBytes;
        const uint8_t alpha = (y >= 8 && y <= image.height - 9) ? 255 : 0;
        for (int32_t x = 0; x < image.width; x++)
            row[x * 4 + 3] = alpha;
    }
    DiscBlur(image, 8);
    if (QV_Graphics* layer = GetGraphics()) {
        layer->BeginDraw();
        layer->DrawImageAlpha(&image, float(kCreditsLeft), float(kCreditsTop), false);
        layer->EndDraw();
    }
}

AboutWnd::AboutWnd(QV_Wnd* owner, int32_t seconds)
    : QV_Wnd(4, gApp ? gApp->fName.CString() : "Celvane", false, owner, 0, 0, 399, 469)
    , fLayer(new AboutLayer(seconds))
{
    const QV_Rect frame = fLayer->Frame();
    ResizeTo(frame.right - frame.left + 1, frame.bottom - frame.top + 1);
    AddLayer(fLayer);
    Center();
}

int32_t ShowAbout(QV_Wnd* owner, int32_t seconds)
{
    if (gApp && gApp->fQuitting)
        return MSG_OK;
    auto* window = new AboutWnd(owner, seconds);
    if (!window->fHwnd) {
        delete window;
        return MSG_OK;
    }
    RunModalKeepingQuit(window);
    return MSG_OK;
}

namespace {

ScriptRegistry* Registry()
{
    Vorn* app = TheApp();
    return app ? app->fScriptRegistry : nullptr;
}

struct ScriptCounts {
    int32_t tools = 0;
    int32_t menus = 0;
};

ScriptCounts Count(ScriptRegistry* registry)
{
    ScriptCounts counts;
    if (registry) {
        counts.tools = registry->CountTools();
        counts.menus = registry->CountMenuScripts();
    }
    return counts;
}

} // namespace

AboutScriptsView::AboutScriptsView(ScriptRegistry* registry, int32_t width, int32_t height)
    : QV_View(FOLLOW_LEFT + FOLLOW_TOP)
    , fRegistry(registry)
{
    ResetSize(width, height);
}

void AboutScriptsView::Draw()
{
    QV_Graphics* g = GetGraphics();
    if (!g)
        return;
    g->BeginDraw();
    const QV_Rect b = Bounds();
    g->SetColorStruct(WindowBackground);
    g->FillRect(b.left, b.top, b.right, b.bottom);
    QV_Font* f1 = gWidgetFont;
    QV_Font* f2 = gMenuFont ? gMenuFont : gWidgetFont;
    QV_Font* big = gLargeFonts[1] ? gLargeFonts[1] : f2;
    const int32_t line = LineHeight(f1);
    const int32_t band = LineHeight(big);
    int32_t y = b.top;

    auto drawBand = [&](const char* title) {
        g->SetColorStruct(Selection);
        g->FillRect(b.left, y, b.right, y + band - 1);
        if (big) {
            const int32_t w = big->StringWidth(title);
            DrawTextAt(g, big, title, (b.left + b.right - w) / 2, y, SelectedText);
        }
        y += band;
    };
    auto drawGroup = [&](const QV_String& name) {
        const int32_t middle = y + line / 2;
        g->SetColorStruct(Selection);
        g->FillRect(b.left + 8, middle - 1, b.right - 8, middle);
        if (f2) {
            QV_String label = name;
            label.Append("  ");
            const int32_t w = f2->StringWidth(label.CString());
            const int32_t x = (b.left + b.right - w) / 2;
            g->SetColorStruct(WindowBackground);
            g->FillRect(x, y, x + w, y + line - 1);
            DrawTextAt(g, f2, label.CString(), x + (f2->StringWidth("  ") / 2), y, SelectedText);
        }
        y += line;
    };
    auto drawScript = [&](const Script* script, const QV_BaseImage* icon) {
        int32_t x = b.left;
        if (icon && icon->Width() > 0) {
            QV_PixelBuffer picture;
            if (icon->GetPixelBuffer(picture) == 0) {
                g->DrawImageAlpha(&picture, float(x), float(y + (line - picture.height) / 2), false);
                x += picture.width;
            }
        }
        if (f2) {
            DrawTextAt(g, f2, script->fName.CString(), x, y, Text);
            x += f2->StringWidth(script->fName.CString()) + f2->StringWidth("\t");
        }
        DrawTextAt(g, f1, script->fVersion.CString(), x + 8, y, Text);
        y += line;
        DrawTextAt(g, f1, script->fCreator.CString(), b.left + 2 * line + 2, y, Text);
        y += line;
        DrawTextAt(g, f1, script->fDescription.CString(), b.left + 2 * line + 2, y, Text);
        y += line;
    };

    drawBand(Localize("/Dialogs/AboutScripts/ToolScripts=Tool Scripts"));
    QV_String shown;
    if (fRegistry) {
        for (int32_t i = 0; i < fRegistry->CountTools(); i++) {
            ToolScript* tool = fRegistry->ToolAt(i);
            if (!tool || tool->fSpacer)
                continue;
            if (tool->fGroup != shown) {
                shown = tool->fGroup;
                drawGroup(shown);
            }
            drawScript(tool, &tool->fIcon);
        }
    }
    drawBand(Localize("/Dialogs/AboutScripts/MenuScripts=Menu Scripts"));
    shown = "";
    if (fRegistry) {
        for (int32_t i = 0; i < fRegistry->CountMenuScripts(); i++) {
            MenuScript* menu = fRegistry->MenuScriptAt(i);
            if (!menu)
                continue;
            if (menu->fSubmenu != shown) {
                shown = menu->fSubmenu;
                drawGroup(shown);
            }
            drawScript(menu, nullptr);
        }
    }
    g->EndDraw();
}

AboutScripts::AboutScripts(QV_Wnd* owner)
    : QV_Dialog(Localize("/Dialogs/AboutScripts/Title=Installed Scripts"), owner)
{
    fSettingsName = "AboutScripts";
    auto* content = new QV_LayoutView(true, 8, 12, 12);
    auto* scroller = new QV_ScrollingView(700, 300, FOLLOW_LEFT + FOLLOW_TOP);
    ScriptRegistry* registry = Registry();
    const ScriptCounts counts = Count(registry);
    QV_Font* big = gLargeFonts[1] ? gLargeFonts[1] : gMenuFont;
    const int32_t height
        = (counts.tools + counts.menus + 16) * 3 * LineHeight(gWidgetFont) + 2 * LineHeight(big);
    const QV_Rect area = scroller->ContentBounds();
    auto* view = new AboutScriptsView(registry, std::max(area.right - area.left + 1, 1), height);
    scroller->fContent = view;
    scroller->fClipView->AddChild(view);
    scroller->UpdateScrollBars();
    content->AddChild(scroller);
    auto* ok = new QV_Button(Localize("/Strings/OK=OK"), MSG_OK, 64, true, 3);
    content->AddChild(ok, ALIGN_RIGHT);
    AddView(content);
    fDefaultButton = ok;
    fCancelButton = ok;
}

void ShowAboutScripts(QV_Wnd* owner)
{
    auto* dialog = new AboutScripts(owner);
    dialog->DoModal();
}
