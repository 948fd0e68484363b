#include "library/browser/ID3ViewComponent.h"

#include "library/browser/AbandonedWorkers.h"
#include "library/browser/ID3ViewComponentListener.h"
#include "library/browser/ID3ViewComponentWorker.h"
#include "library/browser/RowSelection.h"
#include "library/browser/ID3ViewComponentMouseListener.h"
#include "library/browser/SongTableColumns.h"
#include "library/tree/ZundFileTreeComponent.h"

namespace zund
{
namespace
{
// How long the message thread waits for a worker to stop; one that takes
// longer is left to end on its own.
constexpr int workerStopTimeoutMs = 100;

// The rows' own holder inside the list's viewport: a wheel turn over the rows
// moves the selection instead of scrolling the list.
class WheelSteppingRowHolder : public juce::Component
{
public:
    explicit WheelSteppingRowHolder (juce::ListBox& listToStep) : list (listToStep) {}

    void mouseWheelMove (const juce::MouseEvent& e, const juce::MouseWheelDetails& wheel) override
    {
        list.mouseWheelMove (e.getEventRelativeTo (&list), wheel);
    }

    std::unique_ptr<juce::AccessibilityHandler> createAccessibilityHandler() override
    {
        return createIgnoredAccessibilityHandler (*this);
    }

private:
    juce::ListBox& list;
};

void installWheelSteppingRowHolder (juce::ListBox& list)
{
    auto* viewport = list.getViewport();
    auto* oldHolder = viewport->getViewedComponent();
    auto holder = std::make_unique<WheelSteppingRowHolder> (list);
    holder->setBounds (oldHolder->getBounds());
    while (oldHolder->getNumChildComponents() > 0)
        holder->addAndMakeVisible (oldHolder->getChildComponent (0));
    viewport->setViewedComponent (holder.release(), true);
}
}

ID3ViewComponent::ID3ViewComponent (ID3DataBase* db)
    : StringTableListBox ("ID3View"),
      database (db),
      link (std::make_shared<WorkerLink> (db, this))
{
    auto& header = getHeader();
    for (int id = 1; id <= SongTableColumns::count; ++id)
        header.addColumn (SongTableColumns::nameOf (id), id, SongTableColumns::initialWidthOf (id),
                          SongTableColumns::minimumWidth, -1, juce::TableHeaderComponent::defaultFlags);
    header.setColumnVisible (SongTableColumns::pos, false);
    header.setColumnVisible (SongTableColumns::path, false);

    setMultipleSelectionEnabled (true);
    headerMouseListener = std::make_unique<ID3ViewComponentMouseListener> (*this);
    header.addMouseListener (headerMouseListener.get(), false);
    installWheelSteppingRowHolder (*this);
}

ID3ViewComponent::~ID3ViewComponent()
{
    stopWorkerNoting();
    link->cut(); // a worker left behind reaches neither the database nor this
    getHeader().removeMouseListener (headerMouseListener.get());
}

bool ID3ViewComponent::isWorking() const
{
    return worker != nullptr && worker->isThreadRunning();
}

void ID3ViewComponent::setListener (ID3ViewComponentListener* newListener)
{
    viewListener = newListener;
    StringTableListBox::setListener (newListener);
}

//==============================================================================
void ID3ViewComponent::showFolder (const juce::File& newFolder)
{
    stopWorkerNoting();
    folder = newFolder;
    switchMode (folderMode);
}

void ID3ViewComponent::showCase (juce::StringArray* files)
{
    stopWorkerNoting();
    caseFiles = files;
    switchMode (caseMode);
}

void ID3ViewComponent::showDatabase()
{
    stopWorkerNoting();
    switchMode (databaseMode);
}

void ID3ViewComponent::setSearchWords (const juce::StringArray& words)
{
    stopWorkerNoting();
    search.setWords (words);
    switchMode (searchMode);
}

void ID3ViewComponent::setSearchField (const juce::String& name, bool on)
{
    search.setFieldEnabled (SongSearch::fieldOfName (name.toLowerCase()), on);
}

void ID3ViewComponent::switchMode (int newMode, int extraWork)
{
    mode = newMode;
    if (mode != caseMode)
        caseFiles = nullptr;

    {
        const juce::ScopedValueSetter<bool> internal (selectingForTheFill, true);
        clearRows();
    }
    rowOfPos.clear();
    posMapValid = true;
    userChoseRows = false;
    startJob (fillRowsWork | sortWork | fillTagsWork | extraWork, (extraWork & sortWork) != 0);
}

void ID3ViewComponent::startJob (int work, bool sortEvenInCase)
{
    jassert (worker == nullptr);
    ++generation;

    Job job;
    job.mode = mode;
    job.folder = folder;
    job.caseFiles = mode == caseMode && caseFiles != nullptr ? *caseFiles : juce::StringArray();
    job.search = search;
    if (mode == databaseMode)
        job.search.setWords ({}); // every record
    job.songFolders = tree != nullptr ? tree->getSongFolders() : juce::StringArray();
    job.keepOrder = keepsOrder();
    job.work = job.keepOrder && ! sortEvenInCase ? (work & ~sortWork) : work;
    job.generation = generation;

    worker = std::make_unique<Worker> (*this, link, std::move (job));
    worker->startThread();
}

int ID3ViewComponent::stopWorkerNoting()
{
    if (worker == nullptr)
        return 0;

    // A worker left running can no longer take the message-manager lock: what
    // it has not finished stays undone.
    auto* stopped = worker.get();
    AbandonedWorkers::stop (worker, workerStopTimeoutMs);
    const int undone = stopped->getUndoneWork(); // one left behind is deleted only at a later stop
    worker.reset();
    return undone;
}

void ID3ViewComponent::finishUndoneWork (int undone)
{
    if (undone == 0)
        return;

    if ((undone & fillRowsWork) != 0)
        switchMode (mode);
    else
        startJob (undone | (keepsOrder() ? 0 : sortWork));
}

void ID3ViewComponent::stopWorker()
{
    if (stopWorkerNoting() == 0)
        return;

    // The cut run's last messages will not come.
    ++generation;
    if (viewListener != nullptr)
    {
        viewListener->workingStateChanged (false);
        viewListener->numRowsChanged (getNumRows());
    }
}

void ID3ViewComponent::clearTable()
{
    stopWorker();
    mode = noMode;
    caseFiles = nullptr;
    {
        const juce::ScopedValueSetter<bool> internal (selectingForTheFill, true);
        clearRows();
    }
    rowOfPos.clear();
    posMapValid = true;
    if (viewListener != nullptr)
        viewListener->numRowsChanged (0);
}

bool ID3ViewComponent::isShowingCase (const juce::StringArray* files) const noexcept
{
    return files != nullptr && shownCase() == files;
}

//==============================================================================
juce::String ID3ViewComponent::getFullPathOfRow (int row) const
{
    if (! juce::isPositiveAndBelow (row, getRowCount()))
        return {};
    return getCellText (SongTableColumns::path - 1, row) + juce::File::getSeparatorString()
         + getCellText (SongTableColumns::filename - 1, row);
}

juce::String ID3ViewComponent::getSelectedFile() const
{
    return getNumSelectedRows() > 0 ? getFullPathOfRow (getSelectedRow (0)) : juce::String();
}

juce::StringArray ID3ViewComponent::getSelectedFiles() const
{
    juce::StringArray paths;
    for (const int row : RowSelection::rowsOf (getSelectedRows()))
        if (juce::isPositiveAndBelow (row, getRowCount()))
            paths.add (getFullPathOfRow (row));
    return paths;
}

void ID3ViewComponent::rebuildPosMap()
{
    rowOfPos.clear();
    for (int row = 0; row < getNumRows(); ++row)
    {
        const int pos = getCellText (SongTableColumns::pos - 1, row).getIntValue();
        if (pos < 0)
            continue;
        if ((int) rowOfPos.size() <= pos)
            rowOfPos.resize ((size_t) pos + 1, -1);
        if (rowOfPos[(size_t) pos] < 0)
            rowOfPos[(size_t) pos] = row;
    }
    posMapValid = true;
}

int ID3ViewComponent::findRowByPos (int pos)
{
    if (! posMapValid)
        rebuildPosMap();
    return juce::isPositiveAndBelow (pos, (int) rowOfPos.size()) ? rowOfPos[(size_t) pos] : -1;
}

int ID3ViewComponent::findRowOfFile (const juce::String& fullPath, int likelyRow) const
{
    if (fullPath.isEmpty())
        return -1;
    if (getFullPathOfRow (likelyRow) == fullPath)
        return likelyRow;
    for (int row = 0; row < getRowCount(); ++row)
        if (getFullPathOfRow (row) == fullPath)
            return row;
    return -1;
}

void ID3ViewComponent::rowsRemovedOrMoved()
{
    posMapValid = false;
}

juce::Array<int> ID3ViewComponent::getVisibleColumnIds() const
{
    juce::Array<int> ids;
    auto& header = getHeader();
    for (int i = 0; i < header.getNumColumns (true); ++i)
        ids.add (header.getColumnIdOfIndex (i, true));
    return ids;
}

juce::String ID3ViewComponent::getRowsAsText() const
{
    // Into one growing buffer: appending to a String copies all of it whenever
    // it outgrows its exact size.
    juce::MemoryOutputStream text;
    for (int row = 0; row < getRowCount(); ++row)
    {
        text << getCellText (SongTableColumns::artist - 1, row) << " - " << getCellText (SongTableColumns::song - 1, row);
        if (const auto label = getCellText (SongTableColumns::label - 1, row); label.isNotEmpty())
            text << " [ " << label << " ]";
        text << "\n";
    }
    return text.toUTF8();
}

//==============================================================================
void ID3ViewComponent::handleMessage (const juce::Message& message)
{
    const auto* m = dynamic_cast<const Worker::Message*> (&message);
    if (m == nullptr || m->generation < generation)
        return;

    switch (m->kind)
    {
        case rowCountMessage:
            updateContent();
            if (viewListener != nullptr)
                viewListener->numRowsChanged (getNumRows());
            break;
        case repaintMessage:
            repaint();
            break;
        case workingMessage:
            if (viewListener != nullptr)
                viewListener->workingStateChanged (m->value != 0);
            break;
        case columnsMessage:
            updateContent();
            repaint();
            break;
        case selectFirstRowMessage:
            selectFirstRowUnlessChosen();
            break;
        case writeCaseOrderMessage:
            writeCaseOrder();
            break;
        default:
            break;
    }
}

void ID3ViewComponent::selectFirstRowUnlessChosen()
{
    if (userChoseRows)
        return;

    updateContent();
    const juce::ScopedValueSetter<bool> internal (selectingForTheFill, true);
    if (getNumRows() > 0)
        selectRow (0);
}

void ID3ViewComponent::selectedRowsChanged (int lastRowSelected)
{
    if (! selectingForTheFill)
        userChoseRows = true;
    StringTableListBox::selectedRowsChanged (lastRowSelected);
}
}
