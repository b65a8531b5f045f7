#include "Ui/FxChain/VyrModuleGraphModel.h"

#include "Core/PluginProcessor.h"
#include "Dsp/Saturation.h"

#include <cmath>
#include <complex>

namespace vyrFx
{
float satTransfer (int mode, float drive, float x) noexcept
{
    return VyrSaturation::shape (mode, x, 1.0f + 1.5f * drive);
}

float satJitter (int index) noexcept
{
    const float s = std::sin (std::fma (12.9898f, (float) index, 78.233f));
    const float v = 43758.547f * s;
    return 2.0f * (v - std::floor (v)) - 1.0f;
}

float clipOut (float driveDb, float symmetryPercent, float x) noexcept
{
    const float g = std::pow (10.0f, juce::jmax (driveDb, 0.0f) / 20.0f);
    const float s = juce::jlimit (-1.0f, 1.0f, symmetryPercent / 100.0f);
    return juce::jlimit (-1.0f, 1.0f, std::tanh (g * (x + s)) - std::tanh (g * s));
}

namespace
{
    constexpr double displayRate = 44100.0;

    double angleOf (double f) noexcept { return juce::MathConstants<double>::twoPi * (f > 1.0 ? f : 1.0) / displayRate; }

    enum class Section { lowPass, highPass, highShelf };

    // Magnitude in dB of one cookbook section (Q 0.707) at angle w, floored at 1e-9.
    double sectionDb (Section type, double f0, double gainDb, double w) noexcept
    {
        const double w0 = angleOf (f0), c = std::cos (w0), alpha = std::sin (w0) / 1.414;
        double b0, b1, b2, a0, a1, a2;
        if (type == Section::lowPass)
        {
            b0 = b2 = (1.0 - c) / 2.0; b1 = 1.0 - c;
            a0 = 1.0 + alpha; a1 = -2.0 * c; a2 = 1.0 - alpha;
        }
        else if (type == Section::highPass)
        {
            b0 = b2 = (1.0 + c) / 2.0; b1 = -(1.0 + c);
            a0 = 1.0 + alpha; a1 = -2.0 * c; a2 = 1.0 - alpha;
        }
        else
        {
            const double A = std::pow (10.0, gainDb / 40.0), sa = 2.0 * std::sqrt (A) * alpha;
            b0 = A * ((A + 1.0) + (A - 1.0) * c + sa);
            b1 = -2.0 * A * ((A - 1.0) + (A + 1.0) * c);
            b2 = A * ((A + 1.0) + (A - 1.0) * c - sa);
            a0 = (A + 1.0) - (A - 1.0) * c + sa;
            a1 = 2.0 * ((A - 1.0) - (A + 1.0) * c);
            a2 = (A + 1.0) - (A - 1.0) * c - sa;
        }
        const std::complex<double> z1 = std::polar (1.0, -w), z2 = std::polar (1.0, -2.0 * w);
        const double num = std::abs (b0 + b1 * z1 + b2 * z2), den = std::abs (a0 + a1 * z1 + a2 * z2);
        const double mag = den > 0.0 ? num / den : 0.0;
        return 20.0 * std::log10 (juce::jmax (mag, 1.0e-9));
    }

    float clipErr (double g, double s, float x1, float y1, float x2, float y2) noexcept
    {
        auto f = [g, s] (double x) { return juce::jlimit (-1.0, 1.0, std::tanh (g * (x + s)) - std::tanh (g * s)); };
        const double e1 = f (x1) - y1, e2 = f (x2) - y2;
        return (float) (e1 * e1 + e2 * e2);
    }

    void refine (double& g, double& s, float x1, float y1, float x2, float y2) noexcept
    {
        g = juce::jlimit (1.0, 316.0, g);
        s = juce::jlimit (-1.0, 1.0, s);
        auto q = [] (double u) { if (std::abs (u) > 20.0) return 0.0; const double ch = std::cosh (u); return 1.0 / (ch * ch); };
        for (int it = 0; it < 20; ++it)
        {
            const double u1 = g * (s + x1), u2 = g * (s + x2), u0 = g * s;
            const double r1 = std::tanh (u1) - std::tanh (u0) - y1, r2 = std::tanh (u2) - std::tanh (u0) - y2;
            const double J11 = q (u1) * (s + x1) - q (u0) * s, J12 = g * (q (u1) - q (u0));
            const double J21 = q (u2) * (s + x2) - q (u0) * s, J22 = g * (q (u2) - q (u0));
            const double det = J11 * J22 - J12 * J21;
            if (std::abs (det) < 1.0e-7)
            {
                g = juce::jmax (0.62 * g, 1.0);
                continue;
            }
            const double stepG = (J22 * r1 - J12 * r2) / det, stepS = (J11 * r2 - J21 * r1) / det;
            g = juce::jlimit (1.0, 316.0, g - 0.55 * stepG);
            s = juce::jlimit (-1.0, 1.0, s - 0.55 * stepS);
            if (std::abs (stepG) < 1.0e-4 && std::abs (stepS) < 1.0e-4)
                break;
        }
    }
} // namespace

float clipFilterDbAt (const ClipToneState& t, float frequency) noexcept
{
    const double w = angleOf (frequency);
    const double sum = sectionDb (t.filterType == 1 ? Section::highPass : Section::lowPass, t.clipFilterFreq, 0.0, w)
                       + sectionDb (Section::highPass, t.tone, 0.0, w)
                       + sectionDb (Section::highShelf, t.highShelfFreq, t.highShelfGain, w)
                       + sectionDb (Section::lowPass, t.lpFilterFreq, 0.0, w);
    return (float) sum;
}

float airResponseDb (float f, float airAmount, int calibration) noexcept
{
    const float a = airAmount / 10.0f;
    const float A = a < 0.0f ? 0.0f : (a > 1.0f ? 4.0f : 4.0f * a);
    const float B = calibration == 0 ? -1.5f : (calibration == 2 ? 1.5f : 0.0f);
    const float u = (f / 10000.0f) * (f / 10000.0f), v = (f / 5000.0f) * (f / 5000.0f);
    return A * u / (1.0f + u) + B * v / (1.0f + v);
}

float densityFullTransfer (float pentode, float triode, float density, float x) noexcept
{
    const float d = juce::jlimit (-1.0f, 1.0f, density);
    const float push = d > 0.0f ? 0.55f * d : 0.0f, relax = d < 0.0f ? -0.25f * d : 0.0f;
    const float p = 0.6f * (push + pentode - relax), t = 0.6f * (push + triode - relax);
    const float y = x + 0.018f * std::tanh (7.0f * x) - 0.004f * x;
    const float gp = 1.0f + 2.4f * juce::jmax (p, 0.0f);
    float z = std::tanh (gp * (y + 0.14f)) - std::tanh (gp * 0.14f) + 0.05f * y;
    const float gt = 1.0f + 2.8f * juce::jmax (t, 0.0f);
    z = std::tanh (gt * z);
    return juce::jlimit (-1.0f, 1.0f, z + 0.018f * std::tanh (7.0f * z) - 0.004f * z);
}

void solveDriveSym (float x1, float y1, float x2, float y2, float gain0, float symmetry0, float& gain, float& symmetry) noexcept
{
    double bestG = juce::jlimit (1.0, 316.0, (double) gain0), bestS = juce::jlimit (-1.0, 1.0, (double) symmetry0);
    float best = clipErr (bestG, bestS, x1, y1, x2, y2);
    auto tryStart = [&] (double g, double s)
    {
        refine (g, s, x1, y1, x2, y2);
        const float e = clipErr (g, s, x1, y1, x2, y2);
        if (e < best)
        {
            best = e;
            bestG = g;
            bestS = s;
        }
    };
    tryStart (gain0, symmetry0);
    tryStart (juce::jmax (gain0 / 4.0, 1.0), symmetry0);
    tryStart (8.0, 0.0);
    tryStart (2.0, 0.0);
    if (std::abs (x1) > 0.08f)
        tryStart (juce::jlimit (1.0, 316.0, std::abs (std::atanh (juce::jlimit (-0.99, 0.99, (double) y1)) / x1)), 0.0);
    if (best > 0.012f)
        for (double g : { 160.0, 80.0, 40.0, 16.0, 8.0, 4.0, 2.0 })
            tryStart (g, 0.0);
    gain = (float) bestG;
    symmetry = (float) bestS;
}
} // namespace vyrFx

//==============================================================================
float graphParam (const juce::AudioProcessorValueTreeState& tree, const char* id, float fallback) noexcept
{
    if (auto* v = tree.getRawParameterValue (id))
        return v->load (std::memory_order_relaxed);
    return fallback;
}

namespace
{
int choiceIndex (const juce::AudioProcessorValueTreeState& tree, const char* id, int fallback) noexcept
{
    return juce::roundToInt (graphParam (tree, id, (float) fallback));
}

bool isOn (const juce::AudioProcessorValueTreeState& tree, const char* id, bool fallback) noexcept
{
    return graphParam (tree, id, fallback ? 1.0f : 0.0f) >= 0.5f;
}
} // namespace

vyrFx::ClipToneState clipToneFrom (const juce::AudioProcessorValueTreeState& tree)
{
    vyrFx::ClipToneState s;
    s.filterType = choiceIndex (tree, "clip_clipFilterType", 0);
    s.clipFilterFreq = graphParam (tree, "clip_clipFilterFreq", 4400.0f);
    s.tone = graphParam (tree, "clip_tone", 170.0f);
    s.highShelfFreq = graphParam (tree, "clip_highShelfFreq", 980.0f);
    s.highShelfGain = graphParam (tree, "clip_highShelfGain", 0.0f);
    s.lpFilterFreq = graphParam (tree, "clip_lpFilterFreq", 6600.0f);
    return s;
}

VyrCompressor compressorUi (const VyrAudioProcessor& processor)
{
    const auto& t = processor.apvts;
    VyrCompressor c;
    c.threshold = graphParam (t, "compressor_threshold", -18.0f);
    c.ratio = graphParam (t, "compressor_ratio", 4.0f);
    c.attack = graphParam (t, "compressor_attack", 0.003f);
    c.release = graphParam (t, "compressor_release", 0.25f);
    c.knee = graphParam (t, "compressor_knee", 30.0f);
    c.makeup = graphParam (t, "compressor_makeup", 0.0f);
    c.mix = graphParam (t, "compressor_mix", 100.0f) * 0.01f;
    c.model = graphParam (t, "compressor_model", 1.0f);
    c.character = choiceIndex (t, "compressor_character", 0);
    c.enabled = isOn (t, "compressor_enabled", false);
    return c;
}

VyrReverbEngine::Params reverbUi (const VyrAudioProcessor& processor)
{
    const auto& t = processor.apvts;
    VyrReverbEngine::Params p;
    p.enabled = isOn (t, "reverb_enabled", false);
    p.shape = choiceIndex (t, "reverb_shape", 1);
    p.size = graphParam (t, "reverb_size", 0.5f);
    p.diffuse = graphParam (t, "reverb_diffuse", 0.78f);
    p.color = graphParam (t, "reverb_color", 0.55f);
    p.loFactor = graphParam (t, "reverb_loFactor", 0.35f);
    p.hiFactor = graphParam (t, "reverb_hiFactor", 0.45f);
    p.earlyLevel = graphParam (t, "reverb_earlyLevel", 0.55f);
    p.lateLevel = graphParam (t, "reverb_lateLevel", 1.18f);
    p.decay = graphParam (t, "reverb_decay", 1.5f);
    p.lpf = graphParam (t, "reverb_lpf", 18000.0f);
    p.freeze = isOn (t, "reverb_freeze", false);
    p.monoCompatible = isOn (t, "reverb_monoCompatible", false);
    p.mix = graphParam (t, "reverb_mix", 0.2f);
    p.radicalness = graphParam (t, "reverb_radicalness", 0.0f);
    p.predelay = graphParam (t, "reverb_predelay", 0.0f);
    p.lowCut = graphParam (t, "reverb_lowCut", 20.0f);
    p.highShelfFreq = graphParam (t, "reverb_highShelfFreq", 8000.0f);
    p.highShelfGain = graphParam (t, "reverb_highShelfGain", 0.0f);
    return p;
}

float delayVisualTimeSec (const juce::AudioProcessorValueTreeState& tree)
{
    static constexpr float noteBeats[6] = { 0.25f, 0.375f, 0.5f, 0.75f, 1.0f, 1.5f };
    const int note = choiceIndex (tree, "delay_syncNote", 0) - 1;
    float t;
    if (note >= 0 && note <= 5)
    {
        const float bpm = juce::jlimit (20.0f, 300.0f, graphParam (tree, "delay_bpm", 120.0f));
        const float beat = bpm > 20.0f ? 60.0f / bpm : 3.0f;
        t = noteBeats[note] * beat;
    }
    else
    {
        t = graphParam (tree, "delay_time", 0.25f);
    }
    return juce::jlimit (0.01f, 1.5f, t);
}

//==============================================================================
juce::Rectangle<float> fxGraphRect (juce::Rectangle<int> R, int top)
{
    return juce::Rectangle<int> (R.getX() + 16, R.getY() + top, R.getWidth() - 32, juce::jmax (R.getHeight() - top - 108, 140)).toFloat();
}

juce::Rectangle<float> satPlotRect (juce::Rectangle<int> R)
{
    const float side = juce::jmin ((float) R.getHeight() - 84.0f, 0.46f * (float) (R.getWidth() - 32), 320.0f);
    return { (float) R.getX() + 16.0f, (float) R.getY() + 68.0f, side, side };
}

ClipPlot makeClipPlot (juce::Rectangle<int> R)
{
    ClipPlot c;
    c.frame = fxGraphRect (R, 36);
    c.plot = { c.frame.getX() + 8.0f, c.frame.getY() + 18.0f, juce::jmax (c.frame.getWidth() - 16.0f, 0.0f),
               juce::jmax (c.frame.getHeight() - 36.0f, 0.0f) };
    return c;
}

CompPlot compPlotIn (juce::Rectangle<int> R)
{
    const auto G = fxGraphRect (R, 64);
    float left = G.getX(), width = G.getWidth();
    auto cutLeft = [&] (float px) { const float c = juce::jlimit (0.0f, juce::jmax (width, 0.0f), px); left += c; width -= c; };
    auto cutRight = [&] (float px) { width -= juce::jlimit (0.0f, juce::jmax (width, 0.0f), px); };
    cutLeft (28.0f);
    cutRight (28.0f);
    cutRight (28.0f);
    cutLeft (6.0f);
    cutRight (6.0f);
    CompPlot p;
    p.x = left + 36.0f;
    p.w = juce::jmax (width - 72.0f, 0.0f);
    p.y = G.getY() + 22.0f;
    p.h = juce::jmax (G.getHeight() - 44.0f - 8.0f, 0.0f);
    return p;
}

juce::Rectangle<int> reverbScreenRect (juce::Rectangle<int> R)
{
    int h = juce::jmax (R.getHeight(), 57) - 56;
    for (int cut : { 176, 8, 22, 8 })
        h -= juce::jmin (h, cut);
    return { R.getX() + 16, R.getY() + 36, juce::jmax (R.getWidth(), 33) - 32, h };
}

ReverbField reverbFieldIn (juce::Rectangle<int> screen, const VyrReverbEngine::Params& u)
{
    ReverbField f;
    f.fx = (float) screen.getX() + 13.5f;
    f.fy = (float) screen.getY() + 11.5f;
    f.fw = juce::jmax ((float) screen.getWidth() - 27.0f, 0.0f);
    f.fh = juce::jmax ((float) screen.getHeight() - 37.0f, 0.0f);
    f.fb = f.fy + f.fh;
    f.px = f.fx + 8.0f + 44.0f * juce::jlimit (0.0f, 1.0f, u.predelay / 200.0f);
    const float dn = juce::jlimit (0.0f, 1.0f, (u.decay - 0.5f) / 14.5f);
    f.mix = { f.fx + 5.5f, f.fb - 0.82f * f.fh * (0.7f + 0.3f * u.mix) };
    f.predelay = { f.px, f.fb - 0.36f * f.fh };
    f.decay = { juce::jmin (f.fx + f.fw - 40.0f, f.px + f.fw * (0.1f + 0.14f * u.size + 0.04f * u.radicalness)),
                f.fb - 0.72f * f.fh * (0.6f + 0.5f * dn) * (1.0f + 0.12f * u.radicalness) };
    return f;
}

//==============================================================================
namespace
{
using IRect = juce::Rectangle<int>;

int roundAway (float v) noexcept { return (int) std::round (v); }

// A w x h box centred in a cell; odd remainders put the extra pixel after the box.
IRect centredIn (int cx, int cy, int cw, int ch, int w, int h) noexcept
{
    return { cx + (cw - w) / 2, cy + (ch - h) / 2, w, h };
}

void layoutStripRow (DensLayout& L, juce::Rectangle<float> S, float g)
{
    float r = S.getWidth() - g;
    r -= juce::jmin (r, 8.0f);
    const int n = juce::jmax (roundAway (r), 1);
    const float k = n <= 508 ? (float) n / 508.0f : 1.0f;
    static constexpr int base[6] = { 82, 54, 108, 92, 100, 72 };
    int w[6], sum = 0;
    for (int i = 0; i < 6; ++i)
    {
        w[i] = juce::jmax (roundAway ((float) base[i] * k), 40);
        sum += w[i];
    }
    const int spare = juce::jmax (n - sum, 0);
    int cells[6][2];
    float x = S.getX(), left = (float) n;
    for (int i = 0; i < 6; ++i)
    {
        const float cw = juce::jmin ((float) w[i], juce::jmax (left, 0.0f));
        cells[i][0] = roundAway (x);
        cells[i][1] = roundAway (cw);
        x += cw;
        left -= cw;
        if (i < 5)
        {
            const float gap = juce::jmin ((float) (spare / 5 + (i < spare % 5 ? 1 : 0)), juce::jmax (left, 0.0f));
            x += gap;
            left -= gap;
        }
    }
    const int sy = roundAway (S.getY()), sh = roundAway (S.getHeight());
    const int kw = juce::jmin (w[0] - 2, 84);
    L.transferPlot = { (float) cells[0][0] + (float) (cells[0][1] - kw) * 0.5f, S.getY() + (S.getHeight() - 54.0f) * 0.5f, (float) kw, 54.0f };
    auto knob = [&] (int i, int lo, int hi, int height)
    {
        const int size = juce::jlimit (lo, hi, cells[i][1]) - 2;
        return centredIn (cells[i][0], sy, cells[i][1], sh, size, height);
    };
    L.inputKnob = knob (1, 46, 56, 60);
    L.densityKnob = knob (2, 98, 108, 112);
    L.calibrationRow = centredIn (cells[3][0], sy, cells[3][1], sh, w[3] < 98 ? w[3] - 2 : 96, 20);
    L.mixKnob = knob (4, 98, 108, 112);
    const int bw = w[5] < 74 ? w[5] - 2 : 72;
    const int by = (int) (S.getY() + (S.getHeight() - 50.0f) / 2.0f);
    L.inOutButton = { cells[5][0] + (cells[5][1] - bw) / 2, by, bw, 22 };
    L.altTubeButton = L.inOutButton.translated (0, 28);
}

void layoutLeftColumn (DensLayout& L)
{
    const auto T = L.tubeColumn.toNearestInt();
    const int m = juce::jmax (T.getWidth() - 24, 0);
    int rest = juce::jmax (T.getHeight() - 24, 0), top = T.getY() + 12;
    auto skip = [&] (int px) { const int s = juce::jmin (rest, px); top += s; rest -= s; return s; };
    skip (4);
    skip (16);
    skip (8);
    const int rowH = juce::jmin (rest, 28);
    L.satFreqRow = { T.getX() + 12, top, m, rowH };
    skip (rowH);
    skip (12);
    const int size = juce::jlimit (98, 108, m) - 2;
    L.saturationKnob = centredIn (T.getX() + 12, top, m, rest, size, 112);
}

void layoutRightColumn (DensLayout& L)
{
    const auto C = L.controlColumn.toNearestInt();
    const int V = C.getX() + 10, top = C.getY() + 10, m = juce::jmax (C.getWidth() - 20, 0), room = juce::jmax (C.getHeight() - 20, 0);
    const int kr = juce::jmin (room, room < 225 ? 72 : juce::jmin ((int) std::floor (0.32f * (float) room), 88));
    const int p = juce::jmin (m, juce::jmax ((m - 8) / 2, 1));
    const int gp = juce::jmin (m - p, 8);
    L.pentodeKnob = { V, top, p, kr };
    L.triodeKnob = { V + p + gp, top, m - p - gp, kr };

    const int gap1 = juce::jmin (room - kr, 8);
    const int Z = room - kr - gap1, rowTop = top + kr + gap1;
    const int ar = juce::jmin (Z, Z < 148 ? 56 : juce::jmin ((int) std::floor (0.38f * (float) Z), 72));
    const int aw = juce::jmin (m, 48);
    L.airButton = { V + (aw - 44) / 2, rowTop + (ar - 28) / 2, 44, 28 };
    L.airAmountKnob = centredIn (V + aw, rowTop, m - aw, ar, juce::jlimit (46, 56, m - aw) - 2, 60);

    const int gap2 = juce::jmin (Z - ar, 6);
    const int rm = Z - ar - gap2, restTop = rowTop + ar + gap2;
    const int orr = juce::jmin (rm, rm < 124 ? 64 : juce::jmin ((int) std::floor (0.52f * (float) rm), 78));
    L.outputKnob = centredIn (V, top + room - orr, m, orr, juce::jlimit (46, 56, m) - 2, 60);
    L.airPlot = { (float) V, (float) restTop, (float) m, (float) ((rm - orr) - juce::jmin (rm - orr, 6)) };
}
} // namespace

DensLayout makeDensLayout (juce::Rectangle<float> area)
{
    DensLayout L;
    const float x = area.getX(), y = area.getY(), w = area.getWidth(), h = area.getHeight();
    const float a = juce::jmin (w, 148.0f), b = juce::jmin (w - a, 176.0f);
    const float g1 = juce::jmin (w - a - b, 6.0f), g2 = juce::jmin (w - a - b - g1, 6.0f);
    const float d = juce::jmin (h, 142.0f), f = juce::jmin (h - d, 8.0f), ch = h - d - f;
    L.tubeColumn = { x, y, a, ch };
    L.engineView = { x + a + g1, y, w - a - b - g1 - g2, ch };
    L.controlColumn = { x + w - b, y, b, ch };
    L.bottomStrip = { x, y + h - d, w, d };

    const juce::Rectangle<float> S (x + 10.0f, y + h - d + 10.0f, juce::jmax (w - 20.0f, 0.0f), juce::jmax (d - 20.0f, 0.0f));
    const float g = juce::jmin (S.getWidth(), juce::jlimit (168.0f, 252.0f, 0.34f * S.getWidth()));
    const float gx = S.getRight() - g, t = S.getY() + (S.getHeight() - 83.0f) / 2.0f;
    const int X = (int) std::nearbyint (gx), T = (int) std::nearbyint (t);
    const float G = g;
    const float first = juce::jmin (G, 38.0f);
    L.vuButton = { X + 1, T, juce::jmax ((int) first - 2, 0), 18 };
    L.ppmButton = { X + 1 + (int) first, T, juce::jmax ((int) juce::jmin (G - first, 42.0f) - 2, 0), 18 };
    L.meterScale = { gx + 4.0f, t + 24.0f, juce::jmax (g - 8.0f, 0.0f), 11.0f };
    L.meterBarL = { gx, t + 41.0f, g, 18.0f };
    L.meterBarR = { gx, t + 65.0f, g, 18.0f };

    layoutStripRow (L, S, g);
    layoutLeftColumn (L);
    layoutRightColumn (L);
    return L;
}
