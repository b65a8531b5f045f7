#include "Ui/Foundation/VyrTheme.h"

// clang-format off
const VyrTheme kThemes[kNumThemes] = {
    // id  key           name                 tagline
    //     accent      accent2     glow        glow2       brightAccent panelTop    panelBottom outline     text
    //     radius  kerning textured light
    { VyrThemeId::dark, "dark", "Precision Studio", "Clean pro-audio dark",
      0xff38e0ff, 0xff818cf8, 0x3838e0ff, 0x336366f1, 0xff67e8f9, 0xeb202a3a, 0xf0161e2c, 0x2938e0ff, 0xff7dd3fc,
      13.6f, 0.005f, false, false },
    { VyrThemeId::glass, "glass", "Ethereal Glass", "Frosted liquid glass",
      0xff22d3ee, 0xffe879f9, 0x4c38bdf8, 0x4ce879f9, 0xffa5f3fc, 0x29ffffff, 0x0affffff, 0x4cffffff, 0xfff5d0fe,
      22.4f, 0.012f, false, false },
    { VyrThemeId::titanium, "titanium", "Forge Titanium", "Brushed industrial metal",
      0xffe0a94e, 0xff9aa4b2, 0x33d4a04a, 0x24b4bcc8, 0xfff1d9a1, 0xff2c3038, 0xff22262c, 0x33ffffff, 0xffd4b572,
      5.12f, 0.018f, false, false },
    { VyrThemeId::retro, "retro", "Analog Rack", "Warm 80s studio rack",
      0xffff9e1a, 0xff4ade80, 0x3dff9e1a, 0x294ade80, 0xffff9e1a, 0xff342618, 0xff22180e, 0xff7a5828, 0xffffb84d,
      8.0f, 0.015f, true, false },
    { VyrThemeId::hud, "hud", "Neural Lab", "Cyberpunk command centre",
      0xff00f0ff, 0xffaaff00, 0x4200f0ff, 0x33ff2dd1, 0xff00f0ff, 0xf01c282e, 0xf5141e24, 0x9e00f0ff, 0xff7df9ff,
      2.88f, 0.03f, true, false },
    { VyrThemeId::instrument, "instrument", "Instrument Lab", "Calibrated bench instrument",
      0xff2c5f52, 0xff9a7b4a, 0x1a2c5f52, 0x0f1a1a1a, 0xffeaf0e6, 0xffc6d4c6, 0xffb8c8b8, 0xff1a1a1a, 0xff1a1a1a,
      8.0f, 0.01f, false, true },
};
// clang-format on

juce::Colour vyrInk (int themeId)
{
    return juce::Colour (vyrTheme (themeId).light ? vyrColours::inkDark : vyrColours::inkLight);
}

namespace
{
struct FxEntry
{
    const char* key;
    juce::uint32 colour;
    const char* title;
};

// clang-format off
const FxEntry kFxEntries[] = {
    { "compressor",      0xffa9a6a1, "Compressor" },
    { "saturation",      0xffff754e, "Saturation" },
    { "analogueDensity", 0xff6fb1e0, "Analogue Density" },
    { "clip",            0xff98fb98, "Clipper" },
    { "tape",            0xffe8a06a, "Tape Machine" },
    { "delay",           0xffffc76d, "Delay" },
    { "reverb",          0xff68d3ce, "Reverb" },
    { "eq",              0xffffb74d, "EQ Parametric" },
    { "dynamicEq",       0xffc084fc, "EQ Dynamic" },
    { "multiBandComp",   0xff4ade80, "Multiband Comp" },
    { "stereoImager",    0xff5eead4, "Stereo Imager" },
    { "tovu",            0xff818cf8, "Tovu" },
    { "limiter",         0xffff6b6b, "Limiter" },
};
// clang-format on

const FxEntry* findFx (const juce::String& key)
{
    for (const auto& e : kFxEntries)
        if (key == e.key)
            return &e;
    return nullptr;
}
}

juce::Colour vyrFxColour (const juce::String& moduleKey)
{
    const auto* e = findFx (moduleKey);
    return juce::Colour (e != nullptr ? e->colour : vyrColours::defaultFx);
}

juce::String vyrFxTitle (const juce::String& moduleKey)
{
    const auto* e = findFx (moduleKey);
    return e != nullptr ? juce::String (e->title) : moduleKey;
}
