#pragma once

#include <juce_core/juce_core.h>
#include <vector>

// The mood presets as the "masterMood" choices and the banks the MIDI map steps through.
namespace vyrMood
{
    struct Bank
    {
        juce::String mood;
        int start = 0;   // index of the bank's first preset among the presets (choice start + 1)
        int count = 0;
    };

    struct Table
    {
        juce::StringArray names;   // always 177 texts: "Preset", then one per mood preset
        std::vector<Bank> banks;
        int count = 0;             // entries after "Preset"
        ~Table();
    };

    constexpr int kMaxPresets = 176;

    // The process-wide table, built from the embedded mood-preset document on first use.
    const Table& table();

    // Builds a table from a document text (exposed so the rules can be checked on any document).
    Table buildTable (const juce::String& documentText);

    // Replaces middle dot, minus sign, em dash and en dash by "-".
    juce::String asciiName (juce::String text);
}
