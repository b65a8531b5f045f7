#include "Assistant/Measurements.h"

#include "Assistant/MasteredModel.h"
#include "Core/PluginProcessor.h"
#include "Model/QuarnPresets.h"

#include <array>
#include <cmath>

namespace vyrMasterAssist
{
namespace
{
    constexpr int kBins = 4096;
    static_assert (VyrMeterEngine::spectrumBins == kBins, "the band levels read a 4096-bin spectrum");

    void balanceFromSpectrum (const float* spectrum, float sampleRate, Snapshot& s)
    {
        const float nyq = sampleRate / 2.0f;
        const float S = octaveDb (spectrum, nyq, 20.0f, 80.0f);
        const float L = octaveDb (spectrum, nyq, 80.0f, 250.0f);
        const float B = octaveDb (spectrum, nyq, 20.0f, 250.0f);
        const float M = octaveDb (spectrum, nyq, 250.0f, 4000.0f);
        const float H = octaveDb (spectrum, nyq, 4000.0f, 16000.0f);
        const float mean = (S + L + M + H) / 4.0f;
        s.subDb = S - mean;
        s.lowDb = L - mean;
        s.midDb = M - mean;
        s.highDb = H - mean;
        s.lowVsMidDb = B - M;
    }

    // The balance the parametric EQ's curve gives, for when nothing plays. The settings are read from
    // the parameters the running chain follows, so no state the audio thread is writing is read.
    void balanceFromEq (const VyrAudioProcessor& p, float sampleRate, Snapshot& s)
    {
        vyrEq::State st;
        vyrEq::loadState (const_cast<juce::AudioProcessorValueTreeState&> (p.apvts), st, false);   // reads only
        const auto& channel = (st.msMode && st.msChannel == 1) ? st.side : st.main;
        const auto m = [&] (float hz)
        { return vyrMasterHypo::dB (vyrMasterHypo::eqMagAt (sampleRate, channel, st.enabled, hz) + 1e-12f); };
        const float m40 = m (40.0f), m160 = m (160.0f), m1000 = m (1000.0f), m8000 = m (8000.0f);
        const float mean = (m40 + m160 + m1000 + m8000) / 4.0f;
        s.subDb = m40 - mean;
        s.lowDb = m160 - mean;
        s.midDb = m1000 - mean;
        s.highDb = m8000 - mean;
        s.lowVsMidDb = m (80.0f) - m1000;
    }
}

float octaveDb (const float* spectrum, float nyq, float lo, float hi) noexcept
{
    const float end = 0.999f * hi;
    if (! (lo < end))
        return -100.0f;
    const float w = nyq / (float) kBins;
    const float wMin = std::max (w, 0.000001f);
    const bool usable = spectrum != nullptr && nyq > 0.0f;

    float sum = 0.0f;
    int steps = 0;
    float f0 = lo;
    for (;;)
    {
        const float f1 = f0 * 1.4142135f;
        float level = -100.0f;
        if (usable)
        {
            const float a = std::max (std::min (std::min (f1, hi), f0), w);
            const float b = std::max (std::max (f0, std::min (f1, hi)), a + 0.000001f);
            float value;
            if (b / w - a / w <= 1.0f)
            {
                const float cpos = juce::jlimit (1.0f, 4094.999f, (a + b) / 2.0f / wMin);
                const int k = (int) std::floor (cpos);
                const float frac = cpos - (float) k;
                value = spectrum[k] * (1.0f - frac) + spectrum[std::min (k, 4094) + 1] * frac;
            }
            else
            {
                const int i0 = juce::jlimit (1, 4095, (int) std::floor (a / w));
                int i1 = std::min ((int) std::ceil (b / w), kBins);
                if (i1 <= i0)
                    i1 = i0 + 1;
                value = 0.0f;
                for (int i = i0; i < i1; ++i)
                    value = std::max (value, spectrum[i]);
            }
            level = vyrMasterHypo::dB (value + 1e-12f);
        }
        sum += level;
        ++steps;
        if (! (f1 < end))
            break;
        f0 = f1;
    }
    return sum / (float) steps;
}

Snapshot measure (const VyrAudioProcessor& p)
{
    Snapshot s;
    s.hasFile = p.fileLoaded && ! p.overviewMin.empty();
    s.medium = juce::jlimit (0, 7, p.mediumIndex.load());
    s.style = juce::jlimit (0, 6, p.styleIndex.load());
    s.targetLufs = vyrQuarn::kLufsOptions[juce::jlimit (0, 4, p.lufsIndex.load())];
    s.lufsMomentary = p.meters.lufsMomentary.load();
    s.lufsShort = p.meters.lufsShort.load();

    const float integrated = p.meters.lufsIntegrated.load();
    s.lufsKnown = integrated > -70.0f || p.sectionAnalysed;
    if (integrated > -70.0f)
        s.lufs = integrated;
    else if (p.sectionAnalysed)
        s.lufs = p.overallLufs;
    else
        s.lufs = s.targetLufs;   // assumed, and said so by the advice

    if (s.hasFile)
    {
        vyrMasterHypo::ensureEnv (p);
        const auto& env = vyrMasterHypo::messageEnv (p);
        s.clipShare = env.clipShare;
        s.crestDb = p.sectionAnalysed ? p.overallCrest : env.sourcePeakToRmsDb;
        s.modelCrestDb = env.crestDb;
    }

    const float sampleRate = (float) std::max (p.meters.sampleRate.load(), 8000.0);
    s.hasSignal = std::max (p.meters.outPeak[0].load(), p.meters.outPeak[1].load()) > 0.0001f;
    if (s.hasSignal)
    {
        std::array<float, kBins> spectrum;
        p.meters.copySpectrum (spectrum.data(), kBins);
        balanceFromSpectrum (spectrum.data(), sampleRate, s);
    }
    else
    {
        balanceFromEq (p, sampleRate, s);
    }
    return s;
}
} // namespace vyrMasterAssist
