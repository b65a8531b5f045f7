// Tape machine at its heaviest: stereo, every part working (wow, flutter, drive, hiss, gains, mix).
#include "BenchUtil.h"
#include "Tape.h"

static void BM_TapeHeaviest (benchmark::State& state)
{
    const double sr = (double) state.range (0);
    const int block = (int) state.range (1);
    juce::ScopedNoDenormals noDenormals;

    VyrTape tape;
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
    tape.prepare (sr, block);

    juce::AudioBuffer<float> source (2, block * 64), buffer (2, block);
    juce::Random rng (1);
    vyrFillProgram (source, sr, rng);
    int offset = 0;

    for (auto _ : state)
    {
        for (int ch = 0; ch < 2; ++ch)
            buffer.copyFrom (ch, 0, source, ch, offset, block);
        offset = (offset + block) % (block * 64);
        tape.process (buffer);
        benchmark::DoNotOptimize (buffer.getReadPointer (0));
    }
    vyrReportRealTimeFactor (state, sr, block);
}
BENCHMARK (BM_TapeHeaviest)->ArgsProduct ({ { 44100, 96000, 192000 }, { 64, 512 } });
