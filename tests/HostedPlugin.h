#pragma once

// The built VST3 and LV2 bundles loaded the way a host loads them, shared by the host test programs.
#include <juce_audio_processors/juce_audio_processors.h>
#include <ostream>
#include <string>

namespace vyrTest
{
struct Loaded
{
    std::unique_ptr<juce::AudioPluginInstance> instance;
    juce::String error;
};

// The main product of this build. Both load the bundles this build produced and nothing else: a
// load that brings in another copy of the plug-in's binaries (an installed one) fails with the copy
// it found.
Loaded loadVst3();
Loaded loadLv2();
// Any bundle this build made, by its path (and, for LV2, its folder and URI).
Loaded loadVst3At (const juce::String& bundle);
Loaded loadLv2At (const juce::String& folder, const juce::String& uri);

// Empty while every copy of the plug-in's binaries in this process is one this build produced;
// otherwise names the other copies. Editors load their binary when they open, so tests check again
// once an editor is open.
std::string binariesNotUnderTest();

// A home folder of the test program's own for its lifetime. LV2 hosts always look for installed
// plug-ins below the user's home (~/.lv2) before the folders they are given, and the first copy of
// a URI wins: with this in place no installed copy of the user's can stand in for the bundle under
// test. Copies in system folders are reported by the loads above.
class OwnHomeFolder
{
public:
    OwnHomeFolder();
    ~OwnHomeFolder();

    OwnHomeFolder (const OwnHomeFolder&) = delete;
    OwnHomeFolder& operator= (const OwnHomeFolder&) = delete;

private:
    std::string path;
};

struct HostCase
{
    const char* format;
    Loaded (*load)();
    bool monoAccepted;
    bool hostAddsEnablePort;       // LV2 hosts get a designated enable port besides the plug-in's own bypass
    bool reportsTailAndAutomation; // LV2 carries neither a tail time nor automation flags
};

// Test names show the format, not the case's bytes.
inline void PrintTo (const HostCase& c, std::ostream* os) { *os << c.format; }

inline const HostCase vst3Case { "VST3", &loadVst3, true, false, true };
inline const HostCase lv2Case { "LV2", &loadLv2, false, true, false };

// Parameters of the plug-in itself: without the MIDI-controller parameters the VST3 wrapper adds so
// hosts can deliver controllers, and without the enable port an LV2 host adds.
juce::Array<juce::AudioProcessorParameter*> ownParameters (juce::AudioPluginInstance& p, const HostCase& c);

// Lets the window system's answers to what the test just did arrive and be handled, then runs
// every call they posted: a marker posted last runs after them. The framework's embedding posts
// calls holding itself in answer to some of those reports, so a host lets them run before it
// closes an editor.
void settleWindowSystem();
}
