#pragma once

#include <juce_core/juce_core.h>
#include <mutex>

// Marks the places where a thread would wait on a lock another thread can hold, or post to the
// message queue. The product's versions do nothing; the test program links its own versions that
// count these events on a thread while it plays the audio thread, so a test fails the moment the
// audio path would block.
namespace vyrRt
{
    void noteBlockingWait() noexcept;
    void noteMessagePost() noexcept;

    // A blocking hold of a SpinLock, for threads that may wait (the message thread).
    class ScopedSpin
    {
    public:
        explicit ScopedSpin (juce::SpinLock& l) noexcept : lock (l)
        {
            noteBlockingWait();
            lock.enter();
        }
        ~ScopedSpin() { lock.exit(); }

    private:
        juce::SpinLock& lock;
        JUCE_DECLARE_NON_COPYABLE (ScopedSpin)
    };

    // A blocking hold of a std::mutex, for threads that may wait.
    class ScopedMutex
    {
    public:
        explicit ScopedMutex (std::mutex& m) : lock ((noteBlockingWait(), m)) {}

    private:
        std::lock_guard<std::mutex> lock;
        JUCE_DECLARE_NON_COPYABLE (ScopedMutex)
    };
}
