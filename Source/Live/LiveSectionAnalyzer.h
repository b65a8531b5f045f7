#pragma once

#include <juce_audio_basics/juce_audio_basics.h>
#include <atomic>
#include <cstdint>
#include <vector>
#include "Core/PackedAtomic.h"
#include "Live/LiveRecords.h"

// The live analyser of the edition product. The audio thread measures the incoming audio in
// quarter-second hops and, in Arm, replays the section map; the processor's 125 ms timer feeds the
// hops into the section rules on the message thread, stamps the map and applies what is asked for.
//
// Hand-over between the threads: single values are atomics; the audio thread only ever try-locks
// (`mapLock`, `requestLock`, `frameLock`) and skips or retries its work when the message thread
// holds a lock, so it never waits; the message thread's spin locks are held only for short copies.
class LiveSectionAnalyzer
{
public:
    enum Mode { off = 0, show = 1, arm = 2 };

    // One hop (or a mean of hops).
    struct Feature
    {
        float imprint[6] {};   // energy shares sub, bass, mud, mid, presence, air
        float density = 0.0f;
        float rhythmHz = 0.0f;
        float slowA = 0.0f;    // dB
        bool silent = true;
        std::int64_t position = 0;
        float crest = 20.0f;
    };

    struct HistoryEntry
    {
        Feature hop;
        float z = 0.0f;
        std::int64_t at = 0;
    };

    struct MapEntry
    {
        std::int64_t at = 0;
        vyrLive::ApplyRequest request;
    };

    struct LetterVariant
    {
        float prototype[9] {};
        char letter = 'A';
        bool valid = false;
        int style = -1, medium = -1, lufs = -1, mood = -1;
        int mask = 1;
        bool wide = false;
    };

    // Per-letter chip memory. The fields the audio thread reads or the parameter listener writes are
    // atomics; the rest belong to the message thread.
    struct LetterChips
    {
        std::atomic<int> variant { 0 };
        bool liked = false, disliked = false, frozen = false;
        std::atomic<bool> userEdited { false };
        std::atomic<bool> hasSnapshot { false };
        int style = 5, medium = 3, lufs = 2, mask = 1;
        bool wide = false;
        std::atomic<int> mood { -1 };
        vyrLive::RecipeBan ban;
        float quarnSnap[9] {};
        float mix[13] {};
        std::atomic<float> trim { 0.5f };
        std::uint16_t enabledMask = 0;

        void clear() noexcept;
    };

    struct Guess
    {
        int style = 5, medium = 3, lufs = 2;
        float confidence = 0.0f, bestDistance = 1000.0f;
        juce::String label, character, moodName;
        int mask = 1;
        bool wide = false, confident = false, hasRecipe = false;
        int mood = -1;
    };

    struct TrainEx
    {
        juce::String label;
        char letter = 'A';
        float imprint[6] {};
        float density = 0.0f, rhythmHz = 0.0f, slowA = 0.0f;
        vyrLive::RecipeRef original, revised;
        bool hasRevised = false;
    };

    LiveSectionAnalyzer();
    ~LiveSectionAnalyzer();

    //==============================================================================
    // Tables (message thread).
    void loadStyleTable();
    // Builds both tables from document texts (the embedded ones by default) and installs them whole.
    void loadTablesFrom (const juce::String& styleDocument, const juce::String& moodDocument);
    static int styleIndexOf (const juce::String& name);
    static int mediumIndexOf (const juce::String& name);
    static juce::String asciiPreset (const juce::String& mood, const juce::String& vibe, float lufs, const juce::String& character);

    //==============================================================================
    // Modes and state (message thread).
    void setMode (int m);
    void reset();
    static float densityOf (const float* imprint) noexcept;
    void armPost();
    // Stops a running recipe glide and the map replay that drives it (a restore of the plug-in's state).
    void stopGlide() noexcept;

    //==============================================================================
    // Section tracking (message thread, from the processor timer).
    // Starts a requested replay of the map; returns true when one started.
    bool startReplayIfRequested();
    // Takes the newest published hop and runs the section rules on it.
    void trackNewestHop();
    void lockSection (const Feature& feature, bool reuse);
    void commitShift (const Feature& candidate);

    //==============================================================================
    // Section map and per-letter memory.
    void stampMap (std::int64_t at, const vyrLive::ApplyRequest& req);
    void updateMapSpanLocked();
    void rebuildMapCueLocked();
    bool restoreChipsForLetter (char letterCode, Guess& guess) const;
    void publishLocked (const Guess& guess);
    void fireMapAt (std::int64_t pos) noexcept;   // audio thread, `mapLock` held
    // Texts for the main view and tests: copies under their locks.
    void copyStatus (juce::String& status, juce::String& character) const;
    juce::String copyDetail() const;

    //==============================================================================
    // Recipe guess and mood choice (message thread).
    Guess guessFrom (const Feature& feature, int prevStyle, int prevMedium, int prevLufs) const;
    void applyArmChips (Guess& guess, const Feature& feature, bool hadSection, const vyrLive::RecipeBan& ban);
    int pickMoodPreset (const Feature& feature, int featureLufs, int mask, int lufs, int style, bool wide,
                        const Guess& guess, bool strict, const vyrLive::RecipeBan& ban) const;
    void fillGuessFromMood (Guess& guess, int index) const;
    static juce::String characterFromMask (int mask);
    static int styleFamilyOf (int style) noexcept;

    //==============================================================================
    // Training log (message thread).
    juce::File trainingFile() const;
    // Redirects this analyser's log (tests); an empty file goes back to the user's folder.
    void setTrainingFile (const juce::File& file);
    void loadTraining();
    void appendTraining (const juce::String& label, const vyrLive::RecipeRef& original,
                         const vyrLive::RecipeRef* revised = nullptr, const float* quarn = nullptr,
                         const float* mix = nullptr, int mixCount = 0);
    static juce::var recipeToVar (const vyrLive::RecipeRef& ref);
    vyrLive::RecipeRef recipeFromVar (const juce::var& value) const;

    //==============================================================================
    // Audio thread: measures one block of the input-gained signal, keeps the time line and, in Arm,
    // the map replay. `blockStart` and `positionKnown` describe the host's play position, `playing`
    // whether it advances. Allocates nothing and never waits for the message thread.
    void analyseBlock (const juce::AudioBuffer<float>& buffer, double hostRate, std::int64_t blockStart,
                       bool positionKnown, bool playing) noexcept;

    //==============================================================================
    std::atomic<int> mode { off };
    std::atomic<int> letter { 'A' };
    std::atomic<float> showSeconds { 0.0f };
    std::atomic<bool> sectionKnown { false };
    std::atomic<int> suggestedStyle { 5 }, suggestedMedium { 3 }, suggestedLufs { 2 }, suggestedMood { -1 };
    std::atomic<bool> requestPending { false };
    std::atomic<float> lateSeconds { 0.0f };
    std::atomic<int> mapSize { 0 };
    vyrLive::ApplyRequest request;
    juce::SpinLock requestLock;
    Feature hopFrame;
    std::atomic<int> hopSeq { 0 };
    int lastHopSeq = 0;
    juce::SpinLock frameLock;
    char statusText[96] {};
    char characterText[32] {};
    char detailText[384] {};
    juce::SpinLock statusLock;

    // Audio thread: the current hop's accumulators.
    double sumSquares = 0.0;
    float peak = 0.0f;
    double bandEnergy[6] {};
    float envelope = 0.0f, prevEnvelope = 0.0f;
    float bandLowpass[5] {};
    int hopSamples = 0;          // samples accumulated in the current hop
    int onsets = 0;
    int samplesSinceOnset = 0;
    std::atomic<double> hopLength { 11025.0 };   // samples per hop
    std::atomic<double> sampleRate { 44100.0 };
    int lastMode = 0;
    std::int64_t blockPosition = 0;
    std::int64_t ownPosition = 0;
    bool ownPlaying = false;
    std::atomic<bool> positionFromHost { false };
    bool blockAdvancing = false;

    // Message thread: section tracking.
    bool sectionLocked = false;
    bool shiftPending = false;
    bool ready = false;
    static constexpr int kRingSize = 24, kHistorySize = 48, kMaxMapEntries = 32;
    Feature hopRing[kRingSize];
    Feature windowFeature;
    int ringCount = 0, ringWrite = 0;
    float sectionMean[9] {}, sectionM2[9] {};
    int sectionHops = 0;
    float sectionSeconds = 0.0f;
    float shiftSeconds = 0.0f;
    Feature shiftCandidate;
    LetterVariant letterVariants[7];
    int letterVariantCount = 0;
    int letterCursor = 0;
    VyrPackedAtomic<vyrLive::RecipeQuad> lastApplied;
    int lastMask = 1;
    bool lastWide = false;
    Feature currentFeature;
    LetterChips letterChips[7];
    std::int64_t lastHopPosition = 0;
    HistoryEntry history[kHistorySize];
    int historyWrite = 0, historyCount = 0;

    // The section map, under `mapLock` (the audio thread only try-locks it).
    MapEntry sectionMap[kMaxMapEntries];
    int mapCount = 0;
    juce::SpinLock mapLock;
    std::int64_t prevBlockEnd = -1;
    std::atomic<std::int64_t> lastFiredAt { -1 };
    std::atomic<bool> replaying { false }, replayRequested { false }, userHold { false };
    std::atomic<std::int64_t> mapFirst { -1 }, mapLast { -1 };
    std::atomic<bool> xfadeActive { false };
    std::atomic<float> xfadeProgress { 0.0f };
    VyrPackedAtomic<vyrLive::RecipeQuad> xfadeFrom, xfadeTo;
    VyrPackedAtomic<vyrLive::Held> held;
    std::atomic<int> xfadeToLetter { 'A' };
    std::atomic<float> xfadeFromTrim { 0.5f }, xfadeToTrim { 0.5f };
    int glidePair = -1;

    std::vector<vyrLive::StyleRow> styleRows;
    std::vector<vyrLive::MoodPreset> moodPresets;
    std::vector<TrainEx> training;
    bool trainingLoaded = false;

    // Record index of a form letter (clamped to 'A'..'G').
    static int letterIndex (int letterCode) noexcept { return juce::jlimit (0, 6, letterCode - 'A'); }

private:
    void clearSectionState();
    void resetMapLocked();
    void setStatus (const char* status, const char* character);
    void stampRecent (bool shiftRules);
    void replayGlide (std::int64_t q) noexcept;
    void letterFollow (std::int64_t q) noexcept;
    float entryTrim (const MapEntry& e) const noexcept;
    void publishFrame() noexcept;
    void clearAccumulators() noexcept;

    // Audio thread: a hop closed while `frameLock` was busy waits here for the next try.
    Feature pendingFrame;
    bool framePending = false;
    // Set by reset() on the message thread; the audio thread clears its own accumulators on seeing it.
    std::atomic<bool> accumulatorResetPending { false };
    juce::File trainingOverride;
    bool embeddedTablesInstalled = false;

    JUCE_DECLARE_NON_COPYABLE (LiveSectionAnalyzer)
};
