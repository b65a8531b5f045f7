#include "Files/StreamWriter.h"
#include "Files/FfmpegStreamWriter.h"

namespace vyrAudioIo
{
CheckedOutputStream::CheckedOutputStream (std::unique_ptr<juce::OutputStream> s, std::shared_ptr<Outcome> o)
    : inner (std::move (s))
    , outcome (std::move (o))
{
}

CheckedOutputStream::~CheckedOutputStream()
{
    flush();
}

void CheckedOutputStream::checkStatus()
{
    if (auto* file = dynamic_cast<juce::FileOutputStream*> (inner.get()))
        if (file->getStatus().failed())
            outcome->failed = true;
}

void CheckedOutputStream::flush()
{
    inner->flush();
    checkStatus();
}

bool CheckedOutputStream::setPosition (juce::int64 position)
{
    const bool ok = inner->setPosition (position);
    if (! ok)
        outcome->failed = true;
    checkStatus();
    return ok;
}

juce::int64 CheckedOutputStream::getPosition()
{
    return inner->getPosition();
}

bool CheckedOutputStream::write (const void* data, size_t numBytes)
{
    const bool ok = inner->write (data, numBytes);
    if (ok)
        outcome->bytes += (juce::int64) numBytes;
    else
        outcome->failed = true;
    return ok;
}

JuceStreamWriter::JuceStreamWriter (std::unique_ptr<juce::AudioFormatWriter> w, std::shared_ptr<CheckedOutputStream::Outcome> o,
                                    const juce::String& name, bool needs)
    : writer (std::move (w))
    , outcome (std::move (o))
    , fileName (name)
    , needsOutput (needs)
{
}

bool JuceStreamWriter::write (const juce::AudioBuffer<float>& buffer, int numFrames)
{
    if (writer == nullptr)
        return false;
    if (numFrames <= 0)
        return true;
    if (buffer.getNumChannels() < 1 || numFrames > buffer.getNumSamples())
        return false;
    // A mono buffer feeds both channels of a stereo file.
    const float* channels[2] = { buffer.getReadPointer (0), buffer.getReadPointer (std::min (1, buffer.getNumChannels() - 1)) };
    return writer->writeFromFloatArrays (channels, (int) std::min (2u, (unsigned int) writer->getNumChannels()), numFrames) && ! outcome->failed;
}

juce::String JuceStreamWriter::finish()
{
    // Deleting the framework writer completes the file (and runs an external encoder).
    writer.reset();
    if (outcome->failed)
        return "Failed while writing " + fileName;
    if (needsOutput && outcome->bytes <= 0)
        return "Failed to finalise the AAC/MP3 file.";
    return {};
}

namespace
{
std::unique_ptr<CheckedOutputStream> openStream (const juce::File& file, std::shared_ptr<CheckedOutputStream::Outcome> outcome,
                                                juce::String& error)
{
    file.deleteFile();
    auto fos = std::make_unique<juce::FileOutputStream> (file, 32768);
    if (! fos->openedOk())
    {
        error = cannotCreateText (file, fos->getStatus().getErrorMessage());
        return nullptr;
    }
    return std::make_unique<CheckedOutputStream> (std::move (fos), std::move (outcome));
}

int oggQualityIndex (juce::AudioFormat& format, int kbps)
{
    const auto options = format.getQualityOptions();
    if (options.isEmpty())
        return 9;
    const int wanted = juce::jlimit (64, 500, kbps);
    int best = 0, bestDistance = std::numeric_limits<int>::max();
    for (int i = 0; i < options.size(); ++i)
    {
        const int d = std::abs (options[i].getIntValue() - wanted);
        if (d < bestDistance)
        {
            best = i;
            bestDistance = d;
        }
    }
    return best;
}
}

std::unique_ptr<StreamWriter> createWriter (const juce::File& file, Format format, const WriterConfig& config, juce::String& error)
{
    error.clear();
    const int channels = config.channels < 2 ? 1 : 2;
    const double rate = config.sampleRate > 0.0 ? config.sampleRate : 44100.0;
    const juce::String name = specOf (format).name;

    if (! canWrite (format))
    {
        error = cannotWriteReason (format);
        return nullptr;
    }

    if (format == Format::wav || format == Format::aiff || format == Format::flac || format == Format::ogg)
    {
        auto outcome = std::make_shared<CheckedOutputStream::Outcome>();
        auto stream = openStream (file, outcome, error);
        if (stream == nullptr)
            return nullptr;

        std::unique_ptr<juce::AudioFormat> af;
        int bits = config.bitDepth, quality = 0;
        switch (format)
        {
            case Format::wav:
                af = std::make_unique<juce::WavAudioFormat>();
                break;
            case Format::aiff:
                af = std::make_unique<juce::AiffAudioFormat>();
                bits = std::min (bits, 24);
                break;
            case Format::flac:
                af = std::make_unique<juce::FlacAudioFormat>();
                bits = juce::jlimit (16, 24, bits);
                quality = 8;
                break;
            default:
                af = std::make_unique<juce::OggVorbisAudioFormat>();
                bits = 32;
                quality = oggQualityIndex (*af, config.kbps);
                break;
        }

        std::unique_ptr<juce::AudioFormatWriter> w (af->createWriterFor (stream.get(), rate, (unsigned int) channels, bits, config.metadata, quality));
        if (w == nullptr)
        {
            stream.reset();
            file.deleteFile();
            error = "Couldn't open a " + name + " writer.";
            return nullptr;
        }
        stream.release(); // the framework writer owns it now
        return std::make_unique<JuceStreamWriter> (std::move (w), outcome, file.getFileName(), false);
    }

    if (format == Format::mp3)
    {
        const auto lame = findLameExecutable();
        if (lame.existsAsFile())
        {
            auto outcome = std::make_shared<CheckedOutputStream::Outcome>();
            auto stream = openStream (file, outcome, error);
            if (stream == nullptr)
                return nullptr;
            juce::LAMEEncoderAudioFormat af (lame);
            const int index = std::max (0, af.getQualityOptions().indexOf (juce::String (config.kbps) + " Kb/s CBR"));
            std::unique_ptr<juce::AudioFormatWriter> w (af.createWriterFor (stream.get(), rate, (unsigned int) channels, 16, config.metadata, index));
            if (w != nullptr)
            {
                stream.release();
                return std::make_unique<JuceStreamWriter> (std::move (w), outcome, file.getFileName(), true);
            }
            stream.reset();
        }
    }

    auto w = std::make_unique<FfmpegStreamWriter>();
    const auto text = w->open (file, format, rate, channels, config.kbps);
    if (text.isNotEmpty())
    {
        error = text;
        return nullptr;
    }
    return w;
}
}
