#include "Ui/Shell/AudioSourcePanel.h"

#include "Core/PluginProcessor.h"
#include "Files/AudioIo.h"
#include "Ui/Controls/GhostButton.h"
#include "Ui/Controls/VyrMeterHelpers.h"
#include "Ui/Foundation/VyrLucide.h"
#include "Ui/Foundation/VyrPainting.h"
#include "Ui/Foundation/VyrTheme.h"
#include "Ui/Foundation/VyrLoadFlow.h"

namespace
{
juce::String utf8 (const char* s) { return juce::String::fromUTF8 (s); }

juce::Colour whiteA (int a) { return juce::Colours::white.withAlpha ((juce::uint8) a); }
juce::Colour blackA (int a) { return juce::Colours::black.withAlpha ((juce::uint8) a); }

// A colour brightened by k: each channel x -> 255 - (255 - x) / (1 + k), alpha kept.
juce::Colour brighten (juce::Colour c, float k)
{
    auto ch = [k] (juce::uint8 x) { return (juce::uint8) juce::jlimit (0, 255, (int) (255.0f - (255.0f - (float) x) / (1.0f + k))); };
    return juce::Colour (ch (c.getRed()), ch (c.getGreen()), ch (c.getBlue()), c.getAlpha());
}

juce::Colour wellColour (int theme)
{
    const juce::uint32 wells[6] = { 0xff243044, 0xff2a2148, 0xff2a2e35, 0xff2e2418, 0xff1c262c, 0xffd5ddd5 };
    return juce::Colour (theme >= 0 && theme <= 5 ? wells[theme] : 0xff2a2e35);
}

using IconPainter = void (*) (juce::Graphics&, juce::Rectangle<float>, juce::Colour);

void drawStopIcon (juce::Graphics& g, juce::Rectangle<float> r, juce::Colour c) { vyrLucide::strokeD (g, r, c, "M3 3h18v18H3z"); }
void drawPowerIcon (juce::Graphics& g, juce::Rectangle<float> r, juce::Colour c)
{
    vyrLucide::strokeD (g, r, c, "M12 2v10");
    vyrLucide::strokeD (g, r, c, "M18.4 6.6a9 9 0 1 1-12.77.04");
}

void paintSourceButton (juce::Graphics& g, juce::Button& b, IconPainter icon, const juce::String& label, bool lit, juce::Colour accent)
{
    const auto r = b.getBounds().toFloat();
    const float x = r.getX(), y = r.getY(), w = r.getWidth(), h = r.getHeight();
    lit = lit || b.isDown();
    juce::Colour labelColour;
    if (lit)
    {
        float hue, sat, bri;
        vyrToHsb (accent, hue, sat, bri);
        const auto P = juce::Colour::fromHSV (hue, juce::jmin (0.9f * sat, 0.7f), juce::jmin (0.82f * bri, 0.7f), accent.getFloatAlpha());
        g.setGradientFill (juce::ColourGradient::vertical (brighten (P, 0.08f), y, P, y + h));
        g.fillRoundedRectangle (r, 8.0f);
        g.setColour (whiteA (0x1a));
        g.fillRoundedRectangle (x + 1.2f, y, juce::jmax (w - 2.4f, 0.0f), juce::jmax (0.42f * h, 0.0f), 8.0f);
        g.setColour (P.interpolatedWith (juce::Colours::white, 0.42f).withAlpha ((juce::uint8) 0xc7));
        g.drawRoundedRectangle (x + 0.5f, y + 0.5f, juce::jmax (w - 1.0f, 0.0f), juce::jmax (h - 1.0f, 0.0f), 7.5f, 1.05f);
        float ph, ps, pb;
        vyrToHsb (P, ph, ps, pb);
        labelColour = juce::Colour::fromHSV (ph, juce::jmin (0.28f * ps, 0.2f), 0.92f, 1.0f);
    }
    else
    {
        g.setGradientFill (juce::ColourGradient::vertical (juce::Colour (0xff3a434e), y, juce::Colour (0xff1c222a), y + h));
        g.fillRoundedRectangle (r, 8.0f);
        g.setColour (whiteA (0x1a));
        g.fillRoundedRectangle (x + 1.2f, y, juce::jmax (w - 2.4f, 0.0f), juce::jmax (0.4f * h, 0.0f), 8.0f);
        g.setColour (whiteA (0x47));
        g.drawRoundedRectangle (x + 0.5f, y + 0.5f, juce::jmax (w - 1.0f, 0.0f), juce::jmax (h - 1.0f, 0.0f), 8.0f, 1.15f);
        g.setColour (accent.withAlpha ((juce::uint8) 0x8c));
        g.drawRoundedRectangle (x + 1.6f, y + 1.6f, juce::jmax (w - 3.2f, 0.0f), juce::jmax (h - 3.2f, 0.0f), 7.0f, 1.0f);
        labelColour = juce::Colours::white;
    }
    const float inner = juce::jmax (h - 12.0f, 0.0f);
    icon (g, { x + 8.0f, y + 6.0f + inner / 2.0f - 7.0f, 14.0f, 14.0f }, labelColour);
    g.setColour (labelColour);
    g.setFont (juce::Font (11.0f, juce::Font::bold));
    g.drawFittedText (label, juce::Rectangle<float> (x + 26.0f, y + 6.0f, juce::jmax (juce::jmax (w - 16.0f, 0.0f) - 18.0f, 0.0f), inner).toNearestInt(),
                      juce::Justification::centredLeft, 1, 1.0f);
}
}

int AudioSourcePanel::identityPad (int themeId) noexcept
{
    switch (themeId)
    {
        case 0: return 8;
        case 2: return 6;
        case 5: return 12;
        default: return 0;
    }
}

juce::String AudioSourcePanel::fmtTime (double seconds)
{
    if (! std::isfinite (seconds) || seconds < 0.0)
        seconds = 0.0;
    const auto minutes = (juce::int64) (seconds / 60.0);
    const int secs = (int) std::floor (std::fmod (seconds, 60.0));
    return juce::String (minutes) + ":" + juce::String (secs).paddedLeft ('0', 2);
}

juce::String AudioSourcePanel::gainText (float g)
{
    const float db = (g <= 0.0001f || ! (g > 0.0f)) ? -100.0f : juce::jmax (20.0f * std::log10 (g), -100.0f);
    if (db < -90.0f)
        return utf8 ("\xe2\x88\x92\xe2\x88\x9e dB");
    return juce::String (db, 1) + " dB";
}

AudioSourcePanel::AudioSourcePanel (VyrAudioProcessor& p) : processor (p)
{
    for (auto* b : { &playButton, &stopButton, &micButton, &bypassButton, &resetButton })
    {
        ghostBtn (*b);
        b->setViewportIgnoreDragFlag (true);
        b->setTriggeredOnMouseDown (true);
        b->onStateChange = [this, b] { repaint (b->getBounds().expanded (10).getIntersection (getLocalBounds())); };
        addAndMakeVisible (*b);
    }
    infoButton.setPanel ("source", juce::Colour (0xff34d399));
    addAndMakeVisible (infoButton);

    playButton.setTooltip (utf8 ("Play / Pause  \xc2\xb7  Space"));
    resetButton.setTooltip ("Restore all panels to defaults");
    resetButton.setTriggeredOnMouseDown (false);

    playButton.onClick = [this]
    {
        if (processor.transport.isPlaying())
            processor.transport.stop();
        else
            processor.playFile();
        repaint();
    };
    stopButton.onClick = [this]
    {
        processor.transport.stop();
        processor.transport.setPosition (0.0);
        repaint();
    };
    micButton.onClick = [this]
    {
        processor.micInput.store (! processor.micInput.load());
        repaint();
    };
    bypassButton.onClick = [this]
    {
        if (auto* param = processor.apvts.getParameter ("bypass"))
            param->setValueNotifyingHost (param->getValue() < 0.5f ? 1.0f : 0.0f);
        repaint();
    };
    resetButton.onClick = [this]
    {
        processor.recallInitState();
        lastStateVersion = processor.stateVersion.load();
        gainSlider.setValue (processor.playerGain.load(), juce::dontSendNotification);
    };

    for (auto* s : { &seekSlider, &gainSlider })
    {
        s->setSliderStyle (juce::Slider::LinearHorizontal);
        s->setTextBoxStyle (juce::Slider::NoTextBox, false, 0, 0);
        s->setScrollWheelEnabled (false);
        s->setViewportIgnoreDragFlag (true);
        s->setColour (juce::Slider::backgroundColourId, juce::Colours::transparentBlack);
        s->setColour (juce::Slider::trackColourId, juce::Colours::transparentBlack);
        s->setColour (juce::Slider::thumbColourId, juce::Colours::transparentBlack);
    }
    seekSlider.setRange (0.0, 1.0, 0.001);
    seekSlider.onDragEnd = [this] { seekToSlider(); };
    addAndMakeVisible (seekSlider);
    gainSlider.setRange (0.0, 1.0, 0.01);
    gainSlider.setValue (0.8, juce::dontSendNotification);
    gainSlider.onValueChange = [this]
    {
        processor.playerGain.store ((float) gainSlider.getValue());
        repaint();
    };
    addAndMakeVisible (gainSlider);

    startTimer (50);
}

AudioSourcePanel::~AudioSourcePanel()
{
    stopTimer();
    chooser.reset();
}

bool AudioSourcePanel::bypassOn() const
{
    if (auto* param = processor.apvts.getParameter ("bypass"))
        return param->getValue() >= 0.5f;
    return false;
}

void AudioSourcePanel::seekToSlider()
{
    auto& t = processor.transport;
    const double len = t.getLengthInSeconds();
    const double sr = len > 0.0 ? (double) t.getTotalLength() / len : 0.0;
    if (sr > 0.0 && len > 0.0)
        t.setNextReadPosition ((juce::int64) (sr * juce::jlimit (0.0, len, seekSlider.getValue() * len)));
}

void AudioSourcePanel::mouseUp (const juce::MouseEvent& e)
{
    if (dropArea.contains (e.getPosition()))
        browse();
}

void AudioSourcePanel::browse()
{
    juce::Component::SafePointer<AudioSourcePanel> safe (this);
    chooser = vyrLoadFlow::browse ([safe] (const juce::File& file)
                                   {
                                       if (safe == nullptr)
                                           return;
                                       safe->loadChosen (file);
                                       safe->chooser.reset();
                                   });
}

void AudioSourcePanel::loadChosen (const juce::File& file)
{
    if (file.existsAsFile())
        processor.loadAudioFile (file);
    repaint();
}

bool AudioSourcePanel::isInterestedInFileDrag (const juce::StringArray& files)
{
    return ! files.isEmpty() && vyrAudioIo::isLoadableFile (juce::File (files[0]));
}

void AudioSourcePanel::fileDragEnter (const juce::StringArray&, int, int)
{
    dragOver = true;
    repaint();
}

void AudioSourcePanel::fileDragExit (const juce::StringArray&)
{
    dragOver = false;
    repaint();
}

void AudioSourcePanel::filesDropped (const juce::StringArray& files, int, int)
{
    dragOver = false;
    if (! files.isEmpty() && vyrAudioIo::isLoadableFile (juce::File (files[0])))
        processor.loadAudioFile (juce::File (files[0]));
    repaint();
}

void AudioSourcePanel::resized()
{
    const int W = getWidth(), H = getHeight();
    const int pad = identityPad (processor.themeIndex.load());
    infoButton.setBounds (W - pad - 132, 12, 18, 18);
    const int x0 = pad + 16;
    const int iw = juce::jmax (W - 2 * x0, 0);
    const int h0 = juce::jmax (H - 28, 0);
    const int head = juce::jmin (h0, 24);
    int rem = h0 - head;
    const int dh = juce::jmin (rem, juce::jmax (rem, 200) - 128);
    dropArea = { x0, head + 14, iw, juce::jmax (dh, 0) };
    rem -= dh;
    const int g1 = juce::jmin (rem, 12);
    const int by = head + 14 + dh + g1;
    rem -= g1;

    const int bw = juce::jmax ((iw - 32) / 5, 1), step = bw + 8;
    juce::TextButton* row[4] = { &playButton, &stopButton, &micButton, &bypassButton };
    for (int i = 0; i < 4; ++i)
        row[i]->setBounds (x0 + i * step, by, bw, 32);
    resetButton.setBounds (x0 + 4 * step, by, juce::jmax (iw - 4 * step, 0), 32);

    const int r = juce::jmin (rem, 32);
    rem -= r;
    const int g2 = juce::jmin (rem, 12);
    rem -= g2;
    const int sy = by + r + g2;
    const int sh = juce::jmin (rem, 28);
    rem -= sh;
    seekArea = { x0, sy, iw, juce::jmax (sh, 0) };
    const int inner = juce::jmax (W - 2 * x0, 16) - 16;
    const int m = juce::jmin (inner, 36);
    seekSlider.setBounds (x0 + 8 + m, sy + 6, juce::jmax ((inner - m) - juce::jmin (inner - m, 36), 0), juce::jmax (juce::jmax (sh, 12) - 12, 0));

    const int g3 = juce::jmin (rem, 12);
    const int gy = sy + sh + g3;
    const int gh = juce::jmin (rem - g3, 32);
    gainArea = { x0, gy, iw, juce::jmax (gh, 0) };
    const int m2 = juce::jmin (inner, 108);
    gainSlider.setBounds (x0 + 8 + m2, gy + 8, juce::jmax ((inner - m2) - juce::jmin (inner - m2, 62), 0), juce::jmax (gh - 16, 0));
}

void AudioSourcePanel::timerCallback()
{
    const int v = processor.stateVersion.load();
    if (v != lastStateVersion)
    {
        lastStateVersion = v;
        gainSlider.setValue (processor.playerGain.load(), juce::dontSendNotification);
    }
    auto& t = processor.transport;
    const bool playing = t.isPlaying();
    const double len = t.getLengthInSeconds();
    if (len > 0.0 && ! seekSlider.isMouseButtonDown())
        seekSlider.setValue (t.getCurrentPosition() / len, juce::dontSendNotification);

    if (! vyrVisibleInScroll (*this))
        return;
    if ((int) playing != lastPlaying)
    {
        lastPlaying = (int) playing;
        repaint();
        return;
    }
    if (playing || seekSlider.isMouseButtonDown())
    {
        const auto area = seekArea.getIntersection (getLocalBounds());
        if (! area.isEmpty())
            repaint (area);
    }
}

void AudioSourcePanel::paint (juce::Graphics& g)
{
    const int W = getWidth(), H = getHeight();
    const int themeId = processor.themeIndex.load();
    const auto& theme = vyrTheme (themeId);
    const bool light = theme.light;
    const auto ink = vyrInk (vyrClampTheme (themeId));
    const int pad = identityPad (themeId);

    vyrPaintPanelChrome (g, { 1.0f, 1.0f, (float) juce::jmax (W - 2, 0), (float) juce::jmax (H - 2, 0) }, theme, true);

    g.setColour (theme.textColour());
    g.setFont (juce::Font (12.0f, juce::Font::bold).withExtraKerningFactor (0.14f));
    g.drawText ("AUDIO SOURCE", pad + 16, 10, 180, 18, juce::Justification::centredLeft, true);

    // status chip
    {
        const bool ready = processor.fileLoaded || processor.utilEnabled.load();
        const juce::Rectangle<float> chipArea ((float) (W - 110 - pad), 10.0f, 94.0f, 20.0f);
        juce::Colour fill, outline, text;
        if (light)
        {
            fill = ready ? juce::Colour (0x292c5f52) : blackA (0x1a);
            outline = ink.withAlpha ((juce::uint8) 0x66);
            text = ink;
        }
        else if (ready)
            fill = juce::Colour (0x3334d399), outline = juce::Colour (0xb234d399), text = juce::Colour (0xff6ee7b7);
        else
            fill = wellColour (themeId), outline = whiteA (0x4c), text = whiteA (0xb2);
        g.setColour (fill);
        g.fillRoundedRectangle (chipArea, 10.0f);
        g.setColour (outline);
        g.drawRoundedRectangle (chipArea, 10.0f, 1.0f);
        g.setColour (text);
        g.setFont (juce::Font (10.0f));
        g.drawText (ready ? utf8 ("\xe2\x97\x8f Engine Ready") : utf8 ("\xe2\x97\x8b Initialising"), chipArea, juce::Justification::centred, true);
    }

    // drop well
    if (! dropArea.isEmpty())
    {
        const auto a = dropArea.toFloat();
        const float x = a.getX(), y = a.getY(), w = a.getWidth(), h = a.getHeight(), cx = a.getCentreX(), cy = a.getCentreY();
        const auto c0 = brighten (theme.panelTopColour(), 0.16f);
        const auto c1 = theme.panelBottomColour().interpolatedWith (wellColour (themeId), 0.55f);
        {
            juce::Graphics::ScopedSaveState save (g);
            juce::Path clip;
            clip.addRoundedRectangle (a, 12.0f);
            g.reduceClipRegion (clip);
            const float L = 0.58f * juce::jmax (w, h);
            juce::ColourGradient grad (c0, cx, cy, c1, cx + L, cy, true);
            grad.addColour (0.62, c0.interpolatedWith (c1, 0.55f));
            g.setGradientFill (grad);
            g.fillEllipse (cx - L, cy - L, 2 * L, 2 * L);
        }
        g.setColour (whiteA (0x1a));
        g.drawRoundedRectangle (x + 0.9f, y + 0.7f, juce::jmax (w - 2.4f, 0.0f), juce::jmax (h - 2.4f, 0.0f), 12.0f, 1.0f);
        g.setColour (blackA (0x47));
        g.drawRoundedRectangle (x + 1.7f, y + 2.0f, juce::jmax (w - 2.4f, 0.0f), juce::jmax (h - 2.4f, 0.0f), 12.0f, 1.0f);
        if (dragOver)
        {
            g.setColour (juce::Colour (0xffa78bfa));
            g.drawRoundedRectangle (a, 12.0f, 1.6f);
        }
        else
        {
            g.setColour (whiteA (0x29));
            g.drawRoundedRectangle (a, 12.0f, 1.0f);
        }
        const auto disc = light ? juce::Colours::black : juce::Colours::white;
        g.setColour (disc.withAlpha ((juce::uint8) 0x14));
        g.fillEllipse (cx - 18.0f, cy - 28.0f, 36.0f, 36.0f);
        g.setColour (disc.withAlpha ((juce::uint8) 0x38));
        g.drawEllipse (cx - 18.0f, cy - 28.0f, 36.0f, 36.0f, 1.0f);
        const auto glyph = dragOver ? juce::Colour (0xffc4b5fd) : (light ? ink : whiteA (0xd9));
        const juce::Rectangle<float> box (cx - 10.0f, cy - 20.0f, 20.0f, 20.0f);
        vyrLucide::strokeD (g, box, glyph, "M21 15v4a2 2 0 0 1-2 2H5a2 2 0 0 1-2-2v-4");
        vyrLucide::strokeD (g, box, glyph, "M17 8l-5-5-5 5");
        g.setColour (glyph);
        g.drawLine (cx, cy - 17.5f, cx, cy - 7.5f, 1.6667f);

        const int t = (int) (cy + 8.0f);
        const int tx = (int) x + 12, tw = (int) w - 24;
        g.setFont (juce::Font (13.0f));
        if (processor.loadedName.isNotEmpty())
        {
            g.setColour (light ? ink : juce::Colours::white);
            g.drawText (processor.transport.isPlaying() ? "Now playing:" : "Now loaded:", tx, t + 4, tw, 16, juce::Justification::centred, true);
            g.setColour (light ? juce::Colour (0xff2c5f52) : juce::Colour (0xffc4b5fd));
            g.setFont (juce::Font (13.0f, juce::Font::bold));
            g.drawText (processor.loadedName, tx, t + 20, tw, 20, juce::Justification::centred, true);
        }
        else
        {
            g.setColour (light ? ink.withAlpha ((juce::uint8) 0xe6) : whiteA (0xd9));
            g.drawFittedText ("Drag & drop an audio file, or click to browse", tx, t + 4, tw, 36, juce::Justification::centred, 2);
        }

        // A failed load keeps the loaded file; say why it failed, at the foot of the well.
        if (processor.loadError.isNotEmpty())
        {
            g.setColour (juce::Colour (0xfffbbf24));
            g.setFont (juce::Font (11.0f));
            g.drawFittedText (processor.loadError, tx, (int) a.getBottom() - 34, tw, 30, juce::Justification::centred, 2, 1.0f);
        }
    }

    const bool playing = processor.transport.isPlaying();
    paintSourceButton (g, playButton, playing ? vyrLucide::drawPause : vyrLucide::drawPlay, playing ? "Pause" : "Play", playing,
                       juce::Colour (0xff8b5cf6));
    paintSourceButton (g, stopButton, drawStopIcon, "Stop", false, juce::Colour (0xfff87171));
    const bool mic = processor.micInput.load();
    paintSourceButton (g, micButton, mic ? vyrLucide::drawMic : vyrLucide::drawMicOff, mic ? "Mic On" : "Mic", mic, juce::Colour (0xfff43f5e));
    const bool byp = bypassOn();
    paintSourceButton (g, bypassButton, drawPowerIcon, byp ? "Bypass On" : "Bypass", byp, juce::Colour (0xfff59e0b));
    paintSourceButton (g, resetButton, vyrLucide::drawRotateCcw, "Reset", false, juce::Colour (0xff67e8f9));
}

void AudioSourcePanel::paintOverChildren (juce::Graphics& g)
{
    auto row = [&g] (juce::Rectangle<int> area)
    {
        const auto a = area.toFloat();
        g.setColour (juce::Colour (0xeb2a2e35));
        g.fillRoundedRectangle (a, 8.0f);
        g.setColour (whiteA (0x26));
        g.drawRoundedRectangle (a, 8.0f, 1.0f);
    };

    if (! seekArea.isEmpty())
    {
        row (seekArea);
        const auto& t = processor.transport;
        const double len = juce::jmax (0.0, t.getLengthInSeconds());
        const double pos = len > 0.0 ? t.getCurrentPosition() : 0.0;
        g.setColour (whiteA (0xb2));
        g.setFont (juce::Font (10.0f));
        g.drawText (fmtTime (pos), seekArea.getX(), seekArea.getY(), 40, seekArea.getHeight(), juce::Justification::centred, false);
        g.drawText (fmtTime (len), seekArea.getRight() - 40, seekArea.getY(), 40, seekArea.getHeight(), juce::Justification::centred, false);

        const auto s = seekSlider.getBounds().toFloat();
        const float v = (float) seekSlider.getValue(), mid = s.getCentreY();
        g.setColour (whiteA (0x1a));
        g.fillRoundedRectangle (s.getX(), mid - 3.0f, s.getWidth(), 6.0f, 3.0f);
        g.setGradientFill (juce::ColourGradient::horizontal (juce::Colour (0xff7c3aed), s.getX(), juce::Colour (0xffa78bfa),
                                                             s.getX() + juce::jmax (s.getWidth() * v, 1.0f)));
        g.fillRoundedRectangle (s.getX(), mid - 3.0f, juce::jmax (s.getWidth() * v, 0.0f), 6.0f, 3.0f);
        const juce::Rectangle<float> thumb (s.getX() + s.getWidth() * v - 7.0f, mid - 7.0f, 14.0f, 14.0f);
        g.setColour (juce::Colours::white);
        g.fillEllipse (thumb);
        g.setColour (whiteA (0x59));
        g.drawEllipse (thumb, 1.0f);
    }

    if (! gainArea.isEmpty())
    {
        row (gainArea);
        const auto a = gainArea;
        g.setColour (juce::Colour (0xffb4bcc6));
        g.setFont (juce::Font (9.0f).withExtraKerningFactor (0.14f));
        g.drawText ("MONITOR OUT", a.getX() + 10, a.getY(), 86, a.getHeight(), juce::Justification::centredLeft, true);
        const juce::Rectangle<float> spk ((float) a.getX() + 96.0f, (float) a.getY() + (float) a.getHeight() / 2.0f - 8.0f, 16.0f, 16.0f);
        for (auto* d : { "M11 5 6 9H2v6h4l5 4z", "M15.54 8.46a5 5 0 0 1 0 7.07", "M19.07 4.93a10 10 0 0 1 0 14.14" })
            vyrLucide::strokeD (g, spk, whiteA (0xcc), d);

        const auto s = gainSlider.getBounds().toFloat();
        const float v = (float) gainSlider.getValue(), mid = s.getCentreY();
        g.setColour (whiteA (0x1a));
        g.fillRoundedRectangle (s.getX(), mid - 3.0f, s.getWidth(), 6.0f, 3.0f);
        g.setColour (juce::Colour (0xffa78bfa));
        g.fillRoundedRectangle (s.getX(), mid - 3.0f, juce::jmax (s.getWidth() * v, 0.0f), 6.0f, 3.0f);
        g.setColour (juce::Colour (0xffc4b5fd));
        g.fillEllipse (s.getX() + s.getWidth() * v - 6.0f, mid - 6.0f, 12.0f, 12.0f);

        g.setFont (juce::Font (11.0f));
        g.drawText (gainText (processor.playerGain.load()), a.getRight() - 70, a.getY(), 62, a.getHeight(), juce::Justification::centredRight, false);
    }
}
