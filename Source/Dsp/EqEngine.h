#pragma once

// The chain's two equalisers: the parametric EQ (module "eq") and the dynamic EQ (module "dynamicEq").

#include "Dsp/DspCommon.h"
#include "Model/EqState.h"
#include <atomic>
#include <vector>

//==============================================================================
// Up to eight bands per channel as a fixed series of fourteen biquad sections, in left/right or
// mid/side, with a dry/wet mix. Band moves glide: frequency, Q and gain of every section ramp over
// 32 ms and the section is redesigned per sample while they move. Switching off fades to dry.
class VyrParametricEQ
{
public:
    static constexpr int kSections = 14;

    // Section designs.
    enum SectionType { peak = 0, lowShelf = 1, highShelf = 2, highPass = 3, lowPass = 4 };

    struct Slot
    {
        vyrDsp::PreciseBiquad filterA;   // left, mid or side
        vyrDsp::PreciseBiquad filterB;   // right in left/right mode; same coefficients as filterA
        vyrDsp::Smoothed freqSmooth, qSmooth, gainSmooth;
        int type = peak;
        float lastFreq = -1000000.0f, lastQ = -1000000.0f, lastGain = -1000000.0f;
        int lastType = -1;
    };

    // Settings, loaded from the "eq_" parameters before every block.
    vyrEq::State state;

    double sampleRate = 44100.0;
    Slot mainSlots[kSections];   // left/right path, or mid in mid/side
    Slot sideSlots[kSections];   // side in mid/side
    vyrDsp::Smoothed mixSmooth;  // wet share 0..1 actually applied

    // The state of the last processed block, for readers on the message thread.
    vyrEq::StateHandOver publishedState;

    VyrParametricEQ();

    // Allocates the scratch buffers; not on the audio thread.
    void prepare (double sampleRate, int maximumBlockSize);

    // Clears history, sets every section neutral and gives the smoothers their 32 ms ramps.
    static void prepareSlots (Slot* slots, const juce::dsp::ProcessSpec& spec);

    // Turns one channel's bands into section targets for a bank of fourteen slots.
    static void setChannelTargets (Slot* slots, const vyrEq::Channel& channel);

    // Processes the first one or two channels in place.
    void process (juce::AudioBuffer<float>& buffer);

    // Designs one section from its ramped values (corners kept below 0.45 x the sample rate).
    static vyrDsp::BiquadCoeffs designSection (int type, float freq, float q, float gainDb, double sampleRate) noexcept;

private:
    void processChunk (float* left, float* right, int numSamples, bool stereo);
    void runSlot (Slot& slot, float* a, float* b, int numSamples, bool filterBoth, bool filter);
    void runSlots (Slot* slots, float* a, float* b, int numSamples, bool filterBoth);
    void runSlotsMidSide (float* mid, float* side, int numSamples);
    int settledSections (Slot* slots, bool filterBoth, vyrDsp::PreciseBiquad** out);
    void redesign (Slot& slot, float f, float q, float g) noexcept;
    bool settledSectionRuns (Slot& slot, bool filterBoth) noexcept;
    static bool isIdentity (const Slot& slot) noexcept;

    std::vector<float> scratch;
    int maxBlock = 0;
};

//==============================================================================
// Three to eight bands per channel; each band is a shelf or peak whose gain is pulled down while the
// level in that band, taken through its own detector filter, stays above a threshold (soft knee,
// attack and release in the decibel domain). Left/right or mid/side, optional band saturation,
// dry/wet mix and one gain-reduction reading per band for the editor.
class VyrDynamicEQ
{
public:
    static constexpr int kPositions = 8;

    // Node kinds by band position.
    enum Kind { lowShelfKind = 0, peakKind = 1, highShelfKind = 2 };

    struct Node
    {
        vyrDsp::PreciseBiquad detector, eq;
        vyrDsp::Smoothed freqSmooth, qSmooth, gainSmooth, threshSmooth, ratioSmooth, atkSmooth, relSmooth;
        float envDb = -80.0f;
        float grHold = 0.0f;
        float lastEqFreq = -1000000.0f, lastEqQ = -1000000.0f, lastEqGain = -1000000.0f;
        int lastEqKind = -1;
        float lastDetFreq = -1000000.0f, lastDetQ = -1000000.0f;
        int lastDetKind = -1;
        int kind = peakKind;
        bool satOn = false;
        float satAmount = 0.0f;
        float satDrive = -1.0f;   // the drive satAmount was worked out for

        // Attack and release coefficients of the last time constants seen.
        float coefAtkTime = -1.0f, coefAtk = 0.0f;
        float coefRelTime = -1.0f, coefRel = 0.0f;

        // Cosine and sine of the section's frequency, kept while only its gain moves.
        float trigFreq = -1.0f, cosW = 1.0f, sinW = 0.0f;
    };

    // Settings, loaded from the "dynamicEq_" parameters before every block.
    vyrEq::State state;

    double sampleRate = 44100.0;
    std::atomic<float> grMeter[kPositions] {};   // dB of gain reduction per band position, for the editor
    Node lrNodes[2 * kPositions];                // left 0, right 0, left 1, ...
    Node midNodes[kPositions];
    Node sideNodes[kPositions];
    vyrDsp::Smoothed mixSmooth;
    juce::dsp::ProcessSpec spec { 44100.0, 0, 1 };
    float grDisplay[kPositions] {};

    VyrDynamicEQ();

    // Allocates the scratch buffers; not on the audio thread.
    void prepare (double sampleRate, int maximumBlockSize);

    void prepareNode (Node& node);
    void setNode (Node& node, int kind, const vyrEq::Band& band, bool active);
    float processNode (Node& node, float x) noexcept;

    // Runs one node over a chunk sample by sample, skipping the samples whose mix value is silent.
    void processNodeChunk (Node& node, float* x, const float* mixValues, int numSamples) noexcept;

    // True when none of a node's settings is ramping.
    static bool nodeSettled (const Node& node) noexcept;

    // True when a node passes its input unchanged: ratio 1 and 0 dB at rest, no saturation, and
    // nothing left in its section from an earlier setting.
    static bool nodeIdle (const Node& node) noexcept;

    // The band saturation curve (fast tanh: within 4e-7 of the exact curve before the clamp).
    static float saturate (float y, float drive) noexcept
    {
        return juce::jlimit (-1.0f, 1.0f, 0.05f * y + 0.9f * vyrDsp::fastTanhLanes (y * drive) + 0.03f * y * std::abs (y));
    }

    // Processes the first one or two channels in place and updates the meters.
    void process (juce::AudioBuffer<float>& buffer);

private:
    void processChunk (float* left, float* right, int numSamples, bool stereo);
    void designEq (Node& node, float f, float q, float gainDb) noexcept;
    void designDetector (Node& node, float f, float q) noexcept;
    static void idleNode (Node& node, int numSamples) noexcept;
    template <int L>
    void processSettled (Node* const* nodes, float* const* xs, float* const* work, int numSamples) noexcept;

    std::vector<float> scratch;
    int maxBlock = 0;
};
