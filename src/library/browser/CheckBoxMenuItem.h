#pragma once

#include <juce_core/juce_core.h>

namespace zund
{
/** One named tick box of a CheckBoxMenu. */
struct CheckBoxMenuItem
{
    juce::String name;
    int id = 0;
    bool checked = false;
};
}
