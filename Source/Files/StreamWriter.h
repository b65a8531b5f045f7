#pragma once

#include <juce_audio_formats/juce_audio_formats.h>
#include <memory>
#include "Files/AudioIo.h"

namespace vyrAudioIo
{
// One encoder behind the render loop and the resampling copy. Created, fed and finished on
// one thread.
class StreamWriter
{
public:
    virtual ~StreamWriter() = default;
    // Appends the first `numFrames` frames of `buffer`; false on failure.
    virtual bool write (const juce::AudioBuffer<float>& buffer, int numFrames) = 0;
    // Completes and closes the file; an error text, empty when all went well. Called once.
    virtual juce::String finish() = 0;
};

// An output stream that remembers whether any write, seek or the final flush failed and how
// many bytes reached it, so a full disk or a failed encoder never passes as a finished file.
class CheckedOutputStream : public juce::OutputStream
{
public:
    struct Outcome
    {
        bool failed = false;
        juce::int64 bytes = 0;
    };

    CheckedOutputStream (std::unique_ptr<juce::OutputStream> inner, std::shared_ptr<Outcome> outcome);
    ~CheckedOutputStream() override;

    void flush() override;
    bool setPosition (juce::int64 position) override;
    juce::int64 getPosition() override;
    bool write (const void* data, size_t numBytes) override;

private:
    void checkStatus();
    std::unique_ptr<juce::OutputStream> inner;
    std::shared_ptr<Outcome> outcome;
};

// The framework's WAV, AIFF, FLAC, Ogg Vorbis and LAME writers.
class JuceStreamWriter final : public StreamWriter
{
public:
    // `outcome` is the record of the writer's CheckedOutputStream; `needsOutput` asks finish to
    // fail when nothing reached the file (an external encoder that failed writes nothing).
    JuceStreamWriter (std::unique_ptr<juce::AudioFormatWriter> writer, std::shared_ptr<CheckedOutputStream::Outcome> outcome,
                      const juce::String& fileName, bool needsOutput);
    ~JuceStreamWriter() override = default;

    bool write (const juce::AudioBuffer<float>& buffer, int numFrames) override;
    juce::String finish() override;

private:
    std::unique_ptr<juce::AudioFormatWriter> writer;
    std::shared_ptr<CheckedOutputStream::Outcome> outcome;
    juce::String fileName;
    bool needsOutput = false;
};

// The encoder for a format on `file` (any file there is deleted first); null with the reason in
// `error` on failure.
std::unique_ptr<StreamWriter> createWriter (const juce::File& file, Format format, const WriterConfig& config, juce::String& error);
}
