#include "app/MainAppWindow.h"

#include "app/main/MainComponent.h"

namespace zund
{
// Not on the desktop yet: the native window is made once, by showOnDesktop,
// when everything that shapes it is set. (Made here, it would be made again
// when the drop shadow goes, and stand empty at 0, 0 while the content is built.)
MainAppWindow::MainAppWindow()
    : juce::DocumentWindow ("ZUND V" + juce::JUCEApplication::getInstance()->getApplicationVersion(),
                            juce::Colour (0xff222222), juce::DocumentWindow::allButtons, false)
{
    setResizeLimits (minimumWidth, minimumHeight, maximumWidth, maximumHeight);
    juce::LookAndFeel::setDefaultLookAndFeel (&lookAndFeel);
    setResizable (true, true);
    setTitleBarHeight (20);
    setUsingNativeTitleBar (false);

    auto* content = new MainComponent (this);
    setContentOwned (content, false);

    const auto saved = content->getSavedBounds();
    const auto bounds = saved ? constrainSavedBounds (*saved, juce::Desktop::getInstance().getDisplays())
                              : std::nullopt;
    if (bounds)
        setBounds (*bounds);
    else
        centreWithSize (minimumWidth, minimumHeight);
}

void MainAppWindow::showOnDesktop()
{
    setDropShadowEnabled (false);
    addToDesktop();
    setVisible (true);
}

MainAppWindow::~MainAppWindow()
{
    clearContentComponent(); // deletes the MainComponent: its shut-down order runs here
    juce::LookAndFeel::setDefaultLookAndFeel (nullptr);
}

void MainAppWindow::closeButtonPressed()
{
    if (auto* content = getMainComponent())
        content->quitRequested();
}

MainComponent* MainAppWindow::getMainComponent() const
{
    return dynamic_cast<MainComponent*> (getContentComponent());
}

std::optional<juce::Rectangle<int>> MainAppWindow::constrainSavedBounds (juce::Rectangle<int> saved,
                                                                          const juce::Displays& displays)
{
    // The numbers come from a file: checked before any sum, which could overflow.
    const auto withinReach = [] (int v) { return v >= -maxSavedCoordinate && v <= maxSavedCoordinate; };
    if (! withinReach (saved.getX()) || ! withinReach (saved.getY()) || saved.getWidth() < 1
        || saved.getWidth() > maxSavedCoordinate || saved.getHeight() < 1 || saved.getHeight() > maxSavedCoordinate)
        return std::nullopt;

    const auto* display = displays.getDisplayForRect (saved);
    if (display == nullptr || ! display->userArea.intersects (saved))
        return std::nullopt;

    // Within the resize limits, and no larger than the display where it can be.
    const auto area = display->userArea;
    const int width = juce::jlimit (minimumWidth, juce::jmax (minimumWidth, juce::jmin (maximumWidth, area.getWidth())),
                                    saved.getWidth());
    const int height = juce::jlimit (minimumHeight,
                                     juce::jmax (minimumHeight, juce::jmin (maximumHeight, area.getHeight())),
                                     saved.getHeight());
    // Keep the title bar reachable on that display.
    const int x = juce::jlimit (area.getX(), juce::jmax (area.getX(), area.getRight() - width), saved.getX());
    const int y = juce::jlimit (area.getY(), juce::jmax (area.getY(), area.getBottom() - height), saved.getY());
    return juce::Rectangle<int> (x, y, width, height);
}
}
