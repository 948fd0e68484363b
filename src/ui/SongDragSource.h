#pragma once

#include <juce_core/juce_core.h>

namespace zund
{
/** The song table as a drag source, for views in ui/ that take its rows
    without including the library. */
class SongDragSource
{
public:
    virtual ~SongDragSource() = default;
    /** The full path of the selected row; empty when none is selected. */
    virtual juce::String getSelectedSongPath() const = 0;
};
}
