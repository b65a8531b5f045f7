#include "Ui/MainView/HeaderLockup.h"

namespace vyrHeader
{
namespace
{
struct Face
{
    const char* family;
    const char* style;
};

// In order of preference.
constexpr Face kTitleFaces[] = {
    { "Avenir Next", "Bold" },
    { "Avenir Next", "Demi Bold" },
    { "Avenir Next", "DemiBold" },
    { "Helvetica Neue", "Bold" },
    { "Avenir Next", "Medium" },
    { "Avenir", "Medium" },
    { "Helvetica Neue", "Medium" },
};

constexpr float kTitleHeight = 70.0f;
constexpr float kTitleKerning = 0.045f;
}

bool isUsableTitleFace (const juce::String& name, const juce::String& style)
{
    if (name.trim().isEmpty() || name.containsIgnoreCase ("Arial"))
        return false;
    for (auto* thin : { "Ultra", "Thin", "Hair", "Light" })
        if (style.containsIgnoreCase (thin))
            return false;
    return true;
}

juce::Font quarnTitleFont()
{
    // A font naming a family that is not installed still reports that name and draws nothing, so
    // a face counts only when the system lists it with that style and it puts ink on the page.
    const auto installed = juce::Font::findAllTypefaceNames();
    for (const auto& face : kTitleFaces)
    {
        if (! installed.contains (face.family) || ! juce::Font::findAllTypefaceStyles (face.family).contains (face.style))
            continue;
        juce::Font font (face.family, face.style, kTitleHeight);
        if (! isUsableTitleFace (font.getTypefaceName(), font.getTypefaceStyle()))
            continue;
        font.setExtraKerningFactor (kTitleKerning);
        if (lineWidth (font, "Quarn") > 0.0f)
            return font;
    }
    juce::Font fallback (juce::Font::getDefaultSansSerifFontName(), kTitleHeight, juce::Font::bold);
    fallback.setExtraKerningFactor (kTitleKerning);
    return fallback;
}

juce::Rectangle<float> inkBounds (const juce::Font& font, const juce::String& text)
{
    juce::GlyphArrangement glyphs;
    glyphs.addLineOfText (font, text, 0.0f, 0.0f);
    juce::Rectangle<float> ink;
    bool any = false;
    for (int i = 0; i < glyphs.getNumGlyphs(); ++i)
    {
        juce::Path outline;
        glyphs.getGlyph (i).createPath (outline);
        const auto b = outline.getBounds();
        if (b.getWidth() <= 0.0f || b.getHeight() <= 0.0f)
            continue;
        ink = any ? ink.getUnion (b) : b;
        any = true;
    }
    return ink;
}

float lineWidth (const juce::Font& font, const juce::String& text)
{
    return inkBounds (font, text).getWidth();
}

HeaderLockup makeHeaderLockup (juce::Rectangle<float> area)
{
    HeaderLockup l;
    const float cy = area.getY() + area.getHeight() / 2.0f;
    l.titleFont = quarnTitleFont();
    l.subFont = juce::Font (48.0f);
    l.subFont.setExtraKerningFactor (0.06f);

    const auto ink = inkBounds (l.titleFont, "Quarn");
    l.titleX = area.getX() + 12.0f;
    l.titleY = cy - (ink.getY() + ink.getHeight() / 2.0f);
    l.titleWidth = ink.getWidth();
    l.badge = { l.titleX + l.titleWidth + 10.0f, cy - 24.0f, 48.0f, 48.0f };
    l.subX = l.badge.getX() + 48.0f + 10.0f;
    l.width = l.subX + lineWidth (l.subFont, "Kaldun") - l.titleX;
    return l;
}
}
