#pragma once

#include "ui/midi/MidiControlSurfaceManagerListener.h"
#include "ui/midi/MidiFeedbackOutput.h"
#include "ui/dialogs/ReplaceQuestion.h"

#include <juce_audio_basics/juce_audio_basics.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>

namespace zund
{
/** Maps incoming MIDI controllers and notes to control ids, learns new
    mappings, sends feedback for a control id back to the controller, and keeps
    the mapping as XML (in "preferences.xml" and in ".kms" files).

    Threads: MIDI input threads call handleIncomingMidiMessage, which holds the
    mapping lock for the whole message, listener calls included; the message
    thread loads, clears and saves under the same lock. Lock order: the mapping
    lock, then the engine lock, never the reverse. learn and sendFeedback take
    no mapping lock; feedback sends are serialised by a lock of their own. */
class MidiControlSurfaceManager
{
public:
    static constexpr int numMidiChannels = 16;
    static constexpr int numNumbers = 128;
    static constexpr int numControlIds = 10000;
    /** Bit 31 of a mapped id: the control is reset to its default. */
    static constexpr int resetTriggerBit = static_cast<int> (0x80000000u);
    /** Marks a note in feedback codes and in the stored "controller" attribute. */
    static constexpr int noteCodeBit = 0x10000;
    static constexpr int none = -1;

    MidiControlSurfaceManager();
    ~MidiControlSurfaceManager();

    void setListener (MidiControlSurfaceManagerListener* newListener);

    /** Forgets every mapping. */
    void clear();

    /** Arms learn: the next controller or note binds to `id` (0..9999); with
        Ctrl held it becomes a reset trigger. A further call re-arms. */
    void learn (int id, bool ctrlHeld);
    bool isLearning() const noexcept;

    /** Binds the controller (or note) to `id`, which leaves any cell it held
        before; the controller's previous feedback target loses its feedback. */
    void assignController (int id, int channel, int number);
    void assignNote (int id, int channel, int number);
    /** Every cell holding exactly `id` becomes unmapped. */
    void removeTarget (int id);

    /** MIDI input threads: every incoming message. */
    void handleIncomingMidiMessage (const juce::MidiMessage& message);

    /** Sends `value` (0..127) to the controller or note that feeds back for
        `id`; nothing without an output or a feedback entry. */
    void sendFeedback (MidiFeedbackOutput* output, int id, int value);

    /** The mapped id (bit 31 may be set) or `none`. */
    int getControllerTarget (int channel, int number) const;
    int getNoteTarget (int channel, int number) const;

    /** The mapping as an element named `tagName`, one "EntryN" child per cell. */
    std::unique_ptr<juce::XmlElement> toXml (const juce::String& tagName) const;
    /** Replaces the mapping with the element's entries; entries that do not fit
        the maps are skipped. A null element just clears. */
    void fromXml (const juce::XmlElement* element);

    //==============================================================================
    // ".kms" files in the "MidiControlSettings" folder (MidiControlSurfaceManagerFiles.cpp).

    /** The program folder's "MidiControlSettings", created when missing. */
    static juce::File getSettingsFolder();

    /** Replaces the mapping with the file's; false (nothing changed) when the
        file is missing or holds no readable XML. */
    bool loadSettingsFrom (const juce::File& file);
    /** Writes the mapping to the file (beside, then renamed over it). */
    bool saveSettingsTo (const juce::File& file, juce::String* error = nullptr) const;

    /** The preferences panel's buttons: a file chooser, then the file work above;
        saving over an existing file asks first. */
    void openSettingsFile();
    void saveSettingsFile();

    /** How the buttons ask for a file (an invalid File: cancelled) and whether
        a file may be replaced: by default the framework's dialogs. (Tests
        answer in place.) */
    using FileQuestion = std::function<void (bool saving, std::function<void (const juce::File&)> answer)>;
    void setFileQuestion (FileQuestion question) { fileQuestion = std::move (question); }
    void setReplaceQuestion (ReplaceQuestion question) { replaceQuestion = std::move (question); }

private:
    using Map = int[numMidiChannels][numNumbers];

    void assign (Map& map, int codeBase, int id, int channel, int number);
    void clearUnlocked();

    juce::CriticalSection lock;
    juce::CriticalSection feedbackLock;

    // The armed learn target in the low 32 bits, or notLearning: one atomic, so
    // the target is always in place before the MIDI thread can see it armed.
    static constexpr std::int64_t notLearning = -1;
    std::atomic<std::int64_t> pendingLearn { notLearning };

    MidiControlSurfaceManagerListener* listener = nullptr;
    Map controllerMap;
    Map noteMap;
    // Read by feedback without the mapping lock.
    std::array<std::atomic<int>, numControlIds> reverse;

    void askForFile (bool saving, std::function<void (const juce::File&)> answer);
    void saveChosenFile (const juce::File& file);

    std::unique_ptr<juce::FileChooser> chooser;
    FileQuestion fileQuestion;
    ReplaceQuestion replaceQuestion = askBeforeReplacing;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MidiControlSurfaceManager)
};
}
