#pragma once

// Stereo algorithmic reverb: predelay, early-reflection taps and, per channel, an eight-line
// feedback delay network with modulated, damped lines and a diffusion matrix, followed by a low cut
// and a high shelf on the wet signal. The wet signal is added to the dry signal.

#include "Dsp/DspCommon.h"
#include <vector>

class VyrReverbEngine
{
public:
    struct Params
    {
        bool enabled = false;
        int shape = 1;                 // early-reflection pattern: 0 "Square", 1 "Curved", 2 "Round"
        float size = 0.5f;             // room size 0..1
        float diffuse = 0.78f;         // diffusion 0..1
        float color = 0.55f;           // tone 0..1
        float loFactor = 0.35f;        // low-frequency damping of the tail 0..1
        float hiFactor = 0.45f;        // high-frequency damping of the tail 0..1
        float earlyLevel = 0.55f;      // early-reflection level, linear
        float reserved = 0.0f;         // not read
        float erSize = 0.5f;           // early-reflection spacing 0..1; 0.001 or less uses size
        float lateLevel = 1.18f;       // late-reverb level, linear
        float lateDelayMs = 12.0f;     // tank input behind the predelayed signal, ms, 0..300
        float decay = 1.5f;            // reverb time, seconds
        float lpf = 18000.0f;          // low-pass of the late reverb, Hz
        bool freeze = false;           // hold the tail: no new input, no early reflections
        bool monoCompatible = false;   // no left/right offset of the early reflections
        float mix = 0.2f;              // wet amount 0..1 added to the dry signal
        float radicalness = 0.0f;      // "X-Large": enlarges and lengthens the room, 0..1
        float predelay = 0.0f;         // ms
        float lowCut = 20.0f;          // high-pass of the wet signal, Hz
        float highShelfFreq = 8000.0f; // Hz
        float highShelfGain = 0.0f;    // dB
    };

    VyrReverbEngine();

    // Sizes every line for the rate and clears the running state. Allocates: not for the audio thread.
    void prepare (double sampleRate, int blockSize);

    // Takes a settings record and derives every target; call before each block.
    void setParams (const Params& p) noexcept;
    const Params& getParams() const noexcept { return params; }

    // Adds the wet signal to the first one or two channels in place.
    void process (juce::AudioBuffer<float>& buffer) noexcept;

    double getSampleRate() const noexcept { return sampleRate; }

private:
    static constexpr int kLines = 8;
    static constexpr int kLanes = 2 * kLines; // lines 0..7 left tank, 8..15 right tank
    static constexpr int kMaxTaps = 14;
    static constexpr int kLfos = 6;
    static constexpr int kRun = 32; // longest tank run, samples (see processFull); at most 64

    // Lanes circular buffers sharing one write position, each lane a contiguous run of its own (a read
    // that moves on by one sample per sample stays in the same cache line for many samples).
    // read (lane, d) returns the lane's input d samples back (linear interpolation), counted from the
    // current position whether or not it was written yet.
    template <int Lanes>
    struct Ring
    {
        std::vector<float> data;
        int size = 0, pos = 0, capacity = 0; // capacity = largest delay the owner asked for

        void allocate (int maxDelay)
        {
            capacity = juce::jmax (4, maxDelay);
            size = capacity + 2;
            data.assign ((size_t) size * Lanes, 0.0f);
            pos = 0;
        }
        inline void write (int lane, float x) noexcept { data[(size_t) lane * (size_t) size + (size_t) pos] = x; }
        inline void advance() noexcept { pos = (pos + 1 == size) ? 0 : pos + 1; }
        inline float maxRead() const noexcept { return (float) (capacity - 2); }
        inline float read (int lane, int whole, float frac) const noexcept // 0 <= whole <= capacity - 2
        {
            const float* line = data.data() + (size_t) lane * (size_t) size;
            int i1 = pos - whole;
            i1 += i1 < 0 ? size : 0;
            int i2 = i1 - 1;
            i2 += i2 < 0 ? size : 0;
            const float a = line[i1];
            const float b = line[i2];
            return a + frac * (b - a);
        }
    };

    // One channel of predelayed input, stored twice (positions p and p + size hold the same sample), so
    // a run of reads at a fixed delay is one contiguous span for any position: the early-reflection taps
    // are summed a whole chunk at a time.
    struct MirroredLine
    {
        std::vector<float> data;
        int size = 0, capacity = 0;

        void allocate (int maxDelay)
        {
            capacity = juce::jmax (4, maxDelay);
            size = capacity + 2;
            data.assign ((size_t) (2 * size), 0.0f);
        }
        inline void write (int pos, float x) noexcept
        {
            data[(size_t) pos] = x;
            data[(size_t) (pos + size)] = x;
        }
        inline float maxRead() const noexcept { return (float) (capacity - 2); }
        // Pointer p such that p[i] is the sample `whole` back from position pos + i (no wrap inside a
        // span that ends before the position wraps).
        inline const float* span (int pos, int whole) const noexcept { return data.data() + (pos + size - whole); }
    };

    // Equal-power fade weights for the fixed 20 ms fade length, built once per prepare.
    struct FadeTable
    {
        int length = 0;
        std::vector<float> cosine, sine;
    };

    // Two values of a delay setting with an equal-power crossfade between them, so a change of room size
    // or predelay moves to a second read position instead of sliding the first one.
    struct CrossfadedPair
    {
        float value[2] { 0.0f, 0.0f };
        int current = 0, from = 0, to = 1;
        bool fading = false, initialised = false;
        int fadeCount = 0, fadeLength = 1;
        float fadeStep = 1.0f;

        void reset() noexcept;
        void offer (float v, float threshold, int length) noexcept;
        // Weights of value[0] and value[1] for this sample; moves the fade on.
        inline void tick (float& w0, float& w1, const FadeTable& table) noexcept;
        void skip (int numSamples) noexcept;
    };

    // The running state of the tank's three filters (damping low-pass, low high-pass, low shelf), each
    // one biquad design over the sixteen lanes: rows s1, s2 of each filter in turn.
    struct TankFilterState
    {
        alignas (32) float s[6][kLanes] {};
        void reset() noexcept;
        void sanitise() noexcept; // clears each filter whose state is not finite
        float maxAbs() const noexcept;
    };

    void designFilters() noexcept;
    void sanitiseState() noexcept;
    bool quietEnoughToIdle() const noexcept;
    void zeroTailState() noexcept;
    void predelayChunk (const float* left, const float* right, int offset, int count) noexcept;
    void earlyChunk (int startPos, int count) noexcept;
    void processIdle (float* left, float* right, int numSamples) noexcept;
    void clearInputHistory() noexcept;
    void processFull (float* left, float* right, int numSamples) noexcept;
    void tankRun (float* left, float* right, int n0, int i0, int count, const float* lineA0, const float* lineA1,
                  const float* lineB) noexcept;

    Params params;
    double sampleRate = 44100.0;
    float rate = 44100.0f;
    // The six modulation sines, restarted from their phases every block (in double, like vyrDsp::SineOsc).
    // Within a block each sample is the run's starting point rotated by a tabled angle (cos and sin of
    // 1..kRun increments), so the samples of a run do not wait on each other.
    struct LfoBank
    {
        double phase[kLfos] {};
        double s[kLfos] {}, c[kLfos] {}, inc[kLfos] {};
        double tableInc[kLfos] { -1.0, -1.0, -1.0, -1.0, -1.0, -1.0 }; // no table built yet
        alignas (16) double rotC[kLfos][kRun + 1] {}, rotS[kLfos][kRun + 1] {};

        void beginBlock (const double* increments) noexcept;
        void endBlock (int numSamples) noexcept;
        // Values of every sine for the next `count` samples (1..kRun), out[k][i].
        void run (float (*out)[kRun], int count) noexcept;
    };
    LfoBank lfo;
    double lfoIncrement[kLfos] {};

    vyrDsp::Smoothed mixSmooth, erSizeSmooth, feedbackSmooth, diffuseSmooth, earlySmooth, lateSmooth,
                     inputSmooth, dampSmooth, lowFreqSmooth, shelfFreqSmooth, shelfGainSmooth, lpfSmooth,
                     lowCutSmooth, highShelfFreqSmooth, highShelfGainSmooth;

    Ring<2> predelayLine;          // dry left, right
    MirroredLine history[2];       // predelayed left, right: feeds the early-reflection taps and the tank
    int historyPos = 0;
    Ring<kLanes> tank;

    // Per-chunk scratch: the block is worked through in chunks of up to kChunk samples, stage by stage.
    static constexpr int kChunk = 128;
    alignas (16) float chunkIn[2][kChunk] {};    // tank input after the input high-pass
    alignas (16) float chunkEarly[2][kChunk] {}; // early-reflection sums
    float lateDelay = 12.0f;                     // samples, for this block

    // The tank works in runs of up to kRun samples, each no longer than the shortest line delay, so a run
    // reads only what earlier runs wrote: each line is read a whole run at a time, the filters step
    // through the run sample by sample across all sixteen lanes, and the matrix works line by line.
    alignas (16) float runLanes[kLanes][kRun] {};  // lane-major line outputs of a run
    alignas (16) float runFrames[kRun][kLanes] {}; // the same sample-major, for the filters
    alignas (16) float runLfo[kLfos][kRun] {};

    CrossfadedPair sizeSlots, predelaySlots;
    int fadeSamples = 882;
    FadeTable fadeTable;

    // Last designs (sentinels force the first design).
    float lastDamp = -1.0f, lastLowFreq = -1.0f, lastShelfFreq = -1.0f, lastShelfGain = 1.0e9f, lastLpf = -1.0f;
    float lastLowCut = -1.0f, lastHsFreq = -1.0f, lastHsGain = 1.0e9f;

    vyrDsp::BiquadCoeffs dampC, lowHpC, shelfC, lateLpC, wetLowCutC, wetHighShelfC;
    TankFilterState tankFilterState;
    vyrDsp::Biquad tankInputHp[2], lateLp[2], wetLowCut[2], wetHighShelf[2];

    alignas (16) float baseDelay[kLanes] {}; // seconds
    alignas (16) float inject[kLanes] {};
    alignas (16) float modDepth[kLanes] {};  // seconds

    int tapCount = 11;
    float tapPattern[kMaxTaps] {}; // tap times before spacing, seconds
    float tapGain[kMaxTaps] {};
    float erOffset = 0.0f;         // seconds, + left, - right

    int quietSamples = 0; // samples the wet path has been silent and fed nothing
    bool idle = false;
    bool prepared = false;
};
