#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

// Processing state of the signal chain until the chain engines arrive: the mastered path passes audio.
struct VyrSignalChain
{
    int product = 0;
    bool bypass = false;
    void prepare (double, int) {}
};

