// The parameter listener and the asynchronous update that consumes its requests.
#include <gtest/gtest.h>
#include "ProcessorFixture.h"
#include "AllocationGuard.h"
#include <thread>

using vyrTest::makeProcessor;
using vyrTest::param;
using vyrTest::setParam;

namespace
{
void pumpMessages (VyrAudioProcessor& p) { vyrTest::serveRequests (p); }
}

TEST (AsyncUpdate, StyleAutomationPostsAStyleRequest)
{
    VyrAudioProcessor p;
    p.currentMood = 7;
    setParam (p, "masterStyle", 0.0f);
    EXPECT_EQ (p.pendingBits.load(), 2);
    pumpMessages (p);
    EXPECT_EQ (p.pendingBits.load(), 0);
    EXPECT_EQ (p.styleIndex.load(), 0);
    EXPECT_EQ (p.currentMood.load(), -1);
    EXPECT_FALSE (p.applyingRecipe.load());
}

TEST (AsyncUpdate, MediumAutomationAloneChangesNothingElse)
{
    VyrAudioProcessor p;
    setParam (p, "masterMedium", 5.0f);
    EXPECT_EQ (p.pendingBits.load(), 0);
    pumpMessages (p);
    EXPECT_FLOAT_EQ (param (p, "masterLufs"), 2.0f);
}

TEST (AsyncUpdate, MediumRequestPicksTheNearestLoudnessTarget)
{
    const int expected[8] = { 0, 1, 4, 2, 3, 1, 2, 4 };   // Cinematic .. Club
    for (int medium = 0; medium < 8; ++medium)
    {
        VyrAudioProcessor p;
        p.applyingRecipe = true;   // set the medium without posting anything itself
        setParam (p, "masterMedium", (float) medium);
        p.applyingRecipe = false;
        p.pendingBits = 4;
        p.requestAsyncUpdate();
        pumpMessages (p);
        EXPECT_EQ (p.mediumIndex.load(), medium);
        EXPECT_FLOAT_EQ (param (p, "masterLufs"), (float) expected[medium]) << medium;
        EXPECT_EQ (p.lufsIndex.load(), expected[medium]);
    }
}

TEST (AsyncUpdate, StyleAndMoodTogetherApplyTheMoodOnly)
{
    VyrAudioProcessor p;
    p.applyingRecipe = true;
    setParam (p, "masterMood", 5.0f);
    setParam (p, "masterStyle", 1.0f);
    p.applyingRecipe = false;
    p.pendingBits = 2 | 8;
    p.quarnDirty = true;
    p.requestAsyncUpdate();
    pumpMessages (p);
    EXPECT_EQ (p.currentMood.load(), 4);
    EXPECT_EQ (p.styleIndex.load(), 5) << "the style recipe was not applied";
    EXPECT_FALSE (p.quarnDirty.load());
}

TEST (AsyncUpdate, MoodChoicesPostThroughThePendingMood)
{
    VyrAudioProcessor p;
    setParam (p, "masterMood", 3.0f);
    EXPECT_EQ (p.pendingMood.load(), 2);
    pumpMessages (p);
    EXPECT_EQ (p.currentMood.load(), 2);

    const int generation = p.recipeGeneration.load();
    setParam (p, "masterMood", 0.0f);   // "Preset": no mood
    EXPECT_EQ (p.pendingMood.load(), -1);
    pumpMessages (p);
    EXPECT_EQ (p.currentMood.load(), -1);
    EXPECT_EQ (p.recipeGeneration.load(), generation + 1);

    p.currentMood = 6;
    p.moodNotifyGuard = false;
    setParam (p, "masterMood", 7.0f);   // the mood it already plays
    EXPECT_EQ (p.pendingMood.load(), -2);
}

TEST (AsyncUpdate, PolarControlsMarkTheMappingDirtyExceptTheLaneEq)
{
    VyrAudioProcessor p;
    setParam (p, "quarn_eqAng", 0.5f);
    EXPECT_FALSE (p.quarnDirty.load());
    setParam (p, "quarn_toneAng", 0.5f);
    EXPECT_TRUE (p.quarnDirty.load());
    pumpMessages (p);
    EXPECT_FALSE (p.quarnDirty.load());

    p.applyingRecipe = true;
    setParam (p, "quarn_energy", 0.9f);
    setParam (p, "masterStyle", 2.0f);
    EXPECT_FALSE (p.quarnDirty.load());
    EXPECT_EQ (p.pendingBits.load(), 0) << "writes made while a recipe is applied post nothing";
    p.applyingRecipe = false;
}

TEST (AsyncUpdate, OtherProductsIgnoreRecipeTriggers)
{
    VyrAudioProcessor p (0);
    setParam (p, "masterStyle", 0.0f);
    setParam (p, "quarn_toneAng", 0.7f);
    EXPECT_EQ (p.pendingBits.load(), 0);
    EXPECT_FALSE (p.quarnDirty.load());
}

TEST (AsyncUpdate, ArmedEditsMarkTheCurrentLetterAndHoldTheUserRecipe)
{
    VyrAudioProcessor p;
    setParam (p, "liveAnalysis", 2.0f);
    p.live.sectionKnown = true;
    p.live.letter = 'C';
    setParam (p, "masterTrim", 25.0f);
    EXPECT_EQ (p.live.letterChips[2].userEdited, 1);
    EXPECT_TRUE (p.live.userHold.load());
    const auto held = p.live.held.load();
    EXPECT_EQ (held.letter, 2);
    EXPECT_NEAR (held.trim, 0.75f, 1.0e-4f);
}

TEST (AsyncUpdate, SectionPostAppliesTheLettersFactoryPreset)
{
    VyrAudioProcessor p (0);
    setParam (p, "compressor_ratio", 10.0f);
    p.section.assign[2] = 4;
    p.section.letters[4] = 0;   // the neutral preset puts every parameter on its default
    p.pendingSection = 2;
    p.requestAsyncUpdate();
    pumpMessages (p);
    EXPECT_EQ (p.pendingSection.load(), -1);
    EXPECT_FLOAT_EQ (param (p, "compressor_ratio"), 4.0f);
}

TEST (RequestPoll, ServesRequestsFromAnyThreadAndRunsOnlyWhileNeeded)
{
    VyrAudioProcessor p (0);
    EXPECT_FALSE (p.requestPollRunning()) << "an idle instance runs no timer";
    EXPECT_FALSE (p.fileThread.isThreadRunning()) << "a plug-in instance starts no file thread";

    auto idleStops = [&p]
    {
        const auto end = juce::Time::getMillisecondCounter() + 5000;
        while (p.requestPollRunning() && juce::Time::getMillisecondCounter() < end)
            juce::MessageManager::getInstance()->runDispatchLoopUntil (VyrAudioProcessor::requestPollMs);
        return ! p.requestPollRunning();
    };

    // Prepared: the audio thread's request neither waits nor posts, and the poll serves it.
    vyrTest::prepare (p, 48000.0, 256);
    EXPECT_TRUE (p.requestPollRunning());
    setParam (p, "compressor_ratio", 10.0f);
    p.section.letters[0] = 0;
    {
        vyrTest::AllocationGuard guard;
        p.pendingSection = 0;
        p.requestAsyncUpdate();
        EXPECT_TRUE (guard.realtimeSafe());
    }
    vyrTest::serveRequests (p);
    EXPECT_FALSE (p.requestsPending());
    EXPECT_FLOAT_EQ (param (p, "compressor_ratio"), 4.0f);

    // Released: the poll stops; a request from another thread starts it again and is served.
    p.releaseResources();
    EXPECT_TRUE (idleStops());
    setParam (p, "compressor_ratio", 10.0f);
    std::thread other ([&p]
    {
        p.pendingSection = 0;
        p.requestAsyncUpdate();
    });
    other.join();
    vyrTest::serveRequests (p);
    EXPECT_FALSE (p.requestsPending());
    EXPECT_FLOAT_EQ (param (p, "compressor_ratio"), 4.0f);
    EXPECT_TRUE (idleStops());
}

TEST (HostPowerSync, HostedModuleAndBypassFollowEachOtherInAPluginHost)
{
    auto p = makeProcessor (3, juce::AudioProcessor::wrapperType_VST3);
    setParam (*p, "saturation_enabled", 1.0f);
    EXPECT_FLOAT_EQ (param (*p, "bypass"), 0.0f);
    setParam (*p, "saturation_enabled", 0.0f);
    EXPECT_FLOAT_EQ (param (*p, "bypass"), 1.0f);
    setParam (*p, "bypass", 0.0f);
    EXPECT_FLOAT_EQ (param (*p, "saturation_enabled"), 1.0f);

    auto standalone = makeProcessor (3, juce::AudioProcessor::wrapperType_Standalone);
    setParam (*standalone, "saturation_enabled", 1.0f);
    EXPECT_FLOAT_EQ (param (*standalone, "bypass"), 0.0f);
    setParam (*standalone, "saturation_enabled", 0.0f);
    EXPECT_FLOAT_EQ (param (*standalone, "bypass"), 0.0f);
}

TEST (HostPowerSync, GeneratorProductAlignsBypassAfterRestore)
{
    auto p = makeProcessor (14, juce::AudioProcessor::wrapperType_VST3);
    setParam (*p, "bypass", 1.0f);
    EXPECT_FALSE (p->utilEnabled.load());
    juce::MemoryBlock blob;
    p->getStateInformation (blob);
    auto xml = juce::AudioProcessor::getXmlFromBinary (blob.getData(), (int) blob.getSize());
    xml->setAttribute ("utilEnabled", 1);
    juce::AudioProcessor::copyXmlToBinary (*xml, blob);
    p->setStateInformation (blob.getData(), (int) blob.getSize());
    EXPECT_TRUE (p->utilEnabled.load());
    EXPECT_FLOAT_EQ (param (*p, "bypass"), 0.0f);
}

TEST (HostPowerSync, AlignAfterPrepareMatchesTheHostedModule)
{
    auto p = makeProcessor (9, juce::AudioProcessor::wrapperType_VST3);   // "eq_enabled" defaults on
    vyrTest::prepare (*p, 44100.0, 256);
    EXPECT_FLOAT_EQ (param (*p, "bypass"), 0.0f);
    auto c = makeProcessor (1, juce::AudioProcessor::wrapperType_VST3);   // "compressor_enabled" defaults off
    vyrTest::prepare (*c, 44100.0, 256);
    EXPECT_FLOAT_EQ (param (*c, "bypass"), 1.0f);
}
