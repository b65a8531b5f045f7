// Section mastering page: construction, header and transport actions, letter drops, timer, layout.
#include "Ui/SectionPage/SectionMasteringPanel.h"

#include "Core/PluginProcessor.h"
#include "Model/FactoryPresets.h"
#include "Ui/Controls/GhostButton.h"

#include <cmath>

namespace
{
constexpr int kDefaultLaneHeight = 72;
constexpr int kMinLaneHeight = 56;
}

SectionMasteringPanel::SectionMasteringPanel (VyrAudioProcessor& p)
    : processor (p),
      waveform (p),
      effectLane (p, MasterAutomationView::effect, true),
      inLane (p, MasterAutomationView::soundIn, false),
      outLane (p, MasterAutomationView::soundOut, false)
{
    splitBar.setMouseCursor (juce::MouseCursor::UpDownResizeCursor);
    splitBar.setTooltip (juce::CharPointer_UTF8 ("Drag to resize \xe2\x80\x94 pull up to enlarge the automation lanes"));
    splitBar.setRepaintsOnMouseActivity (true);

    waveform.zoomWindow = &zoomWindow;
    for (auto* lane : { &effectLane, &inLane, &outLane })
    {
        lane->zoomWindow = &zoomWindow;
        lane->onViewChanged = [this] { repaintViews(); };
    }
    inLane.masterLane = &effectLane;
    outLane.masterLane = &effectLane;
    waveform.onViewChanged = [this] { repaintViews(); };

    wireHeader();
    infoButton.setPanel ("sectionmastering", juce::Colour (0xff7c3aed));
    addAndMakeVisible (infoButton);
    wireTransport();
    wireLetters();

    for (auto* b : { &rewindButton, &playButton, &stopButton, &loopButton })
        b->toFront (false);
    waveform.onSectionPicked = [this] (int s) { auditionSection (s); };
    for (juce::Component* c : { (juce::Component*) &waveform, (juce::Component*) &splitBar, (juce::Component*) &effectLane,
                                (juce::Component*) &inLane, (juce::Component*) &outLane })
        addAndMakeVisible (c);
    splitBar.onDragStart = [this] { laneHeightAtDragStart = laneHeight; };
    splitBar.onDrag = [this] (int dy)
    {
        laneHeight = laneHeightAtDragStart + dy;
        resized();
        repaint();
    };
    splitBar.onReset = [this]
    {
        laneHeight = kDefaultLaneHeight;
        resized();
        repaint();
    };

    startTimer (83);
    syncButtons();
}

SectionMasteringPanel::~SectionMasteringPanel() = default;

void SectionMasteringPanel::wireHeader()
{
    for (auto* b : { &enableButton, &followButton, &resetButton, &detectButton, &autoButton })
    {
        ghostBtn (*b);
        addAndMakeVisible (*b);
    }
    enableButton.onClick = [this] { toggleEnabled(); };
    followButton.onClick = [this] { toggleFollow(); };
    autoButton.onClick = [this] { toggleAuto(); };
    detectButton.onClick = [this] { detect(); };
    resetButton.onClick = [this] { resetSections(); };
}

void SectionMasteringPanel::wireTransport()
{
    const std::pair<juce::TextButton*, const char*> buttons[] = {
        { &rewindButton, "Rewind to start" },
        { &playButton, "Play / Pause  \xc2\xb7  Space \xe2\x80\x94 same as Audio Source" },
        { &stopButton, "Stop and return to start" },
        { &loopButton, "Loop  \xc2\xb7  replay the track from the start" },
    };
    for (auto& [b, tip] : buttons)
    {
        ghostBtn (*b);
        b->setTooltip (juce::CharPointer_UTF8 (tip));
        b->setTriggeredOnMouseDown (true);
        b->setViewportIgnoreDragFlag (true);
        b->onStateChange = [this, b = b] { repaint (b->getBounds().expanded (6)); };
        addAndMakeVisible (*b);
    }
    auto& tr = processor.transport;
    rewindButton.onClick = [this, &tr]
    {
        if (tr.getTotalLength() > 0 && tr.getLengthInSeconds() > 0.0)
            tr.setPosition (0.0);
        waveform.repaint();
        repaint();
    };
    playButton.onClick = [this, &tr]
    {
        if (tr.isPlaying())
            tr.stop();
        else
            processor.playFile();
        waveform.repaint();
        repaint();
    };
    stopButton.onClick = [this, &tr]
    {
        tr.stop();
        if (tr.getTotalLength() > 0)
            tr.setNextReadPosition (0);
        waveform.repaint();
        repaint();
    };
    loopButton.onClick = [this]
    {
        const bool loop = ! processor.loopPlayback.load();
        processor.loopPlayback.store (loop);
        if (processor.readerSource != nullptr)
            processor.readerSource->setLooping (loop);
        repaint();
    };
}

void SectionMasteringPanel::wireLetters()
{
    for (int i = 0; i < 7; ++i)
    {
        auto& count = countButtons[i];
        ghostBtn (count);
        count.onClick = [this, i] { setCount (i); };
        addAndMakeVisible (count);

        auto& handle = letterHandles[i];
        handle.index = i;
        handle.setMouseCursor (juce::MouseCursor::DraggingHandCursor);
        handle.onDown = [this, i] (const juce::MouseEvent&) { letterDown (i); };
        handle.onDrag = [this] (const juce::MouseEvent& e) { letterDrag (e); };
        handle.onUp = [this] (const juce::MouseEvent& e) { letterUp (e); };
        addAndMakeVisible (handle);

        auto& box = letterBoxes[i];
        box.setColour (juce::ComboBox::backgroundColourId, juce::Colours::transparentBlack);
        box.setColour (juce::ComboBox::outlineColourId, juce::Colours::transparentBlack);
        box.setColour (juce::ComboBox::textColourId, juce::Colours::white.withAlpha ((juce::uint8) 0xd9));
        box.setColour (juce::ComboBox::arrowColourId, juce::Colours::white.withAlpha ((juce::uint8) 0x66));
        box.setJustificationType (juce::Justification::centredLeft);
        for (int k = 0; k < vyrFactory::kNumPresets; ++k)
            box.addItem (vyrFactory::kNames[k], k + 1);
        box.setSelectedId (juce::jlimit (0, 16, processor.section.letters[i]) + 1, juce::dontSendNotification);
        box.onChange = [this, i]
        {
            processor.section.letters[i] = juce::jlimit (0, 16, letterBoxes[i].getSelectedId() - 1);
            publish();
        };
        addAndMakeVisible (box);
    }
}

void SectionMasteringPanel::publish()
{
    processor.publishChainShared();
}

void SectionMasteringPanel::syncLetterBoxes()
{
    for (int i = 0; i < 7; ++i)
    {
        const int id = juce::jlimit (0, 16, processor.section.letters[i]) + 1;
        if (letterBoxes[i].getSelectedId() != id)
            letterBoxes[i].setSelectedId (id, juce::dontSendNotification);
    }
}

void SectionMasteringPanel::syncButtons()
{
    syncLetterBoxes();
    repaint();
}

void SectionMasteringPanel::repaintViews()
{
    waveform.repaint();
    for (auto* lane : { &effectLane, &inLane, &outLane })
    {
        lane->repaint();
        if (lane->hasTools)
            lane->navigator.repaint();
    }
}

//==============================================================================
// Actions

void SectionMasteringPanel::toggleEnabled()
{
    processor.section.enabled = ! processor.section.enabled;
    publish();
    syncButtons();
}

void SectionMasteringPanel::toggleFollow()
{
    processor.section.liveFollow = ! processor.section.liveFollow;
    publish();
    syncButtons();
}

void SectionMasteringPanel::toggleAuto()
{
    auto& sec = processor.section;
    sec.autoRide = ! sec.autoRide;
    if (! sec.autoRide)
        processor.effectRiding.store (false);
    publish();
    syncButtons();
}

void SectionMasteringPanel::detect()
{
    // Without a loaded file there is nothing to analyse: nothing is switched on or reported.
    if (! processor.fileLoaded || processor.overviewMax.empty())
        return;
    processor.detectSections();
    processor.section.autoRide = true;
    publish();
    seenSectionRevision = processor.sectionRevision.load();
    syncButtons();
    resized();
    repaintViews();
    repaint();
}

void SectionMasteringPanel::setCount (int buttonIndex)
{
    auto& sec = processor.section;
    const int n = juce::jlimit (0, 6, buttonIndex) + 1;
    sec.count = n;
    for (int k = 1; k <= 6; ++k)
        sec.cues[k - 1] = k < n ? std::round ((float) k / (float) n * 1000.0f) / 1000.0f : 0.0f;
    for (auto& g : sec.glides)
        g = 0.35f;
    for (int k = 0; k < 7; ++k)
        sec.assign[k] = k;
    processor.sectionAnalysed = false;
    publish();
    syncButtons();
    waveform.repaint();
    resized();
    repaint();
}

void SectionMasteringPanel::resetSections()
{
    auto& sec = processor.section;
    sec.count = 3;
    const float cues[6] = { 0.333f, 0.667f, 0.0f, 0.0f, 0.0f, 0.0f };
    std::copy (cues, cues + 6, sec.cues);
    for (auto& g : sec.glides)
        g = 0.35f;
    for (int k = 0; k < 7; ++k)
        sec.assign[k] = k;
    processor.sectionAnalysed = false;
    for (int i = 0; i < 7; ++i)
    {
        sec.letters[i] = i;
        letterBoxes[i].setSelectedId (i + 1, juce::dontSendNotification);
    }
    sec.enabled = sec.liveFollow = sec.autoRide = false;
    processor.effectRiding.store (false);
    VyrAutoPt first;
    first.step = true;
    VyrAutoPt last;
    last.t = 1.0f;
    for (auto* lane : { &sec.autoFx, &sec.autoIn, &sec.autoOut })
        *lane = { first, last };
    for (auto* lane : { &effectLane, &inLane, &outLane })
        lane->selection.clear();
    publish();
    syncButtons();
    waveform.repaint();
    resized();
    repaintViews();
    repaint();
}

void SectionMasteringPanel::auditionSection (int s)
{
    const auto& sec = processor.section;
    if (! sec.enabled)
        return;
    const int letter = sec.assign[juce::jlimit (0, 6, s)];
    const int preset = sec.letters[juce::jlimit (0, 6, letter)];
    vyrFactory::applyToApvts (processor.apvts, juce::jlimit (0, 16, preset));
}

//==============================================================================
// Letter drag and drop

int SectionMasteringPanel::dropSectionAt (juce::Point<int> pagePoint) const
{
    const auto local = pagePoint - waveform.getPosition();
    const int vw = waveform.getWidth(), vh = waveform.getHeight();
    if (! (vw > 0 && local.x >= 0 && local.x < vw && local.y >= 0 && local.y < vh))
        return -1;
    const float t = juce::jlimit (0.0f, 1.0f, (float) local.x / (float) std::max (vw, 1) * zoomWindow.width + zoomWindow.start);
    return sectionAt (processor.section.count, processor.section.cues, t);
}

void SectionMasteringPanel::letterDown (int letter)
{
    dragLetter = letter;
    waveform.hoverDropSection = -1;
    repaint();
}

void SectionMasteringPanel::letterDrag (const juce::MouseEvent& e)
{
    dragPos = e.getEventRelativeTo (this).getPosition();
    waveform.hoverDropSection = dropSectionAt (dragPos);
    waveform.repaint();
    repaint();
}

void SectionMasteringPanel::letterUp (const juce::MouseEvent& e)
{
    const int s = dropSectionAt (e.getEventRelativeTo (this).getPosition());
    if (dragLetter >= 0 && s >= 0)
    {
        processor.section.assign[s] = dragLetter;
        publish();
    }
    dragLetter = -1;
    waveform.hoverDropSection = -1;
    waveform.repaint();
    repaint();
}

//==============================================================================
// Timer and layout

void SectionMasteringPanel::timerCallback()
{
    const int revision = processor.sectionRevision.load();
    if (revision == seenSectionRevision)
    {
        // Outside changes (a recall, the audio thread's state) show within a tick; an unchanged
        // page is not painted again.
        syncLetterBoxes();
        if (stateKey() != shownState)
            repaint();
        return;
    }
    seenSectionRevision = revision;
    syncButtons();
    resized();
    repaintViews();
    repaint();
}

void SectionMasteringPanel::resized()
{
    const int w = getWidth(), h = getHeight();
    for (int i = 0; i < 7; ++i)
        countButtons[i].setBounds (308 + 30 * i, 10, 26, 26);
    resetButton.setBounds (w - 48, 10, 32, 26);
    enableButton.setBounds (w - 112, 10, 56, 26);
    autoButton.setBounds (w - 184, 10, 64, 26);
    followButton.setBounds (w - 300, 10, 108, 26);
    detectButton.setBounds (w - 386, 10, 78, 26);
    infoButton.setBounds (w - 412, 14, 18, 18);

    const int r = countButtons[6].getRight();
    const int d = infoButton.getX();
    int m = r + (d - r - 100) / 2;
    if (std::max (r + 8, m) + 100 > d - 8)
        m = d - 108;
    const int x0 = std::max (m, r + 8);
    rewindButton.setBounds (x0, 12, 22, 22);
    playButton.setBounds (x0 + 26, 12, 22, 22);
    stopButton.setBounds (x0 + 52, 12, 22, 22);
    loopButton.setBounds (x0 + 78, 12, 22, 22);

    const int cw = std::max ((w - 88) / 7, 92);
    for (int i = 0; i < 7; ++i)
    {
        letterHandles[i].setBounds (76 + i * cw, 48, 20, 22);
        letterBoxes[i].setBounds (98 + i * cw, 46, cw - 34, 26);
    }

    const int hintRoom = std::max (w - (letterBoxes[6].getRight() + 16), 96) - 16;
    const auto hintTip = hintRoom < kMinHintWidth ? hintText() : juce::String();
    for (auto& handle : letterHandles)
        handle.setTooltip (hintTip);

    const int top = processor.sectionAnalysed ? 98 : 86;
    const int bodyW = std::max (w, 112) - 32;
    const int avail = std::max (h - top, 278);
    laneHeight = laneHeight < kMinLaneHeight ? kMinLaneHeight : std::min (laneHeight, (avail - 110) / 3);
    const int waveH = avail - 3 * laneHeight - 40;
    int y = top;
    waveform.setBounds (16, y, bodyW, waveH);
    y += waveH;
    splitBar.setBounds (16, y, bodyW, 12);
    y += 12;
    for (auto* lane : { &effectLane, &inLane, &outLane })
    {
        lane->setBounds (16, y, bodyW, laneHeight);
        lane->resized();   // the navigator takes the window pointer even when the size is unchanged
        y += laneHeight + 6;
    }
}
