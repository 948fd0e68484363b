#include "app/harness/DialogProbe.h"

#include "library/tasks/report/ConsistencyCheckReportComponent.h"
#include "support/TempFolder.h"
#include "ui/look/ZundLookAndFeel.h"

namespace zund::test
{
namespace
{
// The report over an empty database, in its frame as the program shows it:
// its own title bar, not resizable.
template <typename Question>
auto askReport (Question&& question)
{
    TempFolder temp;
    ID3DataBase database (temp.file ("database.xml"));
    std::vector<juce::File> noFiles;
    ConsistencyReportModel model (database, noFiles, [] (std::vector<juce::File>&) {});
    ConsistencyCheckReportComponent report (model);

    ZundLookAndFeel lookAndFeel;
    juce::DialogWindow frame ("Consistency Check Report", juce::Colours::white, true, false);
    frame.setLookAndFeel (&lookAndFeel);
    frame.setUsingNativeTitleBar (false);
    frame.setResizable (false, false);
    frame.setContentNonOwned (&report, true);

    auto answer = question (report, [&] (const juce::Component& c) { return frame.getLocalArea (&c, c.getLocalBounds()); });
    frame.clearContentComponent();
    frame.setLookAndFeel (nullptr);
    return answer;
}
}

std::optional<juce::Rectangle<int>> ReportProbe::button (const juce::String& text)
{
    return askReport ([&text] (ConsistencyCheckReportComponent& report, auto boundsOf) {
        std::optional<juce::Rectangle<int>> found;
        for (auto* child : report.getChildren())
            if (auto* b = dynamic_cast<juce::Button*> (child); b != nullptr && b->getButtonText() == text)
                found = boundsOf (*b);
        return found;
    });
}

juce::Rectangle<int> ReportProbe::missingList()
{
    return askReport ([] (ConsistencyCheckReportComponent& report, auto boundsOf) { return boundsOf (report.getMissingList()); });
}

juce::Rectangle<int> ReportProbe::scanList()
{
    return askReport ([] (ConsistencyCheckReportComponent& report, auto boundsOf) { return boundsOf (report.getScanList()); });
}
}
