#pragma once

class VyrSignalChain;

namespace vyrFactory
{
    // Writes the blend of two factory presets at progress t (0..1) straight into the chain, for a
    // glide between two sections of a loaded file.
    void blendMastering (VyrSignalChain& chain, int presetA, int presetB, float t);
}
