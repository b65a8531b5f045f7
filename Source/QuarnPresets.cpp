#include "QuarnPresets.h"

namespace vyrQuarn
{
StyleRecipe gStyleRecipes[7];
LufsRecipe gLufsRecipes[5] = {
    { -23.0f, -1.0f, 0.0f, 0.05f, 0.0f },
    { -16.0f, -1.0f, 0.0f, 0.05f, 0.0f },
    { -14.0f, -1.0f, 0.0f, 0.05f, 0.0f },
    { -11.0f, -1.0f, 0.0f, 0.05f, 0.0f },
    { -9.0f, -1.0f, 0.0f, 0.05f, 0.0f },
};
float gMediumLufs[8] = { -23.0f, -16.0f, -9.0f, -14.0f, -11.0f, -18.0f, -14.0f, -8.0f };

// The recipe document and the recipe writes are filled in by the recipe subsystem; until then the
// built-in tables stand and a recipe request changes only the chosen indexes.
void loadQuarnPresets() {}
void applyLufs (juce::AudioProcessorValueTreeState&, int, bool) {}
void applyChips (juce::AudioProcessorValueTreeState&, int, int, bool, int) {}
void apply (juce::AudioProcessorValueTreeState&, bool) {}
}

namespace vyrMidi
{
int applyQuarnMidi (juce::AudioProcessorValueTreeState&, const juce::MidiBuffer&)
{
    return 0;
}
}
