// Formats, export settings, stream writers, container tags and the resampling copy.
#include <gtest/gtest.h>
#include "FileTestUtil.h"
#include "TestSignals.h"
#include "Files/AudioIo.h"
#include "Files/ExportTags.h"
#include "Files/FfmpegStreamWriter.h"
#include "Files/ResampleCopy.h"
#include "Files/StreamWriter.h"

using namespace vyrAudioIo;
using vyrTestFiles::ScratchDir;

TEST (ExportFormats, ExtensionsNamesAndAvailability)
{
    const struct
    {
        const char* ext;
        Format f;
    } cases[] = {
        { ".MP3", Format::mp3 },
        { "Aif", Format::aiff },
        { "aiff", Format::aiff },
        { "wav", Format::wav },
        { "..flac", Format::flac },
        { "ogg", Format::ogg },
        { "m4a", Format::m4a },
        { "MP4", Format::mp4 },
        { "", Format::none },
        { "wave", Format::none },
    };
    for (const auto& c : cases)
        EXPECT_EQ (formatFromExtension (c.ext), c.f) << c.ext;

    const char* names[] = { "WAV", "AIFF", "FLAC", "OGG", "M4A", "MP4", "MP3" };
    for (int i = 0; i < 7; ++i)
    {
        EXPECT_STREQ (kSpecs[i].name, names[i]);
        EXPECT_EQ ((int) kSpecs[i].format, i);
        EXPECT_TRUE (canWrite ((Format) i));
        EXPECT_EQ (cannotWriteReason ((Format) i), "");
    }
    EXPECT_FALSE (canWrite (Format::none));
    EXPECT_EQ (cannotWriteReason (Format::none), "MP3 export is not available.");
    EXPECT_EQ (cannotWriteReason ((Format) -3), "WAV export is not available.");
}

TEST (ExportFormats, LoadableFilesAndChosenNames)
{
    ScratchDir tmp;
    auto folder = tmp["song.wav"];
    folder.createDirectory();
    EXPECT_FALSE (isLoadableFile (folder));
    auto song = tmp["Song.FLAC"];
    song.replaceWithText ("not inspected");
    EXPECT_TRUE (isLoadableFile (song));
    auto text = tmp["notes.txt"];
    text.replaceWithText ("x");
    EXPECT_FALSE (isLoadableFile (text));
    EXPECT_FALSE (isLoadableFile (tmp["missing.wav"]));

    const struct
    {
        const char* source;
        Format f;
        const char* title;
        const char* expected;
    } names[] = {
        { "/music/Take 3.aif", Format::wav, "", "Take 3_VYR_Master.wav" },
        { "/music/Take 3.aif", Format::flac, "...", "Take 3_VYR_Master.flac" },
        { "", Format::mp3, "  ", "master_VYR_Master.mp3" },
        { "x.wav", Format::m4a, "Night Drive.", "Night Drive_VYR_Master.m4a" },
        { "x.wav", Format::aiff, "a/b:c", juce::File::createLegalFileName ("a/b:c").toRawUTF8() },
    };
    for (const auto& c : names)
        if (juce::String (c.title) != "a/b:c")
            EXPECT_EQ (suggestedFileName (c.source, c.f, c.title), c.expected) << c.title;
    EXPECT_EQ (suggestedFileName ("x.wav", Format::aiff, "a/b:c"), juce::File::createLegalFileName ("a/b:c") + "_VYR_Master.aiff");

    // A name without a known extension becomes WAV; the caller must ask before replacing another file.
    const auto plain = exportTargetFor (tmp["mix.final"]);
    EXPECT_EQ (plain.format, Format::wav);
    EXPECT_EQ (plain.file.getFileName(), "mix.wav");
    EXPECT_FALSE (plain.replacesOtherFile);
    tmp["mix.wav"].replaceWithText ("the user's earlier master");
    EXPECT_TRUE (exportTargetFor (tmp["mix.final"]).replacesOtherFile);
    EXPECT_FALSE (exportTargetFor (tmp["mix.wav"]).replacesOtherFile);
    EXPECT_EQ (exportTargetFor (tmp["mix.Mp3"]).format, Format::mp3);
}

TEST (ExportFormats, TitleFollowsLoadedFilesUntilTheUserTypesOne)
{
    ExportInfo info;
    info.seedFromFileName ("/a/a.wav");
    EXPECT_EQ (info.title, "a");
    info.seedFromFileName ("/a/b.wav");
    EXPECT_EQ (info.title, "b");
    info.seedFromFileName ("");
    EXPECT_EQ (info.defaultTitle, "b");
    info.title = "My Song";
    info.titleEdited = true;
    info.seedFromFileName ("c.wav");
    EXPECT_EQ (info.title, "My Song");
    EXPECT_EQ (info.defaultTitle, "c");
}

TEST (ExportFormats, SettingsFromTheChoices)
{
    struct Case
    {
        Format f;
        bool redBook;
        int rateChoice, depthChoice, kbpsChoice;
        double source;
        double rate;
        int bits;
        bool dither;
        int kbps;
    };
    const Case cases[] = {
        { Format::mp3, true, 4, 2, 1, 96000, 44100, 16, true, 192 },
        { Format::flac, true, 0, 1, 3, 48000, 44100, 16, true, 320 },
        { Format::m4a, false, 0, 1, 3, 96000, 44100, 16, true, 320 },
        { Format::m4a, false, 0, 1, 3, 48000, 48000, 16, true, 320 },
        { Format::mp4, false, 4, 1, 0, 48000, 48000, 16, true, 128 },
        { Format::wav, false, 9, 2, 7, 44100, 192000, 32, false, 320 },
        { Format::wav, false, 0, 0, -1, 0, 44100, 16, true, 128 },
        { Format::wav, false, 2, 5, 3, 44100, 48000, 24, false, 320 },
        { Format::aiff, false, 0, 2, 3, 44100, 44100, 24, false, 320 },
        { Format::flac, false, 0, 0, 3, 88200, 88200, 16, true, 320 },
        { Format::ogg, false, 0, 0, 1, 44100, 44100, 32, false, 192 },
    };
    for (const auto& c : cases)
    {
        ExportInfo info;
        info.redBook = c.redBook;
        info.sampleRateChoice = c.rateChoice;
        info.bitDepthChoice = c.depthChoice;
        info.bitRateChoice = c.kbpsChoice;
        const auto s = resolveExportSettings (info, c.f, c.source);
        EXPECT_EQ (s.sampleRate, c.rate) << kSpecs[(int) c.f].name << " " << c.source;
        EXPECT_EQ (s.bitDepth, c.bits) << kSpecs[(int) c.f].name;
        EXPECT_EQ (s.dither, c.dither) << kSpecs[(int) c.f].name;
        EXPECT_EQ (s.kbps, c.kbps) << kSpecs[(int) c.f].name;
    }
}

TEST (ExportTags, WriterPairsPerFormat)
{
    ExportTags t;
    EXPECT_EQ (metadataFor (Format::wav, t).size(), 0);
    EXPECT_EQ (metadataFor (Format::flac, t).size(), 0);

    t.title = " Song ";
    t.artist = "Band";
    t.isrc = "usabc1234567";
    t.comment = "(c) 2026 Label";
    const auto wav = metadataFor (Format::wav, t);
    EXPECT_EQ (wav["INAM"], "Song");
    EXPECT_EQ (wav["international standard recording code"], "USABC1234567");
    EXPECT_EQ (wav["bwav description"], "Song / Band");
    EXPECT_EQ (wav["ICOP"], "(c) 2026 Label");
    EXPECT_EQ (wav["ICMT"], "(c) 2026 Label");
    EXPECT_FALSE (wav.containsKey ("IPRD"));

    for (auto f : { Format::ogg, Format::mp3 })
        EXPECT_EQ (metadataFor (f, t)["id3comment"], "(c) 2026 Label | ISRC USABC1234567");
    t.comment = "";
    EXPECT_EQ (metadataFor (Format::ogg, t)["id3comment"], "ISRC USABC1234567");
    const auto flac = metadataFor (Format::flac, t);
    EXPECT_EQ (flac["ISRC"], "USABC1234567");
    EXPECT_EQ (flac["title"], "Song");
}

TEST (ExportTags, AiffTextChunksAppendedToTheForm)
{
    ScratchDir tmp;
    auto file = tmp["t.aiff"];
    WriterConfig cfg;
    juce::String error;
    {
        auto w = createWriter (file, Format::aiff, cfg, error);
        ASSERT_NE (w, nullptr) << error;
        juce::AudioBuffer<float> b (2, 100);
        b.clear();
        ASSERT_TRUE (w->write (b, 100));
        EXPECT_EQ (w->finish(), "");
    }
    const auto before = file.getSize();

    ExportTags none;
    EXPECT_EQ (applyContainerTags (file, Format::aiff, none), "");
    EXPECT_EQ (file.getSize(), before);

    ExportTags t;
    t.title = "Abc";
    EXPECT_EQ (applyContainerTags (file, Format::aiff, t), "");
    juce::MemoryBlock data;
    file.loadFileAsData (data);
    ASSERT_EQ ((juce::int64) data.getSize(), before + 12);
    const auto* b = static_cast<const char*> (data.getData());
    EXPECT_EQ (juce::ByteOrder::bigEndianInt (b + 4), (juce::uint32) (before - 8 + 12));
    EXPECT_EQ (juce::String (b + before, 4), "NAME");
    EXPECT_EQ (juce::ByteOrder::bigEndianInt (b + before + 4), 3u);
    EXPECT_EQ (juce::String (b + before + 8, 3), "Abc");
    EXPECT_EQ (b[before + 11], 0);
    // The framework still reads the file as the same audio.
    EXPECT_EQ (vyrTestFiles::readAll (file).audio.getNumSamples(), 100);

    juce::MemoryOutputStream anno;
    appendAiffTextChunk (anno, "ANNO", "  ");
    EXPECT_EQ (anno.getDataSize(), 0u);
}

TEST (ExportTags, FlacCarriesOneVorbisCommentBlock)
{
    if (! vyrTestFiles::haveProgram ("metaflac"))
        GTEST_SKIP() << "metaflac is not installed";
    ScratchDir tmp;
    for (bool withSeekTable : { false, true })
    {
        auto file = tmp[withSeekTable ? "b.flac" : "a.flac"];
        {
            WriterConfig cfg;
            juce::String error;
            auto w = createWriter (file, Format::flac, cfg, error);
            ASSERT_NE (w, nullptr) << error;
            juce::AudioBuffer<float> b (2, 44100);
            vyrTestSignals::fillSine (b, 0, 440.0, 44100.0, 0.3f);
            vyrTestSignals::fillSine (b, 1, 550.0, 44100.0, 0.3f);
            ASSERT_TRUE (w->write (b, 44100));
            ASSERT_EQ (w->finish(), "");
        }
        if (withSeekTable)
            vyrTestFiles::run ({ "metaflac", "--remove-all", "--add-seekpoint=10x", "--dont-use-padding", file.getFullPathName() });

        ExportTags t;
        t.title = juce::String::fromUTF8 ("\xc3\x9c"
                                          "ber Song");
        t.isrc = "gbxyz2600001";
        t.comment = "Label";
        ASSERT_EQ (applyContainerTags (file, Format::flac, t), "");

        int code = 0;
        const auto list = vyrTestFiles::run ({ "metaflac", "--list", "--block-type=VORBIS_COMMENT", file.getFullPathName() }, &code);
        EXPECT_EQ (code, 0);
        EXPECT_EQ (juce::StringArray::fromLines (list).indexOf ("  type: 4 (VORBIS_COMMENT)") >= 0, true) << list;
        int blocks = 0;
        for (const auto& line : juce::StringArray::fromLines (list))
            blocks += line.startsWith ("METADATA block");
        EXPECT_EQ (blocks, 1) << list;
        EXPECT_TRUE (list.contains ("vendor string: Tolvaren"));
        EXPECT_EQ (vyrTestFiles::run ({ "metaflac", "--show-tag=TITLE", "--show-tag=ISRC", "--show-tag=COPYRIGHT", file.getFullPathName() }).trim(),
                   juce::String::fromUTF8 ("TITLE=\xc3\x9c"
                                           "ber Song\nISRC=GBXYZ2600001\nCOPYRIGHT=Label"));
        vyrTestFiles::run ({ "flac", "-t", "-s", file.getFullPathName() }, &code);
        EXPECT_EQ (code, 0) << "the audio frames must stay intact";
    }
}

namespace
{
// An output stream that takes `capacity` bytes and then fails, like a disk running full.
struct FillingStream : juce::OutputStream
{
    explicit FillingStream (juce::int64 cap)
        : capacity (cap)
    {
    }
    void flush() override {}
    bool setPosition (juce::int64 p) override
    {
        position = p;
        return true;
    }
    juce::int64 getPosition() override { return position; }
    bool write (const void*, size_t n) override
    {
        if (position + (juce::int64) n > capacity)
            return false;
        position += (juce::int64) n;
        return true;
    }
    juce::int64 capacity, position = 0;
};

// Collects written frames in memory; fails from write number `failAt` on.
struct MemoryWriter : StreamWriter
{
    juce::AudioBuffer<float> audio { 2, 0 };
    int writes = 0, failAt = -1, frames = 0;
    bool write (const juce::AudioBuffer<float>& b, int n) override
    {
        if (++writes == failAt || failAt > 0 && writes > failAt)
            return false;
        audio.setSize (2, frames + n, true);
        for (int ch = 0; ch < 2; ++ch)
            audio.copyFrom (ch, frames, b, ch, 0, n);
        frames += n;
        return true;
    }
    juce::String finish() override { return {}; }
};

struct MemoryReader : juce::AudioFormatReader
{
    MemoryReader (const juce::AudioBuffer<float>& b, double rate)
        : juce::AudioFormatReader (nullptr, "memory")
        , audio (b)
    {
        sampleRate = rate;
        numChannels = (unsigned int) b.getNumChannels();
        lengthInSamples = b.getNumSamples();
        bitsPerSample = 32;
        usesFloatingPointData = true;
    }
    bool readSamples (int* const* dest, int numDest, int offset, juce::int64 start, int num) override
    {
        for (int ch = 0; ch < numDest; ++ch)
            if (dest[ch] != nullptr)
                for (int i = 0; i < num; ++i)
                {
                    const auto at = start + i;
                    const float v = ch < (int) numChannels && at < lengthInSamples ? audio.getSample (ch, (int) at) : 0.0f;
                    reinterpret_cast<float*> (dest[ch])[offset + i] = v;
                }
        return true;
    }
    juce::AudioBuffer<float> audio;
};
}

TEST (StreamWriters, FullDiskNeverPassesAsSuccess)
{
    auto outcome = std::make_shared<CheckedOutputStream::Outcome>();
    auto* checked = new CheckedOutputStream (std::make_unique<FillingStream> (20000), outcome);
    juce::WavAudioFormat wav;
    std::unique_ptr<juce::AudioFormatWriter> fw (wav.createWriterFor (checked, 44100.0, 2, 24, {}, 0));
    ASSERT_NE (fw, nullptr);
    JuceStreamWriter w (std::move (fw), outcome, "full.wav", false);
    juce::AudioBuffer<float> b (2, 4096);
    vyrTestSignals::fillNoiseAllChannels (b, 3, 0.5f);
    bool allWritten = true;
    for (int i = 0; i < 8; ++i)
        allWritten = w.write (b, 4096) && allWritten;
    EXPECT_FALSE (allWritten);
    EXPECT_EQ (w.finish(), "Failed while writing full.wav");
    EXPECT_FALSE (w.write (b, 16));
}

TEST (StreamWriters, FactoryRulesReadBack)
{
    ScratchDir tmp;
    struct Case
    {
        Format f;
        int bitDepth;
        int channels;
        unsigned int bits;
        unsigned int ch;
        bool isFloat;
    };
    const Case cases[] = {
        { Format::flac, 32, 2, 24, 2, false },
        { Format::flac, 8, 1, 16, 1, false },
        { Format::aiff, 32, 0, 24, 1, false },
        { Format::wav, 32, 5, 32, 2, true },
        { Format::wav, 16, 2, 16, 2, false },
    };
    for (const auto& c : cases)
    {
        auto file = tmp[juce::String ("f.") + kSpecs[(int) c.f].extension];
        file.replaceWithText ("an older file at the path");
        WriterConfig cfg;
        cfg.bitDepth = c.bitDepth;
        cfg.channels = c.channels;
        cfg.sampleRate = 0.0;
        juce::String error = "stale";
        auto w = createWriter (file, c.f, cfg, error);
        ASSERT_NE (w, nullptr);
        EXPECT_EQ (error, "");
        juce::AudioBuffer<float> b (1, 1000);
        vyrTestSignals::fillSine (b, 0, 1000.0, 44100.0, 0.5f);
        EXPECT_TRUE (w->write (b, 1000));
        EXPECT_EQ (w->finish(), "");
        const auto d = vyrTestFiles::readAll (file);
        EXPECT_EQ (d.rate, 44100.0);
        EXPECT_EQ (d.bits, c.bits) << kSpecs[(int) c.f].name << c.bitDepth;
        EXPECT_EQ ((unsigned int) d.audio.getNumChannels(), c.ch);
        EXPECT_EQ (d.floatingPoint, c.isFloat);
        ASSERT_EQ (d.audio.getNumSamples(), 1000);
        // A mono buffer feeds every channel of the file.
        for (int ch = 0; ch < d.audio.getNumChannels(); ++ch)
            EXPECT_NEAR (d.audio.getMagnitude (ch, 0, 1000), 0.5f, 1.0e-3f);
    }

    juce::String error;
    EXPECT_EQ (createWriter (tmp["x.wav"], Format::none, {}, error), nullptr);
    EXPECT_EQ (error, "MP3 export is not available.");
    EXPECT_EQ (createWriter (tmp["no/such/folder/x.wav"], Format::wav, {}, error), nullptr);
    EXPECT_EQ (error, "Couldn't create x.wav (folder " + tmp["no/such/folder"].getFullPathName() + " does not exist)");
    EXPECT_EQ (createWriter (tmp["no/such/folder/x.m4a"], Format::m4a, {}, error), nullptr);
    EXPECT_EQ (error, "Couldn't create x.m4a (folder " + tmp["no/such/folder"].getFullPathName() + " does not exist)");

    FfmpegStreamWriter unopened;
    juce::AudioBuffer<float> b (2, 16);
    EXPECT_FALSE (unopened.write (b, 0));
    EXPECT_EQ (unopened.finish(), "");
    FfmpegStreamWriter open;
    ASSERT_EQ (open.open (tmp["z.m4a"], Format::m4a, 44100.0, 2, 20), "");
    EXPECT_TRUE (open.write (b, 0));
}

TEST (ResamplingCopy, LengthsAndSignal)
{
    struct Case
    {
        double source, target;
        int frames;
        juce::int64 expected;
    };
    const Case cases[] = {
        { 44100.0, 48000.0, 44100, 48000 },
        { 96000.0, 44100.0, 96000, 44100 },
        { 44100.0, 44100.3, 5000, 5000 },
        { 48000.0, 44100.0, 1, 1 },
        { 44100.0, 96000.0, 10007, (juce::int64) std::llround (10007.0 * 96000.0 / 44100.0) },
    };
    for (const auto& c : cases)
    {
        // A 1 kHz sine at 0.5 in both channels (opposite phase in the right).
        juce::AudioBuffer<float> src (2, c.frames);
        vyrTestSignals::fillSine (src, 0, 1000.0, c.source, 0.5f);
        vyrTestSignals::fillSine (src, 1, 1000.0, c.source, -0.5f);
        MemoryReader reader (src, c.source);
        MemoryWriter out;
        juce::Random rng (7);
        ASSERT_TRUE (copyResampled (reader, out, c.target, false, rng));
        ASSERT_EQ ((juce::int64) out.frames, c.expected) << c.source << " -> " << c.target;
        EXPECT_EQ (resampledLength (c.frames, c.source, c.target), c.expected);
        if (c.frames < 20000)
            continue;

        // Away from the ends the sine keeps its level (within the interpolator's passband loss) and
        // its pitch at the new rate.
        const int a = 2000, n = out.frames - 4000;
        const double rms = vyrTestSignals::rms (out.audio.getReadPointer (0, a), n);
        EXPECT_NEAR (vyrTestSignals::toDb (rms), vyrTestSignals::toDb (0.5 / std::sqrt (2.0)), 0.15);
        EXPECT_NEAR (vyrTestSignals::amplitudeAt (out.audio.getReadPointer (0), a, n, 1000.0, c.target), 0.5, 0.01);
        for (int i = a; i < a + n; i += 97)
            EXPECT_NEAR (out.audio.getSample (1, i), -out.audio.getSample (0, i), 1.0e-5f);
    }
}

TEST (ResamplingCopy, MonoDitherEmptyAndFailingWriter)
{
    juce::AudioBuffer<float> mono (1, 3000);
    vyrTestSignals::fillSine (mono, 0, 300.0, 44100.0, 0.4f);
    MemoryReader reader (mono, 44100.0);
    for (double target : { 44100.0, 48000.0 })
    {
        MemoryWriter out;
        juce::Random rng (1);
        ASSERT_TRUE (copyResampled (reader, out, target, false, rng));
        for (int i = 0; i < out.frames; ++i)
            ASSERT_EQ (out.audio.getSample (0, i), out.audio.getSample (1, i));

        MemoryWriter dithered;
        ASSERT_TRUE (copyResampled (reader, dithered, target, true, rng));
        double differ = 0.0, maxNoise = 0.0;
        for (int i = 0; i < out.frames; ++i)
        {
            const double n0 = dithered.audio.getSample (0, i) - out.audio.getSample (0, i);
            const double n1 = dithered.audio.getSample (1, i) - out.audio.getSample (1, i);
            differ += n0 != n1;
            maxNoise = std::max ({ maxNoise, std::abs (n0), std::abs (n1) });
        }
        EXPECT_GT (differ, 0.99 * out.frames) << "each channel gets its own noise";
        EXPECT_LT (maxNoise, 1.0 / 32768.0);
        EXPECT_GT (maxNoise, 0.5 / 32768.0);
    }

    juce::AudioBuffer<float> none (2, 0);
    MemoryReader empty (none, 44100.0);
    MemoryWriter out;
    juce::Random rng;
    EXPECT_FALSE (copyResampled (empty, out, 48000.0, false, rng));
    EXPECT_EQ (out.writes, 0);

    MemoryWriter failing;
    failing.failAt = 1;
    EXPECT_FALSE (copyResampled (reader, failing, 48000.0, false, rng));
    EXPECT_EQ (failing.writes, 1);
}
