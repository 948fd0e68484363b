#include "app/harness/AlsaTestCard.h"

#include <alsa/asoundlib.h>

namespace zund::test
{
AlsaTestCard::AlsaTestCard (const juce::File& folder)
    : state (folder.getChildFile ("card-state")), configuration (folder.getChildFile ("zund-test-card.conf"))
{
    plugIn();
    juce::String text;
    text << "pcm_type.zund_unpluggable {\n"
         << "    lib \"" << ZUND_TEST_CARD_MODULE << "\"\n"
         << "}\n"
         << "pcm.zundtestcard {\n"
         << "    type zund_unpluggable\n"
         << "    state \"" << state.getFullPathName() << "\"\n"
         << "    hint {\n"
         << "        show on\n"
         << "        description \"" << deviceName << "\"\n"
         << "    }\n"
         << "}\n";
    configuration.replaceWithText (text);
}

std::vector<std::string> AlsaTestCard::environment() const
{
    // The system's own file first: it pulls in the rest of the system's set-up.
    const auto systemFile = juce::String (snd_config_topdir()) + "/alsa.conf";
    return { ("ALSA_CONFIG_PATH=" + systemFile + ":" + configuration.getFullPathName()).toStdString() };
}

void AlsaTestCard::setState (const char* word)
{
    // Beside and renamed: the card never reads half a word.
    const auto beside = state.getSiblingFile (state.getFileName() + ".new");
    beside.replaceWithText (word);
    beside.moveFileTo (state);
}
}
