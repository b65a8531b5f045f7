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
