#pragma once

// Settings of the multiband compressor and how they are read from the parameter tree. The engine,
// the multiband panel, its graph and analyser and the mastered-output model all load their own
// copies through vyrMbc::loadState.

#include <juce_audio_processors/juce_audio_processors.h>
#include <atomic>

namespace vyrMbc
{
    struct Band
    {
        bool on = true;
        bool solo = false;
        float thresh = -18.0f;   // dB
        float ratio = 2.5f;      // x:1
        float atk = 0.01f;       // s
        float rel = 0.15f;       // s
        float knee = 6.0f;       // dB
        float makeup = 0.0f;     // dB
    };

    // Crossover k (0..3) of the default placement for n bands: points spaced evenly on a log scale
    // from 120 Hz toward 8 kHz, rounded to whole hertz (343, 980, 2800, 3454 Hz for four bands).
    float defaultCrossover (int k, int numBands) noexcept;

    // What a crossover reads as when its parameter is missing.
    inline constexpr float kXoverFallbacks[4] = { 343.0f, 980.0f, 2800.0f, 3454.0f };

    struct State
    {
        bool enabled = false;
        int bandCount = 4;          // 1..5
        bool msMode = false;
        int msChannel = 0;          // 0 Mid, 1 Side
        float globalMakeup = 0.0f;  // dB, after the band sum
        float mix = 100.0f;         // percent
        float xover[4] { 343.0f, 980.0f, 2800.0f, 3454.0f };   // Hz, between bands k and k + 1
        Band mid[5];                // stereo mode and the mid channel
        Band side[5];               // side channel in M/S mode
    };

    //==============================================================================
    // Parameter handles looked up once, so a per-block load builds no strings and allocates nothing.
    // A null handle is a parameter the tree does not have: its field takes the fallback.

    struct BandHandles
    {
        std::atomic<float>* thresh = nullptr;
        std::atomic<float>* ratio = nullptr;
        std::atomic<float>* atk = nullptr;
        std::atomic<float>* rel = nullptr;
        std::atomic<float>* knee = nullptr;
        std::atomic<float>* makeup = nullptr;
        std::atomic<float>* on = nullptr;
        std::atomic<float>* solo = nullptr;
    };

    class ParamCache
    {
    public:
        ParamCache() = default;
        explicit ParamCache (juce::AudioProcessorValueTreeState& tree) { build (tree); }

        // Looks every parameter up by ID; message thread (construction), never per block.
        void build (juce::AudioProcessorValueTreeState& tree);

        std::atomic<float>* enabled = nullptr;
        std::atomic<float>* bandCount = nullptr;   // null when missing or not a choice parameter
        std::atomic<float>* msMode = nullptr;
        std::atomic<float>* msChannel = nullptr;   // null when missing or not a choice parameter
        int msChannelCount = 0;
        std::atomic<float>* globalMakeup = nullptr;
        std::atomic<float>* mix = nullptr;
        std::atomic<float>* xover[4] {};
        BandHandles mid[5], side[5];
    };

    BandHandles findBand (juce::AudioProcessorValueTreeState& tree, bool side, int index);

    // Overwrites every field of `state` from the cached parameters (atomic loads only).
    void loadState (const ParamCache& params, State& state) noexcept;

    // Looks the parameters up by ID and fills `state`; for copies held on the message thread.
    void loadState (juce::AudioProcessorValueTreeState& tree, State& state);

    void loadBand (const BandHandles& handles, Band& band) noexcept;
    void loadBand (juce::AudioProcessorValueTreeState& tree, Band& band, bool side, int index);
}
