// The song database's own reader: no crash and no read outside the text for
// any input; and for a file the framework's writer made (older versions wrote
// the database so), the records the framework's parser gives.
#include "FuzzInputFile.h"
#include "common/xml/SafeXmlReader.h"
#include "library/database/DatabaseXmlParser.h"

#include <vector>

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    using namespace zund;
    // An exact copy: the sanitizer sees any step past the end.
    std::vector<char> text (data, data + size);
    size_t start = 0;
    if (checkXmlText (text.data(), text.size(), 4, start).isNotEmpty())
        return 0;

    DatabaseRecords read;
    juce::String error;
    const bool parsed = parseDatabaseXml (text.data() + start, text.size() - start, read, error);
    fuzz::check (parsed == error.isEmpty(), "records or an error");
    if (! parsed)
        return 0;

    // Whatever the framework's parser made of the input, written out by its
    // writer, is such a file.
    const auto framework = parseXmlSafely (text.data(), text.size(), { 1 << 26, 4 });
    if (! framework.parsed())
        return 0;
    const auto written = framework.root->toString().toStdString();
    if (checkXmlText (written.data(), written.size(), 4, start).isNotEmpty())
        return 0; // nested deeper than a database file may be
    DatabaseRecords reread;
    fuzz::check (parseDatabaseXml (written.data() + start, written.size() - start, reread, error),
                 "a file of the framework's writer is read");

    size_t k = 0;
    for (auto* child : framework.root->getChildIterator())
    {
        if (child->isTextElement())
            continue;
        fuzz::check (k < reread.records.size(), "as many records as the framework's parser");
        ID3DataBaseEntry expected;
        expected.loadFromXml (child);
        const auto& got = *reread.records[k++];
        fuzz::check (got.filename == expected.filename && got.artist == expected.artist && got.song == expected.song
                         && got.filesize == expected.filesize && got.cuePoint[0] == expected.cuePoint[0],
                     "the framework parser's records");
    }
    fuzz::check (k == reread.records.size(), "no more records than the framework's parser");
    fuzz::check (reread.version == framework.root->getStringAttribute ("version"), "the same version");
    return 0;
}
