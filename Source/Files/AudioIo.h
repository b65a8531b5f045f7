#pragma once

#include <juce_core/juce_core.h>
#include <juce_gui_basics/juce_gui_basics.h>

// What file loading and export share: the export formats, the tag record, the writer settings and
// the rules that turn the export card's choices into them. Plain data and free functions.
namespace vyrAudioIo
{
enum class Format : int
{
    wav = 0,
    aiff,
    flac,
    ogg,
    m4a,
    mp4,
    mp3,
    none
};

struct FormatSpec
{
    Format format;
    const char* name;      // display name
    const char* extension; // without the dot
};

extern const FormatSpec kSpecs[7];
extern const double kRateHz[7];  // 0 = the source rate
extern const int kKbpsValues[4]; // kbit/s

// The row of a format, its value clamped into the seven written formats.
const FormatSpec& specOf (Format format) noexcept;

struct ExportTags
{
    juce::String title, artist, album, track, year, genre, isrc, comment;
};

struct ExportInfo : ExportTags
{
    bool redBook = false;
    int sampleRateChoice = 0;
    int bitDepthChoice = 1;
    int bitRateChoice = 3;
    juce::String defaultTitle;
    bool titleEdited = false;
    juce::File lastExportFolder; // where the last export was written (empty before the first)

    // Follows a newly loaded file's name unless the user typed a title of their own.
    void seedFromFileName (const juce::String& fileName);
};

struct WriterConfig
{
    double sampleRate = 44100.0;
    int channels = 2;
    int bitDepth = 24;
    int kbps = 320;
    juce::StringPairArray metadata { false };
};

// Output rate, depth, dither and bit rate resolved from the export card's choices.
struct ExportSettings
{
    double sampleRate = 44100.0;
    int bitDepth = 24;
    bool dither = false;
    int kbps = 320;
};
ExportSettings resolveExportSettings (const ExportInfo& info, Format format, double sourceRate);

Format formatFromExtension (juce::String extension);
bool isLoadableFile (const juce::File& file);
juce::File chosenFile (const juce::FileChooser& chooser);
juce::File chosenSaveFile (const juce::FileChooser& chooser);
juce::File findLameExecutable();
bool canWrite (Format format);
juce::String cannotWriteReason (Format format);

// "Couldn't create <name> (<why>)": why names the folder and what is wrong with it (missing, not a
// folder, not writable), else the system's own reason for the failed open.
juce::String cannotCreateText (const juce::File& file, const juce::String& systemReason);
juce::String suggestedFileName (const juce::String& sourceName, Format format, const juce::String& title);

// Where a save dialog starts: the last folder used, else the song's folder, else the user's Music
// folder, else the home folder; the first of them that exists as a folder.
juce::File exportStartFolder (const juce::File& lastFolder, const juce::File& song);

// Where an export chosen in a save dialog goes: an unknown extension becomes the fallback format
// (WAV unless given) with that format's extension. When that change names another file that already exists, the caller must
// ask before overwriting it (the dialog only asked about the name the user typed).
struct ExportTarget
{
    juce::File file;
    Format format = Format::wav;
    bool replacesOtherFile = false;
};
ExportTarget exportTargetFor (const juce::File& chosen, Format fallback = Format::wav);
}
