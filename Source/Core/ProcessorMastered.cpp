// The mastered block path: section follow and automation ride, input gains, the mastering-effect
// amount and its spread onto the module mixes, the chain itself and the meter captures.
#include "Core/PluginProcessor.h"
#include "Model/QuarnPresets.h"
#include "Model/FactoryPresets.h"
#include "Live/SectionBlend.h"

namespace
{
float lerp (float a, float b, float t) noexcept { return a + (b - a) * t; }

// Writes the blend of two style rows and two loudness rows into the chain.
void blendArmRecipes (VyrSignalChain& chain, int sa, int la, int sb, int lb, float t)
{
    t = juce::jlimit (0.0f, 1.0f, t);
    const auto& A = vyrQuarn::gStyleRecipes[juce::jlimit (0, 6, sa)].mix;
    const auto& B = vyrQuarn::gStyleRecipes[juce::jlimit (0, 6, sb)].mix;
    const auto& LA = vyrQuarn::gLufsRecipes[juce::jlimit (0, 4, la)];
    const auto& LB = vyrQuarn::gLufsRecipes[juce::jlimit (0, 4, lb)];

    chain.compressor.mix = lerp (A.comp, B.comp, t);
    chain.saturation.mix = lerp (A.sat, B.sat, t);
    chain.analogueDensity.mix = lerp (A.dens, B.dens, t);
    chain.clipper.mix = lerp (A.clip, B.clip, t);
    chain.tape.mix = lerp (A.tape, B.tape, t);
    chain.delay.mix = lerp (A.delay, B.delay, t);
    auto reverb = chain.reverb.getParams();
    reverb.mix = lerp (A.rev, B.rev, t);
    chain.reverb.setParams (reverb);
    chain.parametricEq.state.mix = lerp (A.eq, B.eq, t) * 100.0f;
    chain.dynamicEq.state.mix = lerp (A.dyn, B.dyn, t) * 100.0f;
    chain.multiBandComp.state.mix = lerp (A.mbc, B.mbc, t) * 100.0f;
    chain.imager.mix = lerp (A.img, B.img, t);
    chain.limiter.mix = lerp (A.lim, B.lim, t);
    chain.limiter.ceiling = lerp (LA.ceiling, LB.ceiling, t);
    chain.limiter.inputGain = lerp (LA.inputGain, LB.inputGain, t);
    chain.limiter.release = lerp (LA.release, LB.release, t);
}
}

void VyrAudioProcessor::processMasteredBlock (juce::AudioBuffer<float>& buffer, bool isLive, double position)
{
    juce::ScopedNoDenormals noDenormals;

    // The order and the section layout as the message thread last published them.
    const auto& shared = chainShared.acquire();
    int order[13];
    for (int i = 0; i < 13; ++i)
        order[i] = juce::jlimit (0, 12, shared.fxOrder[(size_t) i]);
    const auto& sec = shared.section;

    // Where the loaded file's playback stands, as a fraction of its length (-1 without a file).
    auto filePosition = [this]() -> float
    {
        const double length = fileLoaded ? transport.getLengthInSeconds() : 0.0;
        if (! (length > 0.0))
            return -1.0f;
        return juce::jlimit (0.0f, 1.0f, (float) (transport.getCurrentPosition() / length));
    };

    float p = -1.0f;
    if (position >= 0.0)
        p = juce::jlimit (0.0f, 1.0f, (float) position);
    else if (isLive)
        p = filePosition();

    if (isLive)
    {
        if (product == vyrProducts::fullChain && sec.enabled && sec.liveFollow && p >= 0.0f)
            followSections (sec, p);
        else
        {
            sectionBlendActive = false;
            sectionBlendAmount = 0.0f;
        }
    }
    else
    {
        smoothBlockSamples = buffer.getNumSamples();
        syncChainFromApvts();
        if (p < 0.0f)
            p = filePosition();
    }

    const auto& m = mapParams;
    if (product == vyrProducts::fullChain && sec.autoRide && p >= 0.0f)
    {
        const float x = juce::jlimit (0.0f, 1.0f, p);
        riddenEffect = vyrSection::sampleAutomation (sec.autoFx, x);
        effectRiding = true;
        const bool linked = m.linkLR.on();
        const float in = vyrSection::sampleAutomation (sec.autoIn, x);
        const float out = vyrSection::sampleAutomation (sec.autoOut, x);
        liveChain.inputGainL = vyrDsp::dbToGain (in + m.inputGainL.get());
        liveChain.inputGainR = vyrDsp::dbToGain (in + (linked ? m.inputGainL.get() : m.inputGainR.get()));
        liveChain.outputGainL = vyrDsp::dbToGain (std::min (out + m.outputGainL.get(), 0.0f));
        liveChain.outputGainR = vyrDsp::dbToGain (std::min (out + (linked ? m.outputGainL.get() : m.outputGainR.get()), 0.0f));
    }
    else
    {
        effectRiding = false;
    }

    if (isLive && sectionBlendActive && sectionBlendFrom != sectionBlendTo)
        vyrFactory::blendMastering (liveChain, sectionBlendFrom, sectionBlendTo, juce::jlimit (0.0f, 1.0f, sectionBlendAmount));

    const int n = buffer.getNumSamples();
    const int channels = buffer.getNumChannels();
    if (! buffer.hasBeenCleared() && n > 0)
    {
        // A gain of exactly 1 leaves every sample as it is.
        const float gainR = liveChain.linkLR ? liveChain.inputGainL : liveChain.inputGainR;
        if (channels >= 1 && liveChain.inputGainL != 1.0f)
            juce::FloatVectorOperations::multiply (buffer.getWritePointer (0), liveChain.inputGainL, n);
        if (channels >= 2 && gainR != 1.0f)
            juce::FloatVectorOperations::multiply (buffer.getWritePointer (1), gainR, n);
    }

    // The levels are read once per block, so the input and output captures agree.
    const bool levelsShown = isLive && levelReaders.any();
    if (levelsShown)
        meters.capture (buffer, true);

    const bool analysing = isLive && product == vyrProducts::quarn && std::min (2, (int) std::nearbyint (m.liveAnalysis.get())) >= 1
                           && live.mode.load() != LiveSectionAnalyzer::off;
    if (analysing)
    {
        // Features of the pre-chain signal, the time line and, in Arm, the map replay.
        live.analyseBlock (buffer, hostSampleRate, blockStartSamples, hostPositionKnown, blockPlaying);
        if (live.requestPending.load())
            requestAsyncUpdate();
    }

    float amount;
    if (analysing && live.xfadeActive.load() && ! live.userHold.load())
    {
        const float u = live.xfadeProgress.load();
        const auto from = live.xfadeFrom.load();
        const auto to = live.xfadeTo.load();
        blendArmRecipes (liveChain, from.style, from.lufs, to.style, to.lufs, u);
        const float a = live.xfadeFromTrim.load(), b = live.xfadeToTrim.load();
        amount = (a + (b - a) * u) * 100.0f - 50.0f;
    }
    else
    {
        amount = effectRiding.load() ? riddenEffect.load() : m.masterTrim.get();
    }

    applyMasterEffectMix (liveChain, amount);
    liveChain.process (buffer, order);

    if (isLive)
    {
        if (levelsShown)
            meters.capture (buffer, false);
        else if (levelsRunning)
            meters.clearLevels();
        levelsRunning = levelsShown;
        captureLoudnessAndSpectrum (buffer);
    }
}

void VyrAudioProcessor::followSections (const VyrSectionMastering& sec, float p)
{
    const int count = juce::jlimit (1, 7, sec.count);
    auto cue = [&sec, count] (int b)
    {
        if (b < 0)
            return 0.0f;
        if (b >= count - 1)
            return 1.0f;
        return sec.cues[b];
    };
    auto post = [this] (int s)
    {
        pendingSection = s;
        requestAsyncUpdate();
    };

    if (count >= 2)
    {
        for (int b = 0; b <= count - 2; ++b)
        {
            const float c = cue (b);
            const float reach = std::min ({ 0.18f, c - cue (b - 1), cue (b + 1) - c });
            const float h = juce::jlimit (0.0f, 1.0f, sec.glides[b]) * reach;
            if (! (h > 0.001f))
                continue;
            if (p < c - h || p > c + h)
                continue;

            const float t = (p - (c - h)) / (2.0f * h);
            if (b != sectionGlideBoundary)
            {
                sectionGlideBoundary = b;
                sectionBlendFrom = juce::jlimit (0, 16, sec.letters[juce::jlimit (0, 6, sec.assign[b])]);
                sectionBlendTo = juce::jlimit (0, 16, sec.letters[juce::jlimit (0, 6, sec.assign[b + 1])]);
            }
            sectionBlendActive = sectionBlendFrom != sectionBlendTo;
            sectionBlendAmount = sectionBlendActive ? juce::jlimit (0.0f, 1.0f, t) : 0.0f;
            if (sectionCurrent < 0)
            {
                sectionCurrent = juce::jlimit (0, 6, b);
                post (sectionCurrent);
            }
            return;
        }
    }

    sectionBlendActive = false;
    sectionBlendAmount = 0.0f;
    sectionGlideBoundary = -1;
    int s = 0;
    if (count >= 2)
        for (int k = 1; k <= count - 1; ++k)
            if (cue (k - 1) <= p && p <= cue (k))
                s = k;
    s = juce::jlimit (0, 6, s);
    if (s != sectionCurrent)
    {
        sectionCurrent = s;
        post (s);
    }
}

void VyrAudioProcessor::applyMasterEffectMix (VyrSignalChain& chain, float amount)
{
    const bool isLive = &chain == &liveChain;
    const int n = smoothBlockSamples;
    if (isLive && effectSmoothReady)
    {
        if (n < 1)
        {
            effectSmooth.setCurrentAndTargetValue (amount);
        }
        else
        {
            vyrDsp::setTargetIfMoved (effectSmooth, amount);
            effectSmooth.skip (n - 1);
            amount = effectSmooth.getNextValue();
        }
    }

    const float scale = juce::jlimit (0.5f, 1.5f, 1.0f + amount * 0.01f);
    auto unit = [scale] (float& mix) { mix = juce::jlimit (0.0f, 1.0f, mix * scale); };
    unit (chain.compressor.mix);
    unit (chain.saturation.mix);
    unit (chain.analogueDensity.mix);
    unit (chain.clipper.mix);
    unit (chain.tape.mix);

    auto reverb = chain.reverb.getParams();
    if (product != vyrProducts::quarn)
    {
        unit (chain.delay.mix);
        reverb.mix = juce::jlimit (0.0f, 1.0f, reverb.mix * scale);
    }
    else
    {
        const auto& m = mapParams;
        float dr = juce::jlimit (0.0f, 1.0f, m.quarnSpaceRad.get());
        float rr = juce::jlimit (0.0f, 1.0f, m.quarnReverbRad.get());
        if (isLive && n >= 1 && spaceSmooth.ready)
        {
            dr = spaceSmooth.next (spaceSmooth.values[12], dr, n, true);
            rr = spaceSmooth.next (spaceSmooth.values[13], rr, n, true);
        }
        chain.delay.mix *= dr;
        reverb.mix *= rr;
    }
    chain.reverb.setParams (reverb);

    auto percent = [scale] (float& mix) { mix = juce::jlimit (0.0f, 100.0f, mix * scale); };
    percent (chain.parametricEq.state.mix);
    percent (chain.dynamicEq.state.mix);
    percent (chain.multiBandComp.state.mix);
    unit (chain.imager.mix);
}

void VyrAudioProcessor::captureLoudnessAndSpectrum (const juce::AudioBuffer<float>& buffer)
{
    if (loudnessResetPending.exchange (false))
        loudness.reset (meters);
    // When the output is only the limiter's output times a gain, the limiter's measurements of the
    // block already hold its true peak and weighted energy.
    VyrLoudnessState::Known known;
    const float scale = liveChain.limiterOutputScale();
    if (scale >= 0.0f)
    {
        known.truePeak = scale * liveChain.limiter.lastBlockTruePeak();
        known.weightedEnergy = liveChain.limiter.lastBlockWeightedEnergy();
        known.energyScale = (double) scale * scale;
    }
    loudness.setTruePeakWanted (truePeakReaders.any());
    loudness.process (buffer, meters, known);

    // Nobody sees the spectrum with no view open, so it costs nothing then.
    if (spectrumViews.any())
    {
        if (! spectrumRunning)
            meters.restartSpectrum();
        spectrumRunning = true;
        meters.updateSpectrum (buffer);
    }
    else
    {
        spectrumRunning = false;
    }
}

void VyrAudioProcessor::setSpectrumViewOpen (bool open) noexcept
{
    if (open)
        spectrumViews.open();
    else
        spectrumViews.close();
}

void VyrAudioProcessor::resetLoudness()
{
    loudnessResetPending = true;
    VyrLoudnessState::publishReset (meters);
}
