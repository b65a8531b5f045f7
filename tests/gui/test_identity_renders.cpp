// One picture per visual identity (page, panel chrome, module housings, every button style, the
// icons and a help card) for review by eye; the README shows them. The assertions check that the
// identity in force reaches every part of the picture.
#include "GuiTestUtil.h"
#include "Ui/Foundation/HardwareArt.h"
#include "Ui/Foundation/VyrInfoButton.h"
#include "Ui/Foundation/VyrInfoOverlay.h"
#include "Ui/Foundation/VyrLucide.h"
#include "Ui/Foundation/VyrPainting.h"

using namespace vyrGui;

namespace
{
struct Showcase : juce::Component, VyrInfoHost
{
    juce::SharedResourcePointer<VyrLookAndFeel> lnf;
    juce::OwnedArray<juce::TextButton> buttons;
    VyrInfoButton info;
    int theme = 0;

    Showcase()
    {
        setLookAndFeel (&lnf.get());
        struct Spec
        {
            const char* text;
            const char* id;
            bool lit;
            juce::uint32 onColour;
        };
        const Spec specs[] = { { "EDM", "", true, 0xff22d3ee }, { "Jazz", "", false, 0xff22d3ee }, { "Loud", "", true, 0xffff6b6b },
                               { "Soft", "", true, 0xfffff3a0 }, { "ON", "", true, 0xff4ade80 }, { "OFF", "", false, 0xff4ade80 },
                               { "", "tc-power", true, 0 }, { "", "tc-power", false, 0 }, { "FIELD", "tc-metal", true, 0 },
                               { "EQ", "tc-metal", false, 0 }, { "A", "tc-tab", true, 0 }, { "B", "tc-tab", false, 0 },
                               { "hidden", "vyr-ghost", true, 0 } };
        for (const auto& s : specs)
        {
            auto* b = buttons.add (new juce::TextButton (s.text));
            b->setComponentID (s.id);
            b->setToggleState (s.lit, juce::dontSendNotification);
            if (s.onColour != 0)
                b->setColour (juce::TextButton::buttonOnColourId, juce::Colour (s.onColour));
            addAndMakeVisible (b);
        }
        info.setPanel ("compressor", juce::Colour (0xff38bdf8));
        addAndMakeVisible (info);
        addInfoOverlayTo (*this);
        setSize (1000, 560);
    }

    ~Showcase() override { setLookAndFeel (nullptr); }

    juce::Rectangle<int> panelArea() const { return { 24, 24, 440, 250 }; }
    juce::Rectangle<int> cardArea() const { return { 490, 0, 510, 560 }; }

    void resized() override
    {
        const int x0 = 44, y0 = 96;
        for (int i = 0; i < buttons.size(); ++i)
            buttons[i]->setBounds (x0 + (i % 4) * 100, y0 + (i / 4) * 40, 88, 28);
        info.setTopLeftPosition (panelArea().getRight() - 30, panelArea().getY() + 12);
        layoutInfoOverlay (cardArea());
    }

    void paint (juce::Graphics& g) override
    {
        vyrFillPageBackground (g, getLocalBounds(), theme);
        const auto& t = vyrTheme (theme);
        vyrPaintPanelChrome (g, panelArea().toFloat(), t, true);
        g.setColour (vyrInk (theme));
        g.setFont (juce::Font (15.0f, juce::Font::bold).withExtraKerningFactor (t.titleKerning));
        g.drawText (juce::String (t.name).toUpperCase(), panelArea().reduced (20, 14).removeFromTop (24), juce::Justification::centredLeft);
        g.setFont (juce::Font (11.0f));
        g.drawText (t.tagline, panelArea().reduced (20, 14).withTrimmedTop (24).removeFromTop (18), juce::Justification::centredLeft);

        const juce::Rectangle<float> housing (24, 296, 210, 120), module (254, 296, 210, 120);
        vyrPaintFxHousing (g, housing, theme, "compressor");
        vyrPaintModuleHousing (g, module, theme, "limiter", juce::Colour (0xff203040), vyrFxColour ("limiter"));
        vyrLucide::drawSlot (g, housing.reduced (70, 30), "compressor", vyrFxColour ("compressor"));
        vyrLucide::drawSlot (g, module.reduced (70, 30), "limiter", vyrFxColour ("limiter"));

        const char* cells[] = { "A", "B", "C" };
        for (int i = 0; i < 3; ++i)
        {
            const juce::Rectangle<float> cell (24.0f + 62.0f * (float) i, 436.0f, 60.0f, 26.0f);
            g.setColour (i == 1 ? t.accentColour().withAlpha (0.6f) : juce::Colour (0x33ffffff));
            vyrFillSegmentCell (g, cell, 8.0f, i, 3);
            g.setColour (vyrInk (theme));
            g.drawText (cells[i], cell, juce::Justification::centred);
        }
        vyrLucide::paintLinkChip (g, { 220, 436, 74, 26 }, true, t.light);
        vyrLucide::paintLinkChip (g, { 300, 436, 74, 26 }, false, t.light);
        vyrLucide::drawLed (g, { 380, 436, 40, 26 }, true, 1.5f);
        vyrLucide::drawLed (g, { 410, 436, 40, 26 }, false, 1.5f);
        const vyrLucide::Painter icons[] = { vyrLucide::drawPlay, vyrLucide::drawPause, vyrLucide::drawSettings, vyrLucide::drawMic,
                                             vyrLucide::drawDownload, vyrLucide::drawWand2, vyrLucide::drawMonitor, vyrLucide::drawSpline };
        for (int i = 0; i < 8; ++i)
            icons[i] (g, { 24.0f + 40.0f * (float) i, 486.0f, 28.0f, 28.0f }, vyrInk (theme));
    }
};
}

TEST (IdentityRenders, EveryIdentityShowsItsPanelsButtonsAndHelpCard)
{
    Showcase s;
    for (int id = 0; id < kNumThemes; ++id)
    {
        SCOPED_TRACE (kThemes[id].key);
        s.theme = id;
        s.lnf->themeId = id;
        s.getInfoOverlay().open ("compressor", vyrTheme (id).accentColour());
        const auto img = render (s);

        // The ghost button leaves the panel as painted; the card sits over its own area only.
        const auto ghost = s.buttons.getLast()->getBounds().getCentre();
        s.buttons.getLast()->setVisible (false);
        const auto without = render (s);
        s.buttons.getLast()->setVisible (true);
        EXPECT_EQ (img.getPixelAt (ghost.x, ghost.y), without.getPixelAt (ghost.x, ghost.y));
        const auto card = s.getInfoOverlay().getCardBounds().translated (s.cardArea().getX(), 0);
        EXPECT_TRUE (colourNear (img.getPixelAt (card.getX() + 30, card.getY() + 120), juce::Colour (0xff0b0e16), 40));

        // Unlit enamel buttons take the light face only on the light identity.
        const auto jazz = s.buttons[1]->getBounds();
        const float faceBrightness = img.getPixelAt (jazz.getCentreX() - 30, jazz.getBottom() - 8).getBrightness();
        if (vyrTheme (id).light)
            EXPECT_GT (faceBrightness, 0.6f);
        else
            EXPECT_LT (faceBrightness, 0.4f);

        savePng (img, "identity-" + juce::String (kThemes[id].key));
    }
}
