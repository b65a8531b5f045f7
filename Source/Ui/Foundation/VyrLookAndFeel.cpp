#include "Ui/Foundation/VyrLookAndFeel.h"

#include "Ui/Foundation/VyrLucide.h"
#include "Ui/Foundation/VyrPainting.h"
#include "Ui/Foundation/VyrTheme.h"

namespace
{
const juce::String kFallbackFamily ("DejaVu Sans");

juce::Colour white (juce::uint8 a) { return juce::Colour (0xffffffffu).withAlpha (a); }
juce::Colour black (juce::uint8 a) { return juce::Colour (0xff000000u).withAlpha (a); }

bool isPillText (const juce::Button& b)
{
    if (dynamic_cast<const juce::TextButton*> (&b) == nullptr)
        return false;
    const auto t = b.getButtonText();
    return t.equalsIgnoreCase ("on") || t.equalsIgnoreCase ("off");
}

const juce::StringArray& installedFamilies()
{
    // The font list of this machine does not change while the plug-in runs.
    static const juce::StringArray families = juce::Font::findAllTypefaceNames();
    return families;
}

bool carriesWeight (const juce::String& family, const juce::String& style)
{
    for (const auto* w : { "Black", "Heavy", "Bold", "Demi", "Semi", "Medium" })
        if (family.containsIgnoreCase (w) || style.containsIgnoreCase (w))
            return true;
    return false;
}
}

VyrLookAndFeel::VyrLookAndFeel()
{
    setColour (juce::ResizableWindow::backgroundColourId, juce::Colour (0xff1a1c20));
    setColour (juce::TextButton::buttonColourId, juce::Colour (0xff2a2e35));
    setColour (juce::TextButton::buttonOnColourId, juce::Colour (0xff22d3ee));
    setColour (juce::TextButton::textColourOffId, juce::Colour (0xffd4d8de));
    setColour (juce::TextButton::textColourOnId, juce::Colour (0xffd4dce2));
    setColour (juce::ComboBox::backgroundColourId, juce::Colour (0xff22262c));
    setColour (juce::ComboBox::outlineColourId, white (0x26));
    setColour (juce::PopupMenu::backgroundColourId, juce::Colour (0xff22262c));
    setColour (juce::PopupMenu::textColourId, white (0xd9));
    setColour (juce::PopupMenu::highlightedBackgroundColourId, white (0x1a));

    // Fonts resolve through the default look-and-feel; while this one lives the font mapper is
    // that default, so a named family that is not installed never draws empty text.
    juce::Font::setFallbackFontName (kFallbackFamily);
    fontMapper = std::make_unique<FontMapper>();
    juce::LookAndFeel::setDefaultLookAndFeel (fontMapper.get());
    juce::Typeface::clearTypefaceCache();
}

VyrLookAndFeel::~VyrLookAndFeel()
{
    if (&juce::LookAndFeel::getDefaultLookAndFeel() == fontMapper.get())
        juce::LookAndFeel::setDefaultLookAndFeel (nullptr);
}

namespace
{
juce::Typeface::Ptr mappedTypeface (const juce::Font& font)
{
    const auto [family, style] = VyrLookAndFeel::resolveFace (font);
    if (family.startsWithChar ('<'))
        return juce::Font::getDefaultTypefaceForFont (font);
    return juce::Typeface::createSystemTypefaceFor (juce::Font (family, style, font.getHeight()));
}
}

juce::Typeface::Ptr VyrLookAndFeel::FontMapper::getTypefaceForFont (const juce::Font& font)
{
    return mappedTypeface (font);
}

juce::SharedResourcePointer<VyrLookAndFeel> VyrLookAndFeel::get()
{
    return {};
}

std::pair<juce::String, juce::String> VyrLookAndFeel::resolveFace (const juce::Font& font)
{
    auto family = font.getTypefaceName();
    auto style = font.getTypefaceStyle();
    const auto& installed = installedFamilies();

    if (family == juce::Font::getDefaultSansSerifFontName())
    {
        if (! installed.contains (kFallbackFamily))
            return { family, style };
        family = kFallbackFamily;
    }
    else if (family.startsWithChar ('<'))
        return { family, style }; // serif and monospaced placeholders: the platform decides
    else if (! installed.contains (family))
    {
        if (! installed.contains (kFallbackFamily))
            return { family, style };
        if (carriesWeight (family, style))
            style = font.isItalic() ? "Bold Oblique" : "Bold";
        family = kFallbackFamily;
    }

    const auto styles = juce::Font::findAllTypefaceStyles (family);
    if (! styles.contains (style))
    {
        const bool bold = font.isBold() || carriesWeight ({}, style);
        const bool italic = font.isItalic() || style.containsIgnoreCase ("Italic") || style.containsIgnoreCase ("Oblique");
        juce::String wanted = bold ? (italic ? "Bold Oblique" : "Bold") : (italic ? "Oblique" : "Book");
        if (! styles.contains (wanted))
            wanted = bold ? (italic ? "Bold Italic" : "Bold") : (italic ? "Italic" : "Regular");
        if (styles.contains (wanted))
            style = wanted;
    }
    return { family, style };
}

juce::Typeface::Ptr VyrLookAndFeel::getTypefaceForFont (const juce::Font& font)
{
    return mappedTypeface (font);
}

float VyrLookAndFeel::textButtonFontHeight (int buttonHeight) noexcept
{
    return juce::jmin (0.45f * (float) buttonHeight, 11.0f);
}

juce::Font VyrLookAndFeel::getTextButtonFont (juce::TextButton&, int buttonHeight)
{
    return juce::Font (textButtonFontHeight (buttonHeight), juce::Font::plain);
}

juce::Colour VyrLookAndFeel::litTextColour (juce::Colour accent)
{
    float h, s, b;
    vyrToHsb (accent, h, s, b);
    const auto mid = juce::Colour::fromHSV (h, juce::jmin (0.9f * s, 0.7f), juce::jmin (0.82f * b, 0.7f), accent.getFloatAlpha());
    float mh, ms, mb;
    vyrToHsb (mid, mh, ms, mb);
    return juce::Colour::fromHSV (mh, juce::jmin (0.28f * ms, 0.2f), 0.92f, 1.0f);
}

bool VyrLookAndFeel::paintsNothing (const juce::Button& b) const
{
    return b.getComponentID() == "vyr-ghost" || b.findColour (juce::TextButton::buttonColourId).getAlpha() < 12;
}

juce::Colour VyrLookAndFeel::accentOf (const juce::Button& b, juce::Colour fallback) const
{
    const auto on = b.findColour (juce::TextButton::buttonOnColourId);
    return on.getAlpha() >= 8 ? on : fallback;
}

void VyrLookAndFeel::drawButtonBackground (juce::Graphics& g, juce::Button& button, const juce::Colour& backgroundColour,
                                           bool highlighted, bool)
{
    if (paintsNothing (button))
        return;

    const bool lit = button.getToggleState();
    const auto accent = accentOf (button, backgroundColour);
    const float inset = (highlighted && ! lit) ? 0.1f : 0.5f;
    const auto local = button.getLocalBounds().toFloat();
    const juce::Rectangle<float> r (local.getX() + inset, local.getY() + inset,
                                    juce::jmax (local.getWidth() - 2.0f * inset, 0.0f),
                                    juce::jmax (local.getHeight() - 2.0f * inset, 0.0f));
    const bool pill = isPillText (button);
    const auto& id = button.getComponentID();
    const float x = r.getX(), y = r.getY(), w = r.getWidth(), h = r.getHeight();

    if (id == "tc-power")
    {
        const float radius = h * 0.5f;
        g.setGradientFill (juce::ColourGradient (juce::Colour (lit ? 0xfffbbf24 : 0xff5a5d62), x, y,
                                                 juce::Colour (lit ? 0xffd97706 : 0xff3a3d42), x, r.getBottom(), false));
        g.fillRoundedRectangle (r, radius);
        g.setColour (juce::Colour (lit ? 0xff92400e : 0xff2a2d32));
        g.drawRoundedRectangle (r, radius, 1.0f);
        g.setColour (white (lit ? 0x61 : 0x29));
        g.fillRect (x + 3.0f, y + 1.2f, juce::jmax (w - 6.0f, 0.0f), 1.2f);
        if (lit)
        {
            g.setColour (vyrTowardsWhite (juce::Colour (0xfffbbf24), 0.42f).withAlpha ((juce::uint8) 0xc7));
            g.drawRoundedRectangle (x + 0.5f, y + 0.5f, juce::jmax (w - 1.0f, 0.0f), juce::jmax (h - 1.0f, 0.0f),
                                    juce::jmax (radius - 0.5f, 0.4f), 1.05f);
        }
        return;
    }

    if (id == "tc-metal" || id == "tc-tab")
    {
        const bool tab = id == "tc-tab";
        g.setColour (black (0x47));
        g.fillRoundedRectangle (r.translated (0.0f, 1.0f), 4.0f);
        const juce::uint32 top = lit ? 0xff2cc8c8 : (tab ? 0xff8a9096 : 0xffc4c9cf);
        const juce::uint32 bottom = lit ? 0xff1fa9a9 : (tab ? 0xff6a7079 : 0xff9aa0a6);
        g.setGradientFill (juce::ColourGradient (juce::Colour (top), x, y, juce::Colour (bottom), x, r.getBottom(), false));
        g.fillRoundedRectangle (r, 4.0f);
        g.setColour (juce::Colour (tab ? 0xff3a3d42 : 0xff4a4d52));
        g.drawRoundedRectangle (r, 4.0f, 1.0f);
        g.setColour (white (lit ? 0x66 : 0x80));
        g.fillRect (x + 1.0f, y + 1.0f, juce::jmax (w - 2.0f, 0.0f), 1.0f);
        g.setColour (black (0x47));
        g.fillRect (x + 1.0f, y + h - 1.6f, juce::jmax (w - 2.0f, 0.0f), 1.0f);
        if (lit)
        {
            g.setColour (juce::Colour (0x992cc8c8));
            g.drawRoundedRectangle (r.expanded (0.5f), 4.0f, 1.2f);
        }
        return;
    }

    const int theme = vyrClampTheme (themeId);
    vyrDrawEnamelButton (g, r, lit, accent, vyrTheme (theme).light, pill);
    if (theme == VyrThemeId::hud)
    {
        g.setColour (juce::Colour (highlighted ? 0x7300f0ff : 0x2e00f0ff));
        g.drawRoundedRectangle (r, vyrEnamelRadius (h, pill), 0.7f);
    }
}

void VyrLookAndFeel::drawButtonText (juce::Graphics& g, juce::TextButton& button, bool, bool)
{
    if (paintsNothing (button))
        return;

    const bool lit = button.getToggleState();
    const auto accent = accentOf (button, juce::Colour (0xff5b7a88));
    const auto litText = litTextColour (accent);
    const auto& id = button.getComponentID();
    const auto local = button.getLocalBounds();
    const bool light = vyrTheme (themeId).light;

    if (id == "tc-power")
    {
        vyrLucide::drawPowerOnOff (g, local.toFloat(), lit, lit ? litText : juce::Colour (0xff9a9da2));
        return;
    }

    if (id == "tc-metal" || id == "tc-tab")
    {
        g.setColour (lit ? litText : juce::Colour (id == "tc-tab" ? 0xff1a1c1f : 0xff2a2d32));
        g.setFont (getTextButtonFont (button, button.getHeight()));
        g.drawFittedText (button.getButtonText(), local, juce::Justification::centred, 1, 1.0f);
        return;
    }

    if (isPillText (button))
    {
        const auto off = juce::Colour (light ? 0xff2f4639 : vyrColours::inkLight);
        vyrLucide::drawPowerOnOff (g, local.toFloat(), lit, lit ? litText : off);
        return;
    }

    juce::Colour colour;
    if (lit)
    {
        const float R = accent.getFloatRed(), G = accent.getFloatGreen(), B = accent.getFloatBlue();
        const float perceived = std::sqrt (0.241f * R * R + 0.691f * G * G + 0.068f * B * B);
        colour = perceived > 0.78f ? button.findColour (juce::TextButton::textColourOnId) : litText;
    }
    else
        colour = light ? juce::Colour (vyrColours::inkDark) : vyrInk (themeId);

    g.setColour (colour);
    g.setFont (getTextButtonFont (button, button.getHeight()));
    const juce::Rectangle<int> box (4, 1, juce::jmax (button.getWidth() - 8, 0), juce::jmax (button.getHeight() - 2, 0));
    g.drawFittedText (button.getButtonText(), box, juce::Justification::centred, 1, 1.0f);
}

void VyrLookAndFeel::drawCornerResizer (juce::Graphics& g, int width, int height, bool, bool)
{
    const float w = (float) width, h = (float) height;
    const std::pair<float, juce::uint8> strokes[] = { { 3.5f, 0x29 }, { 7.5f, 0x4c }, { 11.5f, 0x70 } };
    for (const auto& [d, alpha] : strokes)
    {
        g.setColour (white (alpha));
        g.drawLine (w - d, h - 1.0f, w - 1.0f, h - d, 1.35f);
    }
}
