#pragma once

#include <cstdint>

// One measurement of the prospective master: what the advice and the library ranking judge.
namespace vyrMasterAssist
{
    struct Snapshot
    {
        bool hasFile = false;          // a file is loaded and its overview is not empty
        bool hasSignal = false;        // the live output is sounding
        std::int32_t medium = 3;       // 0..7
        std::int32_t style = 5;        // 0..6
        float lufs = -100.0f;          // the loudness judged
        float lufsMomentary = -100.0f;
        float lufsShort = -100.0f;
        float targetLufs = -14.0f;
        float clipShare = 0.0f;        // share 0..1 of the modelled master at the ceiling
        float crestDb = 0.0f;          // crest of the source
        float modelCrestDb = 0.0f;     // crest of the modelled master
        float lowVsMidDb = 0.0f;       // 20-250 Hz against 250-4000 Hz
        float subDb = 0.0f;            // bands relative to the mean of the four
        float lowDb = 0.0f;
        float midDb = 0.0f;
        float highDb = 0.0f;
        bool lufsKnown = false;        // `lufs` was measured or analysed, not assumed to be on target
    };
}
