#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>
#include <map>
#include <vector>

class VyrCachedShadow;

// The decoded hardware images (tube and tape-machine photographs, the knob, the product icon,
// the stage backdrop, the meter plate and the watermark mask) and the painters that draw studio
// hardware with them: glowing tubes, tape machines, spun-aluminium knob faces, rack panels,
// screws, glass screens and the delay and reverb displays.
//
// One instance per process, shared through juce::SharedResourcePointer: components that paint
// hardware hold HardwareArt::get() as a member, so the images are decoded once while any editor
// is open and released with the last one, before the framework shuts down. The painters are
// static and reach the shared instance themselves. Message thread only.
class HardwareArt
{
public:
    HardwareArt();
    ~HardwareArt();

    static juce::SharedResourcePointer<HardwareArt> get();

    // Images at their resources' pixel sizes. An image that fails to decode is replaced by an
    // 8 x 8 transparent one; only headerWatermark may be null (a symbol without a shape).
    juce::Image tube12ax7, tube6u8a;
    juce::Image tapeMachines[7];
    juce::Image appIcon, stageWell, meterPlate, headerWatermark, effectKnob;

    //==============================================================================
    // Preparation steps, public for tests.

    // Makes a black studio backdrop transparent: alpha = smoothstep of (max(r, g, b) - blackLevel) / ramp.
    static juce::Image keyTubeStudioBlack (const juce::Image& source, float blackLevel, float ramp);
    // Cuts an image to the 12AX7's glass outline (narrow tip, straight body, narrowing base).
    static void applyGlassSilhouette (juce::Image& image);
    // White image whose alpha carries the symbol's shape (from its alpha, else from dark ink);
    // null when the symbol has neither.
    static juce::Image loadSilhouetteMask (const void* data, int numBytes);
    // Decodes an image; undecodable bytes give an 8 x 8 transparent image.
    static juce::Image decodeOrBlank (const void* data, int numBytes);

    //==============================================================================
    // Brand helpers.
    static juce::Font brandWordmarkFont (float height, float kerning);
    static void paintEngravedWatermark (juce::Graphics& g, juce::Rectangle<float> area);

    // Fitting of the watermark line, for tests: scale, base height and text box of an area.
    struct WatermarkLayout
    {
        bool drawn = false;
        juce::Rectangle<float> box;
        float baseHeight = 0.0f, scale = 1.0f;
        int shrinks = 0;
    };
    static WatermarkLayout layoutEngravedWatermark (juce::Rectangle<float> area);

    //==============================================================================
    // Tubes, tape machines, knob faces and rack parts.
    enum class VacuumTubePass
    {
        backGlow = 0,
        body = 1
    };

    static void paintVacuumTube (juce::Graphics& g, juce::Rectangle<float> area, bool useTwelveAx7Photo, bool lit,
                                 bool altTube, float drive, float levelDb, double timeSeconds,
                                 const juce::String& tubeName, VacuumTubePass pass);
    static void paintTapeMachine (juce::Graphics& g, juce::Rectangle<float> area, int model, float reelPhase,
                                  float wow, float running, bool on);
    // `shadow` (optional) keeps the disc's blurred shadow between paints.
    static void paintSpunAluminum (juce::Graphics& g, juce::Point<float> centre, float radius, float pointerAngleDegrees,
                                   bool milled, VyrCachedShadow* shadow = nullptr);
    static void paintTcPanel (juce::Graphics& g, juce::Rectangle<float> unit);
    static void paintTcScrew (juce::Graphics& g, juce::Point<float> centre);
    static void paintTcScreen (juce::Graphics& g, juce::Rectangle<float> screen, bool active);
    static void paintTcGlassOverlay (juce::Graphics& g, juce::Rectangle<float> screen);

    // Draws `source` scaled by (sx, sy) with its origin at (tx, ty) at high resampling quality and at
    // an opacity, as drawImageTransformed does, through a copy rendered once per scale and
    // sub-pixel offset and then only blitted. With an opaque `tint` the image is an alpha mask filled
    // with that colour. Contexts that scale (HiDPI, zoomed editors) and very large copies draw
    // directly. Message thread only.
    void drawScaledCached (juce::Graphics& g, const juce::Image& source, float sx, float sy, float tx, float ty, float opacity,
                           juce::Colour tint = {});

    // Paints what `paint` draws inside `area` (its outlines may reach 2 px beyond) from an image kept
    // per key and area, rendered by `paint` the first time: for the static layers of the displays,
    // whose key names everything they depend on besides the area. Scaling contexts paint directly.
    void paintLayerCached (juce::Graphics& g, const juce::String& key, juce::Rectangle<float> area,
                           const std::function<void (juce::Graphics&)>& paint);

    // Where two frames of the tape machine differ when only the reels moved (phase or running):
    // the two reel discs and the two runs of tape between them.
    static juce::RectangleList<float> tapeMovingAreas (juce::Rectangle<float> area, float wow, float runningBefore,
                                                       float runningAfter);

    // Tube helpers, public for tests.
    static float tubeFlicker (bool lit, bool altTube, double timeSeconds) noexcept;
    static float tubeGlow (bool lit, float flicker, float followedLevel, float drive) noexcept;
    // The glow follower's level for a tube name (0 for a name not seen yet).
    float followedLevel (const juce::String& tubeName) const;
    // Index of the tape photo shown for a machine choice (unknown models show the Studer A800).
    static int tapePhotoIndex (int model) noexcept;
    // Number of spin lines of the procedural knob face at a radius.
    static int spinLineCount (float radius) noexcept;

    //==============================================================================
    // Delay and reverb displays.
    struct ReverbEqGeom
    {
        juce::Rectangle<float> plot;
        juce::Point<float> lowCutHandle, dampingHandle, shelfHandle;
    };

    static void paintDelayEcho (juce::Graphics& g, juce::Rectangle<float> screen, float delaySeconds, float feedback,
                                float mix, bool active, float now);
    static void paintReverbField (juce::Graphics& g, juce::Rectangle<float> screen, float decay, float size,
                                  float xLarge, float predelayMs, float mix, float damping, bool active, float now);
    static ReverbEqGeom makeReverbEqGeom (juce::Rectangle<float> screen, float lowCut, float damping,
                                          float shelfFreq, float shelfGain);
    static void paintReverbEq (juce::Graphics& g, juce::Rectangle<float> screen, float lowCut, float damping,
                               float shelfFreq, float shelfGain);

    // Display helpers, public for tests.
    static int delayEchoCount (float feedback) noexcept;
    static float delaySweepX (juce::Rectangle<float> screen, float delaySeconds, float now) noexcept;
    static juce::String delayTimeText (float delaySeconds);
    static juce::String reverbDecayText (float decaySeconds);
    static juce::Colour reverbFieldAccent (float damping) noexcept;
    static int reverbTailBars (float size) noexcept;
    static int reverbEarlyBars (float size, float xLarge) noexcept;
    // The reverb field's tail, the only part of it that moves with the clock.
    static juce::Rectangle<float> reverbTailArea (juce::Rectangle<float> screen, float decay, float size, float xLarge,
                                                  float predelayMs) noexcept;
    static float reverbEqResponseDb (float f, float lowCut, float damping, float shelfFreq, float shelfGain) noexcept;

private:
    struct GlowFollow
    {
        float level = 0.0f;
        double lastTime = 0.0;
    };

    const juce::Image& glowKernel();
    const juce::Image& grainTile();
    const juce::Image& millFace();

    struct ScaledCopy
    {
        juce::Image source;
        float sx, sy, fx, fy;
        juce::Colour tint;
        juce::Image image;
    };

    std::map<juce::String, GlowFollow> glowFollow;
    std::vector<ScaledCopy> scaledCopies;
    struct Layer
    {
        juce::String key;
        juce::Rectangle<float> area;
        juce::Image image;
        juce::Point<int> origin;
    };
    std::vector<Layer> layers;
    juce::Image tubeGlowKernel, grain, milledFace;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (HardwareArt)
};
