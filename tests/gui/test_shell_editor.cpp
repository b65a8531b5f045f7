// The plug-in editor: sizes by product and host, the zoom keys and letterbox of VYR Quarn, the
// cards and their keys, the shell-level keys of the Standalone app, two editors side by side and
// the Standalone app's fresh start. Keys and clicks go through the window's peer.
#include "FileTestUtil.h"
#include "GuiTestUtil.h"
#include "Ui/MainView/BasicMasteringView.h"
#include "Ui/Shell/DesktopTopGrid.h"
#include "Ui/Shell/PluginEditor.h"

#include <atomic>
#include <thread>

using namespace vyrGui;

namespace
{
struct EditorFixture
{
    std::unique_ptr<VyrAudioProcessor> proc;
    std::unique_ptr<VyrAudioProcessorEditor> editor;

    EditorFixture (int product, bool standalone)
    {
        proc = makeProcessor (product, standalone);
        editor.reset (dynamic_cast<VyrAudioProcessorEditor*> (proc->createEditorIfNeeded()));
    }
    ~EditorFixture()
    {
        if (editor != nullptr)
            proc->editorBeingDeleted (editor.get());
        editor.reset();
    }
};

juce::KeyPress ctrlKey (int code, juce::juce_wchar ch)
{
    return juce::KeyPress (code, juce::ModifierKeys::commandModifier, ch);
}

juce::Point<float> centreOf (juce::Component& c, juce::Component& top)
{
    return top.getLocalPoint (&c, c.getLocalBounds().getCentre()).toFloat();
}
}

TEST (PluginEditor, OpensAtTheSizeOfItsProductAndHost)
{
    struct Case
    {
        int product;
        bool standalone;
        int w, h;
        bool resizable;
    };
    const Case cases[] = { { 15, false, 1168, 720, true }, { 15, true, 1168, 768, true }, { 0, false, 1200, 800, false },
                           { 0, true, 1280, 900, true },   { 7, false, 855, 470, false }, { 7, true, 855, 470, false },
                           { 14, false, 855, 470, false } };
    for (const auto& c : cases)
    {
        SCOPED_TRACE ("product " + std::to_string (c.product) + (c.standalone ? " standalone" : " plug-in"));
        EditorFixture f (c.product, c.standalone);
        ASSERT_NE (f.editor, nullptr);
        EXPECT_EQ (f.editor->getWidth(), c.w);
        EXPECT_EQ (f.editor->getHeight(), c.h);
        EXPECT_EQ (f.editor->isResizable(), c.resizable);
        EXPECT_EQ (f.editor->shell.getBounds(), juce::Rectangle<int> (0, 0, c.w, c.h));
    }
}

TEST (PluginEditor, ZoomKeysStepTheWindowWithinItsLimits)
{
    EditorFixture f (15, false);
    auto& e = *f.editor;
    Desk desk (e);
    desk.click (600.0f, 20.0f); // a click anywhere takes keyboard focus
    ASSERT_TRUE (e.hasKeyboardFocus (true));

    // On the 1280 x 800 test screen the window grows one step and then stops where it fits.
    for (int i = 0; i < 4; ++i)
    {
        EXPECT_TRUE (desk.key (ctrlKey (i % 2 == 0 ? '=' : '+', i % 2 == 0 ? '=' : '+')));
        EXPECT_EQ (e.getWidth(), 1226);
        EXPECT_EQ (e.getHeight(), 756);
    }
    EXPECT_NEAR (e.getQuarnScale(), 1.0497f, 0.0005f);

    EXPECT_TRUE (desk.key (ctrlKey ('0', '0')));
    EXPECT_EQ (e.getWidth(), 1168);
    EXPECT_EQ (e.getHeight(), 720);
    EXPECT_FLOAT_EQ (e.getQuarnScale(), 1.0f);

    const std::pair<int, int> down[] = { { 1110, 684 }, { 1051, 648 }, { 993, 612 }, { 934, 576 }, { 876, 540 }, { 876, 540 } };
    for (const auto& [w, h] : down)
    {
        EXPECT_TRUE (desk.key (ctrlKey ('-', '-')));
        EXPECT_EQ (e.getWidth(), w);
        EXPECT_EQ (e.getHeight(), h);
    }
    // the main view's scale chip drives the same path
    ASSERT_NE (e.shell.mainView, nullptr);
    e.shell.mainView->setWindowScale (1.0f);
    EXPECT_EQ (e.getWidth(), 1168);
    EXPECT_FLOAT_EQ (e.shell.mainView->getWindowScale(), 1.0f);

    // Off the screen (inside a host's window) only the zoom range limits it.
    e.removeFromDesktop();
    const std::pair<int, int> up[] = { { 1226, 756 }, { 1284, 792 }, { 1342, 828 }, { 1400, 863 }, { 1458, 899 } };
    for (const auto& [w, h] : up)
    {
        e.shell.mainView->setWindowScale (e.shell.mainView->getWindowScale() + 0.05f);
        EXPECT_EQ (e.getWidth(), w);
        EXPECT_EQ (e.getHeight(), h);
    }
    e.shell.mainView->setWindowScale (3.0f);
    EXPECT_EQ (e.getWidth(), 1752);
    EXPECT_EQ (e.getHeight(), 1080);
}

TEST (PluginEditor, QuarnContentIsScaledAndLetterboxedOnTheLongerAxis)
{
    EditorFixture f (15, false);
    auto& e = *f.editor;
    e.setSize (1400, 720); // a host that ignores the aspect ratio
    EXPECT_FLOAT_EQ (e.getQuarnScale(), 1.0f);
    EXPECT_EQ (e.shell.getBounds(), juce::Rectangle<int> (0, 0, 1168, 720));
    EXPECT_EQ (e.shell.getBoundsInParent(), juce::Rectangle<int> (116, 0, 1168, 720));
    const auto img = render (e);
    EXPECT_TRUE (colourNear (pixel (img, 50, 360), juce::Colour (0xff101216), 0));
    EXPECT_TRUE (colourNear (pixel (img, 1350, 100), juce::Colour (0xff101216), 0));

    e.setSize (876, 700); // narrower than the content at 1.0: scale by the width, bars above and below
    EXPECT_FLOAT_EQ (e.getQuarnScale(), 0.75f);
    EXPECT_EQ (e.shell.getBoundsInParent(), juce::Rectangle<int> (0, 80, 876, 540));
    EXPECT_TRUE (colourNear (pixel (render (e), 400, 40), juce::Colour (0xff101216), 0));
}

TEST (PluginEditor, ThemeButtonClickWritesTheParameterAndSurvivesRecall)
{
    EditorFixture f (0, true);
    auto& e = *f.editor;
    GestureCounter gestures (*f.proc);
    Desk desk (e);
    auto& shell = e.shell;
    ASSERT_TRUE (shell.themeButtons[3].isShowing());
    desk.click (centreOf (shell.themeButtons[3], e));
    EXPECT_EQ (f.proc->themeIndex.load(), 3);
    EXPECT_EQ (juce::roundToInt (vyrTest::param (*f.proc, "theme")), 3);
    EXPECT_EQ (gestures.begins ("theme"), 1);
    EXPECT_EQ (gestures.ends ("theme"), 1);

    juce::MemoryBlock state;
    f.proc->getStateInformation (state);
    auto other = makeProcessor (0, false);
    other->setStateInformation (state.getData(), (int) state.getSize());
    EXPECT_EQ (juce::roundToInt (vyrTest::param (*other, "theme")), 3);
}

TEST (PluginEditor, ShellKeysWorkOnlyInTheStandaloneApp)
{
    vyrTestFiles::ScratchDir dir;
    const auto wav = dir["tone.wav"];
    vyrTestFiles::writeSine (wav, 48000.0, 2, 48000);

    {
        EditorFixture f (0, false);
        auto& shell = f.editor->shell;
        for (const auto& k : { juce::KeyPress (juce::KeyPress::spaceKey), juce::KeyPress (juce::KeyPress::F11Key),
                               juce::KeyPress ('f', juce::ModifierKeys::commandModifier | juce::ModifierKeys::ctrlModifier, 'f'),
                               juce::KeyPress (juce::KeyPress::escapeKey) })
            EXPECT_FALSE (shell.keyPressed (k)) << k.getTextDescription();
    }

    EditorFixture f (0, true);
    auto& e = *f.editor;
    auto& shell = e.shell;
    int settingsOpened = 0;
    shell.onOpenSettings = [&] { ++settingsOpened; };
    Desk desk (e);
    e.grabKeyboardFocus();
    f.proc->loadAudioFile (wav);
    ASSERT_TRUE (f.proc->fileLoaded) << f.proc->loadError;

    EXPECT_TRUE (desk.key (juce::KeyPress (juce::KeyPress::spaceKey)));
    EXPECT_TRUE (f.proc->transport.isPlaying());
    EXPECT_TRUE (desk.key (juce::KeyPress (juce::KeyPress::spaceKey))); // key repeat: no second toggle
    EXPECT_TRUE (f.proc->transport.isPlaying());
    shell.spaceHeld = false; // the space bar was released
    EXPECT_TRUE (desk.key (juce::KeyPress (juce::KeyPress::spaceKey)));
    EXPECT_FALSE (f.proc->transport.isPlaying());

    // F11 and Ctrl+F are the shell's even when the window cannot go full screen; Escape in a window is not
    EXPECT_TRUE (desk.key (juce::KeyPress (juce::KeyPress::F11Key)));
    EXPECT_TRUE (desk.key (juce::KeyPress ('f', juce::ModifierKeys::commandModifier | juce::ModifierKeys::ctrlModifier, 'f')));
    EXPECT_FALSE (shell.keyPressed (juce::KeyPress (juce::KeyPress::escapeKey)));

    EXPECT_TRUE (desk.key (juce::KeyPress (',', juce::ModifierKeys::commandModifier, ',')));
    desk.click (centreOf (shell.settingsButton, e));
    EXPECT_EQ (settingsOpened, 2);
}

TEST (PluginEditor, SpaceNeverReachesTheShellFromATextField)
{
    EditorFixture f (0, true);
    auto& e = *f.editor;
    Desk desk (e);
    auto& card = e.exportOverlay;
    e.shell.masteringStudio.openExportInfo (true);
    ASSERT_TRUE (card.isVisible());
    card.body.fields[0].grabKeyboardFocus();
    desk.key (juce::KeyPress (juce::KeyPress::spaceKey, 0, ' '));
    EXPECT_FALSE (e.shell.spaceHeld);
    EXPECT_FALSE (e.shell.keyPressed (juce::KeyPress (juce::KeyPress::spaceKey)));
}

TEST (PluginEditor, EscapeInAnExportFieldClosesTheCardAndKeepsTheText)
{
    EditorFixture f (0, true);
    auto& e = *f.editor;
    Desk desk (e);
    auto& card = e.exportOverlay;
    e.shell.masteringStudio.openExportInfo (true);
    ASSERT_TRUE (card.isVisible());
    ASSERT_TRUE (card.hasKeyboardFocus (true));

    auto& title = card.body.fields[0];
    desk.click (centreOf (title, e));
    ASSERT_TRUE (title.hasKeyboardFocus (false));
    for (auto ch : juce::String ("Night Drive"))
        desk.key (juce::KeyPress (ch, 0, ch));
    // Ctrl+Escape does not close it
    EXPECT_FALSE (desk.key (juce::KeyPress (juce::KeyPress::escapeKey, juce::ModifierKeys::commandModifier, 0)));
    EXPECT_TRUE (card.isVisible());
    EXPECT_TRUE (desk.key (juce::KeyPress (juce::KeyPress::escapeKey)));
    EXPECT_FALSE (card.isVisible());
    EXPECT_EQ (f.proc->exportInfo.title, "Night Drive");
    EXPECT_TRUE (f.proc->exportInfo.titleEdited);
}

TEST (PluginEditor, HelpCardOpensFromTheShellAndClosesOnEscape)
{
    EditorFixture f (0, true);
    auto& e = *f.editor;
    Desk desk (e);
    desk.click (centreOf (e.shell.identityInfo, e));
    auto& help = e.getInfoOverlay();
    ASSERT_TRUE (help.isVisible());
    EXPECT_TRUE (help.getTitle().isNotEmpty());
    EXPECT_TRUE (e.keyPressed (juce::KeyPress (juce::KeyPress::spaceKey)));
    EXPECT_TRUE (help.isVisible());
    EXPECT_FALSE (e.keyPressed (juce::KeyPress (juce::KeyPress::escapeKey, juce::ModifierKeys::commandModifier, 0)));
    EXPECT_TRUE (help.isVisible());
    EXPECT_TRUE (e.keyPressed (juce::KeyPress (juce::KeyPress::escapeKey)));
    EXPECT_FALSE (help.isVisible());
}

TEST (PluginEditor, TwoEditorsEachOpenTheirOwnCards)
{
    auto a = std::make_unique<EditorFixture> (0, true);
    auto b = std::make_unique<EditorFixture> (0, true);
    EXPECT_EQ (gHost, &b->editor->getInfoOverlay());
    EXPECT_EQ (gExportHost, &b->editor->exportOverlay);

    {
        Desk deskA (*a->editor, { 10, 10 });
        deskA.click (centreOf (a->editor->shell.identityInfo, *a->editor));
        EXPECT_TRUE (a->editor->getInfoOverlay().isVisible());
        EXPECT_FALSE (b->editor->getInfoOverlay().isVisible());
    }

    a->editor->shell.masteringStudio.openExportInfo (true);
    EXPECT_TRUE (a->editor->exportOverlay.isVisible());
    EXPECT_FALSE (b->editor->exportOverlay.isVisible());
    EXPECT_EQ (a->editor->exportOverlay.processor, a->proc.get());

    auto* lastHelp = gHost;
    a.reset(); // closing the other editor leaves the pointers alone
    EXPECT_EQ (gHost, lastHelp);
    b->editor->shell.masteringStudio.openExportInfo (true);
    EXPECT_TRUE (b->editor->exportOverlay.isVisible());
    b.reset();
    EXPECT_EQ (gHost, nullptr);
    EXPECT_EQ (gExportHost, nullptr);
}

TEST (PluginEditor, StandaloneFreshStartRunsOncePerProcessor)
{
    auto proc = makeProcessor (15, true);
    std::unique_ptr<juce::AudioProcessorEditor> e (proc->createEditorIfNeeded());
    EXPECT_EQ (proc->stateVersion.load(), 1); // first start: the initial state
    proc->editorBeingDeleted (e.get());
    e.reset();

    vyrTest::setParam (*proc, "theme", 4.0f);
    e.reset (proc->createEditorIfNeeded()); // the editor rebuilt: the session stays
    EXPECT_FLOAT_EQ (vyrTest::param (*proc, "theme"), 4.0f);
    proc->editorBeingDeleted (e.get());
    e.reset();

}

TEST (PluginEditor, EditorsOfEveryProductSurviveResizesAndPaint)
{
    for (int product : { 0, 7, 14, 15 })
        for (bool standalone : { false, true })
        {
            SCOPED_TRACE (product);
            EditorFixture f (product, standalone);
            for (auto kind : { MeterData::silent, MeterData::nonFinite })
            {
                setMeterData (*f.proc, kind);
                render (*f.editor, 0.5f);
            }
            f.editor->setSize (1, 1);
            render (*f.editor);
            f.editor->setSize (3000, 2000);
            render (*f.editor, 0.25f);
        }
}

// However the host orders the close, the editor goes without leaving a window, a listener or a
// posted call behind: closed while hidden, in the middle of a resize, while the audio thread moves
// parameters, and with the help or the export card open. Messages posted before the close are
// delivered after it, where a call holding the editor would run on a deleted one (the sanitizer
// build reports that).
TEST (PluginEditor, ClosesSafelyHoweverTheHostOrdersIt)
{
    enum class Close { hidden, resizing, parameterStorm, helpOpen, exportOpen };
    for (int product : { 15, 0 })
        for (auto how : { Close::hidden, Close::resizing, Close::parameterStorm, Close::helpOpen, Close::exportOpen })
        {
            SCOPED_TRACE (testing::Message() << "product " << product << ", case " << (int) how);
            auto proc = makeProcessor (product);
            proc->setPlayConfigDetails (2, 2, 48000.0, 256);
            proc->prepareToPlay (48000.0, 256);
            std::unique_ptr<juce::AudioProcessorEditor> editor (proc->createEditorIfNeeded());
            auto* e = dynamic_cast<VyrAudioProcessorEditor*> (editor.get());
            ASSERT_NE (e, nullptr);
            e->setTopLeftPosition (30, 30);
            e->addToDesktop (0);
            e->setVisible (true);
            pump (20);

            std::atomic<bool> storming { how == Close::parameterStorm };
            std::thread audio ([&]
            {
                juce::AudioBuffer<float> buffer (2, 256);
                juce::MidiBuffer midi;
                juce::Random rng (5);
                const auto& params = proc->getParameters();
                while (storming.load())
                {
                    for (int i = 0; i < 16; ++i)
                        params[rng.nextInt (params.size())]->setValueNotifyingHost (rng.nextFloat());
                    buffer.clear();
                    proc->processBlock (buffer, midi);
                }
            });

            switch (how)
            {
                case Close::hidden: e->setVisible (false); pump (10); break;
                case Close::resizing: e->setSize (e->getWidth() + 200, e->getHeight() + 120); break;
                case Close::parameterStorm: pump (60); break;
                case Close::helpOpen:
                    e->getInfoOverlay().open (e->shell.identityInfo.panelKey, juce::Colours::orange);
                    EXPECT_TRUE (e->getInfoOverlay().isVisible());
                    break;
                case Close::exportOpen:
                    e->shell.masteringStudio.openExportInfo (true);
                    EXPECT_TRUE (e->exportOverlay.isVisible());
                    break;
            }
            proc->editorBeingDeleted (editor.get());
            editor.reset();
            EXPECT_TRUE (flushMessages());
            pump (30);
            storming = false;
            audio.join();
            EXPECT_TRUE (flushMessages());
            EXPECT_EQ (proc->getActiveEditor(), nullptr);
            EXPECT_EQ (gHost, nullptr);
            EXPECT_EQ (gExportHost, nullptr);
            proc->releaseResources();
        }
}

TEST (PluginEditor, RendersOfTheEditorAndTheDesktop)
{
    if (juce::SystemStats::getEnvironmentVariable ("VYR_RENDER_DIR", {}).isEmpty())
        GTEST_SKIP() << "set VYR_RENDER_DIR to write the pictures";
    for (int theme = 0; theme < 6; ++theme)
    {
        {
            EditorFixture f (15, false);
            f.proc->themeIndex = theme;
            savePng (render (*f.editor), "editor-quarn-identity-" + juce::String (theme));
        }
        {
            EditorFixture f (0, true);
            f.editor->shell.selectTheme (theme);
            savePng (render (*f.editor), "desktop-identity-" + juce::String (theme));
        }
    }
    for (int product : { 7, 14 })
    {
        EditorFixture f (product, true);
        savePng (render (*f.editor), "shell-product-" + juce::String (product));
    }
    {
        EditorFixture f (0, true);
        f.editor->shell.chooseLayout (0);
        savePng (render (*f.editor), "shell-product-0-plugin-layout");
        f.editor->shell.masteringStudio.formatIndex = 0;
        f.editor->shell.masteringStudio.openExportInfo (true);
        savePng (render (*f.editor), "export-card");
    }
}
