#include "Ui/Shell/DesktopMeterPanels.h"

#include "Core/PluginProcessor.h"
#include "Ui/Controls/GhostButton.h"
#include "Ui/Foundation/VyrLucide.h"
#include "Ui/Foundation/VyrPainting.h"
#include "Ui/Foundation/VyrTheme.h"

namespace
{
juce::Colour whiteA (int a) { return juce::Colours::white.withAlpha ((juce::uint8) a); }
juce::Colour blackA (int a) { return juce::Colours::black.withAlpha ((juce::uint8) a); }
}

//==============================================================================
VuRackPanel::VuRackPanel (VyrAudioProcessor& p)
    : processor (p), levelToken (p.levelReaders), vuMeter (&p.meters.inRms[0], &p.meters.inRms[1], &p.meters.outRms[0], &p.meters.outRms[1])
{
    addAndMakeVisible (vuMeter);
    infoButton.setPanel ("vu", juce::Colour (0xfffbbf24));
    addAndMakeVisible (infoButton);
}

VuRackPanel::~VuRackPanel() = default;

void VuRackPanel::resized()
{
    const int W = getWidth(), H = getHeight();
    infoButton.setBounds (W - 28, 10, 18, 18);
    vuMeter.setBounds (12, 38, juce::jmax (W - 24, 0), H - 20 > 28 ? H - 48 : 0);
}

void VuRackPanel::paint (juce::Graphics& g)
{
    vuMeter.theme = processor.themeIndex.load();
    const auto& theme = vyrTheme (vuMeter.theme);
    vyrPaintPanelChrome (g, { 1.0f, 1.0f, (float) juce::jmax (getWidth() - 2, 0), (float) juce::jmax (getHeight() - 2, 0) }, theme, false);
    g.setColour (theme.textColour());
    g.setFont (juce::Font (12.0f, juce::Font::bold).withExtraKerningFactor (0.14f));
    g.drawText ("VU METER", 16, 10, 160, 16, juce::Justification::centredLeft, true);
}

//==============================================================================
int MasterLevelPanel::identityPad (int themeId) noexcept
{
    const int pads[6] = { 20, 12, 18, 12, 12, 24 };
    return themeId >= 0 && themeId <= 5 ? pads[themeId] : 12;
}

int MasterLevelPanel::titleX (int themeId) noexcept
{
    const int xs[6] = { 24, 16, 22, 16, 16, 28 };
    return themeId >= 0 && themeId <= 5 ? xs[themeId] : 16;
}

MasterLevelPanel::MasterLevelPanel (VyrAudioProcessor& p)
    : processor (p), meterView (p), inFaderL (p.apvts, "inputGainL", juce::Colour (0xff22d3ee)),
      inFaderR (p.apvts, "inputGainR", juce::Colour (0xff22d3ee)), outFaderL (p.apvts, "outputGainL", juce::Colour (0xff22d3ee)),
      outFaderR (p.apvts, "outputGainR", juce::Colour (0xff22d3ee))
{
    inFaderL.caption = "IN";
    inFaderR.caption = "R";
    outFaderL.caption = "OUT";
    outFaderR.caption = "R";
    addAndMakeVisible (meterView);
    for (auto* f : { &inFaderL, &inFaderR, &outFaderL, &outFaderR })
        addAndMakeVisible (*f);
    for (auto* b : { &horizontalButton, &verticalButton, &detailButton, &linkButton })
    {
        ghostBtn (*b);
        addAndMakeVisible (*b);
    }
    linkButton.setTooltip (isLinked() ? juce::String::fromUTF8 ("L/R linked \xe2\x80\x94 click to unlink (independent L & R faders)")
                                      : juce::String::fromUTF8 ("L/R independent \xe2\x80\x94 click to link (R follows L)"));

    horizontalButton.onClick = [this]
    {
        meterView.vertical = false;
        resized();
        repaint();
    };
    verticalButton.onClick = [this]
    {
        meterView.vertical = true;
        resized();
        repaint();
    };
    detailButton.onClick = [this]
    {
        meterView.moreDetail = ! meterView.moreDetail;
        resized();
        repaint();
    };
    linkButton.onClick = [this]
    {
        vyrSetLinkLR (processor.apvts, ! isLinked());
        resized();
        repaint();
    };

    startTimer (83);
    infoButton.setPanel ("level", juce::Colour (0xff22d3ee));
    addAndMakeVisible (infoButton);
}

MasterLevelPanel::~MasterLevelPanel() { stopTimer(); }

bool MasterLevelPanel::isLinked() const
{
    if (auto* v = processor.apvts.getRawParameterValue ("linkLR"))
        return v->load() >= 0.5f;
    return true;
}

void MasterLevelPanel::timerCallback()
{
    const int v = processor.stateVersion.load();
    const int linked = isLinked() ? 1 : 0;
    if (v == lastStateVersion && linked == lastLinked)
        return;
    lastStateVersion = v;
    lastLinked = linked;
    resized();
    repaint();
}

void MasterLevelPanel::resized()
{
    const int W = getWidth(), H = getHeight();
    const int pad = identityPad (processor.themeIndex.load());
    const int iw = juce::jmax (W - 2 * pad, 0), right = pad + iw;
    const int h0 = juce::jmax (H - 24, 0), hh = juce::jmin (h0, 24);

    const int dw = juce::jmin (iw, 92);
    detailButton.setBounds (right - dw + 2, 14, juce::jmax (dw, 4) - 4, juce::jmax (hh, 4) - 4);
    const int rest = iw - dw;
    const int vw = juce::jmin (rest, 28);
    verticalButton.setBounds (pad + 1 + rest - vw, 13, juce::jmax (vw, 2) - 2, juce::jmax (hh, 2) - 2);
    const int rest2 = rest - vw;
    const int hw = juce::jmin (rest2, 28);
    horizontalButton.setBounds (pad + 1 + rest2 - hw, 13, juce::jmax (hw, 2) - 2, juce::jmax (hh, 2) - 2);
    infoButton.setBounds (horizontalButton.getX() - 26, 10, 18, 18);

    const int gap = juce::jmin (h0 - hh, 4);
    const int top = hh + gap + 12;
    const int remH = h0 - hh - gap;

    const bool linked = isLinked();
    lastLinked = linked ? 1 : 0;
    linkButton.setTooltip (linked ? juce::String::fromUTF8 ("L/R linked \xe2\x80\x94 click to unlink (independent L & R faders)")
                                  : juce::String::fromUTF8 ("L/R independent \xe2\x80\x94 click to link (R follows L)"));
    const int colW = juce::jmin (iw, linked ? 72 : 96);
    const int colX = right - colW;

    const int lh = juce::jmin (remH, 28);
    linkButton.setBounds (colX + 1, top + 1 + remH - lh, juce::jmax (colW, 2) - 2, juce::jmax (lh, 2) - 2);
    const int fh = (remH - lh) - juce::jmin (remH - lh, 4);
    const int half = colW / 2;

    for (auto* f : { &inFaderL, &inFaderR, &outFaderL, &outFaderR })
        f->compact = ! linked;
    inFaderL.caption = linked ? "IN" : "L";
    outFaderL.caption = linked ? "OUT" : "L";
    inFaderR.setVisible (! linked);
    outFaderR.setVisible (! linked);
    if (linked)
    {
        inFaderL.setBounds (colX + 2, top + 2, juce::jmax (half, 4) - 4, juce::jmax (fh - 4, 0));
        outFaderL.setBounds (colX + half + 2, top + 2, juce::jmax (colW - half, 4) - 4, juce::jmax (fh - 4, 0));
    }
    else
    {
        const int q = half / 2, r2 = colW - half, q2 = r2 / 2, fy = top + 1, fhh = juce::jmax (fh - 2, 0);
        inFaderL.setBounds (colX + 1, fy, juce::jmax (q, 2) - 2, fhh);
        inFaderR.setBounds (colX + 1 + q, fy, juce::jmax (half - q, 2) - 2, fhh);
        outFaderL.setBounds (colX + half + 1, fy, juce::jmax (q2, 2) - 2, fhh);
        outFaderR.setBounds (colX + half + 1 + q2, fy, juce::jmax (r2 - q2 - 2, 0), fhh);
    }
    for (auto* f : { &inFaderL, &inFaderR, &outFaderL, &outFaderR })
        f->repaint();

    meterView.setBounds (pad + 2, top, juce::jmax (iw - colW - 4, 0), juce::jmax (remH, 0));
}

void MasterLevelPanel::paintLayoutToggle (juce::Graphics& g, const juce::Button& b, bool on, const juce::String& label) const
{
    const int themeId = processor.themeIndex.load();
    const bool light = vyrTheme (themeId).light;
    const auto ink = vyrInk (vyrClampTheme (themeId));
    const auto r = b.getBounds().toFloat();
    juce::Colour text;
    if (light)
    {
        g.setColour (on ? juce::Colour (0xff2a2e35) : blackA (0x14));
        g.fillRoundedRectangle (r, 4.0f);
        g.setColour (on ? whiteA (0x26) : ink.withAlpha ((juce::uint8) 0x59));
        g.drawRoundedRectangle (r, 4.0f, on ? 0.7f : 1.0f);
        text = on ? whiteA (0xeb) : ink;
    }
    else if (on)
    {
        const auto fill = juce::Colour::fromHSV (0.522059f, 0.7f, 0.7f, 1.0f);
        g.setColour (fill);
        g.fillRoundedRectangle (r, 4.0f);
        text = juce::Colour::fromHSV (fill.getHue(), juce::jmin (0.28f * fill.getSaturation(), 0.2f), 0.92f, 1.0f);
    }
    else
    {
        g.setColour (whiteA (0x0d));
        g.fillRoundedRectangle (r, 4.0f);
        text = whiteA (0x99);
    }
    g.setColour (text);
    g.setFont (juce::Font (11.0f, juce::Font::bold));
    g.drawText (label, b.getBounds(), juce::Justification::centred, false);
}

void MasterLevelPanel::paint (juce::Graphics& g)
{
    const int themeId = processor.themeIndex.load();
    const auto& theme = vyrTheme (themeId);
    const bool light = theme.light;
    const auto ink = vyrInk (vyrClampTheme (themeId));

    vyrPaintPanelChrome (g, { 1.0f, 1.0f, (float) juce::jmax (getWidth() - 2, 0), (float) juce::jmax (getHeight() - 2, 0) }, theme, true);
    g.setColour (theme.textColour());
    g.setFont (juce::Font (12.0f, juce::Font::bold).withExtraKerningFactor (0.14f));
    g.drawText ("MASTER LEVEL METER", titleX (themeId), 10, 240, 16, juce::Justification::centredLeft, true);

    const bool vertical = meterView.vertical, moreDetail = meterView.moreDetail;
    paintLayoutToggle (g, horizontalButton, ! vertical, "H");
    paintLayoutToggle (g, verticalButton, vertical, "V");

    {
        const auto r = detailButton.getBounds().toFloat();
        juce::Colour fill, outline, text;
        float thickness = 1.0f;
        if (light)
        {
            fill = moreDetail ? juce::Colour (0xff2a2e35) : blackA (0x14);
            outline = moreDetail ? whiteA (0x26) : ink.withAlpha ((juce::uint8) 0x59);
            thickness = moreDetail ? 0.7f : 1.0f;
            text = moreDetail ? whiteA (0xeb) : ink;
        }
        else
        {
            fill = moreDetail ? juce::Colour (0x338b5cf6) : whiteA (0x0d);
            outline = moreDetail ? juce::Colour (0xffa78bfa) : whiteA (0x1a);
            text = moreDetail ? juce::Colour (0xffddd6fe) : whiteA (0x99);
        }
        g.setColour (fill);
        g.fillRoundedRectangle (r, 6.0f);
        g.setColour (outline);
        g.drawRoundedRectangle (r, 6.0f, thickness);
        g.setColour (text);
        g.setFont (juce::Font (11.0f));
        g.drawText (moreDetail ? "Less Detail" : "More Detail", detailButton.getBounds(), juce::Justification::centred, false);
    }

    vyrLucide::paintLinkChip (g, linkButton.getBounds().toFloat(), isLinked(), light);

    const auto in = inFaderL.getBounds(), out = outFaderL.getBounds();
    g.setColour (light ? ink : juce::Colour (0x8067e8f9));
    g.setFont (juce::Font (8.0f).withExtraKerningFactor (0.16f));
    g.drawText ("I / O", in.getX(), juce::jmax (in.getY(), 50) - 14, out.getRight() - in.getX(), 12, juce::Justification::centred, false);
}
