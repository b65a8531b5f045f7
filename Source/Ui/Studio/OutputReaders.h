#pragma once

#include "Core/PluginProcessor.h"

#include <memory>

// What the assistant's measurements read of the output (its spectrum and levels), held only while a
// view that measures is showing: the audio thread works them out only while somebody reads them.
class VyrOutputReaders
{
public:
    void hold (VyrAudioProcessor& processor, bool showing)
    {
        if (showing && spectrum == nullptr)
        {
            spectrum = std::make_unique<VyrAudioProcessor::SpectrumViewToken> (processor);
            levels = std::make_unique<VyrReaderToken> (processor.levelReaders);
        }
        else if (! showing)
        {
            spectrum.reset();
            levels.reset();
        }
    }

private:
    std::unique_ptr<VyrAudioProcessor::SpectrumViewToken> spectrum;
    std::unique_ptr<VyrReaderToken> levels;
};
