#pragma once

#include <juce_core/juce_core.h>
#include <atomic>
#include <cstdint>

// Records shared by the live analyser, the processor's live operations and the main view.
namespace vyrLive
{
    // A recipe to apply: style 0..6, medium 0..7, loudness index 0..4, mood preset (-1 none).
    struct ApplyRequest
    {
        int style = 5, medium = 3, lufs = 2, mood = -1;
        char letter = 'A';
        std::int64_t position = 0;
        bool fromMap = false;
    };

    // A recipe as the training log records it; -1 means "not known".
    struct RecipeRef
    {
        juce::String id;
        int style = -1, medium = -1, lufs = -1, mask = -1, mood = -1;
        bool wide = false;
    };

    // The recipe a letter's dislike bans; in force when its style or mood is set.
    struct RecipeBan
    {
        int style = -1, medium = -1, lufs = -1, mask = -1, mood = -1;
        bool inForce() const noexcept { return style >= 0 || mood >= 0; }
    };

    // Style, medium, loudness index and mood as one lock-free word.
    struct RecipeQuad
    {
        std::int16_t style = -1, medium = -1, lufs = -1, mood = -1;
        bool operator== (const RecipeQuad& o) const noexcept
        {
            return style == o.style && medium == o.medium && lufs == o.lufs && mood == o.mood;
        }
    };

    // The recipe the user holds against the analyser while it is armed.
    struct Held
    {
        std::int8_t style = 5, medium = 3, lufs = 2;
        std::uint8_t letter = 'A';   // form letter as a character
        float trim = 0.5f;           // "masterTrim", normalised 0..1
    };

    // One style prototype of the live-style document.
    struct StyleRow
    {
        juce::String id, mood, vibe, presetName, notes, character;
        float targetLufs = -14.0f;
        int style = 5, medium = 3;
        char letterHint = 'B';
        float imprint[6] {};
        float density = 0.5f, rhythmHz = 5.0f, slowA = -14.0f;
        int n = 0;
        bool hasVector = false;
        int mask = 1;
    };

    // One mood preset of the mood-preset document.
    struct MoodPreset
    {
        juce::String id, name, mood, vibe, character, shortName;
        int mask = 1;
        float targetLufs = -14.0f;
        int lufsIndex = 2, style = 5, medium = 3, n = 0;
        bool tape = false, wall = false, imgWide = false;
    };

    // The nine polar-control parameters a letter snapshot keeps.
    extern const char* const kQuarnSnapIds[9];

    // The module ids in the default chain order (mix values and enable bits use this order).
    extern const char* const kFxOrderIds[13];

    // Character mask of a text: Glue 1, Punch 2, Air 4, Tape 8, Wall 16 (case-insensitive words); 0 becomes 1.
    int maskOfCharacter (const juce::String& character) noexcept;
}
