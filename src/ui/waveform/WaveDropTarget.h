#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace zund
{
/** The drop rules the two waveform views share: every drag-and-drop item
    interests them, a file drag only when it is exactly one supported audio
    file. The view is highlighted while something hovers over it. */
class WaveDropTarget : public juce::DragAndDropTarget,
                       public juce::FileDragAndDropTarget
{
public:
    /** `view` is repainted when the highlight changes. */
    explicit WaveDropTarget (juce::Component& view);

    bool isHighlighted() const noexcept { return highlight; }

    /** The description of rows dragged out of the song table. */
    static constexpr const char* songTableDescription = "StringTableListBox";
    /** The song a drop names: the song table's selected row, when the drag is
        the table's and the row is the absolute path of a supported audio file;
        otherwise a default File. */
    static juce::File songOfDrop (const juce::String& description, juce::Component* source);

    bool isInterestedInDragSource (const SourceDetails& details) override;
    void itemDragEnter (const SourceDetails& details) override;
    void itemDragExit (const SourceDetails& details) override;
    void itemDropped (const SourceDetails& details) override;

    bool isInterestedInFileDrag (const juce::StringArray& files) override;
    void fileDragEnter (const juce::StringArray& files, int x, int y) override;
    void fileDragExit (const juce::StringArray& files) override;
    void filesDropped (const juce::StringArray& files, int x, int y) override;

protected:
    ~WaveDropTarget() override = default;

    /** An item was dropped (`source` may be null when it has gone meanwhile). */
    virtual void itemWasDropped (const juce::String& description, juce::Component* source) = 0;
    /** One supported audio file was dropped. */
    virtual void fileWasDropped (const juce::File& file) = 0;

private:
    void setHighlight (bool on);

    juce::Component& view;
    bool highlight = false;
};
}
