#include "Model/MoodTable.h"
#include "VyrQuarnData.h"

namespace vyrMood
{
Table::~Table() = default;

juce::String asciiName (juce::String text)
{
    for (auto c : { (juce::juce_wchar) 0x00B7, (juce::juce_wchar) 0x2212, (juce::juce_wchar) 0x2014, (juce::juce_wchar) 0x2013 })
        text = text.replaceCharacter (c, '-');
    return text;
}

Table buildTable (const juce::String& documentText)
{
    Table t;
    t.names.add ("Preset");
    juce::String lastMood;

    const auto parsed = juce::JSON::parse (documentText.trimStart());
    if (auto* root = parsed.getDynamicObject())
    {
        const auto presets = root->getProperty ("presets");
        if (auto* arr = presets.getArray())
        {
            for (const auto& el : *arr)
            {
                if (t.count >= kMaxPresets)
                    break;
                auto* obj = el.getDynamicObject();
                if (obj == nullptr)
                    continue;

                const auto mood = obj->getProperty ("mood").toString();
                if (mood.isEmpty())
                    continue;

                auto label = asciiName (obj->getProperty ("short_name").toString());
                if (label.isEmpty())
                    label = asciiName (obj->getProperty ("name").toString());
                if (label.isEmpty())
                    label = mood;

                if (mood != lastMood)
                {
                    t.banks.push_back ({ mood, t.count, 0 });
                    lastMood = mood;
                }
                ++t.banks.back().count;
                t.names.add (mood + " - " + label);
                ++t.count;
            }
        }
    }

    while (t.names.size() <= kMaxPresets)
    {
        t.names.add ("Mood " + juce::String (t.names.size()));
        t.count = std::min (t.count + 1, kMaxPresets);
    }
    t.names.removeRange (kMaxPresets + 1, t.names.size());
    t.count = std::min (t.count, kMaxPresets);
    return t;
}

const Table& table()
{
    static const Table instance = buildTable (juce::String::fromUTF8 (VyrQuarnData::quarn_mood_presets_json,
                                                                     VyrQuarnData::quarn_mood_presets_jsonSize));
    return instance;
}
}
