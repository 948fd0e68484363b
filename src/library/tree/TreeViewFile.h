#pragma once

#include "common/xml/PlainXml.h"

#include <memory>
#include <vector>

namespace zund
{
/** What "TreeView.xml" keeps: the song table's header layout, the tree's width,
    the song folders and the cases (the current playlist lives for one run). */
struct TreeViewFile
{
    struct SongFolder
    {
        juce::String name, path;
    };

    struct Case
    {
        juce::String name;
        juce::StringArray files;
    };

    static constexpr int widthWithoutFile = 400;
    static constexpr int smallestStoredWidth = 10; // what a missing or tiny "lastWidth" reads as

    juce::String headerState; // empty: none stored
    int lastWidth = widthWithoutFile;
    std::vector<SongFolder> songFolders;
    std::vector<Case> cases;

    /** Reads an element in the file's form; a null element gives the state of a
        missing file. Children are taken by position and lookups by name ignore
        case; the older single "songFolder" attribute becomes "Song Folder".
        Plain elements: a case of 100,000 songs is one element with as many
        attributes, which the framework's element handles in quadratic time. */
    static TreeViewFile fromXml (const PlainXmlElement* root);
    std::unique_ptr<PlainXmlElement> toXml() const;

    /** Reads the file. One that cannot be parsed is moved aside and `warning`
        says where, and the result is the state of a missing file; a missing
        file is no warning. `mayOverwrite` is false only when an unreadable file
        could not be moved aside: it must then not be written over. */
    static TreeViewFile read (const juce::File& file, juce::String& warning, bool& mayOverwrite);
    /** Writes beside the file and renames; false with `error` set on failure,
        and for contents larger than the reader takes (the file stays as it was). */
    bool write (const juce::File& file, juce::String& error) const;
    /** write, with a failure told in the user's words: which file, where and why. */
    bool save (const juce::File& file, juce::String& reason) const;

    /** A hash of everything the file holds: it differs after any change. */
    juce::uint64 fingerprint() const;
};
}
