#pragma once

// Program-like audio for the live analyser: sections of filtered noise with a beat, and a helper
// that feeds the edition product block by block with the analyser's timer ticking in between.

#include "ProcessorFixture.h"
#include <cmath>
#include <vector>

namespace vyrLiveTest
{
    // One section of a song: its level, its spectral balance and its beat.
    struct Part
    {
        double seconds;
        float levelDb;     // RMS of the mono sum, roughly
        float lowpassHz;   // brightness: the noise's one-pole low-pass corner
        float bassShare;   // 0..1 of a 50 Hz tone mixed in
        float beatHz;      // amplitude pulses per second (0 for a steady bed)
    };

    // Renders parts as a stereo signal, procedurally and deterministically.
    class Song
    {
    public:
        Song (std::vector<Part> p, double rate) : parts (std::move (p)), sr (rate) {}

        double lengthSeconds() const
        {
            double t = 0.0;
            for (const auto& p : parts)
                t += p.seconds;
            return t;
        }

        // Fills the next block; false once the song is over.
        bool next (juce::AudioBuffer<float>& b)
        {
            const double total = lengthSeconds();
            for (int i = 0; i < b.getNumSamples(); ++i)
            {
                const double t = (double) sample++ / sr;
                const Part* part = &parts.back();
                double start = 0.0;
                for (const auto& p : parts)
                {
                    if (t < start + p.seconds)
                    {
                        part = &p;
                        break;
                    }
                    start += p.seconds;
                }
                const float c = 1.0f - (float) std::exp (-2.0 * juce::MathConstants<double>::pi * part->lowpassHz / sr);
                const float white = 2.0f * rng.nextFloat() - 1.0f;
                lp += c * (white - lp);
                const float tone = (float) std::sin (2.0 * juce::MathConstants<double>::pi * 50.0 * t);
                float x = (1.0f - part->bassShare) * lp * 2.5f + part->bassShare * tone;
                if (part->beatHz > 0.0f)
                {
                    const double phase = std::fmod ((t - start) * part->beatHz, 1.0);
                    x *= (float) (0.35 + 0.65 * std::exp (-phase * 12.0));
                }
                const float g = std::pow (10.0f, part->levelDb / 20.0f) * 10.0f;
                b.setSample (0, i, g * x);
                if (b.getNumChannels() > 1)
                    b.setSample (1, i, g * x);
            }
            return (double) sample / sr < total;
        }

    private:
        std::vector<Part> parts;
        double sr;
        std::int64_t sample = 0;
        juce::Random rng { 1234 };
        float lp = 0.0f;
    };

    struct PlayHead : juce::AudioPlayHead
    {
        juce::AudioPlayHead::PositionInfo info;
        juce::Optional<PositionInfo> getPosition() const override { return info; }
    };

    // Plays the song through the processor in blocks of an eighth of a second with the host's
    // transport running, ticking the analyser's timer after every block (two ticks per hop).
    // `each` runs after every tick with the song time in seconds.
    template <typename Each>
    void play (VyrAudioProcessor& p, Song& song, PlayHead& head, Each&& each, std::int64_t startSample = 0)
    {
        const double sr = p.getSampleRate();
        const int block = (int) (sr / 8.0);
        juce::AudioBuffer<float> buf (2, block);
        juce::MidiBuffer midi;
        head.info.setIsPlaying (true);
        p.setPlayHead (&head);
        std::int64_t pos = startSample;
        bool more = true;
        while (more)
        {
            more = song.next (buf);
            head.info.setTimeInSamples (pos);
            p.processBlock (buf, midi);
            pos += block;
            p.liveTimerTick();
            each ((double) pos / sr);
        }
    }
}
