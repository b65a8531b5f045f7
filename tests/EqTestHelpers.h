#pragma once

// Measuring helpers shared by the EQ and multiband tests (the generic ones are in TestSignals.h).

#include "TestSignals.h"
#include "Model/EqState.h"
#include <juce_audio_processors/juce_audio_processors.h>
#include <cmath>
#include <complex>
#include <functional>
#include <vector>

namespace eqTest
{
    using vyrTestSignals::pi;

    // Every band of both channels off, enabled, stereo, fully wet: a flat EQ to start each case from.
    inline void allBandsOff (vyrEq::State& s, int bandCount, bool dynamic)
    {
        s.enabled = true;
        s.msMode = false;
        s.bandCount = bandCount;
        s.mix = 100.0f;
        for (auto* ch : { &s.main, &s.side })
        {
            vyrEq::initDefaults (*ch, bandCount, dynamic);
            ch->low.on = ch->high.on = false;
            for (auto& m : ch->mids)
                m.on = false;
        }
    }

    // Runs silence through the engine so every ramp settles.
    template <typename Engine>
    void settle (Engine& engine, double sampleRate, int channels = 2, double seconds = 0.2)
    {
        juce::AudioBuffer<float> quiet (channels, (int) (sampleRate * seconds));
        quiet.clear();
        vyrTestSignals::processInBlocks (engine, quiet, 512);
    }

    // Magnitude in dB of a stretch of signal at one frequency (single-bin DFT, Hann window),
    // relative to a full-scale sine's own reading, so a sine of amplitude A reads 20 log10 A.
    inline double toneDb (const float* x, int n, double freq, double sampleRate)
    {
        std::complex<double> acc = 0.0;
        double wsum = 0.0;
        for (int i = 0; i < n; ++i)
        {
            const double w = 0.5 - 0.5 * std::cos (2.0 * pi * i / (n - 1));
            acc += (double) x[i] * w * std::polar (1.0, -2.0 * pi * freq * i / sampleRate);
            wsum += w;
        }
        return 20.0 * std::log10 (std::max (2.0 * std::abs (acc) / wsum, 1.0e-12));
    }

    // Magnitude in dB of an impulse response at a frequency.
    inline double responseDb (const std::vector<float>& h, double freq, double sampleRate)
    {
        std::complex<double> acc = 0.0;
        const auto w = std::polar (1.0, -2.0 * pi * freq / sampleRate);
        std::complex<double> z = 1.0;
        for (float v : h)
        {
            acc += (double) v * z;
            z *= w;
        }
        return 20.0 * std::log10 (std::max (std::abs (acc), 1.0e-12));
    }

    // Impulse response of channel `channel` of an engine fed an impulse on the channels in `feed`
    // (+1 or -1 per channel, 0 for silence).
    template <typename Engine>
    std::vector<float> impulseResponse (Engine& engine, int length, std::vector<float> feed = { 1.0f, 1.0f }, int channel = 0)
    {
        juce::AudioBuffer<float> b ((int) feed.size(), length);
        b.clear();
        for (int ch = 0; ch < (int) feed.size(); ++ch)
            b.setSample (ch, 0, feed[(size_t) ch]);
        vyrTestSignals::processInBlocks (engine, b, 512);
        return { b.getReadPointer (channel), b.getReadPointer (channel) + length };
    }

    // Finds where a response crosses `targetDb` between lo and hi (log-frequency bisection).
    inline double findCrossing (const std::function<double (double)>& db, double lo, double hi, double targetDb)
    {
        const bool risingAtLo = db (lo) < targetDb;
        for (int i = 0; i < 60; ++i)
        {
            const double mid = std::sqrt (lo * hi);
            if ((db (mid) < targetDb) == risingAtLo)
                lo = mid;
            else
                hi = mid;
        }
        return std::sqrt (lo * hi);
    }

    // A biquad is stable when its poles lie inside the unit circle (the stability triangle).
    template <typename Coeffs>
    bool isStable (const Coeffs& c)
    {
        return std::isfinite (c.b0) && std::isfinite (c.b1) && std::isfinite (c.b2)
               && std::abs (c.a2) < 1.0f && std::abs (c.a1) < 1.0f + c.a2;
    }

    // A bare processor holding a parameter tree of a chosen layout, for loader tests.
    struct TreeHost : juce::AudioProcessor
    {
        explicit TreeHost (juce::AudioProcessorValueTreeState::ParameterLayout layout)
            : apvts (*this, nullptr, "VYR", std::move (layout)) {}

        void setPlain (const juce::String& id, float plain)
        {
            auto* p = apvts.getParameter (id);
            jassert (p != nullptr);
            p->setValueNotifyingHost (p->convertTo0to1 (plain));
        }

        const juce::String getName() const override { return "TreeHost"; }
        void prepareToPlay (double, int) override {}
        void releaseResources() override {}
        void processBlock (juce::AudioBuffer<float>&, juce::MidiBuffer&) override {}
        double getTailLengthSeconds() const override { return 0.0; }
        bool acceptsMidi() const override { return false; }
        bool producesMidi() const override { return false; }
        juce::AudioProcessorEditor* createEditor() override { return nullptr; }
        bool hasEditor() const override { return false; }
        int getNumPrograms() override { return 1; }
        int getCurrentProgram() override { return 0; }
        void setCurrentProgram (int) override {}
        const juce::String getProgramName (int) override { return {}; }
        void changeProgramName (int, const juce::String&) override {}
        void getStateInformation (juce::MemoryBlock&) override {}
        void setStateInformation (const void*, int) override {}

        juce::AudioProcessorValueTreeState apvts;
    };
}
