#include "Ui/FxChain/FxModuleSlots.h"

#include "Ui/FxChain/StudioComponent.h"

#include "Ui/EqEditor/EqPanel.h"
#include "Ui/ModulePanels/ImagerPanel.h"
#include "Ui/ModulePanels/LimiterPanel.h"
#include "Ui/ModulePanels/MbcPanel.h"
#include "Ui/ModulePanels/TovuPanel.h"

// The modules that bring a panel of their own: the page shows it in place of the knob rack.
void StudioComponent::buildModulePanels()
{
    panels[eqSlot].moduleKey = "eq";
    panels[dynamicEqSlot].moduleKey = "dynamicEq";
    panels[mbcSlot].moduleKey = "multiBandComp";
    panels[tovuSlot].moduleKey = "tovu";
    panels[imagerSlot].moduleKey = "stereoImager";
    panels[limiterSlot].moduleKey = "limiter";

    vyrFxSlots::plug<EqPanel> (panels[eqSlot], processor, false);
    vyrFxSlots::plug<EqPanel> (panels[dynamicEqSlot], processor, true);
    vyrFxSlots::plug<MbcPanel> (panels[mbcSlot], processor);
    vyrFxSlots::plug<TovuPanel> (panels[tovuSlot], processor);
    vyrFxSlots::plug<ImagerPanel> (panels[imagerSlot], processor);
    vyrFxSlots::plug<LimiterPanel> (panels[limiterSlot], processor);
}

namespace vyrFxSlots
{
void paintModuleVisual (juce::Graphics& g, StudioComponent& page, const juce::String& moduleKey, juce::Rectangle<float> area,
                        bool enabled)
{
    auto s = page.pictureState();
    s.key = moduleKey;
    s.graph = area;
    s.enabled = enabled;
    vyrFxPictures::paint (g, page.processor, s);
}
}
