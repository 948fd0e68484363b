#include "library/tree/TreeViewFile.h"

#include "common/NumberText.h"
#include "common/SafeXmlReader.h"
#include "common/UserFiles.h"
#include "library/tags/TagText.h"

namespace zund
{
namespace
{
// Cases of a few thousand files each stay well inside this.
const XmlLimits treeFileLimits { 64 << 20, 8 };

const juce::XmlElement* childNamed (const juce::XmlElement& parent, const juce::String& name)
{
    for (auto* child : parent.getChildIterator())
        if (child->getTagName().equalsIgnoreCase (name))
            return child;
    return nullptr;
}

juce::String attributeNamed (const juce::XmlElement& element, const juce::String& name)
{
    for (int i = 0; i < element.getNumAttributes(); ++i)
        if (element.getAttributeName (i).equalsIgnoreCase (name))
            return element.getAttributeValue (i);
    return {};
}

// A path whose bytes are not UTF-8 (a Latin-1 file name) is kept escaped under
// an attribute name that older files never have; the readable "path" stays too.
const char* const escapedPathName = "pathBytes";
const char* const escapedFilePrefix = "fileBytes";

juce::String storedPath (const juce::String& readable, const juce::String& escaped)
{
    juce::String path;
    return escaped.isNotEmpty() && unescapeMalformedBytes (escaped, path) ? path : readable;
}

bool hasAttributeNamed (const juce::XmlElement& element, const juce::String& name)
{
    for (int i = 0; i < element.getNumAttributes(); ++i)
        if (element.getAttributeName (i).equalsIgnoreCase (name))
            return true;
    return false;
}
}

TreeViewFile TreeViewFile::fromXml (const juce::XmlElement* root)
{
    TreeViewFile state;
    if (root == nullptr)
        return state;

    state.headerState = attributeNamed (*root, "ID3ViewHeader");
    const int width = hasAttributeNamed (*root, "lastWidth") ? parseWholeNumber (attributeNamed (*root, "lastWidth")) : 0;
    state.lastWidth = width < smallestStoredWidth + 1 ? smallestStoredWidth : width;

    if (const auto older = attributeNamed (*root, "songFolder"); older.isNotEmpty())
        state.songFolders.push_back ({ "Song Folder", older });

    if (const auto* folders = childNamed (*root, "songFolders"))
        for (auto* folder : folders->getChildIterator())
        {
            const auto name = attributeNamed (*folder, "name");
            const auto path = storedPath (attributeNamed (*folder, "path"), attributeNamed (*folder, escapedPathName));
            if (name.isNotEmpty() && path.isNotEmpty())
                state.songFolders.push_back ({ name, path });
        }

    if (const auto* cases = childNamed (*root, "cases"))
        for (auto* element : cases->getChildIterator())
        {
            Case c;
            if (element->getNumAttributes() > 0)
                c.name = element->getAttributeValue (0);
            if (const auto* files = childNamed (*element, "files"))
                for (int i = 0; i < files->getNumAttributes(); ++i)
                {
                    const auto& value = files->getAttributeValue (i);
                    c.files.add (files->getAttributeName (i).startsWith (escapedFilePrefix) ? storedPath (value, value) : value);
                }
            state.cases.push_back (std::move (c));
        }

    return state;
}

std::unique_ptr<juce::XmlElement> TreeViewFile::toXml() const
{
    auto root = std::make_unique<juce::XmlElement> ("TreeView");
    if (headerState.isNotEmpty())
        root->setAttribute ("ID3ViewHeader", headerState);
    root->setAttribute ("lastWidth", lastWidth);

    auto* folders = root->createNewChildElement ("songFolders");
    for (size_t i = 0; i < songFolders.size(); ++i)
    {
        auto* folder = folders->createNewChildElement ("SongFolder" + juce::String ((int) i));
        folder->setAttribute ("name", songFolders[i].name);
        folder->setAttribute ("path", makeValidText (songFolders[i].path));
        if (! isWellFormedText (songFolders[i].path))
            folder->setAttribute (escapedPathName, escapeMalformedBytes (songFolders[i].path));
    }

    auto* caseList = root->createNewChildElement ("cases");
    for (size_t i = 0; i < cases.size(); ++i)
    {
        auto* element = caseList->createNewChildElement ("Case" + juce::String ((int) i));
        element->setAttribute ("name", cases[i].name);
        auto* files = element->createNewChildElement ("files");
        for (int f = 0; f < cases[i].files.size(); ++f)
        {
            const auto& path = cases[i].files[f];
            if (isWellFormedText (path))
                files->setAttribute ("file" + juce::String (f), path);
            else
                files->setAttribute (escapedFilePrefix + juce::String (f), escapeMalformedBytes (path));
        }
    }
    return root;
}

TreeViewFile TreeViewFile::read (const juce::File& file, juce::String& warning, bool& mayOverwrite)
{
    mayOverwrite = true;
    auto result = readXmlFileSafely (file, treeFileLimits);
    if (result.parsed() || result.missing)
        return fromXml (result.root.get());

    const auto aside = keepFileAside (file);
    mayOverwrite = aside != juce::File();
    warning = "\"" + file.getFileName() + "\" could not be read (" + result.error + "). ";
    warning += mayOverwrite ? "It was moved to \"" + aside.getFullPathName() + "\"; the song folders and cases start empty."
                            : "It could not be moved aside and will not be written over; the song folders and cases "
                              "start empty.";
    return fromXml (nullptr);
}

bool TreeViewFile::write (const juce::File& file, juce::String& error) const
{
    return writeXmlFileSafely (file, *toXml(), &error);
}
}
