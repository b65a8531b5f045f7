#include <gtest/gtest.h>
#include "Core/PluginProcessor.h"

TEST (Products, NamesOfAllSixteen)
{
    const char* expected[16] = { "Tolvaren", "VYR Compressor", "VYR Limiter", "VYR Saturation", "VYR Analogue Density",
                                 "VYR Clip Distortion", "VYR Tape Machine", "VYR Delay", "VYR Reverb", "VYR EQ Parametric",
                                 "VYR EQ Dynamic", "VYR Multiband Comp", "VYR Stereo Imager", "VYR Tovu",
                                 "VYR Signal Utility", "VYR Quarn" };
    for (int p = 0; p < 16; ++p)
    {
        VyrAudioProcessor proc (p);
        EXPECT_EQ (proc.getName(), expected[p]) << p;
    }
}
