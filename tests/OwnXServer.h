#pragma once

// A virtual X server of this test program's own, so no other program's windows can cover the
// windows its tests click on. The server picks a free display itself and reports it through a
// pipe; DISPLAY is set to it before anything opens a connection. The server is stopped when this
// object goes, and the kernel stops it too should the test program die first.

#include <string>
#include <sys/types.h>

namespace vyrTest
{
class OwnXServer
{
public:
    // `screen` is the size and depth of the server's one screen, as Xvfb takes it.
    explicit OwnXServer (const char* screen = "1280x800x24");
    ~OwnXServer();

    OwnXServer (const OwnXServer&) = delete;
    OwnXServer& operator= (const OwnXServer&) = delete;

    bool isRunning() const { return pid > 0 && error.empty(); }
    const std::string& getError() const { return error; }
    const std::string& getDisplayName() const { return displayName; }

private:
    pid_t pid = -1;
    std::string displayName, error;

    void stop();
};
}
