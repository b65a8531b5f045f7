#pragma once

// Shared parts of the UI benchmarks: looped program material played through a processor, and the
// message thread's measured share of one core while a component shows on an X display.
#include "BenchUtil.h"

#include <benchmark/benchmark.h>
#include <juce_audio_formats/juce_audio_formats.h>
#include <juce_audio_processors/juce_audio_processors.h>
#include <juce_events/juce_events.h>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <thread>

// One second of stereo program material at 48 kHz, played through a processor in blocks of 512
// samples, looping (silence when built with `silent`).
struct VyrProgramLoop
{
    juce::AudioBuffer<float> source { 2, 48000 }, block { 2, 512 };
    juce::MidiBuffer midi;
    int offset = 0;

    explicit VyrProgramLoop (bool silent = false)
    {
        juce::Random rng (1);
        vyrFillProgram (source, 48000.0, rng);
        if (silent)
            source.clear();
    }

    void play (juce::AudioProcessor& proc, int blocks)
    {
        for (int b = 0; b < blocks; ++b)
        {
            for (int ch = 0; ch < 2; ++ch)
                block.copyFrom (ch, 0, source, ch, offset, 512);
            offset = (offset + 512) % (source.getNumSamples() - 512);
            proc.processBlock (block, midi);
        }
    }
};

// Writes `seconds` of stereo 44.1 kHz program material (seeded) to a 16-bit WAV; with `quarterGains`
// each quarter of the song is scaled by its gain, so sections differ in level.
inline void vyrWriteProgramSong (const juce::File& song, int seconds, int seed, const float* quarterGains = nullptr)
{
    juce::AudioBuffer<float> audio (2, 44100 * seconds);
    juce::Random rng (seed);
    vyrFillProgram (audio, 44100.0, rng);
    if (quarterGains != nullptr)
        for (int s = 0; s < 4; ++s)
            audio.applyGain (s * audio.getNumSamples() / 4, audio.getNumSamples() / 4, quarterGains[s]);
    juce::WavAudioFormat wav;
    std::unique_ptr<juce::AudioFormatWriter> w (wav.createWriterFor (new juce::FileOutputStream (song), 44100.0, 2, 16, {}, 0));
    w->writeFromAudioSampleBuffer (audio, 0, audio.getNumSamples());
}

// A processor of `product` as the Standalone app makes it, prepared at 48 kHz / 512.
template <typename Processor>
std::unique_ptr<Processor> vyrMakeStandaloneProcessor (int product)
{
    juce::AudioProcessor::setTypeOfNextNewPlugin (juce::AudioProcessor::wrapperType_Standalone);
    auto proc = std::make_unique<Processor> (product);
    juce::AudioProcessor::setTypeOfNextNewPlugin (juce::AudioProcessor::wrapperType_Undefined);
    proc->setPlayConfigDetails (2, 2, 48000.0, 512);
    proc->prepareToPlay (48000.0, 512);
    return proc;
}

// Windows need an X display (e.g. under xvfb-run); without one the benchmark is marked skipped.
inline bool vyrBenchHasDisplay (benchmark::State& state)
{
    if (std::getenv ("DISPLAY") != nullptr)
        return true;
    state.SkipWithError ("needs an X display (run under xvfb-run)");
    return false;
}

inline double vyrThreadCpuSeconds()
{
    timespec t {};
    clock_gettime (CLOCK_THREAD_CPUTIME_ID, &t);
    return (double) t.tv_sec + 1.0e-9 * (double) t.tv_nsec;
}

// What a shown component costs the message thread while audio plays: after half a second for the
// first paints and decodes, the real message loop runs three seconds per iteration while another
// thread calls playBlock() once per 512 samples at 48 kHz, paced against the clock so late blocks
// catch up. Sets `msg%`: the message thread's own CPU time (time spent waiting for events does not
// count) per second of wall time.
template <typename PlayBlock>
void vyrMeasureMessageThread (benchmark::State& state, PlayBlock&& playBlock)
{
    juce::MessageManager::getInstance()->runDispatchLoopUntil (500);

    std::atomic<bool> stop { false };
    std::thread audio ([&playBlock, &stop]
    {
        const auto start = std::chrono::steady_clock::now();
        for (long n = 0; ! stop.load(); ++n)
        {
            playBlock();
            std::this_thread::sleep_until (start + std::chrono::microseconds (n * 512 * 1000000L / 48000));
        }
    });
    double busy = 0.0, wall = 0.0;
    for (auto _ : state)
    {
        const double c0 = vyrThreadCpuSeconds();
        const auto w0 = juce::Time::getMillisecondCounterHiRes();
        juce::MessageManager::getInstance()->runDispatchLoopUntil (3000);
        busy += vyrThreadCpuSeconds() - c0;
        wall += (juce::Time::getMillisecondCounterHiRes() - w0) * 0.001;
    }
    stop = true;
    audio.join();
    state.counters["msg%"] = 100.0 * busy / juce::jmax (1.0e-9, wall);
}
