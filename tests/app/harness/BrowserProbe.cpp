#include "app/harness/BrowserProbe.h"

#include "app/MessagePump.h"
#include "library/browser/ID3ViewComponent.h"
#include "library/browser/ZundBrowser.h"
#include "library/tree/ZundFileTreeComponent.h"
#include "library/tree/ZundFileTreeItem.h"

#include <chrono>

namespace zund::test
{
namespace
{
ZundFileTreeItem* findShownItem (juce::TreeViewItem* item, const juce::String& name)
{
    if (item == nullptr)
        return nullptr;
    if (auto* ours = dynamic_cast<ZundFileTreeItem*> (item); ours != nullptr && ours->getName() == name)
        return ours;
    if (! item->isOpen())
        return nullptr;
    for (int i = 0; i < item->getNumSubItems(); ++i)
        if (auto* found = findShownItem (item->getSubItem (i), name))
            return found;
    return nullptr;
}
}

BrowserProbe::BrowserProbe (const juce::File& programFolder, juce::Rectangle<int> area)
    : origin (area.getTopLeft())
{
    for (const char* name : { "database.xml", "TreeView.xml" })
        if (const auto file = programFolder.getChildFile (name); file.existsAsFile())
            file.copyFileTo (folder.file (name));

    browser = std::make_unique<ZundBrowser>();
    browser->setBounds (area.withZeroOrigin());
    dispatchPendingMessages (200.0); // the tree lays its items out in a message of its own
}

BrowserProbe::~BrowserProbe()
{
    browser.reset(); // writes its files into the probe's own folder
}

std::optional<juce::Rectangle<int>> BrowserProbe::treeItem (const juce::String& name) const
{
    auto& tree = browser->getTree();
    const auto* item = findShownItem (tree.getRootItem(), name);
    if (item == nullptr)
        return std::nullopt;
    // The item's own row, without the rows of its open sub-items.
    const auto row = item->getItemPosition (true).withHeight (item->getItemHeight());
    return row.withWidth (juce::jmin (row.getWidth(), tree.getWidth() - row.getX())) + tree.getPosition() + origin;
}

void BrowserProbe::openTreeItem (const juce::String& name)
{
    if (auto* item = findShownItem (browser->getTree().getRootItem(), name))
        item->setOpen (true);
    dispatchPendingMessages (200.0);
}

std::optional<juce::Rectangle<int>> BrowserProbe::songRow (const juce::String& treeItemName, const juce::File& file)
{
    auto* item = findShownItem (browser->getTree().getRootItem(), treeItemName);
    if (item == nullptr)
        return std::nullopt;
    item->setSelected (true, true);

    // The table's worker fills it and posts the rows; they arrive with the messages.
    auto& table = browser->getSongTable();
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds (20);
    do
        dispatchPendingMessages (50.0);
    while (table.isWorking() && std::chrono::steady_clock::now() < end);
    dispatchPendingMessages (200.0);

    for (int row = 0; row < table.getRowCount(); ++row)
        if (table.getFullPathOfRow (row) == file.getFullPathName())
            return tableRow (row);
    return std::nullopt;
}

juce::Rectangle<int> BrowserProbe::tableRow (int row) const
{
    // Rows are as wide as all columns; only what the table shows of them counts.
    auto& table = browser->getSongTable();
    const auto shown = table.getRowPosition (row, true).getIntersection (table.getLocalBounds());
    return shown + table.getPosition() + origin;
}
}
