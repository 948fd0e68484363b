#include "ui/plugins/PluginWindowsAside.h"

namespace zund
{
namespace
{
// The framework's popup menus are modal windows by this name.
const char* const menuWindowName = "menu";
}

PluginWindowsAside::~PluginWindowsAside()
{
    if (aside)
        bringBack();
}

bool PluginWindowsAside::isDialogUp()
{
    auto* modal = juce::ModalComponentManager::getInstanceWithoutCreating();
    if (modal == nullptr)
        return false;
    for (int i = 0; i < modal->getNumModalComponents(); ++i)
        if (auto* component = modal->getModalComponent (i); component != nullptr && component->getName() != menuWindowName)
            return true;
    return false;
}

void PluginWindowsAside::update()
{
    const bool dialogUp = isDialogUp();
    if (dialogUp && ! aside)
        putAside();
    else if (! dialogUp && aside)
        bringBack();
}

void PluginWindowsAside::putAside()
{
    aside = true;
    hidden.clear();
    for (auto* window : PluginWindow::getAllWindows())
        if (window->isVisible())
        {
            hidden.add (window);
            window->setAside (true);
            window->setVisible (false);
        }
}

void PluginWindowsAside::bringBack()
{
    aside = false;
    for (auto& window : hidden)
        if (window != nullptr)
        {
            window->setAside (false);
            window->setAlwaysOnTop (true);
            window->setVisible (true);
            window->toFront (false);
        }
    hidden.clear();
}
}
