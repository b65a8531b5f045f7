#pragma once

#include "Ui/Foundation/VyrTheme.h"

// Stateless painting routines for the hardware finishes of every page and panel. Each takes a
// graphics context and a rectangle, draws, and leaves the context's clip and transform as found.
// Message thread, from paint methods only.

// Page background: base gradient, glows and texture of the identity (ids outside 1..5: dark, no glows).
void vyrFillPageBackground (juce::Graphics& g, juce::Rectangle<int> area, int themeId);

// Panel body: shadow, gradient body, sheen, texture, outline, HUD brackets and optional screws.
void vyrPaintPanelChrome (juce::Graphics& g, juce::Rectangle<float> area, const VyrTheme& theme, bool screws);

// Pinstriped plate: gradient of colours 5 to 6, then repeating 2-2-1-1 px stripes of colours 1 to 4.
void paintPinstripe (juce::Graphics& g, juce::Rectangle<float> area, float cornerRadius,
                     juce::Colour c1, juce::Colour c2, juce::Colour c3, juce::Colour c4,
                     juce::Colour top, juce::Colour bottom);

// Four slotted screws in the corners of a VU bezel; bright on dark, glass and instrument unless dim.
void vyrPaintVuBezelScrews (juce::Graphics& g, juce::Rectangle<float> area, int themeId, bool dim);

// Identity overlay and outline of a chain module's frame.
void vyrPaintFxThemeFrame (juce::Graphics& g, juce::Rectangle<float> area, int themeId);

// Housing of a chain module in the identity, tinted by the module id.
void vyrPaintFxHousing (juce::Graphics& g, juce::Rectangle<float> area, int themeId, const juce::String& moduleKey);

// One cell of a segmented control; only the outer corners of the first and last cells are rounded.
// Fills with the context's current colour or gradient.
void vyrFillSegmentCell (juce::Graphics& g, juce::Rectangle<float> area, float cornerSize, int index, int count);

// Enamel push-button face: lit in the accent's hue, or an unlit light or dark face.
void vyrDrawEnamelButton (juce::Graphics& g, juce::Rectangle<float> area, bool lit, juce::Colour accent,
                          bool lightFace, bool pill);

// Corner radius of an enamel button: half the height for a pill, else min(0.38 h, 6).
float vyrEnamelRadius (float height, bool pill) noexcept;

// Housing of a module panel: the dark identity has its own gradient, the others the chain housing.
void vyrPaintModuleHousing (juce::Graphics& g, juce::Rectangle<float> area, int themeId, const juce::String& moduleKey,
                            juce::Colour top, juce::Colour edge);

// Screw heads shared with other painters.
void vyrPaintPanelScrew (juce::Graphics& g, float x, float y, float diameter, bool instrument);
void vyrPaintHousingScrew (juce::Graphics& g, float x, float y);
void vyrPaintVuScrew (juce::Graphics& g, float x, float y, bool bright);

// Colour helpers of the routines.
// Each of red, green and blue moved towards white: v -> trunc(255 - (255 - v) * keep), alpha kept.
juce::Colour vyrLighten (juce::Colour c, float keep) noexcept;
// The colour blended a fraction towards white (alpha kept).
juce::Colour vyrTowardsWhite (juce::Colour c, float amount) noexcept;
// Hue, saturation and brightness of the HSB model (black gives 0, 0, 0).
void vyrToHsb (juce::Colour c, float& hue, float& saturation, float& brightness) noexcept;

// A drop shadow whose blur is kept between paints: blurring is the costliest step of painting a
// control, and a control's shadow rarely changes while its face moves. Draws what
// juce::DropShadow::drawForPath draws for the whole shape (without its clip-dependent edge), and
// blurs again only when the shape's bounds or the shadow change. One cache serves one shape, which
// its bounds identify.
class VyrCachedShadow
{
public:
    void drawForPath (juce::Graphics& g, const juce::Path& path, const juce::DropShadow& shadow);

private:
    juce::Image blurred;
    juce::Rectangle<int> area;
    juce::Rectangle<float> keyBounds;
    juce::DropShadow keyShadow;
};

// A layer of a control that does not move between frames (ticks, scales, fixed labels), kept as an
// image at the screen's physical pixel scale so it stays sharp at every zoom. It is painted again
// only when the area, the identity or the pixel scale changes; `render` paints the layer in the
// control's own coordinates. Message thread, from paint methods only.
class VyrCachedLayer
{
public:
    template <typename RenderFn>
    void draw (juce::Graphics& g, juce::Rectangle<int> area, int identity, RenderFn&& render)
    {
        if (prepare (g, area, identity))
        {
            juce::Graphics ig (image);
            ig.addTransform (juce::AffineTransform::translation ((float) -area.getX(), (float) -area.getY()).scaled (scale));
            render (ig);
        }
        paintImage (g);
    }

    void invalidate() { image = {}; }

private:
    // True when the image was made anew (cleared) and needs its content rendered.
    bool prepare (juce::Graphics&, juce::Rectangle<int> area, int identity);
    void paintImage (juce::Graphics&) const;

    juce::Image image;
    juce::Rectangle<int> keyArea;
    int keyIdentity = 0;
    float scale = 1.0f;
};
