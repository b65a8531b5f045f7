#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The one look-and-feel of the editor: stock widgets in the dark studio colours, text buttons in
// one of five styles chosen by component ID ("vyr-ghost", "tc-power", "tc-metal", "tc-tab",
// anything else: an enamel button), sliders drawn by their own components, and a font mapping
// that draws every family the editor names with an installed face.
//
// One instance per process, shared through juce::SharedResourcePointer: the editor holds it for
// its lifetime, so it is destroyed with the last editor, before the framework shuts down.
// Fonts resolve through the framework's default look-and-feel, so while this one lives a small
// font-mapping look-and-feel (stock widgets otherwise unchanged) is the default, and every font
// of the plug-in draws with an installed face. Message thread only.
class VyrLookAndFeel : public juce::LookAndFeel_V4
{
public:
    VyrLookAndFeel();
    ~VyrLookAndFeel() override;

    // A holder of the shared instance (creating it when none exists). Keep the holder while the
    // instance is used; `VyrLookAndFeel::get()->themeId` is safe within one expression.
    static juce::SharedResourcePointer<VyrLookAndFeel> get();

    // Identity used for button drawing; clamped to 0..5 whenever read. Written by the FX chain
    // page's timer from the processor's themeIndex.
    int themeId = 0;

    void drawButtonBackground (juce::Graphics&, juce::Button&, const juce::Colour& backgroundColour,
                               bool shouldDrawButtonAsHighlighted, bool shouldDrawButtonAsDown) override;
    juce::Font getTextButtonFont (juce::TextButton&, int buttonHeight) override;
    void drawButtonText (juce::Graphics&, juce::TextButton&, bool shouldDrawButtonAsHighlighted,
                         bool shouldDrawButtonAsDown) override;
    void drawLinearSlider (juce::Graphics&, int, int, int, int, float, float, float,
                           juce::Slider::SliderStyle, juce::Slider&) override {}
    void drawRotarySlider (juce::Graphics&, int, int, int, int, float, float, float, juce::Slider&) override {}
    void drawCornerResizer (juce::Graphics&, int w, int h, bool isMouseOver, bool isMouseDragging) override;

    juce::Typeface::Ptr getTypefaceForFont (const juce::Font&) override;

    // The installed family and style a font is drawn with (families that are not installed,
    // such as "Arial Black" or "Helvetica Neue", become DejaVu Sans, bold where they carry weight).
    static std::pair<juce::String, juce::String> resolveFace (const juce::Font&);

    // Height of the text-button font: min(0.45 h, 11).
    static float textButtonFontHeight (int buttonHeight) noexcept;
    // Near-white text colour tinted with an accent, used on lit buttons.
    static juce::Colour litTextColour (juce::Colour accent);

    // The stock look-and-feel with the font mapping only; the framework's default while the
    // shared instance lives.
    class FontMapper : public juce::LookAndFeel_V4
    {
    public:
        juce::Typeface::Ptr getTypefaceForFont (const juce::Font&) override;
    };

private:
    std::unique_ptr<FontMapper> fontMapper;

    bool paintsNothing (const juce::Button&) const;
    juce::Colour accentOf (const juce::Button&, juce::Colour fallback) const;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (VyrLookAndFeel)
};
