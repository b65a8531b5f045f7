// Loading a song for the standalone player: summaries, the streaming player and section detection.
#include "Core/PluginProcessor.h"
#include "Files/FileSummary.h"

namespace
{
// An uncompressed file whose header promises more audio than the file holds was cut short.
bool isCutShort (const juce::File& file, const juce::AudioFormatReader& reader)
{
    const auto name = reader.getFormatName();
    if (! (name.containsIgnoreCase ("wav") || name.containsIgnoreCase ("aiff")))
        return false;
    const juce::int64 bytes = reader.lengthInSamples * (juce::int64) reader.numChannels * (juce::int64) (reader.bitsPerSample / 8);
    return bytes > file.getSize();
}
}

void VyrAudioProcessor::loadAudioFile (const juce::File& file)
{
    // The loaded file stays loaded until the new one has proven readable.
    loadError.clear();
    const auto name = file.getFileName();
    if (! file.existsAsFile())
    {
        loadError = file.isDirectory() ? name + " is a folder, not an audio file." : "Couldn't find " + file.getFullPathName() + ".";
        return;
    }

    std::unique_ptr<juce::AudioFormatReader> summaryReader (formatManager.createReaderFor (file));
    if (summaryReader == nullptr)
    {
        loadError = "Couldn't read " + name + ": it is not an audio file this program can decode (WAV, AIFF, FLAC, Ogg Vorbis or MP3).";
        return;
    }
    if (isCutShort (file, *summaryReader))
    {
        loadError = "Couldn't read " + name + ": the file is damaged or incomplete.";
        return;
    }
    std::unique_ptr<juce::AudioFormatReader> playReader (formatManager.createReaderFor (file));
    if (playReader == nullptr)
    {
        loadError = "Couldn't open " + name + " for playback.";
        return;
    }

    auto summary = vyrAudioIo::summarise (*summaryReader);
    summaryReader.reset();

    transport.stop();
    transport.setSource (nullptr);
    fileLoaded = false;
    readerSource.reset();

    overviewMin = std::move (summary.overviewMin);
    overviewMax = std::move (summary.overviewMax);
    envelopeMin = std::move (summary.envelopeMin);
    envelopeMax = std::move (summary.envelopeMax);
    ++sectionRevision;

    const double rate = playReader->sampleRate > 0.0 ? playReader->sampleRate : 44100.0;
    auto source = std::make_unique<juce::AudioFormatReaderSource> (playReader.release(), true);
    source->setLooping (loopPlayback.load());
    transport.setSource (source.get(), 65536, &fileReadThread(), rate, 2);
    if (hostSampleRate > 0.0)
        transport.prepareToPlay (std::max (512, preparedBlockSize), hostSampleRate);
    readerSource = std::move (source);

    loadedName = name;
    loadedFile = file;
    fileSampleRate = rate;
    fileLoaded = true;

    exportInfo.seedFromFileName (loadedName);
    detectSections();
    if (sectionAnalysed)
    {
        section.autoRide = true;
        publishChainShared();
    }
}

void VyrAudioProcessor::playFile()
{
    if (! fileLoaded)
        return;
    // Only the playback position tells the end: the file reader runs on the read-ahead thread up to
    // a buffer ahead of it (for a short file, or near the end, it already stands at the end while
    // playback is paused in the middle).
    const double length = transport.getLengthInSeconds();
    if (readerSource != nullptr && length > 0.0 && transport.getCurrentPosition() >= length - 0.0001)
        transport.setPosition (0.0);
    transport.start();
}
