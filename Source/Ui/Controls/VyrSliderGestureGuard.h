#pragma once

#include <juce_audio_processors/juce_audio_processors.h>
#include <juce_gui_basics/juce_gui_basics.h>

// Watches a bound slider's drags so a control destroyed in the middle of one still ends the host
// gesture it opened: the control releases its attachment before the slider, and the slider's own
// drag end would then reach nobody, leaving the host in touch mode for that parameter.
// The owner calls release() in its destructor before it resets the attachment. Message thread only.
class VyrSliderGestureGuard : private juce::Slider::Listener
{
public:
    explicit VyrSliderGestureGuard (juce::Slider& s)
        : slider (s)
    {
        slider.addListener (this);
    }
    ~VyrSliderGestureGuard() override { release(); }

    // The parameter the slider is attached to (null: unattached, nothing to end).
    void bind (juce::RangedAudioParameter* p) noexcept { parameter = p; }

    // Stops watching; ends the gesture of a drag still in progress.
    void release()
    {
        slider.removeListener (this);
        if (dragging && parameter != nullptr)
            parameter->endChangeGesture();
        dragging = false;
        parameter = nullptr;
    }

    bool isDragging() const noexcept { return dragging; }

private:
    void sliderValueChanged (juce::Slider*) override {}
    void sliderDragStarted (juce::Slider*) override { dragging = true; }
    void sliderDragEnded (juce::Slider*) override { dragging = false; }

    juce::Slider& slider;
    juce::RangedAudioParameter* parameter = nullptr;
    bool dragging = false;
};
