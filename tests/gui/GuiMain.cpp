#include "BareXServer.h"

#include <gtest/gtest.h>
#include <juce_events/juce_events.h>

int main (int argc, char** argv)
{
    ::testing::InitGoogleTest (&argc, argv);
    vyrTest::BareXServerAtoms atoms; // lets components go on the desktop for real mouse and key events
    int result = 0;
    {
        juce::ScopedJuceInitialiser_GUI juceInit;
        result = RUN_ALL_TESTS();
    }
    return result;
}
