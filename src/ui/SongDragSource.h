#pragma once

#include <juce_core/juce_core.h>

namespace zund
{
class SongDragSource
{
public:
    virtual ~SongDragSource() = default;
    virtual juce::String getSelectedSongPath() const = 0;
};
}
