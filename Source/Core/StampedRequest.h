#pragma once

#include <atomic>
#include <cstdint>

// A request slot for message-thread work that carries the restore generation it was made in, in
// one lock-free word, so the worker can tell whether a restore came between the request and its
// write. Requests of the same generation merge; a request of an older generation than the slot's
// is dropped, one of a newer generation replaces what the slot held.
//
// The plain atomic operations (=, load, exchange, fetch_or) act on the value and stamp what they
// write with the generation current at that moment; mark and take carry the stamp explicitly.
template <typename T>
class VyrStampedRequest
{
    static_assert (sizeof (T) <= sizeof (std::uint32_t), "the value shares a word with its stamp");

public:
    VyrStampedRequest (const std::atomic<int>& generationSource, T emptyValue) noexcept
        : generation (generationSource), empty (emptyValue)
    {
        word.store (pack (empty, 0));
    }

    // What a worker took: the value and the generation it was requested in.
    struct Taken
    {
        T value;
        int stamp;
    };

    // Any thread, lock-free. `merge (held, requested)` combines two requests of one generation.
    template <typename Merge>
    void mark (T requested, int stamp, Merge&& merge) noexcept
    {
        auto old = word.load();
        for (;;)
        {
            const int heldStamp = stampOf (old);
            const T held = valueOf (old);
            T next;
            if (held == empty || heldStamp < stamp)
                next = requested;
            else if (heldStamp == stamp)
                next = merge (held, requested);
            else
                return;   // a restore came after this request was made: it is void
            if (word.compare_exchange_weak (old, pack (next, stamp)))
                return;
        }
    }

    void mark (T requested, int stamp) noexcept
    {
        mark (requested, stamp, [] (T, T r) { return r; });
    }

    Taken take() noexcept
    {
        const auto w = word.exchange (pack (empty, 0));
        return { valueOf (w), stampOf (w) };
    }

    // The value alone, as a plain atomic of T would offer it.
    T load() const noexcept { return valueOf (word.load()); }
    operator T() const noexcept { return load(); }
    VyrStampedRequest& operator= (T v) noexcept
    {
        word.store (pack (v, generation.load()));
        return *this;
    }
    void store (T v, std::memory_order order = std::memory_order_seq_cst) noexcept
    {
        word.store (pack (v, generation.load()), order);
    }
    T exchange (T v) noexcept { return valueOf (word.exchange (pack (v, generation.load()))); }
    T fetch_or (T bits) noexcept
    {
        const T before = load();
        mark (bits, generation.load(), [] (T held, T r) { return (T) (held | r); });
        return before;
    }

private:
    static std::uint64_t pack (T v, int stamp) noexcept
    {
        return ((std::uint64_t) (std::uint32_t) stamp << 32) | (std::uint64_t) (std::uint32_t) v;
    }
    static T valueOf (std::uint64_t w) noexcept { return (T) (std::int32_t) (std::uint32_t) (w & 0xffffffffu); }
    static int stampOf (std::uint64_t w) noexcept { return (int) (std::uint32_t) (w >> 32); }

    const std::atomic<int>& generation;
    const T empty;
    std::atomic<std::uint64_t> word { 0 };
};
