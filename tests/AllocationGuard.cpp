#include "AllocationGuard.h"
#include "Core/RealtimeProbe.h"
#include <cstdlib>
#include <new>

namespace
{
thread_local bool armed = false;
thread_local long allocations = 0;
thread_local long blockingWaits = 0;
thread_local long messagePosts = 0;

void* allocate (std::size_t size)
{
    if (armed)
        ++allocations;
    if (void* p = std::malloc (size == 0 ? 1 : size))
        return p;
    throw std::bad_alloc();
}
}

void* operator new (std::size_t size) { return allocate (size); }
void* operator new[] (std::size_t size) { return allocate (size); }
void* operator new (std::size_t size, const std::nothrow_t&) noexcept
{
    if (armed)
        ++allocations;
    return std::malloc (size == 0 ? 1 : size);
}
void* operator new[] (std::size_t size, const std::nothrow_t&) noexcept
{
    if (armed)
        ++allocations;
    return std::malloc (size == 0 ? 1 : size);
}
void operator delete (void* p) noexcept { std::free (p); }
void operator delete[] (void* p) noexcept { std::free (p); }
void operator delete (void* p, std::size_t) noexcept { std::free (p); }
void operator delete[] (void* p, std::size_t) noexcept { std::free (p); }

namespace vyrRt
{
void noteBlockingWait() noexcept
{
    if (armed)
        ++blockingWaits;
}
void noteMessagePost() noexcept
{
    if (armed)
        ++messagePosts;
}
}

namespace vyrTest
{
AllocationGuard::AllocationGuard()
{
    allocations = blockingWaits = messagePosts = 0;
    armed = true;
}
AllocationGuard::~AllocationGuard() { armed = false; }
long AllocationGuard::count() const { return allocations; }
long AllocationGuard::waits() const { return blockingWaits; }
long AllocationGuard::posts() const { return messagePosts; }
}
