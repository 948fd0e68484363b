#pragma once

#include "MasterStripHostBase.h"

#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace zund::test
{
/** Stands in for the main component towards the master strip: menus
    answered by a script instead of shown; warnings, knob changes and the
    effect tempo noted; plug-ins refused on request. */
class MasterStripHostStandIn : public MasterStripHostBase
{
public:
    void setEffectTempo (double bpm) override { effectTempos.push_back (bpm); }
    bool setPlugin (int bus, int slot, juce::AudioProcessor* plugin) override;
    void pluginKnobMouseDown (ExComponent& knob, const juce::MouseEvent&) override { learnClicks.push_back (&knob); }
    /** Any thread, as the dispatcher is. */
    void pluginKnobValueChanged (ExComponent& knob) override
    {
        const std::lock_guard<std::mutex> lock (dispatchedLock);
        dispatched.push_back (knob.getID());
    }
    int runPluginMenu (const juce::PopupMenu& menu) override;
    void showPluginWarning (const juce::String& message) override { warnings.add (message); }

    /** Answers the next menus in turn; with none left a menu is dismissed (0). */
    std::deque<std::function<int (const juce::PopupMenu&)>> menuAnswers;
    std::vector<juce::PopupMenu> menusShown;

    std::vector<double> effectTempos;
    std::vector<ExComponent*> learnClicks;
    std::mutex dispatchedLock;
    std::vector<int> dispatched; // read once the threads are done
    juce::StringArray warnings;
    bool refusePlugins = false;
};

/** The items of a menu, sub-menus included, in order. */
struct MenuItemFacts
{
    juce::String text;
    int id;
    bool ticked;
};
std::vector<MenuItemFacts> itemsOf (const juce::PopupMenu& menu);

/** A menu answer: the item with this text (0, a dismissal, when there is none). */
std::function<int (const juce::PopupMenu&)> choose (const juce::String& itemText);

/** The stereo test effect (a ring modulator) with its first parameter, Freq,
    at a value that has reached the plug-in (and so its saved state). */
std::unique_ptr<juce::AudioPluginInstance> ringModWithFreq (float freq);

/** Runs posted messages until the slot has handled a click's deferred work. */
void pumpUntilMenusShown (MasterStripHostStandIn& host, size_t count);
}
