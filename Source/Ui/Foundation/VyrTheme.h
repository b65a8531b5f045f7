#pragma once

#include <juce_graphics/juce_graphics.h>

#include <atomic>

// The six visual identities of the editor and the small lookups every panel shares.
// The identity in force is the processor's themeIndex; readers clamp it with vyrClampTheme
// and read its record through vyrTheme().

namespace VyrThemeId
{
enum : int
{
    dark = 0,
    glass = 1,
    titanium = 2,
    retro = 3,
    hud = 4,
    instrument = 5
};
}

struct VyrTheme
{
    int id;
    const char* key;
    const char* name;
    const char* tagline;
    juce::uint32 accent;
    juce::uint32 accent2;
    juce::uint32 glow;
    juce::uint32 glow2;
    juce::uint32 brightAccent;
    juce::uint32 panelTop;
    juce::uint32 panelBottom;
    juce::uint32 outline;
    juce::uint32 text;
    float cornerRadius;
    float titleKerning;
    bool textured;
    bool light;

    juce::Colour accentColour() const { return juce::Colour (accent); }
    juce::Colour accent2Colour() const { return juce::Colour (accent2); }
    juce::Colour glowColour() const { return juce::Colour (glow); }
    juce::Colour glow2Colour() const { return juce::Colour (glow2); }
    juce::Colour brightAccentColour() const { return juce::Colour (brightAccent); }
    juce::Colour panelTopColour() const { return juce::Colour (panelTop); }
    juce::Colour panelBottomColour() const { return juce::Colour (panelBottom); }
    juce::Colour outlineColour() const { return juce::Colour (outline); }
    juce::Colour textColour() const { return juce::Colour (text); }
};

constexpr int kNumThemes = 6;

// The identity records, indexed by id. Constant; readable from any thread.
extern const VyrTheme kThemes[kNumThemes];

// Clamps an identity id to 0..5 (below 0 gives dark, above 5 the instrument identity).
constexpr int vyrClampTheme (int id) noexcept { return id < 0 ? 0 : (id > kNumThemes - 1 ? kNumThemes - 1 : id); }

// The record of an identity id, clamped first.
inline const VyrTheme& vyrTheme (int id) noexcept { return kThemes[vyrClampTheme (id)]; }

// The record of the identity in force, read from the processor's themeIndex (message thread).
inline const VyrTheme& vyrTheme (const std::atomic<int>& themeIndex) noexcept { return vyrTheme (themeIndex.load (std::memory_order_relaxed)); }

// Ink for text drawn on panels: near-black on the light identity, light grey elsewhere.
juce::Colour vyrInk (int themeId);

// Accent colour of a chain module by its id (exact, case-sensitive); unknown ids get the default cyan.
juce::Colour vyrFxColour (const juce::String& moduleKey);

// Display title of a chain module by its id; unknown ids are returned unchanged.
juce::String vyrFxTitle (const juce::String& moduleKey);

// Named colours shared by the look-and-feel and the painters.
namespace vyrColours
{
constexpr juce::uint32 inkLight = 0xffd4d8de;   // ink on dark identities
constexpr juce::uint32 inkDark = 0xff1a1a1a;    // ink on the light identity
constexpr juce::uint32 defaultFx = 0xff38e0ff;  // accent of an unknown module
constexpr juce::uint32 infoAccent = 0xff38bdf8; // help buttons and the help card before binding
}
