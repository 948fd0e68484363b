#pragma once

#include "engine/plugins/PlayHeadRecord.h"

#include <juce_audio_basics/juce_audio_basics.h>

namespace zund
{
/** The hosted plug-ins' play head: the engine's tempo and running position in
    4/4, always playing, never recording. Plug-ins ask it from their processBlock,
    on the audio thread that advances the record. */
class ZundPlayHead : public juce::AudioPlayHead
{
public:
    explicit ZundPlayHead (const PlayHeadRecord& recordToReport) noexcept : record (recordToReport) {}

    juce::Optional<PositionInfo> getPosition() const override;

private:
    const PlayHeadRecord& record;
};
}
