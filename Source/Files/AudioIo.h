#pragma once

#include <juce_core/juce_core.h>

// Export formats and the export tag record held by the processor.
namespace vyrAudioIo
{
    enum class Format { wav, aiff, flac, ogg, mp3, m4a, mp4 };

    struct ExportInfo
    {
        juce::String title, artist, album, genre, year, comment, isrc, copyright;
        bool redBook = false;
        int sampleRateChoice = 0;
        int bitDepthChoice = 1;
        int bitRateChoice = 3;
        juce::String defaultTitle;
        bool titleEdited = false;
    };
}
