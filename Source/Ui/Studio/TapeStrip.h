#pragma once

#include "Core/PluginProcessor.h"
#include "Ui/Studio/MasteredWaveformPanel.h"
#include "Ui/Studio/OutputReaders.h"

// The tape strip under the mastered waveform: the last 220 samples of the assistant's measurement
// and advice (one per 40 ms tick, about 8.8 s), plotted as lanes of tonal balance, loudness, and
// ceiling crush with library fit. The header's nine chips show the latest sample; a click on the
// header cycles closed / compact / tall, a click on a lane's axis solos its group. The ring is a
// fixed array written in place. Message thread only.
class MasteredWaveformPanel::TapeStrip : public juce::Component, public juce::SettableTooltipClient
{
public:
    static constexpr int ringSize = 220;

    struct Sample
    {
        float subDb = 0.0f, lowDb = 0.0f, midDb = 0.0f, highDb = 0.0f;
        float lufsMomentary = -100.0f, lufsShort = -100.0f, lufs = -14.0f, targetLufs = -14.0f;
        float clipShare = 0.0f, fit = 0.0f;
    };

    struct Hit
    {
        juce::Rectangle<float> area;
        juce::String tip;
    };

    TapeStrip();

    void append (const Sample&);
    // The i-th held sample, 0 the oldest.
    const Sample& at (int i) const noexcept;

    // Lane rectangles of the current size and solo state; returns how many (0..3).
    int getLanes (juce::Rectangle<float> (&lanes)[3]) const;

    // Value texts of the nine header chips for the latest sample (empty without a sample).
    juce::String chipValue (int chip) const;
    // Balance lane range (6, 12, 18 or 24 dB) for the held samples.
    float balanceRange() const noexcept;

    void paint (juce::Graphics&) override;
    void resized() override;
    void mouseMove (const juce::MouseEvent&) override;
    void mouseDown (const juce::MouseEvent&) override;
    void mouseUp (const juce::MouseEvent&) override;

    // While the strip shows, it holds the output spectrum and level readers the measurement
    // needs (the audio thread works them out only while somebody reads them); hidden, it lets go.
    void holdReaders (VyrAudioProcessor& processor, bool showing);

    std::function<void()> onCycle;
    VyrInfoButton infoButton;
    Sample ring[ringSize];
    int writeIndex = 0;
    int sampleCount = 0;
    int mode = 0;
    int solo = -1;
    bool consumed = false;
    Hit hits[12];
    int hitCount = 0;

private:
    using YOf = std::function<float (const Sample&)>;
    void paintBalance (juce::Graphics&, juce::Rectangle<float>) const;
    void paintLufs (juce::Graphics&, juce::Rectangle<float>) const;
    void paintClipFit (juce::Graphics&, juce::Rectangle<float>) const;
    void paintLoud (juce::Graphics&, juce::Rectangle<float>) const;
    void paintChips (juce::Graphics&, float x, float avail, float hh);
    juce::Rectangle<float> laneFrame (juce::Graphics&, juce::Rectangle<float> lane, float ax, float rightReserve, const char* unit) const;
    void drawYTick (juce::Graphics&, juce::Rectangle<float> column, float y, const juce::String& text) const;
    void strokeSeries (juce::Graphics&, juce::Rectangle<float> plot, juce::Colour, const YOf&, float thickness) const;
    void paintTarget (juce::Graphics&, juce::Rectangle<float> plot, juce::Rectangle<float> column) const;
    int axisZoneAt (juce::Point<float>) const;

    VyrOutputReaders readers;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TapeStrip)
};
