#include "OwnConfigFolder.h"
#include <gtest/gtest.h>
#include <juce_events/juce_events.h>
#include <cstdlib>

int main (int argc, char** argv)
{
    vyrTest::OwnConfigFolder configFolder ("vyr-tests");

    ::testing::InitGoogleTest (&argc, argv);
    int result;
    {
        juce::ScopedJuceInitialiser_GUI juceInit;
        result = RUN_ALL_TESTS();
    }
    return result;
}
