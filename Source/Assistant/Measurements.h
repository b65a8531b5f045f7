#pragma once

// The assistant's measuring half: one call gathers what the advice and the library ranking judge -
// the chosen lane, the loudness (measured, analysed or assumed), the modelled master's ceiling share
// and crest, and a four-band tonal balance from the live output spectrum or, while nothing plays,
// from the parametric EQ's curve. Message thread.

#include "Assistant/Snapshot.h"

class VyrAudioProcessor;

namespace vyrMasterAssist
{
    Snapshot measure (const VyrAudioProcessor& processor);

    // Mean level in dB of a 4096-bin spectrum (0 .. nyquistHz) between two frequencies, in
    // half-octave steps, each step taking its loudest bin (or the level interpolated at its centre
    // when it spans at most one bin).
    float octaveDb (const float* spectrum, float nyquistHz, float loHz, float hiHz) noexcept;
}
