#include "Dsp/SignalChain.h"
#include <cmath>

namespace vyrChain
{
const char* const kFxOrder[kNumModules] = {
    "compressor", "saturation", "analogueDensity", "clip", "tape", "delay", "reverb",
    "eq", "dynamicEq", "multiBandComp", "tovu", "stereoImager", "limiter"
};

int moduleIndexOf (const juce::String& moduleId) noexcept
{
    for (int i = 0; i < kNumModules; ++i)
        if (moduleId == kFxOrder[i])
            return i;
    return -1;
}
}

namespace
{
// The module a single-effect product runs (index into the module table); -1 none, -2 all.
int productModule (int product) noexcept
{
    using namespace vyrChain;
    switch (product)
    {
        case 0: case 15: return -2;
        case 1: return compressorModule;
        case 2: return limiterModule;
        case 3: return saturationModule;
        case 4: return analogueDensityModule;
        case 5: return clipModule;
        case 6: return tapeModule;
        case 7: return delayModule;
        case 8: return reverbModule;
        case 9: return eqModule;
        case 10: return dynamicEqModule;
        case 11: return multiBandCompModule;
        case 12: return stereoImagerModule;
        case 13: return tovuModule;
        default: return -1;
    }
}
}

bool VyrSignalChain::productRuns (int index) const noexcept
{
    const int own = productModule (product);
    return own == -2 || own == index;
}

void VyrSignalChain::prepare (double sampleRate, int blockSize)
{
    const int block = std::max (1, blockSize);
    compressor.prepare (sampleRate, block);
    saturation.prepare (sampleRate, block);
    limiter.prepare (sampleRate, block);
    analogueDensity.prepare (sampleRate, block);
    clipper.prepare (sampleRate, block);
    tape.prepare (sampleRate, block);
    delay.prepare (sampleRate, block);
    reverb.prepare (sampleRate, block);
    parametricEq.prepare (sampleRate, block);
    dynamicEq.prepare (sampleRate, block);
    multiBandComp.prepare (sampleRate, block);
    imager.prepare (sampleRate, block);
    tovu.prepare (sampleRate, block);
    laneEq.prepare (sampleRate, block);

    const float fs = (float) std::max (sampleRate, 1.0);
    dcCoeff = std::exp (-16.0f * juce::MathConstants<float>::pi / fs);
    dcPrevIn[0] = dcPrevIn[1] = 0.0f;
    dcPrevOut[0] = dcPrevOut[1] = 0.0f;
}

int VyrSignalChain::getLatencySamples() const noexcept
{
    return productRuns (vyrChain::limiterModule) ? limiter.getLatencySamples() : 0;
}

int VyrSignalChain::latencyForSettings (double sampleRate, int oversampling, bool truePeak, float lookaheadMs) const noexcept
{
    return productRuns (vyrChain::limiterModule) ? VyrLimiter::latencyForSettings (sampleRate, oversampling, truePeak, lookaheadMs) : 0;
}

void VyrSignalChain::runModule (const juce::String& moduleId, juce::AudioBuffer<float>& buffer)
{
    const int index = vyrChain::moduleIndexOf (moduleId);
    if (index >= 0 && productRuns (index))
        runModuleIndex (index, buffer);
}

void VyrSignalChain::runModuleIndex (int index, juce::AudioBuffer<float>& buffer)
{
    using namespace vyrChain;
    switch (index)
    {
        case compressorModule:
            compressor.process (buffer);
            compressorGr.store (compressor.grDb, std::memory_order_relaxed);
            break;
        case saturationModule:       saturation.process (buffer); break;
        case analogueDensityModule:  analogueDensity.process (buffer); break;
        case clipModule:             clipper.process (buffer); break;
        case tapeModule:             tape.process (buffer); break;
        case delayModule:            delay.process (buffer); break;
        case reverbModule:           reverb.process (buffer); break;
        case eqModule:               parametricEq.process (buffer); break;
        case dynamicEqModule:        dynamicEq.process (buffer); break;
        case multiBandCompModule:    multiBandComp.process (buffer); break;
        case tovuModule:             tovu.process (buffer); break;
        case stereoImagerModule:     imager.process (buffer); break;
        case limiterModule:
            if (product == 15)
                laneEq.process (buffer);
            limiter.process (buffer);
            break;
        default: break;
    }
}

namespace
{
    // y[i] = c y[i-1] + (x[i] - x[i-1]) over one channel, four samples at a time. Within a group, with
    // q the recursion started from zero, y[k] = c^(k+1) Y + q[k] where Y is the last output of the
    // group before; only the one multiply-add that forms the group's last output waits on the group
    // before, instead of one per sample, so independent work fills the wait. No fused multiply-add
    // (without -mfma it is a library call).
    // The grouping rounds differently from the sample-by-sample recursion; on program material the two
    // differ by less than -100 dB relative to the signal (tested).
    struct DcGroupCoefficients
    {
        float c1, c2, c3, c4;

        explicit DcGroupCoefficients (float c) noexcept
            : c1 (c), c2 ((float) ((double) c * c)), c3 ((float) ((double) c * c * c)), c4 ((float) ((double) c * c * c * c))
        {
        }
    };

    inline void dcBlockGroup (const DcGroupCoefficients& k, float* d, float& x1, float& y1) noexcept
    {
        const float x0 = d[0], xa = d[1], xb = d[2], xc = d[3];
        const float d0 = x0 - x1, d1 = xa - x0, d2 = xb - xa, d3 = xc - xb;
        const float q1 = k.c1 * d0 + d1;
        const float q2 = k.c1 * q1 + d2;
        const float q3 = k.c1 * q2 + d3;
        const float y = y1;
        d[0] = k.c1 * y + d0;
        d[1] = k.c2 * y + q1;
        d[2] = k.c3 * y + q2;
        y1 = k.c4 * y + q3;
        d[3] = y1;
        x1 = xc;
    }

    inline void dcBlockTail (float c, float* d, int n, float& x1, float& y1) noexcept
    {
        for (int i = 0; i < n; ++i)
        {
            const float x = d[i];
            const float y = c * y1 + (x - x1);
            d[i] = y;
            x1 = x;
            y1 = y;
        }
    }
}

void VyrSignalChain::runDcBlocker (juce::AudioBuffer<float>& buffer) noexcept
{
    const int n = buffer.getNumSamples();
    const int channels = std::min (2, buffer.getNumChannels());
    if (channels == 0 || n <= 0)
        return;

    const float c = dcCoeff;
    const DcGroupCoefficients k (c);
    const int whole = n - n % 4;
    // A stereo pair runs in one loop, so the two recursions overlap instead of waiting on each other.
    float* l = buffer.getWritePointer (0);
    float* r = channels == 2 ? buffer.getWritePointer (1) : nullptr;
    float xl1 = dcPrevIn[0], yl1 = dcPrevOut[0], xr1 = dcPrevIn[1], yr1 = dcPrevOut[1];
    if (r != nullptr)
    {
        for (int i = 0; i < whole; i += 4)
        {
            dcBlockGroup (k, l + i, xl1, yl1);
            dcBlockGroup (k, r + i, xr1, yr1);
        }
        dcBlockTail (c, r + whole, n - whole, xr1, yr1);
    }
    else
    {
        for (int i = 0; i < whole; i += 4)
            dcBlockGroup (k, l + i, xl1, yl1);
    }
    dcBlockTail (c, l + whole, n - whole, xl1, yl1);
    dcPrevIn[0] = xl1; dcPrevOut[0] = yl1;
    dcPrevIn[1] = xr1; dcPrevOut[1] = yr1;

    // A non-finite sample must not hold the blocker's memory.
    for (int ch = 0; ch < 2; ++ch)
    {
        dcPrevIn[ch] = std::isfinite (dcPrevIn[ch]) ? dcPrevIn[ch] : 0.0f;
        dcPrevOut[ch] = std::isfinite (dcPrevOut[ch]) ? dcPrevOut[ch] : 0.0f;
    }
}

void VyrSignalChain::process (juce::AudioBuffer<float>& buffer, const int* order)
{
    const int channels = buffer.getNumChannels();
    const int n = buffer.getNumSamples();

    // The DC blocker normally closes the chain. When the limiter is the last module that runs, it
    // moves in front of it instead, so nothing after the limiter changes its samples: the ceiling
    // and a dither grid hold at the plug-in's output.
    bool dcBeforeLimiter = false;
    outputScaleOfLimiter = -1.0f;
    if (! bypass)
    {
        auto moduleAt = [order] (int i) { return order == nullptr ? i : juce::jlimit (0, 12, order[i]); };
        int lastRun = -1;
        for (int i = 0; i < vyrChain::kNumModules; ++i)
            if (productRuns (moduleAt (i)))
                lastRun = moduleAt (i);
        dcBeforeLimiter = lastRun == vyrChain::limiterModule;

        bool dcDone = false;
        for (int i = 0; i < vyrChain::kNumModules; ++i)
        {
            const int index = moduleAt (i);
            if (! productRuns (index))
                continue;
            if (index == vyrChain::limiterModule && dcBeforeLimiter && ! dcDone)
            {
                runDcBlocker (buffer);
                dcDone = true;
            }
            runModuleIndex (index, buffer);
        }

        if (mono && channels > 1)
        {
            auto* l = buffer.getWritePointer (0);
            auto* r = buffer.getWritePointer (1);
            for (int i = 0; i < n; ++i)
                l[i] = r[i] = 0.5f * (l[i] + r[i]);
            buffer.setNotClear();
        }
    }

    if (channels >= 1 && ! buffer.hasBeenCleared())
    {
        const float gainR = linkLR ? outputGainL : outputGainR;
        if (dcBeforeLimiter && ! (mono && channels > 1) && channels <= 2 && (channels == 1 || gainR == outputGainL)
            && limiter.lastBlockTruePeak() >= 0.0f && outputGainL >= 0.0f)
            outputScaleOfLimiter = outputGainL;
        // A gain of exactly 1 leaves every sample as it is.
        if (outputGainL != 1.0f)
            juce::FloatVectorOperations::multiply (buffer.getWritePointer (0), outputGainL, n);
        if (channels >= 2 && gainR != 1.0f)
            juce::FloatVectorOperations::multiply (buffer.getWritePointer (1), gainR, n);
    }

    if (channels >= 1)
    {
        if (! dcBeforeLimiter)
            runDcBlocker (buffer);
        buffer.setNotClear();
    }
}
