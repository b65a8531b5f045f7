#include <gtest/gtest.h>
#include "PluginProcessor.h"

TEST (StateDebug, RoundTrip)
{
    VyrAudioProcessor a;
    auto* mix = a.apvts.getParameter ("analogueDensity_mix");
    mix->setValueNotifyingHost (1.0f);
    juce::MemoryBlock blob;
    a.getStateInformation (blob);
    VyrAudioProcessor b;
    b.setStateInformation (blob.getData(), (int) blob.getSize());
    EXPECT_FLOAT_EQ (b.apvts.getRawParameterValue ("analogueDensity_mix")->load(), 100.0f);
}
