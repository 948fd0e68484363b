#include "ui/midi/MidiControlSurfaceManager.h"

#include "common/text/NumberText.h"

namespace zund
{
namespace
{
constexpr int controlIdMask = 0x7fffffff;

bool isMappableId (int id) noexcept
{
    return id != MidiControlSurfaceManager::none && (id & controlIdMask) < MidiControlSurfaceManager::numControlIds;
}

bool isCell (int channel, int number) noexcept
{
    return channel >= 0 && channel < MidiControlSurfaceManager::numMidiChannels && number >= 0
        && number < MidiControlSurfaceManager::numNumbers;
}

int cellCode (int codeBase, int channel, int number) noexcept
{
    return codeBase + (channel << 8) + number;
}
}

MidiControlSurfaceManager::MidiControlSurfaceManager()
{
    clearUnlocked();
}

MidiControlSurfaceManager::~MidiControlSurfaceManager() = default;

void MidiControlSurfaceManager::setListener (MidiControlSurfaceManagerListener* newListener)
{
    const juce::ScopedLock sl (lock);
    listener = newListener;
}

void MidiControlSurfaceManager::clear()
{
    const juce::ScopedLock sl (lock);
    clearUnlocked();
}

void MidiControlSurfaceManager::clearUnlocked()
{
    for (auto* map : { &controllerMap, &noteMap })
        for (auto& row : *map)
            std::fill (std::begin (row), std::end (row), none);
    for (auto& entry : reverse)
        entry.store (none, std::memory_order_relaxed);
}

void MidiControlSurfaceManager::learn (int id, bool ctrlHeld)
{
    if (id < 0 || id >= numControlIds)
        return;
    const auto target = static_cast<std::uint32_t> (ctrlHeld ? (id | resetTriggerBit) : id);
    pendingLearn.store (static_cast<std::int64_t> (target));
}

bool MidiControlSurfaceManager::isLearning() const noexcept
{
    return pendingLearn.load() != notLearning;
}

void MidiControlSurfaceManager::assignController (int id, int channel, int number)
{
    const juce::ScopedLock sl (lock);
    assign (controllerMap, 0, id, channel, number);
}

void MidiControlSurfaceManager::assignNote (int id, int channel, int number)
{
    const juce::ScopedLock sl (lock);
    assign (noteMap, noteCodeBit, id, channel, number);
}

void MidiControlSurfaceManager::assign (Map& map, int codeBase, int id, int channel, int number)
{
    if (! isMappableId (id) || ! isCell (channel, number))
        return;

    removeTarget (id);
    map[channel][number] = id;

    // One feedback target per controller: whoever fed back through it loses that.
    const int code = cellCode (codeBase, channel, number);
    for (auto& entry : reverse)
        if (entry.load (std::memory_order_relaxed) == code)
            entry.store (none, std::memory_order_relaxed);

    if (id >= 0) // reset triggers give no feedback
        reverse[(size_t) id].store (code, std::memory_order_relaxed);
}

void MidiControlSurfaceManager::removeTarget (int id)
{
    const juce::ScopedLock sl (lock);
    for (auto* map : { &controllerMap, &noteMap })
        for (auto& row : *map)
            for (auto& cell : row)
                if (cell == id)
                    cell = none;
}

int MidiControlSurfaceManager::getControllerTarget (int channel, int number) const
{
    const juce::ScopedLock sl (lock);
    return isCell (channel, number) ? controllerMap[channel][number] : none;
}

int MidiControlSurfaceManager::getNoteTarget (int channel, int number) const
{
    const juce::ScopedLock sl (lock);
    return isCell (channel, number) ? noteMap[channel][number] : none;
}

void MidiControlSurfaceManager::handleIncomingMidiMessage (const juce::MidiMessage& message)
{
    const int channel = message.getChannel() - 1;
    if (channel < 0)
        return;

    const bool isNote = message.isNoteOnOrOff();
    if (! isNote && ! message.isController())
        return;

    // Data bytes are 7 bits; a malformed byte must not reach another cell.
    const auto* data = message.getRawData();
    const int number = data[1] & 0x7f;
    // A note-off is a release whatever its release velocity.
    const int value = isNote && ! message.isNoteOn() ? 0 : (data[2] & 0x7f);

    const juce::ScopedLock sl (lock);
    auto& map = isNote ? noteMap : controllerMap;

    const auto armed = pendingLearn.exchange (notLearning);
    if (armed != notLearning)
    {
        const auto target = static_cast<int> (static_cast<std::uint32_t> (armed));
        assign (map, isNote ? noteCodeBit : 0, target, channel, number);
        if (listener != nullptr)
            listener->controllerLearned (target);
    }

    const int id = map[channel][number];
    if (id == none || listener == nullptr)
        return;

    if ((id & resetTriggerBit) != 0)
        listener->controllerTriggered (id);
    else
        listener->controllerMoved (id, value);
}

void MidiControlSurfaceManager::sendFeedback (MidiFeedbackOutput* output, int id, int value)
{
    if (output == nullptr || id < 0 || id >= numControlIds)
        return;

    const int code = reverse[(size_t) id].load (std::memory_order_relaxed);
    if (code == none)
        return;

    const int channel = (code >> 8) & 0xff;
    const int status = ((code & noteCodeBit) != 0 ? 0x90 : 0xb0) + channel;
    const juce::MidiMessage message (status, code & 0xff, juce::jlimit (0, 127, value));

    // The message thread and every MIDI input thread send through one output.
    const juce::ScopedLock sl (feedbackLock);
    output->sendMessageNow (message);
}

std::unique_ptr<juce::XmlElement> MidiControlSurfaceManager::toXml (const juce::String& tagName) const
{
    auto element = std::make_unique<juce::XmlElement> (tagName);
    int entryNumber = 1;

    auto addEntry = [&] (int id, int code) {
        auto* entry = element->createNewChildElement ("Entry" + juce::String (entryNumber++));
        entry->setAttribute ("tag", id);
        entry->setAttribute ("controller", code);
    };

    const juce::ScopedLock sl (lock);
    for (int channel = 0; channel < numMidiChannels; ++channel)
    {
        for (int number = 0; number < numNumbers; ++number)
        {
            if (controllerMap[channel][number] != none)
                addEntry (controllerMap[channel][number], cellCode (0, channel, number));
            if (noteMap[channel][number] != none)
                addEntry (noteMap[channel][number], cellCode (noteCodeBit, channel, number));
        }
    }
    return element;
}

void MidiControlSurfaceManager::fromXml (const juce::XmlElement* element)
{
    const juce::ScopedLock sl (lock);
    clearUnlocked();
    if (element == nullptr)
        return;

    for (const auto* entry : element->getChildIterator())
    {
        if (! entry->hasAttribute ("tag") || ! entry->hasAttribute ("controller"))
            continue;

        // The framework's reader overflows on "-2147483648".
        const int id = parseWholeNumber (entry->getStringAttribute ("tag"));
        const int code = parseWholeNumber (entry->getStringAttribute ("controller"));
        const int channel = (code >> 8) & 0xff;
        const int number = code & 0xff;
        if (! isMappableId (id) || ! isCell (channel, number))
            continue; // does not fit the maps: skipped, not folded into another cell

        if ((code & noteCodeBit) != 0)
            assign (noteMap, noteCodeBit, id, channel, number);
        else
            assign (controllerMap, 0, id, channel, number);
    }
}
}
