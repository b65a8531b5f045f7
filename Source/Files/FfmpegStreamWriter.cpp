#include "Files/FfmpegStreamWriter.h"

extern "C"
{
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
}

namespace vyrAudioIo
{
FfmpegStreamWriter::~FfmpegStreamWriter()
{
    release();
}

void FfmpegStreamWriter::release()
{
    if (container != nullptr)
    {
        if (container->pb != nullptr)
            avio_closep (&container->pb);
        avformat_free_context (container);
        container = nullptr;
    }
    avcodec_free_context (&codec);
    av_frame_free (&frame);
    av_packet_free (&packet);
    stream = nullptr;
}

juce::String FfmpegStreamWriter::open (const juce::File& target, Format format, double sampleRate, int numChannels, int kbps)
{
    release();
    file = target;
    channels = numChannels < 2 ? 1 : 2;
    file.deleteFile();

    const juce::String name = specOf (format).name;
    const bool aac = format == Format::m4a || format == Format::mp4;
    const char* muxer = format == Format::m4a ? "ipod" : (format == Format::mp4 ? "mp4" : "mp3");
    auto unavailable = [&name] (int status)
    { return name + " encoder is not available on this system (FFmpeg status " + juce::String (status) + ")."; };

    const AVCodec* encoder = avcodec_find_encoder (aac ? AV_CODEC_ID_AAC : AV_CODEC_ID_MP3);
    if (encoder == nullptr)
        return unavailable (AVERROR_ENCODER_NOT_FOUND);

    const auto path = file.getFullPathName().toStdString();
    int status = avformat_alloc_output_context2 (&container, nullptr, muxer, path.c_str());
    if (status < 0 || container == nullptr)
    {
        container = nullptr;
        return unavailable (status < 0 ? status : AVERROR_MUXER_NOT_FOUND);
    }

    codec = avcodec_alloc_context3 (encoder);
    stream = avformat_new_stream (container, nullptr);
    frame = av_frame_alloc();
    packet = av_packet_alloc();
    if (codec == nullptr || stream == nullptr || frame == nullptr || packet == nullptr)
    {
        release();
        return unavailable (AVERROR (ENOMEM));
    }

    // Planar float is what both encoders take; keep it when offered.
    codec->sample_fmt = AV_SAMPLE_FMT_FLTP;
    codec->sample_rate = (int) std::lround (sampleRate > 0.0 ? sampleRate : 44100.0);
    av_channel_layout_default (&codec->ch_layout, channels);
    codec->bit_rate = kbps < 64 ? 64000 : std::min ((juce::int64) kbps * 1000, (juce::int64) 320000);
    codec->time_base = AVRational { 1, codec->sample_rate };
    if ((container->oformat->flags & AVFMT_GLOBALHEADER) != 0)
        codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;

    status = avcodec_open2 (codec, encoder, nullptr);
    if (status < 0)
    {
        release();
        return unavailable (status);
    }
    status = avcodec_parameters_from_context (stream->codecpar, codec);
    stream->time_base = codec->time_base;
    if (status < 0)
    {
        release();
        return "Couldn't set the PCM client format for " + name + ".";
    }

    frameSize = codec->frame_size > 0 ? codec->frame_size : 1152;
    frame->nb_samples = frameSize;
    frame->format = codec->sample_fmt;
    frame->sample_rate = codec->sample_rate;
    av_channel_layout_copy (&frame->ch_layout, &codec->ch_layout);
    if (av_frame_get_buffer (frame, 0) < 0)
    {
        release();
        return unavailable (AVERROR (ENOMEM));
    }

    if (const int opened = avio_open (&container->pb, path.c_str(), AVIO_FLAG_WRITE); opened < 0)
    {
        release();
        char reason[AV_ERROR_MAX_STRING_SIZE] {};
        av_strerror (opened, reason, sizeof (reason));
        return cannotCreateText (file, reason);
    }
    status = avformat_write_header (container, nullptr);
    if (status < 0)
    {
        release();
        file.deleteFile();
        return unavailable (status);
    }
    headerWritten = true;
    filled = 0;
    samplesSent = 0;
    failed = false;
    return {};
}

bool FfmpegStreamWriter::drainPackets()
{
    for (;;)
    {
        const int status = avcodec_receive_packet (codec, packet);
        if (status == AVERROR (EAGAIN) || status == AVERROR_EOF)
            return true;
        if (status < 0)
            return false;
        av_packet_rescale_ts (packet, codec->time_base, stream->time_base);
        packet->stream_index = stream->index;
        const int written = av_interleaved_write_frame (container, packet);
        av_packet_unref (packet);
        if (written < 0 || (container->pb != nullptr && container->pb->error < 0))
            return false;
    }
}

bool FfmpegStreamWriter::sendFrame (bool flush)
{
    int status;
    if (flush)
    {
        status = avcodec_send_frame (codec, nullptr);
    }
    else
    {
        frame->nb_samples = filled;
        frame->pts = samplesSent;
        samplesSent += filled;
        status = avcodec_send_frame (codec, frame);
        filled = 0;
    }
    return status >= 0 && drainPackets();
}

bool FfmpegStreamWriter::write (const juce::AudioBuffer<float>& buffer, int numFrames)
{
    if (numFrames <= 0 || codec == nullptr)
        return codec != nullptr;
    if (failed || buffer.getNumChannels() < 1 || numFrames > buffer.getNumSamples())
        return false;

    int done = 0;
    while (done < numFrames)
    {
        if (filled == 0 && av_frame_make_writable (frame) < 0)
            return ! (failed = true);
        const int n = std::min (frameSize - filled, numFrames - done);
        for (int ch = 0; ch < channels; ++ch)
        {
            // A mono buffer feeds both channels of a stereo file.
            const float* src = buffer.getReadPointer (std::min (ch, buffer.getNumChannels() - 1), done);
            std::memcpy (reinterpret_cast<float*> (frame->data[ch]) + filled, src, sizeof (float) * (size_t) n);
        }
        filled += n;
        done += n;
        if (filled == frameSize && ! sendFrame (false))
            return ! (failed = true);
    }
    return true;
}

juce::String FfmpegStreamWriter::finish()
{
    if (codec == nullptr)
        return {};
    bool ok = ! failed;
    if (ok && filled > 0)
        ok = sendFrame (false);
    if (ok)
        ok = sendFrame (true);
    if (headerWritten && av_write_trailer (container) < 0)
        ok = false;
    if (container->pb != nullptr && container->pb->error < 0)
        ok = false;
    if (container->pb != nullptr && avio_closep (&container->pb) < 0)
        ok = false;
    release();
    if (! ok || file.getSize() <= 0)
        return "Failed to finalise the AAC/MP3 file.";
    return {};
}
}
