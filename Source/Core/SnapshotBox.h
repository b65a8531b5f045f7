#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

#include "Core/RealtimeProbe.h"

// Hands an immutable copy of message-thread data to the audio thread without locks or waits.
// The message thread publishes a new copy; the audio thread acquires the newest one for the
// length of a block. Retired copies are freed on the message thread, never while the audio
// thread holds them (a single-reader hazard pointer).
template <typename T>
class VyrSnapshotBox
{
public:
    explicit VyrSnapshotBox (const T& initial) { publish (initial); }

    ~VyrSnapshotBox()
    {
        delete current.load();
        for (auto* r : retired)
            delete r;
    }

    // Message thread: makes `value` the copy the audio thread sees from its next acquire.
    void publish (const T& value)
    {
        // Hosts may restore state off the message thread while the editor publishes: writers take
        // turns; the audio thread never takes this lock.
        const vyrRt::ScopedMutex lock (writerLock);
        auto* fresh = new T (value);
        auto* old = current.exchange (fresh);
        if (old != nullptr)
            retired.push_back (old);
        collect();
    }

private:
    // Frees retired copies the audio thread no longer holds (called with the writer lock held).
    void collect()
    {
        const auto* held = hazard.load();
        for (size_t i = 0; i < retired.size();)
        {
            if (retired[i] != held)
            {
                delete retired[i];
                retired[i] = retired.back();
                retired.pop_back();
            }
            else
            {
                ++i;
            }
        }
    }

public:
    // Audio thread: the newest copy, valid until the next acquire() or release().
    const T& acquire() noexcept
    {
        T* p = current.load();
        for (;;)
        {
            hazard.store (p);
            T* again = current.load();
            if (again == p)
                return *p;
            p = again;
        }
    }

    void release() noexcept { hazard.store (nullptr); }

private:
    std::atomic<T*> current { nullptr };
    std::atomic<T*> hazard { nullptr };
    std::vector<T*> retired;   // writers only, under writerLock
    std::mutex writerLock;
};
