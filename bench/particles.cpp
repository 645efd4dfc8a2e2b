// Particle simulation speed: a full start runs a lifetime ahead for every particle, and every
// forward frame steps each particle once (a release redraws its spawn from the generator).
#include <benchmark/benchmark.h>

#include <cstdint>

#include "meshlayer.h"
#include "particlelayer.h"

namespace {

constexpr int32_t kParticles = 1000;
constexpr int32_t kLifetime = 48;

void Configure(ParticleLayer& layer)
{
    layer.AddLayer(new MeshLayer);
    layer.SetNumParticles(kParticles, 20);
    layer.SetLifetime(kLifetime);
    layer.SetFullSpeedStart(true);
}

void BM_SeedWithFullStart(benchmark::State& state)
{
    ParticleLayer layer;
    Configure(layer);
    int32_t seed = 1;
    for (auto _ : state)
        layer.SetRandomSeed(seed++);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SeedWithFullStart)->Unit(benchmark::kMillisecond);

void BM_ForwardStep(benchmark::State& state)
{
    ParticleLayer layer;
    Configure(layer);
    layer.SetRandomSeed(5);
    int32_t frame = 0;
    for (auto _ : state) {
        // Past a long run the layer starts again from a seeding, outside the timing.
        if (++frame > 2000) {
            state.PauseTiming();
            layer.SetCurFrame(0);
            frame = 1;
            state.ResumeTiming();
        }
        layer.SetCurFrame(frame);
    }
    state.SetItemsProcessed(state.iterations() * kParticles);
}
BENCHMARK(BM_ForwardStep)->Unit(benchmark::kMicrosecond);

} // namespace
