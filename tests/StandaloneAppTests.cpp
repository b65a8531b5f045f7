// Runs the built Standalone app as a user does: it starts on the test's X server, shows its window,
// is closed from the window manager, and exits cleanly.
#include "RunningApp.h"

#include <gtest/gtest.h>
#include <juce_core/juce_core.h>

#include <X11/Xlib.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace
{
// stdout of a shell command, or an empty string.
std::string commandOutput (const std::string& command)
{
    std::string out;
    if (auto* pipe = popen (command.c_str(), "r"))
    {
        char chunk[256];
        while (fgets (chunk, sizeof (chunk), pipe) != nullptr)
            out += chunk;
        pclose (pipe);
    }
    return out;
}

// What a window manager sends when the user clicks a window's close box. The window understands it
// because the protocol's atoms existed before the app started (this program's main interns them, as
// a window manager would).
bool sendWindowClose (unsigned long window)
{
    auto* display = XOpenDisplay (nullptr);
    if (display == nullptr)
        return false;
    XEvent event {};
    event.xclient.type = ClientMessage;
    event.xclient.window = (Window) window;
    event.xclient.message_type = XInternAtom (display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = (long) XInternAtom (display, "WM_DELETE_WINDOW", False);
    event.xclient.data.l[1] = CurrentTime;
    const bool sent = XSendEvent (display, (Window) window, False, NoEventMask, &event) != 0;
    XSync (display, False);
    XCloseDisplay (display);
    return sent;
}

struct Deadline
{
    explicit Deadline (std::chrono::seconds limit)
        : end (std::chrono::steady_clock::now() + limit)
    {
    }
    bool passed() const { return std::chrono::steady_clock::now() > end; }
    std::chrono::steady_clock::time_point end;
};

void waitABit() { std::this_thread::sleep_for (std::chrono::milliseconds (100)); }
} // namespace

TEST (StandaloneApp, StartsShowsItsWindowAndExitsCleanlyWhenTheUserClosesIt)
{
    vyrTest::RunningApp app (VYR_STANDALONE_PATH);
    ASSERT_TRUE (app.started()) << "cannot start " VYR_STANDALONE_PATH;

    // Its window, found the way a desktop tool finds it: by the process and the title. A loaded
    // machine may take a while to start the app, hence the generous limit.
    unsigned long window = 0;
    for (Deadline limit (std::chrono::seconds (90)); window == 0 && ! limit.passed() && ! app.hasExited(); waitABit())
        window = std::strtoul (commandOutput ("xdotool search --all --onlyvisible --pid " + std::to_string (app.pid) + " --name '^" VYR_PRODUCT_TITLE "$' 2>/dev/null").c_str(),
                               nullptr, 10);
    ASSERT_FALSE (app.exited) << "the app ended before showing its window:\n"
                              << app.output();
    ASSERT_NE (window, 0ul) << "no window within the time limit:\n"
                            << app.output();

    const juce::String info (commandOutput ("xwininfo -id " + std::to_string (window)));
    EXPECT_TRUE (info.contains ("Map State: IsViewable")) << info;
    const auto number = [&info] (const char* key)
    { return info.fromFirstOccurrenceOf (key, false, false).getIntValue(); };
    EXPECT_GE (number ("Width:"), 1168) << info; // the editor and the window's frame
    EXPECT_GE (number ("Height:"), 720) << info;

    ASSERT_TRUE (sendWindowClose (window));
    for (Deadline limit (std::chrono::seconds (60)); ! app.hasExited() && ! limit.passed(); waitABit())
    {
    }
    const auto output = app.output();
    ASSERT_TRUE (app.exited) << "the app did not quit after its window was closed:\n"
                             << output;
    EXPECT_TRUE (WIFEXITED (app.status)) << "the app ended by signal " << WTERMSIG (app.status) << ":\n"
                                         << output;
    EXPECT_EQ (WEXITSTATUS (app.status), 0) << output;
    EXPECT_FALSE (output.contains ("JUCE Assertion failure")) << output;
    EXPECT_FALSE (output.contains ("Leaked objects")) << output;

    // Quitting through the window saves the session for the next start.
    const auto settings = app.home.findChildFiles (juce::File::findFiles, true, "*.settings");
    ASSERT_EQ (settings.size(), 1) << "no settings file in " << app.home.getFullPathName();
    EXPECT_TRUE (settings[0].loadFileAsString().contains ("filterState"));
}
