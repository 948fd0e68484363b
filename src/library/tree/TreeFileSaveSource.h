#pragma once

#include "library/database/LibraryAutoSaver.h"
#include "library/tree/ZundFileTreeComponent.h"

namespace zund
{
/** "TreeView.xml" for the saves while the program runs: the tree's contents
    are compared (by a hash of every text) and copied on the message thread,
    and the copy is written on the saving thread. Nothing is written over a
    file that could not be read nor moved aside. */
LibraryAutoSaver::Source makeTreeFileSaveSource (ZundFileTreeComponent& tree);
}
