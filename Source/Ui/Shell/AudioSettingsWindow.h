#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>
#include <memory>

// The Standalone app's main menu: one "File" menu with "Settings…", which opens the audio device
// settings. Installed as the Mac main menu bar only; elsewhere the model exists and is unused.
class StandaloneMenu : public juce::MenuBarModel
{
public:
    juce::StringArray getMenuBarNames() override;
    juce::PopupMenu getMenuForIndex (int topLevelMenuIndex, const juce::String& menuName) override;
    void menuItemSelected (int menuItemID, int topLevelMenuIndex) override;
};

// The menu model shared by every standalone shell; created by the first, deleted by a shell's destructor.
extern std::unique_ptr<StandaloneMenu> gMenu;

// Installs or removes the model as the application's main menu bar (Mac only; a no-op elsewhere).
void vyrInstallMainMenu (juce::MenuBarModel* model);

// Opens the Standalone app's audio device settings; false when not running as the Standalone app.
bool vyrShowAudioSettings();

// How the settings shortcut is written on this platform: "⌘," on a Mac, "Ctrl+," elsewhere.
juce::String vyrSettingsShortcutText();

// Whether the Standalone app has an audio output device to play through. Inside a plug-in host
// the host owns the device, so the answer is always yes there.
bool vyrAudioOutputAvailable();

// When set, answers `vyrAudioOutputAvailable` instead of the Standalone app's device manager
// (tests stand in for a machine without a usable output this way).
extern std::function<bool()> gAudioOutputProbe;

// What the Standalone app says when Play finds no output to play through.
extern const char* const kNoAudioOutputText;
