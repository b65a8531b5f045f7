// Painting of the mastering studio page: its body, header, preset card, texts and the look of
// every chip and button over their invisible hit areas.
#include "Ui/Studio/MasteringStudioPanel.h"

#include "Core/PluginProcessor.h"
#include "Files/AudioIo.h"
#include "Model/FactoryPresets.h"
#include "Model/QuarnPresets.h"
#include "Ui/Foundation/VyrLucide.h"

#include <cmath>

namespace
{
struct OnLook
{
    juce::Colour fill, highlight, rim, ink;
};

juce::Colour inkOf (juce::Colour c)
{
    return juce::Colour::fromHSV (c.getHue(), juce::jmin (c.getSaturation() * 0.28f, 0.2f), 0.92f, 1.0f);
}

OnLook onLook (juce::Colour accent)
{
    OnLook l;
    l.fill = juce::Colour::fromHSV (accent.getHue(), juce::jmin (accent.getSaturation() * 0.9f, 0.7f),
                                    juce::jmin (accent.getBrightness() * 0.82f, 0.7f), accent.getFloatAlpha());
    l.highlight = l.fill.brighter (0.08f);
    l.rim = l.fill.interpolatedWith (juce::Colours::white, 0.42f).withAlpha ((juce::uint8) 0xc7);
    l.ink = inkOf (l.fill);
    return l;
}

juce::Colour white (int alpha) { return juce::Colours::white.withAlpha ((juce::uint8) alpha); }

void paintChip (juce::Graphics& g, juce::Rectangle<int> b, bool on, const OnLook& look, const juce::String& title,
                const juce::String& sub)
{
    const auto r = b.toFloat();
    if (on)
    {
        g.setGradientFill (juce::ColourGradient (look.highlight, 0.0f, r.getY(), look.fill, 0.0f, r.getBottom(), false));
        g.fillRoundedRectangle (r, 6.0f);
        g.setColour (look.rim);
        g.drawRoundedRectangle (r.reduced (0.5f), 5.5f, 1.05f);
    }
    else
    {
        g.setColour (juce::Colour (0xff2a2e35));
        g.fillRoundedRectangle (r, 6.0f);
        g.setColour (white (0x26));
        g.drawRoundedRectangle (r, 6.0f, 0.7f);
    }
    const auto text = on ? look.ink : white (0xd1);
    const bool big = b.getHeight() + 4 >= b.getWidth() && sub.isEmpty();
    g.setColour (text);
    g.setFont (juce::Font (big ? 12.0f : 9.0f, juce::Font::bold));
    if (sub.isEmpty())
    {
        g.drawText (title, b, juce::Justification::centred, true);
        return;
    }
    g.drawText (title, juce::Rectangle<int> (b.getX(), b.getY(), b.getWidth(), juce::jmax (b.getHeight() - 10, 0)), juce::Justification::centred, true);
    g.setColour (text.withMultipliedAlpha (0.72f));
    g.setFont (juce::Font (7.0f));
    g.drawText (sub, juce::Rectangle<int> (b.getX(), b.getY() + 12, b.getWidth(), juce::jmax (b.getHeight() - 12, 0)), juce::Justification::centred, true);
}

void paintIconButton (juce::Graphics& g, juce::Rectangle<int> b, bool on, const OnLook& look, const juce::String& label,
                      const std::function<void (juce::Rectangle<float>, juce::Colour)>& icon, juce::Colour offIcon = white (0xd9),
                      juce::Colour offLabel = white (0xe6))
{
    const auto r = b.toFloat();
    if (on)
    {
        g.setColour (look.fill);
        g.fillRoundedRectangle (r, 8.0f);
        g.setColour (look.rim);
        g.drawRoundedRectangle (r.reduced (0.5f), 7.5f, 1.05f);
    }
    else
    {
        g.setColour (juce::Colours::black.withAlpha ((juce::uint8) 0x66));
        g.fillRoundedRectangle (r, 8.0f);
        g.setColour (white (0x26));
        g.drawRoundedRectangle (r, 8.0f, 0.7f);
    }
    icon ({ r.getX() + 10.0f, r.getY() + 8.0f, 16.0f, 16.0f }, on ? look.ink : offIcon);
    g.setColour (on ? look.ink : offLabel);
    g.setFont (juce::Font (12.0f, juce::Font::bold));
    g.drawFittedText (label, juce::Rectangle<int> (b.getX() + 30, b.getY(), juce::jmax (b.getWidth() - 30, 0), b.getHeight()),
                      juce::Justification::centredLeft, 1, 1.0f);
}

const char* const kMediumTitles[8] = { "Cinematic", "Podcast", "Radio", "Album", "EP", "Video", "Streaming", "Club" };
const char* const kMediumSubs[8] = { "-23", "-16", "-9", "-14", "-11", "-18", "-14", "-8" };
const char* const kTargetTitles[5] = { "-23", "-16", "-14", "-11", "-9" };
const char* const kWaves[3] = {
    "M2 6c.6.5 1.2 1 2.5 1C7 7 7 5 9.5 5c2.6 0 2.4 2 5 2 2.5 0 2.5-2 5-2 1.3 0 1.9.5 2.5 1",
    "M2 12c.6.5 1.2 1 2.5 1 2.5 0 2.5-2 5-2 2.6 0 2.4 2 5 2 2.5 0 2.5-2 5-2 1.3 0 1.9.5 2.5 1",
    "M2 18c.6.5 1.2 1 2.5 1 2.5 0 2.5-2 5-2 2.6 0 2.4 2 5 2 2.5 0 2.5-2 5-2 1.3 0 1.9.5 2.5 1",
};
}

void MasteringStudioPanel::paint (juce::Graphics& g)
{
    const float W = (float) getWidth(), H = (float) getHeight();
    const auto accent = studioAccent (processor.themeIndex.load (std::memory_order_acquire));
    const juce::Rectangle<float> body (1.0f, 1.0f, W - 2.0f, H - 2.0f);
    g.setGradientFill (juce::ColourGradient (juce::Colour (0xff24272d), 0.0f, 1.0f, juce::Colour (0xff101216), 0.0f, H - 1.0f, false));
    g.fillRoundedRectangle (body, 12.0f);
    g.setColour (white (0x05));
    for (float x = 1.0f; x < W - 1.0f; x += 2.0f)
        g.fillRect (x, 1.0f, 0.5f, H - 2.0f);
    g.setColour (white (0x1a));
    g.drawRoundedRectangle (body, 12.0f, 1.0f);

    infoButton.accent = accent;

    g.setColour (accent.withAlpha ((juce::uint8) 0x21));
    g.fillRoundedRectangle (16.0f, 10.0f, 26.0f, 26.0f, 8.0f);
    g.setColour (accent);
    g.drawEllipse (22.333f, 16.333f, 13.333f, 13.333f, 1.3333f);
    g.fillEllipse (27.667f, 21.667f, 2.667f, 2.667f);
    vyrLucide::strokeD (g, { 21.0f, 15.0f, 16.0f, 16.0f }, accent, "M6 12c0-1.7.7-3.2 1.8-4.2");
    vyrLucide::strokeD (g, { 21.0f, 15.0f, 16.0f, 16.0f }, accent, "M18 12c0 1.7-.7 3.2-1.8 4.2");

    g.setColour (juce::Colours::white);
    g.setFont (juce::Font (12.0f, juce::Font::bold).withExtraKerningFactor (0.18f));
    g.drawText ("MASTERING STUDIO", juce::Rectangle<int> (48, 10, 240, 26), juce::Justification::centredLeft, true);
    const auto help = infoButton.getBounds();
    if (help.getX() >= 337)
    {
        g.setColour (white (0xb2));
        g.setFont (juce::Font (10.0f));
        g.drawText (juce::String::fromUTF8 ("AI recipe  \xc2\xb7  offline bounce of the live chain  \xc2\xb7  export"),
                    juce::Rectangle<int> (288, help.getY(), help.getX() - 296, help.getHeight()), juce::Justification::centredRight, true);
    }

    const int labelW = juce::jmax (gauge.getX(), 104) - 24;
    g.setColour (white (0xbf));
    g.setFont (juce::Font (10.0f).withExtraKerningFactor (0.12f));
    g.drawText ("STYLE", juce::Rectangle<int> (16, styleChips[0].getY() - 14, 80, 12), juce::Justification::centredLeft, false);
    g.drawText ("TARGET LUFS", juce::Rectangle<int> (16, lufsChips[0].getY() - 16, labelW, 12), juce::Justification::centredLeft, false);
    g.drawText ("TARGET MEDIUM", juce::Rectangle<int> (16, mediumChips[0].getY() - 16, labelW, 12), juce::Justification::centredLeft, false);
    g.drawText ("EXPORT", juce::Rectangle<int> (16, formatChips[0].getY() - 16, labelW, 12), juce::Justification::centredLeft, false);

    paintPresetCard (g, accent);

    const int m = juce::jlimit (0, 7, processor.mediumIndex.load (std::memory_order_acquire));
    g.setColour (white (0x99));
    g.setFont (juce::Font (9.0f));
    g.drawFittedText (juce::String::fromUTF8 (vyrQuarn::kMasterMediums[m].description),
                      juce::Rectangle<int> (16, mediumChips[7].getBottom() + 6, labelW, 28), juce::Justification::topLeft, 3);

    const auto detail = detailButton.getBounds();
    if (status.isNotEmpty())
    {
        g.setColour (white (0xd9));
        g.setFont (juce::Font (11.0f));
        g.drawFittedText (status, juce::Rectangle<int> (16, detail.getY() - (detailOpen ? 108 : 66), getWidth() - 32, 16),
                          juce::Justification::centredLeft, 1);
    }
    paintFooter (g);
}

void MasteringStudioPanel::paintFooter (juce::Graphics& g)
{
    const auto detail = detailButton.getBounds();
    if (detail.getY() < 1)
        return;
    const int hb = detailOpen ? 80 : 40;
    const juce::Rectangle<int> box (16, detail.getY() - hb - 4, getWidth() - 32, hb);
    g.setColour (juce::Colours::black.withAlpha ((juce::uint8) 0x4c));
    g.fillRoundedRectangle (box.toFloat(), 8.0f);
    g.setColour (white (0x1a));
    g.drawRoundedRectangle (box.toFloat(), 8.0f, 1.0f);
    g.setColour (white (0x73));
    g.setFont (juce::Font (10.0f));
    g.drawFittedText (juce::String::fromUTF8 (
                          "Recipes follow the K-System headroom approach against a third-octave pink-noise reference "
                          "(\xe2\x88\x92" "3 dB per octave), so the master stays balanced and dynamic instead of chasing peaks. "
                          "Loudness is measured K-weighted after ITU-R BS.1770."),
                      juce::Rectangle<int> (26, box.getY() + 6, juce::jmax (getWidth() - 52, 0), juce::jmax (hb - 12, 0)),
                      juce::Justification::topLeft, detailOpen ? 4 : 2);
}

void MasteringStudioPanel::paintPresetCard (juce::Graphics& g, juce::Colour accent)
{
    const auto c = presetCard;
    if (c.getWidth() < 21 || c.getHeight() < 25)
        return;
    const float x = (float) c.getX(), y = (float) c.getY(), w = (float) c.getWidth(), h = (float) c.getHeight();
    const float iw = juce::jmax (w - 28.0f, 0.0f);
    g.setGradientFill (juce::ColourGradient (juce::Colour (0xff0c0f14), 0.0f, y, juce::Colour (0xff05070b), 0.0f, y + h, false));
    g.fillRoundedRectangle (c.toFloat(), 8.0f);
    g.setColour (juce::Colours::black.withAlpha ((juce::uint8) 0x8c));
    g.drawRoundedRectangle (c.toFloat().reduced (0.5f), 8.0f, 1.0f);
    g.setColour (white (0x1a));
    g.drawRoundedRectangle (c.toFloat(), 8.0f, 1.0f);
    g.setColour (white (0x0f));
    g.fillRoundedRectangle (x + 1.5f, y + 1.0f, juce::jmax (w - 3.0f, 0.0f), juce::jmin (1.2f, juce::jmax (h - 2.0f, 0.0f)), 1.0f);

    const int p = juce::jlimit (0, 16, processor.factoryPresetIndex.load (std::memory_order_acquire));
    g.setColour (white (0xf5));
    g.setFont (juce::Font (16.0f, juce::Font::bold));
    g.drawFittedText (juce::String::fromUTF8 (vyrFactory::kNames[p]), juce::Rectangle<float> (x + 14.0f, y + 12.0f, iw, 20.0f).toNearestInt(),
                      juce::Justification::centredLeft, 1, 1.0f);
    const int n = (int) std::round (vyrFactory::kTargetLufs[p]);
    g.setColour (accent);
    g.setFont (juce::Font (15.0f));
    g.drawText ((n < 0 ? juce::String::fromUTF8 ("\xe2\x88\x92") : juce::String()) + juce::String (std::abs (n)) + "L",
                juce::Rectangle<float> (x + 14.0f, y + 34.0f, iw, 18.0f), juce::Justification::centredLeft, true);

    const float b = y + 12.0f + juce::jmax (h - 24.0f, 0.0f);
    const bool pillRow = b - (y + 54.0f) >= 73.0f;
    if (pillRow)
    {
        const auto& preset = vyrFactory::get (p);
        const juce::String texts[3] = { juce::String::fromUTF8 (vyrQuarn::kMasterMediums[juce::jlimit (0, 7, preset.medium)].label),
                                        juce::String::fromUTF8 (vyrQuarn::kMasterStyles[juce::jlimit (0, 6, preset.style)]),
                                        juce::String (n) + " LUFS" };
        const auto font = juce::Font (11.0f).withExtraKerningFactor (0.04f);
        g.setFont (font);
        float px = x + 14.0f;
        for (const auto& t : texts)
        {
            const float pw = juce::jmin (std::ceil (font.getStringWidthFloat (t)) + 14.0f, x + 14.0f + iw - px);
            if (pw < 36.0f)
                break;
            const juce::Rectangle<float> pill (px, y + 54.0f, pw, 18.0f);
            g.setColour (white (0x0f));
            g.fillRoundedRectangle (pill, 4.0f);
            g.setColour (white (0x1f));
            g.drawRoundedRectangle (pill, 4.0f, 1.0f);
            g.setColour (white (0xc7));
            g.drawText (t, pill.reduced (5.0f, 0.0f), juce::Justification::centred, true);
            px += pw + 6.0f;
        }
    }
    if (iw >= 24.0f)
    {
        juce::AttributedString s;
        s.append (juce::String::fromUTF8 (vyrFactory::kInfo[p]), juce::Font (18.0f), white (0xe6));
        s.setJustification (juce::Justification::topLeft);
        s.setWordWrap (juce::AttributedString::byWord);
        s.setLineSpacing (6.0f);
        const float t = pillRow ? y + 80.0f : y + 54.0f;
        s.draw (g, { x + 14.0f, t + 6.0f, iw, juce::jmax (b - t, 30.0f) - 6.0f });
    }
}

void MasteringStudioPanel::paintOverChildren (juce::Graphics& g)
{
    const auto accent = studioAccent (processor.themeIndex.load (std::memory_order_acquire));
    const auto look = onLook (accent);
    const int style = processor.styleIndex.load (std::memory_order_acquire);
    const int medium = processor.mediumIndex.load (std::memory_order_acquire);
    const int target = processor.lufsIndex.load (std::memory_order_acquire);
    for (int i = 0; i < 7; ++i)
        paintChip (g, styleChips[i].getBounds(), i == style, look, vyrQuarn::kMasterStyles[i], {});
    for (int i = 0; i < 8; ++i)
        paintChip (g, mediumChips[i].getBounds(), i == medium, look, kMediumTitles[i], juce::String (kMediumSubs[i]) + " LUFS");
    for (int i = 0; i < 5; ++i)
        paintChip (g, lufsChips[i].getBounds(), i == target, look, kTargetTitles[i], {});

    paintIconButton (g, recipeButton.getBounds(), true, look, "Generate with AI",
                     [&g] (juce::Rectangle<float> r, juce::Colour c) { vyrLucide::drawWand2 (g, r, c); });
    paintIconButton (g, tagsButton.getBounds(), false, look, "TAGS", [&g] (juce::Rectangle<float> r, juce::Colour c)
                     {
                         vyrLucide::strokeD (g, r, c, "M13 6v4");
                         vyrLucide::strokeD (g, r, c, "M20.09 12.41A1.99 1.99 0 0 0 21 11V5a2 2 0 0 0-2-2H8a1 1 0 0 0-.72.3L2.3 8.29a1 1 0 0 0 0 1.41l6 6a1 1 0 0 0 1.41 0z");
                         vyrLucide::strokeD (g, r, c, "m10 16 7.5 7.5c.8.8 2.1.8 2.9 0l2.1-2.1c.8-.8.8-2.1 0-2.9L15 11");
                         g.setColour (c);
                         g.fillEllipse (r.getX() + 8.667f - 0.8f, r.getY() + 4.0f - 0.8f, 1.6f, 1.6f);
                     });
    paintIconButton (g, exportButton.getBounds(), false, look, "Download",
                     [&g] (juce::Rectangle<float> r, juce::Colour c) { vyrLucide::drawDownload (g, r, c); });
    const auto* bypass = processor.apvts.getParameter ("bypass");
    const bool bypassed = bypass != nullptr && bypass->getValue() >= 0.5f;
    paintIconButton (g, bypassButton.getBounds(), bypassed, look, bypassed ? "Bypass On" : "Bypass",
                     [&g] (juce::Rectangle<float> r, juce::Colour c)
                     {
                         vyrLucide::strokeD (g, r, c, "M12 2v10");
                         vyrLucide::strokeD (g, r, c, "M18.4 6.6a9 9 0 1 1-12.77.04");
                     },
                     white (0xcc), white (0xcc));

    const auto byp = bypassButton.getBounds();
    if (processor.section.enabled && byp.getBottom() + 10 + 24 < getHeight() - 40)
    {
        const juce::Rectangle<int> pill (recipeButton.getX(), byp.getBottom() + 10, recipeButton.getWidth(), 24);
        const auto fill = juce::Colour::fromHSV (0.41573f, 0.452542f, 0.569176f, 1.0f);
        const auto ink = inkOf (fill);
        g.setColour (fill);
        g.fillRoundedRectangle (pill.toFloat(), 12.0f);
        for (auto* d : kWaves)
            vyrLucide::strokeD (g, { (float) pill.getX() + 8.0f, (float) pill.getY() + 5.0f, 14.0f, 14.0f }, ink, d);
        g.setColour (ink);
        g.setFont (juce::Font (10.0f, juce::Font::bold));
        g.drawText ("Section Mastering", pill.withTrimmedLeft (24), juce::Justification::centredLeft, true);
    }

    for (int i = 0; i < 7; ++i)
    {
        const auto r = formatChips[i].getBounds().toFloat();
        const bool on = i == formatIndex;
        g.setColour (on ? look.fill : juce::Colour (0xff2a2e35));
        g.fillRoundedRectangle (r, 8.0f);
        if (on)
        {
            g.setColour (look.rim);
            g.drawRoundedRectangle (r.reduced (0.5f), 7.5f, 1.05f);
        }
        else
        {
            g.setColour (white (0x26));
            g.drawRoundedRectangle (r, 8.0f, 0.7f);
        }
        g.setColour (on ? look.ink : white (0xe0));
        g.setFont (juce::Font (10.0f, juce::Font::bold));
        g.drawText (vyrAudioIo::kSpecs[i].name, r, juce::Justification::centred, true);
    }

    const auto d = detailButton.getBounds().toFloat();
    vyrLucide::strokeD (g, { d.getX() + 2.0f, d.getY() + 2.0f, juce::jmax (juce::jmin (d.getWidth() - 4.0f, 12.0f), 0.0f),
                             juce::jmax (d.getHeight() - 4.0f, 0.0f) },
                        accent, "m6 9 6 6 6-6");
    g.setColour (accent);
    g.setFont (juce::Font (10.0f, juce::Font::bold).withExtraKerningFactor (0.08f));
    g.drawText (detailOpen ? "Hide expanded detail" : juce::String::fromUTF8 ("Expanded \xe2\x80\x94 why this works"),
                juce::Rectangle<float> (d.getX() + 18.0f, d.getY(), juce::jmax (d.getWidth() - 18.0f, 0.0f), d.getHeight()),
                juce::Justification::centredLeft, true);
}
