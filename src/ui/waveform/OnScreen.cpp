#include "ui/waveform/OnScreen.h"

namespace zund
{
bool isOnScreen (const juce::Component& component)
{
    const juce::Component* c = &component;
    for (; c->getParentComponent() != nullptr; c = c->getParentComponent())
        if (! c->isVisible())
            return false;
    if (! c->isVisible())
        return false;

    auto* peer = c->getPeer();
    if (peer == nullptr)
        return false;

    // Each isMinimised() asks the X server and waits for its answer.
    struct Answer
    {
        const juce::ComponentPeer* peer = nullptr;
        juce::uint32 askedAt = 0;
        bool minimised = false;
    };
    static Answer last;
    const auto now = juce::Time::getMillisecondCounter();
    if (last.peer != peer || now - last.askedAt >= minimisedCheckMs)
        last = { peer, now, peer->isMinimised() };
    return ! last.minimised;
}
}
