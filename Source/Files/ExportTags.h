#pragma once

#include "Files/AudioIo.h"

namespace vyrAudioIo
{
// Tag pairs the framework's writer for `format` understands (written while encoding).
juce::StringPairArray metadataFor (Format format, const ExportTags& tags);

// Writes the tags into a finished file whose writer takes none: a Vorbis comment block into
// FLAC, text chunks into AIFF, and MP3/M4A/MP4 tags. Empty on success or with nothing to do.
juce::String applyContainerTags (const juce::File& file, Format format, const ExportTags& tags);

void appendAiffTextChunk (juce::MemoryOutputStream& out, const char* chunkId, const juce::String& value);
juce::String writeFlacVorbisComments (const juce::File& file, const ExportTags& tags);
juce::String writeTagLibTags (const juce::File& file, Format format, const ExportTags& tags);
}
