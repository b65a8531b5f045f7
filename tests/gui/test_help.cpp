#include "GuiTestUtil.h"
#include "Ui/Foundation/VyrInfoButton.h"
#include "Ui/Foundation/VyrInfoOverlay.h"
#include "Ui/Foundation/VyrPainting.h"

using namespace vyrGui;

namespace
{
const juce::String dash (juce::CharPointer_UTF8 ("\xe2\x80\x94"));
const juce::String middot (juce::CharPointer_UTF8 ("\xc2\xb7"));

// A stand-in editor: a help-card host with one help button per panel.
struct TestEditor : juce::Component, VyrInfoHost
{
    juce::SharedResourcePointer<VyrLookAndFeel> lnf;
    VyrInfoButton button;

    explicit TestEditor (const juce::String& key, int w = 800, int h = 600)
    {
        setLookAndFeel (&lnf.get());
        addAndMakeVisible (button);
        button.setPanel (key, juce::Colour (0xffff6b6b));
        button.setTopLeftPosition (20, 20);
        addInfoOverlayTo (*this);
        setSize (w, h);
        setWantsKeyboardFocus (true);
    }
    ~TestEditor() override { setLookAndFeel (nullptr); }
    void resized() override { layoutInfoOverlay (getLocalBounds()); }
    bool keyPressed (const juce::KeyPress& k) override { return hideInfoOnEscape (k); }
    void paint (juce::Graphics& g) override { vyrFillPageBackground (g, getLocalBounds(), lnf->themeId); }
};
}

TEST (HelpDocument, TwentySevenEntriesWithTheirTitles)
{
    const std::pair<const char*, juce::String> keys[] = {
        { "eq", "EQ Parametric" }, { "dynamiceq", "EQ Dynamic" }, { "compressor", "Compressor" }, { "limiter", "Brickwall Limiter" },
        { "multibandcomp", "Multi-Band Compressor" }, { "saturation", "Saturation" }, { "clip", "Clip Distortion" },
        { "tape", "Tape Machine" }, { "delay", "Delay" }, { "reverb", "Reverb" }, { "mastering", "Mastering Studio" },
        { "exporttags", "Export info" }, { "vyrbasic", "VYR Quarn" }, { "sectionmastering", "Section Mastering" },
        { "masteredoutput", "Mastered Output" }, { "masteringanalysis", "VYR Assistant" },
        { "emg", "EMG " + dash + " Electro-Master-Graph" }, { "vu", "VU Meter" }, { "level", "Master Level Meter" },
        { "output", "Final Output Visualizer" }, { "source", "Audio Source & Signal Chain" },
        { "signalchain", "Signal Chain & Routing" }, { "lufs", "LUFS " + middot + " Loudness Metering" },
        { "stereoimager", "Stereo Imager / Direction Rotator" }, { "visualidentity", "Visual Identity & Layout" },
        { "tovu", "Tovu " + dash + " Bass Mono" }, { "analogueDensity", "Analogue Density" },
    };
    juce::SharedResourcePointer<VyrPanelInfoDocument> doc;
    ASSERT_TRUE (doc->root().isObject());
    EXPECT_EQ (doc->root().getDynamicObject()->getProperties().size(), 27);
    const juce::StringArray withEquation { "dynamiceq", "compressor", "limiter", "multibandcomp", "saturation", "clip", "tape",
                                           "delay", "reverb", "mastering", "vyrbasic", "sectionmastering", "masteredoutput",
                                           "level", "lufs", "stereoimager", "tovu", "analogueDensity" };
    for (const auto& [key, title] : keys)
    {
        SCOPED_TRACE (key);
        EXPECT_EQ (vyrPanelInfoTitle (key), title);
        const auto e = vyrPanelInfo (key);
        for (auto* prop : { "history", "purpose", "params" })
            EXPECT_TRUE (e.hasProperty (prop)) << prop;
        EXPECT_GE (e["params"].size(), 2);
        EXPECT_EQ (e.hasProperty ("usage"), juce::String (key) != "vyrbasic");
        EXPECT_EQ (e["equation"].isObject(), withEquation.contains (key));
        EXPECT_EQ (e.hasProperty ("characters"), juce::String (key) == "compressor");
        EXPECT_EQ (e.hasProperty ("frequencyGuide"), juce::String (key) == "eq");
        EXPECT_EQ (e.hasProperty ("tips"), juce::String (key) == "vyrbasic");
    }
    EXPECT_TRUE (vyrPanelInfo ("Tovu").isVoid());
    EXPECT_TRUE (vyrPanelInfo ("analoguedensity").isVoid());
    EXPECT_TRUE (vyrPanelInfo ("").isVoid());
}

TEST (HelpDocument, BrokenDocumentFindsNothing)
{
    for (auto* text : { "{ \"eq\": { \"title\": ", "[1, 2, 3]", "", "null" })
    {
        VyrPanelInfoDocument doc ((juce::String (text)));
        EXPECT_TRUE (doc.entry ("eq").isVoid()) << text;
    }
}

TEST (HelpButton, BindingSetsTooltipAndEnabledState)
{
    struct Case
    {
        const char* key;
        juce::String tooltip;
        bool enabled;
    };
    const Case cases[] = { { "tovu", "About Tovu " + dash + " Bass Mono", true }, { "Tovu", "Info", false },
                           { "", "Info", false }, { "limiter", "About Brickwall Limiter", true } };
    for (const auto& c : cases)
    {
        VyrInfoButton b;
        EXPECT_EQ (b.getWidth(), 18);
        b.setPanel (c.key, juce::Colour (0xff38bdf8));
        EXPECT_EQ (b.getTooltip(), c.tooltip) << c.key;
        EXPECT_EQ (b.isEnabled(), c.enabled) << c.key;
    }
}

TEST (HelpButton, DotColourOnTheLightIdentityAndUnderTheMouse)
{
    TestEditor ed ("compressor");
    ed.lnf->themeId = VyrThemeId::instrument;
    EXPECT_EQ (ed.button.dotColour().getARGB(), 0xff1a1a1au);
    ed.lnf->themeId = VyrThemeId::dark;
    EXPECT_EQ (ed.button.dotColour().getARGB(), 0xffff6b6bu);
    {
        Desk desk (ed);
        desk.move ({ 29, 29 });
        EXPECT_TRUE (ed.button.hover);
        // Each channel v becomes trunc(255 - (255 - v) * 0.8474576).
        EXPECT_EQ (ed.button.dotColour().getARGB(), 0xffff8181u);
        desk.leave();
        EXPECT_FALSE (ed.button.hover);
    }
    const auto img = render (ed.button);
    EXPECT_TRUE (colourNear (img.getPixelAt (2, 9), juce::Colour (0xffff6b6b), 90));
}

TEST (HelpCard, GeometryAtEditorSizes)
{
    struct Case
    {
        int w, h;
        juce::Rectangle<int> card;
        int viewportHeight;
    };
    const Case cases[] = {
        { 300, 400, { -10, 24, 320, 352 }, 280 },  { 1000, 700, { 180, 42, 640, 616 }, 544 },
        { 500, 250, { 24, 15, 452, 220 }, 148 },    { 1168, 720, { 264, 43, 640, 634 }, 562 },
        { 855, 470, { 107, 28, 640, 414 }, 342 },   { 400, 40, { 24, 2, 352, 35 }, 0 },
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE (juce::String (c.w) + "x" + juce::String (c.h));
        VyrInfoOverlay card;
        card.setSize (c.w, c.h);
        EXPECT_EQ (card.getCardBounds(), c.card);
        EXPECT_EQ (card.getHeaderBounds(), c.card.withHeight (48));
        EXPECT_EQ (card.getCloseButton().getBounds(), juce::Rectangle<int> (c.card.getRight() - 44, c.card.getY() + 10, 28, 28));
        EXPECT_EQ (card.getViewport().getBounds(), juce::Rectangle<int> (c.card.getX() + 18, c.card.getY() + 60, juce::jmax (c.card.getWidth() - 36, 0), c.viewportHeight));
    }
}

TEST (HelpCard, OpensFromItsButtonAndClosesOnScrimCloseButtonAndEscape)
{
    TestEditor ed ("compressor");
    auto& card = ed.getInfoOverlay();
    Desk desk (ed);
    EXPECT_FALSE (card.isVisible());

    // Press inside, release outside the button: nothing opens.
    desk.press ({ 29, 29 });
    desk.drag ({ 80, 80 });
    desk.release ({ 80, 80 });
    EXPECT_FALSE (card.isVisible());

    desk.click (29, 29);
    ASSERT_TRUE (card.isVisible());
    EXPECT_EQ (card.getTitle(), "Compressor");
    EXPECT_EQ (card.getAccent().getARGB(), 0xffff6b6bu);
    EXPECT_GT (card.getBody().getHeight(), 200);
    savePng (render (ed), "help-card-compressor");

    const auto c = card.getCardBounds().toFloat();
    desk.click (c.getCentreX(), c.getCentreY()); // on the body's text
    EXPECT_TRUE (card.isVisible());
    desk.click (c.getX() + 60, c.getY() + 24); // on the header
    EXPECT_TRUE (card.isVisible());
    desk.click (5, ed.getHeight() - 5.0f); // on the scrim
    EXPECT_FALSE (card.isVisible());

    desk.click (29, 29);
    ASSERT_TRUE (card.isVisible());
    EXPECT_TRUE (desk.key (juce::KeyPress (juce::KeyPress::escapeKey)));
    EXPECT_FALSE (card.isVisible());

    desk.click (29, 29);
    ASSERT_TRUE (card.isVisible());
    EXPECT_FALSE (desk.key (juce::KeyPress ('a')));
    EXPECT_TRUE (card.isVisible());
    const auto close = card.getCloseButton().getBounds().toFloat().getCentre();
    desk.click (close.x, close.y);
    EXPECT_FALSE (card.isVisible());
}

TEST (HelpCard, FontsOfTheCard)
{
    struct Case
    {
        juce::Font font;
        float height;
        bool bold, italic;
    };
    const Case cases[] = { { VyrInfoOverlay::sectionLabelFont(), 11, true, false }, { VyrInfoOverlay::bodyFont(), 13, false, false },
                           { VyrInfoOverlay::smallFont(), 12, false, false },       { VyrInfoOverlay::cardNameFont(), 12, true, false },
                           { VyrInfoOverlay::chipFont(), 9, true, false },          { VyrInfoOverlay::monoFont(), 11, false, false },
                           { VyrInfoOverlay::noteFont(), 10, false, false },        { VyrInfoOverlay::titleFont(), 16, true, false },
                           { VyrInfoOverlay::badgeFont(), 12, false, true } };
    for (const auto& c : cases)
    {
        EXPECT_FLOAT_EQ (c.font.getHeight(), c.height);
        EXPECT_EQ (c.font.isBold(), c.bold) << c.height;
        EXPECT_EQ (c.font.isItalic(), c.italic) << c.height;
    }
    EXPECT_EQ (VyrInfoOverlay::monoFont().getTypefaceStyle(), "Regular");
    EXPECT_FLOAT_EQ (VyrInfoOverlay::flowText (nullptr, 0, 0, 7.9f, VyrInfoOverlay::bodyFont(), {}, "text"), 0.0f);
    EXPECT_FLOAT_EQ (VyrInfoOverlay::flowText (nullptr, 0, 0, 300, VyrInfoOverlay::bodyFont(), {}, ""), 0.0f);
    EXPECT_GE (VyrInfoOverlay::flowText (nullptr, 0, 0, 300, VyrInfoOverlay::bodyFont(), {}, "x"), 13.0f);
}

TEST (HelpCard, KeyWithoutEntryChangesNothing)
{
    VyrInfoOverlay card;
    card.setSize (800, 600);
    card.open ("nosuchpanel", juce::Colours::red);
    EXPECT_FALSE (card.isVisible());
    card.open ("limiter", juce::Colours::red);
    ASSERT_TRUE (card.isVisible());
    const int h = card.getBody().getHeight();
    card.open ("Limiter", juce::Colours::green);
    EXPECT_TRUE (card.isVisible());
    EXPECT_EQ (card.getTitle(), "Brickwall Limiter");
    EXPECT_EQ (card.getAccent(), juce::Colours::red);
    EXPECT_EQ (card.getBody().getHeight(), h);
}

TEST (HelpCard, TwoEditorsEachOpenTheirOwnCard)
{
    auto a = std::make_unique<TestEditor> ("compressor");
    auto b = std::make_unique<TestEditor> ("reverb");
    {
        Desk deskA (*a, { 20, 20 });
        Desk deskB (*b, { 400, 100 });
        deskB.click (29, 29);
        EXPECT_TRUE (b->getInfoOverlay().isVisible());
        EXPECT_FALSE (a->getInfoOverlay().isVisible());
        EXPECT_EQ (b->getInfoOverlay().getTitle(), "Reverb");
        EXPECT_TRUE (deskB.key (juce::KeyPress (juce::KeyPress::escapeKey)));
        deskA.click (29, 29);
        EXPECT_TRUE (a->getInfoOverlay().isVisible());
        EXPECT_FALSE (b->getInfoOverlay().isVisible());
    }
    a.reset(); // the other editor closes
    Desk deskB (*b, { 400, 100 });
    deskB.click (29, 29);
    EXPECT_TRUE (b->getInfoOverlay().isVisible());
    EXPECT_TRUE (vyrOpenInfo (b->button, "delay", juce::Colours::orange));
    EXPECT_EQ (b->getInfoOverlay().getTitle(), "Delay");
    juce::Component orphan;
    EXPECT_FALSE (vyrOpenInfo (orphan, "delay", juce::Colours::orange));
}

TEST (HelpCard, BodyLayoutRules)
{
    VyrInfoOverlay::Body body;
    body.setSize (400, 10);
    // A bullet with an empty text still takes a 28-px row: 4 + 20 + (28 + 6) + 10 = 68, plus 8.
    body.setEntry (juce::JSON::parse (R"({"history":[{"bullets":[{"kw":"A","text":""}]}]})"), juce::Colours::red);
    body.layout (nullptr);
    EXPECT_EQ (body.getHeight(), 76);
    // A block with "p" is a paragraph even with bullets; non-objects are skipped.
    body.setEntry (juce::JSON::parse (R"({"history":[3, {"p":"","bullets":[{"kw":"A","text":"x"}]}]})"), juce::Colours::red);
    body.layout (nullptr);
    EXPECT_EQ (body.getHeight(), 4 + 20 + 10 + 10 + 8);
    body.setEntry ({}, juce::Colours::red);
    body.layout (nullptr);
    EXPECT_EQ (body.getHeight(), 1);

    // "vyrbasic" shows no usage and no tips.
    auto basic = vyrPanelInfo ("vyrbasic");
    body.setEntry (basic, juce::Colours::red);
    const float full = body.layout (nullptr);
    auto withoutTips = juce::JSON::parse (juce::JSON::toString (basic));
    withoutTips.getDynamicObject()->removeProperty ("tips");
    body.setEntry (withoutTips, juce::Colours::red);
    EXPECT_FLOAT_EQ (body.layout (nullptr), full);
    withoutTips.getDynamicObject()->setProperty ("usage", "Somewhere.");
    body.setEntry (withoutTips, juce::Colours::red);
    EXPECT_GT (body.layout (nullptr), full);
}

TEST (HelpCard, EveryEntryRendersInEveryIdentity)
{
    TestEditor ed ("eq", 1168, 720);
    const char* keys[] = { "eq", "compressor", "vyrbasic", "tovu", "lufs", "exporttags" };
    for (int id = 0; id < kNumThemes; ++id)
    {
        ed.lnf->themeId = id;
        ed.getInfoOverlay().open (keys[id], vyrTheme (id).accentColour());
        const auto img = render (ed, 0.5f);
        const auto c = ed.getInfoOverlay().getCardBounds();
        EXPECT_TRUE (colourNear (img.getPixelAt ((c.getX() + 30) / 2, (c.getY() + 100) / 2), juce::Colour (0xff0b0e16), 40));
        savePng (img, "help-card-" + juce::String (kThemes[id].key));
    }
    checkSurvives ([] (VyrAudioProcessor&) {
        auto card = std::make_unique<VyrInfoOverlay>();
        card->open ("multibandcomp", juce::Colours::cyan);
        return std::unique_ptr<juce::Component> (std::move (card));
    });
}
