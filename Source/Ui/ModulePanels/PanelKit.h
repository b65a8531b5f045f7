#pragma once

#include "Ui/Controls/VyrStyleChip.h"

#include <juce_audio_processors/juce_audio_processors.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include <vector>

class VyrAudioProcessor;

// What the module panels share: reading and writing their parameters by ID, fonts, the look of
// their power and segment buttons, and the gestures a drag holds open. Message thread only.
namespace vyrPanel
{
// The plain value of a parameter; the fallback when the ID is missing or the value is not finite.
float read (juce::AudioProcessorValueTreeState& tree, const juce::String& id, float fallback);
// A switch: on at 0.5 and above.
bool readOn (juce::AudioProcessorValueTreeState& tree, const juce::String& id, bool fallback);
// A choice index (the value rounded); the fallback when missing or not a choice parameter.
int readChoice (juce::AudioProcessorValueTreeState& tree, const juce::String& id, int fallback);

// One write in a change gesture of its own, of a plain value through the parameter's range. Skipped
// when the ID is missing or the normalised value would move by less than 1e-7.
void write (juce::AudioProcessorValueTreeState& tree, const juce::String& id, float plain);
// A switch written as 1 or 0.
void writeOn (juce::AudioProcessorValueTreeState& tree, const juce::String& id, bool on);
// A choice index, written only to a choice parameter.
void writeChoice (juce::AudioProcessorValueTreeState& tree, const juce::String& id, int index);

// The identity in force, clamped to 0..5.
int identity (const VyrAudioProcessor& p);

juce::Font font (float height, bool bold = false, float kerning = 0.0f);

// Text in a float rectangle, as the framework draws it in the rectangle's integer cover.
void text (juce::Graphics& g, const juce::String& s, juce::Rectangle<float> r, juce::Justification j);

// The gestures one drag writes through: each parameter's gesture opens with its first write and all
// close together at the end of the drag (also when the span is destroyed mid-drag), so a host sees one
// gesture per parameter per drag.
class GestureSpan
{
public:
    explicit GestureSpan (juce::AudioProcessorValueTreeState& t) : tree (t) {}
    ~GestureSpan() { end(); }

    // Writes the plain value inside the parameter's open gesture (opened now when needed); skipped
    // when missing or unchanged.
    void write (const juce::String& id, float plain);
    void end();
    bool active() const noexcept { return ! open.empty(); }

private:
    juce::AudioProcessorValueTreeState& tree;
    std::vector<juce::RangedAudioParameter*> open;
    JUCE_DECLARE_NON_COPYABLE (GestureSpan)
};

// The look of a panel's power button (an enamel pill with the power icon and its caption) and of its
// segment buttons (the component ID `segmentId`: a flat cell, deep when lit).
class ButtonLook : public juce::LookAndFeel_V4
{
public:
    struct Segment
    {
        juce::String id;
        juce::Colour lit, unlit, unlitInk;
        float fontHeight = 8.0f;
    };

    ButtonLook (juce::Colour accent, Segment segment);

    void drawButtonBackground (juce::Graphics&, juce::Button&, const juce::Colour&, bool, bool) override;
    void drawButtonText (juce::Graphics&, juce::TextButton&, bool, bool) override;

    const juce::Colour accent;
    const Segment segment;
};

// What a panel showed at its last repaint, so its timer repaints only when that changes.
class ShownState
{
public:
    // True (and remembered) when `now` differs from what was shown.
    bool changed (const juce::String& now)
    {
        if (now == last)
            return false;
        last = now;
        return true;
    }

private:
    juce::String last;
};

// A hidden panel's timers and readers do nothing: the panel shows and has an area on screen.
bool showing (const juce::Component& c);
}
