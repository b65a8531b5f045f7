#include "Ui/FxChain/FxPainting.h"

#include "Core/PluginProcessor.h"
#include "Ui/Controls/LedMeter.h"
#include "Ui/Controls/VuMeter.h"
#include "Ui/Foundation/HardwareArt.h"
#include "Ui/Foundation/VyrLucide.h"
#include "Ui/Foundation/VyrPainting.h"
#include "Ui/Foundation/VyrTheme.h"
#include "Ui/FxChain/FxModuleSlots.h"
#include "Ui/FxChain/StudioComponent.h"

using juce::Colour;
using juce::Rectangle;

TcLayout makeTcLayout (Rectangle<int> area, int rows, bool withNoteRow)
{
    TcLayout t;
    const int x = area.getX() + 16, y = area.getY() + 36;
    const int w = juce::jmax (area.getWidth(), 33) - 32;
    int rem = juce::jmax (area.getHeight(), 57) - 56;
    auto take = [&rem] (int want) { const int got = juce::jmin (rem, want); rem -= got; return got; };

    const int fh = take (44 * juce::jmax (rows, 1));
    t.faders = { x, y + rem, w, fh };
    take (8);
    if (withNoteRow)
    {
        const int nh = take (22);
        t.noteRow = { x, y + rem, w, nh };
        take (4);
    }
    const int ch = take (22);
    const int cy = y + rem;
    take (8);
    t.screen = { x, y, w, rem };

    int right = x + w, left = w;
    auto cell = [&] (int want, int gapAfter, Rectangle<int>* out)
    {
        const int cw = juce::jmin (left, want);
        right -= cw;
        left -= cw;
        if (out != nullptr)
            *out = { right, cy, cw, ch };
        const int g = juce::jmin (left, gapAfter);
        right -= g;
        left -= g;
    };
    cell (24, 6, &t.unitBox);
    cell (22, 4, &t.plusBox);
    cell (50, 4, &t.valueBox);
    cell (22, 0, &t.minusBox);
    t.rowLeft = { x, cy, juce::jmax (w, 133) - 132, ch };
    return t;
}

namespace
{
bool isPanelModule (const juce::String& key)
{
    return key == "eq" || key == "dynamicEq" || key == "multiBandComp" || key == "tovu" || key == "stereoImager" || key == "limiter";
}

void drawTextIn (juce::Graphics& g, const juce::String& text, Rectangle<float> area, Colour colour, float size, bool bold,
                 float kerning, juce::Justification just)
{
    g.setColour (colour);
    g.setFont (juce::Font (size, bold ? juce::Font::bold : juce::Font::plain).withExtraKerningFactor (kerning));
    g.drawText (text, area, just, true);
}

Colour withAlpha (Colour c, juce::uint8 alpha) { return c.withAlpha (alpha); }
} // namespace

void StudioComponent::paint (juce::Graphics& g)
{
    const int W = getWidth(), H = getHeight();
    const int themeRaw = processor.themeIndex.load();
    const auto& theme = vyrTheme (themeRaw);

    // 1. The identity reaches the children before they paint.
    for (auto* k : knobs)
        k->light = theme.light;
    for (auto* m : { inMeter.get(), outMeter.get() })
        if (m != nullptr)
            m->themeId = themeRaw;
    if (vuMeter != nullptr)
        vuMeter->theme = themeRaw;

    // 2. The meters header of the full-chain products.
    const bool chain = isChainProduct();
    if (chain)
    {
        const int cw = juce::jmin (W, 212), x0 = W - cw;
        const int hh = juce::jmin (juce::jmax (H - 16, 0), 32);
        const Rectangle<float> column ((float) x0 + 2, 2.0f, (float) juce::jmax (cw - 4, 0), (float) juce::jmax (H - 4, 0));
        g.setColour (withAlpha (juce::Colours::black, 0x52));
        g.fillRoundedRectangle (column, 8.0f);
        g.setColour (withAlpha (juce::Colours::white, 0x1a));
        g.drawRoundedRectangle (column, 8.0f, 1.0f);
        drawTextIn (g, "METERS", { (float) x0 + 8, 8.0f, (float) juce::jmax (linkButton.getX() - (x0 + 8), 14) - 6, (float) hh },
                    Colour (0xffd4d8de), 13.0f, true, 0.08f, juce::Justification::centredLeft);
        vyrLucide::paintLinkChip (g, linkButton.getBounds().toFloat(), paramValue ("linkLR", 1.0f) >= 0.5f, false);
        const Rectangle<float> io ((float) (x0 + juce::jmax (cw - 16, 0) - 25), (float) (8 + (hh - 24) / 2), 32.0f, 24.0f);
        g.setColour (withAlpha (juce::Colours::white, 0x0d));
        g.fillRoundedRectangle (io, 4.0f);
        g.setColour (Colour (0x7367e8f9));
        g.drawRoundedRectangle (io, 4.0f, 1.0f);
        drawTextIn (g, "I/O", io.toNearestInt().toFloat(), Colour (0xffd4d8de), 10.0f, true, 0.1f, juce::Justification::centred);
        g.setColour (withAlpha (juce::Colours::white, 0x1a));
        g.fillRect ((float) x0 + 8, (float) scaleButtons[0].getY() - 18, (float) juce::jmax (cw - 16, 0), 1.0f);
        drawTextIn (g, "Signal Chain", { 12.0f, 8.0f, 92.0f, 20.0f }, withAlpha (juce::Colours::white, 0xb2), 13.0f, false, 0.0f,
                    juce::Justification::centredLeft);
    }

    // 3. Module key and rectangle.
    const auto key = moduleId();
    const auto Ri = moduleRect();
    const auto R = Ri.toFloat();
    auto watermark = [&]
    {
        if (chain)
            HardwareArt::paintEngravedWatermark (g, { R.getX(), R.getBottom(), R.getWidth(), (float) H - R.getBottom() });
    };

    // 4. The meter views chosen from the tray's overview.
    if (panelMode)
    {
        drawTextIn (g, "MTR", { (float) Ri.getX() + 12, (float) Ri.getY() + 8, 40.0f, 22.0f }, withAlpha (juce::Colours::white, 0x66),
                    10.0f, true, 0.2f, juce::Justification::centredLeft);
        auto a = meterViewButtons[0].getBounds(), b = meterViewButtons[2].getBounds();
        const auto U = a.isEmpty() ? b : (b.isEmpty() ? a : a.getUnion (b));
        const Rectangle<float> plate ((float) U.getX() - 3, (float) U.getY() - 2, (float) juce::jmax (U.getWidth() + 6, 0),
                                      (float) juce::jmax (U.getHeight() + 4, 0));
        g.setColour (withAlpha (juce::Colours::black, 0x66));
        g.fillRoundedRectangle (plate, 6.0f);
        g.setColour (withAlpha (juce::Colours::white, 0x26));
        g.drawRoundedRectangle (plate, 6.0f, 1.0f);
        watermark();
        return;
    }

    // 5. Housing.
    const auto enabledId = key + "_enabled";
    const bool enabled = paramValue (enabledId.toRawUTF8(), 0.0f) >= 0.5f;
    if (isPanelModule (key))
    {
        watermark();
        return;
    }
    // The housing and the title row change only with the identity, the module, its power and the
    // size: they are painted once into an image and drawn from it until one of those changes.
    const float scale = g.getInternalContext().getPhysicalPixelScaleFactor();
    if (std::abs (scale - 1.0f) > 1.0e-4f)
        paintHousing (g, key, Ri, themeRaw, enabled);
    else
    {
        const HousingKey now { getWidth(), getHeight(), themeRaw, key, enabled, Ri };
        if (housingImage.isNull() || ! (now == housingKey))
        {
            housingImage = juce::Image (juce::Image::ARGB, juce::jmax (1, getWidth()), juce::jmax (1, getHeight()), true);
            juce::Graphics gi (housingImage);
            paintHousing (gi, key, Ri, themeRaw, enabled);
            housingKey = now;
        }
        g.drawImageAt (housingImage, 0, 0);
    }

    // 7. The display rectangle and the module's picture.
    const int note = juce::roundToInt (paramValue ("delay_syncNote", 0.0f));
    const auto G = pictureArea();
    if (G.getHeight() > 48.0f)
        vyrFxSlots::paintModuleVisual (g, *this, key, G, enabled);

    // 9. Watermark.
    watermark();

    // 10. The delay's tempo display.
    if (key == "delay")
    {
        const auto T = makeTcLayout (Ri, juce::jmax (tcFaders.size(), 1), note > 0);
        const auto v = T.valueBox.toFloat();
        g.setColour (Colour (0xff0a1620));
        g.fillRoundedRectangle (v, 3.0f);
        g.setColour (Colour (0xff3a3d42));
        g.drawRoundedRectangle (v, 3.0f, 1.0f);
        drawTextIn (g, juce::String (juce::roundToInt (paramValue ("delay_bpm", 120.0f))), v, Colour (0xff2cc8c8), 11.0f, true, 0.0f,
                    juce::Justification::centred);
        drawTextIn (g, "BPM", T.unitBox.toFloat(), Colour (0xff363b42), 8.0f, true, 0.16f, juce::Justification::centredLeft);
    }
}

void StudioComponent::paintHousing (juce::Graphics& g, const juce::String& key, Rectangle<int> Ri, int themeRaw, bool enabled) const
{
    const auto R = Ri.toFloat();
    const auto& theme = vyrTheme (themeRaw);
    const bool rack = key == "delay" || key == "reverb";
    const Colour accent = rack ? Colour (0xff1fa9a9) : vyrFxColour (key);
    if (rack)
        HardwareArt::paintTcPanel (g, R);
    else
    {
        vyrPaintFxHousing (g, R, themeRaw, key);
        g.setColour (accent.withAlpha ((juce::uint8) 0x38));
        g.drawRoundedRectangle (R, theme.cornerRadius, 1.0f);
    }

    // Title row.
    if (rack)
    {
        const int bx = (int) (R.getX() + 18), ty = (int) (R.getY() + 8);
        const Rectangle<float> badge ((float) bx, (float) ty + 1, 22.0f, 22.0f);
        g.setColour (Colour (enabled ? 0x471fa9a9 : 0x241fa9a9));
        g.fillRoundedRectangle (badge, 5.0f);
        g.setColour (Colour (0x80127070));
        g.drawRoundedRectangle (badge, 5.0f, 1.0f);
        vyrLucide::drawSlot (g, { (float) bx + 2, (float) ty + 3, 18.0f, 18.0f }, key, Colour (enabled ? 0xff127070 : 0xff4a4f56));
        const auto caption = juce::String::fromUTF8 (key == "delay" ? "VYR \xc2\xb7 DELAY" : "VYR \xc2\xb7 REVERB");
        const juce::uint32 passes[3][2] = { { 0x80ffffff, (juce::uint32) -1 }, { 0x4c000000, 1 }, { 0xff464b53, 0 } };
        for (auto& pass : passes)
            drawTextIn (g, caption, { (float) bx + 26, (float) ty + (float) (int) pass[1], 254.0f, 24.0f }, Colour (pass[0]), 13.0f, true,
                        0.12f, juce::Justification::centredLeft);
    }
    else
    {
        const int off = 12 + (themeRaw == 5 ? 12 : (themeRaw == 2 ? 6 : 0));
        const int ix = (int) (R.getX() + off), iy = (int) (R.getY() + juce::jmax (off - 10, 8));
        const Rectangle<float> icon ((float) ix, (float) iy + 2, 18.0f, 18.0f);
        if (key == "compressor")
            vyrLucide::strokeD (g, icon, enabled ? Colour (0xff7dd3fc) : withAlpha (juce::Colours::white, 0x8c),
                                "M22 12h-2.48a2 2 0 0 0-1.93 1.46l-2.35 8.36a.25.25 0 0 1-.48 0L9.24 2.18a.25.25 0 0 0-.48 0l-2.35 8.36A2 2 0 0 1 4.49 12H2");
        else
            vyrLucide::drawSlot (g, icon, key, accent);
        drawTextIn (g, vyrFxTitle (key), { (float) ix + 22, (float) iy, 280.0f, 24.0f }, enabled ? accent : Colour (0xffd4d8de), 14.0f,
                    false, 0.0f, juce::Justification::centredLeft);
        if (key == "analogueDensity")
            drawTextIn (g, "TUBE DENSITY ENGINE", { (float) ix + 22, (float) iy + 18, 280.0f, 12.0f }, Colour (0xff9aa3ae), 8.0f, false,
                        0.12f, juce::Justification::centredLeft);
    }

}

Rectangle<float> StudioComponent::pictureArea() const
{
    const auto key = moduleId();
    const auto Ri = moduleRect();
    const auto R = Ri.toFloat();
    if (key == "delay" || key == "reverb")
    {
        const int note = juce::roundToInt (paramValue ("delay_syncNote", 0.0f));
        return makeTcLayout (Ri, key == "reverb" ? 4 : juce::jmax (tcFaders.size(), 1), key == "delay" && note > 0).screen.toFloat();
    }
    if (key == "clip")
        return clipView == 2 ? Rectangle<float> (R.getX() + 12, R.getY() + 36, R.getWidth() - 24, R.getHeight() - 48)
                             : Ri.withTrimmedLeft (16).withTrimmedTop (36).withWidth (Ri.getWidth() - 32).withHeight (juce::jmax (Ri.getHeight() - 144, 140)).toFloat();
    if (key == "compressor")
        return Rectangle<int> (Ri.getX() + 16, Ri.getY() + 64, Ri.getWidth() - 32, juce::jmax (Ri.getHeight() - 172, 140)).toFloat();
    if (key == "analogueDensity")
        return { R.getX() + 10, R.getY() + 54, R.getWidth() - 20, juce::jmax (R.getHeight() - 64, 80.0f) };
    return Rectangle<int> (Ri.getX() + 16, Ri.getY() + 44, Ri.getWidth() - 32, juce::jmax (Ri.getHeight() - 44 - 112, 0)).toFloat();
}

VyrPictureState StudioComponent::pictureState() const
{
    VyrPictureState s;
    s.key = moduleId();
    s.moduleRect = moduleRect();
    s.graph = pictureArea();
    const auto enabledId = s.key + "_enabled";
    s.enabled = paramValue (enabledId.toRawUTF8(), 0.0f) >= 0.5f;
    s.clipView = clipView;
    s.reverbView = reverbView;
    s.vuBallistics = vuBallistics;
    s.animTime = animTime;
    s.tubeTime = tubeTime;
    s.reelAngle = reelAngle;
    s.reelLevel = reelLevel;
    s.hoverHit = hoverHit;
    s.dragHit = dragHit;
    s.clipHandleX[0] = clipHandleX[0];
    s.clipHandleX[1] = clipHandleX[1];
    s.levels = pictureLevels;
    return s;
}

void StudioComponent::paintOverChildren (juce::Graphics& g)
{
    if (! isChainProduct())
        return;
    const auto faceFont = [] (float kerning) { return juce::Font (9.0f, juce::Font::bold).withExtraKerningFactor (kerning); };
    drawTextIn (g, "SCALE", { (float) scaleButtons[0].getX(), (float) scaleButtons[0].getY() - 12, 80.0f, 10.0f }, Colour (0xffb4bcc6),
                7.0f, false, 0.16f, juce::Justification::centredLeft);
    const int scale = juce::roundToInt (paramValue ("meteringMode", 0.0f));
    const char* const names[4] = { "dBFS", "K-12", "K-14", "K-20" };
    for (int i = 0; i < 4; ++i)
    {
        const auto b = scaleButtons[i].getBounds().toFloat();
        const bool lit = i == scale;
        g.setColour (lit ? juce::Colours::white : withAlpha (juce::Colours::white, 0x0d));
        g.fillRoundedRectangle (b, 4.0f);
        if (! lit)
        {
            g.setColour (withAlpha (juce::Colours::white, 0x1a));
            g.drawRoundedRectangle (b, 4.0f, 1.0f);
        }
        g.setColour (lit ? juce::Colours::black : Colour (0xffd4d8de));
        g.setFont (faceFont (0.06f));
        g.drawText (names[i], b, juce::Justification::centred, true);
    }

    auto paintGhostButton = [&] (juce::TextButton& button, bool lit, Colour accent, const juce::String& text)
    {
        const auto b = button.getBounds().toFloat();
        Colour textColour (0xffd4d8de);
        if (lit)
        {
            float h, s, v;
            vyrToHsb (accent, h, s, v);
            const auto fill = Colour::fromHSV (h, juce::jmin (0.9f * s, 0.7f), juce::jmin (0.82f * v, 0.7f), accent.getFloatAlpha());
            g.setColour (fill);
            g.fillRoundedRectangle (b, 4.0f);
            g.setColour (fill.interpolatedWith (juce::Colours::white, 0.42f).withAlpha ((juce::uint8) 0xc7));
            g.drawRoundedRectangle (b.getX() + 0.5f, b.getY() + 0.5f, juce::jmax (b.getWidth() - 1, 0.0f), juce::jmax (b.getHeight() - 1, 0.0f), 3.5f, 1.05f);
            float fh, fs, fv;
            vyrToHsb (fill, fh, fs, fv);
            textColour = Colour::fromHSV (fh, juce::jmin (0.28f * fs, 0.2f), 0.92f, 1.0f);
        }
        else
        {
            g.setColour (withAlpha (juce::Colours::white, 0x0d));
            g.fillRoundedRectangle (b, 4.0f);
            g.setColour (withAlpha (juce::Colours::white, 0x1a));
            g.drawRoundedRectangle (b, 4.0f, 1.0f);
        }
        g.setColour (textColour);
        g.setFont (faceFont (0.08f));
        g.drawText (text, b, juce::Justification::centred, true);
    };
    paintGhostButton (bypassButton, paramValue ("bypass", 0.0f) >= 0.5f, Colour (0xd9f43f5e), "BYPASS");
    paintGhostButton (monoButton, paramValue ("mono", 0.0f) >= 0.5f, Colour (0xd922d3ee), "MONO");
    paintGhostButton (resetButton, false, {}, "RESET");
}
