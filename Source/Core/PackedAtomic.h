#pragma once

#include <atomic>
#include <cstdint>
#include <cstring>
#include <type_traits>

// A small record shared between threads as one lock-free 64-bit word, so a reader
// never sees half of an update.
template <typename T>
class VyrPackedAtomic
{
    static_assert (std::is_trivially_copyable_v<T> && sizeof (T) <= sizeof (std::uint64_t),
                   "the record must fit one machine word");

public:
    VyrPackedAtomic() noexcept { store (T {}); }
    explicit VyrPackedAtomic (const T& v) noexcept { store (v); }

    void store (const T& v, std::memory_order order = std::memory_order_seq_cst) noexcept { word.store (pack (v), order); }
    T load (std::memory_order order = std::memory_order_seq_cst) const noexcept { return unpack (word.load (order)); }

    static constexpr bool isLockFree() noexcept { return std::atomic<std::uint64_t>::is_always_lock_free; }

private:
    static std::uint64_t pack (const T& v) noexcept
    {
        std::uint64_t w = 0;
        std::memcpy (&w, &v, sizeof (T));
        return w;
    }
    static T unpack (std::uint64_t w) noexcept
    {
        T v;
        std::memcpy (static_cast<void*> (&v), &w, sizeof (T));
        return v;
    }

    std::atomic<std::uint64_t> word { 0 };
};
