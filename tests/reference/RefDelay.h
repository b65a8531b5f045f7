// The engine as it was before its faster paths, kept as the reference the tests compare against.
#pragma once
#include "Dsp/DspCommon.h"
#include <array>
#include <vector>

namespace vyrRef
{

// Stereo feedback echo with up to four seconds of delay. Each of the first two channels has its own
// circular line and feedback loop. A new delay time never moves a read position: it starts an
// equal-power crossfade from the current tap to a second tap at the new time, so time changes never
// pitch-shift or click.


namespace vyrDelay
{
    // Note lengths in beats of the synced notes "1/16", "1/16.", "1/8", "1/8.", "1/4", "1/4.".
    inline constexpr std::array<float, 6> kDelayNoteMul { 0.25f, 0.375f, 0.5f, 0.75f, 1.0f, 1.5f };

    // Delay time in seconds for a sync choice: index 0 ("Free") or any index outside 1..6 gives
    // freeTime; index n in 1..6 gives the note kDelayNoteMul[n - 1] at the tempo, with the tempo held
    // to 20..300 BPM. The result is not limited to the delay's range (the caller clamps it).
    float syncedTime (float freeTime, float bpm, int syncNoteIndex) noexcept;
}

class VyrDelay
{
public:
    // Settings, written before each block.
    bool enabled = false;
    float time = 0.25f;    // seconds
    float feedback = 0.3f; // 0..0.9
    float mix = 0.2f;      // wet share 0..1
    float xfadeMs = 15.0f; // crossfade length on time changes, ms, 2..60

    VyrDelay();

    // Allocates both lines (four seconds plus a little) and resets the running state.
    void prepare (double sampleRate, int blockSize);

    // In place; runs every block, also when switched off (the lines keep running, only the wet share
    // fades to 0). A mono buffer feeds both lines from its one channel and gets the left output.
    void process (juce::AudioBuffer<float>& buffer) noexcept;

    double getSampleRate() const noexcept { return sampleRate; }
    int getLength() const noexcept { return length; }

private:
    struct TapRead // a tap's delay split once into whole samples and a fraction
    {
        int whole = 1;
        float frac = 0.0f;
        void set (float delaySamples) noexcept;
    };

    inline float readTap (const float* line, const TapRead& t) const noexcept;

    double sampleRate = 44100.0;
    std::vector<float> bufferL, bufferR;
    int length = 0;
    int writeIndex = 0;
    float tapDelay[2] { 0.0f, 0.0f };
    int activeTap = 0;
    bool initialised = false;
    bool fading = false;
    int fadeFromTap = 0, fadeToTap = 1;
    int fadeCount = 0;
    int fadeSamples = 1;
    float fadeStep = 1.0f;
    float feedbackSmooth = 0.3f;
    float feedbackCoef = 0.0f;
    vyrDsp::Smoothed mixSmooth { 0.0f };
    vyrDsp::Smoothed timeSmooth { 0.25f };
};

} // namespace vyrRef
