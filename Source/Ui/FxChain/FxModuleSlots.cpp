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
    VyrPictureState s;
    s.key = moduleKey;
    s.moduleRect = page.moduleRect();
    s.graph = area;
    s.enabled = enabled;
    s.clipView = page.clipView;
    s.reverbView = page.reverbView;
    s.vuBallistics = page.vuBallistics;
    s.animTime = page.animTime;
    s.tubeTime = juce::Time::getMillisecondCounterHiRes() * 0.001;
    s.reelAngle = page.reelAngle;
    s.reelLevel = page.reelLevel;
    s.hoverHit = page.hoverHit;
    s.dragHit = page.dragHit;
    s.clipHandleX[0] = page.clipHandleX[0];
    s.clipHandleX[1] = page.clipHandleX[1];
    vyrFxPictures::paint (g, page.processor, s);
}
}
