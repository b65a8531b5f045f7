#pragma once

// The chain's multiband compressor (module "multiBandComp").

#include "Dsp/DspCommon.h"
#include "Model/MbcState.h"
#include <atomic>
#include <vector>

// Splits the signal into one to five bands with fourth-order Linkwitz-Riley crossovers, compresses
// each band with a soft-knee decibel-domain compressor, sums the bands and mixes the result with
// the dry signal. Stereo mode shares one detector per band between the channels; M/S mode splits
// and compresses mid and side separately with their own band settings. Lower bands pass through
// the all-pass of every crossover above them, so at ratio 1 the band sum is flat.
class VyrMultibandComp
{
public:
    static constexpr int kMaxBands = 5;
    static constexpr int kCrossovers = 4;

    struct Comp
    {
        float envelope = -80.0f;       // dB, smoothed detector level
        float gainReduction = 0.0f;    // dB, last computed (positive)
        vyrDsp::Smoothed thresholdRamp, ratioRamp, attackRamp, releaseRamp, kneeRamp;
        vyrDsp::Smoothed makeupRamp;   // linear gain, 0 when the band is muted

        // Per-sample values that only change while their ramps move.
        float coefAtkTime = -1.0f, coefAtk = 0.0f;
        float coefRelTime = -1.0f, coefRel = 0.0f;
        float slopeRatio = -1.0f, slope = 0.0f;

        Comp();
    };

    // The two second-order sections of each side of one crossover, for one signal path.
    struct Split
    {
        vyrDsp::PreciseBiquad lp1, lp2, hp1, hp2;
    };

    // Settings, overwritten every block from the "multiBandComp_" parameters.
    vyrMbc::State state;

    double sampleRate = 44100.0;
    std::atomic<float> bandGr[kMaxBands] {};   // dB of gain reduction per band, for the panel

    Split stereoSplitL[kCrossovers], stereoSplitR[kCrossovers];
    Split midSplit[kCrossovers], sideSplit[kCrossovers];
    // All-pass of crossover k applied to the running sum of the bands below it (k = 1..3).
    vyrDsp::PreciseBiquad stereoAllPassL[kCrossovers], stereoAllPassR[kCrossovers];
    vyrDsp::PreciseBiquad midAllPass[kCrossovers], sideAllPass[kCrossovers];

    Comp stereoComp[kMaxBands], midComp[kMaxBands], sideComp[kMaxBands];
    vyrDsp::Smoothed dryRamp, wetRamp;
    vyrDsp::Smoothed xoverRamp[kCrossovers];   // Hz

    float designedXover[kCrossovers] { -1.0f, -1.0f, -1.0f, -1.0f };
    int bandsInUse = -1;
    bool msInUse = false;

    VyrMultibandComp();

    // Allocates the scratch buffers; not on the audio thread.
    void prepare (double sampleRate, int maximumBlockSize);

    // Processes the first one or two channels in place.
    void process (juce::AudioBuffer<float>& buffer);

    static void setBand (Comp& comp, const vyrMbc::Band& band, bool inUse, bool soloSet);
    float compressMono (Comp& comp, float x) noexcept;
    void compressStereo (Comp& comp, float& left, float& right) noexcept;
    void updateFilters();

    // Gives both sections the same Butterworth low- or high-pass design; two such sections in
    // series make the fourth-order Linkwitz-Riley response.
    static void designSection (vyrDsp::PreciseBiquad& first, vyrDsp::PreciseBiquad& second, bool lowPass, double sampleRate, float freq) noexcept;

    // Highest usable crossover at a sample rate: 18 kHz, kept below 0.45 x the rate.
    static float topCrossover (double sampleRate) noexcept;

private:
    void updateTimesAndSlope (Comp& comp, float attack, float release, float ratio) noexcept;
    float bandGain (Comp& comp, float detectMagnitude) noexcept;
    void clearFilters() noexcept;
    void splitStereo (float* l, float* r, int n, bool pair, float* sumL, float* sumR);
    void splitMidSide (float* mid, float* side, int n, float* sumM, float* sumS);
    void bandGains (Comp* a, float* va, Comp* b, float* vb, int n) noexcept;
    static bool rampsSettled (const Comp& c) noexcept;

    std::vector<float> scratch;
    int maxBlock = 0;
};
