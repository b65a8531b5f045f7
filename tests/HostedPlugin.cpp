#include "HostedPlugin.h"

#include "BareXServer.h"

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <set>

namespace vyrTest
{
namespace
{
    // The bundles this build produced, by their real paths (the kernel names mapped files so).
    juce::Array<juce::File> bundlesUnderTest()
    {
        return { juce::File (VYR_VST3_PATH).getLinkedTarget(), juce::File (VYR_LV2_DIR).getLinkedTarget() };
    }

    // The first plug-in the format finds at `fileOrIdentifier`, made as a host makes it, and only
    // if it came from the bundles under test.
    Loaded loadFirst (juce::AudioPluginFormat& format, const juce::String& fileOrIdentifier, const juce::String& notFound)
    {
        juce::OwnedArray<juce::PluginDescription> types;
        format.findAllTypesForFile (types, fileOrIdentifier);
        Loaded l;
        if (types.isEmpty())
        {
            l.error = notFound;
            return l;
        }
        l.instance = format.createInstanceFromDescription (*types[0], 48000.0, 512, l.error);
        if (const auto other = binariesNotUnderTest(); ! other.empty())
        {
            l.instance.reset();
            l.error = juce::String (other);
        }
        return l;
    }
}

std::string binariesNotUnderTest()
{
    // The plug-in's binaries are the shared objects in the bundles under test; another file of
    // one of their names is another copy.
    std::set<juce::String> names;
    for (const auto& bundle : bundlesUnderTest())
        for (const auto& f : bundle.findChildFiles (juce::File::findFiles, true, "*.so"))
            names.insert (f.getFileName());

    std::set<std::string> others;
    std::ifstream maps ("/proc/self/maps");
    for (std::string line; std::getline (maps, line);)
    {
        const auto slash = line.find ('/');
        if (slash == std::string::npos)
            continue;
        const juce::File mapped (juce::String (line.substr (slash)).upToLastOccurrenceOf (" (deleted)", false, false));
        if (names.count (mapped.getFileName()) == 0)
            continue;
        bool underTest = false;
        for (const auto& bundle : bundlesUnderTest())
            underTest = underTest || mapped.isAChildOf (bundle);
        if (! underTest)
            others.insert (mapped.getFullPathName().toStdString());
    }
    if (others.empty())
        return {};
    std::string text = "another copy of the plug-in is loaded instead of the bundles this build produced ("
                       VYR_VST3_PATH ", " VYR_LV2_DIR "):";
    for (const auto& o : others)
        text += " " + o;
    return text;
}

OwnHomeFolder::OwnHomeFolder() : path ("/tmp/vyr-home-XXXXXX")
{
    if (mkdtemp (path.data()) != nullptr)
        setenv ("HOME", path.c_str(), 1);
    else
        path.clear();
}

OwnHomeFolder::~OwnHomeFolder()
{
    if (! path.empty())
        juce::File (path).deleteRecursively();
}

Loaded loadVst3At (const juce::String& bundle)
{
    juce::VST3PluginFormat format;
    return loadFirst (format, bundle, "no plug-in found in " + bundle);
}

Loaded loadLv2At (const juce::String& folder, const juce::String& uri)
{
    juce::LV2PluginFormat format;
    juce::FileSearchPath path (folder);
    format.searchPathsForPlugins (path, true, false);
    return loadFirst (format, uri, "no plug-in with URI " + uri);
}

Loaded loadVst3() { return loadVst3At (VYR_VST3_PATH); }
Loaded loadLv2() { return loadLv2At (VYR_LV2_DIR, VYR_LV2_URI); }

juce::Array<juce::AudioProcessorParameter*> ownParameters (juce::AudioPluginInstance& p, const HostCase& c)
{
    juce::Array<juce::AudioProcessorParameter*> own;
    for (auto* param : p.getParameters())
    {
        if (param->getName (64).startsWith ("MIDI CC "))
            continue;
        if (c.hostAddsEnablePort && param == p.getBypassParameter())
            continue;
        own.add (param);
    }
    return own;
}

void settleWindowSystem()
{
    auto* mm = juce::MessageManager::getInstance();
    mm->runDispatchLoopUntil (30);
    syncWithXServer();
    mm->runDispatchLoopUntil (30);
    auto done = std::make_shared<std::atomic<bool>> (false);
    juce::MessageManager::callAsync ([done] { done->store (true); });
    const auto end = juce::Time::getMillisecondCounter() + 10000;
    while (! done->load() && juce::Time::getMillisecondCounter() < end)
        mm->runDispatchLoopUntil (5);
}

SinePlayed playSine (juce::AudioProcessor& p, int blocks)
{
    juce::AudioBuffer<float> buffer (2, 512);
    juce::MidiBuffer midi;
    SinePlayed played;
    for (int block = 0; block < blocks; ++block)
    {
        for (int ch = 0; ch < 2; ++ch)
            for (int i = 0; i < 512; ++i)
                buffer.setSample (ch, i, 0.25f * (float) std::sin (2.0 * juce::MathConstants<double>::pi * 440.0 * (block * 512 + i) / 48000.0));
        played.energyIn += buffer.getRMSLevel (0, 0, 512);
        p.processBlock (buffer, midi);
        for (int ch = 0; ch < 2; ++ch)
            for (int i = 0; i < 512; ++i)
                played.allFinite = played.allFinite && std::isfinite (buffer.getSample (ch, i));
        played.energyOut += buffer.getRMSLevel (0, 0, 512);
    }
    return played;
}
}
