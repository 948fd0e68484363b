#pragma once

#include <juce_core/juce_core.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace zund
{
/** An XML element as plain data: its tag, its attributes in file order and its
    child elements (text is dropped). Reading and writing cost the same per
    attribute however many an element has and however they are named: the
    framework's element looks up every attribute it adds or reads by walking
    all of them and keeps every distinct name in a global sorted pool, which
    makes a large list of attributes take minutes. */
struct PlainXmlElement
{
    juce::String tagName;
    std::vector<std::pair<juce::String, juce::String>> attributes; // name, value
    std::vector<std::unique_ptr<PlainXmlElement>> children;

    explicit PlainXmlElement (juce::String tag = {}) : tagName (std::move (tag)) {}

    /** Appended as it is: an attribute of the same name is not looked for. */
    void addAttribute (const juce::String& name, const juce::String& value) { attributes.emplace_back (name, value); }
    PlainXmlElement& addChild (const juce::String& tag);

    /** The first child or attribute whose name equals this, letter case ignored; null when none. */
    const PlainXmlElement* findChildIgnoringCase (const juce::String& name) const;
    const juce::String* findAttributeIgnoringCase (const juce::String& name) const;

    /** The whole document in UTF-8: the XML declaration and this element as its
        root, indented; markup and control characters in values as references. */
    std::string toDocument() const;
};

/** Parses UTF-8 text that passed the checks of the safe XML reader (see
    readCheckedXmlFile). Entities and character references in values are
    decoded; comments, CDATA and text are skipped. Null, with `error` set, for
    text it cannot read. */
std::unique_ptr<PlainXmlElement> parsePlainXml (const char* text, size_t numBytes, juce::String& error);
}
