#pragma once

#include <cstdint>

#include "qv_layer.h"
#include "qv_wnd.h"

// What a click on the welcome picture does.
enum class WelcomeAction { OpenGuide, SwitchOff, Close };
WelcomeAction WelcomeActionAt(int32_t x, int32_t y);

// The quick-start guide's file: the application folder and the guide's localised name.
QV_String QuickStartGuidePath();

// The welcome picture with its clickable regions.
class WelcomeLayer : public QV_Layer {
public:
    WelcomeLayer();
    void MouseDown(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message) override;
    void Draw() override;

    QV_PixelBuffer* fPicture;
};

class WelcomeWnd : public QV_Wnd {
public:
    explicit WelcomeWnd(QV_Wnd* owner);
    WelcomeLayer* fLayer;
};

// Shows the welcome screen over the owner until it closes.
void ShowWelcomeScreen(QV_Wnd* owner);
