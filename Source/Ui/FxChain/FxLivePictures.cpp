// Where the module pictures move between two page ticks. The page repaints only these areas while
// parameters, view and handles stay put, so a picture that shows the same frame costs no paint and a
// moving one costs the paint of its moving parts. Every rectangle here follows the painters' own
// geometry, grown by the reach of anti-aliased edges.
#include "Ui/FxChain/FxModulePictures.h"

#include "Core/PluginProcessor.h"
#include "Ui/Foundation/HardwareArt.h"
#include "Ui/FxChain/VyrModuleGraphModel.h"

#include <cmath>

using FRect = juce::Rectangle<float>;

namespace
{
float levelDb (float linear) { return linear > 0.0f && std::isfinite (linear) ? 20.0f * std::log10 (linear) : -100.0f; }
float maxDb (const float* pair) { return levelDb (juce::jmax (pair[0], pair[1])); }

// The first of the compressor curve's 181 inputs at or above a level (180 when none is).
int firstCurveIndexAtOrAbove (float v)
{
    for (int i = 0; i <= 180; ++i)
        if (-60.0f + 60.0f * (float) i / 180.0f >= v)
            return i;
    return 180;
}

void addCompressorMoves (juce::RectangleList<float>& areas, VyrAudioProcessor& proc, const VyrPictureState& a, const VyrPictureState& b)
{
    const auto geom = vyrFxPictures::compressorGeom (b.graph);
    const auto P = geom.plot;
    const auto la = a.levelsOr (proc), lb = b.levelsOr (proc);
    const float La = maxDb (la.inPeak), Lb = maxDb (lb.inPeak);
    if (La != Lb)
    {
        areas.add (vyrFxPictures::meterTrack (geom.inCol).expanded (1.0f));
        if (b.enabled)
        {
            // The live dot (30 px across) where it was and where it is.
            const auto K = compressorUi (proc);
            for (const float L : { La, Lb })
                if (L > -59.0f)
                {
                    const juce::Point<float> p (P.getX() + (L + 60) / 60 * P.getWidth(), P.getBottom() - (L - K.computeGr (L) + 60) / 60 * P.getHeight());
                    areas.add (FRect (p.x - 16.0f, p.y - 16.0f, 32.0f, 32.0f));
                }
            // The fill under the curve ends at the level: the columns between its two ends change.
            const int ja = firstCurveIndexAtOrAbove (juce::jlimit (-60.0f, 0.0f, La));
            const int jb = firstCurveIndexAtOrAbove (juce::jlimit (-60.0f, 0.0f, Lb));
            if (ja != jb)
            {
                auto xOf = [&P] (int i) { return P.getX() + (float) i / 180.0f * P.getWidth(); };
                areas.add (FRect::leftTopRightBottom (xOf (juce::jmin (ja, jb)), P.getY(), xOf (juce::jmax (ja, jb)), P.getBottom()).expanded (2.0f));
            }
        }
    }
    if (maxDb (la.outPeak) != maxDb (lb.outPeak))
        areas.add (vyrFxPictures::meterTrack (geom.outCol).expanded (1.0f));
    if (la.compressorGr != lb.compressorGr)
        areas.add (vyrFxPictures::meterTrack (geom.grCol).expanded (1.0f));
}

// The number of LEDs of a density row that a level lights.
int litLeds (float db, bool enabled)
{
    return juce::jlimit (0, 12, (int) std::ceil (vyrFxPictures::densityLedCount (db, enabled)));
}

void addDensityMoves (juce::RectangleList<float>& areas, VyrAudioProcessor& proc, const VyrPictureState& a, const VyrPictureState& b)
{
    const auto D = makeDensLayout (b.graph);
    // Lit tubes flicker with the clock (and glow with the level); unlit ones stand still.
    if (b.enabled && a.tubeTime != b.tubeTime)
        areas.add (D.engineView.expanded (1.0f));
    const auto la = a.levelsOr (proc), lb = b.levelsOr (proc);
    const float* rowsA = b.vuBallistics ? la.inRms : la.inPeak;
    const float* rowsB = b.vuBallistics ? lb.inRms : lb.inPeak;
    const FRect rows[2] = { D.meterBarL, D.meterBarR };
    for (int ch = 0; ch < 2; ++ch)
        if (litLeds (levelDb (rowsA[ch]), b.enabled) != litLeds (levelDb (rowsB[ch]), b.enabled))
            areas.add (rows[ch].expanded (1.0f));
}

// The delay's sweep line, its glow band and the echo markers it lights: nothing further than
// 46 px from the sweep is lit by it. The area runs on to the screen's right edge: a repaint whose
// right edge falls inside the rounded glass clip paints its last column a shade off.
void addDelayMoves (juce::RectangleList<float>& areas, VyrAudioProcessor& proc, const VyrPictureState& a, const VyrPictureState& b)
{
    if (a.animTime == b.animTime)
        return;
    const float T = delayVisualTimeSec (proc.apvts);
    const float xa = HardwareArt::delaySweepX (b.graph, T, a.animTime), xb = HardwareArt::delaySweepX (b.graph, T, b.animTime);
    if (xa == xb)
        return;
    areas.add (FRect::leftTopRightBottom (juce::jmin (xa, xb) - 50.0f, b.graph.getY(), b.graph.getRight() + 1.0f, b.graph.getBottom()));
}
} // namespace

namespace vyrFxPictures
{
juce::Rectangle<int> bounds (const VyrPictureState& st)
{
    FRect r = st.graph;
    if (st.key == "saturation")
        r = satPlotRect (st.moduleRect);
    else if (st.key == "tape")
        r = fxGraphRect (st.moduleRect, 40);
    return r.expanded (3.0f).getSmallestIntegerContainer();
}

juce::RectangleList<int> movedAreas (VyrAudioProcessor& proc, const VyrPictureState& a, const VyrPictureState& b)
{
    juce::RectangleList<float> areas;
    if (b.graph.getWidth() < 16.0f || b.graph.getHeight() <= 0.0f)
        return {};
    if (b.key == "compressor")
        addCompressorMoves (areas, proc, a, b);
    else if (b.key == "analogueDensity")
        addDensityMoves (areas, proc, a, b);
    else if (b.key == "delay")
        addDelayMoves (areas, proc, a, b);
    else if (b.key == "reverb")
    {
        if (b.reverbView == 0 && a.animTime != b.animTime)
        {
            const auto U = reverbUi (proc);
            areas.add (HardwareArt::reverbTailArea (b.graph, U.decay, U.size, U.radicalness, U.predelay));
        }
    }
    else if (b.key == "tape")
    {
        if (a.reelAngle != b.reelAngle || a.reelLevel != b.reelLevel)
            areas.add (HardwareArt::tapeMovingAreas (fxGraphRect (b.moduleRect, 40), graphParam (proc.apvts, "tape_wow", 0.15f), a.reelLevel,
                                                     b.reelLevel));
    }
    else if (b.key == "clip")
    {
        if (b.clipView == 2 && a.animTime != b.animTime)
            areas.add (b.graph.expanded (1.0f));
    }

    juce::RectangleList<int> whole;
    const auto limit = bounds (b);
    for (const auto& r : areas)
        whole.add (r.getSmallestIntegerContainer().getIntersection (limit));
    whole.consolidate();
    return whole;
}
} // namespace vyrFxPictures
