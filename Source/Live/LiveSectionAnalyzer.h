#pragma once

#include <juce_core/juce_core.h>
#include <atomic>
#include <cstdint>
#include "Core/PackedAtomic.h"

// Live section and mood analysis of the edition product. The processor reads and writes the
// members below directly; the analysis itself runs on the message thread from the processor timer.
class LiveSectionAnalyzer
{
public:
    enum Mode { off = 0, show = 1, arm = 2 };

    // A recipe reference as one word: style, medium, loudness and mood.
    struct RecipeRef
    {
        std::int16_t style = 5, medium = 3, lufs = 2, mood = -1;
    };

    // The user's own recipe while LIVE is armed.
    struct Held
    {
        std::int8_t style = 5, medium = 3, lufs = 2, letter = 0;
        float trim = 0.5f;   // mastering effect, 0..1 of its range
    };

    struct Feature
    {
        std::int64_t position = 0;
        float rms = 0.0f, peak = 0.0f, density = 0.0f, onsetRate = 0.0f;
        float imprint[6] {};
    };

    struct MapEntry
    {
        std::int64_t position = 0;
        int style = 5, medium = 3, lufs = 2, mood = -1;
        char letter = 'A';
    };

    struct LetterChip
    {
        std::uint8_t userEdited = 0;
        int moodPreset = -1;
        std::uint8_t snapshot = 0;
        int snapshotCount = 0;
        float trim = 0.5f;
    };

    LiveSectionAnalyzer();

    void loadStyleTable();
    void reset();

    static float densityOf (const float* imprint) noexcept;
    void fireMapAt (long long position) noexcept;

    int mode = off;
    std::atomic<int> letter { 'A' };
    std::atomic<bool> sectionKnown { false };
    std::atomic<int> suggestedMood { -1 };
    std::atomic<bool> userHold { false };
    double analysisRate = 44100.0;
    double hopSamples = 11025.0;

    // Feature accumulator of the current hop.
    double hopSumSquares = 0.0;
    float hopPeak = 0.0f;
    int hopCount = 0;
    float bandEnergy[6] {};
    float bandLowpass[6] {};
    float envelope = 0.0f, prevEnvelope = 0.0f;
    int onsetCount = 0;
    int sinceOnset = 0;

    std::int64_t blockPosition = 0;
    std::int64_t ownPosition = 0;
    bool ownPlaying = false;
    std::atomic<bool> positionFromHost { false };

    Feature featureFrame;
    juce::SpinLock featureLock;
    std::atomic<int> featureSequence { 0 };

    static constexpr int kMaxMapEntries = 32;
    MapEntry mapEntries[kMaxMapEntries];
    int mapCount = 0;
    std::atomic<bool> detailBusy { false };
    std::int64_t lastBlockEnd = -1;
    std::int64_t lastFiredPosition = -1;
    std::atomic<bool> replaying { false };
    std::atomic<bool> replayRequest { false };
    int mapGlideIndex = -1;

    std::atomic<bool> xfadeActive { false };
    std::atomic<float> xfadeProgress { 0.0f };
    VyrPackedAtomic<RecipeRef> xfadeFrom;
    VyrPackedAtomic<RecipeRef> xfadeTo;
    std::atomic<int> xfadeToLetter { 0 };
    std::atomic<float> xfadeTrimFrom { 0.5f };
    std::atomic<float> xfadeTrimTo { 0.5f };

    VyrPackedAtomic<Held> held;
    std::atomic<bool> requestPending { false };

    LetterChip letterChips[7];
};
