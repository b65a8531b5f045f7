// Under the sanitizers the allocator belongs to the sanitizer runtime, so allocations are not counted;
// lock waits and message posts still are.
#include "AllocationGuard.h"
#include "Core/RealtimeProbe.h"

namespace
{
thread_local bool armed = false;
thread_local long blockingWaits = 0;
thread_local long messagePosts = 0;
}

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
    blockingWaits = messagePosts = 0;
    armed = true;
}
AllocationGuard::~AllocationGuard() { armed = false; }
long AllocationGuard::count() const { return 0; }
long AllocationGuard::waits() const { return blockingWaits; }
long AllocationGuard::posts() const { return messagePosts; }
}
