#include "Ui/ModulePanels/LimiterPanel.h"

#include "Core/PluginProcessor.h"
#include "Ui/Controls/VyrMeterHelpers.h"
#include "Ui/Foundation/VyrTheme.h"

#include <cmath>

namespace
{
const char* const kStyleLabels[] = { "TRANSPARENT", "PUNCHY", "MODERN", "WARM", "CLASSICAL" };
const char* const kOversamplingLabels[] = { "1x", "2x", "4x", "8x" };
const char* const kSwitchLabels[] = { "TRUE PEAK", "DC BLOCK", "M/S" };
const char* const kDitherLabels[] = { "OFF", "16", "24" };
const char* const kShapeLabels[] = { "NONE", "BASIC", "OPT", "WEIGHT" };
const char* const kReleaseShapeLabels[] = { "LINEAR", "EXP", "ADAPT" };
const char* const kScaleLabels[] = { "24", "32", "48", "K-12", "K-14", "K-20" };
const char* const kSwitchIds[] = { "limiter_truePeak", "limiter_dcBlocker", "limiter_msMode" };
const char* const kGroupChoiceIds[] = { "limiter_style", "limiter_oversampling", nullptr, "limiter_dither",
                                        "limiter_noiseShape", "limiter_releaseShape", "limiter_scale" };

int roundHalfAway (double v) { return (int) (v < 0.0 ? -std::floor (-v + 0.5) : std::floor (v + 0.5)); }

struct KnobSpec
{
    const char* id;
    const char* caption;
    const char* unit;
    int size;
    bool knurled;
};

constexpr KnobSpec kKnobs[7] = {
    { "limiter_inputGain", "Input", "dB", 56, true },       { "limiter_ceiling", "Ceiling", "dB", 62, true },
    { "limiter_release", "Release", "s", 42, false },       { "limiter_lookahead", "Lookahead", "ms", 42, false },
    { "limiter_stereoLink", "Stereo Link", "%", 42, false }, { "limiter_mix", "Mix", "%", 42, false },
    { "limiter_outputGain", "Output", "dB", 52, true },
};
}

LimiterPanel::LimiterPanel (VyrAudioProcessor& p) : processor (p), meterBay (p)
{
    const juce::Colour accent (kAccent);
    buttonLook = std::make_unique<vyrPanel::ButtonLook> (
        accent, vyrPanel::ButtonLook::Segment { "lim-seg", vyrDeepTone (accent), juce::Colour (0x0dffffff),
                                                juce::Colour (0x80ffffff), 8.0f });
    for (auto* b : { &powerButton, &manualButton, &autoButton })
    {
        b->setLookAndFeel (buttonLook.get());
        b->setClickingTogglesState (true);
    }
    manualButton.setComponentID ("lim-seg");
    autoButton.setComponentID ("lim-seg");

    powerButton.onClick = [this] {
        vyrPanel::writeOn (processor.apvts, "limiter_enabled", powerButton.getToggleState());
        syncHeader();
    };
    manualButton.onClick = [this] {
        vyrPanel::writeChoice (processor.apvts, "limiter_releaseMode", 0);
        syncHeader();
        rebuildKnobs();
    };
    autoButton.onClick = [this] {
        vyrPanel::writeChoice (processor.apvts, "limiter_releaseMode", 1);
        syncHeader();
        rebuildKnobs();
    };

    addAndMakeVisible (meterBay);
    addAndMakeVisible (powerButton);
    addAndMakeVisible (manualButton);
    addAndMakeVisible (autoButton);
    infoButton.setPanel ("limiter", accent);
    addAndMakeVisible (infoButton);
    rebuildKnobs();
    startTimer (83);
}

LimiterPanel::~LimiterPanel()
{
    stopTimer();
    morphDrag.reset();
    for (auto* b : { &powerButton, &manualButton, &autoButton })
        b->setLookAndFeel (nullptr);
    while (! knobs.empty())
        knobs.pop_back();
}

void LimiterPanel::setActive (bool active)
{
    setVisible (active);
    if (active)
    {
        syncHeader();
        rebuildKnobs();
    }
}

void LimiterPanel::rebuildKnobs()
{
    while (! knobs.empty())
        knobs.pop_back();
    const bool light = vyrTheme (processor.themeIndex).light;
    for (const auto& k : kKnobs)
    {
        auto knob = std::make_unique<HardwareKnob> (processor.apvts, k.id, k.caption, k.unit, juce::Colour (kAccent), k.size);
        knob->light = light;
        knob->skirted = k.knurled;
        if (juce::String (k.id) == "limiter_release")
            knob->showSeconds = true;
        addAndMakeVisible (*knob);
        knobs.push_back (std::move (knob));
    }
    syncHeader();
    resized();
}

void LimiterPanel::setReleaseKnobEnabled (bool enabled)
{
    if (knobs.size() >= 3)
        knobs[2]->slider.setEnabled (enabled);
}

void LimiterPanel::syncHeader()
{
    auto& tree = processor.apvts;
    const bool enabled = vyrPanel::readOn (tree, "limiter_enabled", true);
    const bool isAuto = vyrPanel::readChoice (tree, "limiter_releaseMode", 0) == 1;
    powerButton.setToggleState (enabled, juce::dontSendNotification);
    manualButton.setToggleState (! isAuto, juce::dontSendNotification);
    autoButton.setToggleState (isAuto, juce::dontSendNotification);
    setReleaseKnobEnabled (! isAuto);
    layoutPills();
    repaint();
}

void LimiterPanel::timerCallback()
{
    if (! vyrPanel::showing (*this))
        return;
    auto& tree = processor.apvts;
    juce::String now = statusText();
    for (auto* id : { "limiter_enabled", "limiter_style", "limiter_stylePos", "limiter_scale", "limiter_noiseShape" })
        now << "|" << vyrPanel::read (tree, id, 0.0f);
    now << "|" << processor.themeIndex.load (std::memory_order_acquire);
    // Automation, recall and recipes show within a tick; an unchanged state costs no repaint.
    if (shown.changed (now))
        syncHeader();
}

//==============================================================================
void LimiterPanel::applyStyle (int index)
{
    auto& tree = processor.apvts;
    const int i = juce::jlimit (0, 4, index);
    vyrPanel::writeChoice (tree, "limiter_style", i);
    vyrPanel::write (tree, "limiter_stylePos", (float) i);
    const auto& r = vyrLimStyle::kRecipe[i];
    vyrPanel::write (tree, "limiter_inputGain", r.inputGain);
    vyrPanel::write (tree, "limiter_ceiling", r.ceiling);
    vyrPanel::write (tree, "limiter_release", r.release);
    vyrPanel::writeChoice (tree, "limiter_releaseMode", r.releaseMode);
    vyrPanel::write (tree, "limiter_lookahead", r.lookahead);
    vyrPanel::write (tree, "limiter_stereoLink", r.stereoLink);
    vyrPanel::write (tree, "limiter_mix", r.mix);
    vyrPanel::write (tree, "limiter_outputGain", r.outputGain);
    syncHeader();
}

void LimiterPanel::applyStyleMorph (float position)
{
    const float p = juce::jlimit (0.0f, 4.0f, std::isfinite (position) ? position : 0.0f);
    const int a = (int) p, b = juce::jmin (a, 3) + 1;
    const float t = p - (float) a;
    const int n = t < 0.5f ? a : b;
    const auto &A = vyrLimStyle::kRecipe[a], &B = vyrLimStyle::kRecipe[b];
    auto lerp = [t] (float x, float y) { return x + (y - x) * t; };

    morphWrite ("limiter_stylePos", p, false);
    morphWrite ("limiter_style", (float) n, true);
    morphWrite ("limiter_inputGain", lerp (A.inputGain, B.inputGain), false);
    morphWrite ("limiter_ceiling", lerp (A.ceiling, B.ceiling), false);
    morphWrite ("limiter_release", lerp (A.release, B.release), false);
    morphWrite ("limiter_releaseMode", (float) vyrLimStyle::kRecipe[n].releaseMode, true);
    morphWrite ("limiter_lookahead", lerp (A.lookahead, B.lookahead), false);
    morphWrite ("limiter_stereoLink", lerp (A.stereoLink, B.stereoLink), false);
    morphWrite ("limiter_mix", lerp (A.mix, B.mix), false);
    morphWrite ("limiter_outputGain", lerp (A.outputGain, B.outputGain), false);

    const bool manual = vyrLimStyle::kRecipe[n].releaseMode == 0;
    setReleaseKnobEnabled (manual);
    manualButton.setToggleState (manual, juce::dontSendNotification);
    autoButton.setToggleState (! manual, juce::dontSendNotification);
    repaint();
}

void LimiterPanel::morphWrite (const juce::String& id, float plain, bool choice)
{
    auto& tree = processor.apvts;
    if (choice && dynamic_cast<juce::AudioParameterChoice*> (tree.getParameter (id)) == nullptr)
        return;
    if (morphDrag != nullptr)
        morphDrag->write (id, plain);
    else if (choice)
        vyrPanel::writeChoice (tree, id, (int) plain);
    else
        vyrPanel::write (tree, id, plain);
}

float LimiterPanel::morphPositionAt (int x) const
{
    return (float) (x - morphStripRect.getX()) / (float) juce::jmax (morphStripRect.getWidth(), 1) * 5.0f - 0.5f;
}

void LimiterPanel::clickPill (const LimiterPill& pill)
{
    auto& tree = processor.apvts;
    if (pill.group == LimiterPill::style)
    {
        if (vyrPanel::readOn (tree, "limiter_styleXfade", false))
            applyStyleMorph ((float) pill.index);
        else
            applyStyle (pill.index);
    }
    else if (pill.group == LimiterPill::switches)
    {
        const char* id = kSwitchIds[pill.index];
        vyrPanel::writeOn (tree, id, ! vyrPanel::readOn (tree, id, false));
    }
    else
    {
        vyrPanel::writeChoice (tree, kGroupChoiceIds[pill.group], pill.index);
    }
    syncHeader();
}

void LimiterPanel::mouseDown (const juce::MouseEvent& e)
{
    auto& tree = processor.apvts;
    const auto pos = e.getPosition();
    if (xfadeRect.contains (pos))
    {
        const bool was = vyrPanel::readOn (tree, "limiter_styleXfade", false);
        vyrPanel::writeOn (tree, "limiter_styleXfade", ! was);
        const int style = vyrPanel::readChoice (tree, "limiter_style", 0);
        if (was)
            applyStyle (style);
        else
            applyStyleMorph (vyrPanel::read (tree, "limiter_stylePos", (float) style));
        return;
    }
    if (morphStripRect.contains (pos))
    {
        vyrPanel::writeOn (tree, "limiter_styleXfade", true);
        draggingMorph = true;
        morphDrag = std::make_unique<vyrPanel::GestureSpan> (tree);
        applyStyleMorph (morphPositionAt (pos.x));
        return;
    }
    for (const auto& pill : pills)
        if (pill.bounds.contains (pos))
        {
            const auto chosen = pill; // the click lays the pills out anew
            clickPill (chosen);
            return;
        }
}

void LimiterPanel::mouseDrag (const juce::MouseEvent& e)
{
    if (draggingMorph)
        applyStyleMorph (morphPositionAt (e.getPosition().x));
}

void LimiterPanel::mouseUp (const juce::MouseEvent&)
{
    draggingMorph = false;
    morphDrag.reset();
}

//==============================================================================
int LimiterPanel::pad() const
{
    const int t = processor.themeIndex.load (std::memory_order_acquire);
    return t == VyrThemeId::instrument ? 28 : (t == VyrThemeId::titanium ? 22 : 16);
}

void LimiterPanel::resized()
{
    const int W = getWidth(), H = getHeight(), pd = pad();
    const int iw = juce::jmax (W - 2 * pd, 0), ih = juce::jmax (H - 24, 0);
    const int hh = juce::jmin (ih, 32), rest = ih - hh, gap = juce::jmin (rest, 4);

    const int pw = juce::jmin (iw, 86);
    powerButton.setBounds (pd + iw - pw, hh / 2 - 1, 86, 26);
    const int r = iw - pw, r2 = r - juce::jmin (r, 8), bw = juce::jmin (r2, 18);
    infoButton.setBounds (pd + r2 - bw - (18 - bw) / 2, 12 + (hh - 18) / 2, 18, 18);

    const int y0 = hh + gap + 12, ch = rest - gap;
    const int bayW = juce::jmin (iw, juce::jlimit (220, 260, 2 * iw / 5));
    meterBay.setBounds (pd, y0, bayW, ch);

    const int kx = pd + bayW + juce::jmin (iw - bayW, 16);
    const int kw = iw - bayW - juce::jmin (iw - bayW, 16);
    const int kh = juce::jmin (ch, 88);
    if (! knobs.empty())
    {
        const int m = kw / (int) knobs.size();
        int x = kx, remaining = kw;
        for (auto& k : knobs)
        {
            const int cw = juce::jmin (remaining, m);
            k->setBounds (x + 1, y0, juce::jmax (cw - 2, 0), juce::jmax (kh, 0));
            x += cw;
            remaining -= cw;
        }
    }
    if (knobs.size() >= 3)
    {
        const auto b = knobs[2]->getBounds();
        manualButton.setBounds (b.getX() + 4, b.getBottom() - 2, 28, 14);
        autoButton.setBounds (b.getX() + 32, b.getBottom() - 2, 28, 14);
    }
    pillArea = { kx, y0 + kh, kw, ch - kh };
    layoutPills();
}

void LimiterPanel::layoutPills()
{
    pills.clear();
    int x, y, w, h;
    if (pillArea.getWidth() >= 1 && pillArea.getHeight() > 0)
    {
        x = pillArea.getX(), y = pillArea.getY(), w = pillArea.getWidth(), h = pillArea.getHeight();
    }
    else
    {
        const int iw = juce::jmax (getWidth() - 32, 0), ih = juce::jmax (getHeight() - 24, 0);
        const int hd = juce::jmin (ih, 36), kb = juce::jmin (ih - hd, 92);
        const int bw = juce::jmin (iw, juce::jlimit (220, 260, 2 * iw / 5) + 16);
        x = bw + 16, y = hd + kb + 12, w = iw - bw, h = ih - hd - kb;
    }
    const int fh = juce::jmin (h, 20);
    statusRect = { x, y + h - fh, w, fh };
    const int hp = h - fh;
    const int extra = juce::jmax (hp - 136, 0) / 6;
    const int ww = juce::jmax (w, 158);
    const int r0 = y + extra + 8;
    xfadeRect = { x, r0, 72, 16 };
    morphStripRect = { x + 78, r0, ww - 78, 16 };

    auto group = [this] (int g, const char* const* labels, int n, int gx, int gy, int d) {
        const int pw = juce::jmax ((d - 6 * (n - 1)) / n, 32);
        int spare = d - n * (pw + 6) + 6;
        for (int i = 0; i < n; ++i)
        {
            int width = pw;
            if (spare > 0)
                ++width, --spare;
            pills.push_back ({ { gx, gy, width, 26 }, labels[i], g, i });
            gx += width + 6;
        }
    };

    const int step = extra + 26;
    const int y1 = r0 + 16 + juce::jmax (extra, 6), y2 = y1 + step, y3 = y2 + step, y4 = y3 + step;
    group (LimiterPill::style, kStyleLabels, 5, x + 78, y1, ww - 78);
    const int u = juce::jmax (roundHalfAway ((ww - 90) * 0.42), 1);
    group (LimiterPill::oversampling, kOversamplingLabels, 4, x + 78, y2, u);
    group (LimiterPill::switches, kSwitchLabels, 3, x + 90 + u, y2, juce::jmax (ww - 90 - u, 1));
    const int m = ww - 142;
    const int v = juce::jmax (roundHalfAway (m * 0.34), 1);
    group (LimiterPill::dither, kDitherLabels, 3, x + 78, y3, v);
    group (LimiterPill::noiseShape, kShapeLabels, 4, x + 142 + v, y3, juce::jmax (m - v, 1));
    const int a = juce::jmax (roundHalfAway (m * 0.36), 1);
    group (LimiterPill::releaseShape, kReleaseShapeLabels, 3, x + 78, y4, a);
    group (LimiterPill::scale, kScaleLabels, 6, x + 142 + a, y4, juce::jmax (m - a, 1));
}

juce::String LimiterPanel::statusText() const
{
    static const char* const kOsLab[] = { "1", "2", "4", "8" };
    static const char* const kSh[] = { "none", "basic", "optimized", "weighted" };
    static const char* const kRs[] = { "linear", "exp", "adaptive" };
    auto& tree = processor.apvts;
    const juce::String sep (juce::CharPointer_UTF8 ("  \xc2\xb7  "));

    juce::String s;
    if (vyrPanel::readChoice (tree, "limiter_releaseMode", 0) == 1)
        s << "Auto release";
    else
        s << "Release " << juce::String (vyrPanel::read (tree, "limiter_release", 0.05f) * 1000.0f, 0) << " ms";
    s << sep << (vyrPanel::read (tree, "limiter_stereoLink", 100.0f) < 50.0f ? "Unlinked" : "Linked");
    const float la = vyrPanel::read (tree, "limiter_lookahead", 0.0f);
    s << sep << "Lookahead " << (std::abs (la - std::round (la)) >= 0.05f ? juce::String (la, 1) : juce::String (la, 0)) << " ms";
    s << sep << "Oversampling " << kOsLab[juce::jlimit (0, 3, vyrPanel::readChoice (tree, "limiter_oversampling", 0))] << "x";
    if (vyrPanel::readOn (tree, "limiter_truePeak", false))
        s << sep << "True-Peak";
    if (vyrPanel::readOn (tree, "limiter_msMode", false))
        s << sep << "M/S";
    if (vyrPanel::readOn (tree, "limiter_dcBlocker", true))
        s << sep << "DC Block";
    if (vyrPanel::readOn (tree, "limiter_styleXfade", false))
        s << sep << "Style xfade";
    const int dither = vyrPanel::readChoice (tree, "limiter_dither", 0);
    if (dither != 0)
        s << sep << "Dither " << (dither == 1 ? "16" : "24") << "-bit "
          << kSh[juce::jlimit (0, 3, vyrPanel::readChoice (tree, "limiter_noiseShape", 0))];
    s << sep << kRs[juce::jlimit (0, 2, vyrPanel::readChoice (tree, "limiter_releaseShape", 1))] << " release";
    return s;
}
