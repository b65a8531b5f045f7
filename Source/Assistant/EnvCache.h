#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

// The cached prediction of the mastered waveform: per bucket of overview bins the modelled lower and
// upper edges and the chain's gain there, plus summary figures. Each processor owns one (two editors
// of different instances must never share a prediction); it is touched only on the message thread.
namespace vyrMasterHypo
{
    struct EnvCache
    {
        std::vector<float> lo, hi, gain;   // `buckets` valid entries each
        std::int32_t buckets = 0;          // 0..384
        std::int32_t sourceBins = 0;
        std::int32_t stride = 4;
        float clipShare = 0.0f;            // share of buckets whose modelled peak exceeds 0.92 x ceiling
        float sourcePeakToRmsDb = 0.0f;
        float crestDb = 0.0f;
        float ceilingLin = 0.89f;
        std::uint64_t hash = 0;
        bool valid = false;

        // Throttle: the time of the last accepted build.
        double lastBuildMs = 0.0;
        bool hasBuildTime = false;
        // Raw values of every parameter in parameter order, looked up once (null: read the normalised value).
        std::vector<std::atomic<float>*> rawParams;
        bool paramsLookedUp = false;
        std::int64_t builds = 0;           // accepted builds so far
    };
}
