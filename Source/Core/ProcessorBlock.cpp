// Block processing: MIDI hand-off, play position, source choice and the bypass crossfade.
#include "Core/PluginProcessor.h"
#include "Model/QuarnPresets.h"

namespace
{
// Nearest integer, halves away from zero.
std::int64_t roundAway (double v) noexcept
{
    return (std::int64_t) std::llround (v);
}
}

void VyrAudioProcessor::runMidiMap (const juce::MidiBuffer& midi)
{
    if (product != vyrProducts::quarn || midi.isEmpty())
        return;
    const int generation = restoreGeneration.load();
    const int bits = vyrMidi::applyQuarnMidi (apvts, midi);
    if (bits != 0)
    {
        pendingBits.mark (bits, generation, [] (int held, int more) { return held | more; });
        requestAsyncUpdate();
    }
}

void VyrAudioProcessor::processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midi)
{
    runMidiMap (midi);

    juce::ScopedNoDenormals noDenormals;

    const int n = buffer.getNumSamples();
    const double sr = hostSampleRate > 100.0 ? hostSampleRate : 44100.0;

    trackPlayhead (n, sr);

    const int numIn = getTotalNumInputChannels();
    const int numOut = getTotalNumOutputChannels();
    if (! buffer.hasBeenCleared())
        for (int ch = numIn; ch < std::min (numOut, buffer.getNumChannels()); ++ch)
            buffer.clear (ch, 0, n);

    const bool standalone = isStandaloneWrapper();

    if (product == vyrProducts::signalUtility)
    {
        if (isPluginHostWrapper() && mapParams.bypass.on())
        {
            processBlockBypassed (buffer, midi);
            return;
        }
        if (utilEnabled.load())
            fillUtility (buffer);
        return;
    }

    if (standalone)
    {
        if (fileLoaded && transport.isPlaying())
            playLoadedFile (buffer, n);
        else if (utilEnabled.load())
            fillUtility (buffer);
        else if (! (micInput.load() && numIn > 0))
            buffer.clear();
    }

    const bool bypassTarget = mapParams.bypass.on();

    // The chain and its scratch buffers are sized for the prepared block; a longer block from the
    // host is processed in prepared-size pieces so the audio thread never allocates.
    const int chunk = dryBuffer.getNumSamples();
    if (chunk > 0 && buffer.getNumChannels() <= dryBuffer.getNumChannels())
    {
        int latency = reportedLatency.load();
        for (int start = 0; start < n || (n == 0 && start == 0); start += std::max (chunk, 1))
        {
            const int len = std::min (chunk, n - start);
            juce::AudioBuffer<float> piece (buffer.getArrayOfWritePointers(), buffer.getNumChannels(), start, len);

            recordDry (piece, len);
            if (bypassTarget && bypassFade >= 0.999f)
            {
                // The chain rests; the dry signal keeps the delay its settings give, the one the host is told of.
                bypassFade = 1.0f;
                processBlockBypassed (piece, midi);
                latency = latencyForCurrentSettings();
                readDry (len, latency);
                for (int ch = 0; ch < std::min (piece.getNumChannels(), getTotalNumInputChannels()); ++ch)
                    piece.copyFrom (ch, 0, dryBuffer, ch, 0, len);
            }
            else
            {
                smoothBlockSamples = len;
                syncChainFromApvts();
                liveChain.bypass = false;
                processMasteredBlock (piece, true, -1.0);
                // The dry signal is read only while the bypass is on or its crossfade still runs, with
                // the delay the chain had in this very block.
                latency = liveChain.getLatencySamples();
                if (bypassTarget || bypassFade > 0.00001f)
                    readDry (len, latency);
                applyBypassCrossfade (piece, bypassTarget);
            }
            if (n == 0)
                break;
        }

        // A latency that moved by automation reaches the host through the message thread.
        if (latency != reportedLatency.load())
        {
            latencyCheckPending = true;
            requestAsyncUpdate();
        }
    }

    if (standalone && ! buffer.hasBeenCleared())
        buffer.applyGain (playerGain.load());
}

void VyrAudioProcessor::processBlockBypassed (juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midi)
{
    runMidiMap (midi);

    if (buffer.hasBeenCleared())
        return;
    int mainIn = 0;
    if (auto* bus = getBus (true, 0))
        mainIn = bus->getNumberOfChannels();
    for (int ch = mainIn; ch < std::min (getTotalNumOutputChannels(), buffer.getNumChannels()); ++ch)
        buffer.clear (ch, 0, buffer.getNumSamples());
}

void VyrAudioProcessor::recordDry (const juce::AudioBuffer<float>& input, int n) noexcept
{
    const int length = dryDelayLine.getNumSamples();
    if (length == 0 || n <= 0)
        return;
    const int channels = std::min (input.getNumChannels(), dryDelayLine.getNumChannels());
    // The block goes into the ring in at most two straight copies.
    const int first = std::min (n, length - dryDelayWrite);
    for (int ch = 0; ch < channels; ++ch)
    {
        const float* in = input.getReadPointer (ch);
        float* line = dryDelayLine.getWritePointer (ch);
        std::copy (in, in + first, line + dryDelayWrite);
        std::copy (in + first, in + n, line);
    }
    dryDelayWrite = (dryDelayWrite + n) % length;
}

void VyrAudioProcessor::readDry (int n, int latency) noexcept
{
    const int length = dryDelayLine.getNumSamples();
    if (length == 0 || n <= 0)
        return;
    const int channels = std::min (dryBuffer.getNumChannels(), dryDelayLine.getNumChannels());
    // The ring holds the last `length` samples, this block's included: the line is sized so that
    // any latency of the chain fits beside a prepared block.
    const int delay = juce::jlimit (0, std::max (0, length - n), latency);
    int readAt = dryDelayWrite - n - delay;
    while (readAt < 0)
        readAt += length;
    const int first = std::min (n, length - readAt);
    for (int ch = 0; ch < channels; ++ch)
    {
        const float* line = dryDelayLine.getReadPointer (ch);
        float* out = dryBuffer.getWritePointer (ch);
        std::copy (line + readAt, line + readAt + first, out);
        std::copy (line, line + (n - first), out + first);
    }
}

void VyrAudioProcessor::applyBypassCrossfade (juce::AudioBuffer<float>& buffer, bool bypassTarget)
{
    const float target = bypassTarget ? 1.0f : 0.0f;
    if (target == 0.0f && bypassFade <= 0.00001f)
        return;

    const float step = hostSampleRate > 1.0 ? (float) (1.0 / (hostSampleRate * 0.01)) : 1.0f;
    const int n = buffer.getNumSamples();
    const int channels = std::min (buffer.getNumChannels(), dryBuffer.getNumChannels());

    for (int i = 0; i < n; ++i)
    {
        if (bypassFade < target)
            bypassFade = std::min (target, bypassFade + step);
        else if (bypassFade > target)
            bypassFade = std::max (target, bypassFade - step);

        const float a = bypassFade * juce::MathConstants<float>::halfPi;
        const float wet = std::cos (a), dry = std::sin (a);
        for (int ch = 0; ch < channels; ++ch)
        {
            auto* out = buffer.getWritePointer (ch);
            out[i] = out[i] * wet + dryBuffer.getReadPointer (ch)[i] * dry;
        }
    }
}

void VyrAudioProcessor::playLoadedFile (juce::AudioBuffer<float>& buffer, int n)
{
    const int chunk = fileBuffer.getNumSamples();
    if (chunk <= 0)
    {
        buffer.clear();
        return;
    }
    for (int start = 0; start < n; start += chunk)
    {
        const int len = std::min (chunk, n - start);
        fileBuffer.clear();
        juce::AudioSourceChannelInfo info (&fileBuffer, 0, len);
        transport.getNextAudioBlock (info);

        if (! transport.isLooping() && transport.getNextReadPosition() >= transport.getTotalLength())
        {
            transport.setPosition (0.0);
            if (loopPlayback.load())
                transport.start();
            else
                transport.stop();
        }

        for (int ch = 0; ch < std::min (buffer.getNumChannels(), fileBuffer.getNumChannels()); ++ch)
            buffer.copyFrom (ch, start, fileBuffer, ch, 0, len);
    }
}

void VyrAudioProcessor::trackPlayhead (int n, double sr)
{
    bool playing = false, looping = false;
    double bpm = 0.0;
    bool havePos = false, tempoBased = false;
    std::int64_t p = 0, loopStart = 0, loopEnd = 0, loopLength = 0;

    if (auto* ph = getPlayHead())
    {
        if (auto pos = ph->getPosition())
        {
            playing = pos->getIsPlaying();
            looping = pos->getIsLooping();
            bpm = pos->getBpm().orFallback (0.0);

            const auto ppq = pos->getPpqPosition();
            if (ppq.hasValue() && pos->getBpm().hasValue() && bpm > 1.0)
            {
                p = roundAway (sr * *ppq * 60.0 / bpm);
                havePos = tempoBased = true;
            }
            else if (auto secs = pos->getTimeInSeconds())
            {
                p = roundAway (sr * *secs);
                havePos = true;
            }
            else if (auto samples = pos->getTimeInSamples())
            {
                p = *samples;
                havePos = true;
            }

            if (auto lp = pos->getLoopPoints(); lp.hasValue() && pos->getBpm().hasValue() && bpm > 1.0
                                                   && lp->ppqEnd - lp->ppqStart > 0.25)
            {
                loopStart = roundAway (sr * lp->ppqStart * 60.0 / bpm);
                loopEnd = roundAway (sr * lp->ppqEnd * 60.0 / bpm);
                loopLength = roundAway (sr * (lp->ppqEnd - lp->ppqStart) * 60.0 / bpm);
            }
        }
    }

    if (havePos && ! tempoBased && looping)
        havePos = false;

    if (! havePos && isStandaloneWrapper() && fileLoaded)
    {
        // The transport counts in the device's rate; its position in seconds is rate-independent.
        p = roundAway (sr * transport.getCurrentPosition());
        playing = transport.isPlaying();
        if (loopPlayback.load())
        {
            looping = true;
            const double seconds = transport.getLengthInSeconds();
            if (seconds > 0.05)
            {
                loopStart = 0;
                loopEnd = roundAway (sr * seconds);
            }
        }
        loopLength = roundAway (sr * transport.getLengthInSeconds());
        havePos = true;
    }

    auto ownCounter = [&]
    {
        if (playing)
        {
            if (! wasPlaying || hostPositionKnown)
                nextBlockSamples = 0;
        }
        else
        {
            frozenBlocks = 0;
            lastHostSamples = -1;
        }
        const std::int64_t q = nextBlockSamples;
        blockStartSamples = q;
        hostPositionKnown = false;
        if (playing && n >= 1)
        {
            nextBlockSamples = q + n;
            if (looping && loopLength >= 65 && nextBlockSamples >= loopLength)
                nextBlockSamples %= loopLength;
        }
    };

    if (! havePos)
    {
        ownCounter();
    }
    else
    {
        const std::int64_t prev = lastHostSamples;
        lastHostSamples = p;
        bool dropped = false;

        if (playing && n >= 1)
        {
            if (prev < 0 || p != prev)
                frozenBlocks = 0;
            if (p == prev)
            {
                if (frozenBlocks >= 7)
                    dropped = true;
                ++frozenBlocks;
            }
        }
        else if (! playing)
        {
            frozenBlocks = 0;
            playing = prev >= 0 && p > prev + std::max<std::int64_t> (n / 2, 1);
        }

        if (dropped)
        {
            ownCounter();
        }
        else
        {
            nextBlockSamples = std::max<std::int64_t> (p, 0);
            blockStartSamples = p;
            hostPositionKnown = true;
        }
    }

    wasPlaying = playing;
    blockPlaying = playing;

    const bool armed = product == vyrProducts::quarn && mapParams.liveAnalysis.present()
                       && mapParams.liveAnalysis.index (3) == 2;
    if (armed && playing)
    {
        const bool w = hostPlaying.load();
        playheadSamples = blockStartSamples;
        if (looping && loopEnd > loopStart + 64)
        {
            punchStart = loopStart;
            punchEnd = loopEnd;
        }
        else
        {
            punchStart = 0;
            punchEnd = 0;
            if (! w)
                armStartSamples = blockStartSamples;
        }
        if (! w)
        {
            notifiedMoodChoice = -99;
            notifiedMoodTag = 0;
            live.userHold = false;
        }
        hostPlaying = true;
    }
    else
    {
        hostPlaying = false;
        playheadSamples = blockStartSamples;
    }
}
