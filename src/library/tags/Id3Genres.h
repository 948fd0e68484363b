#pragma once

#include <juce_core/juce_core.h>

namespace zund
{
/** The ID3v1 genre list with its Winamp extensions, as the library shows it. */
constexpr int numId3Genres = 148;

/** Name of genre number 0..147; empty for any other number. */
juce::String getId3GenreName (int index);

/** Number of the genre with this exact name, or -1. */
int findId3GenreIndex (const juce::String& name);

/** Genre text as the library shows it: "(n)" with n = 0..147 (no digits read as 0)
    becomes that genre's name; every other text stays as it is. */
juce::String resolveId3GenreNumber (const juce::String& genre);
}
