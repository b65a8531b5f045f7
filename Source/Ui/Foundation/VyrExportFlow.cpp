#include "Ui/Foundation/VyrExportFlow.h"

#include "Core/PluginProcessor.h"

namespace vyrExportFlow
{
std::shared_ptr<juce::FileChooser> begin (VyrAudioProcessor& processor, vyrAudioIo::Format format, juce::String& status,
                                          std::function<void (const juce::File&)> onChosen, juce::File* dialogStart)
{
    if (! processor.fileLoaded)
    {
        status = "Load an audio file first.";
        return {};
    }
    const auto name = vyrAudioIo::suggestedFileName (processor.loadedName, format, processor.exportInfo.title);
    const auto initial = vyrAudioIo::exportStartFolder (processor.exportInfo.lastExportFolder, processor.loadedFile).getChildFile (name);
    if (dialogStart != nullptr)
        *dialogStart = initial;
    auto chooser = std::make_shared<juce::FileChooser> ("Export master", initial,
                                                        "*.wav;*.aif;*.aiff;*.flac;*.ogg;*.mp3;*.m4a;*.mp4", true);
    status = juce::String ("Rendering live master") + juce::String (juce::CharPointer_UTF8 ("\xe2\x80\xa6"));
    chooser->launchAsync (juce::FileBrowserComponent::saveMode | juce::FileBrowserComponent::canSelectFiles
                              | juce::FileBrowserComponent::warnAboutOverwriting,
                          [done = std::move (onChosen)] (const juce::FileChooser& fc) { done (vyrAudioIo::chosenSaveFile (fc)); });
    return chooser;
}

Outcome finish (VyrAudioProcessor& processor, const juce::File& chosen, vyrAudioIo::Format fallback)
{
    if (chosen.getFullPathName().isEmpty())
        return { "Export cancelled." };

    // The dialog only asked about the name the user typed: when the name with the format's
    // extension is another file that already exists, nothing is overwritten and the user is told
    // how to replace it on purpose.
    const auto target = vyrAudioIo::exportTargetFor (chosen, fallback);
    if (target.replacesOtherFile)
        return { target.file.getFileName() + " already exists - nothing was written. Save as " + target.file.getFileName()
                 + " to replace it." };

    const auto err = processor.exportMastered (target.file, target.format);
    if (err.isNotEmpty())
        return { err, true };
    processor.exportInfo.lastExportFolder = target.file.getParentDirectory();
    return { "Exported " + target.file.getFileName() };
}
}
