#include "Ui/Studio/AssistantDrawer.h"

#include "Assistant/Measurements.h"
#include "Core/PluginProcessor.h"
#include "Ui/Foundation/VyrTheme.h"

#include <cmath>

namespace
{
constexpr int kScrollThickness = 8;

void styleToggleColours (juce::TextButton& b)
{
    b.setColour (juce::TextButton::buttonColourId, juce::Colour (0x0fffffff));
    b.setColour (juce::TextButton::buttonOnColourId, juce::Colour (0x590ea5e9));
    b.setColour (juce::TextButton::textColourOffId, juce::Colour (0xff7dd3fc));
    b.setColour (juce::TextButton::textColourOnId, juce::Colours::white);
}

bool lightIdentity (const VyrAudioProcessor& p) noexcept { return vyrTheme (p.themeIndex.load()).light; }
juce::Colour inkOf (bool light) noexcept { return juce::Colour (light ? 0xff1a1a1a : 0xffe2e8f0); }
}

MasteredWaveformPanel::Drawer::Drawer (VyrAudioProcessor& p) : processor (p), feed (p)
{
    infoButton.setPanel ("masteringanalysis", juce::Colour (0xff38bdf8));
    addAndMakeVisible (infoButton);
    libraryButton.setTooltip ("Ranked album library");
    styleToggleColours (libraryButton);
    libraryButton.onClick = [this] { openLibrary(); };
    addAndMakeVisible (libraryButton);
    viewport.setViewedComponent (&feed, false);
    viewport.setScrollBarsShown (true, false);
    viewport.setScrollBarThickness (kScrollThickness);
    addAndMakeVisible (viewport);
}

MasteredWaveformPanel::Drawer::~Drawer()
{
    libraryWindow.reset();
    viewport.setViewedComponent (nullptr, false);
}

bool MasteredWaveformPanel::Drawer::light() const noexcept { return lightIdentity (processor); }

juce::Colour MasteredWaveformPanel::Drawer::loudnessColour (float l) noexcept
{
    return juce::Colour (l >= -9.0f ? 0xffff5252 : (l >= -16.0f ? 0xffccff00 : 0xff00afff));
}

juce::Colour MasteredWaveformPanel::Drawer::crushColour (float s) noexcept
{
    return juce::Colour (s > 0.35f ? 0xfff87171 : (s > 0.18f ? 0xfffbbf24 : 0xff34d399));
}

void MasteredWaveformPanel::Drawer::openLibrary()
{
    VyrLibraryDialog::open (libraryWindow, *this, processor);
}

bool MasteredWaveformPanel::Drawer::refreshLibrary()
{
    return libraryWindow != nullptr && libraryWindow->body().refreshIfShowing();
}

void MasteredWaveformPanel::Drawer::resized()
{
    const int W = getWidth(), H = getHeight();
    infoButton.setBounds (W - 22, 6, 18, 18);
    libraryButton.setBounds (W - 86, 6, 58, 16);
    viewport.setBounds (6, 64, juce::jmax (W - 12, 0), juce::jmax (H - 68, 0));
    syncFeed();
}

juce::TextLayout MasteredWaveformPanel::Drawer::Feed::makeLayout (const juce::String& text, float width, juce::Colour colour)
{
    juce::AttributedString s;
    s.append (text, juce::Font (9.0f), colour.withAlpha ((juce::uint8) 0xeb));
    s.setJustification (juce::Justification::centredLeft);
    s.setWordWrap (juce::AttributedString::byWord);
    juce::TextLayout layout;
    layout.createLayout (s, juce::jmax (width, 20.0f));
    return layout;
}

void MasteredWaveformPanel::Drawer::syncFeed()
{
    feed.contentWidth = juce::jmax (viewport.getWidth() - viewport.getScrollBarThickness(), 8);
    const int scrollY = viewport.getViewPositionY();

    const auto snap = vyrMasterAssist::measure (processor);
    feed.advice = vyrMasterAssist::coach (snap);
    const auto& a = feed.advice;
    const auto before = feed.lines;
    feed.lines.clearQuick();
    feed.lines.add ({ a.loudness, loudnessColour (snap.lufs) });
    feed.lines.add ({ a.limiting, crushColour (snap.clipShare) });
    feed.lines.add ({ a.balance, juce::Colour (0xff38bdf8) });
    feed.lines.add ({ a.headline, juce::Colour (0xffa78bfa) });
    feed.lines.add ({ a.next, juce::Colour (0xff94a3b8) });

    bool sameLines = before.size() == feed.lines.size();
    for (int i = 0; sameLines && i < before.size(); ++i)
        sameLines = before[i].text == feed.lines[i].text && before[i].colour == feed.lines[i].colour;
    // Laying the cards' text out is the costly part of a tick: done again only for new text or width.
    if (! sameLines || laidOutWidth != feed.contentWidth)
    {
        float content = 10.0f;
        if (! feed.lines.isEmpty())
        {
            content = 4.0f;
            for (const auto& line : feed.lines)
            {
                const float h = Feed::makeLayout (line.text, (float) feed.contentWidth - 20.0f, juce::Colours::white).getHeight();
                content += juce::jmax (h + 10.0f, 22.0f) + 5.0f;
            }
            content += 6.0f;
        }
        laidOutWidth = feed.contentWidth;
        laidOutContent = content;
    }
    const float content = laidOutContent;
    const int height = juce::jmax ((int) std::ceil (content), viewport.getViewHeight());
    if (feed.getWidth() == feed.contentWidth && feed.getHeight() == height)
    {
        if (! sameLines)
            feed.repaint();
    }
    else
        feed.setSize (feed.contentWidth, height);
    // The chips read the same measurement: repaint them only when a shown figure changed.
    const auto chipKey = juce::String (snap.hasFile ? snap.lufs : 1000.0f, 1) + "/" + juce::String ((int) std::nearbyint (snap.clipShare * 100.0f))
                         + "/" + juce::String ((int) std::nearbyint (a.fit)) + "/" + juce::String (processor.themeIndex.load());
    if (chipKey != shownChips)
    {
        shownChips = chipKey;
        repaint (0, 0, getWidth(), 64);
    }
    viewport.setViewPosition (0, scrollY);
    refreshLibrary();
}

void MasteredWaveformPanel::Drawer::paint (juce::Graphics& g)
{
    const float W = (float) getWidth(), H = (float) getHeight();
    if (W < 8.0f)
        return;
    const bool lt = light();
    const auto ink = inkOf (lt);
    g.setColour (juce::Colour (lt ? 0xf5eef4f8 : 0xf00b1220));
    g.fillRoundedRectangle (0.0f, 0.0f, W, H, 8.0f);
    g.setColour (juce::Colour (0x5938bdf8));
    g.drawRoundedRectangle (0.5f, 0.5f, juce::jmax (W - 1.0f, 0.0f), juce::jmax (H - 1.0f, 0.0f), 8.0f, 1.0f);

    g.setColour (ink);
    g.setFont (juce::Font (10.0f, juce::Font::bold).withExtraKerningFactor (0.12f));
    g.drawText ("VYR ASSISTANT", juce::Rectangle<float> (10.0f, 6.0f, W - 100.0f, 16.0f), juce::Justification::centredLeft, false);

    const auto snap = vyrMasterAssist::measure (processor);
    const auto advice = vyrMasterAssist::coach (snap);
    struct Chip { const char* label; juce::String value; juce::Colour colour; };
    const Chip chips[3] = {
        { "LUFS", snap.hasFile ? juce::String (snap.lufs, 1) : juce::String::fromUTF8 ("\xe2\x80\x94"), loudnessColour (snap.lufs) },
        { "CLIP", juce::String ((int) std::nearbyint (snap.clipShare * 100.0f)) + "%", crushColour (snap.clipShare) },
        { "FIT", juce::String ((int) std::nearbyint (advice.fit)), juce::Colour (0xff38bdf8) },
    };
    const float cw = (W - 20.0f) / 3.0f - 3.0f;
    for (int i = 0; i < 3; ++i)
    {
        const float x = 10.0f + (float) i * (cw + 4.0f);
        g.setColour (chips[i].colour.withAlpha ((juce::uint8) (lt ? 0x24 : 0x29)));
        g.fillRoundedRectangle (x, 26.0f, cw, 30.0f, 5.0f);
        const float inner = juce::jmax (cw - 10.0f, 0.0f);
        g.setColour (chips[i].colour);
        g.setFont (juce::Font (7.0f, juce::Font::bold));
        g.drawText (chips[i].label, juce::Rectangle<float> (x + 5.0f, 29.0f, inner, 10.0f).toNearestInt(), juce::Justification::centredLeft, false);
        g.setColour (ink);
        g.setFont (juce::Font (10.0f, juce::Font::bold));
        g.drawText (chips[i].value, juce::Rectangle<float> (x + 5.0f, 39.0f, inner, 14.0f).toNearestInt(), juce::Justification::centredLeft, false);
    }
}

void MasteredWaveformPanel::Drawer::Feed::paint (juce::Graphics& g)
{
    if (lines.isEmpty())
        return;
    const bool lt = lightIdentity (processor);
    const auto ink = inkOf (lt);
    const float cardW = (float) getWidth() - 4.0f;
    float y = 2.0f;
    for (const auto& line : lines)
    {
        const auto layout = makeLayout (line.text, cardW - 16.0f, ink);
        const float u = juce::jmax (layout.getHeight() + 10.0f, 22.0f);
        g.setColour (line.colour.withAlpha ((juce::uint8) (lt ? 0x1a : 0x1f)));
        g.fillRoundedRectangle (0.0f, y, cardW, u, 7.0f);
        g.setColour (line.colour.withAlpha ((juce::uint8) 0x8c));
        g.fillRect (0.0f, y + 6.0f, 2.5f, u - 12.0f);
        layout.draw (g, { 10.0f, y + 5.0f, juce::jmax (cardW - 20.0f, 0.0f), juce::jmax (u - 10.0f, 0.0f) });
        y += u + 5.0f;
    }
}
