#pragma once

#include "ui/widgets/ExComponentListener.h"
#include "ui/widgets/ExComponentLookAndFeel.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <atomic>

namespace zund
{
/** The base of every control widget: one value (by convention 0..1), a default
    value, a control id and a listener.

    setValue never paints: it stores, notifies when asked and marks the widget
    dirty, so any thread (a MIDI input thread included) may call it. One 20 ms
    timer on the message thread repaints the dirty widgets (ExComponentTimer).

    All widgets are entered in one registry by control id (ids 0..9999) and, when
    they ask for it, in the repaint list that the timer walks. Widgets are made
    and destroyed on the message thread. */
class ExComponent : public juce::Component,
                    public ExComponentLookAndFeel,
                    public juce::TooltipClient
{
public:
    static constexpr int numControlIds = 10000;

    ExComponent (int id, ExComponentListener* listener, bool addToRepaintList);
    ~ExComponent() override;

    /** Stores the value by the widget's own rules, notifies the listener when
        asked and marks the widget dirty. Any thread. */
    virtual void setValue (float newValue, bool sendNotification) = 0;
    float getValue() const noexcept { return value.load(); }
    /** Toggles and buttons count as on from 0.5 up. */
    bool isOn() const noexcept { return getValue() >= 0.5f; }

    void setDefaultValue (float newDefault);
    float getDefaultValue() const noexcept { return defaultValue.load(); }
    /** setValue with the default value, so the widget's own rules apply. */
    void resetToDefault (bool notify);

    /** Enters the widget in the registry under this id too; the slot of the
        previous id is left as it is (it is emptied when the widget goes). */
    void setID (int newId);
    int getID() const noexcept { return id.load(); }

    void setListener (ExComponentListener* newListener) noexcept;
    ExComponentListener* getListener() const noexcept { return listener.load(); }

    /** Asks the repaint timer to repaint this widget at its next tick. Any thread. */
    void markDirty() noexcept { dirty.store (true); }
    bool isDirty() const noexcept { return dirty.load(); }

    /** Slot 1 of the own listener, else of the default listener, else nothing. */
    void dispatchMouseDown (const juce::MouseEvent& e);
    /** Slot 2 of the own listener, else of the default listener, else nothing. */
    void notifyListener();

    /** The caption while on (or always) and while off; an empty second text takes
        the first. */
    void setTexts (const juce::String& newText, const juce::String& newText2);
    const juce::String& getText() const noexcept { return text; }
    const juce::String& getText2() const noexcept { return text2; }

    /** Caption height and style flags (juce::Font::plain or juce::Font::bold). */
    void setTextStyle (float height, int style);
    float getTextHeight() const noexcept { return textHeight; }
    int getTextStyle() const noexcept { return textStyle; }

    void setTooltip (const juce::String& newTooltip) { tooltip = newTooltip; }

    /** The pointer over the widget lights it (mouse path: repaints at once). */
    void mouseEnter (const juce::MouseEvent& e) override;
    void mouseExit (const juce::MouseEvent& e) override;
    juce::String getTooltip() override { return tooltip; }

    /** The listener of every widget that has none of its own. */
    static void setDefaultListener (ExComponentListener* newDefault) noexcept;
    /** The widget registered under the id; null for an empty slot or an id
        outside 0..9999. Any thread. */
    static ExComponent* getComponentByID (int id) noexcept;
    /** The repaint list, in order of construction (message thread). */
    static int getNumComponents() noexcept;
    static ExComponent* getComponent (int index) noexcept;

protected:
    bool isPointerOver() const noexcept { return mouseOver; }

    /** NaN (a broken MIDI or file value) is taken as the default value. */
    float valueOrDefault (float newValue) const noexcept;
    /** Stores without any rule and returns the value it replaced; for the
        subclasses' setValue. */
    float exchangeValue (float newValue) noexcept { return value.exchange (newValue); }

private:
    friend class ExComponentTimer;
    bool takeDirty() noexcept { return dirty.exchange (false); }
    static void registerId (int id, ExComponent* widget) noexcept;

    std::atomic<float> defaultValue { 0.0f };
    std::atomic<int> id { 0 };
    std::atomic<bool> dirty { false };
    std::atomic<ExComponentListener*> listener { nullptr };
    float textHeight = 13.0f;
    int textStyle = juce::Font::plain;
    juce::String tooltip, text, text2;
    std::atomic<float> value { 0.0f };
    bool mouseOver = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ExComponent)
};
}
