#pragma once

#include <juce_audio_processors/juce_audio_processors.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include <array>
#include <atomic>
#include <initializer_list>
#include <utility>

// What the two round controls of the main view (QUARN and SPACE) share: the polar geometry of a
// pointer, parameter reads and writes, the gesture bracket over several parameters, the hand-over
// of parameter notifications from other threads, the spark store and the painting of blooms,
// handles, ticks and labels.
//
// Angles are fractions of a turn in [0, 1): 0 points to 3 o'clock and angles grow counter-clockwise,
// so 0.25 is straight up. Message thread unless a function says otherwise.
namespace vyrPolar
{
// x mapped into [0, 1) (a negative remainder gets 1 added).
float frac (float x) noexcept;

// A pointer seen from a centre: its angle (turns) and distance (pixels).
struct Pointer
{
    float angle = 0.0f;
    float distance = 0.0f;
};

Pointer pointerFrom (juce::Point<float> p, float cx, float cy) noexcept;

// The point at an angle and radius around a centre.
juce::Point<float> pointAt (float cx, float cy, float radius, float angle) noexcept;

// Accent colour of a visual identity for the polar controls (ids outside 0..5 give the dark one).
juce::Colour accentFor (int themeId) noexcept;

// The set-up every polar control shares: see-through, never takes keyboard focus, shows a hand
// cursor, and a surrounding viewport leaves its drags alone.
void setUpControl (juce::Component&);

// The parameters a control edits, looked up once by ID (an unknown ID stays null and every
// read, write or gesture on it is skipped).
class ParamSet
{
public:
    ParamSet (juce::AudioProcessorValueTreeState& tree, std::initializer_list<const char*> parameterIds);

    // Raw (denormalised) value, or the fallback when the parameter is missing.
    float read (int index, float fallback) const;

    // Sets a raw value and notifies listeners and the host, without a gesture. A drag write
    // (force false) is skipped when the normalised value moves by 1e-5 or less; a reset or wheel
    // step (force true) always writes.
    void write (int index, float value, bool force) const;

    // One change gesture per parameter, held from begin to end. Both are idempotent, so a nested
    // caller (a wheel step inside a drag) never closes the outer gesture; begin returns whether
    // this call opened it.
    bool begin();
    void end();
    bool isOpen() const noexcept { return open; }

    // Adds or removes a listener on every parameter of the set.
    void listen (juce::AudioProcessorValueTreeState::Listener*);
    void unlisten (juce::AudioProcessorValueTreeState::Listener*);

private:
    juce::AudioProcessorValueTreeState& tree;
    std::array<juce::RangedAudioParameter*, 6> params {};
    int count = 0;
    bool open = false;
};

// Parameter notifications may come from the audio thread (MIDI) or a host thread (automation).
// They only raise this flag there; the control's timer takes it on the message thread.
class ChangeRelay
{
public:
    void note() noexcept { pending.store (true, std::memory_order_release); }
    bool take() noexcept { return pending.exchange (false, std::memory_order_acq_rel); }

    // A parameter notification: off the message thread it only raises the flag and says no; on it,
    // it says whether to re-read now (never while the control's own gesture writes the values).
    bool readNow (bool gestureOpen) noexcept
    {
        if (! juce::MessageManager::existsAndIsCurrentThread())
        {
            note();
            return false;
        }
        return ! gestureOpen;
    }

private:
    std::atomic<bool> pending { false };
};

//==============================================================================
// Sparks: a fixed store, no allocation.
struct Spark
{
    float angle = 0.0f;     // turns
    float radius = 0.0f;    // pixels from the centre
    float angleVel = 0.0f;  // turns per tick
    float radiusVel = 0.0f; // pixels per tick
    float life = 0.0f;      // seconds left
    float maxLife = 1.0f;   // seconds at birth
    float size = 2.0f;      // pixels
    float tint = 0.12f;     // 0..1
};

struct SparkStore
{
    static constexpr int capacity = 26;
    std::array<Spark, capacity> sparks {};
    int count = 0;

    // Ages every live spark by one tick and packs the survivors to the front in their old order.
    void age (float lifeStep, float drift, float maxRadius) noexcept;

    // How many sparks one timer tick spawns at a level (0..1) for a tick rate (ticks per second):
    // none at or below 0.06 or with 24 live; else floor(rate) plus one by chance, at most 2.
    int timerSpawnCount (float level, float ticksPerSecond, juce::Random& random) const noexcept;

    // n cut to the free slots (never negative).
    int room (int n) const noexcept { return juce::jlimit (0, capacity - count, n); }

    // Whether a drag step adds a spark: by chance while fewer than 20 fly.
    bool dragSpawns (juce::Random& random) const noexcept { return count < 20 && random.nextFloat() < 0.4f; }

    // Adds up to n sparks (cut to the free slots). Each draws seven uniforms u[0..6]: the angle (u0),
    // life (u4), size (u5) and tint (u6) are set here, `place (spark, u)` sets the radius and both
    // velocities from u1..u3.
    template <typename Place>
    void spawn (int n, juce::Random& random, Place&& place)
    {
        n = room (n);
        for (int i = 0; i < n; ++i)
        {
            float u[7];
            for (auto& v : u)
                v = random.nextFloat();
            auto& s = sparks[(size_t) count++];
            s.angle = u[0];
            place (s, u);
            s.life = s.maxLife = 0.8f + 1.2f * u[4];
            s.size = 1.28f + 2.1f * u[5];
            s.tint = u[6];
        }
    }

    // Whether a timer tick must repaint for the sparks: some fly, or the last painted frame showed
    // some that have gone since. Call once per tick that may paint.
    bool needRepaint() noexcept
    {
        const bool need = count > 0 || shown;
        shown = count > 0;
        return need;
    }

private:
    bool shown = false;
};

// Draws the live sparks: colour `from` blended toward `to` by tintScale * tint, a glow then a core.
void paintSparks (juce::Graphics& g, const SparkStore& store, float cx, float cy, juce::Colour from, juce::Colour to,
                  float tintScale, float level);

//==============================================================================
// Painting.

// Radial glow of a colour around (x, y) out to max(radius, 4).
void paintSoftBloom (juce::Graphics& g, float x, float y, float radius, juce::Colour colour);

// A handle: soft bloom, filled dot and a small white highlight sitting on the dot's centre.
void paintHandle (juce::Graphics& g, juce::Point<float> centre, juce::Colour colour, float bloomRadius, float dotDiameter);

// A radial tick from radius r0 to r1 at an angle.
void paintTick (juce::Graphics& g, float cx, float cy, float angle, float r0, float r1, juce::Colour colour, float width);

// A bold caption centred in a w x h box around a point.
void paintLabel (juce::Graphics& g, const juce::String& text, juce::Point<float> at, juce::Colour colour, float height,
                 float kerning, float boxWidth, float boxHeight);

// A filled disc with a vertical gradient from `top` at y0 to `bottom` at y1.
void fillGradientDisc (juce::Graphics& g, float cx, float cy, float radius, juce::Colour top, float y0, juce::Colour bottom,
                       float y1);

// A radial bloom around the centre out to a radius: the given stops, then transparent black at the edge.
void paintBloom (juce::Graphics& g, float cx, float cy, float radius,
                 std::initializer_list<std::pair<double, juce::Colour>> stops);

// The dark well under a control's inner disc, its shading scaled by `reach`, with a faint rim.
void paintWell (juce::Graphics& g, float cx, float cy, float radius, float reach);

// The control's inner disc, lit from above.
void fillInnerDisc (juce::Graphics& g, float cx, float cy, float radius);

// Clips to a disc (scope it with a ScopedSaveState).
void clipToDisc (juce::Graphics& g, float cx, float cy, float radius);

// The 24 ticks of an inner disc's rim (a longer, brighter one every eighth) and its outline.
void paintDiscRim (juce::Graphics& g, float cx, float cy, float radius);

// The title centred above the control's centre and the caption below it, in the controls' own
// weights and colours. `separator` is the dot between a caption's items.
void paintTitle (juce::Graphics& g, const juce::String& title, float titleHeight, juce::Rectangle<int> titleBox,
                 const juce::String& caption, float captionHeight, juce::Rectangle<int> captionBox);
const juce::String& separator();

// A circle outline.
void strokeCircle (juce::Graphics& g, float cx, float cy, float radius, juce::Colour colour, float width);

// A radial glow of a colour at an alpha, fading to transparent black at the radius.
void paintGlow (juce::Graphics& g, juce::Point<float> centre, float radius, juce::Colour colour, float alpha);

// Text font of the controls' labels, titles and captions: the default sans-serif.
juce::Font labelFont (float height, bool bold, float kerning);
}
