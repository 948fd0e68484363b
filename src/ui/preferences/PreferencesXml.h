#pragma once

#include "ui/preferences/PreferencesModel.h"

#include <juce_core/juce_core.h>

#include <memory>

namespace zund
{
/** Reads the preferences root's attributes and its "MIDIControlDefaults"
    child. Missing values take their defaults; values the program cannot use
    (a channel count of 5, a deck of 7) are dropped; the Z-lock range is held
    to 0..1. The root's tag plays no part. */
PreferencesModel preferencesFromXml (const juce::XmlElement& root);

/** The whole "Preferences" document: the device state first (when given),
    the attributes in their fixed order, then "MIDIControlDefaults". */
std::unique_ptr<juce::XmlElement> preferencesToXml (const PreferencesModel& model,
                                                    std::unique_ptr<juce::XmlElement> deviceState);
}
