#include "Ui/Shell/PluginEditor.h"

#include "Core/PluginProcessor.h"
#include "Ui/MainView/BasicMasteringView.h"

VyrInfoOverlay* gHost = nullptr;

namespace
{
constexpr int kDesignWidth = 1168;
constexpr float kMinScale = 0.75f, kMaxScale = 1.5f;

bool noModifiers (const juce::KeyPress& k)
{
    const auto m = k.getModifiers();
    return ! m.isShiftDown() && ! m.isCtrlDown() && ! m.isAltDown() && ! m.isCommandDown();
}
}

VyrAudioProcessorEditor::VyrAudioProcessorEditor (VyrAudioProcessor& p)
    : juce::AudioProcessorEditor (p), processor (p), shell (p)
{
    designH = isStandalone() ? 768 : 720;

    auto& help = getInfoOverlay();
    help.setAlwaysOnTop (true);
    help.setOpaque (false);
    help.setWantsKeyboardFocus (true);
    help.setVisible (false);

    setLookAndFeel (&lookAndFeel.get());

    shell.setVisible (true);
    addAndMakeVisible (shell);
    addInfoOverlayTo (*this);
    addChildComponent (exportOverlay);

    gHost = &help;
    gExportHost = &exportOverlay;

    const int product = p.product;
    shell.onSizeRequest = [this, product] (int w, int h, bool resizable)
    {
        if (product == vyrProducts::quarn)
        {
            setupQuarnZoom();
            setQuarnScale (quarnScale);
            return;
        }
        setResizable (resizable, resizable);
        if (resizable)
            setResizeLimits (1200, 800, 8192, 8192);
        setSize (w, h);
    };

    setWantsKeyboardFocus (isStandalone());
    setMouseClickGrabsKeyboardFocus (false);

    // The Standalone app starts from the initial state once per processor; a session the app has
    // just restored (or one this processor already set up for an earlier editor) is kept.
    if (isStandalone() && (product == vyrProducts::quarn || product == vyrProducts::fullChain) && p.stateVersion.load() == 0)
        p.recallInitState();

    if (product == vyrProducts::quarn)
    {
        setupQuarnZoom();
        setSize (kDesignWidth, designH);
        shell.onFullScreenChange = [this] (bool entering) { fullScreenChanging (entering); };
        if (auto* view = shell.mainView.get())
        {
            view->getWindowScale = [this] { return quarnScale; };
            view->setWindowScale = [this] (float s) { setQuarnScale (s); };
            view->syncScaleChip();
        }
        layoutScaledQuarn();
    }
    else if (product == vyrProducts::fullChain && isStandalone())
    {
        setResizable (true, true);
        setResizeLimits (1200, 800, 8192, 8192);
        setSize (1280, 900);
    }
    else if (product == vyrProducts::fullChain)
    {
        setResizable (false, false);
        setSize (1200, 800);
    }
    else
    {
        setResizable (false, false);
        setSize (855, 470);
    }

    grabFocusIfShowing();
}

VyrAudioProcessorEditor::~VyrAudioProcessorEditor()
{
    removeMouseListener (&zoomHook);
    if (gExportHost == &exportOverlay)
        gExportHost = nullptr;
    if (gHost == &getInfoOverlay())
        gHost = nullptr;
    setLookAndFeel (nullptr);
}

bool VyrAudioProcessorEditor::isQuarn() const noexcept { return processor.product == vyrProducts::quarn; }
bool VyrAudioProcessorEditor::isStandalone() const noexcept { return processor.wrapperType == juce::AudioProcessor::wrapperType_Standalone; }

void VyrAudioProcessorEditor::grabFocusIfShowing()
{
    if (isStandalone() && isShowing() && ! getInfoOverlay().isVisible() && ! exportOverlay.isVisible())
        grabKeyboardFocus();
}

void VyrAudioProcessorEditor::setupQuarnZoom()
{
    setResizable (true, true);
    setResizeLimits (juce::roundToInt (kDesignWidth * kMinScale), juce::roundToInt ((float) designH * kMinScale),
                     juce::roundToInt (kDesignWidth * kMaxScale), juce::roundToInt ((float) designH * kMaxScale));
    if (auto* c = getConstrainer())
        c->setFixedAspectRatio ((double) kDesignWidth / (double) designH);
    removeMouseListener (&zoomHook);
    addMouseListener (&zoomHook, true);
    setWantsKeyboardFocus (true);
    setMouseClickGrabsKeyboardFocus (true);
    zoomReady = true;
}

void VyrAudioProcessorEditor::fullScreenChanging (bool entering)
{
    inFullScreen = entering;
    if (entering)
    {
        // The window takes the screen's size: the content is scaled into it and letterboxed.
        setResizeLimits (1, 1, 1 << 14, 1 << 14);
        if (auto* c = getConstrainer())
            c->setFixedAspectRatio (0.0);
    }
    else
    {
        setupQuarnZoom();
    }
}

float VyrAudioProcessorEditor::largestScaleThatFits (float wanted) const
{
    auto* top = getTopLevelComponent();
    if (wanted <= quarnScale || top == nullptr || ! top->isOnDesktop())
        return wanted;
    const auto* display = juce::Desktop::getInstance().getDisplays().getDisplayForRect (top->getScreenBounds());
    if (display == nullptr)
        return wanted;
    // Whatever the window adds around the editor (title bar, frame) grows with it unchanged.
    const auto room = display->userArea;
    const int extraW = top->getWidth() - getWidth(), extraH = top->getHeight() - getHeight();
    auto fits = [&] (float s)
    { return juce::roundToInt (kDesignWidth * s) + extraW <= room.getWidth() && juce::roundToInt ((float) designH * s) + extraH <= room.getHeight(); };
    float s = wanted;
    while (s > quarnScale + 0.001f && ! fits (s))
        s -= 0.05f;
    return juce::jmax (s, quarnScale);
}

void VyrAudioProcessorEditor::setQuarnScale (float scale)
{
    if (inFullScreen)
    {
        // The window keeps the screen; only the content's scale changes, up to what fits.
        const float fit = juce::jmin ((float) getWidth() / (float) kDesignWidth, (float) getHeight() / (float) designH);
        quarnScale = juce::jlimit (kMinScale, juce::jmax (kMinScale, juce::jmin (kMaxScale, fit)), scale);
        layoutScaledQuarn();
        return;
    }
    // Zooming in never grows the window past the screen's usable area: it stops at the largest
    // step that fits.
    const float s = juce::jlimit (kMinScale, kMaxScale, largestScaleThatFits (juce::jlimit (kMinScale, kMaxScale, scale)));
    const int w = juce::roundToInt (kDesignWidth * s), h = juce::roundToInt ((float) designH * s);
    if (getWidth() != w || getHeight() != h)
    {
        applyingScale = true;
        setSize (w, h);
        applyingScale = false;
        keepWindowOnScreen();
    }
    quarnScale = juce::jlimit (kMinScale, kMaxScale,
                               juce::jmin ((float) getWidth() / (float) kDesignWidth, (float) getHeight() / (float) designH));
    layoutScaledQuarn();
}

void VyrAudioProcessorEditor::keepWindowOnScreen()
{
    // Only the Standalone app's own window is moved; a host places its windows itself.
    auto* top = getTopLevelComponent();
    if (! isStandalone() || top == this || top == nullptr || ! top->isOnDesktop())
        return;
    if (const auto* display = juce::Desktop::getInstance().getDisplays().getDisplayForRect (top->getScreenBounds()))
        if (! display->userArea.contains (top->getBounds()))
            top->setBounds (top->getBounds().constrainedWithin (display->userArea));
}

void VyrAudioProcessorEditor::layoutScaledQuarn()
{
    const float s = quarnScale;
    const float tx = ((float) getWidth() - kDesignWidth * s) / 2.0f;
    const float ty = ((float) getHeight() - (float) designH * s) / 2.0f;
    const auto transform = juce::AffineTransform::scale (s).translated (tx, ty);
    for (juce::Component* c : { (juce::Component*) &shell, (juce::Component*) &getInfoOverlay(), (juce::Component*) &exportOverlay })
    {
        c->setTransform ({});
        c->setBounds (0, 0, kDesignWidth, designH);
        c->setTransform (transform);
    }
    if (getInfoOverlay().isVisible())
        getInfoOverlay().toFront (false);
    if (exportOverlay.isVisible())
        exportOverlay.toFront (false);
    if (auto* view = shell.mainView.get())
        view->syncScaleChip();
}

void VyrAudioProcessorEditor::resized()
{
    if (isQuarn())
    {
        if (! applyingScale)
            quarnScale = juce::jlimit (kMinScale, kMaxScale,
                                       juce::jmin ((float) getWidth() / (float) kDesignWidth, (float) getHeight() / (float) designH));
        layoutScaledQuarn();
        return;
    }
    const auto area = getLocalBounds();
    shell.setBounds (area);
    getInfoOverlay().setBounds (area);
    exportOverlay.setBounds (area);
    if (getInfoOverlay().isVisible())
        getInfoOverlay().toFront (false);
    if (exportOverlay.isVisible())
        exportOverlay.toFront (false);
}

void VyrAudioProcessorEditor::paint (juce::Graphics& g)
{
    if (isQuarn())
        g.fillAll (juce::Colour (0xff101216));
}

bool VyrAudioProcessorEditor::keyPressed (const juce::KeyPress& key)
{
    const auto mods = key.getModifiers();
    if (isQuarn() && (mods.isCommandDown() || mods.isCtrlDown()))
    {
        const auto ch = key.getTextCharacter();
        const int code = key.getKeyCode();
        if (ch == '+' || ch == '=' || code == '+' || code == '=' || code == juce::KeyPress::numberPadAdd)
        {
            setQuarnScale (quarnScale + 0.05f);
            return true;
        }
        if (ch == '-' || code == '-' || code == juce::KeyPress::numberPadSubtract)
        {
            setQuarnScale (quarnScale - 0.05f);
            return true;
        }
        if (ch == '0' || code == '0' || code == juce::KeyPress::numberPad0)
        {
            setQuarnScale (1.0f);
            return true;
        }
    }

    if (exportOverlay.isVisible())
    {
        if (key.getKeyCode() == juce::KeyPress::escapeKey && noModifiers (key))
        {
            exportOverlay.close();
            return true;
        }
        if (key.getKeyCode() == juce::KeyPress::spaceKey)
            return true;
    }

    auto& help = getInfoOverlay();
    if (help.isVisible())
    {
        if (key.getKeyCode() == juce::KeyPress::spaceKey)
            return true;
        if (key.getKeyCode() == juce::KeyPress::escapeKey && noModifiers (key))
        {
            help.setVisible (false);
            return true;
        }
    }

    return shell.keyPressed (key);
}

bool VyrAudioProcessorEditor::keyStateChanged (bool)
{
    if (! juce::KeyPress::isKeyCurrentlyDown (juce::KeyPress::spaceKey))
        shell.spaceHeld = false;
    return false;
}

void VyrAudioProcessorEditor::visibilityChanged() { grabFocusIfShowing(); }

void VyrAudioProcessorEditor::parentHierarchyChanged()
{
    if (isQuarn() && isShowing() && ! zoomReady)
        setupQuarnZoom();
}

void VyrAudioProcessorEditor::QuarnZoomHook::mouseDown (const juce::MouseEvent&)
{
    if (editor.isShowing())
        editor.grabKeyboardFocus();
}
