#include "Ui/FxChain/FxModuleSlots.h"

#include "Ui/FxChain/StudioComponent.h"

// The module panels, one line each once their classes are in the build, e.g.
//   vyrFxSlots::plug<EqPanel> (panels[eqSlot], processor, false);
//   vyrFxSlots::plug<EqPanel> (panels[dynamicEqSlot], processor, true);
//   vyrFxSlots::plug<MbcPanel> (panels[mbcSlot], processor);
//   vyrFxSlots::plug<TovuPanel> (panels[tovuSlot], processor);
//   vyrFxSlots::plug<ImagerPanel> (panels[imagerSlot], processor);
//   vyrFxSlots::plug<LimiterPanel> (panels[limiterSlot], processor);
// An empty slot leaves its module's body empty.
void StudioComponent::buildModulePanels()
{
    panels[eqSlot].moduleKey = "eq";
    panels[dynamicEqSlot].moduleKey = "dynamicEq";
    panels[mbcSlot].moduleKey = "multiBandComp";
    panels[tovuSlot].moduleKey = "tovu";
    panels[imagerSlot].moduleKey = "stereoImager";
    panels[limiterSlot].moduleKey = "limiter";
}

namespace vyrFxSlots
{
void paintModuleVisual (juce::Graphics&, StudioComponent&, const juce::String&, juce::Rectangle<float>, bool)
{
}
}
