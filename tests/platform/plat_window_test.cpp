#include "plat_pump.h"
#include "plat_time.h"
#include "plat_video.h"
#include "plat_window.h"

#include <atomic>
#include <cstdlib>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

namespace {

// The tests run without a display: SDL's dummy driver keeps a window surface
// in memory, which is all that presenting needs.
class PlatWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("SDL_VIDEODRIVER", "dummy", 0);
        ASSERT_TRUE(PlatVideoStart()) << PlatVideoError();
        PlatClearQuit();
        fWindow = PlatWindowCreate("test", 10, 10, 64, 48, 0);
        ASSERT_NE(fWindow, nullptr);
        PlatWindowSetHandler(fWindow, &PlatWindowTest::Record, this);
    }
    void TearDown() override { PlatVideoStop(); }

    static void Record(void* user, PlatWindow*, const PlatEvent& event)
    {
        auto* self = static_cast<PlatWindowTest*>(user);
        self->fEvents.push_back(event);
        if (event.type == PlatEventType::Timer && ++self->fTicks == 3)
            PlatPostQuit();
    }
    // Pumps until a posted quit ends it; false when it failed instead.
    bool PumpUntilQuit()
    {
        for (int i = 0; i < 10000; ++i) {
            int32_t result = PlatPumpMessage();
            if (result <= 0)
                return result == 0;
        }
        return false;
    }
    int CountOf(PlatEventType type) const
    {
        int count = 0;
        for (const PlatEvent& event : fEvents)
            count += event.type == type ? 1 : 0;
        return count;
    }

    PlatWindow* fWindow = nullptr;
    std::vector<PlatEvent> fEvents;
    int fTicks = 0;
};

std::vector<uint32_t> SolidRows(int32_t width, int32_t height, uint32_t pixel)
{
    return std::vector<uint32_t>(size_t(width) * height, pixel);
}

} // namespace

TEST_F(PlatWindowTest, PresentsBottomUpRowsOnlyInsideTheClip)
{
    // A 4 x 3 image stored bottom-up: the top row is the last in memory.
    const int32_t w = 4;
    const int32_t h = 3;
    std::vector<uint32_t> memory(size_t(w) * h);
    for (int32_t row = 0; row < h; ++row) {
        for (int32_t x = 0; x < w; ++x)
            memory[size_t(h - 1 - row) * w + x] = 0xFF000000u | uint32_t(row * 80) << 16 | uint32_t(x * 60);
    }
    PlatPixels image;
    image.pixels = reinterpret_cast<const uint8_t*>(memory.data() + size_t(h - 1) * w);
    image.width = w;
    image.height = h;
    image.rowBytes = -w * 4;

    PlatRegion clip({ 0, 0, 63, 47 });
    clip.SubtractRect({ 6, 5, 6, 5 }); // one pixel of the image is left out
    ASSERT_TRUE(PlatWindowPresent(fWindow, image, 5, 5, clip));
    uint32_t pixel = 0;
    for (int32_t row = 0; row < h; ++row) {
        for (int32_t x = 0; x < w; ++x) {
            ASSERT_TRUE(PlatWindowReadPixel(fWindow, 5 + x, 5 + row, pixel));
            uint32_t expected = 0xFF000000u | uint32_t(row * 80) << 16 | uint32_t(x * 60);
            if (x == 1 && row == 0) {
                EXPECT_NE(pixel, expected);
            } else {
                EXPECT_EQ(pixel, expected) << x << "," << row;
            }
        }
    }
    EXPECT_FALSE(PlatWindowReadPixel(fWindow, 64, 0, pixel));
}

TEST_F(PlatWindowTest, PresentClipsToTheClientAreaAndRefusesUnknownDepths)
{
    std::vector<uint32_t> rows = SolidRows(100, 100, 0xFF102030u);
    PlatPixels image { reinterpret_cast<const uint8_t*>(rows.data()), 100, 100, 32, 400 };
    EXPECT_TRUE(PlatWindowPresent(fWindow, image, -20, -20, PlatRegion({ -50, -50, 500, 500 })));
    uint32_t pixel = 0;
    ASSERT_TRUE(PlatWindowReadPixel(fWindow, 63, 47, pixel));
    EXPECT_EQ(pixel, 0xFF102030u);
    image.depth = 8;
    EXPECT_FALSE(PlatWindowPresent(fWindow, image, 0, 0, PlatRegion({ 0, 0, 10, 10 })));
}

TEST_F(PlatWindowTest, TimersTickUntilAQuitEndsThePump)
{
    ASSERT_TRUE(PlatSetTimer(fWindow, 7, 15));
    uint32_t start = PlatTickCount();
    ASSERT_TRUE(PumpUntilQuit());
    EXPECT_GE(PlatTickCount() - start, 40u);
    ASSERT_EQ(CountOf(PlatEventType::Timer), 3);
    for (const PlatEvent& event : fEvents) {
        if (event.type == PlatEventType::Timer) {
            EXPECT_EQ(event.timerId, 7u);
        }
    }
    PlatKillTimer(fWindow, 7);
    // With the timer gone, a posted quit is all that is left.
    PlatPostQuit();
    EXPECT_EQ(PlatPumpMessage(), 0);
    EXPECT_EQ(CountOf(PlatEventType::Timer), 3);
}

TEST_F(PlatWindowTest, AnotherThreadWakesTheWindow)
{
    const uint32_t id = PlatWindowId(fWindow);
    std::atomic<bool> posted { false };
    std::thread worker([&] {
        PlatSleep(20);
        posted = PlatPostWakeUp(id);
    });
    // Blocks without timers until the wake-up arrives.
    int32_t result = 0;
    while (CountOf(PlatEventType::WakeUp) == 0 && (result = PlatPumpMessage()) > 0) { }
    worker.join();
    EXPECT_TRUE(posted);
    EXPECT_EQ(CountOf(PlatEventType::WakeUp), 1);
    EXPECT_FALSE(PlatPostWakeUp(0));
}

TEST_F(PlatWindowTest, DestroySendsOneDestroyAndDropsLaterEvents)
{
    PlatWindow* other = PlatWindowCreate("other", 0, 0, 20, 20, kPlatWindowResizable);
    ASSERT_NE(other, nullptr);
    PlatWindowSetHandler(other, &PlatWindowTest::Record, this);
    const uint32_t otherId = PlatWindowId(other);
    ASSERT_TRUE(PlatSetTimer(other, 1, 10));
    PlatWindowInvalidate(other);
    PlatWindowDestroy(other);
    EXPECT_EQ(CountOf(PlatEventType::Destroy), 1);
    fEvents.clear();
    // The invalidation, a wake-up and the timer of the destroyed window all go nowhere.
    EXPECT_TRUE(PlatPostWakeUp(otherId));
    PlatPostQuit();
    EXPECT_EQ(PlatPumpMessage(), 0);
    EXPECT_TRUE(fEvents.empty());

    // Stopping the video layer destroys what is left.
    PlatVideoStop();
    EXPECT_EQ(CountOf(PlatEventType::Destroy), 1);
    EXPECT_EQ(PlatPumpMessage(), -1);
}
