// The test-signal generator's block and its power switch.
#include "Core/PluginProcessor.h"

void VyrAudioProcessor::fillUtility (juce::AudioBuffer<float>& buffer)
{
    if (buffer.getNumChannels() <= 0 || buffer.getNumSamples() <= 0)
        return;

    VyrSignalGenerator::Settings s;
    s.wave = utilWave.load();
    s.frequency = utilFreq.load();
    s.levelDb = utilLevelDb.load();
    s.dim = utilDim.load();
    s.duty = utilDuty.load();
    s.antiAlias = utilAntiAlias.load();
    s.decorrelated = utilDecorrelated.load();
    s.stereo = utilStereo.load();
    s.invert = utilInvert.load();
    s.dcOffset = utilDcOffset.load();
    s.sweepStart = utilSweepStart.load();
    s.sweepEnd = utilSweepEnd.load();
    s.sweepDuration = utilSweepDur.load();
    s.sweepLog = utilSweepLog.load() != 0;
    // Each request gives exactly one impulse, however often it was made before this block.
    s.impulseRequested = utilImpulsePending.exchange (false);

    const auto readout = generator.render (buffer, s, hostSampleRate, utilRandom);
    if (readout.published)
    {
        for (int c = 0; c < 2; ++c)
        {
            utilPeakDb[c].store (readout.peakDb[c], std::memory_order_release);
            utilRmsDb[c].store (readout.rmsDb[c], std::memory_order_release);
        }
    }
}

void VyrAudioProcessor::setUtilityEnabled (bool on)
{
    utilEnabled.store (on, std::memory_order_release);

    // In a plug-in host the host's bypass shows the generator switch the other way round.
    if (! isPluginHostWrapper() || product != vyrProducts::signalUtility)
        return;
    auto* bypass = apvts.getParameter ("bypass");
    if (bypass == nullptr)
        return;
    const float target = on ? 0.0f : 1.0f;
    if (std::abs (bypass->getValue() - target) > 0.5f)
        bypass->setValueNotifyingHost (target);
}
