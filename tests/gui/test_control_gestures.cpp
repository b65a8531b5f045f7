#include "GuiTestUtil.h"
#include "Ui/Controls/HardwareFader.h"
#include "Ui/Controls/HardwareKnob.h"
#include "Ui/Controls/MasterEffectGauge.h"
#include "Ui/Controls/RackFaders.h"

using namespace vyrGui;

// A page that rebuilds its controls while the user still holds one (a module change arriving from
// the host, say) must not leave the host's gesture on that parameter open.
TEST (ControlGestures, ControlDestroyedMidDragEndsItsGesture)
{
    auto proc = makeProcessor (15);
    struct Case
    {
        const char* id;
        std::function<std::unique_ptr<juce::Component>()> make;
        juce::Point<float> press;
    };
    const Case cases[] = {
        { "compressor_threshold", [&]
          { return std::make_unique<HardwareKnob> (proc->apvts, "compressor_threshold", "Thresh", "dB", juce::Colours::red, 60); },
          { 34, 30 } },
        { "masterTrim", [&]
          { return std::make_unique<MasterEffectGauge> (*proc); },
          { 106, 176 } },
        { "inputGainL", [&]
          { return std::make_unique<HardwareFader> (proc->apvts, "inputGainL", juce::Colours::red); },
          { 20, 100 } },
        { "delay_mix", [&]
          { return std::make_unique<TcFader> (proc->apvts, "delay_mix", "Mix", TcReadout::percent); },
          { 100, 28 } },
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.id);
        juce::Component page;
        page.setSize (400, 400);
        auto control = c.make();
        if (dynamic_cast<HardwareFader*> (control.get()) != nullptr)
            control->setSize (40, 200);
        page.addAndMakeVisible (*control);
        Desk desk (page);
        GestureCounter gestures (*proc);
        desk.move (c.press);
        desk.press (c.press);
        desk.drag (c.press - juce::Point<float> (0.0f, 10.0f));
        desk.drag (c.press - juce::Point<float> (0.0f, 20.0f));
        ASSERT_EQ (gestures.begins (c.id), 1);
        ASSERT_EQ (gestures.ends (c.id), 0);
        control.reset();
        EXPECT_EQ (gestures.ends (c.id), 1);
        desk.release (c.press - juce::Point<float> (0.0f, 20.0f));
        EXPECT_EQ (gestures.begins (c.id), 1);
        EXPECT_EQ (gestures.ends (c.id), 1);
    }
}
