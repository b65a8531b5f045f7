#include "Ui/Foundation/HardwareArt.h"

#include "VyrArt.h"

#include <cmath>

namespace
{
float smoothstep01 (float t) noexcept { return t * t * (3.0f - 2.0f * t); }

// One piece of the engraved brand line: its glyphs laid out on a baseline at the origin.
struct Piece
{
    juce::GlyphArrangement glyphs;
    juce::Rectangle<float> bounds; // union of the glyph boxes (zero-sized boxes ignored)
};

Piece makePiece (const juce::String& text, const juce::Font& font)
{
    Piece p;
    p.glyphs.addLineOfText (font, text, 0.0f, 0.0f);
    for (int i = 0; i < p.glyphs.getNumGlyphs(); ++i)
    {
        const auto b = p.glyphs.getGlyph (i).getBounds();
        if (b.getWidth() > 0.0f && b.getHeight() > 0.0f)
            p.bounds = p.bounds.isEmpty() ? b : p.bounds.getUnion (b);
    }
    return p;
}

struct WatermarkPieces
{
    Piece pieces[6];
    float totalWidth = 0.0f;
};

WatermarkPieces makeWatermarkPieces (float H, float s)
{
    const auto brand = HardwareArt::brandWordmarkFont (H * s, 0.18f);
    const auto name = juce::Font (0.5f * H * s, juce::Font::plain).withExtraKerningFactor (0.06f);
    const auto by = juce::Font (0.34f * H * s, juce::Font::plain);
    const juce::String dot (juce::CharPointer_UTF8 (" \xc2\xb7 "));
    WatermarkPieces w;
    w.pieces[0] = makePiece ("VYR", brand);
    w.pieces[1] = makePiece (dot, brand);
    w.pieces[2] = makePiece ("Tolvaren", name);
    w.pieces[3] = makePiece (dot, brand);
    w.pieces[4] = makePiece ("by", by);
    w.pieces[5] = makePiece ("Kaldun", brand);
    for (const auto& p : w.pieces)
        w.totalWidth += p.bounds.getWidth();
    w.totalWidth += 0.62f * H * s;
    return w;
}
}

HardwareArt::HardwareArt()
{
    tube12ax7 = keyTubeStudioBlack (decodeOrBlank (VyrArt::tube_12ax7_png, VyrArt::tube_12ax7_pngSize), 0.055f, 0.1f);
    if (tube12ax7.isValid())
        applyGlassSilhouette (tube12ax7);
    tube6u8a = keyTubeStudioBlack (decodeOrBlank (VyrArt::tube_6u8a_png, VyrArt::tube_6u8a_pngSize), 0.016f, 0.07f);

    const std::pair<const char*, int> tapes[] = {
        { VyrArt::tape_studera800_png, VyrArt::tape_studera800_pngSize }, { VyrArt::tape_ampexatr102_png, VyrArt::tape_ampexatr102_pngSize },
        { VyrArt::tape_studera810_png, VyrArt::tape_studera810_pngSize }, { VyrArt::tape_otarimtr90_png, VyrArt::tape_otarimtr90_pngSize },
        { VyrArt::tape_mmm79_png, VyrArt::tape_mmm79_pngSize },           { VyrArt::tape_nagraivs_png, VyrArt::tape_nagraivs_pngSize },
        { VyrArt::tape_tascammsr_png, VyrArt::tape_tascammsr_pngSize },
    };
    for (int i = 0; i < 7; ++i)
        tapeMachines[i] = decodeOrBlank (tapes[i].first, tapes[i].second);

    appIcon = decodeOrBlank (VyrArt::VyrIcon1024_png, VyrArt::VyrIcon1024_pngSize);
    stageWell = decodeOrBlank (VyrArt::quarn_stage_well_png, VyrArt::quarn_stage_well_pngSize);
    meterPlate = decodeOrBlank (VyrArt::quarn_meter_plate_png, VyrArt::quarn_meter_plate_pngSize);
    headerWatermark = loadSilhouetteMask (VyrArt::header_watermark_png, VyrArt::header_watermark_pngSize);
    effectKnob = decodeOrBlank (VyrArt::master_effect_knob_png, VyrArt::master_effect_knob_pngSize);
}

HardwareArt::~HardwareArt() = default;

juce::SharedResourcePointer<HardwareArt> HardwareArt::get()
{
    return {};
}

juce::Image HardwareArt::decodeOrBlank (const void* data, int numBytes)
{
    juce::Image img;
    if (data != nullptr && numBytes > 0)
        img = juce::ImageFileFormat::loadFrom (data, (size_t) numBytes);
    if (! img.isValid())
        img = juce::Image (juce::Image::ARGB, 8, 8, true);
    return img;
}

juce::Image HardwareArt::keyTubeStudioBlack (const juce::Image& source, float blackLevel, float ramp)
{
    if (source.isNull())
        return {};
    auto img = source.convertedToFormat (juce::Image::ARGB);
    img.duplicateIfShared();
    const float k = 1.0f / juce::jmax (ramp, 0.001f);
    juce::Image::BitmapData data (img, juce::Image::BitmapData::readWrite);
    for (int y = 0; y < img.getHeight(); ++y)
        for (int x = 0; x < img.getWidth(); ++x)
        {
            const auto c = data.getPixelColour (x, y);
            const float m = (float) juce::jmax (c.getRed(), c.getGreen(), c.getBlue()) / 255.0f;
            const float a = smoothstep01 (juce::jlimit (0.0f, 1.0f, (m - blackLevel) * k));
            if (a <= 0.0f)
                data.setPixelColour (x, y, juce::Colours::transparentBlack);
            else
                data.setPixelColour (x, y, c.withAlpha ((juce::uint8) (a >= 1.0f ? 255 : juce::roundToInt (255.0f * a))));
        }
    return img;
}

void HardwareArt::applyGlassSilhouette (juce::Image& image)
{
    if (! image.isValid())
        return;
    image.duplicateIfShared();
    const int w = image.getWidth(), h = image.getHeight();
    juce::Image::BitmapData data (image, juce::Image::BitmapData::readWrite);
    for (int y = 0; y < h; ++y)
    {
        const float f = ((float) y + 0.5f) / (float) h;
        float J = 0.2f;
        if (f < 0.2f)
            J = 0.06f + 0.14f * f / 0.2f;
        else if (f > 0.78f)
            J = 0.2f - 0.09f * (f - 0.78f) / 0.22f;
        const float d = juce::jmax (J * (float) w, 1.0f);
        for (int x = 0; x < w; ++x)
        {
            const float u = std::abs ((float) x + 0.5f - (float) w * 0.5f) / d;
            if (u <= 0.42f)
                continue;
            if (u >= 1.0f)
            {
                data.setPixelColour (x, y, juce::Colours::transparentBlack);
                continue;
            }
            const float v = smoothstep01 ((1.0f - u) / 0.58f);
            if (v >= 1.0f)
                continue;
            const auto c = data.getPixelColour (x, y);
            data.setPixelColour (x, y, c.withAlpha (c.getFloatAlpha() * v));
        }
    }
}

juce::Image HardwareArt::loadSilhouetteMask (const void* bytes, int numBytes)
{
    auto img = decodeOrBlank (bytes, numBytes).convertedToFormat (juce::Image::ARGB);
    img.duplicateIfShared();
    float aLo = 1.0f, aHi = 0.0f, lLo = 1.0f, lHi = 0.0f;
    {
        const juce::Image::BitmapData data (img, juce::Image::BitmapData::readOnly);
        for (int y = 0; y < img.getHeight(); ++y)
            for (int x = 0; x < img.getWidth(); ++x)
            {
                const auto c = data.getPixelColour (x, y);
                const float a = c.getFloatAlpha();
                const float L = 0.299f * c.getFloatRed() + 0.587f * c.getFloatGreen() + 0.114f * c.getFloatBlue();
                aLo = juce::jmin (aLo, a), aHi = juce::jmax (aHi, a);
                lLo = juce::jmin (lLo, L), lHi = juce::jmax (lHi, L);
            }
    }
    const bool alphaShape = aHi - aLo > 0.02f;
    if (! alphaShape && lHi - lLo <= 0.04f)
        return {};

    juce::Image::BitmapData data (img, juce::Image::BitmapData::readWrite);
    for (int y = 0; y < img.getHeight(); ++y)
        for (int x = 0; x < img.getWidth(); ++x)
        {
            const auto c = data.getPixelColour (x, y);
            const float L = 0.299f * c.getFloatRed() + 0.587f * c.getFloatGreen() + 0.114f * c.getFloatBlue();
            data.setPixelColour (x, y, juce::Colours::white.withAlpha (alphaShape ? c.getFloatAlpha() : 1.0f - L));
        }
    return img;
}

//==============================================================================
juce::Font HardwareArt::brandWordmarkFont (float height, float kerning)
{
    juce::Font f ("Arial Black", height, juce::Font::plain);
    if (! f.getTypefaceName().containsIgnoreCase ("Black"))
        f = juce::Font (height, juce::Font::bold);
    return f.withExtraKerningFactor (kerning);
}

HardwareArt::WatermarkLayout HardwareArt::layoutEngravedWatermark (juce::Rectangle<float> area)
{
    WatermarkLayout l;
    if (area.getWidth() < 80.0f || area.getHeight() < 36.0f)
        return l;
    l.drawn = true;
    const float m = juce::jmax (0.045f * area.getWidth(), 28.0f);
    const float W = juce::jmax (area.getWidth() - 2.0f * m, 0.0f);
    const float innerH = juce::jmax (area.getHeight() - 16.0f, 0.0f);
    const float B = 0.7f * innerH;
    l.box = { area.getX() + m, area.getY() + 8.0f + (innerH - B) / 2.0f, W, B };
    l.baseHeight = juce::jlimit (16.0f, 54.0f, 0.54f * B);

    float s = 1.0f;
    for (int i = 0; i < 10; ++i)
    {
        const float total = makeWatermarkPieces (l.baseHeight, s).totalWidth;
        if (total <= W || s < 0.28f)
            break;
        s *= 0.97f * W / juce::jmax (total, 1.0f);
        ++l.shrinks;
    }
    l.scale = s;
    return l;
}

void HardwareArt::paintEngravedWatermark (juce::Graphics& g, juce::Rectangle<float> area)
{
    const auto l = layoutEngravedWatermark (area);
    if (! l.drawn)
        return;
    const float H = l.baseHeight, s = l.scale;
    auto w = makeWatermarkPieces (H, s);

    // Side by side on one baseline, a gap before the maker's name, centres on a common line.
    float x = 0.0f;
    for (int i = 0; i < 6; ++i)
    {
        auto& p = w.pieces[i];
        if (i == 5)
            x += 0.62f * H * s;
        const float dx = x;
        p.glyphs.moveRangeOfGlyphs (0, -1, dx, 0.0f);
        p.bounds = p.bounds.translated (dx, 0.0f);
        x = p.bounds.getRight();
    }
    const float O = 0.5f * (w.pieces[0].bounds.getCentreY() + w.pieces[5].bounds.getCentreY());
    juce::Rectangle<float> U;
    for (auto& p : w.pieces)
    {
        const float dy = O - p.bounds.getCentreY();
        p.glyphs.moveRangeOfGlyphs (0, -1, 0.0f, dy);
        p.bounds = p.bounds.translated (0.0f, dy);
        U = U.isEmpty() ? p.bounds : U.getUnion (p.bounds);
    }
    const auto offset = l.box.getCentre() - U.getCentre();
    const float e = juce::jlimit (1.0f, 2.2f, s * H * 0.022f);

    const std::pair<juce::Colour, juce::Point<float>> passes[] = {
        { juce::Colour (0x7a000000), { -e, -e } },
        { juce::Colour (0x14ffffff), { e, e } },
        { juce::Colour (0x2ebfc8d5), { 0.0f, 0.0f } },
    };
    for (const auto& [colour, shift] : passes)
    {
        g.setColour (colour);
        for (const auto& p : w.pieces)
            p.glyphs.draw (g, juce::AffineTransform::translation (offset.x + shift.x, offset.y + shift.y));
    }
}
