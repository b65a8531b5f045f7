#include "Files/ExportTags.h"

#include <taglib/fileref.h>
#include <taglib/tpropertymap.h>

namespace vyrAudioIo
{
namespace
{
struct Trimmed
{
    juce::String title, artist, album, track, year, genre, isrc, comment;
    explicit Trimmed (const ExportTags& t)
        : title (t.title.trim())
        , artist (t.artist.trim())
        , album (t.album.trim())
        , track (t.track.trim())
        , year (t.year.trim())
        , genre (t.genre.trim())
        , isrc (t.isrc.trim())
        , comment (t.comment.trim())
    {
    }
};

void put (juce::StringPairArray& pairs, const juce::String& key, const juce::String& value)
{
    if (value.isNotEmpty())
        pairs.set (key, value);
}

// Comment and ISRC joined for containers with a single comment field.
juce::String commentWithIsrc (const juce::String& comment, const juce::String& isrc)
{
    if (isrc.isEmpty())
        return comment;
    return comment.isEmpty() ? "ISRC " + isrc : comment + " | ISRC " + isrc;
}

// The fields of the containers that take free-form upper-case keys (FLAC's Vorbis comments, the
// TagLib property map): one list, so every such container gets the same fields.
template <typename Add>
void forEachKeyedField (const Trimmed& t, Add&& add)
{
    add ("TITLE", t.title);
    add ("ARTIST", t.artist);
    add ("ALBUM", t.album);
    add ("TRACKNUMBER", t.track);
    add ("DATE", t.year);
    add ("GENRE", t.genre);
    add ("COMMENT", t.comment);
    add ("COPYRIGHT", t.comment);
    add ("ISRC", t.isrc.toUpperCase());
}

void putLE32 (juce::MemoryOutputStream& out, juce::uint32 v)
{
    out.writeInt ((int) v); // the stream writes little-endian
}
}

juce::StringPairArray metadataFor (Format format, const ExportTags& tags)
{
    const Trimmed t (tags);
    juce::StringPairArray m (false);
    switch (format)
    {
        case Format::wav:
        {
            put (m, "INAM", t.title);
            put (m, "IART", t.artist);
            put (m, "IPRD", t.album);
            put (m, "TRCK", t.track);
            put (m, "IPRT", t.track);
            put (m, "ICRD", t.year);
            put (m, "GENR", t.genre);
            put (m, "ICOP", t.comment);
            put (m, "ICMT", t.comment);
            put (m, "international standard recording code", t.isrc.toUpperCase());
            const auto description = t.title.isNotEmpty() && t.artist.isNotEmpty() ? t.title + " / " + t.artist
                                                                                   : (t.title.isNotEmpty() ? t.title : t.artist);
            put (m, "bwav description", description);
            break;
        }
        case Format::ogg:
        case Format::mp3:
            put (m, "id3title", t.title);
            put (m, "id3artist", t.artist);
            put (m, "id3album", t.album);
            put (m, "id3trackNumber", t.track);
            put (m, "id3date", t.year);
            put (m, "id3genre", t.genre);
            put (m, "id3comment", commentWithIsrc (t.comment, t.isrc.toUpperCase()));
            break;
        default:
            put (m, "title", t.title);
            put (m, "artist", t.artist);
            put (m, "album", t.album);
            put (m, "tracknumber", t.track);
            put (m, "date", t.year);
            put (m, "year", t.year);
            put (m, "genre", t.genre);
            put (m, "comment", t.comment);
            put (m, "copyright", t.comment);
            put (m, "ISRC", t.isrc.toUpperCase());
            break;
    }
    return m;
}

void appendAiffTextChunk (juce::MemoryOutputStream& out, const char* chunkId, const juce::String& value)
{
    const auto text = value.trim();
    if (text.isEmpty())
        return;
    const auto utf8 = text.toRawUTF8();
    const auto length = (int) text.getNumBytesAsUTF8();
    out.write (chunkId, 4);
    out.writeIntBigEndian (length);
    out.write (utf8, (size_t) length);
    if ((length & 1) != 0)
        out.writeByte (0);
}

juce::String writeFlacVorbisComments (const juce::File& file, const ExportTags& tags)
{
    juce::MemoryBlock data;
    if (! file.loadFileAsData (data) || data.getSize() < 42)
        return {};
    const auto* b = static_cast<const juce::uint8*> (data.getData());
    if (std::memcmp (b, "fLaC", 4) != 0 || (b[4] & 0x7f) != 0 || b[5] != 0 || b[6] != 0 || b[7] != 0x22)
        return {};

    const Trimmed t (tags);
    juce::StringArray comments;
    auto add = [&comments] (const char* key, const juce::String& value)
    {
        if (value.isNotEmpty())
            comments.add (juce::String (key) + "=" + value);
    };
    forEachKeyedField (t, add);
    if (comments.isEmpty())
        return {};

    juce::MemoryOutputStream body;
    putLE32 (body, 8);
    body.write ("Tolvaren", 8);
    putLE32 (body, (juce::uint32) comments.size());
    for (const auto& c : comments)
    {
        putLE32 (body, (juce::uint32) c.getNumBytesAsUTF8());
        body.write (c.toRawUTF8(), c.getNumBytesAsUTF8());
    }

    // The metadata blocks after STREAMINFO, without any Vorbis comment block the encoder wrote:
    // a stream carries one such block, and ours replaces it.
    struct Block
    {
        size_t start, size;
        int type;
    };
    std::vector<Block> others;
    size_t pos = 42;
    bool last = (b[4] & 0x80) != 0;
    while (! last)
    {
        if (pos + 4 > data.getSize())
            return {}; // damaged metadata: leave the file as its writer left it
        const int type = b[pos] & 0x7f;
        last = (b[pos] & 0x80) != 0;
        const size_t length = ((size_t) b[pos + 1] << 16) | ((size_t) b[pos + 2] << 8) | b[pos + 3];
        if (pos + 4 + length > data.getSize())
            return {};
        if (type != 4)
            others.push_back ({ pos, 4 + length, type });
        pos += 4 + length;
    }
    const size_t audioStart = pos;

    juce::MemoryOutputStream out;
    out.write (b, 4);
    out.writeByte (0); // STREAMINFO, no longer last
    out.write (b + 5, 37);
    const auto bodySize = body.getDataSize();
    out.writeByte ((char) (others.empty() ? 0x84 : 0x04));
    out.writeByte ((char) ((bodySize >> 16) & 0xff));
    out.writeByte ((char) ((bodySize >> 8) & 0xff));
    out.writeByte ((char) (bodySize & 0xff));
    out.write (body.getData(), bodySize);
    for (size_t i = 0; i < others.size(); ++i)
    {
        const bool isLast = i + 1 == others.size();
        out.writeByte ((char) ((b[others[i].start] & 0x7f) | (isLast ? 0x80 : 0)));
        out.write (b + others[i].start + 1, others[i].size - 1);
    }
    out.write (b + audioStart, data.getSize() - audioStart);

    if (! file.replaceWithData (out.getData(), out.getDataSize()))
        return "Couldn't write FLAC tags.";
    return {};
}

namespace
{
juce::String writeAiffChunks (const juce::File& file, const ExportTags& tags)
{
    juce::MemoryBlock data;
    if (! file.loadFileAsData (data) || data.getSize() < 12)
        return {};
    const auto* b = static_cast<const juce::uint8*> (data.getData());
    if (std::memcmp (b, "FORM", 4) != 0)
        return {};

    const Trimmed t (tags);
    juce::String annotation = t.comment;
    if (t.isrc.isNotEmpty())
        annotation = annotation.isEmpty() ? "ISRC " + t.isrc : annotation + " | ISRC " + t.isrc;
    if (t.album.isNotEmpty())
        annotation = annotation.isEmpty() ? t.album : annotation + " | " + t.album;

    juce::MemoryOutputStream chunks;
    appendAiffTextChunk (chunks, "NAME", t.title);
    appendAiffTextChunk (chunks, "AUTH", t.artist);
    appendAiffTextChunk (chunks, "(c) ", t.comment);
    appendAiffTextChunk (chunks, "ANNO", annotation);
    if (chunks.getDataSize() == 0)
        return {};

    const auto formSize = (juce::uint32) juce::ByteOrder::bigEndianInt (b + 4) + (juce::uint32) chunks.getDataSize();
    juce::MemoryOutputStream out;
    out.write (b, 4);
    out.writeIntBigEndian ((int) formSize);
    out.write (b + 8, data.getSize() - 8);
    out.write (chunks.getData(), chunks.getDataSize());
    if (! file.replaceWithData (out.getData(), out.getDataSize()))
        return "Couldn't write AIFF tags.";
    return {};
}
}

juce::String writeTagLibTags (const juce::File& file, Format format, const ExportTags& tags)
{
    const Trimmed t (tags);
    TagLib::PropertyMap map;
    auto add = [&map] (const char* key, const juce::String& value)
    {
        if (value.isNotEmpty())
            map.replace (key, TagLib::StringList (TagLib::String (value.toRawUTF8(), TagLib::String::UTF8)));
    };
    forEachKeyedField (t, add);
    if (map.isEmpty())
        return {};

    const juce::String failed = "Couldn't write " + juce::String (specOf (format).name) + " tags.";
    TagLib::FileRef ref (file.getFullPathName().toRawUTF8(), false);
    if (ref.isNull())
        return failed;
    ref.file()->setProperties (map);
    if (! ref.save())
        return failed;
    return {};
}

juce::String applyContainerTags (const juce::File& file, Format format, const ExportTags& tags)
{
    switch (format)
    {
        case Format::flac:
            return writeFlacVorbisComments (file, tags);
        case Format::aiff:
            return writeAiffChunks (file, tags);
        case Format::m4a:
        case Format::mp4:
        case Format::mp3:
            return writeTagLibTags (file, format, tags);
        default:
            return {};
    }
}
}
