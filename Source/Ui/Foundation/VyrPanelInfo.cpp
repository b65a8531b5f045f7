#include "Ui/Foundation/VyrPanelInfo.h"

#include "VyrInfoData.h"

VyrPanelInfoDocument::VyrPanelInfoDocument()
    : VyrPanelInfoDocument (juce::String::fromUTF8 (VyrInfoData::panelInfo_json, VyrInfoData::panelInfo_jsonSize))
{
}

VyrPanelInfoDocument::VyrPanelInfoDocument (const juce::String& jsonText)
{
    // A document that fails to parse leaves the value void: every lookup then finds nothing.
    juce::var result;
    if (juce::JSON::parse (jsonText, result).wasOk())
        parsed = result;
}

juce::var VyrPanelInfoDocument::entry (const juce::String& key) const
{
    auto* object = parsed.getDynamicObject();
    if (object == nullptr || ! parsed.isObject())
        return {};
    return object->getProperty (juce::Identifier::isValidIdentifier (key) ? juce::Identifier (key) : juce::Identifier ("-"));
}

juce::var vyrPanelInfo (const juce::String& key)
{
    juce::SharedResourcePointer<VyrPanelInfoDocument> doc;
    return doc->entry (key);
}

juce::String vyrPanelInfoTitle (const juce::String& key)
{
    const auto e = vyrPanelInfo (key);
    if (! e.isObject())
        return {};
    const auto& t = e["title"];
    return t.isVoid() ? juce::String() : t.toString();
}
