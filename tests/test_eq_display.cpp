// The EQ editor's display model and band operations: the drawn response against the engines, the
// magnitude rules, the reference contour, band ids, the channel reset and the gain-range clamp.

#include <gtest/gtest.h>
#include "EqTestHelpers.h"
#include "ProcessorFixture.h"
#include "Dsp/EqEngine.h"
#include "Ui/EqEditor/EqBandDefaults.h"
#include "Ui/EqEditor/EqDisplayModel.h"
#include <cmath>
#include <map>

namespace
{
    constexpr double kSr = 48000.0;

    double dbAt (const vyrEq::Channel& ch, float f, bool enabled = true)
    {
        return vyrEq::displayDb (vyrEq::magAt (kSr, ch, enabled, f));
    }

    // A channel with every band off and `mids` active mid bands.
    vyrEq::Channel quietChannel (int bandCount)
    {
        vyrEq::State s;
        eqTest::allBandsOff (s, bandCount, false);
        return s.main;
    }

    // Counts change gestures per parameter ID.
    struct Gestures : juce::AudioProcessorListener
    {
        explicit Gestures (juce::AudioProcessor& p) : proc (p) { proc.addListener (this); }
        ~Gestures() override { proc.removeListener (this); }
        void audioProcessorParameterChanged (juce::AudioProcessor*, int, float) override {}
        void audioProcessorChanged (juce::AudioProcessor*, const ChangeDetails&) override {}
        void audioProcessorParameterChangeGestureBegin (juce::AudioProcessor*, int i) override { ++begins[idOf (i)]; }
        void audioProcessorParameterChangeGestureEnd (juce::AudioProcessor*, int i) override { ++ends[idOf (i)]; }
        juce::String idOf (int i) const { return dynamic_cast<juce::AudioProcessorParameterWithID*> (proc.getParameters()[i])->paramID; }
        int total() const
        {
            int n = 0;
            for (auto& kv : begins)
                n += kv.second;
            return n;
        }
        bool anyStartingWith (const juce::String& prefix) const
        {
            for (auto& kv : begins)
                if (kv.first.startsWith (prefix))
                    return true;
            return false;
        }
        juce::AudioProcessor& proc;
        std::map<juce::String, int> begins, ends;
    };
}

TEST (EqDisplayModel, MagnitudeRules)
{
    auto ch = quietChannel (8);
    EXPECT_EQ (vyrEq::magAt (kSr, ch, true, 1000.0f), 1.0f);   // every band off

    auto& bell = ch.mids[2];
    bell.on = true, bell.freq = 1000.0f, bell.gain = 6.0f, bell.q = 1.0f;
    EXPECT_NEAR (dbAt (ch, 1000.0f), 6.0, 0.01);
    EXPECT_EQ (vyrEq::magAt (kSr, ch, false, 1000.0f), 1.0f);  // module off: exactly 1

    // Proportional Q at 24 dB uses four times its Q: half-gain width matches a plain bell of Q 4.
    auto prop = quietChannel (8), wide = quietChannel (8);
    prop.mids[0] = wide.mids[0] = bell;
    prop.mids[0].gain = wide.mids[0].gain = 24.0f;
    prop.mids[0].shape = 1, wide.mids[0].q = 4.0f;
    EXPECT_NEAR (dbAt (prop, 1300.0f), dbAt (wide, 1300.0f), 1.0e-4);
    // Q below 0.05 behaves as 0.05; a mid below 2 Hz as 2 Hz.
    auto narrow = quietChannel (8), floorQ = quietChannel (8);
    narrow.mids[0] = floorQ.mids[0] = bell;
    narrow.mids[0].q = 0.001f, floorQ.mids[0].q = 0.05f;
    EXPECT_NEAR (dbAt (narrow, 300.0f), dbAt (floorQ, 300.0f), 1.0e-6);

    // Cuts: the slope sets the stage count (36 -> 3, 60 -> 4), the gain is ignored, below 20 Hz acts at 20.
    struct Cut
    {
        float slope;
        int stages;
    };
    for (const auto& c : { Cut { 12.0f, 1 }, Cut { 36.0f, 3 }, Cut { 48.0f, 4 }, Cut { 60.0f, 4 } })
    {
        auto lc = quietChannel (3);
        lc.low.on = true, lc.low.cut = true, lc.low.freq = 100.0f, lc.low.slope = c.slope, lc.low.gain = 12.0f;
        EXPECT_NEAR (dbAt (lc, 100.0f), c.stages * 20.0 * std::log10 (0.707), 0.02) << c.slope;
        auto hc = quietChannel (3);
        hc.high.on = true, hc.high.cut = true, hc.high.freq = 5000.0f, hc.high.slope = c.slope;
        EXPECT_NEAR (dbAt (hc, 5000.0f), c.stages * 20.0 * std::log10 (0.707), 0.03) << c.slope;
    }
    auto low5 = quietChannel (3), low20 = quietChannel (3);
    low5.low.on = low20.low.on = true;
    low5.low.gain = low20.low.gain = 6.0f;
    low5.low.freq = 5.0f, low20.low.freq = 20.0f;
    EXPECT_NEAR (dbAt (low5, 30.0f), dbAt (low20, 30.0f), 1.0e-6);

    // Shelves: full gain far out, half at the corner.
    auto sh = quietChannel (3);
    sh.high.on = true, sh.high.freq = 5000.0f, sh.high.gain = -6.0f;
    EXPECT_NEAR (dbAt (sh, 20000.0f), -6.0, 0.3);
    EXPECT_NEAR (dbAt (sh, 5000.0f), -3.0, 0.1);

    // A gain at or below -100 dB floors the linear gain rather than dividing by zero.
    auto deep = quietChannel (3);
    deep.mids[0].on = true, deep.mids[0].gain = -150.0f;
    EXPECT_TRUE (std::isfinite (dbAt (deep, 1000.0f)));
    EXPECT_LT (dbAt (deep, 1000.0f), -90.0);
}

TEST (EqDisplayModel, SoloCountsOnlyActiveBands)
{
    auto ch = quietChannel (4);   // two active mids
    ch.low.on = true, ch.low.gain = 6.0f, ch.low.freq = 200.0f;
    ch.mids[0].on = true, ch.mids[0].gain = 6.0f, ch.mids[0].freq = 2000.0f;
    ch.mids[4].solo = true;       // inactive: must not silence the others
    EXPECT_NEAR (dbAt (ch, 2000.0f), 6.0, 0.1);

    ch.low.solo = true;           // now only the low shelf shapes the response
    EXPECT_NEAR (dbAt (ch, 2000.0f), 0.0, 0.1);
    EXPECT_NEAR (dbAt (ch, 20.0f), 6.0, 0.2);
}

// What the graph draws is what the engines do: within 0.1 dB at every band's centre.
TEST (EqDisplayModel, CurveMatchesTheEnginesAtBandCentres)
{
    vyrEq::State s;
    eqTest::allBandsOff (s, 8, false);
    auto& ch = s.main;
    ch.low.on = true, ch.low.freq = 80.0f, ch.low.gain = 4.0f;
    ch.mids[0].on = true, ch.mids[0].freq = 250.0f, ch.mids[0].gain = -3.0f, ch.mids[0].q = 0.7f;
    ch.mids[1].on = true, ch.mids[1].freq = 1000.0f, ch.mids[1].gain = 6.0f, ch.mids[1].q = 1.0f;
    ch.mids[2].on = true, ch.mids[2].freq = 3000.0f, ch.mids[2].gain = 5.0f, ch.mids[2].q = 2.0f, ch.mids[2].shape = 1;
    ch.mids[3].on = true, ch.mids[3].freq = 6000.0f, ch.mids[3].gain = -4.0f, ch.mids[3].q = 1.5f, ch.mids[3].shape = 2;
    ch.high.on = true, ch.high.freq = 12000.0f, ch.high.gain = -2.5f;
    const float centres[] = { 80.0f, 250.0f, 1000.0f, 3000.0f, 6000.0f, 12000.0f };

    VyrParametricEQ peq;
    peq.prepare (kSr, 512);
    peq.state = s;
    eqTest::settle (peq, kSr);
    const auto h = eqTest::impulseResponse (peq, 1 << 15);
    for (float f : centres)
        EXPECT_NEAR (dbAt (ch, f), eqTest::responseDb (h, f, kSr), 0.1) << "parametric at " << f;

    // The dynamic EQ at ratio 1 is its static curve; its mids are bells.
    for (auto& m : ch.mids)
        m.shape = 0;
    VyrDynamicEQ deq;
    deq.prepare (kSr, 512);
    deq.state = s;
    deq.state.dynamic = true;
    eqTest::settle (deq, kSr);
    const auto hd = eqTest::impulseResponse (deq, 1 << 15);
    for (float f : centres)
        EXPECT_NEAR (dbAt (ch, f), eqTest::responseDb (hd, f, kSr), 0.1) << "dynamic at " << f;
}

TEST (EqDisplayModel, ContourAndBandIds)
{
    EXPECT_NEAR (vyrEq::fmContourDb (1000.0f, 0.0f), 0.0f, 1.0e-5f);
    EXPECT_NEAR (vyrEq::fmContourDb (20.0f, 0.0f), 24.352f, 1.0e-3f);
    EXPECT_NEAR (vyrEq::fmContourDb (20000.0f, 0.0f), 27.6f * 0.32f, 1.0e-3f);
    EXPECT_NEAR (vyrEq::fmContourDb (100.0f, 20.0f), (26.5f - 2.4f) * 0.32f * 0.88f, 1.0e-3f);
    EXPECT_NEAR (vyrEq::fmContourDb (100.0f, 150.0f), (26.5f - 2.4f) * 0.32f * 0.4f, 1.0e-3f);
    EXPECT_NEAR (vyrEq::fmContourDb (std::sqrt (1000.0f * 1250.0f), 0.0f), (2.4f + 3.5f) / 2.0f * 0.32f - 2.4f * 0.32f, 1.0e-3f);
    EXPECT_NEAR (vyrEq::fmContourDb (std::numeric_limits<float>::quiet_NaN(), 0.0f), 76.1f * 0.32f, 1.0e-3f);

    vyrEq::Channel ch;
    EXPECT_EQ (vyrEq::bandOf (ch, "low"), &ch.low);
    EXPECT_EQ (vyrEq::bandOf (ch, "high"), &ch.high);
    EXPECT_EQ (vyrEq::bandOf (ch, "mid5"), &ch.mids[5]);
    for (const char* id : { "mid6", "mid-1", "side", "" })
        EXPECT_EQ (vyrEq::bandOf (ch, id), nullptr) << id;
    EXPECT_EQ (vyrEq::bandStem ("mid3"), "m3");
    EXPECT_EQ (vyrEq::bandStem ("side"), "side");
    EXPECT_EQ (vyrEq::bandColour ("mid7"), juce::Colour (vyrEq::kMidCols[1]));
    EXPECT_EQ (vyrEq::bandColour ("low"), juce::Colour (0xff60a5fa));
    EXPECT_EQ (vyrEq::bandColour ("nope"), juce::Colour (0xffffffff));
}

TEST (EqBandDefaults, ResetSpreadsTheMidsByBandCount)
{
    const float table[5][6] = { { 1000, 1000, 1000, 1000, 1000, 1000 }, { 250, 4500, 20000, 20000, 20000, 20000 },
                                { 250, 1061, 4500, 19092, 20000, 20000 }, { 250, 655, 1717, 4500, 11793, 20000 },
                                { 250, 446, 794, 1416, 2524, 4500 } };
    auto p = vyrTest::makeProcessor (vyrProducts::eq);
    for (int row = 0; row < 5; ++row)
    {
        const int count = vyrEq::kCounts[row];
        vyrEq::resetChannel (p->apvts, false, false, count);
        for (int k = 0; k < 6; ++k)
            EXPECT_NEAR (vyrTest::param (*p, ("eq_m" + juce::String (k) + "Freq").toRawUTF8()), table[row][k], 0.5f)
                << count << " bands, m" << k;
    }
}

TEST (EqBandDefaults, ResetWritesOnlyTheEditedChannelsChangedFields)
{
    auto p = vyrTest::makeProcessor (vyrProducts::dynamicEq);
    vyrEq::resetChannel (p->apvts, true, false, 8);   // the layout defaults: nothing to write
    {
        Gestures g (*p);
        vyrEq::resetChannel (p->apvts, true, false, 8);
        vyrEq::resetChannel (p->apvts, true, true, 8);
        EXPECT_EQ (g.total(), 0);
    }
    vyrTest::setParam (*p, "dynamicEq_s_m1Gain", 5.0f);
    vyrTest::setParam (*p, "dynamicEq_s_highThresh", -10.0f);
    vyrTest::setParam (*p, "dynamicEq_m1Gain", 3.0f);
    Gestures g (*p);
    vyrEq::resetChannel (p->apvts, true, true, 8);
    EXPECT_EQ (g.begins["dynamicEq_s_m1Gain"], 1);
    EXPECT_EQ (g.ends["dynamicEq_s_m1Gain"], 1);
    EXPECT_EQ (g.begins["dynamicEq_s_highThresh"], 1);
    EXPECT_EQ (g.total(), 2);
    EXPECT_FLOAT_EQ (vyrTest::param (*p, "dynamicEq_m1Gain"), 3.0f);   // the main channel keeps its gain
    EXPECT_FLOAT_EQ (vyrTest::param (*p, "dynamicEq_s_highThresh"), -24.0f);
    EXPECT_FALSE (g.anyStartingWith ("dynamicEq_m"));

    // Non-finite frequencies leave the frequency alone; out-of-range ones land on the bound.
    vyrTest::setParam (*p, "dynamicEq_lowFreq", 300.0f);
    vyrEq::writeBandDefaults (p->apvts, true, false, "low", false, true, std::numeric_limits<float>::quiet_NaN());
    EXPECT_NEAR (vyrTest::param (*p, "dynamicEq_lowFreq"), 300.0f, 0.5f);
    vyrEq::writeBandDefaults (p->apvts, true, false, "low", false, true, 5.0f);
    EXPECT_NEAR (vyrTest::param (*p, "dynamicEq_lowFreq"), 20.0f, 0.01f);
}

TEST (EqBandDefaults, RangeChangeClampsBothChannelsInactiveMidsToo)
{
    auto p = vyrTest::makeProcessor (vyrProducts::eq);
    vyrTest::setParam (*p, "eq_m5Gain", 9.0f);      // inactive at three bands
    vyrTest::setParam (*p, "eq_s_lowGain", -10.0f);
    vyrTest::setParam (*p, "eq_highGain", 4.0f);
    {
        Gestures g (*p);
        vyrEq::applyGainRange (p->apvts, false, 2);   // "Full": already chosen, spans every gain
        EXPECT_EQ (g.total(), 0);
    }
    Gestures g (*p);
    vyrEq::applyGainRange (p->apvts, false, 0);
    EXPECT_FLOAT_EQ (vyrTest::param (*p, "eq_m5Gain"), 6.0f);
    EXPECT_FLOAT_EQ (vyrTest::param (*p, "eq_s_lowGain"), -6.0f);
    EXPECT_FLOAT_EQ (vyrTest::param (*p, "eq_highGain"), 4.0f);
    EXPECT_EQ (vyrTest::param (*p, "eq_gainRange"), 0.0f);
    EXPECT_EQ (g.total(), 3);
    EXPECT_EQ (g.begins["eq_highGain"], 0);
}
