#pragma once

#include <juce_core/juce_core.h>

// The embedded help document "panelInfo.json": one entry per panel key (27), each with a title,
// history, purpose, key parameters, optional character models, transfer equation and frequency
// guide, and where the panel belongs in the chain.
//
// The parsed document is shared through juce::SharedResourcePointer: help buttons and cards hold
// it, so it is parsed once while any of them exists and released with the last one, before the
// framework shuts down. Message thread only.
class VyrPanelInfoDocument
{
public:
    VyrPanelInfoDocument();

    // Parses a document from text (used for the embedded one; tests feed broken documents).
    explicit VyrPanelInfoDocument (const juce::String& jsonText);

    // The entry of a key (exact, case-sensitive), or void when there is none or the document did
    // not parse to an object.
    juce::var entry (const juce::String& key) const;

    const juce::var& root() const noexcept { return parsed; }

private:
    juce::var parsed;
};

// The entry of a panel key from the shared document, or void.
juce::var vyrPanelInfo (const juce::String& key);

// The entry's "title" as text; empty when the key has no entry or the entry no title.
juce::String vyrPanelInfoTitle (const juce::String& key);
