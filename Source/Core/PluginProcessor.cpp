#include "Core/PluginProcessor.h"
#include "Ui/Shell/PluginEditor.h"
#include "Model/QuarnPresets.h"

namespace
{
const char* const kProductNames[15] = {
    "VYR Compressor", "VYR Limiter", "VYR Saturation", "VYR Analogue Density", "VYR Clip Distortion",
    "VYR Tape Machine", "VYR Delay", "VYR Reverb", "VYR EQ Parametric", "VYR EQ Dynamic",
    "VYR Multiband Comp", "VYR Stereo Imager", "VYR Tovu", "VYR Signal Utility", "VYR Quarn"
};

const char* const kProductModuleIds[14] = {
    "compressor", "limiter", "saturation", "analogueDensity", "clip", "tape", "delay", "reverb",
    "eq", "dynamicEq", "multiBandComp", "stereoImager", "tovu", "signalUtility"
};

const char* const kFxOrderIds[13] = {
    "compressor", "saturation", "analogueDensity", "clip", "tape", "delay", "reverb",
    "eq", "dynamicEq", "multiBandComp", "tovu", "stereoImager", "limiter"
};

const float kSpaceSmoothInit[14] = { 0.25f, 0.3f, 15.0f, 0.5f, 1.5f, 0.78f, 0.45f, 0.55f, 1.18f, 0.0f, 0.0f, 20.0f, 0.0f, 0.0f };
const float kEnergySmoothInit[7] = { 0.01f, 0.25f, 3.0f, 20.0f, -20.0f, 1.5f, 1.0f };

std::once_flag recipeTablesLoaded;
}

juce::String VyrAudioProcessor::productName (int p)
{
    if (p >= 1 && p <= 15)
        return kProductNames[p - 1];
    return "Tolvaren";
}

juce::String VyrAudioProcessor::productModuleId (int p)
{
    if (p >= 1 && p <= 14)
        return kProductModuleIds[p - 1];
    return "chain";
}

VyrAudioProcessor::VyrAudioProcessor (VyrProduct productNumber)
    : juce::AudioProcessor (BusesProperties()
                                .withInput ("Input", juce::AudioChannelSet::stereo(), true)
                                .withOutput ("Output", juce::AudioChannelSet::stereo(), true)),
      apvts (*this, &undoManager, "VYR", vyrCreateParameterLayout (productNumber)),
      product (productNumber)
{
    spaceSmooth.init (kSpaceSmoothInit);
    energySmooth.init (kEnergySmoothInit);
    utilRandom.setSeedRandomly();
    liveChain.product = product;

    std::call_once (recipeTablesLoaded, [] { vyrQuarn::loadQuarnPresets(); });
    live.loadStyleTable();

    if (product == vyrProducts::signalUtility)
        utilEnabled = true;

    formatManager.registerBasicFormats();

    auto listen = [this] (const juce::String& id)
    {
        if (apvts.getParameter (id) == nullptr)
            return;
        apvts.addParameterListener (id, this);
        listenedIds.push_back (id);
    };

    for (auto* id : { "linkLR", "inputGainL", "outputGainL", "bypass" })
        listen (id);

    if (product >= 1 && product <= 13)
    {
        hostedModuleId = productModuleId (product) + "_enabled";
        listen (hostedModuleId);
    }

    if (product == vyrProducts::quarn)
    {
        for (auto* id : { "quarn_toneAng", "quarn_toneRad", "quarn_energy", "quarn_boost", "quarn_presence",
                          "quarn_spaceAng", "quarn_spaceRad", "quarn_reverbAng", "quarn_reverbRad",
                          "masterStyle", "masterMood", "masterMedium", "masterLufs", "masterTrim" })
            listen (id);
        for (auto* moduleId : kFxOrderIds)
        {
            listen (juce::String (moduleId) + "_mix");
            listen (juce::String (moduleId) + "_enabled");
        }
    }

    if (liveChain.runsLimiter())
        for (auto* id : { "limiter_oversampling", "limiter_lookahead", "limiter_truePeak" })
            listen (id);

    mapParams.build (apvts);

    numParams = getParameters().size();
    ownWrites = std::make_unique<std::atomic<std::uint64_t>[]> ((size_t) (numParams * ownWritesKept));
    ownWriteNext = std::make_unique<std::atomic<int>[]> ((size_t) numParams);
    for (int i = 0; i < numParams * ownWritesKept; ++i)
        ownWrites[(size_t) i] = 0;
    restoredValues = std::make_unique<std::atomic<float>[]> ((size_t) numParams);
    revertedEchoes = std::make_unique<std::atomic<bool>[]> ((size_t) numParams);
    for (int i = 0; i < numParams; ++i)
    {
        ownWriteNext[(size_t) i] = 0;
        restoredValues[(size_t) i] = getParameters()[i]->getValue();
        revertedEchoes[(size_t) i] = false;
    }
    addListener (this);

    publishChainShared();
    // "VYR File" starts with the first loaded file (loadAudioFile).
}

VyrAudioProcessor::~VyrAudioProcessor()
{
    audioPrepared = false;
    {
        // Marked active so no late request restarts the poll while this object goes away.
        const std::lock_guard<std::mutex> lock (pollLock);
        pollActive = true;
        requestPoll.stopTimer();
    }
    stopTimer();
    removeListener (this);
    transport.setSource (nullptr);
    readerSource.reset();
    fileThread.stopThread (2000);
    for (const auto& id : listenedIds)
        apvts.removeParameterListener (id, this);
}

const juce::String VyrAudioProcessor::getName() const
{
    return productName (product);
}

double VyrAudioProcessor::getTailLengthSeconds() const
{
    return product == vyrProducts::signalUtility ? 0.0 : 4.0;
}

juce::AudioProcessorParameter* VyrAudioProcessor::getBypassParameter() const
{
    return apvts.getParameter ("bypass");
}

juce::AudioProcessorEditor* VyrAudioProcessor::createEditor()
{
    return new VyrAudioProcessorEditor (*this);
}

bool VyrAudioProcessor::isBusesLayoutSupported (const BusesLayout& layouts) const
{
    const auto in = layouts.getMainInputChannelSet();
    const auto out = layouts.getMainOutputChannelSet();
    if (in.size() == 0 || out.size() == 0 || in != out)
        return false;
    return out == juce::AudioChannelSet::mono() || out == juce::AudioChannelSet::stereo();
}

void VyrAudioProcessor::prepareToPlay (double sampleRate, int samplesPerBlock)
{
    hostSampleRate = sampleRate;
    preparedBlockSize = samplesPerBlock;
    // A host that announces no block size gets the export's block size, not one-sample pieces.
    const int prepared = samplesPerBlock > 0 ? samplesPerBlock : 4096;

    liveChain.prepare (sampleRate, prepared);

    meters.prepare (sampleRate);
    loudness.prepare (sampleRate);
    loudness.reset (meters);
    loudnessResetPending = false;

    transport.prepareToPlay (prepared, sampleRate > 0.0 ? sampleRate : 44100.0);

    const int channels = std::max (2, getTotalNumOutputChannels());
    if (fileBuffer.getNumChannels() != channels || fileBuffer.getNumSamples() != prepared)
        fileBuffer.setSize (channels, prepared);
    if (dryBuffer.getNumChannels() != channels || dryBuffer.getNumSamples() != prepared)
        dryBuffer.setSize (channels, prepared);

    // The unprocessed signal is delayed by the chain's latency (at most the limiter's 20 ms lookahead
    // plus its oversampling filters), so the bypass fade and a bypassed block stay time-aligned with
    // the processed signal the host compensates for.
    const double rate = sampleRate > 0.0 ? sampleRate : 44100.0;
    const int delayLength = (int) std::ceil (rate * 0.021) + 256 + prepared;
    if (dryDelayLine.getNumChannels() != channels || dryDelayLine.getNumSamples() != delayLength)
        dryDelayLine.setSize (channels, delayLength);
    dryDelayLine.clear();
    dryDelayWrite = 0;

    bypassFade = mapParams.bypass.on() ? 1.0f : 0.0f;

    resetSmoothers (sampleRate);

    if (product == vyrProducts::quarn)
    {
        live.sampleRate = sampleRate > 100.0 ? sampleRate : 44100.0;
        live.hopLength = live.sampleRate.load() * 0.25;
        live.loadStyleTable();
        live.reset();
        startTimer (125);
    }

    smoothBlockSamples = 0;
    fillChainFromApvts (liveChain);
    // Hosts read the latency before playback starts: it comes from the current settings here.
    latencyCheckPending = false;
    {
        const std::lock_guard<std::mutex> lock (latencyLock);
        reportedLatency = liveChain.getLatencySamples();
        setLatencySamples (reportedLatency.load());
    }
    alignHostedPower();

    // From here the audio thread may ask for message-thread work: the poll runs until released.
    audioPrepared = true;
    startRequestPoll();
}

juce::TimeSliceThread& VyrAudioProcessor::fileReadThread()
{
    if (! fileThread.isThreadRunning())
        fileThread.startThread();
    return fileThread;
}

void VyrAudioProcessor::resetSmoothers (double sampleRate)
{
    const double r = sampleRate > 1000.0 ? sampleRate : 1000.0;
    spaceSmooth.reset ((int) std::floor (r * 0.025));
    energySmooth.reset ((int) std::floor (r * 0.032));
    const float cur = effectSmooth.getCurrentValue();
    effectSmooth.reset ((int) std::floor (r * 0.032));
    effectSmooth.setCurrentAndTargetValue (cur);
    effectSmoothReady = true;
    smoothBlockSamples = 0;
}

void VyrAudioProcessor::releaseResources()
{
    audioPrepared = false;   // the poll stops itself once nothing is pending
    stopTimer();
    transport.releaseResources();
}

void VyrAudioProcessor::publishChainShared()
{
    VyrChainShared s;
    for (int i = 0; i < 13; ++i)
        s.fxOrder[(size_t) i] = fxOrder[i];
    s.section = section;
    chainShared.publish (s);
}

void VyrAudioProcessor::setFxOrder (const int (&order)[13])
{
    for (int i = 0; i < 13; ++i)
        fxOrder[i] = juce::jlimit (0, 12, order[i]);
    publishChainShared();
}

void VyrAudioProcessor::timerCallback()
{
    liveTimerTick();
}

