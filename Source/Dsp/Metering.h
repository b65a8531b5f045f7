#pragma once

// Audio-thread metering of the processor: block levels and scopes of the input and output,
// the output spectrum, and the output's loudness (momentary, short-term, integrated, loudness
// range) and true peak. Results are left in atomics and plain rings that the editor polls.

#include <juce_audio_basics/juce_audio_basics.h>
#include <juce_dsp/juce_dsp.h>
#include <atomic>
#include <cstdint>
#include <vector>

//==============================================================================
// Levels, scopes and spectrum, plus the published loudness and true-peak readings.
class VyrMeterEngine
{
public:
    static constexpr int fftOrder = 13;
    static constexpr int fftSize = 1 << fftOrder;       // 8192-point transform
    static constexpr int spectrumBins = fftSize / 2;    // bin k at k x sampleRate / fftSize Hz
    static constexpr int spectrumHop = 1024;            // one transform per 1024 samples
    static constexpr int scopeSize = 2048;

    VyrMeterEngine();

    // Block levels, linear, left and right; stored as measured (no hold or ballistics).
    std::atomic<float> inPeak[2] { { 0.0f }, { 0.0f } };
    std::atomic<float> outPeak[2] { { 0.0f }, { 0.0f } };
    std::atomic<float> inRms[2] { { 0.0f }, { 0.0f } };
    std::atomic<float> outRms[2] { { 0.0f }, { 0.0f } };

    // Output loudness, LUFS (-100 = nothing measured), updated every 100 ms of audio.
    std::atomic<float> lufsMomentary { -100.0f };
    std::atomic<float> lufsShort { -100.0f };
    std::atomic<float> lufsIntegrated { -100.0f };
    std::atomic<float> lra { 0.0f };                    // loudness range, LU (updated once a second)
    // True peak of the last block, both channels, dBTP, and the highest since the last loudness reset;
    // -100 for a block whose true peak was not measured (see VyrLoudnessState::setTruePeakWanted).
    std::atomic<float> truePeakDb { -100.0f };
    std::atomic<float> maxTruePeak { -100.0f };

    std::atomic<double> sampleRate { 44100.0 };

    // The 8192-point real transform runs as a 4096-point complex transform of the packed
    // even/odd samples, then is split into the real spectrum (same bins, half the work).
    juce::dsp::FFT fft { fftOrder - 1 };
    float fftBuffer[2 * fftSize] {};                    // packed frame, then the transform's output
    juce::dsp::Complex<float> splitTwiddle[spectrumBins] {};
    float spectrumRing[fftSize] {};
    float spectrumWindow[fftSize] {};
    float spectrum[spectrumBins] {};                    // published smoothed magnitudes, guarded by spectrumLock
    float spectrumSmooth[spectrumBins] {};              // the audio thread's running smoothing
    int spectrumRingWrite = 0;                          // 0..fftSize-1
    int spectrumHopCount = 0;                           // 0..spectrumHop-1
    // The audio thread only try-locks this: when a reader holds it, that transform's copy is skipped
    // and the next one (1024 samples later) publishes.
    mutable juce::SpinLock spectrumLock;

    // Message thread: copies the published magnitudes (up to spectrumBins of them).
    void copySpectrum (float* dest, int numBins) const noexcept;

    float outScope[scopeSize] {};
    float inScope[scopeSize] {};
    // Next write position of each scope ring, always 0..scopeSize-1 (the oldest sample).
    std::atomic<int> outScopeWrite { 0 };
    std::atomic<int> inScopeWrite { 0 };

    // Message thread, host not processing: records the rate, clears spectrum and scopes,
    // builds the window. The level atomics keep their values.
    void prepare (double newSampleRate) noexcept;

    // Audio thread: block peak/RMS and scope of the input (input true) or output side.
    void capture (const juce::AudioBuffer<float>& buffer, bool input) noexcept;

    // Audio thread: publishes silent levels and clears both scopes, for when the levels stop being
    // measured (no view shows them), so a view that opens before the next measured block shows no
    // stale readings.
    void clearLevels() noexcept;

    // Audio thread: feeds the mastered block to the spectrum; transforms every 1024 samples.
    void updateSpectrum (const juce::AudioBuffer<float>& buffer) noexcept;

    // Audio thread: forgets the collected audio and the smoothing, so a spectrum view that opens
    // shows fresh audio only.
    void restartSpectrum() noexcept;

private:
    void runTransform() noexcept;
};

//==============================================================================
// True-peak detector: 4x polyphase oversampling with a Kaiser-windowed sinc interpolator
// (24 taps per phase, flat within 0.05 dB up to 0.42 x the sample rate). The original
// samples are one of the phases, so the reading never falls below the sample peak.
class VyrTruePeakMeter
{
public:
    static constexpr int factor = 4;
    static constexpr int halfTaps = 12;
    static constexpr int taps = 2 * halfTaps;
    static constexpr int maxChannels = 2;

    VyrTruePeakMeter() noexcept;

    void reset() noexcept;

    // Largest magnitude of the oversampled signal over the block (linear). Non-finite
    // samples count as silence. The reading lags the input by halfTaps samples.
    float process (const float* samples, int numSamples, int channel) noexcept;

    // The same reading worked out at every phase of every sample, without skipping anything (for
    // tests: process() must agree with it exactly). Shares the history with process().
    float processExhaustive (const float* samples, int numSamples, int channel) noexcept;

private:
    static constexpr int chunk = 256;
    static constexpr int group = 8;                         // outputs per window bound
    static constexpr int coreFirst = halfTaps - 4, coreTaps = 8;   // the eight largest taps of each phase

    // Value of output i of phase p (1..factor-1) over the frame, summed tap by tap in order.
    float phaseValue (int p, const float* window) const noexcept;

    // Taps of phases 1..factor-1 (phase 0 is the centre sample itself and is read, not computed).
    alignas (16) float coeffs[factor - 1][taps] {};
    float tailSum[factor - 1] {};                       // summed magnitude of the taps outside the core
    float history[maxChannels][taps - 1] {};            // the last taps - 1 samples, oldest first
    alignas (16) float frame[taps - 1 + chunk + group] {};  // history, a chunk of the block, zeros
    alignas (32) float bound[chunk] {};                     // bound of each output of one phase
    alignas (16) float windowPeak[chunk] {};                // largest sample in each output's window
    float groupMax[chunk / group + 4] {};                   // largest magnitude per group of the frame
    int wholeChunks[maxChannels] {};                        // chunks still to be scanned without skipping
};

//==============================================================================
// Loudness of the mastered output: K-weighting designed for the actual rate, 100 ms
// sub-blocks, momentary (400 ms) and short-term (3 s) windows counted in samples, gated
// integrated loudness over 400 ms blocks with 75 % overlap, loudness range from 3 s values
// taken once a second, and the true peak. Gating uses fixed histograms (0.01 LU bins), so nothing
// is sorted or allocated on the audio thread and the whole programme since the last reset
// counts. One thread at a time: the audio thread while processing, or prepare while not.
class VyrLoudnessState
{
public:
    VyrLoudnessState();

    // Designs the filters for the rate (44100 when 0 or less) and clears every history.
    void prepare (double sampleRate) noexcept;

    // Clears filter states and histories and publishes -100 LUFS, 0 LU and -100 dBTP.
    void reset (VyrMeterEngine& meters) noexcept;

    // Publishes what reset() publishes, without touching the state (any thread).
    static void publishReset (VyrMeterEngine& meters) noexcept;

    // What an earlier stage already measured of a block that differs from it only by a gain: its true
    // peak (linear, negative when not measured) and the K-weighted energy of each sample with both
    // channels summed (nullptr when not measured); energyScale is the square of the gain.
    struct Known
    {
        float truePeak = -1.0f;
        const double* weightedEnergy = nullptr;
        double energyScale = 1.0;
    };

    // Loudness step of one live block of the mastered output; publishes into meters. What `known`
    // holds is taken from there instead of being measured again.
    void process (const juce::AudioBuffer<float>& buffer, VyrMeterEngine& meters, const Known& known) noexcept;
    void process (const juce::AudioBuffer<float>& buffer, VyrMeterEngine& meters) noexcept { process (buffer, meters, Known()); }

    // Whether process() works out the true peak (on by default). While it is off the block true peak
    // reads -100 dBTP (nothing measured) and the maximum keeps what was measured; the scan starts
    // from fresh history when it is switched on again.
    void setTruePeakWanted (bool wanted) noexcept { truePeakWanted = wanted; }

    double getSampleRate() const noexcept { return rate; }
    int getHopSamples() const noexcept { return hopSamples; }

    // One K-weighting stage in double precision (transposed direct form II).
    struct Stage
    {
        double b0 = 1.0, b1 = 0.0, b2 = 0.0, a1 = 0.0, a2 = 0.0;
        double z1 = 0.0, z2 = 0.0;

        // The output is put into the state updates before they are formed, so the recursion through
        // z1 is one multiply and one subtraction deep (half the wait of the textbook order); the
        // coefficient products do not depend on the signal and leave the loop.
        inline double process (double x) noexcept
        {
            const double y = b0 * x + z1;
            const double next = ((b1 - a1 * b0) * x + z2) - a1 * z1;
            z2 = (b2 - a2 * b0) * x - a2 * z1;
            z1 = next;
            return y;
        }
        double magnitude (double hz, double sr) const noexcept;
    };

    // The two K-weighting stages (shelf, then high-pass) for a sample rate.
    static void designKWeighting (double sampleRate, Stage& shelf, Stage& highPass) noexcept;

private:
    // Loudness histogram from -70 LUFS upwards in 0.01 LU bins, with the energy of each bin.
    struct Histogram
    {
        static constexpr int numBins = 10000;
        static constexpr double lowest = -70.0, binsPerLu = 100.0;

        std::vector<std::uint32_t> counts;
        std::vector<double> energies;
        std::uint64_t total = 0;
        double totalEnergy = 0.0;
        int lowBin = numBins, highBin = -1;

        void allocate();
        void clear() noexcept;
        void add (double energy, double lufs) noexcept;
        static int binOf (double lufs) noexcept;
        static double centreOf (int bin) noexcept { return lowest + (bin + 0.5) / binsPerLu; }
    };

    void finishHop (VyrMeterEngine& meters) noexcept;
    float gatedIntegrated() const noexcept;
    float loudnessRange() const noexcept;

    static constexpr int shortHops = 30, momentaryHops = 4, rangeHops = 10;

    double rate = 44100.0;
    int hopSamples = 4410;
    Stage preFilter[2], rlbFilter[2];
    VyrTruePeakMeter truePeak;
    bool truePeakWanted = true;
    bool truePeakStale = false;         // blocks were read from elsewhere; the scan's history is old
    bool weightingStale = false;        // likewise for the K-weighting filters
    int ownScanSamples = 0;             // samples still scanned here after a reset (another stage's
                                        // scan still remembers audio from before it)

    double hopEnergy = 0.0;             // K-weighted sum of squares of the running 100 ms
    int hopFill = 0;
    double hopRing[shortHops] {};       // sums of squares of the last 30 sub-blocks
    int hopWrite = 0, hopCount = 0;     // hopCount saturates at 30
    int rangeHopPhase = 0;              // sub-blocks since the last loudness-range value
    float maxPeak = 0.0f;

    Histogram gateBlocks;               // 400 ms blocks above -70 LUFS
    Histogram shortTermValues;          // 3 s values above -70 LUFS
};
