#include "BareXServer.h"

#include <gtest/gtest.h>
#include <juce_events/juce_events.h>
#include <cstdlib>

int main (int argc, char** argv)
{
    // The plug-in keeps its training log below the user's config folder: the tests get a folder of
    // their own, so they never read or write the real log.
    char folder[] = "/tmp/vyr-gui-tests-config-XXXXXX";
    if (mkdtemp (folder) != nullptr)
        setenv ("XDG_CONFIG_HOME", folder, 1);

    ::testing::InitGoogleTest (&argc, argv);
    vyrTest::BareXServerAtoms atoms; // lets components go on the desktop for real mouse and key events
    int result = 0;
    {
        juce::ScopedJuceInitialiser_GUI juceInit;
        result = RUN_ALL_TESTS();
    }
    juce::File (folder).deleteRecursively();
    return result;
}
