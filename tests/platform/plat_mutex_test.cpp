#include "plat_mutex.h"
#include "plat_time.h"

#include <atomic>
#include <gtest/gtest.h>
#include <thread>

namespace {

struct PlatMutexWithThreads : ::testing::Test {
    PlatMutex* mutex = PlatMutexCreate();
    ~PlatMutexWithThreads() override { PlatMutexDestroy(mutex); }

    // Whether another thread could take the mutex right now (it releases it again).
    bool FreeForOthers(uint32_t timeoutMs = 0)
    {
        bool taken = false;
        std::thread other([&] {
            taken = PlatMutexLock(mutex, timeoutMs);
            if (taken)
                PlatMutexUnlock(mutex);
        });
        other.join();
        return taken;
    }
};

} // namespace

TEST_F(PlatMutexWithThreads, OwnerReentersAndReleasesOncePerTake)
{
    ASSERT_NE(mutex, nullptr);
    ASSERT_TRUE(PlatMutexLock(mutex));
    ASSERT_TRUE(PlatMutexLock(mutex, 0));
    ASSERT_TRUE(PlatMutexLock(mutex, 50));
    EXPECT_FALSE(FreeForOthers());
    EXPECT_TRUE(PlatMutexUnlock(mutex));
    EXPECT_TRUE(PlatMutexUnlock(mutex));
    EXPECT_FALSE(FreeForOthers());
    EXPECT_TRUE(PlatMutexUnlock(mutex));
    EXPECT_TRUE(FreeForOthers());
    // One release too many is refused and does not disturb the mutex.
    EXPECT_FALSE(PlatMutexUnlock(mutex));
    EXPECT_TRUE(FreeForOthers());
}

TEST_F(PlatMutexWithThreads, ReleaseByAThreadThatDoesNotHoldItIsRefused)
{
    ASSERT_TRUE(PlatMutexLock(mutex));
    bool released = true;
    std::thread other([&] { released = PlatMutexUnlock(mutex); });
    other.join();
    EXPECT_FALSE(released);
    EXPECT_FALSE(FreeForOthers());
    EXPECT_TRUE(PlatMutexUnlock(mutex));
}

TEST_F(PlatMutexWithThreads, TimedWaitGivesUpWhileHeldAndSucceedsOnceReleased)
{
    ASSERT_TRUE(PlatMutexLock(mutex));
    EXPECT_FALSE(FreeForOthers(0));
    EXPECT_FALSE(FreeForOthers(30));

    // A waiter with a generous limit gets the mutex when the holder lets go.
    std::atomic<bool> taken { false };
    std::thread waiter([&] {
        taken = PlatMutexLock(mutex, 10000);
        if (taken)
            PlatMutexUnlock(mutex);
    });
    PlatSleep(20);
    EXPECT_TRUE(PlatMutexUnlock(mutex));
    waiter.join();
    EXPECT_TRUE(taken);
}

TEST_F(PlatMutexWithThreads, SerialisesThreads)
{
    int counter = 0;
    auto work = [&] {
        for (int i = 0; i < 20000; ++i) {
            ASSERT_TRUE(PlatMutexLock(mutex));
            ASSERT_TRUE(PlatMutexLock(mutex, 0));
            ++counter;
            PlatMutexUnlock(mutex);
            PlatMutexUnlock(mutex);
        }
    };
    std::thread a(work), b(work), c(work);
    a.join();
    b.join();
    c.join();
    EXPECT_EQ(counter, 60000);
}

TEST(PlatMutex, NullMutexIsNeverTaken)
{
    EXPECT_FALSE(PlatMutexLock(nullptr));
    EXPECT_FALSE(PlatMutexLock(nullptr, 0));
    EXPECT_FALSE(PlatMutexUnlock(nullptr));
    PlatMutexDestroy(nullptr);
}
