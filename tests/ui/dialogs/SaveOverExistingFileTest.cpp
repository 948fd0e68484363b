// Saving a MIDI mapping or a colour scheme under a name whose file exists:
// the name typed gets its extension first, and only then is the question
// asked, about that very file. A "no" leaves the old file as it was.

#include "../colours/ColourRig.h"
#include "support/UiEvents.h"
#include "ui/midi/MidiControlSurfaceManager.h"

#include <gtest/gtest.h>

#include <functional>

using namespace zund;
using namespace zund::test;

namespace
{
/** One kind of user file: its folder, its extension, and the save button as
    the user presses it with a file question and a replace question answered
    in place. */
struct SavedKind
{
    const char* what;
    juce::String extension;
    std::function<juce::File()> folder;
    std::function<void (const juce::File& typed, const ReplaceQuestion& ask)> save;
};

struct Case
{
    const char* typed;
    bool replace;
    int questions;
    bool replaced;
};
}

TEST (SaveOverExistingFile, TheExtensionComesBeforeTheQuestion)
{
    ColourRig colours; // and its program folder, which the MIDI folder shares
    MidiControlSurfaceManager mapping;
    mapping.assignController (52, 0, 7);

    const SavedKind kinds[] = {
        { "MIDI mapping", ".kms", [] { return MidiControlSurfaceManager::getSettingsFolder(); },
          [&] (const juce::File& typed, const ReplaceQuestion& ask) {
              mapping.setFileQuestion ([typed] (bool saving, std::function<void (const juce::File&)> answer) {
                  EXPECT_TRUE (saving);
                  answer (typed);
              });
              mapping.setReplaceQuestion (ask);
              mapping.saveSettingsFile();
          } },
        { "colour scheme", ".kcs", [] { return ZundColourSelector::getSchemeFolder(); },
          [&] (const juce::File& typed, const ReplaceQuestion& ask) {
              colours.selector.setFileQuestion ([typed] (bool saving, std::function<void (const juce::File&)> answer) {
                  EXPECT_TRUE (saving);
                  answer (typed);
              });
              colours.selector.setReplaceQuestion (ask);
              colours.selector.getSaveButton().triggerClick();
          } },
    };
    const Case cases[] = {
        { "club", false, 1, false },     // the name without its extension: asked, declined
        { "club", true, 1, true },       // asked, replaced
        { "club.kxx", false, 1, false }, // another extension is replaced by the kind's own
        { "fresh", false, 0, true },     // a new file: nothing to ask
    };

    for (const auto& kind : kinds)
    {
        for (const auto& c : cases)
        {
            const auto existing = kind.folder().getChildFile ("club" + kind.extension);
            ASSERT_TRUE (existing.replaceWithText ("the user's old file"));
            kind.folder().getChildFile ("fresh" + kind.extension).deleteFile();
            const auto typed = kind.folder().getChildFile (c.typed);
            const auto written = typed.withFileExtension (kind.extension);

            juce::StringArray asked;
            kind.save (typed, [&] (const juce::File& file, std::function<void (bool)> answer) {
                           asked.add (file.getFileName());
                           answer (c.replace);
                       });
            pumpMessages();

            const auto label = juce::String (kind.what) + ", typed " + c.typed;
            ASSERT_EQ (asked.size(), c.questions) << label;
            if (c.questions > 0)
                EXPECT_EQ (asked[0], existing.getFileName()) << label;
            EXPECT_EQ (written.existsAsFile() && written.loadFileAsString() != "the user's old file", c.replaced)
                << label;
            if (written != existing)
                EXPECT_EQ (existing.loadFileAsString(), "the user's old file") << label;
            EXPECT_FALSE (typed != written && typed.exists()) << label << ": saved without the extension";
        }
    }
}
