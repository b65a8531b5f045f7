#pragma once

#include "Ui/Foundation/VyrPanelInfo.h"

#include <juce_gui_basics/juce_gui_basics.h>

// The help card: an overlay over the whole editor that darkens it and shows a centred card with
// an "i" badge in the panel's accent, the panel's title, and a scrolling body laying out the help
// entry's sections. Closes on a click outside the card, its close button or Escape.
// Message thread only.
class VyrInfoOverlay : public juce::Component
{
public:
    // The scrolled content: lays out an entry in one routine used to measure and to draw.
    class Body : public juce::Component
    {
    public:
        void setEntry (const juce::var& newEntry, juce::Colour newAccent);
        const juce::var& getEntry() const noexcept { return entry; }

        // Runs the layout; draws when a graphics context is given, else only measures and sets
        // the body's height. Returns the content height before the final margin.
        float layout (juce::Graphics* g);

        void paint (juce::Graphics& g) override { layout (&g); }
        void resized() override { layout (nullptr); }

    private:
        juce::var entry;
        juce::Colour accent { 0xff38bdf8 };
    };

    VyrInfoOverlay();
    ~VyrInfoOverlay() override;

    // Shows the entry of a help key with an accent colour; a key without an entry changes nothing.
    void open (const juce::String& key, juce::Colour accent);

    void paint (juce::Graphics&) override;
    void resized() override;
    void mouseUp (const juce::MouseEvent&) override;
    bool keyPressed (const juce::KeyPress&) override;

    juce::Rectangle<int> getCardBounds() const noexcept { return card; }
    juce::Rectangle<int> getHeaderBounds() const noexcept { return header; }
    const juce::String& getTitle() const noexcept { return title; }
    juce::Colour getAccent() const noexcept { return accent; }
    Body& getBody() noexcept { return body; }
    juce::Viewport& getViewport() noexcept { return viewport; }
    juce::TextButton& getCloseButton() noexcept { return closeButton; }

    // Fonts of the card (the framework's default face).
    static juce::Font sectionLabelFont() { return juce::Font (11.0f, juce::Font::bold); }
    static juce::Font bodyFont() { return juce::Font (13.0f, juce::Font::plain); }
    static juce::Font smallFont() { return juce::Font (12.0f, juce::Font::plain); }
    static juce::Font cardNameFont() { return juce::Font (12.0f, juce::Font::bold); }
    static juce::Font chipFont() { return juce::Font (9.0f, juce::Font::bold); }
    static juce::Font monoFont() { return juce::Font (11.0f).withTypefaceStyle ("Regular"); }
    static juce::Font noteFont() { return juce::Font (10.0f, juce::Font::plain); }
    static juce::Font titleFont() { return juce::Font (16.0f, juce::Font::bold); }
    static juce::Font badgeFont() { return juce::Font (12.0f, juce::Font::italic); }

    // Height of text wrapped at a width (drawn at (x, y) when g is given); 0 for a width below 8
    // or an empty text.
    static float flowText (juce::Graphics* g, float x, float y, float width, const juce::Font& font,
                           juce::Colour colour, const juce::String& text);

private:
    Body body;
    juce::Viewport viewport;
    juce::TextButton closeButton { "x" };
    juce::Rectangle<int> card, header;
    juce::String title;
    juce::Colour accent { 0xff38bdf8 };
    juce::SharedResourcePointer<VyrPanelInfoDocument> document;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (VyrInfoOverlay)
};

// Owner of one editor's help card. The editor derives from it, adds the card as a hidden child in
// its constructor (addInfoOverlayTo), gives it its whole area in resized (layoutInfoOverlay) and
// lets Escape close it (hideInfoOnEscape). Help buttons and meters find the card of their own
// editor through their parents, so two editors never open each other's card.
class VyrInfoHost
{
public:
    virtual ~VyrInfoHost() = default;

    VyrInfoOverlay& getInfoOverlay() noexcept { return infoOverlay; }

    // The host a component lives in (itself or its nearest parent that is one), or null.
    static VyrInfoHost* findFor (juce::Component& c);

protected:
    void addInfoOverlayTo (juce::Component& editor) { editor.addChildComponent (infoOverlay); }
    void layoutInfoOverlay (juce::Rectangle<int> editorArea);
    // Hides a visible card on Escape without modifiers; true when it did.
    bool hideInfoOnEscape (const juce::KeyPress& key);

private:
    VyrInfoOverlay infoOverlay;
};

// Opens the help card of the editor a component lives in; false when it has none.
bool vyrOpenInfo (juce::Component& from, const juce::String& key, juce::Colour accent);
