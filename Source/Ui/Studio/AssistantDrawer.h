#pragma once

#include "Assistant/Advice.h"
#include "Ui/Studio/LibraryDialog.h"
#include "Ui/Studio/MasteredWaveformPanel.h"

// The assistant drawer: its verdict on the prospective master - three figure chips (loudness,
// ceiling crush, fit to the nearest library destination), a "LIBRARY" button that opens the ranked
// reference library, and a scrolling feed of coloured advice cards. Refreshed from a new
// measurement on each tick of its panel while open; an open library dialog is refreshed with it.
// Message thread only.
class MasteredWaveformPanel::Drawer : public juce::Component
{
public:
    struct Line
    {
        juce::String text;
        juce::Colour colour;
    };

    class Feed : public juce::Component
    {
    public:
        explicit Feed (VyrAudioProcessor& p) : processor (p) {}
        void paint (juce::Graphics&) override;
        static juce::TextLayout makeLayout (const juce::String& text, float width, juce::Colour colour);

        VyrAudioProcessor& processor;
        vyrMasterAssist::Advice advice;
        juce::Array<Line> lines;
        int contentWidth = 8;
    };

    explicit Drawer (VyrAudioProcessor&);
    ~Drawer() override;

    void resized() override;
    void paint (juce::Graphics&) override;
    void syncFeed();
    // Opens (creating on first use) the library dialog.
    void openLibrary();
    // Refreshes an open library dialog; returns whether it rebuilt.
    bool refreshLibrary();

    static juce::Colour loudnessColour (float lufs) noexcept;
    static juce::Colour crushColour (float share) noexcept;
    bool light() const noexcept;

    VyrAudioProcessor& processor;
    VyrInfoButton infoButton;
    juce::TextButton libraryButton { "LIBRARY" };
    juce::Viewport viewport;
    Feed feed;
    std::unique_ptr<VyrLibraryDialog> libraryWindow;

private:
    juce::String shownChips;
    int laidOutWidth = -1;        // feed width the card heights were measured at
    float laidOutContent = 10.0f; // feed content height of the current lines
public:

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Drawer)
};
