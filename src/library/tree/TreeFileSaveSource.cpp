#include "library/tree/TreeFileSaveSource.h"

namespace zund
{
LibraryAutoSaver::Source makeTreeFileSaveSource (ZundFileTreeComponent& tree)
{
    LibraryAutoSaver::Source source;
    source.fingerprint = [&tree] { return tree.getStateToSave().fingerprint(); };
    source.prepare = [&tree]() -> LibraryAutoSaver::Write {
        if (! tree.mayWriteFile())
            return {};
        return [state = tree.getStateToSave(), file = tree.getTreeFile()] (juce::String& reason) {
            return state.save (file, reason);
        };
    };
    return source;
}
}
