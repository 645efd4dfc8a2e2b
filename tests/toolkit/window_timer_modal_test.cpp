#include <future>
#include <gtest/gtest.h>
#include <vector>

#include "message_ids.h"
#include "plat_mutex.h"
#include "plat_simulate.h"
#include "plat_time.h"
#include "qv_handler.h"
#include "window_test_support.h"

namespace {

// Counts the messages it is posted.
class Counter : public QV_Handler {
public:
    void HandleMessage(QV_Message* message) override { whats.push_back(message->fWhat); }
    std::vector<int32_t> whats;
};

// Whether another thread can take the mutex right now.
bool FreeForOtherThreads(PlatMutex* mutex)
{
    return std::async(std::launch::async, [mutex] {
        if (!PlatMutexLock(mutex, 0))
            return false;
        PlatMutexUnlock(mutex);
        return true;
    }).get();
}

// Runs a step of a test on each tick of a timer of the window.
class Stepper : public QV_Handler {
public:
    explicit Stepper(std::vector<void (*)(Stepper&)> steps)
        : steps(std::move(steps))
    {
    }
    void HandleMessage(QV_Message*) override
    {
        if (next < steps.size())
            steps[next++](*this);
    }
    std::vector<void (*)(Stepper&)> steps;
    size_t next = 0;
    QV_Wnd* dialog = nullptr;
    QV_Wnd* parent = nullptr;
    uint32_t dialogId = 0;
    std::vector<bool> checks;
};

} // namespace

using WindowTimerTest = WindowTest;
using ModalLoopTest = WindowTest;

TEST_F(WindowTimerTest, IdsCountUpAndSkipPastTheLargestWhenTaken)
{
    QV_Wnd* window = MakeWindow();
    Counter counter;
    EXPECT_EQ(window->AddTimer(1, &counter, 1), 1u);
    EXPECT_EQ(window->AddTimer(1, &counter, 2), 2u);
    EXPECT_EQ(window->AddTimer(1, &counter, 3), 3u);
    window->RemoveTimer(1);
    // Two timers: id 3 is taken, so the largest + 1.
    EXPECT_EQ(window->AddTimer(1, &counter, 4), 4u);
    window->RemoveTimer(0);
    window->RemoveTimer(3);
    window->RemoveTimer(4);
    EXPECT_EQ(window->fTimers.fCount, 1);
    EXPECT_EQ(window->AddTimer(1, &counter, 5), 2u + 1u); // count + 1 = 2 is taken
    for (int i = 0; i < 6; ++i)
        window->AddTimer(1, &counter, 6);
    EXPECT_EQ(window->fTimers.fCapacity, 8); // doubled from 4

    // Periods in whole milliseconds, halves away from zero.
    struct Case {
        float seconds;
        uint32_t ms;
    } cases[]
        = { { 0.0005f, 1 }, { 0.0004f, 0 }, { 0.0125f, 13 }, { 0.04f, 40 }, { 2.0f, 2000 }, { -1.0f, 0 } };
    for (const Case& c : cases) {
        const uint32_t id = window->AddTimer(c.seconds, &counter, 7);
        uint32_t period = 99;
        ASSERT_TRUE(PlatTimerPeriod(window->fHwnd, id, period));
        EXPECT_EQ(period, c.ms) << c.seconds;
        window->RemoveTimer(id);
    }
}

TEST_F(WindowTimerTest, TicksPostTheMessageAndALateTimerTicksOnce)
{
    QV_Wnd* window = MakeWindow();
    Counter counter;
    const uint32_t slow = window->AddTimer(0.2f, &counter, 42);
    ASSERT_NE(slow, 0u);
    PlatSleep(650); // three periods go by unattended
    PumpPending();
    EXPECT_EQ(counter.whats, (std::vector<int32_t> { 42 }));
    window->RemoveTimer(slow);
    window->Timer(slow); // an id without a record is ignored
    EXPECT_EQ(counter.whats.size(), 1u);
}

TEST_F(ModalLoopTest, EndModalReturnsTheResultAndTheDialogIsGoneWhileTheParentWasDisabledAndFree)
{
    QV_Wnd* parent = MakeWindow();
    QV_Wnd* dialog = MakeWindow(2, parent, 150, 150, 100, 80, false);
    Stepper stepper({
        [](Stepper& s) {
            // While the loop runs the parent takes no input and its mutex is free.
            s.checks.push_back(!PlatWindowIsEnabled(s.parent->fHwnd));
            s.checks.push_back(FreeForOtherThreads(s.parent->fWndMutex));
            s.checks.push_back(s.dialog->fInModal);
            PlatSimulateClose(s.dialog->fHwnd); // the close box does nothing
        },
        [](Stepper& s) {
            s.checks.push_back(Alive(s.dialogId));
            s.dialog->EndModal(true, MSG_OK);
        },
    });
    stepper.dialog = dialog;
    stepper.parent = parent;
    stepper.dialogId = IdOf(dialog);
    dialog->AddTimer(0.01f, &stepper, 1);

    // The loop runs inside the parent's handling, which holds its mutex.
    ASSERT_TRUE(PlatMutexLock(parent->fWndMutex));
    EXPECT_EQ(dialog->RunModal(), MSG_OK);
    EXPECT_EQ(stepper.checks, (std::vector<bool> { true, true, true, true }));
    EXPECT_FALSE(Alive(stepper.dialogId));
    EXPECT_TRUE(PlatWindowIsEnabled(parent->fHwnd));
    // The parent's mutex is held again, as the caller left it.
    EXPECT_FALSE(FreeForOtherThreads(parent->fWndMutex));
    PlatMutexUnlock(parent->fWndMutex);
    EXPECT_TRUE(FreeForOtherThreads(parent->fWndMutex));
}

TEST_F(ModalLoopTest, AKeptWindowCanRunAgainAndAQuitEndsOnlyTheLoop)
{
    QV_Wnd* parent = MakeWindow();
    QV_Wnd* dialog = MakeWindow(5, parent, 150, 150, 100, 80, false);
    Stepper stepper({
        [](Stepper& s) { s.dialog->EndModal(false, 5); },
        [](Stepper& s) { s.dialog->EndModal(false, 6); },
        [](Stepper&) { PlatPostQuit(); },
    });
    stepper.dialog = dialog;
    dialog->AddTimer(0.01f, &stepper, 1);
    const uint32_t id = IdOf(dialog);
    EXPECT_EQ(dialog->RunModal(), 5);
    ASSERT_TRUE(Alive(id));
    EXPECT_FALSE(dialog->fInModal);
    EXPECT_EQ(dialog->RunModal(), 6);
    ASSERT_TRUE(Alive(id));
    // A quit ends the loop with the result so far (and the window, which
    // nothing asked to keep) and is used up by it.
    EXPECT_EQ(dialog->RunModal(), 0);
    EXPECT_FALSE(Alive(id));
    EXPECT_EQ(PumpPending(), 0);

    // A window whose QuitRequested allows it ends its loop through the close
    // box with MSG_CANCEL.
    class Closable : public QV_Wnd {
    public:
        using QV_Wnd::QV_Wnd;
        bool QuitRequested() override { return true; }
    };
    auto* closable = new Closable(2, "closable", false, parent, 10, 10, 109, 89);
    const uint32_t closableId = IdOf(closable);
    PlatSimulateClose(closable->fHwnd);
    EXPECT_EQ(closable->RunModal(), MSG_CANCEL);
    EXPECT_FALSE(Alive(closableId));
}

TEST_F(ModalLoopTest, ALoopRunOutsideAnyHandlingLeavesTheParentsMutexFree)
{
    QV_Wnd* parent = MakeWindow();
    QV_Wnd* dialog = MakeWindow(2, parent, 150, 150, 100, 80, false);
    Stepper stepper({ [](Stepper& s) { s.dialog->EndModal(true, 3); } });
    stepper.dialog = dialog;
    dialog->AddTimer(0.01f, &stepper, 1);
    // Nobody holds the parent's mutex: there is nothing to give back, and so
    // nothing may be taken afterwards that worker threads would wait for.
    EXPECT_EQ(dialog->RunModal(), 3);
    EXPECT_TRUE(FreeForOtherThreads(parent->fWndMutex));
}

TEST_F(ModalLoopTest, ADialogDestroyedUnderItsLoopEndsIt)
{
    QV_Wnd* parent = MakeWindow();
    QV_Wnd* dialog = MakeWindow(2, parent, 150, 150, 100, 80, false);
    Stepper stepper({ [](Stepper& s) {
        s.dialog->EndModal(false, 4);
        PlatWindowDestroy(s.dialog->fHwnd);
    } });
    stepper.dialog = dialog;
    dialog->AddTimer(0.01f, &stepper, 1);
    const uint32_t id = IdOf(dialog);
    EXPECT_EQ(dialog->RunModal(), 4);
    EXPECT_FALSE(Alive(id));
    EXPECT_TRUE(PlatWindowIsEnabled(parent->fHwnd));
}
