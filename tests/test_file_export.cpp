// Loading songs and exporting masters: summaries, failed loads, round trips through independent
// decoders, the offline render against the chain, bad destinations and the restored live state.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <csignal>
#include "FileTestUtil.h"
#include "ProcessorFixture.h"
#include "TestSignals.h"
#include "Files/FileSummary.h"
#include "Files/ResampleCopy.h"

using vyrAudioIo::Format;
using vyrTestFiles::ScratchDir;

namespace
{
std::unique_ptr<VyrAudioProcessor> standalone (int product = 15)
{
    auto p = vyrTest::makeProcessor (product, juce::AudioProcessor::wrapperType_Standalone);
    vyrTest::prepare (*p, 48000.0, 512);
    return p;
}

// Limits the size of files this process may write, like a nearly full disk, while in scope.
struct DiskSpaceLimit
{
    explicit DiskSpaceLimit (rlim_t bytes)
    {
        std::signal (SIGXFSZ, SIG_IGN);
        getrlimit (RLIMIT_FSIZE, &saved);
        rlimit r = saved;
        r.rlim_cur = bytes;
        setrlimit (RLIMIT_FSIZE, &r);
    }
    ~DiskSpaceLimit() { setrlimit (RLIMIT_FSIZE, &saved); }
    rlimit saved {};
};
}

TEST (FileLoad, SummariesOfShortMonoAndWideFiles)
{
    ScratchDir tmp;
    auto p = standalone();

    auto shortFile = tmp["short.wav"];
    vyrTestFiles::writeWav (shortFile, 44100.0, 1, 100, [] (int, int i)
                            { return (i - 50) / 100.0f; });
    p->loadAudioFile (shortFile);
    ASSERT_TRUE (p->fileLoaded) << p->loadError;
    EXPECT_EQ (p->loadedName, "short.wav");
    EXPECT_EQ (p->fileSampleRate, 44100.0);
    ASSERT_EQ (p->overviewMax.size(), 800u);
    EXPECT_NEAR (p->overviewMax[0], -0.5f, 1e-5f);
    EXPECT_NEAR (p->overviewMin[99], 0.49f, 1e-5f);
    EXPECT_EQ (p->overviewMax[100], 0.0f);
    ASSERT_EQ (p->envelopeMax.size(), 7u);
    EXPECT_NEAR (p->envelopeMin[6], (96 - 50) / 100.0f, 1e-5f);
    EXPECT_NEAR (p->envelopeMax[6], (99 - 50) / 100.0f, 1e-5f);
    EXPECT_EQ (p->exportInfo.title, "short");

    // Three channels: only the first two make the mono signal.
    auto wide = tmp["wide.wav"];
    vyrTestFiles::writeWav (wide, 48000.0, 3, 1600, [] (int ch, int)
                            { return ch == 0 ? 0.2f : (ch == 1 ? 0.4f : -1.0f); });
    const int revision = p->sectionRevision.load();
    p->loadAudioFile (wide);
    ASSERT_TRUE (p->fileLoaded);
    EXPECT_EQ (p->sectionRevision.load(), revision + 1);
    for (size_t i = 0; i < 800; ++i)
        ASSERT_NEAR (p->overviewMax[i], 0.3f, 1e-5f);

    auto empty = tmp["empty.wav"];
    vyrTestFiles::writeWav (empty, 44100.0, 2, 0, [] (int, int)
                            { return 0.0f; });
    p->loadAudioFile (empty);
    EXPECT_TRUE (p->fileLoaded);
    EXPECT_EQ (p->overviewMax.size(), 800u);
    EXPECT_TRUE (p->envelopeMax.empty());

    EXPECT_EQ (vyrAudioIo::envelopeStride (4194304), 16);
    EXPECT_EQ (vyrAudioIo::envelopeStride (8388608), 32);
}

TEST (FileLoad, HourLongFileKeepsItsSummariesSmall)
{
    // An hour at 8 kHz, mono 16-bit: a real WAV header over a sparse file of silence.
    ScratchDir tmp;
    auto file = tmp["hour.wav"];
    const juce::int64 frames = 8000LL * 3600;
    {
        // A plain PCM header for the whole hour, one second of tone, then a hole up to the end.
        const auto dataBytes = (int) (frames * 2);
        juce::FileOutputStream out (file);
        out.write ("RIFF", 4);
        out.writeInt (36 + dataBytes);
        out.write ("WAVEfmt ", 8);
        out.writeInt (16);
        out.writeShort (1);
        out.writeShort (1);
        out.writeInt (8000);
        out.writeInt (16000);
        out.writeShort (2);
        out.writeShort (16);
        out.write ("data", 4);
        out.writeInt (dataBytes);
        for (int i = 0; i < 8000; ++i)
            out.writeShort ((short) std::lround (16383.0 * std::sin (2.0 * juce::MathConstants<double>::pi * 100.0 * i / 8000.0)));
        out.setPosition (44 + (juce::int64) dataBytes - 2);
        out.writeShort (0);
        ASSERT_TRUE (out.getStatus().wasOk());
    }
    EXPECT_EQ (file.getSize(), 44 + frames * 2);

    auto p = standalone();
    p->loadAudioFile (file);
    ASSERT_TRUE (p->fileLoaded) << p->loadError;
    EXPECT_NEAR (p->transport.getLengthInSeconds(), 3600.0, 1e-6);
    EXPECT_EQ (p->overviewMax.size(), 800u);
    const auto stride = vyrAudioIo::envelopeStride (frames);
    EXPECT_EQ (stride, frames / 262144);
    EXPECT_EQ ((juce::int64) p->envelopeMax.size(), (frames + stride - 1) / stride);
    EXPECT_LE (p->envelopeMax.size(), 278528u);
    EXPECT_NEAR (p->overviewMax[0], 0.5f, 1e-3f);
    EXPECT_EQ (p->overviewMax[1], 0.0f);
}

TEST (FileLoad, FailedLoadKeepsTheLoadedFileAndSaysWhy)
{
    ScratchDir tmp;
    auto good = tmp["good.wav"];
    vyrTestFiles::writeSine (good, 44100.0, 2, 4410);
    auto notAudio = tmp["letter.wav"];
    notAudio.replaceWithText ("Dear engineer, this is not audio at all.\n");
    auto cut = tmp["cut.wav"];
    vyrTestFiles::writeSine (cut, 44100.0, 2, 44100);
    {
        juce::MemoryBlock data;
        cut.loadFileAsData (data);
        cut.replaceWithData (data.getData(), data.getSize() / 2);
    }
    auto folder = tmp["folder.wav"];
    folder.createDirectory();
    auto aac = tmp["song.m4a"];
    aac.replaceWithText ("....ftypM4A ");

    auto p = standalone();
    p->loadAudioFile (good);
    ASSERT_TRUE (p->fileLoaded);
    const auto overview = p->overviewMax;
    const int revision = p->sectionRevision.load();

    const struct
    {
        juce::File file;
        const char* says;
    } cases[] = {
        { tmp["missing.wav"], "Couldn't find" },
        { notAudio, "not an audio file" },
        { cut, "damaged or incomplete" },
        { folder, "is a folder" },
        { aac, "not an audio file" },
    };
    for (const auto& c : cases)
    {
        p->loadAudioFile (c.file);
        EXPECT_TRUE (p->loadError.contains (c.says)) << p->loadError;
        EXPECT_TRUE (p->loadError.contains (c.file.getFileName())) << p->loadError;
        EXPECT_TRUE (p->fileLoaded);
        EXPECT_EQ (p->loadedFile, good);
        EXPECT_EQ (p->overviewMax, overview);
        EXPECT_EQ (p->sectionRevision.load(), revision);
        EXPECT_NEAR (p->transport.getLengthInSeconds(), 0.1, 1e-9);
    }
    p->loadAudioFile (good);
    EXPECT_EQ (p->loadError, "");
}

TEST (FileLoad, PlayRewindsOnlyAtTheEnd)
{
    ScratchDir tmp;
    auto file = tmp["p.wav"];
    vyrTestFiles::writeSine (file, 48000.0, 2, 48000);
    auto p = standalone();
    p->playFile();
    EXPECT_FALSE (p->transport.isPlaying());
    p->loadAudioFile (file);
    p->transport.setPosition (0.5);
    // The read-ahead thread reads the whole one-second file into its buffer: its reader then stands
    // at the end while playback is paused in the middle (bounded wait for that thread).
    const auto end = juce::Time::getMillisecondCounter() + 10000;
    while (p->readerSource->getNextReadPosition() < p->readerSource->getTotalLength() && juce::Time::getMillisecondCounter() < end)
        juce::Thread::sleep (1);
    p->playFile();
    EXPECT_TRUE (p->transport.isPlaying());
    EXPECT_NEAR (p->transport.getCurrentPosition(), 0.5, 1e-3) << "a pause in the middle resumes where it was";
    p->transport.stop();
    p->transport.setPosition (1.0);
    p->playFile();
    EXPECT_NEAR (p->transport.getCurrentPosition(), 0.0, 1e-3);
    p->transport.stop();
}

namespace
{
// The chain run offline over `file` as the export does: the file and its tail in 4096-frame
// blocks at the file's rate.
juce::AudioBuffer<float> offlineRender (const juce::File& file, juce::int64 tailFrames, int product = 15)
{
    const auto src = vyrTestFiles::readAll (file);
    auto p = vyrTest::makeProcessor (product);
    vyrTest::prepare (*p, src.rate, 4096);
    const int length = src.audio.getNumSamples();
    const int total = length + (int) tailFrames;
    juce::AudioBuffer<float> out (2, total);
    out.clear();
    for (int ch = 0; ch < 2; ++ch)
        out.copyFrom (ch, 0, src.audio, std::min (ch, src.audio.getNumChannels() - 1), 0, length);
    for (int pos = 0; pos < total; pos += 4096)
    {
        const int n = std::min (4096, total - pos);
        juce::AudioBuffer<float> block (out.getArrayOfWritePointers(), 2, pos, n);
        p->processMasteredBlock (block, false, pos < length ? (double) pos / length : 1.0);
    }
    return out;
}
}

TEST (MasteredExport, FloatWavEqualsTheChainRunOffline)
{
    ScratchDir tmp;
    for (int channels : { 2, 1 })
    {
        auto song = tmp[juce::String ("song") + juce::String (channels) + ".wav"];
        const int frames = 4096 * 5 + 1234;
        juce::Random rng (channels);
        vyrTestFiles::writeWav (song, 44100.0, channels, frames, [&rng] (int, int i)
                                { return 0.3f * (float) std::sin (i * 0.03) + 0.1f * (rng.nextFloat() - 0.5f); });

        auto p = standalone();
        p->loadAudioFile (song);
        ASSERT_TRUE (p->fileLoaded);
        p->exportInfo.bitDepthChoice = 2; // 32-bit float: no dither, exact samples
        const auto dest = tmp["master.wav"];
        ASSERT_EQ (p->exportMastered (dest, Format::wav), "");

        const auto out = vyrTestFiles::readAll (dest);
        ASSERT_TRUE (out.floatingPoint);
        const juce::int64 tail = std::llround (44100.0 * 0.25);
        ASSERT_EQ (out.audio.getNumSamples(), frames + tail);
        const auto ref = offlineRender (song, tail);
        int mismatches = 0;
        for (int ch = 0; ch < 2; ++ch)
            for (int i = 0; i < ref.getNumSamples(); ++i)
                mismatches += out.audio.getSample (ch, i) != ref.getSample (ch, i);
        EXPECT_EQ (mismatches, 0);
        EXPECT_GT (vyrTestSignals::rms (out.audio.getReadPointer (0), frames), 0.05);
        if (channels == 1)
            for (int i = 0; i < frames; i += 7)
                ASSERT_EQ (out.audio.getSample (0, i), out.audio.getSample (1, i));
    }
}

TEST (MasteredExport, TailLengthFollowsDelayAndReverb)
{
    ScratchDir tmp;
    auto song = tmp["s.wav"];
    vyrTestFiles::writeSine (song, 44100.0, 2, 4410);
    struct Case
    {
        bool delayOn;
        float delayTime;
        bool reverbOn;
        float decay;
        double seconds;
    };
    const Case cases[] = { { false, 0.5f, false, 3.0f, 0.25 }, { true, 0.5f, false, 3.0f, 2.0 }, { true, 0.05f, false, 3.0f, 0.25 }, { false, 0.5f, true, 3.0f, 3.0 }, { true, 1.5f, true, 12.0f, 8.0 } };
    for (const auto& c : cases)
    {
        auto p = standalone (0); // the full chain: its delay follows the delay parameters, not SPACE
        vyrTest::setParam (*p, "delay_enabled", c.delayOn ? 1.0f : 0.0f);
        vyrTest::setParam (*p, "delay_time", c.delayTime);
        vyrTest::setParam (*p, "reverb_enabled", c.reverbOn ? 1.0f : 0.0f);
        vyrTest::setParam (*p, "reverb_decay", c.decay);
        p->loadAudioFile (song);
        auto dest = tmp["t.flac"];
        ASSERT_EQ (p->exportMastered (dest, Format::flac), "");
        EXPECT_EQ (vyrTestFiles::readAll (dest).audio.getNumSamples(), 4410 + std::llround (44100.0 * c.seconds)) << c.seconds;
    }
}

namespace
{
struct RoundTrip
{
    Format f;
    int rateChoice, depthChoice, kbpsChoice;
    double rate;
    int bits;          // PCM bits, 0 for lossy
    int kbps;          // nominal bit rate, 0 for PCM
    juce::int64 slack; // frames of codec framing allowed in the length
};

const RoundTrip kRoundTrips[] = {
    { Format::wav, 0, 0, 3, 44100, 16, 0, 0 },
    { Format::wav, 2, 1, 3, 48000, 24, 0, 0 },
    { Format::aiff, 0, 1, 3, 44100, 24, 0, 0 },
    { Format::flac, 4, 0, 3, 96000, 16, 0, 0 },
    { Format::ogg, 0, 1, 0, 44100, 0, 128, 0 },
    { Format::m4a, 0, 1, 1, 44100, 0, 192, 1024 },
    { Format::mp4, 2, 1, 0, 48000, 0, 128, 1024 },
    { Format::mp3, 0, 1, 3, 44100, 0, 320, 2 * 1152 },
};
}

class ExportRoundTrip : public ::testing::TestWithParam<RoundTrip>
{
};

INSTANTIATE_TEST_SUITE_P (MasteredExport, ExportRoundTrip, ::testing::ValuesIn (kRoundTrips),
                          [] (const auto& info)
                          { return juce::String (vyrAudioIo::kSpecs[(int) info.param.f].name).toStdString() + "_" + std::to_string ((int) info.param.rate); });

TEST_P (ExportRoundTrip, ReadsBackThroughIndependentDecoders)
{
    if (! vyrTestFiles::haveProgram ("ffprobe"))
        GTEST_SKIP() << "ffprobe is not installed";
    ScratchDir tmp;
    auto song = tmp["Song.wav"];
    const int frames = 22050;
    vyrTestFiles::writeSine (song, 44100.0, 2, frames, 440.0, 0.3f);
    const juce::int64 tail = std::llround (44100.0 * 0.25);
    const auto& c = GetParam();
    const juce::String name = vyrAudioIo::kSpecs[(int) c.f].name;
    auto p = standalone();
    p->loadAudioFile (song);
    auto& info = p->exportInfo;
    info.title = "Night Drive";
    info.artist = "Kaldun Trio";
    info.album = "Quarn Sessions";
    info.track = "3";
    info.year = "2026";
    info.genre = "Jazz";
    info.comment = "(c) 2026 Kaldun";
    info.isrc = "usx9p2600003";
    info.sampleRateChoice = c.rateChoice;
    info.bitDepthChoice = c.depthChoice;
    info.bitRateChoice = c.kbpsChoice;

    auto dest = tmp[vyrAudioIo::suggestedFileName (song.getFullPathName(), c.f, info.title)];
    {
        vyrTestFiles::PrivateTempFolder temp;
        ASSERT_EQ (p->exportMastered (dest, c.f), "") << name;
        EXPECT_EQ (temp.numFiles(), 0) << "nothing staged stays behind: " << name;
    }
    EXPECT_EQ (tmp.dir.getNumberOfChildFiles (juce::File::findFiles, ".*"), 0) << "no partial file beside " << name;

    const auto info2 = vyrTestFiles::probe (dest);
    const auto stream = info2["streams"][0];
    EXPECT_EQ ((int) stream["sample_rate"].toString().getIntValue(), (int) c.rate) << name;
    EXPECT_EQ ((int) stream["channels"], 2) << name;
    if (c.bits > 0)
    {
        const int bits = stream["bits_per_raw_sample"].toString().getIntValue() > 0 ? stream["bits_per_raw_sample"].toString().getIntValue()
                                                                                    : (int) stream["bits_per_sample"];
        EXPECT_EQ (bits, c.bits) << name;
    }
    if (c.kbps > 0)
        EXPECT_NEAR (stream["bit_rate"].toString().getDoubleValue() / 1000.0, c.kbps, c.kbps * 0.12) << name;

    const auto expectedFrames = vyrAudioIo::resampledLength (frames + tail, 44100.0, c.rate);
    const double seconds = info2["format"]["duration"].toString().getDoubleValue();
    EXPECT_NEAR (seconds * c.rate, (double) expectedFrames, (double) c.slack + 1.0) << name;
    if (c.slack == 0)
        EXPECT_EQ (vyrTestFiles::decodedFrames (dest), expectedFrames) << name;

    EXPECT_EQ (vyrTestFiles::probedTag (info2, "title"), "Night Drive") << name;
    EXPECT_EQ (vyrTestFiles::probedTag (info2, c.f == Format::aiff ? "author" : "artist"), "Kaldun Trio") << name;
    if (c.f != Format::ogg)
        EXPECT_EQ (vyrTestFiles::probedTag (info2, "copyright"), "(c) 2026 Kaldun") << name;
    if (c.f == Format::flac || c.f == Format::m4a || c.f == Format::mp4 || c.f == Format::mp3)
    {
        EXPECT_EQ (vyrTestFiles::probedTag (info2, "album"), "Quarn Sessions") << name;
        EXPECT_EQ (vyrTestFiles::probedTag (info2, "genre"), "Jazz") << name;
        EXPECT_TRUE (vyrTestFiles::probedTag (info2, "date").startsWith ("2026")) << name;
        EXPECT_TRUE (vyrTestFiles::probedTag (info2, "track").startsWith ("3")) << name;
        EXPECT_EQ (vyrTestFiles::probedTag (info2, c.f == Format::mp3 ? "TSRC" : "isrc"), "USX9P2600003") << name;
    }
    if (c.f == Format::flac && vyrTestFiles::haveProgram ("metaflac"))
    {
        const auto list = vyrTestFiles::run ({ "metaflac", "--list", "--block-type=VORBIS_COMMENT", dest.getFullPathName() });
        EXPECT_EQ (list.indexOf ("METADATA block"), list.lastIndexOf ("METADATA block")) << "one Vorbis comment block";
        EXPECT_EQ (vyrTestFiles::run ({ "metaflac", "--show-tag=ISRC", dest.getFullPathName() }).trim(), "ISRC=USX9P2600003");
    }
    // The music is there: a 440 Hz tone well above the dither.
    const auto decoded = vyrTestFiles::readAll (dest);
    if (decoded.audio.getNumSamples() > 0)
        EXPECT_GT (vyrTestSignals::amplitudeAt (decoded.audio.getReadPointer (0), 2000, 8000, 440.0, c.rate), 0.05) << name;
}

TEST (MasteredExport, RedBookIsCdAudio)
{
    ScratchDir tmp;
    auto song = tmp["s48.wav"];
    vyrTestFiles::writeSine (song, 48000.0, 2, 9600);
    auto p = standalone();
    p->loadAudioFile (song);
    p->exportInfo.redBook = true;
    p->exportInfo.bitDepthChoice = 2;
    const auto dest = tmp["cd.flac"];
    ASSERT_EQ (p->exportMastered (dest, Format::flac), "");
    const auto d = vyrTestFiles::readAll (dest);
    EXPECT_EQ (d.rate, 44100.0);
    EXPECT_EQ (d.bits, 16u);
    EXPECT_EQ (d.audio.getNumSamples(), vyrAudioIo::resampledLength (9600 + 12000, 48000.0, 44100.0));
}

TEST (MasteredExport, BadInputLeavesEverythingAsItWas)
{
    ScratchDir tmp;
    auto song = tmp["song.wav"];
    vyrTestFiles::writeSine (song, 44100.0, 2, 44100 * 2);
    auto p = standalone();

    EXPECT_EQ (p->exportMastered (tmp["x.wav"], Format::wav), "Load an audio file first.");
    EXPECT_FALSE (tmp["x.wav"].exists());

    p->loadAudioFile (song);
    ASSERT_TRUE (p->fileLoaded);
    EXPECT_EQ (p->exportMastered (tmp["x.wav"], Format::none), "MP3 export is not available.");

    auto keep = tmp["keep.wav"];
    keep.replaceWithText ("the master the user made yesterday");
    EXPECT_EQ (p->exportMastered (tmp["no/such/dir/keep.wav"], Format::wav),
               "Couldn't create keep.wav (folder " + tmp["no/such/dir"].getFullPathName() + " does not exist)");
    auto locked = tmp["locked"];
    locked.createDirectory();
    auto lockedFile = locked.getChildFile ("m.flac");
    lockedFile.replaceWithText ("older master");
    locked.setReadOnly (true);
    if (! locked.getChildFile ("probe").create().wasOk())
    {
        EXPECT_EQ (p->exportMastered (lockedFile, Format::flac), "Couldn't create m.flac (folder " + locked.getFullPathName() + " is not writable)");
        EXPECT_EQ (lockedFile.loadFileAsString(), "older master");
    }
    locked.setReadOnly (false);

    // A disk that fills up part-way: each format reports a failure, the existing file stays as it
    // was, and neither a partial file nor a staging file is left behind.
    const struct
    {
        Format f;
        int rateChoice;
        const char* says;
    } full[] = {
        { Format::wav, 0, "Failed while writing keep.wav" },
        { Format::flac, 0, "Failed while writing keep.flac" },
        { Format::wav, 2, "Failed while writing" },
        { Format::m4a, 0, "Failed to finalise the AAC/MP3 file." },
        { Format::mp3, 0, "Failed" },
    };
    for (const auto& c : full)
    {
        auto dest = keep.withFileExtension (vyrAudioIo::kSpecs[(int) c.f].extension);
        dest.replaceWithText ("the master the user made yesterday");
        p->exportInfo.sampleRateChoice = c.rateChoice;
        juce::String result;
        {
            vyrTestFiles::PrivateTempFolder temp;
            {
                DiskSpaceLimit limit (60000);
                result = p->exportMastered (dest, c.f);
            }
            EXPECT_EQ (temp.numFiles(), 0) << "nothing staged stays behind";
        }
        EXPECT_TRUE (result.startsWith (c.says)) << result;
        EXPECT_EQ (dest.loadFileAsString(), "the master the user made yesterday");
        EXPECT_EQ (tmp.dir.getNumberOfChildFiles (juce::File::findFiles, ".*"), 0);
    }
    p->exportInfo.sampleRateChoice = 0;

    // A loaded file that disappeared or went bad since loading.
    auto gone = tmp["gone.wav"];
    vyrTestFiles::writeSine (gone, 44100.0, 2, 1000);
    p->loadAudioFile (gone);
    gone.replaceWithText ("no longer audio");
    EXPECT_EQ (p->exportMastered (tmp["y.wav"], Format::wav), "Couldn't decode gone.wav for export.");
    gone.deleteFile();
    EXPECT_EQ (p->exportMastered (tmp["y.wav"], Format::wav), "Load an audio file first.");
    EXPECT_FALSE (tmp["y.wav"].exists());
}

TEST (MasteredExport, LiveStateIsRestoredExactlyAfterSuccessAndFailure)
{
    ScratchDir tmp;
    auto song = tmp["song.wav"];
    vyrTestFiles::writeSine (song, 44100.0, 2, 44100);
    juce::AudioBuffer<float> input (2, 512);
    vyrTestSignals::fillNoiseAllChannels (input, 9, 0.4f);

    auto liveBlocks = [&input] (VyrAudioProcessor& p)
    {
        juce::AudioBuffer<float> out (2, 512 * 6);
        for (int b = 0; b < 6; ++b)
        {
            juce::AudioBuffer<float> block (input);
            p.processMasteredBlock (block, true, -1.0);
            for (int ch = 0; ch < 2; ++ch)
                out.copyFrom (ch, b * 512, block, ch, 0, 512);
        }
        return out;
    };
    auto setUp = [&song] (VyrAudioProcessor& p)
    {
        vyrTest::setParam (p, "masterTrim", 20.0f);
        vyrTest::setParam (p, "reverb_enabled", 1.0f);
        vyrTest::setParam (p, "delay_enabled", 1.0f);
        p.loadAudioFile (song);
        p.prepareToPlay (48000.0, 512);
    };

    auto fresh = vyrTest::makeProcessor (15);
    vyrTest::prepare (*fresh, 48000.0, 512);
    setUp (*fresh);
    const auto expected = liveBlocks (*fresh);

    for (int failing : { 0, 1 })
    {
        auto p = vyrTest::makeProcessor (15);
        vyrTest::prepare (*p, 48000.0, 512);
        setUp (*p);
        juce::String result;
        if (failing == 0)
            result = p->exportMastered (tmp["ok.wav"], Format::wav);
        else
        {
            DiskSpaceLimit limit (30000);
            result = p->exportMastered (tmp["full.wav"], Format::wav);
        }
        EXPECT_EQ (result.isEmpty(), failing == 0) << result;
        EXPECT_FALSE (p->isSuspended());
        EXPECT_EQ (p->hostSampleRate, 48000.0);
        const auto after = liveBlocks (*p);
        int mismatches = 0;
        for (int ch = 0; ch < 2; ++ch)
            for (int i = 0; i < after.getNumSamples(); ++i)
                mismatches += after.getSample (ch, i) != expected.getSample (ch, i);
        EXPECT_EQ (mismatches, 0) << (failing ? "after a failed export" : "after an export");
    }
}

TEST (MasteredExport, PlaybackResumesAfterExport)
{
    ScratchDir tmp;
    auto song = tmp["song.wav"];
    vyrTestFiles::writeSine (song, 44100.0, 2, 4410);
    auto p = standalone();
    p->loadAudioFile (song);
    p->playFile();
    ASSERT_TRUE (p->transport.isPlaying());
    ASSERT_EQ (p->exportMastered (tmp["m.ogg"], Format::ogg), "");
    EXPECT_TRUE (p->transport.isPlaying());
    p->transport.stop();
    EXPECT_GT (tmp["m.ogg"].getSize(), 0);
}
