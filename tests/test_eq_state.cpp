// Loading the EQ and multiband settings records from the parameter tree: band counts, defaults,
// fallbacks for missing or broken parameters, and the hand-over of a state across threads.

#include <gtest/gtest.h>
#include "EqTestHelpers.h"
#include "Model/EqState.h"
#include "Model/MbcState.h"
#include "Model/Parameters.h"
#include <cmath>
#include <functional>
#include <limits>
#include <thread>

namespace
{
    using Layout = juce::AudioProcessorValueTreeState::ParameterLayout;

    struct FullTree : eqTest::TreeHost
    {
        FullTree() : TreeHost (vyrCreateParameterLayout (vyrProducts::quarn)) {}
    };

    Layout unrelatedLayout()
    {
        Layout l;
        l.add (std::make_unique<juce::AudioParameterBool> (juce::ParameterID { "unrelated", 1 }, "Unrelated", false));
        return l;
    }

    const float kNaN = std::numeric_limits<float>::quiet_NaN();

    // A band whose every field differs from all defaults and fallbacks.
    vyrEq::Band sentinelBand()
    {
        vyrEq::Band b;
        b.freq = 123.0f;
        b.gain = -7.0f;
        b.q = 3.3f;
        b.slope = 36.0f;
        b.thresh = -11.0f;
        b.ratio = 5.0f;
        b.atk = 0.123f;
        b.rel = 0.456f;
        b.drive = 0.9f;
        b.shape = 3;
        b.cut = true;
        b.on = false;
        b.solo = true;
        b.sat = true;
        return b;
    }

    void fillChannel (vyrEq::Channel& ch, const vyrEq::Band& b)
    {
        ch.low = ch.high = b;
        for (auto& m : ch.mids)
            m = b;
    }
}

//==============================================================================
TEST (EqStateLoad, BandCountChoiceSetsBandCountAndBothMidCounts)
{
    struct Row { int index; int bandCount; int midCount; };
    const Row rows[] = { { 0, 3, 1 }, { 1, 4, 2 }, { 2, 5, 3 }, { 3, 6, 4 }, { 4, 8, 6 } };

    FullTree tree;
    for (bool dynamic : { false, true })
    {
        const vyrEq::ParamCache cache (tree.apvts, dynamic);
        for (const auto& r : rows)
        {
            tree.setPlain (dynamic ? "dynamicEq_bandCount" : "eq_bandCount", (float) r.index);
            vyrEq::State s;
            s.main.midCount = s.side.midCount = 99;
            vyrEq::loadState (cache, s);
            EXPECT_EQ (s.bandCount, r.bandCount) << r.index;
            EXPECT_EQ (s.main.midCount, r.midCount) << r.index;
            EXPECT_EQ (s.side.midCount, r.midCount) << r.index;
            EXPECT_EQ (s.dynamic, dynamic);
        }
    }
}

TEST (EqStateLoad, DefaultTreeGivesTheLayoutDefaults)
{
    FullTree tree;
    vyrEq::State eq, dyn;
    vyrEq::loadState (tree.apvts, eq, false);
    vyrEq::loadState (tree.apvts, dyn, true);

    for (const auto* s : { &eq, &dyn })
    {
        EXPECT_TRUE (s->enabled);
        EXPECT_FALSE (s->msMode);
        EXPECT_EQ (s->msChannel, 0);
        EXPECT_EQ (s->gainRange, 2);
        EXPECT_FLOAT_EQ (s->mix, 100.0f);
    }
    EXPECT_EQ (eq.bandCount, 3);
    EXPECT_EQ (dyn.bandCount, 4);

    const float mids[6] = { 250, 446, 794, 1416, 2524, 4500 };
    for (const auto* ch : { &eq.main, &eq.side, &dyn.main, &dyn.side })
    {
        EXPECT_FLOAT_EQ (ch->low.freq, 200.0f);
        EXPECT_FLOAT_EQ (ch->high.freq, 5000.0f);
        for (int i = 0; i < 6; ++i)
        {
            EXPECT_FLOAT_EQ (ch->mids[i].freq, mids[i]);
            EXPECT_FLOAT_EQ (ch->mids[i].q, 1.0f);
            EXPECT_TRUE (ch->mids[i].on);
        }
        // The edge bands have no Q parameter: a load leaves them with the fallback 1.
        EXPECT_FLOAT_EQ (ch->low.q, 1.0f);
        EXPECT_FLOAT_EQ (ch->low.slope, 12.0f);
        EXPECT_FALSE (ch->high.cut);
    }
    EXPECT_FLOAT_EQ (dyn.main.mids[0].thresh, -24.0f);
    EXPECT_FLOAT_EQ (dyn.side.high.ratio, 1.0f);
    EXPECT_FLOAT_EQ (dyn.main.low.drive, 0.3f);
}

TEST (EqStateLoad, EveryParameterReachesItsFieldThroughTheCache)
{
    FullTree tree;
    const vyrEq::ParamCache eqCache (tree.apvts, false), dynCache (tree.apvts, true);

    struct Row
    {
        const char* id;
        float plain;
        bool dynamic;
        std::function<float (const vyrEq::State&)> field;
        float expected;
    };
    const Row rows[] = {
        { "eq_enabled", 0.0f, false, [] (const vyrEq::State& s) { return (float) s.enabled; }, 0.0f },
        { "eq_msMode", 1.0f, false, [] (const vyrEq::State& s) { return (float) s.msMode; }, 1.0f },
        { "eq_msChannel", 1.0f, false, [] (const vyrEq::State& s) { return (float) s.msChannel; }, 1.0f },
        { "eq_gainRange", 0.0f, false, [] (const vyrEq::State& s) { return (float) s.gainRange; }, 0.0f },
        { "eq_mix", 42.0f, false, [] (const vyrEq::State& s) { return s.mix; }, 42.0f },
        { "eq_lowGain", -3.5f, false, [] (const vyrEq::State& s) { return s.main.low.gain; }, -3.5f },
        { "eq_m3Q", 2.5f, false, [] (const vyrEq::State& s) { return s.main.mids[3].q; }, 2.5f },
        { "eq_m5Shape", 4.0f, false, [] (const vyrEq::State& s) { return (float) s.main.mids[5].shape; }, 4.0f },
        { "eq_s_highSlope", 3.0f, false, [] (const vyrEq::State& s) { return s.side.high.slope; }, 48.0f },
        { "eq_s_lowSlope", 1.0f, false, [] (const vyrEq::State& s) { return s.side.low.slope; }, 24.0f },
        { "eq_s_lowCut", 1.0f, false, [] (const vyrEq::State& s) { return (float) s.side.low.cut; }, 1.0f },
        { "eq_s_m2Freq", 3000.0f, false, [] (const vyrEq::State& s) { return s.side.mids[2].freq; }, 3000.0f },
        { "eq_s_m2Solo", 1.0f, false, [] (const vyrEq::State& s) { return (float) s.side.mids[2].solo; }, 1.0f },
        { "dynamicEq_s_m0Thresh", -30.0f, true, [] (const vyrEq::State& s) { return s.side.mids[0].thresh; }, -30.0f },
        { "dynamicEq_highRatio", 4.0f, true, [] (const vyrEq::State& s) { return s.main.high.ratio; }, 4.0f },
        { "dynamicEq_m1Atk", 0.05f, true, [] (const vyrEq::State& s) { return s.main.mids[1].atk; }, 0.05f },
        { "dynamicEq_lowRel", 0.5f, true, [] (const vyrEq::State& s) { return s.main.low.rel; }, 0.5f },
        { "dynamicEq_s_highSat", 1.0f, true, [] (const vyrEq::State& s) { return (float) s.side.high.sat; }, 1.0f },
        { "dynamicEq_m4Drive", 0.75f, true, [] (const vyrEq::State& s) { return s.main.mids[4].drive; }, 0.75f },
        { "dynamicEq_m4On", 0.0f, true, [] (const vyrEq::State& s) { return (float) s.main.mids[4].on; }, 0.0f },
    };

    for (const auto& r : rows)
    {
        tree.setPlain (r.id, r.plain);
        vyrEq::State s;
        vyrEq::loadState (r.dynamic ? dynCache : eqCache, s);
        EXPECT_NEAR (r.field (s), r.expected, 1.0e-4f) << r.id;
    }
}

TEST (EqStateLoad, MissingParametersFallBack)
{
    eqTest::TreeHost tree (unrelatedLayout());
    for (bool dynamic : { false, true })
    {
        vyrEq::State s;
        s.enabled = false;
        s.msMode = true;
        s.msChannel = 1;
        s.bandCount = 8;
        s.gainRange = 0;
        s.mix = 12.0f;
        fillChannel (s.main, sentinelBand());
        fillChannel (s.side, sentinelBand());
        vyrEq::loadState (tree.apvts, s, dynamic);

        EXPECT_TRUE (s.enabled);
        EXPECT_FALSE (s.msMode);
        EXPECT_EQ (s.msChannel, 0);
        EXPECT_EQ (s.bandCount, dynamic ? 4 : 3);
        EXPECT_EQ (s.main.midCount, dynamic ? 2 : 1);
        EXPECT_EQ (s.gainRange, 2);
        EXPECT_FLOAT_EQ (s.mix, 100.0f);

        for (const auto* b : { &s.main.low, &s.main.mids[2], &s.side.high })
        {
            const bool edge = b != &s.main.mids[2];
            EXPECT_FLOAT_EQ (b->freq, 123.0f);   // keeps its value
            EXPECT_FLOAT_EQ (b->gain, -7.0f);    // keeps its value
            EXPECT_TRUE (b->on);
            EXPECT_FALSE (b->solo);
            EXPECT_FLOAT_EQ (b->q, 1.0f);
            EXPECT_EQ (b->shape, dynamic ? 3 : 0);                 // a dynamic load never touches the shape
            EXPECT_FLOAT_EQ (b->slope, edge ? 12.0f : 36.0f);    // only edge bands read slope and cut
            EXPECT_EQ (b->cut, ! edge);
            EXPECT_FLOAT_EQ (b->thresh, dynamic ? -24.0f : -11.0f);   // a parametric load never touches
            EXPECT_FLOAT_EQ (b->ratio, dynamic ? 1.0f : 5.0f);        // the dynamic fields
            EXPECT_FLOAT_EQ (b->atk, dynamic ? 0.01f : 0.123f);
            EXPECT_FLOAT_EQ (b->rel, dynamic ? 0.2f : 0.456f);
            EXPECT_FLOAT_EQ (b->drive, dynamic ? 0.3f : 0.9f);
            EXPECT_EQ (b->sat, ! dynamic);
        }
    }
}

TEST (EqStateLoad, NonFiniteValuesFallBack)
{
    FullTree tree;
    const vyrEq::ParamCache cache (tree.apvts, true);
    for (const char* suffix : { "Freq", "Gain", "Q", "Thresh", "Ratio", "Atk", "Rel", "Drive", "On" })
        tree.apvts.getRawParameterValue (juce::String ("dynamicEq_m1") + suffix)->store (kNaN);
    tree.apvts.getRawParameterValue ("dynamicEq_mix")->store (std::numeric_limits<float>::infinity());
    tree.apvts.getRawParameterValue ("dynamicEq_bandCount")->store (kNaN);

    vyrEq::State s;
    s.main.mids[1] = sentinelBand();
    vyrEq::loadState (cache, s);
    const auto& b = s.main.mids[1];
    EXPECT_FLOAT_EQ (b.freq, 123.0f);
    EXPECT_FLOAT_EQ (b.gain, -7.0f);
    EXPECT_FLOAT_EQ (b.q, 1.0f);
    EXPECT_FLOAT_EQ (b.thresh, -24.0f);
    EXPECT_FLOAT_EQ (b.ratio, 1.0f);
    EXPECT_FLOAT_EQ (b.atk, 0.01f);
    EXPECT_FLOAT_EQ (b.rel, 0.2f);
    EXPECT_FLOAT_EQ (b.drive, 0.3f);
    EXPECT_TRUE (b.on);
    EXPECT_FLOAT_EQ (s.mix, 100.0f);
    EXPECT_EQ (s.bandCount, 4);
}

TEST (EqStateLoad, ChoiceThatIsNotAChoiceParameterFallsBack)
{
    Layout l;
    l.add (std::make_unique<juce::AudioParameterFloat> (juce::ParameterID { "eq_bandCount", 1 }, "Bands", 0.0f, 10.0f, 4.0f));
    l.add (std::make_unique<juce::AudioParameterFloat> (juce::ParameterID { "eq_lowSlope", 1 }, "Slope", 0.0f, 10.0f, 3.0f));
    l.add (std::make_unique<juce::AudioParameterChoice> (juce::ParameterID { "eq_highSlope", 1 }, "Slope",
                                                         juce::StringArray { "a", "b", "c", "d", "e", "f", "g" }, 6));
    eqTest::TreeHost tree (std::move (l));

    vyrEq::State s;
    vyrEq::loadState (tree.apvts, s, false);
    EXPECT_EQ (s.bandCount, 3);
    EXPECT_FLOAT_EQ (s.main.low.slope, 12.0f);
    EXPECT_FLOAT_EQ (s.main.high.slope, 48.0f);   // index 6 is limited to 0..3
}

TEST (EqStateRules, WhichBandsSound)
{
    vyrEq::Channel ch;
    vyrEq::initDefaults (ch, 6, false);   // four active mids
    ch.mids[5].solo = true;               // inactive: does not solo the channel
    EXPECT_FALSE (vyrEq::isSoloed (ch));
    EXPECT_TRUE (vyrEq::lowSounds (ch));
    EXPECT_TRUE (vyrEq::midSounds (ch, 3));
    EXPECT_FALSE (vyrEq::midSounds (ch, 4));
    EXPECT_FALSE (vyrEq::midSounds (ch, 5));

    ch.high.solo = true;
    EXPECT_TRUE (vyrEq::isSoloed (ch));
    EXPECT_TRUE (vyrEq::highSounds (ch));
    EXPECT_FALSE (vyrEq::lowSounds (ch));
    EXPECT_FALSE (vyrEq::midSounds (ch, 0));

    ch.high.on = false;
    EXPECT_FALSE (vyrEq::highSounds (ch));
}

TEST (EqStateRules, InitDefaultsSpreadsTheMidsOnALogScale)
{
    struct Row { int bandCount; int midCount; float mids[6]; };
    const Row rows[] = {
        { 3, 1, { 1000, 1000, 1000, 1000, 1000, 1000 } },
        { 4, 2, { 250, 4500, 81000, 1458000, 26244000, 472392000 } },
        { 5, 3, { 250, 1061, 4500, 19092, 81000, 343650 } },
        { 6, 4, { 250, 655, 1717, 4500, 11793, 30906 } },
        { 8, 6, { 250, 446, 794, 1416, 2524, 4500 } },
    };
    for (const auto& r : rows)
    {
        vyrEq::Channel ch;
        ch.low.gain = 5.0f;
        ch.mids[0].solo = true;
        vyrEq::initDefaults (ch, r.bandCount, true);
        EXPECT_EQ (ch.midCount, r.midCount);
        EXPECT_FLOAT_EQ (ch.low.freq, 200.0f);
        EXPECT_FLOAT_EQ (ch.low.q, 0.707f);
        EXPECT_FLOAT_EQ (ch.low.gain, 0.0f);
        EXPECT_FLOAT_EQ (ch.high.freq, 5000.0f);
        EXPECT_FALSE (ch.mids[0].solo);
        for (int i = 0; i < std::min (r.midCount + 1, 6); ++i)
            EXPECT_NEAR (ch.mids[i].freq, r.mids[i], r.mids[i] * 1.0e-6f) << r.bandCount << " mid " << i;
    }
}

TEST (EqStateHandOver, ReaderSeesWholeStatesOnly)
{
    vyrEq::StateHandOver box;
    vyrEq::State out;
    EXPECT_FALSE (box.read (out));

    // Every published state carries the same number in several fields; a torn copy would mix two.
    // The writer waits (bounded) for a read after every batch, so reads overlap the writes however the
    // machine schedules the two threads.
    constexpr int kWrites = 200000, kBatch = 500;
    std::atomic<bool> done { false };
    std::atomic<int> reads { 0 };
    std::thread writer ([&]
    {
        vyrEq::State s;
        for (int i = 1; i <= kWrites; ++i)
        {
            s.mix = (float) i;
            s.main.low.freq = (float) i;
            s.side.high.gain = (float) i;
            box.publish (s);
            // Each batch waits for one read, bounded per batch (not for the whole run), so a loaded
            // machine that starves the reader for a while still gets a read into every batch.
            if (i % kBatch == 0)
            {
                const auto deadline = juce::Time::getMillisecondCounter() + 5000;
                for (const int seen = reads.load(); reads.load() == seen && juce::Time::getMillisecondCounter() < deadline;)
                    std::this_thread::yield();
            }
        }
        done = true;
    });

    int torn = 0, readsWhileWriting = 0;
    float last = 0.0f;
    bool backwards = false;
    while (! done.load())
    {
        if (box.read (out))
        {
            ++readsWhileWriting;
            torn += (out.mix != out.main.low.freq || out.mix != out.side.high.gain) ? 1 : 0;
            backwards = backwards || out.mix < last;
            last = out.mix;
            reads.fetch_add (1);
        }
    }
    writer.join();
    EXPECT_GE (readsWhileWriting, kWrites / kBatch) << "the reader ran alongside the writer";
    ASSERT_TRUE (box.read (out));
    EXPECT_EQ (torn, 0);
    EXPECT_FALSE (backwards);
    EXPECT_FLOAT_EQ (out.mix, (float) kWrites);
}

//==============================================================================
TEST (MbcStateLoad, MissingParametersGiveTheFallbacks)
{
    eqTest::TreeHost tree (unrelatedLayout());
    vyrMbc::State s;
    s.enabled = true;
    s.bandCount = 2;
    s.msMode = true;
    s.msChannel = 1;
    s.globalMakeup = 5.0f;
    s.mix = 10.0f;
    for (auto& b : s.side)
        b = { false, true, -1.0f, 9.0f, 0.2f, 0.9f, 1.0f, 3.0f };
    vyrMbc::loadState (tree.apvts, s);

    EXPECT_FALSE (s.enabled);
    EXPECT_EQ (s.bandCount, 4);
    EXPECT_FALSE (s.msMode);
    EXPECT_EQ (s.msChannel, 0);
    EXPECT_FLOAT_EQ (s.globalMakeup, 0.0f);
    EXPECT_FLOAT_EQ (s.mix, 100.0f);
    const float xo[4] = { 343, 980, 2800, 3454 };
    for (int k = 0; k < 4; ++k)
        EXPECT_FLOAT_EQ (s.xover[k], xo[k]);
    for (const auto* set : { s.mid, s.side })
    {
        for (int b = 0; b < 5; ++b)
        {
            EXPECT_TRUE (set[b].on);
            EXPECT_FALSE (set[b].solo);
            EXPECT_FLOAT_EQ (set[b].thresh, -18.0f);
            EXPECT_FLOAT_EQ (set[b].ratio, 2.5f);
            EXPECT_FLOAT_EQ (set[b].atk, 0.01f);
            EXPECT_FLOAT_EQ (set[b].rel, 0.15f);
            EXPECT_FLOAT_EQ (set[b].knee, 6.0f);
            EXPECT_FLOAT_EQ (set[b].makeup, 0.0f);
        }
    }
}

TEST (MbcStateLoad, DefaultPlacementAndConstructedState)
{
    const float four[4] = { 343, 980, 2800, 3454 };
    for (int k = 0; k < 4; ++k)
        EXPECT_FLOAT_EQ (vyrMbc::defaultCrossover (k, 4), four[k]);

    // A record that has never been loaded carries the parameter's default as its fourth crossover.
    vyrMbc::State s;
    EXPECT_FLOAT_EQ (s.xover[3], 3454.0f);
    EXPECT_FALSE (s.enabled);
    EXPECT_EQ (s.bandCount, 4);
}

TEST (MbcStateLoad, ParametersReachTheirFields)
{
    FullTree tree;
    const vyrMbc::ParamCache cache (tree.apvts);

    struct Row { int bandIndex; int bands; };
    for (const Row r : { Row { 0, 1 }, Row { 1, 2 }, Row { 3, 4 }, Row { 4, 5 } })
    {
        tree.setPlain ("multiBandComp_bandCount", (float) r.bandIndex);
        vyrMbc::State s;
        vyrMbc::loadState (cache, s);
        EXPECT_EQ (s.bandCount, r.bands);
    }

    tree.setPlain ("multiBandComp_enabled", 1.0f);
    tree.setPlain ("multiBandComp_msMode", 1.0f);
    tree.setPlain ("multiBandComp_msChannel", 1.0f);
    tree.setPlain ("multiBandComp_globalMakeup", 4.5f);
    tree.setPlain ("multiBandComp_mix", 60.0f);
    tree.setPlain ("multiBandComp_x2", 1500.0f);
    tree.setPlain ("multiBandComp_s_b2Thresh", -33.0f);
    tree.setPlain ("multiBandComp_b0Solo", 1.0f);
    tree.setPlain ("multiBandComp_b4Makeup", 6.0f);
    tree.setPlain ("multiBandComp_s_b1On", 0.0f);
    tree.setPlain ("multiBandComp_b3Ratio", 8.0f);

    vyrMbc::State s;
    vyrMbc::loadState (cache, s);
    EXPECT_TRUE (s.enabled);
    EXPECT_TRUE (s.msMode);
    EXPECT_EQ (s.msChannel, 1);
    EXPECT_FLOAT_EQ (s.globalMakeup, 4.5f);
    EXPECT_FLOAT_EQ (s.mix, 60.0f);   // stays in percent
    EXPECT_NEAR (s.xover[2], 1500.0f, 0.5f);
    EXPECT_FLOAT_EQ (s.side[2].thresh, -33.0f);
    EXPECT_FLOAT_EQ (s.mid[2].thresh, -18.0f);
    EXPECT_TRUE (s.mid[0].solo);
    EXPECT_NEAR (s.mid[4].makeup, 6.0f, 0.05f);
    EXPECT_FALSE (s.side[1].on);
    EXPECT_TRUE (s.mid[1].on);
    EXPECT_FLOAT_EQ (s.mid[3].ratio, 8.0f);
}

TEST (MbcStateLoad, NonFiniteValuesFallBack)
{
    FullTree tree;
    const vyrMbc::ParamCache cache (tree.apvts);
    tree.apvts.getRawParameterValue ("multiBandComp_mix")->store (kNaN);
    tree.apvts.getRawParameterValue ("multiBandComp_x1")->store (std::numeric_limits<float>::infinity());
    tree.apvts.getRawParameterValue ("multiBandComp_b2Thresh")->store (kNaN);
    tree.apvts.getRawParameterValue ("multiBandComp_bandCount")->store (kNaN);

    vyrMbc::State s;
    vyrMbc::loadState (cache, s);
    EXPECT_FLOAT_EQ (s.mix, 100.0f);
    EXPECT_FLOAT_EQ (s.xover[1], 980.0f);
    EXPECT_FLOAT_EQ (s.mid[2].thresh, -18.0f);
    EXPECT_EQ (s.bandCount, 4);
}
