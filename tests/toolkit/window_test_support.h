#pragma once

#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "follow_flags.h"
#include "frame_test_support.h"
#include "plat_pump.h"
#include "plat_video.h"
#include "plat_window.h"
#include "qv_app.h"
#include "qv_layer.h"
#include "qv_message.h"
#include "qv_wnd.h"

// What the recording layers saw, in order.
inline std::vector<std::string> gSeen;

// A layer that writes down its input: "name what x,y ..." lines in gSeen,
// and keeps the last mouse record's fields.
class RecordingLayer : public QV_Layer {
public:
    RecordingLayer(const char* name, int32_t left, int32_t top, int32_t right, int32_t bottom)
        : QV_Layer(FOLLOW_LEFT | FOLLOW_TOP)
        , fName(name)
    {
        ResizeTo(right - left + 1, bottom - top + 1);
        fFrame = { left, top, right, bottom };
    }
    void MouseDown(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message) override
    {
        Note("down", x, y, button);
        Keep(message);
        fLastModifiers = modifiers;
        QV_Layer::MouseDown(x, y, button, modifiers, message);
    }
    void MouseDownOutside(int32_t x, int32_t y, int32_t button, int32_t, QV_Message*) override
    {
        Note("outside", x, y, button);
        if (fCloseOnOutsidePress && fWindow)
            fWindow->RemoveLayer(this);
    }
    void MouseMoved(int32_t x, int32_t y, int32_t modifiers, QV_Message* message) override
    {
        Note("move", x, y);
        Keep(message);
        QV_Layer::MouseMoved(x, y, modifiers, message);
    }
    void MouseWheel(float distance, int32_t x, int32_t y, int32_t, QV_Message* message) override
    {
        Note("wheel", x, y);
        Keep(message);
        fLastWheel = distance;
    }
    void MouseUp(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message) override
    {
        Note("up", x, y, button);
        Keep(message);
        QV_Layer::MouseUp(x, y, button, modifiers, message);
    }
    void KeyDown(int32_t key, int32_t modifiers) override
    {
        gSeen.push_back(fName + " key " + std::to_string(key) + " " + std::to_string(modifiers));
        if (fKeyAction)
            fKeyAction(this, key);
        else
            QV_Layer::KeyDown(key, modifiers);
    }
    void KeyUp(int32_t key, int32_t) override { gSeen.push_back(fName + " keyup " + std::to_string(key)); }
    void FileDropped(const char* path, int32_t x, int32_t y, int32_t) override
    {
        gSeen.push_back(fName + " drop " + path + " " + std::to_string(x) + "," + std::to_string(y));
    }
    bool BlocksClose() override { return fBlocksClose; }

    void Note(const char* what, int32_t x, int32_t y, int32_t button = 0)
    {
        std::string line = fName + " " + what + " " + std::to_string(x) + "," + std::to_string(y);
        if (button)
            line += " b" + std::to_string(button);
        gSeen.push_back(line);
    }
    void Keep(QV_Message* message)
    {
        fLastRecord.clear();
        for (int32_t i = 0; message && i < message->Count(); ++i)
            fLastRecord.push_back(
                std::string(message->NameAt(i).CString()) + "=" + message->ValueAt(i).text.CString());
    }
    std::string Field(const char* name) const
    {
        const std::string prefix = std::string(name) + "=";
        for (const std::string& entry : fLastRecord) {
            if (entry.rfind(prefix, 0) == 0)
                return entry.substr(prefix.size());
        }
        return "(none)";
    }

    std::string fName;
    std::vector<std::string> fLastRecord;
    int32_t fLastModifiers = 0;
    float fLastWheel = 0;
    bool fCloseOnOutsidePress = false;
    bool fBlocksClose = false;
    void (*fKeyAction)(RecordingLayer* layer, int32_t key) = nullptr;
};

// Real windows on SDL's dummy driver, driven by simulated input.
class WindowTest : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        gSeen.clear();
        ASSERT_TRUE(PlatVideoStart()) << PlatVideoError();
        PlatClearQuit();
    }
    void TearDown() override
    {
        PlatVideoStop();
        PlatClearQuit();
        gApp = nullptr;
        gPenPressure = 0;
        gCursorsDisabled = false;
        gFocusedWidget = nullptr;
        gFocusedTextControl = nullptr;
    }
    // Handles everything that is waiting, without waiting for more; the
    // number of posted quits it met.
    static int PumpPending()
    {
        int quits = 0;
        for (int i = 0; i < 10000; ++i) {
            const int32_t result = PlatPumpMessageWithin(0);
            if (result == 0)
                quits++;
            else if (result != 1)
                break;
        }
        return quits;
    }
    // A window whose client area covers (x, y)-(x + width - 1, y + height - 1).
    static QV_Wnd* MakeWindow(int32_t kind = 0, QV_Wnd* parent = nullptr, int32_t x = 100, int32_t y = 100,
        int32_t width = 200, int32_t height = 150, bool resizable = true)
    {
        auto* window = new QV_Wnd(kind, "test", resizable, parent, x, y, x + width - 1, y + height - 1);
        EXPECT_NE(window->fHwnd, nullptr);
        return window;
    }
    // Windows are followed by id: a destroyed one's pointer must not be read.
    static uint32_t IdOf(QV_Wnd* window) { return PlatWindowId(window->fHwnd); }
    static bool Alive(uint32_t id) { return PlatWindowFromId(id) != nullptr; }
    // Whether any record in gSeen starts with the text.
    static int SeenCount(const std::string& prefix)
    {
        int count = 0;
        for (const std::string& line : gSeen)
            count += line.rfind(prefix, 0) == 0 ? 1 : 0;
        return count;
    }
};
