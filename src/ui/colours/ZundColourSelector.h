#pragma once

#include "ui/dialogs/ReplaceQuestion.h"

#include <juce_gui_extra/juce_gui_extra.h>

#include <functional>
#include <map>
#include <memory>

namespace zund
{
/** Edits the mixer's colours. Each entry binds a colour id to a colour variable
    owned elsewhere (mostly the panel classes' class-wide colours); the entries
    are listed by name, the selected one is edited with the framework's colour
    picker, and whole schemes of (id, value) pairs are read from and written to
    XML files. After every edit and every scheme load it broadcasts
    synchronously, so that the owner repaints what uses the colours.

    Message thread only. */
class ZundColourSelector : public juce::Component,
                           public juce::ChangeBroadcaster,
                           public juce::ChangeListener,
                           public juce::ComboBox::Listener,
                           public juce::Button::Listener
{
public:
    static constexpr const char* rootName = "ZundColourScheme";
    static constexpr const char* schemeExtension = ".kcs";
    static constexpr const char* schemePattern = "*.kcs";
    static constexpr int defaultWidth = 520;
    static constexpr int defaultHeight = 416;

    ZundColourSelector();
    ~ZundColourSelector() override;

    /** Lists the entry and binds the id to the variable (not owned; it must
        outlive the selector). An id already bound keeps its first variable and
        is not listed again. The first entry listed becomes the selected one. */
    void addColour (const juce::String& name, int id, juce::Colour* variable);
    /** A separator line in the list. */
    void addSeparator();

    /** Applies every (Id, Value) child of the file's root to the bound
        variables, whatever the root and children are called, then broadcasts.
        Ids without a variable, and children without a readable value, are
        skipped. False when the file is missing (`error` stays empty) or cannot
        be read (`error` says why); then no colour changes. */
    bool loadColourScheme (const juce::File& file, juce::String* error = nullptr);
    /** Writes every listed entry, in list order, with its current colour. */
    bool saveColourScheme (const juce::File& file, juce::String* error = nullptr) const;
    /** The scheme document: a "Colour" child per listed entry, with "Id" and
        "Value" (lower-case hexadecimal ARGB without leading zeros). */
    std::unique_ptr<juce::XmlElement> createSchemeXml() const;

    /** "ColourSchemes" in the program folder, created when missing. */
    static juce::File getSchemeFolder();
    /** The built-in scheme that "Reset To Default Colour Scheme" loads. */
    static juce::File getBaseSchemeFile();
    /** The colours of the last session, written at shut-down. */
    static juce::File getUserColoursFile();

    /** The colour variable of the selected entry; null when none. */
    juce::Colour* getCurrentVariable() const noexcept { return current; }
    int getNumEntries() const noexcept { return (int) entries.size(); }
    /** The variable bound to the id; null when none. */
    juce::Colour* getVariable (int id) const;

    juce::ColourSelector& getPicker() noexcept { return picker; }
    juce::ComboBox& getEntryList() noexcept { return entryList; }
    juce::TextButton& getCopyButton() noexcept { return copyButton; }
    juce::TextButton& getPasteButton() noexcept { return pasteButton; }
    juce::TextButton& getResetButton() noexcept { return resetButton; }
    juce::TextButton& getLoadButton() noexcept { return loadButton; }
    juce::TextButton& getSaveButton() noexcept { return saveButton; }

    /** How "Load Scheme" and "Save Scheme" ask for a file: by default the
        framework's file dialogs. The answer is an invalid File when the user
        cancelled. (Tests answer in place.) */
    using FileQuestion = std::function<void (bool saving, std::function<void (const juce::File&)> answer)>;
    void setFileQuestion (FileQuestion question) { fileQuestion = std::move (question); }
    /** How saving over an existing scheme is confirmed: by default the
        framework's alert box. */
    void setReplaceQuestion (ReplaceQuestion question) { replaceQuestion = std::move (question); }

    void resized() override;
    void changeListenerCallback (juce::ChangeBroadcaster* source) override;
    void comboBoxChanged (juce::ComboBox* box) override;
    void buttonClicked (juce::Button* button) override;

private:
    void askForFile (bool saving, std::function<void (const juce::File&)> answer);
    void schemeChosenToSave (const juce::File& file);
    void showCurrentInPicker();

    juce::Colour* current = nullptr;
    juce::Colour clipboard;
    std::map<int, juce::Colour*> entries;

    juce::ColourSelector picker;
    juce::ComboBox entryList;
    juce::TextButton copyButton { "Copy" };
    juce::TextButton pasteButton { "Paste" };
    juce::TextButton resetButton { "Reset To Default Colour Scheme" };
    juce::TextButton loadButton { "Load Scheme" };
    juce::TextButton saveButton { "Save Scheme" };

    FileQuestion fileQuestion;
    ReplaceQuestion replaceQuestion = askBeforeReplacing;
    std::unique_ptr<juce::FileChooser> chooser;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ZundColourSelector)
};
}
