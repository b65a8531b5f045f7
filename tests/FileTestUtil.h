#pragma once

// Files for the load and export tests: a scratch folder, generated WAV files, whole-file reads and
// the independent decoders (ffprobe, metaflac) and loudness meter (FFmpeg's) run as programs.

#include <juce_audio_formats/juce_audio_formats.h>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <memory>

namespace vyrTestFiles
{
// A fresh folder under the system's temporary folder, removed with everything in it. Created
// atomically (mkdtemp): test processes running side by side never share one.
struct ScratchDir
{
    juce::File dir;
    ScratchDir()
    {
        auto pattern = juce::File::getSpecialLocation (juce::File::tempDirectory).getChildFile ("vyr-test-files-XXXXXX").getFullPathName().toStdString();
        if (mkdtemp (pattern.data()) != nullptr)
            dir = juce::File (pattern);
    }
    ~ScratchDir() { dir.deleteRecursively(); }
    juce::File operator[] (const juce::String& name) const { return dir.getChildFile (name); }
};

// Points the system's temporary folder (TMPDIR) at a fresh empty folder of this test's own, so
// what the code under test leaves there can be counted without other test processes in the way.
struct PrivateTempFolder
{
    ScratchDir scratch;
    juce::String previous;
    bool hadPrevious = false;
    PrivateTempFolder()
    {
        if (auto* t = getenv ("TMPDIR"))
        {
            previous = t;
            hadPrevious = true;
        }
        setenv ("TMPDIR", scratch.dir.getFullPathName().toRawUTF8(), 1);
    }
    ~PrivateTempFolder()
    {
        if (hadPrevious)
            setenv ("TMPDIR", previous.toRawUTF8(), 1);
        else
            unsetenv ("TMPDIR");
    }
    int numFiles() const { return scratch.dir.getNumberOfChildFiles (juce::File::findFilesAndDirectories, "*"); }
};

// Writes `frames` frames from `sample (channel, frame)`, as 24-bit PCM or (bits 32) float WAV.
inline void writeWav (const juce::File& file, double rate, int channels, int frames,
                      const std::function<float (int, int)>& sample, int bits = 24)
{
    file.deleteFile();
    juce::WavAudioFormat wav;
    auto* stream = new juce::FileOutputStream (file);
    std::unique_ptr<juce::AudioFormatWriter> w (wav.createWriterFor (stream, rate, (unsigned int) channels, bits, {}, 0));
    juce::AudioBuffer<float> b (channels, std::max (1, frames));
    for (int ch = 0; ch < channels; ++ch)
        for (int i = 0; i < frames; ++i)
            b.setSample (ch, i, sample (ch, i));
    if (frames > 0)
        w->writeFromAudioSampleBuffer (b, 0, frames);
}

inline void writeSine (const juce::File& file, double rate, int channels, int frames, double hz = 440.0, float amp = 0.25f, int bits = 24)
{
    writeWav (
        file, rate, channels, frames, [=] (int ch, int i)
        { return amp * (float) std::sin (2.0 * juce::MathConstants<double>::pi * hz * i / rate + ch * 0.7); },
        bits);
}

// The whole file as floats, with its rate.
struct Decoded
{
    juce::AudioBuffer<float> audio;
    double rate = 0.0;
    unsigned int bits = 0;
    bool floatingPoint = false;
};

inline Decoded readAll (const juce::File& file)
{
    juce::AudioFormatManager m;
    m.registerBasicFormats();
    Decoded d;
    std::unique_ptr<juce::AudioFormatReader> r (m.createReaderFor (file));
    if (r == nullptr)
        return d;
    d.audio.setSize ((int) r->numChannels, (int) r->lengthInSamples);
    r->read (&d.audio, 0, (int) r->lengthInSamples, 0, true, true);
    d.rate = r->sampleRate;
    d.bits = r->bitsPerSample;
    d.floatingPoint = r->usesFloatingPointData;
    return d;
}

// Runs a program and returns its standard output; `exitCode` is -1 when it did not finish in time.
inline juce::String run (const juce::StringArray& args, int* exitCode = nullptr)
{
    juce::ChildProcess p;
    if (! p.start (args, juce::ChildProcess::wantStdOut))
    {
        if (exitCode != nullptr)
            *exitCode = -1;
        return {};
    }
    juce::MemoryOutputStream bytes;
    char chunk[4096];
    for (int n; (n = p.readProcessOutput (chunk, sizeof (chunk))) > 0;)
        bytes.write (chunk, (size_t) n);
    const auto out = juce::String::fromUTF8 (static_cast<const char*> (bytes.getData()), (int) bytes.getDataSize());
    const bool done = p.waitForProcessToFinish (60000);
    if (exitCode != nullptr)
        *exitCode = done ? (int) p.getExitCode() : -1;
    return out;
}

inline bool haveProgram (const char* name)
{
    return juce::File ("/usr/bin").getChildFile (name).existsAsFile() || juce::File ("/usr/local/bin").getChildFile (name).existsAsFile();
}

// ffprobe's view of the first audio stream and the container: {"streams": [...], "format": {...}}.
inline juce::var probe (const juce::File& file)
{
    return juce::JSON::parse (run ({ "ffprobe", "-v", "error", "-show_streams", "-show_format", "-of", "json",
                                     file.getFullPathName() }));
}

// A tag from the container or the stream, found case-insensitively.
inline juce::String probedTag (const juce::var& info, const juce::String& key)
{
    for (auto* holder : { info["format"].getDynamicObject(), info["streams"][0].getDynamicObject() })
    {
        if (holder == nullptr)
            continue;
        if (auto* tags = holder->getProperty ("tags").getDynamicObject())
            for (const auto& p : tags->getProperties())
                if (p.name.toString().equalsIgnoreCase (key))
                    return p.value.toString();
    }
    return {};
}

// A file's integrated loudness (LUFS) and true peak (dBTP) as FFmpeg's EBU R128 meter reads them;
// NaN when the meter gave no summary.
struct Loudness
{
    double integrated = std::nan (""), truePeak = std::nan ("");
};

inline Loudness measureLoudness (const juce::File& file)
{
    // The meter prints its summary on the standard error stream.
    juce::ChildProcess p;
    Loudness l;
    if (! p.start (juce::StringArray { "ffmpeg", "-hide_banner", "-nostats", "-nostdin", "-i", file.getFullPathName(),
                                       "-af", "ebur128=peak=true", "-f", "null", "-" },
                   juce::ChildProcess::wantStdOut | juce::ChildProcess::wantStdErr))
        return l;
    const auto out = p.readAllProcessOutput();
    const auto summary = out.fromLastOccurrenceOf ("Summary:", false, false);
    if (summary.isEmpty())
        return l;
    auto valueAfter = [&summary] (const char* key)
    {
        const auto rest = summary.fromFirstOccurrenceOf (key, false, false).trimStart();
        return rest.isEmpty() ? std::nan ("") : rest.upToFirstOccurrenceOf (" ", false, false).getDoubleValue();
    };
    l.integrated = valueAfter ("I:");
    l.truePeak = valueAfter ("Peak:");
    return l;
}

// Number of stored frames as ffprobe decodes them (all packets, encoder delay trimmed where the
// container says so).
inline juce::int64 decodedFrames (const juce::File& file)
{
    const auto out = run ({ "ffprobe", "-v", "error", "-select_streams", "a:0", "-count_packets", "-show_entries",
                            "stream=duration_ts,sample_rate", "-of", "json", file.getFullPathName() });
    return (juce::int64) juce::JSON::parse (out)["streams"][0]["duration_ts"];
}
}
