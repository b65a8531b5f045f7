// X11 is included here only: its macros (None, Bool, Status) clash with other headers.
#include "OwnXServer.h"

#include <X11/Xlib.h>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace vyrTest
{
namespace
{
using Clock = std::chrono::steady_clock;

// Generous limits: a loaded machine may take seconds to start a server, none of them is waited out
// when things go well.
constexpr auto startLimit = std::chrono::seconds (30);
constexpr auto stopLimit = std::chrono::seconds (10);

int millisecondsLeft (Clock::time_point end)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds> (end - Clock::now()).count();
    return left > 0 ? (int) left : 0;
}
}

OwnXServer::OwnXServer (const char* screen)
{
    int fds[2];
    if (pipe2 (fds, O_CLOEXEC) != 0)
    {
        error = "no pipe for the X server's display number";
        return;
    }
    const pid_t parent = getpid();
    pid = fork();
    if (pid < 0)
    {
        close (fds[0]);
        close (fds[1]);
        error = "cannot start the X server";
        return;
    }
    if (pid == 0)
    {
        // The server must not outlive a test program that crashed or was killed on a timeout.
        prctl (PR_SET_PDEATHSIG, SIGTERM);
        if (getppid() != parent)
            _exit (1);
        const int devNull = open ("/dev/null", O_RDWR);
        if (devNull >= 0)
        {
            dup2 (devNull, 0);
            dup2 (devNull, 1);
            dup2 (devNull, 2);
        }
        // The pipe's write end is handed on without close-on-exec; the server writes its display
        // number there once it accepts connections.
        const int writeEnd = dup (fds[1]);
        const auto fd = std::to_string (writeEnd);
        execlp ("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen, "-nolisten", "tcp",
                "-noreset", (char*) nullptr);
        _exit (127);
    }
    close (fds[1]);

    const auto end = Clock::now() + startLimit;
    std::string number;
    for (;;)
    {
        pollfd p { fds[0], POLLIN, 0 };
        if (poll (&p, 1, millisecondsLeft (end)) <= 0)
            break;
        char c = 0;
        if (read (fds[0], &c, 1) != 1 || c == '\n')
            break;
        number += c;
    }
    close (fds[0]);
    if (number.empty())
    {
        error = "the X server reported no display (is Xvfb installed?)";
        stop();
        return;
    }
    displayName = ":" + number;
    setenv ("DISPLAY", displayName.c_str(), 1);

    // The server writes the number once it listens; a first connection confirms it answers.
    while (true)
    {
        if (auto* d = XOpenDisplay (displayName.c_str()))
        {
            XCloseDisplay (d);
            break;
        }
        if (millisecondsLeft (end) == 0)
        {
            error = "the X server on " + displayName + " accepts no connection";
            stop();
            return;
        }
        std::this_thread::sleep_for (std::chrono::milliseconds (20));
    }
}

OwnXServer::~OwnXServer()
{
    stop();
}

void OwnXServer::stop()
{
    if (pid <= 0)
        return;
    kill (pid, SIGTERM);
    const auto end = Clock::now() + stopLimit;
    int status = 0;
    while (waitpid (pid, &status, WNOHANG) == 0)
    {
        if (millisecondsLeft (end) == 0)
        {
            kill (pid, SIGKILL);
            waitpid (pid, &status, 0);
            break;
        }
        std::this_thread::sleep_for (std::chrono::milliseconds (10));
    }
    pid = -1;
}
}
