#pragma once

// A built Standalone app run as a child process, as a user starts it: in a home folder of its own
// (its settings never touch the user's), its output going to a file. Killed when this object goes,
// unless it has exited.

#include <juce_core/juce_core.h>

#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace vyrTest
{
class RunningApp
{
public:
    // `environment` adds or replaces variables of this process's environment; `workingFolder`,
    // when given, is the folder the app starts in.
    explicit RunningApp (const std::string& app, const juce::StringPairArray& environment = {},
                         const juce::File& workingFolder = {})
    {
        char folder[] = "/tmp/vyr-app-test-XXXXXX";
        if (mkdtemp (folder) == nullptr)
            return;
        home = juce::File (folder);
        log = home.getChildFile ("output.txt");

        juce::StringPairArray env (false); // names are case-sensitive
        for (auto** e = environ; *e != nullptr; ++e)
        {
            const juce::String entry (*e);
            env.set (entry.upToFirstOccurrenceOf ("=", false, false), entry.fromFirstOccurrenceOf ("=", false, false));
        }
        env.set ("HOME", home.getFullPathName());
        env.set ("XDG_CONFIG_HOME", home.getChildFile (".config").getFullPathName());
        for (const auto& key : environment.getAllKeys())
            env.set (key, environment[key]);

        std::vector<std::string> envStore;
        for (const auto& key : env.getAllKeys())
            envStore.push_back ((key + "=" + env[key]).toStdString());
        std::vector<char*> envp;
        for (auto& e : envStore)
            envp.push_back (e.data());
        envp.push_back (nullptr);

        std::string path = app;
        char* argv[] = { path.data(), nullptr };
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init (&actions);
        posix_spawn_file_actions_addopen (&actions, 1, log.getFullPathName().toRawUTF8(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_adddup2 (&actions, 1, 2);
        if (workingFolder != juce::File())
            posix_spawn_file_actions_addchdir_np (&actions, workingFolder.getFullPathName().toRawUTF8());
        if (posix_spawn (&pid, path.c_str(), &actions, nullptr, argv, envp.data()) != 0)
            pid = -1;
        posix_spawn_file_actions_destroy (&actions);
    }

    ~RunningApp()
    {
        if (pid > 0 && ! exited)
        {
            kill (pid, SIGKILL);
            waitpid (pid, nullptr, 0);
        }
        if (home.isDirectory())
            home.deleteRecursively();
    }

    RunningApp (const RunningApp&) = delete;
    RunningApp& operator= (const RunningApp&) = delete;

    bool started() const { return pid > 0; }

    // True once the process has ended (its status is then in `status`).
    bool hasExited()
    {
        if (! exited && pid > 0 && waitpid (pid, &status, WNOHANG) == pid)
            exited = true;
        return exited;
    }

    juce::String output() const { return log.loadFileAsString(); }

    pid_t pid = -1;
    int status = 0;
    bool exited = false;
    juce::File home, log;
};
}
