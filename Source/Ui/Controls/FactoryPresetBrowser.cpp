#include "Ui/Controls/FactoryPresetBrowser.h"

#include "Model/FactoryPresets.h"
#include "Ui/Controls/GhostButton.h"
#include "Ui/Foundation/VyrLucide.h"

namespace
{
using juce::Colour;

constexpr int kLast = vyrFactory::kNumPresets - 1; // 16
constexpr int kPanelWidth = 312;
constexpr int kRowHeight = 24;
constexpr int kListTop = 24; // header height above the first row

Colour white (int alpha) { return Colour ((juce::uint8) 255, (juce::uint8) 255, (juce::uint8) 255, (juce::uint8) alpha); }

juce::Font regularFont (float height)
{
    return juce::Font (juce::Font::getDefaultSansSerifFontName(), "Regular", height);
}
}

//==============================================================================
FactoryPresetMenu::FactoryPresetMenu()
{
    setOpaque (false);
    setInterceptsMouseClicks (true, false);
}

juce::Rectangle<int> FactoryPresetMenu::currentAnchor() const
{
    if (auto* button = anchorButton.getComponent(); button != nullptr && getParentComponent() != nullptr)
        return getLocalArea (button, button->getLocalBounds());
    return anchor;
}

juce::Rectangle<int> FactoryPresetMenu::panelBounds() const
{
    const int W = getWidth(), H = getHeight();
    const auto a = currentAnchor();
    const int px = juce::jmax (8, juce::jmin (W - 320, a.getRight() - kPanelWidth));
    const int py = a.getBottom() + 444 > H - 8 ? juce::jmax (a.getY() - 444, 8) : a.getBottom() + 4;
    const int ph = juce::jmin (juce::jmax (H - py, 64), 448) - 8;
    return { px, py, kPanelWidth, ph };
}

int FactoryPresetMenu::visibleRows() const
{
    return juce::jlimit (0, vyrFactory::kNumPresets, (panelBounds().getHeight() - 28) / kRowHeight);
}

void FactoryPresetMenu::mouseUp (const juce::MouseEvent& e)
{
    const auto panel = panelBounds();
    const auto p = e.getPosition();
    // The callbacks destroy this overlay: call local copies, so the closure being run never lives
    // inside the destroyed object, and touch nothing of the overlay afterwards.
    if (panel.contains (p))
    {
        const int r = p.y - panel.getY() - kListTop;
        if (r >= 0 && r <= kRowHeight * vyrFactory::kNumPresets - 1)
            if (auto pick = onPick)
                pick (r / kRowHeight);
        return;
    }
    if (auto close = onClose)
        close();
}

void FactoryPresetMenu::parentSizeChanged()
{
    if (auto* parent = getParentComponent())
        setBounds (parent->getLocalBounds());
}

void FactoryPresetMenu::paint (juce::Graphics& g)
{
    const auto panel = panelBounds();
    const float px = (float) panel.getX(), py = (float) panel.getY(), ph = (float) panel.getHeight();

    g.setColour (Colour (0xff060b14));
    g.fillRoundedRectangle (panel.toFloat(), 8.0f);
    g.setColour (white (0x26));
    g.drawRoundedRectangle (px + 0.5f, py + 0.5f, (float) kPanelWidth - 1.0f, juce::jmax (ph - 1.0f, 0.0f), 8.0f, 1.0f);

    g.setColour (white (0x66));
    g.setFont (juce::Font (10.0f, juce::Font::plain).withExtraKerningFactor (0.12f));
    g.drawText ("MASTERING PRESETS", juce::Rectangle<int> (panel.getX() + 10, panel.getY() + 4, 292, 18),
                juce::Justification::centredLeft, false);

    const juce::Font nameFont (12.0f, juce::Font::plain);
    const auto lufsFont = regularFont (10.0f);
    const int n = visibleRows();
    for (int j = 0; j < n; ++j)
    {
        const int y = panel.getY() + kListTop + kRowHeight * j;
        if (j == current)
        {
            g.setColour (white (0x1a));
            g.fillRoundedRectangle ((float) panel.getX() + 4.0f, (float) y, 304.0f, (float) kRowHeight, 4.0f);
        }
        g.setFont (nameFont);
        g.setColour (j == current ? juce::Colours::white : white (0xc7));
        g.drawText (vyrFactory::kNames[j], juce::Rectangle<int> (panel.getX() + 12, y, 240, kRowHeight),
                    juce::Justification::centredLeft, true);
        g.setFont (lufsFont);
        g.setColour (white (0x7a));
        g.drawText (juce::String ((int) vyrFactory::kTargetLufs[j]) + "L",
                    juce::Rectangle<int> (panel.getX() + 256, y, 44, kRowHeight), juce::Justification::centredRight, false);
    }
}

//==============================================================================
FactoryPresetBrowser::FactoryPresetBrowser (VyrAudioProcessor& p)
    : processor (p)
{
    for (auto* b : { &prevButton, &menuButton, &nextButton })
    {
        ghostBtn (*b);
        addAndMakeVisible (*b);
    }
    prevButton.setTooltip ("Previous mastering preset");
    menuButton.setTooltip ("Mastering presets");
    nextButton.setTooltip ("Next mastering preset");
    prevButton.onClick = [this]
    { choose (previousPreset (processor.factoryPresetIndex.load())); };
    menuButton.onClick = [this]
    { toggleMenu(); };
    nextButton.onClick = [this]
    { choose (nextPreset (processor.factoryPresetIndex.load())); };
    startTimer (125);
}

FactoryPresetBrowser::~FactoryPresetBrowser()
{
    stopTimer();
    menu.reset();
}

int FactoryPresetBrowser::previousPreset (int stored) noexcept
{
    const int c = juce::jlimit (0, kLast, stored);
    return c <= 1 ? kLast : c - 1;
}

int FactoryPresetBrowser::nextPreset (int stored) noexcept
{
    const int c = juce::jlimit (0, kLast, stored);
    return c >= kLast ? 1 : c + 1;
}

int FactoryPresetBrowser::shownIndex() const noexcept
{
    return juce::jlimit (0, kLast, processor.factoryPresetIndex.load());
}

void FactoryPresetBrowser::resized()
{
    const int W = getWidth(), H = getHeight();
    int rest = W;
    const int prevW = juce::jmin (rest, 22);
    prevButton.setBounds (0, 0, prevW, H);
    rest -= prevW;
    const int gap1 = juce::jmin (rest, 4);
    rest -= gap1;
    const int nextW = juce::jmin (rest, 22);
    nextButton.setBounds (W - nextW, 0, nextW, H);
    rest -= nextW;
    rest -= juce::jmin (rest, 4);
    menuButton.setBounds (prevW + gap1, 0, rest, H);
}

void FactoryPresetBrowser::paintOverChildren (juce::Graphics& g)
{
    for (auto* b : { &prevButton, &menuButton, &nextButton })
    {
        const auto r = b->getBounds().toFloat();
        const float x = r.getX(), y = r.getY(), w = r.getWidth(), h = r.getHeight();
        g.setColour (juce::Colours::black.withAlpha ((juce::uint8) 0x66));
        g.fillRoundedRectangle (r, 6.0f);
        g.setColour (white (0x26));
        g.drawRoundedRectangle (x + 0.5f, y + 0.5f, juce::jmax (w - 1.0f, 0.0f), juce::jmax (h - 1.0f, 0.0f), 6.0f, 1.0f);

        const juce::Rectangle<float> icon (x + 4.0f, y + 4.0f, juce::jmax (w - 8.0f, 0.0f), juce::jmax (h - 8.0f, 0.0f));
        if (b == &prevButton)
            vyrLucide::strokeD (g, icon, white (0x8c), "m15 18-6-6 6-6");
        else if (b == &nextButton)
            vyrLucide::strokeD (g, icon, white (0x8c), "m9 18 6-6-6-6");
        else
        {
            g.setColour (white (0xb2));
            g.setFont (regularFont (10.0f).withExtraKerningFactor (0.1f));
            g.drawFittedText (juce::String (vyrFactory::kNames[shownIndex()]).toUpperCase(),
                              juce::Rectangle<float> (x + 8.0f, y, juce::jmax (w - 32.0f, 0.0f), h).toNearestInt(),
                              juce::Justification::centredLeft, 1);
            vyrLucide::strokeD (g, { x + w - 18.0f, y + 4.0f, 14.0f, 16.0f }, white (0x8c), "m6 9 6 6 6-6");
        }
    }
}

//==============================================================================
void FactoryPresetBrowser::toggleMenu()
{
    if (menu != nullptr)
    {
        closeMenu();
        return;
    }

    juce::Component* host = findParentComponentOfClass<juce::AudioProcessorEditor>();
    if (host == nullptr)
        host = getTopLevelComponent();

    menu = std::make_unique<FactoryPresetMenu>();
    menu->current = shownIndex();
    menu->anchorButton = &menuButton;
    menu->anchor = host->getLocalArea (this, menuButton.getBounds());
    menu->onPick = [this] (int index)
    { choose (index); };
    menu->onClose = [this]
    { closeMenu(); };
    host->addAndMakeVisible (*menu);
    menu->setBounds (host->getLocalBounds());
    menu->toFront (false);
}

void FactoryPresetBrowser::closeMenu() { menu.reset(); }

void FactoryPresetBrowser::choose (int index)
{
    const int n = juce::jlimit (0, kLast, index);
    processor.applyFactoryPreset (n);
    lastShownPreset = n;
    repaintStrip();
    closeMenu(); // last: a pick arrives from the dropdown being destroyed here
}

void FactoryPresetBrowser::repaintStrip()
{
    repaint();
    if (auto* parent = getParentComponent())
        parent->repaint();
}

void FactoryPresetBrowser::visibilityChanged()
{
    if (! isShowing())
        closeMenu();
}

void FactoryPresetBrowser::timerCallback()
{
    // The framework tells only the component whose own visibility changed: a hidden ancestor
    // page shows up here.
    if (menu != nullptr && ! isShowing())
        closeMenu();

    const int index = processor.factoryPresetIndex.load();
    if (index != lastShownPreset)
    {
        lastShownPreset = index;
        repaintStrip();
    }
}
