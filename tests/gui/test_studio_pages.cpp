// The mastered-output panel with its assistant drawer and tape strip, the mastering studio page
// with its recipes and export, and the final-output page with its full-screen overlay - hosted in
// the full chain's shell or on their own, driven by real mouse events.
#include "GuiTestUtil.h"
#include "FileTestUtil.h"
#include "ProcessorFixture.h"
#include "Assistant/MasteredModel.h"
#include "Assistant/Measurements.h"
#include "Model/QuarnPresets.h"
#include "Ui/Foundation/VyrLookAndFeel.h"
#include "Ui/Shell/AppShell.h"
#include "Ui/Shell/ExportInfoOverlay.h"
#include "Ui/Shell/PluginEditor.h"
#include "Ui/Studio/AssistantDrawer.h"
#include "Ui/Studio/FinalOutputPanel.h"
#include "Ui/Studio/MasteredWaveformPanel.h"
#include "Ui/Studio/MasteringStudioPanel.h"
#include "Ui/Studio/TapeStrip.h"

using namespace vyrGui;

namespace
{
using P = juce::Point<float>;
using Sample = MasteredWaveformPanel::TapeStrip::Sample;

// Four seconds of beats over noise, loud enough for a limiter to work on.
juce::File writeSong (const vyrTestFiles::ScratchDir& dir, const char* name = "song.wav")
{
    auto file = dir[name];
    juce::Random rng (7);
    vyrTestFiles::writeWav (file, 44100.0, 2, 4 * 44100, [&rng] (int, int i)
                            {
                                const float beat = std::exp (-(float) (i % 22050) / 4000.0f);
                                return 0.3f * (0.4f + 0.6f * beat) * (rng.nextFloat() * 2.0f - 1.0f);
                            });
    return file;
}

P centreIn (const juce::Component& c, const juce::Component& root)
{
    return root.getLocalPoint (&c, c.getLocalBounds().getCentre()).toFloat();
}

// Integrated loudness as ffmpeg's EBU R128 filter measures it (NaN when it cannot).
double measuredLufs (const juce::File& file)
{
    juce::ChildProcess p;
    if (! p.start (juce::StringArray { "ffmpeg", "-nostats", "-hide_banner", "-i", file.getFullPathName(), "-af", "ebur128",
                                       "-f", "null", "-" },
                   juce::ChildProcess::wantStdOut | juce::ChildProcess::wantStdErr))
        return std::nan ("");
    const auto out = p.readAllProcessOutput();
    const auto summary = out.fromLastOccurrenceOf ("Integrated loudness:", false, false);
    const auto value = summary.fromFirstOccurrenceOf ("I:", false, false).trim().upToFirstOccurrenceOf (" ", false, false);
    return value.isEmpty() ? std::nan ("") : value.getDoubleValue();
}

struct PanelFixture
{
    // The panel's own timer is stopped: the tests tick it, so nothing depends on timing.
    PanelFixture() : proc (makeProcessor (0)), panel (*proc)
    {
        panel.setSize (800, 430);
        timerOf (panel).stopTimer();
    }
    juce::SharedResourcePointer<VyrLookAndFeel> lnf;
    std::unique_ptr<VyrAudioProcessor> proc;
    MasteredWaveformPanel panel;
};
}

//==============================================================================
TEST (MasteredPanel, AnalysisToggleSlidesTheDrawerAndTheTapeGetsOneSamplePerTick)
{
    PanelFixture f;
    Desk desk (f.panel);
    auto& tape = *f.panel.tape;
    ASSERT_EQ (tape.sampleCount, 0);

    desk.click (centreIn (f.panel.analysisButton, f.panel));
    ASSERT_TRUE (f.panel.drawerOpen);
    float v = 0.0f;
    int ticks = 0;
    while (f.panel.drawerAnim < 1.0f && ticks < 40)
    {
        f.panel.tick();
        ++ticks;
        float next = v + (1.0f - v) * 0.22f;
        if (std::abs (next - 1.0f) < 0.01f)
            next = 1.0f;
        ASSERT_FLOAT_EQ (f.panel.drawerAnim, next) << ticks;
        v = next;
        EXPECT_EQ (f.panel.drawer->isVisible(), v > 0.02f);
    }
    EXPECT_EQ (ticks, 19); // 0.78^19 is the first remainder under 0.01
    // Every tick left one sample, drawer or not, file or not.
    EXPECT_EQ (tape.sampleCount, ticks);
    // Open geometry at 800 px: the wave shrinks by the drawer's 276 px.
    EXPECT_EQ (f.panel.drawer->getBounds(), juce::Rectangle<int> (800 - 276 - 8, 40, 268, 164));
    EXPECT_FLOAT_EQ (f.panel.waveWidth(), 800.0f - 32.0f - 276.0f);
    EXPECT_EQ (f.panel.analysisButton.getBounds(), juce::Rectangle<int> (680, 12, 78, 18));
    EXPECT_FALSE (f.panel.drawer->feed.lines.isEmpty());

    // Closing: hidden again once below 0.02, bounds empty below 9 px.
    desk.click (centreIn (f.panel.analysisButton, f.panel));
    for (int i = 0; i < 40; ++i)
        f.panel.tick();
    EXPECT_EQ (f.panel.drawerAnim, 0.0f);
    EXPECT_FALSE (f.panel.drawer->isVisible());
    EXPECT_TRUE (f.panel.drawer->getBounds().isEmpty());

    // A hidden panel still feeds the tape, and in every tape mode.
    const int before = tape.sampleCount;
    f.panel.setVisible (false);
    f.panel.tick();
    tape.mode = 2;
    f.panel.tick();
    EXPECT_EQ (tape.sampleCount, before + 2);
}

TEST (MasteredPanel, HeaderClicksCycleTheTapeAndAxisClicksSoloInstead)
{
    PanelFixture f;
    Desk desk (f.panel);
    int layouts = 0;
    f.panel.onLayoutChange = [&layouts] { ++layouts; };
    auto& tape = *f.panel.tape;
    const P header = P (200.0f, 10.0f) + tape.getPosition().toFloat();
    for (int expected : { 102, 214, 18, 102 })
    {
        desk.click (header);
        EXPECT_EQ (tape.getHeight(), expected);
        EXPECT_EQ (tape.getY(), 206);
    }
    EXPECT_EQ (layouts, 4);
    EXPECT_EQ (tape.mode, 1);

    // Compact: a click on the second lane's axis solos loudness, no size change.
    juce::Rectangle<float> lanes[3];
    ASSERT_EQ (tape.getLanes (lanes), 2);
    desk.click (lanes[1].getCentre().withX (lanes[1].getX() + 10.0f) + tape.getPosition().toFloat());
    EXPECT_EQ (tape.solo, 1);
    EXPECT_EQ (tape.mode, 1);
    ASSERT_EQ (tape.getLanes (lanes), 1);
    // A click inside the soloed lane away from the axis returns to all lanes.
    desk.click (lanes[0].getCentre() + tape.getPosition().toFloat());
    EXPECT_EQ (tape.solo, -1);
    // The info button opens help, never a size cycle.
    desk.click (centreIn (tape.infoButton, f.panel));
    EXPECT_EQ (tape.mode, 1);
}

TEST (MasteredPanel, PlaceholderWithoutFileAndGuidesAtTheDefaultCeiling)
{
    PanelFixture f;
    auto img = render (f.panel);
    // The placeholder text sits in the middle of the wave area.
    EXPECT_GT (countInk (img, { 200, 115, 400, 14 }, img.getPixelAt (40, 60), 40), 60);

    vyrTestFiles::ScratchDir dir;
    f.proc->loadAudioFile (writeSong (dir));
    ASSERT_TRUE (f.proc->fileLoaded);
    img = render (f.panel);
    // A dashed amber guide at the model's ceiling row (0.89 when the model has none).
    vyrMasterHypo::ensureEnv (*f.proc);
    const float ceil = vyrMasterHypo::messageEnv (*f.proc).ceilingLin;
    const int yGuide = juce::roundToInt (122.0f - 72.0f * (ceil > 0.0001f ? ceil : 0.89f));
    int amber = 0;
    for (int y = yGuide - 1; y <= yGuide + 1; ++y)
        for (int x = 20; x < 60; ++x)
        {
            const auto c = img.getPixelAt (x, y);
            amber += c.getRed() > c.getBlue() + 8 && c.getGreen() > c.getBlue() ? 1 : 0;
        }
    EXPECT_GT (amber, 5);

    // Cues are read for sections 1..7 only, whatever the record's count says.
    f.proc->section.enabled = true;
    f.proc->section.count = 40;
    render (f.panel);
}

//==============================================================================
TEST (TapeStrip, RingChipsLanesAndScales)
{
    juce::SharedResourcePointer<VyrLookAndFeel> lnf;
    MasteredWaveformPanel::TapeStrip tape;
    tape.setSize (768, 214);
    for (int i = 0; i < 9; ++i)
        EXPECT_TRUE (tape.chipValue (i).isEmpty());
    for (int i = 0; i < 221; ++i)
    {
        Sample s;
        s.fit = (float) i;
        tape.append (s);
    }
    EXPECT_EQ (tape.sampleCount, 220);
    EXPECT_EQ (tape.at (0).fit, 1.0f);
    EXPECT_EQ (tape.at (219).fit, 220.0f);

    // Chip formats: halves round to even; loudness only above -70.
    struct Case { float clip, fit, mom; const char* clipText; const char* fitText; const char* momText; };
    for (auto c : { Case { 0.125f, 12.5f, -70.0f, "12%", "12", "" }, Case { 0.135f, 13.5f, -69.9f, "14%", "14", "-69.9 LUFS" } })
    {
        Sample s;
        s.clipShare = c.clip;
        s.fit = c.fit;
        s.lufsMomentary = c.mom;
        s.subDb = 1.25f;
        tape.append (s);
        EXPECT_EQ (tape.chipValue (7), c.clipText);
        EXPECT_EQ (tape.chipValue (8), c.fitText);
        EXPECT_EQ (tape.chipValue (4), c.momText);
        EXPECT_EQ (tape.chipValue (0), "+1.2 dB");
    }

    // Balance scales by the largest band over the held samples.
    for (auto [band, range] : { std::pair<float, float> { 6.5f, 6.0f }, { -12.5f, 12.0f }, { 12.6f, 18.0f }, { 18.6f, 24.0f } })
    {
        MasteredWaveformPanel::TapeStrip t;
        Sample s;
        s.highDb = band;
        t.append (s);
        EXPECT_EQ (t.balanceRange(), range) << band;
    }

    // Lane heights per size: a = H - 18 - 10.
    juce::Rectangle<float> lanes[3];
    tape.mode = 0;
    EXPECT_EQ (tape.getLanes (lanes), 0);
    tape.mode = 2;
    ASSERT_EQ (tape.getLanes (lanes), 3);
    const float a = 214.0f - 28.0f;
    EXPECT_FLOAT_EQ (lanes[0].getY(), 23.0f);
    EXPECT_FLOAT_EQ (lanes[0].getHeight(), 0.46f * a);
    const float rest = a - 0.46f * a - 4.0f;
    EXPECT_FLOAT_EQ (lanes[1].getHeight(), 0.48f * rest);
    EXPECT_NEAR (lanes[2].getBottom(), 23.0f + a, 0.01f);
    EXPECT_FLOAT_EQ (lanes[0].getWidth(), 768.0f - 16.0f);
    tape.setSize (768, 102);
    tape.mode = 1;
    ASSERT_EQ (tape.getLanes (lanes), 2);
    EXPECT_FLOAT_EQ (lanes[0].getHeight(), 0.52f * 74.0f);
    EXPECT_NEAR (lanes[1].getBottom(), 23.0f + 74.0f, 0.01f);
    tape.setSize (768, 29); // body under 12 px: no lanes
    EXPECT_EQ (tape.getLanes (lanes), 0);
}

//==============================================================================
TEST (AssistantDrawer, FeedOrderColoursAndScrollKeptAcrossRefreshes)
{
    using D = MasteredWaveformPanel::Drawer;
    for (auto [lufs, colour] : { std::pair<float, juce::uint32> { -9.0f, 0xffff5252 }, { -9.1f, 0xffccff00 }, { -16.0f, 0xffccff00 }, { -16.1f, 0xff00afff } })
        EXPECT_EQ (D::loudnessColour (lufs).getARGB(), colour) << lufs;
    for (auto [share, colour] : { std::pair<float, juce::uint32> { 0.36f, 0xfff87171 }, { 0.35f, 0xfffbbf24 }, { 0.18f, 0xff34d399 } })
        EXPECT_EQ (D::crushColour (share).getARGB(), colour) << share;

    PanelFixture f;
    auto& drawer = *f.panel.drawer;
    drawer.setBounds (0, 0, 120, 164); // narrow: the advice wraps and the feed scrolls
    const auto& lines = drawer.feed.lines;
    ASSERT_EQ (lines.size(), 5);
    const auto& a = drawer.feed.advice;
    EXPECT_EQ (lines[0].text, a.loudness);
    EXPECT_EQ (lines[1].text, a.limiting);
    EXPECT_EQ (lines[2].text, a.balance);
    EXPECT_EQ (lines[3].text, a.headline);
    EXPECT_EQ (lines[4].text, a.next);
    EXPECT_EQ (lines[2].colour.getARGB(), 0xff38bdf8u);
    EXPECT_EQ (lines[3].colour.getARGB(), 0xffa78bfau);
    EXPECT_EQ (lines[4].colour.getARGB(), 0xff94a3b8u);
    EXPECT_EQ (drawer.feed.getWidth(), 120 - 12 - 8);
    ASSERT_GT (drawer.feed.getHeight(), drawer.viewport.getViewHeight());
    drawer.viewport.setViewPosition (0, 30);
    drawer.syncFeed();
    EXPECT_EQ (drawer.viewport.getViewPositionY(), 30);
    EXPECT_EQ (drawer.viewport.getViewPositionX(), 0);
}

TEST (AssistantDrawer, OpenLibraryKeepsRefreshingAfterTheDrawerCloses)
{
    PanelFixture f;
    Desk desk (f.panel);
    desk.click (centreIn (f.panel.analysisButton, f.panel));
    for (int i = 0; i < 20; ++i)
        f.panel.tick();
    desk.click (centreIn (f.panel.drawer->libraryButton, f.panel));
    ASSERT_NE (f.panel.drawer->libraryWindow, nullptr);
    ASSERT_TRUE (f.panel.drawer->libraryWindow->isShowing());
    desk.click (centreIn (f.panel.analysisButton, f.panel));
    for (int i = 0; i < 30; ++i)
        f.panel.tick();
    ASSERT_FALSE (f.panel.drawer->isVisible());
    // The dialog's body is rebuilt on the next tick: its model follows a new medium.
    f.proc->mediumIndex = 7;
    f.panel.tick();
    EXPECT_EQ (f.panel.drawer->libraryWindow->body().model.snapshot.medium, 7);
}

//==============================================================================
namespace
{
struct StudioFixture
{
    StudioFixture() : proc (makeProcessor (0)), page (*proc) { page.setSize (1200, 800); }
    juce::SharedResourcePointer<VyrLookAndFeel> lnf;
    std::unique_ptr<VyrAudioProcessor> proc;
    MasteringStudioPanel page;
};
}

TEST (StudioPage, LayoutAt1200By800)
{
    StudioFixture f;
    auto& p = f.page;
    EXPECT_EQ (p.gauge.getBounds(), juce::Rectangle<int> (454, 48, 292, 368));
    EXPECT_EQ (p.styleChips[3].getBounds(), juce::Rectangle<int> (186, 48, 84, 18));
    EXPECT_EQ (p.lufsChips[4].getBounds(), juce::Rectangle<int> (152, 94, 28, 28));
    EXPECT_EQ (p.mediumChips[0].getBounds(), juce::Rectangle<int> (16, 144, 210, 26));
    EXPECT_EQ (p.mediumChips[7].getBounds(), juce::Rectangle<int> (232, 240, 210, 26));
    EXPECT_EQ (p.presetBrowser.getBounds(), juce::Rectangle<int> (823, 48, 300, 24));
    EXPECT_EQ (p.presetCard, juce::Rectangle<int> (823, 80, 300, 222));
    EXPECT_EQ (p.recipeButton.getBounds(), juce::Rectangle<int> (823, 310, 300, 30));
    EXPECT_EQ (p.tagsButton.getBounds(), juce::Rectangle<int> (823, 348, 78, 30));
    EXPECT_EQ (p.exportButton.getBounds(), juce::Rectangle<int> (907, 348, 216, 30));
    EXPECT_EQ (p.bypassButton.getBounds(), juce::Rectangle<int> (823, 386, 300, 30));
    EXPECT_EQ (p.formatChips[6].getBounds(), juce::Rectangle<int> (16, 410, 210, 22));
    EXPECT_EQ (p.detailButton.getBounds(), juce::Rectangle<int> (16, 506, 240, 18));
    EXPECT_EQ (p.infoButton.getBounds(), juce::Rectangle<int> (1166, 12, 18, 18));

    // Narrow page: the gauge never starts left of 200 and the card shrinks to nothing below 21 x 25.
    p.setSize (360, 300);
    EXPECT_EQ (p.gauge.getX(), 200);
    EXPECT_EQ (p.presetCard.getHeight(), 250 - 194);
}

TEST (StudioPage, MediumAndTargetChipsMapBothWaysAndTellTheTarget)
{
    StudioFixture f;
    Desk desk (f.page);
    auto& p = *f.proc;
    const int expectedTarget[8] = { 0, 1, 4, 2, 3, 2, 2, 2 };
    for (int m = 0; m < 8; ++m)
    {
        desk.click (f.page.mediumChips[m].getBounds().getCentre().toFloat());
        EXPECT_EQ (p.mediumIndex.load(), m);
        EXPECT_EQ (p.lufsIndex.load(), expectedTarget[m]) << m;
        EXPECT_EQ (juce::roundToInt (paramValue (p, "masterLufs")), expectedTarget[m]);
        EXPECT_EQ (juce::roundToInt (paramValue (p, "masterMedium")), m);
        const auto& medium = vyrQuarn::kMasterMediums[m];
        EXPECT_EQ (f.page.status, juce::String (medium.label) + juce::String::fromUTF8 ("  \xc2\xb7  ") + juce::String ((int) medium.lufs) + " LUFS");
    }
    // The -14 target picks Album, never Streaming; -9 picks Radio.
    const int expectedMedium[5] = { 0, 1, 3, 4, 2 };
    for (int t = 0; t < 5; ++t)
    {
        desk.click (f.page.lufsChips[t].getBounds().getCentre().toFloat());
        EXPECT_EQ (p.lufsIndex.load(), t);
        EXPECT_EQ (p.mediumIndex.load(), expectedMedium[t]) << t;
    }
}

TEST (StudioPage, EveryMediumsRecipeWritesItsChain)
{
    StudioFixture f;
    Desk desk (f.page);
    auto& p = *f.proc;
    GestureCounter gestures (p);
    struct Expect { bool comp; float ratio; };
    // Film stays uncompressed; every louder medium, Video included, is compressed.
    const Expect expect[8] = { { false, 0 }, { true, 2.5f }, { true, 3.5f }, { true, 2.5f }, { true, 3.5f }, { true, 2.5f }, { true, 2.5f }, { true, 3.5f } };
    for (int m = 0; m < 8; ++m)
    {
        desk.click (f.page.mediumChips[m].getBounds().getCentre().toFloat());
        if (auto* ratio = p.apvts.getParameter ("compressor_ratio"))
            ratio->setValueNotifyingHost (ratio->convertTo0to1 (9.0f));
        desk.click (f.page.recipeButton.getBounds().getCentre().toFloat());
        EXPECT_EQ (paramValue (p, "eq_enabled") > 0.5f, true);
        EXPECT_EQ (paramValue (p, "limiter_enabled") > 0.5f, true);
        EXPECT_NEAR (paramValue (p, "limiter_ceiling"), vyrQuarn::kMasterMediums[m].truePeak, 0.051f) << m;
        EXPECT_EQ (paramValue (p, "compressor_enabled") > 0.5f, expect[m].comp) << m;
        EXPECT_NEAR (paramValue (p, "compressor_ratio"), expect[m].comp ? expect[m].ratio : 9.0f, 0.051f) << m;
        EXPECT_EQ (f.page.status, juce::String::fromUTF8 ("Recipe applied to the signal chain \xe2\x80\x94 preview it in real time below."));
    }
    EXPECT_GT (gestures.begins ("limiter_ceiling"), 0);
    EXPECT_EQ (gestures.begins ("limiter_enabled"), 0);
}

TEST (StudioPage, ExportStatusesAndTheOverwriteRule)
{
    StudioFixture f;
    auto& page = f.page;
    page.beginExport();
    EXPECT_EQ (page.status, "Load an audio file first.");
    EXPECT_EQ (page.chooser, nullptr);

    vyrTestFiles::ScratchDir dir;
    f.proc->loadAudioFile (writeSong (dir));
    ASSERT_TRUE (f.proc->fileLoaded);
    page.exportChosenFile ({}, 0);
    EXPECT_EQ (page.status, "Export cancelled.");

    // A typed extension wins over the chip; an unknown one takes the chip's format and extension.
    page.exportChosenFile (dir["typed.flac"], 0);
    EXPECT_EQ (page.status, "Exported typed.flac");
    EXPECT_EQ (vyrTestFiles::probe (dir["typed.flac"])["streams"][0]["codec_name"].toString(), "flac");
    page.exportChosenFile (dir["notes.txt"], 1);
    EXPECT_EQ (page.status, "Exported notes.aiff");
    EXPECT_TRUE (dir["notes.aiff"].existsAsFile());
    EXPECT_FALSE (dir["notes.txt"].existsAsFile());

    // The dialog confirmed "typed.txt", not the existing "typed.flac": nothing is overwritten.
    const auto sizeBefore = dir["typed.flac"].getSize();
    const auto timeBefore = dir["typed.flac"].getLastModificationTime();
    page.exportChosenFile (dir["typed.txt"], 2);
    EXPECT_TRUE (page.status.startsWith ("typed.flac already exists")) << page.status;
    EXPECT_EQ (dir["typed.flac"].getSize(), sizeBefore);
    EXPECT_EQ (dir["typed.flac"].getLastModificationTime(), timeBefore);

    // A failure is shown as the exporter words it.
    const auto bad = juce::File ("/proc/vyr-no-such-dir/x.wav");
    const auto expected = f.proc->exportMastered (bad, vyrAudioIo::Format::wav);
    ASSERT_TRUE (expected.isNotEmpty());
    page.exportChosenFile (bad, 0);
    EXPECT_EQ (page.status, expected);
}

// A user of the full chain: loads a song, picks Club on the Master tab, applies the recipe, gives
// a title and exports FLAC; an outside decoder reads the title and measures the loudness the
// studio's assistant announced, under the Club ceiling.
TEST (StudioPage, ClubRecipeExportedAsTaggedFlacAtTheClubLoudness)
{
    if (! vyrTestFiles::haveProgram ("ffprobe") || ! vyrTestFiles::haveProgram ("ffmpeg"))
        GTEST_SKIP() << "ffmpeg is not installed";
    vyrTestFiles::ScratchDir dir;
    juce::SharedResourcePointer<VyrLookAndFeel> lnf;
    auto proc = makeProcessor (0);
    vyrTest::prepare (*proc, 44100.0, 512);
    proc->loadAudioFile (writeSong (dir));
    ASSERT_TRUE (proc->fileLoaded) << proc->loadError;
    AppShell shell (*proc);
    shell.setSize (1200, 800);
    Desk desk (shell);
    desk.click (shell.tabButtons[2].getBounds().getCentre().toFloat());
    auto& page = shell.masteringStudio;
    ASSERT_TRUE (page.isShowing());
    desk.click (centreIn (page.mediumChips[7], shell));
    ASSERT_EQ (proc->mediumIndex.load(), 7);
    desk.click (centreIn (page.recipeButton, shell));
    desk.click (centreIn (page.formatChips[2], shell));
    EXPECT_EQ (page.formatIndex, 2);
    proc->exportInfo.title = "Night Drive";
    page.exportChosenFile (dir["club"], page.formatIndex);
    ASSERT_EQ (page.status, "Exported club.flac");
    const auto out = dir["club.flac"];
    EXPECT_EQ (vyrTestFiles::probedTag (vyrTestFiles::probe (out), "title"), "Night Drive");
    EXPECT_NEAR (measuredLufs (out), vyrMasterAssist::measure (*proc).lufs, 1.0);
    const auto decoded = vyrTestFiles::readAll (out);
    ASSERT_GT (decoded.audio.getNumSamples(), 44100);
    EXPECT_LE (juce::Decibels::gainToDecibels (decoded.audio.getMagnitude (0, decoded.audio.getNumSamples())),
               vyrQuarn::kMasterMediums[7].truePeak + 0.1f);
}

//==============================================================================
TEST (FinalOutput, LayoutOverlayReuseResizeAndMeterSync)
{
    juce::SharedResourcePointer<VyrLookAndFeel> lnf;
    auto proc = makeProcessor (0);
    juce::Component root;
    root.setSize (1000, 700);
    FinalOutputPanel panel (*proc);
    root.addAndMakeVisible (panel);
    panel.setBounds (0, 0, 900, 360);
    // Identity 0: pad 24.
    EXPECT_EQ (panel.fullscreenButton.getBounds(), juce::Rectangle<int> (24 + 852 - 108, 14, 108, 24));
    EXPECT_EQ (panel.infoButton.getBounds(), juce::Rectangle<int> (768 - 202, 18, 18, 18));
    EXPECT_EQ (panel.meter.getBounds(), juce::Rectangle<int> (24 + 852 - 96, 28 + 8 + 12, 96, 336 - 28 - 8));
    EXPECT_EQ (panel.analyzer.getBounds(), juce::Rectangle<int> (24, 48, 852 - 96 - 12, 300));

    Desk desk (root);
    desk.click (centreIn (panel.fullscreenButton, root));
    ASSERT_NE (panel.overlay, nullptr);
    auto* overlay = panel.overlay.get();
    EXPECT_EQ (overlay->getParentComponent(), &root);
    EXPECT_EQ (overlay->getBounds(), root.getLocalBounds());
    EXPECT_EQ (overlay->exitButton.getBounds(), juce::Rectangle<int> (16 + 968 - 92, 20, 92, 28));
    EXPECT_EQ (overlay->meter.getBounds(), juce::Rectangle<int> (16 + 968 - 96, 52, 96, 632));

    // Identity and metering scale reach both meters within one tick.
    proc->themeIndex = 3;
    if (auto* mode = dynamic_cast<juce::AudioParameterChoice*> (proc->apvts.getParameter ("meteringMode")))
        *mode = 2;
    panel.tick();
    for (auto* m : { &panel.meter, &overlay->meter })
    {
        EXPECT_EQ (m->themeId, 3);
        EXPECT_EQ (m->meteringMode, 2);
        EXPECT_EQ (m->title, vyrMeter::modeCaption (2));
    }
    // The overlay follows the editor's size within one tick.
    root.setSize (1100, 760);
    panel.tick();
    EXPECT_EQ (overlay->getBounds(), juce::Rectangle<int> (0, 0, 1100, 760));

    // The Spectrum toggle is one flag for every output analyser.
    const bool spectrum = gOutputShowSpectrum;
    desk.click (centreIn (overlay->analyzer.spectrumButton, root));
    EXPECT_NE (gOutputShowSpectrum, spectrum);
    gOutputShowSpectrum = spectrum;

    // Exit hides and detaches; the next request shows the same overlay again.
    desk.click (centreIn (overlay->exitButton, root));
    EXPECT_FALSE (overlay->isVisible());
    EXPECT_EQ (overlay->getParentComponent(), nullptr);
    proc->themeIndex = 1;
    panel.tick();
    EXPECT_EQ (overlay->meter.themeId, 1);
    desk.click (centreIn (panel.fullscreenButton, root));
    EXPECT_EQ (panel.overlay.get(), overlay);
    EXPECT_TRUE (overlay->isShowing());
}

// In the Standalone app the editor sits inside the app's window, below its title bar: the overlay
// covers the editor, not the window around it.
TEST (FinalOutput, OverlayCoversTheEditorInsideTheAppWindow)
{
    auto proc = makeProcessor (0, true);
    std::unique_ptr<juce::AudioProcessorEditor> editor (proc->createEditorIfNeeded());
    auto* ours = dynamic_cast<VyrAudioProcessorEditor*> (editor.get());
    ASSERT_NE (ours, nullptr);
    juce::Component window;
    window.setSize (editor->getWidth() + 8, editor->getHeight() + 64);
    window.addAndMakeVisible (*editor);
    editor->setTopLeftPosition (4, 60);
    auto& panel = ours->shell.finalOutput;
    panel.openFullscreen();
    ASSERT_NE (panel.overlay, nullptr);
    EXPECT_EQ (panel.overlay->getParentComponent(), editor.get());
    EXPECT_EQ (panel.overlay->getBounds(), editor->getLocalBounds());
    panel.closeFullscreen();
    EXPECT_EQ (panel.overlay->getParentComponent(), nullptr);
    proc->editorBeingDeleted (editor.get());
}

//==============================================================================
TEST (StudioPages, RenderTheStudioMasteredOutputAndFinalOutput)
{
    vyrTestFiles::ScratchDir dir;
    juce::SharedResourcePointer<VyrLookAndFeel> lnf;
    auto proc = makeProcessor (0, true);
    vyrTest::prepare (*proc, 44100.0, 512);
    proc->loadAudioFile (writeSong (dir));
    ASSERT_TRUE (proc->fileLoaded);
    proc->section.enabled = true;
    proc->playFile();
    juce::AudioBuffer<float> block (2, 512);
    juce::MidiBuffer midi;
    auto play = [&] (int blocks)
    {
        for (int i = 0; i < blocks; ++i)
        {
            block.clear();
            proc->processBlock (block, midi);
        }
    };
    {
        MasteringStudioPanel page (*proc);
        page.setLookAndFeel (&lnf.get()); // as the editor sets it
        page.setSize (1200, 560);
        page.clickMedium (7);
        page.applyRecipe();
        savePng (render (page), "studio-page");
    }
    {
        MasteredWaveformPanel panel (*proc);
        panel.setLookAndFeel (&lnf.get());
        panel.setSize (1184, 430);
        Desk desk (panel);
        desk.click (centreIn (panel.analysisButton, panel));
        panel.tape->onCycle();
        panel.tape->onCycle();
        for (int i = 0; i < 60; ++i)
        {
            play (4);
            panel.tick();
        }
        savePng (render (panel), "studio-mastered-output");
    }
    for (int identity : { 0, 4 })
    {
        proc->themeIndex = identity;
        FinalOutputPanel panel (*proc);
        panel.setLookAndFeel (&lnf.get());
        panel.setSize (1184, 360);
        Desk desk (panel);
        for (int i = 0; i < 20; ++i)
        {
            play (4);
            panel.tick();
            panel.analyzer.timerCallback();
            panel.meter.tick();
        }
        savePng (render (panel), "final-output-identity-" + juce::String (identity));
    }
}
