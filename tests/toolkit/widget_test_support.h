#pragma once

#include <string>
#include <vector>

#include "interface_fonts.h"
#include "plat_beep.h"
#include "qv_font.h"
#include "qv_layer.h"
#include "qv_message.h"
#include "qv_wnd.h"
#include "window_test_support.h"

// Message ids that climbed out of the widgets, in order.
inline std::vector<int32_t> gPosted;
inline int gBeeps = 0;

// A layer that keeps what its views post instead of passing it to the window.
class CatchingLayer : public QV_Layer {
public:
    CatchingLayer(int32_t width, int32_t height)
        : QV_Layer(FOLLOW_LEFT | FOLLOW_TOP)
    {
        ResizeTo(width, height);
    }
    void HandleMessage(QV_Message* message) override { gPosted.push_back(message->fWhat); }
};

// Widgets in a real window on the dummy driver, with the interface fonts.
class WidgetTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        CreateInterfaceFonts();
        gPosted.clear();
        gBeeps = 0;
        PlatSetBeepHook([] { gBeeps++; });
    }
    void TearDown() override
    {
        if (fWindow)
            PlatWindowDestroy(fWindow->fHwnd);
        PumpPending();
        PlatSetBeepHook(nullptr);
        DeleteInterfaceFonts();
        WindowTest::TearDown();
    }
    // A shown window of that size holding one catching layer.
    CatchingLayer* MakeLayer(int32_t width = 400, int32_t height = 300)
    {
        fWindow = MakeWindow(0, nullptr, 100, 100, width, height, false);
        fLayer = new CatchingLayer(width, height);
        fWindow->AddLayer(fLayer);
        fWindow->Show();
        PumpPending();
        return fLayer;
    }
    // A view added to the layer at (x, y) and drawn.
    template <class T> T* Place(T* view, int32_t x = 10, int32_t y = 10)
    {
        view->MoveTo(x, y);
        fLayer->AddView(view);
        view->Draw();
        return view;
    }
    // A text of exactly that width in the font, made of one repeated character.
    static std::string TextOfWidth(QV_Font* font, int32_t width)
    {
        for (char c = '!'; c < 127; ++c) {
            const char one[2] = { c, 0 };
            const int32_t w = font->StringWidth(one);
            if (w > 0 && width % w == 0) {
                std::string text(size_t(width / w), c);
                if (font->StringWidth(text.c_str()) == width)
                    return text;
            }
        }
        return "";
    }
    // The pixel of the layer's image as 0xRRGGBB.
    uint32_t Pixel(int32_t x, int32_t y) const
    {
        const uint8_t* p = fLayer->fImage.buffer.pixels + int64_t(y) * fLayer->fImage.buffer.rowBytes + 4 * x;
        return uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
    }

    QV_Wnd* fWindow = nullptr;
    CatchingLayer* fLayer = nullptr;
};
