#include "Ui/ModulePanels/MbcVisualizer.h"

#include "Core/PluginProcessor.h"
#include "Ui/Controls/VyrMeterHelpers.h"
#include "Ui/ModulePanels/PanelKit.h"

#include <cmath>

namespace
{
constexpr float kLog30 = 1.4771212f, kLogSpan = 2.778151f;
}

namespace vyrMbc
{
juce::Colour bandColour (int band) noexcept { return juce::Colour (kBandCol[juce::jlimit (0, 4, band)]); }

float freqToX (float hz, float width) noexcept
{
    const float f = juce::jlimit (30.0f, 18000.0f, std::isfinite (hz) ? hz : 30.0f);
    return (std::log10 (f) - kLog30) / kLogSpan * width;
}

float xToFreq (float x, float width) noexcept
{
    return std::pow (10.0f, kLog30 + kLogSpan * juce::jlimit (0.0f, width, x) / juce::jmax (width, 1.0f));
}

float thresholdToY (float db, float height) noexcept { return (1.0f - (db + 60.0f) / 60.0f) * height; }

int bandsShown (const State& s) noexcept { return juce::jlimit (1, 5, s.bandCount); }

float bandLo (const State& s, int k) noexcept { return k == 0 ? 30.0f : s.xover[juce::jlimit (0, 3, k - 1)]; }

float bandHi (const State& s, int k) noexcept { return k >= bandsShown (s) - 1 ? 18000.0f : s.xover[juce::jlimit (0, 3, k)]; }

int bandOfFreq (const State& s, float hz) noexcept
{
    const int n = bandsShown (s);
    if (n == 1)
        return 0;
    for (int k = 0; k < n; ++k)
        if (hz >= bandLo (s, k) && hz < bandHi (s, k))
            return k;
    return n - 1;
}

juce::String crossoverCaption (float hz)
{
    if (hz >= 1000.0f)
        return (std::fmod (hz, 1000.0f) >= 0.5f ? juce::String (hz / 1000.0f, 1) : juce::String (juce::roundToInt (hz / 1000.0f))) + "k";
    return juce::String (juce::roundToInt (hz));
}
}

//==============================================================================
MbcVisualizer::MbcVisualizer (VyrAudioProcessor& p) : processor (p)
{
    setInterceptsMouseClicks (false, false);
    startTimer (33);
}

MbcVisualizer::~MbcVisualizer()
{
    stopTimer();
    vyrMeter::setSpectrumShown (processor, spectrumOpen, false);
}

void MbcVisualizer::visibilityChanged() { updateSpectrumView(); }
void MbcVisualizer::parentHierarchyChanged() { updateSpectrumView(); }
void MbcVisualizer::updateSpectrumView() { vyrMeter::setSpectrumShown (processor, spectrumOpen, isShowing()); }

void MbcVisualizer::timerCallback()
{
    updateSpectrumView();
    if (vyrPanel::showing (*this))
        repaint();
}

float MbcVisualizer::barLevel (const float* spectrum, double nyquist, int i) noexcept
{
    const double b = nyquist / 4096.0, b1 = juce::jmax (b, 0.000001);
    const double f1 = std::pow (10.0, kLog30 + kLogSpan * i / 96.0), f2 = std::pow (10.0, kLog30 + kLogSpan * (i + 1) / 96.0);
    const double a = juce::jmax (b, juce::jmin (f1, f2));
    const double z = juce::jmax (juce::jmax (f1, f2), a + 0.000001);
    double m = 0.0;
    if (z / b - a / b <= 1.0)
    {
        const double p = juce::jlimit (1.0, 4094.999, ((a + z) / 2.0) / b1);
        const int j = (int) p;
        m = spectrum[j] * (1.0 - (p - j)) + spectrum[juce::jmin (j + 1, 4095)] * (p - j);
    }
    else
    {
        const int j1 = juce::jlimit (1, 4095, (int) std::floor (a / b));
        int j2 = juce::jmin ((int) std::ceil (z / b), 4096);
        if (j2 <= j1)
            j2 = j1 + 1;
        for (int j = j1; j < j2 && j < 4096; ++j)
            m = juce::jmax (m, (double) spectrum[j]);
    }
    const double e = m + 1.0e-12;
    const double d = e > 0.0 && std::isfinite (e) ? juce::jmax (20.0 * std::log10 (e), -100.0) : -100.0;
    return (float) juce::jlimit (0.0, 1.0, (d + 100.0) / 70.0);
}

void MbcVisualizer::paint (juce::Graphics& g)
{
    const int Wi = getWidth(), Hi = getHeight();
    if (Wi < 4 || Hi < 4)
        return;
    const float W = (float) Wi, H = (float) Hi;
    updateSpectrumView();
    vyrMbc::State s;
    vyrMbc::loadState (processor.apvts, s);
    const int n = vyrMbc::bandsShown (s);

    juce::Path clip;
    clip.addRoundedRectangle (0.0f, 0.0f, W, H, 8.0f);
    juce::String key;
    key << n;
    for (float x : s.xover)
        key << "|" << x;
    if (key != backdropKey)
        backdrop.invalidate(), backdropKey = key;
    backdrop.draw (g, getLocalBounds(), 0, [&] (juce::Graphics& ig) {
        ig.setColour (juce::Colour (0xa606080e));
        ig.fillPath (clip);
        ig.reduceClipRegion (clip);
        ig.setColour (juce::Colour (0x0dffffff));
        for (float q : vyrMbc::kGridFractions)
            ig.fillRect (q * W, 0.0f, 1.0f, H);
        for (int k = 0; k < n; ++k)
        {
            const float x1 = k == 0 ? 0.0f : vyrMbc::freqToX (vyrMbc::bandLo (s, k), W), x2 = vyrMbc::freqToX (vyrMbc::bandHi (s, k), W);
            ig.setColour (vyrMbc::bandColour (k).withAlpha ((juce::uint8) 0x12));
            ig.fillRect (x1, 0.0f, juce::jmax (x2 - x1, 1.0f), H);
        }
    });
    juce::Graphics::ScopedSaveState save (g);
    g.reduceClipRegion (clip);

    float spectrum[4096];
    {
        const juce::SpinLock::ScopedLockType lock (processor.meters.spectrumLock);
        std::copy (std::begin (processor.meters.spectrum), std::end (processor.meters.spectrum), spectrum);
    }
    const double nyquist = juce::jmax (processor.hostSampleRate, 8000.0) / 2.0;
    for (int i = 0; i < 96; ++i)
    {
        const float f1 = std::pow (10.0f, kLog30 + kLogSpan * (float) i / 96.0f);
        const float f2 = std::pow (10.0f, kLog30 + kLogSpan * (float) (i + 1) / 96.0f);
        const float L = barLevel (spectrum, nyquist, i);
        const auto bc = vyrMbc::bandColour (vyrMbc::bandOfFreq (s, (f1 + f2) / 2.0f));
        const float x1 = vyrMbc::freqToX (f1, W), x2 = vyrMbc::freqToX (f2, W);
        const float h = L * H * 0.92f, bw = juce::jmax (x2 - x1 - 1.0f, 1.0f);
        if (h > 0.0f)
        {
            g.setGradientFill (juce::ColourGradient (bc.withAlpha ((juce::uint8) 0x22), 0.0f, H, bc, 0.0f, H - h, false));
            g.fillRect (x1 + 1.0f, H - h, bw, h);
        }
        peakHold[i] = juce::jmax (peakHold[i] * 0.96f, L);
        g.setColour (bc);
        g.fillRect (x1 + 1.0f, H - peakHold[i] * H * 0.92f - 2.0f, bw, 2.0f);
    }

    if (n > 1)
    {
        const float dashes[] = { 4.0f, 4.0f };
        for (int k = 0; k < n - 1; ++k)
        {
            const float x = vyrMbc::freqToX (s.xover[k], W);
            g.setColour (juce::Colour (0x66ffffff));
            g.drawDashedLine (juce::Line<float> (x, 0.0f, x, H), dashes, 2, 1.0f);
            g.setColour (juce::Colour (0xccffffff));
            g.setFont (vyrPanel::font (8.0f, true));
            g.drawText (vyrMbc::crossoverCaption (s.xover[k]), juce::Rectangle<int> ((int) x - 20, 2, 40, 10), juce::Justification::centred, false);
        }
    }
    if (! s.enabled)
        return;
    auto& engine = processor.liveChain.multiBandComp;
    g.setColour (juce::Colour (0x8cff5a5a));
    for (int k = 0; k < n; ++k)
    {
        const float gr = engine.bandGr[k].load (std::memory_order_acquire);
        if (! (gr > 0.05f))
            continue;
        const float x1 = k == 0 ? 0.0f : vyrMbc::freqToX (vyrMbc::bandLo (s, k), W), x2 = vyrMbc::freqToX (vyrMbc::bandHi (s, k), W);
        g.fillRect (x1 + 2.0f, 0.0f, juce::jmax (x2 - x1 - 4.0f, 1.0f), juce::jmin (2.2f * gr, H));
    }
}
