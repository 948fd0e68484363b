#pragma once

#include <juce_core/juce_core.h>

namespace zund
{
/** Width bounds for a restored table header. */
struct HeaderWidthLimits
{
    int smallestColumn = 30;
    int largestColumn = 4000;
    int largestTotal = 16000; // of the visible columns
};

/** A stored table header layout (the framework's "TABLELAYOUT" text) made safe to
    hand to the framework: every number read without overflow, each column width
    held to the limits and, when the visible columns together are wider than the
    largest total, all of them narrowed in proportion. A stored width is taken on
    trust by the framework's layout, whose sums then overflow and put the later
    columns off-screen. Empty when the text is no such layout or not safe XML. */
juce::String makeRestorableHeaderLayout (const juce::String& stored, const HeaderWidthLimits& limits);
}
