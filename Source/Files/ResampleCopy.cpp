#include "Files/ResampleCopy.h"

namespace vyrAudioIo
{
void addDither (juce::AudioBuffer<float>& buffer, int numFrames, juce::Random& random) noexcept
{
    constexpr float step = 1.0f / 32768.0f;
    for (int ch = 0; ch < std::min (2, buffer.getNumChannels()); ++ch)
    {
        auto* d = buffer.getWritePointer (ch);
        for (int i = 0; i < numFrames; ++i)
        {
            const float a = random.nextFloat();
            const float b = random.nextFloat();
            d[i] += (a - b) * step;
        }
    }
}

juce::int64 resampledLength (juce::int64 length, double sourceRate, double targetRate) noexcept
{
    if (! (targetRate > 0.0))
        return length;
    const double source = sourceRate > 0.0 ? sourceRate : targetRate;
    return std::max ((juce::int64) 1, (juce::int64) std::llround ((double) length * targetRate / source));
}

bool copyResampled (juce::AudioFormatReader& source, StreamWriter& writer, double targetRate, bool dither, juce::Random& random)
{
    const juce::int64 length = source.lengthInSamples;
    if (length < 1)
        return false;
    const double sourceRate = source.sampleRate > 0.0 ? source.sampleRate : targetRate;
    const juce::int64 outLength = resampledLength (length, sourceRate, targetRate);
    const bool mono = source.numChannels < 2;
    constexpr int block = 4096;

    juce::AudioBuffer<float> in (2, block), out (2, block);

    if (std::abs (sourceRate - targetRate) < 0.5 || ! (targetRate > 0.0))
    {
        for (juce::int64 pos = 0; pos < length;)
        {
            const int n = (int) std::min ((juce::int64) block, length - pos);
            in.clear();
            source.read (&in, 0, n, pos, true, true);
            if (mono)
                in.copyFrom (1, 0, in, 0, 0, n);
            if (dither)
                addDither (in, n, random);
            if (! writer.write (in, n))
                return false;
            pos += n;
        }
        return true;
    }

    const double ratio = sourceRate / targetRate;
    const int readChunk = (int) std::ceil (ratio * block) + 256;
    juce::AudioBuffer<float> staging (2, readChunk + 8);
    std::vector<float> queue[2];
    for (auto& q : queue)
        q.reserve ((size_t) readChunk + 64);
    juce::WindowedSincInterpolator interp[2];

    juce::int64 readPos = 0, produced = 0;
    while (produced < outLength)
    {
        const int w = (int) std::min ((juce::int64) block, outLength - produced);
        const size_t wanted = (size_t) std::ceil (ratio * w) + 64;
        while (readPos < length && queue[0].size() < wanted)
        {
            const int n = (int) std::min ((juce::int64) readChunk, length - readPos);
            staging.clear();
            source.read (&staging, 0, n, readPos, true, true);
            for (int ch = 0; ch < 2; ++ch)
            {
                const float* s = staging.getReadPointer (mono ? 0 : ch);
                queue[ch].insert (queue[ch].end(), s, s + n);
            }
            readPos += n;
        }
        for (int ch = 0; ch < 2; ++ch)
        {
            auto& q = queue[ch];
            const int used = interp[ch].process (ratio, q.data(), out.getWritePointer (ch), w, (int) q.size(), 0);
            q.erase (q.begin(), q.begin() + std::min ((size_t) std::max (0, used), q.size()));
        }
        if (dither)
            addDither (out, w, random);
        if (! writer.write (out, w))
            return false;
        produced += w;
    }
    return true;
}
}
