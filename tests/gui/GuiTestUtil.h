#pragma once

// Helpers of the GUI tests: real processors for every product, rendering and pixel probes,
// real mouse and key events through a component's desktop peer, message-loop pumping,
// host-gesture counting, timer ticks and the "survives" checks every component must pass.

#include "Core/PluginProcessor.h"
#include "ProcessorFixture.h"

#include <gtest/gtest.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include <cmath>
#include <functional>
#include <limits>
#include <map>
#include <memory>
#include <vector>

namespace vyrGui
{
constexpr int kNumProducts = 16;

// A processor of a product (0..15) as the given wrapper would build it.
inline std::unique_ptr<VyrAudioProcessor> makeProcessor (int product, bool standalone = false)
{
    return vyrTest::makeProcessor (product, standalone ? juce::AudioProcessor::wrapperType_Standalone
                                                       : juce::AudioProcessor::wrapperType_VST3);
}

// Raw (denormalised) value of a parameter the processor must have.
inline float paramValue (VyrAudioProcessor& p, const juce::String& id)
{
    auto* param = p.apvts.getParameter (id);
    return param->convertFrom0to1 (param->getValue());
}

//==============================================================================
// Rendering and pixel probes.

// Renders a component (and its children) headlessly at the given scale.
inline juce::Image render (juce::Component& c, float scale = 1.0f)
{
    return c.createComponentSnapshot (c.getLocalBounds(), true, scale);
}

// Renders a paint routine into a fresh ARGB image cleared to the given colour.
inline juce::Image renderPaint (int w, int h, const std::function<void (juce::Graphics&)>& paint,
                                juce::Colour background = juce::Colours::transparentBlack)
{
    juce::Image img (juce::Image::ARGB, juce::jmax (w, 1), juce::jmax (h, 1), true);
    juce::Graphics g (img);
    if (! background.isTransparent())
        g.fillAll (background);
    paint (g);
    return img;
}

inline juce::Colour pixel (const juce::Image& img, int x, int y) { return img.getPixelAt (x, y); }

// Largest difference of any channel between two colours (alpha included).
inline int colourDistance (juce::Colour a, juce::Colour b)
{
    return juce::jmax (std::abs (a.getRed() - b.getRed()), std::abs (a.getGreen() - b.getGreen()),
                       std::abs (a.getBlue() - b.getBlue()), std::abs (a.getAlpha() - b.getAlpha()));
}

inline ::testing::AssertionResult colourNear (juce::Colour actual, juce::Colour expected, int tolerance = 3)
{
    if (colourDistance (actual, expected) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "colour " << actual.toDisplayString (true) << " differs from "
                                         << expected.toDisplayString (true) << " by more than " << tolerance;
}

// Number of pixels inside an area whose colour differs from `background` by more than tolerance.
inline int countInk (const juce::Image& img, juce::Rectangle<int> area, juce::Colour background, int tolerance = 8)
{
    area = area.getIntersection (img.getBounds());
    int n = 0;
    const juce::Image::BitmapData data (img, juce::Image::BitmapData::readOnly);
    for (int y = area.getY(); y < area.getBottom(); ++y)
        for (int x = area.getX(); x < area.getRight(); ++x)
            if (colourDistance (data.getPixelColour (x, y), background) > tolerance)
                ++n;
    return n;
}

inline int countInk (const juce::Image& img, juce::Colour background, int tolerance = 8)
{
    return countInk (img, img.getBounds(), background, tolerance);
}

// Bounding box of the pixels differing from the background (empty when none do).
inline juce::Rectangle<int> inkBounds (const juce::Image& img, juce::Colour background, int tolerance = 8)
{
    int x0 = img.getWidth(), y0 = img.getHeight(), x1 = -1, y1 = -1;
    const juce::Image::BitmapData data (img, juce::Image::BitmapData::readOnly);
    for (int y = 0; y < img.getHeight(); ++y)
        for (int x = 0; x < img.getWidth(); ++x)
            if (colourDistance (data.getPixelColour (x, y), background) > tolerance)
            {
                x0 = juce::jmin (x0, x), y0 = juce::jmin (y0, y);
                x1 = juce::jmax (x1, x), y1 = juce::jmax (y1, y);
            }
    return x1 < 0 ? juce::Rectangle<int>() : juce::Rectangle<int> (x0, y0, x1 - x0 + 1, y1 - y0 + 1);
}

// Writes a PNG for review by eye into the render folder (VYR_RENDER_DIR, else build/ui-renders).
inline void savePng (const juce::Image& img, const juce::String& name)
{
    auto dirName = juce::SystemStats::getEnvironmentVariable ("VYR_RENDER_DIR", {});
    if (dirName.isEmpty())
        return;
    juce::File dir (dirName);
    dir.createDirectory();
    auto file = dir.getChildFile (name + ".png");
    file.deleteFile();
    juce::FileOutputStream out (file);
    if (out.openedOk())
        juce::PNGImageFormat().writeImageToStream (img, out);
}

//==============================================================================
// Message loop and timers.

using vyrTest::pumpUntil;

// Delivers every message posted so far (a triggered click, a text editor's change message): the
// queue is first in, first out, so a marker posted now arrives after them. Bounded like pumpUntil.
inline bool flushMessages()
{
    auto delivered = std::make_shared<bool> (false);
    juce::MessageManager::callAsync ([delivered] { *delivered = true; });
    return pumpUntil ([delivered] { return *delivered; });
}

// Runs the message loop for a short while so posted messages are delivered.
inline void pump (int ms = 20)
{
    juce::MessageManager::getInstance()->runDispatchLoopUntil (ms);
}

// One tick of a component's timer, called directly (no waiting on the timer thread).
inline void tick (juce::Timer& t) { t.timerCallback(); }

// The timer of a component that inherits it privately (an explicit cast may name a private base).
template <typename ComponentWithTimer>
juce::Timer& timerOf (ComponentWithTimer& c)
{
    return (juce::Timer&) c;
}

//==============================================================================
// Real mouse and key events: the component is put on the desktop (Xvfb) and events go through
// its peer, so JUCE's mouse-input sources, hit tests, enter/exit, focus and key dispatch run
// exactly as for a user.
class Desk
{
public:
    explicit Desk (juce::Component& c, juce::Point<int> screenPos = { 40, 40 })
        : comp (c)
    {
        comp.setTopLeftPosition (screenPos);
        comp.addToDesktop (juce::ComponentPeer::windowIsTemporary);
        comp.setVisible (true);
        pump (10);
    }

    ~Desk()
    {
        if (comp.isOnDesktop())
            comp.removeFromDesktop();
    }

    juce::ComponentPeer& peer() const { return *comp.getPeer(); }

    void move (juce::Point<float> p) { send (p, juce::ModifierKeys()); }
    void press (juce::Point<float> p, juce::ModifierKeys mods = {})
    {
        send (p, mods.withFlags (juce::ModifierKeys::leftButtonModifier));
    }
    void drag (juce::Point<float> p, juce::ModifierKeys mods = {})
    {
        send (p, mods.withFlags (juce::ModifierKeys::leftButtonModifier));
    }
    void release (juce::Point<float> p, juce::ModifierKeys mods = {})
    {
        send (p, mods.withoutMouseButtons());
        time += 1000; // keep the next press from counting as a double click
    }
    void click (juce::Point<float> p, juce::ModifierKeys mods = {})
    {
        move (p);
        press (p, mods);
        release (p, mods);
    }
    void click (float x, float y) { click ({ x, y }); }
    // A release that leaves the clock alone, so the next press may count as a second click.
    void releaseQuick (juce::Point<float> p, juce::ModifierKeys mods = {}) { send (p, mods.withoutMouseButtons()); }
    void doubleClick (juce::Point<float> p, juce::ModifierKeys mods = {})
    {
        move (p);
        press (p, mods);
        releaseQuick (p, mods);
        press (p, mods);
        release (p, mods);
    }
    // Advances the events' clock without sending anything.
    void wait (int ms) { time += ms; }
    // One wheel turn at a point (positive deltaY turns away from the user: scrolls up), with the
    // modifier keys held.
    void wheel (juce::Point<float> p, float deltaY, juce::ModifierKeys mods = {})
    {
        time += 20;
        juce::MouseWheelDetails w;
        w.deltaX = 0.0f;
        w.deltaY = deltaY;
        w.isReversed = false;
        w.isSmooth = false;
        w.isInertial = false;
        juce::ModifierKeys::currentModifiers = mods;
        peer().handleMouseWheel (juce::MouseInputSource::InputSourceType::mouse, p, time, w);
        juce::ModifierKeys::currentModifiers = juce::ModifierKeys();
    }
    // A trackpad pinch at a point (scale above 1 spreads the fingers).
    void pinch (juce::Point<float> p, float scale)
    {
        time += 20;
        peer().handleMagnifyGesture (juce::MouseInputSource::InputSourceType::mouse, p, time, scale);
    }
    // Moves the pointer far outside the component (mouse exit).
    void leave() { move ({ -500.0f, -500.0f }); }

    // A key press delivered to the focused component through the peer.
    bool key (const juce::KeyPress& k) { return peer().handleKeyPress (k); }

private:
    void send (juce::Point<float> p, juce::ModifierKeys mods)
    {
        time += 20;
        juce::ModifierKeys::currentModifiers = mods;
        peer().handleMouseEvent (juce::MouseInputSource::InputSourceType::mouse, p, mods,
                                 juce::MouseInputSource::defaultPressure, juce::MouseInputSource::defaultOrientation, time);
    }

    juce::Component& comp;
    juce::int64 time = juce::Time::currentTimeMillis();
};

//==============================================================================
// Counts host gestures and value notifications per parameter ID.
class GestureCounter : private juce::AudioProcessorListener
{
public:
    explicit GestureCounter (juce::AudioProcessor& p) : proc (p) { proc.addListener (this); }
    ~GestureCounter() override { proc.removeListener (this); }

    int begins (const juce::String& id) const { return get (beginCount, id); }
    int ends (const juce::String& id) const { return get (endCount, id); }
    int changes (const juce::String& id) const { return get (changeCount, id); }
    int totalBegins() const { return total (beginCount); }
    int totalEnds() const { return total (endCount); }

private:
    juce::String idOf (int index) const
    {
        if (auto* p = dynamic_cast<juce::AudioProcessorParameterWithID*> (proc.getParameters()[index]))
            return p->paramID;
        return juce::String (index);
    }
    static int get (const std::map<juce::String, int>& m, const juce::String& id)
    {
        auto it = m.find (id);
        return it == m.end() ? 0 : it->second;
    }
    static int total (const std::map<juce::String, int>& m)
    {
        int n = 0;
        for (auto& kv : m)
            n += kv.second;
        return n;
    }

    void audioProcessorParameterChanged (juce::AudioProcessor*, int index, float) override { ++changeCount[idOf (index)]; }
    void audioProcessorChanged (juce::AudioProcessor*, const ChangeDetails&) override {}
    void audioProcessorParameterChangeGestureBegin (juce::AudioProcessor*, int index) override { ++beginCount[idOf (index)]; }
    void audioProcessorParameterChangeGestureEnd (juce::AudioProcessor*, int index) override { ++endCount[idOf (index)]; }

    juce::AudioProcessor& proc;
    std::map<juce::String, int> beginCount, endCount, changeCount;
};

//==============================================================================
// Meter data a component may find when it paints.
enum class MeterData
{
    empty,     // as after preparation: nothing measured
    silent,    // measured silence
    fullScale, // everything at 0 dBFS
    nonFinite  // NaN and infinities everywhere
};

inline void setMeterData (VyrAudioProcessor& p, MeterData kind)
{
    auto& m = p.meters;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    float level = 0.0f, lufs = -100.0f, sample = 0.0f;
    switch (kind)
    {
        case MeterData::empty: m.prepare (48000.0); return;
        case MeterData::silent: level = 0.0f, lufs = -100.0f, sample = 0.0f; break;
        case MeterData::fullScale: level = 1.0f, lufs = 0.0f, sample = 1.0f; break;
        case MeterData::nonFinite: level = nan, lufs = inf, sample = -inf; break;
    }
    for (int ch = 0; ch < 2; ++ch)
    {
        m.inPeak[ch] = level, m.outPeak[ch] = level;
        m.inRms[ch] = level, m.outRms[ch] = kind == MeterData::nonFinite ? inf : level;
    }
    m.lufsMomentary = lufs, m.lufsShort = lufs, m.lufsIntegrated = kind == MeterData::nonFinite ? nan : lufs;
    m.lra = kind == MeterData::nonFinite ? nan : 0.0f;
    m.truePeakDb = kind == MeterData::nonFinite ? nan : (kind == MeterData::fullScale ? 0.0f : -100.0f);
    m.maxTruePeak = m.truePeakDb.load();
    {
        const juce::SpinLock::ScopedLockType lock (m.spectrumLock);
        for (auto& v : m.spectrum)
            v = kind == MeterData::nonFinite ? nan : level;
    }
    for (int i = 0; i < VyrMeterEngine::scopeSize; ++i)
    {
        m.outScope[i] = (i & 1) ? sample : -sample;
        m.inScope[i] = (i & 1) ? -sample : sample;
    }
}

//==============================================================================
// The checks every component passes: built and destroyed for every product, resized to 1 px
// and 4000 px, and painted with empty, silent, full-scale and non-finite meter data.
using ComponentFactory = std::function<std::unique_ptr<juce::Component> (VyrAudioProcessor&)>;

inline void checkSurvives (const ComponentFactory& make, juce::Rectangle<int> normalBounds = { 0, 0, 400, 300 })
{
    // The sanitizer build (many times slower, and a big view takes minutes there) runs four
    // products of different kinds and the extreme sizes with the non-finite data only; every
    // size, data kind and a product of each kind still runs.
   #if VYR_SANITIZED
    const std::vector<int> products { 0, 7, 14, 15 };
    const bool extremesForEveryKind = false;
   #else
    std::vector<int> products;
    for (int product = 0; product < kNumProducts; ++product)
        products.push_back (product);
    const bool extremesForEveryKind = true;
   #endif
    for (int product : products)
    {
        SCOPED_TRACE ("product " + std::to_string (product));
        auto proc = makeProcessor (product);
        auto comp = make (*proc);
        ASSERT_NE (comp, nullptr);
        comp->setBounds (normalBounds);
        for (auto kind : { MeterData::empty, MeterData::silent, MeterData::fullScale, MeterData::nonFinite })
        {
            setMeterData (*proc, kind);
            comp->setBounds (normalBounds);
            render (*comp);
            if (! extremesForEveryKind && kind != MeterData::nonFinite)
                continue;
            comp->setSize (1, 1);
            render (*comp);
            comp->setSize (4000, 4000);
            render (*comp, 0.125f); // lays out and paints at 4000 px, stores a 500 px picture
        }
        comp.reset();
    }
}
}
