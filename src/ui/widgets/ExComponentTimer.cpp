#include "ui/widgets/ExComponentTimer.h"

#include "ui/widgets/ExComponent.h"

#include <memory>

namespace zund
{
namespace
{
std::unique_ptr<ExComponentTimer>& theTimer()
{
    static std::unique_ptr<ExComponentTimer> timer;
    return timer;
}
}

void ExComponentTimer::timerCallback()
{
    repaintDirtyWidgets();
}

void ExComponentTimer::repaintDirtyWidgets()
{
    // The length is read again every time: a listener may add or remove widgets.
    for (int i = 0; i < ExComponent::getNumComponents(); ++i)
    {
        auto* widget = ExComponent::getComponent (i);
        if (widget == nullptr || ! widget->takeDirty())
            continue;
        if (auto* own = widget->getListener())
            own->exComponentRefreshed (widget);
        widget->repaint();
    }
}

ExComponentTimer* ExComponentTimer::getInstance() noexcept
{
    return theTimer().get();
}

void ExComponentTimer::create()
{
    theTimer() = std::make_unique<ExComponentTimer>();
    theTimer()->startTimer (periodMs);
}

void ExComponentTimer::destroy()
{
    if (auto& timer = theTimer())
        timer->stopTimer();
    theTimer().reset();
}
}
