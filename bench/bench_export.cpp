// Mastered export of a three-minute stereo 44.1 kHz song at the default settings (24-bit WAV at
// the source rate), as the standalone app runs it: decode, render through the chain, encode.
#include "BenchUtil.h"
#include "Core/PluginProcessor.h"

static void BM_ExportThreeMinuteSong (benchmark::State& state)
{
    constexpr double sr = 44100.0;
    constexpr int seconds = 180;
    const auto dir = juce::File::getSpecialLocation (juce::File::tempDirectory).getNonexistentChildFile ("vyr-bench-export", {}, false);
    dir.createDirectory();
    const auto song = dir.getChildFile ("song.wav");
    {
        juce::WavAudioFormat wav;
        std::unique_ptr<juce::AudioFormatWriter> w (wav.createWriterFor (new juce::FileOutputStream (song), sr, 2, 24, {}, 0));
        juce::AudioBuffer<float> block (2, 44100);
        juce::Random rng (1);
        for (int s = 0; s < seconds; ++s)
        {
            vyrFillProgram (block, sr, rng);
            w->writeFromAudioSampleBuffer (block, 0, block.getNumSamples());
        }
    }

    juce::AudioProcessor::setTypeOfNextNewPlugin (juce::AudioProcessor::wrapperType_Standalone);
    VyrAudioProcessor proc (vyrProducts::quarn);
    juce::AudioProcessor::setTypeOfNextNewPlugin (juce::AudioProcessor::wrapperType_Undefined);
    proc.setPlayConfigDetails (2, 2, 48000.0, 512);
    proc.prepareToPlay (48000.0, 512);
    proc.loadAudioFile (song);

    const auto master = dir.getChildFile ("master.wav");
    for (auto _ : state)
    {
        const auto result = proc.exportMastered (master, vyrAudioIo::Format::wav);
        if (result.isNotEmpty())
            state.SkipWithError (result.toRawUTF8());
    }
    state.counters["rtf"] = benchmark::Counter ((double) seconds * (double) state.iterations(), benchmark::Counter::kIsRate);
    proc.releaseResources();
    dir.deleteRecursively();
}
BENCHMARK (BM_ExportThreeMinuteSong)->Unit (benchmark::kSecond)->Iterations (2)->UseRealTime();
