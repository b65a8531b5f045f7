#include <gtest/gtest.h>
#include <juce_events/juce_events.h>

#include <X11/Xlib.h>
#include <cstdlib>

namespace
{
// Under a bare X server (xvfb-run without a window manager) the window-manager atoms JUCE asks
// for do not exist yet, and JUCE then sends property changes with atom 0, which the server
// rejects. Interning them first (atoms live as long as the server) lets components go on the
// desktop for real mouse and key events without starting a window manager. The connection stays
// open until the tests end: a bare server resets, forgetting the atoms, when its last client leaves.
Display* internWindowManagerAtoms()
{
    if (std::getenv ("DISPLAY") == nullptr)
        return nullptr;
    auto* display = XOpenDisplay (nullptr);
    if (display == nullptr)
        return nullptr;
    const char* names[] = { "WM_PROTOCOLS", "WM_TAKE_FOCUS", "WM_DELETE_WINDOW", "_NET_WM_PING", "WM_CHANGE_STATE",
                            "WM_STATE", "_NET_WM_WINDOW_TYPE", "_NET_WM_STATE", "_NET_WM_STATE_HIDDEN",
                            "_NET_WM_STATE_FULLSCREEN", "_NET_FRAME_EXTENTS", "_NET_WORKAREA", "_MOTIF_WM_HINTS",
                            "_NET_WM_ALLOWED_ACTIONS", "_NET_WM_WINDOW_TYPE_NORMAL", "_NET_WM_WINDOW_TYPE_COMBO",
                            "_NET_WM_ACTION_RESIZE", "_NET_WM_ACTION_FULLSCREEN", "_NET_WM_ACTION_MINIMIZE",
                            "_NET_WM_ACTION_CLOSE", "_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_ABOVE" };
    for (const auto* n : names)
        XInternAtom (display, n, False);
    XSync (display, False);
    return display;
}
}

int main (int argc, char** argv)
{
    ::testing::InitGoogleTest (&argc, argv);
    auto* atomKeeper = internWindowManagerAtoms();
    int result = 0;
    {
        juce::ScopedJuceInitialiser_GUI juceInit;
        result = RUN_ALL_TESTS();
    }
    if (atomKeeper != nullptr)
        XCloseDisplay (atomKeeper);
    return result;
}
