#include "ui/waveform/WaveDropTarget.h"

#include "common/files/AudioFileTypes.h"
#include "common/text/SafeStringBytes.h"
#include "ui/SongDragSource.h"

namespace zund
{
namespace
{
bool isOneAudioFile (const juce::StringArray& files)
{
    // A relative path names no file of ours (and would trip the File class); a
    // path the framework's strings cannot hold would overflow them further on.
    return files.size() == 1 && isSafeString (files[0]) && juce::File::isAbsolutePath (files[0])
        && isSupportedAudioFile (juce::File (files[0]));
}
}

juce::File WaveDropTarget::songOfDrop (const juce::String& description, juce::Component* source)
{
    if (description != songTableDescription)
        return {};
    const auto* table = dynamic_cast<SongDragSource*> (source);
    if (table == nullptr)
        return {};
    const auto path = table->getSelectedSongPath();
    if (! juce::File::isAbsolutePath (path) || ! isSupportedAudioFile (juce::File (path)))
        return {};
    return juce::File (path);
}

WaveDropTarget::WaveDropTarget (juce::Component& viewToRepaint)
    : view (viewToRepaint)
{
}

bool WaveDropTarget::isInterestedInDragSource (const SourceDetails&)
{
    return true;
}

void WaveDropTarget::itemDragEnter (const SourceDetails&)
{
    setHighlight (true);
}

void WaveDropTarget::itemDragExit (const SourceDetails&)
{
    setHighlight (false);
}

void WaveDropTarget::itemDropped (const SourceDetails& details)
{
    itemWasDropped (details.description.toString(), details.sourceComponent.get());
    setHighlight (false);
}

bool WaveDropTarget::isInterestedInFileDrag (const juce::StringArray& files)
{
    return isOneAudioFile (files);
}

void WaveDropTarget::fileDragEnter (const juce::StringArray&, int, int)
{
    setHighlight (true);
}

void WaveDropTarget::fileDragExit (const juce::StringArray&)
{
    setHighlight (false);
}

void WaveDropTarget::filesDropped (const juce::StringArray& files, int, int)
{
    if (isOneAudioFile (files))
        fileWasDropped (juce::File (files[0]));
    setHighlight (false);
}

void WaveDropTarget::setHighlight (bool on)
{
    highlight = on;
    view.repaint();
}
}
