// Section automation planes and section detection on generated overviews and files.
#include <gtest/gtest.h>
#include "FileTestUtil.h"
#include "ProcessorFixture.h"
#include "TestSignals.h"
#include "Live/SectionAutomation.h"
#include "Live/SectionDetection.h"

using vyrSection::automationPlanes;
using vyrSection::sampleAutomation;

namespace
{
bool inTimeOrder (const std::vector<VyrAutoPt>& lane)
{
    for (size_t i = 1; i < lane.size(); ++i)
        if (lane[i].t < lane[i - 1].t)
            return false;
    return lane.empty() || (lane.front().t >= 0.0f && lane.back().t <= 1.0f);
}
}

TEST (SectionAutomation, PlanesHoldEachSectionFlatWithEasedTransitions)
{
    std::vector<VyrAutoPt> lane;
    automationPlanes (lane, { 7.0f }, { 0.5f }, 1);
    ASSERT_EQ (lane.size(), 2u);
    EXPECT_TRUE (lane[0].step);
    EXPECT_EQ (lane[0].value, 7.0f);
    EXPECT_EQ (lane[1].t, 1.0f);
    EXPECT_EQ (lane[1].value, 7.0f);

    automationPlanes (lane, { 0.0f, 10.0f, -5.0f }, { 0.3f, 0.6f, 0.9f }, 3);
    ASSERT_EQ (lane.size(), 6u);
    EXPECT_NEAR (lane[1].t, 0.24f, 1e-6f);
    EXPECT_NEAR (lane[2].t, 0.36f, 1e-6f);
    EXPECT_NEAR (lane[3].t, 0.54f, 1e-6f);
    EXPECT_NEAR (lane[4].t, 0.66f, 1e-6f);
    EXPECT_TRUE (lane[1].hasOut && lane[2].hasIn && lane[2].step);
    EXPECT_NEAR (lane[1].outT, 0.06f, 1e-6f);
    EXPECT_NEAR (lane[2].inT, -0.06f, 1e-6f);
    // Flat inside the sections, halfway at the boundary, eased (flat handles) at the transition's ends.
    EXPECT_EQ (sampleAutomation (lane, 0.1f), 0.0f);
    EXPECT_EQ (sampleAutomation (lane, 0.45f), 10.0f);
    EXPECT_EQ (sampleAutomation (lane, 0.8f), -5.0f);
    EXPECT_NEAR (sampleAutomation (lane, 0.3f), 5.0f, 0.01f);
    EXPECT_LT (sampleAutomation (lane, 0.25f), 0.5f);
    EXPECT_GT (sampleAutomation (lane, 0.35f), 9.5f);

    automationPlanes (lane, { 1.0f, 2.0f, 3.0f }, { 0.5f, 0.52f }, 3);
    EXPECT_NEAR (lane[1].outT, 0.015f, 1e-6f);
    EXPECT_GE (lane[3].t, lane[2].t + 0.002f - 1e-6f);

    automationPlanes (lane, { 1.0f, 2.0f }, { 0.5f }, 3);
    ASSERT_EQ (lane.size(), 2u);
    EXPECT_TRUE (lane[0].step);
    EXPECT_EQ (lane[0].value, 0.0f);
    EXPECT_EQ (lane[1].value, 0.0f);
}

TEST (SectionAutomation, PlanesStayInTimeOrderWhateverTheCues)
{
    const std::array<float, 6> layouts[] = {
        { 0.8f, 0.2f, 0.5f, 0.1f, 0.9f, 0.3f },
        { 0.99f, 0.995f, 0.999f, 1.0f, 1.0f, 1.0f },
        { 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f },
        { 1.0f, 0.0f, 1.0f, 0.0f, 1.0f, 0.0f },
        { -4.0f, 9.0f, 0.5f, 0.5f, 0.5f, 0.5f },
    };
    const std::vector<float> values { 1, -2, 3, -4, 5, -6, 7 };
    for (const auto& cues : layouts)
        for (int count = 1; count <= 9; ++count)
        {
            std::vector<VyrAutoPt> lane;
            automationPlanes (lane, values, cues, count);
            EXPECT_TRUE (inTimeOrder (lane)) << "count " << count << " cue0 " << cues[0];
            const float last = values[(size_t) juce::jlimit (1, 7, count) - 1];
            EXPECT_EQ (sampleAutomation (lane, 1.0f), last);
            EXPECT_EQ (sampleAutomation (lane, 0.0f), values[0]);
        }
}

TEST (SectionDetection, GeneratedOverviews)
{
    // Quiet first half, loud second half.
    std::vector<float> mx (800), mn;
    for (int i = 0; i < 800; ++i)
        mx[(size_t) i] = i < 400 ? 0.03f : 0.3f;
    auto d = vyrSection::detect (mx, mn, 2);
    ASSERT_EQ (d.count, 2);
    EXPECT_GE (d.cues[0], 0.5f);
    EXPECT_LE (d.cues[0], 0.5f + 3.0f / 800.0f);
    EXPECT_EQ (d.classes[0], 0);
    EXPECT_EQ (d.classes[1], 2);
    EXPECT_EQ (d.presets[0], 9);
    EXPECT_EQ (d.presets[1], 1);
    EXPECT_NEAR (d.effectLevels[0], -14.7f, 0.5f);
    EXPECT_NEAR (d.effectLevels[1], 14.7f, 0.5f);
    EXPECT_NEAR (d.lufs[1], 20.0f * std::log10 (0.3f) - 0.691f, 0.05f);
    EXPECT_NEAR (d.overallCrest, 20.0f * std::log10 (0.3f / 0.165f), 0.05f);

    // Loud, quiet, loud in three equal parts; then quiet, loud, medium, loud, quiet in five.
    struct Form
    {
        std::vector<float> levels;
        int wanted;
        std::vector<int> classes, presets;
    };
    const Form forms[] = {
        { { 0.3f, 0.03f, 0.3f }, 3, { 2, 0, 2 }, { 1, 9, 1 } },
        { { 0.02f, 0.4f, 0.1f, 0.4f, 0.02f }, 5, { 0, 2, 1, 2, 0 }, { 9, 8, 1, 8, 9 } },
    };
    for (const auto& f : forms)
    {
        const int parts = (int) f.levels.size();
        std::vector<float> o (840);
        for (int i = 0; i < 840; ++i)
            o[(size_t) i] = f.levels[(size_t) (i * parts / 840)];
        const auto r = vyrSection::detect (o, mn, f.wanted);
        ASSERT_EQ (r.count, (int) f.classes.size());
        for (int k = 0; k + 1 < r.count; ++k)
            EXPECT_NEAR (r.cues[(size_t) k], (k + 1) / (float) parts, 2.0f / 840.0f);
        for (int k = 0; k < r.count; ++k)
        {
            EXPECT_EQ (r.classes[(size_t) k], f.classes[(size_t) k]) << k;
            EXPECT_EQ (r.presets[(size_t) k], f.presets[(size_t) k]) << k;
        }
    }

    // Silence: one medium section with the floor levels.
    const std::vector<float> silent (800, 0.0f);
    for (int wanted : { -2, 0, 1, 4 })
    {
        const auto s = vyrSection::detect (silent, silent, wanted);
        EXPECT_EQ (s.count, 1);
        EXPECT_EQ (s.classes[0], 1);
        EXPECT_EQ (s.presets[0], 12);
        EXPECT_NEAR (s.overallLufs, -100.691f, 1e-4f);
        EXPECT_EQ (s.overallCrest, 0.0f);
    }
    // A very short overview is never split; the minima count for the crest when present.
    EXPECT_EQ (vyrSection::detect ({ 0.1f, 0.9f, 0.1f, 0.9f, 0.1f, 0.9f, 0.1f, 0.9f, 0.1f, 0.9f }, {}, 7).count, 1);
    const auto crest = vyrSection::detect (std::vector<float> (100, 0.1f), std::vector<float> (100, -0.8f), 1);
    EXPECT_NEAR (crest.overallCrest, 20.0f * std::log10 (0.8f / 0.1f), 0.1f); // the envelope's first bins rise from 0
}

TEST (SectionDetection, LoadedFileGetsSectionsLanesAndKeepsThemInTheState)
{
    vyrTestFiles::ScratchDir tmp;
    auto file = tmp["halves.wav"];
    const int frames = 44100 * 4;
    vyrTestFiles::writeSine (file, 44100.0, 2, frames, 220.0, 1.0f);
    {
        // Scale the first half down to a quiet verse.
        auto d = vyrTestFiles::readAll (file);
        d.audio.applyGain (0, frames / 2, 0.05f);
        vyrTestFiles::writeWav (file, 44100.0, 2, frames, [&d] (int ch, int i)
                                { return d.audio.getSample (ch, i); });
    }

    auto p = vyrTest::makeProcessor (0, juce::AudioProcessor::wrapperType_Standalone);
    p->section.count = 2;
    p->section.letters[4] = 5;
    p->loadAudioFile (file);
    ASSERT_TRUE (p->fileLoaded) << p->loadError;
    EXPECT_TRUE (p->sectionAnalysed);
    EXPECT_TRUE (p->section.enabled);
    EXPECT_TRUE (p->section.autoRide);
    ASSERT_EQ (p->section.count, 2);
    EXPECT_NEAR (p->section.cues[0], 0.5f, 0.01f);
    EXPECT_EQ (p->section.letters[0], 9);
    EXPECT_EQ (p->section.letters[1], 1);
    EXPECT_EQ (p->section.letters[4], 5) << "letters past the count keep their presets";
    EXPECT_EQ (p->sectionClass[0], 0);
    EXPECT_EQ (p->sectionClass[1], 2);
    EXPECT_LT (sampleAutomation (p->section.autoFx, 0.2f), -10.0f);
    EXPECT_GT (sampleAutomation (p->section.autoFx, 0.8f), 10.0f);
    EXPECT_EQ (sampleAutomation (p->section.autoIn, 0.8f), 0.0f);

    juce::MemoryBlock state;
    p->getStateInformation (state);
    auto q = vyrTest::makeProcessor (0);
    q->setStateInformation (state.getData(), (int) state.getSize());
    EXPECT_EQ (q->section.count, 2);
    EXPECT_NEAR (q->section.cues[0], p->section.cues[0], 1e-4f);
    EXPECT_EQ (q->section.letters[0], 9);
    EXPECT_EQ (q->section.autoFx.size(), p->section.autoFx.size());
    for (float x : { 0.1f, 0.45f, 0.5f, 0.55f, 0.9f })
        EXPECT_NEAR (sampleAutomation (q->section.autoFx, x), sampleAutomation (p->section.autoFx, x), 0.05f);

    // Without a file nothing changes.
    auto r = vyrTest::makeProcessor (0);
    r->overviewMax.assign (800, 0.5f);
    r->detectSections();
    EXPECT_FALSE (r->sectionAnalysed);
}

TEST (SectionDetection, DamagedLayoutNeverIndexesPastTheArrays)
{
    // A layout as a damaged editor or state could leave it: counts, letters and assignments far
    // out of range, cues out of order.
    auto p = vyrTest::makeProcessor (0, juce::AudioProcessor::wrapperType_Standalone);
    vyrTest::prepare (*p, 44100.0, 512);
    auto& s = p->section;
    s.enabled = s.liveFollow = s.autoRide = true;
    s.count = 1000;
    for (int k = 0; k < 7; ++k)
    {
        s.assign[k] = k % 2 == 0 ? 99 : -7;
        s.letters[k] = k % 2 == 0 ? 4000 : -30;
    }
    const float cues[6] = { 0.9f, 0.1f, 0.5f, 0.3f, 2.0f, -1.0f };
    std::copy (cues, cues + 6, s.cues);
    p->publishChainShared();

    juce::AudioBuffer<float> block (2, 512);
    for (int i = 0; i <= 40; ++i)
    {
        vyrTestSignals::fillNoiseAllChannels (block, i, 0.3f);
        p->processMasteredBlock (block, true, i / 40.0);
        ASSERT_TRUE (vyrTestSignals::allFinite (block));
    }
    EXPECT_GE (p->sectionCurrent, 0);
    EXPECT_LE (p->sectionCurrent, 6);

    // Detection on such a layout asks for at most seven sections.
    vyrTestFiles::ScratchDir tmp;
    vyrTestFiles::writeWav (tmp["steps.wav"], 8000.0, 1, 8000 * 8, [] (int, int i)
                            { return 0.05f * (1 + (i / 8000) % 4) * (i % 2 ? 1.0f : -1.0f); });
    s.count = 1000;
    p->loadAudioFile (tmp["steps.wav"]);
    ASSERT_TRUE (p->fileLoaded);
    EXPECT_GE (p->section.count, 1);
    EXPECT_LE (p->section.count, 7);
    for (int k = 0; k < p->section.count; ++k)
    {
        EXPECT_GE (p->section.letters[k], 0);
        EXPECT_LE (p->section.letters[k], 16);
    }
    EXPECT_TRUE (inTimeOrder (p->section.autoFx));
}
