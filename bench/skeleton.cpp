// Skeleton speed: every frame change of a bone layer evaluates the bones' channels, updates the
// skeleton's matrices and deforms every point bound to it, and each point bound to the blend
// visits every bone twice (LocalFrameAt), so the deformation grows with points x bones.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "m_skeleton.h"

namespace {

constexpr int32_t kBonesPerChain = 10;
constexpr float kBoneLength = 0.1f;
constexpr int32_t kCycleFrames = 48;

// Chains of kBonesPerChain bones fanning out from the origin, each bone's angle keyed to sway
// over kCycleFrames.
void BuildSkeleton(M_Skeleton& skeleton, int32_t bones)
{
    const int32_t chains = (bones + kBonesPerChain - 1) / kBonesPerChain;
    for (int32_t i = 0; i < bones; i++) {
        const int32_t chain = i / kBonesPerChain, link = i % kBonesPerChain;
        M_Bone* bone = skeleton.AddBone(0);
        bone->fLength = kBoneLength;
        bone->fParent = link == 0 ? -1 : i - 1;
        const float rest = link == 0 ? 6.2831855f * float(chain) / float(chains) : 0.0f;
        bone->fAnimPos.SetValue(0, link == 0 ? QV_Vector2 { 0, 0 } : QV_Vector2 { kBoneLength, 0 });
        bone->fAnimAngle.SetValue(0, rest);
        bone->fAnimAngle.SetValue(kCycleFrames / 2, rest + 0.3f);
        bone->fAnimAngle.SetValue(kCycleFrames, rest);
    }
}

struct BoundPoint {
    QV_Vector2 rest;
    QV_Vector2 current;
};

// Points spread over the disc the chains cover.
std::vector<BoundPoint> ScatterPoints(int32_t count)
{
    std::mt19937 random(7);
    std::uniform_real_distribution<float> unit(0, 1);
    std::vector<BoundPoint> points(static_cast<size_t>(count));
    const float reach = kBoneLength * kBonesPerChain;
    for (BoundPoint& point : points) {
        const float r = reach * std::sqrt(unit(random)), a = 6.2831855f * unit(random);
        point.rest = QV_Vector2 { r * std::cos(a), r * std::sin(a) };
        point.current = point.rest;
    }
    return points;
}

// What the bone layer's frame update does to its bones before updating the matrices.
void PoseAtFrame(M_Skeleton& skeleton, int32_t frame)
{
    for (int32_t i = 0; i < skeleton.GetNumBones(); i++) {
        M_Bone* bone = skeleton.GetBone(i);
        bone->fAnimPos.SetCurFrame(frame);
        bone->fAnimAngle.SetCurFrame(frame);
        bone->fAnimScale.SetCurFrame(frame);
        bone->fPos = bone->fAnimPos.value;
        bone->fAngle = bone->fAnimAngle.value;
        bone->fScale = bone->fAnimScale.value;
    }
    skeleton.UpdateBoneMatrix(-1);
}

// Points bound to the blend keep their own motion and turn with the skeleton around their
// rest position.
float DeformPoints(M_Skeleton& skeleton, const std::vector<BoundPoint>& points)
{
    float sum = 0;
    for (const BoundPoint& point : points) {
        QV_Vector2 p = point.current;
        skeleton.LocalFrameAt(point.rest).Transform(p);
        sum += p.x + p.y;
    }
    return sum;
}

void BM_SkeletonFrame(benchmark::State& state)
{
    M_Skeleton skeleton;
    BuildSkeleton(skeleton, int32_t(state.range(0)));
    const std::vector<BoundPoint> points = ScatterPoints(int32_t(state.range(1)));
    PoseAtFrame(skeleton, 0);
    int32_t frame = 1;
    for (auto _ : state) {
        PoseAtFrame(skeleton, frame);
        benchmark::DoNotOptimize(DeformPoints(skeleton, points));
        frame = frame % kCycleFrames + 1;
    }
    state.counters["frames_per_second"]
        = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
    // Constant across the sizes when the deformation is linear in points x bones.
    state.counters["point_bones_per_second"]
        = benchmark::Counter(double(state.iterations()) * double(state.range(0)) * double(state.range(1)),
            benchmark::Counter::kIsRate);
}
BENCHMARK(BM_SkeletonFrame)
    ->ArgNames({ "bones", "points" })
    ->Args({ 200, 20000 })
    ->Args({ 100, 20000 })
    ->Args({ 200, 5000 })
    ->Unit(benchmark::kMillisecond);

// The matrix update alone: its control pass runs once per bone, so it is quadratic in bones.
void BM_UpdateBoneMatrix(benchmark::State& state)
{
    M_Skeleton skeleton;
    BuildSkeleton(skeleton, int32_t(state.range(0)));
    for (auto _ : state)
        skeleton.UpdateBoneMatrix(-1);
}
BENCHMARK(BM_UpdateBoneMatrix)->ArgName("bones")->Arg(50)->Arg(200)->Unit(benchmark::kMicrosecond);

} // namespace
