// Offline render of the loaded file through the mastering path into an exported file.
#include "Core/PluginProcessor.h"
#include "Files/ExportTags.h"
#include "Files/ResampleCopy.h"
#include "Files/StreamWriter.h"

#include <cstdio>

namespace
{
constexpr int kRenderBlock = 4096;

// Seconds of delay and reverb tail rendered after the file.
double tailSeconds (VyrSignalChain& chain)
{
    double tail = 0.25;
    if (chain.delay.enabled)
        tail = std::max (tail, 4.0 * (double) chain.delay.time);
    const auto reverb = chain.reverb.getParams();
    if (reverb.enabled)
        tail = std::max (tail, (double) reverb.decay);
    return std::min (tail, 8.0);
}
}

// Holds the live processing off for an export and puts everything it touched back exactly as it
// was, on every way out of the render.
struct VyrExportSession
{
    VyrExportSession (VyrAudioProcessor& proc, double renderRate)
        : p (proc)
        , rate (proc.hostSampleRate)
        , block (proc.preparedBlockSize > 0 ? proc.preparedBlockSize : kRenderBlock)
        , wasSuspended (proc.isSuspended())
        , wasPlaying (proc.transport.isPlaying())
        , space (proc.spaceSmooth)
        , energy (proc.energySmooth)
        , effect (proc.effectSmooth)
        , effectReady (proc.effectSmoothReady)
        , smoothSamples (proc.smoothBlockSamples)
        , ridden (proc.riddenEffect.load())
        , riding (proc.effectRiding.load())
        , glideBoundary (proc.sectionGlideBoundary)
        , current (proc.sectionCurrent)
        , blendFrom (proc.sectionBlendFrom)
        , blendTo (proc.sectionBlendTo)
        , blendAmount (proc.sectionBlendAmount)
        , blendActive (proc.sectionBlendActive)
    {
        p.transport.stop();
        p.suspendProcessing (true);

        p.hostSampleRate = renderRate;
        p.liveChain.prepare (renderRate, kRenderBlock);
        p.resetSmoothers (renderRate);
        p.syncChainFromApvts();
        p.sectionGlideBoundary = -1;
        p.sectionCurrent = -1;
        p.sectionBlendAmount = 0.0f;
        p.sectionBlendActive = false;
    }

    ~VyrExportSession()
    {
        p.hostSampleRate = rate;
        p.liveChain.prepare (rate > 0.0 ? rate : 44100.0, block);
        p.spaceSmooth = space;
        p.energySmooth = energy;
        p.effectSmooth = effect;
        p.effectSmoothReady = effectReady;
        p.smoothBlockSamples = 0;
        p.fillChainFromApvts (p.liveChain);
        p.smoothBlockSamples = smoothSamples;
        p.riddenEffect = ridden;
        p.effectRiding = riding;
        p.sectionGlideBoundary = glideBoundary;
        p.sectionCurrent = current;
        p.sectionBlendFrom = blendFrom;
        p.sectionBlendTo = blendTo;
        p.sectionBlendAmount = blendAmount;
        p.sectionBlendActive = blendActive;
        if (! wasSuspended)
            p.suspendProcessing (false);
        if (wasPlaying)
            p.playFile();
    }

    VyrAudioProcessor& p;
    const double rate;
    const int block;
    const bool wasSuspended, wasPlaying;
    const vyrQuarn::SpaceParamSmooth space;
    const vyrQuarn::EnergyParamSmooth energy;
    const decltype (VyrAudioProcessor::effectSmooth) effect;
    const bool effectReady;
    const std::int32_t smoothSamples;
    const float ridden;
    const bool riding;
    const std::int32_t glideBoundary, current, blendFrom, blendTo;
    const float blendAmount;
    const bool blendActive;
};

juce::String VyrAudioProcessor::exportMastered (const juce::File& destination, vyrAudioIo::Format format)
{
    using namespace vyrAudioIo;

    if (! fileLoaded || ! loadedFile.existsAsFile())
        return "Load an audio file first.";
    if (! canWrite (format))
        return cannotWriteReason (format);

    juce::AudioFormatManager manager;
    manager.registerBasicFormats();
    std::unique_ptr<juce::AudioFormatReader> reader (manager.createReaderFor (loadedFile));
    if (reader == nullptr)
        return "Couldn't decode " + loadedFile.getFileName() + " for export.";

    double sourceRate = reader->sampleRate > 0.0 ? reader->sampleRate : hostSampleRate;
    if (! (sourceRate > 0.0))
        sourceRate = 44100.0;
    const auto settings = resolveExportSettings (exportInfo, format, sourceRate);
    const juce::int64 length = reader->lengthInSamples;
    if (length <= 0)
        return "The loaded file has no audio to export.";

    const juce::String name = specOf (format).name;
    if (destination.isDirectory())
        return "Couldn't create " + destination.getFileName() + " (a folder of that name is in "
               + destination.getParentDirectory().getFullPathName() + ")";

    WriterConfig finalConfig;
    finalConfig.sampleRate = settings.sampleRate;
    finalConfig.channels = 2;
    finalConfig.bitDepth = settings.bitDepth;
    finalConfig.kbps = settings.kbps;
    finalConfig.metadata = metadataFor (format, exportInfo);
    const bool resample = std::abs (settings.sampleRate - sourceRate) > 0.5;

    // The file is written beside the destination under a hidden name and moved over it only when
    // the audio and the tags are complete, so a failed export never harms an existing file.
    juce::TemporaryFile partial (destination, juce::TemporaryFile::useHiddenFile);
    auto named = [&] (const juce::String& text)
    { return text.replace (partial.getFile().getFileName(), destination.getFileName()); };
    juce::File staging;
    const juce::ScopeGuard removeStaging { [&staging]
                                           { if (staging != juce::File()) staging.deleteFile(); } };

    juce::String error;
    std::unique_ptr<StreamWriter> writer;
    if (! resample)
    {
        writer = createWriter (partial.getFile(), format, finalConfig, error);
        if (writer == nullptr)
            return error.isNotEmpty() ? named (error) : "Couldn't create a " + name + " writer.";
    }
    else
    {
        staging = juce::File::getSpecialLocation (juce::File::tempDirectory).getNonexistentChildFile ("vyr-master-bounce", ".wav", false);
        WriterConfig stagingConfig;
        stagingConfig.sampleRate = sourceRate;
        stagingConfig.channels = 2;
        stagingConfig.bitDepth = 32;
        stagingConfig.kbps = 320;
        writer = createWriter (staging, Format::wav, stagingConfig, error);
        if (writer == nullptr)
            return error.isNotEmpty() ? error : "Couldn't stage the live master for resample.";
    }

    juce::Random random;
    random.setSeedRandomly();
    const bool ditherRender = settings.dither && ! resample;
    bool ok = true;
    {
        VyrExportSession session (*this, sourceRate);

        // The file and its tail run as one stream, so the tail continues exactly where the file ends.
        const auto tailFrames = (juce::int64) std::llround (sourceRate * tailSeconds (liveChain));
        const juce::int64 total = length + tailFrames;
        juce::AudioBuffer<float> buffer (2, kRenderBlock);
        const bool mono = reader->numChannels < 2;
        for (juce::int64 pos = 0; pos < total && ok;)
        {
            const int n = (int) std::min ((juce::int64) kRenderBlock, total - pos);
            buffer.clear();
            const int fromFile = (int) juce::jlimit ((juce::int64) 0, (juce::int64) n, length - pos);
            if (fromFile > 0)
            {
                reader->read (&buffer, 0, fromFile, pos, true, true);
                if (mono)
                    buffer.copyFrom (1, 0, buffer, 0, 0, fromFile);
            }
            juce::AudioBuffer<float> block (buffer.getArrayOfWritePointers(), 2, n);
            processMasteredBlock (block, false, pos < length ? (double) pos / (double) length : 1.0);
            if (ditherRender)
                addDither (block, n, random);
            ok = writer->write (block, n);
            pos += n;
        }
    }

    juce::String text = named (writer->finish());
    writer.reset();

    if (resample && ok && text.isEmpty())
    {
        std::unique_ptr<juce::AudioFormatReader> staged (manager.createReaderFor (staging));
        if (staged == nullptr)
        {
            text = "Couldn't reopen the live master for convert.";
            ok = false;
        }
        else if (auto finalWriter = createWriter (partial.getFile(), format, finalConfig, error); finalWriter == nullptr)
        {
            text = error.isNotEmpty() ? named (error) : "Couldn't create a " + name + " writer.";
            ok = false;
        }
        else
        {
            ok = copyResampled (*staged, *finalWriter, settings.sampleRate, settings.dither, random);
            text = named (finalWriter->finish());
        }
    }

    if (! ok || text.isNotEmpty())
        return text.isNotEmpty() ? text : "Failed while writing " + destination.getFileName();

    const auto tagText = applyContainerTags (partial.getFile(), format, exportInfo);
    if (tagText.isNotEmpty())
        return tagText;

    // rename(2) replaces an existing destination in one step.
    if (std::rename (partial.getFile().getFullPathName().toRawUTF8(), destination.getFullPathName().toRawUTF8()) != 0)
        return "Couldn't replace " + destination.getFileName() + ".";
    return {};
}
