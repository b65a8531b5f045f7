#include "Ui/Shell/PagePlaceholders.h"

#include "Core/PluginProcessor.h"
#include "Ui/Foundation/VyrPainting.h"
#include "Ui/Shell/ExportInfoOverlay.h"

namespace
{
void paintPlaceholder (juce::Graphics& g, juce::Component& c, VyrAudioProcessor& p, const char* title)
{
    const auto& theme = vyrTheme (p.themeIndex);
    vyrPaintPanelChrome (g, c.getLocalBounds().toFloat().reduced (1.0f), theme, false);
    g.setColour (theme.textColour());
    g.setFont (juce::Font (12.0f, juce::Font::bold).withExtraKerningFactor (0.14f));
    g.drawText (title, c.getLocalBounds().reduced (16, 10).removeFromTop (18), juce::Justification::centredLeft, true);
}
}

SectionMasteringPanel::SectionMasteringPanel (VyrAudioProcessor& p) : processor (p) {}
SectionMasteringPanel::~SectionMasteringPanel() = default;
void SectionMasteringPanel::paint (juce::Graphics& g) { paintPlaceholder (g, *this, processor, "SECTION MASTERING"); }

MasteredWaveformPanel::MasteredWaveformPanel (VyrAudioProcessor& p) : processor (p) {}
MasteredWaveformPanel::~MasteredWaveformPanel() = default;
void MasteredWaveformPanel::paint (juce::Graphics& g) { paintPlaceholder (g, *this, processor, "MASTERED OUTPUT"); }

void MasteredWaveformPanel::cycleTapeMode()
{
    tapeMode = (tapeMode + 1) % 3;
    if (onLayoutChange)
        onLayoutChange();
    else
        resized();
}

MasteringStudioPanel::MasteringStudioPanel (VyrAudioProcessor& p) : processor (p) {}
MasteringStudioPanel::~MasteringStudioPanel() = default;
void MasteringStudioPanel::paint (juce::Graphics& g) { paintPlaceholder (g, *this, processor, "MASTERING STUDIO"); }

void MasteringStudioPanel::setExpanded (bool shouldExpand)
{
    expanded = shouldExpand;
    for (auto* c = getParentComponent(); c != nullptr; c = c->getParentComponent())
        c->resized();
}

void MasteringStudioPanel::openExportInfo (bool show)
{
    if (! show)
        return;
    if (auto* card = vyrFindExportCard (*this))
        card->openFor (processor, formatIndex, vyrShellAccent (processor.themeIndex.load()), [this] { beginExport(); });
}

void MasteringStudioPanel::beginExport() {}

FinalOutputPanel::FinalOutputPanel (VyrAudioProcessor& p) : processor (p) {}
FinalOutputPanel::~FinalOutputPanel() = default;
void FinalOutputPanel::paint (juce::Graphics& g) { paintPlaceholder (g, *this, processor, "FINAL OUTPUT"); }
