// Section mastering page: painting of the chrome, header, letter row, stats and the button art.
#include "Ui/SectionPage/SectionMasteringPanel.h"

#include "Core/PluginProcessor.h"
#include "Ui/Foundation/VyrLucide.h"
#include "Ui/Foundation/VyrPainting.h"

namespace
{
const char* const kSectionClassNames[3] = { "QUIET", "MEDIUM", "LOUD" };
constexpr juce::uint32 kKeyFace = 0xff2a2e35;
constexpr juce::uint32 kTransportLit = 0xff8b5cf6;
const char* const kHint = "drag a letter onto a section  \xc2\xb7  click to audition  \xc2\xb7  drag playhead to seek  \xc2\xb7  "
                          "drag white handles to move  \xc2\xb7  drag \xe2\x9c\x95 for glide";
const char* const kHintRender = "  \xc2\xb7  render bakes per-section presets";

// The backdrop of a header key: lit in a colour, or the dark face with a faint outline.
void keyBackdrop (juce::Graphics& g, juce::Rectangle<float> r, bool lit, juce::Colour litColour)
{
    g.setColour (lit ? litColour : juce::Colour (kKeyFace));
    g.fillRoundedRectangle (r, 8.0f);
    if (! lit)
    {
        g.setColour (juce::Colours::white.withAlpha ((juce::uint8) 0x26));
        g.drawRoundedRectangle (r, 8.0f, 0.7f);
    }
}

// A switch pill: on, the colour's lit face with a light rim and pale ink; off, the dark face.
// Returns the ink for its content.
juce::Colour pillBackdrop (juce::Graphics& g, juce::Rectangle<float> r, bool on, juce::Colour colour)
{
    if (! on)
    {
        keyBackdrop (g, r, false, {});
        return juce::Colours::white.withAlpha ((juce::uint8) 0x99);
    }
    const auto fill = sectionLitFill (colour);
    g.setColour (fill);
    g.fillRoundedRectangle (r, 8.0f);
    g.setColour (vyrTowardsWhite (fill, 0.42f).withAlpha ((juce::uint8) 0xc7));
    g.drawRoundedRectangle (r.reduced (0.5f), 7.5f, 1.05f);
    return sectionLitInk (fill);
}

void pillContent (juce::Graphics& g, juce::Rectangle<float> r, juce::Colour ink, std::initializer_list<const char*> icon, const juce::String& text)
{
    const juce::Rectangle<float> iconBox (r.getX() + 7.0f, r.getY() + 6.0f, 14.0f, 14.0f);
    for (auto* d : icon)
        vyrLucide::strokeD (g, iconBox, ink, d);
    g.setColour (ink);
    g.setFont (juce::Font (11.0f, juce::Font::bold));
    g.drawText (text, r.withTrimmedLeft (22.0f), juce::Justification::centredLeft, true);
}

}

juce::uint64 SectionMasteringPanel::stateKey() const
{
    // Everything the page itself paints (the children follow their own state).
    const auto& sec = processor.section;
    VyrPaintKey key;
    for (int v : { (int) sec.enabled, (int) sec.liveFollow, (int) sec.autoRide, sec.count, (int) processor.sectionAnalysed,
                   processor.themeIndex.load(), (int) processor.loopPlayback.load(), (int) processor.transport.isPlaying(), dragLetter })
        key.add (v);
    for (int k = 0; k < 7; ++k)
        key.add (sec.assign[k]).add (processor.sectionClass[k]).add (sec.letters[k]).add (processor.sectionLufs[k]);
    return key.add (processor.overallLufs).add (processor.overallCrest).value;
}

void SectionMasteringPanel::paint (juce::Graphics& g)
{
    shownState = stateKey();
    const int identity = vyrClampTheme (processor.themeIndex.load());
    const auto& theme = vyrTheme (identity);
    staticLayer.draw (g, getLocalBounds(), identity, [this, &theme, identity] (juce::Graphics& ig)
    {
        vyrPaintPanelChrome (ig, getLocalBounds().toFloat().reduced (1.0f), theme, true);
        paintHeader (ig, identity);
        paintLetterCells (ig);
    });
    paintHint (g, theme.light);
    if (processor.sectionAnalysed)
        paintStats (g, identity);
}

void SectionMasteringPanel::paintHeader (juce::Graphics& g, int identity)
{
    static constexpr int insets[6] = { 8, 0, 6, 0, 0, 12 };
    const auto& theme = vyrTheme (identity);
    const int inset = insets[identity];
    const auto accent = theme.light ? juce::Colour (0xff2c5f52) : identityAccent (identity);
    g.setColour (accent.withAlpha ((juce::uint8) (theme.light ? 0x29 : 0x21)));
    g.fillRoundedRectangle ((float) inset + 16.0f, 10.0f, 26.0f, 26.0f, 8.0f);
    const juce::Rectangle<float> icon ((float) inset + 21.0f, 15.0f, 16.0f, 16.0f);
    for (const char* d : { "M2 6c.6.5 1.2 1 2.5 1C7 7 7 5 9.5 5c2.6 0 2.4 2 5 2 2.5 0 2.5-2 5-2 1.3 0 1.9.5 2.5 1",
                           "M2 12c.6.5 1.2 1 2.5 1C7 13 7 11 9.5 11c2.6 0 2.4 2 5 2 2.5 0 2.5-2 5-2 1.3 0 1.9.5 2.5 1",
                           "M2 18c.6.5 1.2 1 2.5 1C7 19 7 17 9.5 17c2.6 0 2.4 2 5 2 2.5 0 2.5-2 5-2 1.3 0 1.9.5 2.5 1" })
        vyrLucide::strokeD (g, icon, accent, d);

    g.setColour (theme.textColour());
    g.setFont (juce::Font (12.0f, juce::Font::bold).withExtraKerningFactor (0.18f));
    g.drawText ("SECTION MASTERING", juce::Rectangle<int> (inset + 48, 10, 200, 26), juce::Justification::centredLeft, true);

    g.setColour (theme.light ? juce::Colour (0xff2f4639) : juce::Colours::white.withAlpha ((juce::uint8) 0x80));
    g.setFont (juce::Font (10.0f).withExtraKerningFactor (0.12f));
    g.drawText ("PRESETS", juce::Rectangle<int> (16, 46, 56, 24), juce::Justification::centredLeft, true);
}

void SectionMasteringPanel::paintLetterCells (juce::Graphics& g)
{
    for (int i = 0; i < 7; ++i)
    {
        const auto handle = letterHandles[i].getBounds();
        const auto box = letterBoxes[i].getBounds();
        const juce::Rectangle<float> cell ((float) handle.getX() - 4.0f, (float) handle.getY() - 3.0f,
                                           (float) (box.getRight() + 10 - (handle.getX() - 4)), (float) handle.getHeight() + 6.0f);
        g.setColour (juce::Colours::black.withAlpha ((juce::uint8) 0x4c));
        g.fillRoundedRectangle (cell, 8.0f);
        g.setColour (juce::Colours::white.withAlpha ((juce::uint8) 0x1a));
        g.drawRoundedRectangle (cell, 8.0f, 1.0f);
    }
}

juce::String SectionMasteringPanel::hintText() const
{
    auto text = juce::String (juce::CharPointer_UTF8 (kHint));
    if (processor.section.enabled)
        text += juce::String (juce::CharPointer_UTF8 (kHintRender));
    return text;
}

void SectionMasteringPanel::paintHint (juce::Graphics& g, bool light)
{
    const int w = getWidth();
    const auto& lastBox = letterBoxes[6];
    const int x = lastBox.isVisible() ? lastBox.getRight() + 16 : 16;
    const int width = std::max (w - x, 96) - 16;
    // Where the letter row leaves too little room, the hint rides on the letter chips' tooltips.
    if (width < kMinHintWidth)
        return;
    g.setColour (light ? juce::Colour (0xff3a4d46) : juce::Colours::white.withAlpha ((juce::uint8) 0x66));
    g.setFont (juce::Font (9.0f));
    g.drawFittedText (hintText(), juce::Rectangle<int> (x, 44, width, 28), juce::Justification::centredLeft, 2, 1.0f);
}

void SectionMasteringPanel::paintStats (juce::Graphics& g, int identity)
{
    const auto& sec = processor.section;
    const juce::Font font (9.0f);
    g.setFont (font);
    float x = 16.0f;
    for (int k = 0; k < juce::jlimit (1, 7, sec.count); ++k)
    {
        const int letter = juce::jlimit (0, 6, sec.assign[k]);
        const int q = juce::jlimit (0, 2, processor.sectionClass[k]);
        const auto chip = sectionTint (letter, identity).brighter (0.28f);
        const auto text = juce::String (kSectionLetters[letter]) + juce::String (juce::CharPointer_UTF8 ("  \xc2\xb7  ")) + kSectionClassNames[q]
                        + juce::String (juce::CharPointer_UTF8 ("  \xc2\xb7  ")) + juce::String (processor.sectionLufs[k], 1) + "L";
        const float cw = std::ceil (font.getStringWidthFloat (text)) + 16.0f;
        const juce::Rectangle<float> r (x, 74.0f, cw, 18.0f);
        g.setColour (chip.withAlpha ((juce::uint8) 0x38));
        g.fillRoundedRectangle (r, 4.0f);
        g.setColour (chip.withAlpha ((juce::uint8) 0xf2));
        g.drawRoundedRectangle (r.reduced (0.5f), 4.0f, 1.4f);
        g.setColour (juce::Colours::white.interpolatedWith (chip, 0.22f));
        g.drawText (text, r, juce::Justification::centred, false);
        x += cw + 6.0f;
    }
    x += 10.0f - 6.0f;
    const auto overall = "overall " + juce::String (processor.overallLufs, 1) + " LUFS" + juce::String (juce::CharPointer_UTF8 ("  \xc2\xb7  "))
                       + "crest " + juce::String (processor.overallCrest, 1) + " dB";
    g.setColour (juce::Colours::white.withAlpha ((juce::uint8) 0xe0));
    g.drawText (overall, juce::Rectangle<float> (x + 4.0f, 74.0f, std::max ((float) getWidth() - x, 100.0f) - 20.0f, 18.0f),
                juce::Justification::centredLeft, true);
}

//==============================================================================
void SectionMasteringPanel::paintOverChildren (juce::Graphics& g)
{
    paintCountControl (g);
    paintTransport (g);
    paintSwitches (g);
    paintLetterChips (g, vyrClampTheme (processor.themeIndex.load()));
}

void SectionMasteringPanel::paintCountControl (juce::Graphics& g)
{
    const int count = juce::jlimit (1, 7, processor.section.count);
    const auto group = countButtons[0].getBounds().getUnion (countButtons[6].getBounds()).toFloat();
    g.setColour (juce::Colour (kKeyFace));
    vyrFillSegmentCell (g, group, 8.0f, 0, 1);
    g.setFont (juce::Font (11.0f));
    for (int i = 0; i < 7; ++i)
    {
        const auto r = countButtons[i].getBounds().toFloat();
        const bool selected = i + 1 == count;
        if (selected)
        {
            g.setColour (juce::Colours::white);
            vyrFillSegmentCell (g, r, 8.0f, i, 7);
        }
        g.setColour (selected ? juce::Colours::black : juce::Colours::white.withAlpha ((juce::uint8) 0x99));
        g.drawText (juce::String (i + 1), r, juce::Justification::centred, false);
    }
    g.setColour (juce::Colours::white.withAlpha ((juce::uint8) 0x26));
    g.drawRoundedRectangle (group, 8.0f, 0.7f);
}

void SectionMasteringPanel::paintTransport (juce::Graphics& g)
{
    const auto ink = juce::Colours::white.withAlpha ((juce::uint8) 0xe0);
    const bool playing = processor.transport.isPlaying();

    auto r = rewindButton.getBounds().toFloat();
    keyBackdrop (g, r, rewindButton.isDown(), juce::Colour (kTransportLit));
    {
        const auto box = r.reduced (5.0f);
        const float s = vyrLucide::iconScale (box);
        juce::Path tri;
        tri.addTriangle (vyrLucide::iconPoint (box, 20, 4), vyrLucide::iconPoint (box, 20, 20), vyrLucide::iconPoint (box, 9, 12));
        const auto bar = vyrLucide::iconPoint (box, 5, 4);
        g.setColour (ink);
        g.fillPath (tri);
        g.fillRoundedRectangle (bar.x, bar.y, 3.0f * s, 16.0f * s, 0.6f * s);
    }

    r = playButton.getBounds().toFloat();
    if (playing)
    {
        g.setColour (juce::Colour (kTransportLit));
        g.fillRoundedRectangle (r, 8.0f);
        vyrLucide::drawPause (g, r.reduced (5.0f), juce::Colours::white);
    }
    else
    {
        keyBackdrop (g, r, playButton.isDown(), juce::Colour (kTransportLit));
        vyrLucide::drawPlay (g, r.reduced (5.0f), ink);
    }

    r = stopButton.getBounds().toFloat();
    keyBackdrop (g, r, stopButton.isDown(), juce::Colour (kTransportLit));
    g.setColour (playing || stopButton.isDown() ? juce::Colours::white : ink);
    g.fillRoundedRectangle (r.reduced (5.0f).reduced (2.0f), 1.6f);

    r = loopButton.getBounds().toFloat();
    const bool looping = processor.loopPlayback.load();
    keyBackdrop (g, r, looping || loopButton.isDown(), juce::Colour (kTransportLit));
    for (const char* d : { "m17 2 4 4-4 4", "M3 11V9a4 4 0 0 1 4-4h14", "m7 22-4-4 4-4", "M21 13v2a4 4 0 0 1-4 4H3" })
        vyrLucide::strokeD (g, r.reduced (5.0f), looping ? juce::Colours::white : ink, d);
}

void SectionMasteringPanel::paintSwitches (juce::Graphics& g)
{
    const auto& sec = processor.section;
    const std::initializer_list<const char*> power = { "M12 2v10", "M18.4 6.6a9 9 0 1 1-12.77.04" };
    auto r = followButton.getBounds().toFloat();
    pillContent (g, r, pillBackdrop (g, r, sec.liveFollow, juce::Colour (0xff22d3ee)), power, "Live Follow");
    r = enableButton.getBounds().toFloat();
    pillContent (g, r, pillBackdrop (g, r, sec.enabled, juce::Colour (0xff10b981)), power, sec.enabled ? "On" : "Off");
    r = autoButton.getBounds().toFloat();
    pillContent (g, r, pillBackdrop (g, r, sec.autoRide, juce::Colour (0xffa855f7)), power, "AUTO");
    r = detectButton.getBounds().toFloat();
    pillContent (g, r, pillBackdrop (g, r, processor.sectionAnalysed, juce::Colour::fromHSV (0.525963f, 0.7f, 0.7f, 1.0f)),
                 { "M22 12h-2.48a2 2 0 0 0-1.93 1.46l-2.35 8.36a.25.25 0 0 1-.48 0L9.24 2.18a.25.25 0 0 0-.48 0l-2.35 8.36A2 2 0 0 1 4.49 12H2" },
                 "Detect");
    r = resetButton.getBounds().toFloat();
    keyBackdrop (g, r, false, {});
    vyrLucide::drawRotateCcw (g, r.reduced (8.0f), juce::Colours::white.withAlpha ((juce::uint8) 0x99));
}

void SectionMasteringPanel::paintLetterChips (juce::Graphics& g, int identity)
{
    g.setFont (juce::Font (11.0f, juce::Font::bold));
    for (int i = 0; i < 7; ++i)
    {
        const auto r = letterHandles[i].getBounds().toFloat();
        g.setColour (sectionTint (i, identity));
        g.fillRoundedRectangle (r, 4.0f);
        g.setColour (juce::Colours::black);
        g.drawText (kSectionLetters[i], r, juce::Justification::centred, false);
    }
    if (dragLetter < 0)
        return;
    const auto ghost = juce::Rectangle<float> (20.0f, 20.0f).withCentre (dragPos.toFloat());
    g.setColour (sectionTint (dragLetter, identity).withAlpha ((juce::uint8) 0xe6));
    g.fillRoundedRectangle (ghost, 4.0f);
    g.setColour (juce::Colours::black);
    g.drawText (kSectionLetters[juce::jlimit (0, 6, dragLetter)], ghost, juce::Justification::centred, false);
}
