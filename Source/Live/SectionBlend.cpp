// The glide between two sections of a loaded file: two factory presets blended straight into the chain.
#include "Live/SectionBlend.h"
#include "Dsp/SignalChain.h"
#include "Model/FactoryPresets.h"

namespace
{
struct Blend
{
    float t;
    bool aOn, bOn;

    bool enabled() const noexcept { return bOn || (aOn && t < 1.0f); }

    // The module's wet share: faded out when only A uses it, faded in when only B does.
    float mix (float fullA, float fullB) const noexcept
    {
        if (aOn && bOn) return fullA + (fullB - fullA) * t;
        if (aOn)        return (1.0f - t) * fullA;
        if (bOn)        return t * fullB;
        return 0.0f;
    }

    float value (float a, float b) const noexcept
    {
        if (aOn && bOn) return a + (b - a) * t;
        return (bOn && ! aOn) ? b : a;
    }

    template <typename T>
    T step (T a, T b) const noexcept
    {
        if (aOn && bOn) return t < 0.5f ? a : b;
        return (bOn && ! aOn) ? b : a;
    }
};

void blendMbcBand (const Blend& bl, vyrMbc::Band& band, float thA, float thB, float raA, float raB, float atA, float atB,
                   float reA, float reB, float mkA, float mkB)
{
    band.thresh = bl.value (thA, thB);
    band.ratio = bl.value (raA, raB);
    band.atk = bl.value (atA, atB);
    band.rel = bl.value (reA, reB);
    band.makeup = bl.value (mkA, mkB);
    band.on = true;
}
}

namespace vyrFactory
{
void blendMastering (VyrSignalChain& chain, int presetA, int presetB, float t)
{
    const auto& A = get (presetA);
    const auto& B = get (presetB);
    t = juce::jlimit (0.0f, 1.0f, t);

    // Parametric EQ
    {
        const Blend bl { t, A.eq_enabled, B.eq_enabled };
        auto& s = chain.parametricEq.state;
        s.enabled = bl.enabled();
        s.mix = bl.mix (A.eq_enabled ? 100.0f : 0.0f, B.eq_enabled ? 100.0f : 0.0f);
        auto& ch = s.main;
        ch.low.freq = bl.value (A.eq_lowFreq, B.eq_lowFreq);
        ch.low.gain = bl.value (A.eq_lowGain, B.eq_lowGain);
        ch.high.freq = bl.value (A.eq_highFreq, B.eq_highFreq);
        ch.high.gain = bl.value (A.eq_highGain, B.eq_highGain);
        ch.mids[0].freq = bl.value (A.eq_m0Freq, B.eq_m0Freq);
        ch.mids[0].gain = bl.value (A.eq_m0Gain, B.eq_m0Gain);
        ch.mids[0].q = bl.value (A.eq_m0Q, B.eq_m0Q);
        ch.mids[1].freq = bl.value (A.eq_m1Freq, B.eq_m1Freq);
        ch.mids[1].gain = bl.value (A.eq_m1Gain, B.eq_m1Gain);
        ch.mids[1].q = bl.value (A.eq_m1Q, B.eq_m1Q);
        s.bandCount = bl.step (A.eq_bandCount, B.eq_bandCount);
        ch.low.cut = bl.step (A.eq_lowCut, B.eq_lowCut);
        ch.midCount = std::max (s.bandCount, 3) - 2;
        ch.low.on = ch.high.on = ch.mids[0].on = ch.mids[1].on = true;
    }

    // Compressor
    {
        const Blend bl { t, A.compressor_enabled, B.compressor_enabled };
        auto& c = chain.compressor;
        c.enabled = bl.enabled();
        c.mix = bl.mix (A.compressor_enabled ? 1.0f : 0.0f, B.compressor_enabled ? 1.0f : 0.0f);
        c.threshold = bl.value (A.compressor_threshold, B.compressor_threshold);
        c.ratio = bl.value (A.compressor_ratio, B.compressor_ratio);
        c.attack = bl.value (A.compressor_attack, B.compressor_attack);
        c.release = bl.value (A.compressor_release, B.compressor_release);
        c.knee = bl.value (A.compressor_knee, B.compressor_knee);
        c.makeup = bl.value (A.compressor_makeup, B.compressor_makeup);
    }

    // Limiter
    {
        const Blend bl { t, A.limiter_enabled, B.limiter_enabled };
        auto& l = chain.limiter;
        l.enabled = bl.enabled();
        l.mix = bl.mix (A.limiter_enabled ? 1.0f : 0.0f, B.limiter_enabled ? 1.0f : 0.0f);
        l.ceiling = bl.value (A.limiter_ceiling, B.limiter_ceiling);
        l.release = bl.value (A.limiter_release, B.limiter_release);
        l.truePeak = bl.step (A.limiter_truePeak, B.limiter_truePeak);
        static const int factors[4] = { 1, 2, 4, 8 };
        l.oversampling = factors[juce::jlimit (0, 3, bl.step (A.limiter_oversampling, B.limiter_oversampling))];
    }

    // Tape
    {
        const Blend bl { t, A.tape_enabled, B.tape_enabled };
        auto& tp = chain.tape;
        tp.enabled = bl.enabled();
        tp.mix = bl.mix (A.tape_enabled ? A.tape_mix : 0.0f, B.tape_enabled ? B.tape_mix : 0.0f);
        tp.drive = bl.value (A.tape_drive, B.tape_drive);
        tp.bias = bl.value (A.tape_bias, B.tape_bias);
        tp.saturation = bl.value (A.tape_saturation, B.tape_saturation);
        tp.wow = bl.value (A.tape_wow, B.tape_wow);
        tp.flutter = bl.value (A.tape_flutter, B.tape_flutter);
        tp.noise = bl.value (A.tape_noise, B.tape_noise);
        const int speed = bl.step (A.tape_speed, B.tape_speed);
        tp.speed = speed == 0 ? 7.5f : (speed == 2 ? 30.0f : 15.0f);
    }

    // Saturation
    {
        const Blend bl { t, A.saturation_enabled, B.saturation_enabled };
        auto& s = chain.saturation;
        s.enabled = bl.enabled();
        s.mix = bl.mix (A.saturation_enabled ? A.saturation_mix : 0.0f, B.saturation_enabled ? B.saturation_mix : 0.0f);
        s.drive = bl.value (A.saturation_drive, B.saturation_drive);
        s.tone = bl.value (A.saturation_tone, B.saturation_tone);
        s.mode = bl.step (A.saturation_mode, B.saturation_mode);
    }

    // Analogue density
    {
        const Blend bl { t, A.analogueDensity_enabled, B.analogueDensity_enabled };
        auto& d = chain.analogueDensity;
        d.enabled = bl.enabled();
        d.mix = bl.mix (A.analogueDensity_enabled ? A.analogueDensity_mix * 0.01f : 0.0f,
                        B.analogueDensity_enabled ? B.analogueDensity_mix * 0.01f : 0.0f);
        d.density = bl.value (A.analogueDensity_density, B.analogueDensity_density);
        d.saturation = bl.value (A.analogueDensity_saturation, B.analogueDensity_saturation);
        d.pentode = bl.value (A.analogueDensity_pentode, B.analogueDensity_pentode);
        d.triode = bl.value (A.analogueDensity_triode, B.analogueDensity_triode);
        d.airAmount = bl.value (A.analogueDensity_airAmount, B.analogueDensity_airAmount);
        d.output = bl.value (A.analogueDensity_output, B.analogueDensity_output);
        d.inputGain = bl.value (A.analogueDensity_inputGain, B.analogueDensity_inputGain);
        d.air = bl.step (A.analogueDensity_air, B.analogueDensity_air);
        d.altTube = bl.step (A.analogueDensity_altTube, B.analogueDensity_altTube);
        d.calibration = bl.step (A.analogueDensity_calibration, B.analogueDensity_calibration);
    }

    // Multiband
    {
        const Blend bl { t, A.multiBandComp_enabled, B.multiBandComp_enabled };
        auto& s = chain.multiBandComp.state;
        s.enabled = bl.enabled();
        s.mix = bl.mix (A.multiBandComp_enabled ? 100.0f : 0.0f, B.multiBandComp_enabled ? 100.0f : 0.0f);
        s.xover[0] = bl.value (A.multiBandComp_x0, B.multiBandComp_x0);
        s.xover[1] = bl.value (A.multiBandComp_x1, B.multiBandComp_x1);
        s.xover[2] = bl.value (A.multiBandComp_x2, B.multiBandComp_x2);
        s.xover[3] = bl.value (A.multiBandComp_x3, B.multiBandComp_x3);
        s.globalMakeup = bl.value (A.multiBandComp_globalMakeup, B.multiBandComp_globalMakeup);
        blendMbcBand (bl, s.mid[0], A.multiBandComp_b0Thresh, B.multiBandComp_b0Thresh, A.multiBandComp_b0Ratio, B.multiBandComp_b0Ratio,
                      A.multiBandComp_b0Atk, B.multiBandComp_b0Atk, A.multiBandComp_b0Rel, B.multiBandComp_b0Rel, A.multiBandComp_b0Makeup, B.multiBandComp_b0Makeup);
        blendMbcBand (bl, s.mid[1], A.multiBandComp_b1Thresh, B.multiBandComp_b1Thresh, A.multiBandComp_b1Ratio, B.multiBandComp_b1Ratio,
                      A.multiBandComp_b1Atk, B.multiBandComp_b1Atk, A.multiBandComp_b1Rel, B.multiBandComp_b1Rel, A.multiBandComp_b1Makeup, B.multiBandComp_b1Makeup);
        blendMbcBand (bl, s.mid[2], A.multiBandComp_b2Thresh, B.multiBandComp_b2Thresh, A.multiBandComp_b2Ratio, B.multiBandComp_b2Ratio,
                      A.multiBandComp_b2Atk, B.multiBandComp_b2Atk, A.multiBandComp_b2Rel, B.multiBandComp_b2Rel, A.multiBandComp_b2Makeup, B.multiBandComp_b2Makeup);
        blendMbcBand (bl, s.mid[3], A.multiBandComp_b3Thresh, B.multiBandComp_b3Thresh, A.multiBandComp_b3Ratio, B.multiBandComp_b3Ratio,
                      A.multiBandComp_b3Atk, B.multiBandComp_b3Atk, A.multiBandComp_b3Rel, B.multiBandComp_b3Rel, A.multiBandComp_b3Makeup, B.multiBandComp_b3Makeup);
        s.bandCount = bl.step (A.multiBandComp_bandCount, B.multiBandComp_bandCount);
    }

    // Dynamic EQ
    {
        const Blend bl { t, A.dynamicEq_enabled, B.dynamicEq_enabled };
        auto& s = chain.dynamicEq.state;
        s.enabled = bl.enabled();
        s.mix = bl.mix (A.dynamicEq_enabled ? A.dynamicEq_mix : 0.0f, B.dynamicEq_enabled ? B.dynamicEq_mix : 0.0f);
        if (s.enabled)
        {
            auto& ch = s.main;
            ch.low.freq = bl.value (A.dynamicEq_lowFreq, B.dynamicEq_lowFreq);
            ch.low.thresh = bl.value (A.dynamicEq_lowThresh, B.dynamicEq_lowThresh);
            ch.low.ratio = bl.value (A.dynamicEq_lowRatio, B.dynamicEq_lowRatio);
            ch.mids[0].freq = bl.value (A.dynamicEq_m0Freq, B.dynamicEq_m0Freq);
            ch.mids[0].q = bl.value (A.dynamicEq_m0Q, B.dynamicEq_m0Q);
            ch.mids[0].thresh = bl.value (A.dynamicEq_m0Thresh, B.dynamicEq_m0Thresh);
            ch.mids[0].ratio = bl.value (A.dynamicEq_m0Ratio, B.dynamicEq_m0Ratio);
            ch.mids[1].freq = bl.value (A.dynamicEq_m1Freq, B.dynamicEq_m1Freq);
            ch.mids[1].q = bl.value (A.dynamicEq_m1Q, B.dynamicEq_m1Q);
            ch.mids[1].thresh = bl.value (A.dynamicEq_m1Thresh, B.dynamicEq_m1Thresh);
            ch.mids[1].ratio = bl.value (A.dynamicEq_m1Ratio, B.dynamicEq_m1Ratio);
            ch.high.freq = bl.value (A.dynamicEq_highFreq, B.dynamicEq_highFreq);
            ch.high.thresh = bl.value (A.dynamicEq_highThresh, B.dynamicEq_highThresh);
            ch.high.ratio = bl.value (A.dynamicEq_highRatio, B.dynamicEq_highRatio);
            s.bandCount = 4;
            ch.midCount = 2;
        }
    }

    // Stereo imager
    {
        const Blend bl { t, A.stereoImager_enabled, B.stereoImager_enabled };
        auto& im = chain.imager;
        im.enabled = bl.enabled();
        im.mix = bl.mix (A.stereoImager_enabled ? 1.0f : 0.0f, B.stereoImager_enabled ? 1.0f : 0.0f);
        auto width = [] (float w) { return w <= 0.01f ? 1.0f : w; };
        im.width = juce::jlimit (0.25f, 3.0f, bl.value (width (A.stereoImager_width), width (B.stereoImager_width)));
        im.spreadLo = -im.width;
        im.direction = 0.0f;
        im.split = true;
    }
}
}
