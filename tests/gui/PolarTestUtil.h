#pragma once

// Helpers of the polar-control tests: parameter access by ID, snapshots of the whole tree, and a
// pointer that sends real mouse events with chosen time stamps (so double-clicks and long presses
// are decided by the events, never by the test's own timing).

#include "GuiTestUtil.h"
#include "Ui/Foundation/VyrLookAndFeel.h"

#include <cmath>
#include <vector>

namespace vyrPolarTest
{
inline float raw (VyrAudioProcessor& p, const char* id)
{
    auto* prm = p.apvts.getParameter (id);
    return prm != nullptr ? prm->convertFrom0to1 (prm->getValue()) : -1.0f;
}

inline void setRaw (VyrAudioProcessor& p, const char* id, float v)
{
    if (auto* prm = p.apvts.getParameter (id))
        prm->setValueNotifyingHost (prm->convertTo0to1 (v));
}

inline std::vector<float> snapshot (VyrAudioProcessor& p)
{
    std::vector<float> v;
    for (auto* prm : p.getParameters())
        v.push_back (prm->getValue());
    return v;
}

// IDs of the parameters whose normalised value differs between two snapshots.
inline juce::StringArray changedIds (VyrAudioProcessor& p, const std::vector<float>& a, const std::vector<float>& b)
{
    juce::StringArray ids;
    const auto& params = p.getParameters();
    for (size_t i = 0; i < a.size() && i < b.size(); ++i)
        if (std::abs (a[i] - b[i]) > 1.0e-6f)
            if (auto* w = dynamic_cast<juce::AudioProcessorParameterWithID*> (params[(int) i]))
                ids.add (w->paramID);
    return ids;
}

// A polar control of `size` x `size` on a fresh processor, with the point at a radius and angle
// (turns, counter-clockwise from 3 o'clock) around its centre.
template <typename Widget, int size>
struct WidgetFixture : ::testing::Test
{
    juce::SharedResourcePointer<VyrLookAndFeel> lnf;
    std::unique_ptr<VyrAudioProcessor> proc = vyrGui::makeProcessor (15);
    std::unique_ptr<Widget> widget;

    void SetUp() override
    {
        widget = std::make_unique<Widget> (*proc);
        widget->setSize (size, size);
    }
    void TearDown() override { widget.reset(); }

    juce::Point<float> at (float radius, float angle) const
    {
        constexpr float c = 0.5f * (float) size;
        return { c + radius * std::cos (juce::MathConstants<float>::twoPi * angle),
                 c - radius * std::sin (juce::MathConstants<float>::twoPi * angle) };
    }
};

// Mouse events through the component's peer at explicit times (milliseconds).
class TimedPointer
{
public:
    explicit TimedPointer (juce::Component& c)
        : comp (c)
    {
    }

    void at (juce::Point<float> p, bool down, juce::ModifierKeys mods = {}, int afterMs = 20)
    {
        time += afterMs;
        auto m = down ? mods.withFlags (juce::ModifierKeys::leftButtonModifier) : mods.withoutMouseButtons();
        juce::ModifierKeys::currentModifiers = m;
        comp.getPeer()->handleMouseEvent (juce::MouseInputSource::InputSourceType::mouse, p, m,
                                          juce::MouseInputSource::defaultPressure,
                                          juce::MouseInputSource::defaultOrientation, time);
    }
    void press (juce::Point<float> p, juce::ModifierKeys mods = {}, int afterMs = 20) { at (p, true, mods, afterMs); }
    void drag (juce::Point<float> p, juce::ModifierKeys mods = {}) { at (p, true, mods); }
    void release (juce::Point<float> p, int afterMs = 20) { at (p, false, {}, afterMs); }
    void wheel (juce::Point<float> p, float deltaY, juce::ModifierKeys mods = {})
    {
        time += 20;
        juce::MouseWheelDetails w {};
        w.deltaY = deltaY;
        juce::ModifierKeys::currentModifiers = mods;
        comp.getPeer()->handleMouseWheel (juce::MouseInputSource::InputSourceType::mouse, p, time, w);
    }
    // Two clicks 60 ms apart: the framework reports a double-click.
    void doubleClick (juce::Point<float> p)
    {
        at (p, false, {}, 1000);
        press (p);
        release (p);
        press (p, {}, 40);
        release (p);
    }
    // Moves far away, so the next press is not taken as a second click.
    void pause() { time += 2000; }

private:
    juce::Component& comp;
    juce::int64 time = juce::Time::currentTimeMillis();
};
}

namespace vyrPolarTest
{
// A parent that counts the paints reaching it and the area they cover, in whole-child units.
struct PaintProbe : juce::Component
{
    int any = 0;
    double area = 0.0;
    juce::Rectangle<int> target;

    void paint (juce::Graphics& g) override
    {
        ++any;
        const auto clip = g.getClipBounds().getIntersection (target);
        area += (double) clip.getWidth() * clip.getHeight() / juce::jmax (1.0, (double) target.getWidth() * target.getHeight());
    }

    // Runs the message loop in windows of `windowMs` until one window's repainted area stays
    // below `maxArea`; a loaded machine may deliver the window's first expose late, so the first
    // windows may still see it. Leaves the last window's counts; false if no window was quiet.
    bool settle (int windowMs, double maxArea, int attempts = 12)
    {
        for (int i = 0; i < attempts; ++i)
        {
            any = 0;
            area = 0.0;
            juce::MessageManager::getInstance()->runDispatchLoopUntil (windowMs);
            if (maxArea > 0.0 ? area < maxArea : any == 0)
                return true;
        }
        return false;
    }
};
}
