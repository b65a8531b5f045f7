// Exact recall: a restored state, a factory preset and "Init Preset" are final; recipe work queued
// before them never writes after them.
#include <gtest/gtest.h>
#include "ProcessorFixture.h"
#include <thread>

using vyrTest::param;
using vyrTest::setParam;

namespace
{
// Random normalised values to every automatable parameter, about half of them written from another
// thread at the same time as the rest from this (the message) thread, or all from this one.
void randomise (VyrAudioProcessor& p, juce::Random& rng, bool twoThreads = true)
{
    std::vector<std::pair<juce::AudioProcessorParameter*, float>> here, there;
    for (auto* prm : p.getParameters())
        if (prm->isAutomatable())
            (rng.nextBool() && twoThreads ? there : here).emplace_back (prm, rng.nextFloat());
    std::thread other ([&there]
    {
        for (auto& [prm, v] : there)
            prm->setValueNotifyingHost (v);
    });
    for (auto& [prm, v] : here)
        prm->setValueNotifyingHost (v);
    other.join();
}

// Runs the message loop until every request is served and the poll has stopped (nothing can then
// write any more); bounded, so a loaded machine is only slower.
void settle (VyrAudioProcessor& p)
{
    auto* mm = juce::MessageManager::getInstance();
    const auto end = juce::Time::getMillisecondCounter() + 5000;
    while ((p.requestsPending() || p.requestPollRunning()) && juce::Time::getMillisecondCounter() < end)
        mm->runDispatchLoopUntil (VyrAudioProcessor::requestPollMs);
}

std::unique_ptr<juce::XmlElement> stateXml (VyrAudioProcessor& p)
{
    juce::MemoryBlock blob;
    p.getStateInformation (blob);
    return juce::AudioProcessor::getXmlFromBinary (blob.getData(), (int) blob.getSize());
}

// Every parameter and every root attribute of the processor's state equals the saved state's.
::testing::AssertionResult matchesSaved (VyrAudioProcessor& p, const juce::XmlElement& saved)
{
    int compared = 0;
    for (auto* child : saved.getChildIterator())
    {
        const auto id = child->getStringAttribute ("id");
        auto* value = p.apvts.getRawParameterValue (id);
        if (value == nullptr)
            return ::testing::AssertionFailure() << "unknown parameter " << id;
        const float want = (float) child->getDoubleAttribute ("value");
        if (std::abs (value->load() - want) > 1.0e-6f * std::max (1.0f, std::abs (want)))
            return ::testing::AssertionFailure() << id << " is " << value->load() << ", saved " << want;
        ++compared;
    }
    if (compared != p.getParameters().size())
        return ::testing::AssertionFailure() << compared << " of " << p.getParameters().size() << " parameters saved";

    const auto now = stateXml (p);
    for (int i = 0; i < saved.getNumAttributes(); ++i)
    {
        const auto& name = saved.getAttributeName (i);
        if (now->getStringAttribute (name) != saved.getAttributeValue (i))
            return ::testing::AssertionFailure() << "attribute " << name << " is " << now->getStringAttribute (name)
                                                 << ", saved " << saved.getAttributeValue (i);
    }
    return ::testing::AssertionSuccess();
}
}

// What a strict host validator does: random values, save, random values again, restore, let the
// message loop run, compare. Half the rounds restore from another thread while this thread serves
// requests; every round has a glide running when the restore comes.
TEST (ExactRecall, RestoreSupersedesEverythingPending)
{
    VyrAudioProcessor p;
    ASSERT_EQ (p.getParameters().size(), 519);
    // Fewer rounds under the sanitizers (about fifteen times slower there); the same paths run.
   #if VYR_SANITIZED
    constexpr int rounds = 30;
   #else
    constexpr int rounds = 200;
   #endif
    juce::Random rng (1717);
    for (int round = 0; round < rounds; ++round)
    {
        SCOPED_TRACE (round);
        randomise (p, rng);
        juce::MemoryBlock blob;
        p.getStateInformation (blob);
        const auto saved = juce::AudioProcessor::getXmlFromBinary (blob.getData(), (int) blob.getSize());
        ASSERT_NE (saved, nullptr);

        randomise (p, rng);
        const int generation = p.recipeGeneration.load();
        p.live.xfadeActive = true;   // the live crossfade runs at the moment of the restore

        if (round % 2 == 0)
        {
            p.setStateInformation (blob.getData(), (int) blob.getSize());
        }
        else
        {
            std::atomic<bool> restored { false };
            std::thread host ([&]
            {
                p.setStateInformation (blob.getData(), (int) blob.getSize());
                restored = true;
            });
            while (! restored.load())
                juce::MessageManager::getInstance()->runDispatchLoopUntil (1);
            host.join();
        }
        EXPECT_GT (p.recipeGeneration.load(), generation) << "recipe glides stop";
        EXPECT_FALSE (p.live.xfadeActive.load()) << "the live crossfade stops";

        settle (p);
        ASSERT_TRUE (matchesSaved (p, *saved));
    }
}

// Requests after a restore are served as usual.
TEST (ExactRecall, RequestsAfterTheRestoreAreServed)
{
    VyrAudioProcessor p;
    juce::MemoryBlock blob;
    p.getStateInformation (blob);
    const auto saved = stateXml (p);
    setParam (p, "masterStyle", 1.0f);
    p.setStateInformation (blob.getData(), (int) blob.getSize());
    settle (p);
    EXPECT_TRUE (matchesSaved (p, *saved)) << "the style request from before the restore was dropped";

    setParam (p, "masterStyle", 0.0f);
    settle (p);
    EXPECT_EQ (p.styleIndex.load(), 0);
}

// A factory preset and "Init Preset" write what they hold; style, mapping, mood and section requests
// queued before them are dropped.
TEST (ExactRecall, PresetRecallIsFinal)
{
    for (int preset : { 0, 3, 9 })
    {
        SCOPED_TRACE (preset);
        // The same random values before the recall in both; only `p` has a section request queued.
        VyrAudioProcessor reference;
        juce::Random rngA (preset + 5);
        randomise (reference, rngA, false);
        reference.section.letters[reference.section.assign[2]] = 16;
        reference.applyFactoryPreset (preset);
        settle (reference);
        const auto expected = stateXml (reference);

        VyrAudioProcessor p;
        juce::Random rngB (preset + 5);
        randomise (p, rngB, false);
        p.section.letters[p.section.assign[2]] = 16;
        p.pendingSection = 2;
        p.requestAsyncUpdate();
        p.applyFactoryPreset (preset);
        settle (p);
        EXPECT_TRUE (matchesSaved (p, *expected));
        EXPECT_EQ (p.pendingBits.load(), 0);
        EXPECT_FALSE (p.quarnDirty.load());
    }
}

// The bad interleaving forced: the request worker has taken a style, mood and mapping request and
// is held before it writes, while a host restores a state on another thread. The requests were made
// before the restore, so they write nothing after it. Without the restore the same held requests
// do write (the case shows the hold catches real work).
TEST (ExactRecall, RequestsTakenBeforeARestoreWriteNothingAfterIt)
{
    for (const bool restoreWhileHeld : { true, false })
    {
        SCOPED_TRACE (restoreWhileHeld ? "restore while held" : "no restore");
        VyrAudioProcessor p;
        juce::Random rng (31);
        randomise (p, rng, false);
        settle (p);
        juce::MemoryBlock blob;
        p.getStateInformation (blob);
        const auto saved = stateXml (p);

        // Requests whose work moves "masterTrim" and the mixes: a style, a mood and a mapping change.
        setParam (p, "masterStyle", (float) ((p.styleIndex.load() + 3) % 7));
        setParam (p, "masterMood", 12.0f);
        setParam (p, "quarn_energy", vyrTest::param (p, "quarn_energy") > 0.5f ? 0.1f : 0.9f);
        ASSERT_TRUE (p.requestsPending());

        bool held = false, taken = false;
        p.onRequestsTaken = [&]
        {
            if (held)
                return;
            held = true;
            taken = p.pendingBits.load() == 0 && p.pendingMood.load() == -2 && ! p.quarnDirty.load();
            if (restoreWhileHeld)
            {
                std::thread host ([&] { p.setStateInformation (blob.getData(), (int) blob.getSize()); });
                host.join();
            }
        };
        settle (p);
        p.onRequestsTaken = nullptr;
        ASSERT_TRUE (held);
        EXPECT_TRUE (taken) << "the worker held the requests when the hook ran";
        if (restoreWhileHeld)
        {
            EXPECT_TRUE (matchesSaved (p, *saved));
            continue;
        }
        int writtenByTheWork = 0;
        for (auto* child : saved->getChildIterator())
        {
            const auto id = child->getStringAttribute ("id");
            if (id != "masterStyle" && id != "masterMood" && id != "quarn_energy"
                && std::abs (p.apvts.getRawParameterValue (id)->load() - (float) child->getDoubleAttribute ("value")) > 1.0e-4f)
                ++writtenByTheWork;
        }
        EXPECT_GT (writtenByTheWork, 3);
    }
}

// A host may queue the values the processor reported and hand them back later (a VST3 host does so
// with reports made off its message thread). Values of recipe work that a restore has replaced do not
// stand when they come back after it; a host value of its own does.
TEST (ExactRecall, OwnValuesHandedBackAfterARestoreDoNotStand)
{
    VyrAudioProcessor p;
    juce::Random rng (77);
    randomise (p, rng, false);
    settle (p);
    juce::MemoryBlock blob;
    p.getStateInformation (blob);
    const auto saved = stateXml (p);

    // Recipe work writes a set of parameters; note what it wrote.
    std::vector<float> before;
    for (auto* prm : p.getParameters())
        before.push_back (prm->getValue());
    setParam (p, "masterStyle", (float) ((p.styleIndex.load() + 3) % 7));
    settle (p);
    std::vector<std::pair<juce::AudioProcessorParameter*, float>> written;
    for (int i = 0; i < p.getParameters().size(); ++i)
        if (auto* prm = p.getParameters()[i]; prm->getValue() != before[(size_t) i] && prm->getName (64) != "Style Chip")
            written.emplace_back (prm, prm->getValue());
    ASSERT_GT (written.size(), 3u);

    p.setStateInformation (blob.getData(), (int) blob.getSize());
    for (auto& [prm, value] : written)
        prm->setValueNotifyingHost (value);
    EXPECT_TRUE (matchesSaved (p, *saved)) << "at once";
    settle (p);
    EXPECT_TRUE (matchesSaved (p, *saved)) << "and after the message thread ran";

    auto* trim = p.apvts.getParameter ("masterTrim");
    const float own = trim->getValue() < 0.5f ? 0.9f : 0.1f;
    trim->setValueNotifyingHost (own);
    EXPECT_EQ (trim->getValue(), own) << "a value of the host's own stands";
}
