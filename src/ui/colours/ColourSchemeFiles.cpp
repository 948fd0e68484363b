#include "ui/colours/ColourSchemeFiles.h"

#include "common/files/UserFiles.h"
#include "ui/colours/ZundColourSelector.h"

#include <iostream>

namespace zund
{
void ColourSchemeFiles::loadAtStartup()
{
    installBaseScheme();
    loadUserColours();
}

void ColourSchemeFiles::installBaseScheme()
{
    const auto file = ZundColourSelector::getBaseSchemeFile();
    juce::String error;
    if (selector.loadColourScheme (file, &error))
        return;

    if (error.isNotEmpty() && keepFileAside (file) == juce::File())
    {
        std::cerr << "Zund: " << file.getFileName() << " could not be read (" << error
                  << ") nor moved aside" << std::endl;
        return;
    }
    if (! selector.saveColourScheme (file, &error))
        std::cerr << "Zund: " << file.getFileName() << " was not written: " << error << std::endl;
}

void ColourSchemeFiles::loadUserColours()
{
    const auto file = ZundColourSelector::getUserColoursFile();
    juce::String error;
    if (selector.loadColourScheme (file, &error) || error.isEmpty())
        return;
    if (file.existsAsFile() && file.getSize() == 0)
        return; // nothing to lose: it is written at exit

    const auto reason = "The colour file \"" + file.getFileName() + "\" could not be read (" + error + ").\n\n";
    if (! file.exists())
    {
        warning = reason + "Zund starts with its default colours.";
        return;
    }

    const auto aside = keepFileAside (file);
    if (aside != juce::File())
    {
        warning = reason + "It was kept as \"" + aside.getFileName() + "\", and Zund starts with its default colours.";
    }
    else
    {
        userFileMustStay = true;
        warning = reason + "Zund starts with its default colours and will not write over the file.";
    }
}

bool ColourSchemeFiles::saveAtShutdown (juce::String* error)
{
    if (userFileMustStay)
    {
        if (error != nullptr)
            *error = "the unreadable " + ZundColourSelector::getUserColoursFile().getFileName()
                   + " could not be moved aside";
        return false;
    }
    return selector.saveColourScheme (ZundColourSelector::getUserColoursFile(), error);
}
}
