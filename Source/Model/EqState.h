#pragma once

// Settings of the parametric and the dynamic EQ, and how they are read from the parameter tree.
// The engines, the EQ editor and the mastered-output model all fill their copies through
// vyrEq::loadState, so the defaults and reading rules here are the single definition.

#include <juce_audio_processors/juce_audio_processors.h>
#include <array>
#include <atomic>

namespace vyrEq
{
    struct Band
    {
        float freq = 1000.0f;   // Hz
        float gain = 0.0f;      // dB
        float q = 1.0f;
        float slope = 12.0f;    // dB per octave of an edge band's cut: 12, 24, 36 or 48
        float thresh = -24.0f;  // dynamic EQ: detector threshold, dB
        float ratio = 1.0f;     // dynamic EQ: 1 = no dynamic action
        float atk = 0.01f;      // dynamic EQ: seconds
        float rel = 0.2f;       // dynamic EQ: seconds
        float drive = 0.3f;     // dynamic EQ: saturation drive 0..1
        int shape = 0;          // parametric mid band: 0 Bell, 1 Prop Q, 2 Band Shelf, 3 Bax Bass, 4 Bax Treble
        bool cut = false;       // edge band is a cut (low: high-pass, high: low-pass) instead of a shelf
        bool on = true;
        bool solo = false;
        bool sat = false;       // dynamic EQ: band saturation
    };

    inline Band edgeBand (float freq) noexcept
    {
        Band b;
        b.freq = freq;
        b.q = 0.707f;
        return b;
    }

    struct Channel
    {
        Band low = edgeBand (200.0f);
        Band mids[6];             // stems "m0" .. "m5"
        Band high = edgeBand (5000.0f);
        int midCount = 1;         // active mid bands, 1..6
    };

    struct State
    {
        bool enabled = true;
        bool msMode = false;
        int msChannel = 0;        // 0 Mid, 1 Side
        int bandCount = 3;        // 3, 4, 5, 6 or 8
        int gainRange = 2;        // editor span: 0 Surgical, 1 Mastering, 2 Full
        float mix = 100.0f;       // percent
        Channel main;             // left/right, or mid in mid/side
        Channel side;
        bool dynamic = false;     // loaded from the dynamic EQ's parameters
    };

    // Band count for each index of the "bandCount" choice.
    inline constexpr int kCounts[5] = { 3, 4, 5, 6, 8 };

    // Active mid bands for a band count: 1 below 3 bands, otherwise min(count, 8) - 2.
    int midCountFor (int bandCount) noexcept;

    // Which band sounds: a band sounds when it is on and, in a soloed channel, also soloed.
    // A channel is soloed when its low, high or any active mid band is soloed; inactive mids never sound.
    bool isSoloed (const Channel& channel) noexcept;
    bool lowSounds (const Channel& channel) noexcept;
    bool midSounds (const Channel& channel, int index) noexcept;
    bool highSounds (const Channel& channel) noexcept;

    //==============================================================================
    // Parameter handles looked up once, so a per-block load builds no strings and allocates nothing.
    // A null handle is a parameter the tree does not have: its field takes the fallback.

    struct ChoiceHandle
    {
        std::atomic<float>* value = nullptr;   // null when missing or not a choice parameter
        int count = 0;
    };

    struct BandHandles
    {
        std::atomic<float>* freq = nullptr;
        std::atomic<float>* gain = nullptr;
        std::atomic<float>* on = nullptr;
        std::atomic<float>* solo = nullptr;
        std::atomic<float>* q = nullptr;
        ChoiceHandle shape;
        ChoiceHandle slope;
        std::atomic<float>* cut = nullptr;
        std::atomic<float>* thresh = nullptr;
        std::atomic<float>* ratio = nullptr;
        std::atomic<float>* atk = nullptr;
        std::atomic<float>* rel = nullptr;
        std::atomic<float>* sat = nullptr;
        std::atomic<float>* drive = nullptr;
        bool readsShape = false;     // every band of the parametric EQ
        bool readsEdge = false;      // slope and cut: the low and high bands
        bool readsDynamic = false;   // every band of the dynamic EQ
    };

    struct ChannelHandles
    {
        BandHandles low, mids[6], high;
    };

    class ParamCache
    {
    public:
        ParamCache() = default;
        ParamCache (juce::AudioProcessorValueTreeState& tree, bool dynamic) { build (tree, dynamic); }

        // Looks every parameter up by ID; message thread (construction), never per block.
        void build (juce::AudioProcessorValueTreeState& tree, bool dynamic);

        bool dynamic = false;
        std::atomic<float>* enabled = nullptr;
        std::atomic<float>* msMode = nullptr;
        ChoiceHandle msChannel, bandCount, gainRange;
        std::atomic<float>* mix = nullptr;
        ChannelHandles main, side;
    };

    BandHandles findBand (juce::AudioProcessorValueTreeState& tree, bool dynamic, bool side,
                          const juce::String& stem, bool isMid, bool isEdge);

    // Fills `state` from the cached parameters (audio thread safe: atomic loads only).
    void loadState (const ParamCache& params, State& state) noexcept;

    // Looks the parameters up by ID and fills `state`; for copies held on the message thread.
    void loadState (juce::AudioProcessorValueTreeState& tree, State& state, bool dynamic);

    // Fills one band; a field the band does not read keeps its value.
    void loadBand (const BandHandles& handles, Band& band) noexcept;
    void loadBand (juce::AudioProcessorValueTreeState& tree, Band& band, bool dynamic, bool side,
                   const juce::String& stem, bool isMid, bool isEdge);

    // Resets one channel to the factory layout for a band count (the flag does not change values).
    void initDefaults (Channel& channel, int bandCount, bool dynamic) noexcept;

    //==============================================================================
    // Hands the latest state from the audio thread to a reader on the message thread without
    // locks or waiting: a triple buffer with one writer and one reader.
    class StateHandOver
    {
    public:
        // Writer (audio thread): makes a copy of `state` the newest one.
        void publish (const State& state) noexcept
        {
            slots[(size_t) writeIndex] = state;
            writeIndex = middle.exchange (writeIndex | freshBit, std::memory_order_acq_rel) & indexMask;
        }

        // Reader (message thread): copies the newest published state into `out`; false when
        // nothing has been published yet.
        bool read (State& out) noexcept
        {
            if ((middle.load (std::memory_order_acquire) & freshBit) != 0)
            {
                readIndex = middle.exchange (readIndex, std::memory_order_acq_rel) & indexMask;
                hasValue = true;
            }
            if (! hasValue)
                return false;
            out = slots[(size_t) readIndex];
            return true;
        }

    private:
        static constexpr int freshBit = 4, indexMask = 3;
        std::array<State, 3> slots {};
        std::atomic<int> middle { 1 };
        int writeIndex = 0;   // writer only
        int readIndex = 2;    // reader only
        bool hasValue = false;
    };
}
