#pragma once

#include "library/browser/StringTableListBoxListener.h"

namespace zund
{
/** Told of the song table's clicks, of its worker starting and ending, and of
    its row count. */
class ID3ViewComponentListener : public StringTableListBoxListener
{
public:
    virtual void workingStateChanged (bool isWorking) = 0;
    virtual void numRowsChanged (int numRows) = 0;
};
}
