#pragma once

#include <juce_audio_processors/juce_audio_processors.h>
#include <atomic>
#include <vector>
#include "Model/MoodTable.h"

// Mastering recipes: the vocabulary and recipe tables, the recipe writes, the QUARN and SPACE
// mapping and the MIDI controller map.
namespace vyrQuarn
{
    //==============================================================================
    // Vocabulary: positions in these tables are the style, medium, loudness and live-mode indexes.
    struct MasterMedium
    {
        const char* key;          // lower-case key, also used by the recipe document
        const char* label;        // display text and "masterMedium" choice name
        float lufs;               // loudness target, LUFS
        float truePeak;           // true-peak ceiling, dBFS
        const char* description;
    };

    extern const char* const kMasterStyles[7];
    extern const MasterMedium kMasterMediums[8];
    extern const float kLufsOptions[5];
    extern const char* const kLufsLabels[5];
    extern const char* const kLiveAnalysisModes[3];

    //==============================================================================
    // Recipe tables. Built-in values are compiled in; loadQuarnPresets() overwrites them from the
    // embedded recipe document once per process, after which they are only read (also by the
    // audio thread, without locks).
    struct StyleMix
    {
        float comp, sat, dens, clip, tape, delay, rev, eq, dyn, mbc, img, lim;   // wet amounts 0..1
    };

    struct StyleRecipe
    {
        float toneAng, toneRad, energy, boost, presence;       // QUARN: angles in turns, radius and boost 0..1
        float spaceAng, spaceRad, reverbAng, reverbRad;        // SPACE
        int limiterStyle;                                      // "limiter_style" choice 0..4
        StyleMix mix;
    };

    struct LufsRecipe
    {
        float ceiling;      // dB
        float inputGain;    // dB
        float release;      // s
        float boostCap;     // largest QUARN boost at this loudness, 0..1
        float trim;         // mastering effect "masterTrim", percent
        float makeup;       // compressor makeup added by the QUARN mapping, dB
        int scale;          // "limiter_scale" choice
        int meter;          // "meteringMode" choice
        int oversampling;   // "limiter_oversampling" choice
    };

    // One compressor setting at the three energy characters (glue 1/4, punch 7/12, density 11/12).
    struct EnergyWeights
    {
        float glue, punch, density;
    };

    struct EnergyCmp
    {
        EnergyWeights attack, release, ratio, knee, threshold, makeup;
    };

    extern StyleRecipe gStyleRecipes[7];
    extern LufsRecipe gLufsRecipes[5];
    extern EnergyCmp gEnergyCmp;
    extern float gMediumLufs[8];
    extern float gImgWidth;

    // All recipe tables together, so a document can be read into a copy and committed whole.
    struct RecipeTables
    {
        StyleRecipe styles[7];
        LufsRecipe lufs[5];
        EnergyCmp energyCmp;
        float mediumLufs[8];
        float imgWidth;
    };

    RecipeTables builtInTables();

    // Reads a recipe document (a leading /* */ comment, then JSON) over `tables`. Returns false and
    // leaves `tables` untouched when the document is unusable: empty, not parseable, not an object,
    // a "version" other than 1, nested too deeply, or holding a number that is not finite or is
    // beyond any sensible magnitude.
    bool readRecipeDocument (const juce::String& text, RecipeTables& tables);

    // Fills the global tables from the embedded recipe document; runs its body once per process.
    void loadQuarnPresets();

    // The loudness index whose target is nearest to `lufs` (ties keep the lower index).
    int nearestLufsIndex (float lufs) noexcept;

    //==============================================================================
    // Module switches of the saturation, analogue density and clip modules. One rule serves the
    // style recipe, the recipe glide and the QUARN mapping, so they never disagree: a module is on
    // while the QUARN boost is above 0.04 or its own wet amount (as a fraction of the mix range) is
    // above its gate (saturation and clip 0.04, analogue density 0.08).
    struct ColourSwitches
    {
        bool saturation, density, clip;
    };

    ColourSwitches colourSwitches (float boost, float satMix, float densMix, float clipMix) noexcept;

    //==============================================================================
    // Recipe writes (message thread). Callers set the processor's `applyingRecipe` around them.

    // Writes the style, (optionally) medium and loudness choices, then the loudness and the style
    // recipe. A negative medium leaves "masterMedium" alone.
    void applyChips (juce::AudioProcessorValueTreeState& tree, int style, int lufsIndex, int medium);
    // Same; the flag does not change what is written.
    void applyChips (juce::AudioProcessorValueTreeState& tree, int style, int lufsIndex, bool, int medium);

    // The limiter, metering and mastering-effect settings of a loudness recipe; with reapplyQuarn
    // it also caps the QUARN boost and runs the QUARN and SPACE mapping.
    void applyLufs (juce::AudioProcessorValueTreeState& tree, int lufsIndex, bool reapplyQuarn);

    // The QUARN and SPACE values, module switches and mixes of a style recipe, then the mapping.
    void applyStyle (juce::AudioProcessorValueTreeState& tree, int style);

    // One step of a glide from recipe A to recipe B at progress t (0..1). trimA/trimB are
    // normalised "masterTrim" values; a negative one means "use the loudness recipe's trim".
    void lerpChips (juce::AudioProcessorValueTreeState& apvts,
                    int styleA, int mediumA, int lufsA,
                    int styleB, int mediumB, int lufsB,
                    float t, float trimA, float trimB);

    // Maps the QUARN and SPACE values onto the module parameters (128 writes). With insideGesture
    // the changed parameters are set without change gestures of their own.
    void apply (juce::AudioProcessorValueTreeState& apvts, bool insideGesture);

    //==============================================================================
    // SPACE delay character at an angle (turns) and radius: time (s), feedback, crossfade (ms) and
    // whether the delay is on. Pure; safe on any thread.
    void spaceDelayParams (float angle, float radius, float& time, float& feedback, float& crossfadeMs, bool& on) noexcept;

    // Names of the delay and reverb characters nearest to an angle, and the short reverb ring labels.
    const char* delayName (float angle) noexcept;
    const char* reverbName (float angle) noexcept;
    const char* reverbRingLabel (int index) noexcept;
}

namespace vyrMidi
{
    enum RequestBits : int { loudnessChosen = 1, styleChosen = 2, mediumChosen = 4, moodChosen = 8 };

    extern const char* const kMixIds[12];     // controllers 20..31
    extern const char* const kQuarnIds[5];    // controllers 70..74
    extern const char* const kSpaceIds[4];    // controllers 75..78

    // The selected mood bank, shared by every instance in the process; never saved.
    extern std::atomic<int> gMoodBank;

    // Audio thread: sets the mapped parameters from the control changes of `midi` (any channel) and
    // returns the OR of the request bits the message thread must act on. Allocates nothing.
    int applyQuarnMidi (juce::AudioProcessorValueTreeState& tree, const juce::MidiBuffer& midi);

    // The mood bank controller 82 selects among `numBanks` banks at a value 0..127.
    int bankForController (int numBanks, int value) noexcept;

    // The mood preset controller 19 picks in `bank` at a value 0..127, or -1 when the bank is empty.
    int moodForController (const std::vector<vyrMood::Bank>& banks, int bank, int value) noexcept;

    // One controller message (controller and value 0..127); returns its request bits.
    int applyQuarnCc (juce::AudioProcessorValueTreeState& tree, int controller, int value);
}
