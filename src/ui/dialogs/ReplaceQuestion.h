#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

namespace zund
{
/** Asks whether an existing file may be replaced; the answer arrives in the
    callback (true: replace). Tests answer in place of the user. */
using ReplaceQuestion = std::function<void (const juce::File& file, std::function<void (bool replace)> answer)>;

/** The question as the framework's alert box ("File already exists"). */
void askBeforeReplacing (const juce::File& file, std::function<void (bool replace)> answer);

/** Runs `save` at once when the file does not exist, else only once the user
    has agreed to replace it. The file is the one that will really be written:
    its extension applied before the question, never after. */
void saveAfterAsking (const juce::File& file, const ReplaceQuestion& ask, std::function<void()> save);
}
