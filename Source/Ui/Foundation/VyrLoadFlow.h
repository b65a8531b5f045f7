#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>
#include <memory>

// The "Load audio" dialog every page with a Load action opens: the formats the player reads, the
// platform's own dialog where there is one. Message thread only.
namespace vyrLoadFlow
{
// Opens the dialog and returns it (the caller keeps it alive while it shows); `onChosen` gets the
// chosen file, an empty path when cancelled. Owners guard it against their own deletion.
std::shared_ptr<juce::FileChooser> browse (std::function<void (const juce::File&)> onChosen);
}
