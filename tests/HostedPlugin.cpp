#include "HostedPlugin.h"

#include "BareXServer.h"

namespace vyrTest
{
Loaded loadVst3()
{
    juce::VST3PluginFormat format;
    juce::OwnedArray<juce::PluginDescription> types;
    format.findAllTypesForFile (types, VYR_VST3_PATH);
    Loaded l;
    if (types.isEmpty())
    {
        l.error = "no plug-in found in " VYR_VST3_PATH;
        return l;
    }
    l.instance = format.createInstanceFromDescription (*types[0], 48000.0, 512, l.error);
    return l;
}

Loaded loadLv2()
{
    juce::LV2PluginFormat format;
    juce::FileSearchPath path (VYR_LV2_DIR);
    format.searchPathsForPlugins (path, true, false);
    juce::OwnedArray<juce::PluginDescription> types;
    format.findAllTypesForFile (types, VYR_LV2_URI);
    Loaded l;
    if (types.isEmpty())
    {
        l.error = "no plug-in with URI " VYR_LV2_URI;
        return l;
    }
    l.instance = format.createInstanceFromDescription (*types[0], 48000.0, 512, l.error);
    return l;
}

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
