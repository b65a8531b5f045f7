// The studio pages ask to repaint only what changed: shown on the desktop (Xvfb) under a root
// that logs every repaint they ask for, with the pages' timers ticked by hand.
#include "GuiTestUtil.h"
#include "FileTestUtil.h"
#include "Ui/Foundation/VyrLookAndFeel.h"
#include "Ui/Studio/FinalOutputPanel.h"
#include "Ui/Studio/MasteredWaveformPanel.h"

#include <vector>

using namespace vyrGui;

namespace
{
// The window's root logs every repaint its children ask for (they reach it as its own repaint
// requests), then lets them through; the log is exact, whatever else the X server asks to paint.
struct RepaintLog : juce::Component
{
    struct Log : juce::CachedComponentImage
    {
        explicit Log (RepaintLog& o) : owner (o) {}
        void paint (juce::Graphics& g) override
        {
            ++owner.paints;
            for (auto* c : owner.getChildren())
                if (c->isVisible())
                {
                    juce::Graphics::ScopedSaveState save (g);
                    g.reduceClipRegion (c->getBounds());
                    g.setOrigin (c->getPosition());
                    c->paintEntireComponent (g, false);
                }
        }
        bool invalidateAll() override { return invalidate (owner.getLocalBounds()); }
        bool invalidate (const juce::Rectangle<int>& area) override
        {
            owner.asked.add (area);
            return true;
        }
        void releaseResources() override {}
        RepaintLog& owner;
    };

    RepaintLog() { setCachedComponentImage (new Log (*this)); }

    // Which of the points the repaints asked for since the last call cover; what was asked is
    // painted before this returns, so the components' own records of what they show are current.
    std::vector<bool> askedAt (const std::vector<juce::Point<int>>& points)
    {
        std::vector<bool> hit;
        for (auto p : points)
            hit.push_back (asked.containsPoint (p));
        if (! asked.isEmpty())
        {
            const int before = paints;
            pumpUntil ([&] { return paints > before; }, 2000);
        }
        asked.clear();
        return hit;
    }
    juce::RectangleList<int> asked;
    int paints = 0;
};

std::vector<bool> none (size_t n) { return std::vector<bool> (n, false); }

juce::File writeSong (const vyrTestFiles::ScratchDir& dir)
{
    auto file = dir["song.wav"];
    juce::Random rng (3);
    vyrTestFiles::writeWav (file, 44100.0, 2, 4 * 44100, [&rng] (int, int) { return 0.3f * (rng.nextFloat() * 2.0f - 1.0f); });
    return file;
}
}

TEST (StudioRepaint, MasteredWaveRepaintsOnlyThePlayheadStripsAsItMoves)
{
    juce::SharedResourcePointer<VyrLookAndFeel> lnf;
    auto proc = makeProcessor (0);
    vyrTestFiles::ScratchDir dir;
    proc->loadAudioFile (writeSong (dir));
    ASSERT_TRUE (proc->fileLoaded);
    proc->transport.setPosition (1.0); // a quarter of the song: x 208 of the 768-px wave

    RepaintLog spy;
    spy.setSize (800, 430);
    MasteredWaveformPanel panel (*proc);
    panel.setBounds (spy.getLocalBounds());
    spy.addAndMakeVisible (panel);
    Desk desk (spy);
    timerOf (panel).stopTimer();
    const std::vector<juce::Point<int>> wave { { 60, 100 }, { 208, 100 }, { 300, 100 }, { 400, 100 }, { 700, 100 } };

    // Let the model settle (it rebuilds at most every 40 ms after its inputs change).
    for (int i = 0; i < 50; ++i)
    {
        panel.tick();
        if (spy.askedAt (wave) == none (wave.size()))
            break;
        juce::Thread::sleep (20);
    }
    // Nothing moved: a tick leaves the wave area alone (the tape below takes its sample).
    panel.tick();
    EXPECT_EQ (spy.askedAt (wave), none (wave.size()));

    // The playhead moves to the middle (x 400): its old and new strips repaint, nothing between.
    proc->transport.setPosition (2.0);
    panel.tick();
    EXPECT_EQ (spy.askedAt (wave), (std::vector<bool> { false, true, false, true, false }));
}

TEST (StudioRepaint, FinalOutputAtRestPaintsNothingAndAChangedValueOnlyItsAnalyser)
{
    juce::SharedResourcePointer<VyrLookAndFeel> lnf;
    auto proc = makeProcessor (0);
    setMeterData (*proc, MeterData::silent);

    RepaintLog spy;
    spy.setSize (900, 360);
    FinalOutputPanel panel (*proc);
    panel.setBounds (spy.getLocalBounds());
    spy.addAndMakeVisible (panel);
    Desk desk (spy);
    timerOf (panel).stopTimer();
    panel.analyzer.stopTimer();
    timerOf (panel.meter).stopTimer();
    auto tickAll = [&]
    {
        panel.tick();
        panel.analyzer.timerCallback();
        panel.meter.tick();
    };
    // The analyser's middle, its loudness box, the meter, the page's header.
    const auto a = panel.analyzer.getBounds(), m = panel.meter.getBounds();
    const std::vector<juce::Point<int>> probes { a.getCentre(), { a.getRight() - 60, a.getY() + 50 }, m.getCentre(), { 100, 20 } };

    for (int i = 0; i < 3; ++i)
    {
        tickAll();
        spy.askedAt ({});
    }
    // Silence at rest: a round of every timer paints nothing.
    tickAll();
    EXPECT_TRUE (spy.asked.isEmpty()) << spy.asked.getBounds().toString();

    // A new loudness reading repaints the analyser only.
    proc->meters.lufsShort = -14.0f;
    tickAll();
    EXPECT_EQ (spy.askedAt (probes), (std::vector<bool> { true, true, false, false }));
}
