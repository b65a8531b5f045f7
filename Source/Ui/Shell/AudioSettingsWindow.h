#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

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
