#include "ui/widgets/ExComponent.h"

#include "ui/widgets/ExComponentTimer.h"

#include <array>
#include <cmath>

namespace zund
{
namespace
{
// The registry is read from MIDI threads while the message thread may build or
// tear down widgets, so its slots are atomic.
std::array<std::atomic<ExComponent*>, ExComponent::numControlIds> componentsById {};
std::atomic<ExComponentListener*> defaultListener { nullptr };

// Message thread only.
juce::Array<ExComponent*>& repaintList()
{
    static juce::Array<ExComponent*> list;
    return list;
}
int instanceCount = 0;

bool isValidId (int id) noexcept
{
    return id >= 0 && id < ExComponent::numControlIds;
}

ExComponentListener* chooseListener (const ExComponent& widget) noexcept
{
    if (auto* own = widget.getListener())
        return own;
    return defaultListener.load();
}
}

ExComponent::ExComponent (int newId, ExComponentListener* newListener, bool addToRepaintList)
{
    setName ("none");
    setMouseCursor (juce::MouseCursor::PointingHandCursor);

    id.store (newId);
    registerId (newId, this);
    listener.store (newListener);

    if (addToRepaintList)
        repaintList().add (this);

    if (instanceCount++ == 0)
        ExComponentTimer::create();
}

ExComponent::~ExComponent()
{
    if (--instanceCount == 0)
        ExComponentTimer::destroy();

    repaintList().removeFirstMatchingValue (this);

    // Every slot that still names this widget (its id, and slot 0 or older ids
    // it was built or entered under) is emptied; a slot another widget took over
    // stays with that widget.
    for (auto& slot : componentsById)
    {
        auto* expected = this;
        if (slot.load (std::memory_order_relaxed) == this)
            slot.compare_exchange_strong (expected, nullptr);
    }
}

void ExComponent::registerId (int newId, ExComponent* widget) noexcept
{
    if (isValidId (newId))
        componentsById[(size_t) newId].store (widget);
}

void ExComponent::setID (int newId)
{
    id.store (newId);
    registerId (newId, this);
}

void ExComponent::setListener (ExComponentListener* newListener) noexcept
{
    listener.store (newListener);
}

void ExComponent::setDefaultValue (float newDefault)
{
    if (! std::isnan (newDefault))
        defaultValue.store (newDefault);
}

void ExComponent::resetToDefault (bool notify)
{
    setValue (defaultValue.load(), notify);
}

float ExComponent::valueOrDefault (float newValue) const noexcept
{
    return std::isnan (newValue) ? defaultValue.load() : newValue;
}

void ExComponent::dispatchMouseDown (const juce::MouseEvent& e)
{
    if (auto* target = chooseListener (*this))
        target->exComponentMouseDown (this, e);
}

void ExComponent::notifyListener()
{
    if (auto* target = chooseListener (*this))
        target->exComponentValueChanged (this);
}

void ExComponent::setTexts (const juce::String& newText, const juce::String& newText2)
{
    text = newText;
    text2 = newText2.isEmpty() ? newText : newText2;
    markDirty();
}

void ExComponent::setTextStyle (float height, int style)
{
    textHeight = height;
    textStyle = style;
    markDirty();
}

void ExComponent::mouseEnter (const juce::MouseEvent&)
{
    mouseOver = true;
    repaint();
}

void ExComponent::mouseExit (const juce::MouseEvent&)
{
    mouseOver = false;
    repaint();
}

void ExComponent::setDefaultListener (ExComponentListener* newDefault) noexcept
{
    defaultListener.store (newDefault);
}

ExComponent* ExComponent::getComponentByID (int id) noexcept
{
    return isValidId (id) ? componentsById[(size_t) id].load() : nullptr;
}

int ExComponent::getNumComponents() noexcept
{
    return repaintList().size();
}

ExComponent* ExComponent::getComponent (int index) noexcept
{
    return repaintList()[index]; // null outside 0..size-1
}
}
