#pragma once

#include "Files/StreamWriter.h"

struct AVFormatContext;
struct AVCodecContext;
struct AVFrame;
struct AVPacket;
struct AVStream;

namespace vyrAudioIo
{
// AAC in M4A or MP4 files, and MP3 when no LAME program is installed, through FFmpeg's libraries.
class FfmpegStreamWriter final : public StreamWriter
{
public:
    FfmpegStreamWriter() = default;
    ~FfmpegStreamWriter() override;

    // Creates the file (deleting any file in the way); an error text, empty on success.
    juce::String open (const juce::File& file, Format format, double sampleRate, int channels, int kbps);

    bool write (const juce::AudioBuffer<float>& buffer, int numFrames) override;
    juce::String finish() override;

private:
    bool sendFrame (bool flush);
    bool drainPackets();
    void release();

    AVFormatContext* container = nullptr;
    AVCodecContext* codec = nullptr;
    AVStream* stream = nullptr;
    AVFrame* frame = nullptr;
    AVPacket* packet = nullptr;
    juce::File file;
    int channels = 2;
    int frameSize = 1024;
    int filled = 0;
    juce::int64 samplesSent = 0;
    bool headerWritten = false;
    bool failed = false;

    JUCE_DECLARE_NON_COPYABLE (FfmpegStreamWriter)
};
}
