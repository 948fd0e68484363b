#include "library/tree/TreeViewFile.h"

#include "common/text/NumberText.h"
#include "common/xml/SafeXmlReader.h"
#include "common/files/UserFiles.h"
#include "library/tags/TagText.h"

namespace zund
{
namespace
{
// Several cases of a collector's whole library fit; the writer keeps to it, so
// that whatever it writes reads back.
const XmlLimits treeFileLimits { (juce::int64) 512 << 20, 8 };

juce::String attributeNamed (const PlainXmlElement& element, const juce::String& name)
{
    const auto* value = element.findAttributeIgnoringCase (name);
    return value != nullptr ? *value : juce::String();
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
}

TreeViewFile TreeViewFile::fromXml (const PlainXmlElement* root)
{
    TreeViewFile state;
    if (root == nullptr)
        return state;

    state.headerState = attributeNamed (*root, "ID3ViewHeader");
    const auto* widthText = root->findAttributeIgnoringCase ("lastWidth");
    const int width = widthText != nullptr ? parseWholeNumber (*widthText) : 0;
    state.lastWidth = width < smallestStoredWidth + 1 ? smallestStoredWidth : width;

    if (const auto older = attributeNamed (*root, "songFolder"); older.isNotEmpty())
        state.songFolders.push_back ({ "Song Folder", older });

    if (const auto* folders = root->findChildIgnoringCase ("songFolders"))
        for (const auto& folder : folders->children)
        {
            const auto name = attributeNamed (*folder, "name");
            const auto path = storedPath (attributeNamed (*folder, "path"), attributeNamed (*folder, escapedPathName));
            if (name.isNotEmpty() && path.isNotEmpty())
                state.songFolders.push_back ({ name, path });
        }

    if (const auto* cases = root->findChildIgnoringCase ("cases"))
        for (const auto& element : cases->children)
        {
            Case c;
            if (! element->attributes.empty())
                c.name = element->attributes.front().second;
            if (const auto* files = element->findChildIgnoringCase ("files"))
            {
                c.files.ensureStorageAllocated ((int) files->attributes.size());
                for (const auto& [name, value] : files->attributes)
                    c.files.add (name.startsWith (escapedFilePrefix) ? storedPath (value, value) : value);
            }
            state.cases.push_back (std::move (c));
        }

    return state;
}

std::unique_ptr<PlainXmlElement> TreeViewFile::toXml() const
{
    auto root = std::make_unique<PlainXmlElement> ("TreeView");
    if (headerState.isNotEmpty())
        root->addAttribute ("ID3ViewHeader", headerState);
    root->addAttribute ("lastWidth", juce::String (lastWidth));

    auto& folders = root->addChild ("songFolders");
    for (size_t i = 0; i < songFolders.size(); ++i)
    {
        auto& folder = folders.addChild ("SongFolder" + juce::String ((int) i));
        folder.addAttribute ("name", songFolders[i].name);
        folder.addAttribute ("path", makeValidText (songFolders[i].path));
        if (! isWellFormedText (songFolders[i].path))
            folder.addAttribute (escapedPathName, escapeMalformedBytes (songFolders[i].path));
    }

    auto& caseList = root->addChild ("cases");
    for (size_t i = 0; i < cases.size(); ++i)
    {
        auto& element = caseList.addChild ("Case" + juce::String ((int) i));
        element.addAttribute ("name", cases[i].name);
        auto& files = element.addChild ("files");
        files.attributes.reserve ((size_t) cases[i].files.size());
        for (int f = 0; f < cases[i].files.size(); ++f)
        {
            const auto& path = cases[i].files.getReference (f);
            if (isWellFormedText (path))
                files.addAttribute ("file" + juce::String (f), path);
            else
                files.addAttribute (escapedFilePrefix + juce::String (f), escapeMalformedBytes (path));
        }
    }
    return root;
}

TreeViewFile TreeViewFile::read (const juce::File& file, juce::String& warning, bool& mayOverwrite)
{
    mayOverwrite = true;
    const auto checked = readCheckedXmlFile (file, treeFileLimits);
    if (checked.missing)
        return fromXml (nullptr);

    juce::String error = checked.error;
    if (checked.passed())
        if (const auto root = parsePlainXml (checked.text(), checked.size(), error))
            return fromXml (root.get());

    const auto aside = keepFileAside (file);
    mayOverwrite = aside != juce::File();
    warning = "\"" + file.getFileName() + "\" could not be read (" + error + "). ";
    warning += mayOverwrite ? "It was moved to \"" + aside.getFullPathName() + "\"; the song folders and cases start empty."
                            : "It could not be moved aside and will not be written over; the song folders and cases "
                              "start empty.";
    return fromXml (nullptr);
}

bool TreeViewFile::write (const juce::File& file, juce::String& error) const
{
    const auto document = toXml()->toDocument();
    if ((juce::int64) document.size() > treeFileLimits.maxBytes)
    {
        error = "the cases would take " + juce::String ((juce::int64) document.size()) + " bytes, more than can be read back";
        return false;
    }
    return replaceFileSafely (file, document.data(), document.size(), &error);
}

bool TreeViewFile::save (const juce::File& file, juce::String& reason) const
{
    juce::String error;
    if (write (file, error))
        return true;
    reason = "The song folders and cases could not be saved to \"" + file.getFullPathName() + "\" (" + error + ").";
    return false;
}

namespace
{
/** FNV-1a over the text's bytes and a separator, so that moved boundaries count. */
void addToHash (juce::uint64& hash, const juce::String& text)
{
    for (const auto* c = reinterpret_cast<const unsigned char*> (text.toRawUTF8()); *c != 0; ++c)
        hash = (hash ^ *c) * 1099511628211ull;
    hash = (hash ^ 0xffu) * 1099511628211ull;
}
}

juce::uint64 TreeViewFile::fingerprint() const
{
    juce::uint64 hash = 14695981039346656037ull;
    addToHash (hash, headerState);
    addToHash (hash, juce::String (lastWidth));
    for (const auto& folder : songFolders)
    {
        addToHash (hash, folder.name);
        addToHash (hash, folder.path);
    }
    for (const auto& c : cases)
    {
        addToHash (hash, "case");
        addToHash (hash, c.name);
        for (const auto& file : c.files)
            addToHash (hash, file);
    }
    return hash;
}
}
