// Plug-in state: save and recall, the repair rules, and untrusted blobs.
#include <gtest/gtest.h>
#include "ProcessorFixture.h"

namespace
{
juce::MemoryBlock save (VyrAudioProcessor& p)
{
    juce::MemoryBlock b;
    p.getStateInformation (b);
    return b;
}

std::unique_ptr<juce::XmlElement> stateXml (VyrAudioProcessor& p)
{
    auto b = save (p);
    return juce::AudioProcessor::getXmlFromBinary (b.getData(), (int) b.getSize());
}

// Restores a state whose root carries the given attributes on top of a saved state.
void restoreWith (VyrAudioProcessor& p, std::initializer_list<std::pair<const char*, const char*>> attrs,
                  std::initializer_list<const char*> remove = {})
{
    auto xml = stateXml (p);
    for (auto* r : remove)
        xml->removeAttribute (r);
    for (auto& [k, v] : attrs)
        xml->setAttribute (k, v);
    juce::MemoryBlock b;
    juce::AudioProcessor::copyXmlToBinary (*xml, b);
    p.setStateInformation (b.getData(), (int) b.getSize());
}

std::vector<int> order (const VyrAudioProcessor& p) { return std::vector<int> (p.fxOrder, p.fxOrder + 13); }
} // namespace

TEST (PluginState, SaveLoadSaveGivesIdenticalBytes)
{
    VyrAudioProcessor a;
    a.apvts.getParameter ("analogueDensity_mix")->setValueNotifyingHost (1.0f);
    a.apvts.getParameter ("masterStyle")->setValueNotifyingHost (0.0f);
    a.apvts.getParameter ("eq_m0Freq")->setValueNotifyingHost (0.5f);
    a.section.count = 4;
    a.section.cues[1] = 0.4321f;
    a.section.autoFx = { VyrAutoPt { 0.0f, 10.0f }, VyrAutoPt { 0.5f, -5.0f, true }, VyrAutoPt { 1.0f, 3.0f } };
    a.fxOrder[0] = 12;
    a.fxOrder[12] = 0;
    a.utilFreq = 0.1f;
    const auto first = save (a);
    EXPECT_TRUE (first == save (a)) << "saving twice without changes";

    VyrAudioProcessor b;
    b.setStateInformation (first.getData(), (int) first.getSize());
    EXPECT_TRUE (save (b) == first);
    EXPECT_FLOAT_EQ (b.apvts.getRawParameterValue ("analogueDensity_mix")->load(), 100.0f);
    EXPECT_FLOAT_EQ (b.apvts.getRawParameterValue ("eq_m0Freq")->load(), 632.0f);
    EXPECT_EQ (b.section.count, 4);
    EXPECT_EQ (b.section.autoFx.size(), 3u);
    EXPECT_EQ (b.fxOrder[0], 12);
    EXPECT_FLOAT_EQ (b.utilFreq.load(), 0.1f);
    EXPECT_EQ (b.stateVersion.load(), 1);
}

TEST (PluginState, RootAttributesInOrderAndTextForms)
{
    VyrAudioProcessor p;
    p.utilFreq = 0.1f;
    auto xml = stateXml (p);
    ASSERT_NE (xml, nullptr);
    EXPECT_EQ (xml->getTagName(), "VYR");
    const char* keys[] = { "sectionEnabled", "sectionLiveFollow", "sectionAutoRide", "sectionCount", "sectionCues",
                           "sectionGlides", "sectionAssign", "sectionLetters", "sectionAutoFx", "sectionAutoIn",
                           "sectionAutoOut", "fxOrder", "utilEnabled", "utilDim", "utilWave", "utilFreq", "utilLevelDb",
                           "utilDuty", "utilAntiAlias", "utilDecorrelated", "utilStereo", "utilInvert", "utilDcOffset",
                           "utilSweepStart", "utilSweepEnd", "utilSweepDur", "utilSweepLog" };
    ASSERT_EQ (xml->getNumAttributes(), 27);
    for (int i = 0; i < 27; ++i)
        EXPECT_EQ (xml->getAttributeName (i), keys[i]);
    EXPECT_EQ (xml->getStringAttribute ("sectionCues"), "0.2000,0.4000,0.6000,0.8000,0.0000,0.0000");
    EXPECT_EQ (xml->getStringAttribute ("sectionGlides"), "0.350,0.350,0.350,0.350,0.350,0.350");
    EXPECT_EQ (xml->getStringAttribute ("fxOrder"), "0,1,2,3,4,5,6,7,8,9,10,11,12");
    EXPECT_EQ (xml->getStringAttribute ("sectionAutoFx"),
               "0.0000,0.000,0,0,0.0000,0.000,0,0.0000,0.000|1.0000,0.000,0,0,0.0000,0.000,0,0.0000,0.000");
    EXPECT_EQ (xml->getStringAttribute ("utilLevelDb"), "-20.0");
    EXPECT_EQ (xml->getStringAttribute ("utilFreq"), "0.10000000149011612");
    EXPECT_FALSE (xml->hasAttribute ("version"));
}

TEST (PluginState, ChainOrderRepair)
{
    struct Case { const char* text; std::vector<int> expected; };
    const Case cases[] = {
        { "12,12,0", { 12, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11 } },
        { "13,-1,x", { 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12 } },
        { "5", { 5, 0, 1, 2, 3, 4, 6, 7, 8, 9, 10, 11, 12 } },
        { "3,2,1,0,4,5,6,7,8,9,10,11,12,7", { 3, 2, 1, 0, 4, 5, 6, 7, 8, 9, 10, 11, 12 } },
        { " 7 , 99999999999999, 6", { 7, 6, 0, 1, 2, 3, 4, 5, 8, 9, 10, 11, 12 } },
    };
    for (const auto& c : cases)
    {
        VyrAudioProcessor p;
        restoreWith (p, { { "fxOrder", c.text } });
        EXPECT_EQ (order (p), c.expected) << c.text;
    }

    VyrAudioProcessor p;
    p.fxOrder[0] = 4;
    p.fxOrder[4] = 0;
    restoreWith (p, { { "fxOrder", "" } });
    EXPECT_EQ (p.fxOrder[0], 4) << "an empty order keeps the current one";
}

TEST (PluginState, SectionAndGeneratorRepairRules)
{
    {
        VyrAudioProcessor p;
        restoreWith (p, { { "sectionCount", "0" } });
        EXPECT_EQ (p.section.count, 1);
        restoreWith (p, { { "sectionCount", "9" } });
        EXPECT_EQ (p.section.count, 7);
        restoreWith (p, {}, { "sectionCount" });
        EXPECT_EQ (p.section.count, 3) << "absent count restores 3";
    }
    {
        VyrAudioProcessor p;
        restoreWith (p, { { "sectionCues", "0.1,0.15" } });
        EXPECT_FLOAT_EQ (p.section.cues[0], 0.1f);
        EXPECT_FLOAT_EQ (p.section.cues[1], 0.15f);
        EXPECT_FLOAT_EQ (p.section.cues[2], 0.6f);
        EXPECT_FLOAT_EQ (p.section.cues[5], 0.0f);
    }
    {
        VyrAudioProcessor p;
        restoreWith (p, { { "sectionAutoIn", "0.5,1" } });
        EXPECT_EQ (p.section.autoIn.size(), 2u);
        EXPECT_FLOAT_EQ (p.section.autoIn[1].t, 1.0f) << "a single point leaves the lane unchanged";
        restoreWith (p, { { "sectionAutoIn", "0,1|0.5,2|1,3" } });
        ASSERT_EQ (p.section.autoIn.size(), 3u);
        EXPECT_FLOAT_EQ (p.section.autoIn[1].value, 2.0f);
    }
    {
        VyrAudioProcessor p;
        restoreWith (p, { { "utilWave", "12" }, { "utilInvert", "-2" }, { "utilSweepLog", "5" } },
                     { "utilFreq", "utilStereo" });
        EXPECT_EQ (p.utilWave.load(), 8);
        EXPECT_EQ (p.utilInvert.load(), 0);
        EXPECT_EQ (p.utilSweepLog.load(), 1);
        EXPECT_FLOAT_EQ (p.utilFreq.load(), 1000.0f);
        EXPECT_TRUE (p.utilStereo.load());
    }
    {
        VyrAudioProcessor gen (14);
        restoreWith (gen, {}, { "utilEnabled" });
        EXPECT_TRUE (gen.utilEnabled.load()) << "the generator product defaults to on";
        VyrAudioProcessor other (15);
        restoreWith (other, {}, { "utilEnabled" });
        EXPECT_FALSE (other.utilEnabled.load());
    }
}

TEST (PluginState, MoodChoiceSetsCurrentMood)
{
    for (auto [index, expected] : { std::pair { 0, -1 }, std::pair { 5, 4 }, std::pair { 176, 175 } })
    {
        VyrAudioProcessor a;
        auto* mood = a.apvts.getParameter ("masterMood");
        mood->setValueNotifyingHost (mood->convertTo0to1 ((float) index));
        auto blob = save (a);
        VyrAudioProcessor b;
        b.setStateInformation (blob.getData(), (int) blob.getSize());
        EXPECT_EQ (b.currentMood.load(), expected) << index;
    }
}

TEST (PluginState, OutOfRangeAndMalformedValuesRestoreNothingHarmful)
{
    VyrAudioProcessor p;
    auto xml = stateXml (p);
    for (auto* child : xml->getChildIterator())
    {
        const auto id = child->getStringAttribute ("id");
        if (id == "inputGainL") child->setAttribute ("value", "1e30");
        if (id == "masterStyle") child->setAttribute ("value", "-7");
        if (id == "masterMood") child->setAttribute ("value", "nan");
        if (id == "eq_m0Freq") child->setAttribute ("value", "inf");
        if (id == "limiter_ceiling") child->setAttribute ("value", "loud");
    }
    xml->setAttribute ("sectionAssign", "9,-4,2");
    xml->setAttribute ("sectionLetters", "99,-1");
    xml->setAttribute ("sectionCues", "nan,-5,7");
    juce::MemoryBlock b;
    juce::AudioProcessor::copyXmlToBinary (*xml, b);
    p.setStateInformation (b.getData(), (int) b.getSize());

    for (auto* param : p.getParameters())
    {
        const float v = param->getValue();
        EXPECT_TRUE (std::isfinite (v) && v >= 0.0f && v <= 1.0f) << param->getName (64);
    }
    EXPECT_FLOAT_EQ (p.apvts.getRawParameterValue ("inputGainL")->load(), 24.0f);
    EXPECT_FLOAT_EQ (p.apvts.getRawParameterValue ("masterStyle")->load(), 0.0f);
    EXPECT_FLOAT_EQ (p.apvts.getRawParameterValue ("limiter_ceiling")->load(), 0.0f);
    EXPECT_EQ (p.section.assign[0], 6);
    EXPECT_EQ (p.section.assign[1], 0);
    EXPECT_EQ (p.section.letters[0], 16);
    EXPECT_EQ (p.section.letters[1], 0);
    for (float c : p.section.cues)
        EXPECT_TRUE (c >= 0.0f && c <= 1.0f);
}

TEST (PluginState, ForeignRootKeepsTheTreeType)
{
    VyrAudioProcessor p;
    juce::XmlElement foreign ("SOMETHING_ELSE");
    auto* child = foreign.createNewChildElement ("PARAM");
    child->setAttribute ("id", "masterTrim");
    child->setAttribute ("value", 10.0);
    juce::MemoryBlock b;
    juce::AudioProcessor::copyXmlToBinary (foreign, b);
    p.setStateInformation (b.getData(), (int) b.getSize());
    EXPECT_FLOAT_EQ (p.apvts.getRawParameterValue ("masterTrim")->load(), 10.0f);
    EXPECT_EQ (stateXml (p)->getTagName(), "VYR");
    EXPECT_EQ (p.getParameters().size(), 519);
}

TEST (PluginState, StandaloneIgnoresRestore)
{
    auto p = vyrTest::makeProcessor (15, juce::AudioProcessor::wrapperType_Standalone);
    restoreWith (*p, { { "sectionCount", "2" } });
    EXPECT_EQ (p->section.count, 5);
    EXPECT_EQ (p->stateVersion.load(), 0);
}

// A bounded fuzz of the loader: random bytes, truncations and mutations of a real state must never
// crash, leave a parameter outside its range or break the chain order.
TEST (PluginState, FuzzedBlobsAreHarmless)
{
    VyrAudioProcessor source;
    source.section.autoOut = { VyrAutoPt {}, VyrAutoPt { 0.3f, 2.0f }, VyrAutoPt { 1.0f, -1.0f } };
    const auto good = save (source);
    juce::Random rng (20261211);

    VyrAudioProcessor p;
    for (int iteration = 0; iteration < 400; ++iteration)
    {
        juce::MemoryBlock blob;
        switch (iteration % 4)
        {
            case 0: // random bytes, sometimes with the binary XML header
                blob.setSize ((size_t) rng.nextInt (2000));
                for (size_t i = 0; i < blob.getSize(); ++i)
                    blob[i] = (char) rng.nextInt (256);
                if (rng.nextBool() && blob.getSize() > 8)
                    blob.copyFrom (good.getData(), 0, 8);
                break;
            case 1: // truncated state
                blob.append (good.getData(), (size_t) rng.nextInt ((int) good.getSize()));
                break;
            case 2: // byte mutations of a real state
            {
                blob = good;
                for (int k = 0; k < 20; ++k)
                    blob[(size_t) rng.nextInt ((int) blob.getSize())] = (char) rng.nextInt (256);
                break;
            }
            default: // attribute text mutations
            {
                auto xml = juce::AudioProcessor::getXmlFromBinary (good.getData(), (int) good.getSize());
                const char* junk[] = { "", ",,,", "-99999999999", "1e40", "nan", "|||", "0,0|", "x", "-0", "13,13,13" };
                for (int a = 0; a < xml->getNumAttributes(); ++a)
                    if (rng.nextInt (3) == 0)
                        xml->setAttribute (xml->getAttributeName (a), junk[rng.nextInt (10)]);
                for (auto* c : xml->getChildIterator())
                    if (rng.nextInt (20) == 0)
                        c->setAttribute ("value", junk[rng.nextInt (10)]);
                juce::AudioProcessor::copyXmlToBinary (*xml, blob);
            }
        }
        p.setStateInformation (blob.getData(), (int) blob.getSize());

        std::vector<int> sorted = order (p);
        std::sort (sorted.begin(), sorted.end());
        for (int i = 0; i < 13; ++i)
            ASSERT_EQ (sorted[(size_t) i], i) << "iteration " << iteration;
        ASSERT_TRUE (p.section.count >= 1 && p.section.count <= 7);
        for (auto* param : p.getParameters())
            ASSERT_TRUE (std::isfinite (param->getValue()));
        for (const auto* lane : { &p.section.autoFx, &p.section.autoIn, &p.section.autoOut })
            ASSERT_GE (lane->size(), 2u);
    }
    p.setStateInformation (nullptr, 0);
    p.setStateInformation (good.getData(), 0);
}
