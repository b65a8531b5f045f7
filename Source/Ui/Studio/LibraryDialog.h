#pragma once

// The library dialog: the reference library ranked against the prospective master - a header with
// the chosen lane and the loudness, clip and FIT figures, the 36 nearest named references and the 8
// nearest grid destinations - with a PRINT button that saves the same content as a report page.
// Reads the processor on the message thread; while it shows, it holds the output spectrum and level
// readers its measurement needs, and releases them when hidden.

#include <juce_gui_basics/juce_gui_basics.h>
#include <memory>
#include "Assistant/LibraryModel.h"
#include "Core/PluginProcessor.h"
#include "Ui/Studio/ReportPrint.h"
#include "Ui/Studio/OutputReaders.h"

// The ranked rows, inside the body's viewport. Paints from its own copy of the model.
class VyrLibraryList : public juce::Component
{
public:
    void paint (juce::Graphics&) override;

    LibraryModel model;
    bool light = false;
};

class VyrLibraryBody : public juce::Component
{
public:
    explicit VyrLibraryBody (VyrAudioProcessor& processor);
    ~VyrLibraryBody() override;

    // Measures, advises and ranks again, then lays the list out and repaints.
    void rebuild();

    // The owner's periodic refresh: rebuilds only while the dialog is showing (the measurement and
    // ranking are the costly part, and nobody sees them otherwise). Returns whether it rebuilt.
    bool refreshIfShowing();

    // The PRINT action: a fresh report image, saved as a PDF where the user chooses.
    void printReport();

    void paint (juce::Graphics&) override;
    void resized() override;
    void visibilityChanged() override;
    void parentHierarchyChanged() override;

    VyrAudioProcessor& processor;
    LibraryModel model;
    juce::TextButton printButton { "PRINT" };
    juce::Viewport viewport;
    VyrLibraryList list;

    // Where the report goes and how a failure is told (tests replace them).
    vyrPrint::SaveChooser saveChooser;
    vyrPrint::FailureReport failureReport;

private:
    void sizeList();
    void updateReaders();

    VyrOutputReaders readers;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (VyrLibraryBody)
};

class VyrLibraryDialog : public juce::DialogWindow
{
public:
    explicit VyrLibraryDialog (VyrAudioProcessor& processor);

    // Hides the window; it stays for the next opening.
    void closeButtonPressed() override;

    VyrLibraryBody& body() noexcept { return *bodyComponent; }

    // The LIBRARY action: creates the dialog into `holder` on first use (centred on the editor that
    // holds `from`, else on the screen), then shows it, brings it to front and refreshes it.
    static void open (std::unique_ptr<VyrLibraryDialog>& holder, juce::Component& from, VyrAudioProcessor& processor);

private:
    VyrLibraryBody* bodyComponent = nullptr;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (VyrLibraryDialog)
};
