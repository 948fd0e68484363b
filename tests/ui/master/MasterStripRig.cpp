#include "MasterStripRig.h"

#include "support/PluginFixtures.h"
#include "support/UiEvents.h"

namespace zund::test
{
bool MasterStripHostStandIn::setPlugin (int bus, int slot, juce::AudioProcessor* plugin)
{
    if (refusePlugins && plugin != nullptr)
        return false;
    return engine->setPlugin (bus, slot, plugin);
}

int MasterStripHostStandIn::runPluginMenu (const juce::PopupMenu& menu)
{
    menusShown.push_back (menu);
    if (menuAnswers.empty())
        return 0;
    auto answer = std::move (menuAnswers.front());
    menuAnswers.pop_front();
    return answer (menu);
}

namespace
{
void collectItems (const juce::PopupMenu& menu, std::vector<MenuItemFacts>& items)
{
    for (juce::PopupMenu::MenuItemIterator it (menu); it.next();)
    {
        const auto& item = it.getItem();
        if (item.subMenu != nullptr)
            collectItems (*item.subMenu, items);
        else if (! item.isSeparator)
            items.push_back ({ item.text, item.itemID, item.isTicked });
    }
}
}

std::vector<MenuItemFacts> itemsOf (const juce::PopupMenu& menu)
{
    std::vector<MenuItemFacts> items;
    collectItems (menu, items);
    return items;
}

std::function<int (const juce::PopupMenu&)> choose (const juce::String& itemText)
{
    return [itemText] (const juce::PopupMenu& menu) {
        for (const auto& item : itemsOf (menu))
            if (item.text == itemText)
                return item.id;
        return 0;
    };
}

std::unique_ptr<juce::AudioPluginInstance> ringModWithFreq (float freq)
{
    juce::String error;
    auto plugin = createLv2Plugin (stereoLv2Effect, 44100.0, error);
    if (plugin == nullptr)
        return nullptr;
    plugin->prepareToPlay (44100.0, 256);
    plugin->getParameters()[0]->setValue (freq);
    // Values set from outside reach the plug-in with its next block.
    juce::AudioBuffer<float> buffer (2, 256);
    buffer.clear();
    juce::MidiBuffer midi;
    plugin->processBlock (buffer, midi);
    plugin->releaseResources();
    return plugin;
}

void pumpUntilMenusShown (MasterStripHostStandIn& host, size_t count)
{
    pumpMessagesUntil ([&] { return host.menusShown.size() >= count; });
    pumpMessages (10);
}
}
