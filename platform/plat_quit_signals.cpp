#include "plat_quit_signals.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <semaphore.h>
#include <thread>

#include "plat_sdl_internal.h"

namespace {

// Written by the signal handler: only lock-free atomics and sem_post are safe there.
std::atomic<int> gQuitSignals { 0 };
sem_t gWake;
bool gCatching = false;

static_assert(std::atomic<int>::is_always_lock_free);

void OnQuitSignal(int)
{
    const int saved = errno;
    gQuitSignals.fetch_add(1);
    sem_post(&gWake);
    errno = saved;
}

// Wakes a pump that waits for events: an event the pump passes over, after which it looks at
// the signals taken.
void WakeThePump()
{
    for (;;) {
        while (sem_wait(&gWake) != 0 && errno == EINTR) { }
        const uint32_t type = PlatWakeUpEventType();
        if (type != 0 && SDL_WasInit(SDL_INIT_EVENTS)) {
            SDL_Event event {};
            event.type = type;
            SDL_PushEvent(&event);
        }
    }
}

bool Catch(int signal, void (*handler)(int))
{
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    return sigaction(signal, &action, nullptr) == 0;
}

} // namespace

bool PlatCatchQuitSignals()
{
    if (!gCatching) {
        if (sem_init(&gWake, 0, 0) != 0)
            return false;
        std::thread(WakeThePump).detach();
        gCatching = true;
    }
    return Catch(SIGTERM, OnQuitSignal) && Catch(SIGINT, OnQuitSignal);
}

void PlatReleaseQuitSignals()
{
    Catch(SIGTERM, SIG_DFL);
    Catch(SIGINT, SIG_DFL);
}

bool PlatTakeQuitSignal()
{
    int pending = gQuitSignals.load();
    while (pending > 0) {
        if (gQuitSignals.compare_exchange_weak(pending, pending - 1))
            return true;
    }
    return false;
}
