#include "Ui/Shell/AppShell.h"

#include "Core/PluginProcessor.h"
#include "Ui/Foundation/HardwareArt.h"
#include "Ui/Foundation/VyrLucide.h"
#include "Ui/Foundation/VyrPainting.h"
#include "Ui/Foundation/VyrTheme.h"
#include "Ui/Shell/ExportInfoOverlay.h"
#include "Ui/Shell/ShellPainters.h"

using namespace vyrShell;

namespace
{
juce::String utf8 (const char* s) { return juce::String::fromUTF8 (s); }
juce::Colour whiteA (int a) { return juce::Colours::white.withAlpha ((juce::uint8) a); }
juce::Colour blackA (int a) { return juce::Colours::black.withAlpha ((juce::uint8) a); }
juce::Colour pick (bool light, juce::uint32 l, juce::uint32 d) { return juce::Colour (light ? l : d); }

juce::Rectangle<float> unionOf (juce::Rectangle<int> a, juce::Rectangle<int> b) { return a.getUnion (b).toFloat(); }

// Text of the status block's rate line: "48.0 kHz", "44.10 kHz"; "44.1 kHz" before preparation.
juce::String rateText (double sampleRate)
{
    if (sampleRate < 1000.0)
        return "44.1 kHz";
    const double k = sampleRate / 1000.0;
    const bool whole = std::abs (k - std::round (k)) <= 0.05;
    return juce::String (k, whole ? 1 : 2) + " kHz";
}

// The '45 degree elbow' trace between two index marks.
juce::Path traceBetween (juce::Point<float> a, juce::Point<float> b)
{
    juce::Path p;
    p.startNewSubPath (a);
    const float dx = b.x - a.x, dy = b.y - a.y;
    if (std::abs (dx) < 0.6f || std::abs (dy) < 0.6f)
    {
        p.lineTo (b);
        return p;
    }
    const float m = juce::jmin (std::abs (dx), std::abs (dy));
    const float sx = dx < 0 ? -1.0f : 1.0f, sy = dy < 0 ? -1.0f : 1.0f;
    const float run = std::abs (dx) - m;
    p.lineTo (a.x + sx * run, a.y);
    p.lineTo (a.x + sx * (run + m), a.y + sy * m);
    p.lineTo (b);
    return p;
}
}

void AppShell::paint (juce::Graphics& g)
{
    vyrFillPageBackground (g, getLocalBounds(), processor.themeIndex.load (std::memory_order_acquire));
    if (layoutMode == desktop)
        paintDesktopHeader (g);
    else if (standalone && processor.product != vyrProducts::quarn)
        paintWindowFrame (g);
}

void AppShell::paintOverChildren (juce::Graphics& g)
{
    // Outside the frame and the desktop header nothing else draws the window buttons, so they
    // get the frame's look here, above the page they sit on.
    if (standalone && (processor.product != vyrProducts::fullChain))
        paintCornerButtons (g);
}

void AppShell::paintCornerButtons (juce::Graphics& g)
{
    for (auto* b : { &settingsButton, &fullscreenButton })
    {
        if (! b->isVisible())
            continue;
        const auto r = b->getBounds().toFloat();
        g.setColour (juce::Colour (0xff2a2e35));
        g.fillRoundedRectangle (r, 6.0f);
        g.setColour (whiteA (0x29));
        g.drawRoundedRectangle (r, 6.0f, 1.0f);
        const auto icon = r.reduced (juce::jmin (8.0f, r.getHeight() / 4.0f));
        if (b == &settingsButton)
            vyrLucide::drawSettings (g, icon, whiteA (0xc7));
        else if (topLevelIsFullScreen())
            vyrLucide::drawMinimize2 (g, icon, whiteA (0xc7));
        else
            vyrLucide::drawMaximize2 (g, icon, whiteA (0xc7));
    }
}

void AppShell::paintWindowFrame (juce::Graphics& g)
{
    const int W = getWidth(), H = getHeight();
    const int x = juce::jmax (0, (W - 1200) / 2);
    const int width = juce::jmin (W, 1200);
    const int height = H < 840 ? H - 40 : 800;
    const juce::Rectangle<float> frame ((float) x, 40.0f, (float) width, (float) height);

    g.setColour (whiteA (0x1a));
    g.drawRoundedRectangle (frame, 8.0f, 1.0f);

    const int b = juce::jmin (height, 28);
    if (b > 0)
    {
        g.setGradientFill (juce::ColourGradient::vertical (juce::Colour (0xff2c3038), 40.0f, juce::Colour (0xff1a1d23), 40.0f + (float) b));
        g.fillRect (juce::Rectangle<float> ((float) x, 40.0f, (float) width, (float) b));
    }
    const juce::uint32 dots[3] = { 0xffff5f57, 0xfffebc2e, 0xff28c840 };
    for (int i = 0; i < 3; ++i)
    {
        g.setColour (juce::Colour (dots[i]));
        g.fillEllipse ((float) (x + 8 + 14 * i), 49.0f, 10.0f, 10.0f);
    }
    g.setColour (whiteA (0xb2));
    g.setFont (juce::Font (11.0f));
    g.drawText (processor.getName() + utf8 ("  \xc2\xb7  ") + familyMotto(), x + 52, 40, juce::jmax (width - 132, 0), juce::jmax (b, 0),
                juce::Justification::centred, true);

    paintCornerButtons (g);
}

void AppShell::paintDesktopHeader (juce::Graphics& g)
{
    const int W = getWidth();
    const int theme = processor.themeIndex.load (std::memory_order_acquire);
    const bool light = theme == 5;
    const auto accent = vyrShellAccent (theme);
    const auto h = headerGeometry();
    const int n = h.K, mark = h.icon, rest2 = h.L, band = h.modeBlock, statusW = h.statusBlock, titleW = h.titleBlock,
              x0 = h.titleX;
    const int statusX = x0 + rest2 - statusW;
    const float N = (float) juce::jmax (W - 32, 0);
    juce::ignoreUnused (n);

    // plate
    const juce::Rectangle<float> plate (16.0f, 12.0f, N, 128.0f);
    g.setColour (blackA (light ? 0x2e : 0x8c));
    g.fillRoundedRectangle (16.0f, 17.0f, N, 128.0f, 11.0f);
    {
        juce::Graphics::ScopedSaveState save (g);
        juce::Path clip;
        clip.addRoundedRectangle (plate, 11.0f);
        g.reduceClipRegion (clip);

        juce::ColourGradient body (pick (light, 0xff7a877e, 0), 16.0f, 12.0f, pick (light, 0xff4a544b, 0xff0a0c10), 16.0f, 140.0f, false);
        if (! light)
            body = juce::ColourGradient (juce::Colour (0xff2a303c).interpolatedWith (accent, 0.07f), 16.0f, 12.0f,
                                         juce::Colour (0xff0a0c10), 16.0f, 140.0f, false);
        body.addColour (0.42, pick (light, 0xff5e6a62, 0xff161a22));
        g.setGradientFill (body);
        g.fillRoundedRectangle (plate, 11.0f);
        paintMillBrush (g, plate, light);
        g.setGradientFill (juce::ColourGradient::vertical (whiteA (light ? 0x24 : 0x12), 12.0f, whiteA (0), 60.64f));
        g.fillRect (16.0f, 12.0f, N, 48.64f);
        g.setColour (blackA (light ? 0x47 : 0x80));
        g.drawRoundedRectangle (22.0f, 17.0f, juce::jmax (N - 12.0f, 0.0f), 118.0f, 7.0f, 1.15f);
        g.setColour (whiteA (light ? 0x2e : 0x14));
        g.drawRoundedRectangle (22.0f, 18.15f, juce::jmax (N - 12.0f, 0.0f), 118.0f, 7.0f, 0.85f);
        g.setColour (whiteA (light ? 0x42 : 0x29));
        g.fillRect (32.0f, 13.0f, juce::jmax (N - 32.0f, 0.0f), 1.15f);
        g.setColour (blackA (0x94));
        g.fillRect (32.0f, 137.8f, juce::jmax (N - 32.0f, 0.0f), 1.4f);
        g.setColour (accent.withAlpha ((juce::uint8) 0xc7));
        g.fillRoundedRectangle (38.0f, 13.8f, juce::jmax (N - 44.0f, 0.0f), 2.2f, 0.9f);
        g.setColour (accent.withAlpha ((juce::uint8) 0x38));
        g.fillRect (52.0f, 15.6f, juce::jmax (N - 72.0f, 0.0f), 6.5f);
    }
    g.setColour (blackA (light ? 0x52 : 0x9e));
    g.drawRoundedRectangle (plate, 11.0f, 1.15f);
    g.setColour (whiteA (light ? 0x29 : 0x12));
    g.drawRoundedRectangle (17.1f, 13.1f, juce::jmax (N - 2.2f, 0.0f), 125.8f, 10.0f, 0.8f);

    // schematic
    {
        const int tw = headerTitleWidth();
        const int right = (int) N - 344;
        const int w0 = tw + 146;
        const int left = right - (w0 + 28) >= 220 ? w0 + 28 : (tw > 240 ? 402 : w0 + 16);
        const int sw = right - left;
        if (sw >= 168)
        {
            juce::Graphics::ScopedSaveState save (g);
            juce::Path clip;
            clip.addRoundedRectangle (plate, 11.0f);
            g.reduceClipRegion (clip);
            g.excludeClipRegion ({ 24, 20, 112, 112 });
            paintTubeSchematic (g, { (float) left, 12.0f, (float) sw, 128.0f }, accent, light);
        }
    }

    // icon tile
    g.setColour (accent.withAlpha ((juce::uint8) 0x2e));
    g.fillRoundedRectangle (30.0f, 26.0f, (float) juce::jmax (mark + 4, 0), 100.0f, 20.0f);
    g.setImageResamplingQuality (juce::Graphics::highResamplingQuality);
    g.setOpacity (1.0f);
    g.setColour (juce::Colour (0xff123a6e));
    g.fillRoundedRectangle (32.0f, 28.0f, (float) juce::jmax (mark, 0), 96.0f, 0.22f * (float) juce::jmax (mark, 0));
    {
        const auto& icon = art->appIcon;
        if (icon.isValid() && icon.getWidth() > 0 && icon.getHeight() > 0 && mark > 0)
        {
            const float k = juce::jmax ((float) mark / (float) icon.getWidth(), 96.0f / (float) icon.getHeight());
            const float iw = (float) icon.getWidth() * k, ih = (float) icon.getHeight() * k;
            const float cx = 32.0f + (float) mark / 2.0f, cy = 28.0f + 48.0f;
            g.drawImageTransformed (icon, juce::AffineTransform::scale (k).translated (cx - iw / 2.0f, cy - ih / 2.0f));
        }
    }
    g.setColour (whiteA (0x47));
    g.drawRoundedRectangle (33.0f, 29.0f, (float) juce::jmax (mark - 2, 0), 94.0f, juce::jmax (0.22f * (float) mark - 1.0f, 0.0f), 1.2f);

    // title block
    if (titleW > 0)
    {
        g.setColour (accent.withAlpha ((juce::uint8) (light ? 0xe6 : 0xcc)));
        g.setFont (HardwareArt::brandWordmarkFont (36.0f, 0.1f));
        g.drawText ("Kaldun", x0, 34, titleW, 34, juce::Justification::bottomLeft, true);
        g.setColour (vyrTheme (theme).brightAccentColour());
        g.setFont (juce::Font (30.0f, juce::Font::bold));
        g.drawText ("Tolvaren", x0, 68, titleW, 32, juce::Justification::topLeft, true);
        g.setColour (accent.withAlpha ((juce::uint8) 0xcc));
        g.fillRoundedRectangle ((float) x0, 107.4f, 16.0f, 1.4f, 0.7f);
        g.setColour (pick (light, 0xff2a342f, 0x9ed4d8de));
        g.setFont (juce::Font (11.0f).withExtraKerningFactor (0.04f));
        g.drawText (familyMotto(), x0 + 22, 100, juce::jmax (titleW - 22, 0), 16, juce::Justification::centredLeft, true);
    }

    // grooves
    for (int gx : { x0 + titleW + 8, x0 + rest2 - band - 8, statusX - 6 })
    {
        g.setColour (blackA (light ? 0x38 : 0x80));
        g.fillRect ((float) gx, 30.0f, 1.15f, 94.0f);
        g.setColour (whiteA (light ? 0x29 : 0x12));
        g.fillRect ((float) gx + 1.15f, 30.0f, 1.0f, 94.0f);
    }

    // identity knobs
    {
        juce::Rectangle<int> all = themeButtons[0].getBounds();
        for (auto& b : themeButtons)
            all = all.getUnion (b.getBounds());
        const auto recess = all.toFloat().withTrimmedLeft (-8.0f).withTrimmedRight (-8.0f).expanded (0.0f, 6.0f);
        paintRecess (g, recess, 14.0f, light);

        const auto ringInk = light ? juce::Colour (0xff1e2a24).interpolatedWith (accent, 0.22f) : accent;
        const float ringAlpha = light ? 0.14f : 0.15f;
        const int traceAlpha = light ? 0x17 : 0x14, dotAlpha = light ? 0x1f : 0x21;

        juce::Point<float> lastMark;
        bool haveMark = false;
        for (int l = 0; l < 6; ++l)
        {
            const auto bb = themeButtons[l].getBounds().toFloat();
            if (bb.getWidth() <= 0.0f || bb.getHeight() <= 0.0f)
                continue;
            const float cx = bb.getCentreX(), cy = bb.getCentreY(), r = juce::jmin (bb.getWidth(), bb.getHeight()) / 2.0f;
            g.setColour (withAlphaF (ringInk, ringAlpha));
            g.drawEllipse (cx - r, cy - r, 2 * r, 2 * r, 1.0f);
            g.setColour (withAlphaF (ringInk, 0.55f * ringAlpha));
            g.drawEllipse (cx - 0.78f * r, cy - 0.78f * r, 1.56f * r, 1.56f * r, 0.7f);
            const juce::Point<float> markPt (cx, cy + r + 3.2f);
            g.setColour (ringInk.withAlpha ((juce::uint8) dotAlpha));
            g.drawEllipse (markPt.x - 1.9f, markPt.y - 1.9f, 3.8f, 3.8f, 0.85f);
            g.drawEllipse (markPt.x - 0.684f, markPt.y - 0.684f, 1.368f, 1.368f, 0.65f);
            if (haveMark)
            {
                g.setColour (ringInk.withAlpha ((juce::uint8) traceAlpha));
                g.strokePath (traceBetween (lastMark, markPt),
                              juce::PathStrokeType (0.65f, juce::PathStrokeType::mitered, juce::PathStrokeType::rounded));
            }
            lastMark = markPt;
            haveMark = true;
        }

        for (int l = 0; l < 6; ++l)
        {
            const auto bb = themeButtons[l].getBounds().toFloat();
            if (bb.getWidth() <= 0.0f || bb.getHeight() <= 0.0f)
                continue;
            const auto A = vyrShellAccent (l);
            const float d = juce::jmin (bb.getWidth(), bb.getHeight()) - 4.0f;
            const juce::Rectangle<float> knob (bb.getX() + (bb.getWidth() - d) / 2.0f, bb.getY() + (bb.getHeight() - d) / 2.0f, d, d);
            const bool selected = l == processor.themeIndex.load (std::memory_order_acquire);

            g.setColour (blackA (light ? 0x2e : 0x80));
            g.fillEllipse (knob.translated (0.0f, 1.2f));
            g.setGradientFill (juce::ColourGradient::vertical (pick (light, 0xffc5cec6, 0xff2a303c), knob.getY(),
                                                               pick (light, 0xff8f9e93, 0xff12151c), knob.getBottom()));
            g.fillEllipse (knob);
            {
                juce::Graphics::ScopedSaveState save (g);
                juce::Path clip;
                clip.addEllipse (knob);
                g.reduceClipRegion (clip);
                paintMillBrush (g, knob, light);
            }
            g.setColour (blackA (light ? 0x47 : 0x8c));
            g.drawEllipse (knob.reduced (0.4f), 1.15f);
            g.setColour (whiteA (light ? 0x33 : 0x1a));
            g.drawEllipse (knob.reduced (1.8f), 0.85f);

            const float j = 0.34f * d;
            const auto c = knob.getCentre();
            const juce::Rectangle<float> jewel (c.x - j / 2.0f, c.y - j / 2.0f, j, j);
            if (selected)
            {
                g.setColour (A.withAlpha ((juce::uint8) 0x66));
                g.fillEllipse (c.x - (j + 10.0f) / 2.0f, c.y - (j + 10.0f) / 2.0f, j + 10.0f, j + 10.0f);
                g.setColour (A.withAlpha ((juce::uint8) 0xe6));
                g.drawEllipse (knob.reduced (2.2f), 1.35f);
            }
            g.setColour (A.withAlpha (selected ? 1.0f : (light ? 0.42f : 0.28f)));
            g.fillEllipse (jewel);
            g.setColour (vyrLighten (A, 0.71428573f).withAlpha ((juce::uint8) (selected ? 0xb2 : 0x38)));
            g.drawEllipse (jewel.reduced (0.4f), 0.9f);
            const float s = 0.32f * j;
            g.setColour (whiteA (selected ? 0xa6 : 0x38));
            const float hd = juce::jmax (j - 2.0f * s, 0.0f);
            g.fillEllipse (jewel.getX() + s - 1.0f, jewel.getY() + s - 1.15f, hd, hd);
        }

        const auto& rec = vyrTheme (processor.themeIndex.load (std::memory_order_acquire));
        const auto nameFont = juce::Font (9.0f, juce::Font::bold).withExtraKerningFactor (0.2f);
        g.setFont (nameFont);
        g.setColour (blackA (light ? 0x2e : 0x73));
        g.drawText (rec.name != nullptr ? rec.name : "", juce::Rectangle<float> (recess.getX() + 1.0f, recess.getBottom() + 3.0f, recess.getWidth(), 12.0f),
                    juce::Justification::centred, true);
        g.setColour (light ? juce::Colour (0xb81a1a1a) : rec.brightAccentColour().withAlpha ((juce::uint8) 0xc7));
        g.drawText (rec.name != nullptr ? rec.name : "", juce::Rectangle<float> (recess.getX(), recess.getBottom() + 2.0f, recess.getWidth(), 12.0f),
                    juce::Justification::centred, true);
    }

    // layout switch
    paintMetalRocker (g, unionOf (plugInButton.getBounds(), desktopButton.getBounds()), layoutMode == desktop ? 1 : 0, light, accent);
    for (int i = 0; i < 2; ++i)
    {
        auto& b = i == 0 ? plugInButton : desktopButton;
        const bool selected = (i == 0) == (layoutMode == plugIn);
        const auto bb = b.getBounds();
        const int iw = juce::jmax (bb.getWidth() - 8, 0), ih = juce::jmax (bb.getHeight() - 8, 0), m = juce::jmin (ih, 16);
        const juce::Rectangle<float> iconBox ((float) bb.getX() + 4.0f + (float) (iw - 13) / 2.0f,
                                              (float) bb.getY() + 4.0f + (float) (m - 13) / 2.0f, 13.0f, 13.0f);
        const auto iconColour = selected ? accent : pick (light, 0xa62a342f, 0x7affffff);
        if (i == 0)
            vyrLucide::drawMaximize2 (g, iconBox, iconColour);
        else
            vyrLucide::drawMonitor (g, iconBox, iconColour);
        g.setColour (selected ? pick (light, 0xff1a1a1a, 0xf0ffffff) : pick (light, 0xff2a342f, 0x94ffffff));
        g.setFont (juce::Font (9.0f, juce::Font::bold).withExtraKerningFactor (0.1f));
        g.drawText (i == 0 ? "PLUGIN" : "DESKTOP", bb.getX() + 4, bb.getY() + 4 + m, iw, ih - m, juce::Justification::centred, true);
    }

    // edition switch
    paintMetalRocker (g, unionOf (basicButton.getBounds(), proButton.getBounds()), pro ? 1 : 0, light, accent);
    auto rockerLabel = [&] (juce::TextButton& b, bool on, bool isPro)
    {
        g.setColour (on ? (light ? juce::Colour (0xff1a1a1a) : juce::Colours::white) : pick (light, 0xb22a342f, 0x85ffffff));
        g.setFont (juce::Font (10.0f, juce::Font::bold).withExtraKerningFactor (isPro ? 0.12f : 0.04f));
        g.drawText (isPro ? "PRO" : "BASIC", b.getBounds(), juce::Justification::centred, true);
    };
    rockerLabel (basicButton, ! pro, false);
    rockerLabel (proButton, pro, true);

    // status block
    {
        const double t = juce::Time::getMillisecondCounterHiRes();
        const float phi = 0.55f + 0.45f * (float) std::sin (0.0042 * t);
        paintRecess (g, { (float) statusX, 40.0f, (float) statusW, 22.0f }, 7.0f, light);
        g.setColour (withAlphaF (juce::Colour (0xff34d399), 0.28f * phi));
        g.fillEllipse ((float) statusX + 5.0f, 44.4f, 13.2f, 13.2f);
        g.setColour (withAlphaF (juce::Colour (0xff6ee7b7), 0.55f + 0.45f * phi));
        g.fillEllipse ((float) statusX + 8.0f, 47.4f, 7.2f, 7.2f);
        g.setColour (pick (light, 0xff14532d, 0xffbbf7d0));
        g.setFont (juce::Font (8.5f, juce::Font::bold).withExtraKerningFactor (0.18f));
        g.drawText ("DSP LIVE", statusX + 18, 40, juce::jmax (statusW - 18, 0), 22, juce::Justification::centredLeft, true);
        g.setColour (pick (light, 0xb21a1a1a, 0x8cd4d8de));
        g.setFont (juce::Font (9.0f).withExtraKerningFactor (0.06f));
        g.drawText (rateText (processor.getSampleRate()) + utf8 ("  \xc2\xb7  32-bit"), statusX, 70, statusW, 14,
                    juce::Justification::centredLeft, true);
        g.setColour (pick (light, 0x8c2f3a34, 0x52ffffff));
        g.setFont (juce::Font (8.0f).withExtraKerningFactor (0.18f));
        g.drawText (utf8 ("v1.0  \xc2\xb7  NATIVE"), statusX, 88, statusW, 12, juce::Justification::centredLeft, true);
    }

    // header buttons
    if (standalone)
    {
        const auto ink = pick (light, 0xff2a342f, 0xb8ffffff);
        const auto sb = settingsButton.getBounds().toFloat();
        paintRecess (g, sb, 8.0f, light);
        vyrLucide::drawSettings (g, sb.reduced (7.0f), ink);
        const auto fb = fullscreenButton.getBounds().toFloat();
        if (topLevelIsFullScreen())
        {
            g.setColour (accent.withAlpha ((juce::uint8) (light ? 0x38 : 0x47)));
            g.fillRoundedRectangle (fb, 8.0f);
            g.setColour (accent);
            g.drawRoundedRectangle (fb.reduced (0.5f), 8.0f, 1.1f);
            vyrLucide::drawMinimize2 (g, fb.reduced (7.0f), accent);
        }
        else
        {
            paintRecess (g, fb, 8.0f, light);
            vyrLucide::drawMaximize2 (g, fb.reduced (7.0f), ink);
        }
    }
}
