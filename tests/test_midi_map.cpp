// MIDI controller map: controller messages sent through the processor's block callback.
#include "RecipeTestUtil.h"
#include "AllocationGuard.h"
#include "Model/QuarnPresets.h"
#include "Model/MoodTable.h"

using namespace vyrRecipeTest;

namespace
{
struct MidiRig
{
    MidiRig() { vyrTest::prepare (p, 48000.0, 256); }

    // Sends the messages in one block; returns the request bits the block posted.
    int send (std::initializer_list<juce::MidiMessage> messages)
    {
        juce::MidiBuffer midi;
        int pos = 0;
        for (const auto& m : messages)
            midi.addEvent (m, pos++);
        p.pendingBits = 0;
        buffer.clear();
        p.processBlock (buffer, midi);
        return p.pendingBits.load();
    }

    int cc (int controller, int value, int channel = 1)
    {
        return send ({ juce::MidiMessage::controllerEvent (channel, controller, value) });
    }

    VyrAudioProcessor p;
    juce::AudioBuffer<float> buffer { 2, 256 };
};

std::vector<float> snapshot (VyrAudioProcessor& p)
{
    std::vector<float> values;
    for (auto* param : p.getParameters())
        values.push_back (param->getValue());
    return values;
}
}

TEST (MidiMap, ControllersSetTheirParametersOnAnyChannel)
{
    struct Case { int controller, value; const char* id; float plain; };
    const Case cases[] = {
        { 16, 127, "masterTrim", 50.0f },
        { 18, 63, "bypass", 0.0f }, { 18, 64, "bypass", 1.0f }, { 18, 0, "bypass", 0.0f },
        { 20, 127, "compressor_mix", 100.0f }, { 21, 0, "saturation_mix", 0.0f }, { 25, 127, "delay_mix", 1.0f },
        { 31, 0, "limiter_mix", 0.0f },
        { 70, 127, "quarn_toneAng", 1.0f }, { 71, 127, "quarn_toneRad", 1.0f }, { 73, 127, "quarn_boost", 1.0f },
        { 74, 0, "quarn_presence", 0.0f }, { 76, 127, "quarn_spaceRad", 1.0f }, { 78, 127, "quarn_reverbRad", 1.0f },
        { 80, 127, "quarn_eqAng", 1.0f },
        { 72, 42, "quarn_energy", 0.25f }, { 72, 43, "quarn_energy", 0.5833334f }, { 72, 86, "quarn_energy", 0.9166667f },
        { 75, 0, "quarn_spaceAng", 0.0625f }, { 75, 16, "quarn_spaceAng", 0.1875f }, { 75, 127, "quarn_spaceAng", 0.9375f },
        { 77, 0, "quarn_reverbAng", 1.0f / 14.0f }, { 77, 127, "quarn_reverbAng", 13.0f / 14.0f },
        { 81, 127, "liveAnalysis", 2.0f }, { 81, 43, "liveAnalysis", 1.0f }, { 81, 42, "liveAnalysis", 0.0f },
    };
    for (int channel : { 1, 10 })
    {
        MidiRig rig;
        for (const auto& c : cases)
        {
            EXPECT_EQ (rig.cc (c.controller, c.value, channel), 0) << c.controller;
            EXPECT_PARAM (rig.p, c.id, c.plain) << "cc " << c.controller << " = " << c.value << " channel " << channel;
        }
    }

    // A mix controller in the middle of its range: 64 / 127 of the mix.
    MidiRig rig;
    rig.cc (22, 64);
    EXPECT_PARAM (rig.p, "analogueDensity_mix", 100.0f * 64.0f / 127.0f);
}

TEST (MidiMap, OtherMessagesAndControllersChangeNothing)
{
    MidiRig rig;
    const auto before = snapshot (rig.p);

    // A note-on with the bytes of a control change does nothing.
    EXPECT_EQ (rig.send ({ juce::MidiMessage::noteOn (1, 20, (juce::uint8) 127) }), 0);
    EXPECT_EQ (rig.send ({ juce::MidiMessage::pitchWheel (1, 9000), juce::MidiMessage::programChange (1, 5) }), 0);

    for (int controller = 0; controller < 128; ++controller)
    {
        if ((controller >= 16 && controller <= 31) || (controller >= 70 && controller <= 82))
            continue;
        for (int value : { 0, 64, 127 })
            EXPECT_EQ (vyrMidi::applyQuarnCc (rig.p.apvts, controller, value), 0) << controller;
    }
    EXPECT_EQ (snapshot (rig.p), before);
}

TEST (MidiMap, LoudnessAndMediumControllersRequestTheirRecipes)
{
    struct Case { int value, index; };
    const Case lufsCases[] = { { 0, 0 }, { 25, 0 }, { 26, 1 }, { 51, 1 }, { 52, 2 }, { 76, 2 }, { 77, 3 }, { 102, 3 }, { 103, 4 }, { 127, 4 } };
    MidiRig rig;
    for (const auto& c : lufsCases)
    {
        EXPECT_EQ (rig.cc (17, c.value), vyrMidi::loudnessChosen);
        EXPECT_PARAM (rig.p, "masterLufs", c.index) << c.value;
    }
    for (int v = 0; v < 128; v += 9)
    {
        EXPECT_EQ (rig.cc (79, v), vyrMidi::mediumChosen);
        EXPECT_PARAM (rig.p, "masterMedium", v / 16) << v;
    }

    // The same loudness again writes nothing but still asks for the recipe.
    rig.cc (17, 127);
    HostView host (rig.p);
    EXPECT_EQ (rig.cc (17, 127), vyrMidi::loudnessChosen);
    EXPECT_EQ (host.totalChanges, 0);

    // The recipe itself is applied later, on the message thread.
    vyrTest::serveRequests (rig.p);
    EXPECT_EQ (rig.p.pendingBits.load(), 0);
    EXPECT_EQ (rig.p.lufsIndex.load(), 4);
    EXPECT_PARAM (rig.p, "limiter_inputGain", 8.0f);
    EXPECT_PARAM (rig.p, "masterTrim", 14.0f);
}

TEST (MidiMap, LoudnessAndMediumInOneBlockApplyTheChosenLoudness)
{
    MidiRig rig;
    // -23 and Club (whose own loudness would be -9)
    const int bits = rig.send ({ juce::MidiMessage::controllerEvent (1, 17, 0), juce::MidiMessage::controllerEvent (1, 79, 127) });
    EXPECT_EQ (bits, 5);
    vyrTest::serveRequests (rig.p);
    EXPECT_EQ (rig.p.mediumIndex.load(), 7);
    EXPECT_EQ (rig.p.lufsIndex.load(), 0);
    EXPECT_PARAM (rig.p, "masterLufs", 0);
    EXPECT_PARAM (rig.p, "limiter_ceiling", -2.0f);
    EXPECT_PARAM (rig.p, "limiter_inputGain", 0.0f);
}

TEST (MidiMap, TrimControllerSkipsSmallSteps)
{
    MidiRig rig;
    auto& trim = paramRef (rig.p, "masterTrim");
    trim.setValueNotifyingHost (64.0f / 127.0f + 0.0025f);   // within 0.4 of a controller step
    const float held = trim.getValue();
    HostView host (rig.p);
    rig.cc (16, 64);
    EXPECT_EQ (host.totalChanges, 0);
    EXPECT_FLOAT_EQ (trim.getValue(), held);
    rig.cc (16, 66);
    EXPECT_EQ (host.totalChanges, 1);
    EXPECT_EQ (host.totalBegins, 0) << "controller writes carry no gestures";
}

TEST (MidiMap, MoodBanksAndMoods)
{
    const auto& table = vyrMood::table();
    const int numBanks = (int) table.banks.size();
    ASSERT_GT (numBanks, 1);

    MidiRig rig;
    for (int v : { 0, 64, 127 })
    {
        EXPECT_EQ (rig.cc (82, v), 0);
        const int bank = std::min (numBanks - 1, numBanks * v / 128);
        EXPECT_EQ (vyrMidi::gMoodBank.load(), bank);
        const auto& b = table.banks[(size_t) bank];
        EXPECT_EQ (rig.cc (19, 0), vyrMidi::moodChosen);
        EXPECT_PARAM (rig.p, "masterMood", b.start + 1);
        rig.cc (19, 127);
        EXPECT_PARAM (rig.p, "masterMood", b.start + b.count);   // the bank's last preset
    }

    // The bank is shared by every instance in the process.
    MidiRig other;
    rig.cc (82, 0);
    other.cc (19, 0);
    EXPECT_PARAM (other.p, "masterMood", table.banks[0].start + 1);

    // The choice rules on their own.
    EXPECT_EQ (vyrMidi::bankForController (1, 127), 0);
    EXPECT_EQ (vyrMidi::bankForController (0, 90), 0);
    const std::vector<vyrMood::Bank> three { { "A", 0, 40 }, { "B", 40, 3 } };
    for (int v = 0; v < 128; ++v)
        EXPECT_EQ (vyrMidi::moodForController (three, 1, v), 40 + (v <= 42 ? 0 : (v <= 85 ? 1 : 2))) << v;
    EXPECT_EQ (vyrMidi::moodForController ({}, 0, 64), -1);   // no presets: "Preset"
    EXPECT_EQ (vyrMidi::moodForController (three, 7, 0), 40);   // a stale bank is clamped
    vyrMidi::gMoodBank = 0;
}

TEST (MidiMap, MoodRequestIsAppliedOnTheMessageThread)
{
    MidiRig rig;
    vyrMidi::gMoodBank = 0;
    EXPECT_EQ (rig.cc (19, 127), vyrMidi::moodChosen);
    const int choice = (int) value (rig.p, "masterMood");
    EXPECT_GE (choice, 1);
    vyrTest::serveRequests (rig.p);
    EXPECT_EQ (rig.p.currentMood.load(), choice - 1);
}

TEST (MidiMap, BlockCallbackAllocatesNothing)
{
    MidiRig rig;
    juce::MidiBuffer midi;
    midi.ensureSize (512);
    for (int controller : { 16, 20, 31, 70, 72, 75, 77, 80, 21 })
        midi.addEvent (juce::MidiMessage::controllerEvent (3, controller, 100), 0);
    rig.p.processBlock (rig.buffer, midi);   // first pass: whatever the framework sets up once
    midi.clear();
    midi.ensureSize (512);
    for (int controller : { 16, 20, 31, 70, 72, 75, 77, 80, 21 })
        midi.addEvent (juce::MidiMessage::controllerEvent (3, controller, 20), 0);
    vyrTest::serveRequests (rig.p);
    vyrTest::AllocationGuard guard;
    rig.p.processBlock (rig.buffer, midi);
    EXPECT_EQ (guard.count(), 0);
    EXPECT_EQ (guard.waits(), 0);
    EXPECT_EQ (guard.posts(), 0);
}
