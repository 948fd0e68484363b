#pragma once

namespace zund
{
class LabelEx;

/** Hears clicks on a LabelEx. */
class LabelExListener
{
public:
    virtual void labelExClicked (LabelEx* label) = 0;

protected:
    ~LabelExListener() = default;
};
}
