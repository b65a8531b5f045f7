// X11 is included here only: its macros (None, Bool, Status) clash with other headers.
#include "BareXServer.h"

#include <X11/Xlib.h>
#include <cstdlib>

namespace vyrTest
{
namespace
{
    // Xlib's own handler ends the process on any error. A window of another program on the shared
    // test screen can vanish between two of the framework's requests about it (a tree query while
    // looking for the window under the pointer), which is an error the program cannot prevent.
    // Hosts and JUCE's own standalone apps ignore such errors; so do the test programs.
    int ignoreXError (Display*, XErrorEvent*) { return 0; }
}

BareXServerAtoms::BareXServerAtoms()
{
    XSetErrorHandler (ignoreXError);
    if (std::getenv ("DISPLAY") == nullptr)
        return;
    auto* d = XOpenDisplay (nullptr);
    if (d == nullptr)
        return;
    const char* names[] = { "WM_PROTOCOLS", "WM_TAKE_FOCUS", "WM_DELETE_WINDOW", "_NET_WM_PING", "WM_CHANGE_STATE",
                            "WM_STATE", "_NET_WM_WINDOW_TYPE", "_NET_WM_STATE", "_NET_WM_STATE_HIDDEN",
                            "_NET_WM_STATE_FULLSCREEN", "_NET_FRAME_EXTENTS", "_NET_WORKAREA", "_MOTIF_WM_HINTS",
                            "_NET_WM_ALLOWED_ACTIONS", "_NET_WM_WINDOW_TYPE_NORMAL", "_NET_WM_WINDOW_TYPE_COMBO",
                            "_NET_WM_ACTION_RESIZE", "_NET_WM_ACTION_FULLSCREEN", "_NET_WM_ACTION_MINIMIZE",
                            "_NET_WM_ACTION_CLOSE", "_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_ABOVE" };
    for (const auto* n : names)
        XInternAtom (d, n, False);
    // The real pointer waits in the screen's far corner, away from the windows tests open, so the
    // server sends them no enter or motion events of its own between the tests' synthetic ones.
    const auto root = DefaultRootWindow (d);
    XWarpPointer (d, None, root, 0, 0, 0, 0, DisplayWidth (d, DefaultScreen (d)) - 1, DisplayHeight (d, DefaultScreen (d)) - 1);
    XSync (d, False);
    display = d;
}

BareXServerAtoms::~BareXServerAtoms()
{
    if (display != nullptr)
        XCloseDisplay (static_cast<Display*> (display));
}

void syncWithXServer()
{
    if (std::getenv ("DISPLAY") == nullptr)
        return;
    if (auto* d = XOpenDisplay (nullptr))
    {
        XSync (d, False);
        XCloseDisplay (d);
    }
}
}
