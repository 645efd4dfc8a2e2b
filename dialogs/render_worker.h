#pragma once

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

#include "plat_thread.h"

// The thread of one render window and its stop request. The worker probes the stop request
// (TryRun, never waiting) before each step; the interface thread stops it by taking the request
// and waiting until the body has returned.
class RenderWorker {
public:
    RenderWorker();
    ~RenderWorker();
    RenderWorker(const RenderWorker&) = delete;
    RenderWorker& operator=(const RenderWorker&) = delete;

    // False when no thread could be started (the body then never runs).
    bool Start(std::function<void()> body, PlatThreadPriority priority);
    bool Running() const;
    // Worker side: true while no stop is asked for.
    bool MayGoOn();
    // Interface side: asks the worker to stop and waits until its body has returned.
    void Stop();

private:
    struct State {
        std::mutex lock;
        std::condition_variable ended;
        bool running = false;
        bool stop = false;
    };
    std::shared_ptr<State> fState;
};
