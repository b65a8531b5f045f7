#pragma once

#include "Files/AudioIo.h"
#include "Ui/Foundation/VyrInfoButton.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

class VyrAudioProcessor;

// The "Export info" card: eight tag fields, the output sample rate, the bit depth (PCM formats) or
// bit rate (lossy formats) and the Red Book (CD-DA) lock, over a dimmed editor. Every edit is
// copied at once into the processor's export record, and every way of closing the card copies
// again, so nothing typed is ever lost. Message thread only.
class VyrExportInfoOverlay : public juce::Component
{
public:
    class Body : public juce::Component
    {
    public:
        Body();
        ~Body() override;

        // Copies the fields (trimmed), the lock and the three choices into a record.
        void harvestTo (vyrAudioIo::ExportInfo& target);
        static void styleField (juce::TextEditor&);
        void paintChip (juce::Graphics&, juce::TextButton&, bool selected, bool dimmed, const juce::String& label) const;

        void paint (juce::Graphics&) override;
        void paintOverChildren (juce::Graphics&) override;
        void resized() override;

        // Height the content needs at the current width (Export button's bottom + 16).
        int contentHeight() const noexcept { return exportButton.getBottom() + 16; }
        // The Red Book length warning for the current lock and length; empty when none.
        juce::String lengthWarning() const;

        juce::TextEditor fields[8];
        juce::TextButton rateChips[7], depthChips[3], kbpsChips[4], redBookButton, cancelButton, exportButton;
        vyrAudioIo::ExportInfo info;
        int format = 0;
        juce::Colour accent { 0xfff59e0b };
        double sourceRate = 44100.0;
        double lengthSeconds = 0.0;
        juce::Rectangle<int> rateRow, depthRow, kbpsRow, redBookRow, noteBox;
        VyrAudioProcessor* processor = nullptr;

        std::function<void()> onClose, onExportClicked;

    private:
        void copyLive();
        void clickRate (int k);
        void clickDepth (int k);
        void clickKbps (int k);
        void toggleRedBook();
        bool depthRowShows() const noexcept { return format >= 0 && format <= 2; }
        bool kbpsRowShows() const noexcept { return format >= 4 && format <= 6; }
        void paintActionButton (juce::Graphics&, juce::TextButton&, bool primary, const juce::String& label) const;

        JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Body)
    };

    VyrExportInfoOverlay();
    ~VyrExportInfoOverlay() override;

    // What an opener does: binds the card to a processor (seeding the title from the loaded
    // file when the record has none), takes the format, accent and export hook, loads the record,
    // the file's rate and length into the card and shows it with keyboard focus.
    void openFor (VyrAudioProcessor& p, int formatIndex, juce::Colour accentColour, std::function<void()> exportHook);

    // Gives focus away from the fields, copies the card into the bound processor, hides.
    void close();

    void mouseUp (const juce::MouseEvent&) override;
    void paint (juce::Graphics&) override;
    bool keyPressed (const juce::KeyPress&) override;
    void resized() override;

    Body body;
    juce::Viewport viewport;
    VyrInfoButton infoButton;
    juce::Rectangle<int> cardBounds, headerBounds;
    juce::Colour accent { 0xfff59e0b };
    std::function<void()> onExport;
    VyrAudioProcessor* processor = nullptr;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (VyrExportInfoOverlay)
};

// Owner of an editor's export card; pages find the card of their own editor through their parents.
class VyrExportHost
{
public:
    virtual ~VyrExportHost() = default;
    virtual VyrExportInfoOverlay& getExportOverlay() noexcept = 0;
};

// The export card of the editor a component lives in, or null outside an editor.
VyrExportInfoOverlay* vyrFindExportCard (juce::Component& from);

// The export card of the editor constructed last, null while no editor is open. For callers
// outside any editor only: pages use vyrFindExportCard, so two editors never share a card.
extern VyrExportInfoOverlay* gExportHost;

// Accent of the export card and the desktop header by identity (ids outside 1..5: the default cyan).
juce::Colour vyrShellAccent (int themeId) noexcept;
