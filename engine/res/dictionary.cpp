#include "engine/res/dictionary.h"

#include <tinyxml.h>

#include <algorithm>
#include <vector>

#include "engine/base/buffer.h"
#include "engine/base/code_page.h"
#include "engine/base/exception.h"
#include "engine/base/log.h"
#include "engine/base/wstream.h"
#include "engine/host/system/utf8_to_wide.h"

namespace kq {
namespace {

std::u16string join_key(const std::u16string& path, const std::u16string& name)
{
    return path.empty() ? name : path + u"." + name;
}

// The text form may repeat a key by mistake; the later text wins, as in the XML form.
void add_word(WordMap& words, const std::u16string& key, std::u16string text)
{
    const auto [entry, added] = words.try_emplace(key, text);
    if (added)
        return;
    std::string narrow_key;
    narrow_string(nullptr, key, narrow_key);
    log_error(("The word [" + narrow_key + "] has repeated").c_str(), source_file_name(__FILE__), __LINE__);
    entry->second = std::move(text);
}

}

void Dictionary::load_xml(Buffer& buffer)
{
    std::string text = read_all(buffer);
    const std::size_t lines = 1 + std::count(text.begin(), text.end(), '\n');
    // After a cut-short UTF-8 sequence the parser steps up to three bytes past the end of the
    // text before it looks again; zero bytes there keep it inside the memory.
    text.append(8, '\0');
    TiXmlDocument document;
    document.Parse(text.c_str(), nullptr, TIXML_ENCODING_UTF8);
    if (document.Error()) {
        // The parser gives no place for what it finds missing at the end of the text.
        const std::size_t line = document.ErrorRow() > 0 ? document.ErrorRow() : lines;
        KQ_THROW(IOException, "(in stream " + buffer.name() + " at line " + std::to_string(line)
                                  + ") malformed XML: " + document.ErrorDesc());
    }
    m_words.clear();
    if (const TiXmlElement* root = document.RootElement())
        read_element(*root, u"");
}

void Dictionary::read_element(const TiXmlElement& element, const std::u16string& path)
{
    for (const TiXmlNode* child = element.FirstChild(); child; child = child->NextSibling()) {
        if (const TiXmlElement* inner = child->ToElement())
            read_element(*inner, join_key(path, widen_string(inner->ValueStr())));
        else if (const TiXmlText* text = child->ToText())
            m_words[path] = host::utf8_to_wide(text->ValueStr());
    }
}

void Dictionary::load_text(WStream& stream)
{
    std::vector<std::u16string> groups;
    std::u16string word;
    bool holding_word = false;
    while (!stream.is_eof()) {
        if (stream.token_is(u"{")) {
            stream.skip_token();
            groups.push_back(word);
            holding_word = false;
        } else if (stream.token_is(u"}")) {
            stream.skip_token();
            if (groups.empty())
                stream.error("Unexpected '}'. Names stack underflow");
            groups.pop_back();
            holding_word = false;
        } else if (!holding_word) {
            stream.next_token(word);
            holding_word = true;
        } else {
            std::u16string key;
            for (const std::u16string& group : groups)
                key += group + u".";
            key += word;
            std::u16string text;
            stream.next_token(text);
            add_word(m_words, key, std::move(text));
            holding_word = false;
        }
    }
}

void Dictionary::publish_words() const
{
    for (const auto& [key, text] : m_words)
        set_word(key, text);
}

}
