#include "SectionBlend.h"
#include "SignalChain.h"
#include "FactoryPresets.h"

namespace vyrFactory
{
void blendMastering (VyrSignalChain&, int, int, float)
{
    // Filled in together with the factory preset records.
}
}
