#include "Ui/Foundation/VyrLoadFlow.h"

#include "Files/AudioIo.h"

namespace vyrLoadFlow
{
std::shared_ptr<juce::FileChooser> browse (std::function<void (const juce::File&)> onChosen)
{
    auto chooser = std::make_shared<juce::FileChooser> ("Load audio", juce::File(),
                                                        "*.wav;*.aif;*.aiff;*.flac;*.ogg;*.mp3;*.m4a;*.mp4", true);
    chooser->launchAsync (juce::FileBrowserComponent::openMode | juce::FileBrowserComponent::canSelectFiles,
                          [done = std::move (onChosen)] (const juce::FileChooser& fc) { done (vyrAudioIo::chosenFile (fc)); });
    return chooser;
}
}
