// What the FX chain page's timer repaints while a module picture shows: nothing while the picture
// shows the same frame, only its moving parts while audio plays or its clock runs, the whole picture
// when a parameter moves; and a screen that receives only those repaints looks exactly like the page
// painted whole at the same moment.
#include "GuiTestUtil.h"
#include "ProcessorFixture.h"
#include "Ui/FxChain/StudioComponent.h"

using namespace vyrGui;

namespace
{
struct Case
{
    int product;
    const char* param; // a parameter of the module its picture draws
    float value;
    bool movesAtRest;  // the picture animates with the clock alone
};

// Products 1 and 3 to 8: compressor, saturation, density, clip, tape, delay, reverb.
const Case kCases[] = {
    { 1, "compressor_threshold", -30.0f, false }, { 3, "saturation_drive", 0.8f, false },
    { 4, "analogueDensity_density", 40.0f, true }, { 5, "clip_drive", 12.0f, false },
    { 6, "tape_wow", 0.5f, true },                  { 7, "delay_feedback", 0.7f, true },
    { 8, "reverb_decay", 6.0f, true },
};

struct LivePage
{
    std::unique_ptr<VyrAudioProcessor> proc;
    std::unique_ptr<StudioComponent> page;

    // `clipView` 2 shows the clipper's animated macro display.
    explicit LivePage (int product, int clipView = 0)
    {
        proc = makeProcessor (product);
        page = std::make_unique<StudioComponent> (*proc);
        page->setSize (855, 470);
        vyrTest::setParam (*proc, (page->moduleId() + "_enabled").toRawUTF8(), 1.0f);
        if (clipView != 0)
            page->selectClipView (clipView);
    }

    // Program audio as the meters hold it: one reading for both sides.
    void meters (float peak)
    {
        for (int ch = 0; ch < 2; ++ch)
        {
            proc->meters.inPeak[ch] = peak;
            proc->meters.outPeak[ch] = 0.7f * peak;
            proc->meters.inRms[ch] = 0.3f * peak;
        }
        proc->liveChain.compressorGr = peak > 0.1f ? 20.0f * peak : 0.0f;
    }
};

int areaOf (const juce::RectangleList<int>& list)
{
    int a = 0;
    for (const auto& r : list)
        a += r.getWidth() * r.getHeight();
    return a;
}
} // namespace

TEST (FxLivePictures, TimerRepaintsOnlyWhatMoved)
{
    for (const auto& c : kCases)
    {
        SCOPED_TRACE (c.product);
        LivePage p (c.product);
        Desk desk (*p.page);
        timerOf (*p.page).stopTimer(); // only the test's own ticks move the pictures from here on
        const int pageArea = p.page->getWidth() * p.page->getHeight();
        // The delay's sweep repaints from where it was on to the screen's right edge, so its area
        // depends on where the sweep stands, which depends on how many real ticks ran while the window
        // was shown: it must stay below the whole picture. Of two ticks in a row (never both wrapping
        // round) the smaller counts.
        auto smallerOfTwoTicks = [&p]
        {
            p.page->tick();
            const int first = areaOf (p.page->tickRepaints);
            p.page->tick();
            return juce::jmin (first, areaOf (p.page->tickRepaints));
        };
        p.meters (0.3f);
        p.page->tick(); // the first tick after showing takes in the page
        p.page->tick();

        // The same reading: a still picture asks for nothing, a moving one for a part of itself.
        const int atRest = smallerOfTwoTicks();
        const int pictureArea = areaOf (juce::RectangleList<int> (
            vyrFxPictures::bounds (p.page->pictureState()).getIntersection (p.page->getLocalBounds())));
        const int movingBound = c.product == 7 ? pictureArea : pageArea / 3;
        if (c.movesAtRest)
        {
            EXPECT_GT (atRest, 0);
            EXPECT_LT (atRest, movingBound);
        }
        else
            EXPECT_EQ (atRest, 0);

        // A new reading moves the compressor's dot, fill and meters, and only those.
        p.meters (0.6f);
        p.page->tick();
        if (c.product == 1)
        {
            EXPECT_FALSE (p.page->tickRepaints.isEmpty());
            EXPECT_LT (areaOf (p.page->tickRepaints), pageArea / 6);
        }
        else if (! c.movesAtRest && c.product != 4)
            EXPECT_TRUE (p.page->tickRepaints.isEmpty());

        // Host automation of a parameter the picture draws repaints the whole picture once.
        vyrTest::setParam (*p.proc, c.param, c.value);
        p.page->tick();
        EXPECT_TRUE (p.page->tickRepaints.containsRectangle (vyrFxPictures::bounds (p.page->pictureState())
                                                                 .getIntersection (p.page->getLocalBounds())));
        EXPECT_LT (smallerOfTwoTicks(), movingBound);
    }
}

// A screen that is repainted only where the ticks asked shows, after every tick, what a paint of the
// whole page shows at the same moment: no trail of a dot, a sweep, a reel or an LED is left. (Where a
// repaint's edge crosses an anti-aliased clip the renderer may round a few levels differently; an
// unoptimised build rounds up to three levels off at the tape's reel edge.)
TEST (FxLivePictures, RepaintingOnlyTheMovedAreasLeavesNothingStale)
{
    const float readings[] = { 0.3f, 0.31f, 0.0f, 0.0f, 0.9f, 0.05f, 0.5f };
    const std::pair<int, int> pages[] = { { 1, 0 }, { 3, 0 }, { 4, 0 }, { 5, 0 }, { 5, 2 }, { 6, 0 }, { 7, 0 }, { 8, 0 } };
    for (const auto& [product, view] : pages)
    {
        SCOPED_TRACE (juce::String (product) + " view " + juce::String (view));
        LivePage p (product, view);
        Desk desk (*p.page);
        timerOf (*p.page).stopTimer(); // only the test's own ticks move the pictures from here on
        p.meters (0.2f);
        p.page->tick();
        auto screen = render (*p.page).createCopy();
        for (const float peak : readings)
        {
            p.meters (peak);
            p.page->tick();
            for (const auto& area : p.page->tickRepaints)
            {
                screen.clear (area);
                juce::Graphics g (screen);
                g.reduceClipRegion (area);
                p.page->paintEntireComponent (g, true);
            }
            const auto whole = render (*p.page);
            int differing = 0;
            for (int y = 0; y < whole.getHeight(); ++y)
                for (int x = 0; x < whole.getWidth(); ++x)
                    differing += colourDistance (screen.getPixelAt (x, y), whole.getPixelAt (x, y)) > 4 ? 1 : 0;
            EXPECT_EQ (differing, 0) << "after a reading of " << peak;
        }
        savePng (screen, "fx-live-picture-" + juce::String (product) + "-" + juce::String (view));
    }
}
