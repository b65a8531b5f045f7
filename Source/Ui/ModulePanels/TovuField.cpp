#include "Ui/ModulePanels/TovuField.h"

#include "Core/PluginProcessor.h"
#include "Ui/ModulePanels/PanelKit.h"

#include <cmath>

namespace
{
using juce::Colour;
using namespace vyrTovuLook;
constexpr float kLog25 = 1.39794f, kLog20 = 1.30103f;
}

float vyrTovuLook::dimOf (VyrAudioProcessor& p) { return vyrPanel::readOn (p.apvts, "tovu_enabled", false) ? 1.0f : 0.72f; }

//==============================================================================
TovuField::TovuField (VyrAudioProcessor& p) : processor (p) {}

float TovuField::freqAtX (float x) const
{
    const float t = juce::jlimit (0.0f, 1.0f, (x * 360.0f / (float) juce::jmax (getWidth(), 1) - 36.0f) / 288.0f);
    return juce::jlimit (20.0f, 500.0f, 20.0f * std::pow (10.0f, kLog25 * t));
}

float TovuField::designXOf (float hz)
{
    const float f = juce::jlimit (20.0f, 500.0f, std::isfinite (hz) ? hz : 120.0f);
    return 36.0f + 288.0f * (std::log10 (f) - kLog20) / kLog25;
}

void TovuField::setFreqFromX (float x)
{
    if (drag != nullptr)
        drag->write ("tovu_frequency", freqAtX (x));
    else
        vyrPanel::write (processor.apvts, "tovu_frequency", freqAtX (x));
}

void TovuField::mouseDown (const juce::MouseEvent& e)
{
    drag = std::make_unique<vyrPanel::GestureSpan> (processor.apvts);
    setFreqFromX ((float) e.getPosition().x);
}

void TovuField::mouseDrag (const juce::MouseEvent& e) { setFreqFromX ((float) e.getPosition().x); }
void TovuField::mouseUp (const juce::MouseEvent&) { drag.reset(); }

void TovuField::paint (juce::Graphics& g)
{
    const float W = (float) getWidth(), H = (float) getHeight();
    if (W < 8.0f || H < 8.0f)
        return;
    const float sx = W / 360.0f, sy = H / 170.0f;
    auto X = [sx] (float x) { return x * sx; };
    auto Y = [sy] (float y) { return y * sy; };
    auto& tree = processor.apvts;
    const float a = dimOf (processor);
    const bool on = a >= 1.0f;
    const float hz = juce::jlimit (20.0f, 500.0f, vyrPanel::read (tree, "tovu_frequency", 120.0f));
    const float w = juce::jlimit (0.0f, 1.0f, vyrPanel::read (tree, "tovu_width", 0.0f));
    const float xf = designXOf (hz);
    const Colour accent (kAccent), mint (kMint);

    const juce::Rectangle<float> housing (X (20), Y (14), X (320), Y (136));
    g.setGradientFill (juce::ColourGradient (accent.withAlpha (0.1f * a), 0.0f, Y (14), juce::Colours::transparentBlack, 0.0f, Y (150), false));
    g.fillRoundedRectangle (housing, 6.0f);
    g.setColour (juce::Colours::white.withAlpha (0.06f * a));
    g.drawRoundedRectangle (housing, 6.0f, 1.0f);

    g.setColour (juce::Colours::white.withAlpha (0.22f * a));
    g.drawLine (X (36), Y (128), X (324), Y (128), 1.0f);

    const float k = a * (0.28f + 0.55f * w);
    g.setGradientFill (juce::ColourGradient (accent.withAlpha (0.5f * k), 0.0f, Y (30), accent.withAlpha (0.12f * k), 0.0f, Y (128), false));
    g.fillRoundedRectangle (X (36), Y (30), juce::jmax (X (xf) - X (36), 0.0f), Y (128) - Y (30), 4.0f);

    const Colour monoLine = accent.withAlpha (a * (0.4f + 0.6f * w));
    const float mx = X ((36.0f + xf) / 2.0f);
    if (on)
    {
        g.setColour (monoLine.withMultipliedAlpha (0.1f));
        g.drawLine (mx, Y (40), mx, Y (118), 5.3f);
    }
    g.setColour (monoLine);
    g.drawLine (mx, Y (40), mx, Y (118), 3.5f);

    const Colour stereo = mint.withAlpha (0.85f * a);
    for (float y : { 48.0f, 110.0f })
    {
        if (on)
        {
            g.setColour (stereo.withMultipliedAlpha (0.1f));
            g.drawLine (X (xf + 14.0f), Y (y), X (320), Y (y), 4.3f);
        }
        g.setColour (stereo);
        g.drawLine (X (xf + 14.0f), Y (y), X (320), Y (y), 2.5f);
    }
    g.setColour (mint.withAlpha (0.08f * a));
    g.fillRect (X (xf + 14.0f), Y (48), juce::jmax (X (320) - X (xf + 14.0f), 0.0f), Y (110) - Y (48));

    const Colour marker = accent.withAlpha (0.95f * a);
    g.setColour (marker);
    const float dashes[] = { 5.0f, 3.0f };
    g.drawDashedLine (juce::Line<float> (X (xf), Y (22), X (xf), Y (134)), dashes, 2, 1.6f);
    g.fillEllipse (X (xf) - 3.5f, Y (22) - 3.5f, 7.0f, 7.0f);

    auto box = [] (float x, float y, float bw, float bh) { return juce::Rectangle<float> (std::round (x), std::round (y), bw, bh); };
    g.setFont (vyrPanel::font (8.5f));
    g.setColour (juce::Colours::white.withAlpha (0.5f * a));
    g.drawText ("20Hz", box (X (36), Y (142), 40, 14), juce::Justification::centredLeft, false);
    g.drawText ("500Hz", box (X (286), Y (142), 40, 14), juce::Justification::centredLeft, false);
    g.setFont (vyrPanel::font (9.0f, true));
    g.setColour (accent.withAlpha (a));
    g.drawText (juce::String (juce::roundToInt (hz)) + "Hz", box (X (xf - 16.0f <= 40.0f ? 40.0f : xf - 16.0f), Y (142), 56, 14),
                juce::Justification::centredLeft, false);
    g.setFont (vyrPanel::font (8.0f, false, 0.12f));
    g.setColour (juce::Colours::white.withAlpha (0.6f * a));
    g.drawText ("MONO", box (X ((36.0f + xf) / 2.0f) - 24.0f, Y (6), 48, 12), juce::Justification::centred, false);
    g.setColour (mint.withAlpha (0.85f * a));
    g.drawText ("STEREO", box (X ((xf + 320.0f) / 2.0f) - 28.0f, Y (6), 56, 12), juce::Justification::centred, false);
}

//==============================================================================
TovuGonio::TovuGonio (VyrAudioProcessor& p, bool isPost) : processor (p), post (isPost)
{
    setInterceptsMouseClicks (false, false);
    startTimer (33);
}

TovuGonio::~TovuGonio() { stopTimer(); }

void TovuGonio::timerCallback()
{
    if (vyrPanel::showing (*this))
        repaint();
}

void TovuGonio::paint (juce::Graphics& g)
{
    const float s = (float) juce::jmin (getWidth(), getHeight());
    if (s < 8.0f)
        return;
    const float a = dimOf (processor);
    const float o = s / 2.0f, r = s / 2.0f - 4.0f;
    const Colour gonio (kGonio);
    g.setColour (Colour (0xeb060a14));
    g.fillRoundedRectangle (0.0f, 0.0f, s, s, 6.0f);
    g.setColour (gonio.withAlpha (0.45f * a));
    g.drawRoundedRectangle (0.0f, 0.0f, s, s, 6.0f, 1.0f);
    g.setColour (gonio.withAlpha (0.2f * a));
    g.drawLine (o, 4.0f, o, s - 4.0f, 1.0f);
    g.drawLine (4.0f, o, s - 4.0f, o, 1.0f);
    g.setColour (gonio.withAlpha (0.1f * a));
    g.drawLine (4.0f, 4.0f, s - 4.0f, s - 4.0f, 1.0f);
    g.drawLine (4.0f, s - 4.0f, s - 4.0f, 4.0f, 1.0f);

    auto& tovu = processor.liveChain.tovu;
    constexpr int n = VyrTovu::scopeSize;
    const float* ringL = post ? tovu.postL : tovu.preL;
    const float* ringR = post ? tovu.postR : tovu.preR;
    float L[n], R[n];
    const int start = tovu.scopeWrite.load (std::memory_order_acquire);
    for (int i = 0; i < n; ++i)
    {
        const int k = (start + i) & (n - 1);
        L[i] = std::isfinite (ringL[k]) ? ringL[k] : 0.0f;
        R[i] = std::isfinite (ringR[k]) ? ringR[k] : 0.0f;
    }
    juce::RectangleList<float> dots;
    dots.ensureStorageAllocated (n / 2);
    bool heard = false;
    for (int i = 0; i < n; i += 2)
    {
        heard = heard || std::abs (L[i]) > 1.0e-6f || std::abs (R[i]) > 1.0e-6f;
        dots.addWithoutMerging ({ o + 0.5f * r * (L[i] - R[i]) - 0.5f, o - 0.5f * r * (L[i] + R[i]) - 0.5f, 1.4f, 1.4f });
    }
    g.setColour (gonio.withAlpha (0.72f * a));
    g.fillRectList (dots);
    if (! heard)
    {
        g.setColour (gonio.withAlpha (0.25f * a));
        g.fillRect (o - 0.75f, 6.0f, 1.5f, 2.0f * r - 4.0f);
    }
}
