#pragma once

// Counts heap allocations made on the current thread while armed (the test binary replaces the
// global operator new to do this).
namespace vyrTest
{
    struct AllocationGuard
    {
        AllocationGuard();
        ~AllocationGuard();
        long count() const;
    };
}
