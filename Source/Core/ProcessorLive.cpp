// The mastered path's frame and the processor's live, mood and file operations.
#include "Core/PluginProcessor.h"
#include "Model/FactoryPresets.h"

void VyrAudioProcessor::noteArmUserHold()
{
    const auto& m = mapParams;
    if (! m.liveAnalysis.present() || m.liveAnalysis.index (3) != 2)
        return;

    LiveSectionAnalyzer::Held h;
    h.style = (std::int8_t) m.masterStyle.index (7);
    h.medium = (std::int8_t) m.masterMedium.index (8);
    h.lufs = (std::int8_t) m.masterLufs.index (5);
    h.letter = (std::int8_t) juce::jlimit (0, 6, live.letter.load() - 'A');
    if (auto* trim = apvts.getParameter ("masterTrim"))
        h.trim = trim->getValue();
    live.held.store (h);
    live.userHold = true;
}

void VyrAudioProcessor::applyPendingLiveRecipe()
{
    // Live recipe requests are applied once the live analysis is in place.
}

void VyrAudioProcessor::notifyMasterMood (int mood, int tag)
{
    if (product != vyrProducts::quarn)
        return;
    auto* param = dynamic_cast<juce::AudioParameterChoice*> (apvts.getParameter ("masterMood"));
    if (param == nullptr)
        return;

    const int k = mood < 0 ? 0 : std::min (mood + 1, 176);
    const bool plain = mood < 0 || tag == 0 || tag == notifiedMoodTag.load();
    if (k == notifiedMoodChoice.load() && plain)
        return;

    notifiedMoodChoice = k;
    if (tag != 0)
        notifiedMoodTag = tag;

    if (plain && param->getIndex() == k)
        return;

    const bool previous = moodNotifyGuard.exchange (true);
    param->beginChangeGesture();
    param->setValueNotifyingHost (param->convertTo0to1 ((float) k));
    param->endChangeGesture();
    moodNotifyGuard = previous;
}

void VyrAudioProcessor::applyMoodPreset (int mood)
{
    currentMood = juce::jlimit (-1, 175, mood);
    ++recipeGeneration;
}

int VyrAudioProcessor::markLiveThumbs (bool)
{
    return 0;
}

bool VyrAudioProcessor::armPunchingMasterStyle() const
{
    if (product != vyrProducts::quarn || ! mapParams.liveAnalysis.present())
        return false;
    if (mapParams.liveAnalysis.index (3) != 2 || ! hostPlaying.load())
        return false;
    const auto start = punchStart.load(), end = punchEnd.load(), pos = playheadSamples.load();
    if (end > start + 64)
        return start <= pos && pos < end;
    return pos >= armStartSamples.load();
}
