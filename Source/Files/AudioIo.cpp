#include "Files/AudioIo.h"

namespace vyrAudioIo
{
const FormatSpec kSpecs[7] = {
    { Format::wav, "WAV", "wav" },
    { Format::aiff, "AIFF", "aiff" },
    { Format::flac, "FLAC", "flac" },
    { Format::ogg, "OGG", "ogg" },
    { Format::m4a, "M4A", "m4a" },
    { Format::mp4, "MP4", "mp4" },
    { Format::mp3, "MP3", "mp3" },
};

const double kRateHz[7] = { 0.0, 44100.0, 48000.0, 88200.0, 96000.0, 176400.0, 192000.0 };
const int kKbpsValues[4] = { 128, 192, 256, 320 };

const FormatSpec& specOf (Format format) noexcept
{
    return kSpecs[juce::jlimit (0, 6, (int) format)];
}

void ExportInfo::seedFromFileName (const juce::String& fileName)
{
    const auto base = juce::File::createFileWithoutCheckingPath (fileName).getFileNameWithoutExtension();
    if (base.isEmpty())
        return;
    if (! titleEdited && (title.isEmpty() || title == defaultTitle))
        title = base;
    defaultTitle = base;
}

ExportSettings resolveExportSettings (const ExportInfo& info, Format format, double sourceRate)
{
    const double source = sourceRate > 0.0 ? sourceRate : 44100.0;
    const bool lossy = format == Format::m4a || format == Format::mp4 || format == Format::mp3;
    ExportSettings s;
    s.kbps = kKbpsValues[juce::jlimit (0, 3, info.bitRateChoice)];

    if (info.redBook)
    {
        s.sampleRate = 44100.0;
        s.bitDepth = 16;
        s.dither = true;
        return s;
    }

    s.sampleRate = info.sampleRateChoice >= 1 ? kRateHz[std::min (6, info.sampleRateChoice)] : source;
    if (lossy && s.sampleRate != 44100.0 && s.sampleRate != 48000.0)
        s.sampleRate = source == 48000.0 ? 48000.0 : 44100.0;

    const int choice = info.bitDepthChoice;
    switch (format)
    {
        case Format::wav:
            s.bitDepth = choice == 0 ? 16 : (choice == 2 ? 32 : 24);
            break;
        case Format::aiff:
        case Format::flac:
            s.bitDepth = choice == 0 ? 16 : 24;
            break;
        case Format::ogg:
            s.bitDepth = 32;
            break;
        default:
            s.bitDepth = 16;
            break;
    }
    s.dither = lossy || (format != Format::ogg && s.bitDepth == 16);
    return s;
}

Format formatFromExtension (juce::String extension)
{
    while (extension.startsWithChar ('.'))
        extension = extension.substring (1);
    extension = extension.toLowerCase();
    if (extension == "wav")
        return Format::wav;
    if (extension == "aif" || extension == "aiff")
        return Format::aiff;
    if (extension == "flac")
        return Format::flac;
    if (extension == "ogg")
        return Format::ogg;
    if (extension == "m4a")
        return Format::m4a;
    if (extension == "mp4")
        return Format::mp4;
    if (extension == "mp3")
        return Format::mp3;
    return Format::none;
}

bool isLoadableFile (const juce::File& file)
{
    if (! file.existsAsFile())
        return false;
    auto ext = file.getFileExtension();
    while (ext.startsWithChar ('.'))
        ext = ext.substring (1);
    return juce::StringArray { "wav", "aif", "aiff", "flac", "ogg", "mp3", "m4a", "mp4" }.contains (ext, true);
}

juce::File chosenFile (const juce::FileChooser& chooser)
{
    const auto f = chooser.getResult();
    if (f.getFullPathName().isNotEmpty() && f.existsAsFile())
        return f;
    return {};
}

juce::File chosenSaveFile (const juce::FileChooser& chooser)
{
    const auto url = chooser.getURLResult();
    if (url.isLocalFile())
    {
        const auto f = url.getLocalFile();
        if (f.getFullPathName().isNotEmpty())
            return f;
    }
    return chooser.getResult();
}

juce::File findLameExecutable()
{
    for (auto* path : { "/opt/homebrew/bin/lame", "/usr/local/bin/lame", "/opt/local/bin/lame", "/usr/bin/lame" })
    {
        const juce::File f (path);
        if (f.existsAsFile())
            return f;
    }
    return {};
}

bool canWrite (Format format)
{
    return (int) format >= 0 && (int) format <= 6;
}

juce::String cannotWriteReason (Format format)
{
    if (canWrite (format))
        return {};
    return juce::String (specOf (format).name) + " export is not available.";
}

juce::String cannotCreateText (const juce::File& file, const juce::String& systemReason)
{
    const auto folder = file.getParentDirectory();
    const auto path = folder.getFullPathName();
    juce::String why;
    if (! folder.exists())
        why = "folder " + path + " does not exist";
    else if (! folder.isDirectory())
        why = path + " is not a folder";
    else if (! folder.hasWriteAccess())
        why = "folder " + path + " is not writable";
    else if (systemReason.isNotEmpty())
        why = systemReason + " in folder " + path;
    else
        why = "in folder " + path;
    return "Couldn't create " + file.getFileName() + " (" + why + ")";
}

juce::File exportStartFolder (const juce::File& lastFolder, const juce::File& song)
{
    const juce::File song0 = song.getFullPathName().isNotEmpty() ? song.getParentDirectory() : juce::File();
    for (const auto& folder : { lastFolder, song0, juce::File::getSpecialLocation (juce::File::userMusicDirectory) })
        if (folder.getFullPathName().isNotEmpty() && folder.isDirectory())
            return folder;
    return juce::File::getSpecialLocation (juce::File::userHomeDirectory);
}

juce::String suggestedFileName (const juce::String& sourceName, Format format, const juce::String& title)
{
    auto base = juce::File::createLegalFileName (title.trim());
    while (base.endsWithChar ('.'))
        base = base.dropLastCharacters (1).trim();
    if (base.isEmpty())
        base = juce::File::createFileWithoutCheckingPath (sourceName).getFileNameWithoutExtension();
    if (base.isEmpty())
        base = "master";
    return base + "_VYR_Master." + specOf (format).extension;
}

ExportTarget exportTargetFor (const juce::File& chosen, Format fallback)
{
    ExportTarget t;
    t.file = chosen;
    t.format = formatFromExtension (chosen.getFileExtension());
    if (t.format == Format::none)
    {
        t.format = ((int) fallback >= 0 && (int) fallback < 7) ? fallback : Format::wav;
        t.file = chosen.withFileExtension (kSpecs[(int) t.format].extension);
        t.replacesOtherFile = t.file != chosen && t.file.exists();
    }
    return t;
}
}
