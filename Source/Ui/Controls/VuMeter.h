#pragma once

#include "Ui/Controls/VyrMeterHelpers.h"
#include "Ui/Foundation/VyrPainting.h"

#include <atomic>

// Analogue-style stereo VU meter: two needle dials (round or rectangular) showing the RMS level of
// the input or the output on a VU scale with 0 VU at -18 dBFS, under a header with an IN/OUT pair,
// a ROUND/RECT pair and a ballistics panel (Rise, Fall, Standard VU). Its 16 ms timer reads four
// level atomics the audio thread writes (input RMS left, right, output RMS left, right; any may be
// null) and moves the needles by elapsed time, also while hidden; it repaints only while visible
// and only when a needle or a setting moved since the last paint.
// Nothing of its state is saved: every instance starts on the output, round, with 100 ms.
class VuMeter : public juce::Component, public juce::Timer
{
public:
    VuMeter (std::atomic<float>* inL, std::atomic<float>* inR, std::atomic<float>* outL, std::atomic<float>* outR);
    ~VuMeter() override;

    void mouseDown (const juce::MouseEvent&) override;
    void mouseDrag (const juce::MouseEvent&) override;
    void mouseUp (const juce::MouseEvent&) override;
    void paint (juce::Graphics&) override;
    void resized() override;
    void timerCallback() override;

    // Needle position 0..1 (linear amplitude, 1 = +3 VU) of a VU value.
    static float positionOfVu (float vu) noexcept;
    // Needle angle in degrees from straight up, clockwise: round dials +-50, rectangular +-75.
    static float needleAngle (float position, bool round) noexcept;

    std::atomic<float>* sources[4];

    int theme = 0; // visual identity 0..5, written by the owner before painting
    bool roundDial = true;
    bool showInput = false;
    float needle[2] { 0.0f, 0.0f };
    float riseMs = 100.0f, fallMs = 100.0f;
    double lastTickMs = 0.0;
    bool ballisticsOpen = false;
    int dragSlider = 0; // 0 none, 1 Rise, 2 Fall

    // Hit and layout rectangles, recomputed by layoutHits.
    juce::Rectangle<float> inBox, outBox, roundBox, rectBox, ballisticsBox, standardBox, riseTrack, fallTrack;
    juce::Rectangle<float> bounds, header, meterArea, leftDial, rightDial, leftLabel, rightLabel;

    void layoutHits();

    // True when a paint now would differ from the last one.
    bool needsRepaint() const;

    // Clock of the needle ballistics (tests install their own).
    vyrMeter::ClockFn clock = &vyrMeter::systemClockMs;

private:
    VyrCachedShadow roundShadow, rectShadow; // the housing's shadow, blurred once per shape and size

    struct LampKernel
    {
        LampKernel();
        juce::Image image;
    };

    struct CacheKey
    {
        int width = -1, height = -1, theme = -1;
        bool round = false, input = false, open = false;
        float scale = 0.0f;
        bool operator== (const CacheKey& o) const noexcept
        {
            return width == o.width && height == o.height && theme == o.theme && round == o.round && input == o.input && open == o.open && scale == o.scale;
        }
    };

    void setSliderFromX (int slider, float x);
    void paintStatic (juce::Graphics&);
    void paintHousing (juce::Graphics&);
    void paintHeader (juce::Graphics&);
    void paintBallistics (juce::Graphics&);
    void paintRoundFace (juce::Graphics&, juce::Rectangle<float> dial);
    void paintRoundTop (juce::Graphics&, juce::Rectangle<float> dial, float position);
    void paintRectFace (juce::Graphics&, juce::Rectangle<float> dial);
    void paintRectTop (juce::Graphics&, juce::Rectangle<float> dial, float position);
    void paintFaceLamp (juce::Graphics&, juce::Rectangle<float> face, juce::Point<float> pivot, bool round, float corner);

    juce::SharedResourcePointer<LampKernel> lampKernel;
    juce::Image staticLayer;
    CacheKey cacheKey;
    // What the last paint showed.
    float paintedNeedle[2] { -1.0f, -1.0f };
    float paintedRise = -1.0f, paintedFall = -1.0f;
    CacheKey paintedKey;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (VuMeter)
};
