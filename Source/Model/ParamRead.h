#pragma once

#include <atomic>
#include <cmath>

// Reading raw parameter values on the audio thread: a missing parameter or a non-finite value gives
// the fallback, so a damaged state never reaches the engines.
namespace vyrParamRead
{
    inline float readFloat (const std::atomic<float>* p, float fallback) noexcept
    {
        if (p == nullptr)
            return fallback;
        const float v = p->load (std::memory_order_relaxed);
        return std::isfinite (v) ? v : fallback;
    }

    inline bool readBool (const std::atomic<float>* p, bool fallback) noexcept
    {
        if (p == nullptr)
            return fallback;
        const float v = p->load (std::memory_order_relaxed);
        return std::isfinite (v) ? v >= 0.5f : fallback;
    }
}
