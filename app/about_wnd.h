#pragma once

#include <cstdint>

#include "qv_arraylist.h"
#include "qv_baseimage.h"
#include "qv_dialog.h"
#include "qv_layer.h"
#include "qv_view.h"
#include "qv_wnd.h"

class ScriptRegistry;

// The splash picture's credits box, in layer pixels (inclusive).
constexpr int32_t kCreditsLeft = 20;
constexpr int32_t kCreditsTop = 78;
constexpr int32_t kCreditsRight = 380;
constexpr int32_t kCreditsBottom = 450;

// The splash screen (closing by itself after some seconds) and the About box (seconds 0: the
// version line and the scrolling credits, closed only by a click or key).
class AboutLayer : public QV_Layer {
public:
    explicit AboutLayer(int32_t seconds);
    ~AboutLayer() override;
    void HandleMessage(QV_Message* message) override;
    void Activate() override;
    void MouseDown(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message) override;
    void MouseDownOutside(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message) override;
    void KeyDown(int32_t key, int32_t modifiers) override;
    void Draw() override;

    // One timer tick at that tick count: the credits move on a pixel; true when the splash
    // screen's time is up.
    bool Tick(uint32_t now);
    void DrawCredits();
    void Close();

    int32_t fSeconds;
    bool fTiming;
    float fElapsed;
    uint32_t fStartTick;
    QV_BaseImage fCreditsImage;
    QV_Rect fCreditsBox;
    int32_t fScroll;
    QV_ArrayList fCredits; // owned QV_String
    QV_PixelBuffer* fSplash;
};

class AboutWnd : public QV_Wnd {
public:
    AboutWnd(QV_Wnd* owner, int32_t seconds);
    AboutLayer* fLayer;
};

// Runs the window's modal loop; a quit that ended the loop early still ends the run.
void RunModalKeepingQuit(QV_Wnd* window);
// Ends the modal loop of RunModalKeepingQuit as the window's own closing.
void EndShellModal(QV_Wnd* window);

// Runs the splash (seconds > 0) or About box modally; always -1006.
int32_t ShowAbout(QV_Wnd* owner, int32_t seconds);

// The credit lines: a leading "." marks a heading.
int32_t CountCreditLines();
const char* CreditLine(int32_t index);

// Lists the loaded tool and menu scripts with their versions, creators and descriptions.
class AboutScriptsView : public QV_View {
public:
    AboutScriptsView(ScriptRegistry* registry, int32_t width, int32_t height);
    void Draw() override;
    ScriptRegistry* fRegistry;
};

class AboutScripts : public QV_Dialog {
public:
    explicit AboutScripts(QV_Wnd* owner);
};

// Help > About Scripts.
void ShowAboutScripts(QV_Wnd* owner);
