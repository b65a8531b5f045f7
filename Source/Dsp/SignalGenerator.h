#pragma once

// Test-signal generator: nine waveforms with level, dim, duty, band-limited edges, stereo
// decorrelation, per-channel polarity, DC offset and a linear or logarithmic sweep, plus the
// peak and RMS readouts of its own output. Holds only the running state; the settings arrive
// with every block.

#include <juce_audio_basics/juce_audio_basics.h>
#include <atomic>

class VyrSignalGenerator
{
public:
    enum Wave
    {
        sine = 0,
        white = 1,
        pink = 2,
        square = 3,
        saw = 4,
        triangle = 5,
        needle = 6,
        impulse = 7,
        sweep = 8
    };

    // One block's settings, read once by the caller. Out-of-range values are clamped by render();
    // a non-finite number falls back to the default shown here.
    struct Settings
    {
        int wave = sine;              // 0..8
        float frequency = 1000.0f;    // Hz, 1..20000
        float levelDb = -20.0f;       // dBFS, -96..+6
        bool dim = false;             // -20 dB
        float duty = 0.5f;            // square duty cycle, 0.05..0.95
        bool antiAlias = true;        // band-limited edges of square and saw
        bool decorrelated = false;    // independent noise and needles on the right (needs stereo)
        bool stereo = true;           // off: the right channel repeats the left
        int invert = 0;               // bit 0 inverts the left channel, bit 1 the right
        float dcOffset = 0.0f;        // added before the level, -1..+1
        float sweepStart = 20.0f;     // Hz, at least 1
        float sweepEnd = 20000.0f;    // Hz, at least 1
        float sweepDuration = 4.0f;   // seconds, at least 0.05
        bool sweepLog = true;         // logarithmic sweep, else linear
        bool impulseRequested = false; // a pending impulse request was taken for this block
    };

    // Level readouts, published about every 30 ms of generated audio.
    struct Readout
    {
        bool published = false;       // true when this block completed a readout period
        float peakDb[2] { -100.0f, -100.0f };
        float rmsDb[2] { -100.0f, -100.0f };
    };

    // Replaces every sample of every channel with the next buffer.getNumSamples() generator samples:
    // channel 0 left, channel 1 right, further channels the left signal. `random` is the noise source.
    Readout render (juce::AudioBuffer<float>& buffer, const Settings& settings, double sampleRate, juce::Random& random) noexcept;

    // Back to the state of a freshly constructed generator (the next block starts a new waveform).
    // Call from the thread that renders, or while rendering is stopped.
    void reset() noexcept;

    // The same reset, asked for from another thread: it is applied at the start of the next block.
    void requestReset() noexcept { resetPending.store (true, std::memory_order_release); }

private:
    void restartWave (int wave, juce::Random& random) noexcept;

    std::atomic<bool> resetPending { false };

    double phase = 0.0;          // oscillator phase 0..1 (sine, square, saw, triangle)
    double sweepPhase = 0.0;     // sweep oscillator phase 0..1
    double sweepTime = 0.0;      // seconds into the current sweep
    double needleTime = 0.0;     // seconds since the last needle
    double needleInterval = 0.55; // seconds to the next needle
    int lastWave = -1;           // waveform of the previous block
    float peakHold[2] {};
    double sumSquares[2] {};
    int readoutCount = 0;
    int readoutTimer = 0;
    float pinkL[7] {};
    float pinkR[7] {};
};
