// Embedded documents, the mood table built from them, and the automation lane text form.
#include <gtest/gtest.h>
#include "Model/MoodTable.h"
#include "Live/SectionAutomation.h"
#include "VyrQuarnData.h"

TEST (EmbeddedDocuments, LookupByNameAndOriginalFilename)
{
    int size = -1;
    EXPECT_EQ (VyrQuarnData::getNamedResource ("quarn_mood_presets.json", size), nullptr);
    EXPECT_EQ (size, 0);
    const char* data = VyrQuarnData::getNamedResource ("quarn_mood_presets_json", size);
    ASSERT_NE (data, nullptr);
    EXPECT_EQ (size, VyrQuarnData::quarn_mood_presets_jsonSize);
    EXPECT_EQ (data, VyrQuarnData::quarn_mood_presets_json);
    EXPECT_EQ (data[size], 0) << "text documents end in a zero byte";
    EXPECT_EQ (data[size + 1], 0);
    EXPECT_EQ (VyrQuarnData::getNamedResource ("", size), nullptr);
    EXPECT_EQ (VyrQuarnData::getNamedResource (nullptr, size), nullptr);
    EXPECT_STREQ (VyrQuarnData::getNamedResourceOriginalFilename ("quarn_mood_presets_json"), "quarn_mood_presets.json");
    EXPECT_EQ (VyrQuarnData::getNamedResourceOriginalFilename ("panelInfo_json"), nullptr);
}

TEST (MoodTable, ShippedDocument)
{
    const auto& t = vyrMood::table();
    ASSERT_EQ (t.names.size(), 177);
    EXPECT_EQ (t.count, 176);
    EXPECT_EQ (t.names[0], "Preset");
    EXPECT_EQ (t.names[1], "Chill - Soft Launch");
    ASSERT_EQ (t.banks.size(), 18u);
    EXPECT_EQ (t.banks[0].mood, "Chill");
    EXPECT_EQ (t.banks[0].start, 0);
    EXPECT_EQ (t.banks[0].count, 17);
    EXPECT_EQ (t.banks[1].mood, "Classical");
    EXPECT_EQ (t.banks[1].start, 17);
    EXPECT_EQ (t.banks.back().mood, "Workout");
    int total = 0;
    for (const auto& b : t.banks)
        total += b.count;
    EXPECT_EQ (total, 176);
    for (const auto& name : t.names)
        EXPECT_TRUE (name.containsOnly (" !\"#$%&'()*+,-./0123456789:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ[\\]^_`abcdefghijklmnopqrstuvwxyz{|}~"))
            << name;
}

TEST (MoodTable, SmallAndBrokenDocuments)
{
    const auto small = vyrMood::buildTable (
        R"({"presets":[{"mood":"Dark","short_name":"Low \u2013 Tide"},{"mood":"Dark","name":"Night Run -11 LUFS Glue"},)"
        R"({"mood":"","short_name":"Dropped"},{"mood":"Sad","short_name":"Grey \u2212 Rain"},42]})");
    EXPECT_EQ (small.count, 176);
    EXPECT_EQ (small.names[1], "Dark - Low - Tide");
    EXPECT_EQ (small.names[2], "Dark - Night Run -11 LUFS Glue");
    EXPECT_EQ (small.names[3], "Sad - Grey - Rain");
    EXPECT_EQ (small.names[4], "Mood 4");
    EXPECT_EQ (small.names[176], "Mood 176");
    ASSERT_EQ (small.banks.size(), 2u);
    EXPECT_EQ (small.banks[1].start, 2);

    for (const char* doc : { "", "not json", "[1,2,3]", R"({"presets": 5})" })
    {
        const auto t = vyrMood::buildTable (doc);
        EXPECT_EQ (t.names.size(), 177);
        EXPECT_EQ (t.names[1], "Mood 1");
        EXPECT_TRUE (t.banks.empty());
    }

    juce::String big = R"({"presets":[)";
    for (int i = 0; i < 200; ++i)
        big << (i ? "," : "") << R"({"mood":"M)" << (i / 50) << R"(","short_name":"P)" << i << "\"}";
    big << "]}";
    const auto t = vyrMood::buildTable (big);
    EXPECT_EQ (t.names.size(), 177);
    EXPECT_EQ (t.names[176], "M3 - P175");
    EXPECT_EQ (t.banks.back().count, 26);
}

TEST (AutomationLanes, SampleEncodeAndDecode)
{
    using vyrSection::sampleAutomation;
    std::vector<VyrAutoPt> lane;
    EXPECT_EQ (sampleAutomation (lane, 0.3f), 0.0f);
    lane = { VyrAutoPt { 0.4f, 7.0f } };
    EXPECT_EQ (sampleAutomation (lane, 0.9f), 7.0f);
    lane = { VyrAutoPt { 0.0f, 0.0f }, VyrAutoPt { 1.0f, 10.0f } };
    EXPECT_NEAR (sampleAutomation (lane, 0.5f), 5.0f, 1.0e-3f);
    EXPECT_NEAR (sampleAutomation (lane, 0.25f), 2.5f, 1.0e-3f);
    EXPECT_EQ (sampleAutomation (lane, -3.0f), 0.0f);
    EXPECT_EQ (sampleAutomation (lane, 7.0f), 10.0f);
    lane[0].step = true;
    EXPECT_EQ (sampleAutomation (lane, 0.99f), 0.0f);

    std::vector<VyrAutoPt> three { VyrAutoPt {}, VyrAutoPt { 0.5f }, VyrAutoPt { 1.0f } };
    vyrSection::decodeAutomation ("0.5,1", three);
    EXPECT_EQ (three.size(), 3u);
    vyrSection::decodeAutomation ("0,1,2|x|1,0,0,1,0.1,0.5", three);
    ASSERT_EQ (three.size(), 2u);
    EXPECT_TRUE (three[0].step);
    EXPECT_TRUE (three[1].hasOut);
    EXPECT_FLOAT_EQ (three[1].outT, 0.1f);
    EXPECT_FLOAT_EQ (three[1].outV, 0.5f);

    std::vector<VyrAutoPt> lane2 { VyrAutoPt { 0.0f, -1.23456f, true }, VyrAutoPt { 0.333333f, 2.0f, false, true, false, 0.05f, -0.5f },
                                   VyrAutoPt { 1.0f, 0.0f } };
    EXPECT_EQ (vyrSection::encodeAutomation ({ VyrAutoPt {} }), "0.0000,0.000,0,0,0.0000,0.000,0,0.0000,0.000");
    std::vector<VyrAutoPt> back;
    vyrSection::decodeAutomation (vyrSection::encodeAutomation (lane2), back);
    ASSERT_EQ (back.size(), 3u);
    EXPECT_FLOAT_EQ (back[0].value, -1.235f);
    EXPECT_FLOAT_EQ (back[1].t, 0.3333f);
    EXPECT_TRUE (back[1].hasOut);
    EXPECT_FLOAT_EQ (back[1].outV, -0.5f);
    EXPECT_EQ (vyrSection::encodeAutomation ({}), "");
}
