#include "OwnConfigFolder.h"
#include "BareXServer.h"

#include <gtest/gtest.h>
#include <juce_events/juce_events.h>
#include <cstdlib>

int main (int argc, char** argv)
{
    vyrTest::OwnConfigFolder configFolder ("vyr-gui-tests");

    ::testing::InitGoogleTest (&argc, argv);
    vyrTest::BareXServerAtoms atoms; // lets components go on the desktop for real mouse and key events
    int result = 0;
    {
        juce::ScopedJuceInitialiser_GUI juceInit;
        result = RUN_ALL_TESTS();
    }
    return result;
}
