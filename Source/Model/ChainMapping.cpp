// The per-block mapping of parameter values into the chain's settings.
#include "Model/ChainMapping.h"
#include "Core/PluginProcessor.h"
#include "Model/QuarnPresets.h"

int VyrParamRef::index (int count) const noexcept
{
    return vyrParams::choiceIndex (get(), count);
}

int VyrMappingParams::limiterOversampling() const noexcept
{
    static const int factors[4] = { 1, 2, 4, 8 };
    return limOversampling.present() ? factors[juce::jlimit (0, 3, (int) std::nearbyint (limOversampling.get()))] : 1;
}

void VyrMappingParams::build (juce::AudioProcessorValueTreeState& tree)
{
    auto ref = [&tree] (VyrParamRef& r, const char* id, float fallback)
    {
        r.value = tree.getRawParameterValue (id);
        r.fallback = fallback;
    };

    ref (bypass, "bypass", 0.0f); ref (mono, "mono", 0.0f); ref (linkLR, "linkLR", 1.0f);
    ref (inputGainL, "inputGainL", 0.0f); ref (inputGainR, "inputGainR", 0.0f);
    ref (outputGainL, "outputGainL", 0.0f); ref (outputGainR, "outputGainR", 0.0f);
    ref (masterTrim, "masterTrim", 0.0f); ref (liveAnalysis, "liveAnalysis", 0.0f);
    ref (theme, "theme", 0.0f); ref (masterMedium, "masterMedium", 3.0f);
    ref (masterStyle, "masterStyle", 5.0f); ref (masterLufs, "masterLufs", 2.0f);
    ref (quarnSpaceAng, "quarn_spaceAng", 0.0f); ref (quarnSpaceRad, "quarn_spaceRad", 0.0f);
    ref (quarnReverbRad, "quarn_reverbRad", 0.0f); ref (quarnEqAng, "quarn_eqAng", 0.0f);

    ref (cmpEnabled, "compressor_enabled", 0.0f); ref (cmpThreshold, "compressor_threshold", -18.0f);
    ref (cmpRatio, "compressor_ratio", 4.0f); ref (cmpAttack, "compressor_attack", 0.003f);
    ref (cmpRelease, "compressor_release", 0.25f); ref (cmpKnee, "compressor_knee", 30.0f);
    ref (cmpMakeup, "compressor_makeup", 0.0f); ref (cmpMix, "compressor_mix", 100.0f);
    ref (cmpModel, "compressor_model", 1.0f); ref (cmpCharacter, "compressor_character", 0.0f);

    ref (limEnabled, "limiter_enabled", 1.0f); ref (limInputGain, "limiter_inputGain", 0.0f);
    ref (limCeiling, "limiter_ceiling", -0.1f); ref (limRelease, "limiter_release", 0.05f);
    ref (limReleaseMode, "limiter_releaseMode", 0.0f); ref (limLookahead, "limiter_lookahead", 0.0f);
    ref (limStereoLink, "limiter_stereoLink", 100.0f); ref (limMix, "limiter_mix", 100.0f);
    ref (limOutputGain, "limiter_outputGain", 0.0f); ref (limTruePeak, "limiter_truePeak", 0.0f);
    ref (limDcBlocker, "limiter_dcBlocker", 1.0f); ref (limMsMode, "limiter_msMode", 0.0f);
    ref (limOversampling, "limiter_oversampling", 0.0f); ref (limStyle, "limiter_style", 0.0f);
    ref (limStyleXfade, "limiter_styleXfade", 0.0f); ref (limStylePos, "limiter_stylePos", 0.0f);
    ref (limDither, "limiter_dither", 0.0f); ref (limNoiseShape, "limiter_noiseShape", 0.0f);
    ref (limReleaseShape, "limiter_releaseShape", 1.0f); ref (limScale, "limiter_scale", 0.0f);

    ref (satEnabled, "saturation_enabled", 0.0f); ref (satDrive, "saturation_drive", 0.4f);
    ref (satGrit, "saturation_grit", 0.0f); ref (satMix, "saturation_mix", 0.5f);
    ref (satTone, "saturation_tone", 12000.0f); ref (satOutput, "saturation_output", 1.0f);
    ref (satMode, "saturation_mode", 0.0f);

    ref (denEnabled, "analogueDensity_enabled", 0.0f); ref (denInputGain, "analogueDensity_inputGain", 0.0f);
    ref (denDensity, "analogueDensity_density", 0.0f); ref (denSaturation, "analogueDensity_saturation", 0.0f);
    ref (denPentode, "analogueDensity_pentode", 0.0f); ref (denTriode, "analogueDensity_triode", 0.0f);
    ref (denOutput, "analogueDensity_output", 5.0f); ref (denMix, "analogueDensity_mix", 20.0f);
    ref (denAir, "analogueDensity_air", 0.0f); ref (denAirAmount, "analogueDensity_airAmount", 0.0f);
    ref (denSatIn, "analogueDensity_satIn", 1.0f); ref (denAltTube, "analogueDensity_altTube", 0.0f);
    ref (denCalibration, "analogueDensity_calibration", 1.0f);

    ref (clpEnabled, "clip_enabled", 0.0f); ref (clpInputGain, "clip_inputGain", 0.0f);
    ref (clpDrive, "clip_drive", 0.0f); ref (clpSymmetry, "clip_symmetry", 0.0f);
    ref (clpMix, "clip_mix", 0.2f); ref (clpOutputGain, "clip_outputGain", 0.0f);
    ref (clpFilterFreq, "clip_clipFilterFreq", 4400.0f); ref (clpFilterType, "clip_clipFilterType", 0.0f);
    ref (clpTone, "clip_tone", 170.0f); ref (clpShelfFreq, "clip_highShelfFreq", 980.0f);
    ref (clpShelfGain, "clip_highShelfGain", 0.0f); ref (clpLpFreq, "clip_lpFilterFreq", 6600.0f);

    ref (tpeEnabled, "tape_enabled", 0.0f); ref (tpeSpeed, "tape_speed", 1.0f);
    ref (tpeInputGain, "tape_inputGain", 0.0f); ref (tpeDrive, "tape_drive", 0.4f);
    ref (tpeSaturation, "tape_saturation", 0.5f); ref (tpeBias, "tape_bias", 0.55f);
    ref (tpeHysteresis, "tape_hysteresis", 0.25f); ref (tpeWow, "tape_wow", 0.15f);
    ref (tpeFlutter, "tape_flutter", 0.08f); ref (tpeNoise, "tape_noise", 0.08f);
    ref (tpeMix, "tape_mix", 0.5f); ref (tpeOutputGain, "tape_outputGain", 0.0f);

    ref (delEnabled, "delay_enabled", 0.0f); ref (delTime, "delay_time", 0.25f);
    ref (delFeedback, "delay_feedback", 0.3f); ref (delMix, "delay_mix", 0.2f);
    ref (delXfadeMs, "delay_xfadeMs", 15.0f); ref (delBpm, "delay_bpm", 120.0f);
    ref (delSyncNote, "delay_syncNote", 0.0f);

    ref (revEnabled, "reverb_enabled", 0.0f); ref (revDecay, "reverb_decay", 1.5f);
    ref (revSize, "reverb_size", 0.5f); ref (revDiffuse, "reverb_diffuse", 0.78f);
    ref (revColor, "reverb_color", 0.55f); ref (revLoFactor, "reverb_loFactor", 0.35f);
    ref (revHiFactor, "reverb_hiFactor", 0.45f); ref (revEarly, "reverb_earlyLevel", 0.55f);
    ref (revLate, "reverb_lateLevel", 1.18f); ref (revMix, "reverb_mix", 0.2f);
    ref (revPredelay, "reverb_predelay", 0.0f); ref (revLpf, "reverb_lpf", 18000.0f);
    ref (revRadicalness, "reverb_radicalness", 0.0f); ref (revLowCut, "reverb_lowCut", 20.0f);
    ref (revShelfFreq, "reverb_highShelfFreq", 8000.0f); ref (revShelfGain, "reverb_highShelfGain", 0.0f);
    ref (revFreeze, "reverb_freeze", 0.0f); ref (revMonoCompatible, "reverb_monoCompatible", 0.0f);
    ref (revShape, "reverb_shape", 1.0f);

    ref (imgEnabled, "stereoImager_enabled", 0.0f); ref (imgWidth, "stereoImager_width", 1.0f);
    ref (imgSpreadLo, "stereoImager_spreadLo", -1.0f); ref (imgDirection, "stereoImager_direction", 0.0f);
    ref (imgCrossover, "stereoImager_crossover", 200.0f); ref (imgMix, "stereoImager_mix", 100.0f);
    ref (imgInputMs, "stereoImager_inputMs", 0.0f); ref (imgSplit, "stereoImager_split", 1.0f);

    ref (tovEnabled, "tovu_enabled", 0.0f); ref (tovFrequency, "tovu_frequency", 120.0f);
    ref (tovWidth, "tovu_width", 0.0f); ref (tovSlope, "tovu_slope", 1.0f);

    eq.build (tree, false);
    dynamicEq.build (tree, true);
    mbc.build (tree);
}

namespace
{
float wrapTurn (float x) noexcept
{
    if (! std::isfinite (x))
        return 0.0f;
    float a = x - std::floor (x);
    if (a < 0.0f)
        a += 1.0f;
    return a >= 1.0f ? 0.0f : a;
}

}

void VyrAudioProcessor::syncChainFromApvts()
{
    const auto& m = mapParams;
    if (m.theme.present())        themeIndex.store (m.theme.index (6), std::memory_order_release);
    if (m.masterMedium.present()) mediumIndex.store (m.masterMedium.index (8), std::memory_order_release);
    if (m.masterStyle.present())  styleIndex.store (m.masterStyle.index (7), std::memory_order_release);
    if (m.masterLufs.present())   lufsIndex.store (m.masterLufs.index (5), std::memory_order_release);
    fillChainFromApvts (liveChain);
}

void VyrAudioProcessor::fillChainFromApvts (VyrSignalChain& chain)
{
    const auto& m = mapParams;
    const bool isLive = &chain == &liveChain;
    const int n = smoothBlockSamples;
    const bool rampEnergy = isLive && n >= 1 && energySmooth.ready;
    const bool rampSpace = isLive && n >= 1 && spaceSmooth.ready;

    auto energy = [&] (int i, float target) { return isLive ? energySmooth.next (energySmooth.values[i], target, n, rampEnergy) : target; };
    auto space = [&] (int i, float target) { return isLive ? spaceSmooth.next (spaceSmooth.values[i], target, n, rampSpace) : target; };

    // Chain level
    chain.bypass = m.bypass.on();
    chain.mono = m.mono.on();
    chain.linkLR = m.linkLR.on();
    chain.inputGainL = vyrDsp::dbToGain (m.inputGainL.get());
    chain.inputGainR = vyrDsp::dbToGain (m.inputGainR.get());
    chain.outputGainL = vyrDsp::dbToGain (m.outputGainL.get());
    chain.outputGainR = vyrDsp::dbToGain (m.outputGainR.get());

    // Compressor
    {
        auto& c = chain.compressor;
        c.enabled = m.cmpEnabled.on();
        c.mix = m.cmpMix.get() * 0.01f;
        c.threshold = energy (4, m.cmpThreshold.get());
        c.ratio = energy (2, m.cmpRatio.get());
        c.attack = energy (0, m.cmpAttack.get());
        c.release = energy (1, m.cmpRelease.get());
        c.knee = energy (3, m.cmpKnee.get());
        c.makeup = energy (5, m.cmpMakeup.get());

        const int wanted = m.cmpCharacter.index (5);
        if (! isLive)
        {
            c.character = wanted;
            c.model = m.cmpModel.get();
        }
        else
        {
            const float model = juce::jlimit (0.0f, 1.0f, m.cmpModel.get());
            auto& blend = energySmooth.values[6];
            if (! rampEnergy)
            {
                compressorCharacter = wanted;
                blend.setCurrentAndTargetValue (model);
                c.character = wanted;
                c.model = model;
            }
            else if (wanted == compressorCharacter || blend.getCurrentValue() <= 0.04f)
            {
                compressorCharacter = wanted;
                c.character = compressorCharacter;
                c.model = energySmooth.next (blend, model, n, true);
            }
            else
            {
                // Fade the model blend out under the old character before switching.
                c.character = compressorCharacter;
                c.model = energySmooth.next (blend, 0.0f, n, true);
            }
            compressorCharacterRequested = wanted;
        }
    }

    // Limiter
    {
        auto& l = chain.limiter;
        l.enabled = m.limEnabled.on();
        l.inputGain = m.limInputGain.get();
        l.ceiling = m.limCeiling.get();
        l.release = m.limRelease.get();
        l.releaseMode = m.limReleaseMode.index (2);
        l.lookahead = m.limLookahead.get();
        l.stereoLink = m.limStereoLink.get();
        l.mix = m.limMix.get() * 0.01f;
        l.outputGain = m.limOutputGain.get();
        l.truePeak = m.limTruePeak.on();
        l.dcBlocker = m.limDcBlocker.on();
        l.msMode = m.limMsMode.on();
        l.oversampling = m.limiterOversampling();
        l.style = m.limStyle.index (5);
        l.styleXfade = m.limStyleXfade.on();
        l.stylePos = l.styleXfade ? (m.limStylePos.present() ? m.limStylePos.get() : (float) l.style) : (float) l.style;
        l.dither = m.limDither.index (3);
        l.noiseShape = m.limNoiseShape.index (4);
        l.releaseShape = m.limReleaseShape.index (3);
        l.scale = m.limScale.index (6);
    }

    // Saturation
    {
        auto& s = chain.saturation;
        s.enabled = m.satEnabled.on();
        if (m.satMode.present())
            s.mode = m.satMode.index (5);
        s.drive = m.satDrive.get();
        s.grit = m.satGrit.get();
        s.mix = m.satMix.get();
        s.output = m.satOutput.get();
        s.tone = m.satTone.get();
    }

    // Analogue density
    {
        auto& d = chain.analogueDensity;
        d.enabled = m.denEnabled.on();
        d.satIn = m.denSatIn.on();
        d.altTube = m.denAltTube.on();
        d.air = m.denAir.on();
        d.density = m.denDensity.get();
        d.saturation = m.denSaturation.get();
        d.pentode = m.denPentode.get();
        d.triode = m.denTriode.get();
        d.output = m.denOutput.get();
        d.airAmount = m.denAirAmount.get();
        d.mix = m.denMix.get() * 0.01f;
        d.inputGain = m.denInputGain.get();
        if (m.denCalibration.present())
            d.calibration = m.denCalibration.index (3);
    }

    // Clipper
    {
        auto& c = chain.clipper;
        c.enabled = m.clpEnabled.on();
        c.drive = m.clpDrive.get();
        c.mix = m.clpMix.get();
        c.symmetry = m.clpSymmetry.get();
        c.inputGain = m.clpInputGain.get();
        c.outputGain = m.clpOutputGain.get();
        if (m.clpFilterType.present())
            c.clipFilterType = m.clpFilterType.index (2);
        c.clipFilterFreq = m.clpFilterFreq.get();
        c.tone = m.clpTone.get();
        c.highShelfFreq = m.clpShelfFreq.get();
        c.lpFilterFreq = m.clpLpFreq.get();
        c.highShelfGain = m.clpShelfGain.get();
    }

    // Tape
    {
        auto& t = chain.tape;
        t.enabled = m.tpeEnabled.on();
        t.drive = m.tpeDrive.get();
        t.saturation = m.tpeSaturation.get();
        t.bias = m.tpeBias.get();
        t.hysteresis = m.tpeHysteresis.get();
        t.wow = m.tpeWow.get();
        t.flutter = m.tpeFlutter.get();
        t.noise = m.tpeNoise.get();
        t.mix = m.tpeMix.get();
        t.inputGain = m.tpeInputGain.get();
        t.outputGain = m.tpeOutputGain.get();
        if (m.tpeSpeed.present())
        {
            const int s = m.tpeSpeed.index (3);
            t.speed = s == 0 ? 7.5f : (s == 2 ? 30.0f : 15.0f);
        }
    }

    // Delay
    {
        auto& d = chain.delay;
        d.mix = m.delMix.get();
        float time = m.delTime.get(), feedback = m.delFeedback.get(), xfade = m.delXfadeMs.get();
        bool on = m.delEnabled.on();
        if (product == vyrProducts::quarn && m.quarnSpaceAng.present())
        {
            vyrQuarn::spaceDelayParams (m.quarnSpaceAng.get(), m.quarnSpaceRad.get(), time, feedback, xfade, on);
        }
        else
        {
            time = vyrDelay::syncedTime (time, m.delBpm.get(), m.delSyncNote.index (7));
        }
        d.enabled = on;
        if (isLive)
        {
            feedback = juce::jlimit (0.0f, 0.9f, space (1, feedback));
            xfade = space (2, xfade);
            time = space (0, time);
        }
        else
        {
            feedback = juce::jlimit (0.0f, 0.9f, feedback);
        }
        d.feedback = feedback;
        d.xfadeMs = xfade;
        d.time = juce::jlimit (0.01f, 1.5f, time);
    }

    // Reverb
    {
        VyrReverbEngine::Params p;
        p.enabled = m.revEnabled.on();
        p.shape = m.revShape.present() ? m.revShape.index (3) : 1;
        p.size = space (3, m.revSize.get());
        p.diffuse = space (5, m.revDiffuse.get());
        p.color = m.revColor.get();
        p.loFactor = m.revLoFactor.get();
        p.hiFactor = space (6, m.revHiFactor.get());
        p.earlyLevel = space (7, m.revEarly.get());
        p.lateLevel = space (8, m.revLate.get());
        p.decay = space (4, m.revDecay.get());
        p.lpf = m.revLpf.get();
        p.freeze = m.revFreeze.on();
        p.monoCompatible = m.revMonoCompatible.on();
        p.mix = m.revMix.get();
        p.radicalness = space (9, m.revRadicalness.get());
        p.predelay = space (10, m.revPredelay.get());
        p.lowCut = space (11, m.revLowCut.get());
        p.highShelfFreq = m.revShelfFreq.get();
        p.highShelfGain = m.revShelfGain.get();
        p.reserved = 0.0f;
        p.erSize = p.size;
        chain.reverb.setParams (p);
    }

    // EQ family
    vyrEq::loadState (m.eq, chain.parametricEq.state);
    vyrEq::loadState (m.dynamicEq, chain.dynamicEq.state);
    vyrMbc::loadState (m.mbc, chain.multiBandComp.state);

    // Stereo imager
    {
        auto& im = chain.imager;
        im.enabled = m.imgEnabled.on();
        im.inputMs = m.imgInputMs.on();
        im.split = m.imgSplit.on();
        im.width = m.imgWidth.get();
        im.spreadLo = m.imgSpreadLo.get();
        im.direction = m.imgDirection.get();
        im.mix = m.imgMix.get() * 0.01f;
        im.crossover = m.imgCrossover.get();
    }

    // Bass-mono monitor
    {
        auto& t = chain.tovu;
        t.enabled = m.tovEnabled.on();
        t.frequency = m.tovFrequency.get();
        t.width = m.tovWidth.get();
        t.slope = m.tovSlope.present() ? (m.tovSlope.index (2) == 0 ? 12 : 24) : 24;
    }

    if (product == vyrProducts::quarn)
        chain.laneEq.eqAng = wrapTurn (m.quarnEqAng.get());
}
