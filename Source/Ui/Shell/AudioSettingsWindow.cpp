#include "Ui/Shell/AudioSettingsWindow.h"

#if JucePlugin_Build_Standalone
 #include <juce_audio_utils/juce_audio_utils.h>
 #include <juce_audio_plugin_client/Standalone/juce_StandaloneFilterWindow.h>
#endif

std::unique_ptr<StandaloneMenu> gMenu;

juce::StringArray StandaloneMenu::getMenuBarNames() { return { "File" }; }

juce::PopupMenu StandaloneMenu::getMenuForIndex (int, const juce::String&)
{
    juce::PopupMenu::Item item (juce::String::fromUTF8 ("Settings\xe2\x80\xa6"));
    item.itemID = 1;
    item.shortcutKeyDescription = juce::String::fromUTF8 ("\xe2\x8c\x98,");
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
