#include "Ui/Shell/AudioSettingsWindow.h"

#if JucePlugin_Build_Standalone
 #include <juce_audio_utils/juce_audio_utils.h>
 #include <juce_audio_plugin_client/Standalone/juce_StandaloneFilterWindow.h>
#endif

std::unique_ptr<StandaloneMenu> gMenu;
std::function<bool()> gAudioOutputProbe;
const char* const kNoAudioOutputText = "No audio output device: choose one in Settings";

juce::String vyrSettingsShortcutText()
{
#if JUCE_MAC
    return juce::String::fromUTF8 ("\xe2\x8c\x98,");
#else
    return "Ctrl+,";
#endif
}

juce::StringArray StandaloneMenu::getMenuBarNames() { return { "File" }; }

juce::PopupMenu StandaloneMenu::getMenuForIndex (int, const juce::String&)
{
    juce::PopupMenu::Item item (juce::String::fromUTF8 ("Settings\xe2\x80\xa6"));
    item.itemID = 1;
    item.shortcutKeyDescription = vyrSettingsShortcutText();
    juce::PopupMenu menu;
    menu.addItem (std::move (item));
    return menu;
}

void StandaloneMenu::menuItemSelected (int menuItemID, int)
{
    if (menuItemID == 1)
        vyrShowAudioSettings();
}

void vyrInstallMainMenu (juce::MenuBarModel* model)
{
#if JUCE_MAC
    juce::MenuBarModel::setMacMainMenu (model, nullptr, {});
#else
    juce::ignoreUnused (model);
#endif
}

bool vyrShowAudioSettings()
{
#if JucePlugin_Build_Standalone
    if (auto* holder = juce::StandalonePluginHolder::getInstance())
    {
        holder->showAudioSettingsDialog();
        return true;
    }
#endif
    return false;
}

bool vyrAudioOutputAvailable()
{
    if (gAudioOutputProbe)
        return gAudioOutputProbe();
#if JucePlugin_Build_Standalone
    if (auto* holder = juce::StandalonePluginHolder::getInstance())
    {
        auto* device = holder->deviceManager.getCurrentAudioDevice();
        return device != nullptr && device->isOpen() && device->getActiveOutputChannels().countNumberOfSetBits() > 0;
    }
#endif
    return true;
}
