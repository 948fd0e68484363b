#pragma once

namespace zund
{
/** Receives what the MIDI mapping makes of incoming messages. Called on a MIDI
    input thread with the mapping lock held: set widget values and engine state,
    mark widgets dirty, nothing else. */
class MidiControlSurfaceManagerListener
{
public:
    virtual ~MidiControlSurfaceManagerListener() = default;

    /** A mapped controller or note moved control `id` to `value` (0..127). */
    virtual void controllerMoved (int id, int value) = 0;

    /** A reset trigger fired: `id` has bit 31 set; the control is id & 0x7fffffff. */
    virtual void controllerTriggered (int id) = 0;

    /** Learn bound a controller or note to `id` (bit 31 set for a reset trigger). */
    virtual void controllerLearned (int id) = 0;
};
}
