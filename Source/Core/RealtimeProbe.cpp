#include "Core/RealtimeProbe.h"

// Weak, so that a test program's own definitions take their place.
namespace vyrRt
{
__attribute__ ((weak)) void noteBlockingWait() noexcept {}
__attribute__ ((weak)) void noteMessagePost() noexcept {}
}
