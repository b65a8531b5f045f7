#pragma once

#include <juce_core/juce_core.h>
#include <cstdlib>
#include <string>

namespace vyrTest
{
// The plug-in keeps its training log below the user's config folder: a test program gets a folder
// of its own for its lifetime, so it never reads or writes the real log.
class OwnConfigFolder
{
public:
    explicit OwnConfigFolder (const char* programName)
        : path ("/tmp/" + std::string (programName) + "-config-XXXXXX")
    {
        if (mkdtemp (path.data()) != nullptr)
            setenv ("XDG_CONFIG_HOME", path.c_str(), 1);
    }
    ~OwnConfigFolder() { juce::File (path).deleteRecursively(); }

    OwnConfigFolder (const OwnConfigFolder&) = delete;
    OwnConfigFolder& operator= (const OwnConfigFolder&) = delete;

private:
    std::string path;
};
}
