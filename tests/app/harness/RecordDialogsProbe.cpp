#include "app/harness/RecordDialogsProbe.h"

#include "ui/dialogs/RecordInputChooser.h"
#include "ui/look/ZundLookAndFeel.h"

#include <juce_gui_basics/juce_gui_basics.h>

namespace zund::test
{
namespace
{
juce::Point<int> centreIn (juce::Component& window, juce::Component& widget)
{
    return window.getLocalArea (&widget, widget.getLocalBounds()).getCentre();
}

// The file chooser as the framework builds it for a save (its own dialog box
// around a browser), off the desktop.
struct FileChooserProbe
{
    ZundLookAndFeel lookAndFeel;
    juce::WildcardFileFilter filter { "*.wav;*.WAV", {}, {} };
    juce::FileBrowserComponent browser { juce::FileBrowserComponent::saveMode
                                             | juce::FileBrowserComponent::canSelectFiles,
                                         {}, &filter, nullptr };
    juce::FileChooserDialogBox box { "probe", {}, browser, false, juce::Colours::black, nullptr };

    FileChooserProbe (int width, int height)
    {
        box.setLookAndFeel (&lookAndFeel);
        box.setSize (width, height);
    }

    ~FileChooserProbe() { box.setLookAndFeel (nullptr); }

    juce::Component* find (const std::function<bool (juce::Component&)>& matches)
    {
        std::function<juce::Component* (juce::Component&)> search = [&] (juce::Component& c) -> juce::Component* {
            if (matches (c))
                return &c;
            for (auto* child : c.getChildren())
                if (auto* found = search (*child))
                    return found;
            return nullptr;
        };
        return search (box);
    }
};

// Where a part of the source chooser is, as the bar's dialog window shows it:
// the framework's title bar, not resizable.
juce::Point<int> chooserPoint (const std::function<juce::Component& (RecordInputChooser&)>& part)
{
    ZundLookAndFeel lookAndFeel;
    RecordInputChooser chooser;
    juce::DialogWindow window ("probe", juce::Colours::white, true, false);
    window.setLookAndFeel (&lookAndFeel);
    window.setUsingNativeTitleBar (false);
    window.setContentNonOwned (&chooser, true);
    window.setResizable (false, false);
    const auto point = centreIn (window, part (chooser));
    window.clearContentComponent();
    window.setLookAndFeel (nullptr);
    return point;
}
}

juce::Point<int> RecordDialogsProbe::chooserOkButton()
{
    return chooserPoint ([] (RecordInputChooser& chooser) -> juce::Component& { return chooser.getOkButton(); });
}

juce::Point<int> RecordDialogsProbe::chooserSourceList()
{
    return chooserPoint ([] (RecordInputChooser& chooser) -> juce::Component& { return chooser.getSourceList(); });
}

juce::Point<int> RecordDialogsProbe::fileNameBox (int width, int height)
{
    FileChooserProbe probe (width, height);
    auto* box = probe.find ([] (juce::Component& c) { return dynamic_cast<juce::TextEditor*> (&c) != nullptr; });
    return box != nullptr ? centreIn (probe.box, *box) : juce::Point<int>();
}

juce::Point<int> RecordDialogsProbe::fileSaveButton (int width, int height)
{
    FileChooserProbe probe (width, height);
    const auto verb = probe.browser.getActionVerb();
    auto* button = probe.find ([&] (juce::Component& c) {
        auto* b = dynamic_cast<juce::TextButton*> (&c);
        return b != nullptr && b->getButtonText() == verb;
    });
    return button != nullptr ? centreIn (probe.box, *button) : juce::Point<int>();
}
}
