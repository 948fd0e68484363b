#include "WidgetTestSupport.h"
#include "ui/widgets/ExComponentTimer.h"
#include "ui/widgets/KelButton.h"
#include "ui/widgets/KelKnob.h"

#include <gtest/gtest.h>

#include <atomic>
#include <climits>
#include <memory>
#include <thread>

using namespace zund;
using namespace zund::test;

namespace
{
std::unique_ptr<KelButton> button (int id, ExComponentListener* listener = nullptr)
{
    return std::make_unique<KelButton> (id, listener);
}

// A knob that counts how often it is actually painted.
struct CountingKnob : public KelKnob
{
    void paint (juce::Graphics& g) override
    {
        ++paints;
        KelKnob::paint (g);
    }
    int paints = 0;
};
}

TEST (ExComponentRegistry, TheLaterWidgetOwnsASlotAndOnlyTheOwnerEmptiesIt)
{
    auto first = button (120);
    auto second = button (120);
    EXPECT_EQ (ExComponent::getComponentByID (120), second.get());

    first.reset(); // the displaced widget goes: the owner keeps the slot
    EXPECT_EQ (ExComponent::getComponentByID (120), second.get());

    second.reset();
    EXPECT_EQ (ExComponent::getComponentByID (120), nullptr);

    // The same through setID.
    auto a = button (0), b = button (0);
    a->setID (130);
    b->setID (130);
    EXPECT_EQ (ExComponent::getComponentByID (130), b.get());
    a.reset();
    EXPECT_EQ (ExComponent::getComponentByID (130), b.get());
}

TEST (ExComponentRegistry, ADestroyedWidgetLeavesNoSlotNamingIt)
{
    auto early = button (0);
    auto late = button (0); // built without an id, as the panels do
    EXPECT_EQ (ExComponent::getComponentByID (0), late.get());

    late->setID (140); // entered under its real id; slot 0 is left as it was
    EXPECT_EQ (ExComponent::getComponentByID (140), late.get());
    EXPECT_EQ (ExComponent::getComponentByID (0), late.get());

    late.reset();
    EXPECT_EQ (ExComponent::getComponentByID (140), nullptr);
    EXPECT_EQ (ExComponent::getComponentByID (0), nullptr); // not handed back to the earlier widget
}

TEST (ExComponentRegistry, IdsOutsideTheTableAreNeverWrittenOrFound)
{
    auto low = button (-1);
    auto high = button (ExComponent::numControlIds);
    auto huge = button (0);
    huge->setID (INT_MAX);
    auto last = button (ExComponent::numControlIds - 1);

    for (int id : { -1, ExComponent::numControlIds, INT_MAX, INT_MIN })
        EXPECT_EQ (ExComponent::getComponentByID (id), nullptr) << id;
    EXPECT_EQ (ExComponent::getComponentByID (ExComponent::numControlIds - 1), last.get());
    EXPECT_EQ (huge->getID(), INT_MAX); // the id is kept; only the table ignores it
}

TEST (ExComponentRegistry, TheRepaintListIsInOrderOfConstructionAndBounded)
{
    const int before = ExComponent::getNumComponents();
    auto a = button (1), b = button (2);
    ASSERT_EQ (ExComponent::getNumComponents(), before + 2);
    EXPECT_EQ (ExComponent::getComponent (before), a.get());
    EXPECT_EQ (ExComponent::getComponent (before + 1), b.get());
    EXPECT_EQ (ExComponent::getComponent (-1), nullptr);
    EXPECT_EQ (ExComponent::getComponent (before + 2), nullptr);

    a.reset();
    EXPECT_EQ (ExComponent::getComponent (before), b.get());
}

TEST (ExComponentListeners, TheOwnListenerWinsAndTheDefaultIsTheFallback)
{
    RecordingListener own, fallback;
    auto withOwn = button (0, &own);
    auto without = button (0);

    // Neither listener: nothing happens, nothing breaks.
    without->mouseDown (mouseEventAt (*without, { 1, 1 }));
    without->mouseUp (mouseEventAt (*without, { 1, 1 }));

    ExComponent::setDefaultListener (&fallback);
    withOwn->mouseDown (mouseEventAt (*withOwn, { 1, 1 }));
    without->mouseDown (mouseEventAt (*without, { 1, 1 }));
    ExComponent::setDefaultListener (nullptr);

    EXPECT_EQ (own.mouseDowns, 1);
    EXPECT_EQ (own.values, std::vector<float> { 1.0f });
    EXPECT_EQ (fallback.mouseDowns, 1);
    EXPECT_EQ (fallback.values, std::vector<float> { 1.0f });
}

TEST (ExComponentListeners, OnlyTheOwnListenerHearsOfARepaint)
{
    RecordingListener own, fallback;
    ExComponent::setDefaultListener (&fallback);
    auto withOwn = button (0, &own);
    auto without = button (0);

    withOwn->setValue (1.0f, false);
    without->setValue (1.0f, false);
    ExComponentTimer::repaintDirtyWidgets();
    ExComponentTimer::repaintDirtyWidgets(); // clean now: no second report
    ExComponent::setDefaultListener (nullptr);

    EXPECT_EQ (own.refreshes, 1);
    EXPECT_EQ (fallback.refreshes, 0);
    EXPECT_FALSE (withOwn->isDirty());
    EXPECT_FALSE (without->isDirty());
}

TEST (ExComponentTexts, AnEmptySecondTextTakesTheFirst)
{
    auto b = button (0);
    b->setTexts ("ON", "");
    EXPECT_EQ (b->getText(), "ON");
    EXPECT_EQ (b->getText2(), "ON");
    b->setTexts ("ABSOLUTE", "RELATIVE");
    EXPECT_EQ (b->getText2(), "RELATIVE");
}

TEST (ExComponentTimerLife, TheTimerLivesFromTheFirstWidgetToTheLast)
{
    ASSERT_EQ (ExComponentTimer::getInstance(), nullptr) << "a widget outlived its test";

    auto a = button (0), b = button (0);
    auto* timer = ExComponentTimer::getInstance();
    ASSERT_NE (timer, nullptr);
    EXPECT_TRUE (timer->isTimerRunning());
    a.reset();
    EXPECT_EQ (ExComponentTimer::getInstance(), timer);
    b.reset();
    EXPECT_EQ (ExComponentTimer::getInstance(), nullptr);

    // A new widget brings a new, running timer that serves it.
    auto c = button (0);
    ASSERT_NE (ExComponentTimer::getInstance(), nullptr);
    c->setValue (1.0f, false);
    ASSERT_TRUE (c->isDirty());
    EXPECT_TRUE (pumpMessagesUntil ([&c] { return ! c->isDirty(); })); // ticks come late on a busy machine
}

TEST (ExComponentRepaint, ValuesFromAnotherThreadArePaintedOnlyAtTheNextTick)
{
    juce::Component parent;
    parent.setBounds (0, 0, 80, 80);
    CountingKnob knob;
    knob.setBufferedToImage (true); // so a paint happens only when something asked for one
    knob.setBounds (10, 10, 60, 60);
    parent.addAndMakeVisible (knob);
    knob.setValue (0.0f, false);

    auto snapshot = [&parent] { return parent.createComponentSnapshot (parent.getLocalBounds()); };
    // A pixel on the pointer at 1.0 (down-right); at 0.0 it points down-left.
    const int px = 10 + 45, py = 10 + 45;

    snapshot();
    const int paintsBefore = knob.paints;
    ASSERT_GE (paintsBefore, 1);

    std::atomic<bool> done { false };
    std::thread midi ([&knob, &done] {
        for (int i = 0; i <= 1000; ++i)
            knob.setValue ((float) i / 1000.0f, true);
        done = true;
    });
    midi.join();
    ASSERT_TRUE (done);

    const auto beforeTick = snapshot();
    EXPECT_EQ (knob.paints, paintsBefore) << "setValue painted";
    EXPECT_TRUE (knob.isDirty());
    EXPECT_GT (brightnessAt (beforeTick, px, py), 0.5f); // still the old pointer

    EXPECT_TRUE (pumpMessagesUntil ([&knob] { return ! knob.isDirty(); }));
    const auto afterTick = snapshot();
    EXPECT_EQ (knob.paints, paintsBefore + 1) << "a thousand values, one paint";
    EXPECT_LT (brightnessAt (afterTick, px, py), 0.3f); // the pointer at 1.0
}
