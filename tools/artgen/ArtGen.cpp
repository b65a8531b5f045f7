// Draws the stand-in images of the hardware art (tubes, tape machines, knob, castle, icon, stage
// backdrop, meter plate, watermark) at the pixel sizes and formats the art store expects, and
// writes them into the folder given as the first argument (Assets/Art). Deterministic: the same
// program writes the same pictures.
//
// What the art routines rely on:
// - tube pictures sit on pure black (0,0,0), so the keying makes the backdrop transparent, and the
//   12AX7 stays inside the glass silhouette the store cuts (half-width 0.2 of the width);
// - the knob's face has a radius of 356 px and its knurled ring reaches 426 px, centred;
// - the watermark is black line art on a transparent background (the mask reads its alpha).
#include <juce_gui_basics/juce_gui_basics.h>

#include <cmath>

namespace
{
using juce::Colour;
using juce::ColourGradient;
using juce::Graphics;
using juce::Image;

bool writeImage (const Image& img, const juce::File& file, bool jpeg)
{
    file.deleteFile();
    juce::FileOutputStream out (file);
    if (! out.openedOk())
        return false;
    if (jpeg)
    {
        juce::JPEGImageFormat f;
        f.setQuality (0.82f);
        return f.writeImageToStream (img, out);
    }
    return juce::PNGImageFormat().writeImageToStream (img, out);
}

//==============================================================================
void drawTube (Graphics& g, float W, bool twelveAx7)
{
    const float cx = W * 0.5f;
    const float halfW = twelveAx7 ? 0.15f * W : 0.17f * W;
    const float top = twelveAx7 ? 0.07f * W : 0.1f * W;
    const float baseY = 0.84f * W;

    // Glass envelope: a dim, slightly blue-grey body with a domed top.
    juce::Path glass;
    glass.startNewSubPath (cx - halfW, baseY);
    glass.lineTo (cx - halfW, top + halfW * 0.9f);
    glass.quadraticTo (cx - halfW, top, cx, top);
    glass.quadraticTo (cx + halfW, top, cx + halfW, top + halfW * 0.9f);
    glass.lineTo (cx + halfW, baseY);
    glass.closeSubPath();
    g.setGradientFill (ColourGradient (Colour (0xff3c444c), cx - halfW, 0, Colour (0xff2c3238), cx + halfW, 0, false));
    g.fillPath (glass);
    // Glass highlights.
    g.setColour (Colour (0x50ffffff));
    g.fillRoundedRectangle (cx - halfW * 0.82f, top + halfW * 0.6f, halfW * 0.12f, baseY - top - halfW * 0.9f, halfW * 0.06f);
    g.setColour (Colour (0x28ffffff));
    g.fillRoundedRectangle (cx + halfW * 0.6f, top + halfW * 0.8f, halfW * 0.08f, baseY - top - halfW * 1.2f, halfW * 0.04f);
    // Getter flash at the top.
    g.setGradientFill (ColourGradient (Colour (0xffb8bcc4), cx, top, Colour (0xff4a5058), cx, top + halfW * 0.7f, false));
    g.fillEllipse (cx - halfW * 0.7f, top + halfW * 0.08f, halfW * 1.4f, halfW * 0.6f);

    // Plates: one (6U8A: two different) grey boxes with a slot, mica spacers above and below.
    const int plates = twelveAx7 ? 2 : 2;
    const float plateTop = top + halfW * 1.3f, plateBottom = baseY - halfW * 0.9f;
    for (int i = 0; i < plates; ++i)
    {
        const float pw = twelveAx7 ? halfW * 0.62f : (i == 0 ? halfW * 0.8f : halfW * 0.5f);
        const float px = i == 0 ? cx - halfW * 0.86f : cx + halfW * 0.86f - pw;
        const float pt = twelveAx7 ? plateTop : plateTop + (i == 0 ? 0.0f : halfW * 0.5f);
        g.setGradientFill (ColourGradient (Colour (0xff8a9096), px, 0, Colour (0xff50565c), px + pw, 0, false));
        g.fillRect (px, pt, pw, plateBottom - pt);
        g.setColour (Colour (0xff30343a));
        g.fillRect (px + pw * 0.4f, pt + 8.0f, pw * 0.2f, plateBottom - pt - 16.0f);
        // Heater glow seen through the slot.
        g.setGradientFill (ColourGradient (Colour (0xffffb060), px + pw * 0.5f, (pt + plateBottom) * 0.5f,
                                           Colour (0x00ff6010), px + pw * 0.5f + pw * 0.4f, (pt + plateBottom) * 0.5f, true));
        g.fillEllipse (px + pw * 0.1f, pt + (plateBottom - pt) * 0.3f, pw * 0.8f, (plateBottom - pt) * 0.4f);
    }
    g.setColour (Colour (0xffd8d4c8));
    g.fillRect (cx - halfW * 0.92f, plateTop - 10.0f, halfW * 1.84f, 8.0f);
    g.fillRect (cx - halfW * 0.92f, plateBottom + 2.0f, halfW * 1.84f, 8.0f);

    // Base and pins.
    g.setGradientFill (ColourGradient (Colour (0xff4a4640), cx - halfW, baseY, Colour (0xff2a2824), cx + halfW, baseY, false));
    g.fillRoundedRectangle (cx - halfW * 1.02f, baseY, halfW * 2.04f, 0.05f * W, 8.0f);
    g.setColour (Colour (0xff9a9ca0));
    for (int i = 0; i < 7; ++i)
        g.fillRect (cx - halfW * 0.8f + (float) i * halfW * 0.27f, baseY + 0.05f * W, 5.0f, 0.06f * W);
}

Image tubeImage (bool twelveAx7)
{
    Image img (Image::RGB, 1024, 1024, true); // cleared to pure black
    Graphics g (img);
    drawTube (g, 1024.0f, twelveAx7);
    return img;
}

//==============================================================================
struct TapeStyle
{
    const char* name;
    juce::uint32 body, panel;
    bool border;
    int reels;
};

Image tapeImage (const TapeStyle& s)
{
    Image img (Image::RGB, 1024, 1024, true);
    Graphics g (img);
    // Dim studio: dark room, a warm floor light.
    g.setGradientFill (ColourGradient (Colour (0xff1a1612), 512, 200, Colour (0xff07060a), 512, 1024, false));
    g.fillAll();
    g.setGradientFill (ColourGradient (Colour (0x30ffc070), 512, 980, Colour (0x00ffc070), 512, 600, true));
    g.fillRect (0, 600, 1024, 424);

    // Cabinet.
    const juce::Rectangle<float> cab (170, 150, 684, 760);
    g.setGradientFill (ColourGradient (Colour (s.body).brighter (0.15f), cab.getX(), cab.getY(), Colour (s.body).darker (0.4f), cab.getRight(), cab.getBottom(), false));
    g.fillRoundedRectangle (cab, 10.0f);
    // Deck plate with reels.
    const juce::Rectangle<float> deck (190, 170, 644, 400);
    g.setColour (Colour (s.panel));
    g.fillRoundedRectangle (deck, 6.0f);
    for (int i = 0; i < s.reels; ++i)
    {
        const float rx = s.reels == 1 ? 512.0f : (i == 0 ? 340.0f : 684.0f);
        const float ry = 340.0f, rr = 130.0f;
        g.setGradientFill (ColourGradient (Colour (0xffc8ccd0), rx - rr, ry - rr, Colour (0xff606468), rx + rr, ry + rr, false));
        g.fillEllipse (rx - rr, ry - rr, 2 * rr, 2 * rr);
        g.setColour (Colour (0xff3a2a1c));
        g.fillEllipse (rx - rr * 0.8f, ry - rr * 0.8f, rr * 1.6f, rr * 1.6f);
        g.setColour (Colour (0xffb0b4b8));
        for (int k = 0; k < 3; ++k)
        {
            const float a = juce::MathConstants<float>::twoPi * (float) k / 3.0f + 0.3f;
            juce::Path spoke;
            spoke.addRectangle (-8, -rr * 0.78f, 16, rr * 0.78f);
            g.fillPath (spoke, juce::AffineTransform::rotation (a).translated (rx, ry));
        }
        g.setColour (Colour (0xff202226));
        g.fillEllipse (rx - 18, ry - 18, 36, 36);
    }
    // Head block and meters.
    g.setColour (Colour (0xff2a2c30));
    g.fillRoundedRectangle (440, 500, 144, 60, 6);
    for (int i = 0; i < 2; ++i)
    {
        const juce::Rectangle<float> m (250.0f + (float) i * 300.0f, 610, 220, 110);
        g.setColour (Colour (0xffe8dcb0));
        g.fillRoundedRectangle (m, 4);
        g.setColour (Colour (0xff202020));
        g.drawLine (m.getCentreX(), m.getBottom() - 10, m.getCentreX() - 40, m.getY() + 25, 3.0f);
    }
    // Transport keys and the model plate.
    for (int i = 0; i < 6; ++i)
    {
        g.setColour (i == 3 ? Colour (0xffc03028) : Colour (0xffd0d0cc));
        g.fillRoundedRectangle (260.0f + (float) i * 86.0f, 760, 64, 36, 4);
    }
    g.setColour (Colour (0xffe8e8e0));
    g.setFont (juce::Font (34.0f, juce::Font::bold));
    g.drawText (s.name, juce::Rectangle<float> (190, 830, 644, 50), juce::Justification::centred, false);

    if (s.border)
    {
        g.setColour (Colour (0xfff4f4f0));
        g.drawRect (0, 0, 1024, 1024, 6);
    }
    return img;
}

//==============================================================================
Image knobImage()
{
    Image img (Image::RGB, 1024, 1024, true);
    Graphics g (img);
    const float c = 512.0f;
    // Knurled ring 356..426 px.
    g.setColour (Colour (0xff6a6e74));
    g.fillEllipse (c - 426, c - 426, 852, 852);
    for (int i = 0; i < 180; ++i)
    {
        const float a = juce::MathConstants<float>::twoPi * (float) i / 180.0f;
        g.setColour ((i & 1) ? Colour (0xffb4b8be) : Colour (0xff3a3e44));
        g.drawLine (c + 360 * std::cos (a), c + 360 * std::sin (a), c + 424 * std::cos (a), c + 424 * std::sin (a), 6.0f);
    }
    // Brushed face to 356 px.
    g.setGradientFill (ColourGradient (Colour (0xffe6e8ec), c - 150, c - 200, Colour (0xff7a8088), c + 120, c + 260, true));
    g.fillEllipse (c - 356, c - 356, 712, 712);
    for (int i = 0; i < 720; ++i)
    {
        const float a = juce::MathConstants<float>::twoPi * (float) i / 720.0f;
        g.setColour (Colour (0xff000000).withAlpha (0.04f + 0.1f * std::abs (std::sin (2.0f * a + 0.55f))));
        g.drawLine (c, c, c + 356 * std::cos (a), c + 356 * std::sin (a), 1.0f);
    }
    // Dark dished centre and the white dot.
    g.setGradientFill (ColourGradient (Colour (0xff2a2e34), c, c - 60, Colour (0xff0e1014), c, c + 190, true));
    g.fillEllipse (c - 190, c - 190, 380, 380);
    g.setColour (Colour (0xfff4f4f4));
    g.fillEllipse (c - 16, c - 300, 32, 32);
    return img;
}

//==============================================================================
juce::Path castlePath (float W)
{
    // Battlements, two towers and a gate, in a W x W box.
    juce::Path p;
    const float u = W / 32.0f;
    p.startNewSubPath (4 * u, 28 * u);
    p.lineTo (4 * u, 10 * u);
    for (float x = 4; x < 10; x += 2)
    {
        p.lineTo (x * u, 8 * u);
        p.lineTo ((x + 1) * u, 8 * u);
        p.lineTo ((x + 1) * u, 10 * u);
        p.lineTo ((x + 2) * u, 10 * u);
    }
    p.lineTo (10 * u, 16 * u);
    for (float x = 10; x < 22; x += 2)
    {
        p.lineTo (x * u, 14 * u);
        p.lineTo ((x + 1) * u, 14 * u);
        p.lineTo ((x + 1) * u, 16 * u);
        p.lineTo ((x + 2) * u, 16 * u);
    }
    p.lineTo (22 * u, 10 * u);
    for (float x = 22; x < 28; x += 2)
    {
        p.lineTo (x * u, 8 * u);
        p.lineTo ((x + 1) * u, 8 * u);
        p.lineTo ((x + 1) * u, 10 * u);
        p.lineTo ((x + 2) * u, 10 * u);
    }
    p.lineTo (28 * u, 28 * u);
    p.lineTo (19 * u, 28 * u);
    p.lineTo (19 * u, 22 * u);
    p.quadraticTo (16 * u, 18 * u, 13 * u, 22 * u);
    p.lineTo (13 * u, 28 * u);
    p.closeSubPath();
    return p;
}

Image castleImage()
{
    Image img (Image::ARGB, 2048, 2048, true);
    Graphics g (img);
    g.setColour (juce::Colours::white);
    g.fillPath (castlePath (2048.0f));
    return img;
}

Image iconImage()
{
    Image img (Image::ARGB, 1024, 1024, true);
    Graphics g (img);
    const juce::Rectangle<float> r (40, 40, 944, 944);
    g.setGradientFill (ColourGradient (Colour (0xff1d4ed8), r.getX(), r.getY(), Colour (0xff14b8a6), r.getRight(), r.getBottom(), false));
    g.fillRoundedRectangle (r, 200.0f);
    g.setColour (Colour (0x66ffffff));
    g.fillPath (castlePath (1024.0f), juce::AffineTransform::scale (0.7f, 0.5f, 512, 0).translated (0, 60));
    g.setColour (juce::Colours::white);
    g.setFont (juce::Font (300.0f, juce::Font::bold));
    g.drawText ("VYR", juce::Rectangle<float> (40, 520, 944, 360), juce::Justification::centred, false);
    return img;
}

Image stageWellImage()
{
    const int W = 2336, H = 668;
    Image img (Image::RGB, W, H, true);
    Graphics g (img);
    g.setGradientFill (ColourGradient (Colour (0xff141c2e), 0, 0, Colour (0xff0a0e18), 0, (float) H, false));
    g.fillAll();
    // Horizontal brushing: a few fixed-seed streaks.
    juce::Random rng (1234);
    for (int y = 0; y < H; y += 2)
    {
        g.setColour (Colour (0xffffffff).withAlpha (0.01f + 0.02f * rng.nextFloat()));
        g.fillRect (0, y, W, 1);
    }
    // Haze: teal left, amber right.
    g.setGradientFill (ColourGradient (Colour (0x3014b8a6), W * 0.25f, H * 0.5f, Colour (0x0014b8a6), W * 0.25f + 700, H * 0.5f, true));
    g.fillAll();
    g.setGradientFill (ColourGradient (Colour (0x28f59e0b), W * 0.78f, H * 0.55f, Colour (0x00f59e0b), W * 0.78f + 600, H * 0.55f, true));
    g.fillAll();
    // Faint stars.
    for (int i = 0; i < 140; ++i)
    {
        const float x = rng.nextFloat() * W, y = rng.nextFloat() * H, s = 1.0f + 2.0f * rng.nextFloat();
        g.setColour (Colour (0xffffffff).withAlpha (0.15f + 0.35f * rng.nextFloat()));
        g.fillEllipse (x, y, s, s);
    }
    g.setColour (Colour (0x40a0b4d0));
    g.drawRoundedRectangle (6, 6, W - 12, H - 12, 28.0f, 3.0f);
    return img;
}

Image meterPlateImage()
{
    const int W = 563, H = 1000;
    Image img (Image::RGB, W, H, true);
    Graphics g (img);
    g.setGradientFill (ColourGradient (Colour (0xff3a3d42), 0, 0, Colour (0xff24272b), (float) W, (float) H, false));
    g.fillAll();
    juce::Random rng (77);
    for (int x = 0; x < W; ++x)
    {
        g.setColour ((rng.nextBool() ? Colour (0xffffffff) : Colour (0xff000000)).withAlpha (0.02f + 0.04f * rng.nextFloat()));
        g.fillRect (x, 0, 1, H);
    }
    return img;
}

Image watermarkImage()
{
    Image img (Image::ARGB, 512, 512, true);
    Graphics g (img);
    g.setColour (juce::Colours::black);
    const float c = 256.0f;
    for (float r : { 220.0f, 150.0f, 80.0f })
        g.drawEllipse (c - r, c - r, 2 * r, 2 * r, 14.0f);
    // Hollow circle on the outer ring, filled dot on the middle ring.
    const float a1 = -0.8f, a2 = 2.2f;
    const float hx = c + 220 * std::cos (a1), hy = c + 220 * std::sin (a1);
    g.setColour (juce::Colours::transparentBlack);
    g.getInternalContext().setFill (juce::Colours::transparentBlack);
    juce::Image::BitmapData data (img, juce::Image::BitmapData::readWrite);
    for (int y = 0; y < 512; ++y)
        for (int x = 0; x < 512; ++x)
            if (std::hypot ((float) x + 0.5f - hx, (float) y + 0.5f - hy) < 30.0f)
                data.setPixelColour (x, y, juce::Colours::transparentBlack);
    g.setColour (juce::Colours::black);
    g.drawEllipse (hx - 30, hy - 30, 60, 60, 12.0f);
    g.fillEllipse (c + 150 * std::cos (a2) - 26, c + 150 * std::sin (a2) - 26, 52, 52);
    return img;
}
}

int main (int argc, char** argv)
{
    juce::ScopedJuceInitialiser_GUI juce;
    if (argc < 2)
    {
        std::fprintf (stderr, "usage: vyr_artgen <output folder>\n");
        return 2;
    }
    const juce::File dir (juce::File::getCurrentWorkingDirectory().getChildFile (argv[1]));
    dir.createDirectory();

    const TapeStyle tapes[] = {
        { "STUDER A800", 0xff8a8a86, 0xff5a5c60, true, 2 },   { "AMPEX ATR-102", 0xff5a6068, 0xff2e3238, false, 2 },
        { "STUDER A810", 0xff9a9a96, 0xff6a6c70, false, 2 },  { "OTARI MTR-90", 0xff6e6a62, 0xff3a3a3a, false, 2 },
        { "3M M79", 0xff706458, 0xff403a34, false, 2 },       { "NAGRA IV-S", 0xffa8a8a4, 0xff707274, false, 2 },
        { "TASCAM MSR-16", 0xff3c3e44, 0xff26282c, false, 2 },
    };
    const char* tapeFiles[] = { "tape_studera800.png", "tape_ampexatr102.png", "tape_studera810.png", "tape_otarimtr90.png",
                                "tape_mmm79.png", "tape_nagraivs.png", "tape_tascammsr.png" };

    bool ok = writeImage (tubeImage (true), dir.getChildFile ("tube_12ax7.png"), true);
    ok &= writeImage (tubeImage (false), dir.getChildFile ("tube_6u8a.png"), true);
    for (int i = 0; i < 7; ++i)
        ok &= writeImage (tapeImage (tapes[i]), dir.getChildFile (tapeFiles[i]), true);
    ok &= writeImage (knobImage(), dir.getChildFile ("master_effect_knob.png"), true);
    ok &= writeImage (castleImage(), dir.getChildFile ("vyr_castle.png"), false);
    ok &= writeImage (iconImage(), dir.getChildFile ("VyrIcon1024.png"), false);
    ok &= writeImage (stageWellImage(), dir.getChildFile ("quarn_stage_well.png"), false);
    ok &= writeImage (meterPlateImage(), dir.getChildFile ("quarn_meter_plate.png"), false);
    ok &= writeImage (watermarkImage(), dir.getChildFile ("header_watermark.png"), false);
    return ok ? 0 : 1;
}
