#pragma once

#include <juce_core/juce_core.h>

#include <memory>

namespace zund
{
/** How much a kind of XML file may hold. */
struct XmlLimits
{
    juce::int64 maxBytes = 1 << 20;
    int maxDepth = 16;
};

/** What reading an XML file gave: the root, or why there is none. A missing
    file is not an error (`missing` is set, `root` null, `error` empty). */
struct XmlReadResult
{
    std::unique_ptr<juce::XmlElement> root;
    juce::String error;
    bool missing = false;

    bool parsed() const noexcept { return root != nullptr; }
};

/** Parses XML text only after it passed the checks that keep the framework's
    parser safe: valid UTF-8, no DOCTYPE or entity declarations, no processing
    instruction but the leading XML declaration, nesting no deeper than the
    limit. Nothing outside the text is ever fetched. */
XmlReadResult parseXmlSafely (const void* data, size_t numBytes, const XmlLimits& limits);

/** The checks of parseXmlSafely without the framework's parser, for a reader of
    its own that relies on them: valid UTF-8, known entities only, tags that
    nest and close, no DOCTYPE. `text` may begin with a byte-order mark;
    `textStart` tells where the text after it begins. Empty when the text
    passes, else why not. Any size is checked (no string limit). */
juce::String checkXmlText (const void* text, size_t numBytes, int maxDepth, size_t& textStart);

/** The whole of a regular file, at most maxBytes (any size the machine can
    hold). Only a regular file is read: a folder, FIFO or device in its place
    is an error, found without waiting. False with `result` saying why (a
    missing file sets `missing`). */
bool readRegularFile (const juce::File& file, juce::int64 maxBytes, juce::HeapBlock<char>& contents, size_t& size,
                      XmlReadResult& result);

/** Reads the whole file into memory (at most limits.maxBytes) and parses it
    with parseXmlSafely. Only a regular file is read: a folder, FIFO or device in
    its place is an error, found without waiting. */
XmlReadResult readXmlFileSafely (const juce::File& file, const XmlLimits& limits);

/** As readXmlFileSafely, for files whose older writers put a bare word (their
    document-type text) between the XML declaration and the root, which leaves
    the framework's parser without a root: any text before the first tag is
    dropped first. */
XmlReadResult readXmlFileAfterPreamble (const juce::File& file, const XmlLimits& limits);

/** A file's bytes, read as readXmlFileSafely reads them, that passed the same
    checks but were not parsed: for a reader that parses them its own way. The
    text starts at `start` (past a byte-order mark). A missing file is not an
    error, as above. */
struct CheckedXmlText
{
    juce::HeapBlock<char> bytes;
    size_t numBytes = 0;
    size_t start = 0;
    juce::String error;
    bool missing = false;

    bool passed() const noexcept { return error.isEmpty() && ! missing; }
    const char* text() const noexcept { return bytes.get() + start; }
    size_t size() const noexcept { return numBytes - start; }
};

CheckedXmlText readCheckedXmlFile (const juce::File& file, const XmlLimits& limits);
}
