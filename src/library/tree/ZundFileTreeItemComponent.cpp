#include "library/tree/ZundFileTreeItemComponent.h"

#include "library/browser/ID3ViewComponent.h"
#include "library/browser/StringTableListBoxModel.h"
#include "library/tree/TreeIcons.h"
#include "library/tree/ZundFileTreeComponent.h"
#include "library/tree/ZundFileTreeItem.h"

namespace zund
{
namespace
{
int iconIndexOf (const ZundFileTreeItem& item)
{
    switch (item.getKind())
    {
        case ZundFileTreeItem::cases: return ZundFileTreeComponent::casesIcon;
        case ZundFileTreeItem::database: return ZundFileTreeComponent::databaseIcon;
        case ZundFileTreeItem::songFolders: return ZundFileTreeComponent::folderIcon;
        default: break;
    }
    if (! item.isDrive())
        return -1;
    switch (item.getDriveKind())
    {
        case FileSystemRoot::Kind::cdRom: return ZundFileTreeComponent::cdRomIcon;
        case FileSystemRoot::Kind::fixedDisk: return ZundFileTreeComponent::hardDiskIcon;
        case FileSystemRoot::Kind::removable: return ZundFileTreeComponent::removableIcon;
    }
    return -1;
}
}

ZundFileTreeItemComponent::ZundFileTreeItemComponent (ZundFileTreeItem& itemToShow)
    : item (itemToShow)
{
}

void ZundFileTreeItemComponent::paint (juce::Graphics& g)
{
    const int height = getHeight();
    int textX = 2;

    if (item.isTopLevel())
    {
        if (const int index = iconIndexOf (item); index >= 0)
        {
            const auto& image = item.getOwner().getIcon (index);
            if (image.isValid())
                g.drawImageAt (image, 2, (height - image.getHeight()) / 2);
            else
                TreeIcons::draw (g, index, juce::Rectangle<float> (2.0f, (float) (height - 16) / 2.0f, 16.0f, 16.0f));
        }
        textX = height + 6;
    }

    const juce::Font font (13.0f);
    g.setFont (font);
    const int nameWidth = font.getStringWidth (item.getName());

    if (dragHover || item.isSelected())
    {
        g.setColour (dragHover ? juce::Colour (0xff808080) : juce::Colour (0xff0000ff));
        g.fillRect (textX - 2, 0, nameWidth + 4, height);
    }

    g.setColour (juce::Colours::white);
    g.drawText (item.getName(), textX, 0, juce::jmax (0, getWidth() - textX), height, juce::Justification::centredLeft, true);

    if (item.getPath().isNotEmpty())
    {
        g.setColour (juce::Colours::white.withAlpha (0.5f));
        const int pathX = textX + nameWidth;
        g.drawText (" [" + item.getPath() + "]", pathX, 0, juce::jmax (0, getWidth() - pathX), height,
                    juce::Justification::centredLeft, true);
    }
}

bool ZundFileTreeItemComponent::isInterestedInDragSource (const SourceDetails& details)
{
    return item.getKind() == ZundFileTreeItem::caseItem
        && details.description.toString() == StringTableListBoxModel::dragDescription;
}

void ZundFileTreeItemComponent::itemDragEnter (const SourceDetails&)
{
    dragHover = ! item.isSelected();
    repaint();
}

void ZundFileTreeItemComponent::itemDragExit (const SourceDetails&)
{
    dragHover = false;
    repaint();
}

void ZundFileTreeItemComponent::itemDropped (const SourceDetails& details)
{
    dragHover = false;
    if (! item.isSelected())
        if (auto* source = dynamic_cast<ID3ViewComponent*> (details.sourceComponent.get()))
            item.getOwner().songRowsDropped (item, *source);
    repaint();
}
}
