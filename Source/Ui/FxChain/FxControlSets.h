#pragma once

#include "Ui/Controls/RackFaders.h"

#include <juce_core/juce_core.h>

// The controls each module shows on the FX chain page when it brings no panel of its own.
namespace vyrFxControls
{
struct KnobSpec
{
    const char* paramId;
    const char* label;
    const char* unit;
    int size;
    bool bipolar, primary;
};

struct StripSpec
{
    const char* paramId;
    const char* label;
    const char* unit;
};

struct FaderSpec
{
    const char* paramId;
    const char* label;
    TcReadout readout;
};

template <typename Spec>
struct Set
{
    const Spec* items = nullptr;
    int count = 0;
};

// The knobs of a module key (the clipper's only outside its macro view); empty for other keys.
Set<KnobSpec> knobsFor (const juce::String& moduleKey, int clipView);
// The strip sliders of a module key (the saturation unit's); empty for other keys.
Set<StripSpec> stripsFor (const juce::String& moduleKey);
// The rack faders of the delay (`free` adds its "Time" fader first) or of the reverb page.
Set<FaderSpec> fadersFor (const juce::String& moduleKey, bool delayRunsFree, int reverbView);

// Accent colour of a module's controls.
juce::uint32 accentFor (const juce::String& moduleKey);
}
