// The program's file and folder choosers are the framework's own dialog on a
// desktop without a dialog helper (and loading a MIDI mapping or a colour
// scheme always is). Browsing into a folder copied from an older system, each
// lists the ordinary entries and the odd names a string can hold, leaves out
// the ones it cannot, and stays sound: the framework's listing used to write
// past a string's buffer on those names, on the browser's own thread.

#include "support/FrameworkFileChooser.h"
#include "support/OddNames.h"
#include "support/TempFolder.h"
#include "support/UiEvents.h"
#include "ui/look/ZundLookAndFeel.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

using namespace zund;
using namespace zund::test;

namespace
{
/** A chooser the program opens, as it asks the framework for it. */
struct Chooser
{
    const char* title;
    const char* patterns;
    int flags;
    const char* extension; // of the files it is for
};

/** A music folder with an ordinary file, folder and text file, and every odd
    name twice: as a file with the chooser's extension and as a folder. The
    files' names end in " 1" before the extension: the framework's pattern
    match steps over the bytes after a Latin-1 one, so a name like
    "caf\xe9.kcs" does not match "*.kcs" (the chooser does not show it). */
struct OddFolder
{
    TempFolder temp;
    juce::File music = temp.file ("music");
    std::set<std::string> files, folders; // those a string can hold

    explicit OddFolder (const std::string& extension)
    {
        music.createDirectory();
        music.getChildFile ("Sets").createDirectory();
        folders.insert (pathIn (music, "Sets"));
        music.getChildFile ("notes.txt").replaceWithText ("x");
        const auto plain = music.getChildFile ("plain" + extension);
        plain.replaceWithText ("x");
        files.insert (plain.getFullPathName().toStdString());

        for (const auto& name : oddSongNames())
        {
            const auto file = withEnding (name, " 1" + extension), folder = withEnding (name, " Mix");
            const auto made = music.getChildFile ("made");
            made.replaceWithText ("x");
            EXPECT_TRUE (renameTo (made, music, file)) << name.what;
            EXPECT_TRUE (makeFolderNamed (music, folder)) << name.what;
            if (name.safe)
            {
                files.insert (pathIn (music, file));
                folders.insert (pathIn (music, folder));
            }
        }
    }

    std::set<std::string> listedBy (const Chooser& chooser) const
    {
        auto listed = folders;
        if ((chooser.flags & juce::FileBrowserComponent::canSelectFiles) != 0)
            listed.insert (files.begin(), files.end());
        return listed;
    }
};
}

TEST (FrameworkChoosers, BrowsingIntoAFolderOfOddNamesListsWhatCanBeHeld)
{
    using Browser = juce::FileBrowserComponent;
    const int openFile = Browser::openMode | Browser::canSelectFiles;
    const int saveFile = Browser::saveMode | Browser::canSelectFiles;
    const int chooseFolder = Browser::openMode | Browser::canSelectDirectories;
    const Chooser choosers[] = {
        { "Please choose MIDI Control Settings to open!", "*.kms", openFile, ".kms" },
        { "Please choose Colour Scheme to load!", "*.kcs", openFile, ".kcs" },
        { "Please enter filename for MIDI Control Settings!", "*.kms", saveFile, ".kms" },
        { "Please enter filename for Colour Scheme !", "*.kcs", saveFile, ".kcs" },
        { "Please enter filename for 32 Bit Stereo .WAV !", "*.wav;*.WAV", saveFile, ".wav" },
        { "Choose Song Folder", "*", chooseFolder, ".mp3" },
        { "Please select directory where files might be located in ...", "*.*", chooseFolder, ".mp3" },
        { "Add a folder...", "*", chooseFolder, ".vst3" }, // the plug-in list's search folders
    };

    ZundLookAndFeel lookAndFeel;
    for (const auto& c : choosers)
    {
        SCOPED_TRACE (c.title);
        const OddFolder folder (c.extension);
        FrameworkFileChooser chooser (c.title, folder.temp.get(), c.patterns, c.flags);
        chooser.getBox().setLookAndFeel (&lookAndFeel);
        chooser.getBox().setSize (600, 500);
        ASSERT_TRUE (chooser.waitForListing());
        EXPECT_EQ (chooser.listedPaths(), std::set<std::string> { pathIn (folder.temp.get(), "music") });

        chooser.getBrowser().setRoot (folder.music);
        ASSERT_TRUE (chooser.waitForListing());
        EXPECT_EQ (chooser.listedPaths(), folder.listedBy (c));
        EXPECT_EQ (chooser.getBrowser().getRoot(), folder.music);

        // Its rows drawn with their names, and its icon thread done with them.
        snapshotOf (chooser.getBox());
        pumpMessages (100);
    }
}
