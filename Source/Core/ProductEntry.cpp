// The plug-in's entry point: the one place that knows which product this build is. It defines
// nothing else, so another product's plug-in can bring its own entry point and link the same code.
#include "Core/PluginProcessor.h"

#ifndef VYR_PRODUCT_NUMBER
 #define VYR_PRODUCT_NUMBER 15
#endif

static_assert (VYR_PRODUCT_NUMBER >= 0 && VYR_PRODUCT_NUMBER <= 15, "products run from 0 to 15");

juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter()
{
    return new VyrAudioProcessor (VYR_PRODUCT_NUMBER);
}
