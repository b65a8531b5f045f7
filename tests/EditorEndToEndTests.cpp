// A user at the plug-in's editor inside a host: the built VST3 and LV2 bundles are loaded through
// the framework's hosting, their editors put on screen, and real pointer events sent through the
// X server. The program runs its own X server, so no other test's window can cover the editor.
#include "OwnConfigFolder.h"
#include "BareXServer.h"
#include "HostedPlugin.h"
#include "OwnXServer.h"
#include "VyrBuiltProducts.h"
#include "XInput.h"

#include <gtest/gtest.h>
#include <juce_audio_processors/juce_audio_processors.h>
#include <cmath>
#include <cstdlib>

namespace
{
using namespace vyrTest;

// Runs host blocks of silence and the message loop until `done` holds or a generous limit passes.
bool playUntil (juce::AudioProcessor& p, const std::function<bool()>& done)
{
    juce::AudioBuffer<float> silence (2, 512);
    juce::MidiBuffer midi;
    const auto end = juce::Time::getMillisecondCounter() + 10000;
    while (juce::Time::getMillisecondCounter() < end)
    {
        silence.clear();
        p.processBlock (silence, midi);
        juce::MessageManager::getInstance()->runDispatchLoopUntil (10);
        if (done())
            return true;
    }
    return done();
}

// Output of a fixed two-tone test signal, run twice through the instance: the second run is
// returned, so filters and envelopes have settled on the same input.
std::vector<float> processTestSignal (juce::AudioPluginInstance& p)
{
    constexpr int block = 512, blocks = 60;
    juce::AudioBuffer<float> buffer (2, block);
    juce::MidiBuffer midi;
    std::vector<float> out;
    for (int pass = 0; pass < 2; ++pass)
    {
        out.clear();
        for (int b = 0; b < blocks; ++b)
        {
            for (int ch = 0; ch < 2; ++ch)
                for (int i = 0; i < block; ++i)
                {
                    const double t = (b * block + i) / 48000.0;
                    buffer.setSample (ch, i, (float) (0.2 * std::sin (2.0 * juce::MathConstants<double>::pi * 80.0 * t)
                                                      + 0.1 * std::sin (2.0 * juce::MathConstants<double>::pi * 5000.0 * t)));
                }
            p.processBlock (buffer, midi);
            if (b >= blocks / 2)
                out.insert (out.end(), buffer.getReadPointer (0), buffer.getReadPointer (0) + block);
        }
    }
    return out;
}

// Level of the difference of two outputs relative to the first, in dB.
double differenceDb (const std::vector<float>& a, const std::vector<float>& b)
{
    double ea = 0.0, ed = 0.0;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i)
    {
        ea += (double) a[i] * a[i];
        ed += (double) (a[i] - b[i]) * (a[i] - b[i]);
    }
    return 10.0 * std::log10 ((ed + 1.0e-20) / (ea + 1.0e-20));
}

// The clicks below land on product 15's main view.
class EditorEndToEnd : public ::testing::TestWithParam<HostCase>
{
protected:
    void SetUp() override
    {
        if (VYR_BUILT_PRODUCT != 15)
            GTEST_SKIP() << "this build's plug-in is product " << VYR_BUILT_PRODUCT;
    }
};

// A click on the EDM style chip, a drag on QUARN's tone point and a long press on the first tray
// tile, each seen by the host as parameter changes and heard at the output. The host keeps running
// audio blocks while it waits, as a playing host does: an LV2 host learns of the plug-in's writes
// with the blocks it runs.
TEST_P (EditorEndToEnd, MouseOnTheEditorDrivesTheParametersAndTheSound)
{
    XPointer pointer;
    ASSERT_TRUE (pointer.usable()) << "no X connection with the XTest extension";
    auto loaded = GetParam().load();
    ASSERT_NE (loaded.instance, nullptr) << loaded.error;
    auto& p = *loaded.instance;
    p.setPlayConfigDetails (2, 2, 48000.0, 512);
    p.prepareToPlay (48000.0, 512);

    const auto own = ownParameters (p, GetParam());
    auto find = [&] (const juce::String& name) -> juce::AudioProcessorParameter*
    {
        for (auto* param : own)
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
    ASSERT_TRUE (style != nullptr && mbcMix != nullptr && deqMix != nullptr && ceiling != nullptr && toneRadius != nullptr
                 && boost != nullptr);
    auto values = [&]
    {
        std::vector<float> v;
        for (auto* param : own)
            v.push_back (param->getValue());
        return v;
    };

    std::unique_ptr<juce::AudioProcessorEditor> editor (p.createEditorIfNeeded());
    ASSERT_NE (editor, nullptr);
    EXPECT_EQ (binariesNotUnderTest(), "");
    ASSERT_EQ (editor->getWidth(), 1168);
    ASSERT_EQ (editor->getHeight(), 720);
    editor->setTopLeftPosition (40, 30);
    editor->addToDesktop (0);
    editor->setVisible (true);
    settleWindowSystem();
    const auto origin = editor->getScreenPosition();
    auto at = [&] (int x, int y) { return origin + juce::Point<int> (x, y); };

    // The plug-in's own window must be on screen at the full editor size under every point the
    // test clicks, else the clicks land in the host's window. A window of the plug-in's is one the
    // framework made for a component that is not one of the host's own component windows.
    auto pluginWindowAt = [&] (juce::Point<int> where) { return pointer.pluginWindowAt (where, 1168, 720); };
    ASSERT_TRUE (playUntil (p, [&] { return pluginWindowAt (at (520, 40)) != 0 && pluginWindowAt (at (117, 588)) != 0; }))
        << "window under the chip row: " << pointer.windowAt (at (520, 40)).window;

    // The pointer is moved first and pressed once the server has it in the plug-in's window. Right
    // after the pointer enters, the server may still place it in the LV2 host's embedding window,
    // until the host has handled the crossing: a press then goes to the host, not the plug-in.
    auto pressAt = [&] (juce::Point<int> where)
    {
        pointer.moveTo (where);
        EXPECT_TRUE (playUntil (p, [&]
        {
            const auto target = pluginWindowAt (where);
            return target != 0 && pointer.windowUnderPointer() == target;
        })) << "the server has the pointer in " << pointer.windowUnderPointer() << ", not the plug-in's window " << pluginWindowAt (where);
        pointer.button (true);
    };

    // The main view at 1168 by 720 in a host: chip row at y 24..56 with the EDM chip at x 500..540,
    // QUARN a 360-pixel disc at (12, 141), the compact tray at (12, 544) whose first tile spans
    // x 89..145, y 556..620.
    auto near = [] (juce::AudioProcessorParameter* prm, float v) { return std::abs (prm->getValue() - v) < 1.0e-3f; };

    const auto before = processTestSignal (p);
    EXPECT_LT (differenceDb (before, processTestSignal (p)), -60.0) << "the measurement itself repeats";

    // 1. A click on EDM: the host sees the style and its recipe at the default loudness -14:
    // multiband mix 90 %, dynamic EQ mix 35 %, tone radius 0.7, boost 0.58 capped at 0.50, limiter
    // ceiling -1 dB of -6..0.
    pressAt (at (520, 40));
    pointer.button (false);
    EXPECT_TRUE (playUntil (p, [&]
    {
        return near (style, 0.0f) && near (mbcMix, 0.90f) && near (deqMix, 0.35f) && near (toneRadius, 0.70f)
               && near (boost, 0.50f) && near (ceiling, 5.0f / 6.0f);
    })) << "style " << style->getValue() << ", multiband mix " << mbcMix->getValue() << ", dynamic EQ mix "
        << deqMix->getValue() << ", tone radius " << toneRadius->getValue() << ", boost " << boost->getValue()
        << ", ceiling " << ceiling->getValue();
    const auto edm = processTestSignal (p);
    EXPECT_GT (differenceDb (before, edm), -30.0);

    // 2. A drag of the tone point from QUARN's centre towards its rim moves the tone and the
    // module parameters it is spread over.
    const auto beforeDrag = values();
    const float radiusBefore = toneRadius->getValue();
    pressAt (at (192, 321));
    for (int step = 1; step <= 8; ++step)
    {
        pointer.moveTo (at (192 - 2 * step, 321 + 3 * step)); // ends 29 pixels off centre
        juce::MessageManager::getInstance()->runDispatchLoopUntil (5);
    }
    pointer.button (false);
    auto modulesMoved = [&]
    {
        const auto now = values();
        int moved = 0;
        for (size_t i = 0; i < now.size(); ++i)
            if (! own[(int) i]->getName (64).startsWith ("QUARN") && std::abs (now[i] - beforeDrag[i]) > 1.0e-4f)
                ++moved;
        return moved;
    };
    EXPECT_TRUE (playUntil (p, [&] { return std::abs (toneRadius->getValue() - radiusBefore) > 0.1f && modulesMoved() > 0; }))
        << "tone radius " << radiusBefore << " -> " << toneRadius->getValue() << ", module parameters moved " << modulesMoved();
    const auto dragged = processTestSignal (p);
    EXPECT_GT (differenceDb (edm, dragged), -30.0);

    // 3. A long press on the first tray tile switches its module off: one on/off parameter goes
    // from on to off. The press is held past the long-press time by the server's clock.
    const auto beforePress = values();
    pressAt (at (117, 588));
    const auto pressed = juce::Time::getMillisecondCounter();
    ASSERT_TRUE (playUntil (p, [&] { return juce::Time::getMillisecondCounter() - pressed >= 400; }));
    pointer.button (false);
    int flipped = -1;
    EXPECT_TRUE (playUntil (p, [&]
    {
        const auto now = values();
        for (size_t i = 0; i < now.size(); ++i)
            if (std::abs (now[i] - beforePress[i]) > 0.5f)
                flipped = (int) i;
        return flipped >= 0;
    }));
    ASSERT_GE (flipped, 0);
    auto* module = own[flipped];
    EXPECT_NEAR (beforePress[(size_t) flipped], 1.0f, 1.0e-4f) << module->getName (64);
    EXPECT_NEAR (module->getValue(), 0.0f, 1.0e-4f) << module->getName (64);
    const auto switchedOff = processTestSignal (p);
    const auto offChange = differenceDb (dragged, switchedOff);
    EXPECT_GT (offChange, -30.0) << module->getName (64);

    // The change is that module's: switched on again by the host, the output is the one before,
    // up to the small difference two runs of this chain show with these settings (about -46 dB,
    // -37 dB seen under load), well below what switching the module off changed.
    module->beginChangeGesture();
    module->setValueNotifyingHost (1.0f);
    module->endChangeGesture();
    EXPECT_TRUE (playUntil (p, [&] { return module->getValue() > 0.5f; }));
    EXPECT_LT (differenceDb (dragged, processTestSignal (p)), offChange - 10.0) << module->getName (64);

    pointer.moveTo ({ 1270, 790 });
    settleWindowSystem();
    p.editorBeingDeleted (editor.get());
    editor.reset();
    settleWindowSystem();
    p.releaseResources();
}

INSTANTIATE_TEST_SUITE_P (Formats, EditorEndToEnd, ::testing::Values (vst3Case, lv2Case),
                          [] (const auto& info) { return std::string (info.param.format); });

// Sample position of the strongest echo of an impulse (after the first 10 ms), in the left output.
int echoLag (juce::AudioPluginInstance& p)
{
    constexpr int block = 512, blocks = 94; // one second at 48 kHz
    juce::AudioBuffer<float> buffer (2, block);
    juce::MidiBuffer midi;
    // Flush what the line still holds from earlier settings.
    for (int b = 0; b < blocks * 2; ++b)
    {
        buffer.clear();
        p.processBlock (buffer, midi);
    }
    int best = -1;
    float bestLevel = 1.0e-4f;
    for (int b = 0; b < blocks; ++b)
    {
        buffer.clear();
        if (b == 0)
            for (int ch = 0; ch < 2; ++ch)
                buffer.setSample (ch, 0, 0.5f);
        p.processBlock (buffer, midi);
        for (int i = 0; i < block; ++i)
        {
            const int n = b * block + i;
            const float v = std::abs (buffer.getSample (0, i));
            if (n > 480 && v > bestLevel)
            {
                bestLevel = v;
                best = n;
            }
        }
    }
    return best;
}

// The delay product in a host: a click on the "Dub" style and a drag on the "Time" fader, each
// seen by the host and heard as the echo's delay.
TEST (DelayProductEndToEnd, ClicksAndDragsSetTheDelayAndTheEchoFollows)
{
    const char* bundle = nullptr;
    for (const auto& built : std::initializer_list<std::tuple<int, const char*, const char*, const char*, const char*, const char*>> { VYR_BUILT_PRODUCTS })
        if (std::get<0> (built) == 7)
            bundle = std::get<2> (built);
    if (bundle == nullptr)
        GTEST_SKIP() << "this build made no delay product (configure with -DVYR_EXTRA_PRODUCTS=7)";

    XPointer pointer;
    ASSERT_TRUE (pointer.usable()) << "no X connection with the XTest extension";
    auto loaded = loadVst3At (bundle);
    ASSERT_NE (loaded.instance, nullptr) << loaded.error;
    auto& p = *loaded.instance;
    ASSERT_EQ (p.getName(), "VYR Delay");
    p.setPlayConfigDetails (2, 2, 48000.0, 512);
    p.prepareToPlay (48000.0, 512);

    // The delay's parameters follow its on switch in the plug-in's order.
    const auto params = p.getParameters();
    int on = -1;
    for (int i = 0; i < params.size(); ++i)
        if (params[i]->getName (64) == "DEL On")
            on = i;
    ASSERT_GE (on, 0);
    auto* enabled = params[on];
    auto* time = params[on + 1];
    auto* feedback = params[on + 2];
    ASSERT_EQ (time->getName (64), "Time");
    ASSERT_EQ (feedback->getName (64), "Feedback");

    std::unique_ptr<juce::AudioProcessorEditor> editor (p.createEditorIfNeeded());
    ASSERT_NE (editor, nullptr);
    ASSERT_EQ (editor->getWidth(), 855);
    ASSERT_EQ (editor->getHeight(), 470);
    editor->setTopLeftPosition (40, 30);
    editor->addToDesktop (0);
    editor->setVisible (true);
    settleWindowSystem();
    const auto origin = editor->getScreenPosition();
    auto at = [&] (int x, int y) { return origin + juce::Point<int> (x, y); };
    auto pluginWindowAt = [&] (juce::Point<int> where) { return pointer.pluginWindowAt (where, 855, 470); };
    auto pressAt = [&] (juce::Point<int> where)
    {
        pointer.moveTo (where);
        EXPECT_TRUE (playUntil (p, [&]
        {
            const auto target = pluginWindowAt (where);
            return target != 0 && pointer.windowUnderPointer() == target;
        }));
        pointer.button (true);
    };
    ASSERT_TRUE (playUntil (p, [&] { return pluginWindowAt (at (489, 255)) != 0; }));

    // The unit at 855 by 470: the style row at y 245..265 with "Dub" at x 447..531; the four
    // faders below it, "Time" first at y 274..318, 16..839 wide.
    pressAt (at (489, 255));
    pointer.button (false);
    auto near = [] (juce::AudioProcessorParameter* prm, float plain, float lo, float hi)
    {
        return std::abs (prm->getValue() - (plain - lo) / (hi - lo)) < 2.0e-3f;
    };
    EXPECT_TRUE (playUntil (p, [&] { return enabled->getValue() > 0.5f && near (time, 0.38f, 0.01f, 1.5f) && near (feedback, 0.72f, 0.0f, 0.9f); }))
        << "time " << time->getValue() << ", feedback " << feedback->getValue() << ", on " << enabled->getValue();
    EXPECT_NEAR (echoLag (p), 0.38 * 48000.0, 48.0);

    // A drag on the "Time" fader from its middle to its left end: the echo comes early.
    pressAt (at (420, 306));
    for (int step = 1; step <= 8; ++step)
    {
        pointer.moveTo (at (420 - 50 * step, 306));
        juce::MessageManager::getInstance()->runDispatchLoopUntil (5);
    }
    pointer.button (false);
    EXPECT_TRUE (playUntil (p, [&] { return time->getValue() < 0.02f; })) << "time " << time->getValue();
    const auto early = echoLag (p);
    EXPECT_GT (early, 480);
    EXPECT_LT (early, (int) (0.05 * 48000.0));

    pointer.moveTo ({ 1270, 790 });
    settleWindowSystem();
    p.editorBeingDeleted (editor.get());
    editor.reset();
    settleWindowSystem();
    p.releaseResources();
}
}

int main (int argc, char** argv)
{
    vyrTest::OwnConfigFolder configFolder ("vyr-e2e-tests");
    vyrTest::OwnHomeFolder home;

    ::testing::InitGoogleTest (&argc, argv);
    int result = 1;
    if (::testing::GTEST_FLAG (list_tests))
    {
        result = RUN_ALL_TESTS();
    }
    else
    {
        vyrTest::OwnXServer server; // sets DISPLAY before anything connects
        if (! server.isRunning())
        {
            std::fprintf (stderr, "%s\n", server.getError().c_str());
        }
        else
        {
            vyrTest::BareXServerAtoms atoms; // editors go on screen without a window manager
            juce::ScopedJuceInitialiser_GUI juceInit;
            result = RUN_ALL_TESTS();
        }
    }
    return result;
}
