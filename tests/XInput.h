#pragma once

// Real input through the X server for the end-to-end tests: pointer moves and clicks, key presses
// and typed text (XTest), the windows on the screen and what they show. Each request is
// synchronised, so the server has handled it before the next one is sent. Coordinates are screen
// pixels. X11 stays out of this header: its macros (None, Bool, Status) clash with other headers.

#include <juce_gui_basics/juce_gui_basics.h>

namespace vyrTest
{
class XPointer
{
public:
    XPointer();
    ~XPointer();

    XPointer (const XPointer&) = delete;
    XPointer& operator= (const XPointer&) = delete;

    // A connection to the server with the XTest extension.
    bool usable() const;

    void moveTo (juce::Point<int> p);
    void button (bool down);

    // The innermost window covering `p` in the window tree, with its size; none when a window on
    // the way is not viewable.
    struct Hit
    {
        unsigned long window = 0;
        int width = 0, height = 0;
    };
    Hit windowAt (juce::Point<int> p);

    // Windows the framework makes for its components carry the embedding info property; the bare
    // windows an embedding host wraps around a plug-in's view do not.
    bool isComponentWindow (unsigned long window);

    // The plug-in's own window under a point, at the full editor size, else 0: a window the
    // framework made for a component that is not one of the host's own component windows.
    unsigned long pluginWindowAt (juce::Point<int> where, int width, int height);

    // The innermost window the server itself has the pointer in: where it sends a press now.
    unsigned long windowUnderPointer();

    //==============================================================================
    // A key pressed and released, by its X key name ("Return", "Escape", "a"), with Control or
    // Shift held when asked.
    void key (const char* keyName, bool control = false, bool shift = false);
    // Types printable ASCII text key by key (Shift for the characters that need it).
    void typeText (const juce::String& text);

    // The window that has the keyboard focus: where the server sends key presses (0 when the
    // focus follows the pointer or is nowhere).
    unsigned long focusWindow();

    // A viewable top-level window whose name is exactly `name`, else 0.
    unsigned long topLevelWindowNamed (const juce::String& name);
    // A window's area on the screen (empty when it is gone).
    juce::Rectangle<int> screenBounds (unsigned long window);
    // What the screen shows in an area, as an opaque image.
    juce::Image capture (juce::Rectangle<int> screenArea);

private:
    void* display = nullptr;
};
}
