// The faster paths of the engines against their earlier implementations (tests/reference): the same
// sound at defaults and at heavy settings within each approximation's stated bound, no larger step
// when a module is switched on or off mid-signal, and the fast curves within their stated errors.

#include <gtest/gtest.h>
#include "ReferenceCompare.h"
#include "EqTestHelpers.h"
#include "Dsp/DspCommon.h"
#include "Dsp/EqEngine.h"
#include "reference/RefEqEngine.h"
#include <functional>

using vyrReferenceCompare::compare;
using vyrReferenceCompare::program;

namespace
{
    constexpr double sr = 48000.0;

    // A sine at a level and frequency whose own sample steps are small, so a switching click shows.
    juce::AudioBuffer<float> lowSine (double seconds)
    {
        juce::AudioBuffer<float> b (2, (int) (sr * seconds));
        vyrTestSignals::fillSine (b, 0, 110.0, sr, 0.5f);
        vyrTestSignals::fillSine (b, 1, 110.0, sr, 0.4f, 0.3);
        return b;
    }
}

//==============================================================================
TEST (FastCurves, StayWithinTheirStatedErrors)
{
    // Each bound is the stated error plus the float rounding the function cannot avoid: of its result
    // (absolute bounds) or of its scaled argument (relative bounds), as the comments state them.
    struct Case
    {
        const char* name;
        std::function<double (float)> fast, exact;
        float from, to;
        bool relative;
        double bound, perUnit;   // allowed error: bound + perUnit x |result| (absolute) or x |x| (relative)
    };
    const Case cases[] = {
        { "log2", [] (float x) { return (double) vyrDsp::fastLog2 (x); }, [] (float x) { return std::log2 ((double) x); }, 1.0e-9f, 1.0e4f, false, 2.0e-7, 1.2e-7 },
        { "gain to dB", [] (float x) { return (double) vyrDsp::fastGainToDb (x); }, [] (float x) { return 20.0 * std::log10 ((double) x); }, 1.0e-9f, 1.0e4f, false, 1.2e-6, 1.2e-7 },
        { "exp2", [] (float x) { return (double) vyrDsp::fastExp2 (x); }, [] (float x) { return std::exp2 ((double) x); }, -120.0f, 120.0f, true, 3.0e-7, 0.0 },
        { "exp", [] (float x) { return (double) vyrDsp::fastExp (x); }, [] (float x) { return std::exp ((double) x); }, -80.0f, 80.0f, true, 4.0e-7, 1.2e-7 },
        { "dB to gain", [] (float x) { return (double) vyrDsp::fastDbToGain (x); }, [] (float x) { return std::pow (10.0, x / 20.0); }, -300.0f, 300.0f, true, 4.0e-7, 2.0e-8 },
        { "tanh", [] (float x) { return (double) vyrDsp::fastTanh (x); }, [] (float x) { return std::tanh ((double) x); }, -20.0f, 20.0f, false, 4.0e-7, 0.0 },
    };
    for (const auto& c : cases)
    {
        double worstExcess = -1.0;
        float worstAt = 0.0f;
        const bool logScale = c.from > 0.0f;
        constexpr int steps = 200000;
        for (int i = 0; i <= steps; ++i)
        {
            const double t = (double) i / steps;
            const float x = logScale ? (float) (c.from * std::pow ((double) c.to / c.from, t)) : (float) (c.from + (c.to - c.from) * t);
            const double e = c.exact (x), f = c.fast (x);
            const double err = c.relative ? std::abs (f - e) / std::abs (e) : std::abs (f - e);
            const double allowed = c.bound + c.perUnit * (c.relative ? std::abs ((double) x) : std::abs (e));
            if (err - allowed > worstExcess)
            {
                worstExcess = err - allowed;
                worstAt = x;
            }
        }
        EXPECT_LT (worstExcess, 0.0) << c.name << " at " << worstAt;
    }
    // The copies written for vector loops give the very same values over their ranges.
    struct Copy
    {
        const char* name;
        float (*lanes) (float);
        float (*original) (float);
        float from, to;
    };
    const Copy copies[] = {
        { "exp2 of x >= 0", vyrDsp::exp2NonNegative, vyrDsp::exp2InRange, 0.0f, 126.0f },
        { "exp2 of x <= 0", vyrDsp::exp2NonPositive, vyrDsp::exp2InRange, -126.0f, 0.0f },
        { "tanh", vyrDsp::fastTanhLanes, vyrDsp::fastTanh, -30.0f, 30.0f },
    };
    for (const auto& c : copies)
    {
        int mismatches = 0;
        constexpr int steps = 252000;   // every half-integer of the ranges is a grid point
        for (int i = 0; i <= steps; ++i)
        {
            const float x = (float) (c.from + (double) (c.to - c.from) * i / steps);
            const float a = c.lanes (x), b = c.original (x);
            mismatches += std::memcmp (&a, &b, sizeof (a)) != 0;
        }
        for (float x : { c.from, c.to, -0.0f, 0.0f, 0.5f, -0.5f })
        {
            if (x < std::min (c.from, c.to) || x > std::max (c.from, c.to))
                continue;
            const float a = c.lanes (x), b = c.original (x);
            mismatches += std::memcmp (&a, &b, sizeof (a)) != 0;
        }
        EXPECT_EQ (mismatches, 0) << c.name;
    }
    EXPECT_TRUE (std::isnan (vyrDsp::fastTanhLanes (std::numeric_limits<float>::quiet_NaN())));
    EXPECT_TRUE (std::isnan (vyrDsp::fastTanh (std::numeric_limits<float>::quiet_NaN())));
    EXPECT_EQ (vyrDsp::fastTanh (1.0e6f), 1.0f);
    EXPECT_EQ (vyrDsp::fastTanh (-1.0e6f), -1.0f);
}

//==============================================================================
namespace
{
    // Eight bands with both cuts in mid/side, every mid band boosted or cut.
    void heavyParametric (vyrEq::State& s)
    {
        s.enabled = true;
        s.msMode = true;
        s.bandCount = 8;
        s.mix = 100.0f;
        for (auto* ch : { &s.main, &s.side })
        {
            vyrEq::initDefaults (*ch, 8, false);
            ch->low.cut = ch->high.cut = true;
            ch->low.slope = ch->high.slope = 48.0f;
            ch->low.freq = 30.0f;
            ch->high.freq = 18000.0f;
            for (int k = 0; k < 6; ++k)
            {
                ch->mids[k].gain = k % 2 == 0 ? 4.0f : -3.0f;
                ch->mids[k].q = 1.2f;
            }
        }
    }

    // Left/right with shelves, some bands at 0 dB and a partial mix.
    void shelvesHalfWet (vyrEq::State& s)
    {
        s.enabled = true;
        s.msMode = false;
        s.bandCount = 5;
        s.mix = 60.0f;
        for (auto* ch : { &s.main, &s.side })
        {
            vyrEq::initDefaults (*ch, 5, false);
            ch->low.gain = 3.0f;
            ch->high.gain = -2.0f;
            ch->mids[1].gain = 5.0f;
        }
    }
}

TEST (FastPathsParametricEq, SoundsAsBefore)
{
    const auto input = program (sr, 1.5);
    struct Case { const char* name; void (*setup) (vyrEq::State&); };
    const Case cases[] = { { "defaults", nullptr }, { "heavy mid/side", &heavyParametric }, { "shelves, 60 % wet", &shelvesHalfWet } };
    for (const auto& c : cases)
    {
        VyrParametricEQ fresh;
        vyrRef::VyrParametricEQ old;
        fresh.prepare (sr, 512);
        old.prepare (sr, 512);
        if (c.setup != nullptr)
        {
            c.setup (fresh.state);
            c.setup (old.state);
        }
        EXPECT_LT (compare (fresh, old, input).diffDb, -80.0) << c.name;
    }
}

TEST (FastPathsParametricEq, GlidingBandsAmongSettledAsBefore)
{
    // Settled sections run together, a gliding one alone in its place: bands glide now and then in
    // the middle of the chain, in both channel modes.
    const auto input = program (sr, 1.5);
    for (bool ms : { true, false })
    {
        VyrParametricEQ fresh;
        vyrRef::VyrParametricEQ old;
        fresh.prepare (sr, 512);
        old.prepare (sr, 512);
        heavyParametric (fresh.state);
        heavyParametric (old.state);
        const auto r = compare (fresh, old, input, 512, [ms] (auto& e, int block)
        {
            e.state.msMode = ms;
            e.state.main.mids[2].gain = (block / 10) % 2 == 0 ? 6.0f : -4.0f;
            e.state.side.mids[0].freq = (block / 7) % 2 == 0 ? 300.0f : 900.0f;
        });
        EXPECT_LT (r.diffDb, -80.0) << (ms ? "mid/side" : "left/right");
    }
}

TEST (FastPathsParametricEq, SwitchingFadesLikeBefore)
{
    // A band that boosts the tone by 9 dB makes the fade between dry and wet large.
    const auto input = lowSine (1.2);
    VyrParametricEQ fresh;
    vyrRef::VyrParametricEQ old;
    fresh.prepare (sr, 256);
    old.prepare (sr, 256);
    for (auto* s : { &fresh.state, &old.state })
    {
        s->main.mids[0].freq = 110.0f;
        s->main.mids[0].gain = 9.0f;
    }
    const auto r = compare (fresh, old, input, 256, [] (auto& e, int block)
    {
        if (block == 20) e.state.enabled = false;
        if (block == 50) e.state.enabled = true;
    });
    // The sections start from silence when the module comes back (they stood still while it was
    // off), so only the fade, not the output, is compared.
    EXPECT_LE (r.newLargestStep, r.oldLargestStep * 1.02 + 1.0e-6);
}

//==============================================================================
namespace
{
    // Eight bands compressing hard in mid/side with band saturation.
    void heavyDynamic (vyrEq::State& s)
    {
        s.enabled = true;
        s.msMode = true;
        s.bandCount = 8;
        s.mix = 100.0f;
        for (auto* ch : { &s.main, &s.side })
        {
            vyrEq::initDefaults (*ch, 8, true);
            for (auto* b : { &ch->low, &ch->mids[0], &ch->mids[1], &ch->mids[2], &ch->mids[3], &ch->mids[4], &ch->mids[5], &ch->high })
            {
                b->thresh = -40.0f;
                b->ratio = 4.0f;
                b->gain = 2.0f;
                b->sat = true;
                b->drive = 0.5f;
            }
        }
    }

    // Left/right, three bands: one compressing, one boosting at ratio 1, one at 0 dB and ratio 1.
    void mixedDynamic (vyrEq::State& s)
    {
        s.enabled = true;
        s.msMode = false;
        s.bandCount = 5;
        s.mix = 80.0f;
        for (auto* ch : { &s.main, &s.side })
        {
            vyrEq::initDefaults (*ch, 5, true);
            ch->mids[0].ratio = 3.0f;
            ch->mids[0].thresh = -35.0f;
            ch->low.gain = 3.0f;
        }
    }
}

namespace
{
    // Left/right, every band compressing hard with saturation.
    void heavyLeftRight (vyrEq::State& s)
    {
        heavyDynamic (s);
        s.msMode = false;
    }

    // Thresholds and ratios of two bands move every few blocks, so the nodes go from ramping to
    // settled and back.
    void movingBands (vyrEq::State& s, int block)
    {
        const bool up = (block / 7) % 2 == 1;
        s.main.low.thresh = up ? -30.0f : -40.0f;
        s.side.mids[2].ratio = up ? 2.0f : 4.0f;
        s.main.mids[4].gain = up ? -3.0f : 2.0f;
    }
}

TEST (FastPathsDynamicEq, SoundsAsBefore)
{
    // The level detector's fast logarithm and the section's fast gain are within about 1e-6 dB of
    // the exact ones, and the saturation's fast tanh within 4e-7: the outputs stay far below -80 dB
    // of difference at defaults. When bands compress, such a tiny change in the envelope can move a
    // section redesign (taken every 0.03 dB of gain change) by a sample, after which both follow
    // equally valid sequences of designs up to 0.03 dB apart: below -65 dB of difference.
    const auto stereoInput = program (sr, 1.5);
    juce::AudioBuffer<float> monoInput (1, stereoInput.getNumSamples());
    monoInput.copyFrom (0, 0, stereoInput, 0, 0, stereoInput.getNumSamples());
    struct Case
    {
        const char* name;
        void (*setup) (vyrEq::State&);
        void (*perBlock) (vyrEq::State&, int);
        const juce::AudioBuffer<float>* input;
        double bound;
    };
    const Case cases[] = {
        { "defaults", nullptr, nullptr, &stereoInput, -80.0 },
        { "heavy mid/side", &heavyDynamic, nullptr, &stereoInput, -65.0 },
        { "mixed bands", &mixedDynamic, nullptr, &stereoInput, -65.0 },
        { "heavy, one channel", &heavyLeftRight, nullptr, &monoInput, -65.0 },
        { "heavy mid/side, settings moving", &heavyDynamic, &movingBands, &stereoInput, -65.0 },
    };
    for (const auto& c : cases)
    {
        VyrDynamicEQ fresh;
        vyrRef::VyrDynamicEQ old;
        fresh.prepare (sr, 512);
        old.prepare (sr, 512);
        if (c.setup != nullptr)
        {
            c.setup (fresh.state);
            c.setup (old.state);
        }
        const auto r = compare (fresh, old, *c.input, 512, [&c] (auto& e, int block)
        {
            if (c.perBlock != nullptr)
                c.perBlock (e.state, block);
        });
        EXPECT_LT (r.diffDb, c.bound) << c.name;
        RecordProperty (c.name, juce::String (r.diffDb, 1).toStdString());
    }
}

TEST (FastPathsDynamicEq, SwitchingFadesLikeBefore)
{
    const auto input = lowSine (1.2);
    VyrDynamicEQ fresh;
    vyrRef::VyrDynamicEQ old;
    fresh.prepare (sr, 256);
    old.prepare (sr, 256);
    for (auto* s : { &fresh.state, &old.state })
    {
        s->main.low.gain = 6.0f;
        s->main.low.freq = 200.0f;
    }
    const auto r = compare (fresh, old, input, 256, [] (auto& e, int block)
    {
        if (block == 20) e.state.enabled = false;
        if (block == 50) e.state.enabled = true;
    });
    EXPECT_LE (r.newLargestStep, r.oldLargestStep * 1.02 + 1.0e-6);
    EXPECT_LT (r.diffDb, -60.0);
}

//==============================================================================
// The other engines: each against its earlier implementation, on at its defaults and at heavy
// settings, then switched off and on again mid-signal.
#include "Dsp/AnalogueDensity.h"
#include "Dsp/Clipper.h"
#include "Dsp/Tape.h"
#include "Dsp/MbcEngine.h"
#include "Dsp/Delay.h"
#include "Dsp/Imager.h"
#include "Dsp/Tovu.h"
#include "Dsp/LaneEq.h"
#include "Dsp/ReverbEngine.h"
#include "reference/RefAnalogueDensity.h"
#include "reference/RefClipper.h"
#include "reference/RefTape.h"
#include "reference/RefMbcEngine.h"
#include "reference/RefDelay.h"
#include "reference/RefImager.h"
#include "reference/RefTovu.h"
#include "reference/RefLaneEq.h"
#include "reference/RefReverbEngine.h"

namespace
{
    // Runs one engine pair on program material with `setup` applied to both before prepare, and
    // returns the difference relative to the signal.
    template <typename NewEngine, typename OldEngine, typename Setup>
    double programDiffDb (Setup&& setup, int blockSize = 512)
    {
        static const auto input = program (sr, 1.5);
        auto fresh = std::make_unique<NewEngine>();
        auto old = std::make_unique<OldEngine>();
        setup (*fresh);
        setup (*old);
        fresh->prepare (sr, blockSize);
        old->prepare (sr, blockSize);
        setup (*fresh);
        setup (*old);
        return compare (*fresh, *old, input, blockSize).diffDb;
    }

    // The same on one channel (the left of the program material).
    template <typename NewEngine, typename OldEngine, typename Setup>
    double monoDiffDb (Setup&& setup)
    {
        static const auto stereo = program (sr, 1.5);
        juce::AudioBuffer<float> input (1, stereo.getNumSamples());
        input.copyFrom (0, 0, stereo, 0, 0, stereo.getNumSamples());
        auto fresh = std::make_unique<NewEngine>();
        auto old = std::make_unique<OldEngine>();
        fresh->prepare (sr, 512);
        old->prepare (sr, 512);
        setup (*fresh);
        setup (*old);
        return compare (*fresh, *old, input, 512).diffDb;
    }

    // The same with `perBlock (engine, blockIndex)` applied to both before every block.
    template <typename NewEngine, typename OldEngine, typename Setup, typename PerBlock>
    double programDiffDbMoving (Setup&& setup, PerBlock&& perBlock, int blockSize = 512)
    {
        static const auto input = program (sr, 1.5);
        auto fresh = std::make_unique<NewEngine>();
        auto old = std::make_unique<OldEngine>();
        setup (*fresh);
        setup (*old);
        fresh->prepare (sr, blockSize);
        old->prepare (sr, blockSize);
        setup (*fresh);
        setup (*old);
        return compare (*fresh, *old, input, blockSize, perBlock).diffDb;
    }

    // Switches the engine off at block 20 and on at block 50 of a low sine; returns both largest steps.
    template <typename NewEngine, typename OldEngine, typename Setup, typename SetEnabled>
    vyrReferenceCompare::Result switching (Setup&& setup, SetEnabled&& setEnabled)
    {
        const auto input = lowSine (1.2);
        auto fresh = std::make_unique<NewEngine>();
        auto old = std::make_unique<OldEngine>();
        setup (*fresh);
        setup (*old);
        fresh->prepare (sr, 256);
        old->prepare (sr, 256);
        setup (*fresh);
        setup (*old);
        return compare (*fresh, *old, input, 256, [&] (auto& e, int block)
        {
            if (block == 20) setEnabled (e, false);
            if (block == 50) setEnabled (e, true);
        });
    }

    constexpr auto enable = [] (auto& e, bool on) { e.enabled = on; };
}

TEST (FastPathsEngines, SoundAsBefore)
{
    // The fast tanh and exponential are within 4e-7 of the exact curves and the multiband's fast
    // level and gain within 1.2e-6 dB and 4e-7 + 2e-8 x |dB|: every engine stays below -80 dB of
    // difference, at its defaults and at heavy settings alike.
    struct Case { const char* name; std::function<double()> run; };
    const Case cases[] = {
        { "density defaults", [] { return programDiffDb<VyrAnalogueDensity, vyrRef::VyrAnalogueDensity> ([] (auto& e) { e.enabled = true; }); } },
        { "density heavy", [] { return programDiffDb<VyrAnalogueDensity, vyrRef::VyrAnalogueDensity> ([] (auto& e) {
              e.enabled = true; e.density = 60.0f; e.triode = 5.0f; e.pentode = 5.0f; e.saturation = 5.0f; e.mix = 1.0f; }); } },
        { "density gliding", [] { return programDiffDbMoving<VyrAnalogueDensity, vyrRef::VyrAnalogueDensity> ([] (auto& e) {
              e.enabled = true; e.satIn = true; e.saturation = 6.0f; e.triode = 5.0f; e.pentode = 5.0f; e.mix = 1.0f; },
              [] (auto& e, int block) { e.density = (block & 1) ? 80.0f : -40.0f; }); } },
        { "density alt tube", [] { return programDiffDb<VyrAnalogueDensity, vyrRef::VyrAnalogueDensity> ([] (auto& e) {
              e.enabled = true; e.altTube = true; e.saturation = 8.0f; e.mix = 0.7f; e.inputGain = 6.0f; }); } },
        { "clipper defaults", [] { return programDiffDb<VyrClipper, vyrRef::VyrClipper> ([] (auto& e) { e.enabled = true; }); } },
        { "clipper heavy", [] { return programDiffDb<VyrClipper, vyrRef::VyrClipper> ([] (auto& e) {
              e.enabled = true; e.drive = 24.0f; e.symmetry = 30.0f; e.mix = 1.0f; }); } },
        { "tape defaults", [] { return programDiffDb<VyrTape, vyrRef::VyrTape> ([] (auto& e) { e.enabled = true; }); } },
        { "tape heavy", [] { return programDiffDb<VyrTape, vyrRef::VyrTape> ([] (auto& e) {
              e.enabled = true; e.drive = 1.0f; e.saturation = 1.0f; e.mix = 1.0f; }); } },
        { "multiband defaults", [] { return programDiffDb<VyrMultibandComp, vyrRef::VyrMultibandComp> ([] (auto& e) { e.state.enabled = true; }); } },
        { "multiband heavy", [] { return programDiffDb<VyrMultibandComp, vyrRef::VyrMultibandComp> ([] (auto& e) {
              e.state.enabled = true; e.state.msMode = true; e.state.bandCount = 5;
              for (auto* set : { e.state.mid, e.state.side })
                  for (int b = 0; b < 5; ++b) { set[b].thresh = -40.0f; set[b].ratio = 4.0f; } }); } },
        { "multiband one channel", [] { return monoDiffDb<VyrMultibandComp, vyrRef::VyrMultibandComp> ([] (auto& e) {
              e.state.enabled = true; e.state.bandCount = 5;
              for (int b = 0; b < 5; ++b) { e.state.mid[b].thresh = -40.0f; e.state.mid[b].ratio = 4.0f; } }); } },
        { "multiband settings moving", [] { return programDiffDbMoving<VyrMultibandComp, vyrRef::VyrMultibandComp> ([] (auto& e) {
              e.state.enabled = true; e.state.msMode = true; e.state.bandCount = 5;
              for (auto* set : { e.state.mid, e.state.side })
                  for (int b = 0; b < 5; ++b) { set[b].thresh = -40.0f; set[b].ratio = 4.0f; } },
              [] (auto& e, int block) {
                  const bool up = (block / 7) % 2 == 1;
                  e.state.mid[1].thresh = up ? -30.0f : -40.0f;
                  e.state.side[3].ratio = up ? 2.0f : 4.0f;
                  e.state.mid[4].makeup = up ? 3.0f : 0.0f; }); } },
        { "delay", [] { return programDiffDb<VyrDelay, vyrRef::VyrDelay> ([] (auto& e) { e.enabled = true; e.mix = 0.5f; e.feedback = 0.7f; }); } },
        { "imager", [] { return programDiffDb<VyrImager, vyrRef::VyrImager> ([] (auto& e) { e.enabled = true; e.width = 2.0f; }); } },
        { "bass mono", [] { return programDiffDb<VyrTovu, vyrRef::VyrTovu> ([] (auto& e) { e.enabled = true; e.width = 1.0f; }); } },
        { "lane EQ flat", [] { return programDiffDb<VyrQuarnLaneEq, vyrRef::VyrQuarnLaneEq> ([] (auto& e) { e.eqAng = 0.0f; }); } },
        { "lane EQ turned", [] { return programDiffDb<VyrQuarnLaneEq, vyrRef::VyrQuarnLaneEq> ([] (auto& e) { e.eqAng = 0.3f; }); } },
        { "reverb", [] { return programDiffDb<VyrReverbEngine, vyrRef::VyrReverbEngine> ([] (auto& e) {
              auto p = e.getParams(); p.enabled = true; p.shape = 2; p.mix = 0.4f; e.setParams (p); }); } },
    };
    for (const auto& c : cases)
        EXPECT_LT (c.run(), -80.0) << c.name;
}

TEST (FastPathsEngines, SwitchingFadesLikeBefore)
{
    // Modules that stand still while off start from silence when they come back, so only the size of
    // the largest step is compared with the earlier implementation's fade.
    struct Case { const char* name; std::function<vyrReferenceCompare::Result()> run; };
    const Case cases[] = {
        { "multiband", [] { return switching<VyrMultibandComp, vyrRef::VyrMultibandComp> (
              [] (auto& e) { e.state.enabled = true; e.state.mid[0].thresh = -30.0f; e.state.mid[0].ratio = 4.0f; },
              [] (auto& e, bool on) { e.state.enabled = on; }); } },
        { "delay", [] { return switching<VyrDelay, vyrRef::VyrDelay> ([] (auto& e) { e.enabled = true; e.mix = 0.8f; e.time = 0.05f; }, enable); } },
        { "imager", [] { return switching<VyrImager, vyrRef::VyrImager> ([] (auto& e) { e.enabled = true; e.width = 3.0f; e.direction = 30.0f; }, enable); } },
        { "bass mono", [] { return switching<VyrTovu, vyrRef::VyrTovu> ([] (auto& e) { e.enabled = true; e.width = 1.0f; e.frequency = 300.0f; }, enable); } },
        { "reverb", [] { return switching<VyrReverbEngine, vyrRef::VyrReverbEngine> (
              [] (auto& e) { auto p = e.getParams(); p.enabled = true; p.mix = 0.8f; p.decay = 0.3f; e.setParams (p); },
              [] (auto& e, bool on) { auto p = e.getParams(); p.enabled = on; e.setParams (p); }); } },
    };
    for (const auto& c : cases)
    {
        const auto r = c.run();
        EXPECT_LE (r.newLargestStep, r.oldLargestStep * 1.02 + 1.0e-6) << c.name;
    }
}

TEST (FastPathsReverb, HeavyAndMovingAsBefore)
{
    // The reverb's tank works a run of samples at a time (each run no longer than the shortest line), so
    // cover what moves the run boundaries: the room size and predelay crossfades, the gliding reflection
    // spacing, short blocks, a low rate where the lines are only tens of samples long, and freeze.
    struct Case { const char* name; double rate; int block; bool freezeLater; float size; float radical; };
    const Case cases[] = {
        { "X-Large moving, 512", sr, 512, false, 0.9f, 1.0f },
        { "X-Large moving, 64", 44100.0, 64, false, 0.9f, 1.0f },
        { "small room at 2 kHz", 2000.0, 128, false, 0.0f, 0.0f },
        { "freezing", sr, 256, true, 0.5f, 0.5f },
    };
    for (const auto& c : cases)
    {
        const auto input = program (c.rate, 1.5);
        VyrReverbEngine fresh;
        vyrRef::VyrReverbEngine old;
        fresh.prepare (c.rate, c.block);
        old.prepare (c.rate, c.block);
        const auto r = compare (fresh, old, input, c.block, [&c] (auto& e, int block)
        {
            auto p = e.getParams();
            p.enabled = true;
            p.shape = 2;
            p.mix = 0.5f;
            p.decay = 8.0f;
            p.radicalness = c.radical;
            const bool flip = (block & 1) == 0;
            p.size = p.erSize = flip ? c.size : c.size * 0.6f;
            p.predelay = flip ? 120.0f : 80.0f;
            p.freeze = c.freezeLater && block > 60;
            e.setParams (p);
        });
        EXPECT_LT (r.diffDb, -80.0) << c.name;
    }
}

#include "Dsp/LimiterEngine.h"
#include "reference/RefLimiterEngine.h"

namespace
{
    // The limiter's heaviest work: 8x oversampling, the longest lookahead, dither with the longest noise
    // shaper and the Warm colour, limiting deep.
    template <typename Limiter>
    void heavyLimiter (Limiter& e, int factor)
    {
        e.oversampling = factor;
        e.truePeak = true;
        e.lookahead = 20.0f;
        e.inputGain = 12.0f;
        e.ceiling = -1.0f;
        e.stylePos = 3.0f;
        e.releaseMode = 1;
        e.dither = 1;
        e.noiseShape = 3;
    }

    // The new limiter against the old one on `input` in blocks of `blockSize`, set up per block.
    template <typename Setup>
    double limiterDiffDb (const juce::AudioBuffer<float>& input, int blockSize, Setup setup)
    {
        VyrLimiter fresh;
        vyrRef::VyrLimiter old;
        fresh.prepare (sr, blockSize);
        old.prepare (sr, blockSize);
        return compare (fresh, old, input, blockSize, setup).diffDb;
    }

    juce::AudioBuffer<float> monoProgram()
    {
        const auto stereo = program (sr, 1.5);
        juce::AudioBuffer<float> mono (1, stereo.getNumSamples());
        mono.copyFrom (0, 0, stereo, 0, 0, stereo.getNumSamples());
        return mono;
    }
}

TEST (FastPathsLimiter, SoundsAsBefore)
{
    struct Case { const char* name; std::function<double()> run; };
    const Case cases[] = {
        { "defaults", [] { return programDiffDb<VyrLimiter, vyrRef::VyrLimiter> ([] (auto& e) { e.inputGain = 6.0f; }); } },
        { "2x unlinked", [] { return programDiffDb<VyrLimiter, vyrRef::VyrLimiter> ([] (auto& e) {
              heavyLimiter (e, 2); e.stereoLink = 0.0f; e.releaseMode = 0; e.releaseShape = 2; }); } },
        { "4x mid/side, half mix", [] { return programDiffDb<VyrLimiter, vyrRef::VyrLimiter> ([] (auto& e) {
              heavyLimiter (e, 4); e.msMode = true; e.mix = 0.5f; }); } },
        { "8x", [] { return programDiffDb<VyrLimiter, vyrRef::VyrLimiter> ([] (auto& e) { heavyLimiter (e, 8); }); } },
        { "8x, 64-sample blocks", [] { return programDiffDb<VyrLimiter, vyrRef::VyrLimiter> ([] (auto& e) { heavyLimiter (e, 8); }, 64); } },
        { "off, gains moving", [] { return programDiffDb<VyrLimiter, vyrRef::VyrLimiter> ([] (auto& e) {
              e.enabled = false; e.inputGain = -3.0f; e.outputGain = -2.0f; }); } },
        { "8x, every ramp moving, 1024-sample blocks", [] { return programDiffDbMoving<VyrLimiter, vyrRef::VyrLimiter> (
              [] (auto& e) { heavyLimiter (e, 8); e.releaseMode = 0; e.releaseShape = 0; },
              [] (auto& e, int block) {
                  e.ceiling = (block & 1) ? -3.0f : -0.5f;
                  e.release = (block & 2) ? 0.2f : 0.01f;
                  e.stylePos = (float) (block % 5);
                  e.mix = (block & 4) ? 0.6f : 1.0f;
                  e.inputGain = (block & 1) ? 9.0f : 14.0f;
                  e.outputGain = (block & 2) ? -1.0f : 0.0f; }, 1024); } },
        { "1x, shortest lookahead, unlinked, moving", [] { return programDiffDbMoving<VyrLimiter, vyrRef::VyrLimiter> (
              [] (auto& e) { e.inputGain = 10.0f; e.stereoLink = 0.0f; e.releaseShape = 2; },
              [] (auto& e, int block) { e.ceiling = (block & 1) ? -2.0f : -0.1f; e.stylePos = (float) (block % 3); }); } },
        { "mono, 4x, colour moving", [] {
              return limiterDiffDb (monoProgram(), 512, [] (auto& e, int block)
              {
                  heavyLimiter (e, 4);
                  e.dither = 0;
                  e.stylePos = (block & 1) ? 1.0f : 4.0f;
              }); } },
        { "mono, switched off and on", [] {
              return limiterDiffDb (monoProgram(), 256, [] (auto& e, int block)
              {
                  heavyLimiter (e, 2);
                  e.enabled = block < 40 || block > 120;
              }); } },
        { "switched off and on", [] {
              return limiterDiffDb (program (sr, 1.5), 256, [] (auto& e, int block)
              {
                  heavyLimiter (e, 4);
                  e.enabled = block < 40 || block > 120;
                  e.outputGain = block > 60 && block < 70 ? -6.0f : 0.0f;
              }); } },
    };
    for (const auto& c : cases)
        EXPECT_LT (c.run(), -80.0) << c.name;
}

TEST (FastPathsLimiter, SwitchingFadesLikeBefore)
{
    for (int factor : { 1, 8 })
    {
        const auto r = switching<VyrLimiter, vyrRef::VyrLimiter> ([factor] (auto& e) { heavyLimiter (e, factor); }, enable);
        EXPECT_LE (r.newLargestStep, r.oldLargestStep * 1.02 + 1.0e-6) << factor;
    }
}

//==============================================================================
#include "Dsp/SignalChain.h"
#include "reference/RefDcBlocker.h"

// The chain's DC blocker works four samples at a time; it must sound as the sample-by-sample recursion
// did, within its stated -100 dB, for any cut of the stream into blocks and for one channel or two.
TEST (FastPathsChainFrame, DcBlockerSoundsAsBefore)
{
    struct FrameOnly
    {
        VyrSignalChain chain;
        void process (juce::AudioBuffer<float>& b) { chain.process (b, nullptr); }
    };
    struct OldBlocker
    {
        vyrRef::VyrDcBlocker dc;
        void process (juce::AudioBuffer<float>& b) { dc.process (b.getArrayOfWritePointers(), b.getNumChannels(), b.getNumSamples()); }
    };
    struct Case { int channels; int block; };
    for (const auto& c : { Case { 2, 512 }, Case { 2, 37 }, Case { 2, 1 }, Case { 1, 333 } })
    {
        auto input = program (sr, 1.0);
        for (int ch = 0; ch < 2; ++ch)
            for (int i = 0; i < input.getNumSamples(); ++i)
                input.setSample (ch, i, input.getSample (ch, i) + (ch == 0 ? 0.3f : -0.1f));   // some DC to remove
        input.setSize (c.channels, input.getNumSamples(), true);
        auto fresh = std::make_unique<FrameOnly>();
        fresh->chain.product = 14;   // no module runs: the frame alone
        fresh->chain.prepare (sr, 512);
        OldBlocker old;
        old.dc.c = fresh->chain.dcCoeff;
        EXPECT_LT (compare (*fresh, old, input, c.block).diffDb, -100.0) << c.channels << " channels, blocks of " << c.block;
    }
}
