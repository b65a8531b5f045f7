#include "PanelTestUtil.h"
#include "Ui/ModulePanels/TovuPanel.h"

using namespace vyrGui;
using namespace vyrPanelTest;
using vyrTest::setParam;

namespace
{
struct TovuFixture
{
    std::unique_ptr<VyrAudioProcessor> proc = makeProcessor (vyrProducts::tovu);
    std::unique_ptr<TovuPanel> panel;

    explicit TovuFixture (int theme = 0)
    {
        proc->themeIndex = theme;
        vyrTest::prepare (*proc, kRate, kBlock);
        panel = std::make_unique<TovuPanel> (*proc);
        panel->setBounds (0, 0, 800, 500);
    }
    ~TovuFixture()
    {
        panel.reset();
        proc->releaseResources();
    }
    float raw (const char* id) const { return paramValue (*proc, id); }
    // A point of the field at a design x, in the panel's coordinates.
    juce::Point<float> inField (float designX) const
    {
        const auto& f = panel->field;
        return { (float) f.getX() + designX * (float) f.getWidth() / 360.0f + 0.25f, (float) f.getBounds().getCentreY() };
    }
};

// Level in dB of the output's side at a frequency, for a pure side sine at that frequency.
double sideLevelDb (VyrAudioProcessor& p, double hz)
{
    juce::AudioBuffer<float> block (2, kBlock);
    juce::MidiBuffer midi;
    std::vector<float> side;
    const double w = 2.0 * juce::MathConstants<double>::pi * hz / kRate;
    for (int b = 0; b < 80; ++b)
    {
        for (int i = 0; i < kBlock; ++i)
        {
            const float s = 0.5f * (float) std::sin (w * (double) (b * kBlock + i));
            block.setSample (0, i, s);
            block.setSample (1, i, -s);
        }
        p.processBlock (block, midi);
        if (b >= 40)
            for (int i = 0; i < kBlock; ++i)
                side.push_back (0.5f * (block.getSample (0, i) - block.getSample (1, i)));
    }
    return vyrTestSignals::toDb (vyrTestSignals::amplitudeAt (side.data(), 0, (int) side.size(), hz, kRate) / 0.5);
}
}

TEST (TovuPanel, FieldMapsClicksToTheCutoff)
{
    TovuFixture f;
    Desk desk (*f.panel);
    const struct
    {
        float designX, hz;
    } cases[] = { { 10.0f, 20.0f }, { 36.0f, 20.0f }, { 180.0f, 100.0f }, { 324.0f, 500.0f }, { 350.0f, 500.0f } };
    for (const auto& c : cases)
    {
        setParam (*f.proc, "tovu_frequency", 250.0f);
        GestureCounter gestures (*f.proc);
        desk.click (f.inField (c.designX));
        EXPECT_NEAR (f.raw ("tovu_frequency"), c.hz, c.hz * 0.02f + 0.6f) << c.designX;
        EXPECT_EQ (gestures.begins ("tovu_frequency"), 1);
    }
    EXPECT_NEAR (TovuField::designXOf (20.0f), 36.0f, 1e-3f);
    EXPECT_NEAR (TovuField::designXOf (500.0f), 324.0f, 1e-3f);
    EXPECT_NEAR (TovuField::designXOf (100.0f), 180.0f, 0.01f);
}

TEST (TovuPanel, SlopePillsPowerAndLayout)
{
    TovuFixture f;
    auto& p = *f.panel;
    Desk desk (p);
    desk.click (centreOf (p.slope12Bounds));
    EXPECT_EQ (f.raw ("tovu_slope"), 0.0f);
    desk.click (centreOf (p.slope24Bounds));
    EXPECT_EQ (f.raw ("tovu_slope"), 1.0f);
    GestureCounter gestures (*f.proc);
    desk.click ({ (float) p.slope24Bounds.getRight() + 2.0f, (float) p.slope24Bounds.getCentreY() });
    EXPECT_EQ (gestures.totalBegins(), 0);

    desk.click (centreOf (p.powerButton.getBounds()));
    EXPECT_EQ (f.raw ("tovu_enabled"), 1.0f);
    EXPECT_TRUE (p.powerButton.getToggleState());

    EXPECT_EQ (p.powerButton.getBounds(), juce::Rectangle<int> (702, 5, 86, 26));
    EXPECT_EQ (p.field.getBounds(), juce::Rectangle<int> (206, 40, 388, 206));
    EXPECT_EQ (p.slope12Bounds, juce::Rectangle<int> (72, 408, 36, 24));
    EXPECT_EQ (p.preScope.getWidth(), p.preScope.getHeight());
    EXPECT_LE (p.preScope.getRight(), p.field.getX());
    EXPECT_GE (p.postScope.getX(), p.field.getRight());
    EXPECT_TRUE (p.frequencyKnob->light);

    // A very short panel collapses the field; the scopes keep 8 x 8.
    p.setBounds (0, 0, 800, 88);
    EXPECT_EQ (p.field.getHeight(), 0);
    EXPECT_EQ (p.preScope.getWidth(), 8);
}

// Real mouse: a click at 100 Hz makes the side below 100 Hz fall.
TEST (TovuPanel, FieldClickMonosTheSideBelowTheCutoff)
{
    TovuFixture f;
    setParam (*f.proc, "tovu_enabled", 1.0f);
    setParam (*f.proc, "tovu_width", 1.0f);
    setParam (*f.proc, "tovu_frequency", 20.0f);
    Desk desk (*f.panel);
    const double before = sideLevelDb (*f.proc, 25.0);
    desk.click (f.inField (180.0f));
    EXPECT_NEAR (f.raw ("tovu_frequency"), 100.0f, 2.0f);
    const double after = sideLevelDb (*f.proc, 25.0);
    EXPECT_LT (after, before - 30.0) << before << " " << after;
}

TEST (TovuPanel, ScopesShowSilenceAndSignal)
{
    TovuFixture f;
    setParam (*f.proc, "tovu_enabled", 1.0f);
    setParam (*f.proc, "tovu_width", 0.5f);
    auto& scope = f.panel->postScope;
    const auto silentImg = render (scope);
    const int o = scope.getWidth() / 2;
    const auto bar = pixel (silentImg, o, scope.getHeight() / 3);
    Program program;
    play (*f.proc, program, 10);
    const auto playing = render (scope);
    int moved = 0;
    for (int y = 0; y < scope.getHeight(); ++y)
        for (int x = 0; x < scope.getWidth(); ++x)
            moved += colourDistance (playing.getPixelAt (x, y), silentImg.getPixelAt (x, y)) > 30 ? 1 : 0;
    EXPECT_GT (moved, 100);
    EXPECT_GT (bar.getBlue(), pixel (silentImg, o + 6, scope.getHeight() / 3).getBlue() + 20); // the centre bar
}

TEST (TovuPanel, RendersEveryIdentityWithAudioPlaying)
{
    for (int theme = 0; theme < 6; ++theme)
    {
        TovuFixture f (theme);
        setParam (*f.proc, "tovu_enabled", 1.0f);
        setParam (*f.proc, "tovu_width", 0.8f);
        Program program;
        play (*f.proc, program, 30);
        f.panel->syncHeader(); // as the page does when it shows the panel
        savePng (renderOnPage (*f.panel, theme), "panel-tovu-" + juce::String (theme));
    }
}
