#pragma once

namespace zund
{
class Channel;
class EqContainer;
class FilterContainer;
class MidiFeedbackOutput;

/** What the control dispatcher reaches beyond the engine: the panels, the
    MIDI output and the targets that join with later parts of the program
    (the song records' cue points, the waveform overview, the effect panel,
    the tap counter). Each call does nothing while its target is absent.

    The main component implements it; tests give a stand-in. Calls marked
    "any thread" may come from a MIDI input thread; the others come on the
    message thread only (the dispatcher posts them there). */
class ControlDispatcherHost
{
public:
    virtual ~ControlDispatcherHost() = default;

    /** The open MIDI output, or null. Any thread. */
    virtual MidiFeedbackOutput* getMidiFeedbackOutput() = 0;

    /** Channel strip 0..3; null for others. Any thread (the strips live as
        long as the dispatcher). */
    virtual Channel* getChannel (int index) = 0;
    /** The filter or equaliser panel of channel 0..3, or of the master strip
        for 4; null while absent. Any thread. */
    virtual FilterContainer* getFilterPanel (int set) = 0;
    virtual EqContainer* getEqPanel (int set) = 0;

    /** Cue point 0..3 of the song record of the channel's track, a fraction of
        the track; below 0 when unset or without a record. Any thread. */
    virtual float getCuePoint (int channel, int index) = 0;
    virtual void setCuePoint (int channel, int index, float position) = 0;
    /** Moves the channel to a fraction of its track. Any thread. */
    virtual void seekDeck (int channel, float fraction) = 0;

    /** The overview's cue marker; below 0 when unset or without an overview. Any thread. */
    virtual float getOverviewCuePosition (int channel, int index) = 0;
    /** Message thread. */
    virtual void setOverviewCuePosition (int channel, int index, float position) = 0;

    /** The effect panel's speed captions for a mode 0..2. Message thread. */
    virtual void setEffectSpeedLabels (int mode) = 0;

    /** TAP was pressed: the tap counter counts it and the button stays lit
        for its 80 ms. Any thread. */
    virtual void tapTempo() = 0;

protected:
    ControlDispatcherHost() = default;
};
}
