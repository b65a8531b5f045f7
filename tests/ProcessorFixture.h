#pragma once

#include "Core/PluginProcessor.h"
#include <functional>
#include <memory>

namespace vyrTest
{
    // A processor as a given wrapper would create it (plug-in host, standalone app or none).
    inline std::unique_ptr<VyrAudioProcessor> makeProcessor (int product,
                                                             juce::AudioProcessor::WrapperType wrapper = juce::AudioProcessor::wrapperType_Undefined)
    {
        juce::AudioProcessor::setTypeOfNextNewPlugin (wrapper);
        auto p = std::make_unique<VyrAudioProcessor> (product);
        juce::AudioProcessor::setTypeOfNextNewPlugin (juce::AudioProcessor::wrapperType_Undefined);
        return p;
    }

    inline void prepare (VyrAudioProcessor& p, double sampleRate, int blockSize, int channels = 2)
    {
        p.setPlayConfigDetails (channels, channels, sampleRate, blockSize);
        p.prepareToPlay (sampleRate, blockSize);
    }

    inline void setParam (VyrAudioProcessor& p, const char* id, float plainValue)
    {
        auto* param = p.apvts.getParameter (id);
        param->setValueNotifyingHost (param->convertTo0to1 (plainValue));
    }

    // Runs the message loop until the processor's request poll has served what is pending (bounded, so a
    // loaded machine only makes it slower, never wrong).
    inline void serveRequests (VyrAudioProcessor& p)
    {
        auto* mm = juce::MessageManager::getInstance();
        const auto end = juce::Time::getMillisecondCounter() + 5000;
        while (p.requestsPending() && juce::Time::getMillisecondCounter() < end)
            mm->runDispatchLoopUntil (VyrAudioProcessor::requestPollMs);
    }

    // Runs the message loop until the condition holds or the time limit passes; returns the condition.
    // The limit only bounds a failing wait: a loaded machine (or a sanitizer build) delivers timers and
    // posted messages late, so it is generous, and a passing wait returns as soon as the event arrives.
    inline bool pumpUntil (const std::function<bool()>& done, int limitMs = 10000)
    {
        const auto end = juce::Time::getMillisecondCounter() + (juce::uint32) limitMs;
        while (! done())
        {
            if (juce::Time::getMillisecondCounter() > end)
                return done();
            juce::MessageManager::getInstance()->runDispatchLoopUntil (5);
        }
        return true;
    }

    inline float param (VyrAudioProcessor& p, const char* id)
    {
        return p.apvts.getRawParameterValue (id)->load();
    }
}
