#pragma once

namespace zund
{
/** What the plug-ins' play head reports: advanced by real time each block. */
struct PlayHeadRecord
{
    double bpm = 120.0;
    double timeInSeconds = 0.0;
    double ppqPosition = 0.0;
};
}
