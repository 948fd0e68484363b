#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace zund
{
class ExComponent;
class PluginListHolder;

/** What a plug-in slot asks of the main component. Message thread, except
    where a call says otherwise. */
class PluginSlotHost
{
public:
    virtual ~PluginSlotHost() = default;

    virtual PluginListHolder& getPluginList() = 0;
    /** The rate new plug-ins are created at (the engine's). */
    virtual double getPluginSampleRate() const = 0;

    /** Hands the engine a slot's plug-in (null empties the slot). False, with
        the slot as it was, when the plug-in cannot run there; on return the
        audio thread no longer uses the plug-in it held before. */
    virtual bool setPlugin (int bus, int slot, juce::AudioProcessor* plugin) = 0;

    /** A left click on a slot knob: MIDI learn. */
    virtual void pluginKnobMouseDown (ExComponent& knob, const juce::MouseEvent& e) = 0;
    /** Every change of a slot knob, after the slot has set its parameter: the
        control dispatcher (MIDI feedback). Any thread the knob changed on. */
    virtual void pluginKnobValueChanged (ExComponent& knob) = 0;

    /** The screen area plug-in windows are centred in (the main component's). */
    virtual juce::Rectangle<int> getPluginWindowArea() const = 0;

    /** Runs a slot's popup menu; the chosen item id, 0 when dismissed. */
    virtual int runPluginMenu (const juce::PopupMenu& menu) { return juce::PopupMenu (menu).show(); }

    /** Says that a plug-in could not be loaded. */
    virtual void showPluginWarning (const juce::String& message)
    {
        juce::AlertWindow::showMessageBoxAsync (juce::MessageBoxIconType::WarningIcon, "Zund2", message);
    }
};
}
