#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>
#include <memory>

#include "Files/AudioIo.h"

class VyrAudioProcessor;

// The export of the loaded file as every page offers it: the save dialog on the desktop with a
// suggested name, then the render through the live chain in the chosen format. The pages differ
// only in where they show the outcome, so each step returns the status text to show.
// Message thread only.
namespace vyrExportFlow
{
// Opens the save dialog for `format` in the last export folder (else the song's, Music or home)
// and returns it, with `status` set to the rendering text; or, with no file loaded, returns null
// with `status` = "Load an audio file first.". `onChosen` gets the chosen file (an empty path when
// cancelled); owners guard it against their own deletion. `dialogStart`, when given, receives the
// proposed file.
std::shared_ptr<juce::FileChooser> begin (VyrAudioProcessor& processor, vyrAudioIo::Format format, juce::String& status,
                                          std::function<void (const juce::File&)> onChosen, juce::File* dialogStart = nullptr);

struct Outcome
{
    juce::String text;
    bool failed = false; // the exporter's own failure text (the other outcomes are plain statuses)
};

// Writes the chosen file and returns the status text: "Export cancelled.", the exporter's own
// failure text verbatim, a refusal when the extension given after the dialog names another file
// that exists (nobody confirmed replacing it), or "Exported <name>" (its folder becomes the next
// dialog's start). A name whose extension names no format is written in `fallback` with that
// format's extension.
Outcome finish (VyrAudioProcessor& processor, const juce::File& chosen, vyrAudioIo::Format fallback);
}
