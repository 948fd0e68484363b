#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

namespace zund
{
/** A floating window with a plug-in's editor (its own, or the generic one of
    sliders). Closing it only hides it. Every live window is listed, so that a
    processor gets one window per kind of view. Message thread. */
class PluginWindow : public juce::DocumentWindow
{
public:
    /** The newest live window for the processor and view kind, else a new,
        hidden one at the top left of the screen (the caller owns it); null for
        a null processor. */
    static PluginWindow* getWindowFor (juce::AudioProcessor* processor, bool useGenericView);

    /** generic: the editor shown is the generic one; askedForGeneric: the
        kind of view it was made for (a processor without an editor of its own
        gets the generic one either way). */
    PluginWindow (juce::AudioProcessorEditor* editor, juce::AudioProcessor& processor, bool generic,
                  bool askedForGeneric);
    ~PluginWindow() override;

    juce::AudioProcessor& getProcessor() const noexcept { return processor; }
    bool isGeneric() const noexcept { return generic; }

    /** Moves the window there, or as near as keeps its title bar on a display. */
    void moveTo (juce::Point<int> topLeft);

    void closeButtonPressed() override;

    /** Hidden only while a dialog is up (PluginWindowsAside): it still counts
        as shown for what is saved. */
    void setAside (bool isAside) noexcept { aside = isAside; }
    /** Visible, or hidden only while a dialog is up. */
    bool isShownToUser() const { return isVisible() || aside; }

    static int getNumWindows() noexcept;
    /** Every live window, oldest first. */
    static juce::Array<PluginWindow*> getAllWindows();

    /** Where a window of that size may go near the wanted place: on the
        display nearest to it, its top left inside that display's free area.
        Unchanged when there is no display. */
    static juce::Point<int> placeOnDisplay (juce::Rectangle<int> wanted);

private:
    juce::AudioProcessor& processor;
    const bool generic, askedForGeneric;
    bool aside = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PluginWindow)
};
}
