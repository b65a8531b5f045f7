#pragma once

// Brickwall lookahead limiter of the mastering chain, with optional oversampled detection and gain,
// a style-dependent tanh colour, dry/wet mix, output gain, TPDF dither with noise shaping, and its own
// meters: sample and true peaks, gain reduction with a short history, and EBU R128 loudness.

#include "Dsp/DspCommon.h"
#include "Dsp/Metering.h"
#include <algorithm>
#include <array>
#include <atomic>
#include <cstdint>
#include <vector>

namespace vyrLimStyle
{
    // Per style (Transparent, Punchy, Modern, Warm, Classical): release time factor and tanh colour blend.
    inline constexpr float kBias[5]   = { 1.0f, 0.7f, 0.85f, 1.4f, 1.8f };
    inline constexpr float kColour[5] = { 0.0f, 0.045f, 0.07f, 0.15f, 0.10f };
}

class VyrLimiter
{
public:
    //==============================================================================================
    // Settings, written by the parameter mapping before every block.
    bool enabled = true;        // off fades the wet signal out
    bool truePeak = false;      // forces at least 2x oversampling
    bool dcBlocker = true;      // high-pass corner 12 Hz when true, 8 Hz when false (it always runs)
    bool msMode = false;        // mid/side detection and gain; implies linked detection
    float ceiling = -0.1f;      // dB, values above 0 act as 0
    float release = 0.05f;      // s, values below 0.001 act as 0.001
    float mix = 1.0f;           // wet share 0..1
    float lookahead = 0.0f;     // ms, 0..20
    float stereoLink = 100.0f;  // %, 50 or more links the channels
    float inputGain = 0.0f;     // dB, at or below -100 dB silence
    float outputGain = 0.0f;    // dB, at or below -100 dB silence
    int oversampling = 1;       // 1, 2, 4 or 8; anything else acts as 1
    int style = 0;              // 0..4, read only by the mapping to form stylePos
    float stylePos = 0.0f;      // 0..4, continuous style position (release bias and colour)
    bool styleXfade = false;    // read only by the mapping
    int dither = 0;             // 0 off, 1 16-bit, 2 24-bit
    int noiseShape = 0;         // 0 None, 1 Basic, 2 Opt, 3 Weight
    int releaseMode = 0;        // 0 Manual, 1 Auto
    int releaseShape = 1;       // 0 Linear, 1 Exp, 2 Adapt
    int scale = 0;              // meter scale choice 0..5, carried for the display

    //==============================================================================================
    // Measurements read by the meter bay (release stores on the audio thread, acquire loads elsewhere).
    std::atomic<float> grDb { 0.0f };   // held gain reduction at the end of the last block, positive dB

    struct MeterBlock
    {
        std::atomic<float> inPeakL { -120.0f }, inPeakR { -120.0f };
        std::atomic<float> outPeakL { -120.0f }, outPeakR { -120.0f };
        std::atomic<float> truePeakDb { -120.0f };              // dBTP, 4x oversampled scan of the output
        std::atomic<float> lufsMomentary { -100.0f };           // 400 ms
        std::atomic<float> lufsShort { -100.0f };               // 3 s
        std::atomic<float> lufsIntegrated { -100.0f };          // gated, since start or the last reset
        std::atomic<float> lra { 0.0f };                        // loudness range, LU
        std::atomic<float> maxIn { -120.0f }, maxOut { -120.0f };
        std::atomic<float> maxGr { 0.0f };
        std::atomic<float> maxTruePeak { -120.0f };
    };
    MeterBlock meterBlock;

    static constexpr int grHistorySize = 240;
    std::array<std::atomic<float>, grHistorySize> grHistory;
    std::atomic<int> grHistoryWrite { 0 };

    // The integrated-loudness and loudness-range histories belong to the audio thread; a reset from
    // the message thread is a request it serves before the next 100 ms slice counts.
    std::atomic<bool> loudnessResetPending { false };

    //==============================================================================================
    VyrLimiter();

    // Sizes every buffer for the largest lookahead (20 ms) and oversampling (8x) at this rate.
    void prepare (double sampleRate, int maximumBlockSize);

    // Processes the first one or two channels in place; further channels are left alone.
    void process (juce::AudioBuffer<float>& buffer) noexcept;

    // Delay of the output against the input for the current settings, in samples at the host rate:
    // the lookahead plus the oversampling filters. The dry share and the switched-off path carry the
    // same delay, so the figure holds whatever mix and enabled say.
    int getLatencySamples() const noexcept;
    // The same figure for settings not yet in place, at a rate as prepare() takes it: what
    // getLatencySamples() reports once these settings reach the limiter. Any thread.
    static int latencyForSettings (double sampleRate, int oversampling, bool truePeak, float lookaheadMs) noexcept;

    // Message thread: restarts integrated loudness and loudness range (the readouts show it at once).
    void resetLoudness() noexcept;
    // Message thread: clears the MAX readouts.
    void resetMaxima() noexcept;

    //==============================================================================================
    // Sliding maximum of the last W pushed values (non-negative; an empty window reads 0), O(1) per
    // push without data-dependent branches: the pushes run in blocks of W, and the window is the
    // running maximum of the current block joined with the maximum of the previous block's values
    // from the same position on, worked out backwards once each block completes.
    class MaxWindow
    {
    public:
        void allocate (int maxWindowLength);     // allocates; not for the audio thread
        void build (int windowLength) noexcept;  // W <= allocated length; empties the window
        // The window's running values, for a loop that keeps them in locals and hands them back.
        struct Cursor
        {
            float* current;
            float* suffix;
            float prefix;
            int pos, window;

            forcedinline float push (float x) noexcept
            {
                current[pos] = x;
                prefix = std::max (prefix, x);
                const float result = std::max (prefix, suffix[pos + 1]);
                if (++pos == window)
                {
                    closeBlock (current, suffix, window);
                    pos = 0;
                    prefix = 0.0f;
                }
                return result;
            }
        };
        Cursor cursor() noexcept { return { current.data(), suffix.data(), prefix, pos, window }; }
        void takeBack (const Cursor& c) noexcept { prefix = c.prefix; pos = c.pos; }

        float push (float x) noexcept
        {
            auto c = cursor();
            const float result = c.push (x);
            takeBack (c);
            return result;
        }
        int length() const noexcept { return window; }

    private:
        static void closeBlock (const float* values, float* suffix, int window) noexcept;

        std::vector<float> current;   // the current block's values
        std::vector<float> suffix;    // suffix[k]: largest of the previous block's values k .. W-1; suffix[W] = 0
        float prefix = 0.0f;          // largest value of the current block so far
        int window = 2, pos = 0;
    };

    // Internal steps, public for tests: refresh the lookahead length and link state; limit one
    // sample pair at the oversampled rate; move channel ch's gain toward a target.
    void resizeLookahead() noexcept;
    void limitPair (float& a, float& b) noexcept;
    void envelope (int ch, float target) noexcept;

    // Audio thread, after process(): the true peak (linear, both channels) of the block just written,
    // or -1 when the block took the switched-off path and nothing was measured. A later stage that
    // only scales this output can take its own reading from here instead of scanning again.
    float lastBlockTruePeak() const noexcept { return blockTruePeak; }
    // Likewise the K-weighted energy of each sample of that block (squares of both channels summed),
    // or nullptr when it was not measured or the block was longer than prepared.
    const double* lastBlockWeightedEnergy() const noexcept { return sampleEnergyValid ? sampleEnergy.data() : nullptr; }

private:
    struct BiquadD
    {
        double b0 = 1, b1 = 0, b2 = 0, a1 = 0, a2 = 0, s1 = 0, s2 = 0;
        // The output is put into the state updates before they are formed, so the recursion through
        // s1 is one multiply and one subtraction deep (half the wait of the textbook order); the
        // coefficient products do not depend on the signal and leave the loop.
        inline double process (double x) noexcept
        {
            const double y = b0 * x + s1;
            const double next = ((b1 - a1 * b0) * x + s2) - a1 * s1;
            s2 = (b2 - a2 * b0) * x - a2 * s1;
            s1 = next;
            return y;
        }
        void reset() noexcept { s1 = s2 = 0; }
        bool finite() const noexcept { return std::isfinite (s1) && std::isfinite (s2); }
    };

    // Two BiquadD (left and right) run as one, each lane with the same operations in the same order,
    // so a pair gives the same values as the two sections one by one.
    typedef double PairD __attribute__ ((vector_size (16)));
    struct BiquadPair
    {
        PairD b0, c1, c2, a1, a2, s1, s2;

        BiquadPair (const BiquadD& l, const BiquadD& r) noexcept
            : b0 { l.b0, r.b0 }, c1 { l.b1 - l.a1 * l.b0, r.b1 - r.a1 * r.b0 },
              c2 { l.b2 - l.a2 * l.b0, r.b2 - r.a2 * r.b0 }, a1 { l.a1, r.a1 }, a2 { l.a2, r.a2 },
              s1 { l.s1, r.s1 }, s2 { l.s2, r.s2 }
        {
        }
        forcedinline PairD process (PairD x) noexcept
        {
            const PairD y = b0 * x + s1;
            const PairD next = (c1 * x + s2) - a1 * s1;
            s2 = c2 * x - a2 * s1;
            s1 = next;
            return y;
        }
        void storeTo (BiquadD& l, BiquadD& r) const noexcept
        {
            l.s1 = s1[0]; l.s2 = s2[0];
            r.s1 = s1[1]; r.s2 = s2[1];
        }
    };

    // Scalar settings after range checks, taken once per block.
    int factorForSettings() const noexcept;
    int lookaheadForFactor (int factor) const noexcept;
    static double usableRate (double rate) noexcept;
    static int factorFor (int oversampling, bool truePeak) noexcept;
    static int lookaheadFor (double rate, float lookaheadMs, int factor) noexcept;
    static int tapsForFactor (int factor) noexcept { return factor == 8 ? 12 : 16; }
    static int latencyFor (int factor, int lookaheadOs) noexcept;

    void designOversampling() noexcept;
    void clearOversampling() noexcept;
    void clearCore() noexcept;
    void clearMeterFilters() noexcept;
    void designHighPass (float corner) noexcept;
    void updateReleaseCoefficients (float releaseSeconds, float pos) noexcept;
    void updateAutoCoefficients() noexcept;
    // The core's running values in locals for a run of samples (this file only); runCore limits
    // hostSamples x f samples in place, calling perHostSample (j) before the f samples of host sample j.
    struct CoreRun;
    template <int mode, bool shortWindow, typename PerHostSample>
    void runCore (float* pl, float* pr, int hostSamples, int f, PerHostSample&& perHostSample) noexcept;
    template <typename PerHostSample>
    void runCoreFor (float* pl, float* pr, int hostSamples, int f, PerHostSample&& perHostSample) noexcept;
    void processBypass (float* left, float* right, int n) noexcept;
    void processActive (float* left, float* right, int n) noexcept;
    void flushHold() noexcept;
    float currentHold() const noexcept;
    void closeLoudnessSlice() noexcept;
    void refreshGatedReadings() noexcept;
    void clearLoudnessHistories() noexcept;
    void publishPeaks (float inL, float inR, float outL, float outR) noexcept;
    void checkFinite() noexcept;
    double nextUniform() noexcept;

    double sampleRate = 44100.0;
    bool fresh = true;       // the first block after prepare starts every ramp at its target
    bool coreIdle = false;   // the switched-off path ran; the core restarts from silence

    // In-use core configuration.
    int factor = 1;          // oversampling factor F
    int laN = 1;             // lookahead length at the oversampled rate
    bool linked = true;
    bool delayReady = false;

    int maxLookaheadOs = 1;
    std::vector<float> delayLine[2];
    int delayIndex = 0;
    MaxWindow windows[2];

    float gain[2] { 1.0f, 1.0f };
    float prevDetector[2] { 0.0f, 0.0f };
    float flux[2] { 0.0f, 0.0f };
    float meterHold = 0.0f;        // dB, falls with a 0.5 s time constant
    // The hold is updated once per group of kHoldGroup samples from the group's deepest gain.
    static constexpr int kHoldGroup = 16;
    float holdDecayPow[kHoldGroup + 1] {};
    float holdMinGain = 1.0f;
    int holdCount = 0;

    BiquadD highPass[2];
    float highPassCorner = -1.0f;

    vyrDsp::Smoothed dryRamp, wetRamp, inRamp, outRamp, dcRamp, ceilingRamp, releaseRamp, styleRamp;

    // Per-sample values of the core and their caches.
    float coreCeilingDb = -0.1f, coreCeilingLin = 0.0f;
    float coreRelease = 0.05f, coreStyle = 0.0f;
    float cachedReleaseSeconds = -1.0f, cachedReleasePos = -1.0f;
    float relLin = 0.0f, relExp = 0.0f;
    float autoLin[4] {}, autoExp[4] {};
    int releaseModeNow = 0, releaseShapeNow = 1;

    // Oversampling: polyphase interpolator stored tap-major (all phases of one tap side by side, so the
    // phases of a sample come out of one vector loop) and a decimator over the last T x F oversampled
    // values. The block runs in chunks of up to kChunk host samples through three passes (interpolate
    // the chunk, limit it at the oversampled rate, decimate it); each line holds the filter's history
    // followed by the chunk, and the history moves to the front after each chunk.
    static constexpr int kMaxTaps = 16, kMaxFactor = 8, kMaxFilterLength = 128, kChunk = 256;
    int taps = 16;
    float upBank[kMaxTaps][kMaxFactor] {};
    float downBank[kMaxFilterLength] {};
    std::vector<float> upLine[2];     // taps - 1 past host samples, then the chunk
    std::vector<float> osLine[2];     // downLength - 1 past oversampled samples, then the chunk's
    int downLength = 0;
    std::vector<float> wetChunk[2];   // the core's host-rate output of the chunk
    std::vector<float> colourChunk;   // the colour blend of each sample of the chunk while the ramps move
    std::vector<float> ceilingChunk;  // likewise the linear ceiling
    std::vector<float> monoRight;     // a mono block's second detector channel

    // Dry share delayed to line up with the wet path.
    std::vector<float> dryLine[2];
    int dryWrite = 0;

    // Noise-shaping error history (newest first).
    float shapeError[2][5] {};
    uint64_t ditherState = 20931;

    // True-peak scan of the output, once per block over the finished samples.
    VyrTruePeakMeter outputPeak;
    float blockTruePeak = -1.0f;

    // Loudness: K-weighting designed for the rate, 100 ms slices of mean square (both channels summed).
    BiquadD kShelf[2], kHighPass[2];
    static constexpr int kSlicesShort = 30, kSlicesMomentary = 4;
    double sliceEnergy[kSlicesShort] {};
    int sliceWrite = 0, slicesSeen = 0, sliceLength = 4410, sliceCount = 0;
    double sliceSum = 0.0;
    std::vector<double> sampleEnergy;
    bool sampleEnergyValid = false;
    void measureLoudness (const float* left, const float* right, int n) noexcept;
    float lastMomentary = -100.0f, lastShort = -100.0f;

    // Histograms of gated block loudness (integrated) and short-term loudness (range): 0.02 LU bins
    // from -70 LUFS up, each with its count and summed energy so the gates stay energy means.
    static constexpr float kHistFloor = -70.0f, kHistBinsPerLu = 50.0f;
    static constexpr int kHistBins = 5000;
    std::vector<double> blockCount, blockEnergy, shortCount, shortEnergy;
    double blockTotalCount = 0, blockTotalEnergy = 0, shortTotalCount = 0, shortTotalEnergy = 0;

    int grDecimation = 0;

    JUCE_DECLARE_NON_COPYABLE (VyrLimiter)
};
