#include "Ui/Studio/MasteringStudioPanel.h"

#include "Core/PluginProcessor.h"
#include "Model/QuarnPresets.h"
#include "Ui/Controls/GhostButton.h"
#include "Ui/Foundation/VyrExportFlow.h"
#include "Ui/MainView/BasicMasteringView.h"
#include "Ui/Shell/ExportInfoOverlay.h"

#include <cmath>

namespace
{
void writeSwitch (VyrAudioProcessor& p, const char* id, float value)
{
    if (auto* param = p.apvts.getParameter (id))
    {
        param->setValue (value);
        param->sendValueChangedMessageToListeners (value);
    }
}

void writeInGesture (VyrAudioProcessor& p, const char* id, float plain)
{
    if (auto* param = p.apvts.getParameter (id))
    {
        const float v = param->convertTo0to1 (plain);
        param->beginChangeGesture();
        param->setValueNotifyingHost (v);
        param->endChangeGesture();
    }
}
}

MasteringStudioPanel::MasteringStudioPanel (VyrAudioProcessor& p)
    : processor (p), gauge (p), presetBrowser (p),
      status ("Pick a medium, style and LUFS, then generate a recipe for the serial chain.")
{
    for (auto group : { std::make_pair (mediumChips, 8), std::make_pair (styleChips, 7), std::make_pair (lufsChips, 5) })
        for (int i = 0; i < group.second; ++i)
        {
            ghostBtn (group.first[i]);
            addAndMakeVisible (group.first[i]);
        }
    addAndMakeVisible (presetBrowser);
    for (auto* b : { &recipeButton, &tagsButton, &exportButton, &bypassButton })
    {
        ghostBtn (*b);
        addAndMakeVisible (*b);
    }
    for (auto& b : formatChips)
    {
        ghostBtn (b);
        addAndMakeVisible (b);
    }
    ghostBtn (detailButton);
    addAndMakeVisible (detailButton);

    for (int i = 0; i < 8; ++i)
        mediumChips[i].onClick = [this, i] { clickMedium (i); };
    for (int i = 0; i < 7; ++i)
        styleChips[i].onClick = [this, i]
        {
            setChoice ("masterStyle", i);
            processor.styleIndex.store (i, std::memory_order_release);
            repaint();
        };
    for (int i = 0; i < 5; ++i)
        lufsChips[i].onClick = [this, i] { clickTarget (i); };
    for (int i = 0; i < 7; ++i)
        formatChips[i].onClick = [this, i]
        {
            formatIndex = i;
            if (! vyrAudioIo::canWrite ((vyrAudioIo::Format) i))
                status = vyrAudioIo::cannotWriteReason ((vyrAudioIo::Format) i);
            repaint();
        };
    recipeButton.onClick = [this] { applyRecipe(); };
    tagsButton.onClick = [this] { openExportInfo (true); repaint(); };
    exportButton.onClick = [this] { beginExport(); };
    bypassButton.onClick = [this] { toggleBypass(); };
    detailButton.onClick = [this] { toggleDetail(); };
    tagsButton.setTooltip ("Track tags, sample rate, bit depth, optional Red Book");

    infoButton.setPanel ("mastering", studioAccent (p.themeIndex.load()));
    addAndMakeVisible (infoButton);
    addAndMakeVisible (gauge);
}

MasteringStudioPanel::~MasteringStudioPanel()
{
    chooser.reset();
}

juce::Colour MasteringStudioPanel::studioAccent (int t) noexcept
{
    constexpr juce::uint32 accents[6] = { 0xff38e0ff, 0xff22d3ee, 0xffe0a94e, 0xffff9e1a, 0xff00f0ff, 0xff5fe8c4 };
    return juce::Colour (t >= 1 && t <= 5 ? accents[t] : accents[0]);
}

int MasteringStudioPanel::targetForMedium (int medium) noexcept
{
    const float t = vyrQuarn::kMasterMediums[juce::jlimit (0, 7, medium)].lufs;
    constexpr std::pair<float, int> order[5] = { { -9.0f, 4 }, { -11.0f, 3 }, { -14.0f, 2 }, { -16.0f, 1 }, { -23.0f, 0 } };
    for (auto [value, option] : order)
        if (std::abs (t - value) < 0.01f)
            return option;
    return 2;
}

int MasteringStudioPanel::mediumForTarget (int target) noexcept
{
    const float t = vyrQuarn::kLufsOptions[juce::jlimit (0, 4, target)];
    constexpr std::pair<float, int> order[7] = { { -23.0f, 0 }, { -16.0f, 1 }, { -9.0f, 2 }, { -14.0f, 3 },
                                                 { -11.0f, 4 }, { -18.0f, 5 }, { -8.0f, 7 } };
    for (auto [value, medium] : order)
        if (std::abs (t - value) < 0.01f)
            return medium;
    return -1;
}

void MasteringStudioPanel::setChoice (const juce::String& id, int index)
{
    // The studio's chips write their choices exactly as the main view's do.
    BasicMasteringView::setChoice (processor, id, index);
}

void MasteringStudioPanel::clickMedium (int i)
{
    setChoice ("masterMedium", i);
    const auto& medium = vyrQuarn::kMasterMediums[juce::jlimit (0, 7, i)];
    const int a = targetForMedium (i);
    setChoice ("masterLufs", a);
    processor.mediumIndex.store (i, std::memory_order_release);
    processor.lufsIndex.store (a, std::memory_order_release);
    status = juce::String (medium.label) + "  " + juce::String::fromUTF8 ("\xc2\xb7") + "  " + juce::String ((double) medium.lufs, 0)
             + " LUFS";
    repaint();
}

void MasteringStudioPanel::clickTarget (int i)
{
    setChoice ("masterLufs", i);
    processor.lufsIndex.store (i, std::memory_order_release);
    const int m = mediumForTarget (i);
    if (m >= 0)
    {
        setChoice ("masterMedium", m);
        processor.mediumIndex.store (m, std::memory_order_release);
    }
    repaint();
}

void MasteringStudioPanel::applyRecipe()
{
    const auto& medium = vyrQuarn::kMasterMediums[juce::jlimit (0, 7, processor.mediumIndex.load (std::memory_order_acquire))];
    const float L = medium.lufs;
    writeSwitch (processor, "eq_enabled", 1.0f);
    writeSwitch (processor, "limiter_enabled", 1.0f);
    writeInGesture (processor, "limiter_ceiling", medium.truePeak);
    // Quiet deliveries (film, below -20 LUFS) keep their dynamics: no compressor. Everything
    // louder, Video included, gets it, harder from -11 LUFS up.
    writeSwitch (processor, "compressor_enabled", L > -20.0f ? 1.0f : 0.0f);
    if (L > -20.0f)
        writeInGesture (processor, "compressor_ratio", L >= -11.0f ? 3.5f : 2.5f);
    status = juce::String::fromUTF8 ("Recipe applied to the signal chain \xe2\x80\x94 preview it in real time below.");
    repaint();
}

void MasteringStudioPanel::toggleBypass()
{
    if (auto* param = processor.apvts.getParameter ("bypass"))
    {
        const float v = param->getValue() < 0.5f ? 1.0f : 0.0f;
        param->setValue (v);
        param->sendValueChangedMessageToListeners (v);
    }
    repaint();
}

void MasteringStudioPanel::toggleDetail()
{
    detailOpen = ! detailOpen;
    for (auto* c = getParentComponent(); c != nullptr; c = c->getParentComponent())
        c->resized();
    resized();
    repaint();
}

//==============================================================================
void MasteringStudioPanel::openExportInfo (bool installExport)
{
    const int f = juce::jlimit (0, 6, formatIndex);
    if (processor.exportInfo.title.isEmpty())
        processor.exportInfo.seedFromFileName (processor.loadedName);
    auto* card = vyrFindExportCard (*this);
    if (card == nullptr)
        return;
    card->openFor (processor, f, studioAccent (processor.themeIndex.load (std::memory_order_acquire)),
                   installExport ? std::function<void()> ([safe = juce::Component::SafePointer<MasteringStudioPanel> (this)]
                                                          {
                                                              if (auto* page = safe.getComponent())
                                                                  page->beginExport();
                                                          })
                                 : std::function<void()>());
}

void MasteringStudioPanel::beginExport()
{
    if (auto* card = vyrFindExportCard (*this); card != nullptr && card->isVisible())
    {
        // Committing a text edit in progress first, so the harvest sees what was typed.
        if (auto* focused = juce::Component::getCurrentlyFocusedComponent(); focused != nullptr && card->isParentOf (focused))
            focused->giveAwayKeyboardFocus();
        if (card->processor != nullptr)
            card->body.harvestTo (card->processor->exportInfo);
    }
    const int f = juce::jlimit (0, 6, formatIndex);
    juce::Component::SafePointer<MasteringStudioPanel> safe (this);
    chooser = vyrExportFlow::begin (processor, (vyrAudioIo::Format) f, status, [safe, f] (const juce::File& chosen)
                                    {
                                        if (auto* page = safe.getComponent())
                                            page->exportChosenFile (chosen, f);
                                    });
    repaint();
}

void MasteringStudioPanel::exportChosenFile (const juce::File& chosen, int format)
{
    status = vyrExportFlow::finish (processor, chosen, (vyrAudioIo::Format) juce::jlimit (0, 6, format)).text;
    chooser.reset();
    repaint();
}

//==============================================================================
void MasteringStudioPanel::resized()
{
    const int W = getWidth(), H = getHeight();
    constexpr int styleX[7] = { 16, 62, 112, 186, 276, 326, 390 }, styleW[7] = { 40, 44, 68, 84, 44, 58, 44 };
    for (int i = 0; i < 7; ++i)
        styleChips[i].setBounds (styleX[i], 48, styleW[i], 18);
    const int gx = juce::jmax ((W - 292) / 2, 200);
    gauge.setBounds (gx, 48, 292, 368);
    for (int i = 0; i < 5; ++i)
        lufsChips[i].setBounds (16 + 34 * i, 94, 28, 28);
    const int cw = (gx - 34) / 2;
    for (int i = 0; i < 8; ++i)
        mediumChips[i].setBounds (i % 2 == 0 ? 16 : cw + 22, 144 + 32 * (i / 2), cw, 26);

    const int rest = W - gx - 324;
    const int colW = juce::jmin (juce::jmax (rest, 148), 300);
    const int rx = gx + 308 + juce::jmax ((juce::jmax (rest, 0) - colW) / 2, 0);
    const int colBottom = juce::jmin (juce::jmax (H - (detailOpen ? 80 : 40) - 60, 250), 416);
    presetBrowser.setBounds (rx, 48, colW, 24);
    presetBrowser.toFront (false);
    presetCard = { rx, 80, colW, colBottom - 194 };
    recipeButton.setBounds (rx, colBottom - 106, colW, 30);
    const int tw = juce::jmin (juce::jmax (colW * 21846 / 65536, 64), 78);
    tagsButton.setBounds (rx, colBottom - 68, tw, 30);
    exportButton.setBounds (rx + tw + 6, colBottom - 68, colW - tw - 6, 30);
    bypassButton.setBounds (rx, colBottom - 30, colW, 30);

    const int base = mediumChips[7].getBottom();
    for (int i = 0; i < 7; ++i)
    {
        formatChips[i].setBounds (i % 2 == 0 ? 16 : cw + 22, base + 60 + 28 * (i / 2), cw, 22);
        formatChips[i].setVisible (true);
        formatChips[i].toFront (false);
    }
    const int yMax = juce::jmax (gauge.getBottom(), base + 32, formatChips[6].getBottom(), bypassButton.getBottom());
    detailButton.setBounds (16, yMax + (detailOpen ? 114 : 74), 240, 18);
    infoButton.setBounds (W - 34, 12, 18, 18);
    infoButton.toFront (false);
}
