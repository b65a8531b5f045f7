#include "Ui/Controls/LevelMeterView.h"

#include "Core/PluginProcessor.h"
#include "Ui/Foundation/VyrInfoOverlay.h"

#include <cmath>

using juce::Colour;
using juce::Rectangle;

namespace
{
constexpr double kMaxCatchUpSeconds = 2.0; // a stalled message thread catches up at most this much

float finiteOr (float v, float fallback) noexcept { return std::isfinite (v) ? v : fallback; }

float meanSquare (float a, float b) noexcept
{
    const float x = finiteOr (a, 0.0f), y = finiteOr (b, 0.0f);
    return juce::jmin (0.5f * (x * x + y * y), 1.0e12f);
}

float energyToDb (double meanEnergy) noexcept
{
    return meanEnergy > 0.0 ? (float) juce::jmax (-100.0, 10.0 * std::log10 (meanEnergy)) : -100.0f;
}

Rectangle<int> whole (float x, float y, float w, float h)
{
    return { juce::roundToInt (x), juce::roundToInt (y), juce::roundToInt (w), juce::roundToInt (h) };
}

juce::String kSystemCaption (int k)
{
    return juce::String::fromUTF8 ("K-System \xc2\xb7 0 \xe2\x89\xa1 \xe2\x88\x92") + juce::String (k) + " dBFS";
}
}

LevelMeterView::LevelMeterView (VyrAudioProcessor& p)
    : processor (p), levelToken (p.levelReaders)
{
    modeParam = processor.apvts.getParameter ("meteringMode");
    setOpaque (false);
    startTimer (33);
}

LevelMeterView::~LevelMeterView()
{
    stopTimer();
    vyrMeter::setSpectrumShown (processor, spectrumOpen, false);
}

int LevelMeterView::meteringMode() const
{
    if (modeParam == nullptr)
        return 0;
    if (auto* choice = dynamic_cast<juce::AudioParameterChoice*> (modeParam))
        return choice->getIndex();
    return juce::roundToInt (modeParam->convertFrom0to1 (modeParam->getValue()));
}

void LevelMeterView::timerCallback()
{
    const double now = clock();
    auto& m = processor.meters;
    auto* peaks = showInput ? m.inPeak : m.outPeak;
    const float pL = vyrMeter::toDb (peaks[0].load (std::memory_order_acquire));
    const float pR = vyrMeter::toDb (peaks[1].load (std::memory_order_acquire));
    heldL = peakHoldL.update (pL, now, kMaxCatchUpSeconds);
    heldR = peakHoldR.update (pR, now, kMaxCatchUpSeconds);
    heldMax = peakHoldMax.update (juce::jmax (pL, pR), now, kMaxCatchUpSeconds);
    updateLoudness (loudnessClock.advance (now, kMaxCatchUpSeconds));

    const bool visible = vyrVisibleInScroll (*this);
    vyrMeter::setSpectrumShown (processor, spectrumOpen, visible && ! vertical);
    if (visible && needsRepaint())
        repaint();
}

LevelMeterView::Shown LevelMeterView::shownNow() const
{
    using vyrMeter::load;
    auto& m = processor.meters;
    auto* peaks = showInput ? m.inPeak : m.outPeak;
    auto* rms = showInput ? m.inRms : m.outRms;
    // The spectrum strip follows the output, which moves whenever its levels do.
    return { heldL, heldR, heldMax, momentaryDb, shortTermDb, integratedDb, load (peaks[0]), load (peaks[1]), load (rms[0]), load (rms[1]),
             load (m.outPeak[0]), load (m.outPeak[1]), (float) meteringMode(), showInput ? 1.0f : 0.0f, vertical ? 1.0f : 0.0f,
             moreDetail ? 1.0f : 0.0f, (float) getWidth(), (float) getHeight(), 0.0f, 0.0f };
}

bool LevelMeterView::needsRepaint() const
{
    return ! painted || vyrMeter::shownDiffers (shownNow(), lastShown);
}

void LevelMeterView::updateLoudness (int steps)
{
    auto& m = processor.meters;
    if (steps > 0)
    {
        const float ms = meanSquare (m.inRms[0].load (std::memory_order_acquire), m.inRms[1].load (std::memory_order_acquire));
        for (int i = 0; i < steps; ++i)
        {
            ring[ringWrite] = ms;
            ringWrite = (ringWrite + 1) % ringSize;
            ringCount = juce::jmin (ringCount + 1, ringSize);
        }
        totalEnergy += (double) ms * steps;
        totalSteps += steps;
    }

    if (! showInput)
    {
        momentaryDb = finiteOr (m.lufsMomentary.load (std::memory_order_acquire), -100.0f);
        shortTermDb = finiteOr (m.lufsShort.load (std::memory_order_acquire), -100.0f);
        integratedDb = finiteOr (m.lufsIntegrated.load (std::memory_order_acquire), -100.0f);
        return;
    }

    auto newest = [this] (int n)
    {
        n = juce::jmin (n, ringCount);
        double sum = 0.0;
        for (int i = 1; i <= n; ++i)
            sum += ring[(ringWrite - i + ringSize) % ringSize];
        return n > 0 ? sum / n : 0.0;
    };
    momentaryDb = energyToDb (newest (12));
    shortTermDb = energyToDb (newest (90));
    integratedDb = energyToDb (totalSteps > 0 ? totalEnergy / (double) totalSteps : 0.0);
}

void LevelMeterView::mouseDown (const juce::MouseEvent& e)
{
    const auto p = e.position;
    if (infoDotArea.contains (p))
    {
        vyrOpenInfo (*this, "lufs", Colour (0xff22d3ee));
        return;
    }
    if (inArea.contains (p))
    {
        showInput = true;
        return;
    }
    if (outArea.contains (p))
    {
        showInput = false;
        return;
    }
    for (int i = 0; i < 4; ++i)
        if (modeAreas[i].contains (p))
        {
            if (modeParam != nullptr)
            {
                modeParam->beginChangeGesture();
                modeParam->setValueNotifyingHost (modeParam->convertTo0to1 ((float) i));
                modeParam->endChangeGesture();
            }
            return;
        }
}

void LevelMeterView::paint (juce::Graphics& g)
{
    const float W = (float) getWidth(), H = (float) getHeight();
    g.setColour (juce::Colours::black);
    g.fillRoundedRectangle (0.0f, 0.0f, W, H, 8.0f);
    g.setColour (Colour (0x3322d3ee));
    g.drawRoundedRectangle (0.0f, 0.0f, W, H, 8.0f, 1.0f);

    Frame f;
    f.mode = meteringMode();
    f.k = vyrMeter::kNumber (f.mode);
    auto& m = processor.meters;
    auto* peaks = showInput ? m.inPeak : m.outPeak;
    auto* rms = showInput ? m.inRms : m.outRms;
    f.rmsLdB = vyrMeter::toDb (rms[0].load (std::memory_order_acquire));
    f.rmsRdB = vyrMeter::toDb (rms[1].load (std::memory_order_acquire));
    if (f.mode >= 1 && f.mode <= 3)
    {
        f.levelL = (float) f.k + f.rmsLdB;
        f.levelR = (float) f.k + f.rmsRdB;
    }
    else
    {
        f.levelL = vyrMeter::toDb (peaks[0].load (std::memory_order_acquire));
        f.levelR = vyrMeter::toDb (peaks[1].load (std::memory_order_acquire));
    }
    f.maxRms = juce::jmax (f.rmsLdB, f.rmsRdB);
    f.crest = heldMax - f.maxRms;
    f.balance = heldL - heldR;
    f.contentWidth = juce::jmax (W - 20.0f, 0.0f);

    if (vertical)
        paintVertical (g, f, W, H);
    else
        paintHorizontal (g, f, W, H);
    lastShown = shownNow();
    painted = true;
}

void LevelMeterView::paintHorizontal (juce::Graphics& g, const Frame& f, float W, float H)
{
    juce::ignoreUnused (W);
    const float Wc = f.contentWidth, Hc = juce::jmax (H - 16.0f, 0.0f);
    const float th = juce::jmin (Hc, 20.0f);

    g.setFont (juce::Font (10.0f, juce::Font::plain).withExtraKerningFactor (0.16f));
    g.setColour (Colour (0x8067e8f9));
    g.drawText ("LEVEL", Rectangle<float> (10.0f, 8.0f, Wc, th), juce::Justification::centredLeft, false);
    if (f.k > 0)
    {
        g.setFont (juce::Font (8.0f, juce::Font::plain));
        g.setColour (Colour (0xff4ade80));
        g.drawText (kSystemCaption (f.k), Rectangle<float> (62.0f, 8.0f, juce::jmax (Wc - 52.0f, 0.0f), th), juce::Justification::centredLeft, false);
    }

    paintScaleButtons (g, { Wc + 10.0f - 128.0f, 8.0f, 128.0f, th }, true, f.mode);
    paintSourceSwitch (g, { Wc + 10.0f - 200.0f, 8.0f, 72.0f, th });

    const float y0 = th + 8.0f;
    const float bh = juce::jmin (Hc - th, 52.0f);
    const float r1 = juce::jmin (bh, 18.0f), r2 = juce::jmin (bh - r1, 18.0f);
    const float lw = juce::jmin (Wc, 14.0f);
    g.setFont (juce::Font (9.0f, juce::Font::plain));
    g.setColour (Colour (0xffb4bcc6));
    g.drawText ("L", Rectangle<float> (10.0f, y0, lw, r1), juce::Justification::centred, false);
    g.drawText ("R", Rectangle<float> (10.0f, y0 + r1, lw, r2), juce::Justification::centred, false);
    vyrMeter::paintLedRow (g, { lw + 10.0f, y0 + r1 / 2.0f - 5.5f, Wc - lw, 11.0f }, f.levelL, f.mode, false, -1000.0f);
    vyrMeter::paintLedRow (g, { lw + 10.0f, y0 + r1 + r2 / 2.0f - 5.5f, Wc - lw, 11.0f }, f.levelR, f.mode, false, -1000.0f);

    juce::StringArray texts;
    if (f.k > 0)
        texts.addArray (juce::StringArray (juce::String (-f.k), juce::String (-f.k / 2), juce::String ("0"),
                                           "+" + juce::String (f.k / 2), "+" + juce::String (f.k)));
    else
        texts.addArray (juce::StringArray ("-30", "-24", "-18", "-12", "-6", "-3", "0"));
    g.setColour (Colour (0xffd0dae6));
    const int n = texts.size();
    for (int i = 0; i < n; ++i)
    {
        const float cx = 24.0f + (float) i * juce::jmax (Wc - 14.0f, 0.0f) / (float) (juce::jmax (n, 2) - 1);
        g.drawText (texts[i], Rectangle<float> (cx - 12.0f, y0 + r1 + r2, 24.0f, 10.0f), juce::Justification::centred, false);
    }

    const float rem = Hc - th - bh;
    const float mh = juce::jmin (rem, juce::jlimit (70.0f, 110.0f, 0.24f * rem));
    paintMultimeter (g, { 10.0f, y0 + bh + 4.0f, Wc, juce::jmax (mh - 8.0f, 0.0f) }, false, f);

    const float rem2 = rem - mh;
    const float reserve = moreDetail ? 44.0f : 0.0f;
    const float sh = juce::jmin (rem2, juce::jmax (rem2 - 68.0f - reserve - 4.0f, 52.0f));
    paintSpectrumStrip (g, { 10.0f, y0 + bh + mh, Wc, sh });

    const float rem3 = rem2 - sh;
    const float lh = juce::jmin (juce::jmin (rem3 - reserve, 68.0f), rem3);
    paintLoudness (g, { 10.0f, y0 + bh + mh + sh, Wc, lh }, false);

    if (moreDetail)
        paintReadoutGrid (g, y0 + bh + mh + sh + lh, rem3 - lh, f);
}

void LevelMeterView::paintVertical (juce::Graphics& g, const Frame& f, float W, float H)
{
    juce::ignoreUnused (W);
    const float Wc = f.contentWidth, Hc = juce::jmax (H - 16.0f, 0.0f);
    const float lc = 0.58f * Wc;
    const float th = juce::jmin (Hc, 18.0f);

    g.setFont (juce::Font (10.0f, juce::Font::plain).withExtraKerningFactor (0.16f));
    g.setColour (Colour (0xffb4bcc6));
    g.drawText ("LEVEL", Rectangle<float> (10.0f, 8.0f, lc, th), juce::Justification::centredLeft, false);
    if (f.k > 0)
    {
        g.setFont (juce::Font (8.0f, juce::Font::plain));
        g.setColour (Colour (0xcc4ade80));
        g.drawText (kSystemCaption (f.k), Rectangle<float> (10.0f, 8.0f, lc, th), juce::Justification::centredRight, false);
    }

    const float S = th + 8.0f, U = Hc - th, uh = 0.58f * U;
    paintMultimeter (g, { 10.0f, S + 4.0f, lc, juce::jmax (uh - 8.0f, 0.0f) }, true, f);
    paintLoudness (g, { 10.0f, S + uh + 2.0f, lc, juce::jmax (U - uh - 4.0f, 0.0f) }, true);

    const float x0 = lc + 16.0f, rw = juce::jmax (Wc - lc - 12.0f, 0.0f), cw = juce::jmin (rw, 36.0f);
    paintScaleButtons (g, { x0, Hc + 8.0f - juce::jmin (Hc, 88.0f), cw, juce::jmin (Hc, 88.0f) }, false, f.mode);
    paintSourceSwitch (g, { x0 + cw, 8.0f, rw - cw, th });

    const float bx = x0 + cw + 4.0f, w2 = juce::jmax (rw - cw - 8.0f, 0.0f);
    const float sw = juce::jmin (w2, 22.0f), bw = juce::jmin (w2 - sw, 14.0f), gp = juce::jmin (w2 - sw - bw, 6.0f);
    const float rx = bx + bw + gp, rbw = juce::jmin (w2 - sw - bw - gp, 14.0f);

    const float rd = juce::jmin (juce::jmax (U - 8.0f, 0.0f), 16.0f);
    g.setFont (juce::Font (11.0f, juce::Font::bold));
    g.setColour (Colour (0xffeef3f8));
    g.drawFittedText (vyrMeter::dbText (heldL), whole (bx - 6.0f, S + 4.0f, 26.0f, rd), juce::Justification::centred, 1);
    g.drawFittedText (vyrMeter::dbText (heldR), whole (rx - 6.0f, S + 4.0f, 26.0f, rd), juce::Justification::centred, 1);

    const float by = S + 4.0f + rd;
    const float a = juce::jmax (U - 8.0f, 0.0f) - rd;
    const float bh2 = a - juce::jmin (a, 12.0f);
    vyrMeter::paintLedRow (g, { bx, by, bw, bh2 }, f.levelL, f.mode, true, -1000.0f);
    vyrMeter::paintLedRow (g, { rx, by, rbw, bh2 }, f.levelR, f.mode, true, -1000.0f);

    g.setFont (juce::Font (9.0f, juce::Font::plain));
    g.setColour (Colour (0xffd0dae6));
    g.drawText ("L", whole (bx, Hc - 6.0f, 14.0f, 12.0f), juce::Justification::centred, false);
    g.drawText ("R", whole (rx, Hc - 6.0f, 14.0f, 12.0f), juce::Justification::centred, false);
    vyrMeter::paintVScale (g, { bx + w2 - sw, by, sw, bh2 }, { bx, by, bw, bh2 }, f.mode, false, Colour (0xffd0dae6));
}
