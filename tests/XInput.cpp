// X11 is included here only: its macros (None, Bool, Status) clash with other headers.
#include "XInput.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

namespace vyrTest
{
namespace
{
Display* dpy (void* d) { return static_cast<Display*> (d); }
}

XPointer::XPointer() : display (XOpenDisplay (nullptr)) {}

XPointer::~XPointer()
{
    if (display != nullptr)
        XCloseDisplay (dpy (display));
}

bool XPointer::usable() const
{
    int ev = 0, err = 0, major = 0, minor = 0;
    return display != nullptr && XTestQueryExtension (dpy (display), &ev, &err, &major, &minor);
}

void XPointer::moveTo (juce::Point<int> p)
{
    XTestFakeMotionEvent (dpy (display), -1, p.x, p.y, 0);
    XSync (dpy (display), 0);
}

void XPointer::button (bool down)
{
    XTestFakeButtonEvent (dpy (display), 1, down ? 1 : 0, 0);
    XSync (dpy (display), 0);
}

XPointer::Hit XPointer::windowAt (juce::Point<int> p)
{
    auto* d = dpy (display);
    Hit hit;
    Window from = DefaultRootWindow (d), child = 0;
    for (int depth = 0; depth < 16; ++depth)
    {
        int x = 0, y = 0;
        if (! XTranslateCoordinates (d, DefaultRootWindow (d), from, p.x, p.y, &x, &y, &child) || child == 0)
            break;
        from = child;
        XWindowAttributes a;
        if (! XGetWindowAttributes (d, child, &a) || a.map_state != IsViewable)
            return {};
        hit = { child, a.width, a.height };
    }
    return hit;
}

bool XPointer::isComponentWindow (unsigned long window)
{
    auto* d = dpy (display);
    const auto info = XInternAtom (d, "_XEMBED_INFO", 1);
    Atom type = 0;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    if (info == 0 || XGetWindowProperty (d, window, info, 0, 2, 0, AnyPropertyType, &type, &format, &items, &after, &data) != Success)
        return false;
    if (data != nullptr)
        XFree (data);
    return type != 0;
}

unsigned long XPointer::pluginWindowAt (juce::Point<int> where, int width, int height)
{
    const auto hit = windowAt (where);
    if (hit.window == 0 || hit.width != width || hit.height != height || ! isComponentWindow (hit.window))
        return 0;
    for (int i = 0; i < juce::ComponentPeer::getNumPeers(); ++i)
        if ((unsigned long) (juce::pointer_sized_uint) juce::ComponentPeer::getPeer (i)->getNativeHandle() == hit.window)
            return 0;
    return hit.window;
}

unsigned long XPointer::windowUnderPointer()
{
    auto* d = dpy (display);
    Window w = DefaultRootWindow (d), innermost = 0;
    for (int depth = 0; depth < 16 && w != 0; ++depth)
    {
        Window root = 0, child = 0;
        int rx = 0, ry = 0, wx = 0, wy = 0;
        unsigned int mask = 0;
        if (! XQueryPointer (d, w, &root, &child, &rx, &ry, &wx, &wy, &mask))
            return 0;
        innermost = w;
        w = child;
    }
    return innermost;
}

//==============================================================================
void XPointer::key (const char* keyName, bool control, bool shift)
{
    auto* d = dpy (display);
    const auto code = XKeysymToKeycode (d, XStringToKeysym (keyName));
    if (code == 0)
        return;
    const auto controlCode = XKeysymToKeycode (d, XK_Control_L), shiftCode = XKeysymToKeycode (d, XK_Shift_L);
    if (control)
        XTestFakeKeyEvent (d, controlCode, 1, 0);
    if (shift)
        XTestFakeKeyEvent (d, shiftCode, 1, 0);
    XTestFakeKeyEvent (d, code, 1, 0);
    XTestFakeKeyEvent (d, code, 0, 0);
    if (shift)
        XTestFakeKeyEvent (d, shiftCode, 0, 0);
    if (control)
        XTestFakeKeyEvent (d, controlCode, 0, 0);
    XSync (d, 0);
}

void XPointer::typeText (const juce::String& text)
{
    // The characters the file names and titles of the tests use, by key name; letters and digits
    // name themselves.
    static const std::pair<juce::juce_wchar, const char*> named[] = {
        { ' ', "space" }, { '-', "minus" }, { '.', "period" }, { '/', "slash" }, { '_', "minus" },
    };
    for (auto c : text)
    {
        const bool upper = juce::CharacterFunctions::isUpperCase (c) || c == '_';
        juce::String name = juce::String::charToString (juce::CharacterFunctions::toLowerCase (c));
        for (const auto& [ch, keyName] : named)
            if (ch == c)
                name = keyName;
        key (name.toRawUTF8(), false, upper);
    }
}

unsigned long XPointer::focusWindow()
{
    Window focus = 0;
    int revert = 0;
    XGetInputFocus (dpy (display), &focus, &revert);
    return focus == PointerRoot ? 0 : (unsigned long) focus;
}

unsigned long XPointer::topLevelWindowNamed (const juce::String& name)
{
    auto* d = dpy (display);
    Window root = 0, parent = 0, *children = nullptr;
    unsigned int count = 0;
    unsigned long found = 0;
    if (! XQueryTree (d, DefaultRootWindow (d), &root, &parent, &children, &count))
        return 0;
    for (unsigned int i = 0; i < count && found == 0; ++i)
    {
        XWindowAttributes a;
        if (! XGetWindowAttributes (d, children[i], &a) || a.map_state != IsViewable)
            continue;
        // The framework names its windows in UTF-8, which XFetchName does not read.
        XTextProperty text {};
        if (XGetWMName (d, children[i], &text) && text.value != nullptr)
        {
            if (juce::String::fromUTF8 ((const char*) text.value, (int) text.nitems) == name)
                found = children[i];
            XFree (text.value);
        }
    }
    if (children != nullptr)
        XFree (children);
    return found;
}

juce::Rectangle<int> XPointer::screenBounds (unsigned long window)
{
    auto* d = dpy (display);
    XWindowAttributes a;
    if (window == 0 || ! XGetWindowAttributes (d, window, &a) || a.map_state != IsViewable)
        return {};
    int x = 0, y = 0;
    Window child = 0;
    if (! XTranslateCoordinates (d, window, DefaultRootWindow (d), 0, 0, &x, &y, &child))
        return {};
    return { x, y, a.width, a.height };
}

juce::Image XPointer::capture (juce::Rectangle<int> area)
{
    auto* d = dpy (display);
    const auto screen = juce::Rectangle<int> (0, 0, DisplayWidth (d, DefaultScreen (d)), DisplayHeight (d, DefaultScreen (d)));
    area = area.getIntersection (screen);
    if (area.isEmpty())
        return {};
    auto* xi = XGetImage (d, DefaultRootWindow (d), area.getX(), area.getY(), (unsigned int) area.getWidth(),
                          (unsigned int) area.getHeight(), AllPlanes, ZPixmap);
    if (xi == nullptr)
        return {};
    juce::Image image (juce::Image::RGB, area.getWidth(), area.getHeight(), false);
    for (int y = 0; y < area.getHeight(); ++y)
        for (int x = 0; x < area.getWidth(); ++x)
        {
            const auto p = XGetPixel (xi, x, y);
            image.setPixelAt (x, y, juce::Colour ((juce::uint8) ((p >> 16) & 0xff), (juce::uint8) ((p >> 8) & 0xff), (juce::uint8) (p & 0xff)));
        }
    XDestroyImage (xi);
    return image;
}
}
