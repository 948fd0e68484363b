#pragma once

namespace zund
{
/** The engine works through every device block in chunks of at most this many
    samples; the per-chunk buffers and the plug-ins are sized for it. */
constexpr int maxChunk = 256;
}
