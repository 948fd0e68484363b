#include "library/database/SongFileReader.h"

#include "audiofile/AudioReaderFactory.h"
#include "audiofile/mp3/Mp3FileInfo.h"
#include "common/files/AudioFileTypes.h"
#include "common/files/FileFacts.h"
#include "library/tags/Id3Tags.h"
#include "library/tags/VorbisCommentFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <limits>

namespace zund
{
namespace
{
/** Only a regular file is opened: a FIFO named like a song would hold up the
    reader for ever (the formats' readers open it again). A regular file on a
    hung mount may still stall this thread, which is why nobody reads under the
    database lock. */
bool canReadFile (const juce::File& file)
{
    if (! isRegularFile (file))
        return false;
    const int fd = ::open (file.getFullPathName().toRawUTF8(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return false;
    struct stat info;
    const bool regular = ::fstat (fd, &info) == 0 && S_ISREG (info.st_mode);
    ::close (fd);
    return regular;
}

juce::String mp3Quality (int kbps)
{
    if (kbps < 0)
        return "VBR";
    if (kbps == 0)
        return "N/A";
    return juce::String (kbps) + " kbps";
}

/** Sample rate, sample width and length from the file's reader; fields stay as
    they are when there is none. */
void readAudioFacts (ID3DataBaseEntry& record, const juce::File& file)
{
    auto reader = createAudioReader (file);
    if (reader == nullptr)
        return;

    // A header may claim any rate: only one that fits an int is divided by.
    const double rate = reader->sampleRate;
    const bool usableRate = rate >= 1.0 && rate <= (double) std::numeric_limits<int>::max();
    record.samplerate = usableRate ? (int) rate : 0;
    record.quality = juce::String (reader->bitsPerSample) + " Bit";
    if (usableRate)
    {
        const auto seconds = juce::jmax ((juce::int64) 0, reader->lengthInSamples) / (juce::int64) record.samplerate;
        record.seconds = (int) juce::jmin (seconds, (juce::int64) std::numeric_limits<int>::max());
    }
}

void readOggComments (ID3DataBaseEntry& record, const juce::File& file)
{
    const VorbisCommentFile comments (file);
    if (comments.getState() != VorbisCommentFile::opened)
        return; // a damaged stream keeps the tags the record had

    record.album = comments.getValue ("ALBUM");
    record.artist = comments.getValue ("ARTIST");
    record.bpm = comments.getValue ("BPM");
    record.genre = comments.getValue ("GENRE");
    record.label = comments.getValue ("ORGANIZATION");
    record.song = comments.getValue ("TITLE");
    record.year = comments.getValue ("DATE");
}
}

SongFileReader::SongFileReader() : id3Buffers ((size_t) numId3Fields * id3TextBufferSize, true)
{
}

bool SongFileReader::read (ID3DataBaseEntry& record, const juce::File& file)
{
    // A file that has gone or cannot be read leaves the record as it was.
    juce::int64 time = 0, size = 0;
    if (! getFileTimeAndSize (file, time, size) || ! canReadFile (file))
        return false;

    record.filename = file.getFullPathName();
    record.lm_date = time;
    record.filesize = size;

    const auto extension = getPathExtension (file.getFullPathName()).toLowerCase();
    if (extension == ".mp3")
        readMp3Info (record, file);
    else
        readAudioFacts (record, file);

    if (extension == ".ogg")
        readOggComments (record, file);
    return true;
}

void SongFileReader::readMp3Info (ID3DataBaseEntry& record, const juce::File& file)
{
    char* buffers[numId3Fields];
    for (int i = 0; i < numId3Fields; ++i)
    {
        buffers[i] = id3Buffers.get() + (size_t) i * id3TextBufferSize;
        buffers[i][0] = 0;
    }
    enum { artist, title, album, bpm, label, year, genre };

    if (readId3Tags (file.getFullPathName().toRawUTF8(), buffers[artist], buffers[title], buffers[album],
                     buffers[bpm], buffers[label], buffers[year], buffers[genre]))
    {
        record.artist = juce::String::fromUTF8 (buffers[artist]);
        record.song = juce::String::fromUTF8 (buffers[title]);
        record.album = juce::String::fromUTF8 (buffers[album]);
        record.bpm = juce::String::fromUTF8 (buffers[bpm]);
        record.label = juce::String::fromUTF8 (buffers[label]);
        record.year = juce::String::fromUTF8 (buffers[year]);
        record.genre = juce::String::fromUTF8 (buffers[genre]);
    }

    int kbps = 0, rate = 0, seconds = 0;
    if (getMp3FileInfo (file, kbps, rate, seconds))
    {
        record.quality = mp3Quality (kbps);
        record.samplerate = rate;
        record.seconds = seconds;
    }
    else
    {
        record.quality = "N/A";
        record.samplerate = 0;
        record.seconds = 0;
    }
}

void SongFileReader::copyFileInfo (const ID3DataBaseEntry& from, ID3DataBaseEntry& to)
{
    using Entry = ID3DataBaseEntry;
    for (auto text : { &Entry::filename, &Entry::artist, &Entry::album, &Entry::song, &Entry::bpm, &Entry::label,
                       &Entry::year, &Entry::genre, &Entry::quality })
        to.*text = from.*text;
    for (auto number : { &Entry::lm_date, &Entry::filesize })
        to.*number = from.*number;
    to.samplerate = from.samplerate;
    to.seconds = from.seconds;
}
}
