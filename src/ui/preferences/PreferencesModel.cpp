#include "ui/preferences/PreferencesModel.h"

namespace zund
{
PreferencesModel::PreferencesModel()
{
    sectionVisible.fill (true);
    for (int c = 0; c < numChannels; ++c)
        channelInputDeck[(size_t) c] = c; // each channel on its own deck
}
}
