// The export-tag card: its rows per format, the Red Book lock and its warnings, what it copies
// into the processor's export record and its geometry inside the editor.
#include "GuiTestUtil.h"
#include "Ui/Shell/ExportInfoOverlay.h"

using namespace vyrGui;

namespace
{
using R = juce::Rectangle<int>;

struct CardFixture
{
    std::unique_ptr<VyrAudioProcessor> proc = makeProcessor (0, true);
    VyrExportInfoOverlay card;
    int exports = 0;

    explicit CardFixture (int format, int w = 1200, int h = 800)
    {
        card.setSize (w, h);
        card.openFor (*proc, format, juce::Colour (0xff38e0ff), [this] { ++exports; });
    }
    VyrExportInfoOverlay::Body& body() { return card.body; }
    void click (juce::TextButton& b)
    {
        b.triggerClick();
        EXPECT_TRUE (flushMessages()); // the click arrives through the message queue
    }
};
}

TEST (ExportCard, RowsFollowTheFormat)
{
    struct Case
    {
        int format;
        bool depth, kbps;
        int kbpsY, redBookY;
    };
    const Case cases[] = { { 0, true, false, 138, 126 }, { 2, true, false, 138, 126 }, { 3, false, false, 78, 66 },
                           { 4, false, true, 78, 126 },  { 6, false, true, 78, 126 } };
    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.format);
        CardFixture f (c.format);
        auto& b = f.body();
        EXPECT_EQ (b.depthChips[0].isVisible(), c.depth);
        EXPECT_EQ (b.kbpsChips[0].isVisible(), c.kbps);
        EXPECT_EQ (b.kbpsRow.getY(), c.kbpsY);
        EXPECT_EQ (b.redBookRow.getY(), c.redBookY);
        EXPECT_EQ (b.rateRow.getY(), 18);
        EXPECT_EQ (b.fields[0].getBounds().getPosition(), juce::Point<int> (6, 18));
        EXPECT_EQ (b.fields[7].getY(), 18 + 58 * 3);
    }
}

TEST (ExportCard, RedBookLockFreezesRateAndDepthAndRemembersTheChoices)
{
    CardFixture f (0);
    auto& b = f.body();
    f.click (b.rateChips[4]); // 96 kHz
    f.click (b.depthChips[2]); // 32-bit float (WAV only)
    EXPECT_EQ (f.proc->exportInfo.sampleRateChoice, 4);
    EXPECT_EQ (f.proc->exportInfo.bitDepthChoice, 2);

    f.click (b.redBookButton);
    EXPECT_TRUE (f.proc->exportInfo.redBook);
    f.click (b.rateChips[2]);
    f.click (b.depthChips[1]);
    EXPECT_EQ (b.info.sampleRateChoice, 4);
    EXPECT_EQ (b.info.bitDepthChoice, 2);
    EXPECT_EQ (b.noteBox.getHeight(), 68);

    f.click (b.redBookButton);
    EXPECT_FALSE (f.proc->exportInfo.redBook);
    EXPECT_EQ (f.proc->exportInfo.sampleRateChoice, 4);
    EXPECT_EQ (b.noteBox.getHeight(), 40);
}

TEST (ExportCard, LossyFormatsRefuseHighRatesAndOnlyWavTakes32BitFloat)
{
    {
        CardFixture f (6); // MP3
        auto& b = f.body();
        f.click (b.rateChips[3]);
        EXPECT_EQ (b.info.sampleRateChoice, 0);
        f.click (b.rateChips[2]);
        EXPECT_EQ (b.info.sampleRateChoice, 2);
        f.click (b.kbpsChips[0]);
        EXPECT_EQ (f.proc->exportInfo.bitRateChoice, 0);
    }
    for (int format : { 1, 2 })
    {
        CardFixture f (format);
        f.click (f.body().depthChips[2]);
        EXPECT_EQ (f.body().info.bitDepthChoice, 1);
        f.click (f.body().depthChips[0]);
        EXPECT_EQ (f.body().info.bitDepthChoice, 0);
    }
}

TEST (ExportCard, LengthWarningsUnderTheLock)
{
    struct Case
    {
        double seconds;
        const char* starts;
        int noteHeight;
    };
    const Case cases[] = { { 3.9, "This file is under 4 seconds", 88 }, { 4788.5, "This file is over 79.8 minutes", 88 },
                           { 200.0, "", 68 }, { 0.0, "", 68 } };
    for (const auto& c : cases)
    {
        CardFixture f (0);
        auto& b = f.body();
        b.lengthSeconds = c.seconds;
        f.click (b.redBookButton);
        EXPECT_TRUE (b.lengthWarning().startsWith (c.starts)) << c.seconds;
        EXPECT_EQ (b.lengthWarning().isEmpty(), juce::String (c.starts).isEmpty());
        EXPECT_EQ (b.noteBox.getHeight(), c.noteHeight);
    }
}

TEST (ExportCard, HarvestTrimsTextsAndTracksWhetherTheTitleWasTyped)
{
    CardFixture f (0);
    auto& b = f.body();
    b.info.defaultTitle = "tone";
    auto type = [&] (juce::TextEditor& e, const juce::String& text)
    {
        e.setText ({}, false);
        e.insertTextAtCaret (text); // what typing does, restrictions included
        EXPECT_TRUE (flushMessages()); // the change message is delivered asynchronously
    };
    type (b.fields[0], "  Night Drive  ");
    EXPECT_EQ (f.proc->exportInfo.title, "Night Drive");
    EXPECT_EQ (b.fields[0].getText(), "  Night Drive  ");
    EXPECT_TRUE (f.proc->exportInfo.titleEdited);
    type (b.fields[0], "tone");
    EXPECT_TRUE (f.proc->exportInfo.titleEdited); // equal to the default: left as it was
    type (b.fields[0], "");
    EXPECT_FALSE (f.proc->exportInfo.titleEdited);

    type (b.fields[3], "12ab345");
    EXPECT_EQ (f.proc->exportInfo.track, "1234");
    type (b.fields[6], "GBABC2500001XYZW");
    EXPECT_EQ (f.proc->exportInfo.isrc.length(), 15);
}

TEST (ExportCard, CancelScrimAndExportAllKeepWhatWasTyped)
{
    CardFixture f (0);
    auto& b = f.body();
    b.fields[1].setText ("Artist A", juce::dontSendNotification); // not yet copied live
    f.click (b.cancelButton);
    EXPECT_FALSE (f.card.isVisible());
    EXPECT_EQ (f.proc->exportInfo.artist, "Artist A");

    f.card.openFor (*f.proc, 0, juce::Colours::orange, [&f] { ++f.exports; });
    EXPECT_EQ (b.fields[1].getText(), "Artist A");
    Desk desk (f.card);
    desk.click (5.0f, 5.0f); // on the scrim
    EXPECT_FALSE (f.card.isVisible());

    f.card.openFor (*f.proc, 0, juce::Colours::orange, [&f] { ++f.exports; });
    f.click (b.exportButton);
    EXPECT_FALSE (f.card.isVisible());
    EXPECT_EQ (f.exports, 1);
}

TEST (ExportCard, CardStaysWithinItsWidthLimitsAndTheWindowHeight)
{
    const std::tuple<int, int, int, int> cases[] = { { 600, 500, 720, -1 }, { 800, 800, 744, -1 }, { 2000, 1200, 920, -1 }, { 1200, 200, 920, 160 } };
    for (const auto& [w, h, cardW, cardH] : cases)
    {
        CardFixture f (0, w, h);
        EXPECT_EQ (f.card.cardBounds.getWidth(), cardW);
        if (cardH >= 0)
            EXPECT_EQ (f.card.cardBounds.getHeight(), cardH);
        EXPECT_LE (f.card.cardBounds.getHeight(), h - 40);
        EXPECT_EQ (f.card.cardBounds.getX(), (w - cardW) / 2);
    }
}

TEST (ExportCard, OpenerSeedsTheTitleFromTheLoadedFile)
{
    auto proc = makeProcessor (0, true);
    proc->loadedName = "mixdown v3.wav";
    VyrExportInfoOverlay card;
    card.setSize (1200, 800);
    card.openFor (*proc, 9, juce::Colours::orange, {});
    EXPECT_EQ (card.body.fields[0].getText(), "mixdown v3");
    EXPECT_EQ (card.body.format, 6);
    EXPECT_DOUBLE_EQ (card.body.sourceRate, 44100.0);
    savePng (render (card), "export-card-mp3");
}
