// Painting of the edition main view: the window, header, stage with its motes, the meter well,
// the captions and the recipe hint beneath the children, and the chips drawn over them.
#include "Ui/MainView/BasicMasteringView.h"

#include "Core/PluginProcessor.h"
#include "Ui/Controls/VyrMeterHelpers.h"
#include "Ui/Foundation/VyrLucide.h"
#include "Ui/MainView/HeaderLockup.h"
#include "Ui/Foundation/VyrPainting.h"
#include "Ui/MainView/MainViewTables.h"

#include <climits>
#include <cmath>

float vyrMainView::headerLockupWidth (juce::Rectangle<float> area)
{
    return vyrHeader::makeHeaderLockup (area).width;
}

namespace
{
juce::Font boldFont (float height) { return juce::Font (height, juce::Font::bold); }

// Lit chip ink: the colour's hue, little saturation, bright.
juce::Colour paleInkOf (juce::Colour c)
{
    float h, s, b;
    vyrToHsb (c, h, s, b);
    return juce::Colour::fromHSV (h, std::min (0.28f * s, 0.2f), 0.92f, 1.0f);
}

juce::Rectangle<float> insetFloored (juce::Rectangle<float> r, float d)
{
    return { r.getX() + d, r.getY() + d, std::max (0.0f, r.getWidth() - 2.0f * d), std::max (0.0f, r.getHeight() - 2.0f * d) };
}

// Whether the repaint's clip reaches one of the rounded rectangle's corners: only there does the
// rounding show.
bool repaintTouchesCorners (juce::Graphics& g, juce::Rectangle<float> r, float radius)
{
    const auto clip = g.getClipBounds().toFloat();
    const float c = radius + 1.0f;
    const juce::Rectangle<float> corners[4] = { { r.getX(), r.getY(), c, c }, { r.getRight() - c, r.getY(), c, c },
                                                { r.getX(), r.getBottom() - c, c, c }, { r.getRight() - c, r.getBottom() - c, c, c } };
    for (const auto& corner : corners)
        if (corner.intersects (clip))
            return true;
    return false;
}

// Fills a rounded rectangle with the current colour or gradient. A repaint whose clip keeps clear of
// the four corners fills plain rectangles instead: the same pixels, without building a shape for
// the whole area (much cheaper for the small areas the timer repaints, and it keeps complex repaint
// regions away from the renderer's shape clipping).
void fillRounded (juce::Graphics& g, juce::Rectangle<float> r, float radius)
{
    if (repaintTouchesCorners (g, r, radius))
        g.fillRoundedRectangle (r, radius);
    else
        g.fillRect (r.getIntersection (g.getClipBounds().toFloat()));
}

// Clips to a rounded rectangle, the same way: a plain rectangle when the corners are not repainted.
void clipRounded (juce::Graphics& g, juce::Rectangle<float> r, float radius)
{
    if (repaintTouchesCorners (g, r, radius))
    {
        juce::Path shape;
        shape.addRoundedRectangle (r, radius);
        g.reduceClipRegion (shape);
    }
    else
        g.reduceClipRegion (r.getSmallestIntegerContainer());
}

// A recipe chip: enamel face, then a tinted fill and outline when unlit, an outline when a warm
// chip is lit, and its caption.
void paintChip (juce::Graphics& g, juce::Rectangle<int> bounds, bool on, const juce::String& text, juce::Colour K, bool warm)
{
    const auto r = bounds.toFloat();
    vyrDrawEnamelButton (g, r, on, K, false, false);
    const float radius = std::max (0.4f, std::min (0.38f * r.getHeight(), 6.0f) - 0.5f);
    juce::Colour ink;
    if (! on)
    {
        g.setColour (K.withAlpha ((juce::uint8) 0x29));
        g.fillRoundedRectangle (insetFloored (r, 0.6f), radius);
        g.setColour (warm ? juce::Colour (0x8ce8b44a) : K.withAlpha ((juce::uint8) 0x8c));
        g.drawRoundedRectangle (insetFloored (r, 0.5f), radius, 1.15f);
        ink = vyrTowardsWhite (K, 0.28f).withAlpha ((juce::uint8) 0xf0);
    }
    else
    {
        if (warm)
        {
            g.setColour (vyrTowardsWhite (K, 0.22f).withAlpha ((juce::uint8) 0xeb));
            g.drawRoundedRectangle (insetFloored (r, 0.5f), radius, 1.15f);
        }
        ink = paleInkOf (K);
    }
    const int w = bounds.getWidth();
    g.setColour (ink);
    g.setFont (boldFont (w <= 33 ? 9.0f : (w <= 43 ? 9.5f : 10.5f)));
    g.drawFittedText (text, bounds, juce::Justification::centred, 1, 1.0f);
}

// Bypass and the file buttons: an enamel face in the view's accent and a white or pale caption.
void paintButton (juce::Graphics& g, juce::Rectangle<int> bounds, bool on, const juce::String& text, juce::Colour accent)
{
    vyrDrawEnamelButton (g, bounds.toFloat(), on, accent, false, false);
    g.setColour (on ? paleInkOf (accent) : juce::Colour (0xe6ffffff));
    g.setFont (boldFont (11.0f));
    g.drawFittedText (text, bounds, juce::Justification::centred, 1, 1.0f);
}

// Draws an image scaled to cover an area, centred on it, optionally turned half a turn.
void drawCovering (juce::Graphics& g, const juce::Image& img, juce::Rectangle<float> area, bool rotated)
{
    if (! img.isValid() || img.getWidth() <= 0 || img.getHeight() <= 0)
        return;
    const float s = std::max (area.getWidth() / (float) img.getWidth(), area.getHeight() / (float) img.getHeight());
    auto t = juce::AffineTransform::translation (-img.getWidth() * 0.5f, -img.getHeight() * 0.5f).scaled (s);
    if (rotated)
        t = t.rotated (juce::MathConstants<float>::pi);
    t = t.translated (area.getCentreX(), area.getCentreY());
    g.drawImageTransformed (img, t);
}

// The photograph scaled (high quality) to cover an area of a given size, made once per size: the
// view then only copies the part a repaint needs.
const juce::Image& coveringImage (BasicMasteringView::ScaledPhoto& cache, const juce::Image& photo, juce::Rectangle<float> area, bool rotated)
{
    const auto size = area.getSmallestIntegerContainer();
    if (cache.image.isNull() || cache.size != size || cache.source != photo)
    {
        cache.size = size;
        cache.source = photo;
        cache.image = juce::Image (juce::Image::ARGB, std::max (1, size.getWidth()), std::max (1, size.getHeight()), true);
        juce::Graphics g (cache.image);
        g.setImageResamplingQuality (juce::Graphics::highResamplingQuality);
        drawCovering (g, photo, area.withPosition (area.getPosition() - size.getPosition().toFloat()), rotated);
    }
    return cache.image;
}
}

//==============================================================================
bool BasicMasteringView::ShownState::operator== (const ShownState& o) const
{
    return style == o.style && medium == o.medium && live == o.live && mood == o.mood && letter == o.letter
           && variants == o.variants && theme == o.theme && updateLit == o.updateLit && yesLit == o.yesLit && noLit == o.noLit
           && bypassLit == o.bypassLit && playing == o.playing && fileLoaded == o.fileLoaded && hint == o.hint
           && fileName == o.fileName;
}

BasicMasteringView::ShownState BasicMasteringView::currentShownState() const
{
    ShownState s;
    s.style = choiceIndex (params.style, processor.styleIndex.load (std::memory_order_acquire));
    s.medium = choiceIndex (params.medium, processor.mediumIndex.load (std::memory_order_acquire));
    s.live = choiceIndex (params.live, 0);
    s.mood = processor.currentMood.load (std::memory_order_acquire);
    s.letter = processor.live.letter.load (std::memory_order_acquire);
    const auto& record = processor.live.letterChips[currentLetterIndex()];
    s.variants = record.variant.load (std::memory_order_acquire);
    s.updateLit = record.userEdited.load();
    s.theme = processor.themeIndex.load (std::memory_order_acquire);
    const bool flash = feedbackUntilMs > 0.0 && juce::Time::getMillisecondCounterHiRes() < feedbackUntilMs;
    s.yesLit = flash && feedbackKind == 1;
    s.noLit = flash && feedbackKind == 2;
    s.bypassLit = bypassOn();
    s.playing = processor.transport.isPlaying();
    s.fileLoaded = processor.fileLoaded;
    s.fileName = processor.loadedName;
    s.hint = recipeHint;
    return s;
}

bool BasicMasteringView::timerMayRepaint() const
{
    return standalone() || vyrVisibleInScroll (*this);
}

void BasicMasteringView::repaintChanged()
{
    if (! timerMayRepaint())
        return;

    // Chips, captions, the hint and the file row repaint when what they show moved.
    const auto shown = currentShownState();
    if (! (shown == lastShown))
    {
        lastShown = shown;
        repaint (headerArea);
        repaint (layout.liveChips[0].getUnion (layout.no).withLeft (stageArea.getX()).withRight (stageArea.getRight()));
        if (standalone())
            repaint (0, 0, getWidth(), headerArea.getY());
    }

    // Each mote repaints only when its position (to a quarter of a pixel) or its glow moved. The
    // changed areas are merged down to a few rectangles, which keeps the repaint region simple for
    // the renderer without repainting the stage between distant motes.
    const auto area = moteArea();
    if (area.getWidth() < 8 || area.getHeight() < 8)
        return;
    const double t = juce::Time::getMillisecondCounterHiRes() * 0.001;
    const double phase = std::fmod (t / 450.0, 1.0);
    float glow[kNumMotes];
    moteGlow (t, glow);
    juce::Rectangle<int> changed[kNumMotes];
    int numChanged = 0;
    for (int i = 0; i < kNumMotes; ++i)
    {
        const auto& m = motes[i];
        const double fx = m.x + 0.045 * m.speed * phase, fy = m.y + 0.018 * m.speed * phase;
        const float cx = area.getX() + (float) (fx - std::floor (fx)) * area.getWidth();
        const float cy = area.getY() + (float) (fy - std::floor (fy)) * area.getHeight();
        const MoteKey key { (int) std::lround (cx * 4.0f), (int) std::lround (cy * 4.0f), (int) std::lround (glow[i] * 64.0f) };
        if (key == lastMoteKey[i])
            continue;
        // Both the old and the new place of the mote.
        const float r = m.size * 1.3f + 2.0f;
        auto box = juce::Rectangle<float> (cx - r, cy - r, 2.0f * r, 2.0f * r).getSmallestIntegerContainer();
        if (lastMoteKey[i].x != INT_MIN)
            box = box.getUnion (box.withCentre ({ lastMoteKey[i].x / 4, lastMoteKey[i].y / 4 }));
        lastMoteKey[i] = key;
        changed[numChanged++] = box.getIntersection (area);
    }
    // Neighbours are merged first: joining the two areas whose union adds the least new area keeps
    // the repainted pixels small while the clip region stays a few rectangles.
    while (numChanged > kMaxMoteAreas)
    {
        int bestA = 0, bestB = 1;
        long long bestCost = LLONG_MAX;
        for (int a = 0; a < numChanged; ++a)
            for (int b = a + 1; b < numChanged; ++b)
            {
                const auto u = changed[a].getUnion (changed[b]);
                const long long cost = (long long) u.getWidth() * u.getHeight()
                                       - (long long) changed[a].getWidth() * changed[a].getHeight()
                                       - (long long) changed[b].getWidth() * changed[b].getHeight();
                if (cost < bestCost)
                {
                    bestCost = cost;
                    bestA = a;
                    bestB = b;
                }
            }
        changed[bestA] = changed[bestA].getUnion (changed[bestB]);
        changed[bestB] = changed[--numChanged];
    }
    for (int i = 0; i < numChanged; ++i)
        repaint (changed[i]);
}

//==============================================================================
void BasicMasteringView::moteGlow (double t, float (&g)[kNumMotes]) noexcept
{
    static constexpr double periods[5] = { 6.0, 7.7, 9.4, 11.1, 12.8 };
    static constexpr double offsets[5] = { 0.0, 1.9, 3.8, 5.7, 7.6 };
    std::fill (std::begin (g), std::end (g), 0.0f);
    for (int k = 0; k < 5; ++k)
    {
        const double u = t + offsets[k];
        const auto cycles = (long long) std::floor (u / periods[k]);
        const int idx = (int) (((7 * cycles + 3 * k) % kNumMotes + kNumMotes) % kNumMotes);
        const double p = std::fmod (u, periods[k]) / periods[k];
        if (p < 0.42)
        {
            const float v = (float) ((1.0 - std::cos (juce::MathConstants<double>::twoPi * p / 0.42)) / 2.0);
            const int target = g[idx] > 0.01f ? (idx + k + 1) % kNumMotes : idx;
            g[target] = std::max (g[target], v);
        }
    }
}

juce::Rectangle<int> BasicMasteringView::moteArea() const
{
    auto area = stageArea;
    if (meterWell.getWidth() > 8.0f)
    {
        const int right = (int) std::floor (meterWell.getX()) - 2;
        if (right - area.getX() <= 7)
            return {};
        area = area.withRight (std::min (area.getRight(), right));
    }
    return area;
}

void BasicMasteringView::paint (juce::Graphics& g)
{
    const auto accent = accentFor (processor.themeIndex.load (std::memory_order_acquire));
    paintWindow (g);
    infoButton.accent = accent; // no repaint: the button paints with it next time
    paintHeader (g, accent);
    paintStage (g);
    paintMotes (g, juce::Time::getMillisecondCounterHiRes() * 0.001);
    paintMeterWell (g);
    paintRowCaptions (g);
    paintSeparator (g);
    if (standalone())
        paintDropZone (g, accent);
    paintTrayCaptions (g);
    paintRecipeHint (g);
}

void BasicMasteringView::paintWindow (juce::Graphics& g)
{
    const float W = (float) getWidth(), H = (float) getHeight();
    g.setGradientFill (juce::ColourGradient (juce::Colour (0xff24272d), 0.0f, 0.0f, juce::Colour (0xff101216), 0.0f, H, false));
    fillRounded (g, { 0.0f, 0.0f, W, H }, 10.0f);
    g.setColour (juce::Colour (0x1affffff));
    g.drawRoundedRectangle (0.5f, 0.5f, std::max (W - 1.0f, 0.0f), std::max (H - 1.0f, 0.0f), 10.0f, 1.0f);
}

void BasicMasteringView::paintHeader (juce::Graphics& g, juce::Colour)
{
    if (headerArea.getWidth() <= 8)
        return;
    const auto h = headerArea.toFloat();
    g.setColour (juce::Colour (0xff1a1d24));
    fillRounded (g, h, 8.0f);
    const auto inner = insetFloored (h, 2.0f);
    g.setGradientFill (juce::ColourGradient (juce::Colour (0xff12141a), 0.0f, inner.getY(), juce::Colour (0xff08090c), 0.0f, inner.getBottom(), false));
    fillRounded (g, inner, 6.0f);
    g.setColour (juce::Colour (0x1affffff));
    g.drawRoundedRectangle (h.reduced (0.5f), 8.0f, 1.0f);
    g.setColour (juce::Colour (0x80000000));
    g.drawRoundedRectangle (inner.reduced (0.4f), 6.0f, 1.0f);
    g.setColour (juce::Colour (0x0fffffff));
    g.fillRoundedRectangle (h.getX() + 12.0f, h.getY() + 1.0f, std::max (0.0f, h.getWidth() - 24.0f), 1.15f, 0.5f);

    const auto lockup = vyrHeader::makeHeaderLockup (inner);
    paintTitle (g, lockup);
    paintBadge (g, lockup.badge);
    g.setColour (juce::Colour (0xffc8cdd6));
    g.setFont (lockup.subFont);
    g.drawSingleLineText ("Kaldun", juce::roundToInt (lockup.subX), juce::roundToInt (lockup.titleY - 1.0f));
}

void BasicMasteringView::paintTitle (juce::Graphics& g, const HeaderLockup& lockup)
{
    juce::GlyphArrangement glyphs;
    glyphs.addLineOfText (lockup.titleFont, "Quarn", lockup.titleX, lockup.titleY);
    juce::Path title;
    glyphs.createPath (title);
    const auto b = title.getBounds();
    if (b.getWidth() < 1.0f)
        return;
    juce::ColourGradient fill (juce::Colour (0xff9afbff), b.getX(), 0.0f, juce::Colour (0xffd4c4ff), b.getRight(), 0.0f, false);
    fill.addColour (0.48, juce::Colour (0xffc4b5fd));
    g.setGradientFill (fill);
    g.fillPath (title);
}

void BasicMasteringView::paintBadge (juce::Graphics& g, juce::Rectangle<float> badge)
{
    const auto& mask = art->headerWatermark;
    if (badge.getWidth() < 8.0f || badge.getHeight() < 8.0f || ! mask.isValid())
        return;

    juce::Graphics::ScopedSaveState state (g);
    g.setImageResamplingQuality (juce::Graphics::highResamplingQuality);
    const float d = juce::jlimit (1.0f, 2.2f, 0.028f * badge.getHeight());

    // The mask placed centred in the badge, never scaled up.
    const float s = std::min ({ 1.0f, badge.getWidth() / (float) mask.getWidth(), badge.getHeight() / (float) mask.getHeight() });
    const float w = (float) mask.getWidth() * s, h = (float) mask.getHeight() * s;
    const juce::Rectangle<float> placed (badge.getCentreX() - w / 2.0f, badge.getCentreY() - h / 2.0f, w, h);
    auto drawAt = [&] (float dx, float dy)
    {
        g.drawImageTransformed (mask, juce::AffineTransform::scale (s).translated (placed.getX() + dx, placed.getY() + dy), true);
    };

    g.setColour (juce::Colour (0x61000000));
    drawAt (-d, -d);
    g.setColour (juce::Colour (0x24ffffff));
    drawAt (d, d);
    const auto c = placed.getCentre();
    const float reach = 0.8660254f * (w / 2.0f) + 0.5f * (h / 2.0f);
    g.setGradientFill (juce::ColourGradient (juce::Colour (0x45d5dce6), c.x + 0.8660254f * reach, c.y - 0.5f * reach,
                                             juce::Colour (0x8cf9fbfd), c.x - 0.8660254f * reach, c.y + 0.5f * reach, false));
    drawAt (0.0f, 0.0f);
}

void BasicMasteringView::paintStage (juce::Graphics& g)
{
    auto stage = stageArea;
    if (meterWell.getWidth() > 8.0f)
    {
        const int right = std::min ((int) meterWell.getX() - 2, stage.getRight());
        const int left = std::min (stage.getX(), right);
        stage = { left, stage.getY(), right - left, stage.getHeight() };
    }
    if (stage.getWidth() < 16 || stage.getHeight() < 16)
        return;

    const auto s = stage.toFloat();
    {
        juce::Graphics::ScopedSaveState state (g);
        clipRounded (g, s, 10.0f);
        g.setOpacity (0.92f);
        g.drawImageAt (coveringImage (stagePhoto, art->stageWell, s, false), stage.getX(), stage.getY());
    }
    g.setOpacity (1.0f);
    g.setColour (juce::Colour (0x29101216));
    fillRounded (g, s, 10.0f);
    g.setColour (juce::Colour (0x14ffffff));
    g.drawRoundedRectangle (s.reduced (0.5f), 10.0f, 1.0f);
}

void BasicMasteringView::paintMotes (juce::Graphics& g, double t)
{
    const auto area = moteArea();
    if (area.getWidth() < 8 || area.getHeight() < 8)
        return;
    juce::Graphics::ScopedSaveState state (g);
    g.reduceClipRegion (area);
    const double phase = std::fmod (t / 450.0, 1.0);
    float glow[kNumMotes];
    moteGlow (t, glow);
    for (int i = 0; i < kNumMotes; ++i)
    {
        const auto& m = motes[i];
        const double fx = m.x + 0.045 * m.speed * phase, fy = m.y + 0.018 * m.speed * phase;
        const float cx = area.getX() + (float) (fx - std::floor (fx)) * area.getWidth();
        const float cy = area.getY() + (float) (fy - std::floor (fy)) * area.getHeight();
        const float a = std::min (m.alpha + 0.26f * glow[i], 0.58f);
        g.setColour (juce::Colour ((juce::uint8) 0xcd, (juce::uint8) 0xd6, (juce::uint8) 0xe2, (juce::uint8) juce::roundToInt (a * 255.0f)));
        const float r = m.size * (1.0f + 0.3f * glow[i]);
        g.fillEllipse (cx - r, cy - r, 2.0f * r, 2.0f * r);
        if (glow[i] > 0.14f)
        {
            const float rc = 0.5f + 0.42f * glow[i];
            g.setColour (juce::Colour ((juce::uint8) 0xf2, (juce::uint8) 0xf6, (juce::uint8) 0xfb, 0.3f * glow[i]));
            g.fillEllipse (cx - rc, cy - rc, 2.0f * rc, 2.0f * rc);
        }
    }
}

void BasicMasteringView::paintMeterWell (juce::Graphics& g)
{
    if (meterWell.getWidth() < 8.0f || meterWell.getHeight() < 8.0f)
        return;
    {
        juce::Graphics::ScopedSaveState state (g);
        clipRounded (g, meterWell, 3.0f);
        const auto& plate = coveringImage (platePhoto, art->meterPlate, meterWell, true);
        g.drawImageAt (plate, meterWell.getSmallestIntegerContainer().getX(), meterWell.getSmallestIntegerContainer().getY());
        g.setColour (juce::Colour (0x3d4a525c));
        fillRounded (g, meterWell, 3.0f);
    }
    g.setColour (juce::Colour (0xff16181c));
    g.drawRoundedRectangle (meterWell, 3.0f, 1.0f);
    g.setColour (juce::Colour (0x14ffffff));
    g.drawRoundedRectangle (insetFloored (meterWell, 1.0f), 2.0f, 0.6f);

    auto face = insetFloored (meterWell, 30.0f);
    if (face.getWidth() >= 8.0f && face.getHeight() >= 8.0f)
    {
        const float w = std::min (face.getWidth(), 120.0f);
        face = face.withX (face.getX() + (face.getWidth() - w) / 2.0f).withWidth (w);
    }
    g.setColour (juce::Colour (0xff1c2026));
    fillRounded (g, face, 8.0f);
    g.setColour (juce::Colour (0x1fffffff));
    g.drawRoundedRectangle (face.reduced (0.4f), 7.6f, 0.85f);
    const auto inner = insetFloored (face, 3.0f);
    g.setColour (juce::Colour (0xff0e1014));
    fillRounded (g, inner, 5.6f);
    g.setColour (juce::Colour (0xb8000000));
    g.drawRoundedRectangle (inner, 5.6f, 1.0f);
    g.setColour (juce::Colour (0x0affffff));
    g.drawRoundedRectangle (inner.reduced (0.9f), 4.7f, 0.55f);
}

void BasicMasteringView::paintRowCaptions (juce::Graphics& g)
{
    g.setFont (boldFont (8.5f).withExtraKerningFactor (0.12f));
    auto caption = [&g] (const char* text, juce::uint32 base, juce::Rectangle<int> r)
    {
        g.setColour (juce::Colour (base).withSaturation (0.64f).withBrightness (0.9f).withAlpha ((juce::uint8) 0xf0));
        g.drawText (text, r, juce::Justification::centredLeft, false);
    };
    const auto& s = styleChips[0].getBounds();
    const auto& m = mediumChips[0].getBounds();
    const auto& o = liveChips[0].getBounds();
    caption ("STYLE", 0xffe59b1a, { s.getX() - 42, s.getY(), 40, s.getHeight() });
    caption ("MEDIUM", 0xff8650f0, { m.getX() - 48, m.getY(), 46, m.getHeight() });
    caption ("LIVE", 0xff5b8def, { o.getX() - 32, o.getY(), 30, o.getHeight() });
}

void BasicMasteringView::paintSeparator (juce::Graphics& g)
{
    const int left = std::max ({ mediumChips[7].getRight(), styleChips[6].getRight(), moodNameArea.getRight() });
    const int right = std::min (bypassButton.getX(), scaleDownButton.getX());
    if (right - left <= 6)
        return;
    g.setColour (juce::Colour (0x5cc8cdd6));
    const float x = (float) ((left + right) / 2);
    g.fillRect (x, (float) styleChips[0].getY() + 1.0f, 1.0f, (float) (mediumChips[0].getBottom() - 1 - styleChips[0].getY() - 1));
}

void BasicMasteringView::paintDropZone (juce::Graphics& g, juce::Colour accent)
{
    const float y = (float) loadButton.getY() - 2.0f;
    const juce::Rectangle<float> zone (16.0f, y, std::max (0.0f, (float) getWidth() - 32.0f), 36.0f);
    g.setColour (fileDragHover ? accent.withAlpha ((juce::uint8) 0x2e) : juce::Colour (0x47000000));
    g.fillRoundedRectangle (zone, 8.0f);
    g.setColour (fileDragHover ? juce::Colour (0x59ffffff) : juce::Colour (0x1affffff));
    g.drawRoundedRectangle (zone, 8.0f, 1.0f);
    g.setColour (juce::Colour (0xb2ffffff));
    g.setFont (juce::Font (11.0f));
    // A file message (a failed load or export, no output device) is shown whole here while the
    // hint line carries it, as the hint line may have had to shorten it.
    const bool fileMessage = lastFileMessage.isNotEmpty() && recipeHint == lastFileMessage;
    if (fileMessage)
        g.setColour (juce::Colour (0xfffbbf24));
    const auto text = fileMessage ? recipeHint : (processor.fileLoaded ? processor.loadedName : juce::String ("Drop audio or Load"));
    g.drawFittedText (text, { 24, loadButton.getY() - 2, std::max (playButton.getX() - 32, 0), 36 }, juce::Justification::centredLeft, 1, 1.0f);
}

void BasicMasteringView::paintTrayCaptions (juce::Graphics& g)
{
    const int y = layout.tray.getY() - 14;
    g.setColour (juce::Colour (0xffb4bcc6));
    g.setFont (juce::Font (9.0f).withExtraKerningFactor (0.14f));
    g.drawText ("SIGNAL CHAIN", juce::Rectangle<int> (16, y, 140, 12), juce::Justification::centredLeft, false);
    g.setFont (juce::Font (8.5f));
    g.drawText (juce::CharPointer_UTF8 ("drag to reorder  \xc2\xb7  long-press on/off  \xc2\xb7  Mix is the ceiling"),
                juce::Rectangle<int> (150, y, 420, 12), juce::Justification::centredLeft, false);
}

void BasicMasteringView::paintRecipeHint (juce::Graphics& g)
{
    hintArea = {};
    if (recipeHint.isEmpty() || stageArea.getWidth() <= 40)
        return;
    const auto row = liveChips[0].getBounds();
    const int x0 = dislikeButton.getRight() + 10;
    const juce::Font face (9.5f), small (8.0f);

    // One line in the row's face when it fits; else two lines in a smaller face; what still does
    // not fit ends in an ellipsis (the Standalone's file row then shows a file message whole).
    // Never wider than the room beside the controls and texts of the stage.
    const auto oneLine = row.withLeft (x0).withRight (hintRight (row, x0));
    if (face.getStringWidthFloat (recipeHint) <= (float) oneLine.getWidth())
    {
        hintArea = oneLine;
        g.setColour (juce::Colour (0xb8ffffff));
        g.setFont (face);
        g.drawText (recipeHint, hintArea, juce::Justification::centredLeft, true);
        return;
    }
    hintArea = oneLine;
    g.setColour (juce::Colour (0xb8ffffff));
    g.setFont (small);
    g.drawFittedText (recipeHint, hintArea, juce::Justification::centredLeft, 2, 1.0f);
}

int BasicMasteringView::hintRight (juce::Rectangle<int> band, int x0) const
{
    int limit = stageArea.getRight() - 8;

    if (meterWell.getWidth() > 8.0f && meterWell.getY() < (float) band.getBottom() && meterWell.getBottom() > (float) band.getY())
        limit = std::min (limit, (int) std::floor (meterWell.getX()) - 8);

    // A round control whose square reaches `depth` pixels into the row stops the hint before it.
    auto roundControl = [&] (juce::Rectangle<int> b, int depth)
    {
        if (b.getWidth() <= 7 || b.getX() <= x0)
            return;
        const int side = std::min (b.getWidth(), b.getHeight());
        const int squareTop = b.getY() + (b.getHeight() - side) / 2;
        if (squareTop + depth < band.getBottom())
            limit = std::min (limit, b.getX() - 8);
    };
    roundControl (layout.quarn, 14);
    roundControl (layout.gauge, 48);

    // The gauge's title, when it reaches into the band (the Standalone's shorter stage).
    const auto title = effectGauge.titleBounds() + effectGauge.getPosition();
    if (title.getY() < band.getBottom() && title.getBottom() > band.getY() && title.getX() > x0)
        limit = std::min (limit, title.getX() - 10);

    // The SPACE ring's upper-left label.
    const auto sp = layout.space;
    if (sp.getWidth() > 8 && sp.getY() < band.getBottom() && sp.getBottom() > band.getY())
    {
        const float d = 0.96f * std::max ((float) std::min (sp.getWidth(), sp.getHeight()) / 2.0f - 10.0f, 8.0f) + 11.0f;
        const int px = (int) std::nearbyint (sp.toFloat().getCentreX() - 0.22252107f * d - 20.0f);
        const int py = (int) std::nearbyint (sp.toFloat().getCentreY() - 0.9749279f * d - 5.0f);
        if (band.getY() - 7 < py && py < band.getBottom() - 3 && px > x0)
            limit = std::min (limit, px - 8);
    }
    return limit;
}

//==============================================================================
void BasicMasteringView::paintOverChildren (juce::Graphics& g)
{
    const auto accent = accentFor (processor.themeIndex.load (std::memory_order_acquire));
    const int shownMedium = choiceIndex (params.medium, processor.mediumIndex.load (std::memory_order_acquire));
    const int shownStyle = choiceIndex (params.style, processor.styleIndex.load (std::memory_order_acquire));
    const int shownLive = choiceIndex (params.live, 0);

    const int mood = processor.currentMood.load (std::memory_order_acquire);
    const bool moodSounding = mood >= 0 && mood < numMoods();
    const auto& record = processor.live.letterChips[currentLetterIndex()];
    const int variants = record.variant.load (std::memory_order_acquire);
    juce::String moodText ("Preset");
    if (moodSounding)
        moodText = moodCaption (mood) + (variants == 1 ? "'" : (variants >= 2 ? "''" : ""));

    const juce::Colour styleColour (0xffe59b1a), mediumColour (0xff8650f0), liveColour (0xff5b8def);
    for (int i = 0; i < 7; ++i)
        paintChip (g, styleChips[i].getBounds(), ! moodSounding && i == shownStyle, vyrMainView::kMasterStyles[i], styleColour, true);
    paintChip (g, moodNameArea.getBounds(), moodSounding, moodText, styleColour, true);
    for (int i = 0; i < 8; ++i)
        paintChip (g, mediumChips[i].getBounds(), i == shownMedium, vyrMainView::kMediumNames[i], mediumColour, false);
    for (int m = 0; m < 3; ++m)
        paintChip (g, liveChips[m].getBounds(), m == shownLive, vyrMainView::kLiveModes[m], liveColour, false);

    const bool flash = feedbackUntilMs > 0.0 && juce::Time::getMillisecondCounterHiRes() < feedbackUntilMs;
    paintChip (g, updateButton.getBounds(), record.userEdited.load(), "Update", juce::Colour (0xffebb14c), true);
    paintChip (g, likeButton.getBounds(), flash && feedbackKind == 1, "Yes", juce::Colour (0xff5a9e6a), false);
    paintChip (g, dislikeButton.getBounds(), flash && feedbackKind == 2, "No", juce::Colour (0xffc45c58), false);

    const bool bypassed = bypassOn();
    paintButton (g, bypassButton.getBounds(), bypassed, bypassed ? "Bypass On" : "Bypass", accent);

    // Window-scale buttons: minus, reset and plus icons on dark enamel.
    const juce::Colour iconInk (0xe6ffffff);
    vyrDrawEnamelButton (g, scaleDownButton.getBounds().toFloat(), false, accent, false, false);
    vyrLucide::strokeD (g, insetFloored (scaleDownButton.getBounds().toFloat(), 4.0f), iconInk, "M5 12h14");
    vyrDrawEnamelButton (g, scaleResetButton.getBounds().toFloat(), false, accent, false, true);
    const auto resetBox = insetFloored (scaleResetButton.getBounds().toFloat(), 4.5f);
    vyrLucide::strokeD (g, resetBox, iconInk, "M3 12a9 9 0 1 0 9-9 9.75 9.75 0 0 0-6.74 2.74L3 8");
    vyrLucide::strokeD (g, resetBox, iconInk, "M3 3v5h5");
    vyrDrawEnamelButton (g, scaleUpButton.getBounds().toFloat(), false, accent, false, false);
    const auto upBox = insetFloored (scaleUpButton.getBounds().toFloat(), 4.0f);
    vyrLucide::strokeD (g, upBox, iconInk, "M5 12h14");
    vyrLucide::strokeD (g, upBox, iconInk, "M12 5v14");

    if (standalone())
    {
        const bool playing = processor.transport.isPlaying();
        paintButton (g, loadButton.getBounds(), false, "Load", accent);
        paintButton (g, playButton.getBounds(), playing, playing ? "Pause" : "Play", accent);
        paintButton (g, stopButton.getBounds(), false, "Stop", accent);
        paintButton (g, exportButton.getBounds(), false, "Download", accent);
    }
}
