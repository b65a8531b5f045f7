// The library dialog and its printed report: list and report geometry, the row columns, the body's
// layout, opening and closing, the readers it holds while showing, and PRINT with real clicks
// saving a one-page PDF that poppler reads back.

#include "GuiTestUtil.h"
#include "FileTestUtil.h"
#include "Assistant/LibraryModel.h"
#include "Ui/Studio/LibraryDialog.h"
#include "Ui/Studio/LibraryReport.h"
#include "Ui/Studio/ReportPrint.h"

namespace
{
LibraryModel fullModel()
{
    LibraryModel m;
    vyrMasterAssist::Snapshot s;
    s.hasFile = true;
    s.lufs = -9.0f;
    s.clipShare = 0.4f;
    s.medium = 7;
    s.style = 0;
    m.snapshot = s;
    m.advice = vyrMasterAssist::coach (s);
    vyrLibrary::rank (s, m.named, m.grid);
    return m;
}

// Sends real pointer events to a top-level window through its peer.
void clickOnWindow (juce::Component& window, juce::Component& target)
{
    auto* peer = window.getPeer();
    ASSERT_NE (peer, nullptr);
    const auto centre = peer->globalToLocal (target.getScreenBounds().getCentre().toFloat());
    const auto time = juce::Time::currentTimeMillis();
    const auto send = [&] (juce::ModifierKeys mods, juce::int64 t)
    {
        juce::ModifierKeys::currentModifiers = mods;
        peer->handleMouseEvent (juce::MouseInputSource::InputSourceType::mouse, centre, mods,
                                juce::MouseInputSource::defaultPressure, juce::MouseInputSource::defaultOrientation, t);
    };
    send ({}, time);
    send (juce::ModifierKeys (juce::ModifierKeys::leftButtonModifier), time + 20);
    send ({}, time + 40);
}

// One field of pdfinfo's listing ("Pages:   1" gives "1").
juce::String pdfField (const juce::String& info, const juce::String& key)
{
    for (const auto& line : juce::StringArray::fromLines (info))
        if (line.startsWith (key + ":"))
            return line.fromFirstOccurrenceOf (":", false, false).trim();
    return {};
}

int accentPixels (const juce::Image& img, juce::Rectangle<int> area)
{
    int n = 0;
    area = area.getIntersection (img.getBounds());
    for (int y = area.getY(); y < area.getBottom(); ++y)
        for (int x = area.getX(); x < area.getRight(); ++x)
            if (vyrGui::colourDistance (img.getPixelAt (x, y), juce::Colour (0xff38bdf8)) < 60)
                ++n;
    return n;
}
}

TEST (LibraryDialog, ListAndReportHeightsFollowTheRows)
{
    auto p = vyrGui::makeProcessor (0);
    VyrLibraryBody body (*p);
    body.setSize (540, 620);
    body.list.model = fullModel();
    ASSERT_EQ (body.list.model.named.size(), 36u);
    ASSERT_EQ (body.list.model.grid.size(), 8u);
    body.resized();
    EXPECT_EQ (body.list.getHeight(), 1570);
    EXPECT_EQ (body.list.getWidth(), 520 - 8);
    const auto report = makeLibraryPrintImage (body.list.model);
    EXPECT_EQ (report.getWidth(), 1224);
    EXPECT_EQ (report.getHeight(), 1750);

    body.list.model = LibraryModel {};
    body.resized();
    EXPECT_EQ (body.list.getHeight(), 620 - 68);   // the viewport's height, taller than 66
    EXPECT_EQ (makeLibraryPrintImage (LibraryModel {}).getHeight(), 900);
}

TEST (LibraryDialog, BodyLayout)
{
    auto p = vyrGui::makeProcessor (0);
    VyrLibraryBody body (*p);
    body.setSize (540, 620);
    EXPECT_EQ (body.printButton.getBounds(), juce::Rectangle<int> (478, 8, 52, 18));
    EXPECT_EQ (body.viewport.getBounds(), juce::Rectangle<int> (10, 62, 520, 552));
    EXPECT_EQ (body.printButton.getTooltip(), "Print this library report");
    body.setSize (540, 60);
    EXPECT_EQ (body.viewport.getHeight(), 0);
    body.setSize (540, 100);
    EXPECT_EQ (body.viewport.getHeight(), 32);
}

TEST (LibraryDialog, BodyFollowsTheLightIdentity)
{
    auto p = vyrGui::makeProcessor (0);
    VyrLibraryBody body (*p);
    body.setSize (540, 620);
    body.rebuild();
    EXPECT_TRUE (vyrGui::colourNear (vyrGui::render (body).getPixelAt (5, 300), juce::Colour (0xff0b1220)));
    p->themeIndex = 5;
    body.rebuild();
    EXPECT_TRUE (body.list.light);
    EXPECT_TRUE (vyrGui::colourNear (vyrGui::render (body).getPixelAt (5, 300), juce::Colour (0xffeef4f8)));
}

TEST (LibraryDialog, NarrowRowsGiveTheirWidthToRankAndFitFirst)
{
    const auto l = vyrLibraryReport::rowLayout ({ 0.0f, 0.0f, 60.0f, 36.0f }, true);
    EXPECT_FLOAT_EQ (l.rank.getWidth(), 22.0f);
    EXPECT_FLOAT_EQ (l.fit.getWidth(), 38.0f);
    EXPECT_FLOAT_EQ (l.lufs.getWidth(), 0.0f);
    EXPECT_FLOAT_EQ (l.title.getWidth(), 0.0f);

    const auto wide = vyrLibraryReport::rowLayout ({ 48.0f, 100.0f, 1128.0f, 36.0f }, true);
    EXPECT_EQ (wide.fit, juce::Rectangle<float> (1128.0f, 100.0f, 48.0f, 36.0f));
    EXPECT_EQ (wide.lufs, juce::Rectangle<float> (1088.0f, 100.0f, 40.0f, 36.0f));
    EXPECT_EQ (wide.title, juce::Rectangle<float> (70.0f, 100.0f, 1018.0f, 14.0f));
    EXPECT_EQ (wide.note, juce::Rectangle<float> (70.0f, 114.0f, 1018.0f, 22.0f));
    EXPECT_FLOAT_EQ (vyrLibraryReport::rowLayout ({ 0.0f, 0.0f, 600.0f, 26.0f }, false).title.getHeight(), 26.0f);
}

TEST (LibraryDialog, HeadingsSitAboveEachRanking)
{
    VyrLibraryList list;
    list.model = fullModel();
    list.setSize (500, 1570);
    const auto img = vyrGui::render (list);
    // The named heading at the top and the grid heading below the 36 named rows, in the accent.
    EXPECT_GT (accentPixels (img, { 0, 2, 200, 16 }), 20);
    const int gridHeading = 20 + 36 * 36;
    EXPECT_GT (accentPixels (img, { 0, gridHeading, 200, 16 }), 20);
    // Between them only rows: their FIT figures are accent too, but right-aligned.
    EXPECT_EQ (accentPixels (img, { 0, 40, 200, 16 }), 0);
    EXPECT_GT (accentPixels (img, { 452, 20, 48, 36 }), 5);
    vyrGui::savePng (img, "library-list");
}

TEST (LibraryDialog, PrintLayerRejectsRowStridesThatAreNotWholeRows)
{
    std::vector<unsigned char> pixels (4 * 6 * 4, 0x7f);
    for (int stride : { 0, -16, 15 })
        EXPECT_TRUE (vyrPrint::packRows (pixels.data(), 4, 4, stride).empty()) << stride;
    EXPECT_TRUE (vyrPrint::packRows (nullptr, 4, 4, 16).empty());
    EXPECT_TRUE (vyrPrint::packRows (pixels.data(), 1, 4, 16).empty());

    // A padded stride copies each row's pixels and none of the padding.
    std::vector<unsigned char> padded (24 * 3, 0xee);
    for (int y = 0; y < 3; ++y)
        for (int i = 0; i < 8; ++i)
            padded[(size_t) (y * 24 + i)] = (unsigned char) (y * 10 + i);
    const auto packed = vyrPrint::packRows (padded.data(), 2, 3, 24);
    ASSERT_EQ (packed.size(), 24u);
    for (int y = 0; y < 3; ++y)
        for (int i = 0; i < 8; ++i)
            EXPECT_EQ (packed[(size_t) (y * 8 + i)], y * 10 + i);

    bool asked = false;
    EXPECT_FALSE (vyrPrintRGBA (pixels.data(), 4, 4, 8, "VYR Library", [&] (auto) { asked = true; }));
    EXPECT_FALSE (asked) << "nothing is offered for an image that cannot be read";
}

TEST (LibraryDialog, OpensOnceHidesOnCloseAndReadsOnlyWhileShowing)
{
    auto p = vyrGui::makeProcessor (0);
    juce::Component anchor;
    std::unique_ptr<VyrLibraryDialog> dialog;
    VyrLibraryDialog::open (dialog, anchor, *p);
    ASSERT_NE (dialog, nullptr);
    auto* first = dialog.get();
    EXPECT_EQ (dialog->getName(), "VYR Library");
    EXPECT_EQ (dialog->getContentComponent()->getWidth(), 540);
    EXPECT_EQ (dialog->getContentComponent()->getHeight(), 620);
    EXPECT_TRUE (dialog->isShowing());
    EXPECT_TRUE (p->isSpectrumViewOpen());
    EXPECT_TRUE (p->levelReaders.any());
    EXPECT_EQ (dialog->body().model.named.size(), 36u);

    // Escape presses the close button: the window hides and stays for the next opening.
    dialog->getPeer()->handleKeyPress (juce::KeyPress (juce::KeyPress::escapeKey));
    EXPECT_FALSE (dialog->isVisible());
    EXPECT_FALSE (p->isSpectrumViewOpen());
    EXPECT_FALSE (p->levelReaders.any());
    EXPECT_FALSE (dialog->body().refreshIfShowing()) << "no measuring while hidden";

    p->mediumIndex = 7;
    VyrLibraryDialog::open (dialog, anchor, *p);
    EXPECT_EQ (dialog.get(), first);
    EXPECT_TRUE (dialog->isShowing());
    EXPECT_EQ (dialog->body().model.snapshot.medium, 7) << "reopening refreshes";
    EXPECT_TRUE (dialog->body().refreshIfShowing());
}

TEST (LibraryDialog, PrintSavesAOnePagePdfOfTheReport)
{
    if (! vyrTestFiles::haveProgram ("pdfinfo") || ! vyrTestFiles::haveProgram ("pdftoppm"))
        GTEST_SKIP() << "poppler-utils are not installed";
    vyrTestFiles::ScratchDir scratch;
    auto p = vyrGui::makeProcessor (0, true);
    const auto wav = scratch["song.wav"];
    vyrTestFiles::writeSine (wav, 48000.0, 2, 48000 * 4, 220.0, 0.7f);
    p->loadAudioFile (wav);
    ASSERT_TRUE (p->fileLoaded) << p->loadError;

    // A LIBRARY button as the assistant's drawer has, clicked with the mouse, opens the dialog.
    juce::TextButton library ("LIBRARY");
    library.setSize (120, 30);
    std::unique_ptr<VyrLibraryDialog> dialog;
    library.onClick = [&] { VyrLibraryDialog::open (dialog, library, *p); };
    vyrGui::Desk desk (library);
    desk.click (60.0f, 15.0f);
    ASSERT_NE (dialog, nullptr);
    EXPECT_TRUE (dialog->isShowing());
    auto& body = dialog->body();
    EXPECT_TRUE (body.model.snapshot.hasFile);
    EXPECT_EQ (body.list.model.named.size(), 36u);
    vyrGui::savePng (vyrGui::render (body), "library-dialog");
    vyrGui::savePng (makeLibraryPrintImage (body.model), "library-report");

    const auto pdf = scratch["report.pdf"];
    int offered = 0;
    juce::String failure;
    body.saveChooser = [&] (std::function<void (const juce::File&)> done) { ++offered; done (pdf); };
    body.failureReport = [&] (const juce::String& m) { failure = m; };
    vyrGui::pump (30);
    clickOnWindow (*dialog, body.printButton);
    ASSERT_TRUE (vyrGui::pumpUntil ([&] { return offered > 0; }));
    EXPECT_TRUE (failure.isEmpty()) << failure;
    ASSERT_TRUE (pdf.existsAsFile());

    const auto info = vyrTestFiles::run ({ "pdfinfo", pdf.getFullPathName() });
    EXPECT_EQ (pdfField (info, "Pages"), "1") << info;
    EXPECT_TRUE (pdfField (info, "Page size").startsWith ("612 x ")) << info;
    EXPECT_EQ (pdfField (info, "Title"), "VYR Library") << info;

    // The rendered page carries the list's ink between its margins and nothing in them.
    const auto png = scratch["page"];
    vyrTestFiles::run ({ "pdftoppm", "-png", "-r", "72", "-singlefile", pdf.getFullPathName(), png.getFullPathName() });
    const auto page = juce::ImageFileFormat::loadFrom (scratch["page.png"]);
    ASSERT_TRUE (page.isValid());
    EXPECT_EQ (page.getWidth(), 612);
    const auto white = juce::Colours::white;
    EXPECT_GT (vyrGui::countInk (page, { 36, 28, 540, page.getHeight() - 56 }, white, 40), 2000);
    EXPECT_EQ (vyrGui::countInk (page, { 0, 0, 30, page.getHeight() }, white, 8), 0);

    // A folder that does not exist: the user is told, nothing is claimed.
    const auto missing = scratch["no such folder"].getChildFile ("report.pdf");
    body.saveChooser = [&] (std::function<void (const juce::File&)> done) { done (missing); };
    body.printReport();
    EXPECT_FALSE (missing.existsAsFile());
    EXPECT_TRUE (failure.startsWith ("Could not write")) << failure;
}
