#include "Files/FileSummary.h"

namespace vyrAudioIo
{
juce::int64 envelopeStride (juce::int64 length) noexcept
{
    return std::max ((juce::int64) 16, length / 262144);
}

FileSummary summarise (juce::AudioFormatReader& reader)
{
    FileSummary s;
    s.overviewMin.assign (FileSummary::kOverviewBins, 0.0f);
    s.overviewMax.assign (FileSummary::kOverviewBins, 0.0f);
    const juce::int64 length = reader.lengthInSamples;
    if (length <= 0)
        return s;

    const juce::int64 binSize = std::max ((juce::int64) 1, length / FileSummary::kOverviewBins);
    const juce::int64 stride = envelopeStride (length);
    const auto entries = (size_t) ((length + stride - 1) / stride);
    s.envelopeMin.assign (entries, 0.0f);
    s.envelopeMax.assign (entries, 0.0f);

    const int channels = std::max (1, (int) reader.numChannels);
    constexpr int block = 8192;
    juce::AudioBuffer<float> buffer (std::min (channels, 2), block);
    std::vector<bool> binSeen (FileSummary::kOverviewBins, false);

    float winMin = 0.0f, winMax = 0.0f;
    juce::int64 winCount = 0;
    size_t envIndex = 0;

    for (juce::int64 pos = 0; pos < length; pos += block)
    {
        const int n = (int) std::min ((juce::int64) block, length - pos);
        buffer.clear();
        reader.read (&buffer, 0, n, pos, true, true);
        const float* l = buffer.getReadPointer (0);
        const float* r = buffer.getNumChannels() > 1 && reader.numChannels > 1 ? buffer.getReadPointer (1) : nullptr;

        juce::int64 bin = std::min (pos / binSize, (juce::int64) FileSummary::kOverviewBins - 1);
        juce::int64 binEnd = bin == FileSummary::kOverviewBins - 1 ? length : (bin + 1) * binSize;
        for (int i = 0; i < n; ++i)
        {
            const float v = r != nullptr ? (l[i] + r[i]) * 0.5f : l[i];
            const juce::int64 at = pos + i;
            if (at >= binEnd)
            {
                ++bin;
                binEnd = bin == FileSummary::kOverviewBins - 1 ? length : (bin + 1) * binSize;
            }
            auto& mn = s.overviewMin[(size_t) bin];
            auto& mx = s.overviewMax[(size_t) bin];
            if (! binSeen[(size_t) bin])
            {
                binSeen[(size_t) bin] = true;
                mn = mx = v;
            }
            else
            {
                mn = std::min (mn, v);
                mx = std::max (mx, v);
            }

            if (winCount == 0)
                winMin = winMax = v;
            else
            {
                winMin = std::min (winMin, v);
                winMax = std::max (winMax, v);
            }
            if (++winCount == stride)
            {
                s.envelopeMin[envIndex] = winMin;
                s.envelopeMax[envIndex] = winMax;
                ++envIndex;
                winCount = 0;
            }
        }
    }
    if (winCount > 0 && envIndex < entries)
    {
        s.envelopeMin[envIndex] = winMin;
        s.envelopeMax[envIndex] = winMax;
    }
    return s;
}
}
