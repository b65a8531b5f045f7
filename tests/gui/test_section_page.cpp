// The section mastering page of the full-chain product, hosted on the desktop and driven by real
// mouse events: the header actions, the split bar and letter drops, the automation lanes, the
// shared view window, the waveform's handles and navigator, the layout, and what the audio thread
// then plays.
#include "GuiTestUtil.h"
#include "FileTestUtil.h"
#include "TestSignals.h"
#include "Model/FactoryPresets.h"
#include "Ui/Foundation/VyrLookAndFeel.h"
#include "Ui/SectionPage/SectionMasteringPanel.h"
#include "Ui/Shell/AppShell.h"

using namespace vyrGui;

namespace
{
using P = juce::Point<float>;
const juce::ModifierKeys kShift (juce::ModifierKeys::shiftModifier);
const juce::ModifierKeys kCtrl (juce::ModifierKeys::ctrlModifier);

// A song of three distinct sections: quiet, loud, medium, one second each.
juce::File writeThreeSections (const vyrTestFiles::ScratchDir& dir)
{
    auto file = dir["three.wav"];
    const double rate = 8000.0;
    vyrTestFiles::writeWav (file, rate, 2, 24000, [rate] (int, int i)
                            {
                                const float amp = i < 8000 ? 0.04f : (i < 16000 ? 0.6f : 0.15f);
                                return amp * (float) std::sin (2.0 * juce::MathConstants<double>::pi * 220.0 * i / rate);
                            });
    return file;
}

struct PageFixture
{
    explicit PageFixture (bool loadSong = false)
        : proc (makeProcessor (0, true))
    {
        if (loadSong)
        {
            proc->loadAudioFile (writeThreeSections (scratch));
            EXPECT_TRUE (proc->fileLoaded) << proc->loadError;
        }
        page = std::make_unique<SectionMasteringPanel> (*proc);
        page->setSize (1200, 600);
        page->resetSections();
    }
    ~PageFixture()
    {
        page.reset();
        proc.reset();
    }

    P centre (const juce::Component& c) const { return c.getBounds().getCentre().toFloat(); }
    // A point of a child given in the child's own coordinates, in page coordinates.
    P at (const juce::Component& c, P local) const { return local + c.getPosition().toFloat(); }
    P laneAt (const MasterAutomationView& lane, float t, float v) const { return at (lane, { lane.xOf (t), lane.yOf (v) }); }
    P waveAt (float t, float y) const { return at (page->waveform, { page->waveform.viewX (t), y }); }

    juce::SharedResourcePointer<VyrLookAndFeel> lnf;
    vyrTestFiles::ScratchDir scratch;
    std::unique_ptr<VyrAudioProcessor> proc;
    std::unique_ptr<SectionMasteringPanel> page;
};

bool isFlatStepAtZero (const std::vector<VyrAutoPt>& lane)
{
    return lane.size() == 2 && lane[0].t == 0.0f && lane[0].value == 0.0f && lane[0].step && ! lane[0].hasOut
        && lane[1].t == 1.0f && lane[1].value == 0.0f && ! lane[1].step && ! lane[1].hasIn;
}

}

//==============================================================================
TEST (SectionPage, CountButtonsSpreadBoundariesAndKeepLettersAndLanes)
{
    PageFixture f;
    Desk desk (*f.page);
    auto& sec = f.proc->section;
    struct Case { int button; std::vector<float> cues; };
    const Case cases[] = { { 6, { 0.143f, 0.286f, 0.429f, 0.571f, 0.714f, 0.857f } }, { 2, { 0.333f, 0.667f } }, { 0, {} } };
    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.button);
        sec.letters[2] = 9;
        sec.assign[1] = 5;
        sec.glides[0] = 0.8f;
        sec.autoFx.insert (sec.autoFx.begin() + 1, VyrAutoPt { 0.5f, 20.0f });
        const auto lane = sec.autoFx;
        f.proc->sectionAnalysed = true;
        desk.click (f.centre (f.page->countButtons[c.button]));
        EXPECT_EQ (sec.count, c.button + 1);
        for (int k = 0; k < 6; ++k)
            EXPECT_EQ (sec.cues[k], k < (int) c.cues.size() ? c.cues[(size_t) k] : 0.0f) << k;
        for (int k = 0; k < 7; ++k)
            EXPECT_EQ (sec.assign[k], k);
        for (float g : sec.glides)
            EXPECT_EQ (g, 0.35f);
        EXPECT_EQ (sec.letters[2], 9);
        EXPECT_EQ (sec.autoFx.size(), lane.size());
        EXPECT_FALSE (f.proc->sectionAnalysed);
    }
}

TEST (SectionPage, ResetRestoresLayoutPresetsSwitchesAndFlatLanes)
{
    PageFixture f;
    Desk desk (*f.page);
    auto& sec = f.proc->section;
    sec.count = 6;
    sec.letters[0] = 12;
    sec.assign[2] = 0;
    sec.enabled = sec.liveFollow = sec.autoRide = true;
    f.proc->effectRiding = true;
    sec.autoOut.insert (sec.autoOut.begin() + 1, VyrAutoPt { 0.4f, -9.0f });
    f.page->syncButtons();
    EXPECT_EQ (f.page->letterBoxes[0].getSelectedId(), 13);

    desk.click (f.centre (f.page->resetButton));
    EXPECT_EQ (sec.count, 3);
    EXPECT_EQ (sec.cues[0], 0.333f);
    EXPECT_EQ (sec.cues[1], 0.667f);
    for (int k = 0; k < 7; ++k)
    {
        EXPECT_EQ (sec.letters[k], k);
        EXPECT_EQ (sec.assign[k], k);
        EXPECT_EQ (f.page->letterBoxes[k].getSelectedId(), k + 1);
    }
    EXPECT_FALSE (sec.enabled || sec.liveFollow || sec.autoRide);
    EXPECT_FALSE (f.proc->effectRiding.load());
    EXPECT_TRUE (isFlatStepAtZero (sec.autoFx));
    EXPECT_TRUE (isFlatStepAtZero (sec.autoIn));
    EXPECT_TRUE (isFlatStepAtZero (sec.autoOut));

    // A letter box set to "Init Preset" stores preset 0.
    f.page->letterBoxes[3].setSelectedId (1, juce::sendNotificationSync);
    EXPECT_EQ (sec.letters[3], 0);
    f.page->letterBoxes[3].setSelectedId (17, juce::sendNotificationSync);
    EXPECT_EQ (sec.letters[3], 16);
}

TEST (SectionPage, AutoAndDetectSwitchOnlyWhatTheyMean)
{
    {
        PageFixture f;
        Desk desk (*f.page);
        auto& sec = f.proc->section;
        desk.click (f.centre (f.page->autoButton));
        EXPECT_TRUE (sec.autoRide);
        EXPECT_FALSE (f.proc->effectRiding.load()) << "switching AUTO on leaves the riding flag to the audio thread";
        f.proc->effectRiding = true;
        desk.click (f.centre (f.page->autoButton));
        EXPECT_FALSE (sec.autoRide);
        EXPECT_FALSE (f.proc->effectRiding.load());

        // Without a loaded file Detect analyses nothing and reports nothing.
        const int before = f.proc->sectionRevision.load();
        desk.click (f.centre (f.page->detectButton));
        EXPECT_FALSE (f.proc->sectionAnalysed);
        EXPECT_FALSE (sec.autoRide);
        EXPECT_EQ (f.page->waveform.getY(), 86) << "no statistics row";
        const auto img = render (*f.page);
        const auto pill = f.page->detectButton.getBounds();
        EXPECT_TRUE (colourNear (pixel (img, pill.getX() + 4, pill.getBottom() - 4), juce::Colour (0xff2a2e35), 6)) << "Detect is not lit";
        EXPECT_EQ (f.proc->sectionRevision.load(), before);
    }
    {
        PageFixture f (true);
        Desk desk (*f.page);
        f.page->seenSectionRevision = f.proc->sectionRevision.load();
        desk.click (f.centre (f.page->detectButton));
        EXPECT_TRUE (f.proc->sectionAnalysed);
        EXPECT_TRUE (f.proc->section.autoRide);
        EXPECT_EQ (f.proc->section.count, 3) << "three distinct sections";
        EXPECT_EQ (f.page->waveform.getY(), 98) << "room for the statistics row";
        const auto img = render (*f.page);
        const auto pill = f.page->detectButton.getBounds();
        EXPECT_FALSE (colourNear (pixel (img, pill.getX() + 4, pill.getBottom() - 4), juce::Colour (0xff2a2e35), 6)) << "Detect is lit";
        EXPECT_EQ (f.page->seenSectionRevision, f.proc->sectionRevision.load()) << "the next tick does not lay out again";
    }
}

TEST (SectionPage, SectionClickAuditionsItsLetterOnlyWhileOn)
{
    PageFixture f (true);
    Desk desk (*f.page);
    auto& sec = f.proc->section;
    sec.assign[1] = 4;
    sec.letters[4] = 8;
    const auto wave = f.page->waveform.getBounds();
    const P secondSection = f.waveAt (0.5f, (float) wave.getHeight() - 12.0f);
    {
        GestureCounter gestures (*f.proc);
        desk.click (secondSection);
        EXPECT_EQ (gestures.totalBegins(), 0) << "OFF: no parameter changes";
    }
    desk.click (f.centre (f.page->enableButton));
    ASSERT_TRUE (sec.enabled);
    desk.click (secondSection);
    auto expected = makeProcessor (0);
    vyrFactory::applyToApvts (expected->apvts, 8);
    for (auto* param : f.proc->getParameters())
        if (auto* withId = dynamic_cast<juce::AudioProcessorParameterWithID*> (param))
            EXPECT_EQ (param->getValue(), expected->apvts.getParameter (withId->paramID)->getValue()) << withId->paramID;
}

TEST (SectionPage, SplitBarResizesTheLanesWithinTheirLimits)
{
    PageFixture f;
    Desk desk (*f.page);
    auto& page = *f.page;
    const int waveBefore = page.waveform.getHeight();
    ASSERT_EQ (page.effectLane.getHeight(), 72);
    auto pull = [&] (float dy)
    {
        const P start = f.centre (page.splitBar);
        desk.move (start);
        desk.press (start);
        desk.drag (start + P (0.0f, dy / 2.0f));
        desk.drag (start + P (0.0f, dy));
        desk.release (start + P (0.0f, dy));
    };
    pull (-40.0f);
    EXPECT_EQ (page.effectLane.getHeight(), 112);
    EXPECT_EQ (page.outLane.getHeight(), 112);
    EXPECT_EQ (page.waveform.getHeight(), waveBefore - 120);
    pull (400.0f);
    EXPECT_EQ (page.inLane.getHeight(), 56);
    pull (-900.0f);
    EXPECT_EQ (page.inLane.getHeight(), (600 - 86 - 110) / 3);
    EXPECT_EQ (page.outLane.getBottom(), 600 - 16);
    desk.doubleClick (f.centre (page.splitBar));
    EXPECT_EQ (page.effectLane.getHeight(), 72);
}

TEST (SectionPage, DroppedLetterLandsOnTheSectionUnderThePointer)
{
    PageFixture f;
    Desk desk (*f.page);
    auto& sec = f.proc->section;
    auto& page = *f.page;
    auto drop = [&] (int letter, P to)
    {
        const P from = f.centre (page.letterHandles[letter]);
        desk.move (from);
        desk.press (from);
        desk.drag ((from + to) / 2.0f);
        desk.drag (to);
        EXPECT_EQ (page.dragLetter, letter);
        desk.release (to);
        EXPECT_EQ (page.dragLetter, -1);
        EXPECT_EQ (page.waveform.hoverDropSection, -1);
    };
    const float y = (float) page.waveform.getHeight() - 10.0f;
    drop (2, f.waveAt (0.5f, y));
    EXPECT_EQ (sec.assign[1], 2);
    EXPECT_EQ (sec.assign[0], 0);

    // Beside the waveform (on a lane) nothing changes.
    drop (5, f.centre (page.outLane));
    for (int k : { 0, 2 })
        EXPECT_EQ (sec.assign[k], k);

    // A zoomed view: 10 % into the view is t 0.525 (the second section), not t 0.1.
    page.zoomWindow = { 0.5f, 0.25f };
    drop (6, f.at (page.waveform, { 0.1f * (float) page.waveform.getWidth(), y }));
    EXPECT_EQ (sec.assign[1], 6);
    EXPECT_EQ (sec.assign[0], 0);

    // On a boundary the later section wins.
    EXPECT_EQ (sectionAt (3, sec.cues, 0.333f), 1);
    EXPECT_EQ (sectionAt (3, sec.cues, 0.3329f), 0);
    EXPECT_LE (sectionAt (1000, sec.cues, 0.9f), 6) << "a damaged count is clamped";
    EXPECT_EQ (sectionAt (-3, sec.cues, 0.9f), 0);
}

//==============================================================================
TEST (SectionLanes, PointerInsertsGrabsSnapsAndKeepsTheEnds)
{
    PageFixture f;
    Desk desk (*f.page);
    auto& lane = f.page->effectLane;
    auto& pts = f.proc->section.autoFx;

    desk.click (f.laneAt (lane, 0.5f, 20.0f));
    ASSERT_EQ (pts.size(), 3u);
    EXPECT_NEAR (pts[1].t, 0.5f, 0.002f);
    EXPECT_EQ (pts[1].value, 20.0f);
    EXPECT_FALSE (pts[1].step);

    // A press within 0.012 of it grabs it: dragged to -7.3 % it lands on -7.5.
    const P near = f.laneAt (lane, pts[1].t + 0.008f, 35.0f);
    desk.move (near);
    desk.press (near);
    desk.drag (f.laneAt (lane, 0.5f, -7.3f));
    desk.release (f.laneAt (lane, 0.5f, -7.3f));
    ASSERT_EQ (pts.size(), 3u);
    EXPECT_EQ (pts[1].value, -7.5f);

    // Far left and right (away from the end points) insert at 0.012 and 0.988.
    desk.click (f.laneAt (lane, 0.004f, -40.0f));
    desk.click (f.laneAt (lane, 0.997f, 40.0f));
    ASSERT_EQ (pts.size(), 5u);
    EXPECT_FLOAT_EQ (pts[1].t, 0.012f);
    EXPECT_FLOAT_EQ (pts[3].t, 0.988f);

    // A dragged point stops 0.01 short of its neighbour; the first point moves in value only.
    desk.move (f.laneAt (lane, pts[2].t, pts[2].value));
    desk.press (f.laneAt (lane, pts[2].t, pts[2].value));
    desk.drag (f.laneAt (lane, 0.0f, 0.0f));
    desk.release (f.laneAt (lane, 0.0f, 0.0f));
    EXPECT_FLOAT_EQ (pts[2].t, 0.012f + 0.01f);
    desk.move (f.laneAt (lane, 0.0f, 0.0f) + P (-3.0f, 0.0f));
    desk.press (f.laneAt (lane, 0.0f, 0.0f) + P (-3.0f, 0.0f));
    desk.drag (f.laneAt (lane, 0.3f, 60.0f));
    desk.release (f.laneAt (lane, 0.3f, 60.0f));
    EXPECT_EQ (pts[0].t, 0.0f);
    EXPECT_EQ (pts[0].value, 50.0f);

    // Double clicks remove inner points only.
    desk.doubleClick (f.laneAt (lane, 1.0f, pts.back().value));
    desk.doubleClick (f.laneAt (lane, pts[3].t, pts[3].value));
    EXPECT_EQ (pts.size(), 4u);
    EXPECT_EQ (pts.back().t, 1.0f);

    // The output lane never goes above 0 dB.
    auto& out = f.page->outLane;
    desk.move (f.laneAt (out, 0.5f, -12.0f));
    desk.press (f.laneAt (out, 0.5f, -12.0f));
    desk.drag (f.laneAt (out, 0.5f, 0.0f) + P (0.0f, -30.0f));
    desk.release (f.laneAt (out, 0.5f, 0.0f) + P (0.0f, -30.0f));
    ASSERT_EQ (f.proc->section.autoOut.size(), 3u);
    EXPECT_EQ (f.proc->section.autoOut[1].value, 0.0f);
}

TEST (SectionLanes, SegmentsToggleAndPlanesLiftTheCurveAfterThem)
{
    PageFixture f;
    Desk desk (*f.page);
    auto& lane = f.page->inLane;
    auto& pts = f.proc->section.autoIn;
    pts = { { 0.0f, 0.0f, true }, { 0.4f, 6.0f, true }, { 0.7f, -6.0f }, { 1.0f, 0.0f } };

    // Right click on the step segment 0..0.4: an S-curve with flat ends; again: a step.
    const P seg = f.laneAt (lane, 0.2f, 18.0f);
    desk.click (seg, juce::ModifierKeys (juce::ModifierKeys::rightButtonModifier));
    EXPECT_FALSE (pts[0].step);
    EXPECT_TRUE (pts[0].hasOut && pts[1].hasIn);
    EXPECT_FLOAT_EQ (pts[0].outT, 0.4f / 3.0f);
    EXPECT_EQ (pts[0].outV, 0.0f);
    EXPECT_FLOAT_EQ (pts[1].inT, -0.4f / 3.0f);
    desk.click (seg, kCtrl);
    EXPECT_TRUE (pts[0].step);
    EXPECT_FALSE (pts[0].hasOut || pts[1].hasIn);

    // The Step tool (chosen on the effect lane) drags the plane 0.4..0.7 and the curve start after it.
    desk.click (f.centre (f.page->effectLane.toolButtons[MasterAutomationView::toolStep]) + f.page->effectLane.getPosition().toFloat());
    EXPECT_EQ (lane.activeTool(), MasterAutomationView::toolStep);
    desk.move (f.laneAt (lane, 0.55f, 6.0f));
    desk.press (f.laneAt (lane, 0.55f, 6.0f));
    desk.drag (f.laneAt (lane, 0.55f, 12.0f));
    desk.release (f.laneAt (lane, 0.55f, 12.0f));
    EXPECT_EQ (pts[1].value, 12.0f);
    EXPECT_EQ (pts[2].value, 12.0f) << "the curve after the plane starts at the plane";

    // The plane 0..0.4 leaves the next plane where it is.
    desk.move (f.laneAt (lane, 0.2f, 0.0f));
    desk.press (f.laneAt (lane, 0.2f, 0.0f));
    desk.drag (f.laneAt (lane, 0.2f, -4.0f));
    desk.release (f.laneAt (lane, 0.2f, -4.0f));
    EXPECT_EQ (pts[0].value, -4.0f);
    EXPECT_EQ (pts[1].value, 12.0f);
}

TEST (SectionLanes, ShiftMarqueeAddsShiftClickTogglesAndSelectionsFollowEdits)
{
    PageFixture f;
    Desk desk (*f.page);
    auto& fx = f.page->effectLane;
    auto& in = f.page->inLane;
    auto& pts = f.proc->section.autoIn;
    pts = { { 0.0f, 0.0f }, { 0.2f, 10.0f }, { 0.4f, 10.0f }, { 0.6f, 10.0f }, { 0.8f, -10.0f }, { 1.0f, 0.0f } };
    desk.click (f.at (fx, f.centre (fx.toolButtons[MasterAutomationView::toolSelect])));
    auto marquee = [&] (float t0, float t1, juce::ModifierKeys mods)
    {
        const P a = f.laneAt (in, t0, 24.0f), b = f.laneAt (in, t1, -24.0f);
        desk.move (a);
        desk.press (a, mods);
        desk.drag (b, mods);
        desk.release (b, mods);
    };
    marquee (0.15f, 0.25f, {});
    EXPECT_EQ (in.selection, (std::set<int> { 1 }));
    marquee (0.15f, 0.45f, kShift);
    EXPECT_EQ (in.selection, (std::set<int> { 1, 2 }));
    desk.click (f.laneAt (in, 0.2f, 10.0f), kShift);
    EXPECT_EQ (in.selection, (std::set<int> { 2 }));

    // Erasing a point before the selected one keeps the selection on the same point.
    desk.click (f.at (fx, f.centre (fx.toolButtons[MasterAutomationView::toolEraser])));
    desk.click (f.laneAt (in, 0.2f, 10.0f));
    ASSERT_EQ (pts.size(), 5u);
    EXPECT_EQ (in.selection, (std::set<int> { 1 }));
    EXPECT_EQ (pts[1].t, 0.4f);
    desk.click (f.laneAt (in, 0.0f, 0.0f));
    EXPECT_EQ (pts.size(), 5u) << "the first point stays";

    // A selection drag then moves that point (kept 0.002 from its neighbours), not its neighbour.
    desk.click (f.at (fx, f.centre (fx.toolButtons[MasterAutomationView::toolSelect])));
    EXPECT_EQ (in.selection, (std::set<int> { 1 })) << "another lane's tool change leaves this lane's selection";
    desk.move (f.laneAt (in, 0.4f, 10.0f));
    desk.press (f.laneAt (in, 0.4f, 10.0f));
    desk.drag (f.laneAt (in, 0.9f, 4.0f));
    desk.release (f.laneAt (in, 0.9f, 4.0f));
    EXPECT_NEAR (pts[1].t, 0.6f - 0.002f, 1e-5f);
    EXPECT_EQ (pts[1].value, 4.0f);
    EXPECT_EQ (pts[2].t, 0.6f);
}

TEST (SectionLanes, ViewWindowZoomsByButtonsWheelPinchAndFit)
{
    PageFixture f;
    Desk desk (*f.page);
    auto& page = *f.page;
    auto& fx = page.effectLane;
    auto& zw = page.zoomWindow;
    for (int i = 0; i < 3; ++i)
        desk.click (f.at (fx, f.centre (fx.zoomInButton)));
    EXPECT_NEAR (zw.width, 0.512f, 1e-5f);
    EXPECT_NEAR (zw.start, 0.244f, 1e-5f);
    EXPECT_EQ (page.waveform.zoomWindow, &zw);
    EXPECT_EQ (fx.navigator.zoomWindow, &zw);

    zw = { 0.05f, 0.9f };
    desk.click (f.at (fx, f.centre (fx.zoomOutButton)));
    EXPECT_EQ (zw.width, 1.0f);
    EXPECT_EQ (zw.start, 0.0f);
    for (int i = 0; i < 40; ++i)
        fx.zoomBy (0.5f);
    EXPECT_FLOAT_EQ (zw.width, 0.001f);
    desk.click (f.at (fx, f.centre (fx.fitButton)));
    EXPECT_EQ (zw.start, 0.0f);
    EXPECT_EQ (zw.width, 1.0f);

    // The wheel zooms only with Ctrl held, about the pointer, and stays inside the file.
    const P overLane = f.laneAt (page.inLane, 0.25f, 0.0f);
    desk.wheel (overLane, 0.5f);
    EXPECT_EQ (zw.width, 1.0f);
    desk.wheel (overLane, 0.5f, kCtrl);
    EXPECT_NEAR (zw.width, 0.8f, 1e-5f);
    EXPECT_NEAR (page.inLane.xToT (overLane.x - (float) page.inLane.getX()), 0.25f, 0.002f);
    zw = { 0.7f, 0.3f };
    desk.wheel (f.laneAt (page.inLane, 0.99f, 0.0f), -0.5f, kCtrl);
    EXPECT_GE (zw.start, 0.0f);
    EXPECT_LE (zw.start + zw.width, 1.0f + 1e-6f);

    // A pinch of 2 halves the width around the pointer, on the waveform as on a lane.
    zw = {};
    desk.pinch (f.waveAt (0.5f, 40.0f), 2.0f);
    EXPECT_NEAR (zw.width, 0.5f, 1e-5f);
    EXPECT_NEAR (zw.start, 0.25f, 1e-3f);
}

TEST (SectionLanes, ValueLabelsNeedRoomForTheRange)
{
    auto proc = makeProcessor (0);
    for (int kind = 0; kind < 3; ++kind)
    {
        SCOPED_TRACE (kind);
        MasterAutomationView lane (*proc, (MasterAutomationView::Kind) kind, false);
        // Bright label pixels in the row of the lowest value.
        auto labelInk = [&] (int height)
        {
            lane.setSize (400, height);
            const auto img = render (lane);
            const int y = juce::roundToInt (lane.yOf (lane.vmin()));
            int n = 0;
            for (int x = 400 - 44; x < 400 - 6; ++x)
                for (int dy = -2; dy <= 2; ++dy)
                {
                    const auto c = img.getPixelAt (x, y + dy);
                    n += std::min ({ c.getRed(), c.getGreen(), c.getBlue() }) > 80 ? 1 : 0;
                }
            return n;
        };
        EXPECT_GT (labelInk (100), 4);
        EXPECT_EQ (labelInk (16 + 16 + 24), 0);
    }
}

//==============================================================================
TEST (SectionWaveform, BoundaryAndGlideDragsKeepTheirMarginsAndPrecision)
{
    PageFixture f (true);
    Desk desk (*f.page);
    auto& view = f.page->waveform;
    auto& sec = f.proc->section;
    const float h = (float) view.getHeight();
    auto dragFromTo = [&] (P a, P b)
    {
        desk.move (a);
        desk.press (a);
        desk.drag ((a + b) / 2.0f);
        desk.drag (b);
        desk.release (b);
    };
    // Probe order: glide handle, boundary knob, playhead, boundary line.
    float gy = 0.0f;
    ASSERT_TRUE (view.glideY (sec.glides[0], gy));
    int kind = 0, index = -1;
    view.probeHandles ({ view.viewX (sec.cues[1]), gy }, kind, index);
    EXPECT_EQ (kind, SectionWaveformView::glide);
    EXPECT_EQ (index, 1);
    view.probeHandles ({ view.viewX (sec.cues[0]) + 2.0f, h / 2.0f }, kind, index);
    EXPECT_EQ (kind, SectionWaveformView::boundary);
    view.probeHandles ({ 3.0f, h - 4.0f }, kind, index);
    EXPECT_EQ (kind, SectionWaveformView::playhead);
    view.probeHandles ({ view.viewX (sec.cues[0]) + 5.0f, 4.0f }, kind, index);
    EXPECT_EQ (kind, SectionWaveformView::boundary);
    EXPECT_EQ (index, 0);

    dragFromTo (f.waveAt (sec.cues[0], h / 2.0f), f.waveAt (0.0f, h / 2.0f) + P (-30.0f, 0.0f));
    EXPECT_EQ (sec.cues[0], 0.02f);
    dragFromTo (f.waveAt (sec.cues[0], h / 2.0f), f.waveAt (0.9f, h / 2.0f));
    EXPECT_FLOAT_EQ (sec.cues[0], 0.667f - 0.02f);
    dragFromTo (f.waveAt (sec.cues[0], h / 2.0f), f.waveAt (0.4123f, h / 2.0f));
    EXPECT_EQ (sec.cues[0], std::round (sec.cues[0] * 1000.0f) / 1000.0f) << "three decimals";
    dragFromTo (f.waveAt (sec.cues[1], h / 2.0f), f.waveAt (1.0f, h / 2.0f));
    EXPECT_FLOAT_EQ (sec.cues[1], 0.98f);

    ASSERT_TRUE (view.glideY (sec.glides[0], gy));
    dragFromTo (f.waveAt (sec.cues[0], gy), f.waveAt (sec.cues[0], 0.0f));
    EXPECT_EQ (sec.glides[0], 1.0f);
    dragFromTo (f.waveAt (sec.cues[0], 34.0f), f.waveAt (sec.cues[0], 34.0f + 0.377f * (h - 62.0f)));
    EXPECT_NEAR (sec.glides[0], 0.62f, 0.011f);
    EXPECT_EQ (sec.glides[0], std::round (sec.glides[0] * 100.0f) / 100.0f) << "two decimals";

    // A view under 62 px has no glide handles to hit, draw or divide by.
    view.setSize (view.getWidth(), 50);
    EXPECT_FALSE (view.glideY (0.5f, gy));
    for (float y : { 0.0f, 10.0f, 22.0f, 34.0f, 49.0f })
    {
        view.probeHandles ({ view.viewX (sec.cues[0]), y }, kind, index);
        EXPECT_NE (kind, SectionWaveformView::glide);
    }
    render (view);
}

TEST (SectionWaveform, NavigatorJumpsAndZoomsByDrag)
{
    PageFixture f (true);
    Desk desk (*f.page);
    auto& nav = f.page->effectLane.navigator;
    auto& zw = f.page->zoomWindow;
    const auto navPos = nav.getPosition() + f.page->effectLane.getPosition();
    const float w = (float) nav.getWidth();
    auto navAt = [&] (float t, float y) { return P (t * w, y) + navPos.toFloat(); };

    zw = { 0.0f, 0.25f };
    desk.click (navAt (0.75f, 9.0f));
    EXPECT_NEAR (zw.start, 0.625f, 1e-3f);
    EXPECT_NEAR (zw.width, 0.25f, 1e-6f);

    // Dragging the window down by 40 px about doubles its width around the same anchor.
    desk.move (navAt (0.75f, 9.0f));
    desk.press (navAt (0.75f, 9.0f));
    desk.drag (navAt (0.75f, 29.0f));
    desk.drag (navAt (0.75f, 49.0f));
    desk.release (navAt (0.75f, 49.0f));
    EXPECT_NEAR (zw.width, 0.25f * std::exp (0.0173f * 40.0f), 0.01f);
    EXPECT_LE (zw.start + zw.width, 1.0f + 1e-6f);

    // Dragging the right edge to the end of the file, the left one to its start.
    zw = { 0.2f, 0.3f };
    const P edge = navAt (zw.start + zw.width, 9.0f);
    desk.move (edge);
    desk.press (edge);
    desk.drag (navAt (1.0f, 9.0f) + P (20.0f, 0.0f));
    desk.release (navAt (1.0f, 9.0f) + P (20.0f, 0.0f));
    EXPECT_NEAR (zw.start + zw.width, 1.0f, 1e-5f);
    EXPECT_NEAR (zw.start, 0.2f, 1e-6f);
    const P left = navAt (zw.start, 9.0f);
    desk.move (left);
    desk.press (left);
    desk.drag (navAt (0.0f, 9.0f) + P (-20.0f, 0.0f));
    desk.release (navAt (0.0f, 9.0f) + P (-20.0f, 0.0f));
    EXPECT_EQ (zw.start, 0.0f);
    EXPECT_NEAR (zw.width, 1.0f, 1e-5f);
}

TEST (SectionWaveform, PlaceholderWithoutAFileAndEachProcessorShowsItsOwnSong)
{
    PageFixture withSong (true);
    auto other = makeProcessor (0);
    SectionWaveformView empty (*other);
    empty.setSize (600, 200);
    for (int identity : { 0, 5 })
    {
        other->themeIndex = identity;
        const auto img = render (empty);
        juce::Colour top, bottom, grid, centre, text;
        emptyWaveStyle (identity, top, bottom, grid, centre, text);
        EXPECT_TRUE (colourNear (pixel (img, 30, 20), top.interpolatedWith (bottom, 20.0f / 200.0f), 6));
        EXPECT_GT (countInk (img, { 200, 90, 200, 8 }, pixel (img, 30, 95), 40), 20) << "the placeholder text";
    }
    int kind = 0, index = -1;
    empty.probeHandles ({ 300.0f, 100.0f }, kind, index);
    EXPECT_EQ (kind, 0);

    // The loaded song draws in its own view only.
    withSong.page->waveform.setSize (600, 200);
    const auto song = render (withSong.page->waveform);
    EXPECT_FALSE (colourNear (pixel (song, 30, 20), pixel (render (empty), 30, 20), 6));
}

TEST (SectionPage, LayoutAt1200By600AndOnAShortPage)
{
    PageFixture f;
    auto& p = *f.page;
    using R = juce::Rectangle<int>;
    EXPECT_EQ (p.countButtons[0].getBounds(), R (308, 10, 26, 26));
    EXPECT_EQ (p.countButtons[6].getBounds(), R (488, 10, 26, 26));
    EXPECT_EQ (p.resetButton.getBounds(), R (1152, 10, 32, 26));
    EXPECT_EQ (p.enableButton.getBounds(), R (1088, 10, 56, 26));
    EXPECT_EQ (p.autoButton.getBounds(), R (1016, 10, 64, 26));
    EXPECT_EQ (p.followButton.getBounds(), R (900, 10, 108, 26));
    EXPECT_EQ (p.detectButton.getBounds(), R (814, 10, 78, 26));
    EXPECT_EQ (p.infoButton.getBounds(), R (788, 14, 18, 18));
    EXPECT_EQ (p.rewindButton.getBounds(), R (601, 12, 22, 22));
    EXPECT_EQ (p.loopButton.getBounds(), R (679, 12, 22, 22));
    EXPECT_EQ (p.letterHandles[1].getBounds(), R (234, 48, 20, 22));
    EXPECT_EQ (p.letterBoxes[6].getBounds(), R (1046, 46, 124, 26));
    EXPECT_EQ (p.waveform.getBounds(), R (16, 86, 1168, 258));
    EXPECT_EQ (p.splitBar.getBounds(), R (16, 344, 1168, 12));
    EXPECT_EQ (p.effectLane.getBounds(), R (16, 356, 1168, 72));
    EXPECT_EQ (p.inLane.getBounds(), R (16, 434, 1168, 72));
    EXPECT_EQ (p.outLane.getBounds(), R (16, 512, 1168, 72));
    EXPECT_EQ (p.effectLane.navigator.getBounds(), R (1168 - 208, 2, 132, 18));
    EXPECT_EQ (p.effectLane.toolButtons[0].getBounds(), R ((1168 - 132) / 2, 2, 20, 18));
    EXPECT_TRUE (p.letterHandles[0].getTooltip().startsWith ("drag a letter onto a section")) << "the hint has no room in the row";

    p.setSize (1200, 300);
    EXPECT_EQ (p.effectLane.getHeight(), 56);
    EXPECT_EQ (p.waveform.getHeight(), 70);
}

TEST (SectionPage, DamagedRecordNeverReadsPastTheArrays)
{
    PageFixture f (true);
    Desk desk (*f.page);
    auto& sec = f.proc->section;
    for (int count : { 1000, -5, 0 })
    {
        sec.count = count;
        for (int k = 0; k < 7; ++k)
            sec.assign[k] = k % 2 ? 99 : -7, sec.letters[k] = k % 2 ? 4000 : -30, f.proc->sectionClass[k] = k % 2 ? 9 : -3;
        f.proc->sectionAnalysed = true;
        sec.autoFx.resize (1);
        sec.autoIn.clear();
        f.page->resized();
        render (*f.page);
        desk.move (f.waveAt (0.5f, 40.0f));
        desk.click (f.laneAt (f.page->effectLane, 0.5f, 10.0f));
        desk.click (f.laneAt (f.page->inLane, 0.5f, 10.0f));
        EXPECT_EQ (sec.autoFx.size(), 1u) << "a lane with fewer than two points takes no inserts";
        EXPECT_TRUE (sec.autoIn.empty());
        f.page->syncButtons();
        EXPECT_EQ (f.page->letterBoxes[1].getSelectedId(), 17);
    }
}

//==============================================================================
// A user of the full chain on its "Section" tab: a song of three sections is loaded, Detect finds
// them, a boundary is dragged, a section gets another letter and the output lane is lowered over
// the last section. The processor then plays the record the page published: the last section
// 6 dB lower, its new letter's preset in the parameters, and the saved state holds all of it.
TEST (SectionPage, SectionTabEditsAreWhatTheProcessorPlaysAndSaves)
{
    vyrTestFiles::ScratchDir scratch;
    juce::SharedResourcePointer<VyrLookAndFeel> lnf;
    auto proc = makeProcessor (0);
    vyrTest::prepare (*proc, 44100.0, 512);
    proc->loadAudioFile (writeThreeSections (scratch));
    ASSERT_TRUE (proc->fileLoaded) << proc->loadError;
    AppShell shell (*proc);
    shell.setSize (1200, 800);
    Desk desk (shell);
    desk.click (shell.tabButtons[1].getBounds().getCentre().toFloat());
    auto& page = shell.sectionPage;
    ASSERT_TRUE (page.isVisible());
    ASSERT_EQ (page.getBounds(), juce::Rectangle<int> (8, 8, 1184, 510));
    auto& sec = proc->section;
    // Page points in the shell's (the desktop window's) coordinates.
    auto inPage = [&page] (const juce::Component& c, P local) { return local + c.getPosition().toFloat() + page.getPosition().toFloat(); };
    auto gesture = [&desk] (P a, P b)
    {
        desk.move (a);
        desk.press (a);
        desk.drag ((a + b) / 2.0f);
        desk.drag (b);
        desk.release (b);
    };

    sec.count = 3;
    desk.click (inPage (page, page.detectButton.getBounds().getCentre().toFloat()));
    ASSERT_TRUE (proc->sectionAnalysed);
    ASSERT_EQ (sec.count, 3);
    EXPECT_NEAR (sec.cues[1], 2.0f / 3.0f, 0.03f);
    auto& wave = page.waveform;
    const float midY = (float) wave.getHeight() / 2.0f;
    gesture (inPage (wave, { wave.viewX (sec.cues[1]), midY }), inPage (wave, { wave.viewX (0.7f), midY }));
    EXPECT_NEAR (sec.cues[1], 0.7f, 0.002f);
    // Letter G stands for a preset the last section does not play yet.
    const int newLetter = 6;
    const int newPreset = sec.letters[sec.assign[2]] == 8 ? 10 : 8;
    page.letterBoxes[newLetter].setSelectedId (newPreset + 1, juce::sendNotificationSync);
    ASSERT_EQ (sec.letters[newLetter], newPreset);
    gesture (inPage (page.letterHandles[newLetter], { 10.0f, 11.0f }), inPage (wave, { wave.viewX (0.9f), midY + 30.0f }));
    EXPECT_EQ (sec.assign[2], newLetter);
    desk.click (inPage (page, page.followButton.getBounds().getCentre().toFloat()));
    ASSERT_TRUE (sec.enabled && sec.liveFollow && sec.autoRide);

    // Playing the last section: the audio thread reports it, the message thread applies its preset.
    auto play = [&proc] (double position)
    {
        proc->transport.setPosition (position * proc->transport.getLengthInSeconds());
        juce::AudioBuffer<float> block (2, 512);
        juce::MidiBuffer midi;
        double rms = 0.0;
        for (int i = 0; i < 40; ++i)
        {
            for (int ch = 0; ch < 2; ++ch)
                for (int n = 0; n < 512; ++n)
                    block.setSample (ch, n, 0.05f * (float) std::sin (0.0628 * (i * 512 + n)));
            proc->processBlock (block, midi);
            vyrTest::serveRequests (*proc);
            if (i >= 30)
                rms += block.getRMSLevel (0, 0, 512);
        }
        return (float) (rms / 10.0);
    };
    const float before = play (0.9);
    const auto& preset = vyrFactory::get (sec.letters[newLetter]);
    EXPECT_EQ (proc->apvts.getRawParameterValue ("limiter_ceiling")->load(), preset.limiter_ceiling);
    EXPECT_EQ (proc->apvts.getRawParameterValue ("compressor_threshold")->load(), preset.compressor_threshold);
    EXPECT_EQ (proc->apvts.getRawParameterValue ("limiter_enabled")->load() > 0.5f, preset.limiter_enabled);

    // The Step tool on the effect lane, then the output lane's last plane down to -6 dB.
    auto& fx = page.effectLane;
    desk.click (inPage (fx, fx.toolButtons[MasterAutomationView::toolStep].getBounds().getCentre().toFloat()));
    auto& out = page.outLane;
    const float plane = 0.5f * (sec.cues[1] + 1.0f);
    gesture (inPage (out, { out.xOf (plane), out.yOf (0.0f) }), inPage (out, { out.xOf (plane), out.yOf (-6.0f) }));
    EXPECT_EQ (vyrSection::sampleAutomation (sec.autoOut, 0.9f), -6.0f);
    EXPECT_EQ (vyrSection::sampleAutomation (sec.autoOut, 0.5f), 0.0f);
    const float after = play (0.9);
    EXPECT_NEAR (juce::Decibels::gainToDecibels (after / before), -6.0f, 0.5f);

    juce::MemoryBlock state;
    proc->getStateInformation (state);
    auto restored = makeProcessor (0);
    restored->setStateInformation (state.getData(), (int) state.getSize());
    const auto& r = restored->section;
    EXPECT_EQ (r.count, sec.count);
    EXPECT_TRUE (r.enabled && r.liveFollow && r.autoRide);
    for (int k = 0; k < 6; ++k)
    {
        EXPECT_NEAR (r.cues[k], sec.cues[k], 1e-4f);
        EXPECT_NEAR (r.glides[k], sec.glides[k], 1e-3f);
    }
    for (int k = 0; k < 7; ++k)
    {
        EXPECT_EQ (r.assign[k], sec.assign[k]);
        EXPECT_EQ (r.letters[k], sec.letters[k]);
    }
    for (auto [a, b] : { std::pair { &r.autoFx, &sec.autoFx }, std::pair { &r.autoIn, &sec.autoIn }, std::pair { &r.autoOut, &sec.autoOut } })
    {
        ASSERT_EQ (a->size(), b->size());
        for (size_t i = 0; i < a->size(); ++i)
        {
            const auto& x = (*a)[i];
            const auto& y = (*b)[i];
            EXPECT_NEAR (x.t, y.t, 1e-4f);
            EXPECT_NEAR (x.value, y.value, 1e-3f);
            EXPECT_EQ (x.step, y.step);
            EXPECT_EQ (x.hasOut, y.hasOut);
            EXPECT_EQ (x.hasIn, y.hasIn);
        }
    }
}

TEST (SectionPage, RendersWithASongSectionsAndEditedLanes)
{
    for (int identity : { 0, 3 })
    {
        // Twelve seconds of beats over noise in four sections: quiet intro, verse, loud chorus, outro.
        vyrTestFiles::ScratchDir dir;
        juce::Random rng (11);
        vyrTestFiles::writeWav (dir["song.wav"], 8000.0, 2, 96000, [&rng] (int ch, int i)
                                {
                                    const float level[4] = { 0.12f, 0.35f, 0.8f, 0.3f };
                                    const float beat = std::exp (-(float) (i % 4000) / 900.0f);
                                    const float swell = 0.75f + 0.25f * std::sin ((float) i / 5200.0f);
                                    return (ch == 0 ? 1.0f : 0.97f) * level[i / 24000] * swell * (0.35f + 0.65f * beat) * (rng.nextFloat() * 2.0f - 1.0f);
                                });
        auto proc = makeProcessor (0, true);
        proc->loadAudioFile (dir["song.wav"]);
        proc->themeIndex = identity;
        juce::SharedResourcePointer<VyrLookAndFeel> lnf;
        SectionMasteringPanel page (*proc);
        page.setSize (1200, 640);
        proc->section.count = 4;
        page.detect();
        auto& sec = proc->section;
        sec.assign[3] = 1;
        sec.autoOut.insert (sec.autoOut.end() - 1, VyrAutoPt { 0.86f, -9.0f });
        sec.autoIn.insert (sec.autoIn.begin() + 1, VyrAutoPt { 0.12f, 6.0f });
        page.effectLane.toggleSegment (0);
        page.zoomWindow = { 0.04f, 0.92f };
        savePng (render (page), "section-page-identity-" + juce::String (identity));
    }
}

TEST (SectionPage, SurvivesEveryProductSizeAndMeterData)
{
    checkSurvives ([] (VyrAudioProcessor& p) { return std::make_unique<SectionMasteringPanel> (p); }, { 0, 0, 1200, 600 });
}
