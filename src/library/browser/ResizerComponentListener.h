#pragma once

namespace zund
{
class ResizerComponent;

/** Told when the browser's splitter was dragged. */
class ResizerComponentListener
{
public:
    virtual ~ResizerComponentListener() = default;
    virtual void resizerMoved (ResizerComponent* resizer) = 0;
};
}
