// The processor object: products, buses, preparation, block processing and the bypass crossfade.
#include <gtest/gtest.h>
#include "ProcessorFixture.h"
#include "AllocationGuard.h"
#include <thread>

using vyrTest::makeProcessor;
using vyrTest::prepare;
using vyrTest::setParam;

TEST (Products, NamesModulesTailsAndListeners)
{
    struct Case { int product; const char* name; const char* module; const char* hosted; double tail; int listeners; };
    const Case cases[] = {
        { 0, "Tolvaren", "chain", "", 4.0, 7 },
        { 1, "VYR Compressor", "compressor", "compressor_enabled", 4.0, 5 },
        { 3, "VYR Saturation", "saturation", "saturation_enabled", 4.0, 5 },
        { 5, "VYR Clip Distortion", "clip", "clip_enabled", 4.0, 5 },
        { 12, "VYR Stereo Imager", "stereoImager", "stereoImager_enabled", 4.0, 5 },
        { 13, "VYR Tovu", "tovu", "tovu_enabled", 4.0, 5 },
        { 14, "VYR Signal Utility", "signalUtility", "", 0.0, 4 },
        { 15, "VYR Quarn", "chain", "", 4.0, 46 },
        { 16, "Tolvaren", "chain", "", 4.0, 4 },
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.product);
        VyrAudioProcessor p (c.product);
        EXPECT_EQ (p.getName(), c.name);
        EXPECT_EQ (VyrAudioProcessor::productModuleId (c.product), c.module);
        EXPECT_EQ (p.hostedModuleId, c.hosted);
        EXPECT_DOUBLE_EQ (p.getTailLengthSeconds(), c.tail);
        EXPECT_EQ (p.numListenedParameters(), c.listeners);
        EXPECT_TRUE (p.acceptsMidi());
        EXPECT_FALSE (p.producesMidi());
        EXPECT_EQ (p.getNumPrograms(), 1);
        EXPECT_EQ (p.getLatencySamples(), 0);
        EXPECT_EQ (p.getBypassParameter(), p.apvts.getParameter ("bypass"));
        EXPECT_EQ (p.utilEnabled.load(), c.product == 14);
        for (const auto* lane : { &p.section.autoFx, &p.section.autoIn, &p.section.autoOut })
        {
            ASSERT_EQ (lane->size(), 2u);
            EXPECT_EQ ((*lane)[0].t, 0.0f);
            EXPECT_EQ ((*lane)[1].t, 1.0f);
            EXPECT_EQ ((*lane)[1].value, 0.0f);
        }
    }
}

TEST (Products, BusLayouts)
{
    VyrAudioProcessor p;
    auto layout = [] (juce::AudioChannelSet in, juce::AudioChannelSet out)
    {
        juce::AudioProcessor::BusesLayout l;
        l.inputBuses.add (in);
        l.outputBuses.add (out);
        return l;
    };
    using S = juce::AudioChannelSet;
    EXPECT_TRUE (p.checkBusesLayoutSupported (layout (S::mono(), S::mono())));
    EXPECT_TRUE (p.checkBusesLayoutSupported (layout (S::stereo(), S::stereo())));
    EXPECT_FALSE (p.checkBusesLayoutSupported (layout (S::mono(), S::stereo())));
    EXPECT_FALSE (p.checkBusesLayoutSupported (layout (S::disabled(), S::stereo())));
    EXPECT_FALSE (p.checkBusesLayoutSupported (layout (S::create5point1(), S::create5point1())));
}

namespace
{
// Samples a ramp takes to reach a new target.
int rampLength (juce::SmoothedValue<float, juce::ValueSmoothingTypes::Linear> s)
{
    s.setTargetValue (s.getCurrentValue() + 1.0f);
    int n = 0;
    while (s.isSmoothing() && n < 100000)
    {
        s.getNextValue();
        ++n;
    }
    return n;
}
}

TEST (Processor, PrepareSetsRatesRampsAndBypassState)
{
    {
        VyrAudioProcessor p;
        prepare (p, 0.0, 512);
        EXPECT_DOUBLE_EQ (p.hostSampleRate, 0.0);
        EXPECT_DOUBLE_EQ (p.meters.sampleRate, 44100.0);
        EXPECT_DOUBLE_EQ (p.live.sampleRate.load(), 44100.0);
        EXPECT_DOUBLE_EQ (p.live.hopLength.load(), 11025.0);
        EXPECT_EQ (p.dryBuffer.getNumSamples(), 512);
        EXPECT_EQ (rampLength (p.spaceSmooth.values[0]), 25);
        EXPECT_EQ (rampLength (p.energySmooth.values[0]), 32);
        p.releaseResources();
    }
    {
        VyrAudioProcessor p;
        setParam (p, "bypass", 1.0f);
        prepare (p, 48000.0, 512);
        EXPECT_FLOAT_EQ (p.bypassFade, 1.0f);
        EXPECT_DOUBLE_EQ (p.live.hopLength.load(), 12000.0);
        EXPECT_EQ (rampLength (p.spaceSmooth.values[3]), 1200);
        EXPECT_EQ (rampLength (p.effectSmooth), 1536);
        EXPECT_TRUE (p.spaceSmooth.ready && p.energySmooth.ready && p.effectSmoothReady);
        p.releaseResources();
    }
}

TEST (Processor, BypassCrossfadeIsEqualPowerOverTenMilliseconds)
{
    // Two identical processors see the same input; one is bypassed mid-stream. During the fade its
    // output must be the other's processed output times cos a plus the dry input times sin a, the
    // dry input delayed by the latency the plug-in reports so both stay aligned.
    VyrAudioProcessor faded, reference;
    prepare (faded, 44100.0, 512);
    prepare (reference, 44100.0, 512);
    const int latency = faded.liveChain.getLatencySamples();
    EXPECT_EQ (latency, faded.getLatencySamples());
    juce::AudioBuffer<float> a (2, 512), b (2, 512), dry (2, 512), input (2, 512);
    juce::MidiBuffer midi;
    int t = 0;
    auto signal = [] (int ch, int n) { return n < 0 ? 0.0f : 0.4f * std::sin (0.05f * (float) n) + (ch == 0 ? 0.1f * std::sin (0.31f * (float) n) : 0.0f); };
    auto run = [&]
    {
        for (int ch = 0; ch < 2; ++ch)
            for (int i = 0; i < 512; ++i)
            {
                input.setSample (ch, i, signal (ch, t + i));
                dry.setSample (ch, i, signal (ch, t + i - latency));
            }
        t += 512;
        a.makeCopyOf (input);
        b.makeCopyOf (input);
        faded.processBlock (a, midi);
        reference.processBlock (b, midi);
    };
    run();
    run();

    const float step = 1.0f / (44100.0f * 0.01f);
    auto expectFade = [&] (float start, float target)
    {
        float fade = start;
        for (int i = 0; i < 512; ++i)
        {
            fade = target > fade ? std::min (target, fade + step) : std::max (target, fade - step);
            const float g = fade * juce::MathConstants<float>::halfPi;
            for (int ch = 0; ch < 2; ++ch)
                ASSERT_NEAR (a.getSample (ch, i), b.getSample (ch, i) * std::cos (g) + dry.getSample (ch, i) * std::sin (g), 1.0e-5f)
                    << "sample " << i;
        }
    };

    setParam (faded, "bypass", 1.0f);
    run();
    expectFade (0.0f, 1.0f);
    EXPECT_FLOAT_EQ (faded.bypassFade, 1.0f) << "441 samples fade fully within one 512 block";

    run(); // fully bypassed: the input passes, delayed by the reported latency
    for (int i = 0; i < 512; ++i)
        ASSERT_EQ (a.getSample (0, i), dry.getSample (0, i));

    setParam (faded, "bypass", 0.0f);
    run();
    // The chain of the bypassed processor was idle for a block, so compare against the dry-only
    // part of the fade where the processed share is zero (the first sample) and the end state.
    EXPECT_LE (faded.bypassFade, 0.00001f);
}

TEST (Processor, CrossfadeGainsAreEqualPower)
{
    // At 1 kHz a fade lasts ten samples; with processed and dry alike (a transparent chain for a
    // signal the DC blocker and the limiter leave alone is not available, so compare with a twin).
    VyrAudioProcessor faded, reference;
    prepare (faded, 1000.0, 1);
    prepare (reference, 1000.0, 1);
    const int latency = faded.liveChain.getLatencySamples();
    juce::AudioBuffer<float> a (2, 1), b (2, 1);
    juce::MidiBuffer midi;
    setParam (faded, "bypass", 1.0f);
    auto signal = [] (int n) { return n < 0 ? 0.0f : 0.3f * std::sin (0.7f * (float) n); };
    for (int i = 0; i < 12; ++i)
    {
        const float x = signal (i);
        const float delayed = signal (i - latency);
        for (int ch = 0; ch < 2; ++ch)
            a.setSample (ch, 0, x), b.setSample (ch, 0, x);
        faded.processBlock (a, midi);
        reference.processBlock (b, midi);
        const float fade = std::min (1.0f, 0.1f * (float) (i + 1));
        const float g = fade * juce::MathConstants<float>::halfPi;
        if (fade < 0.999f)
            EXPECT_NEAR (a.getSample (0, 0), b.getSample (0, 0) * std::cos (g) + delayed * std::sin (g), 1.0e-5f) << i;
    }
    EXPECT_GE (faded.bypassFade, 0.999f);
}

namespace
{
struct FakePlayHead : juce::AudioPlayHead
{
    juce::AudioPlayHead::PositionInfo info;
    bool present = true;
    juce::Optional<PositionInfo> getPosition() const override
    {
        if (! present)
            return {};
        return info;
    }
};
}

TEST (Playhead, TempoPositionLoopWindowAndPunch)
{
    VyrAudioProcessor p;
    setParam (p, "liveAnalysis", 2.0f);
    prepare (p, 48000.0, 512);
    FakePlayHead ph;
    ph.info.setIsPlaying (true);
    ph.info.setBpm (120.0);
    ph.info.setPpqPosition (8.0);
    p.setPlayHead (&ph);
    juce::AudioBuffer<float> buf (2, 512);
    juce::MidiBuffer midi;
    p.processBlock (buf, midi);
    EXPECT_EQ (p.blockStartSamples, 192000);
    EXPECT_TRUE (p.hostPositionKnown);
    EXPECT_TRUE (p.hostPlaying.load());
    EXPECT_EQ (p.armStartSamples.load(), 192000);

    ph.info.setIsLooping (true);
    ph.info.setLoopPoints (juce::AudioPlayHead::LoopPoints { 4.0, 8.0 });
    ph.info.setPpqPosition (5.0);
    p.processBlock (buf, midi);
    EXPECT_EQ (p.punchStart.load(), 96000);
    EXPECT_EQ (p.punchEnd.load(), 192000);
    EXPECT_EQ (p.playheadSamples.load(), 120000);
    p.setPlayHead (nullptr);
}

TEST (Playhead, SecondsWhileLoopingUseTheOwnCounterModuloTheLoop)
{
    VyrAudioProcessor p;
    prepare (p, 48000.0, 4800);
    FakePlayHead ph;
    ph.info.setIsPlaying (true);
    ph.info.setIsLooping (true);
    ph.info.setBpm (120.0);
    ph.info.setLoopPoints (juce::AudioPlayHead::LoopPoints { 4.0, 8.0 });   // 96000 samples
    ph.info.setTimeInSeconds (3.0);
    p.setPlayHead (&ph);
    juce::AudioBuffer<float> buf (2, 4800);
    juce::MidiBuffer midi;
    std::vector<std::int64_t> starts;
    for (int i = 0; i < 22; ++i)
    {
        p.processBlock (buf, midi);
        starts.push_back (p.blockStartSamples);
        EXPECT_FALSE (p.hostPositionKnown);
    }
    EXPECT_EQ (starts[0], 0);
    EXPECT_EQ (starts[19], 91200);
    EXPECT_EQ (starts[20], 0) << "96000 wraps to 0";
    EXPECT_EQ (starts[21], 4800);
    p.setPlayHead (nullptr);
}

TEST (Playhead, FrozenPositionFallsBackToTheOwnCounterOnTheNinthBlock)
{
    VyrAudioProcessor p;
    prepare (p, 44100.0, 256);
    FakePlayHead ph;
    ph.info.setIsPlaying (true);
    ph.info.setTimeInSamples (5000);
    p.setPlayHead (&ph);
    juce::AudioBuffer<float> buf (2, 256);
    juce::MidiBuffer midi;
    for (int i = 0; i < 8; ++i)
    {
        p.processBlock (buf, midi);
        EXPECT_EQ (p.blockStartSamples, 5000) << i;
        EXPECT_TRUE (p.hostPositionKnown);
    }
    p.processBlock (buf, midi);
    EXPECT_EQ (p.blockStartSamples, 0);
    EXPECT_FALSE (p.hostPositionKnown);
    p.processBlock (buf, midi);
    EXPECT_EQ (p.blockStartSamples, 256);
    p.setPlayHead (nullptr);
}

TEST (Playhead, StoppedButAdvancingCountsAsPlayingAndNoPlayheadUsesTheCounter)
{
    VyrAudioProcessor p;
    prepare (p, 44100.0, 512);
    FakePlayHead ph;
    ph.info.setIsPlaying (false);
    ph.info.setTimeInSamples (1000);
    p.setPlayHead (&ph);
    juce::AudioBuffer<float> buf (2, 512);
    juce::MidiBuffer midi;
    p.processBlock (buf, midi);
    EXPECT_FALSE (p.blockPlaying);
    ph.info.setTimeInSamples (1512);
    p.processBlock (buf, midi);
    EXPECT_TRUE (p.blockPlaying);
    ph.info.setTimeInSamples (1600);
    p.processBlock (buf, midi);
    EXPECT_FALSE (p.blockPlaying) << "less than half a block";

    ph.present = false;
    p.processBlock (buf, midi);
    EXPECT_FALSE (p.hostPositionKnown);
    EXPECT_EQ (p.blockStartSamples, 1600) << "the counter holds while stopped";
    p.setPlayHead (nullptr);
}

TEST (GeneratorProduct, BypassPassesInputAndSignalComesFromTheGenerator)
{
    auto p = makeProcessor (14, juce::AudioProcessor::wrapperType_VST3);
    prepare (*p, 48000.0, 64);
    juce::AudioBuffer<float> buf (2, 64);
    juce::MidiBuffer midi;
    setParam (*p, "bypass", 1.0f);   // switches the generator off and passes the input
    EXPECT_FALSE (p->utilEnabled.load());
    for (int i = 0; i < 64; ++i)
        buf.setSample (0, i, 0.25f), buf.setSample (1, i, -0.25f);
    p->processBlock (buf, midi);
    EXPECT_FLOAT_EQ (buf.getSample (0, 10), 0.25f);
    EXPECT_FLOAT_EQ (buf.getSample (1, 10), -0.25f);

    setParam (*p, "bypass", 0.0f);   // generator back on: the block is the generator's output
    EXPECT_TRUE (p->utilEnabled.load());
}

TEST (Processor, AudioThreadDoesNotAllocate)
{
    for (int product : { 15, 0, 3, 14 })
    {
        VyrAudioProcessor p (product);
        prepare (p, 48000.0, 512);
        juce::AudioBuffer<float> buf (2, 4096);
        juce::MidiBuffer midi;
        midi.ensureSize (256);
        midi.addEvent (juce::MidiMessage::controllerEvent (1, 20, 64), 0);
        juce::Random rng (3);
        for (int block = 0; block < 50; ++block)
        {
            const int n = block == 7 ? 4096 : 1 + rng.nextInt (512);   // one block longer than prepared
            for (int ch = 0; ch < 2; ++ch)
                for (int i = 0; i < n; ++i)
                    buf.setSample (ch, i, rng.nextFloat() - 0.5f);
            juce::AudioBuffer<float> view (buf.getArrayOfWritePointers(), 2, n);
            if (block == 20)
                setParam (p, "bypass", 1.0f);
            if (block == 30)
                setParam (p, "bypass", 0.0f);
            vyrTest::AllocationGuard guard;
            p.processBlock (view, midi);
            ASSERT_EQ (guard.count(), 0) << "product " << product << " block " << block;
            ASSERT_EQ (guard.waits(), 0) << "product " << product << " block " << block;
            ASSERT_EQ (guard.posts(), 0) << "product " << product << " block " << block;
        }
    }
}

TEST (Processor, SurvivesWhatHostsDo)
{
    VyrAudioProcessor p;
    juce::MidiBuffer midi;
    juce::Random rng (11);
    std::atomic<bool> running { true };

    // Another thread moves automatable parameters while blocks run.
    std::thread mover ([&]
    {
        juce::Random r (5);
        const char* ids[] = { "masterTrim", "quarn_toneAng", "quarn_spaceRad", "limiter_mix", "eq_mix", "bypass", "mono" };
        while (running.load())
        {
            auto* param = p.apvts.getParameter (ids[r.nextInt (7)]);
            param->setValueNotifyingHost (r.nextFloat());
            std::this_thread::yield();
        }
    });

    juce::MemoryBlock state;
    p.getStateInformation (state);
    const double rates[] = { 22050.0, 44100.0, 48000.0, 96000.0, 192000.0 };
    juce::AudioBuffer<float> buf (2, 8192);
    for (double sr : rates)
    {
        prepare (p, sr, 1 + rng.nextInt (2048));
        for (int block = 0; block < 60; ++block)
        {
            const int n = 1 + rng.nextInt (8192);
            juce::AudioBuffer<float> view (buf.getArrayOfWritePointers(), 2, n);
            for (int ch = 0; ch < 2; ++ch)
                for (int i = 0; i < n; ++i)
                    view.setSample (ch, i, (rng.nextFloat() - 0.5f) * 2.0f);
            if (block % 17 == 5)
                p.setStateInformation (state.getData(), (int) state.getSize());
            p.processBlock (view, midi);
            for (int ch = 0; ch < 2; ++ch)
                for (int i = 0; i < n; ++i)
                    ASSERT_TRUE (std::isfinite (view.getSample (ch, i)));
        }
        p.releaseResources();
    }
    running = false;
    mover.join();
}

TEST (Processor, EditorOpensAtTheEditionSize)
{
    VyrAudioProcessor p;
    std::unique_ptr<juce::AudioProcessorEditor> editor (p.createEditor());
    ASSERT_NE (editor, nullptr);
    EXPECT_EQ (editor->getWidth(), 1168);
    EXPECT_EQ (editor->getHeight(), 720);
    auto snapshot = editor->createComponentSnapshot (editor->getLocalBounds());
    EXPECT_TRUE (snapshot.isValid());
    p.editorBeingDeleted (editor.get());
}

TEST (Processor, HostWithoutABlockSizeGetsFullSizedPieces)
{
    VyrAudioProcessor p;
    prepare (p, 48000.0, 0);
    EXPECT_EQ (p.dryBuffer.getNumSamples(), 4096);
    juce::AudioBuffer<float> b (2, 1000);
    b.clear();
    juce::MidiBuffer midi;
    vyrTest::AllocationGuard guard;
    p.processBlock (b, midi);
    EXPECT_EQ (guard.count(), 0);
}
