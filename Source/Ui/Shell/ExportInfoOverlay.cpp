#include "Ui/Shell/ExportInfoOverlay.h"

#include "Core/PluginProcessor.h"
#include "Ui/Controls/GhostButton.h"
#include "Ui/Foundation/VyrLucide.h"
#include "Ui/Foundation/VyrPainting.h"
#include "Ui/Shell/ShellPainters.h"

VyrExportInfoOverlay* gExportHost = nullptr;

namespace
{
constexpr juce::uint32 kScrim = 0xff1a1c20, kCardTop = 0xff3a3e45, kCardMid = 0xff26292f, kCardBot = 0xff1a1c20,
                       kHeaderFill = 0xff22262c, kWellFill = 0xff32363e;
constexpr juce::uint32 kCaption = 0xff9aa3ae, kNote = 0xffb4bcc6, kFieldText = 0xffd4d8de;

struct FieldSpec
{
    const char* placeholder;
    const char* caption;
    int maxLength;
    const char* allowed;
};

const FieldSpec kFields[8] = {
    { "Title", "TITLE", 0, "" },
    { "Artist", "ARTIST", 0, "" },
    { "Album", "ALBUM", 0, "" },
    { "Track #", "TRACK #", 4, "0123456789" },
    { "Year", "YEAR", 4, "0123456789" },
    { "Genre", "GENRE", 0, "" },
    { "ISRC", "ISRC", 15, "" },
    { "Copyright / comment", "COPYRIGHT / COMMENT", 0, "" },
};

const char* const kRateLabels[7] = { "Source", "44.1", "48", "88.2", "96", "176.4", "192" };
const char* const kDepthLabels[3] = { "16", "24", "32f" };
const char* const kKbpsLabels[4] = { "128", "192", "256", "320" };

juce::String* tagOf (vyrAudioIo::ExportInfo& info, int k)
{
    juce::String* tags[8] = { &info.title, &info.artist, &info.album, &info.track,
                              &info.year, &info.genre, &info.isrc, &info.comment };
    return tags[k];
}

juce::String utf8 (const char* s) { return juce::String::fromUTF8 (s); }

// The fill of a selected chip: the accent's hue with tempered saturation and brightness.
juce::Colour selectedFill (juce::Colour accent)
{
    float h, s, v;
    vyrToHsb (accent, h, s, v);
    return juce::Colour::fromHSV (h, juce::jmin (0.9f * s, 0.7f), juce::jmin (0.82f * v, 0.7f), accent.getFloatAlpha());
}

juce::Colour litLabel (juce::Colour fill)
{
    float h, s, v;
    vyrToHsb (fill, h, s, v);
    return juce::Colour::fromHSV (h, juce::jmin (0.28f * s, 0.2f), 0.92f, 1.0f);
}

void giveAwayFocusInside (juce::Component& c)
{
    if (auto* f = juce::Component::getCurrentlyFocusedComponent())
        if (f == &c || c.isParentOf (f))
            f->giveAwayKeyboardFocus();
}
}

juce::Colour vyrShellAccent (int themeId) noexcept
{
    switch (themeId)
    {
        case 1: return juce::Colour (0xff22d3ee);
        case 2: return juce::Colour (0xffe0a94e);
        case 3: return juce::Colour (0xffff9e1a);
        case 4: return juce::Colour (0xff00f0ff);
        case 5: return juce::Colour (0xff5fe8c4);
        default: return juce::Colour (0xff38e0ff);
    }
}

VyrExportInfoOverlay* vyrFindExportCard (juce::Component& from)
{
    if (auto* host = dynamic_cast<VyrExportHost*> (&from))
        return &host->getExportOverlay();
    if (auto* host = from.findParentComponentOfClass<VyrExportHost>())
        return &host->getExportOverlay();
    return nullptr;
}

//==============================================================================
VyrExportInfoOverlay::Body::Body()
{
    for (int k = 0; k < 8; ++k)
    {
        auto& f = fields[k];
        styleField (f);
        f.setTextToShowWhenEmpty (kFields[k].placeholder, juce::Colour (0xb29aa3ae));
        if (kFields[k].maxLength > 0)
            f.setInputRestrictions (kFields[k].maxLength, kFields[k].allowed);
        f.onTextChange = [this] { copyLive(); };
        addAndMakeVisible (f);
    }

    auto setUp = [this] (juce::TextButton& b, std::function<void()> click)
    {
        ghostBtn (b);
        b.onClick = std::move (click);
        addAndMakeVisible (b);
    };
    for (int k = 0; k < 7; ++k)
        setUp (rateChips[k], [this, k] { clickRate (k); });
    for (int k = 0; k < 3; ++k)
        setUp (depthChips[k], [this, k] { clickDepth (k); });
    for (int k = 0; k < 4; ++k)
        setUp (kbpsChips[k], [this, k] { clickKbps (k); });
    setUp (redBookButton, [this] { toggleRedBook(); });
    setUp (cancelButton, [this] { if (onClose) onClose(); });
    setUp (exportButton, [this] { if (onExportClicked) onExportClicked(); });
}

VyrExportInfoOverlay::Body::~Body() = default;

void VyrExportInfoOverlay::Body::styleField (juce::TextEditor& e)
{
    e.setColour (juce::TextEditor::backgroundColourId, juce::Colour (kWellFill));
    e.setColour (juce::TextEditor::textColourId, juce::Colour (kFieldText));
    e.setColour (juce::TextEditor::outlineColourId, juce::Colours::white.withAlpha ((juce::uint8) 0x26));
    e.setColour (juce::TextEditor::focusedOutlineColourId, juce::Colour (0xfff59e0b));
    e.setColour (juce::TextEditor::highlightColourId, juce::Colour (0x52f59e0b));
    e.setColour (juce::TextEditor::highlightedTextColourId, juce::Colours::white);
    e.setColour (juce::CaretComponent::caretColourId, juce::Colour (0xfff59e0b));
    e.setFont (juce::Font (13.0f, juce::Font::plain));
    e.setIndents (10, 5);
    e.setMultiLine (false);
    e.setReturnKeyStartsNewLine (false);
    e.setScrollbarsShown (false);
    // Escape must reach the card so it can close (and keep what was typed).
    e.setEscapeAndReturnKeysConsumed (false);
}

void VyrExportInfoOverlay::Body::harvestTo (vyrAudioIo::ExportInfo& target)
{
    for (int k = 0; k < 8; ++k)
        *tagOf (info, k) = fields[k].getText().trim();

    if (info.title.isEmpty())
        info.titleEdited = false;
    else if (info.title != info.defaultTitle)
        info.titleEdited = true;

    target = info;
}

void VyrExportInfoOverlay::Body::copyLive()
{
    if (processor != nullptr)
        harvestTo (processor->exportInfo);
}

void VyrExportInfoOverlay::Body::clickRate (int k)
{
    if (info.redBook)
        return;
    const bool lossy = format >= 4 && format <= 6;
    if (k != 0 && lossy && k > 2)
        return;
    info.sampleRateChoice = k;
    copyLive();
    repaint();
}

void VyrExportInfoOverlay::Body::clickDepth (int k)
{
    if (info.redBook || format > 2)
        return;
    if (k == 2 && format != 0)
        return;
    info.bitDepthChoice = k;
    copyLive();
    repaint();
}

void VyrExportInfoOverlay::Body::clickKbps (int k)
{
    info.bitRateChoice = k;
    copyLive();
    repaint();
}

void VyrExportInfoOverlay::Body::toggleRedBook()
{
    info.redBook = ! info.redBook;
    copyLive();
    if (auto* card = findParentComponentOfClass<VyrExportInfoOverlay>())
        card->resized();
    else
        resized();
    repaint();
}

juce::String VyrExportInfoOverlay::Body::lengthWarning() const
{
    const double L = lengthSeconds;
    if (! info.redBook || ! (L > 0.0))
        return {};
    if (L < 4.0)
        return utf8 ("This file is under 4 seconds \xe2\x80\x94 a Red Book track must be at least 4 s.");
    if (L > 4788.0)
        return utf8 ("This file is over 79.8 minutes \xe2\x80\x94 a Red Book disc tops out around 74\xe2\x80\x93" "79.8 min.");
    return {};
}

void VyrExportInfoOverlay::Body::resized()
{
    const int W = getWidth();
    const int a = juce::jmax (W - 12, 0);
    const int c = juce::jmax ((a - 28) / 2, 220);
    const int d = (c - 12) / 2;

    for (int i = 0; i < 4; ++i)
    {
        const int y = 18 + 58 * i;
        fields[2 * i].setBounds (6, y, d, 28);
        fields[2 * i + 1].setBounds (d + 18, y, d, 28);
    }

    const int e = c + 34;
    const int r = (a - c < 229) ? 200 : a - e + 6;

    rateRow = { e, 18, r, 26 };
    const int f = juce::jmax ((r - 42) / 7, 48);
    for (int k = 0; k < 7; ++k)
        rateChips[k].setBounds (e + k * (f + 7), 18, f, 26);

    const bool depthShows = depthRowShows(), kbpsShows = kbpsRowShows();
    depthRow = { e, 78, r, 26 };
    const int dw = (r - 14) / 3;
    for (int k = 0; k < 3; ++k)
    {
        depthChips[k].setBounds (e + k * (dw + 7), 78, dw, 26);
        depthChips[k].setVisible (depthShows);
    }

    const int m = depthShows ? 138 : 78;
    kbpsRow = { e, m, r, 26 };
    const int kw = juce::jmax ((r - 21) / 4, 48);
    for (int k = 0; k < 4; ++k)
    {
        kbpsChips[k].setBounds (e + k * (kw + 7), m, kw, 26);
        kbpsChips[k].setVisible (kbpsShows);
    }

    const int o = 62 + 60 * ((depthShows ? 1 : 0) + (kbpsShows ? 1 : 0));
    redBookRow = { e, o + 4, r, 28 };
    redBookButton.setBounds (e, o + 4, 180, 28);

    const int u = ! info.redBook ? 40 : (lengthWarning().isEmpty() ? 68 : 88);
    noteBox = { e, o + 44, r, u };

    const int y2 = juce::jmax (o + u + 52, 234) + 8;
    cancelButton.setBounds (a - 236, y2, 116, 32);
    exportButton.setBounds (a - 110, y2, 116, 32);
}

void VyrExportInfoOverlay::Body::paint (juce::Graphics& g)
{
    const int gapLeft = fields[1].getRight();
    if (rateRow.getX() - gapLeft > 25)
    {
        const float x = (float) (gapLeft + rateRow.getX()) / 2.0f;
        const int bottom = juce::jmax (juce::jmin (fields[7].getBottom(), noteBox.getBottom()), 16);
        g.setColour (juce::Colours::white.withAlpha ((juce::uint8) 0x8c));
        g.fillRect (juce::Rectangle<float> (std::floor (x), 8.0f, 1.0f, (float) bottom - 8.0f));
    }

    g.setColour (juce::Colour (kCaption));
    g.setFont (juce::Font (10.0f).withExtraKerningFactor (0.08f));
    for (int k = 0; k < 8; ++k)
    {
        const auto b = fields[k].getBounds();
        g.drawText (kFields[k].caption, b.getX(), b.getY() - 16, b.getWidth(), 13, juce::Justification::centredLeft, true);
    }

    g.setFont (juce::Font (10.0f).withExtraKerningFactor (0.1f));
    g.drawText ("SAMPLE RATE", rateRow.getX(), rateRow.getY() - 16, 160, 13, juce::Justification::centredLeft, true);
    if (depthRowShows())
        g.drawText ("BIT DEPTH", depthRow.getX(), depthRow.getY() - 16, 160, 13, juce::Justification::centredLeft, true);
    if (kbpsRowShows())
        g.drawText (utf8 ("BIT RATE  \xc2\xb7  kbps"), kbpsRow.getX(), kbpsRow.getY() - 16, 180, 13,
                    juce::Justification::centredLeft, true);

    if (info.redBook)
    {
        g.setColour (accent.withAlpha ((juce::uint8) 0xe6));
        g.drawText ("locked 44.1 kHz", rateRow.getRight() - 148, rateRow.getY() - 16, 148, 13, juce::Justification::centredRight, true);
        if (depthRowShows())
            g.drawText ("locked 16-bit + dither", depthRow.getRight() - 168, depthRow.getY() - 16, 168, 13,
                        juce::Justification::centredRight, true);
    }
    else if (sourceRate > 0.0)
    {
        g.setColour (juce::Colour (kNote));
        g.drawText ("source " + juce::String (sourceRate / 1000.0, 1) + " kHz", rateRow.getRight() - 148, rateRow.getY() - 16, 148, 13,
                    juce::Justification::centredRight, true);
    }
}

void VyrExportInfoOverlay::Body::paintChip (juce::Graphics& g, juce::TextButton& b, bool selected, bool dimmed,
                                            const juce::String& label) const
{
    if (! b.isVisible())
        return;
    const auto r = b.getBounds().toFloat();
    juce::Colour labelColour;
    if (selected)
    {
        const auto F = selectedFill (accent);
        auto fill = F;
        if (dimmed)
            fill = fill.withSaturation (fill.getSaturation() * 0.75f);
        g.setColour (fill);
        g.fillRoundedRectangle (r, 6.0f);
        g.setColour (F.interpolatedWith (juce::Colours::white, 0.42f).withAlpha ((juce::uint8) 0xc7));
        g.drawRoundedRectangle (r.getX() + 0.5f, r.getY() + 0.5f, juce::jmax (r.getWidth() - 1.0f, 0.0f),
                                juce::jmax (r.getHeight() - 1.0f, 0.0f), 5.5f, 1.05f);
        labelColour = litLabel (F);
    }
    else
    {
        g.setColour (juce::Colour (kWellFill).withAlpha (dimmed ? (juce::uint8) 0x80 : (juce::uint8) 0xff));
        g.fillRoundedRectangle (r, 6.0f);
        g.setColour (juce::Colours::white.withAlpha ((juce::uint8) 0x26));
        g.drawRoundedRectangle (r, 6.0f, 0.7f);
        labelColour = dimmed ? juce::Colour (0x8c9aa3ae) : juce::Colour (kFieldText);
    }
    g.setColour (labelColour);
    g.setFont (juce::Font (11.0f, juce::Font::bold));
    g.drawText (label, b.getBounds(), juce::Justification::centred, false);
}

void VyrExportInfoOverlay::Body::paintActionButton (juce::Graphics& g, juce::TextButton& b, bool primary,
                                                    const juce::String& label) const
{
    const auto r = b.getBounds().toFloat();
    juce::Colour labelColour;
    if (primary)
    {
        const auto F = selectedFill (accent);
        g.setColour (F);
        g.fillRoundedRectangle (r, 7.0f);
        g.setColour (F.interpolatedWith (juce::Colours::white, 0.42f).withAlpha ((juce::uint8) 0xc7));
        g.drawRoundedRectangle (r.getX() + 0.5f, r.getY() + 0.5f, juce::jmax (r.getWidth() - 1.0f, 0.0f),
                                juce::jmax (r.getHeight() - 1.0f, 0.0f), 6.5f, 1.05f);
        labelColour = litLabel (F);
    }
    else
    {
        g.setColour (juce::Colour (kWellFill));
        g.fillRoundedRectangle (r, 7.0f);
        g.setColour (juce::Colours::white.withAlpha ((juce::uint8) 0x26));
        g.drawRoundedRectangle (r, 7.0f, 0.7f);
        labelColour = juce::Colour (kFieldText);
    }
    g.setColour (labelColour);
    g.setFont (juce::Font (12.0f, juce::Font::bold));
    g.drawText (label, b.getBounds(), juce::Justification::centred, false);
}

void VyrExportInfoOverlay::Body::paintOverChildren (juce::Graphics& g)
{
    const bool rb = info.redBook;
    const bool lossy = format >= 4 && format <= 6;
    for (int k = 0; k < 7; ++k)
    {
        const bool selected = (! rb && info.sampleRateChoice == k) || (k == 1 && rb);
        const bool dimmed = k <= 2 ? rb : (rb || lossy);
        paintChip (g, rateChips[k], selected, dimmed, kRateLabels[k]);
    }
    for (int k = 0; k < 3; ++k)
    {
        const bool selected = k == 0 ? (rb || info.bitDepthChoice == 0) : (! rb && info.bitDepthChoice == k);
        const bool dimmed = k < 2 ? (rb || format > 2) : (rb || format != 0);
        paintChip (g, depthChips[k], selected, dimmed, kDepthLabels[k]);
    }
    for (int k = 0; k < 4; ++k)
        paintChip (g, kbpsChips[k], info.bitRateChoice == k, false, kKbpsLabels[k]);

    paintChip (g, redBookButton, rb, false, rb ? utf8 ("Red Book  \xc2\xb7  ON") : juce::String ("Red Book (CD-DA)"));

    auto box = noteBox;
    if (box.isEmpty())
        box = { redBookRow.getX(), redBookButton.getBottom() + 10, redBookRow.getWidth(), 40 };
    g.setFont (juce::Font (11.0f));
    g.setColour (juce::Colour (kNote));
    if (! rb)
    {
        g.drawFittedText ("Optional CD-DA lock. Regular tags still write on every format. ISRC is an identifier, not Red Book only.",
                          box, juce::Justification::topLeft, 3, 1.0f);
    }
    else
    {
        g.drawFittedText (utf8 ("CD-DA: 44.1 kHz / 16-bit with TPDF dither after the live master. The chain stays as you hear it "
                                "\xe2\x80\x94 only the file is converted."),
                          box, juce::Justification::topLeft, 3, 1.0f);
        const auto warning = lengthWarning();
        if (warning.isNotEmpty())
        {
            g.setColour (juce::Colour (0xfffbbf24));
            g.drawFittedText (warning, box.getX(), box.getY() + 38, box.getWidth(), 18, juce::Justification::topLeft, 2, 1.0f);
        }
        g.setColour (juce::Colour (kCaption));
        g.setFont (juce::Font (10.0f));
        const int y = warning.isEmpty() ? box.getBottom() - 6 : box.getBottom() + 4;
        g.drawFittedText ("DDP, track order and 2-second gaps are album-plant delivery, not this single-file export.",
                          box.getX(), y, box.getWidth(), 16, juce::Justification::topLeft, 2, 1.0f);
    }

    paintActionButton (g, cancelButton, false, "Cancel");
    paintActionButton (g, exportButton, true, utf8 ("Export\xe2\x80\xa6"));

    g.setColour (juce::Colour (0xcc9aa3ae));
    g.setFont (juce::Font (10.0f, juce::Font::italic));
    const int cx = cancelButton.getX();
    g.drawText (vyrShell::familyMotto(), 6, cancelButton.getY() + 7,
                cx < 57 ? 40 : cx - 16, 18, juce::Justification::centredLeft, true);
}

//==============================================================================
VyrExportInfoOverlay::VyrExportInfoOverlay()
{
    body.onClose = [this] { close(); };
    body.onExportClicked = [this]
    {
        close();
        if (onExport)
            onExport();
    };

    viewport.setViewedComponent (&body, false);
    viewport.setScrollBarsShown (true, false);
    viewport.setOpaque (false);
    addAndMakeVisible (viewport);
    infoButton.setPanel ("exporttags", juce::Colour (0xfff59e0b));
    addAndMakeVisible (infoButton);

    setAlwaysOnTop (true);
    setOpaque (false);
    setVisible (false);
    setWantsKeyboardFocus (true);
}

VyrExportInfoOverlay::~VyrExportInfoOverlay()
{
    if (gExportHost == this)
        gExportHost = nullptr;
}

void VyrExportInfoOverlay::openFor (VyrAudioProcessor& p, int formatIndex, juce::Colour accentColour,
                                    std::function<void()> exportHook)
{
    if (p.exportInfo.title.isEmpty() && p.loadedName.isNotEmpty())
        p.exportInfo.seedFromFileName (p.loadedName);

    processor = &p;
    body.processor = &p;
    accent = accentColour;
    body.accent = accentColour;
    infoButton.setPanel ("exporttags", accentColour);
    onExport = std::move (exportHook);
    body.format = juce::jlimit (0, 6, formatIndex);
    body.info = p.exportInfo;
    body.sourceRate = p.fileSampleRate > 0.0 ? p.fileSampleRate : 44100.0;
    body.lengthSeconds = p.transport.getLengthInSeconds();
    if (! (body.lengthSeconds > 0.0))
        body.lengthSeconds = 0.0;
    for (int k = 0; k < 8; ++k)
        body.fields[k].setText (*tagOf (body.info, k), juce::dontSendNotification);

    body.resized();
    body.repaint();
    setVisible (true);
    toFront (true);
    if (isShowing())
        grabKeyboardFocus();
    resized();
}

void VyrExportInfoOverlay::close()
{
    giveAwayFocusInside (body);
    if (processor != nullptr)
        body.harvestTo (processor->exportInfo);
    setVisible (false);
}

void VyrExportInfoOverlay::mouseUp (const juce::MouseEvent& e)
{
    if (! cardBounds.contains (e.getPosition()))
        close();
}

bool VyrExportInfoOverlay::keyPressed (const juce::KeyPress& key)
{
    const auto mods = key.getModifiers();
    if (key.getKeyCode() == juce::KeyPress::escapeKey && ! mods.isShiftDown() && ! mods.isCtrlDown() && ! mods.isAltDown()
        && ! mods.isCommandDown())
    {
        close();
        return true;
    }
    return false;
}

void VyrExportInfoOverlay::resized()
{
    const int W = getWidth(), H = getHeight();
    const int w = juce::jlimit (776, 976, W);
    const int cardW = w - 56;

    body.setSize (w - 100, 480);
    body.resized();
    int h = body.contentHeight();

    const int cardH = juce::jmax (0, juce::jmin (juce::jmax (h, 236) + 84, H - 40));
    cardBounds = { (W - cardW) / 2, (H - cardH) / 2, cardW, cardH };
    headerBounds = { cardBounds.getX(), cardBounds.getY(), cardW, 52 };
    infoButton.setBounds (cardBounds.getX() + w - 92, cardBounds.getY() + 17, 18, 18);
    viewport.setBounds (cardBounds.getX() + 22, cardBounds.getY() + 68, juce::jmax (cardW - 44, 0), juce::jmax (cardH - 84, 0));

    const int vh = viewport.getHeight();
    body.setSize (juce::jmax (viewport.getWidth() - viewport.getScrollBarThickness(), 1), juce::jmax (vh, h));
    body.resized();
    h = body.contentHeight();
    body.setSize (body.getWidth(), juce::jmax (vh, h));
}

void VyrExportInfoOverlay::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colour (kScrim).withAlpha ((juce::uint8) 0x80));

    const auto card = cardBounds.toFloat();
    {
        juce::ColourGradient grad (juce::Colour (kCardTop), 0.0f, card.getY(), juce::Colour (kCardBot), 0.0f, card.getBottom(), false);
        grad.addColour (0.55, juce::Colour (kCardMid));
        g.setGradientFill (grad);
    }
    g.fillRoundedRectangle (card, 12.0f);
    g.setColour (juce::Colours::white.withAlpha ((juce::uint8) 0x26));
    g.drawRoundedRectangle (card, 12.0f, 1.0f);

    const auto head = headerBounds.toFloat();
    g.setColour (juce::Colour (kHeaderFill));
    g.fillRoundedRectangle (head, 12.0f);
    g.fillRect (head.withTop (head.getBottom() - 12.0f));
    g.setColour (juce::Colours::white.withAlpha ((juce::uint8) 0x26));
    g.fillRect (head.getX(), head.getBottom() - 1.0f, head.getWidth(), 1.0f);

    g.setColour (accent.withAlpha ((juce::uint8) 0x2e));
    g.fillRoundedRectangle (head.getX() + 18.0f, head.getY() + 14.0f, 24.0f, 24.0f, 7.0f);
    const juce::Rectangle<float> icon (head.getX() + 22.0f, head.getY() + 18.0f, 16.0f, 16.0f);
    vyrLucide::strokeD (g, icon, accent, "M13 6v4");
    vyrLucide::strokeD (g, icon, accent, "M20.09 12.41A1.99 1.99 0 0 0 21 11V5a2 2 0 0 0-2-2H8a1 1 0 0 0-.72.3L2.3 8.29a1 1 0 0 0 0 1.41l6 6a1 1 0 0 0 1.41 0z");
    vyrLucide::strokeD (g, icon, accent, "m10 16 7.5 7.5c.8.8 2.1.8 2.9 0l2.1-2.1c.8-.8.8-2.1 0-2.9L15 11");
    g.setColour (accent);
    g.fillEllipse (icon.getX() + 8.67f - 0.8f, icon.getY() + 4.0f - 0.8f, 1.6f, 1.6f);

    g.setColour (juce::Colour (kFieldText));
    g.setFont (juce::Font (16.0f, juce::Font::bold));
    const int hw = headerBounds.getWidth();
    g.drawText ("Export info", headerBounds.getX() + 52, headerBounds.getY(), hw - 52 > 52 ? hw - 104 : 0, 52,
                juce::Justification::centredLeft, true);
}
