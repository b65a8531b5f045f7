#include "PanelTestUtil.h"
#include "Ui/ModulePanels/ImagerPanel.h"

using namespace vyrGui;
using namespace vyrPanelTest;
using vyrTest::setParam;

namespace
{
const juce::ModifierKeys alt (juce::ModifierKeys::altModifier);

struct ImagerFixture
{
    std::unique_ptr<VyrAudioProcessor> proc = makeProcessor (vyrProducts::stereoImager);
    std::unique_ptr<ImagerPanel> panel;

    explicit ImagerFixture (int theme = 0, std::function<void (VyrAudioProcessor&)> stored = {})
    {
        proc->themeIndex = theme;
        vyrTest::prepare (*proc, kRate, kBlock);
        if (stored)
            stored (*proc);
        panel = std::make_unique<ImagerPanel> (*proc);
        panel->setBounds (0, 0, 800, 500);
    }
    ~ImagerFixture()
    {
        panel.reset();
        proc->releaseResources();
    }
    float raw (const char* id) const { return paramValue (*proc, id); }
    // A point on the range at a value, in the panel's coordinates.
    juce::Point<float> onRange (float v) const
    {
        auto& r = panel->range;
        return { (float) r.getX() + (float) r.getWidth() * (v + 3.0f) / 6.0f + 0.5f, (float) r.getBounds().getCentreY() };
    }
};

// Side over mid RMS of the processor's output for stereo program audio.
double measuredWidth (VyrAudioProcessor& p)
{
    Program program;
    juce::AudioBuffer<float> block (2, kBlock);
    juce::MidiBuffer midi;
    double mid = 0.0, side = 0.0;
    for (int b = 0; b < 60; ++b)
    {
        program.fill (block);
        p.processBlock (block, midi);
        if (b < 20)
            continue;
        for (int i = 0; i < kBlock; ++i)
        {
            const double l = block.getSample (0, i), r = block.getSample (1, i);
            mid += (l + r) * (l + r), side += (l - r) * (l - r);
        }
    }
    return std::sqrt (side / mid);
}
}

TEST (ImagerPanel, OpeningKeepsTheStoredRange)
{
    // A narrow image saved in a session survives opening the editor: nothing is written at construction.
    ImagerFixture f (0, [] (VyrAudioProcessor& p) {
        setParam (p, "stereoImager_spreadLo", 0.3f);
        setParam (p, "stereoImager_width", 0.3f);
        setParam (p, "stereoImager_direction", 18.0f);
    });
    EXPECT_NEAR (f.raw ("stereoImager_spreadLo"), 0.3f, 1e-4f);
    EXPECT_NEAR (f.raw ("stereoImager_width"), 0.3f, 1e-4f);
    EXPECT_NEAR (f.raw ("stereoImager_direction"), 18.0f, 1e-4f);

    // The user restores -1..1 with an Alt-click on the range; a drag that follows writes nothing.
    Desk desk (*f.panel);
    desk.move (f.onRange (2.0f));
    desk.press (f.onRange (2.0f), alt);
    EXPECT_EQ (f.raw ("stereoImager_spreadLo"), -1.0f);
    EXPECT_EQ (f.raw ("stereoImager_width"), 1.0f);
    EXPECT_EQ (f.raw ("stereoImager_direction"), 0.0f);
    EXPECT_EQ (f.raw ("stereoImager_split"), 1.0f);
    GestureCounter gestures (*f.proc);
    desk.drag (f.onRange (2.5f), alt);
    desk.release (f.onRange (2.5f), alt);
    EXPECT_EQ (gestures.totalBegins(), 0);
}

TEST (ImagerPanel, RangeDragsMoveEndsAndTheWholeRange)
{
    ImagerFixture f;
    Desk desk (*f.panel);
    auto& range = f.panel->range;
    EXPECT_EQ (range.valueAtX (0), -3.0f);
    EXPECT_EQ (range.valueAtX (range.getWidth()), 3.0f);
    EXPECT_NEAR (range.valueAtX (range.getWidth() / 2), 0.0f, 0.02f);

    // A press inside writes nothing; the drag moves the whole range and stops at 3 - span.
    {
        GestureCounter gestures (*f.proc);
        desk.move (f.onRange (0.0f));
        desk.press (f.onRange (0.0f));
        EXPECT_EQ (gestures.totalBegins(), 0);
        desk.drag (f.onRange (1.0f));
        EXPECT_NEAR (f.raw ("stereoImager_spreadLo"), 0.0f, 0.011f);
        EXPECT_NEAR (f.raw ("stereoImager_width"), 2.0f, 0.011f);
        EXPECT_NEAR (f.raw ("stereoImager_direction"), 60.0f, 1.0f);
        desk.drag (f.onRange (2.9f));
        desk.release (f.onRange (2.9f));
        EXPECT_NEAR (f.raw ("stereoImager_spreadLo"), 1.0f, 0.011f);
        EXPECT_NEAR (f.raw ("stereoImager_width"), 3.0f, 0.011f);
        EXPECT_NEAR (f.raw ("stereoImager_direction"), 120.0f, 1.0f);
        EXPECT_EQ (gestures.begins ("stereoImager_width"), 1);
        EXPECT_EQ (gestures.begins ("stereoImager_direction"), 1);
        EXPECT_EQ (gestures.totalBegins(), gestures.totalEnds());
    }
    // The low end dragged past the high end stops 0.01 below it.
    desk.move (f.onRange (1.0f));
    desk.press (f.onRange (1.0f));
    desk.drag (f.onRange (3.0f));
    desk.release (f.onRange (3.0f));
    EXPECT_NEAR (f.raw ("stereoImager_spreadLo"), 2.99f, 0.006f);
    EXPECT_NEAR (f.raw ("stereoImager_width"), 3.0f, 1e-4f);
    EXPECT_NEAR (f.raw ("stereoImager_direction"), 180.0f, 0.6f);

    // Every range write turns the image to the range's centre.
    range.applyRange (3.0f, 2.5f);
    EXPECT_EQ (f.raw ("stereoImager_spreadLo"), 2.5f);
    EXPECT_NEAR (f.raw ("stereoImager_direction"), 165.0f, 0.6f);

    // A press outside the range moves the nearer end.
    range.applyRange (-1.0f, 1.0f);
    desk.click (f.onRange (-2.0f));
    EXPECT_NEAR (f.raw ("stereoImager_spreadLo"), -2.0f, 0.011f);
    EXPECT_NEAR (f.raw ("stereoImager_width"), 1.0f, 1e-4f);
}

TEST (ImagerPanel, DirectionHookFollowsTheUserOnly)
{
    ImagerFixture f;
    auto& knob = *f.panel->directionKnob;

    // Automation, recall and recipes move the knob but never the range.
    {
        GestureCounter gestures (*f.proc);
        setParam (*f.proc, "stereoImager_direction", 90.0f);
        flushMessages();
        EXPECT_NEAR (knob.slider.getValue(), 90.0, 1e-3);
        EXPECT_EQ (f.raw ("stereoImager_spreadLo"), -1.0f);
        EXPECT_EQ (f.raw ("stereoImager_width"), 1.0f);
        EXPECT_EQ (gestures.totalBegins(), 0);
    }

    const struct
    {
        float lo, hi, angle, newLo, newHi, written;
    } cases[] = {
        { -1.0f, 1.0f, 180.0f, 1.0f, 3.0f, 120.0f },
        { -0.1f, 0.1f, 30.0f, -0.5f, 1.5f, 30.0f },
        { -0.5f, 0.5f, -60.0f, -1.5f, -0.5f, -60.0f },
    };
    for (const auto& c : cases)
    {
        setParam (*f.proc, "stereoImager_spreadLo", c.lo);
        setParam (*f.proc, "stereoImager_width", c.hi);
        setParam (*f.proc, "stereoImager_direction", 0.0f);
        flushMessages();
        // A user turn: the slider's drag notifications frame it, as a mouse drag or a reset does.
        GestureCounter gestures (*f.proc);
        {
            const juce::Slider::ScopedDragNotification turn (knob.slider);
            knob.slider.setValue (c.angle * 0.5, juce::sendNotificationSync);
            knob.slider.setValue (c.angle, juce::sendNotificationSync);
        }
        EXPECT_NEAR (f.raw ("stereoImager_spreadLo"), c.newLo, 0.011f) << c.angle;
        EXPECT_NEAR (f.raw ("stereoImager_width"), c.newHi, 0.011f) << c.angle;
        EXPECT_NEAR (f.raw ("stereoImager_direction"), c.written, 0.6f) << c.angle;
        EXPECT_EQ (gestures.begins ("stereoImager_spreadLo"), 1);
        EXPECT_EQ (gestures.begins ("stereoImager_direction"), 1);
        EXPECT_EQ (gestures.totalBegins(), gestures.totalEnds());
    }
}

TEST (ImagerPanel, InputSegmentsPowerAndLayout)
{
    ImagerFixture f;
    auto& p = *f.panel;
    Desk desk (p);
    p.syncHeader();
    EXPECT_TRUE (p.lrButton.getToggleState());
    desk.click (centreOf (p.msButton.getBounds()));
    EXPECT_EQ (f.raw ("stereoImager_inputMs"), 1.0f);
    EXPECT_TRUE (p.msButton.getToggleState());
    EXPECT_FALSE (p.lrButton.getToggleState());
    desk.click (centreOf (p.lrButton.getBounds()));
    desk.click (centreOf (p.lrButton.getBounds())); // the lit one stays lit
    EXPECT_EQ (f.raw ("stereoImager_inputMs"), 0.0f);
    EXPECT_TRUE (p.lrButton.getToggleState());
    desk.click (centreOf (p.powerButton.getBounds()));
    EXPECT_EQ (f.raw ("stereoImager_enabled"), 1.0f);

    EXPECT_EQ (p.powerButton.getBounds(), juce::Rectangle<int> (800 - 16 - 86, 15, 86, 26));
    EXPECT_EQ (p.gonio.getBounds(), juce::Rectangle<int> (24, 50, 368, 368));
    EXPECT_EQ (p.lrButton.getBounds(), juce::Rectangle<int> (408, 50, 36, 24));
    EXPECT_EQ (p.range.getBounds(), juce::Rectangle<int> (412, 244, 360, 36));
    EXPECT_TRUE (p.getLocalBounds().contains (p.mixKnob->getBounds()));
}

TEST (ImagerPanel, ScopeCorrelation)
{
    float same[64], opposite[64], silent[64] {};
    for (int i = 0; i < 64; ++i)
        same[i] = std::sin (0.3f * (float) i), opposite[i] = -same[i];
    EXPECT_NEAR (ImagerGonio::correlationOf (same, same, 64, 0.5f), 1.0f, 1e-5f);
    EXPECT_NEAR (ImagerGonio::correlationOf (same, opposite, 64, 0.5f), -1.0f, 1e-5f);
    EXPECT_EQ (ImagerGonio::correlationOf (silent, silent, 64, 0.25f), 0.25f);
}

// Real mouse: narrowing the range narrows the measured stereo width.
TEST (ImagerPanel, RangeDragNarrowsTheMeasuredWidth)
{
    ImagerFixture f;
    setParam (*f.proc, "stereoImager_enabled", 1.0f);
    Desk desk (*f.panel);
    const double wide = measuredWidth (*f.proc);
    for (auto [from, to] : { std::pair<float, float> { -1.0f, -0.3f }, { 1.0f, 0.3f } })
    {
        desk.move (f.onRange (from));
        desk.press (f.onRange (from));
        desk.drag (f.onRange ((from + to) / 2.0f));
        desk.drag (f.onRange (to));
        desk.release (f.onRange (to));
    }
    EXPECT_NEAR (f.raw ("stereoImager_spreadLo"), -0.3f, 0.011f);
    EXPECT_NEAR (f.raw ("stereoImager_width"), 0.3f, 0.011f);
    EXPECT_NEAR (f.raw ("stereoImager_direction"), 0.0f, 0.6f);
    const double narrow = measuredWidth (*f.proc);
    EXPECT_LT (narrow, 0.4 * wide);
}

TEST (ImagerPanel, RendersEveryIdentityWithAudioPlaying)
{
    for (int theme = 0; theme < 6; ++theme)
    {
        ImagerFixture f (theme);
        setParam (*f.proc, "stereoImager_enabled", 1.0f);
        const auto atRest = render (*f.panel);
        Program program;
        play (*f.proc, program, 40);
        const auto img = render (*f.panel);
        const auto scope = f.panel->gonio.getBounds().reduced (20);
        EXPECT_GT (countInk (img, scope, pixel (atRest, scope.getX() + 10, scope.getY() + 5), 40), 200) << theme;
        f.panel->syncHeader(); // as the page does when it shows the panel
        savePng (renderOnPage (*f.panel, theme), "panel-imager-" + juce::String (theme));
    }
}
