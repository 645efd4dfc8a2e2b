#include "render_worker.h"

namespace {

struct Launch {
    std::function<void()> body;
    std::shared_ptr<void> keep;
    std::function<void()> ended;
};

void RunLaunch(void* arg)
{
    std::unique_ptr<Launch> launch(static_cast<Launch*>(arg));
    launch->body();
    launch->ended();
}

} // namespace

RenderWorker::RenderWorker()
    : fState(std::make_shared<State>())
{
}

RenderWorker::~RenderWorker()
{
    Stop();
}

bool RenderWorker::Start(std::function<void()> body, PlatThreadPriority priority)
{
    {
        std::lock_guard<std::mutex> guard(fState->lock);
        if (fState->running)
            return false;
        fState->running = true;
        fState->stop = false;
    }
    std::shared_ptr<State> state = fState;
    auto* launch = new Launch { std::move(body), state, [state] {
                                   std::lock_guard<std::mutex> guard(state->lock);
                                   state->running = false;
                                   state->ended.notify_all();
                               } };
    if (!PlatStartThread(RunLaunch, launch, priority)) {
        delete launch;
        std::lock_guard<std::mutex> guard(fState->lock);
        fState->running = false;
        return false;
    }
    return true;
}

bool RenderWorker::Running() const
{
    std::lock_guard<std::mutex> guard(fState->lock);
    return fState->running;
}

bool RenderWorker::MayGoOn()
{
    std::lock_guard<std::mutex> guard(fState->lock);
    return !fState->stop;
}

void RenderWorker::Stop()
{
    std::unique_lock<std::mutex> guard(fState->lock);
    if (!fState->running)
        return;
    fState->stop = true;
    fState->ended.wait(guard, [this] { return !fState->running; });
}
