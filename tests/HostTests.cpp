// Loads the built VST3 and LV2 bundles the way a host does and checks what a host sees.
#include "BareXServer.h"

#include <gtest/gtest.h>
#include <juce_audio_processors/juce_audio_processors.h>
#include <juce_audio_utils/juce_audio_utils.h>

namespace
{
struct Loaded
{
    std::unique_ptr<juce::AudioPluginInstance> instance;
    juce::String error;
};

Loaded loadVst3()
{
    juce::VST3PluginFormat format;
    juce::OwnedArray<juce::PluginDescription> types;
    format.findAllTypesForFile (types, VYR_VST3_PATH);
    Loaded l;
    if (types.isEmpty())
    {
        l.error = "no plug-in found in " VYR_VST3_PATH;
        return l;
    }
    l.instance = format.createInstanceFromDescription (*types[0], 48000.0, 512, l.error);
    return l;
}

Loaded loadLv2()
{
    juce::LV2PluginFormat format;
    juce::FileSearchPath path (VYR_LV2_DIR);
    format.searchPathsForPlugins (path, true, false);
    juce::OwnedArray<juce::PluginDescription> types;
    format.findAllTypesForFile (types, VYR_LV2_URI);
    Loaded l;
    if (types.isEmpty())
    {
        l.error = "no plug-in with URI " VYR_LV2_URI;
        return l;
    }
    l.instance = format.createInstanceFromDescription (*types[0], 48000.0, 512, l.error);
    return l;
}

struct HostCase
{
    const char* format;
    Loaded (*load)();
    bool monoAccepted;
    bool hostAddsEnablePort;       // LV2 hosts get a designated enable port besides the plug-in's own bypass
    bool reportsTailAndAutomation; // LV2 carries neither a tail time nor automation flags
};

// Parameters of the plug-in itself: without the MIDI-controller parameters the VST3 wrapper adds so
// hosts can deliver controllers, and without the enable port an LV2 host adds.
juce::Array<juce::AudioProcessorParameter*> ownParameters (juce::AudioPluginInstance& p, const HostCase& c)
{
    juce::Array<juce::AudioProcessorParameter*> own;
    for (auto* param : p.getParameters())
    {
        if (param->getName (64).startsWith ("MIDI CC "))
            continue;
        if (c.hostAddsEnablePort && param == p.getBypassParameter())
            continue;
        own.add (param);
    }
    return own;
}

class HostTest : public ::testing::TestWithParam<HostCase> {};

TEST_P (HostTest, HostSeesTheRightPlugin)
{
    auto loaded = GetParam().load();
    ASSERT_NE (loaded.instance, nullptr) << loaded.error;
    auto& p = *loaded.instance;

    EXPECT_EQ (p.getName(), "VYR Quarn");
    EXPECT_TRUE (p.acceptsMidi());
    const auto own = ownParameters (p, GetParam());
    EXPECT_EQ (own.size(), 519);
    if (GetParam().reportsTailAndAutomation)
    {
        EXPECT_NEAR (p.getTailLengthSeconds(), 4.0, 1.0e-9);
        int automatable = 0;
        for (auto* param : own)
            automatable += param->isAutomatable() ? 1 : 0;
        EXPECT_EQ (automatable, 29);
    }

    juce::AudioProcessor::BusesLayout stereo;
    stereo.inputBuses.add (juce::AudioChannelSet::stereo());
    stereo.outputBuses.add (juce::AudioChannelSet::stereo());
    EXPECT_TRUE (p.checkBusesLayoutSupported (stereo));

    juce::AudioProcessor::BusesLayout mono;
    mono.inputBuses.add (juce::AudioChannelSet::mono());
    mono.outputBuses.add (juce::AudioChannelSet::mono());
    EXPECT_EQ (p.checkBusesLayoutSupported (mono), GetParam().monoAccepted);

    juce::AudioProcessor::BusesLayout mixed;
    mixed.inputBuses.add (juce::AudioChannelSet::mono());
    mixed.outputBuses.add (juce::AudioChannelSet::stereo());
    EXPECT_FALSE (p.checkBusesLayoutSupported (mixed));

    juce::AudioProcessor::BusesLayout surround;
    surround.inputBuses.add (juce::AudioChannelSet::create5point1());
    surround.outputBuses.add (juce::AudioChannelSet::create5point1());
    EXPECT_FALSE (p.checkBusesLayoutSupported (surround));
}

TEST_P (HostTest, ProcessesAudioAndRecallsStateInASecondInstance)
{
    auto a = GetParam().load();
    ASSERT_NE (a.instance, nullptr) << a.error;
    auto& p = *a.instance;
    p.setPlayConfigDetails (2, 2, 48000.0, 512);
    p.prepareToPlay (48000.0, 512);

    juce::AudioBuffer<float> buffer (2, 512);
    juce::MidiBuffer midi;
    double energyIn = 0.0, energyOut = 0.0;
    for (int block = 0; block < 40; ++block)
    {
        for (int ch = 0; ch < 2; ++ch)
            for (int i = 0; i < 512; ++i)
                buffer.setSample (ch, i, 0.25f * std::sin (2.0 * juce::MathConstants<double>::pi * 440.0 * (block * 512 + i) / 48000.0));
        energyIn += buffer.getRMSLevel (0, 0, 512);
        p.processBlock (buffer, midi);
        for (int ch = 0; ch < 2; ++ch)
            for (int i = 0; i < 512; ++i)
                ASSERT_TRUE (std::isfinite (buffer.getSample (ch, i)));
        energyOut += buffer.getRMSLevel (0, 0, 512);
    }
    EXPECT_GT (energyOut, 0.1 * energyIn);
    p.releaseResources();

    // Move a few parameters away from their defaults, save, and recall into a fresh instance.
    const auto own = ownParameters (p, GetParam());
    ASSERT_GT (own.size(), 300);
    const int picks[] = { 0, 7, 13, 57, 120, 300, 518 };
    for (int i : picks)
        own[i]->setValueNotifyingHost (own[i]->getDefaultValue() > 0.5f ? 0.0f : 1.0f);

    juce::MessageManager::getInstance()->runDispatchLoopUntil (300);
    juce::MemoryBlock blob;
    p.getStateInformation (blob);
    ASSERT_GT (blob.getSize(), 1000u);

    auto b = GetParam().load();
    ASSERT_NE (b.instance, nullptr) << b.error;
    b.instance->setStateInformation (blob.getData(), (int) blob.getSize());
    // Hosts learn of restored values through the wrapper's parameter callbacks on the message thread.
    juce::MessageManager::getInstance()->runDispatchLoopUntil (300);
    juce::MemoryBlock blobB;
    b.instance->getStateInformation (blobB);
    EXPECT_TRUE (blobB == blob) << "the second instance saves a different state";
}

// LV2 hosts name parameters by URI (ending in the ID); VST3 hosts by number, in the plug-in's own
// order, where the first parameter of a name is the parametric EQ's.
juce::AudioProcessorParameter* findParameter (juce::AudioPluginInstance& p, const juce::String& id, const juce::String& name)
{
    for (auto* param : p.getParameters())
        if (auto* hosted = dynamic_cast<juce::HostedAudioProcessorParameter*> (param))
            if (hosted->getParameterID().endsWith (":" + id))
                return param;
    for (auto* param : p.getParameters())
        if (param->getName (64) == name)
            return param;
    return nullptr;
}

// An EQ bell set through the host boosts a sine by its gain at the plug-in's output.
TEST_P (HostTest, EqBellSetThroughTheHostShapesTheOutput)
{
    auto loaded = GetParam().load();
    ASSERT_NE (loaded.instance, nullptr) << loaded.error;
    auto& p = *loaded.instance;
    auto* gain = findParameter (p, "eq_m0Gain", "M1 Gain");
    auto* freq = findParameter (p, "eq_m0Freq", "M1 Freq");
    ASSERT_NE (gain, nullptr);
    ASSERT_NE (freq, nullptr);
    p.setPlayConfigDetails (2, 2, 48000.0, 480);
    p.prepareToPlay (48000.0, 480);
    // A 1000 Hz bell of +6 dB; set after prepare, since an LV2 host re-creates its instance there.
    // Values by text, so each host's own mapping of the plug-in's ranges applies.
    for (auto [param, value] : { std::pair { freq, freq->getValueForText ("1000") }, std::pair { gain, gain->getValueForText ("6") } })
    {
        param->beginChangeGesture();
        param->setValueNotifyingHost (value);
        param->endChangeGesture();
    }
    juce::MessageManager::getInstance()->runDispatchLoopUntil (100);
    juce::AudioBuffer<float> buffer (2, 480);
    juce::MidiBuffer midi;
    double re = 0.0, im = 0.0;
    int counted = 0;
    for (int block = 0; block < 100; ++block)
    {
        for (int ch = 0; ch < 2; ++ch)
            for (int i = 0; i < 480; ++i)
                buffer.setSample (ch, i, 0.05f * (float) std::sin (2.0 * juce::MathConstants<double>::pi * 1000.0 * (block * 480 + i) / 48000.0));
        p.processBlock (buffer, midi);
        if (block >= 50)
            for (int i = 0; i < 480; ++i, ++counted)
            {
                const double w = 2.0 * juce::MathConstants<double>::pi * 1000.0 * counted / 48000.0;
                re += buffer.getSample (0, i) * std::cos (w);
                im -= buffer.getSample (0, i) * std::sin (w);
            }
    }
    const double amplitude = 2.0 * std::sqrt (re * re + im * im) / counted;
    EXPECT_NEAR (20.0 * std::log10 (amplitude / 0.05), 6.0, 0.15);
    p.releaseResources();
}

TEST_P (HostTest, StyleChoiceFromTheHostAppliesTheStyleRecipe)
{
    auto loaded = GetParam().load();
    ASSERT_NE (loaded.instance, nullptr) << loaded.error;
    auto& p = *loaded.instance;
    p.setPlayConfigDetails (2, 2, 48000.0, 512);
    p.prepareToPlay (48000.0, 512);

    auto find = [&] (const juce::String& name) -> juce::AudioProcessorParameter*
    {
        for (auto* param : ownParameters (p, GetParam()))
            if (param->getName (64) == name)
                return param;
        return nullptr;
    };
    auto* style = find ("Style Chip");
    auto* mbcMix = find ("MBC Mix");
    auto* deqMix = find ("D-EQ Mix");
    auto* ceiling = find ("Ceiling");
    auto* toneRadius = find ("QUARN Tone Radius");
    auto* boost = find ("QUARN Boost");
    ASSERT_TRUE (style != nullptr && mbcMix != nullptr && deqMix != nullptr && ceiling != nullptr
                 && toneRadius != nullptr && boost != nullptr);
    EXPECT_NEAR (mbcMix->getValue(), 1.0f, 1.0e-4f);
    EXPECT_NEAR (toneRadius->getValue(), 0.0f, 1.0e-4f);

    // The host chooses "EDM" (choice 0); the recipe is applied on the plug-in's message thread and
    // its writes come back to the host. Blocks keep running meanwhile, as in a playing host.
    style->beginChangeGesture();
    style->setValueNotifyingHost (0.0f);
    style->endChangeGesture();
    juce::AudioBuffer<float> buffer (2, 512);
    juce::MidiBuffer midi;
    for (int round = 0; round < 10; ++round)
    {
        buffer.clear();
        p.processBlock (buffer, midi);
        juce::MessageManager::getInstance()->runDispatchLoopUntil (50);
    }

    // EDM at the default loudness -14: multiband mix 90 %, dynamic EQ mix 35 %, tone radius 0.7,
    // boost 0.58 capped at 0.50, limiter ceiling -1 dB of -6..0.
    EXPECT_NEAR (style->getValue(), 0.0f, 1.0e-4f);
    EXPECT_NEAR (mbcMix->getValue(), 0.90f, 1.0e-3f);
    EXPECT_NEAR (deqMix->getValue(), 0.35f, 1.0e-3f);
    EXPECT_NEAR (toneRadius->getValue(), 0.70f, 1.0e-3f);
    EXPECT_NEAR (boost->getValue(), 0.50f, 1.0e-3f);
    EXPECT_NEAR (ceiling->getValue(), 5.0f / 6.0f, 1.0e-3f);
    p.releaseResources();
}

TEST_P (HostTest, OpensAndClosesItsEditorOnScreen)
{
    auto loaded = GetParam().load();
    ASSERT_NE (loaded.instance, nullptr) << loaded.error;
    auto& p = *loaded.instance;
    p.setPlayConfigDetails (2, 2, 48000.0, 512);
    p.prepareToPlay (48000.0, 512);
    for (int round = 0; round < 2; ++round)
    {
        SCOPED_TRACE (round);
        ASSERT_TRUE (p.hasEditor());
        std::unique_ptr<juce::AudioProcessorEditor> editor (p.createEditorIfNeeded());
        ASSERT_NE (editor, nullptr);
        EXPECT_GT (editor->getWidth(), 100);
        EXPECT_GT (editor->getHeight(), 100);
        editor->setTopLeftPosition (20, 20);
        editor->addToDesktop (juce::ComponentPeer::windowHasTitleBar);
        editor->setVisible (true);
        juce::MessageManager::getInstance()->runDispatchLoopUntil (150);
        EXPECT_TRUE (editor->isOnDesktop());
        // Closed as a host closes it: the plug-in's view is detached before its window goes.
        p.editorBeingDeleted (editor.get());
        editor.reset();
        juce::MessageManager::getInstance()->runDispatchLoopUntil (20);
        EXPECT_EQ (p.getActiveEditor(), nullptr);
    }
    p.releaseResources();
}

INSTANTIATE_TEST_SUITE_P (Formats, HostTest,
                          ::testing::Values (HostCase { "VST3", &loadVst3, true, false, true }, HostCase { "LV2", &loadLv2, false, true, false }),
                          [] (const auto& info) { return std::string (info.param.format); });
}

int main (int argc, char** argv)
{
    ::testing::InitGoogleTest (&argc, argv);
    vyrTest::BareXServerAtoms atoms; // editors go on screen without a window manager
    int result = 0;
    {
        juce::ScopedJuceInitialiser_GUI juceInit;
        result = RUN_ALL_TESTS();
    }
    return result;
}
