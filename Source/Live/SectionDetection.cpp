#include "Live/SectionDetection.h"
#include "Core/PluginProcessor.h"

namespace vyrSection
{
namespace
{
// Sum of squared deviations from the mean over env[d, e), from prefix sums.
double spread (const std::vector<double>& sum, const std::vector<double>& sumSq, int d, int e)
{
    const int length = e - d;
    const double s = sum[(size_t) e] - sum[(size_t) d];
    const double q = sumSq[(size_t) e] - sumSq[(size_t) d];
    const double divisor = length < 2 ? 1.0 : (double) length;
    return std::max (0.0, q - s * s / divisor);
}

float levelDb (double v)
{
    return v > 1.0e-8 ? (float) (20.0 * std::log10 (v)) : -100.0f;
}
}

Detection detect (const std::vector<float>& overviewMax, const std::vector<float>& overviewMin, int wanted)
{
    Detection d;
    const int n = (int) overviewMax.size();
    if (n == 0)
        return d;
    const int groups = juce::jlimit (1, 7, wanted);

    std::vector<double> env ((size_t) n);
    double prev = 0.0, envSum = 0.0;
    for (int i = 0; i < n; ++i)
    {
        prev = 0.4 * prev + 0.6 * std::abs ((double) overviewMax[(size_t) i]);
        env[(size_t) i] = prev;
        envSum += prev;
    }
    const double meanEnv = envSum / n;

    std::vector<double> sum ((size_t) n + 1, 0.0), sumSq ((size_t) n + 1, 0.0);
    for (int i = 0; i < n; ++i)
    {
        sum[(size_t) i + 1] = sum[(size_t) i] + env[(size_t) i];
        sumSq[(size_t) i + 1] = sumSq[(size_t) i] + env[(size_t) i] * env[(size_t) i];
    }

    std::vector<int> bounds { 0, n };
    if (groups >= 2)
    {
        const int minPart = std::max (n / (4 * groups), 8);
        while ((int) bounds.size() <= groups)
        {
            double bestGain = 0.0;
            int bestCut = -1;
            size_t bestSegment = 0;
            for (size_t s = 0; s + 1 < bounds.size(); ++s)
            {
                const int a = bounds[s], b = bounds[s + 1];
                if (b - a < 2 * minPart)
                    continue;
                const double whole = spread (sum, sumSq, a, b);
                for (int m = a + minPart; m < b - minPart; ++m)
                {
                    const double gain = whole - spread (sum, sumSq, a, m) - spread (sum, sumSq, m, b);
                    if (gain > bestGain)
                    {
                        bestGain = gain;
                        bestCut = m;
                        bestSegment = s;
                    }
                }
            }
            if (bestCut < 0)
                break;
            bounds.insert (bounds.begin() + (std::ptrdiff_t) bestSegment + 1, bestCut);
        }
    }

    d.count = std::max (2, (int) bounds.size()) - 1;
    for (int k = 0; k + 1 < d.count; ++k)
        d.cues[(size_t) k] = (float) bounds[(size_t) k + 1] / (float) n;

    std::vector<double> db ((size_t) n);
    double dbSum = 0.0;
    for (int i = 0; i < n; ++i)
    {
        db[(size_t) i] = levelDb (env[(size_t) i]);
        dbSum += db[(size_t) i];
    }
    const double mean = dbSum / n;
    double dev = 0.0;
    for (int i = 0; i < n; ++i)
        dev += (db[(size_t) i] - mean) * (db[(size_t) i] - mean);
    const double spreadDb = juce::jlimit (1.5, 6.0, 0.6 * std::sqrt (dev / n));

    d.effectLevels.resize ((size_t) d.count);
    for (int k = 0; k < d.count; ++k)
    {
        const int a = bounds[(size_t) k], b = bounds[(size_t) k + 1];
        const double divisor = b - a < 2 ? 1.0 : (double) (b - a);
        double u = 0.0, v = 0.0;
        for (int i = a; i < b; ++i)
        {
            u += db[(size_t) i];
            v += env[(size_t) i];
        }
        u /= divisor;
        v /= divisor;

        const int cls = u < mean - spreadDb ? 0 : (u > mean + spreadDb ? 2 : 1);
        d.classes[(size_t) k] = cls;
        const bool outer = k == 0 || k == d.count - 1;
        d.presets[(size_t) k] = cls == 0 ? 9 : (cls == 2 ? (outer ? 1 : 8) : (outer ? 12 : 1));
        d.lufs[(size_t) k] = (float) (u - 0.691);
        d.effectLevels[(size_t) k] = juce::jlimit (-50.0f, 50.0f, (float) (18.0 * (v - meanEnv) / std::max (meanEnv, 1.0e-4)));
    }

    d.overallLufs = (float) (mean - 0.691);
    float peak = 0.0f;
    for (auto x : overviewMax)
        peak = std::max (peak, std::abs (x));
    for (auto x : overviewMin)
        peak = std::max (peak, std::abs (x));
    d.overallCrest = levelDb (peak) - levelDb (meanEnv);
    return d;
}
}

void VyrAudioProcessor::detectSections()
{
    if (overviewMax.empty() || ! fileLoaded)
        return;

    const auto d = vyrSection::detect (overviewMax, overviewMin, section.count);
    section.count = d.count;
    std::array<float, 6> cues {};
    for (int k = 0; k < 6; ++k)
    {
        if (k < d.count - 1)
            section.cues[k] = d.cues[(size_t) k];
        cues[(size_t) k] = section.cues[k];
        section.glides[k] = 0.35f;
    }
    for (int k = 0; k < 7; ++k)
    {
        section.assign[k] = k;
        if (k < d.count)
        {
            section.letters[k] = d.presets[(size_t) k];
            sectionClass[k] = d.classes[(size_t) k];
            sectionLufs[k] = d.lufs[(size_t) k];
        }
    }
    vyrSection::automationPlanes (section.autoFx, d.effectLevels, cues, d.count);
    const std::vector<float> zeros ((size_t) d.count, 0.0f);
    vyrSection::automationPlanes (section.autoIn, zeros, cues, d.count);
    vyrSection::automationPlanes (section.autoOut, zeros, cues, d.count);
    section.enabled = true;
    sectionAnalysed = true;
    overallLufs = d.overallLufs;
    overallCrest = d.overallCrest;
    publishChainShared();
}
