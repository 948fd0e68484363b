#include "app/flows/LibraryFlow.h"

namespace zund::test
{
using namespace std::chrono_literals;

void LibraryFlow::writeLibraryWithACase (const std::vector<juce::File>& songs)
{
    writeLibrary (songs);
    auto tree = juce::XmlDocument::parse (getProgramFolder().getChildFile ("TreeView.xml"));
    ASSERT_NE (tree, nullptr);
    auto* set = tree->getChildByName ("cases")->createNewChildElement ("Case0");
    set->setAttribute ("name", "Set");
    set->createNewChildElement ("files");
    writeProgramFile ("TreeView.xml", tree->toString());
}

void LibraryFlow::dropSongOnCase (const juce::File& song, const juce::String& caseName)
{
    const auto probe = browserProbe();
    const auto cases = probe->treeItem ("Cases/Playlists");
    ASSERT_TRUE (cases.has_value());
    input->doubleClick (window->id, cases->getX() + 20, cases->getCentreY());
    probe->openTreeItem ("Cases/Playlists");

    const auto folder = probe->treeItem (songFolderName);
    ASSERT_TRUE (folder.has_value());
    input->click (window->id, folder->getX() + 20, folder->getCentreY());
    const auto row = probe->songRow (songFolderName, song);
    ASSERT_TRUE (row.has_value());
    ASSERT_TRUE (waitUntil (
        [&] {
            const auto screen = screenNow();
            return screen && showsInk (*screen, *row);
        },
        20s))
        << "the song folder's row does not show";
    input->click (window->id, row->getX() + 40, row->getCentreY());

    const auto target = probe->treeItem (caseName);
    ASSERT_TRUE (target.has_value()) << "no case " << caseName << " in the tree";
    input->drag (window->id, row->getX() + 40, row->getCentreY(), target->getX() + 20, target->getCentreY(), 30);
}

double LibraryFlow::storedCuePoint (const juce::File& song) const
{
    if (const auto root = juce::XmlDocument::parse (getProgramFolder().getChildFile ("database.xml")))
        for (auto* record : root->getChildIterator())
            if (record->getStringAttribute ("filename") == song.getFullPathName())
                return record->getDoubleAttribute ("cuePoint0", -1.0);
    return -1.0;
}

std::optional<juce::StringArray> LibraryFlow::storedSongs() const
{
    const auto root = juce::XmlDocument::parse (getProgramFolder().getChildFile ("database.xml"));
    if (root == nullptr)
        return std::nullopt;
    juce::StringArray paths;
    for (auto* record : root->getChildIterator())
        paths.add (record->getStringAttribute ("filename"));
    return paths;
}

juce::StringArray LibraryFlow::storedCase (const juce::String& name) const
{
    juce::StringArray files;
    if (const auto root = juce::XmlDocument::parse (getProgramFolder().getChildFile ("TreeView.xml")))
        if (const auto* cases = root->getChildByName ("cases"))
            for (auto* c : cases->getChildIterator())
                if (c->getStringAttribute ("name") == name)
                    if (const auto* list = c->getChildByName ("files"))
                        for (int i = 0; i < list->getNumAttributes(); ++i)
                            files.add (list->getAttributeValue (i));
    return files;
}
}
