// The standalone file actions of the main view: Load, Play, Stop, Download and file drops.
#include "Ui/MainView/BasicMasteringView.h"

#include "Core/PluginProcessor.h"
#include "Ui/Shell/AudioSettingsWindow.h"

namespace
{
constexpr const char* kAudioPatterns = "*.wav;*.aif;*.aiff;*.flac;*.ogg;*.mp3;*.m4a;*.mp4";
// A failed load's reason stays on the hint line this long before the live status may replace it.
constexpr double kErrorHoldMs = 6000.0;
}

void BasicMasteringView::browseFile()
{
    fileChooser = std::make_shared<juce::FileChooser> ("Load audio", juce::File(), kAudioPatterns, true);
    std::weak_ptr<juce::FileChooser> weak = fileChooser;
    juce::Component::SafePointer<BasicMasteringView> safe (this);
    fileChooser->launchAsync (juce::FileBrowserComponent::openMode | juce::FileBrowserComponent::canSelectFiles,
                              [safe] (const juce::FileChooser& chooser)
                              {
                                  if (auto* view = safe.getComponent())
                                      view->loadChosenFile (vyrAudioIo::chosenFile (chooser));
                              });
}

void BasicMasteringView::loadChosenFile (const juce::File& f)
{
    if (f.getFullPathName().isNotEmpty() && f.existsAsFile())
    {
        processor.loadAudioFile (f);
        // A file that could not be read says why; the loaded file, if any, stays.
        if (processor.loadError.isNotEmpty())
            showMessage (processor.loadError, kErrorHoldMs);
    }
    fileChooser.reset();
    repaint();
}

void BasicMasteringView::playClicked()
{
    // Without an output the transport would run silently and Play would read "Pause": say why
    // nothing can play instead.
    if (processor.transport.isPlaying())
        processor.transport.stop();
    else if (! vyrAudioOutputAvailable())
        showMessage (kNoAudioOutputText, kErrorHoldMs);
    else
        processor.playFile();
    repaint();
}

void BasicMasteringView::stopClicked()
{
    processor.transport.stop();
    processor.transport.setPosition (0.0); // moves only once the transport knows its rate
    repaint();
}

void BasicMasteringView::beginExport()
{
    if (! processor.fileLoaded)
    {
        recipeHint = "Load an audio file first.";
        repaint();
        return;
    }
    const auto name = vyrAudioIo::suggestedFileName (processor.loadedName, vyrAudioIo::Format::wav, processor.exportInfo.title);
    const auto initial = vyrAudioIo::exportStartFolder (processor.exportInfo.lastExportFolder, processor.loadedFile).getChildFile (name);
    exportDialogStart = initial;
    fileChooser = std::make_shared<juce::FileChooser> ("Export master", initial, kAudioPatterns, true);
    recipeHint = juce::String ("Rendering live master") + juce::String (juce::CharPointer_UTF8 ("\xe2\x80\xa6"));
    repaint();

    juce::Component::SafePointer<BasicMasteringView> safe (this);
    fileChooser->launchAsync (juce::FileBrowserComponent::saveMode | juce::FileBrowserComponent::canSelectFiles
                                  | juce::FileBrowserComponent::warnAboutOverwriting,
                              [safe] (const juce::FileChooser& chooser)
                              {
                                  if (auto* view = safe.getComponent())
                                      view->exportChosenFile (vyrAudioIo::chosenSaveFile (chooser));
                              });
}

void BasicMasteringView::exportChosenFile (const juce::File& chosen)
{
    if (chosen.getFullPathName().isEmpty())
    {
        fileChooser.reset();
        recipeHint = "Export cancelled.";
        repaint();
        return;
    }

    // A name without a known extension is written as WAV. The dialog only asked about the name
    // the user typed: when the ".wav" name is another file that already exists, nothing is
    // overwritten and the user is told how to replace it on purpose.
    const auto target = vyrAudioIo::exportTargetFor (chosen);
    if (target.replacesOtherFile)
    {
        fileChooser.reset();
        recipeHint = target.file.getFileName() + " already exists - nothing was written. Save as " + target.file.getFileName()
                     + " to replace it.";
        repaint();
        return;
    }

    const auto err = processor.exportMastered (target.file, target.format);
    if (err.isEmpty())
    {
        processor.exportInfo.lastExportFolder = target.file.getParentDirectory();
        recipeHint = "Exported " + target.file.getFileName();
    }
    else
        showMessage (err, kErrorHoldMs);
    fileChooser.reset();
    repaint();
}

//==============================================================================
bool BasicMasteringView::isInterestedInFileDrag (const juce::StringArray& files)
{
    if (! standalone() || files.isEmpty())
        return false;
    return vyrAudioIo::isLoadableFile (juce::File (files[0]));
}

void BasicMasteringView::fileDragEnter (const juce::StringArray&, int, int)
{
    fileDragHover = true;
    repaint();
}

void BasicMasteringView::fileDragExit (const juce::StringArray&)
{
    fileDragHover = false;
    repaint();
}

void BasicMasteringView::filesDropped (const juce::StringArray& files, int, int)
{
    fileDragHover = false;
    if (standalone() && ! files.isEmpty() && vyrAudioIo::isLoadableFile (juce::File (files[0])))
    {
        processor.loadAudioFile (juce::File (files[0]));
        if (processor.loadError.isNotEmpty())
            showMessage (processor.loadError, kErrorHoldMs);
    }
    repaint();
}
