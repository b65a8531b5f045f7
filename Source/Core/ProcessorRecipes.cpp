// The processor's reset to its initial state and the recall of factory presets.
#include "Core/PluginProcessor.h"
#include "Model/FactoryPresets.h"

void VyrAudioProcessor::recallInitState()
{
    const std::lock_guard<std::recursive_mutex> lock (stateLock);
    supersedePendingWork();
    undoManager.beginNewTransaction ("Init");

    restoring.store (true, std::memory_order_release);
    vyrFactory::applyToApvts (apvts, 0);   // every parameter back on its default, notified

    for (int i = 0; i < 13; ++i)
        fxOrder[i] = i;
    section = VyrSectionMastering {};
    publishChainShared();

    sectionAnalysed = false;
    std::fill (std::begin (sectionClass), std::end (sectionClass), 0);
    std::fill (std::begin (sectionLufs), std::end (sectionLufs), 0.0f);
    overallLufs = -100.0f;
    overallCrest = 0.0f;

    themeIndex.store (0, std::memory_order_release);
    mediumIndex.store (3, std::memory_order_release);
    styleIndex.store (5, std::memory_order_release);
    lufsIndex.store (2, std::memory_order_release);
    currentMood.store (-1, std::memory_order_release);
    restoring.store (false, std::memory_order_release);

    factoryPresetIndex.store (0, std::memory_order_release);
    playerGain.store (0.8f, std::memory_order_release);
    utilEnabled.store (product == vyrProducts::signalUtility, std::memory_order_release);
    utilDim.store (false, std::memory_order_release);
    micInput.store (false, std::memory_order_release);
    utilDecorrelated.store (false, std::memory_order_release);
    utilImpulsePending.store (false, std::memory_order_release);
    utilAntiAlias.store (true, std::memory_order_release);
    utilStereo.store (true, std::memory_order_release);
    utilWave.store (0, std::memory_order_release);
    utilInvert.store (0, std::memory_order_release);
    utilFreq.store (1000.0f, std::memory_order_release);
    utilLevelDb.store (-20.0f, std::memory_order_release);
    utilDuty.store (0.5f, std::memory_order_release);
    utilDcOffset.store (0.0f, std::memory_order_release);
    utilSweepStart.store (20.0f, std::memory_order_release);
    utilSweepEnd.store (20000.0f, std::memory_order_release);
    utilSweepDur.store (4.0f, std::memory_order_release);
    utilSweepLog.store (1, std::memory_order_release);
    for (int ch = 0; ch < 2; ++ch)
    {
        utilPeakDb[ch].store (-100.0f, std::memory_order_release);
        utilRmsDb[ch].store (-100.0f, std::memory_order_release);
    }
    pendingSection.store (-1, std::memory_order_release);

    vyrSetLinkLR (apvts, true);
    stateVersion.fetch_add (1);
    updateHostDisplay();
    alignHostedPower();
    noteRestoredValues();
    refreshLatency();
}

void VyrAudioProcessor::applyFactoryPreset (int index)
{
    const std::lock_guard<std::recursive_mutex> lock (stateLock);
    supersedePendingWork();
    const int p = juce::jlimit (0, vyrFactory::kNumPresets - 1, index);
    factoryPresetIndex.store (p, std::memory_order_release);
    if (index <= 0)
    {
        recallInitState();
        return;
    }

    // The preset's own style choice must not come back from the parameter listener as a style
    // request: the style recipe would then overwrite the preset just written.
    const bool wasApplying = applyingRecipe.exchange (true);
    vyrFactory::applyToApvts (apvts, p);
    const auto& r = vyrFactory::get (p);
    vyrFactory::setI (apvts, "masterMedium", r.medium);
    vyrFactory::setI (apvts, "masterStyle", r.style);
    vyrFactory::setI (apvts, "masterLufs", r.lufs);
    applyingRecipe.store (wasApplying);
    noteArmUserHold();   // a preset picked by the user holds against the live analyser's recipes
    mediumIndex.store (r.medium, std::memory_order_release);
    styleIndex.store (r.style, std::memory_order_release);
    lufsIndex.store (r.lufs, std::memory_order_release);
    currentMood.store (-1, std::memory_order_release);
    notifyMasterMood (-1, 0);
    noteRestoredValues();
    refreshLatency();
}
