#pragma once

#include <juce_audio_processors/juce_audio_processors.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

// A control that paints itself and takes the mouse keeps its value in an invisible slider bound to
// the parameter: the slider draws nothing, ignores the mouse and the wheel, and each change of its
// value repaints the owner. An ID the tree does not hold leaves the slider unbound (null attachment).
// Returns the attachment; the owner adds the slider as its child.
inline std::unique_ptr<juce::AudioProcessorValueTreeState::SliderAttachment>
vyrBindHiddenSlider (juce::Slider& slider, juce::Component& owner, juce::AudioProcessorValueTreeState& state,
                     const juce::String& parameterID, juce::Slider::SliderStyle style)
{
    std::unique_ptr<juce::AudioProcessorValueTreeState::SliderAttachment> attachment;
    if (state.getParameter (parameterID) != nullptr)
        attachment = std::make_unique<juce::AudioProcessorValueTreeState::SliderAttachment> (state, parameterID, slider);

    slider.setSliderStyle (style);
    slider.setTextBoxStyle (juce::Slider::NoTextBox, false, 0, 0);
    slider.setOpaque (false);
    for (auto id : { juce::Slider::backgroundColourId, juce::Slider::trackColourId, juce::Slider::thumbColourId })
        slider.setColour (id, juce::Colours::transparentBlack);
    slider.onValueChange = [&owner]
    { owner.repaint(); };
    slider.setInterceptsMouseClicks (false, false);
    slider.setScrollWheelEnabled (false);
    slider.setViewportIgnoreDragFlag (true);
    return attachment;
}
