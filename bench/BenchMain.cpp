#include "BareXServer.h"

#include <benchmark/benchmark.h>
#include <juce_events/juce_events.h>

int main (int argc, char** argv)
{
    // Before JUCE first talks to the X server: the editor benchmark puts a window on a server
    // without window manager (xvfb-run), and JUCE keeps the atoms it looked up at its start.
    vyrTest::BareXServerAtoms atoms;
    juce::ScopedJuceInitialiser_GUI juceInit;
    benchmark::Initialize (&argc, argv);
    if (benchmark::ReportUnrecognizedArguments (argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
