#include <gtest/gtest.h>
#include <juce_events/juce_events.h>
#include <cstdlib>

int main (int argc, char** argv)
{
    // The plug-in keeps its training log below the user's config folder: the tests get a folder of
    // their own, so they never read or write the real log.
    char folder[] = "/tmp/vyr-tests-config-XXXXXX";
    if (mkdtemp (folder) != nullptr)
        setenv ("XDG_CONFIG_HOME", folder, 1);

    ::testing::InitGoogleTest (&argc, argv);
    int result;
    {
        juce::ScopedJuceInitialiser_GUI juceInit;
        result = RUN_ALL_TESTS();
    }
    juce::File (folder).deleteRecursively();
    return result;
}
