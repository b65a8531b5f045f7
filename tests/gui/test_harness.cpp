// The GUI test helpers themselves: real events reach a component's handlers, gestures are
// counted per parameter, processors of every product and wrapper are built.
#include "GuiTestUtil.h"

using namespace vyrGui;

namespace
{
struct Recorder : juce::Component
{
    int downs = 0, ups = 0, enters = 0, exits = 0, drags = 0;
    juce::Array<int> keys;
    Recorder() { setWantsKeyboardFocus (true); }
    void mouseDown (const juce::MouseEvent&) override { ++downs; }
    void mouseUp (const juce::MouseEvent&) override { ++ups; }
    void mouseDrag (const juce::MouseEvent&) override { ++drags; }
    void mouseEnter (const juce::MouseEvent&) override { ++enters; }
    void mouseExit (const juce::MouseEvent&) override { ++exits; }
    bool keyPressed (const juce::KeyPress& k) override
    {
        keys.add (k.getKeyCode());
        return true;
    }
};

struct Ticker : juce::Timer
{
    int ticks = 0;
    void timerCallback() override { ++ticks; }
};
}

TEST (GuiHarness, MouseAndKeyEventsReachTheHandlers)
{
    Recorder r;
    r.setSize (100, 60);
    Desk desk (r);
    desk.move ({ 10, 10 });
    desk.press ({ 10, 10 });
    desk.drag ({ 30, 20 });
    desk.release ({ 30, 20 });
    desk.leave();
    EXPECT_EQ (r.downs, 1);
    EXPECT_EQ (r.ups, 1);
    EXPECT_GE (r.drags, 1);
    EXPECT_EQ (r.enters, 1);
    EXPECT_EQ (r.exits, 1);

    r.grabKeyboardFocus();
    EXPECT_TRUE (desk.key (juce::KeyPress (juce::KeyPress::escapeKey)));
    ASSERT_EQ (r.keys.size(), 1);
    EXPECT_EQ (r.keys[0], juce::KeyPress::escapeKey);
}

TEST (GuiHarness, ButtonClickFiresOnce)
{
    juce::TextButton b ("Go");
    b.setSize (80, 30);
    int clicks = 0;
    b.onClick = [&] { ++clicks; };
    Desk desk (b);
    desk.click (40, 15);
    EXPECT_EQ (clicks, 1);
    // Released outside: no click.
    desk.press ({ 40, 15 });
    desk.drag ({ 200, 15 });
    desk.release ({ 200, 15 });
    EXPECT_EQ (clicks, 1);
}

TEST (GuiHarness, SliderDragIsOneGestureOnItsParameter)
{
    auto proc = makeProcessor (15);
    GestureCounter gestures (*proc);
    juce::Slider s (juce::Slider::LinearHorizontal, juce::Slider::NoTextBox);
    s.setSize (200, 30);
    juce::SliderParameterAttachment attachment (*proc->apvts.getParameter ("masterTrim"), s);
    const float before = proc->apvts.getRawParameterValue ("masterTrim")->load();
    {
        Desk desk (s);
        desk.move ({ 100, 15 });
        desk.press ({ 100, 15 });
        for (int x = 110; x <= 180; x += 10)
            desk.drag ({ (float) x, 15 });
        desk.release ({ 180, 15 });
    }
    EXPECT_EQ (gestures.begins ("masterTrim"), 1);
    EXPECT_EQ (gestures.ends ("masterTrim"), 1);
    EXPECT_GT (gestures.changes ("masterTrim"), 0);
    EXPECT_GT (proc->apvts.getRawParameterValue ("masterTrim")->load(), before);
    EXPECT_EQ (gestures.totalBegins(), 1);
}

TEST (GuiHarness, TimerTicksAndPumping)
{
    Ticker t;
    tick (t);
    tick (t);
    EXPECT_EQ (t.ticks, 2);
    bool delivered = false;
    juce::MessageManager::callAsync ([&] { delivered = true; });
    EXPECT_TRUE (pumpUntil ([&] { return delivered; }));
}

TEST (GuiHarness, ProcessorsOfEveryProductAndWrapper)
{
    for (int product = 0; product < kNumProducts; ++product)
        for (bool standalone : { false, true })
        {
            auto p = makeProcessor (product, standalone);
            EXPECT_EQ (p->product, product);
            EXPECT_EQ (p->wrapperType, standalone ? juce::AudioProcessor::wrapperType_Standalone
                                                  : juce::AudioProcessor::wrapperType_VST3);
        }
}

TEST (GuiHarness, PlaceholderEditorSurvives)
{
    checkSurvives ([] (VyrAudioProcessor& p) {
        return std::unique_ptr<juce::Component> (p.createEditor());
    });
}
