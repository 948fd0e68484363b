#include "engine/plugins/ZundPlayHead.h"

namespace zund
{
juce::Optional<juce::AudioPlayHead::PositionInfo> ZundPlayHead::getPosition() const
{
    PositionInfo info;
    info.setBpm (record.bpm);
    info.setTimeSignature (TimeSignature { 4, 4 });
    info.setTimeInSeconds (record.timeInSeconds);
    info.setEditOriginTime (0.0);
    info.setPpqPosition (record.ppqPosition);
    info.setPpqPositionOfLastBarStart (0.0);
    info.setIsPlaying (true);
    info.setIsRecording (false);
    return info;
}
}
