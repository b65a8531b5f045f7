#include "Ui/Foundation/VyrInfoOverlay.h"

#include <cmath>

namespace
{
juce::Colour white (juce::uint8 a) { return juce::Colour (0xffffffffu).withAlpha (a); }

struct SectionSpec
{
    const char* property;
    const char* label;
    juce::uint32 colour;
};

const juce::String kLabelPurpose (juce::CharPointer_UTF8 ("WHY IT\xe2\x80\x99S USED"));
const juce::String kLabelFrequency (juce::CharPointer_UTF8 ("FREQUENCY DISTRIBUTION \xe2\x80\x94 BOOSTS & CUTS"));

void drawSectionLabel (juce::Graphics* g, juce::Colour colour, const juce::String& text, float y, float width)
{
    if (g == nullptr)
        return;
    g->setColour (colour);
    g->setFont (VyrInfoOverlay::sectionLabelFont());
    g->drawText (text, juce::Rectangle<float> (4.0f, y, width, 16.0f), juce::Justification::centredLeft, true);
}

// One card per element: name in bold, description flowed below it.
float drawNamedCards (juce::Graphics* g, float y, float W, const juce::var& array)
{
    const float start = y;
    if (auto* items = array.getArray())
        for (const auto& item : *items)
        {
            if (! item.isObject())
                continue;
            const auto name = item["name"].toString(), desc = item["desc"].toString();
            const float dh = VyrInfoOverlay::flowText (nullptr, 0, 0, W - 24.0f, VyrInfoOverlay::smallFont(), {}, desc);
            const float cardH = dh + 38.0f;
            if (g != nullptr)
            {
                g->setColour (white (0x0d));
                g->fillRoundedRectangle (4.0f, y, W, cardH, 6.0f);
                g->setColour (white (0x1a));
                g->drawRoundedRectangle (4.0f, y, W, cardH, 6.0f, 1.0f);
                g->setColour (juce::Colours::white);
                g->setFont (VyrInfoOverlay::cardNameFont());
                g->drawText (name, juce::Rectangle<float> (16.0f, y + 8.0f, W - 24.0f, 16.0f), juce::Justification::centredLeft, true);
                VyrInfoOverlay::flowText (g, 16.0f, y + 26.0f, W - 24.0f, VyrInfoOverlay::smallFont(), white (0xa6), desc);
            }
            y += cardH + 8.0f;
        }
    return y - start;
}

float textSection (juce::Graphics* g, float y, float W, const juce::var& value)
{
    const float start = y;
    if (value.isString())
    {
        y += VyrInfoOverlay::flowText (g, 4.0f, y, W, VyrInfoOverlay::bodyFont(), white (0xcc), value.toString()) + 10.0f;
        return y - start;
    }
    auto* blocks = value.getArray();
    if (blocks == nullptr)
        return 0.0f;
    for (const auto& block : *blocks)
    {
        if (! block.isObject())
            continue;
        if (block.hasProperty ("p"))
        {
            y += VyrInfoOverlay::flowText (g, 4.0f, y, W, VyrInfoOverlay::bodyFont(), white (0xcc), block["p"].toString()) + 10.0f;
            continue;
        }
        auto* bullets = block["bullets"].getArray();
        if (bullets == nullptr)
            continue;
        for (const auto& bullet : *bullets)
        {
            if (! bullet.isObject())
                continue;
            const auto k = bullet["kw"].toString(), t = bullet["text"].toString();
            const auto chip = VyrInfoOverlay::chipFont();
            const float cwk = juce::jmax (std::ceil (chip.getStringWidthFloat (k)) + 14.0f, 36.0f);
            const float textX = cwk + 16.0f;
            const float tw = juce::jmax (W - cwk - 20.0f, 40.0f);
            const float rh = juce::jmax (VyrInfoOverlay::flowText (nullptr, 0, 0, tw, VyrInfoOverlay::smallFont(), {}, t) + 14.0f, 28.0f);
            if (g != nullptr)
            {
                g->setColour (white (0x0a));
                g->fillRoundedRectangle (4.0f, y, W, rh, 6.0f);
                g->setColour (white (0x1a));
                g->drawRoundedRectangle (4.0f, y, W, rh, 6.0f, 1.0f);
                g->setColour (white (0x14));
                g->fillRoundedRectangle (12.0f, y + 7.0f, cwk, 16.0f, 3.0f);
                g->setColour (white (0xe6));
                g->setFont (chip);
                g->drawText (k, juce::Rectangle<float> (12.0f, y + 7.0f, cwk, 16.0f), juce::Justification::centred, false);
                VyrInfoOverlay::flowText (g, textX, y + 7.0f, tw, VyrInfoOverlay::smallFont(), white (0xcc), t);
            }
            y += rh + 6.0f;
        }
    }
    return y - start;
}

float equationSection (juce::Graphics* g, float y, float W, const juce::var& eq)
{
    const float start = y;
    y += VyrInfoOverlay::flowText (g, 4.0f, y, W, VyrInfoOverlay::smallFont(), white (0x99), eq["intro"].toString()) + 8.0f;
    if (auto* rows = eq["rows"].getArray())
        for (const auto& row : *rows)
        {
            if (! row.isObject())
                continue;
            const auto label = row["label"].toString(), formula = row["formula"].toString(), note = row["note"].toString();
            const float fh = VyrInfoOverlay::flowText (nullptr, 0, 0, W - 24.0f, VyrInfoOverlay::monoFont(), {}, formula);
            const float cardH = fh + 40.0f;
            if (g != nullptr)
            {
                g->setColour (white (0x0d));
                g->fillRoundedRectangle (4.0f, y, W, cardH, 6.0f);
                g->setColour (white (0x1a));
                g->drawRoundedRectangle (4.0f, y, W, cardH, 6.0f, 1.0f);
                const juce::Rectangle<float> titleBox (16.0f, y + 8.0f, W - 24.0f, 16.0f);
                g->setColour (juce::Colours::white);
                g->setFont (VyrInfoOverlay::cardNameFont());
                g->drawText (label, titleBox, juce::Justification::centredLeft, true);
                if (note.isNotEmpty())
                {
                    g->setColour (white (0x66));
                    g->setFont (VyrInfoOverlay::noteFont());
                    g->drawText (note.toUpperCase(), titleBox, juce::Justification::centredRight, true);
                }
                VyrInfoOverlay::flowText (g, 16.0f, y + 26.0f, W - 24.0f, VyrInfoOverlay::monoFont(), juce::Colour (0xffa5f3fc), formula);
            }
            y += cardH + 8.0f;
        }
    return y - start;
}

float frequencySection (juce::Graphics* g, float y, float W, const juce::var& bands)
{
    const float start = y;
    y += VyrInfoOverlay::flowText (g, 4.0f, y, W, VyrInfoOverlay::smallFont(), white (0x99),
                                   "The audible spectrum divided into bands. Boost a band to enhance that character, cut it to remove the problem.")
         + 8.0f;
    const float half = std::floor (W) / 2.0f;
    if (auto* items = bands.getArray())
        for (const auto& band : *items)
        {
            if (! band.isObject())
                continue;
            const auto text = juce::String (juce::CharPointer_UTF8 ("Boost \xe2\x86\x92  ")) + band["boost"].toString() + "\n"
                              + juce::String (juce::CharPointer_UTF8 ("Cut \xe2\x86\x92  ")) + band["cut"].toString();
            const float th = VyrInfoOverlay::flowText (nullptr, 0, 0, W - 24.0f, VyrInfoOverlay::smallFont(), {}, text);
            const float cardH = th + 40.0f;
            if (g != nullptr)
            {
                g->setColour (white (0x0d));
                g->fillRoundedRectangle (4.0f, y, W, cardH, 6.0f);
                g->setColour (white (0x1a));
                g->drawRoundedRectangle (4.0f, y, W, cardH, 6.0f, 1.0f);
                g->setColour (juce::Colours::white);
                g->setFont (VyrInfoOverlay::cardNameFont());
                g->drawText (band["band"].toString(), juce::Rectangle<float> (16.0f, y + 8.0f, half, 16.0f), juce::Justification::centredLeft, true);
                g->setColour (white (0x8c));
                g->setFont (VyrInfoOverlay::monoFont());
                g->drawText (band["range"].toString(), juce::Rectangle<float> (half + 4.0f, y + 8.0f, half - 16.0f, 16.0f),
                             juce::Justification::centredRight, true);
                VyrInfoOverlay::flowText (g, 16.0f, y + 26.0f, W - 24.0f, VyrInfoOverlay::smallFont(), white (0xb2), text);
            }
            y += cardH + 6.0f;
        }
    return y - start;
}
}

//==============================================================================
float VyrInfoOverlay::flowText (juce::Graphics* g, float x, float y, float width, const juce::Font& font,
                                juce::Colour colour, const juce::String& text)
{
    if (width < 8.0f || text.isEmpty())
        return 0.0f;
    juce::AttributedString s;
    s.setJustification (juce::Justification::topLeft);
    s.setWordWrap (juce::AttributedString::byWord);
    s.append (text, font, colour);
    juce::TextLayout layout;
    layout.createLayout (s, width);
    if (g != nullptr)
        layout.draw (*g, { x, y, width, layout.getHeight() + 2.0f });
    return juce::jmax (layout.getHeight(), font.getHeight());
}

void VyrInfoOverlay::Body::setEntry (const juce::var& newEntry, juce::Colour newAccent)
{
    entry = newEntry;
    accent = newAccent;
}

float VyrInfoOverlay::Body::layout (juce::Graphics* g)
{
    if (! entry.isObject())
    {
        if (g == nullptr && getHeight() != 1)
            setSize (juce::jmax (getWidth(), 1), 1);
        return 0.0f;
    }

    const float W = juce::jmax ((float) getWidth() - 8.0f, 40.0f);
    float y = 4.0f;
    auto section = [&] (const char* property, const juce::String& label, juce::uint32 colour, auto&& content) {
        if (! entry.hasProperty (property))
            return;
        drawSectionLabel (g, juce::Colour (colour), label, y, W);
        y += 20.0f;
        y += content (entry[property]);
        y += 10.0f;
    };
    auto text = [&] (const juce::var& v) { return textSection (g, y, W, v); };

    section ("history", "HISTORY", 0xff67e8f9, text);
    section ("purpose", kLabelPurpose, 0xffc4b5fd, text);
    section ("params", "KEY PARAMETERS", 0xfffcd34d, [&] (const juce::var& v) { return drawNamedCards (g, y, W, v); });
    section ("characters", "CHARACTER MODELS", 0xff7dd3fc, [&] (const juce::var& v) { return drawNamedCards (g, y, W, v); });
    if (entry["equation"].isObject())
        section ("equation", "TRANSFER EQUATION", 0xffe879f9, [&] (const juce::var& v) { return equationSection (g, y, W, v); });
    section ("frequencyGuide", kLabelFrequency, 0xfffb7185, [&] (const juce::var& v) { return frequencySection (g, y, W, v); });
    section ("usage", "WHERE IT BELONGS IN THE CHAIN", 0xff6ee7b7, text);

    if (g == nullptr)
    {
        const int h = juce::jmax ((int) std::ceil (y + 8.0f), 1);
        if (h != getHeight())
            setSize (juce::jmax (getWidth(), 1), h);
    }
    return y;
}

//==============================================================================
VyrInfoOverlay::VyrInfoOverlay()
{
    setAlwaysOnTop (true);
    setOpaque (false);
    setWantsKeyboardFocus (true);
    setVisible (false);

    viewport.setViewedComponent (&body, false);
    viewport.setScrollBarsShown (true, false);
    viewport.setOpaque (false);
    addAndMakeVisible (viewport);

    closeButton.setColour (juce::TextButton::buttonColourId, white (0x0f));
    closeButton.setColour (juce::TextButton::textColourOffId, white (0xcc));
    closeButton.onClick = [this] { setVisible (false); };
    addAndMakeVisible (closeButton);
}

VyrInfoOverlay::~VyrInfoOverlay()
{
    viewport.setViewedComponent (nullptr, false);
}

void VyrInfoOverlay::open (const juce::String& key, juce::Colour newAccent)
{
    const auto entry = document->entry (key);
    if (! entry.isObject())
        return;

    accent = newAccent;
    const auto& t = entry["title"];
    title = t.isVoid() ? juce::String() : t.toString();
    body.setEntry (entry, newAccent);
    body.layout (nullptr);
    body.repaint();

    setVisible (true);
    toFront (true);
    if (isShowing())
        grabKeyboardFocus();
    resized();
    repaint();
}

void VyrInfoOverlay::resized()
{
    const int W = getWidth(), H = getHeight();
    const int cw = juce::jlimit (368, 688, W) - 48;
    const int ch = juce::jmin (H < 281 ? 240 : H - 40, juce::roundToInt (0.88 * H));
    const int x = (W - cw) / 2, y = (H - ch) / 2;
    card = { x, y, cw, ch };
    header = { x, y, cw, 48 };
    closeButton.setBounds (x + cw - 44, y + 10, 28, 28);
    viewport.setBounds (x + 18, y + 60, juce::jmax (cw - 36, 0), ch - 48 > 24 ? ch - 72 : 0);
    body.setSize (juce::jmax (viewport.getWidth() - viewport.getScrollBarThickness(), 1), body.getHeight());
    body.layout (nullptr);
}

void VyrInfoOverlay::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colour (0x8c000000));

    const auto c = card.toFloat();
    g.setColour (juce::Colour (0xf50b0e16));
    g.fillRoundedRectangle (c, 12.0f);
    g.setColour (white (0x1a));
    g.drawRoundedRectangle (c, 12.0f, 1.0f);

    const auto h = header.toFloat();
    g.setColour (juce::Colour (0xff0b0e16));
    g.fillRoundedRectangle (h, 12.0f);
    g.fillRect (h.withTrimmedTop (h.getHeight() - 12.0f));
    g.setColour (white (0x1a));
    g.fillRect (h.getX(), h.getY() + 47.0f, h.getWidth(), 1.0f);

    const juce::Rectangle<float> badge (h.getX() + 16.0f, h.getY() + 12.0f, 24.0f, 24.0f);
    g.setColour (accent.withAlpha ((juce::uint8) 0x2e));
    g.fillEllipse (badge);
    g.setColour (accent);
    g.setFont (badgeFont());
    g.drawText ("i", badge, juce::Justification::centred, false);

    g.setColour (juce::Colours::white);
    g.setFont (titleFont());
    g.drawText (title, juce::Rectangle<float> (h.getX() + 48.0f, h.getY(), juce::jmax (h.getWidth() - 100.0f, 0.0f), 48.0f),
                juce::Justification::centredLeft, true);
}

void VyrInfoOverlay::mouseUp (const juce::MouseEvent& e)
{
    if (! card.contains (e.getPosition()))
        setVisible (false);
}

bool VyrInfoOverlay::keyPressed (const juce::KeyPress& key)
{
    if (key.getKeyCode() == juce::KeyPress::escapeKey && key.getModifiers().withoutMouseButtons() == juce::ModifierKeys())
    {
        setVisible (false);
        return true;
    }
    return false;
}

//==============================================================================
VyrInfoHost* VyrInfoHost::findFor (juce::Component& c)
{
    if (auto* self = dynamic_cast<VyrInfoHost*> (&c))
        return self;
    return c.findParentComponentOfClass<VyrInfoHost>();
}

void VyrInfoHost::layoutInfoOverlay (juce::Rectangle<int> editorArea)
{
    infoOverlay.setBounds (editorArea);
    if (infoOverlay.isVisible())
        infoOverlay.toFront (false);
}

bool VyrInfoHost::hideInfoOnEscape (const juce::KeyPress& key)
{
    if (infoOverlay.isVisible() && key.getKeyCode() == juce::KeyPress::escapeKey
        && key.getModifiers().withoutMouseButtons() == juce::ModifierKeys())
    {
        infoOverlay.setVisible (false);
        return true;
    }
    return false;
}

bool vyrOpenInfo (juce::Component& from, const juce::String& key, juce::Colour accent)
{
    if (auto* host = VyrInfoHost::findFor (from))
    {
        host->getInfoOverlay().open (key, accent);
        return true;
    }
    return false;
}
