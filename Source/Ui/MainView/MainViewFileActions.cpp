// The standalone file actions of the main view: Load, Play, Stop, Download and file drops.
#include "Ui/MainView/BasicMasteringView.h"

#include "Core/PluginProcessor.h"
#include "Ui/Foundation/VyrExportFlow.h"
#include "Ui/Foundation/VyrLoadFlow.h"
#include "Ui/Shell/AudioSettingsWindow.h"

namespace
{
// A failed load's reason stays on the hint line this long before the live status may replace it.
constexpr double kErrorHoldMs = 6000.0;
}

void BasicMasteringView::browseFile()
{
    juce::Component::SafePointer<BasicMasteringView> safe (this);
    fileChooser = vyrLoadFlow::browse ([safe] (const juce::File& file)
                                       {
                                           if (auto* view = safe.getComponent())
                                               view->loadChosenFile (file);
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
    juce::Component::SafePointer<BasicMasteringView> safe (this);
    fileChooser = vyrExportFlow::begin (processor, vyrAudioIo::Format::wav, recipeHint, [safe] (const juce::File& chosen)
                                        {
                                            if (auto* view = safe.getComponent())
                                                view->exportChosenFile (chosen);
                                        },
                                        &exportDialogStart);
    repaint();
}

void BasicMasteringView::exportChosenFile (const juce::File& chosen)
{
    const auto outcome = vyrExportFlow::finish (processor, chosen, vyrAudioIo::Format::wav);
    if (outcome.failed)
        showMessage (outcome.text, kErrorHoldMs);
    else
        recipeHint = outcome.text;
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
