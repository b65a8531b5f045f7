#include "HostedPlugin.h"

#include "BareXServer.h"

namespace vyrTest
{
namespace
{
    // The first plug-in the format finds at `fileOrIdentifier`, made as a host makes it.
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
        return l;
    }
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
}
