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

void spaceDelayParams (float angle, float radius, float& time, float& feedback, float& crossfadeMs, bool& on) noexcept
{
    struct Row { float time, feedback, xfade; };
    static const Row kDel[8] = { { 0.11f, 0.10f, 15.0f }, { 0.188f, 0.35f, 15.0f }, { 0.281f, 0.40f, 15.0f }, { 0.5f, 0.45f, 20.0f },
                                 { 0.26f, 0.55f, 30.0f }, { 0.38f, 0.72f, 25.0f }, { 0.62f, 0.65f, 40.0f }, { 0.141f, 0.50f, 20.0f } };
    float a = std::isfinite (angle) ? angle : 0.0f;
    for (int k = 0; k < 2; ++k)
    {
        a = a - std::floor (a);
        if (a < 0.0f)
            a += 1.0f;
    }
    if (a >= 1.0f)
        a = 0.0f;
    const float p = 8.0f * a;
    const int i = ((int) std::floor (p) % 8 + 8) % 8;
    const int j = (i + 1) % 8;
    const float t = p - std::floor (p);
    const float T = kDel[i].time + t * (kDel[j].time - kDel[i].time);
    const float F = kDel[i].feedback + t * (kDel[j].feedback - kDel[i].feedback);
    const float X = kDel[i].xfade + t * (kDel[j].xfade - kDel[i].xfade);
    const float r = juce::jlimit (0.0f, 1.0f, std::isfinite (radius) ? radius : 0.0f);
    on = r > 0.04f;
    time = 0.04f + r * T;
    feedback = r * F;
    crossfadeMs = 12.0f + r * (X - 12.0f);
}
}

namespace vyrMidi
{
int applyQuarnMidi (juce::AudioProcessorValueTreeState&, const juce::MidiBuffer&)
{
    return 0;
}
}
