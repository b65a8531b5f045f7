#include "Ui/Studio/LibraryDialog.h"

#include "Ui/Foundation/VyrTheme.h"
#include "Ui/Studio/LibraryReport.h"

namespace
{
    const juce::Colour kDialogBackground (0xff0b1220);
    const juce::Colour kAccent (0xff38bdf8);

    struct Inks
    {
        juce::Colour background, bodyInk, bodyDim, listInk, listDim;
    };

    Inks inksFor (bool light)
    {
        if (light)
            return { juce::Colour (0xffeef4f8), juce::Colour (0xff1a1a1a), juce::Colour (0xff3a4d46),
                     juce::Colour (0xff1a1c20), juce::Colour (0xff5c6570) };
        return { juce::Colour (0xff0b1220), juce::Colour (0xffe2e8f0), juce::Colour (0xff94a3b8),
                 juce::Colour (0xffe2e8f0), juce::Colour (0xff94a3b8) };
    }

    juce::Font headingFont()
    {
        juce::Font f (8.0f, juce::Font::bold);
        f.setExtraKerningFactor (0.1f);
        return f;
    }

    constexpr int kScrollBar = 8;
}

//==============================================================================
void VyrLibraryList::paint (juce::Graphics& g)
{
    const auto inks = inksFor (light);
    const float w = (float) getWidth();
    const auto left = juce::Justification::centredLeft;

    g.setFont (headingFont());
    g.setColour (kAccent);
    g.drawText (juce::String::fromUTF8 ("NAMED  \xc2\xb7  ") + juce::String ((int) model.named.size()) + " of "
                    + juce::String (vyrMasterLib::kNumNamed),
                juce::Rectangle<float> (0.0f, 2.0f, w, 16.0f), left, true);
    float y = 20.0f;
    for (size_t i = 0; i < model.named.size(); ++i, y += 36.0f)
        paintRankRow (g, { 0.0f, y, w, 36.0f }, (int) i, model.named[i], inks.listInk, inks.listDim, kAccent, true);

    g.setFont (headingFont());
    g.setColour (kAccent);
    g.drawText (juce::String::fromUTF8 ("GRID  \xc2\xb7  ") + juce::String ((int) model.grid.size()) + " nearest",
                juce::Rectangle<float> (0.0f, y, w, 16.0f), left, true);
    y += 18.0f;
    for (size_t i = 0; i < model.grid.size(); ++i, y += 26.0f)
        paintRankRow (g, { 0.0f, y, w, 26.0f }, (int) i, model.grid[i], inks.listInk, inks.listDim, kAccent, false);
}

//==============================================================================
VyrLibraryBody::VyrLibraryBody (VyrAudioProcessor& p) : processor (p)
{
    printButton.setTooltip ("Print this library report");
    printButton.setColour (juce::TextButton::buttonColourId, juce::Colour (0x0fffffff));
    printButton.setColour (juce::TextButton::buttonOnColourId, juce::Colour (0x590ea5e9));
    printButton.setColour (juce::TextButton::textColourOffId, juce::Colour (0xff7dd3fc));
    printButton.setColour (juce::TextButton::textColourOnId, juce::Colours::white);
    printButton.onClick = [this] { printReport(); };
    addAndMakeVisible (printButton);

    viewport.setScrollBarsShown (true, false);
    viewport.setScrollBarThickness (kScrollBar);
    viewport.setViewedComponent (&list, false);
    addAndMakeVisible (viewport);
}

VyrLibraryBody::~VyrLibraryBody()
{
    viewport.setViewedComponent (nullptr, false);
}

void VyrLibraryBody::rebuild()
{
    updateReaders();
    fillLibraryModel (processor, model);
    list.model = model;
    list.light = vyrTheme (processor.themeIndex).light;
    list.repaint();
    sizeList();
    repaint();
}

bool VyrLibraryBody::refreshIfShowing()
{
    updateReaders();
    if (! isShowing())
        return false;
    rebuild();
    return true;
}

void VyrLibraryBody::sizeList()
{
    const auto offset = viewport.getViewPosition();
    list.setSize (std::max (viewport.getWidth() - kScrollBar, 8),
                  std::max (viewport.getHeight(), vyrLibrary::listHeight (list.model)));
    viewport.setViewPosition (offset);
}

void VyrLibraryBody::printReport()
{
    fillLibraryModel (processor, model);
    const auto image = makeLibraryPrintImage (model).convertedToFormat (juce::Image::ARGB);
    const juce::Image::BitmapData pixels (image, juce::Image::BitmapData::readOnly);
    vyrPrintRGBA (pixels.data, image.getWidth(), image.getHeight(), pixels.lineStride, "VYR Library", saveChooser,
                  failureReport);
}

void VyrLibraryBody::paint (juce::Graphics& g)
{
    const auto inks = inksFor (vyrTheme (processor.themeIndex).light);
    const int w = getWidth();
    const auto left = juce::Justification::centredLeft;
    g.fillAll (inks.background);

    g.setColour (inks.bodyInk);
    g.setFont (juce::Font (11.0f, juce::Font::bold));
    g.drawText (libraryLane (model.snapshot), juce::Rectangle<int> (12, 8, w - 80, 16), left, true);
    g.setColour (inks.bodyDim);
    g.setFont (juce::Font (10.0f, juce::Font::bold));
    g.drawText (librarySnapLine (model.snapshot, model.advice.fit), juce::Rectangle<int> (12, 26, w - 24, 14), left, true);
    g.setColour (inks.bodyDim.withAlpha ((juce::uint8) 0xd9));
    g.setFont (juce::Font (8.0f, juce::Font::plain));
    g.drawText (juce::String (vyrMasterLib::kNumNamed) + " named references, ranked locally against this snapshot.",
                juce::Rectangle<int> (12, 42, w - 24, 12), left, true);
}

void VyrLibraryBody::resized()
{
    printButton.setBounds (getWidth() - 62, 8, 52, 18);
    viewport.setBounds (10, 62, std::max (getWidth() - 20, 0), getHeight() > 68 ? getHeight() - 68 : 0);
    sizeList();
}

void VyrLibraryBody::visibilityChanged() { updateReaders(); }
void VyrLibraryBody::parentHierarchyChanged() { updateReaders(); }

void VyrLibraryBody::updateReaders()
{
    readers.hold (processor, isShowing());
}

//==============================================================================
VyrLibraryDialog::VyrLibraryDialog (VyrAudioProcessor& processor)
    : juce::DialogWindow ("VYR Library", kDialogBackground, true, true)
{
    setUsingNativeTitleBar (true);
    auto body = std::make_unique<VyrLibraryBody> (processor);
    bodyComponent = body.get();
    body->setSize (540, 620);
    setContentOwned (body.release(), true);
    setResizable (true, true);
    setResizeLimits (440, 380, 720, 880);
}

void VyrLibraryDialog::closeButtonPressed()
{
    setVisible (false);
}

void VyrLibraryDialog::open (std::unique_ptr<VyrLibraryDialog>& holder, juce::Component& from, VyrAudioProcessor& processor)
{
    if (holder == nullptr)
    {
        juce::Component* editor = from.findParentComponentOfClass<juce::AudioProcessorEditor>();
        if (editor == nullptr)
            editor = from.getTopLevelComponent();
        holder = std::make_unique<VyrLibraryDialog> (processor);
        holder->body().rebuild();
        holder->setSize (540, 620);
        if (editor != nullptr && editor->isShowing())
            holder->centreAroundComponent (editor, 540, 620);
        else
            holder->centreWithSize (540, 620);
    }
    holder->setVisible (true);
    holder->toFront (true);
    holder->body().rebuild();
}
