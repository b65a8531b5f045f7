#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

#include "Ui/Controls/FactoryPresetBrowser.h"
#include "Ui/Controls/MasterEffectGauge.h"
#include "Ui/Foundation/VyrInfoButton.h"

class VyrAudioProcessor;

// The mastering studio page ("Master" tab of the full chain): delivery medium, style and target
// loudness chips, a one-click recipe from the medium, the mastering-effect knob, the factory
// presets with a card describing the current one, the global bypass, the export format and the
// export itself. Every control is an invisible hit area; the page paints their look. No timer:
// what it shows of the processor is read at paint time, and it repaints after its own actions.
// Message thread only.
class MasteringStudioPanel : public juce::Component
{
public:
    explicit MasteringStudioPanel (VyrAudioProcessor&);
    ~MasteringStudioPanel() override;

    void paint (juce::Graphics&) override;
    void paintOverChildren (juce::Graphics&) override;
    void resized() override;

    // Fills the export-tag card of this page's editor from the processor and shows it.
    void openExportInfo (bool installExport = true);
    // Starts the export of the loaded file in the chosen format.
    void beginExport();
    // The save dialog's outcome: writes the file (an empty path means cancelled).
    void exportChosenFile (const juce::File& chosen, int format);

    void clickMedium (int i);
    void clickTarget (int i);
    void applyRecipe();
    void toggleBypass();
    void toggleDetail();
    // Opens or closes the expanded footer (as the detail button does).
    void setExpanded (bool shouldExpand)
    {
        if (shouldExpand != detailOpen)
            toggleDetail();
    }

    // Accent of the page for an identity.
    static juce::Colour studioAccent (int themeIndex) noexcept;
    // The target option of a medium's loudness (-14 when it has none of its own).
    static int targetForMedium (int medium) noexcept;
    // The medium a target option selects, or -1.
    static int mediumForTarget (int target) noexcept;

    VyrAudioProcessor& processor;
    MasterEffectGauge gauge;
    FactoryPresetBrowser presetBrowser;
    juce::TextButton mediumChips[8], styleChips[7], lufsChips[5];
    juce::TextButton recipeButton, tagsButton, exportButton, bypassButton;
    juce::TextButton formatChips[7];
    juce::TextButton detailButton;
    VyrInfoButton infoButton;
    juce::Rectangle<int> presetCard;
    juce::String status;
    int formatIndex = 0;
    bool detailOpen = false;
    std::shared_ptr<juce::FileChooser> chooser;

private:
    void setChoice (const juce::String& id, int index);
    void paintPresetCard (juce::Graphics&, juce::Colour accent);
    void paintFooter (juce::Graphics&);

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MasteringStudioPanel)
};
