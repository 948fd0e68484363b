#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace zund
{
class StringTableListBox;

/** Told of clicks on the cells of a StringTableListBox. */
class StringTableListBoxListener
{
public:
    virtual ~StringTableListBoxListener() = default;

    virtual void cellClicked (StringTableListBox* source, int row, int columnId, const juce::MouseEvent& e) = 0;
    virtual void cellDoubleClicked (StringTableListBox* source, int row, int columnId, const juce::MouseEvent& e) = 0;
};
}
