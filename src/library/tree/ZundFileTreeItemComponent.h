#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace zund
{
class ZundFileTreeItem;

/** Draws a tree item (icon, name, folder) and takes song-table rows dropped on
    a case. Mouse clicks go to the tree's own handling. */
class ZundFileTreeItemComponent : public juce::Component, public juce::DragAndDropTarget
{
public:
    explicit ZundFileTreeItemComponent (ZundFileTreeItem& itemToShow);

    void paint (juce::Graphics& g) override;

    bool isInterestedInDragSource (const SourceDetails& details) override;
    void itemDragEnter (const SourceDetails& details) override;
    void itemDragExit (const SourceDetails& details) override;
    void itemDropped (const SourceDetails& details) override;

    bool isDragHovering() const noexcept { return dragHover; }

private:
    ZundFileTreeItem& item;
    bool dragHover = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ZundFileTreeItemComponent)
};
}
