#include "plat_thread.h"

#include <cerrno>
#include <future>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>

namespace {

struct Probe {
    std::promise<int> nice; // the thread's nice value as it runs the entry
    std::thread::id starter;
    bool otherThread = false;
};

void RecordNice(void* arg)
{
    Probe* probe = static_cast<Probe*>(arg);
    probe->otherThread = std::this_thread::get_id() != probe->starter;
    errno = 0;
    int nice = getpriority(PRIO_PROCESS, id_t(gettid()));
    probe->nice.set_value(errno == 0 ? nice : -100);
}

int NiceOfThreadStartedWith(PlatThreadPriority priority, bool* otherThread)
{
    Probe probe;
    probe.starter = std::this_thread::get_id();
    std::future<int> nice = probe.nice.get_future();
    if (!PlatStartThread(RecordNice, &probe, priority))
        return -200;
    int value = nice.get();
    *otherThread = probe.otherThread;
    return value;
}

} // namespace

TEST(PlatThread, RunsEntryOnItsOwnThreadAtTheAskedPriority)
{
    errno = 0;
    const int processNice = getpriority(PRIO_PROCESS, 0);
    ASSERT_EQ(errno, 0);

    bool otherThread = false;
    EXPECT_EQ(NiceOfThreadStartedWith(PlatThreadPriority::Normal, &otherThread), processNice);
    EXPECT_TRUE(otherThread);
    EXPECT_EQ(NiceOfThreadStartedWith(PlatThreadPriority::BelowNormal, &otherThread),
        std::min(processNice + 5, 19));
    EXPECT_TRUE(otherThread);
    // Lowering one thread leaves the process (and this thread) alone.
    EXPECT_EQ(getpriority(PRIO_PROCESS, id_t(gettid())), processNice);
}

TEST(PlatThread, NullEntryStartsNothing)
{
    EXPECT_FALSE(PlatStartThread(nullptr, nullptr, PlatThreadPriority::Normal));
}
