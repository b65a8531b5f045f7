#pragma once

#include <juce_audio_processors/juce_audio_processors.h>
#include <juce_audio_formats/juce_audio_formats.h>
#include <juce_audio_devices/juce_audio_devices.h>
#include <juce_audio_utils/juce_audio_utils.h>
#include <array>
#include <atomic>
#include <functional>
#include <mutex>
#include <vector>

#include "Core/ReaderCount.h"
#include "Model/Parameters.h"
#include "Live/SectionAutomation.h"
#include "Files/AudioIo.h"
#include "Core/SnapshotBox.h"
#include "Core/StampedRequest.h"
#include "Live/LiveSectionAnalyzer.h"
#include "Dsp/Metering.h"
#include "Dsp/SignalChain.h"
#include "Model/ChainMapping.h"
#include "Dsp/DspCommon.h"
#include "Dsp/SignalGenerator.h"
#include "Assistant/EnvCache.h"

// Section layout of a loaded file: sections, form letters, glides and automation lanes.
struct VyrSectionMastering
{
    bool enabled = false;
    bool liveFollow = false;
    bool autoRide = false;
    int count = 5;
    float cues[6] { 0.2f, 0.4f, 0.6f, 0.8f, 0.0f, 0.0f };
    float glides[6] { 0.35f, 0.35f, 0.35f, 0.35f, 0.35f, 0.35f };
    int assign[7] { 0, 1, 2, 3, 4, 5, 6 };
    int letters[7] { 0, 1, 2, 3, 4, 5, 6 };
    std::vector<VyrAutoPt> autoFx { VyrAutoPt {}, VyrAutoPt { 1.0f } };
    std::vector<VyrAutoPt> autoIn { VyrAutoPt {}, VyrAutoPt { 1.0f } };
    std::vector<VyrAutoPt> autoOut { VyrAutoPt {}, VyrAutoPt { 1.0f } };
};

// What the audio thread reads of the message thread's chain order and section layout.
struct VyrChainShared
{
    std::array<int, 13> fxOrder { 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12 };
    VyrSectionMastering section;
};

namespace vyrQuarnSmooth
{
    using Smoothed = juce::SmoothedValue<float, juce::ValueSmoothingTypes::Linear>;

    template <int N>
    struct SmoothSet
    {
        Smoothed values[N];
        bool ready = false;

        void init (const float (&initial)[N]) noexcept
        {
            for (int i = 0; i < N; ++i)
                values[i].setCurrentAndTargetValue (initial[i]);
        }
        // Moves a smoother toward `target` by one block of `numSamples` and returns its value at the
        // block's last sample; without a ramp the value lands on the target at once.
        float next (Smoothed& value, float target, int numSamples, bool ramp) const noexcept
        {
            if (numSamples <= 0 || ! ramp || ! ready)
            {
                value.setCurrentAndTargetValue (target);
                return target;
            }
            vyrDsp::setTargetIfMoved (value, target);
            value.skip (numSamples - 1);
            return value.getNextValue();
        }

        void reset (int rampSamples) noexcept
        {
            for (auto& v : values)
            {
                const float cur = v.getCurrentValue();
                v.reset (rampSamples);
                v.setCurrentAndTargetValue (cur);
            }
            ready = true;
        }
    };
}

namespace vyrQuarn
{
    using SpaceParamSmooth = vyrQuarnSmooth::SmoothSet<14>;
    using EnergyParamSmooth = vyrQuarnSmooth::SmoothSet<7>;
}

class VyrAudioProcessor : public juce::AudioProcessor,
                          private juce::AudioProcessorValueTreeState::Listener,
                          private juce::AudioProcessorListener,
                          private juce::Timer
{
public:
    explicit VyrAudioProcessor (VyrProduct productNumber = vyrProducts::quarn);
    ~VyrAudioProcessor() override;

    // juce::AudioProcessor
    const juce::String getName() const override;
    void prepareToPlay (double sampleRate, int samplesPerBlock) override;
    void releaseResources() override;
    void processBlock (juce::AudioBuffer<float>&, juce::MidiBuffer&) override;
    void processBlockBypassed (juce::AudioBuffer<float>&, juce::MidiBuffer&) override;
    using juce::AudioProcessor::processBlock;
    using juce::AudioProcessor::processBlockBypassed;
    double getTailLengthSeconds() const override;
    bool acceptsMidi() const override { return true; }
    bool producesMidi() const override { return false; }
    bool isMidiEffect() const override { return false; }
    juce::AudioProcessorParameter* getBypassParameter() const override;
    juce::AudioProcessorEditor* createEditor() override;
    bool hasEditor() const override { return true; }
    int getNumPrograms() override { return 1; }
    int getCurrentProgram() override { return 0; }
    void setCurrentProgram (int) override {}
    const juce::String getProgramName (int) override { return {}; }
    void changeProgramName (int, const juce::String&) override {}
    void getStateInformation (juce::MemoryBlock& destData) override;
    void setStateInformation (const void* data, int sizeInBytes) override;
    bool isBusesLayoutSupported (const BusesLayout& layouts) const override;

    // Product table.
    static juce::String productName (int product);
    static juce::String productModuleId (int product);

    // Operations other parts of the program call.
    void syncChainFromApvts();
    void fillChainFromApvts (VyrSignalChain& chain);
    void processMasteredBlock (juce::AudioBuffer<float>& buffer, bool live, double position);
    void applyMasterEffectMix (VyrSignalChain& chain, float amount);
    void fillUtility (juce::AudioBuffer<float>& buffer);
    void setUtilityEnabled (bool on);
    void alignHostedPower();
    void recallInitState();
    void applyFactoryPreset (int index);
    void loadAudioFile (const juce::File& file);
    void playFile();
    juce::String exportMastered (const juce::File& file, vyrAudioIo::Format format);
    void detectSections();
    // Ramp lengths of the parameter smoothers for a rate; their current values stay.
    void resetSmoothers (double sampleRate);
    void noteArmUserHold();
    void applyPendingLiveRecipe();
    void notifyMasterMood (int mood, int tag);
    void applyMoodPreset (int mood);
    int markLiveThumbs (bool like);
    bool armPunchingMasterStyle() const;
    void overlaySectionSnap (char letter, bool enablesOnly);
    // One tick of the live analyser (the 125 ms timer of the edition product).
    void liveTimerTick();

    // Ends every glide that is running, so none writes over what comes next: recipe glides carry the
    // `recipeGeneration` they started in and stop at their next tick once it has moved; the live
    // analyser's crossfade stops here. A state restore, a factory preset and "Init Preset" call it
    // (any thread); code that adds a glide joins it here.
    void stopAllGlides() noexcept;

    // Message thread: restarts the loudness readouts (integrated, range, maximum true peak). The
    // readouts show the reset at once; the audio thread clears its histories before its next block
    // (a flag, so neither thread ever waits for the other).
    void resetLoudness();

    // The output spectrum is analysed only while a view that shows it is open. Each such view calls
    // setSpectrumViewOpen (true) as it opens and setSpectrumViewOpen (false) as it closes, or holds a
    // SpectrumViewToken for its lifetime; the calls are counted (several views may be open), lock-free,
    // any thread. When the first view opens the analysis starts from fresh audio.
    void setSpectrumViewOpen (bool open) noexcept;
    bool isSpectrumViewOpen() const noexcept { return spectrumViews.any(); }

    class SpectrumViewToken
    {
    public:
        explicit SpectrumViewToken (VyrAudioProcessor& p) noexcept : processor (p) { processor.setSpectrumViewOpen (true); }
        ~SpectrumViewToken() { processor.setSpectrumViewOpen (false); }

    private:
        VyrAudioProcessor& processor;
        JUCE_DECLARE_NON_COPYABLE (SpectrumViewToken)
    };

    // The block levels and scopes of the input and output (`meters`' peaks, RMS and scope rings) are
    // read only by the editor's meter views, so they are measured only while such a view exists: each
    // holds a VyrReaderToken on levelReaders. When the last one goes the audio thread publishes silent
    // levels and empty scopes once, so a view that opens before the next block shows nothing stale.
    VyrReaderCount levelReaders;

    // The output's true peak (`meters.truePeakDb` and `meters.maxTruePeak`) is scanned only while a
    // reader holds a VyrReaderToken on truePeakReaders; the maximum covers the time it was held. A reader
    // that shows the maximum of all playback holds its token from the start. (The limiter keeps its
    // own true-peak readings.)
    VyrReaderCount truePeakReaders;

    // Asks the message thread to serve the pending requests (latency report, recipe bits, mood, section,
    // live recipe): mark the request's own atomics first, then call this. Any thread, the audio thread
    // included: it sets an atomic flag that the request poll (a message-thread timer) picks up within
    // `requestPollMs`. It never posts to the message queue, allocates or waits while the processor is
    // prepared (the poll then runs already); unprepared, it starts the poll itself.
    void requestAsyncUpdate() noexcept;

    // The chain's latency for the parameters as they stand, at the prepared rate: the figure the audio
    // thread works with from its next block on. Any thread.
    int latencyForCurrentSettings() const noexcept;

    // Counts the writes that are final whatever was pending (a state restore, a factory preset, "Init
    // Preset"); moved under stateLock after the pending requests were dropped. Every request carries
    // the count it was made at, and its work writes only if the count is unchanged when the worker
    // holds stateLock.
    std::atomic<int> restoreGeneration { 1 };   // from 1: a zero word marks an empty slot

    // For tests: runs on the message thread after the request worker took the pending requests and
    // before it takes stateLock to act on them.
    std::function<void()> onRequestsTaken;

    // True while a request is marked and not yet served (tests wait on this instead of sleeping).
    bool requestsPending() const noexcept { return asyncRequested.load(); }

    static constexpr int requestPollMs = 10;
    bool requestPollRunning() const noexcept { return requestPoll.isTimerRunning(); }

    // Message thread: hands the current `fxOrder` and `section` to the audio thread. Call after editing them.
    void publishChainShared();

    // Message thread: replaces the saved chain order (13 module indexes, each clamped to 0..12) and
    // hands it to the audio thread, which takes it with its next block.
    void setFxOrder (const int (&order)[13]);

    bool isStandaloneWrapper() const noexcept { return wrapperType == wrapperType_Standalone; }
    bool isPluginHostWrapper() const noexcept { return wrapperType != wrapperType_Undefined && wrapperType != wrapperType_Standalone; }

    // Number of parameter IDs the processor listens to (for diagnostics and tests).
    int numListenedParameters() const noexcept { return (int) listenedIds.size(); }

    //==============================================================================
    // Core
    juce::UndoManager undoManager { 30000, 30 };
    juce::AudioProcessorValueTreeState apvts;
    const int product;
    VyrSignalChain liveChain;
    VyrMeterEngine meters;
    VyrLoudnessState loudness;                      // audio thread only (and prepareToPlay)
    std::atomic<bool> loudnessResetPending { false };
    VyrReaderCount spectrumViews;
    bool spectrumRunning = false;                   // audio thread: the analysis ran last block
    bool levelsRunning = false;                     // audio thread: the levels were measured last block

    // Section layout and file analysis
    VyrSectionMastering section;
    bool sectionAnalysed = false;
    std::int32_t sectionClass[7] {};
    float sectionLufs[7] {};
    float overallLufs = -100.0f;
    float overallCrest = 0.0f;
    std::vector<float> overviewMin, overviewMax, envelopeMin, envelopeMax;
    std::atomic<int> sectionRevision { 0 };
    VyrStampedRequest<int> pendingSection { restoreGeneration, -1 };
    // The mastered-output model's prediction of this instance (message thread only; rebuilt on demand).
    mutable vyrMasterHypo::EnvCache masteredEnv;

    // Chosen indexes, analyser and recipe hand-off
    std::atomic<int> themeIndex { 0 };
    std::atomic<int> mediumIndex { 3 };
    std::atomic<int> styleIndex { 5 };
    std::atomic<int> lufsIndex { 2 };
    std::atomic<int> factoryPresetIndex { 0 };
    LiveSectionAnalyzer live;
    std::atomic<int> recipeGeneration { 0 };
    std::atomic<int> currentMood { -1 };
    VyrStampedRequest<int> pendingMood { restoreGeneration, -2 };
    std::atomic<bool> restoring { false };
    std::atomic<bool> moodNotifyGuard { false };
    std::atomic<int> notifiedMoodChoice { -99 };
    std::atomic<int> notifiedMoodTag { 0 };
    std::atomic<bool> lastLiveChanged { false };
    std::atomic<int> lastLiveLetter { 0 };
    std::atomic<float> riddenEffect { 0.0f };
    std::atomic<bool> effectRiding { false };
    VyrStampedRequest<bool> quarnDirty { restoreGeneration, false };
    std::atomic<bool> applyingRecipe { false };
    VyrStampedRequest<int> pendingBits { restoreGeneration, 0 };

    // File player, export and order
    std::atomic<float> playerGain { 0.8f };
    std::atomic<int> stateVersion { 0 };
    std::atomic<bool> loopPlayback { false };
    juce::String loadedName;
    juce::File loadedFile;
    double fileSampleRate = 44100.0;
    bool fileLoaded = false;
    juce::String loadError;   // why the last loadAudioFile failed; empty after a successful load
    vyrAudioIo::ExportInfo exportInfo;
    std::int32_t fxOrder[13] { 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12 };

    // Signal generator
    std::atomic<bool> utilEnabled { false };
    std::atomic<bool> utilDim { false };
    std::atomic<bool> micInput { false };
    std::atomic<int> utilWave { 0 };
    std::atomic<float> utilFreq { 1000.0f };
    std::atomic<float> utilLevelDb { -20.0f };
    std::atomic<float> utilDuty { 0.5f };
    std::atomic<bool> utilAntiAlias { true };
    std::atomic<bool> utilDecorrelated { false };
    std::atomic<bool> utilStereo { true };
    std::atomic<int> utilInvert { 0 };
    std::atomic<float> utilDcOffset { 0.0f };
    std::atomic<float> utilSweepStart { 20.0f };
    std::atomic<float> utilSweepEnd { 20000.0f };
    std::atomic<float> utilSweepDur { 4.0f };
    std::atomic<int> utilSweepLog { 1 };
    std::atomic<bool> utilImpulsePending { false };
    std::atomic<float> utilPeakDb[2] { { -100.0f }, { -100.0f } };
    std::atomic<float> utilRmsDb[2] { { -100.0f }, { -100.0f } };

    // Framework services
    juce::AudioFormatManager formatManager;
    juce::TimeSliceThread fileThread { "VYR File" };   // started by fileReadThread() on first use
    // Message thread: the file read-ahead thread, started on first use (only the Standalone app plays
    // files, so plug-in instances never start it).
    juce::TimeSliceThread& fileReadThread();
    std::unique_ptr<juce::AudioFormatReaderSource> readerSource;
    juce::AudioTransportSource transport;
    juce::AudioBuffer<float> fileBuffer;
    juce::AudioBuffer<float> dryBuffer;
    juce::AudioBuffer<float> dryDelayLine;   // the unprocessed signal, delayed by the chain's latency
    int dryDelayWrite = 0;

    // Block state
    float bypassFade = 0.0f;
    double hostSampleRate = 44100.0;
    int preparedBlockSize = 0;   // the block size of the last prepareToPlay, 0 before the first
    std::int32_t sectionGlideBoundary = -1, sectionCurrent = -1;
    std::int32_t sectionBlendFrom = 0, sectionBlendTo = 0;
    float sectionBlendAmount = 0.0f;
    bool sectionBlendActive = false;
    juce::String hostedModuleId;
    std::atomic<bool> hostedPowerGuard { false };
    vyrQuarn::SpaceParamSmooth spaceSmooth;
    vyrQuarn::EnergyParamSmooth energySmooth;
    std::int32_t compressorCharacter = 3;
    std::int32_t compressorCharacterRequested = 3;
    juce::SmoothedValue<float, juce::ValueSmoothingTypes::Linear> effectSmooth;
    bool effectSmoothReady = false;
    std::int32_t smoothBlockSamples = 0;

    // Playhead tracker
    std::int64_t blockStartSamples = 0;
    bool blockPlaying = false;
    bool hostPositionKnown = false;
    std::int64_t nextBlockSamples = 0;
    std::int64_t lastHostSamples = -1;
    std::int32_t frozenBlocks = 0;
    bool wasPlaying = false;
    std::atomic<bool> hostPlaying { false };
    std::atomic<std::int64_t> playheadSamples { 0 };
    std::atomic<std::int64_t> armStartSamples { 0 };
    std::atomic<std::int64_t> punchStart { 0 };
    std::atomic<std::int64_t> punchEnd { 0 };

    // Generator running state
    juce::Random utilRandom;
    VyrSignalGenerator generator;

private:
    // Message thread: serves everything the request atomics hold.
    void handleAsyncUpdate();
    // The recipe requests as the worker took them, each with the generation it was made at.
    struct TakenRequests
    {
        VyrStampedRequest<int>::Taken bits { 0, 0 }, mood { -2, 0 }, section { -1, 0 };
        VyrStampedRequest<bool>::Taken quarn { false, 0 };
    };
    // Holding stateLock: serves what was taken, leaving out requests made before the last restore.
    void serveRecipeRequests (const TakenRequests& taken);
    // Drops every request marked so far, stops the glides and moves restoreGeneration: what the
    // caller writes next is final. Callers hold stateLock.
    void supersedePendingWork() noexcept;
    void pollRequests();
    void startRequestPoll();
    // Tells the host the latency of the current settings if it moved: on the message thread, at the
    // end of a restore or preset recall (whatever thread runs it), and from prepareToPlay.
    void refreshLatency();
    static bool decidesLatency (const juce::String& parameterID) noexcept;
    void timerCallback() override;
    void parameterChanged (const juce::String& parameterID, float newValue) override;

    // Every parameter write passes here, after the parameter listeners. A host may hand a value this
    // processor reported back to it later, from a queue of its own (a VST3 host does so with reports
    // made off its message thread); when such a value of a write that a restore has since replaced
    // arrives, the restored value is put back at once and the host told of it from the message thread.
    void audioProcessorParameterChanged (juce::AudioProcessor*, int parameterIndex, float newValue) override;
    void audioProcessorChanged (juce::AudioProcessor*, const juce::AudioProcessorListener::ChangeDetails&) override {}
    bool isSupersededEcho (int parameterIndex) const noexcept;
    // Marks the writes of this thread, while it lives, as the processor's own program writes (recipe
    // work, glides), whose values may come back from the host. Taken only under stateLock, so one
    // thread at a time holds it; the listener, which also runs on the audio thread, asks by thread id
    // (no thread-local storage, whose first touch in a loaded module can allocate).
    struct ProgramWriteScope
    {
        explicit ProgramWriteScope (VyrAudioProcessor&) noexcept;
        ~ProgramWriteScope();
        VyrAudioProcessor& owner;
        bool outermost = false;
    };
    bool programWriteActive() const noexcept;
    bool revertingEchoHere() const noexcept;
    // Under stateLock at the end of a restore: the values it left, which superseded echoes return to.
    void noteRestoredValues() noexcept;
    void reportRevertedEchoes();

    void trackPlayhead (int numSamples, double sr);
    void followSections (const VyrSectionMastering& sec, float position);
    void captureLoudnessAndSpectrum (const juce::AudioBuffer<float>& buffer);
    void playLoadedFile (juce::AudioBuffer<float>& buffer, int numSamples);
    void runMidiMap (const juce::MidiBuffer& midi);
    void applyBypassCrossfade (juce::AudioBuffer<float>& buffer, bool bypassTarget);
    // Records the block into the dry line, before the chain works on it in place. Only the bypass
    // and its crossfade read the line, after the block, with the latency the block ran with.
    void recordDry (const juce::AudioBuffer<float>& input, int numSamples) noexcept;
    // Fills dryBuffer with the last recorded numSamples, delayed by `latency` samples.
    void readDry (int numSamples, int latency) noexcept;
    int readChoice (const char* id, int count, int fallback) const;
    void setParamNotifying (const juce::String& id, float plainValue);
    // A program write: skipped when within `tolerance` of the current normalised value, else one gesture.
    void writeProgramValue (const char* id, float normalised, float tolerance);
    void latchChosenIndexes();

    // Parameters read on the audio thread, looked up once.
    VyrMappingParams mapParams;
    std::atomic<bool> latencyCheckPending { false };   // another thread saw the latency move
    std::atomic<int> reportedLatency { 0 };
    std::mutex latencyLock;                             // orders reports from a restore's thread and the message thread
    TakenRequests heldRequests;                         // message thread: taken, not yet served
    bool holdingRequests = false;

    // Per parameter: the last few values the processor's own program writes gave it (normalised, as
    // the parameter holds it), each with the restore generation of that write in one word (a host may
    // hand back any of them); the value the last restore left; and whether a reverted echo still has
    // to be reported to the host.
    static constexpr int ownWritesKept = 4;
    std::unique_ptr<std::atomic<std::uint64_t>[]> ownWrites;
    std::unique_ptr<std::atomic<int>[]> ownWriteNext;
    std::unique_ptr<std::atomic<float>[]> restoredValues;
    std::atomic<juce::Thread::ThreadID> programWriter { nullptr };
    // The thread putting a restored value back: the write it makes starts no recipe work.
    std::atomic<juce::Thread::ThreadID> echoReverter { nullptr };
    std::unique_ptr<std::atomic<bool>[]> revertedEchoes;
    std::atomic<bool> revertedEchoPending { false };
    int numParams = 0;
    std::vector<juce::String> listenedIds;
    VyrSnapshotBox<VyrChainShared> chainShared { VyrChainShared {} };

    // The request poll: runs while the processor is prepared (the audio thread may ask) and while a
    // request made off the audio path waits; it stops itself when neither holds.
    struct RequestPoll final : juce::Timer
    {
        explicit RequestPoll (VyrAudioProcessor& o) : owner (o) {}
        void timerCallback() override { owner.pollRequests(); }
        VyrAudioProcessor& owner;
    };
    RequestPoll requestPoll { *this };
    std::atomic<bool> asyncRequested { false };
    std::atomic<bool> pollActive { false };
    std::atomic<bool> audioPrepared { false };
    std::mutex pollLock;   // starting and stopping the poll; never taken while the poll runs

    // Orders recipe work against state restores and preset recalls (none of them on the audio thread).
    // The poll only try-locks it and retries on its next tick, so the message thread never waits for a
    // host's restore on another thread.
    std::recursive_mutex stateLock;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (VyrAudioProcessor)
};
