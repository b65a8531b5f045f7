#include "Ui/Shell/TransportStrip.h"

#include "Core/PluginProcessor.h"
#include "Files/AudioIo.h"
#include "Ui/Shell/AudioSettingsWindow.h"
#include "Ui/Foundation/VyrLoadFlow.h"

namespace
{
juce::String utf8 (const char* s) { return juce::String::fromUTF8 (s); }
const juce::String kLoadText = utf8 ("Load file\xe2\x80\xa6");

void setTextIfChanged (juce::TextButton& b, const juce::String& t)
{
    if (b.getButtonText() != t)
        b.setButtonText (t);
}
}

TransportStrip::TransportStrip (VyrAudioProcessor& p) : processor (p)
{
    loadButton.setButtonText (kLoadText);
    playButton.setTooltip (utf8 ("Play / Pause  \xc2\xb7  Space"));
    for (auto* b : { &loadButton, &playButton, &stopButton })
    {
        b->setColour (juce::TextButton::buttonColourId, juce::Colour (0x40000000));
        b->setColour (juce::TextButton::textColourOffId, juce::Colours::white.withAlpha ((juce::uint8) 0xcc));
        addAndMakeVisible (*b);
    }
    gainSlider.setSliderStyle (juce::Slider::LinearHorizontal);
    gainSlider.setTextBoxStyle (juce::Slider::NoTextBox, false, 0, 0);
    gainSlider.setRange (0.0, 1.0, 0.01);
    gainSlider.setScrollWheelEnabled (false);
    addAndMakeVisible (gainSlider);

    loadButton.onClick = [this] { browse(); };
    playButton.onClick = [this]
    {
        notice.clear();
        if (processor.transport.isPlaying())
            processor.transport.stop();
        else if (! vyrAudioOutputAvailable())
            notice = kNoAudioOutputText;
        else
            processor.playFile();
        repaint();
    };
    stopButton.onClick = [this]
    {
        processor.transport.stop();
        processor.transport.setPosition (0.0); // a no-op until the transport has a sample rate
    };
    gainSlider.onValueChange = [this]
    {
        processor.playerGain.store ((float) gainSlider.getValue(), std::memory_order_release);
        repaint (gainSlider.getBounds().expanded (6));
    };
    gainSlider.setValue (0.8, juce::sendNotificationAsync);

    startTimer (125);
}

TransportStrip::~TransportStrip()
{
    stopTimer();
    chooser.reset();
}

void TransportStrip::browse()
{
    juce::Component::SafePointer<TransportStrip> safe (this);
    chooser = vyrLoadFlow::browse ([safe] (const juce::File& file)
                                   {
                                       if (safe == nullptr)
                                           return;
                                       safe->loadChosen (file);
                                       safe->chooser.reset();
                                   });
}

void TransportStrip::loadChosen (const juce::File& file)
{
    if (file.existsAsFile())
        processor.loadAudioFile (file);
    repaint();
}

void TransportStrip::resized()
{
    const int W = getWidth(), H = getHeight();
    auto width = [] (int slot) { return slot < 5 ? 0 : slot - 4; };
    const int b = juce::jmax (W - 16, 0);
    const int h = H - 12 > 4 ? H - 16 : 0;
    const int l = juce::jmin (b, 140);
    loadButton.setBounds (10, 8, width (l), h);
    const int p = juce::jmin (b - l, 64);
    playButton.setBounds (l + 10, 8, width (p), h);
    const int r = b - l - p;
    const int s = juce::jmin (r, 56);
    stopButton.setBounds (l + p + 10, 8, width (s), h);
    const int g = juce::jmin (r - s, 80);
    const int r2 = r - s - g;
    const int w = juce::jmin (r2, 140);
    gainSlider.setBounds (l + p + s + r2 - w + 8, 6, w, juce::jmax (H - 12, 0));
}

juce::Rectangle<int> TransportStrip::messageArea() const
{
    const int x = stopButton.getRight() + 12;
    return { x, 0, juce::jmax (gainSlider.getX() - 12 - x, 0), getHeight() };
}

void TransportStrip::paint (juce::Graphics& g)
{
    const int W = getWidth();
    g.fillAll (juce::Colour (0x66000000));
    g.setColour (juce::Colours::white.withAlpha ((juce::uint8) 0x1a));
    g.fillRect (0, 0, W, 1);

    g.setFont (juce::Font (9.0f));
    if (processor.fileLoaded)
    {
        g.setColour (juce::Colour (0xff34d399));
        g.drawText (utf8 ("\xe2\x97\x8f READY"), W - 72, 8, 64, 16, juce::Justification::centredRight, true);
    }
    else
    {
        g.setColour (juce::Colours::white.withAlpha ((juce::uint8) 0x66));
        g.drawText (utf8 ("\xe2\x97\x8b INIT"), W - 72, 8, 64, 16, juce::Justification::centredRight, true);
    }

    // A failed load keeps the loaded file; say why it failed.
    if (const auto& message = processor.loadError.isNotEmpty() ? processor.loadError : notice; message.isNotEmpty())
    {
        g.setColour (juce::Colour (0xfffbbf24));
        g.setFont (juce::Font (11.0f));
        g.drawFittedText (message, messageArea(), juce::Justification::centredLeft, 2, 1.0f);
    }

    // The shared look-and-feel leaves slider drawing to their owners: the gain track and thumb.
    if (! gainSlider.getBounds().isEmpty())
    {
        const auto s = gainSlider.getBounds().toFloat();
        const float v = (float) gainSlider.valueToProportionOfLength (gainSlider.getValue()), mid = s.getCentreY();
        g.setColour (juce::Colours::white.withAlpha ((juce::uint8) 0x1a));
        g.fillRoundedRectangle (s.getX(), mid - 2.0f, s.getWidth(), 4.0f, 2.0f);
        g.setColour (juce::Colour (0xffa78bfa));
        g.fillRoundedRectangle (s.getX(), mid - 2.0f, s.getWidth() * v, 4.0f, 2.0f);
        g.setColour (juce::Colour (0xffc4b5fd));
        g.fillEllipse (s.getX() + s.getWidth() * v - 5.0f, mid - 5.0f, 10.0f, 10.0f);
    }

    setTextIfChanged (playButton, processor.transport.isPlaying() ? "Pause" : "Play");
    setTextIfChanged (loadButton, processor.loadedName.isNotEmpty() ? processor.loadedName : kLoadText);
}

void TransportStrip::timerCallback()
{
    const int v = processor.stateVersion.load();
    if (v != lastStateVersion)
    {
        lastStateVersion = v;
        gainSlider.setValue (processor.playerGain.load(), juce::dontSendNotification);
        repaint();
    }
    if (isShowing())
        repaint();
}
