// Channel evaluation speed: every frame change evaluates every channel of every layer.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <vector>

#include "animval.h"

namespace {

constexpr int32_t kKeys = 1000;
constexpr int32_t kKeySpacing = 7;
constexpr int32_t kFrames = 1000000;

// kKeys keys of the mode, 7 frames apart, with values that wander up and down.
void FillChannel(AnimVal& channel, int32_t mode)
{
    if (mode == INTERP_POSE) {
        channel.ActivateAction("gesture");
        for (int32_t k = 1; k <= 4; k++)
            channel.SetValue(k * 2, float(k % 3));
        channel.fActiveAction = nullptr;
        channel.ActivateAction("");
    }
    std::mt19937 random(1234);
    std::uniform_real_distribution<float> value(-10, 10);
    for (int32_t i = 0; i < kKeys; i++) {
        const int32_t frame = i * kKeySpacing;
        channel.SetValue(frame, value(random));
        float val1 = 0.1f, val2 = 0.5f;
        if (mode == INTERP_NOISY) {
            val1 = 0.5f;
            val2 = 0.3f;
        } else if (mode == INTERP_CYCLE) {
            // Each key repeats the span before it. That span cycles too, so a frame is mapped
            // back span by span until it lands on a key: the cost grows with that chain.
            val1 = kKeySpacing;
            val2 = -1;
        } else if (mode == INTERP_POSE) {
            val1 = 0;
            val2 = -1;
        }
        channel.SetKeyInterp(frame, mode, val1, val2);
    }
}

std::vector<int32_t> RandomFrames(int32_t lastFrame)
{
    std::mt19937 random(42);
    std::uniform_int_distribution<int32_t> frame(-20, lastFrame + 50);
    std::vector<int32_t> frames(kFrames);
    for (int32_t& f : frames)
        f = frame(random);
    return frames;
}

void BM_EvaluateAnimVal(benchmark::State& state)
{
    const int32_t mode = int32_t(state.range(0));
    AnimVal channel;
    FillChannel(channel, mode);
    const std::vector<int32_t> frames = RandomFrames((kKeys - 1) * kKeySpacing);
    for (auto _ : state) {
        float sum = 0;
        for (int32_t frame : frames)
            sum += channel.GetValue(frame);
        benchmark::DoNotOptimize(sum);
    }
    state.counters["evaluations_per_second"]
        = benchmark::Counter(double(kFrames) * double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_EvaluateAnimVal)
    ->ArgName("mode")
    ->DenseRange(INTERP_LINEAR, INTERP_EASE_OUT)
    ->Unit(benchmark::kMillisecond);

// The key lookup under every evaluation: its cost must grow with the logarithm of the keys.
void BM_ClosestKey(benchmark::State& state)
{
    const int32_t keys = int32_t(state.range(0));
    AnimVal channel;
    for (int32_t i = 1; i < keys; i++)
        channel.SetValue(i * 3, float(i));
    std::mt19937 random(7);
    std::uniform_int_distribution<int32_t> frame(0, keys * 3);
    std::vector<int32_t> frames(4096);
    for (int32_t& f : frames)
        f = frame(random);
    size_t next = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(channel.GetClosestKeyID(frames[next]));
        next = (next + 1) & 4095;
    }
    state.SetComplexityN(keys);
}
BENCHMARK(BM_ClosestKey)->RangeMultiplier(10)->Range(1000, 1000000)->Complexity(benchmark::oLogN);

} // namespace
