#include "qv_locker.h"
#include "qv_thread.h"

#include <atomic>
#include <cerrno>
#include <future>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

struct Job {
    std::promise<void> done;
    std::thread::id ranOn;
    int nice = -100;
    std::atomic<int>* counter = nullptr;
};

void RunJob(void* userData)
{
    Job* job = static_cast<Job*>(userData);
    job->ranOn = std::this_thread::get_id();
    errno = 0;
    job->nice = getpriority(PRIO_PROCESS, id_t(gettid()));
    if (job->counter)
        ++*job->counter;
    job->done.set_value();
}

} // namespace

TEST(QV_Thread, WorkerRunsTheCallbackWithItsUserDataAtItsPriority)
{
    errno = 0;
    const int processNice = getpriority(PRIO_PROCESS, 0);
    ASSERT_EQ(errno, 0);
    for (PlatThreadPriority priority : { PlatThreadPriority::Normal, PlatThreadPriority::BelowNormal }) {
        Job job;
        std::future<void> done = job.done.get_future();
        ASSERT_TRUE(StartWorkerThread(RunJob, &job, priority));
        done.get();
        EXPECT_NE(job.ranOn, std::this_thread::get_id());
        EXPECT_EQ(
            job.nice, priority == PlatThreadPriority::Normal ? processNice : std::min(processNice + 5, 19));
    }
}

TEST(QV_Thread, CallbacksThatReturnAtOnceLeaveNothingBehind)
{
    // Each record is freed by its own thread; the leak checker sees any that is not.
    std::atomic<int> counter { 0 };
    std::vector<Job> jobs(32);
    std::vector<std::future<void>> done;
    for (Job& job : jobs) {
        job.counter = &counter;
        done.push_back(job.done.get_future());
        ASSERT_TRUE(StartWorkerThread(RunJob, &job, PlatThreadPriority::Normal));
    }
    for (std::future<void>& d : done)
        d.get();
    EXPECT_EQ(counter, 32);
    EXPECT_FALSE(StartWorkerThread(nullptr, nullptr, PlatThreadPriority::Normal));
}

TEST(QV_Locker, OwnsItsMutexWhichTheOwnerTakesReentrantly)
{
    QV_Locker empty;
    EXPECT_EQ(empty.handle, nullptr);

    QV_Locker lock;
    lock.handle = PlatMutexCreate();
    ASSERT_NE(lock.handle, nullptr);
    ASSERT_TRUE(PlatMutexLock(lock.handle));
    EXPECT_TRUE(PlatMutexLock(lock.handle, 0));
    bool otherTook = true;
    std::thread other([&] { otherTook = PlatMutexLock(lock.handle, 20); });
    other.join();
    EXPECT_FALSE(otherTook);
    EXPECT_TRUE(PlatMutexUnlock(lock.handle));
    EXPECT_TRUE(PlatMutexUnlock(lock.handle));
    // The destructor frees the mutex (the leak checker would see it otherwise).
}
