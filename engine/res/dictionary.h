#pragma once

#include <functional>
#include <string>

#include "engine/base/type_name.h"
#include "engine/res/resource.h"
#include "engine/res/word_table.h"

class TiXmlElement;

namespace kq {

class Buffer;
class WStream;

/// Gives the text of a value marker "{&name}": called with the name, writes the text.
using MacroResolver = std::function<void(const std::string& name, std::string& text)>;

/// Keyed texts of one language, loaded from a file and then published into the word table.
class Dictionary : public Resource
{
public:
    /// Replaces the words by those of an XML document: the text inside nested elements a, b, c
    /// of the root element gets the key "a.b.c". Throws `IOException` naming the buffer and the
    /// line when the document is malformed.
    void load_xml(Buffer& buffer);
    /// Adds the words of the text form: "word text" pairs, grouped by "group { ... }" into
    /// keys "group.word"; a repeated key is logged and takes the later text. Throws the stream's
    /// error "Unexpected '}'. Names stack underflow" for a "}" without its group.
    void load_text(WStream& stream);
    /// Copies every word into the word table, replacing texts of the same keys.
    void publish_words() const;

    /// The words, in key order.
    const WordMap& words() const { return m_words; }

    /// The source widened byte by byte with its markers expanded: "{#key}" by the published
    /// word (the bare key when absent), "{&name}" by the resolver's text, "{/...}" by nothing.
    /// Replacements are expanded in turn, down to a fixed depth.
    static std::u16string expand_macros(const std::string& source, const MacroResolver& resolver);

private:
    void read_element(const TiXmlElement& element, const std::u16string& path);

    WordMap m_words;
};

}

KQ_TYPE_NAME(kq::Dictionary, "class kq::Dictionary");
