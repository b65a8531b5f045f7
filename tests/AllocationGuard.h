#pragma once

// Counts, on the current thread while armed, heap allocations (the test binary replaces the global
// operator new), waits on locks another thread can hold and posts to the message queue (the test
// binary replaces the processor's probes in Core/RealtimeProbe.h). A block on the audio thread must
// leave all three at zero.
namespace vyrTest
{
    struct AllocationGuard
    {
        AllocationGuard();
        ~AllocationGuard();
        long count() const;          // allocations
        long waits() const;          // blocking lock acquisitions
        long posts() const;          // message-queue posts
        bool realtimeSafe() const { return count() == 0 && waits() == 0 && posts() == 0; }
    };
}
