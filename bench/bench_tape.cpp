// Tape machine at its heaviest: stereo, every part working (wow, flutter, drive, hiss, gains, mix).
#include "BenchUtil.h"
#include "Dsp/Tape.h"

static void BM_TapeHeaviest (benchmark::State& state)
{
    juce::ScopedNoDenormals noDenormals;
    vyrRunEngine<VyrTape> (state, [] (VyrTape& tape)
    {
        tape.enabled = true;
        tape.mix = 0.7f;
        tape.drive = 1.0f;
        tape.saturation = 1.0f;
        tape.wow = 1.0f;
        tape.flutter = 1.0f;
        tape.noise = 1.0f;
        tape.hysteresis = 1.0f;
        tape.inputGain = 3.0f;
        tape.outputGain = -3.0f;
        tape.speed = 30.0f;
    });
}
BENCHMARK (BM_TapeHeaviest)->ArgsProduct ({ { 44100, 96000, 192000 }, { 64, 512 } });
