#pragma once

#include <juce_core/juce_core.h>
#include <atomic>

// A count of the readers of a measurement that only they read, so the audio thread can skip the
// measurement while nobody reads it: lock-free, any thread; several readers may hold it at once, and
// an unmatched close leaves the count at zero.
class VyrReaderCount
{
public:
    void open() noexcept { count.fetch_add (1); }
    void close() noexcept
    {
        if (count.fetch_sub (1) <= 0)
            count.fetch_add (1);
    }
    bool any() const noexcept { return count.load (std::memory_order_relaxed) > 0; }

private:
    std::atomic<int> count { 0 };
};

// Holds one reader of a count for its lifetime.
class VyrReaderToken
{
public:
    explicit VyrReaderToken (VyrReaderCount& c) noexcept : readers (c) { readers.open(); }
    ~VyrReaderToken() { readers.close(); }

private:
    VyrReaderCount& readers;
    JUCE_DECLARE_NON_COPYABLE (VyrReaderToken)
};
