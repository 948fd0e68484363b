#include "support/ModalRun.h"

#include "support/UiEvents.h"

namespace zund::test
{
ModalRun::ModalRun (juce::Component& c) : component (c)
{
    component.enterModalState (false, juce::ModalCallbackFunction::create ([o = outcome] (int r) { *o = r; }));
}

ModalRun::~ModalRun()
{
    if (component.isCurrentlyModal())
        component.exitModalState (-100);
    pumpMessages (5);
}

bool ModalRun::closed (int timeoutMs)
{
    return pumpMessagesUntil ([this] { return outcome->has_value(); }, timeoutMs);
}
}
