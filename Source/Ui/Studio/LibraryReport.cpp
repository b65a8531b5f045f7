#include "Ui/Studio/LibraryReport.h"

#include <cmath>

namespace vyrLibraryReport
{
RowLayout rowLayout (juce::Rectangle<float> row, bool named) noexcept
{
    RowLayout l;
    auto r = row;
    l.rank = r.removeFromLeft (std::min (r.getWidth(), 22.0f));
    l.fit = r.removeFromRight (std::min (r.getWidth(), 48.0f));
    l.lufs = r.removeFromRight (std::min (r.getWidth(), 40.0f));
    const float titleH = named ? std::min (row.getHeight(), 14.0f) : row.getHeight();
    l.title = r.withHeight (titleH);
    l.note = named ? r.withTrimmedTop (titleH) : r.withHeight (0.0f);
    return l;
}

juce::Rectangle<int> reportSize (const LibraryModel& model) noexcept
{
    return { 0, 0, kReportWidth, std::max (kReportMinHeight, vyrLibrary::listHeight (model) + 180) };
}
}

void paintRankRow (juce::Graphics& g, juce::Rectangle<float> row, int index, const vyrMasterAssist::Ranked& entry,
                   juce::Colour ink, juce::Colour dim, juce::Colour accent, bool named)
{
    const auto l = vyrLibraryReport::rowLayout (row, named);
    const juce::Font small (8.0f, juce::Font::bold);
    const auto left = juce::Justification::centredLeft, right = juce::Justification::centredRight;

    g.setFont (small);
    g.setColour (dim);
    g.drawText (juce::String (index + 1), l.rank, left, true);
    g.setColour (accent);
    g.drawText ("FIT " + juce::String (vyrMasterLib::nearestEven (entry.match)), l.fit, right, true);
    g.setColour (ink.withAlpha ((juce::uint8) 0xd9));
    g.drawText (vyrMasterLib::oneDecimal (entry.profile.lufs), l.lufs, right, true);

    g.setColour (ink);
    g.setFont (juce::Font (9.0f, juce::Font::bold));
    g.drawText (vyrMasterLib::title (entry.profile), l.title, left, true);
    if (named && entry.profile.note != nullptr)
    {
        g.setColour (dim);
        g.setFont (juce::Font (8.0f, juce::Font::plain));
        g.drawText (juce::String::fromUTF8 (entry.profile.note), l.note, left, true);
    }
}

juce::Image makeLibraryPrintImage (const LibraryModel& model)
{
    const auto size = vyrLibraryReport::reportSize (model);
    juce::Image img (juce::Image::ARGB, size.getWidth(), size.getHeight(), true);
    juce::Graphics g (img);
    g.fillAll (juce::Colours::white);

    const juce::Colour ink (0xff1a1c20), dim (0xff5c6570), accent (0xff0f4c5c), rule (0xffd6dbe0);
    const float x = 48.0f, w = 1128.0f;
    const auto left = juce::Justification::centredLeft;
    float y = 48.0f;
    auto text = [&] (const juce::String& t, juce::Font font, juce::Colour c, float h)
    {
        g.setFont (font);
        g.setColour (c);
        g.drawText (t, juce::Rectangle<float> (x, y, w, h), left, true);
    };
    auto heading = [&] (const juce::String& t)
    {
        juce::Font f (9.0f, juce::Font::bold);
        f.setExtraKerningFactor (0.1f);
        text (t, f, accent, 16.0f);
        y += 20.0f;
    };

    juce::Font brand (11.0f, juce::Font::bold);
    brand.setExtraKerningFactor (0.12f);
    text ("TOLVAREN", brand, ink, 16.0f);
    y += 18.0f;
    text ("Library report", juce::Font (18.0f, juce::Font::bold), ink, 24.0f);
    y += 28.0f;
    text (libraryLane (model.snapshot) + "    " + juce::Time::getCurrentTime().formatted ("%d %b %Y"),
          juce::Font (10.0f, juce::Font::plain), dim, 14.0f);
    y += 18.0f;
    text (librarySnapLine (model.snapshot, model.advice.fit), juce::Font (12.0f, juce::Font::bold), ink, 16.0f);
    y += 22.0f;
    g.setColour (rule);
    g.fillRect (juce::Rectangle<float> (x, y, w, 1.0f));
    y += 14.0f;

    heading (juce::String::fromUTF8 ("NAMED  \xc2\xb7  ") + juce::String ((int) model.named.size()) + " of "
             + juce::String (vyrMasterLib::kNumNamed));
    for (size_t i = 0; i < model.named.size(); ++i, y += 36.0f)
        paintRankRow (g, { x, y, w, 36.0f }, (int) i, model.named[i], ink, dim, accent, true);
    y += 10.0f;
    heading (juce::String::fromUTF8 ("GRID  \xc2\xb7  ") + juce::String ((int) model.grid.size()) + " nearest destinations");
    for (size_t i = 0; i < model.grid.size(); ++i, y += 26.0f)
        paintRankRow (g, { x, y, w, 26.0f }, (int) i, model.grid[i], ink, dim, accent, false);
    return img;
}
