#include "Ui/ModulePanels/LimiterMeterBay.h"

#include "Core/PluginProcessor.h"
#include "Ui/Controls/HardwareFader.h"
#include "Ui/Controls/VyrMeterHelpers.h"
#include "Ui/Foundation/VyrInfoOverlay.h"
#include "Ui/Foundation/VyrLucide.h"
#include "Ui/ModulePanels/PanelKit.h"

#include <cmath>

namespace
{
using juce::Colour;
using F = juce::Rectangle<float>;

constexpr juce::uint32 kGr = 0xfffbbf24;
constexpr juce::uint32 kInfo = 0xff22d3ee;
constexpr juce::uint32 kCaption = 0xffb4bcc6;

// The framework's one-decimal text: half away from zero, a minus kept on a negative that rounds to 0.
juce::String fixed1 (float v) { return juce::String (v, 1); }

float roundTenth (float v) { return (float) (v < 0.0f ? -std::floor (-v * 10.0f + 0.5f) : std::floor (v * 10.0f + 0.5f)) / 10.0f; }

juce::Colour loudnessColour (float v)
{
    if (v >= -9.0f)
        return Colour (0xffff5252);
    if (v >= -16.0f)
        return Colour (0xffccff00);
    return Colour (0xff00afff);
}
}

//==============================================================================
LimiterIoFader::LimiterIoFader (VyrAudioProcessor& p, juce::String id, juce::String cap)
    : processor (p), paramId (std::move (id)), caption (std::move (cap))
{
}

int LimiterIoFader::captionBand() const noexcept { return juce::jmin (getHeight(), 12); }
int LimiterIoFader::valueBand() const noexcept { return juce::jmin (getHeight() - captionBand(), 12); }

juce::Rectangle<float> LimiterIoFader::trackArea() const
{
    const int th = juce::jmax (getHeight() - captionBand() - valueBand(), 0);
    return { 1.0f, (float) captionBand(), (float) juce::jmax (getWidth() - 2, 0), (float) th };
}

float LimiterIoFader::value() const { return vyrPanel::read (processor.apvts, paramId, 0.0f); }

float LimiterIoFader::gainAtY (float y) const
{
    const int th = juce::jmax (getHeight() - captionBand() - valueBand(), 0);
    const float t = (y - (float) captionBand()) / (float) juce::jmax (th, 1);
    const float v = juce::jlimit (0.0f, 1.0f, t > 1.0f ? 0.0f : (t < 0.0f ? 1.0f : 1.0f - t));
    float db;
    if (v >= 0.75f)
        db = (v - 0.75f) * 4.0f * kMaxDb;
    else
        db = 20.0f * std::log10 (juce::jmax (v / 0.75f * (1.0f - 1.0e-3f) + 1.0e-3f, 1.0e-8f));
    return roundTenth (db);
}

void LimiterIoFader::setGain (float db)
{
    if (drag != nullptr)
        drag->write (paramId, db);
    else if (auto* p = processor.apvts.getParameter (paramId))
    {
        p->beginChangeGesture();
        p->setValueNotifyingHost (p->convertTo0to1 (db));
        p->endChangeGesture();
    }
    repaint();
}

void LimiterIoFader::setFromY (float y) { setGain (gainAtY (y)); }

void LimiterIoFader::mouseDown (const juce::MouseEvent& e)
{
    if (e.mods.isAltDown())
        setGain (0.0f);
    else
    {
        drag = std::make_unique<vyrPanel::GestureSpan> (processor.apvts);
        setFromY ((float) e.y);
    }
}

void LimiterIoFader::mouseDrag (const juce::MouseEvent& e)
{
    if (drag != nullptr)
        setFromY ((float) e.y);
}

void LimiterIoFader::mouseUp (const juce::MouseEvent&) { drag.reset(); }

void LimiterIoFader::mouseDoubleClick (const juce::MouseEvent&)
{
    drag.reset();
    setGain (0.0f);
}

void LimiterIoFader::paint (juce::Graphics& g)
{
    const int W = getWidth(), H = getHeight();
    const float v = value();
    g.setColour (Colour (0xffeef3f8));
    g.setFont (vyrPanel::font (9.0f, true, 0.1f));
    g.drawText (caption, juce::Rectangle<int> (0, 0, W, captionBand()), juce::Justification::centred, false);
    // The track's position clamps the cap inside it whatever the value; the readout tells the rest.
    vyrMeter::paintKestroFader (g, trackArea(), juce::jlimit (kMinDb, kMaxDb, v), kMinDb, kMaxDb, Colour (kInfo), false);
    g.setColour (Colour (0xffeef3f8));
    g.setFont (vyrPanel::font (9.5f, true));
    g.drawText ((v > 0.0f ? "+" : "") + fixed1 (v), juce::Rectangle<int> (0, H - valueBand(), W, valueBand()),
                juce::Justification::centred, false);
}

//==============================================================================
struct LimiterMeterBay::Reading
{
    bool on = true;
    float floor = -24.0f, ceiling = -0.1f;
    float inL, inR, outL, outR, truePeak, mom, shortTerm, integrated, lra, maxIn, maxOut, maxGr, maxTp, gr;
};

LimiterMeterBay::LimiterMeterBay (VyrAudioProcessor& p)
    : processor (p), inFader (p, "limiter_inputGain", "IN"), outFader (p, "limiter_outputGain", "OUT")
{
    addAndMakeVisible (inFader);
    addAndMakeVisible (outFader);
    startTimer (33);
}

LimiterMeterBay::~LimiterMeterBay() { stopTimer(); }

VyrLimiter& LimiterMeterBay::limiter() const { return processor.liveChain.limiter; }

void LimiterMeterBay::timerCallback()
{
    if (vyrPanel::showing (*this))
        repaint();
}

float LimiterMeterBay::floorOfScale (int choice) noexcept
{
    constexpr float floors[6] = { -24.0f, -32.0f, -48.0f, -12.0f, -14.0f, -20.0f };
    return choice >= 1 && choice <= 5 ? floors[choice] : -24.0f;
}

float LimiterMeterBay::percentOf (float db, float floor) noexcept
{
    const float p = (db - floor) / (0.0f - floor) * 100.0f;
    return std::isfinite (p) ? juce::jlimit (0.0f, 100.0f, p) : 0.0f;
}

juce::String LimiterMeterBay::maxText (float db) { return db > -120.0f ? fixed1 (db) : juce::String (juce::CharPointer_UTF8 ("\xe2\x80\x94")); }

juce::String LimiterMeterBay::lufsText (float lufs) { return lufs > -100.0f ? fixed1 (lufs) : juce::String (juce::CharPointer_UTF8 ("-\xe2\x88\x9e")); }

void LimiterMeterBay::resized()
{
    const int W = getWidth(), H = getHeight();
    const int b = juce::jmin (H, 52), rest = H - b;
    historyRect = { 0, rest + 2, juce::jmax (W, 0), juce::jmax (b - 4, 0) };
    const int r = juce::jmin (rest, 96), top = rest - r;
    readoutRect = { 0, top + 2, juce::jmax (W, 0), juce::jmax (r - 4, 0) };

    const int iw = juce::jmax (W - 4, 0), mh = juce::jmax (top - 4, 0), fh = juce::jmax (top - 20, 0);
    const int cw = juce::jmin (iw, juce::jmax ((iw - 90) / 2, 36));
    int left = iw;
    auto take = [&left] (int want) { const int n = juce::jmin (left, want); left -= n; return n; };

    inMeterRect = { 2, 2, take (cw), mh };
    const int s1 = take (28);
    inFader.setBounds (cw + 3, 10, juce::jmax (s1, 2) - 2, fh);
    const int g1 = take (4);
    grMeterRect = { cw + s1 + g1 + 2, 2, take (18), mh };
    const int g2 = take (4);
    const int s2 = take (28);
    outFader.setBounds (grMeterRect.getRight() + g2 + 1, 10, juce::jmax (s2, 2) - 2, fh);
    const int g3 = take (4);
    outMeterRect = { grMeterRect.getRight() + g2 + s2 + g3, 2, take (left), mh };
}

void LimiterMeterBay::paint (juce::Graphics& g)
{
    auto& mb = limiter().meterBlock;
    auto& tree = processor.apvts;
    Reading r;
    r.on = vyrPanel::readOn (tree, "limiter_enabled", true);
    r.floor = floorOfScale (vyrPanel::readChoice (tree, "limiter_scale", 0));
    r.ceiling = vyrPanel::read (tree, "limiter_ceiling", -0.1f);
    r.inL = vyrMeter::load (mb.inPeakL), r.inR = vyrMeter::load (mb.inPeakR);
    r.outL = vyrMeter::load (mb.outPeakL), r.outR = vyrMeter::load (mb.outPeakR);
    r.truePeak = vyrMeter::load (mb.truePeakDb);
    r.mom = vyrMeter::load (mb.lufsMomentary), r.shortTerm = vyrMeter::load (mb.lufsShort);
    r.integrated = vyrMeter::load (mb.lufsIntegrated), r.lra = vyrMeter::load (mb.lra);
    r.maxIn = vyrMeter::load (mb.maxIn), r.maxOut = vyrMeter::load (mb.maxOut);
    r.maxGr = vyrMeter::load (mb.maxGr), r.maxTp = vyrMeter::load (mb.maxTruePeak);
    r.gr = vyrMeter::load (limiter().grDb);

    paintColumn (g, inMeterRect, "INPUT", r.inL, r.inR, r.maxIn, -120.0f, r);
    paintColumn (g, outMeterRect, "OUTPUT", r.outL, r.outR, r.maxOut, r.truePeak, r);
    paintGrMeter (g, r);
    paintReadouts (g, r);
    paintHistory (g);
}

void LimiterMeterBay::paintColumn (juce::Graphics& g, juce::Rectangle<int> rect, const juce::String& caption, float left,
                                   float right, float maximum, float marker, const Reading& r)
{
    const float x = (float) rect.getX(), y = (float) rect.getY(), w = (float) rect.getWidth(), h = (float) rect.getHeight();
    const float c = juce::jmin (h, 12.0f);
    g.setColour (Colour (0xccc08490));
    g.setFont (vyrPanel::font (9.0f, true, 0.1f));
    g.drawText (caption, F (x, y, w, c), juce::Justification::centred, false);
    const float half = juce::jmin (w, w * 0.5f);
    paintBar (g, F (x + 3.0f, y + c, juce::jmax (half - 6.0f, 0.0f), juce::jmax (h - c, 0.0f)), "L", left, maximum, marker, r);
    paintBar (g, F (x + half + 3.0f, y + c, juce::jmax (w - half - 6.0f, 0.0f), juce::jmax (h - c, 0.0f)), "R", right, maximum, marker, r);
}

void LimiterMeterBay::paintBar (juce::Graphics& g, F rect, const juce::String& label, float level, float maximum, float marker,
                                const Reading& r)
{
    const float x = rect.getX(), w = rect.getWidth(), h = rect.getHeight();
    const float lh = juce::jmin (h, 10.0f);
    g.setColour (Colour (0xffd0dae6));
    g.setFont (vyrPanel::font (8.5f));
    g.drawText (label, F (x, rect.getY(), w, lh), juce::Justification::centred, false);
    const float y = rect.getY() + lh, bh = h - lh, bottom = y + bh;
    const F bar (x, y, w, bh);

    const float P = r.on ? percentOf (level, r.floor) : 0.0f;
    const float M = r.on ? percentOf (maximum, r.floor) : 0.0f;
    const float T = r.on ? percentOf (marker, r.floor) : 0.0f;
    const float C = percentOf (r.ceiling, r.floor);

    g.setColour (Colour (0xb2000000));
    g.fillRoundedRectangle (bar, 2.0f);
    g.setColour (Colour (0x1affffff));
    g.drawRoundedRectangle (bar, 2.0f, 1.0f);

    juce::ColourGradient ladder (Colour (0xff10b981), x, bottom, Colour (0xffdc2626), x, y, false);
    ladder.addColour (0.38, Colour (0xff22c55e));
    ladder.addColour (0.66, Colour (0xffeab308));
    ladder.addColour (0.82, Colour (0xfff97316));
    ladder.addColour (0.94, Colour (0xffef4444));
    g.setGradientFill (ladder);
    g.fillRoundedRectangle (bar, 2.0f);
    g.setColour (Colour (0xd9000000));
    g.fillRect (F (x, y, w, bh * (1.0f - P / 100.0f)));

    g.setColour (Colour (0x8c000000));
    for (float s = bottom; s > y; s -= 5.0f)
        g.fillRect (F (x, s - 1.0f, w, 1.0f));

    g.setColour (Colour (0xb2ffffff));
    g.fillRect (F (x, bottom - C * bh / 100.0f, w, 1.0f));

    if (! r.on)
        return;
    g.setColour (juce::Colours::white);
    g.fillRect (F (x, bottom - M * bh / 100.0f - 1.0f, w, 2.0f));
    if (marker > r.floor)
    {
        g.setColour (Colour (0xff67e8f9));
        g.fillEllipse (x + w / 2.0f - 3.0f, bottom - T * bh / 100.0f - 3.0f, 6.0f, 6.0f);
    }
    const float L = bh * P / 100.0f;
    if (L > 1.0f)
    {
        const Colour glow (P >= 94.0f ? 0xffef4444 : P >= 82.0f ? 0xfff97316 : P >= 66.0f ? 0xffeab308 : 0xff22c55e);
        juce::Graphics::ScopedSaveState save (g);
        g.reduceClipRegion (F (x, bottom - L, w, L).toNearestInt());
        vyrMeter::paintLedBloom (g, F (x, bottom - L, w, L), glow, 1.0f);
    }
}

void LimiterMeterBay::paintGrMeter (juce::Graphics& g, const Reading& r)
{
    const auto rect = grMeterRect.toFloat();
    const float x = rect.getX(), w = rect.getWidth(), c = juce::jmin (rect.getHeight(), 12.0f);
    g.setColour (Colour (0xccfbbf24));
    g.setFont (vyrPanel::font (9.0f, true, 0.1f));
    g.drawText ("GR", F (x, rect.getY(), w, c), juce::Justification::centred, false);
    const float y = rect.getY() + c, h = rect.getHeight() - c;
    g.setColour (Colour (0xb2000000));
    g.fillRoundedRectangle (F (x, y, w, h), 2.0f);
    g.setColour (Colour (0x66f59e0b));
    g.drawRoundedRectangle (F (x, y, w, h), 2.0f, 1.0f);
    const float gr = std::isfinite (r.gr) ? r.gr : 0.0f;
    const float G = juce::jmin (gr * 0.05f, 1.0f) * h;
    const float shown = juce::jmax (r.on ? G : 0.2f * G, 0.0f);
    if (shown <= 0.0f)
        return;
    g.setGradientFill (juce::ColourGradient (Colour (0xfff59e0b), x, y, Colour (0xfffcd34d), x, y + juce::jmax (G, 1.0f), false));
    g.fillRect (F (x, y, w, shown));
    if (shown > 1.0f)
        vyrMeter::paintLedBloom (g, F (x, y, w, shown), Colour (0xfff59e0b), 1.0f);
}

void LimiterMeterBay::paintReadouts (juce::Graphics& g, const Reading& r)
{
    const auto rect = readoutRect.toFloat();
    const float x = rect.getX(), y = rect.getY(), w = rect.getWidth(), h = rect.getHeight();
    const float r1 = juce::jmin (h, 32.0f), r2 = juce::jmin (h - r1, 32.0f);
    const float half = juce::jmin (w, w * 0.5f);
    const float a = juce::jmax (half - 6.0f, 0.0f), b = juce::jmax (w - half - 6.0f, 0.0f);

    const struct
    {
        const char* caption;
        F cell;
        juce::String value;
        juce::uint32 colour;
    } cells[4] = {
        { "MAX IN", F (x + 3.0f, y + 2.0f, a, juce::jmax (r1 - 4.0f, 0.0f)), maxText (r.maxIn), 0xfff9a8b0 },
        { "MAX OUT", F (x + half + 3.0f, y + 2.0f, b, juce::jmax (r1 - 4.0f, 0.0f)), maxText (r.maxOut), 0xff6ee7b7 },
        { "MAX GR", F (x + 3.0f, y + r1 + 2.0f, a, juce::jmax (r2 - 4.0f, 0.0f)), "-" + fixed1 (r.maxGr), 0xfffcd34d },
        { "TRUE PEAK", F (x + half + 3.0f, y + r1 + 2.0f, b, juce::jmax (r2 - 4.0f, 0.0f)), maxText (r.maxTp), 0xff67e8f9 },
    };
    for (int i = 0; i < 4; ++i)
    {
        const auto& cell = cells[i].cell;
        g.setColour (Colour (0x66000000));
        g.fillRoundedRectangle (cell, 6.0f);
        g.setColour (Colour (0x1affffff));
        g.drawRoundedRectangle (cell, 6.0f, 1.0f);
        const float c = juce::jmin (cell.getHeight(), 12.0f);
        g.setColour (Colour (kCaption));
        g.setFont (vyrPanel::font (8.0f, false, 0.06f));
        g.drawText (cells[i].caption, F (cell.getX(), cell.getY(), cell.getWidth(), c), juce::Justification::centred, false);
        const auto valueRect = F (cell.getX(), cell.getY() + c, cell.getWidth(), cell.getHeight() - c).toNearestInt();
        g.setColour (Colour (cells[i].colour));
        g.setFont (vyrPanel::font (11.0f));
        g.drawText (cells[i].value, valueRect, juce::Justification::centred, false);
        maxHitRects[i] = valueRect;
    }
    paintLoudness (g, F (x + 2.0f, y + r1 + r2 + 1.0f, juce::jmax (w - 4.0f, 0.0f), juce::jmax (h - r1 - r2 - 2.0f, 0.0f)), r);
}

void LimiterMeterBay::paintLoudness (juce::Graphics& g, F box, const Reading& r)
{
    const float bx = box.getX(), by = box.getY(), bw = box.getWidth(), bh = box.getHeight();
    g.setColour (Colour (0x66000000));
    g.fillRoundedRectangle (box, 6.0f);
    g.setColour (Colour (0x3322d3ee));
    g.drawRoundedRectangle (box, 6.0f, 1.0f);

    const float th = juce::jmin (bh, 12.0f);
    const F titleRect (bx + 4.0f, by, juce::jmax (bw - 8.0f, 0.0f), th);
    const juce::String title (juce::CharPointer_UTF8 ("LUFS  \xc2\xb7  BS.1770"));
    const auto titleFont = vyrPanel::font (8.0f, false, 0.08f);
    g.setColour (Colour (kCaption));
    g.setFont (titleFont);
    g.drawText (title, titleRect, juce::Justification::centredLeft, false);

    const auto titleInt = titleRect.toNearestInt();
    const int rw = juce::jmin (titleInt.getWidth(), 70);
    resetRect = { titleInt.getRight() - rw, titleInt.getY(), rw, titleInt.getHeight() };
    infoDotRect = F ((float) resetRect.getX() - 24.0f, (float) titleInt.getY() - 3.0f, 18.0f, 18.0f);
    vyrMeter::paintInfoDot (g, infoDotRect, Colour (kInfo));
    g.setColour (Colour (0xff9aa3ae));
    g.setFont (vyrPanel::font (7.0f, false, 0.08f));
    g.drawText ("RESET I/LRA", resetRect, juce::Justification::centredRight, false);

    const float cy = by + th, ch = bh - th;
    float cx = bx, remaining = bw;
    const struct
    {
        const char* caption;
        juce::String value;
        Colour colour;
    } cells[4] = {
        { "MOM", lufsText (r.mom), loudnessColour (r.mom) },
        { "SHORT", lufsText (r.shortTerm), loudnessColour (r.shortTerm) },
        { "INT", lufsText (r.integrated), loudnessColour (r.integrated) },
        { "LRA", r.lra > 0.0f ? fixed1 (r.lra) : maxText (-120.0f), Colour (0xffa78bfa) },
    };
    for (int i = 0; i < 4; ++i)
    {
        const float cw = i < 3 ? juce::jmin (remaining, bw / 4.0f) : remaining;
        const float lh = juce::jmin (ch, 10.0f);
        g.setColour (Colour (kCaption));
        g.setFont (vyrPanel::font (7.0f, false, 0.06f));
        g.drawText (cells[i].caption, F (cx, cy, cw, lh), juce::Justification::centred, false);
        g.setColour (cells[i].colour);
        g.setFont (vyrPanel::font (11.0f, true));
        g.drawText (cells[i].value, F (cx, cy + lh, cw, ch - lh), juce::Justification::centred, false);
        cx += cw;
        remaining -= cw;
    }
}

void LimiterMeterBay::paintHistory (juce::Graphics& g)
{
    const auto rect = historyRect.toFloat();
    const float x = rect.getX(), y = rect.getY(), w = rect.getWidth(), h = rect.getHeight();
    g.setColour (Colour (0x80000000));
    g.fillRoundedRectangle (rect, 6.0f);
    g.setColour (Colour (0x40f59e0b));
    g.drawRoundedRectangle (rect, 6.0f, 1.0f);

    const float t = juce::jmax (juce::jmin (h, 12.0f), 0.0f);
    const F titleRect (x + 4.0f, y, juce::jmax (w - 8.0f, 0.0f), t);
    g.setFont (vyrPanel::font (8.0f, false, 0.08f));
    g.setColour (Colour (0xb2fcd34d));
    g.drawText ("GR HISTORY", titleRect, juce::Justification::centredLeft, false);
    g.setColour (Colour (0x4cffffff));
    g.drawText ("0 ... -12 dB", titleRect, juce::Justification::centredRight, false);

    const float py = y + juce::jmin (h, 12.0f), ph = h - juce::jmin (h, 12.0f);
    g.setColour (Colour (0x0fffffff));
    for (float q : { 0.25f, 0.5f, 0.75f })
        g.fillRect (F (x, py + q * ph, w, 1.0f));

    auto& lim = limiter();
    const int k = lim.grHistoryWrite.load (std::memory_order_acquire);
    constexpr int n = VyrLimiter::grHistorySize;
    juce::Path curve;
    for (int i = 0; i < n; ++i)
    {
        const float gi = lim.grHistory[(size_t) ((k + i) % n + n) % n].load (std::memory_order_relaxed);
        const float v = std::isfinite (gi) ? juce::jlimit (0.0f, 1.0f, gi / 12.0f) : 0.0f;
        const juce::Point<float> pt (x + (float) i / (float) (n - 1) * w, py + v * ph);
        if (i == 0)
            curve.startNewSubPath (pt);
        else
            curve.lineTo (pt);
    }
    juce::Path fill (curve);
    fill.lineTo (x + w, py);
    fill.lineTo (x, py);
    fill.closeSubPath();
    g.setColour (Colour (kGr).withAlpha ((juce::uint8) 0x2e));
    g.fillPath (fill);
    g.setColour (Colour (kGr));
    g.strokePath (curve, juce::PathStrokeType (1.3f));
}

void LimiterMeterBay::mouseDown (const juce::MouseEvent& e)
{
    const auto p = e.position;
    if (infoDotRect.contains (p))
    {
        if (auto* host = VyrInfoHost::findFor (*this))
            host->getInfoOverlay().open ("lufs", Colour (kInfo));
        return;
    }
    const auto ip = e.getPosition();
    if (resetRect.contains (ip))
    {
        limiter().resetLoudness();
        repaint();
        return;
    }
    for (auto& hit : maxHitRects)
        if (hit.contains (ip))
        {
            limiter().resetMaxima();
            repaint();
            return;
        }
}
