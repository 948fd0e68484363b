#include "library/browser/CheckBoxMenu.h"

namespace zund
{
namespace
{
void drawTick (juce::Graphics& g, juce::Rectangle<float> box)
{
    juce::Path tick;
    tick.startNewSubPath (1.5f, 3.0f);
    tick.lineTo (3.0f, 6.0f);
    tick.lineTo (6.0f, 0.0f);
    tick.applyTransform (juce::AffineTransform::scale (box.getWidth() / 9.0f, box.getHeight() / 9.0f)
                             .translated (box.getX() + 2.0f, box.getY() + 2.0f));
    g.strokePath (tick, juce::PathStrokeType (2.5f));
}
}

CheckBoxMenu::CheckBoxMenu()
{
    setOpaque (true);
}

CheckBoxMenu::~CheckBoxMenu()
{
    stopTimer();
    clear();
}

void CheckBoxMenu::addItem (const juce::String& name, int id, bool checked)
{
    int count = 0;
    {
        const juce::ScopedLock sl (lock);
        items.add (new CheckBoxMenuItem { name, id, checked });
        count = items.size();
    }
    setSize (menuWidth, count * rowHeight);
}

bool CheckBoxMenu::isChecked (int id) const
{
    const juce::ScopedLock sl (lock);
    for (auto* item : items)
        if (item->id == id)
            return item->checked;
    return false;
}

void CheckBoxMenu::clear()
{
    const juce::ScopedLock sl (lock);
    items.clear();
}

juce::Point<int> CheckBoxMenu::cornerForMouseAt (juce::Point<int> mouse)
{
    return { juce::jmax (0, mouse.x - 8), juce::jmax (0, mouse.y - 8) };
}

void CheckBoxMenu::showAtMousePosition()
{
    stopTimer();
    armed = false;
    setTopLeftPosition (cornerForMouseAt (juce::Desktop::getMousePosition()));
    addToDesktop (0, nullptr);
    setVisible (true);
    setAlwaysOnTop (true);
    toFront (true);
}

void CheckBoxMenu::mouseEnter (const juce::MouseEvent&)
{
    stopTimer();
    hoveredRow = -1;
    repaint();
}

void CheckBoxMenu::mouseMove (const juce::MouseEvent& e)
{
    armed = true;
    hoveredRow = e.y / rowHeight;
    repaint();
}

void CheckBoxMenu::mouseExit (const juce::MouseEvent&)
{
    hoveredRow = -1;
    repaint();
    if (armed)
        startTimer (closeDelayMs);
}

void CheckBoxMenu::timerCallback()
{
    stopTimer();
    setVisible (false);
}

void CheckBoxMenu::mouseDown (const juce::MouseEvent&)
{
    {
        const juce::ScopedLock sl (lock);
        auto* item = items[hoveredRow];
        if (item == nullptr)
            return;
        item->checked = ! item->checked;
    }
    repaint();
    sendChangeMessage();
}

void CheckBoxMenu::paint (juce::Graphics& g)
{
    const int width = getWidth();
    const juce::ScopedLock sl (lock);
    const int count = items.size();

    for (int i = 0; i < count; ++i)
    {
        g.setColour (i % 2 != 0 ? juce::Colours::white : juce::Colours::white.darker (0.05f));
        g.fillRect (0, rowHeight * i, width, rowHeight);
    }

    if (juce::isPositiveAndBelow (hoveredRow, count))
    {
        g.setColour (juce::Colour (0xffffa500));
        g.fillRect (0, rowHeight * hoveredRow, width, rowHeight);
    }

    g.setColour (juce::Colour (0x08000000));
    for (int y = 0; y < getHeight(); y += 2)
        g.fillRect (0, y, width, 1);

    for (int i = 0; i < count; ++i)
    {
        const auto* item = items.getUnchecked (i);
        if (item->checked)
        {
            g.setColour (juce::Colour (0xff0000ff));
            drawTick (g, juce::Rectangle<int> (2, rowHeight * i, rowHeight, rowHeight).toFloat());
        }
        g.setColour (juce::Colours::black);
        g.drawText (item->name, 22, rowHeight * i, width - 24, rowHeight, juce::Justification::centredLeft, false);
    }
}
}
