#include "ui/look/ZundLookAndFeel.h"

namespace zund
{
namespace
{
struct ColourEntry
{
    int id;
    juce::uint32 argb;
};

// The classic default table, with dark greys for the scroll bars and the
// slider thumb and track.
const ColourEntry colourTable[] = {
    { 0x1000100, 0xffbbbbffU }, { 0x1000101, 0xff4444ffU }, { 0x1000102, 0xff000000U },
    { 0x1000d00, 0xffbbbbffU }, { 0x1000c00, 0xb2808080U }, { 0x1006501, 0xff000000U },
    { 0x1000200, 0xffffffffU }, { 0x1000201, 0xff000000U }, { 0x1000202, 0x401111eeU },
    { 0x1000203, 0xff000000U }, { 0x1000204, 0xff000000U }, { 0x1000205, 0x00000000U },
    { 0x1000206, 0xffbbbbffU }, { 0x1000207, 0x38000000U }, { 0x1000280, 0x00000000U },
    { 0x1000281, 0xff000000U }, { 0x1000282, 0x00000000U }, { 0x1000300, 0x00000000U },
    { 0x1000400, 0xff606060U }, { 0x1000401, 0xff404040U }, { 0x1000501, 0x4c000000U },
    { 0x1000500, 0x00000000U }, { 0x1000700, 0xffffffffU }, { 0x1000600, 0xff000000U },
    { 0x1000601, 0xff000000U }, { 0x1000800, 0xffffffffU }, { 0x1000900, 0x991111aaU },
    { 0x1000a00, 0xff000000U }, { 0x1000b00, 0xffffffffU }, { 0x1000e00, 0x99000000U },
    { 0x1002800, 0xffffffffU }, { 0x1002810, 0xb2808080U }, { 0x1002820, 0xff000000U },
    { 0x1001200, 0x00000000U }, { 0x1001300, 0xff505050U }, { 0x1001310, 0x7f000000U },
    { 0x1001311, 0x7f0000ffU }, { 0x1001312, 0x66000000U }, { 0x1001400, 0xff000000U },
    { 0x1001500, 0xffffffffU }, { 0x1001600, 0x401111eeU }, { 0x1001700, 0xb2808080U },
    { 0x1001800, 0xffedededU }, { 0x1001810, 0xff000000U }, { 0x1001820, 0xff666666U },
    { 0x1001900, 0xffeeeeeeU }, { 0x1001a00, 0xffaaaaeeU }, { 0x1001b00, 0xffeeeebbU },
    { 0x1001c00, 0xff000000U }, { 0x1001c10, 0x4c000000U }, { 0x1003200, 0xfff6f8f9U },
    { 0x1003210, 0x4c000000U }, { 0x1003220, 0x4c0000ffU }, { 0x1003230, 0x800000ffU },
    { 0x1003240, 0xff000000U }, { 0x1003250, 0xffff0000U }, { 0x1001f00, 0xcc1111eeU },
    { 0x1005400, 0x66000000U }, { 0x1005410, 0xff000000U }, { 0x1000540, 0x401111eeU },
    { 0x1000541, 0xff000000U }, { 0x1000440, 0x66ddddddU }, { 0x1000441, 0x99111111U },
    { 0x1005000, 0xffffffffU }, { 0x1005001, 0xff000000U }, { 0x1005002, 0x66000000U },
    { 0x1005003, 0x80ffff00U }, { 0x1005004, 0xffb6b600U }, { 0x1005005, 0xff000000U },
    { 0x1005006, 0xffd3d3d3U }, { 0x1005007, 0xff000000U }, { 0x1007000, 0xffe5e5e5U },
    { 0x1007001, 0xff000000U }, { 0x1004100, 0xffffffffU },
};
}

ZundLookAndFeel::ZundLookAndFeel()
{
    applyColourTable();
    setDefaultSansSerifTypefaceName (chooseSansSerifTypefaceName());
}

void ZundLookAndFeel::applyColourTable()
{
    for (const auto& entry : colourTable)
        setColour (entry.id, juce::Colour (entry.argb));

    // Tree lines stand out on the browser's dark background.
    setColour (juce::TreeView::linesColourId, juce::Colours::white);
}

juce::String ZundLookAndFeel::chooseSansSerifTypefaceName()
{
    // Verdana is rarely installed on Linux; DejaVu Sans has the same wide, open shapes.
    const auto installed = juce::Font::findAllTypefaceNames();
    for (auto name : { "Verdana", "DejaVu Sans" })
        if (installed.contains (name))
            return name;
    return juce::Font::getDefaultSansSerifFontName();
}
}
