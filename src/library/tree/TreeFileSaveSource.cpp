#include "library/tree/TreeFileSaveSource.h"

#include <cstring>

namespace zund
{
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

juce::uint64 fingerprintOf (const TreeViewFile& state)
{
    juce::uint64 hash = 14695981039346656037ull;
    addToHash (hash, state.headerState);
    addToHash (hash, juce::String (state.lastWidth));
    for (const auto& folder : state.songFolders)
    {
        addToHash (hash, folder.name);
        addToHash (hash, folder.path);
    }
    for (const auto& c : state.cases)
    {
        addToHash (hash, "case");
        addToHash (hash, c.name);
        for (const auto& file : c.files)
            addToHash (hash, file);
    }
    return hash;
}

LibraryAutoSaver::Source makeTreeFileSaveSource (ZundFileTreeComponent& tree)
{
    LibraryAutoSaver::Source source;
    source.fingerprint = [&tree] { return fingerprintOf (tree.getStateToSave()); };
    source.prepare = [&tree]() -> std::function<bool()> {
        if (! tree.mayWriteFile())
            return {};
        return [state = tree.getStateToSave(), file = tree.getTreeFile()] {
            juce::String error;
            return state.write (file, error);
        };
    };
    return source;
}
}
