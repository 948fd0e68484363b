#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace zund
{
/** What the browser reports to the main component. */
class ZundBrowserListener
{
public:
    virtual ~ZundBrowserListener() = default;

    /** A left click on a song-table row. */
    virtual void browserItemSelected (juce::String fullPath) = 0;
    /** A left double click on a row. */
    virtual void songChosen (const juce::String& fullPath) = 0;
    /** A key the browser does not use; true when it was used. */
    virtual bool browserKeyPressed (const juce::KeyPress& key) = 0;
};
}
